#pragma once
// The Linux machine behind the registry and device-information seams: a scan of sysfs filled into a
// device snapshot, taken anew as each refresh of the port list begins.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "linux/machine_scan.h"
#include "snapshot/snapshot_machine.h"

namespace velmaro::linux_backend {

inline constexpr const char* kClassGuidPorts = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kClassGuidUsb = "{36FC9E60-C465-11CF-8056-444553540000}";
inline constexpr const char* kClassGuidUnknown = "{4D36E97E-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kClassGuidModem = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kClassKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
// The serial port profile, as Windows names a Bluetooth COM port's service.
inline constexpr const char* kBluetoothSerialId = "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}";
inline constexpr const char* kSerialCommPath = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// "USB\VID_067B&PID_2303&REV_0300", "USB\VID_067B&PID_2303" (the first only with a revision).
std::vector<std::string> UsbHardwareIds(const UsbIds& ids);

// The maker as a short name: "Prolific Technology, Inc." -> "Prolific Technology".
std::string ShortMakerName(std::string_view vendor);

// A product's name from udev's hardware database, maker first unless the model already names it:
// "Prolific Technology, Inc." + "PL2303 Serial Port" -> "Prolific Technology PL2303 Serial Port".
std::string DatabaseProductName(std::string_view vendor, std::string_view model);

// What the port list shows before the node and the port tag: the database's name, else the
// product string, else a generic name.
std::string PortDescription(const SerialPort& port);

// "<description> [<node>] (COMn)"; without the tag when the port has no number, and for a modem,
// which Windows names without one.
std::string PortFriendlyName(const SerialPort& port);

// The hardware IDs of a port's device: its USB device's, else its bus device's, else the serial
// port profile's for Bluetooth.
std::vector<std::string> PortHardwareIds(const SerialPort& port);

// The serial-port map and one device per port and per USB device without a bound tty, with texts
// in UTF-8 as the Linux machine's code page. A modem is a device of the Modem class whose driver key
// names its port in "AttachedTo", as on Windows.
snapshot::DeviceSnapshot SnapshotOf(const MachineScan& scan);

// Serves the snapshot of the last scan. Opening the serial-port map rescans unless the snapshot is
// younger than a refresh needs; asking for a device set long after the last scan rescans too. A
// scan never replaces the snapshot while one of its keys or sets is open.
class LinuxMachine : public snapshot::SnapshotMachine {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Scanner = std::function<MachineScan()>;

    // Scans at once and then as each refresh begins.
    explicit LinuxMachine(const ScanRoots& roots = DefaultScanRoots());
    LinuxMachine(Scanner scanner, Clock clock);

    const MachineScan& LastScan() const { return scan_; }
    int ScanCount() const { return scans_; }
    // A device came or went: the next refresh rescans however young the snapshot is.
    void Outdate() { outdated_ = true; }

    std::int32_t OpenKeyEx(RegHandle root, const std::string& subKey, std::uint32_t access, RegHandle& result) override;
    DevInfoSet GetClassDevs(const Guid& classGuid, std::uint32_t flags) override;

  private:
    void Rescan();

    Scanner scanner_;
    Clock clock_;
    MachineScan scan_;
    std::chrono::steady_clock::time_point lastScan_{};
    int scans_ = 0;
    bool outdated_ = false;
};

}  // namespace velmaro::linux_backend
