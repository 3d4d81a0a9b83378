#pragma once
// Where a watch on Linux learns of device changes: udev's monitor on its netlink socket, ended by
// SIGINT or SIGTERM through a self-pipe; without udev, the clock alone.
#include <memory>

#include "identity/port_watch.h"

struct udev;
struct udev_monitor;

namespace velmaro::linux_backend {

// udev's announcements of tty and USB devices, sent once udev has handled them (its records are
// complete then). Owns the udev context and the monitor.
class UdevMonitor {
  public:
    // nullptr when libudev cannot make or start a monitor.
    static std::unique_ptr<UdevMonitor> Open();
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // Readable when an announcement waits; for poll() and QSocketNotifier.
    int Fd() const;
    // Takes every waiting announcement; true when there was one.
    bool Drain();

  private:
    UdevMonitor(udev* context, udev_monitor* monitor) : context_(context), monitor_(monitor) {}
    udev* context_;
    udev_monitor* monitor_;
};

// SIGINT and SIGTERM make a pipe readable for as long as this lives; the previous handlers come back
// at its end. One at a time per process.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    int Fd() const { return pipe_[0]; }

  private:
    int pipe_[2] = {-1, -1};
};

// Waits on the monitor (when there is one) and the stop signals.
class LinuxDeviceChanges : public identity::IDeviceChanges {
  public:
    explicit LinuxDeviceChanges(std::unique_ptr<UdevMonitor> monitor) : monitor_(std::move(monitor)) {}
    bool Notifies() const override { return monitor_ != nullptr; }
    Wake Wait(std::chrono::milliseconds timeout) override;

  private:
    std::unique_ptr<UdevMonitor> monitor_;
    StopSignals stop_;
};

}  // namespace velmaro::linux_backend
