// The guidance dialog: text, buttons and action per problem code, and what "Ja" then opens.
#include <gtest/gtest.h>

#include <ostream>
#include <ranges>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "guidance/frm_info.h"
#include "guidance/guidance_action.h"
#include "guidance/help_pages.h"
#include "guidance/wait_seconds.h"
#include "memory/memory_file_system.h"
#include "memory/memory_program.h"
#include "memory/memory_shell.h"
#include "shell/shell_desktop.h"
#include "support/fakes.h"

namespace velmaro {
namespace {

using Call = memory::MemoryShell::ExecuteCall;
using Texts = std::vector<std::string>;
constexpr WindowHandle kDialogWindow = 0x4711;
constexpr const char* kHelpMarker = "Local x40 HelP";
constexpr const char* kForum14785 = "https://forum.velmaro.example/community/board/showthread.php?t=14785";
constexpr const char* kForum13903 = "https://forum.velmaro.example/community/board/showthread.php?t=13903";

std::string HelpPage(const std::string& windows) {
    return "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_" + windows + ".htm";
}

// The dialog on in-memory services; the clock moves a quarter second on every round of the event loop.
struct Guidance {
    // "Ja" of the dialog filled for code, shown in its own window.
    void Click(const char* code) {
        dialog.frm_Present(code);
        dialog.AttachWindow(kDialogWindow);
        dialog.cmdJa_Click();
    }
    const InfoDialogState& State() const { return dialog.State(); }
    // "Ja" is shown exactly when it carries an action.
    void ExpectButtons(const std::string& nein, const std::string& action) const {
        EXPECT_EQ(State().neinCaption, nein);
        EXPECT_EQ(State().jaVisible, !action.empty());
        EXPECT_EQ(State().jaTag, action);
    }

    memory::FixedProgramIdentity identity{"Velmaro", "C:\\Programme\\Velmaro"};
    memory::MemoryShell shell;
    ShellDesktop desktop{shell};
    testing::RecordingMessageBox messages;
    memory::MemoryFileSystem files;
    memory::ManualClock clock;
    memory::SteppingEventPump pump{clock, 0.25f};
    frmInfo dialog{{identity, desktop, messages, files, clock, pump}};
};

class GuidanceTest : public ::testing::Test, protected Guidance {};

// --- what frm_Present shows ---------------------------------------------------------------------

// Phrases, one per paragraph of the text, in order and separated by "|". A paragraph must contain
// its phrase; "=..." gives the whole paragraph, so "=" alone is the blank line.
void ExpectParagraphs(const std::string& text, const std::string& phrases) {
    Texts paragraphs, expected;
    for (const auto& part : std::views::split(text, std::string_view("\r\n"))) {
        paragraphs.emplace_back(part.begin(), part.end());
    }
    for (const auto& part : std::views::split(phrases, '|')) {
        expected.emplace_back(part.begin(), part.end());
    }
    ASSERT_EQ(paragraphs.size(), expected.size()) << text;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string& phrase = expected[i];
        EXPECT_TRUE(phrase.starts_with('=') ? paragraphs[i] == phrase.substr(1)
                                            : paragraphs[i].find(phrase) != std::string::npos)
            << "paragraph " << i << ": " << paragraphs[i];
    }
}

// The frame the missing-driver texts share; only the cable and the faulty device differ.
std::string MissingDriver(const std::string& cable, const std::string& device) {
    return cable + "|ohne das vorher ein passender Treiber|=|zunächst Administatorrechte.|" + device +
           "|installieren Sie den Treiber, den der Hersteller|Evtl. muß das Kabel";
}

constexpr const char* kForumQuestion =
    "|Im Dorvatek Supportforum gibt es|=Soll die Anleitung im Internet aufgerufen werden?";
constexpr const char* kDoubleGeneric =
    "=Der COM Port ist mehrfach belegt - siehe Tabelle.|Allgemein dürfte kein Programm|"
    "an der Hersteller oder Verkäufer|=|=Meistens erreichen Sie diese Einstellung wie folgt:|"
    "=Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie sich ab und als Administrator an. "
    "Rufen Sie dann von diesem Programm aus den Gerätemanager auf.|Rechtklick auf das betroffene Gerät|"
    "Anschlußeinstellungen (Port Settings)|COM Port Nummer auswählen|ein paar Sekunden|"
    "=Diese Programm sollte für das Gerät danach keinen mehrfach belegten Port mehr anzeigen.";

// What frm_Present shows for one code. On Linux the same code keeps its buttons and action; the
// steps name the kernel module, brltty where it grabs the chip, and Wine's COM links instead of the
// Device Manager.
struct CodeCase {
    const char* code;
    const char* nein;
    std::string tag;  // "Ja" is shown exactly when it has an action
    std::string paragraphs;
    const char* linuxPhrase;  // a phrase of the Linux text
    bool brltty;              // whether the Linux text removes brltty
};

void PrintTo(const CodeCase& c, std::ostream* out) {
    *out << c.code;
}

class EveryCode : public ::testing::TestWithParam<CodeCase>, protected Guidance {};

TEST_P(EveryCode, SetsTextButtonsAndActionOnBothPlatforms) {
    const CodeCase& c = GetParam();
    dialog.frm_Present(c.code);
    ExpectButtons(c.nein, c.tag);
    ExpectParagraphs(State().text, c.paragraphs);
    // After closing, the generic text of a doubly assigned port leaves no trace of this code.
    dialog.cmdNein_Click();
    dialog.frm_Present("PROBLEM_2XUSED_OTHER");
    ExpectButtons("OK", "");
    ExpectParagraphs(State().text, kDoubleGeneric);

    dialog.UseGuidanceFor(GuidancePlatform::Linux);
    dialog.frm_Present(c.code);
    ExpectButtons(c.nein, c.tag);
    const std::string& text = State().text;
    EXPECT_NE(text.find(c.linuxPhrase), std::string::npos) << text;
    EXPECT_EQ(text.find("\"sudo apt remove brltty\"") != std::string::npos, c.brltty);
    EXPECT_EQ(text.find("Gerätemanager"), std::string::npos);
    EXPECT_EQ(text.find("Administ"), std::string::npos);
    EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos);  // at most one blank line in a row
    EXPECT_FALSE(text.starts_with("\r\n") || text.ends_with("\r\n"));
}

