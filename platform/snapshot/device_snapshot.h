#pragma once
// A device snapshot: what the port rules read of a machine, held as a plain value. The registry
// tree, the devices with their properties by SPDRP_ code, and which devices belong to the two
// present-device sets (all present devices; the COM-port interface set). A producer fills one (the
// scenario loader, the Linux scan); SnapshotMachine serves it through the registry and
// device-information interfaces.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "devices/device_info_service.h"
#include "identity/port_identity.h"

namespace velmaro::snapshot {

// The ANSI code page the snapshot's names and texts are stored in: Windows-1252 as on a German
// Windows, or UTF-8 where the machine speaks it (Linux).
enum class CodePage { Windows1252, Utf8 };

std::string ToCodePage(CodePage page, std::string_view utf8);
std::string FromCodePage(CodePage page, std::string_view bytes);

// A registry value or a device property: its type and its raw bytes (strings in the snapshot's
// code page, with their terminating NULs).
struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    friend bool operator==(const RawValue&, const RawValue&) = default;
};

// Builders for RawValue from UTF-8 texts and numbers.
RawValue SzValue(std::string_view utf8, std::uint32_t type = 1 /* REG_SZ */, CodePage page = CodePage::Windows1252);
RawValue MultiSzValue(const std::vector<std::string>& utf8Strings, CodePage page = CodePage::Windows1252);
RawValue DwordValue(std::uint32_t value, std::uint32_t type = 4 /* REG_DWORD */);
RawValue BytesValue(std::uint32_t type, std::vector<std::uint8_t> data);

// One device as the device-information service lists it. Facts that later producers add about a
// device (its status and problem code, its identity) belong here beside the properties.
struct SnapshotDevice {
    std::string instance;                          // e.g. USB\VID_067B&PID_2303\5&1A2B3C&0&1
    bool comportInterface = false;                 // also in the COM-port interface set
    bool present = true;                           // false keeps it out of both present-device sets
    std::map<std::uint32_t, RawValue> properties;  // by SPDRP_ code
    std::optional<DevNodeStatus> status{};         // none: unknown
    DeviceFacts facts{};
};

// What only a port's identity reads of a device: a composite interface's USB device, and what a
// Linux scan knows beyond the properties.
struct IdentityExtras {
    std::string parentInstance;
    identity::ScanFacts scan;
};

// A registry key. Names compare with ASCII letters folded to capitals, as the registry compares them.
struct RegistryKey {
    std::string name;  // as it was created
    RegistryKey* parent = nullptr;
    bool deleted = false;  // only a writable registry deletes; open handles then answer 1018
    // Sorted by folded name, which is the order Windows enumerates subkeys in.
    std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>> subkeys;
    // In insertion order, as the registry enumerates values; indexed by folded name.
    std::vector<std::pair<std::string, RawValue>> values;
    std::unordered_map<std::string, std::size_t> valueIndex;

    RegistryKey* FindSubkey(std::string_view name) const;
    // The subkey, and whether it had to be added.
    std::pair<RegistryKey*, bool> FindOrAddSubkey(std::string_view name);
    std::shared_ptr<RegistryKey> SharedSubkey(const RegistryKey* child) const;
    void RemoveSubkey(const RegistryKey* child);
    const RawValue* FindValue(std::string_view name) const;
    void SetValue(std::string_view name, RawValue value);
    bool RemoveValue(std::string_view name);
};

// ASCII letters folded to capitals, as the registry compares names.
std::string FoldName(std::string_view name);

// Splits a key path at backslashes; empty parts (a trailing backslash) are skipped.
std::vector<std::string_view> PathParts(std::string_view path);

class DeviceSnapshot {
  public:
    explicit DeviceSnapshot(CodePage page = CodePage::Windows1252);
    // Open handles of a machine point into the tree, so a snapshot moves but is not copied.
    DeviceSnapshot(DeviceSnapshot&&) noexcept = default;
    DeviceSnapshot& operator=(DeviceSnapshot&&) noexcept = default;
    DeviceSnapshot(const DeviceSnapshot&) = delete;
    DeviceSnapshot& operator=(const DeviceSnapshot&) = delete;

    CodePage Page() const { return page_; }

    // --- filling it (UTF-8 paths and names; root as its 32-bit value) ---
    void PutKey(std::int32_t root, std::string_view path);
    void PutValue(std::int32_t root, std::string_view path, std::string_view name, RawValue value);
    void AddDevice(SnapshotDevice device);
    void PutIdentityExtras(const std::string& instance, IdentityExtras extras) {
        identityExtras_[instance] = std::move(extras);
    }

    // --- reading it ---
    bool HasKey(std::int32_t root, std::string_view path) const;
    // The value as stored, or nullptr.
    const RawValue* FindValue(std::int32_t root, std::string_view path, std::string_view name) const;
    const std::vector<SnapshotDevice>& Devices() const { return devices_; }
    // The extras of a device by its instance ID as given, or nullptr.
    const IdentityExtras* FindIdentityExtras(const std::string& instance) const {
        const auto it = identityExtras_.find(instance);
        return it == identityExtras_.end() ? nullptr : &it->second;
    }
    // The device's ClassGUID property, when it holds a well-formed GUID.
    const std::optional<Guid>& ClassGuid(std::size_t device) const { return classGuids_[device]; }
    // The root behind a predefined root handle, or nullptr.
    RegistryKey* Root(std::uintptr_t handle) const;
    // The key at a path (in the code page) below start, or nullptr.
    static RegistryKey* Walk(RegistryKey* start, std::string_view path);
    // A shared owner for a key of the tree, as an open handle keeps it.
    std::shared_ptr<RegistryKey> Share(RegistryKey* key) const;

  private:
    RegistryKey* SetupRoot(std::int32_t root) const;

    CodePage page_;
    std::array<std::shared_ptr<RegistryKey>, 6> roots_;  // HKEY_CLASSES_ROOT .. HKEY_CURRENT_CONFIG
    std::vector<SnapshotDevice> devices_;
    std::vector<std::optional<Guid>> classGuids_;  // parsed ClassGUID property, per device
    std::map<std::string, IdentityExtras> identityExtras_;
};

// Windows-1252 <-> UTF-8. Characters outside the code page become '?', as the system's
// best-fit-free conversion does.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);

// The value of one hex digit of either letter case, or -1.
int HexDigitValue(char c);

// The root named by its full name ("HKEY_LOCAL_MACHINE", ...), or 0 when unknown.
std::int32_t RootFromName(std::string_view name);

}  // namespace velmaro::snapshot
