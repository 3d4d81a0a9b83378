// The row icons' size by resolution: 16 px at 96 DPI, 24 at 144, 32 at 192 and above; 120 DPI
// scales 16 px to 20, midway, and takes the larger.
#include <gtest/gtest.h>

#include "common/twips.h"

namespace velmaro {
namespace {

TEST(RowIconPixels, NearestOfTheThreeSizes) {
    const std::pair<int, int> cases[] = {{72, 16},  {96, 16},  {120, 24}, {125, 24},
                                         {144, 24}, {168, 32}, {192, 32}, {288, 32}};
    for (const auto& [dpi, pixels] : cases) {
        EXPECT_EQ(RowIconPixels(dpi), pixels) << dpi;
    }
}

}  // namespace
}  // namespace velmaro
