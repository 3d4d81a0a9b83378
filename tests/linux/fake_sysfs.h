#pragma once
// A sysfs, /dev and Wine prefix made of plain files and relative links in a temporary folder,
// laid out as the kernel lays out the real ones, and the desk most tests look at.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "linux/sysfs_scan.h"

namespace velmaro::testing {

namespace fs = std::filesystem;

struct UsbSpec {
    std::string name, vid, pid, bcd, manufacturer, product;
};

class FakeSysfs {
  public:
    FakeSysfs() : base_(fs::temp_directory_path() / ("velmaro-sysfs-" + std::to_string(std::random_device()()))) {
        fs::create_directories(base_ / "dev");
    }
    ~FakeSysfs() {
        std::error_code ec;
        fs::remove_all(base_, ec);
    }

    linux_backend::ScanRoots Roots(bool withWinePrefix = false) const {
        return {Sys(), base_ / "dev", withWinePrefix ? std::optional(base_ / "wine") : std::nullopt};
    }
    fs::path Sys() const { return base_ / "sys"; }

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
    // A link anywhere below the temporary folder ("dev/...", "wine/dosdevices/com5"), target as given.
    void Symlink(const std::string& path, const std::string& target) {
        fs::create_directories((base_ / path).parent_path());
        fs::create_symlink(target, base_ / path);
    }

    // A USB device below the first root hub with its interface 0 and that one's driver, if any;
    // returns the interface's sysfs path.
    std::string Usb(const UsbSpec& usb, const std::string& driver) {
        const std::string dir = "devices/pci0000:00/0000:00:14.0/usb1/" + usb.name;
        File(dir + "/idVendor", usb.vid + "\n");
        File(dir + "/idProduct", usb.pid + "\n");
        File(dir + "/bcdDevice", usb.bcd + "\n");
        if (!usb.manufacturer.empty()) {
            File(dir + "/manufacturer", usb.manufacturer + "\n");
        }
        File(dir + "/product", usb.product + "\n");
        Link("bus/usb/devices/" + usb.name, dir);
        const std::string intf = dir + "/" + usb.name + ":1.0";
        if (!driver.empty()) {
            Link(intf + "/driver", "bus/usb/drivers/" + driver);
        }
        Link("bus/usb/devices/" + usb.name + ":1.0", intf);
        return intf;
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
    // One desk: a real UART and three placeholders (type 0), a PL2303 and an FTDI cable whose
    // maker's name cannot be read, an ACM modem whose product string is Latin-1, a CP210x without
    // driver, a Bluetooth dongle with an rfcomm port, an IrDA port and a virtual terminal.
    void BuildDesk() {
        BusDevice("devices/pnp0/00:01", "pnp", "serial");
        Tty("ttyS0", "devices/pnp0/00:01", "4");
        BusDevice("devices/platform/serial8250", "platform", "serial8250");
        for (const char* name : {"ttyS1", "ttyS2", "ttyS3"}) {
            Tty(name, "devices/platform/serial8250", "0");
        }
        DevNodes("ttyS", 4);
        const std::string pl2303 =
            Usb({"1-1", "067b", "2303", "0300", "Prolific Technology Inc.", "USB-Serial Controller"}, "pl2303");
        BusDevice(pl2303 + "/ttyUSB0", "usb-serial", "pl2303");
        Tty("ttyUSB0", pl2303 + "/ttyUSB0");
        const std::string ftdi = Usb({"1-2", "0403", "6001", "0600", "", "FT232R USB UART"}, "ftdi_sio");
        File(fs::path(ftdi).parent_path().string() + "/manufacturer/unreadable", "");  // a folder: reading fails
        BusDevice(ftdi + "/ttyUSB1", "usb-serial", "ftdi_sio");
        Tty("ttyUSB1", ftdi + "/ttyUSB1");
        DevNodes("ttyUSB", 2);
        const std::string modem = Usb({"1-3", "0572", "1329", "0100", "Conexant", "Ger\xE4t USB Modem"}, "cdc_acm");
        BusDevice(modem, "usb", "");  // its driver link comes with the interface
        Tty("ttyACM0", modem);
        DevNodes("ttyACM", 1);
        Usb({"1-4", "10c4", "ea60", "0100", "Silicon Labs", "CP2102 USB to UART Bridge"}, "");
        const std::string dongle = Usb({"1-5", "0a12", "0001", "8891", "", "CSR8510 A10"}, "btusb");
        BusDevice(dongle + "/bluetooth/hci0", "bluetooth", "");
        Tty("rfcomm0", dongle + "/bluetooth/hci0");
        Tty("ircomm0", "");
        Tty("tty0", "");
    }

  private:
    fs::path base_;
};

}  // namespace velmaro::testing
