#include "devices/device_dump.h"

#include "devices/device_property.h"

namespace velmaro {

std::string BuildDeviceDump(IDeviceInfoService& devices,
                            IMessageBox& messages,
                            DevInfoSet set,
                            const DevInfoData& device) {
    std::string dump;
    for (std::size_t i = 0; i < kDumpLines.size(); ++i) {
        std::string value = GetDeviceProperty(devices, messages, set, device, kDumpLines[i].property);
        dump += kDumpLines[i].label;
        dump += CutAtNull(value);
        if (i + 1 < kDumpLines.size()) {
            dump += "\r\n";
        }
    }
    return dump;
}

}  // namespace velmaro
