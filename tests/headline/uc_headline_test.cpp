#include "headline/uc_headline.h"

#include <gtest/gtest.h>

namespace velmaro {
namespace {

struct Extent {
    float width;
    float height;
};

class HeadlineTest : public ::testing::Test {
  protected:
    HeadlineTest() {
        headline.OnLayout([this] { ++layoutRuns; });
    }
    ucHeadline headline;
    int layoutRuns = 0;
};

TEST_F(HeadlineTest, FreshControlHasFixedHeightAndDefaultCaption) {
    EXPECT_EQ(headline.Height(), 255);
    EXPECT_EQ(headline.Caption(), "ucHeadline");
    EXPECT_EQ(headline.LineBorderRight(), 0);
    EXPECT_EQ(headline.Line1().Y1(), 215);
}

TEST_F(HeadlineTest, ContainerHeightSpringsBackTo255AndLayoutRunsAgain) {
    headline.Move(60, 60, 7815, 500);

    EXPECT_EQ(headline.Height(), 255);
    EXPECT_EQ(headline.lblHeader().Height(), 255);
    EXPECT_EQ(headline.Line1().Y1(), 215);
    EXPECT_EQ(headline.Line1().Y2(), 215);
    // The container's resize plus the one caused by correcting the height.
    EXPECT_EQ(layoutRuns, 2);
}

TEST_F(HeadlineTest, RightHeightNeedsOneLayoutRun) {
    headline.Move(60, 60, 7815, 255);
    EXPECT_EQ(layoutRuns, 1);
}

TEST_F(HeadlineTest, SettingHeightAloneAlsoSpringsBack) {
    headline.SetHeight(100);
    EXPECT_EQ(headline.Height(), 255);
    EXPECT_EQ(headline.Line1().Y1(), 215);
    EXPECT_EQ(layoutRuns, 2);
}

TEST_F(HeadlineTest, LabelFillsTheControlAndRuleSpansTheWidth) {
    const Extent sizes[] = {{7815, 255}, {7815, 500}, {3000, 0}, {15, 1000}, {0, 255}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height);
        headline.Move(0, 0, size.width, size.height);
        EXPECT_EQ(headline.lblHeader().Left(), 0);
        EXPECT_EQ(headline.lblHeader().Top(), 0);
        EXPECT_EQ(headline.lblHeader().Width(), size.width);
        EXPECT_EQ(headline.lblHeader().Height(), 255);
        EXPECT_EQ(headline.Line1().X1(), 0);
        EXPECT_EQ(headline.Line1().X2(), size.width);
        EXPECT_EQ(headline.Line1().Y1(), 215);
        EXPECT_EQ(headline.Line1().Y2(), 215);
    }
}

TEST_F(HeadlineTest, MovingWithoutResizingKeepsTheLayout) {
    headline.Move(0, 0, 4000, 255);
    layoutRuns = 0;
    headline.SetLeft(120);
    headline.SetTop(90);
    EXPECT_EQ(headline.Left(), 120);
    EXPECT_EQ(headline.Top(), 90);
    EXPECT_EQ(layoutRuns, 0);
}

TEST_F(HeadlineTest, WidthChangeStretchesLabelAndRule) {
    headline.Move(0, 0, 4000, 255);
    headline.SetLineBorderRight(100);
    headline.SetWidth(6000);
    EXPECT_EQ(headline.lblHeader().Width(), 6000);
    EXPECT_EQ(headline.Line1().X2(), 5900);
}

TEST_F(HeadlineTest, LineBorderRightShortensTheRuleAtOnce) {
    headline.Move(60, 60, 7815, 255);
    EXPECT_EQ(headline.Line1().X2(), 7815);
    layoutRuns = 0;

    headline.SetLineBorderRight(600);

    EXPECT_EQ(headline.LineBorderRight(), 600);
    EXPECT_EQ(headline.Line1().X2(), 7215);
    EXPECT_EQ(headline.Line1().X1(), 0);
    EXPECT_EQ(headline.Width(), 7815);  // no resize was needed
    EXPECT_EQ(layoutRuns, 1);

    headline.SetLineBorderRight(0);
    EXPECT_EQ(headline.Line1().X2(), 7815);
}

TEST_F(HeadlineTest, LineBorderRightKeepsFractions) {
    headline.Move(0, 0, 1000, 255);
    headline.SetLineBorderRight(7.5f);
    EXPECT_FLOAT_EQ(headline.Line1().X2(), 992.5f);
}

TEST_F(HeadlineTest, CaptionIsTheLabelText) {
    headline.SetCaption("Physikalische && virtuelle COM Ports auf diesem PC");
    EXPECT_EQ(headline.Caption(), "Physikalische && virtuelle COM Ports auf diesem PC");
    EXPECT_EQ(headline.lblHeader().Caption(), "Physikalische && virtuelle COM Ports auf diesem PC");
}

TEST_F(HeadlineTest, ClickAndDoubleClickReachTheContainer) {
    int clicks = 0;
    int doubleClicks = 0;
    headline.OnClick([&] { ++clicks; });
    headline.OnDblClick([&] { ++doubleClicks; });

    headline.ForwardClick();
    headline.ForwardDblClick();
    headline.ForwardDblClick();

    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 2);
}

TEST_F(HeadlineTest, ClicksBeforeSubscribingAreNotReplayed) {
    headline.ForwardClick();
    headline.ForwardDblClick();
    int clicks = 0;
    headline.OnClick([&] { ++clicks; });
    headline.OnDblClick([&] { ++clicks; });
    EXPECT_EQ(clicks, 0);
    headline.ForwardClick();
    EXPECT_EQ(clicks, 1);
}

TEST(HeadlineLook, ColoursAndFont) {
    EXPECT_EQ(ucHeadline::kTextColor.kind, Color::Kind::Rgb);
    EXPECT_EQ(ucHeadline::kTextColor.value, 8388608u);
    EXPECT_EQ(ucHeadline::kBackColor, Color::System(15));
    EXPECT_EQ(ucHeadline::kLineColor, Color::System(17));
    EXPECT_EQ(ucHeadline::kLineWidth, 1);
    EXPECT_EQ(ucHeadline::kFont.name, "MS Sans Serif");
    EXPECT_FLOAT_EQ(ucHeadline::kFont.points, 9.75f);
    EXPECT_EQ(ucHeadline::kFont.weight, 700);
    EXPECT_FALSE(ucHeadline::kFont.italic);
    EXPECT_FALSE(ucHeadline::kFont.underline);
    EXPECT_FALSE(ucHeadline::kFont.strikethrough);
}

TEST(HeadlineLook, BackgroundIsSetAtCreation) {
    ucHeadline headline;
    EXPECT_EQ(headline.LabelBackColor(), Color::System(15));
}

}  // namespace
}  // namespace velmaro
