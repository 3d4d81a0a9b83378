#include "guidance/wait_seconds.h"

namespace velmaro {

void WaitSeconds(const IMonotonicClock& clock, IEventPump& events, const float& seconds) {
    try {
        const float start = clock.Seconds();
        const float until = start + seconds;
        for (;;) {
            events.ProcessPendingEvents();
            if (clock.Seconds() > until) {
                return;
            }
        }
    } catch (...) {
        // Retrying a clock that failed could spin for good; the wait is a courtesy, so just end it.
    }
}

}  // namespace velmaro
