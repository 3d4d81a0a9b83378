// COM numbers as Wine gives them: user links first, then the ttyS, ttyUSB and ttyACM runs up to
// their first gap, each port at the lowest free number; other ports after them in name order.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "linux/wine_com_numbers.h"

namespace velmaro::linux_backend {
namespace {

struct NumberCase {
    const char* name;
    std::vector<ComLink> links;
    std::set<std::string> existing;
    std::vector<std::string> others;
    std::map<std::string, int> expected;
};

class WineComNumbersTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(WineComNumbersTest, Numbers) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(WineComNumbers(c.links, c.existing, c.others), c.expected);
}

std::set<std::string> Nodes(const std::string& prefix, int count) {
    std::set<std::string> nodes;
    for (int n = 0; n < count; ++n) {
        nodes.insert(prefix + std::to_string(n));
    }
    return nodes;
}

std::set<std::string> With(std::set<std::string> nodes, const std::set<std::string>& more) {
    nodes.insert(more.begin(), more.end());
    return nodes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases,
    WineComNumbersTest,
    ::testing::Values(
        NumberCase{"RunsInOrder",
                   {},
                   {"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"},
                   {},
                   {{"/dev/ttyS0", 1}, {"/dev/ttyS1", 2}, {"/dev/ttyUSB0", 3}, {"/dev/ttyACM0", 4}}},
        NumberCase{"LinkWins",
                   {{5, "/dev/ttyUSB0"}},
                   {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"},
                   {},
                   {{"/dev/ttyUSB0", 5}, {"/dev/ttyS0", 1}, {"/dev/ttyUSB1", 2}}},
        NumberCase{"GapEndsARun",
                   {},
                   {"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyUSB1", "/dev/ttyACM0"},
                   {},
                   {{"/dev/ttyS0", 1}, {"/dev/ttyACM0", 2}}},
        NumberCase{"LinksWithoutDeviceKeepTheirNumbers",
                   {{1, "/dev/ttyS9"}, {3, "/dev/ttyACM0"}},
                   {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyACM0"},
                   {},
                   {{"/dev/ttyS9", 1}, {"/dev/ttyACM0", 3}, {"/dev/ttyS0", 2}, {"/dev/ttyS1", 4}, {"/dev/ttyUSB0", 5}}},
        NumberCase{"SecondLinkOfANumberIgnored",
                   {{2, "/dev/ttyUSB0"}, {2, "/dev/ttyUSB1"}},
                   {"/dev/ttyUSB0", "/dev/ttyUSB1"},
                   {},
                   {{"/dev/ttyUSB0", 2}, {"/dev/ttyUSB1", 1}}},
        NumberCase{
            "OthersInNameOrderAfterTheRuns",
            {},
            {"/dev/ttyS0"},
            {"/dev/rfcomm10", "/dev/ttyAMA0", "/dev/rfcomm2", "/dev/ttyS0", "/dev/ttyS5"},
            {{"/dev/ttyS0", 1}, {"/dev/rfcomm2", 2}, {"/dev/rfcomm10", 3}, {"/dev/ttyAMA0", 4}, {"/dev/ttyS5", 5}}},
        // The kernel's 32 placeholder nodes: the first cable is COM33.
        NumberCase{"ThirtyTwoPlaceholders",
                   {},
                   With(Nodes("/dev/ttyS", 32), {"/dev/ttyUSB0"}),
                   {"/dev/ttyUSB0"},
                   [] {
                       std::map<std::string, int> m;
                       for (int n = 0; n < 32; ++n) {
                           m["/dev/ttyS" + std::to_string(n)] = n + 1;
                       }
                       m["/dev/ttyUSB0"] = 33;
                       return m;
                   }()},
        NumberCase{"NoPorts", {}, {}, {}, {}}),
    [](const auto& info) { return info.param.name; });

TEST(WineComNumbersTest, NumberOfALinkName) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"com1", 1}, {"COM12", 12}, {"Com256", 256}, {"com257", 0}, {"com0", 0},  {"com05", 0},
        {"com", 0},  {"comx", 0},   {"c:", 0},       {"lpt1", 0},   {"com1x", 0},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(ComNumberOfLinkName(name), number) << name;
    }
}

TEST(WineComNumbersTest, NaturalOrder) {
    EXPECT_TRUE(NaturalLess("rfcomm2", "rfcomm10"));
    EXPECT_FALSE(NaturalLess("rfcomm10", "rfcomm2"));
    EXPECT_TRUE(NaturalLess("ttyACM0", "ttyS0"));
    EXPECT_TRUE(NaturalLess("ttyS", "ttyS0"));
    EXPECT_FALSE(NaturalLess("ttyS1", "ttyS1"));
}

}  // namespace
}  // namespace velmaro::linux_backend
