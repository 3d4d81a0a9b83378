#include "identity/port_watch.h"

namespace velmaro::identity {

bool RunWatch(IDeviceChanges& changes,
              const std::function<std::vector<PortIdentity>()>& portsNow,
              const EmitEvent& emit) {
    const std::chrono::milliseconds recheck = changes.Notifies() ? kWatchRecheck : kWatchPoll;
    std::vector<PortIdentity> ports = portsNow();
    for (const PortIdentity& port : ports) {
        if (!emit(EventName(PortEventKind::Add), &port)) {
            return false;
        }
    }
    if (!emit("synced", nullptr)) {
        return false;
    }
    // A notification and the clock both lead to a fresh look; only the stop ends the watch.
    while (changes.Wait(recheck) != IDeviceChanges::Wake::Stop) {
        std::vector<PortIdentity> now = portsNow();
        for (const PortEvent& event : DiffPorts(ports, now)) {
            if (!emit(EventName(event.kind), &event.port)) {
                return false;
            }
        }
        ports = std::move(now);
    }
    return true;
}

}  // namespace velmaro::identity
