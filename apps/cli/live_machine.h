#pragma once
// The machine this program runs on, as far as this build has a backend for it.
#include <memory>
#include <vector>

#include "devices/device_info_service.h"
#include "identity/port_identity.h"
#include "registry/registry_service.h"

namespace velmaro::cli {

class LiveMachine {
  public:
    virtual ~LiveMachine() = default;
    virtual IRegistryService& Registry() = 0;
    virtual IDeviceInfoService& Devices() = 0;
    // The identity facts of the present COM-port devices, as of the last refresh.
    virtual std::vector<identity::DeviceFacts> PortFacts() = 0;
};

// nullptr when this build has no backend for the machine it runs on.
std::unique_ptr<LiveMachine> OpenLiveMachine();

}  // namespace velmaro::cli
