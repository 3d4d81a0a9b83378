#include "linux/linux_machine.h"

#include <cstdio>
#include <utility>

#include "chips/usb_serial_chips.h"
#include "common/text.h"
#include "common/win_codes.h"

namespace velmaro::linux_backend {
namespace {

constexpr auto kRescanAfter = std::chrono::seconds(1);
// A refresh opens the serial-port map more than once; a snapshot this young serves all of them,
// while refreshes 1.5 s apart still each see a fresh one.
constexpr auto kFreshFor = std::chrono::milliseconds(250);

snapshot::RawValue Utf8Sz(std::string_view text) {
    return snapshot::SzValue(text, kRegSz, snapshot::CodePage::Utf8);
}

// Registry names and device instances are ASCII on Windows; kernel names are ASCII in practice,
// anything else becomes '?'.
std::string AsciiName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        out += static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F ? c : '?';
    }
    return out;
}

std::string Hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

void PutText(snapshot::SnapshotDevice& device, std::uint32_t property, const std::string& text) {
    if (!text.empty()) {
        device.properties[property] = Utf8Sz(text);
    }
}

void PutHardwareIds(snapshot::SnapshotDevice& device, const std::vector<std::string>& ids) {
    if (!ids.empty()) {
        device.properties[SPDRP_HARDWAREID] = snapshot::MultiSzValue(ids, snapshot::CodePage::Utf8);
    }
}

void PutUsbIds(snapshot::SnapshotDevice& device, const std::optional<UsbIds>& ids) {
    if (ids) {
        PutHardwareIds(device, UsbHardwareIds(*ids));
        PutText(device, SPDRP_ENUMERATOR_NAME, "USB");
    }
}

// The maker: the database's name first, then the USB string.
std::string MakerOf(const std::string& vendorFromDatabase, const std::string& manufacturer) {
    return vendorFromDatabase.empty() ? manufacturer : ShortMakerName(vendorFromDatabase);
}

// "{4D36E96D-E325-11CE-BFC1-08002BE10318}\0000": the modem's driver key below the class key.
std::string ModemDriverKey(int index) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", index);
    return std::string(kClassGuidModem) + "\\" + number;
}

snapshot::SnapshotDevice PortDevice(const SerialPort& port, const std::string& modemDriverKey) {
    snapshot::SnapshotDevice device;
    device.instance = "TTY\\" + AsciiName(port.kernelName);
    device.comportInterface = true;
    PutText(device, SPDRP_DEVICEDESC, PortDescription(port));
    PutText(device, SPDRP_FRIENDLYNAME, PortFriendlyName(port));
    PutText(device, SPDRP_CLASS, port.modem ? "Modem" : "Ports");
    PutText(device, SPDRP_CLASSGUID, port.modem ? kClassGuidModem : kClassGuidPorts);
    PutText(device, SPDRP_MFG, MakerOf(port.vendorFromDatabase, port.manufacturer));
    PutText(device, SPDRP_DRIVER, port.modem ? modemDriverKey : port.driver);
    PutText(device, SPDRP_SERVICE, port.driver);
    PutText(device, SPDRP_LOCATION_INFORMATION, port.sysfsPath.empty() ? "" : "/sys/" + port.sysfsPath);
    PutText(device, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, "\\Device\\" + AsciiName(port.kernelName));
    PutHardwareIds(device, PortHardwareIds(port));
    if (port.usb) {
        PutText(device, SPDRP_ENUMERATOR_NAME, "USB");
    }
    device.status = DevNodeStatus{};  // a port is a working device
    device.facts.deviceNode = port.deviceNode;
    device.facts.group = port.group;
    device.facts.accessDenied = port.accessDenied;
    device.facts.holders = port.holders;
    return device;
}

snapshot::IdentityExtras IdentityExtrasOf(const SerialPort& port) {
    snapshot::IdentityExtras extras;
    extras.scan.node = port.deviceNode;
    extras.scan.links = port.links;
    extras.scan.usbManufacturer = port.manufacturer;
    extras.scan.usbProduct = port.product;
    extras.scan.serial = port.serial;
    extras.scan.interfaceNumber = port.interfaceNumber;
    extras.scan.driver = port.driver;
    extras.scan.usbLocation = port.usbDevicePath.substr(port.usbDevicePath.rfind('/') + 1);
    return extras;
}

