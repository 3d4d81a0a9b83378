#include "shell/device_manager.h"

#include <string>

#include "shell/shell_helpers.h"

namespace velmaro {

bool LaunchDeviceManager(IShellService& shell, WindowHandle parentWindow) {
    const std::string folder = GetSpecialFolderPath(shell, kCsidlSystem, false);
    if (folder.empty()) {
        return false;
    }
    shell.Execute(parentWindow, "", shell.Utf8ToAnsi(folder + kDeviceManagerFile), "", "", kSwHide);
    return true;
}

}  // namespace velmaro
