#include "ports/port_device_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>

#include "common/win_codes.h"
#include "device_test_support.h"

namespace velmaro {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::MemoryDevice;
using memory::RawValue;
using memory::SzValue;
using testing::Bench;
using testing::DeviceBuilder;
using testing::kErrorGenFailure;
using testing::kErrorNotEnoughMemory;
using testing::MockDevices;
using testing::RowsOf;
using testing::TableRow;
using testing::ThrowingDevices;
using testing::ThrowingMessageBox;

constexpr const char* kCantGet = "Error, can't get Regestryproperty";
constexpr const char* kCantRead = "Error while dermitting Regestryproperty";

constexpr const char* kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr const char* kModem0 = "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000";
constexpr const char* kModem1 = "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0001";

const TableRow kEmptyRow{0, "", "", ""};

DeviceBuilder Port(std::string_view friendlyName) {
    return DeviceBuilder().Class("Ports").FriendlyName(friendlyName);
}

DeviceBuilder Modem(std::string_view friendlyName, std::string_view driver) {
    return DeviceBuilder().Class("Modem").FriendlyName(friendlyName).Driver(driver);
}

// A machine, a table left over from an earlier pass, and the pass itself.
struct Pass {
    explicit Pass(const std::vector<MemoryDevice>& devices,
                  const std::vector<std::pair<std::string, RawValue>>& attachedTo = {}) {
        for (const auto& device : devices) {
            bench.machine.AddDevice(device);
        }
        for (const auto& [driver, value] : attachedTo) {
            bench.machine.PutValue(kHkeyLocalMachine, std::string(kClassKey) + driver, "AttachedTo", value);
        }
        table.PortNumbers = {9, 8};
        table.PortDescs = {"alt", "alt"};
        table.PortMfgs = {"alt", "alt"};
        table.PortHardwareIds = {"alt", "alt"};
    }
    void Run() { CollectPortDevices(bench.services, table); }
    void ExpectNothingLeftOpen(int setsRefused = 0, int keysRefused = 0) const {
        EXPECT_EQ(bench.machine.OpenDeviceInfoSetCount(), setsRefused);
        EXPECT_EQ(bench.machine.OpenKeyCount(), keysRefused);
    }

    Bench bench;
    PortDeviceTable table;
};

struct Scenario {
    const char* name;
    std::vector<MemoryDevice> devices;
    std::vector<std::pair<std::string, RawValue>> attachedTo;  // driver key -> "AttachedTo"
    std::vector<TableRow> expected;
};

void RunScenarios(const std::vector<Scenario>& scenarios) {
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.name);
        Pass pass(s.devices, s.attachedTo);
        pass.Run();
        EXPECT_EQ(RowsOf(pass.table), s.expected);
        EXPECT_TRUE(pass.bench.messages.shown.empty());
        pass.ExpectNothingLeftOpen();
    }
}

TEST(PortDeviceTable, ResetLeavesOneEmptyRow) {
    PortDeviceTable table;
    EXPECT_EQ(RowsOf(table), std::vector<TableRow>{kEmptyRow});
    table.PortNumbers = {3, 4, 5};
    table.PortDescs = {"a", "b", "c"};
    table.PortMfgs = {"a", "b", "c"};
    table.PortHardwareIds = {"a", "b", "c"};
    table.Reset();
    EXPECT_EQ(RowsOf(table), std::vector<TableRow>{kEmptyRow});
}

