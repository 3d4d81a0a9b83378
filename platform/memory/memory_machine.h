#pragma once
// An in-memory Windows machine: a registry and a device-information service that answer as the
// ANSI advapi32 and setupapi calls do. It counts open keys and device information sets, and it
// can make any named call fail with a chosen code so that tests can inject faults.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_info_service.h"
#include "registry/registry_service.h"

namespace velmaro::memory {

// A registry value or a device property: its type and its raw bytes (strings in the machine's
// ANSI code page, Windows-1252, with their terminating NULs).
struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    friend bool operator==(const RawValue&, const RawValue&) = default;
};

// Builders for RawValue from UTF-8 texts and numbers.
RawValue SzValue(std::string_view utf8, std::uint32_t type = 1 /* REG_SZ */);
RawValue MultiSzValue(const std::vector<std::string>& utf8Strings);
RawValue DwordValue(std::uint32_t value, std::uint32_t type = 4 /* REG_DWORD */);
RawValue BytesValue(std::uint32_t type, std::vector<std::uint8_t> data);

struct MemoryDevice {
    std::string instance;                          // e.g. USB\VID_067B&PID_2303\5&1A2B3C&0&1
    bool comportInterface = false;                 // also in the COM-port interface set
    bool present = true;                           // false keeps it out of both present-device sets
    std::map<std::uint32_t, RawValue> properties;  // by SPDRP_ code
};

class MemoryMachine : public IRegistryService, public IDeviceInfoService {
  public:
    MemoryMachine();
    ~MemoryMachine() override;
    MemoryMachine(const MemoryMachine&) = delete;
    MemoryMachine& operator=(const MemoryMachine&) = delete;

    // --- setting the machine up (UTF-8 paths and names; root as its 32-bit value) ---
    void PutKey(std::int32_t root, std::string_view path);
    void PutValue(std::int32_t root, std::string_view path, std::string_view name, RawValue value);
    bool HasKey(std::int32_t root, std::string_view path) const;
    // The value as stored, or nullptr.
    const RawValue* FindValue(std::int32_t root, std::string_view path, std::string_view name) const;
    void AddDevice(MemoryDevice device);
    const std::vector<MemoryDevice>& Devices() const;

    // --- faults and accounting ---
    // Makes the call named like the OS function ("RegOpenKeyExA", "RegCreateKeyExA", "RegCloseKey",
    // "RegQueryValueExA", "RegSetValueExA", "RegEnumKeyExA", "RegEnumValueA", "RegDeleteKeyA",
    // "RegDeleteValueA", "SetupDiGetClassDevsA", "SetupDiEnumDeviceInfo",
    // "SetupDiGetDeviceRegistryPropertyA", "SetupDiDestroyDeviceInfoList") fail with code on its
    // nth call (1-based, counted from now) and the count - 1 calls after it; count < 0: for good.
    // A failing SetupDi call returns its failure value and sets the last error to code.
    void FailCall(std::string_view call, std::int32_t code, int nth = 1, int count = 1);
    void ClearFaults();
    // How often a call was made since the machine was built.
    int CallCount(std::string_view call) const;
    int OpenKeyCount() const;
    int OpenDeviceInfoSetCount() const;

    // --- IRegistryService ---
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

    // --- IDeviceInfoService ---
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

    // Windows-1252, as on a German Windows.
    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Windows-1252 <-> UTF-8. Characters outside the code page become '?', as the system's
// best-fit-free conversion does.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);

// The value of one hex digit of either letter case, or -1.
int HexDigitValue(char c);

// The root named by its full name ("HKEY_LOCAL_MACHINE", ...), or 0 when unknown.
std::int32_t RootFromName(std::string_view name);

}  // namespace velmaro::memory
