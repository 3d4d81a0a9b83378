// The Qt window following plugging, over a scenario machine swapped for another: the selection and
// the scroll position survive a refresh, a port that appeared is selected, in view and marked, and
// each port's row names its identity in its tooltip.
#include <gtest/gtest.h>

#include <QTreeWidget>
#include <memory>

#include "support/plugging_scenario.h"
#include "window_fixture.h"

namespace velmaro::qt {
namespace {

using testing::ArduinoBoards;
using testing::ComNumbers;
using testing::PluggingMachine;

struct PluggingWindow : PluggingMachine, WindowOn {
    explicit PluggingWindow(const std::vector<int>& comNumbers)
        : PluggingMachine(comNumbers),
          WindowOn(machine, machine, [this] { return PortFacts(); }) {
        LoadAndTick();
    }
    QTreeWidget& Tree() { return window.Tree(); }
    int Selected() { return Tree().indexOfTopLevelItem(Tree().currentItem()) + 1; }
    int Top() { return Tree().indexOfTopLevelItem(Tree().itemAt(0, 0)) + 1; }
    QString Text(int row) { return Tree().topLevelItem(row - 1)->text(0); }
};

TEST(FollowPlugging, SelectionAndScrollSurviveARefresh) {
    PluggingWindow f(ComNumbers(1, 40));
    f.Tree().scrollToItem(f.Tree().topLevelItem(9), QAbstractItemView::PositionAtTop);
    f.Tree().setCurrentItem(f.Tree().topLevelItem(14));
    ASSERT_EQ(f.Top(), 10);
    f.presenter->tmrRefresh_Timer();
    EXPECT_EQ(f.Selected(), 15);
    EXPECT_EQ(f.Top(), 10);
    // COM 3 unplugged: the same ports keep their place, one row up; nothing is marked.
    ASSERT_TRUE(f.machine.Replace(ArduinoBoards(ComNumbers(1, 40, 3))));
    f.presenter->DeviceChanged();
    EXPECT_EQ(f.Text(f.Selected()), "COM 15");
    EXPECT_EQ(f.Text(f.Top()), "COM 10");
    EXPECT_EQ(f.Tree().currentItem()->background(0), QBrush());
}

TEST(FollowPlugging, APortThatAppearedIsSelectedShownAndMarked) {
    PluggingWindow f(ComNumbers(1, 40, 33));
    f.Tree().setCurrentItem(f.Tree().topLevelItem(1));
    ASSERT_EQ(f.Top(), 1);
    ASSERT_TRUE(f.machine.Replace(ArduinoBoards(ComNumbers(1, 40))));
    f.presenter->DeviceChanged();
    ASSERT_EQ(f.Text(f.Selected()), "COM 33");
    QTreeWidgetItem* plugged = f.Tree().currentItem();
    const QRect shown = f.Tree().visualItemRect(plugged);
    EXPECT_TRUE(f.Tree().viewport()->rect().contains(shown)) << shown.y();
    EXPECT_EQ(plugged->background(0), f.Tree().palette().brush(QPalette::ToolTipBase));
    EXPECT_EQ(f.Tree().palette().brush(QPalette::Highlight), f.Tree().palette().brush(QPalette::ToolTipBase));
    EXPECT_EQ(plugged->toolTip(1).toStdString(),
              "Gerät: \\\\.\\COM33\nVID:PID: 2341:0043\nSeriennummer: ARDU0033\nTreiber: usbser");
    // Until the next refresh, which finds nothing new: the plugged port stays selected, unmarked.
    f.presenter->tmrRefresh_Timer();
    EXPECT_EQ(f.Text(f.Selected()), "COM 33");
    EXPECT_EQ(f.Tree().currentItem()->background(0), QBrush());
    EXPECT_EQ(f.Tree().palette().brush(QPalette::Highlight), f.window.palette().brush(QPalette::Highlight));
}

}  // namespace
}  // namespace velmaro::qt
