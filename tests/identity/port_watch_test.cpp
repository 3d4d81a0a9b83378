#include <gtest/gtest.h>

#include <deque>

#include "identity/port_watch.h"

namespace velmaro::identity {
namespace {

using Wake = IDeviceChanges::Wake;

// Wakes as scripted, noting each timeout asked for; stops once the script is used up.
class ScriptedChanges : public IDeviceChanges {
  public:
    ScriptedChanges(std::deque<Wake> wakes, bool notifies) : wakes_(std::move(wakes)), notifies_(notifies) {}
    bool Notifies() const override { return notifies_; }
    Wake Wait(std::chrono::milliseconds timeout) override {
        timeouts.push_back(timeout);
        if (wakes_.empty()) {
            return Wake::Stop;
        }
        const Wake wake = wakes_.front();
        wakes_.pop_front();
        return wake;
    }
    std::vector<std::chrono::milliseconds> timeouts;

  private:
    std::deque<Wake> wakes_;
    bool notifies_;
};

PortIdentity Port(const char* path, std::vector<ProblemCode> problems = {}) {
    PortIdentity port;
    port.path = path;
    port.problems = std::move(problems);
    return port;
}

TEST(PortWatch, EventsFollowTheLooks) {
    const PortIdentity a = Port("/dev/ttyS0"), b = Port("/dev/ttyUSB0"), c = Port("/dev/ttyACM0");
    const PortIdentity bBusy = Port("/dev/ttyUSB0", {ProblemCode::PortBusy});
    using Looks = std::vector<std::vector<PortIdentity>>;
    using Lines = std::vector<std::string>;
    struct Case {
        const char* name;
        std::deque<Wake> wakes;
        Looks looks;  // the first before "synced", then one per wake that is no stop
        Lines lines;
        std::size_t writableLines = 100;  // the lines written before the output fails
        bool stopped = true;
        bool notifies = true;
    };
    const Case cases[] = {
        {"nothing plugged, stopped at once", {}, {{}}, {"synced"}},
        {"polled", {Wake::Quiet}, {{}, {a}}, {"synced", "add /dev/ttyS0"}, 100, true, false},
        {"plugged, unplugged, a quiet look",
         {Wake::Changed, Wake::Changed, Wake::Quiet},
         {{a}, {a, b}, {a}, {a}},
         {"add /dev/ttyS0", "synced", "add /dev/ttyUSB0", "remove /dev/ttyUSB0"}},
        {"a problem found by the clock",
         {Wake::Quiet, Wake::Quiet},
         {{a, b}, {a, bBusy}, {a, b}},
         {"add /dev/ttyS0", "add /dev/ttyUSB0", "synced", "change /dev/ttyUSB0", "change /dev/ttyUSB0"}},
        {"two at once", {Wake::Changed}, {{a}, {a, c, b}}, {"add /dev/ttyS0", "synced", "add /dev/ttyACM0", "add /dev/ttyUSB0"}},
        {"output fails before synced", {Wake::Changed}, {{a, b}}, {"add /dev/ttyS0"}, 1, false},
        {"output fails on an event", {Wake::Changed, Wake::Changed}, {{}, {a, b}}, {"synced", "add /dev/ttyS0"}, 2, false},
    };
    for (const Case& c : cases) {
        ScriptedChanges changes(c.wakes, c.notifies);
        std::size_t look = 0;
        Lines lines;
        const bool stopped = RunWatch(
            changes, [&] { return c.looks.at(look++); },
            [&](std::string_view event, const PortIdentity* port) {
                lines.push_back(std::string(event) + (port ? " " + port->path : ""));
                return lines.size() < c.writableLines + 1;
            });
        if (!stopped) {
            lines.pop_back();  // the line that failed
        }
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(stopped, c.stopped) << c.name;
        if (stopped) {
            EXPECT_EQ(look, c.looks.size()) << c.name;
            // A look at least as often as the window refreshes; twice a second without notifications.
            const auto recheck = std::chrono::milliseconds(c.notifies ? 1500 : 500);
            EXPECT_EQ(changes.timeouts, std::vector(c.wakes.size() + 1, recheck)) << c.name;
        }
    }
}

}  // namespace
}  // namespace velmaro::identity