TEST(CollectPortDevices, PortClassDevices) {
    const std::string longName(1500, 'a');
    RunScenarios({
        {"no COM port device",
         {Port("Kommunikationsanschluss (COM1)").NotOnComportInterface(),
          DeviceBuilder().Class("Net").FriendlyName("Netzwerkkarte (COM6)"),
          Port("USB Serial Port (COM7)").NotPresent()},
         {},
         {kEmptyRow}},
        {"tag at the end",
         {Port("Prolific USB-to-Serial Comm Port (COM5)")
              .Mfg("Prolific")
              .HardwareIds({"USB\\VID_067B&PID_2303&REV_0300", "USB\\VID_067B&PID_2303"})},
         {},
         {{5, "Prolific USB-to-Serial Comm Port", "Prolific", "USB\\VID_067B&PID_2303&REV_0300"}}},
        {"blanks around", {Port("  USB Serial Port   (COM6)  ")}, {}, {{6, "USB Serial Port", "", ""}}},
        {"two tags", {Port("Dual (COM3) Port (COM4)")}, {}, {{4, "Dual (COM3) Port", "", ""}}},
        {"same tag twice", {Port("(COM4) Port (COM4)")}, {}, {{4, "Port", "", ""}}},
        {"only the tag", {Port("(COM1)(COM1)")}, {}, {{1, "", "", ""}}},
        {"three digits", {Port("Multiport (COM123)")}, {}, {kEmptyRow}},
        {"small letters in the tag", {Port("USB Serial Port (com5)")}, {}, {kEmptyRow}},
        {"tag without digits", {Port("USB Serial Port (COM)")}, {}, {kEmptyRow}},
        {"no friendly name", {DeviceBuilder().Class("Ports").Mfg("x")}, {}, {kEmptyRow}},
        {"kommunikationsanschluss in small letters",
         {Port("kommunikationsanschluss (COM1)")},
         {},
         {{1, "Standard COM Port", "", ""}}},
        {"only the first Kommunikationsanschluss",
         {Port("Kommunikationsanschluss kommunikationsanschluss (COM2)")},
         {},
         {{2, "Standard COM Port kommunikationsanschluss", "", ""}}},
        {"Siemens data cable",
         {Port("SIEMENS USB DATA CABLE (COM9)").Mfg("Siemens")},
         {},
         {{9, "Siemens USB Kabel DCA-510", "Siemens", ""}}},
        {"modem name on a port stays",
         {Port("Siemens Mobile Phone USB Modem (COM4)")},
         {},
         {{4, "Siemens Mobile Phone USB Modem", "", ""}}},
        {"umlauts",
         {Port("Gerät für Übertragung (COM4)").Mfg("Müller & Söhne")},
         {},
         {{4, "Gerät für Übertragung", "Müller & Söhne", ""}}},
        {"name over 1024 bytes", {Port(longName + " (COM8)")}, {}, {{8, longName, "", ""}}},
        // The last tag decides; its number text only has to be numeric.
        {"fraction rounds half to even", {Port("X (COM1) (COM2.5)")}, {}, {{2, "X (COM1)", "", ""}}},
        {"blank in the number", {Port("Y (COM1) (COM 7)")}, {}, {{7, "Y (COM1)", "", ""}}},
        {"negative number", {Port("V (COM1) (COM-5)")}, {}, {{-5, "V (COM1)", "", ""}}},
        {"largest number", {Port("W (COM1) (COM32767)")}, {}, {{32767, "W (COM1)", "", ""}}},
        {"rounds down to the largest", {Port("W (COM1) (COM32766.5)")}, {}, {{32766, "W (COM1)", "", ""}}},
        {"not numeric", {Port("Z (COM1) (COMx)")}, {}, {kEmptyRow}},
    });
}

TEST(CollectPortDevices, DeviceClasses) {
    RunScenarios({
        {"classes counted as ports",
         {DeviceBuilder().Class("USB").FriendlyName("USB Serial Device (COM8)"),
          DeviceBuilder().FriendlyName("Ohne Klasse (COM9)"), DeviceBuilder().Class("ports").FriendlyName("a (COM10)"),
          DeviceBuilder().Class("PoRtS").FriendlyName("b (COM11)")},
         {},
         {{8, "USB Serial Device", "", ""}, {9, "Ohne Klasse", "", ""}, {10, "a", "", ""}, {11, "b", "", ""}}},
        {"other classes skipped",
         {DeviceBuilder().Class("Net").FriendlyName("c (COM1)"),
          DeviceBuilder().Class("Bluetooth").FriendlyName("d (COM2)"),
          DeviceBuilder().Class("Unknown").FriendlyName("e (COM3)")},
         {},
         {kEmptyRow}},
    });
}

