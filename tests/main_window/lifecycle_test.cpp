// Start, the refresh timer and closing: what the load does and does not do, the second copy that
// steps aside, the timer around each refresh, and the exit button.
#include <gtest/gtest.h>

#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

TEST_F(PresenterTest, LoadPreparesTheWindowAndLeavesTheFirstRefreshToTheTimer) {
    AddCom1();

    EXPECT_TRUE(presenter.Form_Load());

    // No "busy" in the log: the load runs no refresh.
    EXPECT_EQ(view.log, "title Velmaro Version 1.0.7 vom 29.05.2007, images, interval 200, on");
    EXPECT_EQ(view.lblStatic().Caption(),
              "Dieses Programm zeigt alle verfügbaren COM Ports an. Es werden sowohl echte, serielle COM Ports "
              "aufgeführt als auch virtuelle COM Ports, die z.B. durch USB Datenkabel oder Bluetooth Adapter "
              "bereitgestellt werden.\r\n"
              "Erkannte Siemens Kabel werden hervorgehoben, Adapter anderer Hersteller werden soweit möglich "
              "namentlich beschrieben.\r\n"
              "Für Sie ist es wichtig, die Nummer des COM Ports auszulesen, über den Ihr Telefon erreichbar ist. "
              "Diese Nummer muß in Programmen, die mit dem Telefon arbeiten sollen als Anschluß gewählt werden.\r\n"
              "Die Liste wird alle zwei Sekunden automatisch aktualisiert.");
    EXPECT_EQ(view.lblLastRefresh().Caption(), "Aktualisierung läuft...");
    EXPECT_EQ(presenter.hdlMain().Caption(), "Physikalische && virtuelle COM Ports auf diesem PC");

    // The first showing lays out and so restarts the 200 ms count.
    view.UserResizes(kMinOuterWidth, kMinOuterHeight);
    EXPECT_TRUE(view.log.ends_with("interval 200, on, off, on")) << view.log;
}

TEST(MainWindowLoad, SecondCopyTellsTheUserAndDoesNothingElse) {
    PresenterRig rig("PortLister");
    rig.otherRunning = true;

    EXPECT_FALSE(rig.presenter.Form_Load());

    EXPECT_EQ(rig.view.log, "");  // no title, no image list, no timer
    ASSERT_EQ(rig.view.messages.Texts(), std::vector<std::string>{"PortLister läuft bereits."});
    EXPECT_EQ(rig.view.messages.shown[0].style, MessageStyle::InformationOk);
    EXPECT_EQ(MainWindowTitle("PortLister", {2, 10, 0}), "PortLister Version 2.10.0 vom 29.05.2007");
}

TEST_F(PresenterTest, TickRefreshesWithTheTimerOffAndSizesTheList) {
    AddCom1(true);  // the warning row shows the problem line
    Start();

    presenter.tmrRefresh_Timer();

    // The refresh (busy ... default) runs between disabling and re-enabling.
    EXPECT_EQ(view.log, "interval 1500, off, busy, default, on");
    EXPECT_EQ(view.rows.Count(), 2);
    EXPECT_TRUE(view.lblProblem().Visible());
    EXPECT_EQ(view.lvwPortsBox().Height(), 2520);  // lblProblem Top 4860 - t 60 - list Top 2280
}

TEST_F(PresenterTest, ExitStopsTheTimerAndUnloads) {
    Start();

    presenter.cmdExit_Click();

    EXPECT_EQ(view.log, "off, unload");
}

}  // namespace
}  // namespace velmaro::testing
