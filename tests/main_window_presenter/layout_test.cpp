// The layout pass: every position it sets, in which order, the spring-back to the minimum size
// with its nested pass, and what stays where it was designed.
#include <gtest/gtest.h>

#include <algorithm>

#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

// What one pass leaves behind; all values worked out from the layout steps by hand.
struct LayoutCase {
    const char* name;
    float outerWidth, outerHeight;  // as the user left the frame
    bool problemShown;
    float finalOuterWidth, finalOuterHeight;
    float headlineWidth;  // hdlMain and lvwPorts
    float exitLeft, devManLeft, buttonsTop;
    float lineX2, lineY;
    float problemTop, listHeight, column2;
    float urlPreWebTop, urlWebTop, urlMailTop;  // lblUrlPre(1) and lblUrl(1) share one Top
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << c.name;
}

const LayoutCase kLayoutCases[] = {
    // Client 7935 x 6270: the numbers of the design.
    {"DesignSize", 8130, 6720, false, 8130, 6720, 7815, 6420, 4845, 5595, 7875, 5535, 4860, 3195, 6255, 5595, 5790,
     6015},
    {"DesignSizeWithProblemLine", 8130, 6720, true, 8130, 6720, 7815, 6420, 4845, 5595, 7875, 5535, 4860, 2520, 6255,
     5595, 5790, 6015},
    // Client 9935 x 6270: wider and further right, same heights.
    {"Wider", 10130, 6720, false, 10130, 6720, 9815, 8420, 6845, 5595, 9875, 5535, 4860, 3195, 8255, 5595, 5790, 6015},
    // Client 7935 x 8270: everything below the list 2000 lower, the list 2000 taller.
    {"Taller", 8130, 8720, false, 8130, 8720, 7815, 6420, 4845, 7595, 7875, 7535, 6860, 5195, 6255, 7595, 7790, 8015},
    {"TallerWithProblemLine", 8130, 8720, true, 8130, 8720, 7815, 6420, 4845, 7595, 7875, 7535, 6860, 4520, 6255, 7595,
     7790, 8015},
    // Client 15805 x 11550.
    {"Large", 16000, 12000, false, 16000, 12000, 15685, 14290, 12715, 10875, 15745, 10815, 10140, 8475, 14125, 10875,
     11070, 11295},
    // Too narrow: back to 8130 wide, the height stays (client 7935 x 7550).
    {"TooNarrow", 7000, 8000, false, 8130, 8000, 7815, 6420, 4845, 6875, 7875, 6815, 6140, 4475, 6255, 6875, 7070,
     7295},
    // Too low: back to 6720 high, the width stays (client 8805 x 6270).
    {"TooLow", 9000, 6000, true, 9000, 6720, 8685, 7290, 5715, 5595, 8745, 5535, 4860, 2520, 7125, 5595, 5790, 6015},
    {"TooSmallBothWays", 7000, 6000, false, 8130, 6720, 7815, 6420, 4845, 5595, 7875, 5535, 4860, 3195, 6255, 5595,
     5790, 6015},
};

class LayoutCaseTest : public PresenterTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutCaseTest, PlacesEveryControl) {
    const LayoutCase& c = GetParam();
    view.SetProblemLineShown(c.problemShown);

    view.UserResizes(c.outerWidth, c.outerHeight);

    EXPECT_FLOAT_EQ(view.OuterWidth(), c.finalOuterWidth);
    EXPECT_FLOAT_EQ(view.OuterHeight(), c.finalOuterHeight);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Width(), c.headlineWidth);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Height(), 255);
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Width(), c.headlineWidth);
    EXPECT_FLOAT_EQ(view.cmdExit().Left(), c.exitLeft);
    EXPECT_FLOAT_EQ(view.cmdExit().Top(), c.buttonsTop);
    EXPECT_FLOAT_EQ(view.cmdOpenDevMan().Left(), c.devManLeft);
    EXPECT_FLOAT_EQ(view.cmdOpenDevMan().Top(), c.buttonsTop);
    EXPECT_FLOAT_EQ(view.linBut().X1(), 60);
    EXPECT_FLOAT_EQ(view.linBut().Y1(), c.lineY);
    EXPECT_FLOAT_EQ(view.linBut().X2(), c.lineX2);
    EXPECT_FLOAT_EQ(view.linBut().Y2(), c.lineY);
    EXPECT_FLOAT_EQ(view.lblProblem().Top(), c.problemTop);
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Top(), 2280);
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Height(), c.listHeight);
    EXPECT_FLOAT_EQ(view.ColumnWidth(1), 1200);
    EXPECT_FLOAT_EQ(view.ColumnWidth(2), c.column2);
    EXPECT_FLOAT_EQ(view.lblUrlPre(0).Top(), c.urlPreWebTop);
    EXPECT_FLOAT_EQ(view.lblUrl(0).Top(), c.urlWebTop);
    EXPECT_FLOAT_EQ(view.lblUrlPre(1).Top(), c.urlMailTop);
    EXPECT_FLOAT_EQ(view.lblUrl(1).Top(), c.urlMailTop);
    EXPECT_TRUE(view.timer.Enabled());
}

