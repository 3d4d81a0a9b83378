#pragma once
// The Windows desktop: the Device Manager console from the system folder, and ShellOpen for
// documents and addresses alike.
#include "shell/desktop.h"
#include "shell/shell_service.h"

namespace velmaro {

class ShellDesktop : public IDesktop {
  public:
    // The shell must outlive the desktop.
    explicit ShellDesktop(IShellService& shell) : shell_(shell) {}

    bool OpenDeviceManager(WindowHandle parentWindow) override;
    void OpenDocument(WindowHandle parentWindow, const std::string& path) override;
    void OpenAddress(WindowHandle parentWindow, const std::string& address) override;

  private:
    IShellService& shell_;
};

}  // namespace velmaro
