// velmaro-list --watch's stream on a umockdev testbed: cables plugged and unplugged with the
// testbed's uevents, seen through udev's monitor and, without udev, through the polled plain-sysfs
// walk. The JSON form of each line is the lister's (tests/cli).
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "identity/port_watch.h"
#include "linux/device_changes.h"
#include "plugging_bed.h"

namespace velmaro::linux_backend {
namespace {

using namespace std::chrono_literals;

// The lines of a watch running in a thread of its own, as "event path".
class WatchLines {
  public:
    void Add(std::string line) {
        const std::lock_guard lock(mutex_);
        lines_.push_back(std::move(line));
        grew_.notify_all();
    }
    // The lines once there are count of them, or when the time is up.
    std::vector<std::string> Await(std::size_t count, std::chrono::milliseconds within) {
        std::unique_lock lock(mutex_);
        grew_.wait_for(lock, within, [&] { return lines_.size() >= count; });
        return lines_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable grew_;
    std::vector<std::string> lines_;
};

// Plugged, unplugged, unplugged: exactly these lines in this order, each within the time a wake
// takes (a notification; the poll without udev), well before the next recheck of the clock.
TEST(UdevWatch, PlugAndUnplug) {
    const struct {
        const char* name;
        DeviceSource source;
        bool notifies;
        std::chrono::milliseconds within;
    } cases[] = {
        {"udev's monitor", DeviceSource::Udev, true, 1000ms},
        {"plain sysfs, polled", DeviceSource::Sysfs, false, 2000ms},
    };
    for (const auto& c : cases) {
        PluggingBed bed;
        bed.Plug(0, false);
        const ScanRoots roots = bed.Roots(c.source);
        LinuxMachine machine([&] { return ScanMachine(roots); }, [] { return std::chrono::steady_clock::now(); });
        LinuxDeviceChanges changes(c.notifies ? UdevMonitor::Open() : nullptr);
        ASSERT_EQ(changes.Notifies(), c.notifies) << c.name;
        WatchLines lines;
        bool stopped = false;
        std::thread watch([&] {
            stopped = identity::RunWatch(changes, [&] { return PortsOf(machine); },
                                         [&](std::string_view event, const identity::PortIdentity* port) {
                                             lines.Add(std::string(event) + (port ? " " + port->path : ""));
                                             return true;
                                         });
        });
        std::vector<std::string> expected = {"add /dev/ttyUSB0", "synced"};
        EXPECT_EQ(lines.Await(expected.size(), c.within), expected) << c.name;
        bed.Plug(1, true);
        expected.push_back("add /dev/ttyUSB1");
        EXPECT_EQ(lines.Await(expected.size(), c.within), expected) << c.name;
        // Unplugged in this order, no port is renumbered (ttyUSB1 would take COM 1 by Wine's rule).
        for (int n : {1, 0}) {
            bed.Unplug(n);
            expected.push_back("remove /dev/ttyUSB" + std::to_string(n));
            EXPECT_EQ(lines.Await(expected.size(), c.within), expected) << c.name;
        }
        raise(SIGINT);
        watch.join();
        EXPECT_TRUE(stopped) << c.name;
        EXPECT_EQ(lines.Await(expected.size() + 1, 0ms), expected) << c.name;
    }
}

// The output of a program run in the testbed (it inherits umockdev's preload library).
std::string OutputOf(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, n);
        }
        output += "exit " + std::to_string(pclose(pipe));
    }
    return output;
}

// velmaro-list itself on the testbed's cables: it lists them, and its --json is a valid document of
// the published schema (tests/cli/check_cli.py's check).
TEST(UdevLister, ListsTheCablesInSchema) {
    PluggingBed bed;
    bed.Plug(0, false);
    bed.Plug(1, false);
    EXPECT_EQ(OutputOf(std::string(VELMARO_LIST) + " --field node"), "/dev/ttyUSB0\n/dev/ttyUSB1\nexit 0");
    EXPECT_EQ(OutputOf(std::string(VELMARO_PYTHON " " VELMARO_CLI_CHECK " schema ") + VELMARO_LIST +
                       " " VELMARO_LIST_SCHEMA),
              "exit 0");
}

}  // namespace
}  // namespace velmaro::linux_backend
