// The sysfs walk on fake trees: which ttys are ports, what is read about them, and that broken
// trees give a clean list.
#include <gtest/gtest.h>

#include <tuple>

#include "fake_sysfs.h"

namespace velmaro::linux_backend {
namespace {

TEST(SysfsScan, CleanText) {
    const std::pair<const char*, const char*> cases[] = {
        {"  Prolific \n", "Prolific"},               // sysfs ends values with a line feed
        {"Ger\xC3\xA4t", "Ger\xC3\xA4t"},            // UTF-8 kept
        {"Ger\xE4t", "Ger\xEF\xBF\xBDt"},            // Latin-1 byte
        {"a\x01\tb\x7F\xC2\x85z", "abz"},            // C0, DEL and C1 controls dropped
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},    // overlong
        {"x\xE2\x82", "x\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(CleanText(bytes), expected) << bytes;
    }
}

// ttyS1-3 have no UART and tty0 no device: neither is a port. The FTDI maker cannot be read.
// Names, nodes and products show in the refresh of the desk.
TEST(SysfsScan, DeskPorts) {
    testing::FakeSysfs sys;
    sys.BuildDesk();
    const Snapshot snapshot = ScanMachine(sys.Roots());
    using Port = std::tuple<std::string, PortKind, std::string, std::string, std::optional<UsbIds>, std::string>;
    std::vector<Port> ports;
    for (const SerialPort& p : snapshot.ports) {
        ports.emplace_back(p.kernelName, p.kind, p.driver, p.subsystem, p.usb, p.manufacturer);
    }
    EXPECT_EQ(ports, (std::vector<Port>{
                         {"ircomm0", PortKind::Irda, "", "", std::nullopt, ""},
                         {"rfcomm0", PortKind::Bluetooth, "", "bluetooth", std::nullopt, ""},
                         {"ttyACM0", PortKind::UsbAcm, "cdc_acm", "usb", UsbIds{0x0572, 0x1329, 0x0100}, "Conexant"},
                         {"ttyS0", PortKind::Uart, "serial", "pnp", std::nullopt, ""},
                         {"ttyUSB0", PortKind::UsbSerial, "pl2303", "usb-serial", UsbIds{0x067B, 0x2303, 0x0300},
                          "Prolific Technology Inc."},
                         {"ttyUSB1", PortKind::UsbSerial, "ftdi_sio", "usb-serial", UsbIds{0x0403, 0x6001, 0x0600}, ""},
                     }));
}

// Links into nothing (a device unplugged mid-walk), a garbled vendor ID and a missing sysfs.
TEST(SysfsScan, BrokenTreesGiveACleanList) {
    testing::FakeSysfs sys;
    sys.BusDevice("devices/pnp0/00:01", "pnp", "serial");
    sys.Tty("ttyS0", "devices/pnp0/00:01", "4");
    sys.Symlink("sys/class/tty/ttyUSB3", "../../devices/gone/tty/ttyUSB3");
    sys.Symlink("sys/bus/usb/devices/1-9", "../../../devices/gone/1-9");
    sys.Usb({"1-7", "zz\xFF", "2303", "0300", "", "Broken"}, "pl2303");
    const Snapshot snapshot = ScanMachine(sys.Roots());
    ASSERT_EQ(snapshot.ports.size(), 1u);
    EXPECT_EQ(snapshot.ports[0].kernelName, "ttyS0");
    EXPECT_EQ(snapshot.ports[0].comNumber, 1);  // no /dev node: numbered after the runs
    EXPECT_TRUE(snapshot.usbDevices.empty());

    const Snapshot none = ScanMachine({sys.Sys() / "no-such-sysfs", sys.Sys() / "no-such-dev", std::nullopt});
    EXPECT_TRUE(none.ports.empty() && none.usbDevices.empty());
}

}  // namespace
}  // namespace velmaro::linux_backend
