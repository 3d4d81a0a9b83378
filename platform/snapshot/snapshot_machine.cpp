#include "snapshot/snapshot_machine.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/win_codes.h"

namespace velmaro::snapshot {
namespace {

// Codes the machine answers with that the core itself never needs.
constexpr std::int32_t kErrorBadPathname = 161;
constexpr std::int32_t kErrorInvalidRegProperty = 0x209;
constexpr std::uint32_t kSpdrpMaximumProperty = 0x25;

constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyCreateLink = 0x0020;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kMaximumAllowed = 0x02000000u;

std::uint32_t EffectiveAccess(std::uint32_t requested) {
    std::uint32_t access = requested;
    if (requested & (kGenericAll | kMaximumAllowed)) {
        access |= kKeyAllAccess;
    }
    if (requested & (kGenericRead | kGenericExecute)) {
        access |= kKeyRead;
    }
    if (requested & kGenericWrite) {
        access |= kKeyWrite;
    }
    return access;
}

// Writes a name NUL-terminated as the enumeration calls do; 234 when it does not fit.
std::int32_t CopyName(const std::string& source, char* name, std::uint32_t& nameLength) {
    if (name == nullptr) {
        return kErrorInvalidParameter;
    }
    if (source.size() + 1 > nameLength) {
        return kErrorMoreData;
    }
    std::memcpy(name, source.c_str(), source.size() + 1);
    nameLength = static_cast<std::uint32_t>(source.size());
    return kErrorSuccess;
}

}  // namespace

SnapshotMachine::SnapshotMachine(DeviceSnapshot snapshot) : SnapshotMachine(std::move(snapshot), Writes::Refused) {}

SnapshotMachine::SnapshotMachine(DeviceSnapshot snapshot, Writes writes)
    : snapshot_(std::move(snapshot)), writes_(writes) {}

SnapshotMachine::~SnapshotMachine() = default;

bool SnapshotMachine::Replace(DeviceSnapshot next) {
    if (HasOpenHandles()) {
        return false;
    }
    snapshot_ = std::move(next);
    nextKeyHandle_ = 0x1000;
    nextSet_ = 0x40000;
    lastError_ = 0;
    return true;
}

// --- handles ---

std::int32_t SnapshotMachine::Resolve(RegHandle handle, RegistryKey*& key, std::uint32_t& access) const {
    if (RegistryKey* root = snapshot_.Root(handle)) {
        key = root;
        access = kKeyAllAccess;
        return kErrorSuccess;
    }
    const auto it = openKeys_.find(handle);
    if (it == openKeys_.end()) {
        return kErrorInvalidHandle;
    }
    if (it->second.key->deleted) {
        return kErrorKeyDeleted;
    }
    key = it->second.key.get();
    access = it->second.access;
    return kErrorSuccess;
}

std::int32_t SnapshotMachine::ResolvePathStart(RegHandle handle, const std::string& subKey, RegistryKey*& start) const {
    std::uint32_t access = 0;
    if (const std::int32_t status = Resolve(handle, start, access); status != kErrorSuccess) {
        return status;
    }
    if (!subKey.empty() && subKey.front() == '\\') {
        return kErrorBadPathname;
    }
    return kErrorSuccess;
}

std::int32_t SnapshotMachine::FindKey(RegHandle handle, const std::string& subKey, RegistryKey*& key) const {
    RegistryKey* start = nullptr;
    if (const std::int32_t status = ResolvePathStart(handle, subKey, start); status != kErrorSuccess) {
        return status;
    }
    key = DeviceSnapshot::Walk(start, subKey);
    return key == nullptr ? kErrorFileNotFound : kErrorSuccess;
}

std::int32_t SnapshotMachine::ResolveFor(RegHandle handle, std::uint32_t neededAccess, RegistryKey*& key) const {
    std::uint32_t access = 0;
    const std::int32_t status = Resolve(handle, key, access);
    if (status != kErrorSuccess) {
        return status;
    }
    return (access & neededAccess) == neededAccess ? kErrorSuccess : kErrorAccessDenied;
}

RegHandle SnapshotMachine::NewHandle(RegistryKey* key, std::uint32_t access) {
    const RegHandle handle = nextKeyHandle_;
    nextKeyHandle_ += 4;
    openKeys_.emplace(handle, OpenKey{snapshot_.Share(key), EffectiveAccess(access)});
    return handle;
}

bool SnapshotMachine::SetInvalid(DevInfoSet set) {
    if (sets_.find(set) == sets_.end()) {
        lastError_ = kErrorInvalidHandle;
        return true;
    }
    return false;
}

// --- IRegistryService ---

std::int32_t SnapshotMachine::OpenKeyEx(RegHandle root,
                                        const std::string& subKey,
                                        std::uint32_t access,
                                        RegHandle& result) {
    result = 0;
    RegistryKey* key = nullptr;
    if (const std::int32_t status = FindKey(root, subKey, key); status != kErrorSuccess) {
        return status;
    }
    constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | kKeyCreateLink;
    if (writes_ == Writes::Refused && (EffectiveAccess(access) & kWriteRights) != 0) {
        return kErrorAccessDenied;
    }
    result = NewHandle(key, access);
    return kErrorSuccess;
}

std::int32_t SnapshotMachine::CreateKeyEx(RegHandle,
                                          const std::string&,
                                          std::uint32_t,
                                          std::uint32_t,
                                          const SecurityAttributes&,
                                          RegHandle& result,
                                          std::uint32_t&) {
    result = 0;
    return kErrorAccessDenied;
}

std::int32_t SnapshotMachine::CloseKey(RegHandle key) {
    if (snapshot_.Root(key) != nullptr) {
        return kErrorSuccess;
    }
    return openKeys_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

std::int32_t SnapshotMachine::QueryValueEx(RegHandle key,
                                           const std::string& valueName,
                                           std::uint32_t* type,
                                           std::uint8_t* data,
                                           std::uint32_t* dataSize) {
    RegistryKey* k = nullptr;
    if (const std::int32_t status = ResolveFor(key, kKeyQueryValue, k); status != kErrorSuccess) {
        return status;
    }
    const RawValue* value = k->FindValue(valueName);
    if (value == nullptr) {
        return kErrorFileNotFound;
    }
    if (data != nullptr && dataSize == nullptr) {
        return kErrorInvalidParameter;
    }
    const auto size = static_cast<std::uint32_t>(value->data.size());
    if (type != nullptr) {
        *type = value->type;
    }
    if (data == nullptr) {
        if (dataSize != nullptr) {
            *dataSize = size;
        }
        return kErrorSuccess;
    }
    const bool fits = *dataSize >= size;
    *dataSize = size;
    if (!fits) {
        return kErrorMoreData;
    }
    std::copy(value->data.begin(), value->data.end(), data);
    return kErrorSuccess;
}

std::int32_t SnapshotMachine::SetValueEx(RegHandle key,
                                         const std::string&,
                                         std::uint32_t,
                                         const std::uint8_t*,
                                         std::uint32_t) {
    RegistryKey* k = nullptr;
    const std::int32_t status = ResolveFor(key, kKeyQueryValue, k);
    return status != kErrorSuccess ? status : kErrorAccessDenied;
}

std::int32_t SnapshotMachine::EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) {
    RegistryKey* k = nullptr;
    if (const std::int32_t status = ResolveFor(key, kKeyEnumerateSubKeys, k); status != kErrorSuccess) {
        return status;
    }
    if (index >= k->subkeys.size()) {
        return kErrorNoMoreItems;
    }
    return CopyName(k->subkeys[index].second->name, name, nameLength);
}

std::int32_t SnapshotMachine::EnumValue(RegHandle key,
                                        std::uint32_t index,
                                        char* name,
                                        std::uint32_t& nameLength,
                                        std::uint32_t* type,
                                        std::uint8_t* data,
                                        std::uint32_t* dataSize) {
    RegistryKey* k = nullptr;
    if (const std::int32_t status = ResolveFor(key, kKeyQueryValue, k); status != kErrorSuccess) {
        return status;
    }
    if (index >= k->values.size()) {
        return kErrorNoMoreItems;
    }
    if (data != nullptr && dataSize == nullptr) {
        return kErrorInvalidParameter;
    }
    const auto& [valueName, value] = k->values[index];
    if (const std::int32_t status = CopyName(valueName, name, nameLength); status != kErrorSuccess) {
        return status;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    const auto size = static_cast<std::uint32_t>(value.data.size());
    if (dataSize == nullptr) {
        return kErrorSuccess;
    }
    const bool fits = data == nullptr || *dataSize >= size;
    *dataSize = size;
    if (!fits) {
        return kErrorMoreData;
    }
    if (data != nullptr) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    return kErrorSuccess;
}

std::int32_t SnapshotMachine::DeleteKey(RegHandle root, const std::string& subKey) {
    RegistryKey* key = nullptr;
    const std::int32_t status = FindKey(root, subKey, key);
    return status != kErrorSuccess ? status : kErrorAccessDenied;
}

std::int32_t SnapshotMachine::DeleteValue(RegHandle key, const std::string&) {
    RegistryKey* k = nullptr;
    const std::int32_t status = ResolveFor(key, kKeyQueryValue, k);
    return status != kErrorSuccess ? status : kErrorAccessDenied;
}

// --- IDeviceInfoService ---

DevInfoSet SnapshotMachine::GetClassDevs(const Guid& classGuid, std::uint32_t flags) {
    const bool presentOnly = (flags & kDigcfPresent) != 0;
    const bool allClasses = (flags & kDigcfAllClasses) != 0;
    const bool interfaces = (flags & kDigcfDeviceInterface) != 0;
    const auto& devices = snapshot_.Devices();
    std::vector<std::uint32_t> members;
    for (std::uint32_t i = 0; i < devices.size(); ++i) {
        const SnapshotDevice& device = devices[i];
        if (presentOnly && !device.present) {
            continue;
        }
        bool member = false;
        if (interfaces) {
            // The COM-port interface is the only device interface class a snapshot knows.
            member = device.comportInterface && (allClasses || classGuid == kGuidDevInterfaceComport);
        } else if (allClasses) {
            member = true;
        } else {
            member = snapshot_.ClassGuid(i).has_value() && *snapshot_.ClassGuid(i) == classGuid;
        }
        if (member) {
            members.push_back(i);
        }
    }
    const DevInfoSet set = nextSet_;
    nextSet_ += 8;
    sets_.emplace(set, std::move(members));
    return set;
}

bool SnapshotMachine::EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) {
    if (SetInvalid(set)) {
        return false;
    }
    if (data.cbSize != kDevInfoDataSize) {
        lastError_ = kErrorInvalidUserBuffer;
        return false;
    }
    const auto& members = sets_[set];
    if (index >= members.size()) {
        lastError_ = kErrorNoMoreItems;
        return false;
    }
    const std::uint32_t device = members[index];
    data.classGuid = snapshot_.ClassGuid(device).value_or(kGuidNull);
    data.devInst = device + 1;
    data.reserved = static_cast<std::uintptr_t>(set);
    return true;
}

bool SnapshotMachine::GetDeviceRegistryProperty(DevInfoSet set,
                                                const DevInfoData& data,
                                                std::uint32_t property,
                                                std::uint32_t* regType,
                                                std::uint8_t* buffer,
                                                std::uint32_t bufferSize,
                                                std::uint32_t* requiredSize) {
    if (SetInvalid(set)) {
        return false;
    }
    const auto& members = sets_[set];
    const std::uint32_t device = data.devInst - 1;
    if (data.cbSize != kDevInfoDataSize || data.devInst == 0 ||
        !std::binary_search(members.begin(), members.end(), device)) {
        lastError_ = kErrorInvalidParameter;
        return false;
    }
    if (property >= kSpdrpMaximumProperty) {
        lastError_ = kErrorInvalidRegProperty;
        return false;
    }
    const auto& properties = snapshot_.Devices()[device].properties;
    const auto it = properties.find(property);
    if (it == properties.end()) {
        lastError_ = kErrorInvalidData;
        return false;
    }
    const RawValue& value = it->second;
    const auto size = static_cast<std::uint32_t>(value.data.size());
    if (regType != nullptr) {
        *regType = value.type;
    }
    if (requiredSize != nullptr) {
        *requiredSize = size;
    }
    if (buffer == nullptr && bufferSize > 0) {
        lastError_ = kErrorInvalidUserBuffer;
        return false;
    }
    if (bufferSize < size) {
        lastError_ = kErrorInsufficientBuffer;
        return false;
    }
    std::copy(value.data.begin(), value.data.end(), buffer);
    return true;
}

bool SnapshotMachine::DestroyDeviceInfoList(DevInfoSet set) {
    if (SetInvalid(set)) {
        return false;
    }
    sets_.erase(set);
    return true;
}

const SnapshotDevice* SnapshotMachine::MemberDevice(DevInfoSet set, const DevInfoData& data) const {
    const auto it = sets_.find(set);
    if (it == sets_.end() || data.devInst == 0) {
        return nullptr;
    }
    const std::uint32_t device = data.devInst - 1;
    if (!std::binary_search(it->second.begin(), it->second.end(), device)) {
        return nullptr;
    }
    return &snapshot_.Devices()[device];
}

std::optional<DevNodeStatus> SnapshotMachine::GetDevNodeStatus(DevInfoSet set, const DevInfoData& data) {
    const SnapshotDevice* device = MemberDevice(set, data);
    return device != nullptr ? device->status : std::nullopt;
}

DeviceFacts SnapshotMachine::GetDeviceFacts(DevInfoSet set, const DevInfoData& data) {
    const SnapshotDevice* device = MemberDevice(set, data);
    return device != nullptr ? device->facts : DeviceFacts{};
}

std::uint32_t SnapshotMachine::GetLastError() const {
    return lastError_;
}

std::string SnapshotMachine::AnsiToUtf8(std::string_view ansi) const {
    return FromCodePage(snapshot_.Page(), ansi);
}

std::string SnapshotMachine::Utf8ToAnsi(std::string_view utf8) const {
    return ToCodePage(snapshot_.Page(), utf8);
}

}  // namespace velmaro::snapshot
