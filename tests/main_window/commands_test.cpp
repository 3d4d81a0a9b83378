// The window's commands: a click on a list row, the Device Manager button, the two links and the
// clipboard question on the headline.
#include <gtest/gtest.h>

#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

using Call = memory::MemoryShell::ExecuteCall;

TEST_F(PresenterTest, RowClickOpensTheGuidanceForTheRowsCodeOnly) {
    view.rows.AddRow("COM 1", "COM");
    view.rows.AddRow("Warnung", "WARNING");
    view.rows.SetTag(2, "PROBLEM_X510");

    presenter.lvwPorts_ItemClick(1);
    EXPECT_EQ(view.log, "");  // empty tag: not even a pause of the timer

    presenter.lvwPorts_ItemClick(2);
    // The timer is off for as long as the dialog is open.
    EXPECT_EQ(view.log, "off, dialog owned by 4711, on");
    ASSERT_EQ(view.shownDialogs.size(), 1u);
    EXPECT_EQ(view.shownDialogs[0].text.find("An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 "
                                             "USB Datenkabel angeschlossen, jedoch fehlt der passende Treiber.\r\n"),
              0u);
    EXPECT_EQ(view.shownDialogs[0].neinCaption, "OK");

    // A window on Linux gives the Linux steps for the same code.
    PresenterRig onLinux("velmaro", GuidancePlatform::Linux);
    onLinux.view.rows.AddRow("Warnung", "WARNING");
    onLinux.view.rows.SetTag(1, "PROBLEM_X510");
    onLinux.presenter.lvwPorts_ItemClick(1);
    ASSERT_EQ(onLinux.view.shownDialogs.size(), 1u);
    EXPECT_NE(onLinux.view.shownDialogs[0].text.find("sudo modprobe pl2303"), std::string::npos);
}

TEST_F(PresenterTest, DeviceManagerOpensFromTheSystemFolderOrTellsTheUser) {
    presenter.cmdOpenDevMan_Click();
    // An empty verb and show command 0, unlike the links.
    EXPECT_EQ(shell.ExecuteCalls(),
              (std::vector<Call>{{kMainWindowHandle, "", "C:\\WINDOWS\\system32\\devmgmt.msc", "", "", 0}}));

    shell.FailSpecialFolderLocation(true);
    shell.SetShfolderLoadable(false);
    presenter.cmdOpenDevMan_Click();
    EXPECT_EQ(shell.ExecuteCalls().size(), 1u);
    ASSERT_EQ(view.messages.shown.size(), 1u);
    EXPECT_EQ(view.messages.shown[0].text, "Gerätemanager nicht aufrufbar.");
    EXPECT_EQ(view.messages.shown[0].style, MessageStyle::ExclamationOkCancel);
}

// Enter, Space and a double click on a row act as a click does; other keys and rows outside the
// list open nothing and leave the key to the control.
TEST(MainWindowCommands, KeysAndDoubleClickOpenTheGuidanceAsAClickDoes) {
    enum class Input { DblClick, Enter, Space, Other };
    const struct {
        Input input;
        int row;
        bool dialog, keyUsed;
    } cases[] = {
        {Input::DblClick, 2, true, false}, {Input::Enter, 2, true, true},      {Input::Space, 2, true, true},
        {Input::Other, 2, false, false},   {Input::Enter, 1, false, true},     {Input::Enter, 3, false, false},
        {Input::Space, 0, false, false},   {Input::DblClick, 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + ", input " + std::to_string(static_cast<int>(c.input)));
        PresenterRig rig;
        rig.view.rows.AddRow("COM 1", "COM");
        rig.view.rows.AddRow("Warnung", "WARNING");
        rig.view.rows.SetTag(2, "PROBLEM_X510");
        bool used = false;
        switch (c.input) {
            case Input::DblClick:
                rig.presenter.lvwPorts_DblClick(c.row);
                break;
            case Input::Enter:
                used = rig.presenter.lvwPorts_KeyDown(c.row, ListKey::Enter);
                break;
            case Input::Space:
                used = rig.presenter.lvwPorts_KeyDown(c.row, ListKey::Space);
                break;
            case Input::Other:
                used = rig.presenter.lvwPorts_KeyDown(c.row, ListKey::Other);
                break;
        }
        EXPECT_EQ(used, c.keyUsed);
        ASSERT_EQ(rig.view.shownDialogs.size(), c.dialog ? 1u : 0u);
        if (c.dialog) {
            EXPECT_EQ(rig.view.shownDialogs[0].neinCaption, "OK");
        }
    }
}

