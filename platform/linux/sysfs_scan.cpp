#include "linux/sysfs_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <iterator>

#include "common/text.h"
#include "linux/wine_com_numbers.h"

namespace velmaro::linux_backend {
namespace fs = std::filesystem;
namespace {

// An attribute that is missing or closed to this user is simply absent; one that is a FIFO, a
// device or too long is not sysfs as the kernel makes it and is named on the notice line.
std::optional<std::string> ReadAttribute(const ScanRoots& roots, const fs::path& file) {
    posix::BoundedRead read = posix::ReadBoundedFile(file.string(), roots.attributeLimit);
    if (read.failure == posix::ReadFailure::NotRegularFile || read.failure == posix::ReadFailure::TooLarge) {
        ReportUnreadable(roots, read.message + "; attribute left out");
    }
    if (!read.Ok()) {
        return std::nullopt;
    }
    return std::move(read.content);
}

std::string ReadText(const ScanRoots& roots, const fs::path& file) {
    const auto bytes = ReadAttribute(roots, file);
    return bytes ? CleanText(*bytes) : std::string();
}


std::optional<std::uint16_t> ReadHex16(const ScanRoots& roots, const fs::path& file) {
    return AttributeHex16(ReadText(roots, file));
}

// The last part of a symbolic link's target: the name of a bound driver or of a subsystem.
std::string LinkName(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string() : CleanText(target.filename().string());
}

class SysfsWalk {
  public:
    explicit SysfsWalk(const ScanRoots& roots) : roots_(roots) {
        std::error_code ec;
        root_ = fs::canonical(roots.sysfs, ec);
        if (ec) {
            root_ = roots.sysfs;
        }
    }

    // The real folder behind a link inside sysfs, or nothing when it is gone or leads outside.
    std::optional<fs::path> Resolve(const fs::path& link) const {
        std::error_code ec;
        fs::path real = fs::canonical(link, ec);
        if (ec || Relative(real).empty()) {
            return std::nullopt;
        }
        return real;
    }

    // "devices/...", or empty when the path is not below the root.
    std::string Relative(const fs::path& real) const {
        const fs::path rel = real.lexically_relative(root_);
        if (rel.empty() || *rel.begin() == "..") {
            return {};
        }
        return rel.generic_string();
    }

    const fs::path& Root() const { return root_; }
    const ScanRoots& Roots() const { return roots_; }

  private:
    const ScanRoots& roots_;
    fs::path root_;
};

void ReadUsbStrings(const SysfsWalk& walk,
                    const fs::path& dir,
                    std::string& manufacturer,
                    std::string& product,
                    std::string& serial) {
    manufacturer = ReadText(walk.Roots(), dir / "manufacturer");
    product = ReadText(walk.Roots(), dir / "product");
    serial = ReadText(walk.Roots(), dir / "serial");
}

std::optional<UsbIds> ReadUsbIds(const SysfsWalk& walk, const fs::path& dir) {
    const auto vendor = ReadHex16(walk.Roots(), dir / "idVendor");
    const auto product = ReadHex16(walk.Roots(), dir / "idProduct");
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbIds{*vendor, *product, ReadHex16(walk.Roots(), dir / "bcdDevice")};
}

// Climbs from a port's parent to the USB interface and the USB device above it.
void AttachUsbParent(const SysfsWalk& walk, const fs::path& parent, SerialPort& port) {
    for (fs::path dir = parent; !walk.Relative(dir).empty(); dir = dir.parent_path()) {
        std::error_code ec;
        if (!port.interfaceNumber && fs::exists(dir / "bInterfaceNumber", ec)) {
            const ScanRoots& roots = walk.Roots();
            if (const auto number = ReadNumber(roots, dir / "bInterfaceNumber", 16)) {
                port.interfaceNumber = static_cast<int>(*number);
            }
            port.modem = IsModemInterface(ReadNumber(roots, dir / "bInterfaceClass", 16),
                                          ReadNumber(roots, dir / "bInterfaceSubClass", 16),
                                          ReadNumber(roots, dir / "bInterfaceProtocol", 16));
        }
        if (const auto ids = ReadUsbIds(walk, dir)) {
            port.usb = ids;
            port.usbDevicePath = walk.Relative(dir);
            ReadUsbStrings(walk, dir, port.manufacturer, port.product, port.serial);
            return;
        }
    }
}

// The kernel writes '/' in a device name as '!' (ttyXYZ!0 is /dev/ttyXYZ/0).
std::string DeviceNodeOf(std::string kernelName) {
    std::replace(kernelName.begin(), kernelName.end(), '!', '/');
    return "/dev/" + kernelName;
}

bool IsUartPlaceholder(const ScanRoots& roots, const fs::path& classDir) {
    const auto type = ReadNumber(roots, classDir / "type", 10);
    return !type || *type == 0;
}

std::optional<SerialPort> ReadPort(const SysfsWalk& walk, const std::string& name) {
    const fs::path classDir = walk.Root() / "class" / "tty" / name;
    // Most ttys are virtual terminals without a device link; passing them by before resolving
    // any path keeps a scan of a desktop's sixty-odd ttys cheap.
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(classDir / "device", ec)) &&
        PortKindOf(name, "", "") != PortKind::Bluetooth && PortKindOf(name, "", "") != PortKind::Irda) {
        return std::nullopt;
    }
    SerialPort port;
    port.kernelName = CleanText(name);
    port.deviceNode = DeviceNodeOf(port.kernelName);
    auto parent = walk.Resolve(classDir / "device");
    // Since Linux 6.5 a serial-core port hangs below "port" and "ctrl" devices of the serial-base
    // bus; the device that names the hardware and its driver is above them.
    while (parent && LinkName(*parent / "subsystem") == "serial-base" &&
           !walk.Relative(parent->parent_path()).empty()) {
        parent = parent->parent_path();
    }
    if (parent) {
        port.sysfsPath = walk.Relative(*parent);
        port.driver = LinkName(*parent / "driver");
        port.subsystem = LinkName(*parent / "subsystem");
    }
    port.kind = PortKindOf(name, port.subsystem, port.driver);
    // Virtual terminals, pseudo terminals and the console have no parent device.
    if (!parent && port.kind != PortKind::Bluetooth && port.kind != PortKind::Irda) {
        return std::nullopt;
    }
    // The 8250 driver registers ttyS ports for UARTs that may not be there; type 0 means none.
    if (name.starts_with("ttyS") && IsUartPlaceholder(walk.Roots(), classDir)) {
        return std::nullopt;
    }
    if (parent && port.kind != PortKind::Bluetooth) {
        AttachUsbParent(walk, *parent, port);
    }
    if (parent && port.subsystem == "pnp") {
        port.platformIds = PnpHardwareIds(ReadAttribute(walk.Roots(), *parent / "id").value_or(""));
    } else if (parent && port.subsystem == "pci") {
        port.platformIds =
            PciHardwareIds(ReadText(walk.Roots(), *parent / "vendor"), ReadText(walk.Roots(), *parent / "device"));
    }
    return port;
}

