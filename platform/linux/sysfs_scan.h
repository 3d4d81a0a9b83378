#pragma once
// One look at the machine's serial ports and USB devices, read from sysfs as plain files.
// Every read may fail (permissions, a device unplugged mid-walk): what cannot be read is absent.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro::linux_backend {

struct ScanRoots {
    std::filesystem::path sysfs = "/sys";
    std::filesystem::path dev = "/dev";
    std::optional<std::filesystem::path> winePrefix;  // its dosdevices/comN links win
};

// "/sys", "/dev" and $WINEPREFIX, else ~/.wine when that exists.
ScanRoots DefaultScanRoots();

enum class PortKind { Uart, UsbSerial, UsbAcm, Bluetooth, Irda, Other };

struct UsbIds {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::optional<std::uint16_t> revision;  // bcdDevice
    friend bool operator==(const UsbIds&, const UsbIds&) = default;
};

struct SerialPort {
    std::string kernelName;  // ttyUSB0
    std::string deviceNode;  // /dev/ttyUSB0, as the user's programs name it
    int comNumber = 0;       // 0: none could be given
    PortKind kind = PortKind::Other;
    std::string sysfsPath;      // the parent device, relative to the sysfs root ("devices/...")
    std::string driver;         // the parent's driver: pl2303, cdc_acm, serial ...
    std::string subsystem;      // the parent's bus: usb-serial, usb, pnp, platform ...
    std::optional<UsbIds> usb;  // of the USB device above the port
    std::string usbDevicePath;  // that device, relative to the sysfs root
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::optional<int> interfaceNumber;  // bInterfaceNumber of the USB interface
};

struct UsbDevice {
    std::string name;       // 1-1.2
    std::string sysfsPath;  // relative to the sysfs root
    UsbIds ids;
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::string driver;     // the first driver bound to one of its interfaces; empty: none
    bool ttyBound = false;  // some listed port lies below it
};

struct Snapshot {
    std::vector<SerialPort> ports;      // in kernel-name order
    std::vector<UsbDevice> usbDevices;  // in sysfs-name order
};

Snapshot ScanMachine(const ScanRoots& roots);

// Bytes as a clean UTF-8 text: invalid sequences become U+FFFD, control characters are dropped,
// blanks at both ends trimmed (sysfs ends its values with a line feed).
std::string CleanText(std::string_view bytes);

// The kind of a tty by its kernel name and its parent's subsystem and driver.
PortKind PortKindOf(std::string_view kernelName, std::string_view subsystem, std::string_view driver);

}  // namespace velmaro::linux_backend
