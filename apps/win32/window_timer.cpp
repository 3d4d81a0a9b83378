#include "window_timer.h"

namespace velmaro::win32 {

void WindowTimer::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    if (enabled_) {
        Arm();
    }
}

void WindowTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Arm();
}

void WindowTimer::Arm() {
    if (!window_) {
        return;
    }
    if (enabled_ && interval_ > 0) {
        SetTimer(window_, id_, static_cast<UINT>(interval_), nullptr);  // the same id starts the count anew
    } else {
        KillTimer(window_, id_);
    }
}

}  // namespace velmaro::win32
