#pragma once
// The program's identity and the user-interface timing services, in memory: what tests and the
// scenario-driven tools use in place of the running executable, a real clock and an event loop.
#include <functional>
#include <string>
#include <utility>

#include "services/event_pump.h"
#include "services/monotonic_clock.h"
#include "services/program_identity.h"

namespace velmaro::memory {

class FixedProgramIdentity : public IProgramIdentity {
  public:
    FixedProgramIdentity(std::string name = "Velmaro",
                         std::string folder = "C:\\Programme\\Velmaro",
                         ProgramVersion version = {1, 0, 7})
        : name_(std::move(name)), folder_(std::move(folder)), version_(version) {}
    std::string ExecutableName() const override { return name_; }
    std::string ExecutableFolder() const override { return folder_; }
    ProgramVersion Version() const override { return version_; }

  private:
    std::string name_;
    std::string folder_;
    ProgramVersion version_;
};

// A clock that moves only when told to.
class ManualClock : public IMonotonicClock {
  public:
    explicit ManualClock(float start = 0) : now(start) {}
    float Seconds() const override { return now; }
    float now;
};

// An event loop that advances a ManualClock by a fixed step on every round, so that a wait ends
// after a known number of rounds. onPump runs on each round, before the clock moves.
class SteppingEventPump : public IEventPump {
  public:
    SteppingEventPump(ManualClock& clock, float step) : clock_(clock), step_(step) {}
    void ProcessPendingEvents() override {
        ++rounds;
        if (onPump) {
            onPump();
        }
        clock_.now += step_;
    }
    int rounds = 0;
    std::function<void()> onPump;

  private:
    ManualClock& clock_;
    float step_;
};

}  // namespace velmaro::memory
