#include <gtest/gtest.h>

#include "memory/memory_shell.h"
#include "shell/shell_helpers.h"

namespace velmaro {
namespace {

using memory::MemoryShell;
using Call = MemoryShell::ExecuteCall;

struct OpenCase {
    const char* target;
    const char* file;
};

TEST(ShellOpen, TargetsAndTheFileHandedToTheShell) {
    const OpenCase cases[] = {
        {"feedback@velmaro.example", "mailto:feedback@velmaro.example"},
        {"https://user@forum.velmaro.example/x", "mailto:https://user@forum.velmaro.example/x"},  // "@" rules
        {"@", "mailto:@"},
        {"https://www.velmaro.example", "https://www.velmaro.example"},
        {"C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinXP.htm",
         "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinXP.htm"},
        {"mailto:feedback", "mailto:feedback"},  // no "@", no second prefix either
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        MemoryShell shell;
        ShellOpen(shell, 0x1234, c.target);
        ASSERT_EQ(shell.ExecuteCalls().size(), 1u);
        EXPECT_EQ(shell.ExecuteCalls()[0], (Call{0x1234, "Open", c.file, "", "", 1}));
    }
}

TEST(ShellOpen, TextIsConvertedForTheAnsiCall) {
    MemoryShell shell;
    ShellOpen(shell, 7, "C:\\Programme\\Velmaro\\Hilfe\\Geräte.htm");
    ASSERT_EQ(shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(shell.ExecuteCalls()[0].file, "C:\\Programme\\Velmaro\\Hilfe\\Geräte.htm");
}

TEST(ShellOpen, FailureOfTheShellIsNotReported) {
    MemoryShell shell;
    shell.SetExecuteResult(2);  // SE_ERR_FNF
    EXPECT_NO_THROW(ShellOpen(shell, 0, "C:\\fehlt.htm"));
    EXPECT_EQ(shell.ExecuteCalls().size(), 1u);
}

}  // namespace
}  // namespace velmaro
