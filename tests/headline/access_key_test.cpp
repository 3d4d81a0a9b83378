#include "common/access_key.h"

#include <gtest/gtest.h>

namespace velmaro {
namespace {

struct AccessKeyCase {
    const char* caption;
    const char* shown;
    std::optional<std::size_t> key;
};

TEST(AccessKey, CaptionsAsShown) {
    const AccessKeyCase cases[] = {
        {"", "", std::nullopt},
        {"Beenden", "Beenden", std::nullopt},
        {"Physikalische && virtuelle COM Ports auf diesem PC", "Physikalische & virtuelle COM Ports auf diesem PC",
         std::nullopt},
        {"&Beenden", "Beenden", 0},
        {"Gerätemanager &öffnen", "Gerätemanager öffnen", 15},  // "ä" is two bytes
        {"a&&b&c", "a&bc", 3},
        {"&&&x", "&x", 1},
        {"&&", "&", std::nullopt},
        {"&a&b", "ab", 0},  // the first mark is the key
        {"Ende&", "Ende", std::nullopt},
        {"&", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        AccessKeyCaption split = SplitAccessKey(c.caption);
        EXPECT_EQ(split.text, c.shown);
        EXPECT_EQ(split.keyOffset, c.key);
        EXPECT_EQ(DisplayedCaption(c.caption), c.shown);
    }
}

}  // namespace
}  // namespace velmaro
