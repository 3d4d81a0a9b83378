#pragma once
// The machine this program runs on, as far as this build has a backend for it.
#include <memory>

#include "devices/device_info_service.h"
#include "registry/registry_service.h"

namespace velmaro::cli {

class LiveMachine {
  public:
    virtual ~LiveMachine() = default;
    virtual IRegistryService& Registry() = 0;
    virtual IDeviceInfoService& Devices() = 0;
};

// nullptr when this build has no backend for the machine it runs on.
std::unique_ptr<LiveMachine> OpenLiveMachine();

}  // namespace velmaro::cli