TEST(CollectPortDevices, Modems) {
    RunScenarios({
        {"AttachedTo COM3 keeps the full name",
         {Modem("Standardmodem über Bluetooth-Verbindung (COM3)", kModem0)
              .Mfg("(Standardmodemtypen)")
              .HardwareIds({"BTHMODEM\\Modem", "Modem"})},
         {{kModem0, SzValue("COM3")}},
         {{3, "Standardmodem über Bluetooth-Verbindung (COM3)", "(Standardmodemtypen)", "BTHMODEM\\Modem"}}},
        {"AttachedTo COM100", {Modem("Modem", kModem0)}, {{kModem0, SzValue("COM100")}}, {kEmptyRow}},
        {"Siemens modem",
         {Modem("Siemens Mobile Phone USB Modem", kModem0).Mfg("Siemens")},
         {{kModem0, SzValue("COM11")}},
         {{11, "Siemens USB Kabel DCA-140/540, DSC-100/600", "Siemens", ""}}},
        {"Siemens modem in small letters",
         {Modem("siemens mobile phone usb modem #2", kModem0)},
         {{kModem0, SzValue("COM12")}},
         {{12, "Siemens USB Kabel DCA-140/540, DSC-100/600 #2", "", ""}}},
        {"port names stay on modems",
         {Modem("Siemens USB Data Cable Kommunikationsanschluss", kModem0)},
         {{kModem0, SzValue("COM2")}},
         {{2, "Siemens USB Data Cable Kommunikationsanschluss", "", ""}}},
        {"class in capitals",
         {DeviceBuilder().Class("MODEM").FriendlyName("M").Driver(kModem0)},
         {{kModem0, SzValue("COM6")}},
         {{6, "M", "", ""}}},
        {"leading zero", {Modem("M", kModem0)}, {{kModem0, SzValue("COM05")}}, {{5, "M", "", ""}}},
        {"text after a NUL",
         {Modem("M", kModem0)},
         {{kModem0, BytesValue(kRegSz, {'C', 'O', 'M', '3', 0, 'x', 'y', 0})}},
         {{3, "M", "", ""}}},
        {"small letters", {Modem("M", kModem0)}, {{kModem0, SzValue("com3")}}, {kEmptyRow}},
        {"leading blank", {Modem("M", kModem0)}, {{kModem0, SzValue(" COM3")}}, {kEmptyRow}},
        {"number value", {Modem("M", kModem0)}, {{kModem0, DwordValue(3)}}, {kEmptyRow}},
        {"expandable text", {Modem("M", kModem0)}, {{kModem0, SzValue("COM3", kRegExpandSz)}}, {kEmptyRow}},
        {"value missing", {Modem("M", kModem0)}, {{kModem1, SzValue("COM3")}}, {kEmptyRow}},
        {"no driver", {DeviceBuilder().Class("Modem").FriendlyName("M")}, {{kModem0, SzValue("COM3")}}, {kEmptyRow}},
        {"modem and port on COM1",
         {Modem("Modem", kModem0), Port("Anschluss (COM1)")},
         {{kModem0, SzValue("COM1")}},
         {{1, "Modem", "", ""}, {1, "Anschluss", "", ""}}},
    });
}

TEST(CollectPortDevices, RowsInEnumerationOrder) {
    RunScenarios({
        {"two devices on COM4",
         {Port("A (COM4)").Mfg("m1").HardwareIds({"h1"}), Port("B (COM4)").Mfg("m2").HardwareIds({"h2"})},
         {},
         {{4, "A", "m1", "h1"}, {4, "B", "m2", "h2"}}},
        {"COM0 alone fills row 0", {Port("Null (COM0)").Mfg("m")}, {}, {{0, "Null", "m", ""}}},
        // Row 0 still carries number 0, so the next device takes it over.
        {"COM0 first is overwritten",
         {Port("Null (COM0)").Mfg("m"), Port("Sieben (COM7)")},
         {},
         {{7, "Sieben", "", ""}}},
        {"COM0 later gets its own row",
         {Port("Fünf (COM5)"), Port("Null (COM0)"), Port("Sechs (COM6)")},
         {},
         {{5, "Fünf", "", ""}, {0, "Null", "", ""}, {6, "Sechs", "", ""}}},
        {"skipped devices leave no row",
         {Port("A (COM1)"), DeviceBuilder().Class("Net").FriendlyName("N (COM2)"), Port("C (COM3)")},
         {},
         {{1, "A", "", ""}, {3, "C", "", ""}}},
    });
}

