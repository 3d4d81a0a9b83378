#include "linux/device_changes.h"

#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace velmaro::linux_backend {
namespace {

int stopWriteFd = -1;
struct sigaction previousInt {};
struct sigaction previousTerm {};

extern "C" void WriteStopByte(int) {
    const int saved = errno;
    const char byte = 1;
    (void)!write(stopWriteFd, &byte, 1);
    errno = saved;
}

}  // namespace

std::unique_ptr<UdevMonitor> UdevMonitor::Open() {
    udev* context = udev_new();
    if (context == nullptr) {
        return nullptr;
    }
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    // A port comes as its tty; a cable without driver only as its USB device.
    if (monitor == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::unique_ptr<UdevMonitor>(new UdevMonitor(context, monitor));
}

UdevMonitor::~UdevMonitor() {
    udev_monitor_unref(monitor_);
    udev_unref(context_);
}

int UdevMonitor::Fd() const {
    return udev_monitor_get_fd(monitor_);
}

bool UdevMonitor::Drain() {
    // The socket is non-blocking: receiving ends when nothing waits.
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(device);
        any = true;
    }
    return any;
}

StopSignals::StopSignals() {
    if (stopWriteFd != -1) {
        throw std::logic_error("stop signals watched twice");
    }
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("no pipe for the stop signals");
    }
    stopWriteFd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = WriteStopByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    stopWriteFd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}

identity::IDeviceChanges::Wake LinuxDeviceChanges::Wait(std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pollfd fds[2] = {{stop_.Fd(), POLLIN, 0}, {monitor_ ? monitor_->Fd() : -1, POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        const int ready = poll(fds, 2, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
        if (ready < 0 && errno != EINTR) {
            throw std::runtime_error("waiting for device changes failed");
        }
        if (fds[0].revents != 0) {
            return Wake::Stop;
        }
        if ((fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            monitor_.reset();  // a broken socket: the clock alone from here on
            return Wake::Changed;
        }
        // An announcement that passes the socket's filter but not libudev's own is no change.
        if (fds[1].revents != 0 && monitor_->Drain()) {
            return Wake::Changed;
        }
        if (ready == 0) {
            return Wake::Quiet;
        }
    }
}

}  // namespace velmaro::linux_backend
