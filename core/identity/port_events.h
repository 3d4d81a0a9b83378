#pragma once
// What changed between two looks at the ports: the events of velmaro-list --watch and the new port
// the window points out.
#include <string>
#include <vector>

#include "identity/port_identity.h"

namespace velmaro::identity {

enum class PortEventKind { Add, Remove, Change };

struct PortEvent {
    PortEventKind kind = PortEventKind::Add;
    PortIdentity port;  // as it is now; as it was for a removal
    friend bool operator==(const PortEvent&, const PortEvent&) = default;
};

// "add", "remove", "change".
std::string_view EventName(PortEventKind kind);

// What identifies a port across looks: its device's instance ID, else its path.
std::string PortKey(const PortIdentity& port);

// The ports of the rows that stand for one, each device once, in row order.
std::vector<PortIdentity> PortsOfRows(const std::vector<std::optional<PortIdentity>>& rows);

// Removals in the old order, then additions and changes (anything of the identity differs, such as
// a problem that appeared or cleared) in the new order.
std::vector<PortEvent> DiffPorts(const std::vector<PortIdentity>& before, const std::vector<PortIdentity>& after);

}  // namespace velmaro::identity
