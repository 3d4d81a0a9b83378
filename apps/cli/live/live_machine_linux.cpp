#include "linux/device_changes.h"
#include "linux/linux_machine.h"
#include "live_machine.h"
#include "snapshot/port_facts.h"

namespace velmaro::cli {
namespace {

class LinuxLiveMachine : public LiveMachine {
  public:
    IRegistryService& Registry() override { return machine_; }
    IDeviceInfoService& Devices() override { return machine_; }
    std::vector<identity::DeviceFacts> PortFacts() override { return snapshot::PortFactsOf(machine_.Snapshot()); }
    std::unique_ptr<identity::IDeviceChanges> OpenChanges() override {
        // Without udev's records no udev runs to announce anything: the plain-sysfs walk is polled.
        const bool udev = linux_backend::ChooseSource(linux_backend::DefaultScanRoots()) == linux_backend::DeviceSource::Udev;
        return std::make_unique<linux_backend::LinuxDeviceChanges>(udev ? linux_backend::UdevMonitor::Open() : nullptr);
    }
    void Outdate() override { machine_.Outdate(); }

  private:
    linux_backend::LinuxMachine machine_;
};

}  // namespace

std::unique_ptr<LiveMachine> OpenLiveMachine() {
    return std::make_unique<LinuxLiveMachine>();
}

std::unique_ptr<identity::IDeviceChanges> OpenStopRequests() {
    return std::make_unique<linux_backend::LinuxDeviceChanges>(nullptr);
}

}  // namespace velmaro::cli
