#include "win32/win32_device_changes.h"

#include <windows.h>

#include <dbt.h>

#include <stdexcept>

namespace velmaro::win32 {
namespace {

// GUID_DEVINTERFACE_COMPORT
constexpr GUID kComPortInterface = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
constexpr wchar_t kWindowClass[] = L"VelmaroDeviceChanges";

HANDLE stopEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
    // Ctrl-C, Ctrl-Break, the console closed, logoff, shutdown: each ends the watch.
    SetEvent(stopEvent);
    return TRUE;
}

LRESULT CALLBACK ChangesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && IsDeviceChange(wParam, lParam)) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 1);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ComPortNotifications::ComPortNotifications(WindowHandle window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kComPortInterface;
    handle_ = RegisterDeviceNotificationW(reinterpret_cast<HWND>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

ComPortNotifications::~ComPortNotifications() {
    if (handle_ != nullptr) {
        UnregisterDeviceNotification(handle_);
    }
}

bool IsDeviceChange(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam == DBT_DEVNODES_CHANGED) {
        return true;
    }
    if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) {
        return false;
    }
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    return header != nullptr && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE;
}

Win32DeviceChanges::Win32DeviceChanges(bool deviceEvents) {
    if (stopEvent != nullptr) {
        throw std::logic_error("console control events watched twice");
    }
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) {
        throw std::runtime_error("no event for the stop request");
    }
    stopEvent = stop_;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    if (!deviceEvents) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ChangesWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0) {
        return;
    }
    const HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr);
    if (window == nullptr) {
        UnregisterClassW(kWindowClass, windowClass.hInstance);
        return;
    }
    window_ = reinterpret_cast<WindowHandle>(window);
    notifications_ = std::make_unique<ComPortNotifications>(window_);
}

Win32DeviceChanges::~Win32DeviceChanges() {
    notifications_.reset();
    if (window_ != 0) {
        DestroyWindow(reinterpret_cast<HWND>(window_));
        UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
    }
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    stopEvent = nullptr;
    CloseHandle(stop_);
}

bool Win32DeviceChanges::Notifies() const {
    return notifications_ != nullptr && notifications_->Registered();
}

identity::IDeviceChanges::Wake Win32DeviceChanges::Wait(std::chrono::milliseconds timeout) {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    const HWND window = reinterpret_cast<HWND>(window_);
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= until ? 0 : static_cast<DWORD>(until - now);
        const DWORD woke = MsgWaitForMultipleObjects(1, &stop_, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            return Wake::Stop;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (window != nullptr && GetWindowLongPtrW(window, GWLP_USERDATA) != 0) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return Wake::Changed;
        }
        if (woke == WAIT_TIMEOUT) {
            return Wake::Quiet;
        }
        if (woke == WAIT_FAILED) {
            throw std::runtime_error("waiting for device changes failed");
        }
    }
}

}  // namespace velmaro::win32
