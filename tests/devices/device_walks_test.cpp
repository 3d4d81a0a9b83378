// The two walks over the present devices: CollectPortDevices, which ties COM port numbers to
// devices, and DetectDriverProblems, which warns of cables without driver and builds the dump.
#include <gtest/gtest.h>

#include <tuple>

#include "common/problem_codes.h"
#include "device_test_support.h"
#include "devices/driver_problems.h"
#include "ports/port_device_table.h"

namespace velmaro {
namespace {

using namespace velmaro::testing;
using Texts = std::vector<std::string>;

constexpr const char* kProp = "SetupDiGetDeviceRegistryPropertyA";
constexpr const char* kModemDriver = "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\000";
const std::string kModemKey = std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + kModemDriver;

const std::string kPl = "USB\\VID_067B&PID_2303&REV_0300";
const std::string kUsb2 = "USB\\VID_6547&PID_0232";
const std::string kFtdi = "USB\\VID_0403&PID_6001";
const std::string kOti = "USB\\VID_0EA0&PID_6858";
const std::string kCp = "USB\\VID_10C4&PID_EA60";
const Texts kAllFive{"PROBLEM_X510", "PROBLEM_USB2VCOM", "PROBLEM_FTDI2XX", "PROBLEM_OTI", "PROBLEM_CP210X"};

DeviceBuilder Port(std::string_view name) {
    return DeviceBuilder().Class("Ports").FriendlyName(name);
}
// A modem whose driver key is the nth of the modem class.
DeviceBuilder Modem(std::string_view name, int n = 0) {
    return DeviceBuilder().Class("Modem").FriendlyName(name).Set(SPDRP_DRIVER,
                                                                 SzValue(kModemDriver + std::to_string(n)));
}
DeviceBuilder Dev(std::string_view setupClass, const std::string& hardwareId) {
    return DeviceBuilder().Class(setupClass).HardwareIds({hardwareId});
}
// A driverless cable: no class, only its hardware ID, and no COM-port interface.
DeviceBuilder Cable(const std::string& hardwareId) {
    return DeviceBuilder().HardwareIds({hardwareId}).Without(&MemoryDevice::comportInterface);
}

// The devices, and the modem driver keys whose "AttachedTo" hold attachedTo, the nth for the nth key.
void Install(Bench& bench,
             const std::vector<MemoryDevice>& devices,
             const std::vector<std::optional<RawValue>>& attachedTo = {}) {
    for (const auto& device : devices) {
        bench.machine.AddDevice(device);
    }
    for (std::size_t n = 0; n < attachedTo.size(); ++n) {
        if (attachedTo[n]) {
            bench.machine.PutValue(kHkeyLocalMachine, kModemKey + std::to_string(n), "AttachedTo", *attachedTo[n]);
        }
    }
}

// The rows CollectPortDevices leaves in a table an earlier pass had filled, as "number|desc|mfg|hardware ID".
Texts Collect(Bench& bench) {
    PortDeviceTable table;
    table.PortNumbers = {9, 8};
    table.PortDescs = table.PortMfgs = table.PortHardwareIds = {"alt", "alt"};
    CollectPortDevices(bench.services, table);
    Texts rows;
    for (std::size_t i = 0; i < table.Rows(); ++i) {
        rows.push_back(std::to_string(table.PortNumbers[i]) + "|" + table.PortDescs.at(i) + "|" + table.PortMfgs.at(i) +
                       "|" + table.PortHardwareIds.at(i));
    }
    return rows;
}

// The tags of the problem rows DetectDriverProblems appends behind a row of the refresh, with the
// port table's hardware IDs; each problem row must be set up in full.
Texts Detect(Bench& bench, const Texts& portHardwareIds = {""}, bool dump = false) {
    const std::size_t n = portHardwareIds.size();
    const PortDeviceTable table{std::vector<std::int16_t>(n, 1), Texts(n), Texts(n), portHardwareIds};
    std::vector<PortRow> rows{{RowKind::Port, "COM 1", "Kommunikationsanschluss", std::nullopt}};
    DetectDriverProblems(bench.services, table.PortHardwareIds, rows, dump);
    PortListModel list;
    AppendRows(list, rows);
    Texts tags;
    for (const auto& r : std::vector(list.Rows().begin() + 1, list.Rows().end())) {
        tags.push_back(r.tag);
        EXPECT_EQ(std::tie(r.text, r.subItem, r.icon, r.bold, r.subItemBold, r.foreColor, r.subItemForeColor),
                  std::make_tuple("Warnung", RowOf(*FindProblemCode(r.tag)).rowText, "WARNING", true, true, 192, 192));
    }
    return tags;
}

// One machine per case: the port walk's table rows, or the problem walk's tags with the port table's
// hardware IDs.
TEST(DeviceWalks, Rules) {
    const struct {
        const char* name;
        bool problems;  // DetectDriverProblems, else CollectPortDevices
        std::vector<MemoryDevice> devices;
        Texts expected;
        std::vector<std::optional<RawValue>> attachedTo{SzValue("COM1")};
        Texts ports{""};
    } cases[] = {
        // clang-format off
        // Ports: the last "(COM" tag of one or two digits gives the number and leaves the
        // description, trimmed; Kommunikationsanschluss and the Siemens cable renamed once.
        {"ports", false, {Port("  Prolific USB-to-Serial Comm Port (COM5) "), Port("Dual (COM3) Port (COM4)"),
          Port("Multiport (COM123)"), Port("USB Serial Port (com5)"), Port("Ohne Nummer (COMx)"),
          Port("kommunikationsanschluss Kommunikationsanschluss (COM1)"),
          Port("SIEMENS USB DATA CABLE Siemens Mobile Phone USB Modem (COM9)")},
         {"5|Prolific USB-to-Serial Comm Port||", "4|Dual (COM3) Port||", "1|Standard COM Port Kommunikationsanschluss||",
          "9|Siemens USB Kabel DCA-510 Siemens Mobile Phone USB Modem||"}},
        // Modems: "AttachedTo" gives the number, up to two digits; the name stays whole but for the Siemens modem.
        {"modems", false, {Modem("Standardmodem über Bluetooth (COM7)", 0), Modem("M", 1), Modem("Siemens Mobile Phone USB Modem", 2),
          Modem("siemens mobile phone usb modem Kommunikationsanschluss Siemens USB Data Cable", 3), Modem("N", 4),
          Modem("D", 5)},
         {"3|Standardmodem über Bluetooth (COM7)||", "11|Siemens USB Kabel DCA-140/540, DSC-100/600||",
          "12|Siemens USB Kabel DCA-140/540, DSC-100/600 Kommunikationsanschluss Siemens USB Data Cable||"},
         {SzValue("COM3"), SzValue("COM100"), SzValue("COM11"), SzValue("COM12"), std::nullopt, DwordValue(3)}},
        {"no COM port device", false, {Port("A (COM1)").Without(&MemoryDevice::comportInterface),
          Port("B (COM7)").Without(&MemoryDevice::present), DeviceBuilder().Class("Net").FriendlyName("C (COM6)"),
          DeviceBuilder().Class("Ports")}, {"0|||"}},
        {"classes counted as ports", false, {DeviceBuilder().Class("USB").FriendlyName("a (COM8)"),
          DeviceBuilder().FriendlyName("b (COM9)"), DeviceBuilder().Class("pOrTs").FriendlyName("c (COM10)"),
          DeviceBuilder().Class("Unknown").FriendlyName("d (COM3)")}, {"8|a||", "9|b||", "10|c||"}},
        {"two devices on COM4", false, {Port("A (COM4)"), Port("B (COM4)")}, {"4|A||", "4|B||"}},
        {"modem and port on COM1", false, {Modem("M"), Port("P (COM1)")}, {"1|M||", "1|P||"}},
        {"COM0 first is overwritten", false, {Port("Null (COM0)").Mfg("m"), Port("Sieben (COM7)")}, {"7|Sieben||"}},
        {"COM0 later gets its own row", false, {Port("Fünf (COM5)"), Port("Null (COM0)"), Port("Sechs (COM6)")},
         {"5|Fünf||", "0|Null||", "6|Sechs||"}},
        // Run-time failures end the pass: rows so far stay, a prepared row keeps what was written.
        {"no ) after the last (COM", false, {Port("A (COM2)"), Port("B (COM1) C (COM"), Port("D (COM7)")}, {"2|A||"}},
        {"number beyond 16 bits", false, {Port("A (COM2)"), Port("X (COM5) Y (COM99999)").Mfg("Hersteller"), Port("D (COM7)")},
         {"2|A||", "0||Hersteller|"}},
        {"index 32767 ends the pass", false, std::vector<MemoryDevice>(32769, Port("P (COM1)")), Texts(32768, "1|P||")},
        {"PL2303: a port whose ID contains its own suppresses, another's does not", true,
         {Dev("Ports", kPl), Cable(kPl), Cable("USB\\VID_067B&PID_2303&REV_0400")}, {"PROBLEM_X510"}, {},
         {"", "usb\\vid_067b&pid_2303&rev_0300&mi_00"}},
        {"usb2vcom: its own port suppresses, another's does not", true,
         {Cable(kUsb2 + "&REV_01"), Cable(kUsb2 + "&REV_02")}, {"PROBLEM_USB2VCOM"}, {}, {kUsb2 + "&REV_01"}},
        {"FTDI, OTI, CP210x: a port of the kind suppresses", true,
         {Dev("Ports", kFtdi + "&REV_06"), Cable(kFtdi + "&REV_04"), Cable(kOti + "&REV_02"), Cable(kCp + "&REV_01")},
         {}, {}, {kFtdi + "&REV_06", kOti + "&REV_01", kCp + "&REV_02"}},
        {"every watched class in any case, no port", true, {Dev("ports", kPl), Dev("MODEM", kUsb2),
          Dev("uNKNOWN", kFtdi), Dev("Usb", kOti), Cable("usb\\vid_10c4&pid_ea60")}, kAllFive},
        {"each rule on its own, in order", true, {Cable(kCp + kOti + kFtdi + kUsb2 + kPl)}, kAllFive},
        {"other classes ignored, Siemens by equality only", true, {Dev("Net", kPl), Dev("USB Geräte", kCp),
          DeviceBuilder().Class("Bluetooth").Description("Siemens USB Connectivity"),
          Dev("USB", kPl).Description("SIEMENS USB CONNECTIVITY "),
          Dev("USB", "").Description("Siemens USB Connectivity Modem")}, {"PROBLEM_X510"}},
        {"Siemens in any case, beside a port, hardware ID not examined", true,
         {Dev("Modem", kPl).Description("siemens usb CONNECTIVITY"),
          DeviceBuilder().Description("SIEMENS USB CONNECTIVITY")}, {"PROBLEM_X40", "PROBLEM_X40"}, {}, {kFtdi}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        Install(bench, c.devices, c.attachedTo);
        EXPECT_EQ(c.problems ? Detect(bench, c.ports) : Collect(bench), c.expected);
    }
}

// Every property code 0..28 but the friendly name holds p followed by its number; two hardware IDs.
DeviceBuilder NumberedDevice(const std::string& p) {
    DeviceBuilder device;
    for (std::uint32_t code = 0; code <= 28; ++code) {
        if (code != SPDRP_FRIENDLYNAME) {
            device.Set(code, SzValue(p + std::to_string(code)));
        }
    }
    return device.HardwareIds({p + "1", "zweite"});
}

// One device: every dumped property holds "a" and its code, except the friendly name, which it lacks,
// and some that show how each type reads as text: a number, all 32 bits set, big-endian data as the
// bytes lie (00 00 00 01), binary data without its last byte, a type that is neither text nor number
// (with its message), zero length, 22 characters, more than 1024 bytes. Only the first hardware ID.
TEST(DetectDriverProblems, ClipboardGetsTheDumpOfEveryDevice) {
    const std::string longText = std::string(1500, 'x') + "END";
    Bench bench;
    Install(bench, {NumberedDevice("a")
                        .Set(SPDRP_ADDRESS, DwordValue(12))
                        .Set(SPDRP_BUSNUMBER, DwordValue(0xFFFFFFFFu))
                        .Set(SPDRP_BUSTYPEGUID, BytesValue(kRegDwordBigEndian, {0, 0, 0, 1}))
                        .Set(SPDRP_CAPABILITIES, BytesValue(kRegBinary, {'A', 'B', 'C', 'D'}))
                        .Set(SPDRP_CHARACTERISTICS, BytesValue(kRegNone, {'A', 0}))
                        .Set(SPDRP_CLASSGUID, BytesValue(kRegSz, {}))
                        .Set(SPDRP_COMPATIBLEIDS, BytesValue(kRegLink, {'A', 0}))
                        .Description("Prolific USB-to-Serial")
                        .Set(SPDRP_DRIVER, SzValue(longText))});
    EXPECT_EQ(Detect(bench, {""}, true), Texts{});
    EXPECT_EQ(
        bench.clipboard.text,
        "\r\n\r\nSPDRP_ADDRESS:12\r\nSPDRP_BUSNUMBER:-1\r\nSPDRP_BUSTYPEGUID:16777216\r\nSPDRP_CAPABILITIES:ABC\r\n"
        "SPDRP_CHARACTERISTICS:\r\nSPDRP_CLASS:a7\r\nSPDRP_CLASSGUID:\r\nSPDRP_COMPATIBLEIDS:\r\nSPDRP_CONFIGFLAGS:"
        "a10\r\n"
        "SPDRP_DEVICEDESC:Prolific USB-to-Serial\r\nSPDRP_DRIVER:" +
            longText +
            "\r\nSPDRP_ENUMERATOR_NAME:a22\r\nSPDRP_EXCLUSIVE:a26\r\nSPDRP_FRIENDLYNAME:\r\nSPDRP_HARDWAREID:a1\r\n"
            "SPDRP_LEGACYBUSTYPE:a20\r\nSPDRP_LOCATION_INFORMATION:a13\r\nSPDRP_LOWERFILTERS:a18\r\nSPDRP_MFG:a11\r\n"
            "SPDRP_PHYSICAL_DEVICE_OBJECT_NAME:a14\r\nSPDRP_SECURITY:a23\r\nSPDRP_SECURITY_SDS:a24\r\n"
            "SPDRP_UI_NUMBER:a16\r\nSPDRP_UPPERFILTERS:a17");
    EXPECT_EQ(bench.clipboard.clears, 1);
    EXPECT_EQ(bench.messages.Texts(), (Texts{kCantRead, kCantRead, kCopied}));
}

// Both walks on one machine: a port A on COM5, a modem M attached to COM3, then for the problem walk a
// Net device with an FTDI ID, a PL2303 cable and a CP210x cable. The walk ends its pass at the first
// run-time failure and keeps what it produced; the set is always destroyed and no key stays open,
// except what the system refused to release (there is nothing to retry).
TEST(DeviceWalks, FaultInjection) {
    // Port walk, property calls: A class 1-2, name 3-4, maker 5-6, hardware ID 7-8; M class 9-10,
    // driver 11-12. Problem walk without the dump: A 1-5 and M 6-10 (class, missing description,
    // hardware ID); Net class 11-12; PL2303 class 13 (missing), description 14-15, hardware ID 16-17;
    // CP210x 18-21. With the dump, A's address is call 1.
    const std::string a = "5|A|Ma|USB\\A", m = "3|M|Mm|MDMGEN";
    const Texts both{"PROBLEM_X510", "PROBLEM_CP210X"};
    const struct {
        bool problems;  // DetectDriverProblems, else CollectPortDevices
        bool dump;
        std::string call;
        std::int32_t code;
        int nth;
        Texts result;  // table rows or problem tags
        Texts messages;
    } cases[] = {
        // clang-format off
        {false, false, "", 0, 0, {a, m}, {}},
        {false, false, "SetupDiGetClassDevsA", 8, 1, {"0|||"}, {}},
        {false, false, "SetupDiEnumDeviceInfo", kErrorAccessDenied, 2, {a}, {}},
        {false, false, "SetupDiDestroyDeviceInfoList", kErrorInvalidHandle, 1, {a, m}, {}},
        {false, false, kProp, kErrorAccessDenied, 3, {m}, {kCantGet}},
        {false, false, kProp, kErrorAccessDenied, 11, {a}, {kCantGet}},
        {false, false, "RegCloseKey", kErrorInvalidHandle, 1, {a}, {}},
        {true, true, "", 0, 0, both, {kCopied}},
        {true, true, "SetupDiEnumDeviceInfo", kErrorAccessDenied, 5, {"PROBLEM_X510"}, {}},
        // Net without its class is watched, and its hardware ID is an FTDI one.
        {true, false, kProp, kErrorAccessDenied, 11, {"PROBLEM_FTDI2XX", "PROBLEM_X510", "PROBLEM_CP210X"}, {kCantGet}},
        {true, false, kProp, kErrorAccessDenied, 17, {"PROBLEM_CP210X"}, {kCantRead}},
        {true, true, kProp, kErrorAccessDenied, 1, both, {kCantGet, kCopied}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.problems ? "problems " : "ports ") + c.call + " #" + std::to_string(c.nth));
        Bench bench;
        Install(
            bench,
            {Port("A (COM5)").Mfg("Ma").HardwareIds({"USB\\A", "USB\\x"}), Modem("M").Mfg("Mm").HardwareIds({"MDMGEN"}),
             Dev("Net", kFtdi), Cable(kPl).Description("USB-Serial Controller"), Cable(kCp)},
            {SzValue("COM3")});
        if (!c.call.empty()) {
            bench.machine.FailCall(c.call, c.code, c.nth);
        }
        EXPECT_EQ(c.problems ? Detect(bench, {""}, c.dump) : Collect(bench), c.result);
        EXPECT_EQ(bench.messages.Texts(), c.messages);
        for (const auto& shown : bench.messages.shown) {
            EXPECT_EQ(shown.style, MessageStyle::PromptOnly);
        }
        const int copies = !c.messages.empty() && c.messages.back() == kCopied;  // cleared, then set
        EXPECT_EQ(std::pair(bench.clipboard.clears, bench.clipboard.sets), std::pair(copies, copies));
        EXPECT_EQ(bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), c.call != "SetupDiGetClassDevsA");
        EXPECT_EQ(bench.machine.OpenDeviceInfoSetCount(), c.call == "SetupDiDestroyDeviceInfoList");
        EXPECT_EQ(bench.machine.OpenKeyCount(), c.call == "RegCloseKey");
    }
}

}  // namespace
}  // namespace velmaro
