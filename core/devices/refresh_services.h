#pragma once
// The platform services one refresh needs, handed around together. It lives beside the device
// walks, its lowest users, so that the folder of the service interfaces depends on nothing.
#include "devices/device_info_service.h"
#include "registry/registry_service.h"
#include "services/user_services.h"

namespace velmaro {

struct Services {
    IRegistryService& registry;
    IDeviceInfoService& devices;
    IMessageBox& messages;
    IClipboard& clipboard;
    IClock& clock;
    IMousePointer& pointer;
};

}  // namespace velmaro
