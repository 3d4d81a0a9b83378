#pragma once
// The stream of velmaro-list --watch: the ports as "add" events, "synced", then what changes each
// time the machine may have changed, until a stop is asked for.
#include <chrono>
#include <functional>
#include <string_view>
#include <vector>

#include "identity/port_events.h"

namespace velmaro::identity {

// Where the watch learns that devices may have changed: a platform's device notifications, or
// nothing but the clock where it has none.
class IDeviceChanges {
  public:
    enum class Wake {
        Changed,  // a device came, went or changed
        Quiet,    // the time passed without a notification
        Stop,     // interrupted (Ctrl-C, SIGINT, SIGTERM)
    };
    virtual ~IDeviceChanges() = default;
    // True when device changes wake the wait; false when only the clock does.
    virtual bool Notifies() const = 0;
    // Waits up to timeout for a device change or a stop request.
    virtual Wake Wait(std::chrono::milliseconds timeout) = 0;
};

// How often the ports are looked at without a notification. A problem can appear without any
// device event (another program opens the port), so even with notifications the list is looked at
// as often as the window refreshes.
inline constexpr std::chrono::milliseconds kWatchRecheck{1500};
inline constexpr std::chrono::milliseconds kWatchPoll{500};

// Prints one line: an event with its port, or "synced" without one. False when it could not be
// written, which ends the watch.
using EmitEvent = std::function<bool(std::string_view event, const PortIdentity* port)>;

// Looks anew after each notification, and every kWatchRecheck (kWatchPoll without notifications).
// True when it ended on a stop request, false when a line could not be written.
bool RunWatch(IDeviceChanges& changes,
              const std::function<std::vector<PortIdentity>()>& portsNow,
              const EmitEvent& emit);

}  // namespace velmaro::identity
