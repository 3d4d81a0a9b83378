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

  private:
    linux_backend::LinuxMachine machine_;
};

}  // namespace

std::unique_ptr<LiveMachine> OpenLiveMachine() {
    return std::make_unique<LinuxLiveMachine>();
}

}  // namespace velmaro::cli
