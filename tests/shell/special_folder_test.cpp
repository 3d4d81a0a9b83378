#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "memory/memory_shell.h"
#include "shell/shell_helpers.h"

namespace velmaro {
namespace {

using memory::MemoryShell;

constexpr const char* kSystem = "C:\\WINDOWS\\system32";
constexpr const char* kSystemViaShfolder = "C:\\WINNT\\System32";

class SpecialFolderTest : public ::testing::Test {
  protected:
    void ExpectAllReleased() const {
        EXPECT_EQ(shell.OpenIdListCount(), 0);
        EXPECT_EQ(shell.LoadedLibraryCount(), 0);
        EXPECT_EQ(shell.BadReleaseCount(), 0);
    }
    MemoryShell shell;
};

TEST_F(SpecialFolderTest, ItemIdListMethodGivesThePathAndNoSecondMethodIsTried) {
    shell.SetShellFolder(37, kSystem);
    shell.SetShfolderFolder(37, kSystemViaShfolder);

    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), kSystem);

    EXPECT_EQ(shell.LocationRequests(), std::vector<std::int32_t>{37});
    EXPECT_EQ(shell.PathFromIdListCalls(), 1);
    EXPECT_TRUE(shell.LoadedLibraryNames().empty());
    EXPECT_TRUE(shell.ShfolderRequests().empty());
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, PathStopsAtTheFirstNul) {
    // The memory shell fills the buffer behind the NUL with junk.
    shell.SetFolder(37, kSystem);
    std::string path = GetSpecialFolderPath(shell, 37, false);
    EXPECT_EQ(path.size(), std::strlen(kSystem));
    EXPECT_EQ(path.find('\0'), std::string::npos);
    EXPECT_EQ(path.find('X'), std::string::npos);
}

TEST_F(SpecialFolderTest, CreateFlagIsOredIntoTheFolderNumber) {
    shell.SetFolder(37, kSystem);
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, true), kSystem);
    EXPECT_EQ(shell.LocationRequests(), std::vector<std::int32_t>{0x8025});

    shell.FailSpecialFolderLocation(true);
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, true), kSystem);
    EXPECT_EQ(shell.ShfolderRequests(), std::vector<std::int32_t>{0x8025});
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, FailedConversionGivesEmptyAndNoSecondMethod) {
    shell.SetFolder(37, kSystem);
    shell.FailPathFromIdList(true);

    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), "");

    EXPECT_TRUE(shell.LoadedLibraryNames().empty());
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, ShfolderAnswersWhenTheFirstMethodFails) {
    shell.SetShellFolder(37, kSystem);
    shell.SetShfolderFolder(37, kSystemViaShfolder);
    shell.FailSpecialFolderLocation(true);

    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), kSystemViaShfolder);

    EXPECT_EQ(shell.LoadedLibraryNames(), std::vector<std::string>{"shfolder"});
    EXPECT_EQ(shell.ShfolderRequests(), std::vector<std::int32_t>{37});
    EXPECT_EQ(shell.PathFromIdListCalls(), 0);
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, UnknownToTheShellFallsBackToShfolder) {
    shell.SetShfolderFolder(37, kSystemViaShfolder);
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), kSystemViaShfolder);
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, NoShfolderGivesEmpty) {
    shell.SetFolder(37, kSystem);
    shell.FailSpecialFolderLocation(true);
    shell.SetShfolderLoadable(false);

    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), "");

    EXPECT_EQ(shell.LoadedLibraryNames(), std::vector<std::string>{"shfolder"});
    EXPECT_TRUE(shell.ShfolderRequests().empty());
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, FailingShfolderGivesEmptyAndUnloadsIt) {
    shell.SetFolder(37, kSystem);
    shell.FailSpecialFolderLocation(true);
    shell.FailShfolderPath(true);

    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), "");

    EXPECT_EQ(shell.ShfolderRequests().size(), 1u);
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, FolderNobodyKnowsGivesEmpty) {
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), "");
    EXPECT_EQ(shell.LocationRequests().size(), 1u);
    EXPECT_EQ(shell.ShfolderRequests().size(), 1u);
    ExpectAllReleased();
}

TEST_F(SpecialFolderTest, AnsiPathIsConvertedToText) {
    shell.SetFolder(37, "D:\\Geräte\\System");
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), "D:\\Geräte\\System");
    shell.FailSpecialFolderLocation(true);
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), "D:\\Geräte\\System");
}

TEST_F(SpecialFolderTest, LongestPathFitsTheBuffer) {
    std::string longest = "C:\\" + std::string(256, 'a');  // 259 characters and the NUL
    shell.SetFolder(37, longest);
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), longest);
}

// A shell whose calls fail by throwing, or that leave the buffer without a NUL.
class AwkwardShell : public MemoryShell {
  public:
    std::int32_t GetPathFromIdList(ItemIdList list, char* path) override {
        if (throwInConversion) {
            throw std::runtime_error("conversion");
        }
        std::int32_t converted = MemoryShell::GetPathFromIdList(list, path);
        if (noNul) {
            std::memset(path, 'p', kMaxPath);
        }
        return converted;
    }
    std::int32_t GetFolderPathFromLibrary(LibraryHandle library,
                                          WindowHandle owner,
                                          std::int32_t folder,
                                          std::uintptr_t token,
                                          std::uint32_t flags,
                                          char* path) override {
        if (throwInShfolder) {
            throw std::runtime_error("shfolder");
        }
        return MemoryShell::GetFolderPathFromLibrary(library, owner, folder, token, flags, path);
    }
    bool throwInConversion = false;
    bool throwInShfolder = false;
    bool noNul = false;
};

TEST(SpecialFolderRelease, ItemIdListIsFreedWhenTheConversionThrows) {
    AwkwardShell shell;
    shell.SetFolder(37, kSystem);
    shell.throwInConversion = true;
    EXPECT_THROW(GetSpecialFolderPath(shell, 37, false), std::runtime_error);
    EXPECT_EQ(shell.OpenIdListCount(), 0);
    EXPECT_EQ(shell.BadReleaseCount(), 0);
}

TEST(SpecialFolderRelease, LibraryIsFreedWhenShfolderThrows) {
    AwkwardShell shell;
    shell.SetFolder(37, kSystem);
    shell.FailSpecialFolderLocation(true);
    shell.throwInShfolder = true;
    EXPECT_THROW(GetSpecialFolderPath(shell, 37, false), std::runtime_error);
    EXPECT_EQ(shell.LoadedLibraryCount(), 0);
    EXPECT_EQ(shell.BadReleaseCount(), 0);
}

TEST(SpecialFolderRelease, BufferWithoutNulIsTakenWhole) {
    AwkwardShell shell;
    shell.SetFolder(37, kSystem);
    shell.noNul = true;
    EXPECT_EQ(GetSpecialFolderPath(shell, 37, false), std::string(260, 'p'));
    EXPECT_EQ(shell.OpenIdListCount(), 0);
}

}  // namespace
}  // namespace velmaro
