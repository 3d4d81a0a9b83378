#include "linux/udev_scan.h"

#include <libudev.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

#include "linux/wine_com_numbers.h"

namespace velmaro::linux_backend {
namespace {

// One owner per udev object. Parents that udev_device_get_parent*() hands out belong to their
// child and are never released on their own.
struct UdevRelease {
    void operator()(udev* p) const { udev_unref(p); }
    void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
    void operator()(udev_device* p) const { udev_device_unref(p); }
    void operator()(udev_hwdb* p) const { udev_hwdb_unref(p); }
};
using UdevContext = std::unique_ptr<udev, UdevRelease>;
using UdevEnumeration = std::unique_ptr<udev_enumerate, UdevRelease>;
using UdevDevice = std::unique_ptr<udev_device, UdevRelease>;
using UdevHwdb = std::unique_ptr<udev_hwdb, UdevRelease>;

std::string Clean(const char* text) {
    return text == nullptr ? std::string() : CleanText(text);
}

std::string Attribute(udev_device* device, const char* name) {
    return Clean(udev_device_get_sysattr_value(device, name));
}

std::string Property(udev_device* device, const char* name) {
    return Clean(udev_device_get_property_value(device, name));
}

std::optional<long> Number(udev_device* device, const char* name, int base) {
    return AttributeNumber(Attribute(device, name), base);
}

std::optional<std::uint16_t> Hex16(udev_device* device, const char* name) {
    return AttributeHex16(Attribute(device, name));
}

// "/sys/devices/..." as "devices/...", as the plain-file walk names it.
std::string RelativePath(udev_device* device) {
    std::string_view path = device == nullptr ? "" : udev_device_get_syspath(device);
    if (!path.starts_with("/sys/")) {
        return {};
    }
    return CleanText(path.substr(5));
}

std::string Subsystem(udev_device* device) {
    return Clean(udev_device_get_subsystem(device));
}

// The syspaths of an enumeration in natural name order (rfcomm2 before rfcomm10).
std::vector<std::string> SortedPaths(udev_enumerate* enumeration) {
    std::vector<std::string> paths;
    if (udev_enumerate_scan_devices(enumeration) < 0) {
        return paths;
    }
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumeration); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        paths.emplace_back(udev_list_entry_get_name(entry));
    }
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return NaturalLess(a.substr(a.rfind('/') + 1), b.substr(b.rfind('/') + 1));
    });
    return paths;
}

std::optional<UsbIds> ReadUsbIds(udev_device* device) {
    const auto vendor = Hex16(device, "idVendor");
    const auto product = Hex16(device, "idProduct");
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbIds{*vendor, *product, Hex16(device, "bcdDevice")};
}

// udev's hwdb rules name the USB device and, for serial ports, often the tty itself.
void ReadDatabaseNames(udev_device* first, udev_device* second, std::string& vendor, std::string& model) {
    for (udev_device* device : {first, second}) {
        if (device == nullptr) {
            continue;
        }
        if (vendor.empty()) {
            vendor = Property(device, "ID_VENDOR_FROM_DATABASE");
        }
        if (model.empty()) {
            model = Property(device, "ID_MODEL_FROM_DATABASE");
        }
    }
}

void AttachUsbParent(udev_device* tty, SerialPort& port) {
    if (udev_device* intf = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_interface")) {
        if (const auto number = Number(intf, "bInterfaceNumber", 16)) {
            port.interfaceNumber = static_cast<int>(*number);
        }
        port.modem = IsModemInterface(Number(intf, "bInterfaceClass", 16), Number(intf, "bInterfaceSubClass", 16),
                                      Number(intf, "bInterfaceProtocol", 16));
    }
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    if (usb == nullptr) {
        return;
    }
    port.usb = ReadUsbIds(usb);
    if (!port.usb) {
        return;
    }
    port.usbDevicePath = RelativePath(usb);
    port.manufacturer = Attribute(usb, "manufacturer");
    port.product = Attribute(usb, "product");
    port.serial = Attribute(usb, "serial");
    ReadDatabaseNames(tty, usb, port.vendorFromDatabase, port.modelFromDatabase);
}

