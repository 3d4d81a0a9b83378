#include "guidance/wait_seconds.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "memory/memory_program.h"

namespace velmaro {
namespace {

using memory::ManualClock;
using memory::SteppingEventPump;

struct WaitCase {
    float start;
    float step;
    float seconds;
    int rounds;
};

TEST(WaitSeconds, RoundsUntilStrictlyMoreTimeHasPassed) {
    const WaitCase cases[] = {
        {0, 0.25f, 1.0f, 5},    // 1.0 equals the mark and keeps waiting
        {0, 0.5f, 1.0f, 3},     // 0.5, 1.0, 1.5
        {0, 0.3f, 1.0f, 4},     // 0.3, 0.6, 0.9, 1.2
        {100, 0.25f, 1.0f, 5},  // the clock's origin does not matter
        {0, 5.0f, 1.0f, 1},     // events are handed over at least once
        {0, 0.125f, 0.0f, 1},   // no wait still pumps once
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.start << " + " << c.step << " x n > " << c.seconds);
        ManualClock clock(c.start);
        SteppingEventPump pump(clock, c.step);
        WaitSeconds(clock, pump, c.seconds);
        EXPECT_EQ(pump.rounds, c.rounds);
    }
}

// A clock whose reads are counted and that throws from a chosen read on.
class FailingClock : public IMonotonicClock {
  public:
    explicit FailingClock(int failFromRead) : failFromRead_(failFromRead) {}
    float Seconds() const override {
        ++reads;
        if (reads >= failFromRead_) {
            throw std::runtime_error("clock");
        }
        return 0;
    }
    mutable int reads = 0;

  private:
    int failFromRead_;
};

class CountingPump : public IEventPump {
  public:
    void ProcessPendingEvents() override { ++rounds; }
    int rounds = 0;
};

TEST(WaitSeconds, ClockFailingAtTheStartEndsTheWait) {
    FailingClock clock(1);
    CountingPump pump;
    EXPECT_NO_THROW(WaitSeconds(clock, pump, 1.0f));
    EXPECT_EQ(pump.rounds, 0);
}

TEST(WaitSeconds, ClockFailingLaterEndsTheWait) {
    FailingClock clock(4);  // the start and two rounds read fine; the time stands still meanwhile
    CountingPump pump;
    EXPECT_NO_THROW(WaitSeconds(clock, pump, 1.0f));
    EXPECT_EQ(pump.rounds, 3);
    EXPECT_EQ(clock.reads, 4);
}

class ThrowingPump : public IEventPump {
  public:
    void ProcessPendingEvents() override { throw std::runtime_error("window gone"); }
};

TEST(WaitSeconds, FailingEventLoopEndsTheWait) {
    ManualClock clock;
    ThrowingPump pump;
    EXPECT_NO_THROW(WaitSeconds(clock, pump, 1.0f));
}

}  // namespace
}  // namespace velmaro
