#include "memory/memory_machine.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "common/win_codes.h"

namespace velmaro::memory {
namespace {

// Codes the machine answers with that the core itself never needs.
constexpr std::int32_t kErrorBadPathname = 161;
constexpr std::int32_t kErrorNoAccess = 998;
constexpr std::int32_t kErrorInvalidRegProperty = 0x209;
constexpr std::uint32_t kSpdrpMaximumProperty = 0x25;

constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kMaximumAllowed = 0x02000000u;

constexpr std::uint32_t kDispositionCreatedNewKey = 1;
constexpr std::uint32_t kDispositionOpenedExistingKey = 2;

constexpr std::uint32_t kFirstRootValue = 0x80000000u;
constexpr std::size_t kRootCount = 6;  // HKEY_CLASSES_ROOT .. HKEY_CURRENT_CONFIG

// The names FailCall and CallCount accept, in the order of the call counters.
enum class Call : std::size_t {
    RegOpenKeyExA,
    RegCreateKeyExA,
    RegCloseKey,
    RegQueryValueExA,
    RegSetValueExA,
    RegEnumKeyExA,
    RegEnumValueA,
    RegDeleteKeyA,
    RegDeleteValueA,
    SetupDiGetClassDevsA,
    SetupDiEnumDeviceInfo,
    SetupDiGetDeviceRegistryPropertyA,
    SetupDiDestroyDeviceInfoList,
};
constexpr std::array<std::string_view, 13> kCallNames = {
    "RegOpenKeyExA",
    "RegCreateKeyExA",
    "RegCloseKey",
    "RegQueryValueExA",
    "RegSetValueExA",
    "RegEnumKeyExA",
    "RegEnumValueA",
    "RegDeleteKeyA",
    "RegDeleteValueA",
    "SetupDiGetClassDevsA",
    "SetupDiEnumDeviceInfo",
    "SetupDiGetDeviceRegistryPropertyA",
    "SetupDiDestroyDeviceInfoList",
};

std::size_t CallIndex(std::string_view name) {
    for (std::size_t i = 0; i < kCallNames.size(); ++i) {
        if (kCallNames[i] == name) {
            return i;
        }
    }
    throw std::invalid_argument("MemoryMachine: unknown call name '" + std::string(name) + "'");
}

// The registry folds letter case to upper case for comparing and ordering names; this machine
// folds ASCII letters only.
std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

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

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", any letter case.
std::optional<Guid> ParseGuid(std::string_view text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return std::nullopt;
    }
    std::array<std::uint8_t, 16> bytes{};
    std::size_t n = 0;
    for (std::size_t i = 1; i < 37; ++i) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const int high = HexDigitValue(text[i]);
        const int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[n++] = static_cast<std::uint8_t>(high * 16 + low);
        ++i;
    }
    Guid guid;
    guid.data1 =
        (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
    guid.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    std::copy(bytes.begin() + 8, bytes.end(), guid.data4);
    return guid;
}

std::optional<Guid> ClassGuidOf(const MemoryDevice& device) {
    const auto it = device.properties.find(SPDRP_CLASSGUID);
    if (it == device.properties.end()) {
        return std::nullopt;
    }
    const auto& data = it->second.data;
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    text = text.substr(0, text.find('\0'));
    return ParseGuid(text);
}

struct Key {
    std::string name;  // as it was created
    Key* parent = nullptr;
    bool deleted = false;
    // Sorted by folded name, which is the order Windows enumerates subkeys in.
    std::vector<std::pair<std::string, std::shared_ptr<Key>>> subkeys;
    // In insertion order, as the registry enumerates values; indexed by folded name.
    std::vector<std::pair<std::string, RawValue>> values;
    std::unordered_map<std::string, std::size_t> valueIndex;

