// The Linux machine behind the core's seams: a full refresh on the fake desk, what the devices
// carry, and when it looks at sysfs again.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "desk_tree.h"
#include "linux/linux_machine.h"
#include "main_window/port_list_refresh.h"
#include "services/controls.h"
#include "support/fakes.h"

namespace velmaro::linux_backend {
namespace {

using memory::MemoryMachine;
using memory::RawValue;

struct Refreshed {
    PortListModel list;
    bool problemLine = false;
};

Refreshed Refresh(LinuxMachine& machine) {
    testing::RecordingMessageBox messages;
    testing::FakeClipboard clipboard;
    testing::FixedClock clock;
    testing::RecordingPointer pointer;
    const Services services{machine, machine, messages, clipboard, clock, pointer};
    Refreshed out;
    BoxModel listBox(0, 0, 100, 100), headline(0, 0, 100, 10);
    LabelModel lastRefresh, problem(0, 200, 100, 10, "", false);
    LineModel line(0, 300, 100, 300);
    RefreshControls controls{out.list, listBox, lastRefresh, problem, headline, line};
    PortDeviceTable table;
    bool clipboardRequested = false;
    RefreshPortList(services, table, controls, clipboardRequested);
    out.problemLine = problem.Visible();
    EXPECT_TRUE(messages.shown.empty());
    return out;
}

// The descriptions carry the device node; the driverless CP210x is found as on Windows.
TEST(LinuxMachineTest, RefreshListsTheDesk) {
    testing::FakeSysfs sys;
    testing::BuildDesk(sys);
    LinuxMachine machine(sys.Roots());
    const Refreshed refreshed = Refresh(machine);
    struct Row {
        std::string text, description, icon, tag;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> rows;
    for (const PortRow& row : refreshed.list.Rows()) {
        rows.push_back({row.text, row.subItem, row.icon, row.tag});
    }
    EXPECT_EQ(rows,
              (std::vector<Row>{
                  {"COM 1", "Serieller Anschluss [/dev/ttyS0]", "COM", ""},
                  {"COM 5", "USB-Serial Controller [/dev/ttyUSB0]", "USB", ""},
                  {"COM 6", "FT232R USB UART [/dev/ttyUSB1]", "USB", ""},
                  {"COM 7", "Ger\xEF\xBF\xBDt USB Modem [/dev/ttyACM0]", "USB", ""},
                  {"COM 8", "Serielle IrDA-Verbindung [/dev/ircomm0]", "IRDA", ""},
                  {"COM 9", "Serielle Bluetooth-Verbindung [/dev/rfcomm0]", "BT", ""},
                  {"Warnung", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "WARNING", "PROBLEM_CP210X"},
              }));
    EXPECT_TRUE(refreshed.problemLine);
}

constexpr char kPl2303Ids[] = "USB\\VID_067B&PID_2303&REV_0300\0USB\\VID_067B&PID_2303";

RawValue Sz(const std::string& utf8) {
    RawValue value{kRegSz, {utf8.begin(), utf8.end()}};
    value.data.push_back(0);
    return value;
}

RawValue MultiSz(const std::string& joinedWithNuls) {
    RawValue value{kRegMultiSz, {joinedWithNuls.begin(), joinedWithNuls.end()}};
    value.data.push_back(0);
    value.data.push_back(0);
    return value;
}

TEST(LinuxMachineTest, SnapshotBecomesMapAndDevices) {
    SerialPort pl2303{"ttyUSB0",
                      "/dev/ttyUSB0",
                      33,
                      PortKind::UsbSerial,
                      "devices/usb1/1-1/1-1:1.0/ttyUSB0",
                      "pl2303",
                      "usb-serial",
                      UsbIds{0x067B, 0x2303, 0x0300},
                      "devices/usb1/1-1",
                      "Prolific Technology Inc.",
                      "Ger\xC3\xA4t",
                      "",
                      0};
    Snapshot snapshot{{pl2303},
                      {{"1-1", "devices/usb1/1-1", {0x067B, 0x2303, 0x0300}, "", "", "", "pl2303", true},
                       {"1-4", "devices/usb1/1-4", {0x10C4, 0xEA60, std::nullopt}, "", "", "", "", false},
                       {"1-5", "devices/usb1/1-5", {0x0A12, 0x0001, 0x8891}, "", "", "", "btusb", false}}};
    MemoryMachine machine;
    LoadSnapshot(snapshot, machine);

    const RawValue* map = machine.FindValue(kHkeyLocalMachine, kSerialCommPath, "\\Device\\ttyUSB0");
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(*map, Sz("COM33"));

    // The cable with its tty is one Ports device; of the USB devices only those without a tty.
    ASSERT_EQ(machine.Devices().size(), 3u);
    const auto& port = machine.Devices()[0].properties;
    EXPECT_TRUE(machine.Devices()[0].comportInterface);
    EXPECT_EQ(port.at(SPDRP_FRIENDLYNAME), Sz("Ger\xC3\xA4t [/dev/ttyUSB0] (COM33)"));  // UTF-8, not cp1252
    EXPECT_EQ(port.at(SPDRP_HARDWAREID), MultiSz(std::string(kPl2303Ids, sizeof kPl2303Ids - 1)));
    EXPECT_EQ(port.at(SPDRP_CLASS), Sz("Ports"));
    EXPECT_EQ(port.at(SPDRP_CLASSGUID), Sz("{4D36E978-E325-11CE-BFC1-08002BE10318}"));
    EXPECT_EQ(port.at(SPDRP_MFG), Sz("Prolific Technology Inc."));
    EXPECT_EQ(port.at(SPDRP_DRIVER), Sz("pl2303"));
    EXPECT_EQ(port.at(SPDRP_LOCATION_INFORMATION), Sz("/sys/devices/usb1/1-1/1-1:1.0/ttyUSB0"));

    const auto& cp210x = machine.Devices()[1].properties;
    EXPECT_FALSE(machine.Devices()[1].comportInterface);
    EXPECT_EQ(cp210x.at(SPDRP_CLASS), Sz("Unknown"));
    EXPECT_EQ(cp210x.at(SPDRP_CLASSGUID), Sz("{4D36E97E-E325-11CE-BFC1-08002BE10318}"));
    EXPECT_EQ(cp210x.at(SPDRP_HARDWAREID), MultiSz("USB\\VID_10C4&PID_EA60"));
    EXPECT_EQ(cp210x.count(SPDRP_DRIVER), 0u);
    EXPECT_EQ(machine.Devices()[2].properties.at(SPDRP_CLASS), Sz("USB"));
}

TEST(LinuxMachineTest, TextsAreUtf8) {
    LinuxMachine machine([] { return Snapshot{}; }, [] { return std::chrono::steady_clock::time_point{}; });
    EXPECT_EQ(machine.AnsiToUtf8("Ger\xC3\xA4t"), "Ger\xC3\xA4t");
    EXPECT_EQ(machine.Utf8ToAnsi("Ger\xC3\xA4t"), "Ger\xC3\xA4t");
}

// Opening the serial-port map starts a refresh and rescans; a device set asked for more than a
// second after the last scan rescans too; nothing is rescanned under an open key or set.
TEST(LinuxMachineTest, RescansAsARefreshBegins) {
    auto now = std::chrono::steady_clock::time_point{};
    int scans = 0;
    LinuxMachine machine(
        [&] {
            SerialPort port;
            port.kernelName = "ttyS" + std::to_string(scans++);
            port.comNumber = 1;
            return Snapshot{{port}, {}};
        },
        [&] { return now; });
    EXPECT_EQ(machine.ScanCount(), 1);

    RegHandle key = 0;
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0x20019, key), 0);
    EXPECT_EQ(machine.ScanCount(), 2);
    EXPECT_EQ(machine.LastSnapshot().ports.at(0).kernelName, "ttyS1");
    RegHandle again = 0;
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), "hardware\\devicemap\\serialcomm", 0x20019, again), 0);
    EXPECT_EQ(machine.ScanCount(), 2);  // the first key is still open
    machine.CloseKey(again);
    machine.CloseKey(key);

    now += std::chrono::milliseconds(900);
    DevInfoSet set = machine.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    EXPECT_EQ(machine.ScanCount(), 2);
    machine.DestroyDeviceInfoList(set);
    now += std::chrono::milliseconds(1200);
    set = machine.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    EXPECT_EQ(machine.ScanCount(), 3);
    DevInfoData data{kDevInfoDataSize};
    EXPECT_TRUE(machine.EnumDeviceInfo(set, 0, data));
    EXPECT_FALSE(machine.EnumDeviceInfo(set, 1, data));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorNoMoreItems));
    EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
}

TEST(LinuxMachineTest, UsbHardwareIdsAsWindowsWritesThem) {
    EXPECT_EQ(UsbHardwareIds({0x0403, 0x6001, 0x0600}),
              (std::vector<std::string>{"USB\\VID_0403&PID_6001&REV_0600", "USB\\VID_0403&PID_6001"}));
    EXPECT_EQ(UsbHardwareIds({0x0ea0, 0x6858, std::nullopt}), (std::vector<std::string>{"USB\\VID_0EA0&PID_6858"}));
}

}  // namespace
}  // namespace velmaro::linux_backend