constexpr const char* kLinuxWineNumbers = "zuerst nach den Einträgen COMn unter HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports";
constexpr const char* kLinuxRelink =
    "\"rm ~/.wine/dosdevices/com5\". Steht die Nummer unter HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports, ändern Sie "
    "sie stattdessen dort mit \"wine regedit\".";

// The whole X40 text is pinned on screen by the Wine end-to-end test; here its paragraphs in order.
INSTANTIATE_TEST_SUITE_P(
    Guidance,
    EveryCode,
    ::testing::Values(
        // clang-format off
        CodeCase{"PROBLEM_X40", "Nein", kHelpMarker,
                 "DCA-140/540, NB-140/540, SyncStation DSC-100/600|ohne das vorher ein passender Treiber|=|"
                 "wurde eine Anleitung installiert|\"Den virtuelle COM Port prüfen > Probleme\"",
                 "und mit \"sudo dmesg\", was der Kernel beim Anstecken gemeldet hat.", false},
        CodeCase{"PROBLEM_X510", "OK", "", MissingDriver("Prolific PL2303 USB Datenkabel angeschlossen", "Unter Anschlüsse finden Sie im Gerätemanager"),
                 "der Kennung 067b:2303. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe pl2303\".", false},
        CodeCase{"PROBLEM_USB2VCOM", "OK", "", MissingDriver("Typ usb2vcom angeschlossen", "ein USB-UART Controller mit"),
                 "der Kennung 6547:0232. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ark3116\".", false},
        CodeCase{"PROBLEM_FTDI2XX", "OK", "", MissingDriver("Typ FTDI2XX angeschlossen", "\"USB <> Serial\" mit"),
                 "der Kennung 0403:6001. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ftdi_sio\".", true},
        CodeCase{"PROBLEM_OTI", "OK", "", MissingDriver("Typ OTI angeschlossen", "\"USB-UART Tx Line\" mit"),
                 "der Kennung 0ea0:6858. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe oti6858\".", false},
        CodeCase{"PROBLEM_CP210X", "OK", "", MissingDriver("(CP2101/CP2102) der Firma", "\"CP210x USB to UART Bridge"),
                 "der Kennung 10c4:ea60. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe cp210x\".", true},
        CodeCase{"PROBLEM_2XUSED_X40", "Nein", kForum14785, std::string("600 angeschlossen, jedoch ist") + kForumQuestion, kLinuxWineNumbers, false},
        CodeCase{"PROBLEM_2XUSED_510", "Nein", kForum13903, std::string("DCA-510 angeschlossen, jedoch ist") + kForumQuestion, kLinuxWineNumbers, false},
        CodeCase{"PROBLEM_2XUSED_USB2VCOM", "OK", "", kDoubleGeneric, kLinuxRelink, false},
        CodeCase{"PROBLEM_2XUSED_OTHER", "OK", "", kDoubleGeneric, kLinuxRelink, false}
        // clang-format on
        ));