// Each platform's problem line and Device Manager notice: Linux speaks of its driver modules and
// names the device viewers to install.
TEST(MainWindowCommands, ProblemLineAndDeviceManagerNoticeByPlatform) {
    const struct {
        GuidancePlatform platform;
        const char* problemLine;
        const char* notice;
    } cases[] = {
        {GuidancePlatform::Windows,
         "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß Windows den Treiber noch laden. "
         "Evtl. werden Sie auch zur Installation aufgefordert. Bleibt das Problem ohne Reaktion dauerhaft bestehen, "
         "erhalten Sie mit einem Klick auf den Eintrag weitere Details.",
         "Gerätemanager nicht aufrufbar."},
        {GuidancePlatform::Linux,
         "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß das System das Treibermodul noch "
         "laden. Bleibt das Problem dauerhaft bestehen, erhalten Sie mit einem Klick auf den Eintrag weitere Details.",
         "Gerätemanager nicht aufrufbar. Bitte installieren Sie eines dieser Programme: hardinfo, usbview, "
         "kinfocenter oder lshw-gtk."},
    };
    for (const auto& c : cases) {
        PresenterRig rig("Velmaro", c.platform);
        rig.shell.FailSpecialFolderLocation(true);
        rig.shell.SetShfolderLoadable(false);
        rig.Start();
        EXPECT_EQ(rig.view.lblProblem().Caption(), c.problemLine);
        EXPECT_EQ(rig.view.lblProblem().Caption().find("Windows") != std::string::npos,
                  c.platform == GuidancePlatform::Windows);
        rig.presenter.cmdOpenDevMan_Click();
        ASSERT_EQ(rig.view.messages.shown.size(), 1u);
        EXPECT_EQ(rig.view.messages.shown[0].text, c.notice);
    }
}

TEST_F(PresenterTest, LinksOpenTheLabelsOwnText) {
    presenter.lblUrl_Click(0);
    presenter.lblUrl_Click(1);
    view.lblUrl(0).SetCaption("https://www.example.org/neu");
    presenter.lblUrl_Click(0);

    EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{
                                        {kMainWindowHandle, "Open", "https://www.velmaro.example", "", "", 1},
                                        {kMainWindowHandle, "Open", "mailto:feedback@velmaro.example", "", "", 1},
                                        {kMainWindowHandle, "Open", "https://www.example.org/neu", "", "", 1},
                                    }));
}

TEST(MainWindowCommands, ClipboardQuestionAndTheCopyOfTheNextTick) {
    const struct {
        const char* name;
        std::vector<bool> answers;  // Yes or No, one per double-click
        bool requested;
    } cases[] = {{"Yes", {true}, true}, {"No", {false}, false}, {"No after an unserved Yes", {true, false}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PresenterRig rig;
        rig.AddCom1();
        rig.Start();
        for (bool yes : c.answers) {
            rig.view.messages.answerYes = yes;
            rig.presenter.hdlMain().ForwardDblClick();  // the view's route for a double-click on the headline
            EXPECT_EQ(rig.view.messages.shown.back().text, "Alles Infos in die Zwischenablage?");
            EXPECT_EQ(rig.view.messages.shown.back().style, MessageStyle::QuestionYesNo);
        }
        EXPECT_EQ(rig.presenter.ClipboardRequested(), c.requested);
        EXPECT_EQ(rig.view.clipboard.sets, 0);  // the copy is the next refresh's business

        rig.presenter.tmrRefresh_Timer();

        EXPECT_FALSE(rig.presenter.ClipboardRequested());
        EXPECT_EQ(rig.view.clipboard.sets, c.requested ? 1 : 0);
        EXPECT_EQ(rig.view.messages.Texts().back() == "OK, alles in der Zwischenablage!", c.requested);
    }
}

}  // namespace
}  // namespace velmaro::testing
