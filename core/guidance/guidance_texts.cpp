#include "guidance/guidance_texts.h"

#include <array>

#include "common/addresses.h"
#include "devices/driver_problems.h"

namespace velmaro {
namespace {

// The paragraphs are the program's own wording, typos included, and must stay as they are.
constexpr std::array<std::string_view, kGuidanceParagraphCount> kParagraphs = {
    // T1
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 angeschlossen, jedoch "
    "fehlt der passende Treiber.",
    // T2
    "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 USB Datenkabel angeschlossen, jedoch "
    "fehlt der passende Treiber.",
    // T3
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ usb2vcom angeschlossen, jedoch fehlt der passende Treiber.",
    // T4
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ FTDI2XX angeschlossen, jedoch fehlt der passende Treiber.",
    // T5
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ OTI angeschlossen, jedoch fehlt der passende Treiber.",
    // T6
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ CP210x (CP2101/CP2102) der Firma Silicon Laboratories "
    "angeschlossen, jedoch fehlt der passende Treiber.",
    // T7
    "Dieses Problem entsteht, wenn Sie ein Datenkabel angeschlossen haben, ohne das vorher ein passender Treiber "
    "installiert war. Bevor das Problem nicht gelöst worden ist, können Sie mit dem Kabel nicht arbeiten.",
    // T8
    "Zusammen mit diesem Programm wurde eine Anleitung installiert, die unter anderem beschreibt, wie man das Problem "
    "löst.",
    // T9
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und bearbeiten Sie den Abschnitt \"Den virtuelle COM Port "
    "prüfen > Probleme\"",
    // T10
    "Zur Lösung benötigen Sie zunächst Administatorrechte. Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie "
    "sich ab und als Administrator an. Rufen Sie dann von diesem Programm aus den Gerätemanager auf.",
    // T11
    "Unter Anschlüsse finden Sie im Gerätemanager ein USB DEVICE bzw. ein Siemens USB Datenkabel mit einem gelben "
    "Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit "
    "OK. Das Gerät verschwindet aus der Liste.",
    // T12
    "Unter \"Anschlüsse\" oder \"Andere Geräte\" finden Sie im Gerätemanager ein USB-UART Controller mit einem gelben "
    "Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit "
    "OK. Das Gerät verschwindet aus der Liste.",
    // T13
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"USB <> Serial\" "
    "mit einem gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. "
    "Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.",
    // T14
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"USB-UART Tx "
    "Line\" mit einem gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie "
    "Deinstallieren. Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.",
    // T15
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"CP210x USB to "
    "UART Bridge Controller\" oder einen \"USB-UART Controller\" mit einem gelben Ausrufezeichen als Symbol. Machen "
    "Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit OK. Das Gerät verschwindet aus der "
    "Liste.",
    // T16
    "Ziehen Sie dann das Kabel ab und installieren Sie den Treiber, den der Hersteller bzw. Händler mitgeliefert hat. "
    "Schließen Sie danach das Kabel wieder an und das Problem sollte gelöst sein.",
    // T17
    "Evtl. muß das Kabel nach der Installation noch einmal abgezogen und neu angesteckt werden, damit es endgültig "
    "erkannt wird.",
    // T18
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 angeschlossen, jedoch "
    "ist der bereitgestellte, virtuelle COM Port doppelt belegt - siehe Tabelle.",
    // T19
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist der bereitgestellte, virtuelle COM "
    "Port doppelt belegt - siehe Tabelle.",
    // T20
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Im Dorvatek Supportforum gibt es eine Anleitung, wie Sie das Problem beheben können.",
    // T21
    "Soll die Anleitung im Internet aufgerufen werden?",
    // T22
    "Der COM Port ist mehrfach belegt - siehe Tabelle.",
    // T23
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Allgemein dürfte kein Programm in der Lage sein, mit dem Port zu Arbeiten.",
    // T24
    "Bitte wenden Sie sich an der Hersteller oder Verkäufer des Geräts. In der Regel kann man die zugewiesenen Ports "
    "manuell ändern und so die Doppelbelegung auflösen. Sie sollten dem Gerät, das Sie zuletzt installiert haben bzw. "
    "dem unwichtigeren oder extern oder seltener angeschlossenen Gerät einen neuen COM Port zuweisen, anstatt ein "
    "wichtiges Gerät zu ändern. Klassisch verursachen z.B. neu angeschlossene USB Datenkabel das Problem und dieses "
    "Gerät gilt es zu ändern.",
    // T25
    "Meistens erreichen Sie diese Einstellung wie folgt:",
    // T26
    "Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie sich ab und als Administrator an. Rufen Sie dann von "
    "diesem Programm aus den Gerätemanager auf.",
    // T27
    "Machen Sie einen Rechtklick auf das betroffene Gerät im Gerätemanager und wählen Sie Eigenschaften. Es erscheint "
    "ein Fenster Eigenschaften des Geräts.",
    // T28
    "Wechseln Sie auf die Registerkarte \"Anschlußeinstellungen (Port Settings)\" und klicken Sie dort den Knopf "
    "\"Erweitert (Advanced)\" am untern Fensterrand.",
    // T29
    "Sie sollten nun ein Fenster sehen, in dem Sie die zugewiesene COM Port Nummer auswählen können. Ändern Sie die "
    "Auswahl auf eine Nummer, die von Windows als nicht belegt angezeigt wird und schließen Sie alle Fenster mit OK "
    "bzw. übernehmen",
    // T30
    "Ziehen Sie abschließend das USB Kabel einmal ab, warten Sie ein paar Sekunden und schließen Sie es wieder an die "
    "gleiche USB Buchse an. Erst dadurch wird die Änderung auch wirklich übernommen.",
    // T31
    "Diese Programm sollte für das Gerät danach keinen mehrfach belegten Port mehr anzeigen.",
};

// Missing driver: cable type, cause, blank line, then the repair steps (or, for the DCA-140/540,
// the pointer to the installed guide).
constexpr int kX40[] = {1, 7, kBlankLine, 8, 9};
constexpr int kX510[] = {2, 7, kBlankLine, 10, 11, 16, 17};
constexpr int kUsb2vcom[] = {3, 7, kBlankLine, 10, 12, 16, 17};
constexpr int kFtdi2xx[] = {4, 7, kBlankLine, 10, 13, 16, 17};
constexpr int kOti[] = {5, 7, kBlankLine, 10, 14, 16, 17};
constexpr int kCp210x[] = {6, 7, kBlankLine, 10, 15, 16, 17};
// Doubly assigned port: the Siemens cables point to a forum thread, all others get the steps.
constexpr int k2xUsedX40[] = {18, 20, 21};
constexpr int k2xUsed510[] = {19, 20, 21};
constexpr int k2xUsedOther[] = {22, 23, 24, kBlankLine, 25, 26, 27, 28, 29, 30, 31};

constexpr std::string_view kNoAction;

const std::array<ProblemGuidance, 10> kTable = {{
    {kProblemX40, kX40, true, kHelpMarker},
    {kProblemX510, kX510, false, kNoAction},
    {kProblemUsb2vcom, kUsb2vcom, false, kNoAction},
    {kProblemFtdi2xx, kFtdi2xx, false, kNoAction},
    {kProblemOti, kOti, false, kNoAction},
    {kProblemCp210x, kCp210x, false, kNoAction},
    {kProblem2xUsedX40, k2xUsedX40, true, kForumThread2xUsedX40},
    {kProblem2xUsed510, k2xUsed510, true, kForumThread2xUsed510},
    {kProblem2xUsedUsb2vcom, k2xUsedOther, false, kNoAction},
    {kProblem2xUsedOther, k2xUsedOther, false, kNoAction},
}};

}  // namespace

std::string_view GuidanceParagraph(int number) {
    if (number < 1 || number > kGuidanceParagraphCount) {
        return {};
    }
    return kParagraphs[static_cast<std::size_t>(number - 1)];
}

std::span<const ProblemGuidance> GuidanceTable() {
    return kTable;
}

const ProblemGuidance* FindGuidance(std::string_view code) {
    for (const auto& entry : kTable) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

std::string ComposeGuidanceText(const ProblemGuidance& guidance) {
    std::string text;
    bool first = true;
    for (int number : guidance.paragraphs) {
        if (!first) {
            text += kLineBreak;
        }
        first = false;
        text += GuidanceParagraph(number);
    }
    return text;
}

}  // namespace velmaro
