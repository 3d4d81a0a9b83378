#pragma once
// Device notifications on Windows: arrivals and removals on the COM-port interface as
// WM_DEVICECHANGE to a window; Ctrl-C, Ctrl-Break and closing the console as a stop request.
// Window handles cross as WindowHandle so that this header needs no windows.h.
#include <cstdint>
#include <memory>

#include "identity/port_watch.h"
#include "shell/shell_service.h"

namespace velmaro::win32 {

// The window's registration for the COM-port interface (GUID_DEVINTERFACE_COMPORT), undone at
// the end. Without it (RegisterDeviceNotification failed) the window gets no such message.
class ComPortNotifications {
  public:
    explicit ComPortNotifications(WindowHandle window);
    ~ComPortNotifications();
    ComPortNotifications(const ComPortNotifications&) = delete;
    ComPortNotifications& operator=(const ComPortNotifications&) = delete;
    bool Registered() const { return handle_ != nullptr; }

  private:
    void* handle_;
};

// True for a WM_DEVICECHANGE whose wParam and lParam say that a device interface came or went,
// or that the machine's devices changed as a whole (DBT_DEVNODES_CHANGED).
bool IsDeviceChange(std::uintptr_t wParam, std::intptr_t lParam);

// A message-only window with the registration above; polling where it cannot be made. The
// console's control events set the stop.
class Win32DeviceChanges : public identity::IDeviceChanges {
  public:
    // deviceEvents false: only the stop request (a machine that does not change).
    explicit Win32DeviceChanges(bool deviceEvents);
    ~Win32DeviceChanges() override;
    Win32DeviceChanges(const Win32DeviceChanges&) = delete;
    Win32DeviceChanges& operator=(const Win32DeviceChanges&) = delete;

    bool Notifies() const override;
    Wake Wait(std::chrono::milliseconds timeout) override;

  private:
    void* stop_ = nullptr;  // the event the control handler sets
    WindowHandle window_ = 0;
    std::unique_ptr<ComPortNotifications> notifications_;
};

}  // namespace velmaro::win32
