#include "shell/device_manager.h"

#include <string>

#include "shell/shell_helpers.h"

namespace velmaro {

void OpenDeviceManager(IShellService& shell, IMessageBox& messages, WindowHandle parentWindow) {
    std::string folder = GetSpecialFolderPath(shell, kCsidlSystem, false);
    if (folder.empty()) {
        messages.Show(kMsgDeviceManagerUnavailable, MessageStyle::ExclamationOkCancel);
        return;
    }
    shell.Execute(parentWindow, "", shell.Utf8ToAnsi(folder + kDeviceManagerFile), "", "", kSwHide);
}

}  // namespace velmaro
