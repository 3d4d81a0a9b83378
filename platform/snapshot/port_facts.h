#pragma once
// The identity facts of a snapshot's COM-port devices.
#include <vector>

#include "identity/port_identity.h"
#include "snapshot/device_snapshot.h"

namespace velmaro::snapshot {

// One entry per present device of the COM-port interface set, in enumeration order.
std::vector<identity::DeviceFacts> PortFactsOf(const DeviceSnapshot& snapshot);

}  // namespace velmaro::snapshot
