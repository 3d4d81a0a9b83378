#pragma once
// The machine this program runs on, as far as this build has a backend for it.
#include <memory>
#include <vector>

#include "devices/device_info_service.h"
#include "identity/port_identity.h"
#include "identity/port_watch.h"
#include "registry/registry_service.h"

namespace velmaro::cli {

class LiveMachine {
  public:
    virtual ~LiveMachine() = default;
    virtual IRegistryService& Registry() = 0;
    virtual IDeviceInfoService& Devices() = 0;
    // The identity facts of the present COM-port devices, as of the last refresh.
    virtual std::vector<identity::DeviceFacts> PortFacts() = 0;
    // The machine's device notifications (the clock where there are none) and the stop request.
    virtual std::unique_ptr<identity::IDeviceChanges> OpenChanges() = 0;
    // A device changed: the next refresh looks at the machine itself, not a recent picture of it.
    virtual void Outdate() {}
};

// The stop request alone, for a machine that does not change (a scenario).
std::unique_ptr<identity::IDeviceChanges> OpenStopRequests();

// nullptr when this build has no backend for the machine it runs on.
std::unique_ptr<LiveMachine> OpenLiveMachine();

}  // namespace velmaro::cli
