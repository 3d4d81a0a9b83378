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

// Today's cables. Their texts name the chip, the port or the program through placeholders that
// the diagnosis fills in.
constexpr std::string_view kChipNoDriver =
    "An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip {family} (Kennung {vid}:{pid}) "
    "angeschlossen, jedoch fehlt der passende Treiber.";
constexpr std::string_view kNoDriverInDeviceManager =
    "Unter \"Andere Geräte\" oder \"Anschlüsse (COM & LPT)\" finden Sie im Gerätemanager das Gerät mit "
    "einem gelben Ausrufezeichen als Symbol. Machen Sie einen Doppelklick darauf: Unter \"Gerätestatus\" "
    "nennt Windows den Fehler mit Code 1, Code 18 oder Code 28. Schließen Sie das Fenster wieder.";
constexpr std::string_view kInstallMakerDriver =
    "Der passende Treiber heißt {driver} und stammt vom Hersteller des Chips. Laden Sie ihn von dessen "
    "Internetseite herunter, ziehen Sie das Kabel ab und installieren Sie den Treiber. Schließen Sie "
    "danach das Kabel wieder an und das Problem sollte gelöst sein.";
constexpr std::string_view kAskDriverPage = "Soll die Downloadseite des Herstellers im Internet aufgerufen werden?";
constexpr std::string_view kUsbserInbox =
    "Ab Windows 10 bringt Windows den passenden Treiber usbser.sys selbst mit. Machen Sie einen "
    "Rechtsklick auf das Gerät, wählen Sie \"Treiber aktualisieren\" und dann \"Automatisch nach Treibern "
    "suchen\". Unter älteren Windows-Versionen benötigen Sie die Treiberdatei (INF) des Herstellers Ihres "
    "Geräts.";
constexpr std::string_view kSectionNoDriver =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"Kein Treiber "
    "für das USB Datenkabel\".";
constexpr std::string_view kChipDriverFailed =
    "An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip {family} (Kennung {vid}:{pid}) "
    "angeschlossen. Windows hat dafür einen Treiber geladen, doch der Treiber kann das Gerät nicht "
    "starten (Code {code}).";
constexpr std::string_view kCodes10And43 =
    "Code 10 bedeutet, dass das Gerät nicht gestartet werden konnte; Code 43, dass Windows es angehalten "
    "hat, weil es Probleme gemeldet hat. Solange das so ist, gibt es keinen COM Port, und Sie können mit "
    "dem Kabel nicht arbeiten.";
constexpr std::string_view kProlificRefused =
    "Häufige Ursache bei Prolific PL2303 Kabeln: Neuere Treiber von Prolific weisen ältere Chips "
    "(PL2303HXA, PL2303XA) und Nachbauten ab. Im Gerätemanager steht dann beim Gerät ein Hinweis wie "
    "\"PL2303HXA PHASED OUT SINCE 2012. PLEASE CONTACT YOUR SUPPLIER.\" Code 43 entsteht außerdem oft "
    "durch ein beschädigtes Kabel oder einen USB Hub ohne eigene Stromversorgung.";
constexpr std::string_view kUninstallWithDriver =
    "Machen Sie im Gerätemanager einen Rechtsklick auf das Gerät mit dem gelben Ausrufezeichen und wählen "
    "Sie \"Gerät deinstallieren\". Wird angeboten, auch den Treiber zu entfernen, setzen Sie dort das "
    "Häkchen. Bestätigen Sie mit OK. Das Gerät verschwindet aus der Liste.";
constexpr std::string_view kInstallCurrentDriver =
    "Ziehen Sie dann das Kabel ab und installieren Sie den aktuellen Treiber {driver} des Herstellers. "
    "Schließen Sie das Kabel danach direkt an eine USB Buchse des PCs an, nicht an einen Hub. Meldet "
    "Windows bei einem Prolific Kabel weiterhin Code 10, ist der Chip abgekündigt oder nachgebaut: Wenden "
    "Sie sich an den Händler oder verwenden Sie ein Kabel mit einem aktuellen Chip.";
constexpr std::string_view kSectionDriverFailed =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"Der Treiber "
    "startet nicht\".";