TEST_F(GuidanceTest, DoublyAssignedUsb2vcomAndOtherGiveIdenticalDialogsOnBothPlatforms) {
    for (const GuidancePlatform platform : {GuidancePlatform::Windows, GuidancePlatform::Linux}) {
        dialog.UseGuidanceFor(platform);
        dialog.frm_Present("PROBLEM_2XUSED_USB2VCOM");
        const InfoDialogState usb2vcom = State();
        dialog.frm_Present("PROBLEM_2XUSED_OTHER");
        EXPECT_EQ(std::tie(State().text, State().neinCaption, State().jaVisible, State().jaTag),
                  std::tie(usb2vcom.text, usb2vcom.neinCaption, usb2vcom.jaVisible, usb2vcom.jaTag));
        EXPECT_FALSE(State().text.empty());
    }
}

TEST_F(GuidanceTest, EveryPresentStartsFromResetButtonsAndCloseUnloads) {
    identity = memory::FixedProgramIdentity{"Portliste", "D:\\Tools"};
    dialog.frm_Present("problem_x40");  // lower case matches nothing: the text is not even set
    EXPECT_EQ(State().text, "");
    ExpectButtons("OK", "");

    dialog.frm_Present("PROBLEM_2XUSED_X40");  // two dialogs in a row
    dialog.cmdNein_Click();
    dialog.frm_Present("PROBLEM_OTI");
    ExpectButtons("OK", "");

    dialog.frm_Present("PROBLEM_X40");  // an unknown code while loaded resets the buttons, keeps the text
    const std::string text = State().text;
    dialog.frm_Present("PROBLEM_UNBEKANNT");
    EXPECT_EQ(State().text, text);
    ExpectButtons("OK", "");
    EXPECT_EQ(State().title, "Portliste");
    EXPECT_EQ(State().ucHeadline1.Caption(), "Hinweis zur Problemlösung");
    dialog.Close();
    EXPECT_FALSE(dialog.IsLoaded());
}

// --- "Ja": help pages and forum threads -------------------------------------------------------

enum class Entry { File, Hidden, System, Directory };

TEST(HelpPages, FirstInstalledNormalPageOpensThenTheDialogClosesAfterTheWait) {
    const std::vector<std::string> order{HelpPage("Win98"), HelpPage("WinME"), HelpPage("Win2000"), HelpPage("WinXP"),
                                         HelpPage("WinVista")};
    const struct {
        const char* name;
        std::vector<std::pair<const char*, Entry>> installed;
        const char* opened;  // nullptr: none found
        std::size_t lookups;
    } cases[] = {
        {"only WinXP", {{"WinXP", Entry::File}}, "WinXP", 4},
        {"Win98 and WinVista", {{"Win98", Entry::File}, {"WinVista", Entry::File}}, "Win98", 1},
        {"Win98 a directory, WinME hidden, Win2000 a system file",
         {{"Win98", Entry::Directory}, {"WinME", Entry::Hidden}, {"Win2000", Entry::System}, {"WinXP", Entry::File}},
         "WinXP",
         4},
        // The user is told, and the dialog stays open as it was, without a wait.
        {"none installed", {}, nullptr, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Guidance f;
        for (const auto& [windows, entry] : c.installed) {
            if (entry == Entry::Directory) {
                f.files.AddDirectory(HelpPage(windows));
            } else {
                f.files.AddFile(HelpPage(windows), entry == Entry::Hidden, entry == Entry::System);
            }
        }
        f.Click("PROBLEM_X40");
        const bool found = c.opened != nullptr;
        const std::vector<Call> opened{{kDialogWindow, "Open", found ? HelpPage(c.opened) : "", "", "", 1}};
        EXPECT_EQ(f.shell.ExecuteCalls(), found ? opened : std::vector<Call>{});
        EXPECT_EQ(f.files.LookedUp(), std::vector(order.begin(), order.begin() + c.lookups));
        EXPECT_EQ(f.messages.Texts(), found ? Texts{} : Texts{"Hilfedatei nicht gefunden"});
        EXPECT_EQ(f.pump.rounds, found ? 5 : 0);
        ASSERT_EQ(f.dialog.IsLoaded(), !found);
        if (!found) {
            EXPECT_EQ(f.messages.shown.at(0).style, MessageStyle::PromptOnly);
            f.ExpectButtons("Nein", kHelpMarker);
        }
    }
}

TEST_F(GuidanceTest, ForumThreadGoesToTheShellUnchangedAndTheDialogStaysUntilTheWaitEnds) {
    shell.SetExecuteResult(2);  // a failing shell is not noticed
    bool loadedWhilePumping = true;
    pump.onPump = [&] { loadedWhilePumping = loadedWhilePumping && dialog.IsLoaded(); };

    Click("PROBLEM_2XUSED_X40");

    EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{{kDialogWindow, "Open", kForum14785, "", "", 1}}));
    EXPECT_EQ(pump.rounds, 5);
    EXPECT_TRUE(loadedWhilePumping);
    EXPECT_FALSE(dialog.IsLoaded());
}

