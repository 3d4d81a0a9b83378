// The shell helpers: opening a target, locating a special folder, starting Device Manager, and the
// Windows desktop made of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "memory/memory_shell.h"
#include "shell/device_manager.h"
#include "shell/shell_desktop.h"
#include "shell/shell_helpers.h"

namespace velmaro {
namespace {

using memory::MemoryShell;
using Call = MemoryShell::ExecuteCall;
constexpr const char* kSystem = "C:\\WINDOWS\\system32";
constexpr const char* kViaShfolder = "C:\\WINNT\\System32";

TEST(ShellOpen, OpensTheTargetAndATargetWithAnAtSignAsMail) {
    const std::pair<const char*, const char*> cases[] = {
        {"feedback@velmaro.example", "mailto:feedback@velmaro.example"},
        {"https://user@forum.velmaro.example/x", "mailto:https://user@forum.velmaro.example/x"},
        {"https://www.velmaro.example", "https://www.velmaro.example"},
        {"C:\\Programme\\Velmaro\\Hilfe\\Geräte.htm", "C:\\Programme\\Velmaro\\Hilfe\\Geräte.htm"},
        {"mailto:feedback", "mailto:feedback"},  // no "@", no second prefix either
    };
    for (const auto& [target, file] : cases) {
        MemoryShell shell;
        shell.SetExecuteResult(2);  // SE_ERR_FNF: not looked at
        ShellOpen(shell, 0x1234, target);
        EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{{0x1234, "Open", file, "", "", 1}})) << target;
    }
}

enum Fault { kNone = 0, kLocation = 1, kConversion = 2, kNoShfolder = 4, kShfolderPath = 8 };

struct FolderCase {
    const char* name;
    bool create;
    int faults;
    const char* path;
    std::vector<std::int32_t> location, shfolder;  // the folder numbers each method was asked for
    int conversions;
    std::vector<std::string> libraries;
};

TEST(SpecialFolder, ItemIdListFirstThenShfolderAndEverythingIsReleased) {
    const FolderCase cases[] = {
        {"item-id list", false, kNone, kSystem, {37}, {}, 1, {}},
        {"item-id list, create", true, kNone, kSystem, {0x8025}, {}, 1, {}},
        {"conversion fails: no second method", false, kConversion, "", {37}, {}, 1, {}},
        {"shfolder", false, kLocation, kViaShfolder, {37}, {37}, 0, {"shfolder"}},
        {"shfolder, create", true, kLocation, kViaShfolder, {0x8025}, {0x8025}, 0, {"shfolder"}},
        {"shfolder not loadable", false, kLocation | kNoShfolder, "", {37}, {}, 0, {"shfolder"}},
        {"shfolder fails", false, kLocation | kShfolderPath, "", {37}, {37}, 0, {"shfolder"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryShell shell;  // fills the buffer behind the path's NUL with junk
        shell.SetShellFolder(37, kSystem);
        shell.SetShfolderFolder(37, kViaShfolder);
        shell.FailSpecialFolderLocation(c.faults & kLocation);
        shell.FailPathFromIdList(c.faults & kConversion);
        shell.SetShfolderLoadable(!(c.faults & kNoShfolder));
        shell.FailShfolderPath(c.faults & kShfolderPath);

        EXPECT_EQ(GetSpecialFolderPath(shell, 37, c.create), c.path);

        EXPECT_EQ(shell.LocationRequests(), c.location);
        EXPECT_EQ(shell.ShfolderRequests(), c.shfolder);
        EXPECT_EQ(shell.PathFromIdListCalls(), c.conversions);
        EXPECT_EQ(shell.LoadedLibraryNames(), c.libraries);
        EXPECT_EQ(shell.OpenIdListCount(), 0);
        EXPECT_EQ(shell.LoadedLibraryCount(), 0);
        EXPECT_EQ(shell.BadReleaseCount(), 0);
    }
}

TEST(SpecialFolder, AnsiPathsOfBothMethodsAreConvertedAndMayFillTheBuffer) {
    const std::string longest = "C:\\" + std::string(256, 'a');  // 259 characters and the NUL
    for (const std::string& path : {std::string("D:\\Geräte\\System"), longest}) {
        MemoryShell shell;
        shell.SetFolder(37, path);
        EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), path);
        shell.FailSpecialFolderLocation(true);
        EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), path);
    }
}

// The item-id list is freed even when the conversion throws.
class ThrowingConversion : public MemoryShell {
  public:
    std::int32_t GetPathFromIdList(ItemIdList, char*) override { throw std::runtime_error("conversion"); }
};

TEST(SpecialFolder, ItemIdListIsFreedWhenTheConversionThrows) {
    ThrowingConversion shell;
    shell.SetFolder(37, kSystem);
    EXPECT_THROW(GetSpecialFolderPath(shell, 37, false), std::runtime_error);
    EXPECT_EQ(shell.OpenIdListCount(), 0);
    EXPECT_EQ(shell.BadReleaseCount(), 0);
}

TEST(DeviceManager, OpensTheConsoleFromTheSystemFolderOrSaysItCannot) {
    MemoryShell shell;
    shell.SetShellFolder(37, kSystem);
    EXPECT_TRUE(LaunchDeviceManager(shell, 0x55));
    EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{{0x55, "", "C:\\WINDOWS\\system32\\devmgmt.msc", "", "", 0}}));
    EXPECT_EQ(shell.LocationRequests(), std::vector<std::int32_t>{37});  // no create flag

    shell.FailSpecialFolderLocation(true);
    shell.SetShfolderLoadable(false);
    EXPECT_FALSE(LaunchDeviceManager(shell, 0x55));
    EXPECT_EQ(shell.ExecuteCalls().size(), 1u);  // nothing more opened
}

// The Windows desktop is the shell's rules: the console, and ShellOpen for documents and addresses
// alike, "@" making a mail of either.
TEST(ShellDesktop, DeviceManagerDocumentsAndAddressesThroughTheShell) {
    MemoryShell shell;
    shell.SetShellFolder(37, kSystem);
    ShellDesktop desktop(shell);
    EXPECT_TRUE(desktop.OpenDeviceManager(7));
    desktop.OpenDocument(7, "C:\\Programme\\Velmaro\\Hilfe\\Seite.htm");
    desktop.OpenDocument(7, "C:\\anna@büro\\Seite.htm");
    desktop.OpenAddress(7, "https://www.velmaro.example");
    desktop.OpenAddress(7, "feedback@velmaro.example");
    EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{
                                        {7, "", "C:\\WINDOWS\\system32\\devmgmt.msc", "", "", 0},
                                        {7, "Open", "C:\\Programme\\Velmaro\\Hilfe\\Seite.htm", "", "", 1},
                                        {7, "Open", "mailto:C:\\anna@büro\\Seite.htm", "", "", 1},
                                        {7, "Open", "https://www.velmaro.example", "", "", 1},
                                        {7, "Open", "mailto:feedback@velmaro.example", "", "", 1},
                                    }));
    shell.FailSpecialFolderLocation(true);
    shell.SetShfolderLoadable(false);
    EXPECT_FALSE(desktop.OpenDeviceManager(7));
}

}  // namespace
}  // namespace velmaro
