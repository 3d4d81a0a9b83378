#pragma once
// The device-installation service as the ANSI setupapi calls offer it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "devices/device_facts.h"

namespace velmaro {

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
    friend bool operator==(const Guid&, const Guid&) = default;
};

// GUID_DEVINTERFACE_COMPORT {86E0D1E0-8089-11D0-9CE4-08003E301F73}
inline constexpr Guid kGuidDevInterfaceComport{0x86E0D1E0,
                                               0x8089,
                                               0x11D0,
                                               {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
inline constexpr Guid kGuidNull{};

inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfAllClasses = 0x04;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// A device information set; kInvalidHandleValue when none could be obtained.
using DevInfoSet = std::intptr_t;
inline constexpr DevInfoSet kInvalidHandleValue = -1;

// SP_DEVINFO_DATA. The walkers set cbSize to 28, the record's size in the 32-bit layout that the
// product was written for; a native backend maps it to its own layout.
inline constexpr std::uint32_t kDevInfoDataSize = 28;
struct DevInfoData {
    std::uint32_t cbSize = 0;
    Guid classGuid{};
    std::uint32_t devInst = 0;
    std::uintptr_t reserved = 0;
};

// SPDRP_ property codes.
enum Spdrp : std::uint32_t {
    SPDRP_DEVICEDESC = 0,
    SPDRP_HARDWAREID = 1,
    SPDRP_COMPATIBLEIDS = 2,
    SPDRP_SERVICE = 4,
    SPDRP_CLASS = 7,
    SPDRP_CLASSGUID = 8,
    SPDRP_DRIVER = 9,
    SPDRP_CONFIGFLAGS = 10,
    SPDRP_MFG = 11,
    SPDRP_FRIENDLYNAME = 12,
    SPDRP_LOCATION_INFORMATION = 13,
    SPDRP_PHYSICAL_DEVICE_OBJECT_NAME = 14,
    SPDRP_CAPABILITIES = 15,
    SPDRP_UI_NUMBER = 16,
    SPDRP_UPPERFILTERS = 17,
    SPDRP_LOWERFILTERS = 18,
    SPDRP_BUSTYPEGUID = 19,
    SPDRP_LEGACYBUSTYPE = 20,
    SPDRP_BUSNUMBER = 21,
    SPDRP_ENUMERATOR_NAME = 22,
    SPDRP_SECURITY = 23,
    SPDRP_SECURITY_SDS = 24,
    SPDRP_DEVTYPE = 25,
    SPDRP_EXCLUSIVE = 26,
    SPDRP_CHARACTERISTICS = 27,
    SPDRP_ADDRESS = 28,
};

class IDeviceInfoService {
  public:
    virtual ~IDeviceInfoService() = default;

    // SetupDiGetClassDevsA(classGuid, no enumerator, no parent window, flags)
    virtual DevInfoSet GetClassDevs(const Guid& classGuid, std::uint32_t flags) = 0;
    // SetupDiEnumDeviceInfo(set, index, data)
    virtual bool EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) = 0;
    // SetupDiGetDeviceRegistryPropertyA(set, data, property, regType, buffer, bufferSize, requiredSize)
    virtual bool GetDeviceRegistryProperty(DevInfoSet set,
                                           const DevInfoData& data,
                                           std::uint32_t property,
                                           std::uint32_t* regType,
                                           std::uint8_t* buffer,
                                           std::uint32_t bufferSize,
                                           std::uint32_t* requiredSize) = 0;
    // SetupDiDestroyDeviceInfoList(set)
    virtual bool DestroyDeviceInfoList(DevInfoSet set) = 0;
    // GetLastError() right after one of the calls above.
    virtual std::uint32_t GetLastError() const = 0;

    // CM_Get_DevNode_Status(status, problem, data.devInst, 0); nothing when the call failed or the
    // service cannot ask it, which the diagnosis takes as "unknown".
    virtual std::optional<DevNodeStatus> GetDevNodeStatus(DevInfoSet /*set*/, const DevInfoData& /*data*/) {
        return std::nullopt;
    }
    // The backend's further facts about the device; none where it has none.
    virtual DeviceFacts GetDeviceFacts(DevInfoSet /*set*/, const DevInfoData& /*data*/) { return {}; }

    // The ANSI code page of this service, byte for byte (NUL bytes included).
    virtual std::string AnsiToUtf8(std::string_view ansi) const = 0;
};

}  // namespace velmaro
