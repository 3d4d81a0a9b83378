// The Linux machine behind the core's seams: a full refresh on the fake desk, what the devices
// carry, and when it looks at sysfs again.
#include <gtest/gtest.h>

#include <map>

#include "common/win_codes.h"
#include "fake_sysfs.h"
#include "linux/linux_machine.h"
#include "main_window/port_list_refresh.h"
#include "services/controls.h"
#include "support/fakes.h"

namespace velmaro::linux_backend {
namespace {

using memory::RawValue;
using Row = std::tuple<std::string, std::string, std::string, std::string>;  // text, description, icon, tag

// Without a prefix Wine counts the four ttyS nodes, so the cables start at COM5; IrDA and rfcomm
// follow in name order. With one, com3 takes ttyUSB1 by its by-id name and com8 a cable that is not
// plugged in; both numbers stay taken. The driverless CP210x is found as on Windows.
TEST(LinuxMachine, RefreshListsTheDesk) {
    const struct {
        bool winePrefix;
        int ttyS0, ttyUSB0, ttyUSB1, ttyACM0, ircomm0, rfcomm0;
    } cases[] = {{false, 1, 5, 6, 7, 8, 9}, {true, 1, 6, 3, 7, 9, 10}};
    for (const auto& c : cases) {
        testing::FakeSysfs sys;
        sys.BuildDesk();
        sys.Symlink("dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "../../ttyUSB1");
        sys.Symlink("wine/dosdevices/com3", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
        sys.Symlink("wine/dosdevices/com8", "/dev/ttyUSB7");
        sys.Symlink("wine/dosdevices/c:", "../drive_c");
        LinuxMachine machine(sys.Roots(c.winePrefix));
        testing::RecordingMessageBox messages;
        testing::FakeClipboard clipboard;
        testing::FixedClock clock;
        testing::RecordingPointer pointer;
        PortListModel list;
        BoxModel listBox(0, 0, 100, 100), headline(0, 0, 100, 10);
        LabelModel lastRefresh, problem(0, 200, 100, 10, "", false);
        LineModel line(0, 300, 100, 300);
        RefreshControls controls{list, listBox, lastRefresh, problem, headline, line};
        PortDeviceTable table;
        bool clipboardRequested = false;
        RefreshPortList({machine, machine, messages, clipboard, clock, pointer}, table, controls, clipboardRequested);

        std::vector<Row> rows;
        for (const PortRow& row : list.Rows()) {
            rows.emplace_back(row.text, row.subItem, row.icon, row.tag);
        }
        const std::map<int, std::pair<const char*, const char*>> ports = {
            {c.ttyS0, {"Serieller Anschluss [/dev/ttyS0]", "COM"}},
            {c.ttyUSB0, {"USB-Serial Controller [/dev/ttyUSB0]", "USB"}},
            {c.ttyUSB1, {"FT232R USB UART [/dev/ttyUSB1]", "USB"}},
            {c.ttyACM0, {"Ger\xEF\xBF\xBDt USB Modem [/dev/ttyACM0]", "USB"}},
            {c.ircomm0, {"Serielle IrDA-Verbindung [/dev/ircomm0]", "IRDA"}},
            {c.rfcomm0, {"Serielle Bluetooth-Verbindung [/dev/rfcomm0]", "BT"}},
        };
        std::vector<Row> expected;  // in ascending COM number, the problem row last
        for (const auto& [number, port] : ports) {
            expected.emplace_back("COM " + std::to_string(number), port.first, port.second, "");
        }
        expected.emplace_back("Warnung", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "WARNING",
                              "PROBLEM_CP210X");
        EXPECT_EQ(rows, expected) << (c.winePrefix ? "with" : "without") << " a Wine prefix";
        EXPECT_TRUE(problem.Visible() && messages.shown.empty());  // the problem line, and no error shown
    }
}

// A string value; with two closing NULs a multi-string.
RawValue Sz(std::string utf8, int nuls = 1) {
    utf8.append(nuls, '\0');
    return {nuls == 1 ? kRegSz : kRegMultiSz, {utf8.begin(), utf8.end()}};
}

// The cable with its tty is one Ports device on the COM-port interface; of the USB devices only
// those without a tty become devices of their own.
TEST(LinuxMachine, SnapshotBecomesDevices) {
    SerialPort port;
    port.kernelName = "ttyUSB0";
    port.deviceNode = "/dev/ttyUSB0";
    port.comNumber = 33;
    port.kind = PortKind::UsbSerial;
    port.sysfsPath = "devices/usb1/1-1/1-1:1.0/ttyUSB0";
    port.driver = "pl2303";
    port.subsystem = "usb-serial";
    port.usb = UsbIds{0x067B, 0x2303, 0x0300};
    port.usbDevicePath = "devices/usb1/1-1";
    port.manufacturer = "Prolific";
    port.product = "Ger\xC3\xA4t";
    const auto usb = [](const char* name, UsbIds ids, const char* driver, bool ttyBound) {
        UsbDevice device;
        device.name = name;
        device.sysfsPath = std::string("devices/usb1/") + name;
        device.ids = ids;
        device.driver = driver;
        device.ttyBound = ttyBound;
        return device;
    };
    memory::MemoryMachine machine;
    LoadSnapshot(
        {{port},
         {usb("1-1", {0x067B, 0x2303, 0x0300}, "pl2303", true), usb("1-4", {0x10C4, 0xEA60, std::nullopt}, "", false),
          usb("1-5", {0x0A12, 0x0001, 0x8891}, "btusb", false)}},
        machine);

    ASSERT_EQ(machine.Devices().size(), 3u);
    EXPECT_EQ(std::pair(machine.Devices()[0].comportInterface, machine.Devices()[1].comportInterface),
              std::pair(true, false));
    const auto& pl2303 = machine.Devices()[0].properties;
    EXPECT_EQ(pl2303.at(SPDRP_FRIENDLYNAME), Sz("Ger\xC3\xA4t [/dev/ttyUSB0] (COM33)"));  // UTF-8, not cp1252
    EXPECT_EQ(pl2303.at(SPDRP_HARDWAREID),
              Sz(std::string("USB\\VID_067B&PID_2303&REV_0300\0", 31) + "USB\\VID_067B&PID_2303", 2));
    EXPECT_EQ(pl2303.at(SPDRP_CLASS), Sz("Ports"));
    EXPECT_EQ(pl2303.at(SPDRP_MFG), Sz("Prolific"));
    EXPECT_EQ(pl2303.at(SPDRP_DRIVER), Sz("pl2303"));
    EXPECT_EQ(pl2303.at(SPDRP_LOCATION_INFORMATION), Sz("/sys/devices/usb1/1-1/1-1:1.0/ttyUSB0"));

    const auto& cp210x = machine.Devices()[1].properties;
    EXPECT_EQ(cp210x.at(SPDRP_CLASS), Sz("Unknown"));
    EXPECT_EQ(cp210x.at(SPDRP_HARDWAREID), Sz("USB\\VID_10C4&PID_EA60", 2));
    EXPECT_EQ(cp210x.count(SPDRP_DRIVER), 0u);
    EXPECT_EQ(machine.Devices()[2].properties.at(SPDRP_CLASS), Sz("USB"));
}

// Opening the serial-port map starts a refresh and rescans unless the snapshot is younger than
// 250 ms; a device set asked for more than a second after the last scan rescans too; nothing is
// rescanned under an open key.
TEST(LinuxMachine, RescansAsARefreshBegins) {
    auto now = std::chrono::steady_clock::time_point{};
    int scans = 0;
    LinuxMachine machine(
        [&] {
            Snapshot snapshot{{SerialPort{}}, {}};
            snapshot.ports[0].kernelName = "ttyS" + std::to_string(scans++);
            return snapshot;
        },
        [&] { return now; });
    EXPECT_EQ(machine.ScanCount(), 1);

    RegHandle key = 0, again = 0;
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0x20019, key), 0);
    EXPECT_EQ(machine.ScanCount(), 1);  // the snapshot is new
    machine.CloseKey(key);
    now += std::chrono::milliseconds(250);
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0x20019, key), 0);
    EXPECT_EQ(machine.ScanCount(), 2);
    EXPECT_EQ(machine.LastSnapshot().ports.at(0).kernelName, "ttyS1");
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), "hardware\\devicemap\\serialcomm", 0x20019, again), 0);
    EXPECT_EQ(machine.ScanCount(), 2);  // the first key is still open
    machine.CloseKey(again);
    machine.CloseKey(key);

    for (const auto& [wait, scanCount] : {std::pair(900, 2), std::pair(1200, 3)}) {
        now += std::chrono::milliseconds(wait);
        DevInfoSet set = machine.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
        EXPECT_EQ(machine.ScanCount(), scanCount) << "after " << wait << " ms";
        EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
    }
}

}  // namespace
}  // namespace velmaro::linux_backend
