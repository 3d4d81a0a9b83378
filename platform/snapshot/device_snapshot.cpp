#include "snapshot/device_snapshot.h"

#include <algorithm>
#include <stdexcept>

#include "common/win_codes.h"

namespace velmaro::snapshot {
namespace {

constexpr std::uint32_t kFirstRootValue = 0x80000000u;

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

std::optional<Guid> ClassGuidOf(const SnapshotDevice& device) {
    const auto it = device.properties.find(SPDRP_CLASSGUID);
    if (it == device.properties.end()) {
        return std::nullopt;
    }
    const auto& data = it->second.data;
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    text = text.substr(0, text.find('\0'));
    return ParseGuid(text);
}

auto SubkeySlot(std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>>& subkeys, const std::string& folded) {
    return std::lower_bound(subkeys.begin(), subkeys.end(), folded,
                            [](const auto& entry, const std::string& f) { return entry.first < f; });
}

auto SubkeySlot(const std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>>& subkeys,
                const std::string& folded) {
    return std::lower_bound(subkeys.begin(), subkeys.end(), folded,
                            [](const auto& entry, const std::string& f) { return entry.first < f; });
}

}  // namespace

std::string ToCodePage(CodePage page, std::string_view utf8) {
    return page == CodePage::Utf8 ? std::string(utf8) : Utf8ToCp1252(utf8);
}

std::string FromCodePage(CodePage page, std::string_view bytes) {
    return page == CodePage::Utf8 ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

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

// --- the registry tree ---

RegistryKey* RegistryKey::FindSubkey(std::string_view name) const {
    const std::string folded = FoldName(name);
    const auto it = SubkeySlot(subkeys, folded);
    return it != subkeys.end() && it->first == folded ? it->second.get() : nullptr;
}

std::pair<RegistryKey*, bool> RegistryKey::FindOrAddSubkey(std::string_view name) {
    const std::string folded = FoldName(name);
    const auto it = SubkeySlot(subkeys, folded);
    if (it != subkeys.end() && it->first == folded) {
        return {it->second.get(), false};
    }
    auto child = std::make_shared<RegistryKey>();
    child->name = std::string(name);
    child->parent = this;
    RegistryKey* raw = child.get();
    subkeys.insert(it, {folded, std::move(child)});
    return {raw, true};
}

std::shared_ptr<RegistryKey> RegistryKey::SharedSubkey(const RegistryKey* child) const {
    const auto it = SubkeySlot(subkeys, FoldName(child->name));
    return it != subkeys.end() && it->second.get() == child ? it->second : nullptr;
}

void RegistryKey::RemoveSubkey(const RegistryKey* child) {
    const auto it = SubkeySlot(subkeys, FoldName(child->name));
    if (it != subkeys.end() && it->second.get() == child) {
        subkeys.erase(it);
    }
}

const RawValue* RegistryKey::FindValue(std::string_view name) const {
    const auto it = valueIndex.find(FoldName(name));
    return it == valueIndex.end() ? nullptr : &values[it->second].second;
}

void RegistryKey::SetValue(std::string_view name, RawValue value) {
    const std::string folded = FoldName(name);
    const auto it = valueIndex.find(folded);
    if (it != valueIndex.end()) {
        values[it->second].second = std::move(value);  // keeps its place
        return;
    }
    valueIndex.emplace(folded, values.size());
    values.emplace_back(std::string(name), std::move(value));
}

bool RegistryKey::RemoveValue(std::string_view name) {
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

// --- builders ---

RawValue SzValue(std::string_view utf8, std::uint32_t type, CodePage page) {
    if (type != kRegSz && type != kRegExpandSz && type != kRegLink) {
        throw std::invalid_argument("SzValue: type must be REG_SZ, REG_EXPAND_SZ or REG_LINK");
    }
    const std::string bytes = ToCodePage(page, utf8);
    RawValue value{type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    value.data.push_back(0);
    return value;
}

RawValue MultiSzValue(const std::vector<std::string>& utf8Strings, CodePage page) {
    RawValue value{kRegMultiSz, {}};
    for (const auto& s : utf8Strings) {
        const std::string bytes = ToCodePage(page, s);
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

// --- the snapshot ---

DeviceSnapshot::DeviceSnapshot(CodePage page) : page_(page) {
    for (auto& root : roots_) {
        root = std::make_shared<RegistryKey>();
    }
}

RegistryKey* DeviceSnapshot::Root(std::uintptr_t handle) const {
    if (handle >= kFirstRootValue && handle < kFirstRootValue + roots_.size()) {
        return roots_[handle - kFirstRootValue].get();
    }
    return nullptr;
}

RegistryKey* DeviceSnapshot::SetupRoot(std::int32_t root) const {
    RegistryKey* key = Root(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(root)));
    if (key == nullptr) {
        throw std::invalid_argument("DeviceSnapshot: not a predefined root key: " + std::to_string(root));
    }
    return key;
}

RegistryKey* DeviceSnapshot::Walk(RegistryKey* start, std::string_view path) {
    RegistryKey* key = start;
    for (const auto part : PathParts(path)) {
        key = key->FindSubkey(part);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

std::shared_ptr<RegistryKey> DeviceSnapshot::Share(RegistryKey* key) const {
    if (key->parent != nullptr) {
        return key->parent->SharedSubkey(key);
    }
    for (const auto& root : roots_) {
        if (root.get() == key) {
            return root;
        }
    }
    return nullptr;
}

void DeviceSnapshot::PutKey(std::int32_t root, std::string_view path) {
    RegistryKey* key = SetupRoot(root);
    const std::string encoded = ToCodePage(page_, path);  // outlives the parts that point into it
    for (const auto part : PathParts(encoded)) {
        key = key->FindOrAddSubkey(part).first;
    }
}

void DeviceSnapshot::PutValue(std::int32_t root, std::string_view path, std::string_view name, RawValue value) {
    PutKey(root, path);
    RegistryKey* key = Walk(SetupRoot(root), ToCodePage(page_, path));
    key->SetValue(ToCodePage(page_, name), std::move(value));
}

bool DeviceSnapshot::HasKey(std::int32_t root, std::string_view path) const {
    return Walk(SetupRoot(root), ToCodePage(page_, path)) != nullptr;
}

const RawValue* DeviceSnapshot::FindValue(std::int32_t root, std::string_view path, std::string_view name) const {
    const RegistryKey* key = Walk(SetupRoot(root), ToCodePage(page_, path));
    return key == nullptr ? nullptr : key->FindValue(ToCodePage(page_, name));
}

void DeviceSnapshot::AddDevice(SnapshotDevice device) {
    classGuids_.push_back(ClassGuidOf(device));
    devices_.push_back(std::move(device));
}

}  // namespace velmaro::snapshot
