// The caption bar: fixed height, label and rule stretched to the width, saved caption, events.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "common/access_key.h"
#include "headline/property_bag.h"
#include "headline/uc_headline.h"

namespace velmaro {
namespace {

TEST(Headline, HeightSpringsBackTo255WhileLabelAndRuleSpanTheWidth) {
    const float cases[][3] = {{7815, 500, 2}, {3000, 100, 2}, {15, 255, 1}};  // width, height, layout runs
    for (const auto& [width, height, layouts] : cases) {
        SCOPED_TRACE(::testing::Message() << width << " x " << height);
        ucHeadline headline;
        int runs = 0;
        headline.OnLayout([&] { ++runs; });
        headline.Move(60, 60, width, height);
        EXPECT_EQ(runs, layouts);  // the corrected height resizes the control once more
        EXPECT_EQ(headline.Height(), 255);
        EXPECT_EQ(headline.lblHeader().Width(), width);
        EXPECT_EQ(headline.lblHeader().Height(), 255);
        EXPECT_EQ(headline.Line1().X1(), 0);
        EXPECT_EQ(headline.Line1().X2(), width);
        EXPECT_EQ(headline.Line1().Y1(), 215);
        EXPECT_EQ(headline.Line1().Y2(), 215);
    }
}

TEST(Headline, LineBorderRightShortensTheRuleAtOnce) {
    ucHeadline headline;
    headline.Move(60, 60, 7815, 255);
    int runs = 0;
    headline.OnLayout([&] { ++runs; });
    headline.SetLineBorderRight(600);
    EXPECT_EQ(headline.Line1().X2(), 7215);
    EXPECT_EQ(runs, 1);  // at once, without a resize
    headline.SetWidth(6000);
    EXPECT_EQ(headline.Line1().X2(), 5400);
    headline.SetLineBorderRight(0);
    EXPECT_EQ(headline.Line1().X2(), 6000);
}

TEST(Headline, ButtonFaceBackgroundAndCaptionSavedOnlyWhenNotTheDefault) {
    ucHeadline headline;
    EXPECT_EQ(headline.LabelBackColor(), Color::System(15));
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"ucHeadline", std::nullopt}, {"UCHeadline", "UCHeadline"}, {"Ports && Kabel", "Ports && Kabel"}};
    for (const auto& [caption, saved] : cases) {
        PropertyBag bag;
        headline.SetCaption(caption);
        headline.WriteProperties(bag);
        EXPECT_EQ(bag.Read("Caption"), saved) << caption;
        EXPECT_EQ(bag.Entries().size(), saved ? 1u : 0u) << caption;
    }
    headline.ReadProperties(PropertyBag{{"Caption", "Hinweis zur Problemlösung"}});
    EXPECT_EQ(headline.Caption(), "Hinweis zur Problemlösung");
    headline.ReadProperties(PropertyBag{{"caption", "klein"}});  // no "Caption": the default
    EXPECT_EQ(headline.Caption(), "ucHeadline");
}

TEST(Headline, ClicksAndDoubleClicksReachTheContainer) {
    ucHeadline headline;
    int events = 0;
    headline.OnClick([&] { events += 1; });
    headline.OnDblClick([&] { events += 10; });
    headline.ForwardClick();
    headline.ForwardDblClick();
    EXPECT_EQ(events, 11);
}

TEST(AccessKey, AmpersandMarksTheKeyAndTwoShowOne) {
    const std::tuple<const char*, const char*, std::optional<std::size_t>> cases[] = {
        {"Physikalische && virtuelle COM Ports", "Physikalische & virtuelle COM Ports", std::nullopt},
        {"Gerätemanager &öffnen", "Gerätemanager öffnen", 15},  // "ä" is two bytes
        {"&a&b", "ab", 0},                                      // the first mark is the key
    };
    for (const auto& [caption, shown, key] : cases) {
        EXPECT_EQ(SplitAccessKey(caption), (AccessKeyCaption{shown, key})) << caption;
        EXPECT_EQ(DisplayedCaption(caption), shown) << caption;
    }
}

}  // namespace
}  // namespace velmaro