std::optional<SerialPort> ReadPort(udev_device* tty) {
    SerialPort port;
    port.kernelName = Clean(udev_device_get_sysname(tty));
    if (const char* node = udev_device_get_devnode(tty)) {
        port.deviceNode = CleanText(node);
    } else {
        // The kernel writes '/' in a device name as '!' (ttyXYZ!0 is /dev/ttyXYZ/0).
        std::string name = port.kernelName;
        std::replace(name.begin(), name.end(), '!', '/');
        port.deviceNode = "/dev/" + name;
    }
    udev_device* parent = udev_device_get_parent(tty);
    // Since Linux 6.5 a serial-core port hangs below "port" and "ctrl" devices of the serial-base
    // bus; the device that names the hardware and its driver is above them.
    while (parent != nullptr && Subsystem(parent) == "serial-base" && udev_device_get_parent(parent) != nullptr) {
        parent = udev_device_get_parent(parent);
    }
    if (parent != nullptr) {
        port.sysfsPath = RelativePath(parent);
        port.driver = Clean(udev_device_get_driver(parent));
        port.subsystem = Subsystem(parent);
    }
    port.kind = PortKindOf(port.kernelName, port.subsystem, port.driver);
    // Virtual terminals, pseudo terminals and the console have no parent device.
    if (parent == nullptr && port.kind != PortKind::Bluetooth && port.kind != PortKind::Irda) {
        return std::nullopt;
    }
    // The 8250 driver registers ttyS ports for UARTs that may not be there; type 0 means none.
    if (port.kernelName.starts_with("ttyS")) {
        const auto type = Number(tty, "type", 10);
        if (!type || *type == 0) {
            return std::nullopt;
        }
    }
    if (parent != nullptr && port.kind != PortKind::Bluetooth) {
        AttachUsbParent(tty, port);
    }
    if (port.subsystem == "pnp") {
        const char* ids = udev_device_get_sysattr_value(parent, "id");
        port.platformIds = PnpHardwareIds(ids == nullptr ? "" : ids);
    } else if (port.subsystem == "pci") {
        port.platformIds = PciHardwareIds(Attribute(parent, "vendor"), Attribute(parent, "device"));
    }
    return port;
}

std::vector<SerialPort> ReadPorts(udev* context) {
    std::vector<SerialPort> ports;
    const UdevEnumeration enumeration(udev_enumerate_new(context));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "tty") < 0) {
        return ports;
    }
    for (const std::string& path : SortedPaths(enumeration.get())) {
        try {
            const UdevDevice tty(udev_device_new_from_syspath(context, path.c_str()));
            if (!tty) {
                continue;  // gone since the enumeration
            }
            if (auto port = ReadPort(tty.get())) {
                ports.push_back(std::move(*port));
            }
        } catch (const std::exception&) {
            // A device that misbehaved mid-read is left out of this scan.
        }
    }
    return ports;
}

// The driver of the first interface, in name order, that has one, and whether one is CDC-ACM.
void ReadInterfaces(udev* context, udev_device* usb, UsbDevice& device) {
    const UdevEnumeration enumeration(udev_enumerate_new(context));
    if (!enumeration || udev_enumerate_add_match_parent(enumeration.get(), usb) < 0 ||
        udev_enumerate_add_match_property(enumeration.get(), "DEVTYPE", "usb_interface") < 0) {
        return;
    }
    for (const std::string& path : SortedPaths(enumeration.get())) {
        const UdevDevice intf(udev_device_new_from_syspath(context, path.c_str()));
        if (!intf) {
            continue;
        }
        if (device.driver.empty()) {
            device.driver = Clean(udev_device_get_driver(intf.get()));
        }
        device.cdcAcm = device.cdcAcm || IsCdcAcmInterface(Number(intf.get(), "bInterfaceClass", 16),
                                                           Number(intf.get(), "bInterfaceSubClass", 16));
    }
}