// A re-opened dialog is not the one whose "Ja" was clicked: the end of that click's wait leaves it open.
TEST_F(GuidanceTest, ClosingAndReopeningDuringTheWaitKeepsTheNewDialogOpen) {
    pump.onPump = [&] {
        if (pump.rounds == 2) {
            dialog.Close();
            dialog.frm_Present("PROBLEM_OTI");
        }
    };

    Click("PROBLEM_2XUSED_510");

    EXPECT_EQ(shell.ExecuteCalls(), (std::vector<Call>{{kDialogWindow, "Open", kForum13903, "", "", 1}}));
    EXPECT_EQ(pump.rounds, 5);
    ASSERT_TRUE(dialog.IsLoaded());
    ExpectButtons("OK", "");
    EXPECT_NE(State().text.find("vom Typ OTI angeschlossen"), std::string::npos) << State().text;
    dialog.cmdNein_Click();
    EXPECT_FALSE(dialog.IsLoaded());
}

TEST(HelpPages, MarkerInOtherLetterCaseIsAnAddress) {
    Guidance f;
    f.files.AddFile(HelpPage("WinXP"));
    EXPECT_TRUE(OpenGuidanceAction("local x40 help", 9, f.identity, f.files, f.desktop, f.messages));
    EXPECT_EQ(f.shell.ExecuteCalls(), (std::vector<Call>{{9, "Open", "local x40 help", "", "", 1}}));
    EXPECT_TRUE(f.files.LookedUp().empty());
}

TEST(HelpPages, FileExistsNeverLooksUpDotNamesAndTakesErrorsAsNo) {
    memory::MemoryFileSystem files;
    files.AddFile("C:\\Hilfe\\normal.htm");
    for (const char* path : {"", ".", ".."}) {
        EXPECT_FALSE(FileExists(files, path)) << path;
    }
    EXPECT_TRUE(files.LookedUp().empty());
    EXPECT_TRUE(FileExists(files, "C:\\Hilfe\\normal.htm"));
    files.FailLookups(true);
    EXPECT_FALSE(FileExists(files, "C:\\Hilfe\\normal.htm"));
}

TEST(WaitSeconds, PumpsUntilStrictlyMoreTimeHasPassedAndEndsQuietlyOnFailures) {
    memory::ManualClock clock(100);  // the wait counts from its own start
    for (const auto& [step, rounds] : {std::pair{0.25f, 5}, std::pair{5.0f, 1}}) {  // 1.0 later keeps waiting
        memory::SteppingEventPump pump(clock, step);
        WaitSeconds(clock, pump, 1.0f);
        EXPECT_EQ(pump.rounds, rounds) << step;
    }
    memory::SteppingEventPump still(clock, 0);  // time stands still: only a failure ends the wait
    still.onPump = [&] { still.rounds == 2 ? throw std::runtime_error("window gone") : void(); };
    EXPECT_NO_THROW(WaitSeconds(clock, still, 1.0f));
    EXPECT_EQ(still.rounds, 2);
}

}  // namespace
}  // namespace velmaro

