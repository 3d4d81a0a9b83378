#pragma once
// Elapsed time for short waits. Unlike the time of day it does not jump at midnight or when the
// user sets the clock.
namespace velmaro {

class IMonotonicClock {
  public:
    virtual ~IMonotonicClock() = default;
    // Seconds since a fixed point of the backend's choice. Single precision keeps its resolution
    // only near that point, so a backend counts from its own start, not from boot.
    virtual float Seconds() const = 0;
};

}  // namespace velmaro
