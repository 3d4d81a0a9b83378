// Start, the refresh timer and closing: what the load does and does not do, the timer around
// each refresh, the second copy that steps aside, and the exit button.
#include <gtest/gtest.h>

#include "main_window/test_machine.h"
#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

const std::string kIntro =
    "Dieses Programm zeigt alle verfügbaren COM Ports an. Es werden sowohl echte, serielle COM Ports aufgeführt als "
    "auch virtuelle COM Ports, die z.B. durch USB Datenkabel oder Bluetooth Adapter bereitgestellt werden."
    "\r\n"
    "Erkannte Siemens Kabel werden hervorgehoben, Adapter anderer Hersteller werden soweit möglich namentlich "
    "beschrieben."
    "\r\n"
    "Für Sie ist es wichtig, die Nummer des COM Ports auszulesen, über den Ihr Telefon erreichbar ist. Diese Nummer "
    "muß in Programmen, die mit dem Telefon arbeiten sollen als Anschluß gewählt werden."
    "\r\n"
    "Die Liste wird alle zwei Sekunden automatisch aktualisiert.";

// --- load ------------------------------------------------------------------------------------

TEST_F(PresenterTest, LoadSetsTitleImagesTextAndStartsTheTimer) {
    EXPECT_TRUE(presenter.Form_Load());

    EXPECT_EQ(Log(), (std::vector<std::string>{
                         "Title=Velmaro Version 1.0.7 vom 29.05.2007",
                         "AttachImageList",
                         "lblStatic.Caption=" + kIntro,
                         "tmrRefresh.Interval=200",
                         "tmrRefresh.Enabled=1",
                     }));
    EXPECT_EQ(instance.questions, 1);
    EXPECT_EQ(view.lblStatic().Caption(), kIntro);
}

TEST_F(PresenterTest, LoadRunsNoRefresh) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\PNP0501\\1", "Kommunikationsanschluss (COM1)");

    presenter.Form_Load();

    EXPECT_TRUE(view.pointer.history.empty());
    EXPECT_EQ(view.rows.Count(), 0);
    EXPECT_EQ(view.lblLastRefresh().Caption(), "Aktualisierung läuft...");
    EXPECT_EQ(machine.CallCount("RegOpenKeyExA"), 0);
    EXPECT_EQ(machine.CallCount("SetupDiGetClassDevsA"), 0);
}

TEST_F(PresenterTest, FirstLayoutRestartsTheFirstTick) {
    presenter.Form_Load();
    view.UserResizes(kMinOuterWidth, kMinOuterHeight);

    EXPECT_EQ(view.timer.Interval(), 200);
    EXPECT_EQ(view.timer.enabledHistory, (std::vector<bool>{true, false, true}));
}

struct SecondCopyCase {
    const char* executable;
    const char* message;
};

void PrintTo(const SecondCopyCase& c, std::ostream* out) {
    *out << c.executable;
}

class SecondCopyTest : public PresenterTest, public ::testing::WithParamInterface<SecondCopyCase> {};

TEST_P(SecondCopyTest, TellsTheUserAndDoesNothingElse) {
    memory::FixedProgramIdentity named{GetParam().executable};
    FakeMainWindow window;
    frmPorts second(window, {machine, machine, clock, shell, named, instance, files, monotonic, pump});
    instance.otherRunning = true;

    EXPECT_FALSE(second.Form_Load());

    EXPECT_EQ(window.log.entries, (std::vector<std::string>{std::string("MsgBox ") + GetParam().message}));
    ASSERT_EQ(window.messages.shown.size(), 1u);
    EXPECT_EQ(window.messages.shown[0].style, MessageStyle::InformationOk);
    EXPECT_EQ(window.title, "");
    EXPECT_FALSE(window.imageListAttached);
    EXPECT_FALSE(window.timer.Enabled());
    EXPECT_EQ(window.timer.Interval(), 0);
}

INSTANTIATE_TEST_SUITE_P(Names,
                         SecondCopyTest,
                         ::testing::Values(SecondCopyCase{"Velmaro", "Velmaro läuft bereits."},
                                           SecondCopyCase{"PortLister", "PortLister läuft bereits."}));

struct TitleCase {
    const char* executable;
    ProgramVersion version;
    const char* title;
};

