// The layout pass: every position it sets, the spring-back to the minimum outer size through a
// nested pass, what stays as designed, and the minimised window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

// A place of one control: its name for the failure message and where a set of places holds it.
template <typename Places>
struct Place {
    const char* name;
    float Places::*member;
};

// Compares place by place, so that a failure names the control.
template <typename Places, std::size_t N>
void ExpectPlaces(const Places& actual, const Places& expected, const Place<Places> (&places)[N]) {
    for (const Place<Places>& place : places) {
        EXPECT_EQ(actual.*place.member, expected.*place.member) << place.name;
    }
}

// What a layout pass moves, in this order.
struct Moved {
    float hdlMainWidth, lvwPortsWidth, column2Width, linButX2, cmdExitLeft, cmdOpenDevManLeft, cmdExitTop,
        cmdOpenDevManTop, linButY1, linButY2, lblProblemTop, lvwPortsHeight, lblUrlPre0Top, lblUrl0Top, lblUrlPre1Top,
        lblUrl1Top;
};
constexpr Place<Moved> kMovedPlaces[] = {
    {"hdlMain Width", &Moved::hdlMainWidth},
    {"lvwPorts Width", &Moved::lvwPortsWidth},
    {"column 2 Width", &Moved::column2Width},
    {"linBut X2", &Moved::linButX2},
    {"cmdExit Left", &Moved::cmdExitLeft},
    {"cmdOpenDevMan Left", &Moved::cmdOpenDevManLeft},
    {"cmdExit Top", &Moved::cmdExitTop},
    {"cmdOpenDevMan Top", &Moved::cmdOpenDevManTop},
    {"linBut Y1", &Moved::linButY1},
    {"linBut Y2", &Moved::linButY2},
    {"lblProblem Top", &Moved::lblProblemTop},
    {"lvwPorts Height", &Moved::lvwPortsHeight},
    {"lblUrlPre(0) Top", &Moved::lblUrlPre0Top},
    {"lblUrl(0) Top", &Moved::lblUrl0Top},
    {"lblUrlPre(1) Top", &Moved::lblUrlPre1Top},
    {"lblUrl(1) Top", &Moved::lblUrl1Top},
};

Moved MovedOf(IMainWindowView& v, const ucHeadline& hdl) {
    return {hdl.Width(),          v.lvwPortsBox().Width(),  v.ColumnWidth(2),     v.linBut().X2(),
            v.cmdExit().Left(),   v.cmdOpenDevMan().Left(), v.cmdExit().Top(),    v.cmdOpenDevMan().Top(),
            v.linBut().Y1(),      v.linBut().Y2(),          v.lblProblem().Top(), v.lvwPortsBox().Height(),
            v.lblUrlPre(0).Top(), v.lblUrl(0).Top(),        v.lblUrlPre(1).Top(), v.lblUrl(1).Top()};
}

// What stays as designed.
struct Kept {
    float hdlMainLeft, hdlMainTop, hdlMainHeight, linButX1, lvwPortsLeft, lvwPortsTop, column1Width, cmdExitWidth,
        cmdExitHeight, lblProblemLeft, lblProblemWidth, lblUrlPre0Left, lblUrl0Left, lblUrlPre1Left, lblUrl1Left,
        lblStaticTop, lblStaticWidth, lblStaticHeight, lblLastRefreshTop, lblLastRefreshWidth;
};
constexpr Place<Kept> kKeptPlaces[] = {
    {"hdlMain Left", &Kept::hdlMainLeft},
    {"hdlMain Top", &Kept::hdlMainTop},
    {"hdlMain Height", &Kept::hdlMainHeight},
    {"linBut X1", &Kept::linButX1},
    {"lvwPorts Left", &Kept::lvwPortsLeft},
    {"lvwPorts Top", &Kept::lvwPortsTop},
    {"column 1 Width", &Kept::column1Width},
    {"cmdExit Width", &Kept::cmdExitWidth},
    {"cmdExit Height", &Kept::cmdExitHeight},
    {"lblProblem Left", &Kept::lblProblemLeft},
    {"lblProblem Width", &Kept::lblProblemWidth},
    {"lblUrlPre(0) Left", &Kept::lblUrlPre0Left},
    {"lblUrl(0) Left", &Kept::lblUrl0Left},
    {"lblUrlPre(1) Left", &Kept::lblUrlPre1Left},
    {"lblUrl(1) Left", &Kept::lblUrl1Left},
    {"lblStatic Top", &Kept::lblStaticTop},
    {"lblStatic Width", &Kept::lblStaticWidth},
    {"lblStatic Height", &Kept::lblStaticHeight},
    {"lblLastRefresh Top", &Kept::lblLastRefreshTop},
    {"lblLastRefresh Width", &Kept::lblLastRefreshWidth},
};

