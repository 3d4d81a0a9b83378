#pragma once
// A short wait on the user-interface thread that keeps the windows responsive.
#include "services/event_pump.h"
#include "services/monotonic_clock.h"

namespace velmaro {

// Returns once more than seconds have passed (reaching the mark exactly keeps waiting), handing
// pending window events to the user interface on every round. A failing clock or event pump ends
// the wait; nothing is raised to the caller.
void WaitSeconds(const IMonotonicClock& clock, IEventPump& events, const float& seconds);

}  // namespace velmaro