std::vector<SerialPort> ReadPorts(const SysfsWalk& walk) {
    std::vector<SerialPort> ports;
    for (const std::string& name : EntryNames(walk.Root() / "class" / "tty")) {
        try {
            if (auto port = ReadPort(walk, name)) {
                ports.push_back(std::move(*port));
            }
        } catch (const std::exception&) {
            // A device that vanished or misbehaved mid-read is left out of this scan.
        }
    }
    return ports;
}

// The driver of the first interface, in name order, that has one, and whether one is CDC-ACM: a
// board whose serial port is such an interface needs no chip driver but cdc_acm.
void ReadInterfaces(const SysfsWalk& walk, const fs::path& dir, UsbDevice& device) {
    for (const std::string& entry : EntryNames(dir)) {
        std::error_code ec;
        if (!fs::exists(dir / entry / "bInterfaceNumber", ec)) {
            continue;
        }
        if (device.driver.empty()) {
            device.driver = LinkName(dir / entry / "driver");
        }
        device.cdcAcm = device.cdcAcm || IsCdcAcmInterface(ReadNumber(walk.Roots(), dir / entry / "bInterfaceClass", 16),
                                                           ReadNumber(walk.Roots(), dir / entry / "bInterfaceSubClass", 16));
    }
}

std::vector<UsbDevice> ReadUsbDevices(const SysfsWalk& walk, const std::vector<SerialPort>& ports) {
    std::vector<UsbDevice> devices;
    for (const std::string& name : EntryNames(walk.Root() / "bus" / "usb" / "devices")) {
        try {
            const auto dir = walk.Resolve(walk.Root() / "bus" / "usb" / "devices" / name);
            const auto ids = dir ? ReadUsbIds(walk, *dir) : std::nullopt;
            if (!ids) {
                continue;  // an interface, or a device that is gone
            }
            UsbDevice device;
            device.name = CleanText(name);
            device.sysfsPath = walk.Relative(*dir);
            device.ids = *ids;
            ReadUsbStrings(walk, *dir, device.manufacturer, device.product, device.serial);
            ReadInterfaces(walk, *dir, device);
            device.ttyBound = std::any_of(ports.begin(), ports.end(), [&](const SerialPort& port) {
                return port.usbDevicePath == device.sysfsPath;
            });
            devices.push_back(std::move(device));
        } catch (const std::exception&) {
        }
    }
    return devices;
}

}  // namespace

