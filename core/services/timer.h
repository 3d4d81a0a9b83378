#pragma once
// A window timer: ticks arrive through the event loop, Interval milliseconds after it was last
// enabled, and keep coming every Interval while it stays enabled.
namespace velmaro {

class ITimer {
  public:
    virtual ~ITimer() = default;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
    virtual bool Enabled() const = 0;
    // Enabling restarts the count from zero; disabling drops a tick that is due.
    virtual void SetEnabled(bool enabled) = 0;
};

}  // namespace velmaro