    auto SubkeySlot(const std::string& folded) {
        return std::lower_bound(subkeys.begin(), subkeys.end(), folded,
                                [](const auto& entry, const std::string& f) { return entry.first < f; });
    }
    Key* FindSubkey(std::string_view name) {
        const std::string folded = FoldName(name);
        const auto it = SubkeySlot(folded);
        return it != subkeys.end() && it->first == folded ? it->second.get() : nullptr;
    }
    std::pair<Key*, bool> FindOrAddSubkey(std::string_view name) {
        const std::string folded = FoldName(name);
        const auto it = SubkeySlot(folded);
        if (it != subkeys.end() && it->first == folded) {
            return {it->second.get(), false};
        }
        auto child = std::make_shared<Key>();
        child->name = std::string(name);
        child->parent = this;
        Key* raw = child.get();
        subkeys.insert(it, {folded, std::move(child)});
        return {raw, true};
    }
    std::shared_ptr<Key> SharedSubkey(const Key* child) {
        const auto it = SubkeySlot(FoldName(child->name));
        return it != subkeys.end() && it->second.get() == child ? it->second : nullptr;
    }
    void RemoveSubkey(const Key* child) {
        const auto it = SubkeySlot(FoldName(child->name));
        if (it != subkeys.end() && it->second.get() == child) {
            subkeys.erase(it);
        }
    }
    const RawValue* FindValue(std::string_view name) const {
        const auto it = valueIndex.find(FoldName(name));
        return it == valueIndex.end() ? nullptr : &values[it->second].second;
    }
    void SetValue(std::string_view name, RawValue value) {
        const std::string folded = FoldName(name);
        const auto it = valueIndex.find(folded);
        if (it != valueIndex.end()) {
            values[it->second].second = std::move(value);  // keeps its place
            return;
        }
        valueIndex.emplace(folded, values.size());
        values.emplace_back(std::string(name), std::move(value));
    }
    bool RemoveValue(std::string_view name) {
        const auto it = valueIndex.find(FoldName(name));
        if (it == valueIndex.end()) {
            return false;
        }
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
        valueIndex.clear();
        for (std::size_t i = 0; i < values.size(); ++i) {
            valueIndex.emplace(FoldName(values[i].first), i);
        }
        return true;
    }
};

// Splits a key path at backslashes; empty parts (a trailing backslash) are skipped.
std::vector<std::string_view> PathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

struct OpenKey {
    std::shared_ptr<Key> key;
    std::uint32_t access = 0;
};

struct FaultRule {
    std::size_t call = 0;
    std::int32_t code = 0;
    long long first = 0;  // call numbers (1-based, since the machine was built) that fail
    long long last = 0;
};

}  // namespace

struct MemoryMachine::State {
    std::array<std::shared_ptr<Key>, kRootCount> roots;
    std::unordered_map<RegHandle, OpenKey> openKeys;
    RegHandle nextKeyHandle = 0x1000;

    std::vector<MemoryDevice> devices;
    std::vector<std::optional<Guid>> classGuids;  // parsed ClassGUID property, per device
    // A set holds device indices in ascending order.
    std::unordered_map<DevInfoSet, std::vector<std::uint32_t>> sets;
    DevInfoSet nextSet = 0x40000;
    std::uint32_t lastError = 0;

    std::array<long long, kCallNames.size()> callCounts{};
    std::vector<FaultRule> faults;

    // Counts the call and answers the injected failure code, if any.
    std::optional<std::int32_t> Enter(Call call) {
        const auto index = static_cast<std::size_t>(call);
        const long long number = ++callCounts[index];
        for (auto it = faults.rbegin(); it != faults.rend(); ++it) {
            if (it->call == index && number >= it->first && number <= it->last) {
                return it->code;
            }
        }
        return std::nullopt;
    }

    Key* RootKey(RegHandle handle) const {
        if (handle >= kFirstRootValue && handle < kFirstRootValue + kRootCount) {
            return roots[handle - kFirstRootValue].get();
        }
        return nullptr;
    }

    // The key behind a handle, with the rights of the handle.
    std::int32_t Resolve(RegHandle handle, Key*& key, std::uint32_t& access) const {
        if (Key* root = RootKey(handle)) {
            key = root;
            access = kKeyAllAccess;
            return kErrorSuccess;
        }
        const auto it = openKeys.find(handle);
        if (it == openKeys.end()) {
            return kErrorInvalidHandle;
        }
        if (it->second.key->deleted) {
            return kErrorKeyDeleted;
        }
        key = it->second.key.get();
        access = it->second.access;
        return kErrorSuccess;
    }

