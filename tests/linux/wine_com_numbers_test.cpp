// COM numbers as Wine gives them: user links first, then the ttyS, ttyUSB and ttyACM runs up to
// their first gap, each port at the lowest free number; other ports after them in name order.
#include <gtest/gtest.h>

#include "linux/wine_com_numbers.h"

namespace velmaro::linux_backend {
namespace {

TEST(WineComNumbers, Table) {
    const struct {
        const char* name;
        std::vector<ComLink> links;
        std::set<std::string> existing;
        std::vector<std::string> others;
        std::map<std::string, int> expected;
    } cases[] = {
        // clang-format off
        {"runs in order: ttyS, ttyUSB, ttyACM", {}, {"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"}, {},
         {{"/dev/ttyS0", 1}, {"/dev/ttyS1", 2}, {"/dev/ttyUSB0", 3}, {"/dev/ttyACM0", 4}}},
        {"links win, the runs take the lowest free numbers", {{1, "/dev/ttyS9"}, {3, "/dev/ttyACM0"}},
         {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyACM0"}, {},
         {{"/dev/ttyS9", 1}, {"/dev/ttyACM0", 3}, {"/dev/ttyS0", 2}, {"/dev/ttyS1", 4}, {"/dev/ttyUSB0", 5}}},
        {"a gap ends a run", {}, {"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyUSB1", "/dev/ttyACM0"}, {},
         {{"/dev/ttyS0", 1}, {"/dev/ttyACM0", 2}}},
        {"a second link of a number is ignored", {{2, "/dev/ttyUSB0"}, {2, "/dev/ttyUSB1"}},
         {"/dev/ttyUSB0", "/dev/ttyUSB1"}, {}, {{"/dev/ttyUSB0", 2}, {"/dev/ttyUSB1", 1}}},
        {"other ports after the runs in name order, numbers compared as numbers", {}, {"/dev/ttyS0"},
         {"/dev/rfcomm10", "/dev/ttyAMA0", "/dev/rfcomm2", "/dev/ttyS0", "/dev/ttyS5"},
         {{"/dev/ttyS0", 1}, {"/dev/rfcomm2", 2}, {"/dev/rfcomm10", 3}, {"/dev/ttyAMA0", 4}, {"/dev/ttyS5", 5}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WineComNumbers(c.links, c.existing, c.others), c.expected) << c.name;
    }
}

TEST(WineComNumbers, NumberOfALinkName) {
    const std::pair<const char*, int> cases[] = {
        {"com1", 1},  {"COM12", 12}, {"Com256", 256}, {"com257", 0}, {"com0", 0},
        {"com05", 0}, {"com", 0},    {"c:", 0},       {"lpt1", 0},   {"com1x", 0},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(ComNumberOfLinkName(name), number) << name;
    }
}

}  // namespace
}  // namespace velmaro::linux_backend
