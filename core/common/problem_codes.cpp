#include "common/problem_codes.h"

#include <array>

#include "common/addresses.h"

namespace velmaro {
namespace {

// The dialog's paragraphs are the program's own wording, typos included, and must stay as they are.
constexpr std::string_view kCableX40Missing =
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 angeschlossen, jedoch "
    "fehlt der passende Treiber.";
constexpr std::string_view kCableX510Missing =
    "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 USB Datenkabel angeschlossen, jedoch "
    "fehlt der passende Treiber.";
constexpr std::string_view kCableUsb2vcomMissing =
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ usb2vcom angeschlossen, jedoch fehlt der passende Treiber.";
constexpr std::string_view kCableFtdi2xxMissing =
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ FTDI2XX angeschlossen, jedoch fehlt der passende Treiber.";
constexpr std::string_view kCableOtiMissing =
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ OTI angeschlossen, jedoch fehlt der passende Treiber.";
constexpr std::string_view kCableCp210xMissing =
    "An Ihrem PC ist ein Wandel / Datenkabel vom Typ CP210x (CP2101/CP2102) der Firma Silicon Laboratories "
    "angeschlossen, jedoch fehlt der passende Treiber.";
constexpr std::string_view kWhyNoDriver =
    "Dieses Problem entsteht, wenn Sie ein Datenkabel angeschlossen haben, ohne das vorher ein passender Treiber "
    "installiert war. Bevor das Problem nicht gelöst worden ist, können Sie mit dem Kabel nicht arbeiten.";
constexpr std::string_view kGuideInstalled =
    "Zusammen mit diesem Programm wurde eine Anleitung installiert, die unter anderem beschreibt, wie man das Problem "
    "löst.";
constexpr std::string_view kGuideSection =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und bearbeiten Sie den Abschnitt \"Den virtuelle COM Port "
    "prüfen > Probleme\"";
constexpr std::string_view kAdministratorFirst =
    "Zur Lösung benötigen Sie zunächst Administatorrechte. Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie "
    "sich ab und als Administrator an. Rufen Sie dann von diesem Programm aus den Gerätemanager auf.";
constexpr std::string_view kUninstallX510 =
    "Unter Anschlüsse finden Sie im Gerätemanager ein USB DEVICE bzw. ein Siemens USB Datenkabel mit einem gelben "
    "Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit "
    "OK. Das Gerät verschwindet aus der Liste.";
constexpr std::string_view kUninstallUsb2vcom =
    "Unter \"Anschlüsse\" oder \"Andere Geräte\" finden Sie im Gerätemanager ein USB-UART Controller mit einem gelben "
    "Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit "
    "OK. Das Gerät verschwindet aus der Liste.";
constexpr std::string_view kUninstallFtdi2xx =
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"USB <> Serial\" "
    "mit einem gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie Deinstallieren. "
    "Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.";
constexpr std::string_view kUninstallOti =
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"USB-UART Tx "
    "Line\" mit einem gelben Ausrufezeichen als Symbol. Machen Sie einen Rechtklick darauf und wählen Sie "
    "Deinstallieren. Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.";
constexpr std::string_view kUninstallCp210x =
    "Unter \"Anschlüsse\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im Gerätemanager ein \"CP210x USB to "
    "UART Bridge Controller\" oder einen \"USB-UART Controller\" mit einem gelben Ausrufezeichen als Symbol. Machen "
    "Sie einen Rechtklick darauf und wählen Sie Deinstallieren. Bestätigen Sie mit OK. Das Gerät verschwindet aus der "
    "Liste.";
constexpr std::string_view kInstallDriver =
    "Ziehen Sie dann das Kabel ab und installieren Sie den Treiber, den der Hersteller bzw. Händler mitgeliefert hat. "
    "Schließen Sie danach das Kabel wieder an und das Problem sollte gelöst sein.";
constexpr std::string_view kReplugOnceMore =
    "Evtl. muß das Kabel nach der Installation noch einmal abgezogen und neu angesteckt werden, damit es endgültig "
    "erkannt wird.";
constexpr std::string_view kCableX40Twice =
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 angeschlossen, jedoch "
    "ist der bereitgestellte, virtuelle COM Port doppelt belegt - siehe Tabelle.";
constexpr std::string_view kCableX510Twice =
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist der bereitgestellte, virtuelle COM "
    "Port doppelt belegt - siehe Tabelle.";
constexpr std::string_view kForumGuide =
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Im Dorvatek Supportforum gibt es eine Anleitung, wie Sie das Problem beheben können.";
constexpr std::string_view kForumQuestion = "Soll die Anleitung im Internet aufgerufen werden?";
constexpr std::string_view kPortTwice = "Der COM Port ist mehrfach belegt - siehe Tabelle.";
constexpr std::string_view kCollision =
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Allgemein dürfte kein Programm in der Lage sein, mit dem Port zu Arbeiten.";
constexpr std::string_view kAskTheMaker =
    "Bitte wenden Sie sich an der Hersteller oder Verkäufer des Geräts. In der Regel kann man die zugewiesenen Ports "
    "manuell ändern und so die Doppelbelegung auflösen. Sie sollten dem Gerät, das Sie zuletzt installiert haben bzw. "
    "dem unwichtigeren oder extern oder seltener angeschlossenen Gerät einen neuen COM Port zuweisen, anstatt ein "
    "wichtiges Gerät zu ändern. Klassisch verursachen z.B. neu angeschlossene USB Datenkabel das Problem und dieses "
    "Gerät gilt es zu ändern.";
constexpr std::string_view kSettingsLeadIn = "Meistens erreichen Sie diese Einstellung wie folgt:";
constexpr std::string_view kRestrictedUser =
    "Wenn Sie als eingeschränkter Benutzer arbeiten, melden Sie sich ab und als Administrator an. Rufen Sie dann von "
    "diesem Programm aus den Gerätemanager auf.";
constexpr std::string_view kOpenProperties =
    "Machen Sie einen Rechtklick auf das betroffene Gerät im Gerätemanager und wählen Sie Eigenschaften. Es erscheint "
    "ein Fenster Eigenschaften des Geräts.";
constexpr std::string_view kPortSettingsTab =
    "Wechseln Sie auf die Registerkarte \"Anschlußeinstellungen (Port Settings)\" und klicken Sie dort den Knopf "
    "\"Erweitert (Advanced)\" am untern Fensterrand.";
constexpr std::string_view kChooseFreeNumber =
    "Sie sollten nun ein Fenster sehen, in dem Sie die zugewiesene COM Port Nummer auswählen können. Ändern Sie die "
    "Auswahl auf eine Nummer, die von Windows als nicht belegt angezeigt wird und schließen Sie alle Fenster mit OK "
    "bzw. übernehmen";
constexpr std::string_view kReplugToApply =
    "Ziehen Sie abschließend das USB Kabel einmal ab, warten Sie ein paar Sekunden und schließen Sie es wieder an die "
    "gleiche USB Buchse an. Erst dadurch wird die Änderung auch wirklich übernommen.";
constexpr std::string_view kNoLongerTwice =
    "Diese Programm sollte für das Gerät danach keinen mehrfach belegten Port mehr anzeigen.";

constexpr std::string_view kLinuxWhyNoDriver =
    "Unter Linux entsteht dieses Problem, wenn kein Treiber (Kernelmodul) das Kabel übernommen hat: Das Modul ist "
    "nicht geladen oder nicht installiert, oder ein anderes Programm hat das Gerät belegt. Solange das so ist, gibt "
    "es keine serielle Schnittstelle wie /dev/ttyUSB0, und Sie können mit dem Kabel nicht arbeiten.";
constexpr std::string_view kLinuxRootFirst =
    "Für die folgenden Schritte benötigen Sie Root-Rechte. Geben Sie die Befehle in einem Terminal ein; sudo fragt "
    "dabei nach Ihrem Passwort.";
constexpr std::string_view kLinuxModuleX510 =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 067b:2303. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe pl2303\".";
constexpr std::string_view kLinuxModuleUsb2vcom =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 6547:0232. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ark3116\".";
constexpr std::string_view kLinuxModuleFtdi2xx =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 0403:6001. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe ftdi_sio\".";
constexpr std::string_view kLinuxModuleOti =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 0ea0:6858. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe oti6858\".";
constexpr std::string_view kLinuxModuleCp210x =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung 10c4:ea60. "
    "Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe cp210x\".";
constexpr std::string_view kLinuxExtraModules =
    "Meldet modprobe, dass das Modul nicht gefunden wurde, installieren Sie die zusätzlichen Kernelmodule Ihrer "
    "Distribution (unter Ubuntu z.B. das Paket linux-modules-extra). Was der Kernel beim Anstecken des Kabels meldet, "
    "zeigt der Befehl \"sudo dmesg\".";
constexpr std::string_view kLinuxBrltty =
    "Steht in dieser Ausgabe, dass brltty das Gerät übernommen hat, belegt das Programm für Braillezeilen aus dem "
    "Paket brltty den Wandler. Das betrifft häufig Adapter mit CH340/CH341-, FTDI- oder CP210x-Chip. Wenn Sie keine "
    "Braillezeile verwenden, entfernen Sie das Paket mit \"sudo apt remove brltty\".";
constexpr std::string_view kLinuxReplugDialout =
    "Ziehen Sie das Kabel danach ab und schließen Sie es wieder an. Damit Programme die Schnittstelle öffnen dürfen, "
    "muss Ihr Benutzer Mitglied der Gruppe dialout sein: \"sudo usermod -aG dialout $USER\". Melden Sie sich danach "
    "einmal ab und wieder an.";
constexpr std::string_view kLinuxModemManager =
    "Ist die Schnittstelle direkt nach dem Anstecken noch belegt, prüft gerade ModemManager, ob ein Modem "
    "angeschlossen ist. Warten Sie einige Sekunden, oder beenden Sie den Dienst mit \"sudo systemctl stop "
    "ModemManager\", wenn Sie kein Modem verwenden.";
constexpr std::string_view kLinuxCheckKernel =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird, und mit \"sudo dmesg\", was der Kernel beim "
    "Anstecken gemeldet hat.";
constexpr std::string_view kLinuxWineNumbers =
    "Unter Linux vergibt dieses Programm die COM Nummern so wie Wine: zuerst nach den Einträgen COMn unter "
    "HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports in der Registry Ihres Wine-Präfixes, dann nach den Verknüpfungen comN "
    "im Ordner dosdevices (meist ~/.wine/dosdevices), danach der Reihe nach für /dev/ttyS*, /dev/ttyUSB* und "
    "/dev/ttyACM*. Eine doppelte Nummer stammt deshalb fast immer aus diesen Einträgen und Verknüpfungen.";
constexpr std::string_view kLinuxListLinks =
    "Lassen Sie sich in einem Terminal mit \"ls -l ~/.wine/dosdevices/\" die Verknüpfungen anzeigen. Ein Eintrag wie "
    "com5 -> /dev/ttyUSB0 ordnet der Schnittstelle /dev/ttyUSB0 die Nummer COM5 zu.";
constexpr std::string_view kLinuxRelink =
    "Geben Sie dem Gerät, das Sie zuletzt angeschlossen haben, eine freie Nummer, z.B. mit \"ln -sfn /dev/ttyUSB0 "
    "~/.wine/dosdevices/com7\", und löschen Sie die alte Verknüpfung mit \"rm ~/.wine/dosdevices/com5\". Steht die "
    "Nummer unter HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports, ändern Sie sie stattdessen dort mit \"wine regedit\".";
constexpr std::string_view kLinuxRestartWine =
    "Beenden Sie danach alle Windows-Programme und Wine mit \"wineserver -k\". Erst beim nächsten Start übernimmt "
    "Wine die Änderung.";

// Missing driver: cable type, cause, blank line, then the repair steps (or, for the DCA-140/540,
// the pointer to the installed guide).
constexpr std::string_view kX40[] = {kCableX40Missing, kWhyNoDriver, kBlankLine, kGuideInstalled, kGuideSection};
constexpr std::string_view kX510[] = {kCableX510Missing, kWhyNoDriver,   kBlankLine,     kAdministratorFirst,
                                      kUninstallX510,    kInstallDriver, kReplugOnceMore};
constexpr std::string_view kUsb2vcom[] = {kCableUsb2vcomMissing, kWhyNoDriver,   kBlankLine,     kAdministratorFirst,
                                          kUninstallUsb2vcom,    kInstallDriver, kReplugOnceMore};
constexpr std::string_view kFtdi2xx[] = {kCableFtdi2xxMissing, kWhyNoDriver,   kBlankLine,     kAdministratorFirst,
                                         kUninstallFtdi2xx,    kInstallDriver, kReplugOnceMore};
constexpr std::string_view kOti[] = {kCableOtiMissing, kWhyNoDriver,   kBlankLine,     kAdministratorFirst,
                                     kUninstallOti,    kInstallDriver, kReplugOnceMore};
constexpr std::string_view kCp210x[] = {kCableCp210xMissing, kWhyNoDriver,   kBlankLine,     kAdministratorFirst,
                                        kUninstallCp210x,    kInstallDriver, kReplugOnceMore};
// Doubly assigned port: the Siemens cables point to a forum thread, all others get the steps.
constexpr std::string_view kTwiceX40[] = {kCableX40Twice, kForumGuide, kForumQuestion};
constexpr std::string_view kTwice510[] = {kCableX510Twice, kForumGuide, kForumQuestion};
constexpr std::string_view kTwiceOther[] = {kPortTwice,        kCollision,      kAskTheMaker,    kBlankLine,
                                            kSettingsLeadIn,   kRestrictedUser, kOpenProperties, kPortSettingsTab,
                                            kChooseFreeNumber, kReplugToApply,  kNoLongerTwice};

// Missing driver on Linux: cable type, cause, blank line, then sudo, the chip's module, where
// the kernel's messages are, brltty where it claims the chip, re-plugging with the dialout group
// and ModemManager. The DCA-140/540 keeps its pointer to the installed guide.
constexpr std::string_view kLinuxX40[] = {kCableX40Missing,  kLinuxWhyNoDriver, kBlankLine,
                                          kLinuxCheckKernel, kGuideInstalled,   kGuideSection};
constexpr std::string_view kLinuxX510[] = {kCableX510Missing,   kLinuxWhyNoDriver, kBlankLine,
                                           kLinuxRootFirst,     kLinuxModuleX510,  kLinuxExtraModules,
                                           kLinuxReplugDialout, kLinuxModemManager};
constexpr std::string_view kLinuxUsb2vcom[] = {kCableUsb2vcomMissing, kLinuxWhyNoDriver,    kBlankLine,
                                               kLinuxRootFirst,       kLinuxModuleUsb2vcom, kLinuxExtraModules,
                                               kLinuxReplugDialout,   kLinuxModemManager};
constexpr std::string_view kLinuxFtdi2xx[] = {kCableFtdi2xxMissing, kLinuxWhyNoDriver,   kBlankLine,
                                              kLinuxRootFirst,      kLinuxModuleFtdi2xx, kLinuxExtraModules,
                                              kLinuxBrltty,         kLinuxReplugDialout, kLinuxModemManager};
constexpr std::string_view kLinuxOti[] = {kCableOtiMissing,    kLinuxWhyNoDriver, kBlankLine,
                                          kLinuxRootFirst,     kLinuxModuleOti,   kLinuxExtraModules,
                                          kLinuxReplugDialout, kLinuxModemManager};
constexpr std::string_view kLinuxCp210x[] = {kCableCp210xMissing, kLinuxWhyNoDriver,   kBlankLine,
                                             kLinuxRootFirst,     kLinuxModuleCp210x,  kLinuxExtraModules,
                                             kLinuxBrltty,        kLinuxReplugDialout, kLinuxModemManager};
// Doubly assigned port on Linux: where the number comes from before the question, or the steps
// on Wine's links instead of the Device Manager's port settings.
constexpr std::string_view kLinuxTwiceX40[] = {kCableX40Twice, kForumGuide, kLinuxWineNumbers, kForumQuestion};
constexpr std::string_view kLinuxTwice510[] = {kCableX510Twice, kForumGuide, kLinuxWineNumbers, kForumQuestion};
constexpr std::string_view kLinuxTwiceOther[] = {kPortTwice,        kCollision,      kAskTheMaker,    kLinuxWineNumbers,
                                                 kBlankLine,        kSettingsLeadIn, kLinuxListLinks, kLinuxRelink,
                                                 kLinuxRestartWine, kNoLongerTwice};

constexpr std::string_view kNoAction;

// Rows in the order in which a tag is tested and the scan's USB rules are applied.
const std::array<ProblemCodeRow, 10> kTable = {{
    {.code = ProblemCode::X40,
     .tag = "PROBLEM_X40",
     .rowText = "Siemens USB Datenkabel mit Treiberproblem",
     // The DCA-140/540 family shows up under this description while its driver is missing.
     .upperDeviceDescription = "SIEMENS USB CONNECTIVITY",
     .windowsGuidance = kX40,
     .linuxGuidance = kLinuxX40,
     .asksQuestion = true,
     .action = kHelpMarker},
    {.code = ProblemCode::X510,
     .tag = "PROBLEM_X510",
     .rowText = "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem",
     .usb = UsbRule{"Vid_067b&Pid_2303", true},
     .windowsGuidance = kX510,
     .linuxGuidance = kLinuxX510,
     .action = kNoAction},
    {.code = ProblemCode::Usb2vcom,
     .tag = "PROBLEM_USB2VCOM",
     .rowText = "USB Wandler / Datenkabel Typ usb2vcom mit Treiberproblem",
     .usb = UsbRule{"Vid_6547&Pid_0232", true},
     .windowsGuidance = kUsb2vcom,
     .linuxGuidance = kLinuxUsb2vcom,
     .action = kNoAction},
    {.code = ProblemCode::Ftdi2xx,
     .tag = "PROBLEM_FTDI2XX",
     .rowText = "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem",
     .usb = UsbRule{"Vid_0403&Pid_6001", false},
     .windowsGuidance = kFtdi2xx,
     .linuxGuidance = kLinuxFtdi2xx,
     .action = kNoAction},
    {.code = ProblemCode::Oti,
     .tag = "PROBLEM_OTI",
     .rowText = "USB Wandler / Datenkabel Typ OTI mit Treiberproblem",
     .usb = UsbRule{"Vid_0ea0&Pid_6858", false},
     .windowsGuidance = kOti,
     .linuxGuidance = kLinuxOti,
     .action = kNoAction},
    {.code = ProblemCode::Cp210x,
     .tag = "PROBLEM_CP210X",
     .rowText = "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem",
     .usb = UsbRule{"Vid_10c4&Pid_ea60", false},
     .windowsGuidance = kCp210x,
     .linuxGuidance = kLinuxCp210x,
     .action = kNoAction},
    {.code = ProblemCode::TwiceUsedX40,
     .tag = "PROBLEM_2XUSED_X40",
     .upperSiemensModel = "DCA-140",
     .windowsGuidance = kTwiceX40,
     .linuxGuidance = kLinuxTwiceX40,
     .asksQuestion = true,
     .action = kForumThread2xUsedX40},
    {.code = ProblemCode::TwiceUsed510,
     .tag = "PROBLEM_2XUSED_510",
     .upperSiemensModel = "DCA-510",
     .windowsGuidance = kTwice510,
     .linuxGuidance = kLinuxTwice510,
     .asksQuestion = true,
     .action = kForumThread2xUsed510},
    {.code = ProblemCode::TwiceUsedUsb2vcom,
     .tag = "PROBLEM_2XUSED_USB2VCOM",
     .windowsGuidance = kTwiceOther,
     .linuxGuidance = kLinuxTwiceOther,
     .action = kNoAction},
    {.code = ProblemCode::TwiceUsedOther,
     .tag = "PROBLEM_2XUSED_OTHER",
     .windowsGuidance = kTwiceOther,
     .linuxGuidance = kLinuxTwiceOther,
     .action = kNoAction},
}};

}  // namespace

std::span<const ProblemCodeRow> ProblemCodeTable() {
    return kTable;
}

const ProblemCodeRow& RowOf(ProblemCode code) {
    for (const ProblemCodeRow& row : kTable) {
        if (row.code == code) {
            return row;
        }
    }
    return kTable.back();  // unreachable while every code has its row; the table test sees to that
}

std::string_view TagOf(ProblemCode code) {
    return RowOf(code).tag;
}

std::optional<ProblemCode> FindProblemCode(std::string_view tag) {
    for (const ProblemCodeRow& row : kTable) {
        if (row.tag == tag) {
            return row.code;
        }
    }
    return std::nullopt;
}

std::string ComposeGuidanceText(ProblemCode code, GuidancePlatform platform) {
    const ProblemCodeRow& row = RowOf(code);
    std::string text;
    bool first = true;
    for (std::string_view paragraph : platform == GuidancePlatform::Linux ? row.linuxGuidance : row.windowsGuidance) {
        if (!first) {
            text += kLineBreak;
        }
        first = false;
        text += paragraph;
    }
    return text;
}

}  // namespace velmaro
