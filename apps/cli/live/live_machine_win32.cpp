#include "live_machine.h"
#include "win32/win32_device_changes.h"
#include "win32/win32_devices.h"
#include "win32/win32_port_facts.h"
#include "win32/win32_registry.h"

namespace velmaro::cli {
namespace {

class Win32LiveMachine : public LiveMachine {
  public:
    IRegistryService& Registry() override { return registry_; }
    IDeviceInfoService& Devices() override { return devices_; }
    std::vector<identity::DeviceFacts> PortFacts() override { return win32::ReadPortFacts(); }
    std::unique_ptr<identity::IDeviceChanges> OpenChanges() override {
        return std::make_unique<win32::Win32DeviceChanges>(true);
    }

  private:
    win32::Win32Registry registry_;
    win32::Win32Devices devices_;
};

}  // namespace

std::unique_ptr<LiveMachine> OpenLiveMachine() {
    return std::make_unique<Win32LiveMachine>();
}

std::unique_ptr<identity::IDeviceChanges> OpenStopRequests() {
    return std::make_unique<win32::Win32DeviceChanges>(false);
}

}  // namespace velmaro::cli
