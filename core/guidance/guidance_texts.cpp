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

// Linux: the kernel's own drivers instead of an installer, sudo instead of an administrator
// account, and the programs that are known to take a USB-serial adapter away from the user.
constexpr std::array<std::string_view, kLinuxParagraphCount> kLinuxTexts = {
    // L1: why a cable has no driver on Linux
    "Unter Linux entsteht dieses Problem, wenn kein Treiber (Kernelmodul) das Kabel übernommen hat: Das Modul ist "
    "nicht geladen oder nicht installiert, oder ein anderes Programm hat das Gerät belegt. Solange das so ist, gibt "
    "es keine serielle Schnittstelle wie /dev/ttyUSB0, und Sie können mit dem Kabel nicht arbeiten.",
    // L2
    "Für die folgenden Schritte benötigen Sie Root-Rechte. Geben Sie die Befehle in einem Terminal ein; sudo fragt "
    "dabei nach Ihrem Passwort.",
    // L3..L7: the chip behind each code, its USB ID and its kernel module
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 067b:2303. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe pl2303\".",
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 6547:0232. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ark3116\".",
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 0403:6001. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ftdi_sio\".",
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 0ea0:6858. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe oti6858\".",
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 10c4:ea60. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe cp210x\".",
    // L8
    "Meldet modprobe, dass das Modul nicht gefunden wurde, installieren Sie die zusätzlichen Kernelmodule Ihrer "
    "Distribution (unter Ubuntu z.B. das Paket linux-modules-extra). Was der Kernel beim Anstecken des Kabels meldet, "
    "zeigt der Befehl \"sudo dmesg\".",
    // L9: brltty claims the generic USB IDs of some braille displays
    "Steht in dieser Ausgabe, dass brltty das Gerät übernommen hat, belegt das Programm für Braillezeilen aus dem "
    "Paket brltty den Wandler. Das betrifft häufig Adapter mit CH340/CH341-, FTDI- oder CP210x-Chip. Wenn Sie keine "
    "Braillezeile verwenden, entfernen Sie das Paket mit \"sudo apt remove brltty\".",
    // L10
    "Ziehen Sie das Kabel danach ab und schließen Sie es wieder an. Damit Programme die Schnittstelle öffnen dürfen, "
    "muss Ihr Benutzer Mitglied der Gruppe dialout sein: \"sudo usermod -aG dialout $USER\". Melden Sie sich danach "
    "einmal ab und wieder an.",
    // L11: ModemManager probes every new serial port, phones first of all
    "Ist die Schnittstelle direkt nach dem Anstecken noch belegt, prüft gerade ModemManager, ob ein Modem "
    "angeschlossen ist. Warten Sie einige Sekunden, oder beenden Sie den Dienst mit \"sudo systemctl stop "
    "ModemManager\", wenn Sie kein Modem verwenden.",
    // L12
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird, und mit \"sudo dmesg\", was der Kernel beim "
    "Anstecken gemeldet hat.",
    // L13..L16: a doubly assigned number comes from Wine's COM links
    "Unter Linux vergibt dieses Programm die COM Nummern so wie Wine: zuerst nach den Einträgen COMn unter "
    "HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports in der Registry Ihres Wine-Präfixes, dann nach den Verknüpfungen comN "
    "im Ordner dosdevices (meist ~/.wine/dosdevices), danach der Reihe nach für /dev/ttyS*, /dev/ttyUSB* und "
    "/dev/ttyACM*. Eine doppelte Nummer stammt deshalb fast immer aus diesen Einträgen und Verknüpfungen.",
    "Lassen Sie sich in einem Terminal mit \"ls -l ~/.wine/dosdevices/\" die Verknüpfungen anzeigen. Ein Eintrag wie "
    "com5 -> /dev/ttyUSB0 ordnet der Schnittstelle /dev/ttyUSB0 die Nummer COM5 zu.",
    "Geben Sie dem Gerät, das Sie zuletzt angeschlossen haben, eine freie Nummer, z.B. mit \"ln -sfn /dev/ttyUSB0 "
    "~/.wine/dosdevices/com7\", und löschen Sie die alte Verknüpfung mit \"rm ~/.wine/dosdevices/com5\". Steht die "
    "Nummer unter HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports, ändern Sie sie stattdessen dort mit \"wine regedit\".",
    "Beenden Sie danach alle Windows-Programme und Wine mit \"wineserver -k\". Erst beim nächsten Start übernimmt "
    "Wine die Änderung.",
};