std::vector<UsbDevice> ReadUsbDevices(udev* context, const std::vector<SerialPort>& ports) {
    std::vector<UsbDevice> devices;
    const UdevEnumeration enumeration(udev_enumerate_new(context));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "usb") < 0 ||
        udev_enumerate_add_match_property(enumeration.get(), "DEVTYPE", "usb_device") < 0) {
        return devices;
    }
    for (const std::string& path : SortedPaths(enumeration.get())) {
        try {
            const UdevDevice usb(udev_device_new_from_syspath(context, path.c_str()));
            const auto ids = usb ? ReadUsbIds(usb.get()) : std::nullopt;
            if (!ids) {
                continue;
            }
            UsbDevice device;
            device.name = Clean(udev_device_get_sysname(usb.get()));
            device.sysfsPath = RelativePath(usb.get());
            device.ids = *ids;
            device.manufacturer = Attribute(usb.get(), "manufacturer");
            device.product = Attribute(usb.get(), "product");
            device.serial = Attribute(usb.get(), "serial");
            ReadInterfaces(context, usb.get(), device);
            device.ttyBound = std::any_of(ports.begin(), ports.end(), [&](const SerialPort& port) {
                return port.usbDevicePath == device.sysfsPath;
            });
            ReadDatabaseNames(usb.get(), nullptr, device.vendorFromDatabase, device.modelFromDatabase);
            devices.push_back(std::move(device));
        } catch (const std::exception&) {
        }
    }
    return devices;
}

}  // namespace

MachineScan ScanUdev(const ScanRoots& roots) {
    const UdevContext context(udev_new());
    if (!context) {
        return ScanSysfs(roots);
    }
    MachineScan scan;
    scan.ports = ReadPorts(context.get());
    scan.usbDevices = ReadUsbDevices(context.get(), scan.ports);
    return scan;
}

NameLookup UdevHardwareDatabase() {
    // Mapping the database costs more than a scan without USB devices, so it waits for a lookup.
    // A lookup walks the database's glob patterns (about 0.1 ms); the answers are kept, as the same
    // devices are asked about at every refresh.
    struct Database {
        std::mutex lock;
        bool opened = false;
        UdevContext context;
        UdevHwdb hwdb;
        std::map<std::uint32_t, DatabaseNames> answers;
    };
    auto database = std::make_shared<Database>();
    return [database](std::uint16_t vendor, std::uint16_t product) {
        const std::lock_guard<std::mutex> hold(database->lock);
        if (!database->opened) {
            database->opened = true;
            database->context.reset(udev_new());
            if (database->context) {
                database->hwdb.reset(udev_hwdb_new(database->context.get()));
            }
        }
        const std::uint32_t key = (std::uint32_t{vendor} << 16) | product;
        if (const auto known = database->answers.find(key); known != database->answers.end()) {
            return known->second;
        }
        DatabaseNames& names = database->answers[key];
        if (!database->hwdb) {
            return names;
        }
        char modalias[32];
        std::snprintf(modalias, sizeof modalias, "usb:v%04Xp%04X", vendor, product);
        udev_list_entry* entry = udev_hwdb_get_properties_list_entry(database->hwdb.get(), modalias, 0);
        for (; entry != nullptr; entry = udev_list_entry_get_next(entry)) {
            const std::string_view property = udev_list_entry_get_name(entry);
            if (property == "ID_VENDOR_FROM_DATABASE") {
                names.vendor = Clean(udev_list_entry_get_value(entry));
            } else if (property == "ID_MODEL_FROM_DATABASE") {
                names.model = Clean(udev_list_entry_get_value(entry));
            }
        }
        return names;
    };
}

}  // namespace velmaro::linux_backend
