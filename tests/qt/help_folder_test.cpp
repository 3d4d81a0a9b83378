// Where the Qt window looks for its help pages: beside itself in a build tree, in the data folder
// when installed, and beside itself again when neither holds them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "help_folder.h"

namespace velmaro::qt {
namespace {

struct Layout {
    const char* name;
    std::vector<const char*> folders;  // made below a fresh temporary folder
    const char* program;               // the program's folder
    const char* expected;              // the folder that holds "Hilfe", as HelpRootFolder names it
};

TEST(HelpFolderTest, BuildTreeAndInstalledTrees) {
    const Layout layouts[] = {
        {"build tree", {"apps/qt/Hilfe"}, "apps/qt", "apps/qt"},
        {"installed", {"usr/bin", "usr/share/velmaro/Hilfe"}, "usr/bin", "usr/share/velmaro"},
        {"beside wins over installed", {"usr/bin/Hilfe", "usr/share/velmaro/Hilfe"}, "usr/bin", "usr/bin"},
        {"installed elsewhere", {"usr/bin", "usr/share/other/Hilfe"}, "usr/bin", "usr/bin"},
        {"nowhere", {"usr/bin", "usr/share/velmaro"}, "usr/bin", "usr/bin"},
    };
    for (const Layout& layout : layouts) {
        QTemporaryDir root;
        for (const char* folder : layout.folders) {
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromUtf8(folder))) << folder;
        }
        const std::string base = root.path().toStdString() + "/";
        EXPECT_EQ(HelpRootFolder(base + layout.program, "../share/velmaro"), base + layout.expected) << layout.name;
    }
}

// A file named "Hilfe" is no folder of help pages.
TEST(HelpFolderTest, FileNamedHilfeDoesNotCount) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("usr/bin")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("usr/share/velmaro/Hilfe")));
    QFile file(root.path() + QStringLiteral("/usr/bin/Hilfe"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string base = root.path().toStdString() + "/";
    EXPECT_EQ(HelpRootFolder(base + "usr/bin", "../share/velmaro"), base + "usr/share/velmaro");
}

// The build's own layout: the data folder is reached from the program's folder through its parent.
TEST(HelpFolderTest, InstalledDataFolderIsRelative) {
    const std::string folder = kInstalledDataFolder;
    EXPECT_EQ(folder.rfind("../", 0), 0u) << folder;
    EXPECT_TRUE(folder.ends_with("/velmaro")) << folder;
}

}  // namespace
}  // namespace velmaro::qt
