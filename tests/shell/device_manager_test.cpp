#include "shell/device_manager.h"

#include <gtest/gtest.h>

#include "memory/memory_shell.h"
#include "support/fakes.h"

namespace velmaro {
namespace {

using memory::MemoryShell;
using Call = MemoryShell::ExecuteCall;

class DeviceManagerTest : public ::testing::Test {
  protected:
    MemoryShell shell;
    testing::RecordingMessageBox messages;
};

TEST_F(DeviceManagerTest, OpensTheConsoleFromTheSystemFolderHidden) {
    shell.SetFolder(37, "C:\\WINDOWS\\system32");

    OpenDeviceManager(shell, messages, 0x55);

    ASSERT_EQ(shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(shell.ExecuteCalls()[0], (Call{0x55, "", "C:\\WINDOWS\\system32\\devmgmt.msc", "", "", 0}));
    EXPECT_EQ(shell.LocationRequests(), std::vector<std::int32_t>{37});  // no create flag
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DeviceManagerTest, SystemFolderThroughShfolderWorksToo) {
    shell.SetFolder(37, "C:\\WINNT\\System32");
    shell.FailSpecialFolderLocation(true);

    OpenDeviceManager(shell, messages, 0x55);

    ASSERT_EQ(shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(shell.ExecuteCalls()[0].file, "C:\\WINNT\\System32\\devmgmt.msc");
}

TEST_F(DeviceManagerTest, WithoutSystemFolderTheUserIsToldAndNothingOpens) {
    shell.FailSpecialFolderLocation(true);
    shell.SetShfolderLoadable(false);

    OpenDeviceManager(shell, messages, 0x55);

    EXPECT_TRUE(shell.ExecuteCalls().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Gerätemanager nicht aufrufbar.");
    EXPECT_EQ(messages.shown[0].style, MessageStyle::ExclamationOkCancel);
}

// Whichever button closes the box, nothing follows.
class CancellingMessageBox : public IMessageBox {
  public:
    MessageResult Show(const std::string&, MessageStyle) override {
        ++shown;
        return MessageResult::Cancel;
    }
    int shown = 0;
};

TEST_F(DeviceManagerTest, CancelDoesNothingMore) {
    CancellingMessageBox cancelling;
    OpenDeviceManager(shell, cancelling, 0x55);
    EXPECT_EQ(cancelling.shown, 1);
    EXPECT_TRUE(shell.ExecuteCalls().empty());
}

TEST_F(DeviceManagerTest, ShellFailureIsNotReported) {
    shell.SetFolder(37, "C:\\WINDOWS\\system32");
    shell.SetExecuteResult(31);  // SE_ERR_NOASSOC
    OpenDeviceManager(shell, messages, 0);
    EXPECT_EQ(shell.ExecuteCalls().size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace velmaro
