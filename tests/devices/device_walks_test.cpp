// The two walks over the present devices: CollectPortDevices, which ties COM port numbers to
// devices, and DetectDriverProblems, which warns of cables without driver and builds the dump.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <tuple>

#include "device_test_support.h"
#include "devices/driver_problems.h"
#include "ports/port_device_table.h"

namespace velmaro {
namespace {

using namespace velmaro::testing;
using Texts = std::vector<std::string>;

constexpr const char* kProp = "SetupDiGetDeviceRegistryPropertyA";

// --- CollectPortDevices ---------------------------------------------------------------------------

using TableRow = std::tuple<int, std::string, std::string, std::string>;  // number, desc, mfg, hardware ID
using Rows = std::vector<TableRow>;

constexpr const char* kModemDriver = "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000";
const std::string kModemKey = std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + kModemDriver;
const Rows kEmpty{{0, "", "", ""}};

DeviceBuilder Port(std::string_view name) {
    return DeviceBuilder().Class("Ports").FriendlyName(name);
}
DeviceBuilder Modem(std::string_view name) {
    return DeviceBuilder().Class("Modem").FriendlyName(name).Set(SPDRP_DRIVER, SzValue(kModemDriver));
}

// A machine whose modem driver key holds attachedTo, and a table left over from an earlier pass.
struct Pass {
    explicit Pass(const std::vector<MemoryDevice>& devices, std::optional<RawValue> attachedTo = std::nullopt) {
        for (const auto& device : devices) {
            bench.machine.AddDevice(device);
        }
        if (attachedTo) {
            bench.machine.PutValue(kHkeyLocalMachine, kModemKey, "AttachedTo", *attachedTo);
        }
        table.PortNumbers = {9, 8};
        table.PortDescs = table.PortMfgs = table.PortHardwareIds = {"alt", "alt"};
    }
    // Runs the pass and checks that the set was destroyed and nothing stays open, except what the
    // system refused to release (there is nothing to retry).
    Rows Run(int destroys = 1, int setsRefused = 0, int keysRefused = 0) {
        CollectPortDevices(bench.services, table);
        EXPECT_EQ(bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), destroys);
        EXPECT_EQ(bench.machine.OpenDeviceInfoSetCount(), setsRefused);
        EXPECT_EQ(bench.machine.OpenKeyCount(), keysRefused);
        Rows rows;
        for (std::size_t i = 0; i < table.Rows(); ++i) {
            rows.emplace_back(table.PortNumbers[i], table.PortDescs.at(i), table.PortMfgs.at(i),
                              table.PortHardwareIds.at(i));
        }
        return rows;
    }

    Bench bench;
    PortDeviceTable table;
};

TEST(CollectPortDevices, OneDevice) {
    // A port-class device, or a modem whose driver key holds attachedTo; number 0 and no text: skipped.
    const struct {
        bool modem;
        std::optional<RawValue> attachedTo;
        const char* name;
        int number;
        const char* desc;
    } cases[] = {
        // clang-format off
        {false, {}, "  Prolific USB-to-Serial Comm Port (COM5) ", 5, "Prolific USB-to-Serial Comm Port"},
        {false, {}, "Dual (COM3) Port (COM4)", 4, "Dual (COM3) Port"},
        {false, {}, "(COM4) Port (COM4)", 4, "Port"},
        {false, {}, "Multiport (COM123)", 0, ""},
        {false, {}, "USB Serial Port (com5)", 0, ""},
        {false, {}, "Ohne Nummer (COMx)", 0, ""},
        {false, {}, "Null (COM0)", 0, "Null"},
        {false, {}, "kommunikationsanschluss Kommunikationsanschluss (COM1)", 1,
         "Standard COM Port Kommunikationsanschluss"},
        {false, {}, "SIEMENS USB DATA CABLE Siemens Mobile Phone USB Modem (COM9)", 9,
         "Siemens USB Kabel DCA-510 Siemens Mobile Phone USB Modem"},
        {true, SzValue("COM3"), "Standardmodem über Bluetooth (COM7)", 3, "Standardmodem über Bluetooth (COM7)"},
        {true, SzValue("COM100"), "M", 0, ""},
        {true, SzValue("COM11"), "Siemens Mobile Phone USB Modem", 11, "Siemens USB Kabel DCA-140/540, DSC-100/600"},
        {true, SzValue("COM12"), "siemens mobile phone usb modem Kommunikationsanschluss Siemens USB Data Cable", 12,
         "Siemens USB Kabel DCA-140/540, DSC-100/600 Kommunikationsanschluss Siemens USB Data Cable"},
        {true, BytesValue(kRegSz, {'C', 'O', 'M', '3', 0, 'x', 0}), "M", 3, "M"},
        {true, DwordValue(3), "M", 0, ""},
        {true, std::nullopt, "M", 0, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.number));
        Pass pass({c.modem ? Modem(c.name) : Port(c.name)}, c.attachedTo);
        EXPECT_EQ(pass.Run(), (Rows{{c.number, c.desc, "", ""}}));
    }
}

