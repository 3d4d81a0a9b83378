#include <gtest/gtest.h>

#include <stdexcept>

#include "guidance/help_pages.h"
#include "memory/memory_file_system.h"

namespace velmaro {
namespace {

using memory::MemoryFileSystem;

struct ExistsCase {
    const char* name;
    const char* path;
    bool exists;
};

TEST(FileExists, OnlyNormalFilesCount) {
    MemoryFileSystem files;
    files.AddFile("C:\\Hilfe\\normal.htm");
    files.AddFile("C:\\Hilfe\\versteckt.htm", /*hidden=*/true);
    files.AddFile("C:\\Hilfe\\system.htm", /*hidden=*/false, /*system=*/true);
    files.AddFile("C:\\Hilfe\\beides.htm", /*hidden=*/true, /*system=*/true);
    files.AddDirectory("C:\\Hilfe\\ordner.htm");

    const ExistsCase cases[] = {
        {"normal file", "C:\\Hilfe\\normal.htm", true},
        {"other letter case", "c:\\hilfe\\NORMAL.HTM", true},
        {"hidden file", "C:\\Hilfe\\versteckt.htm", false},
        {"system file", "C:\\Hilfe\\system.htm", false},
        {"hidden system file", "C:\\Hilfe\\beides.htm", false},
        {"directory", "C:\\Hilfe\\ordner.htm", false},
        {"missing", "C:\\Hilfe\\fehlt.htm", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileExists(files, c.path), c.exists);
    }
}

TEST(FileExists, DotNamesAndEmptyAreNeverLookedUp) {
    MemoryFileSystem files;
    files.AddFile(".");
    files.AddFile("..");
    for (const char* path : {"", ".", ".."}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(FileExists(files, path));
    }
    EXPECT_TRUE(files.LookedUp().empty());
}

TEST(FileExists, FailingLookupIsNoFile) {
    MemoryFileSystem files;
    files.AddFile("C:\\Hilfe\\normal.htm");
    files.FailLookups(true);
    EXPECT_FALSE(FileExists(files, "C:\\Hilfe\\normal.htm"));
    EXPECT_EQ(files.LookedUp().size(), 1u);
}

// A lookup that finds an entry without a name has found nothing usable.
class NamelessFileSystem : public IFileSystem {
  public:
    std::optional<FileEntry> Lookup(const std::string&) const override { return FileEntry{}; }
};

TEST(FileExists, EntryWithoutNameIsNoFile) {
    NamelessFileSystem files;
    EXPECT_FALSE(FileExists(files, "C:\\x.htm"));
}

TEST(FindHelpPage, FirstExistingCandidateBelowTheFolder) {
    MemoryFileSystem files;
    files.AddFile("D:\\App\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_Win2000.htm");
    files.AddFile("D:\\App\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinVista.htm");
    EXPECT_EQ(FindHelpPage(files, "D:\\App"), "D:\\App\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_Win2000.htm");
    EXPECT_EQ(FindHelpPage(files, "D:\\Anders"), std::nullopt);
}

TEST(MemoryFileSystem, LookupNamesTheEntryWithoutItsFolder) {
    MemoryFileSystem files;
    files.AddFile("C:\\Hilfe\\Seite.htm");
    auto entry = files.Lookup("C:\\Hilfe\\Seite.htm");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->name, "Seite.htm");
    files.Remove("c:\\hilfe\\seite.htm");
    EXPECT_FALSE(files.Lookup("C:\\Hilfe\\Seite.htm").has_value());
}

}  // namespace
}  // namespace velmaro
