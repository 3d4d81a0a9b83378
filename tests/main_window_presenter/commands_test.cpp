// The window's commands: a click on a list row, the Device Manager button, the two links and the
// clipboard question on the headline.
#include <gtest/gtest.h>

#include "main_window/test_machine.h"
#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

using Call = memory::MemoryShell::ExecuteCall;

// --- row click ---------------------------------------------------------------------------------

TEST_F(PresenterTest, RowWithoutProblemDoesNothing) {
    Start();
    view.rows.AddRow("COM 1", "COM");
    view.rows.SetSubItem(1, "Kommunikationsanschluss");

    presenter.lvwPorts_ItemClick(1);

    EXPECT_TRUE(Log().empty());  // not even a pause of the timer
    EXPECT_TRUE(view.infoDialog.shown.empty());
    EXPECT_FALSE(presenter.InfoDialog().IsLoaded());
    EXPECT_TRUE(view.timer.Enabled());
}

struct RowClickCase {
    int row;
    const char* code;  // the tag the refresh gave the row
    const char* text;  // what frm_Present put into the dialog
    bool jaVisible;
    const char* jaTag;
    const char* neinCaption;
};

void PrintTo(const RowClickCase& c, std::ostream* out) {
    *out << "row " << c.row << " " << c.code;
}

class RowClickTest : public PresenterTest, public ::testing::WithParamInterface<RowClickCase> {
  protected:
    // A Siemens DCA-510 cable and an FTDI converter both claim COM5: two red rows.
    void SetUp() override {
        AddMapEntry(machine, "\\Device\\ProlificSerial0", "COM5");
        AddPortDevice(machine, "USB\\VID_067B&PID_2303\\1", "Siemens USB Data Cable (COM5)",
                      "USB\\VID_067B&PID_2303&REV_0300");
        AddPortDevice(machine, "FTDIBUS\\1", "USB Serial Port (COM5)", "FTDIBUS\\COMPORT&VID_0403&PID_6001");
        Start();
        presenter.tmrRefresh_Timer();
        Log().clear();
    }
};

TEST_P(RowClickTest, OpensTheGuidanceForTheRowsCodeWithTheTimerOff) {
    const RowClickCase& c = GetParam();
    ASSERT_EQ(view.rows.Tag(c.row), c.code);
    const std::size_t refreshesBefore = view.pointer.history.size();

    presenter.lvwPorts_ItemClick(c.row);

    EXPECT_EQ(Log(), (std::vector<std::string>{"tmrRefresh.Enabled=0", "ShowModal", "tmrRefresh.Enabled=1"}));
    ASSERT_EQ(view.infoDialog.shown.size(), 1u);
    const FakeInfoDialogView::Shown& shown = view.infoDialog.shown[0];
    EXPECT_EQ(shown.owner, kMainWindowHandle);
    EXPECT_FALSE(shown.timerEnabled);
    EXPECT_EQ(shown.text, c.text);
    EXPECT_EQ(shown.jaVisible, c.jaVisible);
    EXPECT_EQ(shown.jaTag, c.jaTag);
    EXPECT_EQ(shown.neinCaption, c.neinCaption);
    EXPECT_EQ(view.pointer.history.size(), refreshesBefore);  // no refresh while it was open
    EXPECT_TRUE(view.timer.Enabled());
    EXPECT_EQ(view.timer.Interval(), 1500);
    EXPECT_FALSE(presenter.InfoDialog().IsLoaded());
}

