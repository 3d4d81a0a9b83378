// Velmaro.exe's window following plugging, over a scenario machine swapped for another and a
// WM_DEVICECHANGE as Windows sends it: the selection and the top row survive a refresh, a port that
// appeared is selected, in view and marked, and each port's row has its identity as info tip.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <dbt.h>

#include <memory>
#include <string>
#include <vector>

#include "frm_ports_window.h"
#include "support/plugging_scenario.h"
#include "view_resources.h"
#include "win32/win32_text.h"
#include "window_fixture.h"

namespace velmaro::win32 {
namespace {

using testing::ArduinoBoards;
using testing::ComNumbers;
using testing::PluggingMachine;

struct PluggingWindow : PluggingMachine, WindowOn {
    explicit PluggingWindow(const std::vector<int>& comNumbers)
        : PluggingMachine(comNumbers),
          WindowOn(machine, machine, [this] { return PortFacts(); }) {
        LoadShowAndTick();
    }
    LRESULT List(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(window.ListView(), message, wParam, lParam);
    }
    int Selected() { return static_cast<int>(List(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) + 1; }
    int Top() { return static_cast<int>(List(LVM_GETTOPINDEX)) + 1; }
    std::string Text(int row) { return window.PortList().Text(row); }
    void Select(int row) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        List(LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&state));
    }
    // The machine now has these ports, and Windows says that devices changed.
    void Plug(const std::vector<int>& comNumbers) {
        ASSERT_TRUE(machine.Replace(ArduinoBoards(comNumbers)));
        SendMessageW(window.Handle(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
    std::string InfoTip(int row) {
        wchar_t text[256] = L"unchanged";
        NMLVGETINFOTIPW tip{};
        tip.hdr = {window.ListView(), static_cast<UINT_PTR>(kIdLvwPorts), static_cast<UINT>(LVN_GETINFOTIPW)};
        tip.pszText = text;
        tip.cchTextMax = 256;
        tip.iItem = row - 1;
        SendMessageW(window.Handle(), WM_NOTIFY, kIdLvwPorts, reinterpret_cast<LPARAM>(&tip));
        return WideToUtf8(text);
    }
    // The background custom draw gives a cell of the row while it is selected.
    COLORREF DrawnBackground(int row) {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr = {window.ListView(), static_cast<UINT_PTR>(kIdLvwPorts), static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        HDC dc = GetDC(window.ListView());
        draw.nmcd.hdc = dc;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row - 1);
        draw.nmcd.uItemState = CDIS_SELECTED;
        draw.clrTextBk = CLR_DEFAULT;
        SendMessageW(window.Handle(), WM_NOTIFY, kIdLvwPorts, reinterpret_cast<LPARAM>(&draw));
        ReleaseDC(window.ListView(), dc);
        return draw.clrTextBk;
    }
};

TEST(FollowPlugging, SelectionAndScrollSurviveARefresh) {
    PluggingWindow f(ComNumbers(1, 40));
    f.List(LVM_ENSUREVISIBLE, 39, FALSE);
    f.List(LVM_ENSUREVISIBLE, 9, FALSE);  // scrolled back up: row 10 on top
    f.Select(15);
    ASSERT_EQ(f.Top(), 10);
    SendMessageW(f.window.Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(f.Selected(), 15);
    EXPECT_EQ(f.Top(), 10);
    // COM 3 unplugged: the same ports keep their place, one row up; nothing is marked.
    f.Plug(ComNumbers(1, 40, 3));
    EXPECT_EQ(f.Text(f.Selected()), "COM 15");
    EXPECT_EQ(f.Text(f.Top()), "COM 10");
    EXPECT_EQ(f.DrawnBackground(f.Selected()), static_cast<COLORREF>(CLR_DEFAULT));
}

TEST(FollowPlugging, APortThatAppearedIsSelectedShownAndMarked) {
    PluggingWindow f(ComNumbers(1, 40, 33));
    f.Select(2);
    ASSERT_EQ(f.Top(), 1);
    f.Plug(ComNumbers(1, 40));
    const int plugged = f.Selected();
    ASSERT_EQ(f.Text(plugged), "COM 33");
    const int perPage = static_cast<int>(f.List(LVM_GETCOUNTPERPAGE));
    EXPECT_TRUE(plugged >= f.Top() && plugged < f.Top() + perPage) << f.Top() << " " << perPage;
    EXPECT_EQ(f.DrawnBackground(plugged), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(f.InfoTip(plugged), "Gerät: \\\\.\\COM33\nVID:PID: 2341:0043\nSeriennummer: ARDU0033\nTreiber: usbser");
    // The next refresh finds nothing new: the port stays selected, no longer marked.
    SendMessageW(f.window.Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(f.Text(f.Selected()), "COM 33");
    EXPECT_EQ(f.DrawnBackground(f.Selected()), static_cast<COLORREF>(CLR_DEFAULT));
}

}  // namespace
}  // namespace velmaro::win32
