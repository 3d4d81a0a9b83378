#include "devices/device_property.h"

#include <vector>

#include "common/win_codes.h"

namespace velmaro {
namespace {

// KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY: read access without KEY_READ's
// READ_CONTROL, which restricted accounts may lack.
constexpr std::uint32_t kQueryAccess = kKeyQueryValue | kKeyEnumerateSubKeys | kKeyNotify;

// The bytes as they lie in the buffer, little-endian, as a signed 32-bit number.
std::int32_t LittleEndianInt32(const std::uint8_t* bytes) {
    std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                          (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

bool IsCharacterType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegBinary || type == kRegMultiSz;
}

bool IsNumberType(std::uint32_t type) {
    return type == kRegDword || type == kRegDwordBigEndian;
}

// The second read of a property whose type and size the size query reported; nothing when the
// read fails or the type is not one that is read.
std::optional<std::string> ReadPropertyValue(IDeviceInfoService& devices,
                                             DevInfoSet set,
                                             const DevInfoData& device,
                                             std::uint32_t property,
                                             std::uint32_t type,
                                             std::uint32_t requiredSize) {
    std::uint32_t actualType = 0;
    std::uint32_t actualSize = 0;
    if (IsCharacterType(type)) {
        std::vector<std::uint8_t> buffer(requiredSize);
        if (!devices.GetDeviceRegistryProperty(set, device, property, &actualType, buffer.data(), requiredSize,
                                               &actualSize)) {
            return std::nullopt;
        }
        // Drops the final terminator; the bytes are ANSI, one character each.
        std::size_t keep = requiredSize > 0 ? requiredSize - 1 : 0;
        std::string text = devices.AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(buffer.data()), keep));
        return CutAtNull(text);
    }
    if (IsNumberType(type)) {
        std::uint8_t buffer[4] = {};
        if (!devices.GetDeviceRegistryProperty(set, device, property, &actualType, buffer, sizeof buffer,
                                               &actualSize)) {
            return std::nullopt;
        }
        return std::to_string(LittleEndianInt32(buffer));
    }
    return std::nullopt;
}

}  // namespace

std::string GetDeviceProperty(IDeviceInfoService& devices,
                              IMessageBox& messages,
                              DevInfoSet set,
                              const DevInfoData& device,
                              std::uint32_t property) {
    std::uint32_t type = 0;
    std::uint32_t requiredSize = 0;
    if (devices.GetDeviceRegistryProperty(set, device, property, &type, nullptr, 0, &requiredSize)) {
        return {};
    }
    const std::uint32_t error = devices.GetLastError();
    if (error == static_cast<std::uint32_t>(kErrorInvalidData)) {
        return {};  // the device has no such property
    }
    if (error != static_cast<std::uint32_t>(kErrorInsufficientBuffer)) {
        messages.Show(kMsgCantGetProperty, MessageStyle::PromptOnly);
        return {};
    }
    std::optional<std::string> value = ReadPropertyValue(devices, set, device, property, type, requiredSize);
    if (!value) {
        messages.Show(kMsgCantReadProperty, MessageStyle::PromptOnly);
        return {};
    }
    return *value;
}

std::string CutAtNull(std::string& text) {
    std::size_t at = text.find('\0');
    if (at != std::string::npos) {
        text.erase(at);
    }
    return text;
}

std::int32_t QueryRegValue(IRegistryService& registry,
                           std::int32_t root,
                           const std::string& keyPath,
                           const std::string& valueName,
                           std::optional<RegValue>& value) {
    OwnedKey key = OwnKey(registry);
    std::int32_t status =
        registry.OpenKeyEx(RootHandle(root), registry.Utf8ToAnsi(keyPath), kQueryAccess, key.Receive());
    if (status != kErrorSuccess) {
        key.Disown();  // nothing was opened, so nothing is closed
        return status;
    }
    const std::string name = registry.Utf8ToAnsi(valueName);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    status = registry.QueryValueEx(key.Get(), name, &type, nullptr, &size);
    if (status == kErrorSuccess) {
        if (type == kRegSz) {
            // One byte more than the value needs, pre-filled with blanks; the caller cuts at the NUL.
            std::string buffer(static_cast<std::size_t>(size) + 1, ' ');
            std::uint32_t dataSize = size;
            status = registry.QueryValueEx(key.Get(), name, &type, reinterpret_cast<std::uint8_t*>(buffer.data()),
                                           &dataSize);
            if (status == kErrorSuccess) {
                value = registry.AnsiToUtf8(buffer);
            }
        } else if (type == kRegDword) {
            std::uint8_t number[4] = {};
            std::uint32_t dataSize = sizeof number;
            status = registry.QueryValueEx(key.Get(), name, &type, number, &dataSize);
            if (status == kErrorSuccess) {
                value = LittleEndianInt32(number);
            }
        }
    }
    const std::int32_t closeStatus = key.ReleaseNow();
    return status != kErrorSuccess ? status : closeStatus;
}

}  // namespace velmaro
