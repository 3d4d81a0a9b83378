#pragma once
// The platform services one refresh needs, handed around together.
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
