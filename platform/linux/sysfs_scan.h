#pragma once
// One look at the machine's serial ports and USB devices, through libudev where udev keeps its
// database and from sysfs as plain files where it does not (containers).
// Every read may fail (permissions, a device unplugged mid-walk): what cannot be read is absent.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_facts.h"
#include "posix/bounded_file.h"

namespace velmaro::linux_backend {

// Auto: libudev when the sysfs root is the machine's own and udev's database is there, else sysfs.
enum class DeviceSource { Auto, Udev, Sysfs };

// A USB device's names in udev's hardware database; empty where it has none.
struct DatabaseNames {
    std::string vendor;
    std::string model;
};
using NameLookup = std::function<DatabaseNames(std::uint16_t vendor, std::uint16_t product)>;

struct ScanRoots {
    std::filesystem::path sysfs = "/sys";
    std::filesystem::path dev = "/dev";
    std::optional<std::filesystem::path> winePrefix;  // its dosdevices/comN links win
    DeviceSource source = DeviceSource::Auto;
    std::filesystem::path udevDatabase = "/run/udev/data";
    NameLookup hardwareDatabase;  // names the devices of the plain-sysfs walk; empty: no lookup
    // Where the processes and brltty's udev rules are found, for the diagnosis of the ports' use.
    std::filesystem::path proc = "/proc";
    std::vector<std::filesystem::path> udevRuleDirs = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                                       "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
    // One line for each outside file that is there but cannot be read (a FIFO, a file over its
    // limit); nullptr: standard error. The limits are fields so that tests need no huge files.
    std::ostream* notices = nullptr;
    std::size_t attributeLimit = posix::kSysfsAttributeLimit;
    std::size_t wineRegistryLimit = posix::kWineRegistryLimit;
};

// Writes the line about a file that could not be read where roots send such lines.
void ReportUnreadable(const ScanRoots& roots, const std::string& line);

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
    std::string vendorFromDatabase;      // udev's hardware database, where udev ran
    std::string modelFromDatabase;
    bool modem = false;                    // a USB interface that speaks AT commands
    std::vector<std::string> platformIds;  // non-USB hardware IDs in the Windows form: ACPI\PNP0501
    std::vector<std::string> links;        // /dev/serial/by-id/..., /dev/serial/by-path/... to its node
    // The use of its node, as FindPortUse finds it.
    std::string group;                  // the node's group
    bool accessDenied = false;          // access(2) for read and write failed
    std::vector<DeviceHolder> holders;  // processes with the node open
};

struct UsbDevice {
    std::string name;       // 1-1.2
    std::string sysfsPath;  // relative to the sysfs root
    UsbIds ids;
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::string driver;                 // the first driver bound to one of its interfaces; empty: none
    bool cdcAcm = false;                // one of its interfaces is CDC-ACM (class 02, subclass 02)
    bool ttyBound = false;              // some listed port lies below it
    std::vector<DeviceHolder> holders;  // processes with its /dev/bus/usb node open
    bool brlttyRuleMatches = false;     // brltty's udev rules name its IDs
    std::string vendorFromDatabase;
    std::string modelFromDatabase;
};

// One look at the machine's serial ports and USB devices.
struct MachineScan {
    std::vector<SerialPort> ports;      // in kernel-name order
    std::vector<UsbDevice> usbDevices;  // in sysfs-name order
};

// The ports and USB devices below roots.sysfs, read as plain files; no COM numbers yet.
MachineScan ScanSysfs(const ScanRoots& roots);

// Names from the hardware database for every USB port and device that has none yet, so that a
// machine without udev's device database (a container) still shows the names udev would give.
void NameFromHardwareDatabase(MachineScan& scan, const NameLookup& lookup);

// The entries of a folder by name, numbers in names compared as numbers; an unreadable folder has
// none.
std::vector<std::string> EntryNames(const std::filesystem::path& dir);

// Bytes as a clean UTF-8 text: invalid sequences become U+FFFD, control characters are dropped,
// blanks at both ends trimmed (sysfs ends its values with a line feed).
std::string CleanText(std::string_view bytes);

// An attribute's text as a whole number in the base ("0403" base 16); nothing when it is empty or
// carries anything else.
std::optional<long> AttributeNumber(const std::string& text, int base);
// A sysfs number attribute read through the bounded reader; nothing when absent or no number.
std::optional<long> ReadNumber(const ScanRoots& roots, const std::filesystem::path& file, int base);
// A 16-bit hexadecimal attribute (idVendor, idProduct, bcdDevice).
std::optional<std::uint16_t> AttributeHex16(const std::string& text);

// The kind of a tty by its kernel name and its parent's subsystem and driver.
PortKind PortKindOf(std::string_view kernelName, std::string_view subsystem, std::string_view driver);

// A USB communications interface of the abstract-control model with an AT command protocol
// (class 02, subclass 02, protocol 01 to 06): a modem, as Windows files it.
bool IsModemInterface(std::optional<long> interfaceClass, std::optional<long> subClass, std::optional<long> protocol);

// A CDC-ACM interface (class 02, subclass 02), whatever its protocol: the class cdc_acm drives.
bool IsCdcAcmInterface(std::optional<long> interfaceClass, std::optional<long> subClass);

// Hardware IDs in the Windows form for the bus device a port hangs on: a PNP device's IDs
// ("PNP0501" -> "ACPI\PNP0501", "*PNP0501"), a PCI card's vendor and device
// ("0x1415", "0xc158" -> "PCI\VEN_1415&DEV_C158"). idText: the lines of the PNP "id" attribute.
std::vector<std::string> PnpHardwareIds(std::string_view idText);
std::vector<std::string> PciHardwareIds(std::string_view vendor, std::string_view device);

}  // namespace velmaro::linux_backend
