#pragma once
// Starting the Device Manager console from the system folder.
#include "shell/shell_service.h"

namespace velmaro {

inline constexpr const char* kDeviceManagerFile = "\\devmgmt.msc";

// Opens "devmgmt.msc" from the system folder with the shell's default verb and a hidden start
// window (the console opens its own). False, and nothing opened, without a system folder. The
// shell's result is not looked at.
bool LaunchDeviceManager(IShellService& shell, WindowHandle parentWindow);

}  // namespace velmaro