TEST(CollectPortDevices, AsksForPresentComPortInterfaceDevices) {
    ::testing::StrictMock<MockDevices> devices;
    Bench bench;
    Services services{bench.machine, devices, bench.messages, bench.clipboard, bench.clock, bench.pointer};
    const Guid comport{0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
    ::testing::InSequence order;
    EXPECT_CALL(devices, GetClassDevs(comport, 0x16u)).WillOnce(::testing::Return(DevInfoSet{77}));
    EXPECT_CALL(devices, EnumDeviceInfo(77, 0u, ::testing::Field(&DevInfoData::cbSize, 28u)))
        .WillOnce(::testing::Return(false));
    EXPECT_CALL(devices, DestroyDeviceInfoList(77)).WillOnce(::testing::Return(true));
    PortDeviceTable table;
    CollectPortDevices(services, table);
    EXPECT_EQ(RowsOf(table), std::vector<TableRow>{kEmptyRow});
}

TEST(CollectPortDevices, SetNotObtainedIsNotDestroyed) {
    ::testing::StrictMock<MockDevices> devices;
    Bench bench;
    Services services{bench.machine, devices, bench.messages, bench.clipboard, bench.clock, bench.pointer};
    EXPECT_CALL(devices, GetClassDevs(::testing::_, ::testing::_)).WillOnce(::testing::Return(kInvalidHandleValue));
    EXPECT_CALL(devices, EnumDeviceInfo(::testing::_, ::testing::_, ::testing::_))
        .WillRepeatedly(::testing::Return(false));
    EXPECT_CALL(devices, GetLastError()).WillRepeatedly(::testing::Return(6u));
    PortDeviceTable table;
    table.PortNumbers[0] = 3;
    CollectPortDevices(services, table);
    EXPECT_EQ(RowsOf(table), std::vector<TableRow>{kEmptyRow});
}

// --- failures end the pass -----------------------------------------------------------------------

struct Interrupted {
    const char* name;
    std::vector<MemoryDevice> devices;
    std::vector<TableRow> expected;
    int enumerations;  // SetupDiEnumDeviceInfo calls until the pass ended
};

TEST(CollectPortDevices, RunTimeFailuresEndThePassAndKeepTheRows) {
    const Interrupted cases[] = {
        {"no ) after the last (COM",
         {Port("Erster (COM2)"), Port("Kaputt (COM1) Anschluss (COM"), Port("Dritter (COM7)")},
         {{2, "Erster", "", ""}},
         2},
        // The row was prepared and its maker written before the number failed.
        {"number beyond 16 bits",
         {Port("Erster (COM2)"), Port("X (COM5) Y (COM99999)").Mfg("Hersteller").HardwareIds({"hw"}),
          Port("Dritter (COM7)")},
         {{2, "Erster", "", ""}, {0, "", "Hersteller", ""}},
         2},
        {"first device beyond 16 bits",
         {Port("X (COM5) (COM40000)").Mfg("M"), Port("Danach (COM7)")},
         {{0, "", "M", ""}},
         1},
        {"rounds up beyond 16 bits", {Port("R (COM1) (COM32767.5)"), Port("Danach (COM3)")}, {kEmptyRow}, 1},
        {"negative beyond 16 bits", {Port("Q (COM1) (COM-32769)"), Port("Danach (COM3)")}, {kEmptyRow}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pass pass(c.devices);
        pass.Run();
        EXPECT_EQ(RowsOf(pass.table), c.expected);
        EXPECT_EQ(pass.bench.machine.CallCount("SetupDiEnumDeviceInfo"), c.enumerations);
        EXPECT_EQ(pass.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), 1);
        EXPECT_TRUE(pass.bench.messages.shown.empty());
        pass.ExpectNothingLeftOpen();
    }
}

TEST(CollectPortDevices, ServiceExceptionsEndThePass) {
    // Eight property calls per port: class, friendly name, maker, hardware ID, two calls each.
    struct Case {
        int throwOnPropertyCall;
        std::vector<TableRow> expected;
    } cases[] = {
        {1, {kEmptyRow}},
        {8, {{5, "A", "mA", ""}}},  // A's hardware ID read fails after its row was filled
        {9, {{5, "A", "mA", "hA"}}},
        {13, {{5, "A", "mA", "hA"}, kEmptyRow}},  // B's row prepared, its maker read fails
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.throwOnPropertyCall);
        Pass pass({Port("A (COM5)").Mfg("mA").HardwareIds({"hA"}), Port("B (COM6)").Mfg("mB").HardwareIds({"hB"})});
        ThrowingDevices devices(pass.bench.machine, c.throwOnPropertyCall);
        Services services{pass.bench.machine,   devices,          pass.bench.messages,
                          pass.bench.clipboard, pass.bench.clock, pass.bench.pointer};
        CollectPortDevices(services, pass.table);
        EXPECT_EQ(RowsOf(pass.table), c.expected);
        pass.ExpectNothingLeftOpen();
    }
}

TEST(CollectPortDevices, FailingMessageBoxEndsThePass) {
    Pass pass({Port("A (COM2)"), DeviceBuilder().Set(SPDRP_CLASS, BytesValue(kRegNone, {1})).FriendlyName("B (COM3)"),
               Port("C (COM4)")});
    ThrowingMessageBox messages;
    Services services{pass.bench.machine,   pass.bench.machine, messages,
                      pass.bench.clipboard, pass.bench.clock,   pass.bench.pointer};
    CollectPortDevices(services, pass.table);
    EXPECT_EQ(messages.shown, 1);
    EXPECT_EQ(RowsOf(pass.table), (std::vector<TableRow>{{2, "A", "", ""}}));
    pass.ExpectNothingLeftOpen();
}