constexpr int L(int number) {
    return kLinuxParagraphs + number;
}

// Missing driver on Linux: cable type, cause, blank line, then sudo, the chip's module, where
// the kernel's messages are, brltty where it claims the chip, re-plugging with the dialout group
// and ModemManager. The DCA-140/540 keeps its pointer to the installed guide.
constexpr int kLinuxX40[] = {1, L(1), kBlankLine, L(12), 8, 9};
constexpr int kLinuxX510[] = {2, L(1), kBlankLine, L(2), L(3), L(8), L(10), L(11)};
constexpr int kLinuxUsb2vcom[] = {3, L(1), kBlankLine, L(2), L(4), L(8), L(10), L(11)};
constexpr int kLinuxFtdi2xx[] = {4, L(1), kBlankLine, L(2), L(5), L(8), L(9), L(10), L(11)};
constexpr int kLinuxOti[] = {5, L(1), kBlankLine, L(2), L(6), L(8), L(10), L(11)};
constexpr int kLinuxCp210x[] = {6, L(1), kBlankLine, L(2), L(7), L(8), L(9), L(10), L(11)};
// Doubly assigned port on Linux: where the number comes from before the question, or the steps
// on Wine's links instead of the Device Manager's port settings.
constexpr int kLinux2xUsedX40[] = {18, 20, L(13), 21};
constexpr int kLinux2xUsed510[] = {19, 20, L(13), 21};
constexpr int kLinux2xUsedOther[] = {22, 23, 24, L(13), kBlankLine, 25, L(14), L(15), L(16), 31};

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

const std::array<ProblemGuidance, 10> kLinuxTable = {{
    {kProblemX40, kLinuxX40, true, kHelpMarker},
    {kProblemX510, kLinuxX510, false, kNoAction},
    {kProblemUsb2vcom, kLinuxUsb2vcom, false, kNoAction},
    {kProblemFtdi2xx, kLinuxFtdi2xx, false, kNoAction},
    {kProblemOti, kLinuxOti, false, kNoAction},
    {kProblemCp210x, kLinuxCp210x, false, kNoAction},
    {kProblem2xUsedX40, kLinux2xUsedX40, true, kForumThread2xUsedX40},
    {kProblem2xUsed510, kLinux2xUsed510, true, kForumThread2xUsed510},
    {kProblem2xUsedUsb2vcom, kLinux2xUsedOther, false, kNoAction},
    {kProblem2xUsedOther, kLinux2xUsedOther, false, kNoAction},
}};

}  // namespace

std::string_view GuidanceParagraph(int number) {
    if (number >= 1 && number <= kGuidanceParagraphCount) {
        return kParagraphs[static_cast<std::size_t>(number - 1)];
    }
    if (number > kLinuxParagraphs && number <= kLinuxParagraphs + kLinuxParagraphCount) {
        return kLinuxTexts[static_cast<std::size_t>(number - kLinuxParagraphs - 1)];
    }
    return {};
}

std::span<const ProblemGuidance> GuidanceTable(GuidancePlatform platform) {
    if (platform == GuidancePlatform::Linux) {
        return kLinuxTable;
    }
    return kTable;
}

const ProblemGuidance* FindGuidance(std::string_view code, GuidancePlatform platform) {
    for (const auto& entry : GuidanceTable(platform)) {
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
