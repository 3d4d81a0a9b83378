// The Linux backend's rules: text read from sysfs, COM numbers as Wine gives them, and when the
// machine looks at the ports again. Whole machines, with the devices they become, are listed in the
// umockdev tests.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "common/win_codes.h"
#include "linux/linux_machine.h"
#include "linux/sysfs_scan.h"
#include "linux/wine_com_numbers.h"

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

// Found by fuzzing: a NUL byte inside ended the number, and what followed it was ignored.
TEST(SysfsScan, AttributeNumbersAreTheWholeText) {
    using namespace std::string_literals;
    const std::pair<std::string, std::optional<std::uint16_t>> cases[] = {
        {"0403", 0x0403},
        {"ffff", 0xFFFF},
        {"10000", std::nullopt},
        {"", std::nullopt},
        {"0e\0\0\0"
         "043"s,
         std::nullopt},
        {"0403\0"s, std::nullopt},
        {"04x3", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(AttributeHex16(text), expected) << text;
    }
    EXPECT_EQ(AttributeNumber("12"s + '\0' + "3", 10), std::nullopt);
}

// User links first, then the ttyS, ttyUSB and ttyACM runs up to their first gap, each port at the
// lowest free number; other ports after them in name order.
TEST(WineComNumbers, Table) {
    const struct {
        const char* name;
        std::vector<ComLink> links;
        std::set<std::string> existing;
        std::vector<std::string> others;
        std::map<std::string, int> expected;
    } cases[] = {
        // clang-format off
        {"runs in order: ttyS, ttyUSB, ttyACM", {}, {"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"}, {},
         {{"/dev/ttyS0", 1}, {"/dev/ttyS1", 2}, {"/dev/ttyUSB0", 3}, {"/dev/ttyACM0", 4}}},
        {"links win, the runs take the lowest free numbers", {{1, "/dev/ttyS9"}, {3, "/dev/ttyACM0"}},
         {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyACM0"}, {},
         {{"/dev/ttyS9", 1}, {"/dev/ttyACM0", 3}, {"/dev/ttyS0", 2}, {"/dev/ttyS1", 4}, {"/dev/ttyUSB0", 5}}},
        {"a gap ends a run", {}, {"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyUSB1", "/dev/ttyACM0"}, {},
         {{"/dev/ttyS0", 1}, {"/dev/ttyACM0", 2}}},
        {"a second link of a number is ignored", {{2, "/dev/ttyUSB0"}, {2, "/dev/ttyUSB1"}},
         {"/dev/ttyUSB0", "/dev/ttyUSB1"}, {}, {{"/dev/ttyUSB0", 2}, {"/dev/ttyUSB1", 1}}},
        {"other ports after the runs in name order, numbers compared as numbers", {}, {"/dev/ttyS0"},
         {"/dev/rfcomm10", "/dev/ttyAMA0", "/dev/rfcomm2", "/dev/ttyS0", "/dev/ttyS5"},
         {{"/dev/ttyS0", 1}, {"/dev/rfcomm2", 2}, {"/dev/rfcomm10", 3}, {"/dev/ttyAMA0", 4}, {"/dev/ttyS5", 5}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WineComNumbers(c.links, c.existing, c.others), c.expected) << c.name;
    }
}

// Wine's system.reg as it writes it: doubled backslashes in key names, a time stamp behind them.
TEST(WineComNumbers, PortsKeyOfTheRegistryFile) {
    const std::pair<std::string, std::vector<ComLink>> cases[] = {
        {"WINE REGISTRY Version 2\n"
         "[Software\\\\Wine] 1733420000\n"
         "\"COM6\"=\"/dev/ttyS6\"\n"  // another key
         "\n[Software\\\\Wine\\\\Ports] 1733420000\n"
         "#time=1db4730c2ba5e36\n"
         "@=\"/dev/ttyS7\"\n"
         "\"COM1\"=\"\"\n"  // empty: no mapping
         "\"com3\"=\"/dev/ttyUSB1\"\n"
         "\"COM12\"=\"/dev/serial/by-id/usb-Ger\\xe4t-if00\"\n"  // beyond ASCII
         "\"COM7\"=\"/dev/tty\\\"odd\\\\name\"\n"                // escaped quote and backslash
         "\"COM4\"=str(2):\"/dev/ttyS9\"\n"                      // not REG_SZ
         "\"COM2\"=dword:00000001\n"
         "\"COM0\"=\"/dev/ttyS0\"\n"
         "\"LPT1\"=\"/dev/lp0\"\n"
         "\"COM5\"=\"/dev/ttyUSB0\n"  // no closing quote
         "\n[Software\\\\Wine\\\\Ports\\\\More] 1733420000\n"
         "\"COM9\"=\"/dev/ttyUSB9\"\n",
         {{3, "/dev/ttyUSB1"}, {7, "/dev/tty\"odd\\name"}, {12, "/dev/serial/by-id/usb-Ger\xC3\xA4t-if00"}}},
        {"[software\\\\wine\\\\ports] 1\r\n\"COM8\"=\"/dev/ttyACM0\"\r\n", {{8, "/dev/ttyACM0"}}},
        {"[Software\\\\Wine\\\\PortsX] 1\n\"COM8\"=\"/dev/ttyACM0\"\n", {}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        std::istringstream file(text);
        EXPECT_EQ(WinePortsFromRegistry(file), expected) << text;
    }
}

// The database fills in names only where udev gave none, for USB ports and devices alike.
TEST(SysfsScan, NamesFromTheHardwareDatabase) {
    const auto port = [](const char* name, std::optional<UsbIds> usb, const char* vendor, const char* model) {
        SerialPort p;
        p.kernelName = name;
        p.usb = usb;
        p.vendorFromDatabase = vendor;
        p.modelFromDatabase = model;
        return p;
    };
    MachineScan scan;
    scan.ports = {port("ttyUSB0", UsbIds{0x067B, 0x2303, 0x0300}, "", ""),
                  port("ttyUSB1", UsbIds{0x0403, 0x6001, {}}, "", "FT232 from udev"),
                  port("ttyUSB2", UsbIds{0xFFFF, 0x0001, {}}, "", ""), port("ttyS0", std::nullopt, "", "")};
    UsbDevice cable;
    cable.ids = {0x1A86, 0x7523, {}};
    scan.usbDevices = {cable};

    std::vector<std::pair<std::uint16_t, std::uint16_t>> asked;
    NameFromHardwareDatabase(scan, [&](std::uint16_t vendor, std::uint16_t product) {
        asked.emplace_back(vendor, product);
        if (vendor == 0xFFFF) {
            return DatabaseNames{};
        }
        return DatabaseNames{"Vendor " + std::to_string(vendor), "Model " + std::to_string(product)};
    });

    const std::vector<std::pair<std::uint16_t, std::uint16_t>> expectedAsked = {
        {0x067B, 0x2303}, {0xFFFF, 0x0001}, {0x1A86, 0x7523}};
    EXPECT_EQ(asked, expectedAsked);
    const std::pair<std::string, std::string> expected[] = {
        {"Vendor 1659", "Model 8963"}, {"", "FT232 from udev"}, {"", ""}, {"", ""}};
    for (std::size_t i = 0; i < scan.ports.size(); ++i) {
        EXPECT_EQ(std::pair(scan.ports[i].vendorFromDatabase, scan.ports[i].modelFromDatabase), expected[i]) << i;
    }
    EXPECT_EQ(std::pair(scan.usbDevices[0].vendorFromDatabase, scan.usbDevices[0].modelFromDatabase),
              std::pair(std::string("Vendor 6790"), std::string("Model 29987")));

    MachineScan unnamed;
    unnamed.ports = {port("ttyUSB0", UsbIds{0x067B, 0x2303, 0x0300}, "", "")};
    NameFromHardwareDatabase(unnamed, NameLookup());  // no database: no names
    EXPECT_EQ(unnamed.ports[0].vendorFromDatabase + unnamed.ports[0].modelFromDatabase, "");
}

// The file is read in blocks of 64 KiB: a header or a value cut by a block's end is still whole.
TEST(WineComNumbers, PortsKeyAcrossTheReadBlocks) {
    const std::string section = "[Software\\\\Wine\\\\Ports] 1\n\"COM3\"=\"/dev/ttyUSB1\"\n";
    const std::size_t block = 64 * 1024;
    for (std::size_t shift = 0; shift <= section.size() + 1; ++shift) {
        // the filler line ends `shift` bytes before the block's end
        const std::string head = "[Software\\\\Filler] 1\n";
        const std::string filler = head + ";" + std::string(block - shift - head.size() - 2, 'x') + "\n";
        std::istringstream file(filler + section + "[Software\\\\Zzz] 1\n\"COM4\"=\"/dev/ttyS4\"\n");
        EXPECT_EQ(WinePortsFromRegistry(file), (std::vector<ComLink>{{3, "/dev/ttyUSB1"}})) << shift;
    }
}

TEST(WineComNumbers, NumberOfALinkName) {
    const std::pair<const char*, int> cases[] = {
        {"com1", 1},  {"COM12", 12}, {"Com256", 256}, {"com257", 0}, {"com0", 0},
        {"com05", 0}, {"com", 0},    {"c:", 0},       {"lpt1", 0},   {"com1x", 0},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(ComNumberOfLinkName(name), number) << name;
    }
}

// Opening the serial-port map starts a refresh and rescans unless the snapshot is younger than
// 250 ms; a device set asked for more than a second after the last scan rescans too; nothing is
// rescanned under an open key.
TEST(LinuxMachine, RescansAsARefreshBegins) {
    auto now = std::chrono::steady_clock::time_point{};
    int scans = 0;
    LinuxMachine machine(
        [&] {
            MachineScan scan{{SerialPort{}}, {}};
            scan.ports[0].kernelName = "ttyS" + std::to_string(scans++);
            return scan;
        },
        [&] { return now; });
    EXPECT_EQ(machine.ScanCount(), 1);

    const auto open = [&](const char* path, RegHandle& key) {
        ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), path, 0x20019, key), 0);
    };
    RegHandle key = 0, again = 0;
    open("HARDWARE\\DEVICEMAP\\SERIALCOMM", key);
    EXPECT_EQ(machine.ScanCount(), 1);  // the snapshot is new
    machine.CloseKey(key);
    now += std::chrono::milliseconds(250);
    open("HARDWARE\\DEVICEMAP\\SERIALCOMM", key);
    EXPECT_EQ(machine.ScanCount(), 2);
    EXPECT_EQ(machine.LastScan().ports.at(0).kernelName, "ttyS1");
    open("hardware\\devicemap\\serialcomm", again);
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
