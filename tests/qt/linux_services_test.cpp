// The desktop services behind the Qt window: the program's name and version, file lookups and the
// single-instance lock.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "linux_services.h"

namespace velmaro::qt {
namespace {

// Makes the files below dir, with the permissions given.
void Touch(const QTemporaryDir& dir, const std::vector<const char*>& names, QFile::Permissions permissions) {
    for (const char* name : names) {
        QFile file(QDir(dir.path()).filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.setPermissions(permissions)) << name;
    }
}

// Up to three numbers; the build's own version is the project's, the name the executable's
// unless a program name is given.
TEST(ApplicationIdentityTest, NameAndVersion) {
    const std::pair<const char*, ProgramVersion> cases[] = {
        {"1.0.7", {1, 0, 7}}, {"2.13", {2, 13, 0}}, {"3", {3, 0, 0}}, {"", {0, 0, 0}}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseVersion(text), expected) << text;
    }
    EXPECT_EQ(ApplicationIdentity().Version(), (ProgramVersion{1, 0, 7}));
    EXPECT_EQ(ApplicationIdentity().ExecutableName(), "test_qt");
    EXPECT_EQ(ApplicationIdentity("Velmaro").ExecutableName(), "Velmaro");
}

// Paths are the system's own; a file whose name starts with a dot is hidden.
TEST(LocalFileSystemTest, KindsOfEntry) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("help")));
    Touch(dir, {"help/page.htm", ".hidden.htm"}, QFile::ReadOwner | QFile::WriteOwner);
    const std::string root = dir.path().toStdString();
    const struct {
        std::string path;
        std::string name;  // "": not found
        bool directory, hidden;
    } cases[] = {
        {root + "/help/page.htm", "page.htm", false, false}, {root + "/help", "help", true, false},
        {root + "/.hidden.htm", ".hidden.htm", false, true}, {root + "/help/missing.htm", "", false, false},
        {root + "\\help\\page.htm", "", false, false},  // a backslash is part of a name here
    };
    for (const auto& c : cases) {
        const FileEntry entry = LocalFileSystem().Lookup(c.path).value_or(FileEntry{});
        EXPECT_EQ(std::tuple(entry.name, entry.directory, entry.hidden, entry.system),
                  std::tuple(c.name, c.directory, c.hidden, false))
            << c.path;
    }
    EXPECT_EQ(LocalFileSystem().Separator(), '/');
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
    EXPECT_FALSE(LockFileInstance(folder, "velmaro.lock").AnotherInstanceRunning());
}

}  // namespace
}  // namespace velmaro::qt
