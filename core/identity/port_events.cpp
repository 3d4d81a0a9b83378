#include "identity/port_events.h"

#include <algorithm>
#include <set>

namespace velmaro::identity {
namespace {

const PortIdentity* FindByKey(const std::vector<PortIdentity>& ports, const std::string& key) {
    const auto it =
        std::find_if(ports.begin(), ports.end(), [&](const PortIdentity& port) { return PortKey(port) == key; });
    return it == ports.end() ? nullptr : &*it;
}

}  // namespace

std::string_view EventName(PortEventKind kind) {
    switch (kind) {
        case PortEventKind::Add:
            return "add";
        case PortEventKind::Remove:
            return "remove";
        case PortEventKind::Change:
            break;
    }
    return "change";
}

std::string PortKey(const PortIdentity& port) {
    return port.instance.empty() ? port.path : port.instance;
}

std::vector<PortIdentity> PortsOfRows(const std::vector<std::optional<PortIdentity>>& rows) {
    std::vector<PortIdentity> ports;
    std::set<std::string> seen;
    for (const auto& row : rows) {
        if (row && seen.insert(PortKey(*row)).second) {
            ports.push_back(*row);
        }
    }
    return ports;
}

std::vector<PortEvent> DiffPorts(const std::vector<PortIdentity>& before, const std::vector<PortIdentity>& after) {
    std::vector<PortEvent> events;
    for (const PortIdentity& old : before) {
        if (FindByKey(after, PortKey(old)) == nullptr) {
            events.push_back({PortEventKind::Remove, old});
        }
    }
    for (const PortIdentity& now : after) {
        const PortIdentity* old = FindByKey(before, PortKey(now));
        if (old == nullptr) {
            events.push_back({PortEventKind::Add, now});
        } else if (!(*old == now)) {
            events.push_back({PortEventKind::Change, now});
        }
    }
    return events;
}

}  // namespace velmaro::identity