INSTANTIATE_TEST_SUITE_P(
    DoubleAssignment,
    RowClickTest,
    ::testing::Values(
        RowClickCase{
            1, "PROBLEM_2XUSED_510",
            "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist der bereitgestellte, "
            "virtuelle COM Port doppelt belegt - siehe Tabelle.\r\n"
            "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch "
            "Verwaltungsprogramme nicht gefunden. Im Dorvatek Supportforum gibt es eine Anleitung, wie Sie das "
            "Problem beheben können.\r\n"
            "Soll die Anleitung im Internet aufgerufen werden?",
            true, "https://forum.velmaro.example/community/board/showthread.php?t=13903", "Nein"},
        RowClickCase{2, "PROBLEM_2XUSED_OTHER",
                     "Der COM Port ist mehrfach belegt - siehe Tabelle.\r\n"
                     "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch "
                     "Verwaltungsprogramme nicht gefunden. Allgemein dürfte kein Programm in der Lage sein, mit dem "
                     "Port zu Arbeiten.\r\n"
                     "Bitte wenden Sie sich an der Hersteller oder Verkäufer des Geräts. In der Regel kann man die "
                     "zugewiesenen Ports manuell ändern und so die Doppelbelegung auflösen. Sie sollten dem Gerät, das "
                     "Sie zuletzt installiert haben bzw. dem unwichtigeren oder extern oder seltener angeschlossenen "
                     "Gerät einen neuen COM Port zuweisen, anstatt ein wichtiges Gerät zu ändern. Klassisch "
                     "verursachen z.B. neu angeschlossene USB Datenkabel das Problem und dieses Gerät gilt es zu "
                     "ändern.\r\n\r\n"
                     "Meistens erreichen Sie diese Einstellung wie folgt:\r\n"
                     "Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie sich ab und als Administrator an. "
                     "Rufen Sie dann von diesem Programm aus den Gerätemanager auf.\r\n"
                     "Machen Sie einen Rechtklick auf das betroffene Gerät im Gerätemanager und wählen Sie "
                     "Eigenschaften. Es erscheint ein Fenster Eigenschaften des Geräts.\r\n"
                     "Wechseln Sie auf die Registerkarte \"Anschlußeinstellungen (Port Settings)\" und klicken Sie "
                     "dort den Knopf \"Erweitert (Advanced)\" am untern Fensterrand.\r\n"
                     "Sie sollten nun ein Fenster sehen, in dem Sie die zugewiesene COM Port Nummer auswählen können. "
                     "Ändern Sie die Auswahl auf eine Nummer, die von Windows als nicht belegt angezeigt wird und "
                     "schließen Sie alle Fenster mit OK bzw. übernehmen\r\n"
                     "Ziehen Sie abschließend das USB Kabel einmal ab, warten Sie ein paar Sekunden und schließen Sie "
                     "es wieder an die gleiche USB Buchse an. Erst dadurch wird die Änderung auch wirklich "
                     "übernommen.\r\n"
                     "Diese Programm sollte für das Gerät danach keinen mehrfach belegten Port mehr anzeigen.",
                     false, "", "OK"}));

TEST_F(PresenterTest, TickWhileTheDialogIsOpenIsNotDelivered) {
    Start();
    view.rows.AddRow("Warnung", "WARNING");
    view.rows.SetTag(1, "PROBLEM_OTI");
    bool timerOffWhileOpen = false;
    view.infoDialog.whileOpen = [this, &timerOffWhileOpen] { timerOffWhileOpen = !view.timer.Enabled(); };

    presenter.lvwPorts_ItemClick(1);

    EXPECT_TRUE(timerOffWhileOpen);
    ASSERT_EQ(view.infoDialog.shown.size(), 1u);
    EXPECT_EQ(view.infoDialog.shown[0].neinCaption, "OK");
    EXPECT_EQ(view.infoDialog.shown[0].text.rfind(
                  "An Ihrem PC ist ein Wandel / Datenkabel vom Typ OTI angeschlossen, jedoch fehlt der passende "
                  "Treiber.\r\n",
                  0),
              0u);
}

// --- Device Manager ----------------------------------------------------------------------------

TEST_F(PresenterTest, DeviceManagerOpensFromTheSystemFolder) {
    Start();

    presenter.cmdOpenDevMan_Click();

    EXPECT_EQ(shell.ExecuteCalls(),
              (std::vector<Call>{{kMainWindowHandle, "", "C:\\WINDOWS\\system32\\devmgmt.msc", "", "", 0}}));
    EXPECT_TRUE(view.messages.shown.empty());
    EXPECT_TRUE(Log().empty());  // the timer keeps running
}

TEST_F(PresenterTest, DeviceManagerWithoutSystemFolderTellsTheUser) {
    shell.FailSpecialFolderLocation(true);
    shell.SetShfolderLoadable(false);
    Start();

    presenter.cmdOpenDevMan_Click();

    EXPECT_TRUE(shell.ExecuteCalls().empty());
    ASSERT_EQ(view.messages.shown.size(), 1u);
    EXPECT_EQ(view.messages.shown[0].text, "Gerätemanager nicht aufrufbar.");
    EXPECT_EQ(view.messages.shown[0].style, MessageStyle::ExclamationOkCancel);
}

