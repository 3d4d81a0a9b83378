#include "shell/shell_desktop.h"

#include "shell/device_manager.h"
#include "shell/shell_helpers.h"

namespace velmaro {

bool ShellDesktop::OpenDeviceManager(WindowHandle parentWindow) {
    return LaunchDeviceManager(shell_, parentWindow);
}

// A document goes through ShellOpen as well: a path with "@" becomes a mail there too.
void ShellDesktop::OpenDocument(WindowHandle parentWindow, const std::string& path) {
    ShellOpen(shell_, parentWindow, path);
}

void ShellDesktop::OpenAddress(WindowHandle parentWindow, const std::string& address) {
    ShellOpen(shell_, parentWindow, address);
}

}  // namespace velmaro