TEST(CollectPortDevices, StopsAfterIndex32767) {
    std::vector<MemoryDevice> devices;
    for (int i = 0; i < 32769; ++i) {
        devices.push_back(Port("P (COM" + std::to_string(i % 99 + 1) + ")"));
    }
    Pass pass(devices);
    pass.Run();
    ASSERT_EQ(pass.table.Rows(), 32768u);
    EXPECT_EQ(RowsOf(pass.table).front(), (TableRow{1, "P", "", ""}));
    EXPECT_EQ(pass.table.PortNumbers[98], 99);
    EXPECT_EQ(pass.table.PortNumbers[99], 1);
    // Index 32767: 32767 % 99 = 97, so COM98.
    EXPECT_EQ(RowsOf(pass.table).back(), (TableRow{98, "P", "", ""}));
    EXPECT_EQ(pass.bench.machine.CallCount("SetupDiEnumDeviceInfo"), 32768);
    EXPECT_EQ(pass.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), 1);
    pass.ExpectNothingLeftOpen();
}

// --- every platform call failing once ------------------------------------------------------------

TEST(CollectPortDevices, FaultInjection) {
    const TableRow a{5, "Prolific USB-to-Serial Comm Port", "Prolific", "USB\\VID_067B&PID_2303&REV_0300"};
    const TableRow b{3, "Standardmodem", "Modemhersteller", "MDMGEN"};
    TableRow aWithoutMfg = a;
    aWithoutMfg.mfg = "";
    TableRow aWithoutHardwareId = a;
    aWithoutHardwareId.hardwareId = "";
    const TableRow bWithoutName{3, "", "Modemhersteller", "MDMGEN"};
    // Property calls: A class 1-2, name 3-4, maker 5-6, hardware ID 7-8; B class 9-10, driver 11-12,
    // name 13-14, maker 15-16, hardware ID 17-18.
    struct Case {
        const char* call;
        std::int32_t code;
        int nth;
        std::vector<TableRow> expected;
        std::vector<std::string> messages;
        int destroys;
    } cases[] = {
        {"", 0, 0, {a, b}, {}, 1},
        {"SetupDiGetClassDevsA", kErrorNotEnoughMemory, 1, {kEmptyRow}, {}, 0},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 1, {kEmptyRow}, {}, 1},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 2, {a}, {}, 1},
        {"SetupDiEnumDeviceInfo", kErrorNoMoreItems, 2, {a}, {}, 1},
        {"SetupDiDestroyDeviceInfoList", kErrorInvalidHandle, 1, {a, b}, {}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 1, {a, b}, {kCantGet}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorGenFailure, 2, {a, b}, {kCantRead}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 3, {b}, {kCantGet}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorInvalidData, 3, {b}, {}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 5, {aWithoutMfg, b}, {kCantGet}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 7, {aWithoutHardwareId, b}, {kCantGet}, 1},
        // B without class counts as a port, and its name carries no tag.
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 9, {a}, {kCantGet}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 11, {a}, {kCantGet}, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 13, {a, bWithoutName}, {kCantGet}, 1},
        {"RegOpenKeyExA", kErrorAccessDenied, 1, {a}, {}, 1},
        {"RegQueryValueExA", kErrorAccessDenied, 1, {a}, {}, 1},
        {"RegQueryValueExA", kErrorMoreData, 2, {a}, {}, 1},
        {"RegCloseKey", kErrorInvalidHandle, 1, {a}, {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " #" + std::to_string(c.nth) + " -> " + std::to_string(c.code));
        Pass pass({Port("Prolific USB-to-Serial Comm Port (COM5)")
                       .Mfg("Prolific")
                       .HardwareIds({"USB\\VID_067B&PID_2303&REV_0300", "USB\\VID_067B&PID_2303"}),
                   Modem("Standardmodem", kModem0).Mfg("Modemhersteller").HardwareIds({"MDMGEN"})},
                  {{kModem0, SzValue("COM3")}});
        if (*c.call) {
            pass.bench.machine.FailCall(c.call, c.code, c.nth);
        }
        pass.Run();
        EXPECT_EQ(RowsOf(pass.table), c.expected);
        EXPECT_EQ(pass.bench.messages.Texts(), c.messages);
        EXPECT_EQ(pass.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), c.destroys);
        // A release the system refuses leaves that one handle with it; there is nothing to retry.
        const std::string call = c.call;
        pass.ExpectNothingLeftOpen(call == "SetupDiDestroyDeviceInfoList" ? 1 : 0, call == "RegCloseKey" ? 1 : 0);
    }
}

}  // namespace
}  // namespace velmaro