// --- links -------------------------------------------------------------------------------------

struct LinkCase {
    int index;
    const char* file;
};

void PrintTo(const LinkCase& c, std::ostream* out) {
    *out << "lblUrl(" << c.index << ")";
}

class LinkTest : public PresenterTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkTest, OpensTheLabelsTextThroughTheShell) {
    Start();

    presenter.lblUrl_Click(GetParam().index);

    EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{{kMainWindowHandle, "Open", GetParam().file, "", "", 1}}));
}

INSTANTIATE_TEST_SUITE_P(Links,
                         LinkTest,
                         ::testing::Values(LinkCase{0, "https://www.velmaro.example"},
                                           LinkCase{1, "mailto:feedback@velmaro.example"}));

TEST_F(PresenterTest, LinkOpensWhatTheLabelShows) {
    Start();
    view.lblUrl(0).SetCaption("https://www.example.org/neu");

    presenter.lblUrl_Click(0);

    ASSERT_EQ(shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(shell.ExecuteCalls()[0].file, "https://www.example.org/neu");
}

TEST_F(PresenterTest, NoLinkBeyondTheTwo) {
    Start();
    presenter.lblUrl_Click(2);
    presenter.lblUrl_Click(-1);
    EXPECT_TRUE(shell.ExecuteCalls().empty());
}

// --- clipboard question ------------------------------------------------------------------------

struct QuestionCase {
    const char* name;
    std::vector<MessageResult> answers;
    bool requested;
};

void PrintTo(const QuestionCase& c, std::ostream* out) {
    *out << c.name;
}

class ClipboardQuestionTest : public PresenterTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(ClipboardQuestionTest, YesRequestsTheDumpNoLeavesTheRequestAlone) {
    Start();
    const QuestionCase& c = GetParam();
    view.messages.answers.assign(c.answers.begin(), c.answers.end());

    for (std::size_t i = 0; i < c.answers.size(); ++i) {
        presenter.hdlMain().ForwardDblClick();  // the view's route for a double-click on the headline
    }

    ASSERT_EQ(view.messages.shown.size(), c.answers.size());
    for (const auto& shown : view.messages.shown) {
        EXPECT_EQ(shown.text, "Alles Infos in die Zwischenablage?");
        EXPECT_EQ(shown.style, MessageStyle::QuestionYesNo);
    }
    EXPECT_EQ(presenter.ClipboardRequested(), c.requested);
    EXPECT_EQ(view.clipboard.sets, 0);  // the copy is the next refresh's business
}

INSTANTIATE_TEST_SUITE_P(Answers,
                         ClipboardQuestionTest,
                         ::testing::Values(QuestionCase{"Yes", {MessageResult::Yes}, true},
                                           QuestionCase{"No", {MessageResult::No}, false},
                                           QuestionCase{"YesThenNo", {MessageResult::Yes, MessageResult::No}, true},
                                           QuestionCase{"NoThenYes", {MessageResult::No, MessageResult::Yes}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresenterTest, NextTickCopiesTheRequestedDumpOnce) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\PNP0501\\1", "Kommunikationsanschluss (COM1)");
    Start();
    view.messages.answers = {MessageResult::Yes, MessageResult::No};
    presenter.hdlMain_DblClick();
    presenter.hdlMain_DblClick();

    presenter.tmrRefresh_Timer();

    EXPECT_FALSE(presenter.ClipboardRequested());
    EXPECT_EQ(view.clipboard.clears, 1);
    EXPECT_EQ(view.clipboard.sets, 1);
    EXPECT_EQ(view.clipboard.text.rfind("\r\n\r\nSPDRP_ADDRESS:", 0), 0u);
    EXPECT_NE(view.clipboard.text.find("\r\nSPDRP_FRIENDLYNAME:Kommunikationsanschluss (COM1)\r\n"), std::string::npos);
    ASSERT_EQ(view.messages.shown.size(), 3u);
    EXPECT_EQ(view.messages.shown[2].text, "OK, alles in der Zwischenablage!");
    EXPECT_EQ(view.messages.shown[2].style, MessageStyle::PromptOnly);

    presenter.tmrRefresh_Timer();
    EXPECT_EQ(view.clipboard.sets, 1);
}

}  // namespace
}  // namespace velmaro::testing