TEST_P(LayoutCaseTest, LeavesTheRestAsDesigned) {
    view.UserResizes(GetParam().outerWidth, GetParam().outerHeight);

    const auto box = [](IBox& b) { return std::vector<float>{b.Left(), b.Top(), b.Width(), b.Height()}; };
    EXPECT_EQ(box(view.lblStatic()), (std::vector<float>{60, 420, 7815, 1575}));
    EXPECT_EQ(box(view.lblLastRefresh()), (std::vector<float>{60, 2040, 3735, 255}));
    EXPECT_FLOAT_EQ(view.lblProblem().Left(), 60);
    EXPECT_FLOAT_EQ(view.lblProblem().Width(), 7815);
    EXPECT_FLOAT_EQ(view.lblProblem().Height(), 615);
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Left(), 60);
    EXPECT_FLOAT_EQ(view.cmdExit().Width(), 1455);
    EXPECT_FLOAT_EQ(view.cmdExit().Height(), 615);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Left(), 60);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Top(), 60);
    EXPECT_FLOAT_EQ(view.lblUrlPre(0).Left(), 60);
    EXPECT_FLOAT_EQ(view.lblUrl(0).Left(), 60);
    EXPECT_FLOAT_EQ(view.lblUrlPre(1).Left(), 60);
    EXPECT_FLOAT_EQ(view.lblUrl(1).Left(), 2760);
    EXPECT_FLOAT_EQ(view.lblUrlPre(0).Width(), 3945);
    EXPECT_FLOAT_EQ(view.lblUrl(1).Width(), 1935);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutCaseTest, ::testing::ValuesIn(kLayoutCases), [](const auto& info) {
    return std::string(info.param.name);
});

// --- order -----------------------------------------------------------------------------------

TEST_F(PresenterTest, OnePassSetsEachValueOnceInItsOrder) {
    presenter.Form_Resize();

    EXPECT_EQ(Log(),
              (std::vector<std::string>{
                  "tmrRefresh.Enabled=0",
                  "SetOuterSize 8130x6720",  // "8130 or less": set, though nothing changes
                  "SetOuterSize 8130x6720", "hdlMain.Width=7815",   "cmdExit.Left=6420",  "cmdOpenDevMan.Left=4845",
                  "linBut.X2=7875",         "lvwPorts.Width=7815",  "Column2.Width=6255", "cmdExit.Top=5595",
                  "cmdOpenDevMan.Top=5595", "linBut.Y1=5535",       "linBut.Y2=5535",     "lblProblem.Top=4860",
                  "lvwPorts.Height=3195",   "lblUrlPre0.Top=5595",  "lblUrl0.Top=5790",   "lblUrlPre1.Top=6015",
                  "lblUrl1.Top=6015",       "tmrRefresh.Enabled=1",
              }));
    EXPECT_TRUE(view.sizeChanges.empty());
}

TEST_F(PresenterTest, MarginsComeFromTheHeadlinesPosition) {
    presenter.hdlMain().SetLeft(120);
    presenter.hdlMain().SetTop(90);

    presenter.Form_Resize();

    // m = 120, t = 90, client 7935 x 6270.
    EXPECT_FLOAT_EQ(presenter.hdlMain().Width(), 7695);
    EXPECT_FLOAT_EQ(view.cmdExit().Left(), 6360);
    EXPECT_FLOAT_EQ(view.cmdOpenDevMan().Left(), 4665);
    EXPECT_FLOAT_EQ(view.linBut().X2(), 7815);
    EXPECT_FLOAT_EQ(view.cmdExit().Top(), 5535);
    EXPECT_FLOAT_EQ(view.linBut().Y1(), 5415);
    EXPECT_FLOAT_EQ(view.lblProblem().Top(), 4710);
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Height(), 3045);
}

