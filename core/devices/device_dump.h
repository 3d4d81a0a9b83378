#pragma once
// The diagnostic dump of one device: 24 labelled property lines for support requests.
#include <array>
#include <cstdint>
#include <string>

#include "devices/device_info_service.h"
#include "services/user_services.h"

namespace velmaro {

struct DumpLine {
    const char* label;
    std::uint32_t property;
};

inline constexpr std::array<DumpLine, 24> kDumpLines{{
    {"SPDRP_ADDRESS:", SPDRP_ADDRESS},
    {"SPDRP_BUSNUMBER:", SPDRP_BUSNUMBER},
    {"SPDRP_BUSTYPEGUID:", SPDRP_BUSTYPEGUID},
    {"SPDRP_CAPABILITIES:", SPDRP_CAPABILITIES},
    {"SPDRP_CHARACTERISTICS:", SPDRP_CHARACTERISTICS},
    {"SPDRP_CLASS:", SPDRP_CLASS},
    {"SPDRP_CLASSGUID:", SPDRP_CLASSGUID},
    {"SPDRP_COMPATIBLEIDS:", SPDRP_COMPATIBLEIDS},
    {"SPDRP_CONFIGFLAGS:", SPDRP_CONFIGFLAGS},
    {"SPDRP_DEVICEDESC:", SPDRP_DEVICEDESC},
    {"SPDRP_DRIVER:", SPDRP_DRIVER},
    {"SPDRP_ENUMERATOR_NAME:", SPDRP_ENUMERATOR_NAME},
    {"SPDRP_EXCLUSIVE:", SPDRP_EXCLUSIVE},
    {"SPDRP_FRIENDLYNAME:", SPDRP_FRIENDLYNAME},
    {"SPDRP_HARDWAREID:", SPDRP_HARDWAREID},
    {"SPDRP_LEGACYBUSTYPE:", SPDRP_LEGACYBUSTYPE},
    {"SPDRP_LOCATION_INFORMATION:", SPDRP_LOCATION_INFORMATION},
    {"SPDRP_LOWERFILTERS:", SPDRP_LOWERFILTERS},
    {"SPDRP_MFG:", SPDRP_MFG},
    {"SPDRP_PHYSICAL_DEVICE_OBJECT_NAME:", SPDRP_PHYSICAL_DEVICE_OBJECT_NAME},
    {"SPDRP_SECURITY:", SPDRP_SECURITY},
    {"SPDRP_SECURITY_SDS:", SPDRP_SECURITY_SDS},
    {"SPDRP_UI_NUMBER:", SPDRP_UI_NUMBER},
    {"SPDRP_UPPERFILTERS:", SPDRP_UPPERFILTERS},
}};

std::string BuildDeviceDump(IDeviceInfoService& devices,
                            IMessageBox& messages,
                            DevInfoSet set,
                            const DevInfoData& device);

}  // namespace velmaro
