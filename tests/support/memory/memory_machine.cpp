#include "memory/memory_machine.h"

#include "common/win_codes.h"

namespace velmaro::memory {
namespace {

constexpr std::int32_t kErrorNoAccess = 998;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kDispositionCreatedNewKey = 1;
constexpr std::uint32_t kDispositionOpenedExistingKey = 2;

}  // namespace

WritableSnapshotMachine::WritableSnapshotMachine()
    : SnapshotMachine(snapshot::DeviceSnapshot(snapshot::CodePage::Windows1252), Writes::Allowed) {}

std::int32_t WritableSnapshotMachine::CreateKeyEx(RegHandle root,
                                                  const std::string& subKey,
                                                  std::uint32_t /*options*/,
                                                  std::uint32_t access,
                                                  const SecurityAttributes& /*sa*/,
                                                  RegHandle& result,
                                                  std::uint32_t& disposition) {
    result = 0;
    snapshot::RegistryKey* key = nullptr;
    if (const std::int32_t status = ResolvePathStart(root, subKey, key); status != kErrorSuccess) {
        return status;
    }
    bool created = false;
    for (const auto part : snapshot::PathParts(subKey)) {
        const auto [child, added] = key->FindOrAddSubkey(part);
        key = child;
        created = created || added;
    }
    disposition = created ? kDispositionCreatedNewKey : kDispositionOpenedExistingKey;
    result = NewHandle(key, access);
    return kErrorSuccess;
}

std::int32_t WritableSnapshotMachine::SetValueEx(RegHandle key,
                                                 const std::string& valueName,
                                                 std::uint32_t type,
                                                 const std::uint8_t* data,
                                                 std::uint32_t size) {
    snapshot::RegistryKey* k = nullptr;
    if (const std::int32_t status = ResolveFor(key, kKeySetValue, k); status != kErrorSuccess) {
        return status;
    }
    if (data == nullptr && size > 0) {
        return kErrorNoAccess;
    }
    RawValue value{type, {}};
    if (size > 0) {
        value.data.assign(data, data + size);
    }
    k->SetValue(valueName, std::move(value));
    return kErrorSuccess;
}

std::int32_t WritableSnapshotMachine::DeleteKey(RegHandle root, const std::string& subKey) {
    snapshot::RegistryKey* key = nullptr;
    if (const std::int32_t status = FindKey(root, subKey, key); status != kErrorSuccess) {
        return status;
    }
    if (key->parent == nullptr || !key->subkeys.empty()) {
        return kErrorAccessDenied;  // a root, or a key that still has subkeys
    }
    // Open handles keep the key object alive and answer ERROR_KEY_DELETED from now on.
    key->deleted = true;
    key->values.clear();
    key->valueIndex.clear();
    snapshot::RegistryKey* parent = key->parent;
    key->parent = nullptr;
    parent->RemoveSubkey(key);
    return kErrorSuccess;
}

std::int32_t WritableSnapshotMachine::DeleteValue(RegHandle key, const std::string& valueName) {
    snapshot::RegistryKey* k = nullptr;
    if (const std::int32_t status = ResolveFor(key, kKeySetValue, k); status != kErrorSuccess) {
        return status;
    }
    return k->RemoveValue(valueName) ? kErrorSuccess : kErrorFileNotFound;
}

MemoryMachine::MemoryMachine() : FaultInjection(machine, machine) {}

void LoadScenarioFile(const std::filesystem::path& file, MemoryMachine& machine) {
    snapshot::LoadScenarioFile(file, machine.Contents());
}

void LoadScenarioText(std::string_view json, std::string_view sourceName, MemoryMachine& machine) {
    snapshot::LoadScenarioText(json, sourceName, machine.Contents());
}

}  // namespace velmaro::memory