Kept KeptOf(IMainWindowView& v, const ucHeadline& hdl) {
    return {hdl.Left(),
            hdl.Top(),
            hdl.Height(),
            v.linBut().X1(),
            v.lvwPortsBox().Left(),
            v.lvwPortsBox().Top(),
            v.ColumnWidth(1),
            v.cmdExit().Width(),
            v.cmdExit().Height(),
            v.lblProblem().Left(),
            v.lblProblem().Width(),
            v.lblUrlPre(0).Left(),
            v.lblUrl(0).Left(),
            v.lblUrlPre(1).Left(),
            v.lblUrl(1).Left(),
            v.lblStatic().Top(),
            v.lblStatic().Width(),
            v.lblStatic().Height(),
            v.lblLastRefresh().Top(),
            v.lblLastRefresh().Width()};
}

// The places below are laid out by hand, in the order of Moved.
// clang-format off

// Worked out by hand from the layout steps with m = t = 60, both buttons 1455 x 615, lblProblem
// 615 high, the lead-in labels 195 high and the list's Top 2280.
struct LayoutCase {
    const char* name;
    float outerWidth, outerHeight;  // as the user left the frame
    bool problemShown;
    const char* log;  // timer and size changes, nested passes included
    Moved moved;
};
const LayoutCase kCases[] = {
    // Client 7935 x 6270: the design numbers.
    {"design size", 8130, 6720, false, "off, on",
     {7815, 7815, 6255, 7875, 6420, 4845, 5595, 5595, 5535, 5535, 4860, 3195, 5595, 5790, 6015, 6015}},
    {"design size, problem line", 8130, 6720, true, "off, on",
     {7815, 7815, 6255, 7875, 6420, 4845, 5595, 5595, 5535, 5535, 4860, 2520, 5595, 5790, 6015, 6015}},
    // Client 9935 x 6270: wider and further right, same heights.
    {"wider", 10130, 6720, false, "off, on",
     {9815, 9815, 8255, 9875, 8420, 6845, 5595, 5595, 5535, 5535, 4860, 3195, 5595, 5790, 6015, 6015}},
    // Client 7935 x 8270: everything below the list 2000 lower, the list 2000 taller.
    {"taller, problem line", 8130, 8720, true, "off, on",
     {7815, 7815, 6255, 7875, 6420, 4845, 7595, 7595, 7535, 7535, 6860, 4520, 7595, 7790, 8015, 8015}},
    // Back to 8130 wide, the height stays: client 7935 x 7550; the list reaches down to linBut.
    {"too narrow", 7000, 8000, false, "off, 8130x8000, off, on, on",
     {7815, 7815, 6255, 7875, 6420, 4845, 6875, 6875, 6815, 6815, 6140, 4475, 6875, 7070, 7295, 7295}},
    // Back to 6720 high, the width stays: client 8805 x 6270.
    {"too low", 9000, 6000, true, "off, 9000x6720, off, on, on",
     {8685, 8685, 7125, 8745, 7290, 5715, 5595, 5595, 5535, 5535, 4860, 2520, 5595, 5790, 6015, 6015}},
    // One twip above the minimum stays: client 7936 x 6271.
    {"just above", 8131, 6721, false, "off, on",
     {7816, 7816, 6256, 7876, 6421, 4846, 5596, 5596, 5536, 5536, 4861, 3196, 5596, 5791, 6016, 6016}},
    // One twip below in both: each correction nests a pass of its own.
    {"just below", 8129, 6719, false, "off, 8130x6719, off, 8130x6720, off, on, on, on",
     {7815, 7815, 6255, 7875, 6420, 4845, 5595, 5595, 5535, 5535, 4860, 3195, 5595, 5790, 6015, 6015}},
};
// clang-format on

