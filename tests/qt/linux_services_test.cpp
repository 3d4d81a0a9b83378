// The desktop services behind the Qt window: version text, file lookups, the single-instance lock
// and the stand-in for the Device Manager.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "linux_services.h"
#include "shell/device_manager.h"
#include "support/fakes.h"

namespace velmaro::qt {
namespace {

TEST(ParseVersionTest, ReadsUpToThreeNumbers) {
    struct Case {
        std::string text;
        ProgramVersion expected;
    };
    const Case cases[] = {
        {"1.0.7", {1, 0, 7}},
        {"2.13", {2, 13, 0}},
        {"3", {3, 0, 0}},
        {"", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseVersion(c.text), c.expected) << c.text;
    }
}

TEST(ApplicationIdentityTest, VersionIsTheProjectVersion) {
    EXPECT_EQ(ApplicationIdentity().Version(), (ProgramVersion{1, 0, 7}));
}

TEST(LocalFileSystemTest, BackslashPathsAndKindsOfEntry) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir(QStringLiteral("help"));
    for (const char* name : {"help/page.htm", ".hidden.htm"}) {
        QFile file(QDir(dir.path()).filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const std::string root = dir.path().toStdString();

    struct Case {
        std::string path;
        bool found;
        std::string name;
        bool directory;
        bool hidden;
    };
    const Case cases[] = {
        {root + "\\help\\page.htm", true, "page.htm", false, false},
        {root + "/help/page.htm", true, "page.htm", false, false},
        {root + "\\help", true, "help", true, false},
        {root + "\\.hidden.htm", true, ".hidden.htm", false, true},
        {root + "\\help\\missing.htm", false, "", false, false},
    };
    LocalFileSystem files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto entry = files.Lookup(c.path);
        ASSERT_EQ(entry.has_value(), c.found);
        if (entry) {
            EXPECT_EQ(entry->name, c.name);
            EXPECT_EQ(entry->directory, c.directory);
            EXPECT_EQ(entry->hidden, c.hidden);
            EXPECT_FALSE(entry->system);
        }
    }
}

TEST(LockFileInstanceTest, SecondCopySeesTheFirstUntilItEnds) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    {
        LockFileInstance first(folder, "velmaro.lock");
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_FALSE(first.AnotherInstanceRunning());  // asking again keeps its own claim
        LockFileInstance second(folder, "velmaro.lock");
        EXPECT_TRUE(second.AnotherInstanceRunning());
    }
    LockFileInstance later(folder, "velmaro.lock");
    EXPECT_FALSE(later.AnotherInstanceRunning());
}

TEST(XdgShellServiceTest, DeviceManagerNeedsADeviceViewer) {
    struct Case {
        std::string viewer;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"", {kMsgDeviceManagerUnavailable}}, {"/bin/true", {}},  // stands in for a viewer that starts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.viewer);
        XdgShellService shell(c.viewer);
        testing::RecordingMessageBox messages;
        OpenDeviceManager(shell, messages, 0);
        EXPECT_EQ(messages.Texts(), c.messages);
    }
}

TEST(XdgShellServiceTest, FirstInstalledDeviceViewerInPathIsTaken) {
    struct Case {
        std::vector<const char*> installed;
        std::string taken;
    };
    const Case cases[] = {
        {{}, ""},
        {{"usbview"}, "usbview"},
        {{"lshw-gtk", "usbview"}, "usbview"},
        {{"kinfocenter", "hardinfo", "lshw-gtk"}, "hardinfo"},
    };
    const QByteArray path = qgetenv("PATH");
    for (const Case& c : cases) {
        QTemporaryDir dir;
        for (const char* name : c.installed) {
            QFile file(QDir(dir.path()).filePath(QString::fromUtf8(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        qputenv("PATH", dir.path().toUtf8());
        const XdgShellService shell;
        EXPECT_EQ(
            shell.Viewer().empty() ? "" : QFileInfo(QString::fromStdString(shell.Viewer())).fileName().toStdString(),
            c.taken);
    }
    qputenv("PATH", path);
}

TEST(XdgShellServiceTest, OnlyTheSystemFolderIsKnown) {
    XdgShellService shell("/usr/bin/hardinfo");
    ItemIdList list = 0;
    EXPECT_EQ(shell.GetSpecialFolderLocation(0, kCsidlSystem, list), kSOk);
    char path[kMaxPath] = {};
    EXPECT_NE(shell.GetPathFromIdList(list, path), 0);
    EXPECT_EQ(std::string(path), "/usr/bin");
    EXPECT_NE(shell.GetSpecialFolderLocation(0, 0x1A, list), kSOk);  // application data
    EXPECT_EQ(shell.LoadLibraryNamed("shfolder"), 0u);
}

}  // namespace
}  // namespace velmaro::qt
