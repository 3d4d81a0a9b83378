#include "win32/win32_port_facts.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
// clang-format on

#include <string>

#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

const GUID kComPortInterface = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The strings of a text or multi-text property in UTF-8; none when it is missing.
std::vector<std::string> PropertyStrings(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
    DWORD type = 0;
    DWORD size = 0;
    SetupDiGetDeviceRegistryPropertyW(set, &data, property, &type, nullptr, 0, &size);
    if (size == 0 || (type != REG_SZ && type != REG_MULTI_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(set, &data, property, &type, reinterpret_cast<BYTE*>(buffer.data()), size,
                                           nullptr)) {
        return {};
    }
    std::vector<std::string> strings;
    for (std::size_t at = 0; at < buffer.size() && buffer[at] != L'\0';) {
        const std::size_t end = buffer.find(L'\0', at);
        strings.push_back(WideToUtf8(std::wstring_view(buffer).substr(at, end - at)));
        at = end + 1;
    }
    return strings;
}

std::string PropertyText(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
    const std::vector<std::string> strings = PropertyStrings(set, data, property);
    return strings.empty() ? std::string() : strings.front();
}

std::string InstanceId(HDEVINFO set, SP_DEVINFO_DATA& data) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (!SetupDiGetDeviceInstanceIdW(set, &data, id, MAX_DEVICE_ID_LEN, nullptr)) {
        return {};
    }
    return WideToUtf8(id);
}

std::string ParentInstanceId(DEVINST device) {
    DEVINST parent = 0;
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (CM_Get_Parent(&parent, device, 0) != CR_SUCCESS ||
        CM_Get_Device_IDW(parent, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) {
        return {};
    }
    return WideToUtf8(id);
}

// A modem names its port in its driver key.
std::optional<int> AttachedTo(HDEVINFO set, SP_DEVINFO_DATA& data) {
    HKEY key = SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    wchar_t port[32] = {};
    DWORD size = sizeof port - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status = RegQueryValueExW(key, L"AttachedTo", nullptr, &type, reinterpret_cast<BYTE*>(port), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return identity::ComNumberOfName("(" + WideToUtf8(port) + ")");
}

}  // namespace

std::vector<identity::DeviceFacts> ReadPortFacts() {
    std::vector<identity::DeviceFacts> result;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        return result;
    }
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        identity::DeviceFacts facts;
        facts.instance = InstanceId(set, data);
        facts.friendlyName = PropertyText(set, data, SPDRP_FRIENDLYNAME);
        facts.deviceDesc = PropertyText(set, data, SPDRP_DEVICEDESC);
        facts.deviceClass = PropertyText(set, data, SPDRP_CLASS);
        facts.mfg = PropertyText(set, data, SPDRP_MFG);
        facts.location = PropertyText(set, data, SPDRP_LOCATION_INFORMATION);
        facts.service = PropertyText(set, data, SPDRP_SERVICE);
        facts.hardwareIds = PropertyStrings(set, data, SPDRP_HARDWAREID);
        if (facts.deviceClass == "Modem") {
            facts.attachedTo = AttachedTo(set, data);
        }
        if (identity::UsbNumbersOf(facts.hardwareIds).interfaceNumber) {
            facts.parentInstance = ParentInstanceId(data.DevInst);
        }
        result.push_back(std::move(facts));
    }
    SetupDiDestroyDeviceInfoList(set);
    return result;
}

}  // namespace velmaro::win32
