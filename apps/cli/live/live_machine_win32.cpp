#include <windows.h>

#include "live_machine.h"
#include "win32/win32_devices.h"
#include "win32/win32_registry.h"

namespace velmaro::cli {
namespace {

class Win32LiveMachine : public LiveMachine {
  public:
    IRegistryService& Registry() override { return registry_; }
    IDeviceInfoService& Devices() override { return devices_; }

  private:
    win32::Win32Registry registry_;
    win32::Win32Devices devices_;
};

// The lister writes UTF-8, for a scenario as for this machine. A console shows those bytes in
// its output code page, so the run switches it to UTF-8 and gives the console back as it found
// it. Output into a pipe or file is not touched by this and stays UTF-8.
class Utf8Console {
  public:
    Utf8Console() : previous_(GetConsoleOutputCP()) {
        if (previous_ != 0) {
            SetConsoleOutputCP(CP_UTF8);
        }
    }
    ~Utf8Console() {
        if (previous_ != 0) {
            SetConsoleOutputCP(previous_);
        }
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    UINT previous_;
};

const Utf8Console utf8Console;

}  // namespace

std::unique_ptr<LiveMachine> OpenLiveMachine() {
    return std::make_unique<Win32LiveMachine>();
}

}  // namespace velmaro::cli
