// velmaro-list --watch's stream on a umockdev testbed: cables plugged and unplugged with the
// testbed's uevents, seen through udev's monitor and, without udev, through the polled plain-sysfs
// walk. The JSON form of each line is the lister's (tests/cli).
#include <gtest/gtest.h>
#include <umockdev.h>

#include <signal.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "identity/port_watch.h"
#include "linux/device_changes.h"
#include "linux/linux_machine.h"
#include "main_window/port_list_build.h"
#include "snapshot/port_facts.h"
#include "support/fakes.h"

namespace velmaro::linux_backend {
namespace {

namespace fs = std::filesystem;
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

class PluggingBed {
  public:
    PluggingBed() : bed_(umockdev_testbed_new()) {
        gchar* root = umockdev_testbed_get_root_dir(bed_);
        root_ = root;
        g_free(root);
        fs::create_directories(root_ / "nodes");
    }
    ~PluggingBed() { g_object_unref(bed_); }
    PluggingBed(const PluggingBed&) = delete;
    PluggingBed& operator=(const PluggingBed&) = delete;

    ScanRoots Roots(DeviceSource source) const {
        ScanRoots roots;
        roots.sysfs = source == DeviceSource::Udev ? fs::path("/sys") : root_ / "sys";
        roots.dev = root_ / "nodes";
        roots.source = source;
        roots.proc = root_ / "proc";
        roots.udevRuleDirs = {};
        return roots;
    }

    // A PL2303 cable on USB port 1-n with pl2303 bound and its tty, announced as the kernel does:
    // the USB device first, the tty once the driver made it.
    void Plug(int n, bool announce) {
        const std::string bus = "1-" + std::to_string(n), tty = "ttyUSB" + std::to_string(n);
        const std::string devnum = std::to_string(n), node = "/dev/" + tty;
        Cable cable;
        cable.usb = Add("usb", bus, "", {"idVendor", "067b", "idProduct", "2303", "bcdDevice", "0300", "product",
                                          "USB-Serial Controller", "busnum", "1", "devnum", devnum.c_str()},
                        {"DEVTYPE", "usb_device"});
        if (announce) {
            umockdev_testbed_uevent(bed_, cable.usb.c_str(), "add");
        }
        const std::string intf = Add("usb", bus + ":1.0", cable.usb,
                                     {"bInterfaceNumber", "00", "bInterfaceClass", "ff", "bInterfaceSubClass", "00",
                                      "bInterfaceProtocol", "00"},
                                     {"DEVTYPE", "usb_interface"}, "pl2303");
        const std::string serial = Add("usb-serial", tty, intf, {}, {}, "pl2303");
        cable.tty = Add("tty", tty, serial, {"dev", "188:0"}, {"DEVNAME", node.c_str()});
        umockdev_testbed_set_attribute_link(bed_, cable.tty.c_str(), "device", "..");
        std::ofstream(root_ / "nodes" / tty);
        cable.rest = {cable.tty, serial, intf};
        if (announce) {
            umockdev_testbed_uevent(bed_, cable.tty.c_str(), "add");
        }
        cables_[n] = cable;
    }

    // The tty and the interface go first, then the USB device is announced as removed, and goes.
    void Unplug(int n) {
        const Cable& cable = cables_.at(n);
        for (const std::string& path : cable.rest) {
            umockdev_testbed_remove_device(bed_, path.c_str());
        }
        fs::remove(root_ / "nodes" / ("ttyUSB" + std::to_string(n)));
        umockdev_testbed_uevent(bed_, cable.usb.c_str(), "remove");
        umockdev_testbed_remove_device(bed_, cable.usb.c_str());
    }

  private:
    struct Cable {
        std::string usb, tty;
        std::vector<std::string> rest;  // children first
    };

    std::string Add(const char* subsystem,
                    const std::string& name,
                    const std::string& parent,
                    std::vector<const gchar*> attributes,
                    std::vector<const gchar*> properties,
                    const std::string& driver = "") {
        attributes.push_back(nullptr);
        properties.push_back(nullptr);
        gchar* made = umockdev_testbed_add_devicev(bed_, subsystem, name.c_str(),
                                                   parent.empty() ? nullptr : parent.c_str(),
                                                   const_cast<gchar**>(attributes.data()),
                                                   const_cast<gchar**>(properties.data()));
        const std::string path = made == nullptr ? "" : made;
        g_free(made);
        EXPECT_FALSE(path.empty()) << name;
        if (!driver.empty()) {
            const std::string target = "../../../bus/" + std::string(subsystem) + "/drivers/" + driver;
            umockdev_testbed_set_attribute_link(bed_, path.c_str(), "driver", target.c_str());
        }
        return path;
    }

    UMockdevTestbed* bed_;
    fs::path root_;
    std::map<int, Cable> cables_;
};

// The ports of one refresh of the machine, as the lister's watch takes them.
std::vector<identity::PortIdentity> PortsOf(LinuxMachine& machine) {
    testing::RecordingMessageBox messages;
    testing::FakeClipboard clipboard;
    testing::FixedClock clock;
    testing::RecordingPointer pointer;
    PortDeviceTable table;
    bool clipboardRequested = false;
    machine.Outdate();
    const PortListContent list =
        BuildPortList({machine, machine, messages, clipboard, clock, pointer}, table, clipboardRequested);
    return identity::PortsOfRows(identity::IdentitiesOfRows(list.rows, snapshot::PortFactsOf(machine.Snapshot())));
}

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

}  // namespace
}  // namespace velmaro::linux_backend
