#pragma once
#include <windows.h>

#include "services/timer.h"

namespace velmaro::win32 {

// tmrRefresh as a window timer: enabling (re)starts the count, disabling drops a due tick.
class WindowTimer : public ITimer {
  public:
    explicit WindowTimer(UINT_PTR id) : id_(id) {}
    void Bind(HWND window) { window_ = window; }
    UINT_PTR Id() const { return id_; }
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override;

  private:
    void Arm();
    HWND window_ = nullptr;
    UINT_PTR id_;
    int interval_ = 0;
    bool enabled_ = false;
};

}  // namespace velmaro::win32
