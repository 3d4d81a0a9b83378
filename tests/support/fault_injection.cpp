#include "support/fault_injection.h"

#include <limits>
#include <stdexcept>

#include "common/win_codes.h"

namespace velmaro::testing {

namespace {

// The names FailCall and CallCount accept, in the order of the call counters.
constexpr std::array<std::string_view, 14> kCallNames = {
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
    "CM_Get_DevNode_Status",
};

std::size_t CallIndex(std::string_view name) {
    for (std::size_t i = 0; i < kCallNames.size(); ++i) {
        if (kCallNames[i] == name) {
            return i;
        }
    }
    throw std::invalid_argument("FaultInjection: unknown call name '" + std::string(name) + "'");
}

}  // namespace

FaultInjection::FaultInjection(IRegistryService& registry, IDeviceInfoService& devices)
    : registry_(registry), devices_(devices) {}

void FaultInjection::FailCall(std::string_view call, std::int32_t code, int nth, int count) {
    const std::size_t index = CallIndex(call);
    if (nth < 1) {
        throw std::invalid_argument("FaultInjection::FailCall: nth counts from 1");
    }
    const long long first = callCounts_[index] + nth;
    const long long last = count < 0 ? std::numeric_limits<long long>::max() : first + count - 1;
    faults_.push_back(FaultRule{index, code, first, last});
}

void FaultInjection::ClearFaults() {
    faults_.clear();
}

int FaultInjection::CallCount(std::string_view call) const {
    return static_cast<int>(callCounts_[CallIndex(call)]);
}

int FaultInjection::OpenKeyCount() const {
    return static_cast<int>(openKeys_.size());
}

int FaultInjection::OpenDeviceInfoSetCount() const {
    return static_cast<int>(openSets_.size());
}

std::optional<std::int32_t> FaultInjection::Enter(std::string_view call) {
    const std::size_t index = CallIndex(call);
    const long long number = ++callCounts_[index];
    for (auto it = faults_.rbegin(); it != faults_.rend(); ++it) {
        if (it->call == index && number >= it->first && number <= it->last) {
            return it->code;
        }
    }
    return std::nullopt;
}

bool FaultInjection::EnterSetupDi(std::string_view call) {
    if (const auto fault = Enter(call)) {
        injectedError_ = static_cast<std::uint32_t>(*fault);
        return false;
    }
    return true;
}

bool FaultInjection::Forwarded(bool succeeded) {
    if (!succeeded) {
        injectedError_.reset();
    }
    return succeeded;
}

// --- IRegistryService ---

std::int32_t FaultInjection::OpenKeyEx(RegHandle root,
                                       const std::string& subKey,
                                       std::uint32_t access,
                                       RegHandle& result) {
    result = 0;
    if (const auto fault = Enter("RegOpenKeyExA")) {
        return *fault;
    }
    const std::int32_t status = registry_.OpenKeyEx(root, subKey, access, result);
    if (status == kErrorSuccess) {
        openKeys_.insert(result);
    }
    return status;
}

std::int32_t FaultInjection::CreateKeyEx(RegHandle root,
                                         const std::string& subKey,
                                         std::uint32_t options,
                                         std::uint32_t access,
                                         const SecurityAttributes& sa,
                                         RegHandle& result,
                                         std::uint32_t& disposition) {
    result = 0;
    if (const auto fault = Enter("RegCreateKeyExA")) {
        return *fault;
    }
    const std::int32_t status = registry_.CreateKeyEx(root, subKey, options, access, sa, result, disposition);
    if (status == kErrorSuccess) {
        openKeys_.insert(result);
    }
    return status;
}

std::int32_t FaultInjection::CloseKey(RegHandle key) {
    if (const auto fault = Enter("RegCloseKey")) {
        return *fault;  // a failed close leaves the handle open
    }
    const std::int32_t status = registry_.CloseKey(key);
    if (status == kErrorSuccess) {
        openKeys_.erase(key);
    }
    return status;
}

std::int32_t FaultInjection::QueryValueEx(RegHandle key,
                                          const std::string& valueName,
                                          std::uint32_t* type,
                                          std::uint8_t* data,
                                          std::uint32_t* dataSize) {
    if (const auto fault = Enter("RegQueryValueExA")) {
        return *fault;
    }
    return registry_.QueryValueEx(key, valueName, type, data, dataSize);
}

std::int32_t FaultInjection::SetValueEx(RegHandle key,
                                        const std::string& valueName,
                                        std::uint32_t type,
                                        const std::uint8_t* data,
                                        std::uint32_t size) {
    if (const auto fault = Enter("RegSetValueExA")) {
        return *fault;
    }
    return registry_.SetValueEx(key, valueName, type, data, size);
}

std::int32_t FaultInjection::EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) {
    if (const auto fault = Enter("RegEnumKeyExA")) {
        return *fault;
    }
    return registry_.EnumKeyEx(key, index, name, nameLength);
}

