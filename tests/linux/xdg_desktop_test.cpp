// The Linux desktop: which device viewer stands in for the Device Manager, and what xdg-open is
// handed for documents and addresses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "linux/xdg_desktop.h"
#include "main_window/frm_ports.h"

namespace velmaro::linux_backend {
namespace {

namespace fs = std::filesystem;

// A folder of its own below the temporary folder, removed with the object.
struct TempFolder {
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "velmaro-desktop-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path); }
    // Makes a file with the given mode below the folder and returns its path.
    std::string Add(const std::string& name, fs::perms mode) const {
        const fs::path file = path / name;
        std::ofstream(file) << "#!/bin/sh\n";
        fs::permissions(file, mode);
        return file.string();
    }
    fs::path path;
};

constexpr fs::perms kExecutable = fs::perms::owner_read | fs::perms::owner_exec;
constexpr fs::perms kPlain = fs::perms::owner_read | fs::perms::owner_write;

// The viewers are tried in the order hardinfo, usbview, kinfocenter, lshw-gtk, each through every
// folder of the search path; only an executable file counts.
TEST(FindDeviceViewer, FirstViewerInOrderThenFolder) {
    TempFolder first, second;
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, fs::perms>> inFirst, inSecond;
        std::string found;  // "" for none; else "first/<name>" or "second/<name>"
    };
    const Case cases[] = {
        {"nothing installed", {}, {}, ""},
        {"usbview before lshw-gtk", {{"lshw-gtk", kExecutable}}, {{"usbview", kExecutable}}, "second/usbview"},
        {"hardinfo first whatever the folder",
         {{"kinfocenter", kExecutable}, {"lshw-gtk", kExecutable}},
         {{"hardinfo", kExecutable}},
         "second/hardinfo"},
        {"one viewer in two folders",
         {{"kinfocenter", kExecutable}},
         {{"kinfocenter", kExecutable}},
         "first/kinfocenter"},
        {"not executable", {{"hardinfo", kPlain}}, {{"usbview", kExecutable}}, "second/usbview"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const fs::path& folder : {first.path, second.path}) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                fs::remove_all(entry.path());
            }
        }
        for (const auto& [name, mode] : c.inFirst) {
            first.Add(name, mode);
        }
        for (const auto& [name, mode] : c.inSecond) {
            second.Add(name, mode);
        }
        std::string expected;
        if (!c.found.empty()) {
            const bool inFirst = c.found.starts_with("first/");
            expected = ((inFirst ? first.path : second.path) / c.found.substr(c.found.find('/') + 1)).string();
        }
        // Empty entries of the search path are skipped, not taken as the working folder.
        EXPECT_EQ(FindDeviceViewer(":" + first.path.string() + "::" + second.path.string() + ":"), expected);
    }
    TempFolder named;
    fs::create_directory(named.path / "hardinfo");  // a folder of that name is not a program
    EXPECT_EQ(FindDeviceViewer(named.path.string()), "");
}

struct Launch {
    std::string program;
    std::vector<std::string> arguments;
    friend bool operator==(const Launch&, const Launch&) = default;
};

// A desktop that records what it would start.
struct RecordedDesktop {
    explicit RecordedDesktop(std::string viewer)
        : desktop(std::move(viewer), [this](const std::string& program, const std::vector<std::string>& arguments) {
              launches.push_back({program, arguments});
              return true;
          }) {}
    std::vector<Launch> launches;
    XdgDesktop desktop;
};

TEST(XdgDesktop, DeviceViewerStandsInForTheDeviceManager) {
    RecordedDesktop without("");
    EXPECT_FALSE(without.desktop.OpenDeviceManager(0));
    EXPECT_TRUE(without.launches.empty());

    RecordedDesktop with("/usr/bin/hardinfo");
    EXPECT_TRUE(with.desktop.OpenDeviceManager(0));
    EXPECT_EQ(with.launches, (std::vector<Launch>{{"/usr/bin/hardinfo", {}}}));
}

// Documents and web addresses go to xdg-open unchanged; an address with "@" becomes a mail, as on
// Windows; a document is never made a mail.
// Without a viewer the window's notice names each one the desktop would look for.
TEST(XdgDesktop, TheNoticeWithoutAViewerNamesEveryViewer) {
    const std::string notice = kMsgDeviceManagerUnavailableLinux;
    for (const std::string_view viewer : kDeviceViewers) {
        EXPECT_NE(notice.find(viewer), std::string::npos) << viewer;
    }
}

TEST(XdgDesktop, DocumentsAndAddressesGoToXdgOpen) {
    RecordedDesktop r("");
    r.desktop.OpenDocument(0, "/opt/velmaro/Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm");
    r.desktop.OpenDocument(0, "/home/anna@büro/Hilfe/Geräte.htm");
    r.desktop.OpenAddress(0, "https://www.velmaro.example");
    r.desktop.OpenAddress(0, "feedback@velmaro.example");
    r.desktop.OpenAddress(0, "https://forum.velmaro.example/community/board/showthread.php?t=14785");
    EXPECT_EQ(r.launches, (std::vector<Launch>{
                              {"xdg-open", {"/opt/velmaro/Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm"}},
                              {"xdg-open", {"/home/anna@büro/Hilfe/Geräte.htm"}},
                              {"xdg-open", {"https://www.velmaro.example"}},
                              {"xdg-open", {"mailto:feedback@velmaro.example"}},
                              {"xdg-open", {"https://forum.velmaro.example/community/board/showthread.php?t=14785"}},
                          }));
}

// A real start: the program runs detached and leaves its mark; a missing program is no failure of
// the call, as the desktop does not wait for it.
TEST(LaunchDetached, StartsTheProgramWithItsArguments) {
    TempFolder folder;
    const std::string mark = (folder.path / "mark").string();
    ASSERT_TRUE(LaunchDetached("/bin/sh", {"-c", "echo \"$0\" > \"$1\"", "gestartet", mark}));
    std::string text;
    for (int i = 0; i < 500 && text.empty(); ++i) {
        ::usleep(10000);
        std::ifstream(mark) >> text;
    }
    EXPECT_EQ(text, "gestartet");
    EXPECT_TRUE(LaunchDetached((folder.path / "missing").string(), {}));
}

}  // namespace
}  // namespace velmaro::linux_backend