std::optional<long> ReadNumber(const ScanRoots& roots, const fs::path& file, int base) {
    return AttributeNumber(ReadText(roots, file), base);
}

std::vector<std::string> EntryNames(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

std::optional<long> AttributeNumber(const std::string& text, int base) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, base);
    if (end == text.c_str() || end != text.c_str() + text.size()) {  // a NUL inside is "anything else"
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint16_t> AttributeHex16(const std::string& text) {
    const auto value = AttributeNumber(text, 16);
    if (!value || *value < 0 || *value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

PortKind PortKindOf(std::string_view kernelName, std::string_view subsystem, std::string_view driver) {
    if (kernelName.starts_with("rfcomm") || subsystem == "bluetooth") {
        return PortKind::Bluetooth;
    }
    if (kernelName.starts_with("ircomm") || kernelName.starts_with("ttyIr")) {
        return PortKind::Irda;
    }
    if (subsystem == "usb-serial") {
        return PortKind::UsbSerial;
    }
    if (kernelName.starts_with("ttyACM") || driver == "cdc_acm") {
        return PortKind::UsbAcm;
    }
    if (kernelName.starts_with("ttyS") || kernelName.starts_with("ttyAMA")) {
        return PortKind::Uart;
    }
    return PortKind::Other;
}

bool IsCdcAcmInterface(std::optional<long> interfaceClass, std::optional<long> subClass) {
    return interfaceClass == 0x02 && subClass == 0x02;
}

bool IsModemInterface(std::optional<long> interfaceClass, std::optional<long> subClass, std::optional<long> protocol) {
    return IsCdcAcmInterface(interfaceClass, subClass) && protocol && *protocol >= 0x01 && *protocol <= 0x06;
}

std::vector<std::string> PnpHardwareIds(std::string_view idText) {
    std::vector<std::string> ids;
    while (!idText.empty()) {
        const std::size_t end = std::min(idText.find('\n'), idText.size());
        const std::string id = UpperCase(CleanText(idText.substr(0, end)));
        idText.remove_prefix(std::min(end + 1, idText.size()));
        // A PNP ID is three letters and four hex digits; anything else is not passed on.
        const bool wellFormed = id.size() == 7 &&
                                std::all_of(id.begin(), id.begin() + 3, [](char c) { return c >= 'A' && c <= 'Z'; }) &&
                                std::all_of(id.begin() + 3, id.end(),
                                            [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
        if (wellFormed) {
            ids.push_back("ACPI\\" + id);
            ids.push_back("*" + id);
        }
    }
    return ids;
}

std::vector<std::string> PciHardwareIds(std::string_view vendor, std::string_view device) {
    const auto hex4 = [](std::string_view text) -> std::optional<std::string> {
        std::string digits = UpperCase(CleanText(text));
        if (digits.rfind("0X", 0) == 0) {
            digits.erase(0, 2);
        }
        if (digits.size() != 4 || !std::all_of(digits.begin(), digits.end(), [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            return std::nullopt;
        }
        return digits;
    };
    const auto ven = hex4(vendor);
    const auto dev = hex4(device);
    if (!ven || !dev) {
        return {};
    }
    return {"PCI\\VEN_" + *ven + "&DEV_" + *dev};
}

std::string CleanText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        std::uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
            if ((next & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are as invalid as stray bytes.
        if (length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) {
            length = 0;
        }
        if (length == 4 && (code < 0x10000 || code > 0x10FFFF)) {
            length = 0;
        }
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
        if (!control) {
            out.append(bytes.substr(i, length));
        }
        i += length;
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

void ReportUnreadable(const ScanRoots& roots, const std::string& line) {
    (roots.notices != nullptr ? *roots.notices : std::cerr) << line << '\n';
}

MachineScan ScanSysfs(const ScanRoots& roots) {
    const SysfsWalk walk(roots);
    MachineScan scan;
    scan.ports = ReadPorts(walk);
    scan.usbDevices = ReadUsbDevices(walk, scan.ports);
    return scan;
}

void NameFromHardwareDatabase(MachineScan& scan, const NameLookup& lookup) {
    if (!lookup) {
        return;
    }
    const auto name = [&](const UsbIds& ids, std::string& vendor, std::string& model) {
        if (!vendor.empty() || !model.empty()) {
            return;  // udev named it already; its names stay together
        }
        DatabaseNames found = lookup(ids.vendor, ids.product);
        vendor = std::move(found.vendor);
        model = std::move(found.model);
    };
    for (SerialPort& port : scan.ports) {
        if (port.usb) {
            name(*port.usb, port.vendorFromDatabase, port.modelFromDatabase);
        }
    }
    for (UsbDevice& device : scan.usbDevices) {
        name(device.ids, device.vendorFromDatabase, device.modelFromDatabase);
    }
}

}  // namespace velmaro::linux_backend