constexpr std::string_view kDeviceDisabled =
    "An Ihrem PC ist das Gerät {family} (Kennung {vid}:{pid}) angeschlossen, jedoch ist es im "
    "Gerätemanager deaktiviert (Code 22).";
constexpr std::string_view kDisabledNoPort =
    "Ein deaktiviertes Gerät stellt keinen COM Port bereit. Meist wurde es im Gerätemanager oder von "
    "einem Programm abgeschaltet.";
constexpr std::string_view kEnableDevice =
    "Unter \"Anschlüsse (COM & LPT)\", \"Andere Geräte\" oder \"USB Controller\" finden Sie im "
    "Gerätemanager das Gerät mit einem kleinen Pfeil nach unten als Symbol. Machen Sie einen Rechtsklick "
    "darauf und wählen Sie \"Gerät aktivieren\" (unter Windows XP \"Aktivieren\"). Das Gerät erhält "
    "danach wieder seinen COM Port.";
constexpr std::string_view kSectionDisabled =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"Das Gerät ist "
    "deaktiviert\".";
constexpr std::string_view kComPortBusy =
    "Der COM Port ist bereits von einem anderen Programm geöffnet: {program} (Prozessnummer "
    "{process_id}).";
constexpr std::string_view kEndProgramTaskManager =
    "Beenden Sie das Programm {program}. Lässt es sich nicht normal beenden, öffnen Sie mit "
    "Strg+Umschalt+Esc den Task-Manager, wählen Sie auf der Registerkarte \"Details\" den Eintrag mit der "
    "PID {process_id} und klicken Sie auf \"Task beenden\".";
constexpr std::string_view kLinuxLoadModule =
    "Prüfen Sie mit dem Befehl \"lsusb\", ob das Kabel erkannt wird: Es erscheint dort mit der Kennung "
    "{vid}:{pid}. Laden Sie dann den passenden Treiber aus dem Linux-Kernel mit \"sudo modprobe "
    "{module}\".";
constexpr std::string_view kLinuxDriverNoTty =
    "An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip {family} (Kennung {vid}:{pid}) "
    "angeschlossen. Der Treiber {module} hat das Gerät übernommen, aber keine serielle Schnittstelle wie "
    "/dev/ttyUSB0 angelegt.";
constexpr std::string_view kLinuxDriverError =
    "Meist hat der Treiber beim Anstecken einen Fehler gemeldet, etwa weil der Chip ein Nachbau ist, den "
    "der Treiber nicht kennt, oder weil das Kabel beschädigt ist. Solange das so ist, können Sie mit dem "
    "Kabel nicht arbeiten.";
constexpr std::string_view kLinuxDmesgModule =
    "Was der Treiber gemeldet hat, zeigt der Befehl \"sudo dmesg\". Suchen Sie dort nach Zeilen mit "
    "{module}.";
constexpr std::string_view kLinuxReloadModule =
    "Ziehen Sie das Kabel ab, laden Sie den Treiber mit \"sudo modprobe -r {module}\" und danach \"sudo "
    "modprobe {module}\" neu und schließen Sie das Kabel direkt an eine USB Buchse des PCs wieder an, "
    "nicht an einen Hub. Hilft das nicht, ist der Chip vermutlich nachgebaut oder das Kabel defekt: "
    "Verwenden Sie ein anderes Kabel.";
constexpr std::string_view kLinuxBrlttyTook =
    "An Ihrem PC ist ein USB Wandler / Datenkabel mit dem Chip {family} (Kennung {vid}:{pid}) "
    "angeschlossen, jedoch hat das Programm brltty das Gerät übernommen.";
constexpr std::string_view kLinuxBrlttyWhy =
    "brltty ist ein Dienst für Braillezeilen (Blindenschrift). Einige Braillezeilen verwenden dieselben "
    "USB Chips wie preiswerte Datenkabel, deshalb übernimmt brltty beim Anstecken auch solche Kabel. Der "
    "Treiber {module} kommt dann nicht zum Zug, und es entsteht keine serielle Schnittstelle wie "
    "/dev/ttyUSB0.";
