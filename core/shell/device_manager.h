#pragma once
// Starting the Device Manager console from the system folder.
#include "services/user_services.h"
#include "shell/shell_service.h"

namespace velmaro {

inline constexpr const char* kDeviceManagerFile = "\\devmgmt.msc";
inline constexpr const char* kMsgDeviceManagerUnavailable = "Gerätemanager nicht aufrufbar.";

// Opens "devmgmt.msc" from the system folder with the shell's default verb and a hidden start
// window (the console opens its own). Without a system folder the user is told, and the answer to
// the box is not used. The shell's result is not looked at.
void OpenDeviceManager(IShellService& shell, IMessageBox& messages, WindowHandle parentWindow);

}  // namespace velmaro
