// Scenario files that cannot be read, each worded by its cause, with the name escaped.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "snapshot/scenario.h"
#include "temp_folder.h"

namespace velmaro::snapshot {
namespace {

TEST(ScenarioFiles, ErrorsByCause) {
    testing::TempFolder folder;
    const std::string& dir = folder.path;
    folder.Link("loop-a", dir + "/loop-b");
    folder.Link("loop-b", dir + "/loop-a");
    const std::string closed = folder.Write("closed.json", "{}");
    ASSERT_EQ(::chmod(closed.c_str(), 0), 0);
    struct Case {
        std::string file;
        std::string message;  // empty: loads
    };
    const std::string cannotOpen = ": cannot open the file: ";
    const Case cases[] = {
        {dir + "/none.json", dir + "/none.json" + cannotOpen + "not found"},
        {dir + "/none/x.json", dir + "/none/x.json" + cannotOpen + "not found"},
        {dir + "/loop-a", dir + "/loop-a" + cannotOpen + "too many levels of symbolic links (a link loop?)"},
        {folder.Fifo("fifo.json"), dir + "/fifo.json" + cannotOpen + "not a regular file but a FIFO"},
        {folder.Link("zero.json", "/dev/zero"),
         dir + "/zero.json" + cannotOpen + "not a regular file but a character device"},
        {dir, dir + cannotOpen + "not a regular file but a directory"},
        // The limit below is 8 bytes.
        {folder.Write("nine.json", "{}       "), dir + "/nine.json: larger than 8 bytes, not read"},
        {folder.Write("eight.json", "{}      "), ""},
        // Terminal escapes and bytes that are not UTF-8 in the name come out as \xNN.
        {dir + "/\x1B]0;title\x07.json", dir + "/\\x1B]0;title\\x07.json" + cannotOpen + "not found"},
        {folder.Write("caf\xE9.json", "[]"),
         dir + "/caf\\xE9.json: (top level): expected an object at the top level, found an array"},
        {folder.Write("nul.json", std::string("{}\n\0x", 5)),
         dir + "/nul.json:2:1: a NUL byte, which no scenario holds"},
        // Root opens a file of any mode.
        {closed, ::geteuid() == 0 ? "" : closed + cannotOpen + "permission denied"},
    };
    for (const Case& c : cases) {
        DeviceSnapshot machine;
        if (c.message.empty()) {
            EXPECT_NO_THROW(LoadScenarioFile(c.file, machine, 8)) << c.file;
        } else {
            EXPECT_THAT([&] { LoadScenarioFile(c.file, machine, 8); },
                        ::testing::ThrowsMessage<ScenarioError>(c.message));
        }
    }
}

}  // namespace
}  // namespace velmaro::snapshot
