#pragma once
// The Linux machine behind the registry and device-information seams: a snapshot of sysfs loaded
// into an in-memory machine, rebuilt as each refresh of the port list begins.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/device_info_service.h"
#include "linux/sysfs_scan.h"
#include "memory/memory_machine.h"
#include "registry/registry_service.h"

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

// Puts the serial-port map and one device per port and per USB device without a bound tty into
// machine, with texts in UTF-8 as the Linux machine's code page. A modem is a device of the Modem
// class whose driver key names its port in "AttachedTo", as on Windows.
void LoadSnapshot(const Snapshot& snapshot, memory::MemoryMachine& machine);

class LinuxMachine : public IRegistryService, public IDeviceInfoService {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Scanner = std::function<Snapshot()>;

    // Scans at once and then as each refresh begins.
    explicit LinuxMachine(const ScanRoots& roots = DefaultScanRoots());
    LinuxMachine(Scanner scanner, Clock clock);
    ~LinuxMachine() override;
    LinuxMachine(const LinuxMachine&) = delete;
    LinuxMachine& operator=(const LinuxMachine&) = delete;

    const Snapshot& LastSnapshot() const { return snapshot_; }
    int ScanCount() const { return scans_; }

    // --- IRegistryService; opening the serial-port map rescans ---
    std::int32_t OpenKeyEx(RegHandle root, const std::string& subKey, std::uint32_t access, RegHandle& result) override;
    std::int32_t CreateKeyEx(RegHandle root,
                             const std::string& subKey,
                             std::uint32_t options,
                             std::uint32_t access,
                             const SecurityAttributes& sa,
                             RegHandle& result,
                             std::uint32_t& disposition) override;
    std::int32_t CloseKey(RegHandle key) override;
    std::int32_t QueryValueEx(RegHandle key,
                              const std::string& valueName,
                              std::uint32_t* type,
                              std::uint8_t* data,
                              std::uint32_t* dataSize) override;
    std::int32_t SetValueEx(RegHandle key,
                            const std::string& valueName,
                            std::uint32_t type,
                            const std::uint8_t* data,
                            std::uint32_t size) override;
    std::int32_t EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) override;
    std::int32_t EnumValue(RegHandle key,
                           std::uint32_t index,
                           char* name,
                           std::uint32_t& nameLength,
                           std::uint32_t* type,
                           std::uint8_t* data,
                           std::uint32_t* dataSize) override;
    std::int32_t DeleteKey(RegHandle root, const std::string& subKey) override;
    std::int32_t DeleteValue(RegHandle key, const std::string& valueName) override;

    // --- IDeviceInfoService; a set asked for long after the last scan rescans ---
    DevInfoSet GetClassDevs(const Guid& classGuid, std::uint32_t flags) override;
    bool EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) override;
    bool GetDeviceRegistryProperty(DevInfoSet set,
                                   const DevInfoData& data,
                                   std::uint32_t property,
                                   std::uint32_t* regType,
                                   std::uint8_t* buffer,
                                   std::uint32_t bufferSize,
                                   std::uint32_t* requiredSize) override;
    bool DestroyDeviceInfoList(DevInfoSet set) override;
    std::uint32_t GetLastError() const override;

    // Texts are UTF-8 on Linux.
    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;

  private:
    // Rebuilds the machine unless a key or a set of the current one is still open.
    void Rescan();

    Scanner scanner_;
    Clock clock_;
    Snapshot snapshot_;
    std::unique_ptr<memory::MemoryMachine> machine_;
    std::chrono::steady_clock::time_point lastScan_{};
    int scans_ = 0;
};

}  // namespace velmaro::linux_backend
