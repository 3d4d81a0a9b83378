// Contrast after WCAG: luminance, ratios worked out by hand, and the readable colour on light, dark
// and high-contrast backgrounds.
#include <gtest/gtest.h>

#include "common/contrast.h"

namespace velmaro {
namespace {

constexpr Rgb RgbOf(int red, int green, int blue) {
    return static_cast<Rgb>(red) | (static_cast<Rgb>(green) << 8) | (static_cast<Rgb>(blue) << 16);
}

constexpr Rgb kNavy = 8388608;  // (0, 0, 128)
constexpr Rgb kRed = 192;       // (192, 0, 0)
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0;
constexpr Rgb kLightFace = RgbOf(240, 240, 240);
constexpr Rgb kDarkGtk = RgbOf(50, 50, 50);

TEST(Contrast, RatiosOfKnownPairs) {
    const struct {
        Rgb a, b;
        double ratio;
    } cases[] = {
        {kBlack, kWhite, 21.0},
        {kWhite, kWhite, 1.0},
        {kNavy, kWhite, 16.01},
        {kRed, kWhite, 6.48},
        {RgbOf(119, 119, 119), kWhite, 4.48},
        // The dark theme the design's colours fail on.
        {kNavy, kDarkGtk, 1.25},
        {kRed, kDarkGtk, 1.98},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01) << c.a << " on " << c.b;
        EXPECT_DOUBLE_EQ(ContrastRatio(c.a, c.b), ContrastRatio(c.b, c.a));
    }
    EXPECT_TRUE(IsLightBackground(kWhite));
    EXPECT_TRUE(IsLightBackground(kLightFace));
    EXPECT_TRUE(IsLightBackground(RgbOf(119, 119, 119)));
    EXPECT_FALSE(IsLightBackground(kDarkGtk));
    EXPECT_FALSE(IsLightBackground(kBlack));
}

enum class Pick { Design, Theme, Mixed };

// Light backgrounds keep the design's colours; dark and high-contrast ones take the theme's where it
// reads, else the design's hue lightened (darkened on a light grey) just past 4.5:1.
TEST(Contrast, ReadableTextColorByBackground) {
    const struct {
        const char* name;
        Rgb design, background;
        std::optional<Rgb> theme;
        Pick pick;
    } cases[] = {
        {"navy on the light face", kNavy, kLightFace, RgbOf(0, 0, 255), Pick::Design},
        {"red on white", kRed, kWhite, std::nullopt, Pick::Design},
        {"navy on dark, theme link", kNavy, kDarkGtk, RgbOf(138, 180, 248), Pick::Theme},
        {"red on dark, no theme colour", kRed, kDarkGtk, std::nullopt, Pick::Mixed},
        {"navy on dark, theme link too dark", kNavy, kDarkGtk, RgbOf(0, 0, 200), Pick::Mixed},
        {"navy on high-contrast black, yellow link", kNavy, kBlack, RgbOf(255, 255, 0), Pick::Theme},
        {"red on high-contrast black", kRed, kBlack, std::nullopt, Pick::Mixed},
        {"red on mid grey", kRed, RgbOf(119, 119, 119), std::nullopt, Pick::Mixed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Rgb chosen = ReadableTextColor(c.design, c.background, c.theme);
        const double ratio = ContrastRatio(chosen, c.background);
        EXPECT_GE(ratio, kMinTextContrast);
        switch (c.pick) {
            case Pick::Design:
                EXPECT_EQ(chosen, c.design);
                break;
            case Pick::Theme:
                EXPECT_EQ(chosen, *c.theme);
                break;
            case Pick::Mixed: {
                // Just past the threshold, and the design's hue kept: its strongest channel stays the
                // strongest, the two others equal.
                EXPECT_LT(ratio, 5.0);
                const int red = static_cast<int>(chosen & 0xFF);
                const int green = static_cast<int>((chosen >> 8) & 0xFF);
                const int blue = static_cast<int>((chosen >> 16) & 0xFF);
                if (c.design == kRed) {
                    EXPECT_GT(red, green);
                    EXPECT_EQ(green, blue);
                } else {
                    EXPECT_GT(blue, red);
                    EXPECT_EQ(red, green);
                }
                break;
            }
        }
    }
}

}  // namespace
}  // namespace velmaro
