#pragma once
// The desktop of a Linux session: documents and addresses go to xdg-open, and the first device
// viewer installed stands in for the Device Manager.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/desktop.h"

namespace velmaro::linux_backend {

// Looked for in this order: general hardware browsers first, then one that shows the USB tree
// with each device's driver.
inline constexpr std::array<std::string_view, 4> kDeviceViewers = {"hardinfo", "usbview", "kinfocenter", "lshw-gtk"};

// The full path of the first device viewer that is an executable file in one of the folders of
// searchPath (separated by ":", as PATH is), or "" when none is installed.
std::string FindDeviceViewer(std::string_view searchPath);

// Starts a program (looked up in PATH unless given with a folder) and does not wait for it. False
// when no process could be made; whether the program itself runs is not known here.
bool LaunchDetached(const std::string& program, const std::vector<std::string>& arguments);

class XdgDesktop : public IDesktop {
  public:
    using Launcher = std::function<bool(const std::string& program, const std::vector<std::string>& arguments)>;

    // The device viewer looked up in $PATH.
    XdgDesktop();
    // viewer: the device viewer's full path, "" for none.
    explicit XdgDesktop(std::string viewer, Launcher launch = LaunchDetached);

    // False without a device viewer.
    bool OpenDeviceManager(WindowHandle parentWindow) override;
    void OpenDocument(WindowHandle parentWindow, const std::string& path) override;
    // An address with "@" opens as a new mail, as the Windows shell's rule has it.
    void OpenAddress(WindowHandle parentWindow, const std::string& address) override;

    const std::string& Viewer() const { return viewer_; }

  private:
    std::string viewer_;
    Launcher launch_;
};

}  // namespace velmaro::linux_backend
