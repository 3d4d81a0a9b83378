#include "registry/cls_registry.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/win_codes.h"

namespace velmaro {
namespace {

constexpr std::uint32_t kEnumBufferSize = 1024;  // characters of a name, bytes of value data

// sizeof(SECURITY_ATTRIBUTES) in the 32-bit layout the registry calls were written for.
constexpr std::uint32_t kSecurityAttributesSize = 12;

// A key whose every index fails never reports 259; this many failures in a row end the walk.
constexpr int kMaxConsecutiveEnumFailures = 16;

// The first length characters of an enumeration buffer; a bogus length cannot read past it.
std::string_view BufferPrefix(const char* buffer, std::uint32_t length) {
    return std::string_view(buffer, std::min(length, kEnumBufferSize));
}

// Drops the trailing empty slot that every walk keeps ready for the next name.
void TrimLastEmptySlot(std::vector<std::string>& names) {
    if (!names.empty() && names.back().empty()) {
        names.pop_back();
    }
}

}  // namespace

clsRegistry::clsRegistry(IRegistryService& service) : service_(service) {}

void clsRegistry::RaiseError(std::int32_t code) {
    if (RegistryError) {
        RegistryError(code);
    }
}

bool clsRegistry::OpenKey(std::int32_t root, const std::string& path, bool readOnly, RegHandle& handle) {
    const std::string ansiPath = service_.Utf8ToAnsi(path);
    handle = 0;
    std::int32_t result =
        service_.OpenKeyEx(RootHandle(root), ansiPath, readOnly ? kKeyRead : kKeyReadWriteCreateLink, handle);
    if (result == kErrorSuccess) {
        return true;
    }
    handle = 0;
    if (result == kErrorFileNotFound && !readOnly) {
        CreateKey(root, path);
        result = service_.OpenKeyEx(RootHandle(root), ansiPath, kKeyReadWriteCreateLink, handle);
        if (result == kErrorSuccess) {
            return true;
        }
        handle = 0;
        // The caller learns that the path could not be made, not why the second open failed.
        RaiseError(kErrorPathNotFound);
        return false;
    }
    RaiseError(result);
    return false;
}

void clsRegistry::CreateKey(std::int32_t lKeyRoot, const std::string& sKeyName) {
    OwnedKey key = OwnKey(service_);
    const SecurityAttributes sa{kSecurityAttributesSize, false, true};
    std::uint32_t disposition = 0;
    const std::int32_t result =
        service_.CreateKeyEx(RootHandle(lKeyRoot), service_.Utf8ToAnsi(sKeyName), kRegOptionNonVolatile,
                             kKeyReadWriteCreateLink, sa, key.Receive(), disposition);
    if (result != kErrorSuccess) {
        key.Receive() = 0;
        RaiseError(result);
    }
}

void clsRegistry::DeleteKey(std::int32_t lKeyRoot, const std::string& sKeyName) {
    if (!enableDelete_) {
        return;
    }
    const std::int32_t result = service_.DeleteKey(RootHandle(lKeyRoot), service_.Utf8ToAnsi(sKeyName));
    if (result != kErrorSuccess) {
        RaiseError(result);
    }
}

void clsRegistry::DeleteValue(std::int32_t lKeyRoot, const std::string& sKeyName, const std::string& sValueName) {
    OwnedKey key = OwnKey(service_);
    // The writing open runs first, so a missing key is created even while deleting is disabled.
    if (!OpenKey(lKeyRoot, sKeyName, false, key.Receive()) || !enableDelete_) {
        return;
    }
    const std::int32_t result = service_.DeleteValue(key.Get(), service_.Utf8ToAnsi(sValueName));
    if (result != kErrorSuccess) {
        RaiseError(result);
    }
}

std::vector<std::string> clsRegistry::EnumKeys(std::int32_t Root, const std::string& sKeyName, bool NoEvents) {
    std::vector<std::string> names(1);
    currentKey_ = sKeyName;
    OwnedKey key = OwnKey(service_);
    if (!OpenKey(Root, sKeyName, true, key.Receive())) {
        return names;  // still its one empty slot: this walk does not trim on a failed open
    }
    int failuresInARow = 0;
    for (std::uint32_t index = 0;; ++index) {
        std::string buffer(kEnumBufferSize, ' ');
        std::uint32_t length = kEnumBufferSize;
        const std::int32_t result = service_.EnumKeyEx(key.Get(), index, buffer.data(), length);
        if (result == kErrorNoMoreItems) {
            break;
        }
        // Any other result is taken as an entry, failures included.
        const std::string name = service_.AnsiToUtf8(BufferPrefix(buffer.data(), length));
        names.back() = name;
        names.emplace_back();
        if (!NoEvents && EnumKey) {
            EnumKey(name);
        }
        // That rule would loop for ever on a key that fails at every index (one deleted under us,
        // a broken hive): give up after a run of failures instead of hanging the program.
        failuresInARow = result == kErrorSuccess ? 0 : failuresInARow + 1;
        if (failuresInARow >= kMaxConsecutiveEnumFailures) {
            break;
        }
    }
    TrimLastEmptySlot(names);
    if (!NoEvents && EnumKeyComplete) {
        EnumKeyComplete();
    }
    return names;
}

std::vector<std::string> clsRegistry::EnumValues(std::int32_t lKeyRoot, const std::string& sKeyName, bool NoEvents) {
    std::vector<std::string> names(1);
    currentKey_ = sKeyName;
    {
        OwnedKey key = OwnKey(service_);
        if (OpenKey(lKeyRoot, sKeyName, true, key.Receive())) {
            EnumValuesOfOpenKey(lKeyRoot, sKeyName, key.Get(), NoEvents, names);
        }
    }
    TrimLastEmptySlot(names);
    return names;
}

void clsRegistry::EnumValuesOfOpenKey(std::int32_t root,
                                      const std::string& path,
                                      RegHandle key,
                                      bool noEvents,
                                      std::vector<std::string>& names) {
    for (std::uint32_t index = 0;; ++index) {
        std::string nameBuffer(kEnumBufferSize, ' ');
        std::uint32_t nameLength = kEnumBufferSize;
        std::vector<std::uint8_t> data(kEnumBufferSize, ' ');
        std::uint32_t dataSize = kEnumBufferSize;
        std::uint32_t type = 0;
        const std::int32_t result =
            service_.EnumValue(key, index, nameBuffer.data(), nameLength, &type, data.data(), &dataSize);
        if (result == kErrorNoMoreItems) {
            if (!noEvents && EnumValueComplete) {
                EnumValueComplete();
            }
            return;
        }
        if (result != kErrorSuccess) {
            if (!noEvents) {
                RaiseError(result);
            }
            return;
        }
        const std::string name = service_.AnsiToUtf8(BufferPrefix(nameBuffer.data(), nameLength));
        names.back() = name;
        names.emplace_back();

        RegistryValueSetting setting;
        if (type == kRegSz) {
            // The data without its terminating NUL.
            const std::uint32_t textSize = std::min(dataSize, kEnumBufferSize);
            const char* text = reinterpret_cast<const char*>(data.data());
            setting = service_.AnsiToUtf8(std::string_view(text, textSize == 0 ? 0 : textSize - 1));
        } else if (type == kRegDword) {
            // Read back through the key once more, in a quiet walk too; that read reports its own
            // failures and then carries 0.
            setting = GetNumericValue(root, path, name, 0);
        }
        if (!noEvents && EnumValue) {
            EnumValue(name, setting, type);
        }
    }
}

std::int32_t clsRegistry::GetNumericValue(std::int32_t lKeyRoot,
                                          const std::string& sKeyName,
                                          const std::string& sValueName,
                                          std::int32_t DefaultValue) {
    OwnedKey key = OwnKey(service_);
    if (!OpenKey(lKeyRoot, sKeyName, true, key.Receive())) {
        return DefaultValue;
    }
    std::array<std::uint8_t, 4> buffer{};
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t type = 0;
    const std::int32_t result =
        service_.QueryValueEx(key.Get(), service_.Utf8ToAnsi(sValueName), &type, buffer.data(), &size);
    if (result != kErrorSuccess) {
        RaiseError(result);
        return DefaultValue;
    }
    // Any type is read as a little-endian number; shorter data leaves the high bytes zero.
    const std::uint32_t value = static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
                                static_cast<std::uint32_t>(buffer[2]) << 16 |
                                static_cast<std::uint32_t>(buffer[3]) << 24;
    return static_cast<std::int32_t>(value);
}

std::string clsRegistry::GetStringValue(std::int32_t lKeyRoot,
                                        const std::string& sKeyName,
                                        const std::string& sValueName) {
    OwnedKey key = OwnKey(service_);
    if (!OpenKey(lKeyRoot, sKeyName, true, key.Receive())) {
        return {};
    }
    const std::string ansiName = service_.Utf8ToAnsi(sValueName);
    std::uint32_t type = 0;
    // A real buffer of size 0: the registry answers 234 with the size, or 0 for an empty value.
    std::uint8_t probe = 0;
    std::uint32_t size = 0;
    std::int32_t result = service_.QueryValueEx(key.Get(), ansiName, &type, &probe, &size);
    if (result != kErrorSuccess && result != kErrorMoreData) {
        RaiseError(result);
        return {};
    }
    std::string buffer(size, '\0');
    result = service_.QueryValueEx(key.Get(), ansiName, &type, reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
    if (result != kErrorSuccess) {
        RaiseError(result);
        return {};
    }
    // The type is not checked: whatever is stored is read as text up to its first NUL.
    const std::size_t end = buffer.find('\0');
    if (end != std::string::npos) {
        buffer.resize(end);
    }
    return service_.AnsiToUtf8(buffer);
}

void clsRegistry::SetNumericValue(std::int32_t lKeyRoot,
                                  const std::string& sKeyName,
                                  const std::string& sValueName,
                                  std::int32_t lValueSetting) {
    OwnedKey key = OwnKey(service_);
    if (!OpenKey(lKeyRoot, sKeyName, false, key.Receive())) {
        return;
    }
    const auto bits = static_cast<std::uint32_t>(lValueSetting);
    const std::array<std::uint8_t, 4> data{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                           static_cast<std::uint8_t>(bits >> 16),
                                           static_cast<std::uint8_t>(bits >> 24)};
    const std::int32_t result = service_.SetValueEx(key.Get(), service_.Utf8ToAnsi(sValueName), kRegDword, data.data(),
                                                    static_cast<std::uint32_t>(data.size()));
    // Only 2 (the key vanished under us) is reported; other write failures stay silent.
    if (result == kErrorFileNotFound) {
        RaiseError(result);
    }
}

void clsRegistry::SetStringValue(std::int32_t lKeyRoot,
                                 const std::string& sKeyName,
                                 const std::string& sValueName,
                                 const std::string& sValueSetting) {
    OwnedKey key = OwnKey(service_);
    if (!OpenKey(lKeyRoot, sKeyName, false, key.Receive())) {
        return;
    }
    // An empty text is stored as one blank.
    std::string data = service_.Utf8ToAnsi(sValueSetting.empty() ? std::string(" ") : sValueSetting);
    data.push_back('\0');
    const std::int32_t result = service_.SetValueEx(key.Get(), service_.Utf8ToAnsi(sValueName), kRegSz,
                                                    reinterpret_cast<const std::uint8_t*>(data.data()),
                                                    static_cast<std::uint32_t>(data.size()));
    if (result == kErrorFileNotFound) {
        RaiseError(result);
    }
}

}  // namespace velmaro
