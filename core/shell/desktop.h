#pragma once
// What the windows ask of the desktop they run on: its device manager, a document, an address.
// Windows answers through the shell's rules (ShellDesktop); another desktop in its own way.
#include <string>

#include "shell/shell_service.h"

namespace velmaro {

class IDesktop {
  public:
    virtual ~IDesktop() = default;
    // False when this desktop has no device manager to open; the caller tells the user. Whether a
    // started device manager comes up is not looked at.
    virtual bool OpenDeviceManager(WindowHandle parentWindow) = 0;
    // A local file, such as a help page, in the desktop's viewer for it.
    virtual void OpenDocument(WindowHandle parentWindow, const std::string& path) = 0;
    // A web address in the browser, or a new mail to it when the address contains "@".
    virtual void OpenAddress(WindowHandle parentWindow, const std::string& address) = 0;
};

}  // namespace velmaro
