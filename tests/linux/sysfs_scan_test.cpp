// The sysfs walk on fake trees: which ttys are ports, what is read about them, and that broken
// trees give a clean list.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "desk_tree.h"
#include "linux/sysfs_scan.h"

namespace velmaro::linux_backend {
namespace {

using testing::BuildDesk;
using testing::FakeSysfs;

struct CleanCase {
    const char* name;
    std::string bytes;
    std::string expected;
};

class CleanTextTest : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanTextTest, GivesValidUtf8WithoutControls) {
    EXPECT_EQ(CleanText(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bytes,
                         CleanTextTest,
                         ::testing::Values(CleanCase{"LineFeedOfSysfs", "Prolific\n", "Prolific"},
                                           CleanCase{"Utf8Kept", "Ger\xC3\xA4t", "Ger\xC3\xA4t"},
                                           CleanCase{"Latin1Byte", "Ger\xE4t", "Ger\xEF\xBF\xBDt"},
                                           CleanCase{"ControlsDropped", "a\x01\tb\x7F", "ab"},
                                           CleanCase{"C1ControlDropped", "a\xC2\x85z", "az"},
                                           CleanCase{"Overlong", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
                                           CleanCase{"Surrogate", "\xED\xA0\x80",
                                                     "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                                           CleanCase{"CutSequence", "x\xE2\x82", "x\xEF\xBF\xBD\xEF\xBF\xBD"},
                                           CleanCase{"BlanksTrimmed", "  FT232R  \n", "FT232R"},
                                           CleanCase{"OnlyControls", "\n\r", ""}),
                         [](const auto& info) { return info.param.name; });

struct PortCase {
    const char* kernelName;
    int comNumber;
    PortKind kind;
    const char* driver;
    const char* subsystem;
    std::optional<UsbIds> usb;
    const char* product;
    const char* manufacturer;
};

void ExpectPorts(const Snapshot& snapshot, const std::vector<PortCase>& expected) {
    ASSERT_EQ(snapshot.ports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SerialPort& port = snapshot.ports[i];
        const PortCase& want = expected[i];
        SCOPED_TRACE(want.kernelName);
        EXPECT_EQ(port.kernelName, want.kernelName);
        EXPECT_EQ(port.deviceNode, std::string("/dev/") + want.kernelName);
        EXPECT_EQ(port.comNumber, want.comNumber);
        EXPECT_EQ(port.kind, want.kind);
        EXPECT_EQ(port.driver, want.driver);
        EXPECT_EQ(port.subsystem, want.subsystem);
        EXPECT_EQ(port.usb, want.usb);
        EXPECT_EQ(port.product, want.product);
        EXPECT_EQ(port.manufacturer, want.manufacturer);
    }
}

// ttyS1-3 have no UART and tty0 no device: neither is a port. Wine counts the four ttyS nodes of
// /dev, so the cables start at COM5; the IrDA and rfcomm ports follow in name order.
TEST(SysfsScanTest, DeskPortsAndWineNumbers) {
    FakeSysfs sys;
    BuildDesk(sys);
    ExpectPorts(ScanMachine(sys.Roots()),
                {
                    {"ircomm0", 8, PortKind::Irda, "", "", std::nullopt, "", ""},
                    {"rfcomm0", 9, PortKind::Bluetooth, "", "bluetooth", std::nullopt, "", ""},
                    {"ttyACM0", 7, PortKind::UsbAcm, "cdc_acm", "usb", UsbIds{0x0572, 0x1329, 0x0100},
                     "Ger\xEF\xBF\xBDt USB Modem", "Conexant"},
                    {"ttyS0", 1, PortKind::Uart, "serial", "pnp", std::nullopt, "", ""},
                    {"ttyUSB0", 5, PortKind::UsbSerial, "pl2303", "usb-serial", UsbIds{0x067B, 0x2303, 0x0300},
                     "USB-Serial Controller", "Prolific Technology Inc."},
                    {"ttyUSB1", 6, PortKind::UsbSerial, "ftdi_sio", "usb-serial", UsbIds{0x0403, 0x6001, 0x0600},
                     "FT232R USB UART", ""},
                });
}

// com3 takes ttyUSB1 (by its by-id name) and com8 a cable that is not plugged in; both numbers
// stay taken, the runs fill 1, 2, 4, 5, 6, 7 and the others follow at 9 and 10. Non-COM entries are
// no mappings.
TEST(SysfsScanTest, WinePrefixLinksWin) {
    FakeSysfs sys;
    BuildDesk(sys);
    sys.DevLink("serial/by-id/usb-FTDI_FT232R-if00-port0", "../../ttyUSB1");
    sys.WineLink("com3", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    sys.WineLink("com8", "/dev/ttyUSB7");
    sys.WineLink("c:", "../drive_c");
    sys.WineLink("com", "/dev/ttyUSB0");
    const Snapshot snapshot = ScanMachine(sys.Roots(true));
    std::vector<std::pair<std::string, int>> numbers;
    for (const SerialPort& port : snapshot.ports) {
        numbers.emplace_back(port.kernelName, port.comNumber);
    }
    EXPECT_EQ(numbers,
              (std::vector<std::pair<std::string, int>>{
                  {"ircomm0", 9}, {"rfcomm0", 10}, {"ttyACM0", 7}, {"ttyS0", 1}, {"ttyUSB0", 6}, {"ttyUSB1", 3}}));
}

TEST(SysfsScanTest, UsbDevicesWithTheirDriversAndTtys) {
    FakeSysfs sys;
    BuildDesk(sys);
    struct Row {
        std::string name;
        UsbIds ids;
        std::string driver;
        bool ttyBound;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> rows;
    for (const UsbDevice& device : ScanMachine(sys.Roots()).usbDevices) {
        rows.push_back({device.name, device.ids, device.driver, device.ttyBound});
    }
    EXPECT_EQ(rows, (std::vector<Row>{
                        {"1-1", {0x067B, 0x2303, 0x0300}, "pl2303", true},
                        {"1-2", {0x0403, 0x6001, 0x0600}, "ftdi_sio", true},
                        {"1-3", {0x0572, 0x1329, 0x0100}, "cdc_acm", true},
                        {"1-4", {0x10C4, 0xEA60, 0x0100}, "", false},
                        {"1-5", {0x0A12, 0x0001, 0x8891}, "btusb", false},
                    }));
}

// Links into nothing (a device unplugged mid-walk), a garbled vendor ID and a missing sysfs.
TEST(SysfsScanTest, BrokenTreesGiveACleanList) {
    FakeSysfs sys;
    sys.BusDevice("devices/pnp0/00:01", "pnp", "serial");
    sys.Tty("ttyS0", "devices/pnp0/00:01", "4");
    std::filesystem::create_directory_symlink("../../devices/gone/tty/ttyUSB3", sys.Sys() / "class/tty/ttyUSB3");
    std::filesystem::create_directory_symlink("../../../devices/gone/1-9", sys.Sys() / "bus/usb/devices/1-9");
    sys.UsbDevice("1-7", "zz\xFF", "2303", "0300", "", "Broken");
    const Snapshot snapshot = ScanMachine(sys.Roots());
    ASSERT_EQ(snapshot.ports.size(), 1u);
    EXPECT_EQ(snapshot.ports[0].kernelName, "ttyS0");
    EXPECT_EQ(snapshot.ports[0].comNumber, 1);  // no /dev node: numbered after the runs
    EXPECT_TRUE(snapshot.usbDevices.empty());

    const Snapshot none = ScanMachine({sys.Sys() / "no-such-sysfs", sys.Sys() / "no-such-dev", std::nullopt});
    EXPECT_TRUE(none.ports.empty());
    EXPECT_TRUE(none.usbDevices.empty());
}

}  // namespace
}  // namespace velmaro::linux_backend