std::int32_t FaultInjection::EnumValue(RegHandle key,
                                       std::uint32_t index,
                                       char* name,
                                       std::uint32_t& nameLength,
                                       std::uint32_t* type,
                                       std::uint8_t* data,
                                       std::uint32_t* dataSize) {
    if (const auto fault = Enter("RegEnumValueA")) {
        return *fault;
    }
    return registry_.EnumValue(key, index, name, nameLength, type, data, dataSize);
}

std::int32_t FaultInjection::DeleteKey(RegHandle root, const std::string& subKey) {
    if (const auto fault = Enter("RegDeleteKeyA")) {
        return *fault;
    }
    return registry_.DeleteKey(root, subKey);
}

std::int32_t FaultInjection::DeleteValue(RegHandle key, const std::string& valueName) {
    if (const auto fault = Enter("RegDeleteValueA")) {
        return *fault;
    }
    return registry_.DeleteValue(key, valueName);
}

// --- IDeviceInfoService ---

DevInfoSet FaultInjection::GetClassDevs(const Guid& classGuid, std::uint32_t flags) {
    if (!EnterSetupDi("SetupDiGetClassDevsA")) {
        return kInvalidHandleValue;
    }
    const DevInfoSet set = devices_.GetClassDevs(classGuid, flags);
    if (Forwarded(set != kInvalidHandleValue)) {
        openSets_.insert(set);
    }
    return set;
}

bool FaultInjection::EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) {
    return EnterSetupDi("SetupDiEnumDeviceInfo") && Forwarded(devices_.EnumDeviceInfo(set, index, data));
}

bool FaultInjection::GetDeviceRegistryProperty(DevInfoSet set,
                                               const DevInfoData& data,
                                               std::uint32_t property,
                                               std::uint32_t* regType,
                                               std::uint8_t* buffer,
                                               std::uint32_t bufferSize,
                                               std::uint32_t* requiredSize) {
    return EnterSetupDi("SetupDiGetDeviceRegistryPropertyA") &&
           Forwarded(
               devices_.GetDeviceRegistryProperty(set, data, property, regType, buffer, bufferSize, requiredSize));
}

bool FaultInjection::DestroyDeviceInfoList(DevInfoSet set) {
    if (!EnterSetupDi("SetupDiDestroyDeviceInfoList") || !Forwarded(devices_.DestroyDeviceInfoList(set))) {
        return false;
    }
    openSets_.erase(set);
    return true;
}

// A failing status call answers a CR_ code and leaves the last error alone: the status is unknown.
std::optional<DevNodeStatus> FaultInjection::GetDevNodeStatus(DevInfoSet set, const DevInfoData& data) {
    if (Enter("CM_Get_DevNode_Status")) {
        return std::nullopt;
    }
    return devices_.GetDevNodeStatus(set, data);
}

DeviceFacts FaultInjection::GetDeviceFacts(DevInfoSet set, const DevInfoData& data) {
    return devices_.GetDeviceFacts(set, data);
}

std::uint32_t FaultInjection::GetLastError() const {
    return injectedError_ ? *injectedError_ : devices_.GetLastError();
}

std::string FaultInjection::AnsiToUtf8(std::string_view ansi) const {
    return registry_.AnsiToUtf8(ansi);
}

std::string FaultInjection::Utf8ToAnsi(std::string_view utf8) const {
    return registry_.Utf8ToAnsi(utf8);
}

}  // namespace velmaro::testing
