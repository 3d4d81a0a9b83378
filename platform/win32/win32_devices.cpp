#include "win32/win32_devices.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
// clang-format on

#include <cstring>

#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

GUID ToNative(const Guid& guid) {
    GUID native{};
    native.Data1 = guid.data1;
    native.Data2 = guid.data2;
    native.Data3 = guid.data3;
    std::memcpy(native.Data4, guid.data4, sizeof(native.Data4));
    return native;
}

Guid FromNative(const GUID& native) {
    Guid guid;
    guid.data1 = native.Data1;
    guid.data2 = native.Data2;
    guid.data3 = native.Data3;
    std::memcpy(guid.data4, native.Data4, sizeof(guid.data4));
    return guid;
}

SP_DEVINFO_DATA ToNative(const DevInfoData& data) {
    SP_DEVINFO_DATA native{};
    native.cbSize = sizeof(native);
    native.ClassGuid = ToNative(data.classGuid);
    native.DevInst = data.devInst;
    native.Reserved = data.reserved;
    return native;
}

HDEVINFO ToHdevinfo(std::uintptr_t native) {
    return reinterpret_cast<HDEVINFO>(native);
}

}  // namespace

Win32Devices::~Win32Devices() {
    for (const auto& [set, native] : openSets_) {
        SetupDiDestroyDeviceInfoList(ToHdevinfo(native));
    }
}

std::uintptr_t Win32Devices::Native(DevInfoSet set) const {
    const auto it = openSets_.find(set);
    return it != openSets_.end() ? it->second : 0;
}

DevInfoSet Win32Devices::GetClassDevs(const Guid& classGuid, std::uint32_t flags) {
    const GUID guid = ToNative(classGuid);
    const HDEVINFO native = SetupDiGetClassDevsA(&guid, nullptr, nullptr, flags);
    lastError_ = ::GetLastError();
    if (native == INVALID_HANDLE_VALUE) {
        return kInvalidHandleValue;
    }
    const DevInfoSet set = nextSet_;
    nextSet_ += 8;
    openSets_.emplace(set, reinterpret_cast<std::uintptr_t>(native));
    return set;
}

bool Win32Devices::EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) {
    const std::uintptr_t native = Native(set);
    if (native == 0) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    if (data.cbSize != kDevInfoDataSize) {
        lastError_ = ERROR_INVALID_USER_BUFFER;
        return false;
    }
    SP_DEVINFO_DATA record{};
    record.cbSize = sizeof(record);
    const BOOL found = SetupDiEnumDeviceInfo(ToHdevinfo(native), index, &record);
    lastError_ = ::GetLastError();
    if (!found) {
        return false;
    }
    data.classGuid = FromNative(record.ClassGuid);
    data.devInst = record.DevInst;
    data.reserved = record.Reserved;
    return true;
}

bool Win32Devices::GetDeviceRegistryProperty(DevInfoSet set,
                                             const DevInfoData& data,
                                             std::uint32_t property,
                                             std::uint32_t* regType,
                                             std::uint8_t* buffer,
                                             std::uint32_t bufferSize,
                                             std::uint32_t* requiredSize) {
    const std::uintptr_t native = Native(set);
    if (native == 0) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    if (data.cbSize != kDevInfoDataSize) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    SP_DEVINFO_DATA record = ToNative(data);
    DWORD type = 0;
    DWORD required = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL read =
        SetupDiGetDeviceRegistryPropertyA(ToHdevinfo(native), &record, property, &type, buffer, bufferSize, &required);
    lastError_ = ::GetLastError();
    if (!read && lastError_ == ERROR_SUCCESS) {
        // Wine fails the properties it does not keep without saying why; Windows reports a
        // property that a device lacks as invalid data.
        lastError_ = ERROR_INVALID_DATA;
    }
    if (regType != nullptr) {
        *regType = static_cast<std::uint32_t>(type);
    }
    if (requiredSize != nullptr) {
        *requiredSize = static_cast<std::uint32_t>(required);
    }
    return read != FALSE;
}

bool Win32Devices::DestroyDeviceInfoList(DevInfoSet set) {
    const auto it = openSets_.find(set);
    if (it == openSets_.end()) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    const BOOL destroyed = SetupDiDestroyDeviceInfoList(ToHdevinfo(it->second));
    lastError_ = ::GetLastError();
    openSets_.erase(it);
    return destroyed != FALSE;
}

std::string Win32Devices::AnsiToUtf8(std::string_view ansi) const {
    return win32::AnsiToUtf8(ansi);
}

std::optional<DevNodeStatus> Win32Devices::GetDevNodeStatus(DevInfoSet set, const DevInfoData& data) {
    // The device instance alone names the node; the set only has to be one of ours.
    if (Native(set) == 0 || data.devInst == 0) {
        return std::nullopt;
    }
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, data.devInst, 0) != CR_SUCCESS) {
        return std::nullopt;
    }
    return DevNodeStatus{status, problem};
}

}  // namespace velmaro::win32
