// The time from a uevent to velmaro-list --watch's line: a umockdev testbed with one cable plugged,
// a second one plugged and unplugged again and again, each announced through the testbed's netlink
// emulation; the watch (udev's monitor, the core's loop, the lister's JSON line) runs in a thread and
// writes its lines into a pipe, which this thread reads and times. Not a test: it prints figures.
//   watch_latency [CYCLES]     (runs itself under umockdev-wrapper when not already)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>

#include "identity/port_watch.h"
#include "linux/device_changes.h"
#include "plugging_bed.h"
#include "render.h"

namespace {

using namespace velmaro;
using Clock = std::chrono::steady_clock;

// The next line from the pipe, or "" at its end.
std::string ReadLine(int fd) {
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1) {
        if (c == '\n') {
            return line;
        }
        line += c;
    }
    return line;
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * static_cast<double>(ms.size() - 1))]; };
    std::printf("%-8s n=%zu  min %.2f ms  median %.2f ms  p95 %.2f ms  max %.2f ms\n", what, ms.size(), ms.front(),
                at(0.5), at(0.95), ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "umockdev") == nullptr) {
        std::vector<char*> wrapped = {const_cast<char*>("umockdev-wrapper")};
        wrapped.insert(wrapped.end(), argv, argv + argc);
        wrapped.push_back(nullptr);
        execvp(wrapped[0], wrapped.data());
        std::perror("watch_latency: umockdev-wrapper");
        return 2;
    }
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 50;
    linux_backend::PluggingBed bed;
    bed.Plug(0, false);
    const linux_backend::ScanRoots roots = bed.Roots(linux_backend::DeviceSource::Udev);
    linux_backend::LinuxMachine machine([&] { return linux_backend::ScanMachine(roots); },
                                        [] { return Clock::now(); });
    linux_backend::LinuxDeviceChanges changes(linux_backend::UdevMonitor::Open());
    if (!changes.Notifies()) {
        std::fprintf(stderr, "watch_latency: no udev monitor in the testbed\n");
        return 1;
    }
    int lines[2];
    if (pipe(lines) != 0) {
        return 1;
    }
    std::thread watch([&] {
        identity::RunWatch(changes, [&] { return linux_backend::PortsOf(machine); },
                           [&](std::string_view event, const identity::PortIdentity* port) {
                               const std::string line = cli::RenderEvent(event, port);
                               return write(lines[1], line.data(), line.size()) == static_cast<ssize_t>(line.size());
                           });
        close(lines[1]);
    });
    while (ReadLine(lines[0]).find("synced") == std::string::npos) {
    }
    std::vector<double> added, removed;
    for (int i = 0; i < cycles; ++i) {
        for (bool plug : {true, false}) {
            if (plug) {
                bed.Plug(1, true);
            } else {
                bed.Unplug(1);
            }
            const std::string line = ReadLine(lines[0]);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - bed.LastUevent()).count();
            if (line.find(plug ? "\"add\"" : "\"remove\"") == std::string::npos) {
                std::fprintf(stderr, "watch_latency: unexpected line %s\n", line.c_str());
                return 1;
            }
            (plug ? added : removed).push_back(ms);
        }
    }
    raise(SIGINT);
    watch.join();
    close(lines[0]);
    Report("add", added);
    Report("remove", removed);
    return 0;
}