// A USB device without a port, in device-node terms: no driver on any interface is a driver
// that failed to install; its serial chip's own module bound without a tty, a failed start.
DevNodeStatus UsbStatus(const UsbDevice& usb) {
    if (usb.driver.empty()) {
        return {0, kProblemFailedInstall};
    }
    const UsbSerialChip* chip = FindChip(usb.ids.vendor, usb.ids.product);
    if (chip != nullptr && usb.driver == chip->linuxModule) {
        return {0, kProblemFailedStart};
    }
    return {};
}

snapshot::SnapshotDevice UsbDeviceEntry(const UsbDevice& usb) {
    snapshot::SnapshotDevice device;
    device.instance = "USB\\VID_" + Hex4(usb.ids.vendor) + "&PID_" + Hex4(usb.ids.product) + "\\" +
                      AsciiName(usb.serial.empty() ? usb.name : usb.serial);
    // Without a driver on any interface, Windows files the device under "Unknown".
    const bool driverless = usb.driver.empty();
    std::string description = DatabaseProductName(usb.vendorFromDatabase, usb.modelFromDatabase);
    if (description.empty()) {
        description = usb.product.empty() ? "USB-Gerät" : usb.product;
    }
    PutText(device, SPDRP_DEVICEDESC, description);
    PutText(device, SPDRP_CLASS, driverless ? "Unknown" : "USB");
    PutText(device, SPDRP_CLASSGUID, driverless ? kClassGuidUnknown : kClassGuidUsb);
    PutText(device, SPDRP_MFG, MakerOf(usb.vendorFromDatabase, usb.manufacturer));
    PutText(device, SPDRP_DRIVER, usb.driver);
    PutText(device, SPDRP_SERVICE, usb.driver);
    PutText(device, SPDRP_LOCATION_INFORMATION, usb.sysfsPath.empty() ? "" : "/sys/" + usb.sysfsPath);
    PutUsbIds(device, usb.ids);
    if (usb.cdcAcm) {
        // As Windows names the class of such an interface, so that a board maker's vendor-wide
        // chip row applies to it.
        device.properties[SPDRP_COMPATIBLEIDS] =
            snapshot::MultiSzValue({"USB\\Class_02&SubClass_02", "USB\\Class_02"}, snapshot::CodePage::Utf8);
    }
    device.status = UsbStatus(usb);
    device.facts.boundDriver = usb.driver;
    device.facts.brlttyRuleMatches = usb.brlttyRuleMatches;
    device.facts.holders = usb.holders;
    return device;
}

}  // namespace

std::vector<std::string> UsbHardwareIds(const UsbIds& ids) {
    const std::string base = "USB\\VID_" + Hex4(ids.vendor) + "&PID_" + Hex4(ids.product);
    if (!ids.revision) {
        return {base};
    }
    return {base + "&REV_" + Hex4(*ids.revision), base};
}

std::string ShortMakerName(std::string_view vendor) {
    std::string name = TrimBlanks(std::string(vendor.substr(0, vendor.find(','))));
    for (const std::string_view suffix : {" Inc.", " Inc", " Ltd.", " Ltd", " Corp.", " Corp", " Co."}) {
        if (name.size() > suffix.size() && EqualsNoCase(name.substr(name.size() - suffix.size()), suffix)) {
            name.erase(name.size() - suffix.size());
            break;
        }
    }
    return TrimBlanks(name);
}

std::string DatabaseProductName(std::string_view vendor, std::string_view model) {
    const std::string maker = ShortMakerName(vendor);
    const std::string product = TrimBlanks(std::string(model));
    if (product.empty() || maker.empty()) {
        return product;
    }
    const std::string firstWord = maker.substr(0, maker.find(' '));
    if (UpperCase(product).rfind(UpperCase(firstWord) + " ", 0) == 0) {
        return product;  // "Prolific PL2303" names its maker already
    }
    return maker + " " + product;
}