    // The parent handle of a path-taking call, and the path checked as the system checks it.
    std::int32_t ResolvePathStart(RegHandle handle, const std::string& subKey, Key*& start) const {
        std::uint32_t access = 0;
        if (const std::int32_t status = Resolve(handle, start, access); status != kErrorSuccess) {
            return status;
        }
        if (!subKey.empty() && subKey.front() == '\\') {
            return kErrorBadPathname;
        }
        return kErrorSuccess;
    }

    // The existing key at subKey below handle.
    std::int32_t FindKey(RegHandle handle, const std::string& subKey, Key*& key) const {
        Key* start = nullptr;
        if (const std::int32_t status = ResolvePathStart(handle, subKey, start); status != kErrorSuccess) {
            return status;
        }
        key = Walk(start, subKey);
        return key == nullptr ? kErrorFileNotFound : kErrorSuccess;
    }

    std::int32_t ResolveFor(RegHandle handle, std::uint32_t neededAccess, Key*& key) const {
        std::uint32_t access = 0;
        const std::int32_t status = Resolve(handle, key, access);
        if (status != kErrorSuccess) {
            return status;
        }
        return (access & neededAccess) == neededAccess ? kErrorSuccess : kErrorAccessDenied;
    }

    Key* Walk(Key* start, std::string_view path) const {
        Key* key = start;
        for (const auto part : PathParts(path)) {
            key = key->FindSubkey(part);
            if (key == nullptr) {
                return nullptr;
            }
        }
        return key;
    }

    // A shared owner for a key found by walking: its parent's entry, or the open handle's.
    std::shared_ptr<Key> Share(Key* key) const {
        if (key->parent != nullptr) {
            return key->parent->SharedSubkey(key);
        }
        for (const auto& root : roots) {
            if (root.get() == key) {
                return root;
            }
        }
        return nullptr;
    }

    RegHandle NewHandle(Key* key, std::uint32_t access) {
        const RegHandle handle = nextKeyHandle;
        nextKeyHandle += 4;
        openKeys.emplace(handle, OpenKey{Share(key), EffectiveAccess(access)});
        return handle;
    }

    Key* SetupRoot(std::int32_t root) const {
        Key* key = RootKey(RootHandle(root));
        if (key == nullptr) {
            throw std::invalid_argument("MemoryMachine: not a predefined root key: " + std::to_string(root));
        }
        return key;
    }

    bool SetInvalid(DevInfoSet set) {
        if (sets.find(set) == sets.end()) {
            lastError = kErrorInvalidHandle;
            return true;
        }
        return false;
    }
};

// --- builders ---

RawValue SzValue(std::string_view utf8, std::uint32_t type) {
    if (type != kRegSz && type != kRegExpandSz && type != kRegLink) {
        throw std::invalid_argument("SzValue: type must be REG_SZ, REG_EXPAND_SZ or REG_LINK");
    }
    const std::string bytes = Utf8ToCp1252(utf8);
    RawValue value{type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    value.data.push_back(0);
    return value;
}

RawValue MultiSzValue(const std::vector<std::string>& utf8Strings) {
    RawValue value{kRegMultiSz, {}};
    for (const auto& s : utf8Strings) {
        const std::string bytes = Utf8ToCp1252(s);
        value.data.insert(value.data.end(), bytes.begin(), bytes.end());
        value.data.push_back(0);
    }
    value.data.push_back(0);
    return value;
}

RawValue DwordValue(std::uint32_t value, std::uint32_t type) {
    if (type != kRegDword && type != kRegDwordBigEndian) {
        throw std::invalid_argument("DwordValue: type must be REG_DWORD or REG_DWORD_BIG_ENDIAN");
    }
    std::vector<std::uint8_t> bytes(4);
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(value >> (8 * i));
        bytes[type == kRegDword ? i : 3 - i] = byte;
    }
    return RawValue{type, std::move(bytes)};
}

RawValue BytesValue(std::uint32_t type, std::vector<std::uint8_t> data) {
    return RawValue{type, std::move(data)};
}

