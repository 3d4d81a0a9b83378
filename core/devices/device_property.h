#pragma once
// Device properties and registry values as text.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "devices/device_info_service.h"
#include "registry/registry_service.h"
#include "services/user_services.h"

namespace velmaro {

inline constexpr const char* kMsgCantGetProperty = "Error, can't get Regestryproperty";
inline constexpr const char* kMsgCantReadProperty = "Error while dermitting Regestryproperty";

// One registry property of a device as text; the empty text on every failure, some of them
// after a message box (prompt only).
std::string GetDeviceProperty(IDeviceInfoService& devices,
                              IMessageBox& messages,
                              DevInfoSet set,
                              const DevInfoData& device,
                              std::uint32_t property);

// Cuts text at its first NUL in place and returns a copy of the result.
std::string CutAtNull(std::string& text);

// A value QueryRegValue delivers: text for REG_SZ, a number for REG_DWORD.
using RegValue = std::variant<std::string, std::int32_t>;

// Reads one value below root\keyPath. Returns 0 or the failing call's system error code; value is
// set only on success, and only for REG_SZ and REG_DWORD.
std::int32_t QueryRegValue(IRegistryService& registry,
                           std::int32_t root,
                           const std::string& keyPath,
                           const std::string& valueName,
                           std::optional<RegValue>& value);

}  // namespace velmaro
