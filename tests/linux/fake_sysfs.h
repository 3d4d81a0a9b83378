#pragma once
// A sysfs, /dev and Wine prefix made of plain files and relative links in a temporary folder,
// laid out as the kernel lays out the real ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "linux/sysfs_scan.h"

namespace velmaro::testing {

namespace fs = std::filesystem;

class FakeSysfs {
  public:
    FakeSysfs() {
        std::random_device random;
        base_ = fs::temp_directory_path() / ("velmaro-sysfs-" + std::to_string(random()));
        fs::create_directories(base_ / "sys" / "class" / "tty");
        fs::create_directories(base_ / "sys" / "bus" / "usb" / "devices");
        fs::create_directories(base_ / "dev");
    }
    ~FakeSysfs() {
        std::error_code ec;
        fs::remove_all(base_, ec);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    linux_backend::ScanRoots Roots(bool withWinePrefix = false) const {
        linux_backend::ScanRoots roots{base_ / "sys", base_ / "dev", std::nullopt};
        if (withWinePrefix) {
            roots.winePrefix = base_ / "wine";
        }
        return roots;
    }

    // A file below sys/ with its bytes as they are.
    void File(const std::string& path, const std::string& bytes) {
        fs::create_directories((Sys() / path).parent_path());
        std::ofstream(Sys() / path, std::ios::binary) << bytes;
    }
    // A link below sys/ to another place below sys/, relative as the kernel writes it.
    void Link(const std::string& path, const std::string& target) {
        fs::create_directories((Sys() / path).parent_path());
        fs::create_directories(Sys() / target);
        fs::create_directory_symlink((Sys() / target).lexically_relative((Sys() / path).parent_path()), Sys() / path);
    }
    void DevNodes(const std::string& prefix, int count) {
        for (int n = 0; n < count; ++n) {
            std::ofstream(base_ / "dev" / (prefix + std::to_string(n)));
        }
    }
    void DevLink(const std::string& path, const std::string& target) {
        fs::create_directories((base_ / "dev" / path).parent_path());
        fs::create_symlink(target, base_ / "dev" / path);
    }
    void WineLink(const std::string& name, const std::string& target) {
        fs::create_directories(base_ / "wine" / "dosdevices");
        fs::create_symlink(target, base_ / "wine" / "dosdevices" / name);
    }

    // A USB device below the first root hub; returns its sysfs path.
    std::string UsbDevice(const std::string& name,
                          const std::string& vid,
                          const std::string& pid,
                          const std::string& bcd,
                          const std::string& manufacturer,
                          const std::string& product) {
        const std::string dir = "devices/pci0000:00/0000:00:14.0/usb1/" + name;
        File(dir + "/idVendor", vid + "\n");
        File(dir + "/idProduct", pid + "\n");
        File(dir + "/bcdDevice", bcd + "\n");
        if (!manufacturer.empty()) {
            File(dir + "/manufacturer", manufacturer + "\n");
        }
        File(dir + "/product", product + "\n");
        Link("bus/usb/devices/" + name, dir);
        return dir;
    }
    // Interface 0 of a USB device, with its driver when one is bound.
    std::string UsbInterface(const std::string& device, const std::string& name, const std::string& driver) {
        const std::string dir = device + "/" + name;
        File(dir + "/bInterfaceNumber", "00\n");
        if (!driver.empty()) {
            Link(dir + "/driver", "bus/usb/drivers/" + driver);
        }
        Link("bus/usb/devices/" + name, dir);
        return dir;
    }
    // A bus device with its subsystem and driver links.
    void BusDevice(const std::string& dir, const std::string& bus, const std::string& driver) {
        Link(dir + "/subsystem", "bus/" + bus);
        if (!driver.empty()) {
            Link(dir + "/driver", "bus/" + bus + "/drivers/" + driver);
        }
    }
    // A tty class device below parent (none: a virtual terminal), with the UART type when given.
    void Tty(const std::string& name, const std::string& parent, const std::string& type = "") {
        const std::string dir = (parent.empty() ? "devices/virtual/tty" : parent + "/tty") + "/" + name;
        File(dir + "/dev", "188:0\n");
        if (!parent.empty()) {
            Link(dir + "/device", parent);
        }
        if (!type.empty()) {
            File(dir + "/type", type + "\n");
        }
        Link("class/tty/" + name, dir);
    }

    fs::path Sys() const { return base_ / "sys"; }

  private:
    fs::path base_;
};

}  // namespace velmaro::testing
