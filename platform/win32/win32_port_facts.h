#pragma once
// The identity facts of this Windows machine's present COM-port devices, read through setupapi and
// the configuration manager (instance IDs, the parent of a composite device's interface).
#include <vector>

#include "identity/port_identity.h"

namespace velmaro::win32 {

std::vector<identity::DeviceFacts> ReadPortFacts();

}  // namespace velmaro::win32
