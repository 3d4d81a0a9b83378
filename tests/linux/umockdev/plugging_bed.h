#pragma once
// A umockdev testbed where PL2303 cables are plugged and unplugged with their uevents, and the
// ports a refresh of it lists; for the watch test and the watch benchmark. Needs umockdev's preload
// library (umockdev-wrapper).
#include <umockdev.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "identity/port_events.h"
#include "linux/linux_machine.h"
#include "main_window/port_list_build.h"
#include "snapshot/port_facts.h"
#include "support/fakes.h"

namespace velmaro::linux_backend {

class PluggingBed {
  public:
    PluggingBed() : bed_(umockdev_testbed_new()) {
        gchar* root = umockdev_testbed_get_root_dir(bed_);
        root_ = root;
        g_free(root);
        std::filesystem::create_directories(root_ / "nodes");
    }
    ~PluggingBed() { g_object_unref(bed_); }
    PluggingBed(const PluggingBed&) = delete;
    PluggingBed& operator=(const PluggingBed&) = delete;

    ScanRoots Roots(DeviceSource source) const {
        ScanRoots roots;
        roots.sysfs = source == DeviceSource::Udev ? std::filesystem::path("/sys") : root_ / "sys";
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
            lastUevent_ = std::chrono::steady_clock::now();
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
        std::filesystem::remove(root_ / "nodes" / ("ttyUSB" + std::to_string(n)));
        lastUevent_ = std::chrono::steady_clock::now();
        umockdev_testbed_uevent(bed_, cable.usb.c_str(), "remove");
        umockdev_testbed_remove_device(bed_, cable.usb.c_str());
    }

    // When the last uevent of the last Plug or Unplug went out: the one that makes or ends the port.
    std::chrono::steady_clock::time_point LastUevent() const { return lastUevent_; }

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
        if (path.empty()) {
            throw std::runtime_error("umockdev could not add " + name);
        }
        if (!driver.empty()) {
            const std::string target = "../../../bus/" + std::string(subsystem) + "/drivers/" + driver;
            umockdev_testbed_set_attribute_link(bed_, path.c_str(), "driver", target.c_str());
        }
        return path;
    }

    UMockdevTestbed* bed_;
    std::filesystem::path root_;
    std::map<int, Cable> cables_;
    std::chrono::steady_clock::time_point lastUevent_{};
};

// The ports of one refresh of the machine, as the lister's watch takes them.
inline std::vector<identity::PortIdentity> PortsOf(LinuxMachine& machine) {
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

}  // namespace velmaro::linux_backend