constexpr std::string_view kLinuxRemoveBrltty =
    "Wenn Sie keine Braillezeile verwenden, entfernen Sie das Paket mit \"sudo apt remove brltty\" (unter "
    "Fedora \"sudo dnf remove brltty\").";
constexpr std::string_view kLinuxMaskBrltty =
    "Möchten Sie brltty behalten, schalten Sie nur die Übernahme beim Anstecken ab: \"sudo systemctl stop "
    "brltty-udev.service\" und danach \"sudo systemctl mask brltty-udev.service\". Die Braillezeile "
    "starten Sie dann bei Bedarf selbst.";
constexpr std::string_view kLinuxBrlttyReplug =
    "Ziehen Sie das Kabel danach ab und schließen Sie es wieder an. Jetzt übernimmt der Treiber {module} "
    "das Kabel, und die Schnittstelle erscheint.";
constexpr std::string_view kSectionBrltty =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"brltty hat das "
    "Kabel übernommen\".";
constexpr std::string_view kLinuxNoAccess = "Ihr Benutzer darf die Schnittstelle {device} nicht öffnen.";
constexpr std::string_view kLinuxGroupOwns =
    "Die Schnittstelle gehört der Gruppe {group}; lesen und schreiben dürfen nur deren Mitglieder. "
    "Programme melden dann beim Öffnen \"Permission denied\" bzw. \"Zugriff verweigert\", obwohl das "
    "Kabel richtig erkannt wurde.";
constexpr std::string_view kLinuxUsermod =
    "Nehmen Sie Ihren Benutzer mit diesem Befehl in die Gruppe auf (die Anführungszeichen um $USER "
    "gehören dazu): sudo usermod -aG {group} \"$USER\"";
constexpr std::string_view kLinuxNewLogin =
    "Die neue Gruppe gilt erst nach einer neuen Anmeldung: Melden Sie sich ab und wieder an oder starten "
    "Sie den PC neu. Ein neues Terminalfenster genügt nicht.";
constexpr std::string_view kLinuxGroupsCheck =
    "Ob es geklappt hat, zeigt danach der Befehl \"groups\": In seiner Ausgabe steht dann {group}.";
constexpr std::string_view kSectionNoAccess =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"Keine "
    "Berechtigung für die Schnittstelle\".";
constexpr std::string_view kPortBusy =
    "Die Schnittstelle {device} ist bereits von einem anderen Programm geöffnet: {program} (Prozessnummer "
    "{process_id}).";
constexpr std::string_view kBusyConsequence =
    "Solange dieses Programm die Schnittstelle offen hält, können andere Programme nicht mit dem Gerät "
    "arbeiten oder erhalten nur einen Teil seiner Daten.";
constexpr std::string_view kEndProgram =
    "Beenden Sie das Programm {program}, zum Beispiel ein Terminalprogramm, den seriellen Monitor einer "
    "Entwicklungsumgebung oder ein zweites Fenster desselben Programms.";
constexpr std::string_view kKillProgram =
    "Lässt es sich nicht normal beenden, beenden Sie es in einem Terminal mit \"kill {process_id}\". "
    "Gehört es einem anderen Benutzer oder dem System, lautet der Befehl \"sudo kill {process_id}\". "
    "Beenden Sie so nur Programme, die Sie kennen.";
constexpr std::string_view kSectionPortBusy =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"Die "
    "Schnittstelle ist belegt\".";
constexpr std::string_view kModemManagerHolds =
    "Die Schnittstelle {device} ist von ModemManager geöffnet (Prozessnummer {process_id}).";
constexpr std::string_view kModemManagerWhy =
    "ModemManager ist der Dienst, der unter Linux Mobilfunk-Modems einrichtet. Er prüft neue serielle "
    "Schnittstellen, ob dahinter ein Modem steckt, und sendet dabei Befehle an das Gerät. Das stört "
    "Mikrocontroller, GPS-Empfänger und ähnliche Geräte und belegt die Schnittstelle für einige Sekunden "
    "oder dauerhaft.";
constexpr std::string_view kStopModemManager =
    "Wenn Sie kein Mobilfunk-Modem verwenden, beenden Sie den Dienst mit \"sudo systemctl stop "
    "ModemManager\" und verhindern Sie seinen Start beim nächsten Hochfahren mit \"sudo systemctl disable "
    "ModemManager\".";