void PrintTo(const TitleCase& c, std::ostream* out) {
    *out << c.title;
}

class TitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleTest, NameVersionAndFixedDate) {
    EXPECT_EQ(MainWindowTitle(GetParam().executable, GetParam().version), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Versions,
    TitleTest,
    ::testing::Values(TitleCase{"Velmaro", {1, 0, 7}, "Velmaro Version 1.0.7 vom 29.05.2007"},
                      TitleCase{"PortLister", {2, 10, 0}, "PortLister Version 2.10.0 vom 29.05.2007"},
                      TitleCase{"V", {0, 0, 123}, "V Version 0.0.123 vom 29.05.2007"}));

TEST_F(PresenterTest, HeadlineStandsAsDesigned) {
    EXPECT_EQ(presenter.hdlMain().Caption(), "Physikalische && virtuelle COM Ports auf diesem PC");
    EXPECT_FLOAT_EQ(presenter.hdlMain().Left(), 60);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Top(), 60);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Width(), 7815);
    EXPECT_FLOAT_EQ(presenter.hdlMain().Height(), 255);
    EXPECT_FALSE(presenter.ClipboardRequested());
}

// --- timer tick --------------------------------------------------------------------------------

TEST_F(PresenterTest, TickRefreshesWithTheTimerOff) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\PNP0501\\1", "Kommunikationsanschluss (COM1)");
    Start();

    presenter.tmrRefresh_Timer();

    ASSERT_GE(Log().size(), 4u);
    EXPECT_EQ(Log()[0], "tmrRefresh.Interval=1500");
    EXPECT_EQ(Log()[1], "tmrRefresh.Enabled=0");
    EXPECT_EQ(Log().back(), "tmrRefresh.Enabled=1");
    // Busy at the start of the refresh, default at its end: both while the timer was off.
    EXPECT_EQ(view.pointer.history, (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
    EXPECT_EQ(view.pointer.timerEnabledAtSet, (std::vector<bool>{false, false}));
    EXPECT_EQ(view.timer.Interval(), 1500);
    EXPECT_TRUE(view.timer.Enabled());
    EXPECT_EQ(view.lblLastRefresh().Caption(), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");
    ASSERT_EQ(view.rows.Count(), 1);
    EXPECT_EQ(view.rows.Text(1), "COM 1");
}

TEST_F(PresenterTest, EveryTickPausesTheTimerAgain) {
    Start();

    presenter.tmrRefresh_Timer();
    presenter.tmrRefresh_Timer();

    EXPECT_EQ(view.timer.Interval(), 1500);
    // Load, first layout, then two ticks.
    EXPECT_EQ(view.timer.enabledHistory, (std::vector<bool>{true, false, true, false, true, false, true}));
    EXPECT_EQ(view.pointer.timerEnabledAtSet, (std::vector<bool>{false, false, false, false}));
}

TEST_F(PresenterTest, RefreshSizesTheListAboveTheProblemLine) {
    // A PL2303 cable without driver: a warning row, so the problem line shows.
    AddDriverlessDevice(machine, "USB\\VID_067B&PID_2303\\5&1", "USB\\VID_067B&PID_2303&REV_0300");
    Start();

    presenter.tmrRefresh_Timer();

    EXPECT_TRUE(view.lblProblem().Visible());
    // lblProblem Top 4860 - t 60 - list Top 2280.
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Height(), 2520);
}

TEST_F(PresenterTest, RefreshWithoutProblemsReachesDownToTheSeparator) {
    Start();
    view.SetProblemLineShown(true);

    presenter.tmrRefresh_Timer();

    EXPECT_FALSE(view.lblProblem().Visible());
    // linBut Y1 5535 - t 60 - list Top 2280.
    EXPECT_FLOAT_EQ(view.lvwPortsBox().Height(), 3195);
}

// --- exit --------------------------------------------------------------------------------------

TEST_F(PresenterTest, ExitStopsTheTimerAndUnloads) {
    Start();

    presenter.cmdExit_Click();

    EXPECT_EQ(Log(), (std::vector<std::string>{"tmrRefresh.Enabled=0", "Unload"}));
    EXPECT_TRUE(view.unloaded);
    EXPECT_FALSE(view.timer.Enabled());
}

}  // namespace
}  // namespace velmaro::testing