TEST(CollectPortDevices, RowsInEnumerationOrder) {
    const struct {
        const char* name;
        std::vector<MemoryDevice> devices;
        Rows expected;
    } cases[] = {
        // clang-format off
        {"no COM port device", {Port("A (COM1)").Without(&MemoryDevice::comportInterface),
          Port("B (COM7)").Without(&MemoryDevice::present), DeviceBuilder().Class("Net").FriendlyName("C (COM6)"),
          DeviceBuilder().Class("Ports")}, kEmpty},
        {"classes counted as ports", {DeviceBuilder().Class("USB").FriendlyName("a (COM8)"),
          DeviceBuilder().FriendlyName("b (COM9)"), DeviceBuilder().Class("pOrTs").FriendlyName("c (COM10)"),
          DeviceBuilder().Class("Unknown").FriendlyName("d (COM3)")},
         {{8, "a", "", ""}, {9, "b", "", ""}, {10, "c", "", ""}}},
        {"two devices on COM4", {Port("A (COM4)"), Port("B (COM4)")}, {{4, "A", "", ""}, {4, "B", "", ""}}},
        {"modem and port on COM1", {Modem("M"), Port("P (COM1)")}, {{1, "M", "", ""}, {1, "P", "", ""}}},
        {"COM0 first is overwritten", {Port("Null (COM0)").Mfg("m"), Port("Sieben (COM7)")}, {{7, "Sieben", "", ""}}},
        {"COM0 later gets its own row", {Port("Fünf (COM5)"), Port("Null (COM0)"), Port("Sechs (COM6)")},
         {{5, "Fünf", "", ""}, {0, "Null", "", ""}, {6, "Sechs", "", ""}}},
        // Run-time failures end the pass: rows so far stay, a prepared row keeps what was written.
        {"no ) after the last (COM", {Port("A (COM2)"), Port("B (COM1) C (COM"), Port("D (COM7)")}, {{2, "A", "", ""}}},
        {"number beyond 16 bits", {Port("A (COM2)"), Port("X (COM5) Y (COM99999)").Mfg("Hersteller"), Port("D (COM7)")},
         {{2, "A", "", ""}, {0, "", "Hersteller", ""}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pass pass(c.devices, SzValue("COM1"));
        EXPECT_EQ(pass.Run(), c.expected);
    }
}

TEST(CollectPortDevices, StopsAfterIndex32767) {
    Pass pass(std::vector<MemoryDevice>(32769, Port("P (COM1)")));
    EXPECT_EQ(pass.Run().size(), 32768u);                                     // indices 0 to 32767
    EXPECT_EQ(pass.bench.machine.CallCount("SetupDiEnumDeviceInfo"), 32768);  // no wrap-around to a next index
}

TEST(CollectPortDevices, FaultInjection) {
    const std::string desc = "Prolific USB-to-Serial Comm Port", hw = "USB\\VID_067B&PID_2303&REV_0300";
    const TableRow a{5, desc, "Prolific", hw}, b{3, "Standardmodem", "Modemhersteller", "MDMGEN"};
    // Property calls: A class 1-2, name 3-4, maker 5-6, hardware ID 7-8; B class 9-10, driver 11-12.
    const struct {
        std::string call;
        std::int32_t code;
        int nth;
        Rows expected;
        Texts messages;
    } cases[] = {
        {"", 0, 0, {a, b}, {}},
        {"SetupDiGetClassDevsA", 8, 1, kEmpty, {}},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 2, {a}, {}},
        {"SetupDiDestroyDeviceInfoList", kErrorInvalidHandle, 1, {a, b}, {}},
        {kProp, kErrorAccessDenied, 1, {a, b}, {kCantGet}},  // no class: a port
        {kProp, kErrorAccessDenied, 3, {b}, {kCantGet}},
        {kProp, kErrorAccessDenied, 5, {{5, desc, "", hw}, b}, {kCantGet}},
        {kProp, kErrorAccessDenied, 11, {a}, {kCantGet}},
        {"RegOpenKeyExA", kErrorAccessDenied, 1, {a}, {}},
        {"RegQueryValueExA", kErrorMoreData, 2, {a}, {}},
        {"RegCloseKey", kErrorInvalidHandle, 1, {a}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call + " #" + std::to_string(c.nth));
        Pass pass({Port(desc + " (COM5)").Mfg("Prolific").HardwareIds({hw, "USB\\x"}),
                   Modem("Standardmodem").Mfg("Modemhersteller").HardwareIds({"MDMGEN"})},
                  SzValue("COM3"));
        if (!c.call.empty()) {
            pass.bench.machine.FailCall(c.call, c.code, c.nth);
        }
        EXPECT_EQ(pass.Run(c.call != "SetupDiGetClassDevsA", c.call == "SetupDiDestroyDeviceInfoList",
                           c.call == "RegCloseKey"),
                  c.expected);
        EXPECT_EQ(pass.bench.messages.Texts(), c.messages);
    }
}

// --- DetectDriverProblems and the dump ------------------------------------------------------------

const std::string kPl = "USB\\VID_067B&PID_2303&REV_0300";
const std::string kUsb2 = "USB\\VID_6547&PID_0232";
const std::string kFtdi = "USB\\VID_0403&PID_6001";
const std::string kOti = "USB\\VID_0EA0&PID_6858";
const std::string kCp = "USB\\VID_10C4&PID_EA60";
const Texts kAllFive{"PROBLEM_X510", "PROBLEM_USB2VCOM", "PROBLEM_FTDI2XX", "PROBLEM_OTI", "PROBLEM_CP210X"};
const std::map<std::string, std::string> kRowTexts{
    {"PROBLEM_X40", "Siemens USB Datenkabel mit Treiberproblem"},
    {"PROBLEM_X510", "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem"},
    {"PROBLEM_USB2VCOM", "USB Wandler / Datenkabel Typ usb2vcom mit Treiberproblem"},
    {"PROBLEM_FTDI2XX", "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem"},
    {"PROBLEM_OTI", "USB Wandler / Datenkabel Typ OTI mit Treiberproblem"},
    {"PROBLEM_CP210X", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem"},
};

DeviceBuilder Dev(std::string_view setupClass, const std::string& hardwareId) {
    return DeviceBuilder().Class(setupClass).HardwareIds({hardwareId});
}
// A driverless cable: no class, only its hardware ID, and no COM-port interface.
DeviceBuilder Cable(const std::string& hardwareId) {
    return DeviceBuilder().HardwareIds({hardwareId}).Without(&MemoryDevice::comportInterface);
}

// The list model, refusing the nth AddRow as a broken control would, and noting each change.
struct FailingList : PortListModel {
    int AddRow(const std::string& text, const std::string& icon) override {
        if (--failOnAdd == 0) {
            throw std::runtime_error("list control refused the row");
        }
        calls.push_back("AddRow " + text + " " + icon);
        return PortListModel::AddRow(text, icon);
    }
    void SetSubItem(int r, const std::string& t) override { PortListModel::SetSubItem(Note(r, "SubItem " + t), t); }
    void SetTag(int r, const std::string& t) override { PortListModel::SetTag(Note(r, "Tag " + t), t); }
    void SetBold(int r, bool b) override { PortListModel::SetBold(Note(r, "Bold", b), b); }
    void SetSubItemBold(int r, bool b) override { PortListModel::SetSubItemBold(Note(r, "SubItemBold", b), b); }
    void SetForeColor(int r, std::uint32_t c) override { PortListModel::SetForeColor(Note(r, "ForeColor", c), c); }
    void SetSubItemForeColor(int r, std::uint32_t c) override {
        PortListModel::SetSubItemForeColor(Note(r, "SubItemForeColor", c), c);
    }
    int Note(int row, const std::string& what, std::uint32_t value = 0) {
        calls.push_back(std::to_string(row) + " " + what + (value ? " " + std::to_string(value) : ""));
        return row;
    }
    int failOnAdd = 0;
    Texts calls;
};

// A machine, the port table of the same refresh, the list, and one scan.
struct Scan {
    explicit Scan(const std::vector<MemoryDevice>& devices, const Texts& portHardwareIds = {""}) {
        for (const auto& device : devices) {
            bench.machine.AddDevice(device);
        }
        table.PortNumbers.assign(portHardwareIds.size(), 1);
        table.PortDescs = table.PortMfgs = Texts(portHardwareIds.size());
        table.PortHardwareIds = portHardwareIds;
        list.PortListModel::AddRow("COM 1", "COM");  // a row of the refresh, which stays in front
    }
    // The tags of the problem rows; each row must be set up in full.
    Texts Run(bool dump = false) {
        DetectDriverProblems(bench.services, table, list, dump);
        Texts tags;
        for (const auto& r : std::vector(list.Rows().begin() + 1, list.Rows().end())) {
            tags.push_back(r.tag);
            EXPECT_EQ(std::tie(r.text, r.subItem, r.icon, r.bold, r.subItemBold, r.foreColor, r.subItemForeColor),
                      std::make_tuple("Warnung", kRowTexts.at(r.tag), "WARNING", true, true, 192, 192));
        }
        return tags;
    }

    Bench bench;
    PortDeviceTable table;
    FailingList list;
};

TEST(DetectDriverProblems, Rules) {
    const struct {
        const char* name;
        std::vector<MemoryDevice> devices;
        Texts ports;
        Texts tags;
    } cases[] = {
        // clang-format off
        {"PL2303: a port whose ID contains its own suppresses, another's does not",
         {Dev("Ports", kPl), Cable(kPl), Cable("USB\\VID_067B&PID_2303&REV_0400")},
         {"", "usb\\vid_067b&pid_2303&rev_0300&mi_00"}, {"PROBLEM_X510"}},
        {"usb2vcom: its own port suppresses, another's does not",
         {Cable(kUsb2 + "&REV_01"), Cable(kUsb2 + "&REV_02")}, {kUsb2 + "&REV_01"}, {"PROBLEM_USB2VCOM"}},
        {"FTDI, OTI, CP210x: a port of the kind suppresses",
         {Dev("Ports", kFtdi + "&REV_06"), Cable(kFtdi + "&REV_04"), Cable(kOti + "&REV_02"), Cable(kCp + "&REV_01")},
         {kFtdi + "&REV_06", kOti + "&REV_01", kCp + "&REV_02"}, {}},
        {"every watched class in any case, no port", {Dev("ports", kPl), Dev("MODEM", kUsb2), Dev("uNKNOWN", kFtdi),
          Dev("Usb", kOti), Cable("usb\\vid_10c4&pid_ea60")}, {""}, kAllFive},
        {"each rule on its own, in order", {Cable(kCp + kOti + kFtdi + kUsb2 + kPl)}, {""}, kAllFive},
        {"other classes ignored, Siemens by equality only", {Dev("Net", kPl), Dev("USB Geräte", kCp),
          DeviceBuilder().Class("Bluetooth").Description("Siemens USB Connectivity"),
          Dev("USB", kPl).Description("SIEMENS USB CONNECTIVITY "),
          Dev("USB", "").Description("Siemens USB Connectivity Modem")}, {""}, {"PROBLEM_X510"}},
        {"Siemens in any case, beside a port, hardware ID not examined",
         {Dev("Modem", kPl).Description("siemens usb CONNECTIVITY"),
          DeviceBuilder().Description("SIEMENS USB CONNECTIVITY")}, {kFtdi}, {"PROBLEM_X40", "PROBLEM_X40"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scan scan(c.devices, c.ports);
        EXPECT_EQ(scan.Run(), c.tags);
    }
}

// A problem row is set up property by property, always in this order.
TEST(DetectDriverProblems, ProblemRowSetUpInOrder) {
    Scan scan({Cable(kCp)});
    EXPECT_EQ(scan.Run(), Texts{"PROBLEM_CP210X"});
    EXPECT_EQ(scan.list.calls,
              (Texts{"AddRow Warnung WARNING", "2 SubItem " + kRowTexts.at("PROBLEM_CP210X"), "2 Tag PROBLEM_CP210X",
                     "2 Bold 1", "2 SubItemBold 1", "2 ForeColor 192", "2 SubItemForeColor 192"}));
}

// Every property code 0..28 holds p followed by its number; no friendly name, and two hardware IDs.
DeviceBuilder NumberedDevice(const std::string& p) {
    DeviceBuilder device;
    for (std::uint32_t code = 0; code <= 28; ++code) {
        if (code != SPDRP_FRIENDLYNAME) {
            device.Set(code, SzValue(p + std::to_string(code)));
        }
    }
    return device.HardwareIds({p + "1", "zweite"});
}

// Its dump: 24 lines in label order, the friendly name empty, only the first hardware ID.
std::string DumpOf(const std::string& p) {
    return "SPDRP_ADDRESS:" + p + "28\r\nSPDRP_BUSNUMBER:" + p + "21\r\nSPDRP_BUSTYPEGUID:" + p +
           "19\r\nSPDRP_CAPABILITIES:" + p + "15\r\nSPDRP_CHARACTERISTICS:" + p + "27\r\nSPDRP_CLASS:" + p +
           "7\r\nSPDRP_CLASSGUID:" + p + "8\r\nSPDRP_COMPATIBLEIDS:" + p + "2\r\nSPDRP_CONFIGFLAGS:" + p +
           "10\r\nSPDRP_DEVICEDESC:" + p + "0\r\nSPDRP_DRIVER:" + p + "9\r\nSPDRP_ENUMERATOR_NAME:" + p +
           "22\r\nSPDRP_EXCLUSIVE:" + p + "26\r\nSPDRP_FRIENDLYNAME:\r\nSPDRP_HARDWAREID:" + p +
           "1\r\nSPDRP_LEGACYBUSTYPE:" + p + "20\r\nSPDRP_LOCATION_INFORMATION:" + p + "13\r\nSPDRP_LOWERFILTERS:" + p +
           "18\r\nSPDRP_MFG:" + p + "11\r\nSPDRP_PHYSICAL_DEVICE_OBJECT_NAME:" + p + "14\r\nSPDRP_SECURITY:" + p +
           "23\r\nSPDRP_SECURITY_SDS:" + p + "24\r\nSPDRP_UI_NUMBER:" + p + "16\r\nSPDRP_UPPERFILTERS:" + p + "17";
}

TEST(DetectDriverProblems, ClipboardGetsTheDumpOfEveryDevice) {
    Scan scan({NumberedDevice("a"), NumberedDevice("b").Without(&MemoryDevice::comportInterface)});
    scan.bench.clipboard.SetText("alt");
    EXPECT_EQ(scan.Run(true), Texts{});
    EXPECT_EQ(scan.bench.clipboard.text, "\r\n\r\n" + DumpOf("a") + "\r\n\r\n" + DumpOf("b"));
    EXPECT_EQ(scan.bench.clipboard.clears, 1);
    ASSERT_EQ(scan.bench.messages.Texts(), Texts{kCopied});
    EXPECT_EQ(scan.bench.messages.shown[0].style, MessageStyle::PromptOnly);
}

TEST(DetectDriverProblems, FaultInjection) {
    // Without the dump, property calls: Net class 1-2; PL2303 class 3 (missing), description 4-5,
    // hardware ID 6-7; CP210x class 8, description 9, hardware ID 10-11. With the dump, Net's
    // address is call 1. "AddRow" is the list's.
    const Texts both{"PROBLEM_X510", "PROBLEM_CP210X"};
    const struct {
        std::string call;
        std::int32_t code;
        int nth;
        bool dump;
        Texts tags;
        Texts messages;
    } cases[] = {
        {"", 0, 0, false, both, {}},
        {"", 0, 0, true, both, {kCopied}},
        {"SetupDiGetClassDevsA", 8, 1, true, {}, {}},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 3, true, {"PROBLEM_X510"}, {}},
        {"SetupDiEnumDeviceInfo", kErrorNoMoreItems, 1, true, {}, {kCopied}},
        {"SetupDiDestroyDeviceInfoList", kErrorInvalidHandle, 1, true, both, {kCopied}},
        // Net without its class is watched, and its hardware ID is an FTDI one.
        {kProp, kErrorAccessDenied, 1, false, {"PROBLEM_FTDI2XX", "PROBLEM_X510", "PROBLEM_CP210X"}, {kCantGet}},
        {kProp, kErrorAccessDenied, 7, false, {"PROBLEM_CP210X"}, {kCantRead}},
        {kProp, kErrorAccessDenied, 1, true, both, {kCantGet, kCopied}},
        {"AddRow", 0, 2, true, {"PROBLEM_X510"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call + " #" + std::to_string(c.nth) + (c.dump ? " with dump" : ""));
        Scan scan({Dev("Net", kFtdi), Cable(kPl).Description("USB-Serial Controller"), Cable(kCp)});
        if (c.call == "AddRow") {
            scan.list.failOnAdd = c.nth;
        } else if (!c.call.empty()) {
            scan.bench.machine.FailCall(c.call, c.code, c.nth);
        }
        EXPECT_EQ(scan.Run(c.dump), c.tags);
        EXPECT_EQ(scan.bench.messages.Texts(), c.messages);
        const int copies = !c.messages.empty() && c.messages.back() == kCopied;  // cleared, then set
        EXPECT_EQ(std::pair(scan.bench.clipboard.clears, scan.bench.clipboard.sets), std::pair(copies, copies));
        EXPECT_EQ(scan.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), c.call != "SetupDiGetClassDevsA");
        // A release the system refuses leaves the set with it; there is nothing to retry.
        EXPECT_EQ(scan.bench.machine.OpenDeviceInfoSetCount(), c.call == "SetupDiDestroyDeviceInfoList");
    }
}

}  // namespace
}  // namespace velmaro