std::int32_t RootFromName(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, std::int32_t>, 5> kRoots = {{
        {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
        {"HKEY_CURRENT_USER", kHkeyCurrentUser},
        {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
        {"HKEY_USERS", kHkeyUsers},
        {"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
    }};
    const std::string folded = FoldName(name);
    for (const auto& [rootName, value] : kRoots) {
        if (folded == rootName) {
            return value;
        }
    }
    return 0;
}

// --- setting the machine up ---

MemoryMachine::MemoryMachine() : state_(std::make_unique<State>()) {
    for (auto& root : state_->roots) {
        root = std::make_shared<Key>();
    }
}

MemoryMachine::~MemoryMachine() = default;

void MemoryMachine::PutKey(std::int32_t root, std::string_view path) {
    Key* key = state_->SetupRoot(root);
    const std::string ansiPath = Utf8ToCp1252(path);  // outlives the parts that point into it
    for (const auto part : PathParts(ansiPath)) {
        key = key->FindOrAddSubkey(part).first;
    }
}

void MemoryMachine::PutValue(std::int32_t root, std::string_view path, std::string_view name, RawValue value) {
    PutKey(root, path);
    Key* key = state_->Walk(state_->SetupRoot(root), Utf8ToCp1252(path));
    key->SetValue(Utf8ToCp1252(name), std::move(value));
}

bool MemoryMachine::HasKey(std::int32_t root, std::string_view path) const {
    return state_->Walk(state_->SetupRoot(root), Utf8ToCp1252(path)) != nullptr;
}

const RawValue* MemoryMachine::FindValue(std::int32_t root, std::string_view path, std::string_view name) const {
    const Key* key = state_->Walk(state_->SetupRoot(root), Utf8ToCp1252(path));
    return key == nullptr ? nullptr : key->FindValue(Utf8ToCp1252(name));
}

void MemoryMachine::AddDevice(MemoryDevice device) {
    state_->classGuids.push_back(ClassGuidOf(device));
    state_->devices.push_back(std::move(device));
}

const std::vector<MemoryDevice>& MemoryMachine::Devices() const {
    return state_->devices;
}

// --- faults and accounting ---

void MemoryMachine::FailCall(std::string_view call, std::int32_t code, int nth, int count) {
    const std::size_t index = CallIndex(call);
    if (nth < 1) {
        throw std::invalid_argument("MemoryMachine::FailCall: nth counts from 1");
    }
    const long long first = state_->callCounts[index] + nth;
    const long long last = count < 0 ? std::numeric_limits<long long>::max() : first + count - 1;
    state_->faults.push_back(FaultRule{index, code, first, last});
}

void MemoryMachine::ClearFaults() {
    state_->faults.clear();
}

int MemoryMachine::CallCount(std::string_view call) const {
    return static_cast<int>(state_->callCounts[CallIndex(call)]);
}

int MemoryMachine::OpenKeyCount() const {
    return static_cast<int>(state_->openKeys.size());
}

int MemoryMachine::OpenDeviceInfoSetCount() const {
    return static_cast<int>(state_->sets.size());
}

// --- IRegistryService ---

std::int32_t MemoryMachine::OpenKeyEx(RegHandle root,
                                      const std::string& subKey,
                                      std::uint32_t access,
                                      RegHandle& result) {
    result = 0;
    if (const auto fault = state_->Enter(Call::RegOpenKeyExA)) {
        return *fault;
    }
    Key* key = nullptr;
    if (const std::int32_t status = state_->FindKey(root, subKey, key); status != kErrorSuccess) {
        return status;
    }
    result = state_->NewHandle(key, access);
    return kErrorSuccess;
}

std::int32_t MemoryMachine::CreateKeyEx(RegHandle root,
                                        const std::string& subKey,
                                        std::uint32_t /*options*/,
                                        std::uint32_t access,
                                        const SecurityAttributes& /*sa*/,
                                        RegHandle& result,
                                        std::uint32_t& disposition) {
    result = 0;
    if (const auto fault = state_->Enter(Call::RegCreateKeyExA)) {
        return *fault;
    }
    Key* key = nullptr;
    if (const std::int32_t status = state_->ResolvePathStart(root, subKey, key); status != kErrorSuccess) {
        return status;
    }
    bool created = false;
    for (const auto part : PathParts(subKey)) {
        const auto [child, added] = key->FindOrAddSubkey(part);
        key = child;
        created = created || added;
    }
    disposition = created ? kDispositionCreatedNewKey : kDispositionOpenedExistingKey;
    result = state_->NewHandle(key, access);
    return kErrorSuccess;
}

std::int32_t MemoryMachine::CloseKey(RegHandle key) {
    if (const auto fault = state_->Enter(Call::RegCloseKey)) {
        return *fault;  // a failed close leaves the handle open
    }
    if (state_->RootKey(key) != nullptr) {
        return kErrorSuccess;
    }
    return state_->openKeys.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

std::int32_t MemoryMachine::QueryValueEx(RegHandle key,
                                         const std::string& valueName,
                                         std::uint32_t* type,
                                         std::uint8_t* data,
                                         std::uint32_t* dataSize) {
    if (const auto fault = state_->Enter(Call::RegQueryValueExA)) {
        return *fault;
    }
    Key* k = nullptr;
    if (const std::int32_t status = state_->ResolveFor(key, kKeyQueryValue, k); status != kErrorSuccess) {
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

std::int32_t MemoryMachine::SetValueEx(RegHandle key,
                                       const std::string& valueName,
                                       std::uint32_t type,
                                       const std::uint8_t* data,
                                       std::uint32_t size) {
    if (const auto fault = state_->Enter(Call::RegSetValueExA)) {
        return *fault;
    }
    Key* k = nullptr;
    if (const std::int32_t status = state_->ResolveFor(key, kKeySetValue, k); status != kErrorSuccess) {
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

namespace {

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

std::int32_t MemoryMachine::EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) {
    if (const auto fault = state_->Enter(Call::RegEnumKeyExA)) {
        return *fault;
    }
    Key* k = nullptr;
    if (const std::int32_t status = state_->ResolveFor(key, kKeyEnumerateSubKeys, k); status != kErrorSuccess) {
        return status;
    }
    if (index >= k->subkeys.size()) {
        return kErrorNoMoreItems;
    }
    return CopyName(k->subkeys[index].second->name, name, nameLength);
}

std::int32_t MemoryMachine::EnumValue(RegHandle key,
                                      std::uint32_t index,
                                      char* name,
                                      std::uint32_t& nameLength,
                                      std::uint32_t* type,
                                      std::uint8_t* data,
                                      std::uint32_t* dataSize) {
    if (const auto fault = state_->Enter(Call::RegEnumValueA)) {
        return *fault;
    }
    Key* k = nullptr;
    if (const std::int32_t status = state_->ResolveFor(key, kKeyQueryValue, k); status != kErrorSuccess) {
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

std::int32_t MemoryMachine::DeleteKey(RegHandle root, const std::string& subKey) {
    if (const auto fault = state_->Enter(Call::RegDeleteKeyA)) {
        return *fault;
    }
    Key* key = nullptr;
    if (const std::int32_t status = state_->FindKey(root, subKey, key); status != kErrorSuccess) {
        return status;
    }
    if (key->parent == nullptr || !key->subkeys.empty()) {
        return kErrorAccessDenied;  // a root, or a key that still has subkeys
    }
    // Open handles keep the key object alive and answer ERROR_KEY_DELETED from now on.
    key->deleted = true;
    key->values.clear();
    key->valueIndex.clear();
    Key* parent = key->parent;
    key->parent = nullptr;
    parent->RemoveSubkey(key);
    return kErrorSuccess;
}

std::int32_t MemoryMachine::DeleteValue(RegHandle key, const std::string& valueName) {
    if (const auto fault = state_->Enter(Call::RegDeleteValueA)) {
        return *fault;
    }
    Key* k = nullptr;
    if (const std::int32_t status = state_->ResolveFor(key, kKeySetValue, k); status != kErrorSuccess) {
        return status;
    }
    return k->RemoveValue(valueName) ? kErrorSuccess : kErrorFileNotFound;
}

// --- IDeviceInfoService ---

DevInfoSet MemoryMachine::GetClassDevs(const Guid& classGuid, std::uint32_t flags) {
    State& s = *state_;
    if (const auto fault = s.Enter(Call::SetupDiGetClassDevsA)) {
        s.lastError = static_cast<std::uint32_t>(*fault);
        return kInvalidHandleValue;
    }
    const bool presentOnly = (flags & kDigcfPresent) != 0;
    const bool allClasses = (flags & kDigcfAllClasses) != 0;
    const bool interfaces = (flags & kDigcfDeviceInterface) != 0;
    std::vector<std::uint32_t> members;
    for (std::uint32_t i = 0; i < s.devices.size(); ++i) {
        const MemoryDevice& device = s.devices[i];
        if (presentOnly && !device.present) {
            continue;
        }
        bool member = false;
        if (interfaces) {
            // The COM-port interface is the only device interface class this machine knows.
            member = device.comportInterface && (allClasses || classGuid == kGuidDevInterfaceComport);
        } else if (allClasses) {
            member = true;
        } else {
            member = s.classGuids[i].has_value() && *s.classGuids[i] == classGuid;
        }
        if (member) {
            members.push_back(i);
        }
    }
    const DevInfoSet set = s.nextSet;
    s.nextSet += 8;
    s.sets.emplace(set, std::move(members));
    return set;
}

bool MemoryMachine::EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) {
    State& s = *state_;
    if (const auto fault = s.Enter(Call::SetupDiEnumDeviceInfo)) {
        s.lastError = static_cast<std::uint32_t>(*fault);
        return false;
    }
    if (s.SetInvalid(set)) {
        return false;
    }
    if (data.cbSize != kDevInfoDataSize) {
        s.lastError = kErrorInvalidUserBuffer;
        return false;
    }
    const auto& members = s.sets[set];
    if (index >= members.size()) {
        s.lastError = kErrorNoMoreItems;
        return false;
    }
    const std::uint32_t device = members[index];
    data.classGuid = s.classGuids[device].value_or(kGuidNull);
    data.devInst = device + 1;
    data.reserved = static_cast<std::uintptr_t>(set);
    return true;
}

bool MemoryMachine::GetDeviceRegistryProperty(DevInfoSet set,
                                              const DevInfoData& data,
                                              std::uint32_t property,
                                              std::uint32_t* regType,
                                              std::uint8_t* buffer,
                                              std::uint32_t bufferSize,
                                              std::uint32_t* requiredSize) {
    State& s = *state_;
    if (const auto fault = s.Enter(Call::SetupDiGetDeviceRegistryPropertyA)) {
        s.lastError = static_cast<std::uint32_t>(*fault);
        return false;
    }
    if (s.SetInvalid(set)) {
        return false;
    }
    const auto& members = s.sets[set];
    const std::uint32_t device = data.devInst - 1;
    if (data.cbSize != kDevInfoDataSize || data.devInst == 0 ||
        !std::binary_search(members.begin(), members.end(), device)) {
        s.lastError = kErrorInvalidParameter;
        return false;
    }
    if (property >= kSpdrpMaximumProperty) {
        s.lastError = kErrorInvalidRegProperty;
        return false;
    }
    const auto& properties = s.devices[device].properties;
    const auto it = properties.find(property);
    if (it == properties.end()) {
        s.lastError = kErrorInvalidData;
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
        s.lastError = kErrorInvalidUserBuffer;
        return false;
    }
    if (bufferSize < size) {
        s.lastError = kErrorInsufficientBuffer;
        return false;
    }
    std::copy(value.data.begin(), value.data.end(), buffer);
    return true;
}

bool MemoryMachine::DestroyDeviceInfoList(DevInfoSet set) {
    State& s = *state_;
    if (const auto fault = s.Enter(Call::SetupDiDestroyDeviceInfoList)) {
        s.lastError = static_cast<std::uint32_t>(*fault);
        return false;
    }
    if (s.SetInvalid(set)) {
        return false;
    }
    s.sets.erase(set);
    return true;
}

std::uint32_t MemoryMachine::GetLastError() const {
    return state_->lastError;
}

std::string MemoryMachine::AnsiToUtf8(std::string_view ansi) const {
    return Cp1252ToUtf8(ansi);
}

std::string MemoryMachine::Utf8ToAnsi(std::string_view utf8) const {
    return Utf8ToCp1252(utf8);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace velmaro::memory