TEST(MainWindowLayout, MovesWhatItMovesAndKeepsTheRest) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        PresenterRig rig;
        FakeMainWindow& v = rig.view;
        const ucHeadline& hdl = rig.presenter.hdlMain();
        v.lblProblem().SetVisible(c.problemShown);
        // Every pass, nested or not, must leave the final places behind.
        std::vector<Moved> atPassEnd;
        v.onResize = [&] {
            rig.presenter.Form_Resize();
            atPassEnd.push_back(MovedOf(v, hdl));
        };

        v.UserResizes(c.outerWidth, c.outerHeight);

        EXPECT_EQ(v.log, c.log);
        for (std::size_t pass = 0; pass < atPassEnd.size(); ++pass) {
            SCOPED_TRACE("pass " + std::to_string(pass + 1));
            ExpectPlaces(atPassEnd[pass], c.moved, kMovedPlaces);
        }
        ExpectPlaces(KeptOf(v, hdl), Kept{60,   60, 255, 60, 60,   2280, 1200, 1455, 615,  60,
                                          7815, 60, 60,  60, 2760, 420,  7815, 1575, 2040, 3735},
                     kKeptPlaces);
    }
}

TEST_F(PresenterTest, MarginsAndLinkLinesFollowTheControls) {
    // m = 120, t = 90, and a font that makes both lead-in labels 240 high.
    presenter.hdlMain().SetLeft(120);
    presenter.hdlMain().SetTop(90);
    view.lblUrlPre(0).SetHeight(240);
    view.lblUrlPre(1).SetHeight(240);

    presenter.Form_Resize();

    // lblUrl(0) 5535 + 240 below its lead-in; lblUrlPre(1) 5535 + 615 - 240, level with the buttons' bottom.
    // The wider gaps would put the mail address (ending at 4695) under the left button, so the
    // window springs to a client width of 4695 + 240 + 1455 + 240 + 1455 + 120 = 8205.
    ExpectPlaces(MovedOf(view, presenter.hdlMain()),
                 Moved{7965, 7965, 6405, 8085, 6630, 4935, 5535, 5535, 5415, 5415, 4710, 3045, 5535, 5775, 5910, 5910},
                 kMovedPlaces);
}

// A wider font than the design's: the intro wraps 270 twips taller, the mail lead-in is 3045 wide.
TEST_F(PresenterTest, MeasuredTextsPushWhatFollowsThem) {
    view.lblStatic().SetHeight(1575 + 270);
    view.lblUrlPre(1).SetWidth(3045);

    view.UserResizes(kMinOuterWidth, kMinOuterHeight);

    // The address 45 after its lead-in: 60 + 3045 + 45 = 3150, ending at 3150 + 1935 = 5085. The
    // smallest client then holds it, 120, both buttons with 120 between and the margin 60: 8295,
    // outer 8295 + 195.
    EXPECT_EQ(view.lblUrl(1).Left(), 3150);
    EXPECT_EQ(view.OuterWidth(), 8490);
    EXPECT_EQ(view.cmdOpenDevMan().Left(), 5085 + 120);
    // The refresh time and the list 270 lower; the list still ends above linBut (5535 - 60).
    EXPECT_EQ(view.lblLastRefresh().Top(), 2040 + 270);
    EXPECT_EQ(view.lvwPortsBox().Top(), 2280 + 270);
    EXPECT_EQ(view.lvwPortsBox().Top() + view.lvwPortsBox().Height(), 5535 - 60);
}

TEST_F(PresenterTest, MinimisedWindowIsLeftAloneAndRestoringLaysOut) {
    Start();
    view.minimized = true;

    view.UserResizes(2400, 450);

    EXPECT_EQ(view.log, "");  // no control moves, the refreshes go on
    EXPECT_EQ(view.cmdExit().Top(), 5595);

    view.minimized = false;
    view.UserResizes(8130, 8720);

    EXPECT_EQ(view.log, "off, on");
    EXPECT_EQ(view.cmdExit().Top(), 7595);
}

}  // namespace
}  // namespace velmaro::testing
