#include <atomic>
#include <csignal>
#include <thread>

#include "live_machine.h"

namespace velmaro::cli {
namespace {

std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int) {
    stopRequested = true;
}

// No notifications and no descriptors to wait on: the stop flag is looked at now and then.
class SignalFlag : public identity::IDeviceChanges {
  public:
    SignalFlag() {
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
    }
    bool Notifies() const override { return false; }
    Wake Wait(std::chrono::milliseconds timeout) override {
        constexpr auto kStep = std::chrono::milliseconds(20);
        for (auto waited = std::chrono::milliseconds(0); waited < timeout; waited += kStep) {
            if (stopRequested) {
                return Wake::Stop;
            }
            std::this_thread::sleep_for(kStep);
        }
        return stopRequested ? Wake::Stop : Wake::Quiet;
    }
};

}  // namespace

std::unique_ptr<LiveMachine> OpenLiveMachine() {
    return nullptr;
}

std::unique_ptr<identity::IDeviceChanges> OpenStopRequests() {
    return std::make_unique<SignalFlag>();
}

}  // namespace velmaro::cli
