// The bounded reader against files of every kind a hostile or broken setup can put in its way.
#include "posix/bounded_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "temp_folder.h"

namespace velmaro::posix {
namespace {

using Folder = testing::TempFolder;

TEST(ReadBoundedFile, FilesOfEveryKind) {
    Folder folder;
    const std::string fifo = folder.Fifo("fifo");
    folder.Link("loop-a", folder.path + "/loop-b");
    folder.Link("loop-b", folder.path + "/loop-a");
    struct Case {
        const char* what;
        std::string path;
        std::size_t limit;
        ReadFailure failure;
        std::string content;  // on success
        std::string cause;    // the message after "<path>: "
    } cases[] = {
        {"a small file", folder.Write("ports", "COM1\n"), 10, ReadFailure::None, "COM1\n", ""},
        {"an empty file", folder.Write("empty", ""), 10, ReadFailure::None, "", ""},
        {"exactly at the limit", folder.Write("ten", "0123456789"), 10, ReadFailure::None, "0123456789", ""},
        {"one byte over the limit", folder.Write("eleven", "0123456789A"), 10, ReadFailure::TooLarge, "",
         "larger than 10 bytes, not read"},
        // 70,000 bytes: over the limit within the second block of the read.
        {"many blocks over the limit", folder.Write("big", std::string(70000, 'x')), 65537, ReadFailure::TooLarge, "",
         "larger than 65537 bytes, not read"},
        {"a link to a small file", folder.Link("to-ports", folder.path + "/ports"), 10, ReadFailure::None, "COM1\n",
         ""},
        {"a FIFO without writer returns at once", fifo, 10, ReadFailure::NotRegularFile, "",
         "not a regular file but a FIFO"},
        {"a link to /dev/zero", folder.Link("zero", "/dev/zero"), 10, ReadFailure::NotRegularFile, "",
         "not a regular file but a character device"},
        {"a folder", folder.path, 10, ReadFailure::NotRegularFile, "", "not a regular file but a directory"},
        {"a link loop", folder.path + "/loop-a", 10, ReadFailure::SymlinkLoop, "",
         "too many levels of symbolic links (a link loop?)"},
        {"missing", folder.path + "/missing", 10, ReadFailure::NotFound, "", "not found"},
        {"below a file", folder.path + "/ports/x", 10, ReadFailure::NotFound, "", "not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BoundedRead read = ReadBoundedFile(c.path, c.limit);
        EXPECT_EQ(read.failure, c.failure);
        EXPECT_EQ(read.Ok(), c.failure == ReadFailure::None);
        EXPECT_EQ(read.content, c.content);
        EXPECT_EQ(read.message, c.cause.empty() ? "" : c.path + ": " + c.cause);
    }
}

// Root reads files of any mode, but a write-only sysfs attribute refuses reading to root too.
TEST(ReadBoundedFile, PermissionDenied) {
    Folder folder;
    std::string path = folder.Write("secret", "x");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::geteuid() == 0) {
        path = "/sys/bus/pci/rescan";
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) {
            GTEST_SKIP() << "running as root and no write-only sysfs attribute " << path << " to try";
        }
    }
    const BoundedRead read = ReadBoundedFile(path, kSysfsAttributeLimit);
    EXPECT_EQ(read.failure, ReadFailure::PermissionDenied);
    EXPECT_EQ(read.message, path + ": permission denied");
}

// A sysfs attribute announces a page whatever it holds; its content is what counts.
TEST(ReadBoundedFile, SysfsAttributeIsReadByItsContent) {
    const std::string path = "/sys/kernel/mm/transparent_hugepage/enabled";
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        GTEST_SKIP() << "no " << path << " here";
    }
    const BoundedRead read = ReadBoundedFile(path, kSysfsAttributeLimit);
    ASSERT_TRUE(read.Ok()) << read.message;
    EXPECT_NE(read.content.find('['), std::string::npos);  // "always [madvise] never"
}

TEST(PrintableName, EscapesWhatCouldSteerATerminal) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"system.reg", "system.reg"},
        {"Geräte/ü.json", "Geräte/ü.json"},
        {"a\x1B[31mred", "a\\x1B[31mred"},
        {"tab\tnew\nline", "tab\\x09new\\x0Aline"},
        {"back\\slash", "back\\x5Cslash"},
        {"\xFF\xFE", "\\xFF\\xFE"},           // not UTF-8 at all
        {"\xC3", "\\xC3"},                    // a sequence cut short
        {"\xC0\xAF", "\\xC0\\xAF"},           // an overlong '/'
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},  // a surrogate
        {"\xC2\x9B"
         "2J",
         "\\xC2\\x9B2J"},                          // the C1 control CSI
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // four bytes, valid
        {"\x7F", "\\x7F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableName(c.in), c.out) << c.out;
    }
}

}  // namespace
}  // namespace velmaro::posix