constexpr std::string_view kModemManagerIgnoreRule =
    "Brauchen Sie ModemManager für ein Modem, nehmen Sie nur dieses Gerät aus: Legen Sie mit \"sudo nano "
    "/etc/udev/rules.d/99-velmaro-modemmanager.rules\" eine Datei mit der Zeile "
    "ATTRS{idVendor}==\"{vid}\", ATTRS{idProduct}==\"{pid}\", ENV{ID_MM_DEVICE_IGNORE}=\"1\" an. Laden "
    "Sie die Regeln mit \"sudo udevadm control --reload-rules\" neu, ziehen Sie das Gerät ab und "
    "schließen Sie es wieder an.";
constexpr std::string_view kSectionModemManager =
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und lesen Sie den Abschnitt \"ModemManager "
    "belegt die Schnittstelle\".";

// No driver: chip, cause, blank line, rights, where the device is, which driver, re-plugging,
// and the question that fits the action.
constexpr std::string_view kNoDriverWindows[] = {
    kChipNoDriver, kWhyNoDriver,    kBlankLine,      kAdministratorFirst, kNoDriverInDeviceManager,
    kUsbserInbox,  kReplugOnceMore, kSectionNoDriver};
constexpr std::string_view kNoDriverWindowsPage[] = {
    kChipNoDriver,       kWhyNoDriver,    kBlankLine,    kAdministratorFirst, kNoDriverInDeviceManager,
    kInstallMakerDriver, kReplugOnceMore, kAskDriverPage};
constexpr std::string_view kNoDriverLinux[] = {kChipNoDriver,       kLinuxWhyNoDriver, kBlankLine,
                                               kLinuxRootFirst,     kLinuxLoadModule,  kLinuxExtraModules,
                                               kLinuxReplugDialout, kSectionNoDriver};
constexpr std::string_view kDriverFailedWindows[] = {
    kChipDriverFailed,   kCodes10And43,        kProlificRefused,      kBlankLine,
    kAdministratorFirst, kUninstallWithDriver, kInstallCurrentDriver, kSectionDriverFailed};
constexpr std::string_view kDriverFailedWindowsPage[] = {
    kChipDriverFailed,   kCodes10And43,        kProlificRefused,      kBlankLine,
    kAdministratorFirst, kUninstallWithDriver, kInstallCurrentDriver, kAskDriverPage};
constexpr std::string_view kDriverFailedLinux[] = {kLinuxDriverNoTty,   kLinuxDriverError, kBlankLine,
                                                   kLinuxRootFirst,     kLinuxDmesgModule, kLinuxReloadModule,
                                                   kSectionDriverFailed};
constexpr std::string_view kDisabledWindows[] = {kDeviceDisabled,     kDisabledNoPort, kBlankLine,
                                                 kAdministratorFirst, kEnableDevice,   kSectionDisabled};
// Linux has no disabled device node; should the code ever reach the dialog there, it explains it.
constexpr std::string_view kDisabledLinux[] = {kDeviceDisabled, kDisabledNoPort, kBlankLine, kSectionDisabled};
// The Linux-only codes show the same paragraphs in both sets; the busy port has Windows steps.
constexpr std::string_view kBrlttyLinux[] = {kLinuxBrlttyTook,   kLinuxBrlttyWhy,  kBlankLine,         kLinuxRootFirst,
                                             kLinuxRemoveBrltty, kLinuxMaskBrltty, kLinuxBrlttyReplug, kSectionBrltty};
constexpr std::string_view kNoAccessLinux[] = {kLinuxNoAccess, kLinuxGroupOwns, kBlankLine,        kLinuxRootFirst,
                                               kLinuxUsermod,  kLinuxNewLogin,  kLinuxGroupsCheck, kSectionNoAccess};
constexpr std::string_view kPortBusyLinux[] = {kPortBusy,   kBusyConsequence, kBlankLine,
                                               kEndProgram, kKillProgram,     kSectionPortBusy};
constexpr std::string_view kPortBusyWindows[] = {kComPortBusy, kBusyConsequence, kBlankLine, kEndProgramTaskManager,
                                                 kSectionPortBusy};