TEST_F(PresenterTest, LinksFollowTheHeightOfTheirLeadInTexts) {
    // A platform font that makes the auto-sized lead-in labels 240 high instead of 195.
    view.SetLeadInHeight(240);

    presenter.Form_Resize();

    EXPECT_FLOAT_EQ(view.lblUrlPre(0).Top(), 5595);
    EXPECT_FLOAT_EQ(view.lblUrl(0).Top(), 5835);     // 5595 + 240
    EXPECT_FLOAT_EQ(view.lblUrlPre(1).Top(), 5970);  // 5595 + 615 - 240: bottom level with the buttons
    EXPECT_FLOAT_EQ(view.lblUrl(1).Top(), 5970);
}

// --- minimum size ------------------------------------------------------------------------------

TEST_F(PresenterTest, SpringBackRunsANestedPassInFull) {
    view.UserResizes(7000, 8000);

    EXPECT_EQ(view.sizeChanges, (std::vector<std::pair<float, float>>{{8130, 8000}}));
    EXPECT_EQ(view.timer.enabledHistory, (std::vector<bool>{false, false, true, true}));
    // The nested pass places the buttons for the corrected size before it re-enables the timer,
    // and the outer pass does the same again with the corrected size.
    std::vector<std::size_t> exitTops, enables;
    for (std::size_t i = 0; i < Log().size(); ++i) {
        if (Log()[i] == "cmdExit.Top=6875")
            exitTops.push_back(i);
        if (Log()[i] == "tmrRefresh.Enabled=1")
            enables.push_back(i);
    }
    ASSERT_EQ(exitTops.size(), 2u);
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_LT(exitTops[0], enables[0]);
    EXPECT_LT(enables[0], exitTops[1]);
    EXPECT_LT(exitTops[1], enables[1]);
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "lblUrl1.Top=7295"), 2);
}

TEST_F(PresenterTest, SpringBackInHeightKeepsTheWidth) {
    view.UserResizes(9000, 6000);

    EXPECT_EQ(view.sizeChanges, (std::vector<std::pair<float, float>>{{9000, 6720}}));
    EXPECT_EQ(view.timer.enabledHistory, (std::vector<bool>{false, false, true, true}));
}

TEST_F(PresenterTest, SpringBackInBothDimensionsNestsTwice) {
    view.UserResizes(7000, 6000);

    EXPECT_EQ(view.sizeChanges, (std::vector<std::pair<float, float>>{{8130, 6000}, {8130, 6720}}));
    EXPECT_EQ(view.timer.enabledHistory, (std::vector<bool>{false, false, false, true, true, true}));
}

TEST_F(PresenterTest, OneTwipAboveTheMinimumStays) {
    view.UserResizes(8131, 6721);

    EXPECT_TRUE(view.sizeChanges.empty());
    EXPECT_EQ(
        std::count_if(Log().begin(), Log().end(), [](const std::string& e) { return e.starts_with("SetOuterSize"); }),
        0);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Width(), 7816);  // client 7936 x 6271
    EXPECT_FLOAT_EQ(view.cmdExit().Top(), 5596);
}

TEST_F(PresenterTest, OneTwipBelowTheMinimumSpringsBack) {
    view.UserResizes(8129, 6719);

    EXPECT_EQ(view.sizeChanges, (std::vector<std::pair<float, float>>{{8130, 6719}, {8130, 6720}}));
}

// --- minimised -------------------------------------------------------------------------------

TEST_F(PresenterTest, MinimisedWindowIsLeftAlone) {
    Start();
    view.minimized = true;

    view.UserResizes(2400, 450);

    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(view.sizeChanges.empty());
    EXPECT_TRUE(view.timer.Enabled());  // the refreshes go on
    EXPECT_FLOAT_EQ(view.cmdExit().Top(), 5595);
}

TEST_F(PresenterTest, RestoringRunsAFullPass) {
    Start();
    view.minimized = true;
    view.UserResizes(2400, 450);
    view.minimized = false;

    view.UserResizes(8130, 8720);

    EXPECT_FLOAT_EQ(view.cmdExit().Top(), 7595);
    EXPECT_EQ(Log().front(), "tmrRefresh.Enabled=0");
    EXPECT_EQ(Log().back(), "tmrRefresh.Enabled=1");
}

}  // namespace
}  // namespace velmaro::testing