namespace velmaro {
namespace {

// --- the diagnosis of today's cables: filled texts and "Ja" by platform ---------------------------

const FillIns kCh340 = {{"vid", "1a86"},         {"pid", "7523"},
                        {"family", "WCH CH340"}, {"module", "ch341"},
                        {"driver", "CH341SER"},  {"driverPage", "https://www.wch-ic.com/downloads/CH341SER_EXE.html"},
                        {"code", "28"}};
// A CDC-ACM board: Windows brings its driver, so there is no page.
const FillIns kUno = {{"vid", "2341"},       {"pid", "0043"},          {"family", "Arduino Uno R3"},
                      {"module", "cdc_acm"}, {"driver", "usbser.sys"}, {"driverPage", ""},
                      {"code", "10"}};
const FillIns kMinicom = {{"device", "/dev/ttyUSB0"}, {"program", "minicom"}, {"process_id", "4711"}};
const FillIns kModemManager = {{"vid", "2341"}, {"pid", "0043"}, {"device", "/dev/ttyACM0"}, {"process_id", "812"}};
const FillIns kNoAccess = {{"device", "/dev/ttyUSB0"}, {"group", "dialout"}};

struct DiagnosisCase {
    const char* name;
    ProblemCode code;
    FillIns fillIns;
    GuidancePlatform platform;
    std::string action;
    std::string paragraphs;
};

class DiagnosisGuidance : public ::testing::TestWithParam<DiagnosisCase>, protected Guidance {};

TEST_P(DiagnosisGuidance, FilledParagraphsAndAction) {
    const DiagnosisCase& c = GetParam();
    dialog.UseGuidanceFor(c.platform);
    dialog.frm_Present(ProblemTag(c.code, c.fillIns));
    ExpectButtons("Nein", c.action);
    ExpectParagraphs(State().text, c.paragraphs);
    for (const char* placeholder : {"{family}", "{vid}", "{pid}", "{module}", "{driver}", "{code}", "{device}",
                                    "{group}", "{program}", "{process_id}", "{description}"}) {
        EXPECT_EQ(State().text.find(placeholder), std::string::npos) << placeholder;
    }
}

void PrintTo(const DiagnosisCase& c, std::ostream* out) {
    *out << c.name;
}

constexpr GuidancePlatform kWin = GuidancePlatform::Windows;
constexpr GuidancePlatform kLinux = GuidancePlatform::Linux;

INSTANTIATE_TEST_SUITE_P(
    Guidance,
    DiagnosisGuidance,
    ::testing::Values(
        // clang-format off
        DiagnosisCase{"no driver, Windows, driver page", ProblemCode::NoDriver, kCh340, kWin, "https://www.wch-ic.com/downloads/CH341SER_EXE.html",
            "=An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip WCH CH340 (Kennung 1a86:7523) angeschlossen, jedoch fehlt der passende Treiber.|"
            "ohne das vorher ein passender Treiber|=|zunächst Administatorrechte.|nennt Windows den Fehler mit Code 1, Code 18 oder Code 28.|"
            "=Der passende Treiber heißt CH341SER und stammt vom Hersteller des Chips. Laden Sie ihn von dessen Internetseite herunter, ziehen Sie das Kabel ab und installieren Sie den Treiber. Schließen Sie danach das Kabel wieder an und das Problem sollte gelöst sein.|"
            "Evtl. muß das Kabel|=Soll die Downloadseite des Herstellers im Internet aufgerufen werden?"},
        DiagnosisCase{"no driver, Windows, usbser.sys", ProblemCode::NoDriver, kUno, kWin, "Local x40 HelP#treiber-fehlt",
            "mit dem Chip Arduino Uno R3 (Kennung 2341:0043)|ohne das vorher|=|Administatorrechte|Code 28|Ab Windows 10 bringt Windows den passenden Treiber usbser.sys selbst mit.|Evtl. muß|"
            "=Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"Kein Treiber für das USB Datenkabel\"."},
        DiagnosisCase{"no driver, Linux", ProblemCode::NoDriver, kCh340, kLinux, "Local x40 HelP#treiber-fehlt",
            "mit dem Chip WCH CH340 (Kennung 1a86:7523)|Unter Linux entsteht dieses Problem|=|Root-Rechte|"
            "=Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 1a86:7523. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ch341\".|"
            "linux-modules-extra|Mitglied der Gruppe dialout|Abschnitt \"Kein Treiber für das USB Datenkabel\""},
        DiagnosisCase{"driver fails, Windows, no page", ProblemCode::DriverFailed, kUno, kWin, "Local x40 HelP#treiber-startet-nicht",
            "=An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip Arduino Uno R3 (Kennung 2341:0043) angeschlossen. Windows hat dafür einen Treiber geladen, doch der Treiber kann das Gerät nicht starten (Code 10).|"
            "Code 10 bedeutet|PL2303HXA PHASED OUT SINCE 2012|=|Administatorrechte|\"Gerät deinstallieren\"|den aktuellen Treiber usbser.sys des Herstellers|Abschnitt \"Der Treiber startet nicht\""},
        DiagnosisCase{"driver fails, Windows, driver page", ProblemCode::DriverFailed, kCh340, kWin, "https://www.wch-ic.com/downloads/CH341SER_EXE.html",
            "(Code 28)|Code 10 bedeutet|Prolific PL2303|=|Administatorrechte|Gerät deinstallieren|Treiber CH341SER des Herstellers|=Soll die Downloadseite des Herstellers im Internet aufgerufen werden?"},
        DiagnosisCase{"driver fails, Linux", ProblemCode::DriverFailed, kCh340, kLinux, "Local x40 HelP#treiber-startet-nicht",
            "Der Treiber ch341 hat das Gerät übernommen|Nachbau|=|Root-Rechte|Suchen Sie dort nach Zeilen mit ch341.|"
            "\"sudo modprobe -r ch341\" und danach \"sudo modprobe ch341\"|Abschnitt \"Der Treiber startet nicht\""},
        DiagnosisCase{"disabled, Windows", ProblemCode::Disabled, kCh340, kWin, "Local x40 HelP#geraet-deaktiviert",
            "=An Ihrem PC ist das Gerät WCH CH340 (Kennung 1a86:7523) angeschlossen, jedoch ist es im Gerätemanager deaktiviert (Code 22).|"
            "keinen COM Port bereit|=|Administatorrechte|\"Gerät aktivieren\"|Abschnitt \"Das Gerät ist deaktiviert\""},
        DiagnosisCase{"disabled, Linux", ProblemCode::Disabled, kCh340, kLinux, "Local x40 HelP#geraet-deaktiviert",
            "deaktiviert (Code 22)|keinen COM Port bereit|=|Abschnitt \"Das Gerät ist deaktiviert\""},
        DiagnosisCase{"brltty, Linux", ProblemCode::Brltty, kCh340, kLinux, "Local x40 HelP#brltty",
            "=An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip WCH CH340 (Kennung 1a86:7523) angeschlossen, jedoch hat das Programm brltty das Gerät übernommen.|"
            "Der Treiber ch341 kommt dann nicht zum Zug|=|Root-Rechte|\"sudo apt remove brltty\" (unter Fedora \"sudo dnf remove brltty\")|"
            "\"sudo systemctl stop brltty-udev.service\" und danach \"sudo systemctl mask brltty-udev.service\"|Jetzt übernimmt der Treiber ch341 das Kabel|Abschnitt \"brltty hat das Kabel übernommen\""},
        DiagnosisCase{"no access, Linux", ProblemCode::NoAccess, kNoAccess, kLinux, "Local x40 HelP#kein-zugriff",
            "=Ihr Benutzer darf die Schnittstelle /dev/ttyUSB0 nicht öffnen.|Die Schnittstelle gehört der Gruppe dialout;|=|Root-Rechte|"
            "=Nehmen Sie Ihren Benutzer mit diesem Befehl in die Gruppe auf (die Anführungszeichen um $USER gehören dazu): sudo usermod -aG dialout \"$USER\"|"
            "erst nach einer neuen Anmeldung|In seiner Ausgabe steht dann dialout.|Keine Berechtigung für die Schnittstelle"},
        DiagnosisCase{"busy, Linux", ProblemCode::PortBusy, kMinicom, kLinux, "Local x40 HelP#port-belegt",
            "=Die Schnittstelle /dev/ttyUSB0 ist bereits von einem anderen Programm geöffnet: minicom (Prozessnummer 4711).|"
            "nur einen Teil seiner Daten|=|=Beenden Sie das Programm minicom, zum Beispiel ein Terminalprogramm, den seriellen Monitor einer Entwicklungsumgebung oder ein zweites Fenster desselben Programms.|"
            "\"kill 4711\"|Abschnitt \"Die Schnittstelle ist belegt\""},
        DiagnosisCase{"busy, Windows", ProblemCode::PortBusy, kMinicom, kWin, "Local x40 HelP#port-belegt",
            "=Der COM Port ist bereits von einem anderen Programm geöffnet: minicom (Prozessnummer 4711).|nur einen Teil|=|"
            "Task-Manager, wählen Sie auf der Registerkarte \"Details\" den Eintrag mit der PID 4711|Die Schnittstelle ist belegt"},
        DiagnosisCase{"ModemManager, Linux", ProblemCode::ModemManager, kModemManager, kLinux, "Local x40 HelP#modemmanager",
            "=Die Schnittstelle /dev/ttyACM0 ist von ModemManager geöffnet (Prozessnummer 812).|Mobilfunk-Modems|=|Root-Rechte|"
            "\"sudo systemctl stop ModemManager\"|"
            "eine Datei mit der Zeile ATTRS{idVendor}==\"2341\", ATTRS{idProduct}==\"0043\", ENV{ID_MM_DEVICE_IGNORE}=\"1\" an.|"
            "Abschnitt \"ModemManager belegt die Schnittstelle\""},
        // A port without USB IDs: the udev rule, which needs them, is left out.
        DiagnosisCase{"ModemManager, Linux, no USB parent", ProblemCode::ModemManager,
            {{"device", "/dev/ttyS0"}, {"process_id", "812"}}, kLinux, "Local x40 HelP#modemmanager",
            "/dev/ttyS0 ist von ModemManager|Mobilfunk-Modems|=|Root-Rechte|sudo systemctl stop ModemManager|ModemManager belegt die Schnittstelle"}
        // clang-format on
        ));

// The codes only Linux knows show their Linux steps and action on Windows as well.
TEST(DiagnosisGuidanceOnWindows, LinuxOnlyCodesShowTheLinuxSteps) {
    for (const auto& [code, fillIns] : {std::pair{ProblemCode::Brltty, kCh340}, std::pair{ProblemCode::NoAccess, kNoAccess},
                                        std::pair{ProblemCode::ModemManager, kModemManager}}) {
        EXPECT_EQ(ComposeGuidanceText(code, kWin, fillIns), ComposeGuidanceText(code, kLinux, fillIns)) << TagOf(code);
        EXPECT_EQ(GuidanceAction(code, kWin, fillIns), GuidanceAction(code, kLinux, fillIns)) << TagOf(code);
    }
}

// A section of the help page opens as a file address with its anchor, which a plain path loses.
TEST_F(GuidanceTest, HelpSectionOpensThePageAtItsAnchor) {
    files.AddFile(HelpPage("WinXP"), false, false);
    const std::string tag = ProblemTag(ProblemCode::Brltty, kCh340);
    Click(tag.c_str());
    EXPECT_EQ(
        shell.ExecuteCalls(),
        (std::vector<Call>{{kDialogWindow, "Open",
                            "file:///C:/Programme/Velmaro/Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm#brltty", "",
                            "", 1}}));
    EXPECT_FALSE(dialog.IsLoaded());
}

// Without a page the user is told, as for the whole page, and the dialog stays.
TEST_F(GuidanceTest, HelpSectionWithoutPageTellsTheUser) {
    const std::string tag = ProblemTag(ProblemCode::NoAccess, kNoAccess);
    Click(tag.c_str());
    EXPECT_TRUE(shell.ExecuteCalls().empty());
    EXPECT_EQ(messages.Texts(), Texts{"Hilfedatei nicht gefunden"});
    EXPECT_TRUE(dialog.IsLoaded());
}

// Tags keep their fill-ins through the list, and a garbled one opens nothing.
TEST(ProblemTags, RoundTripAndPlainTags) {
    const auto parsed = ParseProblemTag(ProblemTag(ProblemCode::PortBusy, kMinicom));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->code, ProblemCode::PortBusy);
    EXPECT_EQ(parsed->fillIns, kMinicom);
    EXPECT_EQ(ProblemTag(ProblemCode::Oti, {}), "PROBLEM_OTI");
    EXPECT_FALSE(
        ParseProblemTag("PROBLEM_PORT_BUSY\x1f"
                        "device"));
    EXPECT_FALSE(
        ParseProblemTag("PROBLEM_NOPE\x1f"
                        "device\x1e"
                        "x"));
}

}  // namespace
}  // namespace velmaro