constexpr std::string_view kModemManagerLinux[] = {kModemManagerHolds,  kModemManagerWhy,  kBlankLine,
                                                   kLinuxRootFirst,     kStopModemManager, kModemManagerIgnoreRule,
                                                   kSectionModemManager};

constexpr std::string_view kActionNoDriver = "Local x40 HelP#treiber-fehlt";
constexpr std::string_view kActionDriverFailed = "Local x40 HelP#treiber-startet-nicht";
constexpr std::string_view kActionDisabled = "Local x40 HelP#geraet-deaktiviert";
constexpr std::string_view kActionBrltty = "Local x40 HelP#brltty";
constexpr std::string_view kActionNoAccess = "Local x40 HelP#kein-zugriff";
constexpr std::string_view kActionPortBusy = "Local x40 HelP#port-belegt";
constexpr std::string_view kActionModemManager = "Local x40 HelP#modemmanager";
static_assert(kActionNoDriver.starts_with(kHelpMarker) && kActionModemManager.starts_with(kHelpMarker));

constexpr std::string_view kNoAction;

// Rows in the order in which a tag is tested and the scan's USB rules are applied.
const std::array<ProblemCodeRow, 17> kTable = {{
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
    {.code = ProblemCode::NoDriver,
     .tag = "PROBLEM_NO_DRIVER",
     .rowText = "{family} ({vid}:{pid}) ohne Treiber",
     .windowsGuidance = kNoDriverWindows,
     .linuxGuidance = kNoDriverLinux,
     .asksQuestion = true,
     .action = kActionNoDriver,
     .windowsGuidanceWithDriverPage = kNoDriverWindowsPage},
    {.code = ProblemCode::DriverFailed,
     .tag = "PROBLEM_DRIVER_FAILED",
     .rowText = "{family} ({vid}:{pid}): Treiber startet nicht",
     .windowsGuidance = kDriverFailedWindows,
     .linuxGuidance = kDriverFailedLinux,
     .asksQuestion = true,
     .action = kActionDriverFailed,
     .windowsGuidanceWithDriverPage = kDriverFailedWindowsPage},
    {.code = ProblemCode::Disabled,
     .tag = "PROBLEM_DISABLED",
     .rowText = "{family} ({vid}:{pid}) ist deaktiviert",
     .windowsGuidance = kDisabledWindows,
     .linuxGuidance = kDisabledLinux,
     .asksQuestion = true,
     .action = kActionDisabled},
    {.code = ProblemCode::Brltty,
     .tag = "PROBLEM_BRLTTY",
     .rowText = "{family} ({vid}:{pid}) von brltty belegt",
     .windowsGuidance = kBrlttyLinux,
     .linuxGuidance = kBrlttyLinux,
     .asksQuestion = true,
     .action = kActionBrltty},
    {.code = ProblemCode::NoAccess,
     .tag = "PROBLEM_NO_ACCESS",
     .rowText = "Keine Berechtigung für {device} (Gruppe {group})",
     .windowsGuidance = kNoAccessLinux,
     .linuxGuidance = kNoAccessLinux,
     .asksQuestion = true,
     .action = kActionNoAccess},
    {.code = ProblemCode::PortBusy,
     .tag = "PROBLEM_PORT_BUSY",
     .rowText = "{device} belegt von {program} (PID {process_id})",
     .windowsGuidance = kPortBusyWindows,
     .linuxGuidance = kPortBusyLinux,
     .asksQuestion = true,
     .action = kActionPortBusy},
    {.code = ProblemCode::ModemManager,
     .tag = "PROBLEM_MODEMMANAGER",
     .rowText = "{device} belegt von ModemManager (PID {process_id})",
     .windowsGuidance = kModemManagerLinux,
     .linuxGuidance = kModemManagerLinux,
     .asksQuestion = true,
     .action = kActionModemManager},
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

namespace {

// The separator between a tag and its fill-ins, and between a fill-in's name and value: bytes no
// name, device path or program name of the fill-ins carries.
constexpr char kFieldSeparator = '\x1f';
constexpr char kValueSeparator = '\x1e';

const FillIn* FindFillIn(const FillIns& fillIns, std::string_view name) {
    for (const FillIn& fillIn : fillIns) {
        if (fillIn.name == name) {
            return &fillIn;
        }
    }
    return nullptr;
}

// True when every "{name}" of text that looks like a placeholder of the fill-in table is filled.
bool AllPlaceholdersFilled(std::string_view text, const FillIns& fillIns) {
    static constexpr std::string_view kNames[] = {"family", "vid",   "pid",     "module",     "driver",     "code",
                                                  "device", "group", "program", "process_id", "description"};
    for (std::string_view name : kNames) {
        const std::string placeholder = "{" + std::string(name) + "}";
        if (text.find(placeholder) != std::string_view::npos && FindFillIn(fillIns, name) == nullptr) {
            return false;
        }
    }
    return true;
}

std::span<const std::string_view> ParagraphsOf(const ProblemCodeRow& row,
                                               GuidancePlatform platform,
                                               const FillIns& fillIns) {
    if (platform == GuidancePlatform::Linux) {
        return row.linuxGuidance;
    }
    const FillIn* page = FindFillIn(fillIns, kFillInDriverPage);
    if (page != nullptr && !page->value.empty() && !row.windowsGuidanceWithDriverPage.empty()) {
        return row.windowsGuidanceWithDriverPage;
    }
    return row.windowsGuidance;
}

}  // namespace

std::string FillInText(std::string_view text, const FillIns& fillIns) {
    std::string result(text);
    for (const FillIn& fillIn : fillIns) {
        const std::string placeholder = "{" + fillIn.name + "}";
        for (std::size_t at = result.find(placeholder); at != std::string::npos;
             at = result.find(placeholder, at + fillIn.value.size())) {
            result.replace(at, placeholder.size(), fillIn.value);
        }
    }
    return result;
}

std::string ComposeGuidanceText(ProblemCode code, GuidancePlatform platform, const FillIns& fillIns) {
    const ProblemCodeRow& row = RowOf(code);
    std::string text;
    bool first = true;
    for (std::string_view paragraph : ParagraphsOf(row, platform, fillIns)) {
        if (!fillIns.empty() && !AllPlaceholdersFilled(paragraph, fillIns)) {
            continue;  // e.g. the udev rule of a port without USB IDs
        }
        if (!first) {
            text += kLineBreak;
        }
        first = false;
        text += fillIns.empty() ? std::string(paragraph) : FillInText(paragraph, fillIns);
    }
    return text;
}

std::string GuidanceAction(ProblemCode code, GuidancePlatform platform, const FillIns& fillIns) {
    const ProblemCodeRow& row = RowOf(code);
    const FillIn* page = FindFillIn(fillIns, kFillInDriverPage);
    if (platform == GuidancePlatform::Windows && page != nullptr && !page->value.empty() &&
        !row.windowsGuidanceWithDriverPage.empty()) {
        return page->value;
    }
    return std::string(row.action);
}

std::string ProblemTag(ProblemCode code, const FillIns& fillIns) {
    std::string tag(TagOf(code));
    for (const FillIn& fillIn : fillIns) {
        tag += kFieldSeparator;
        tag += fillIn.name;
        tag += kValueSeparator;
        tag += fillIn.value;
    }
    return tag;
}

std::optional<ProblemTagContent> ParseProblemTag(std::string_view tag) {
    const std::size_t end = tag.find(kFieldSeparator);
    const std::optional<ProblemCode> code = FindProblemCode(tag.substr(0, end));
    if (!code) {
        return std::nullopt;
    }
    ProblemTagContent content{*code, {}};
    for (std::size_t at = end; at != std::string_view::npos;) {
        const std::size_t next = tag.find(kFieldSeparator, at + 1);
        const std::string_view field = tag.substr(at + 1, next == std::string_view::npos ? next : next - at - 1);
        const std::size_t split = field.find(kValueSeparator);
        if (split == std::string_view::npos) {
            return std::nullopt;
        }
        content.fillIns.push_back({std::string(field.substr(0, split)), std::string(field.substr(split + 1))});
        at = next;
    }
    return content;
}

}  // namespace velmaro