std::string PortDescription(const SerialPort& port) {
    switch (port.kind) {
        case PortKind::Bluetooth:
            return "Serielle Bluetooth-Verbindung";
        case PortKind::Irda:
            return "Serielle IrDA-Verbindung";
        default:
            break;
    }
    if (std::string name = DatabaseProductName(port.vendorFromDatabase, port.modelFromDatabase); !name.empty()) {
        return name;
    }
    if (!port.product.empty()) {
        return port.product;
    }
    if (port.modem) {
        return "USB-Modem";
    }
    return port.usb ? "Serieller USB-Anschluss" : "Serieller Anschluss";
}

std::string PortFriendlyName(const SerialPort& port) {
    std::string name = PortDescription(port) + " [" + port.deviceNode + "]";
    if (port.comNumber > 0 && !port.modem) {
        name += " (COM" + std::to_string(port.comNumber) + ")";
    }
    return name;
}

std::vector<std::string> PortHardwareIds(const SerialPort& port) {
    if (port.usb) {
        return UsbHardwareIds(*port.usb);
    }
    if (port.kind == PortKind::Bluetooth) {
        return {kBluetoothSerialId};
    }
    return port.platformIds;
}

snapshot::DeviceSnapshot SnapshotOf(const MachineScan& scan) {
    snapshot::DeviceSnapshot result(snapshot::CodePage::Utf8);
    // The map exists even with no port, as on Windows.
    result.PutKey(kHkeyLocalMachine, kSerialCommPath);
    int modems = 0;
    for (const SerialPort& port : scan.ports) {
        const std::string com = "COM" + std::to_string(port.comNumber);
        if (port.comNumber > 0) {
            result.PutValue(kHkeyLocalMachine, kSerialCommPath, "\\Device\\" + AsciiName(port.kernelName), Utf8Sz(com));
        }
        std::string driverKey;
        if (port.modem) {
            driverKey = ModemDriverKey(modems++);
            if (port.comNumber > 0) {
                result.PutValue(kHkeyLocalMachine, kClassKeyPath + driverKey, "AttachedTo", Utf8Sz(com));
            }
        }
        result.AddDevice(PortDevice(port, driverKey));
        result.PutIdentityExtras("TTY\\" + AsciiName(port.kernelName), IdentityExtrasOf(port));
    }
    for (const UsbDevice& usb : scan.usbDevices) {
        if (!usb.ttyBound) {
            result.AddDevice(UsbDeviceEntry(usb));
        }
    }
    return result;
}

LinuxMachine::LinuxMachine(const ScanRoots& roots)
    : LinuxMachine([roots] { return ScanMachine(roots); }, [] { return std::chrono::steady_clock::now(); }) {}

LinuxMachine::LinuxMachine(Scanner scanner, Clock clock)
    : SnapshotMachine(snapshot::DeviceSnapshot(snapshot::CodePage::Utf8)),
      scanner_(std::move(scanner)),
      clock_(std::move(clock)) {
    Rescan();
}

void LinuxMachine::Rescan() {
    if (HasOpenHandles()) {
        return;
    }
    MachineScan scan = scanner_();
    Replace(SnapshotOf(scan));
    scan_ = std::move(scan);
    lastScan_ = clock_();
    outdated_ = false;
    ++scans_;
}

std::int32_t LinuxMachine::OpenKeyEx(RegHandle root,
                                     const std::string& subKey,
                                     std::uint32_t access,
                                     RegHandle& result) {
    if (root == RootHandle(kHkeyLocalMachine) && EqualsNoCase(subKey, kSerialCommPath) &&
        (outdated_ || clock_() - lastScan_ >= kFreshFor)) {
        Rescan();
    }
    return SnapshotMachine::OpenKeyEx(root, subKey, access, result);
}

DevInfoSet LinuxMachine::GetClassDevs(const Guid& classGuid, std::uint32_t flags) {
    if (clock_() - lastScan_ > kRescanAfter) {
        Rescan();
    }
    return SnapshotMachine::GetClassDevs(classGuid, flags);
}

}  // namespace velmaro::linux_backend
