// The diagnosis of today's cables on whole machines held in memory: which devices get a row, with
// which text and tag, and which get none (a working chip, one the cable rules report, an unknown
// status). The expected rows are worked out from the chip table and the problem-code texts.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/win_codes.h"
#include "devices/cable_diagnosis.h"
#include "main_window/port_list_build.h"
#include "snapshot/snapshot_machine.h"
#include "support/fakes.h"
#include "support/fault_injection.h"

namespace velmaro {
namespace {

using snapshot::MultiSzValue;
using snapshot::SnapshotDevice;
using snapshot::SzValue;
using Row = std::pair<std::string, std::string>;  // description, tag

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

SnapshotDevice Device(const std::string& hardwareId,
                      const std::string& deviceClass,
                      const std::string& description,
                      std::optional<std::uint32_t> problem,
                      DeviceFacts facts = {}) {
    static int serial = 0;  // instances are unique within a snapshot
    SnapshotDevice device;
    device.instance = hardwareId + "\\" + std::to_string(++serial);
    device.properties[SPDRP_HARDWAREID] = MultiSzValue({hardwareId});
    device.properties[SPDRP_CLASS] = SzValue(deviceClass);
    device.properties[SPDRP_DEVICEDESC] = SzValue(description);
    if (problem) {
        device.status = DevNodeStatus{0, *problem};
    }
    device.facts = std::move(facts);
    return device;
}

// A working port in the COM-port interface set, as Windows lists an FT232R or Linux a tty.
SnapshotDevice Port(const std::string& hardwareId, const std::string& friendlyName, DeviceFacts facts = {}) {
    SnapshotDevice device = Device(hardwareId, "Ports", "USB Serial Port", 0u, std::move(facts));
    device.instance = "PORT\\" + friendlyName;
    device.comportInterface = true;
    device.properties[SPDRP_FRIENDLYNAME] = SzValue(friendlyName);
    return device;
}

DeviceFacts PortFacts(const char* node, const char* group, bool denied, std::vector<DeviceHolder> holders = {}) {
    DeviceFacts facts;
    facts.deviceNode = node;
    facts.group = group;
    facts.accessDenied = denied;
    facts.holders = std::move(holders);
    return facts;
}

DeviceFacts Bound(const char* driver, bool brlttyRule, std::vector<DeviceHolder> holders = {}) {
    DeviceFacts facts;
    facts.boundDriver = driver;
    facts.brlttyRuleMatches = brlttyRule;
    facts.holders = std::move(holders);
    return facts;
}

// The warning rows of the list built from the devices, beside a working FT232R on COM3.
std::vector<Row> WarningRows(std::vector<SnapshotDevice> devices, bool failStatusCalls = false) {
    snapshot::DeviceSnapshot machineSnapshot;
    machineSnapshot.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\VCP0", SzValue("COM3"));
    machineSnapshot.AddDevice(Port("FTDIBUS\\COMPORT&VID_0403&PID_6001", "USB Serial Port (COM3)"));
    for (SnapshotDevice& device : devices) {
        machineSnapshot.AddDevice(std::move(device));
    }
    snapshot::SnapshotMachine machine(std::move(machineSnapshot));
    testing::FaultInjection faults(machine, machine);
    if (failStatusCalls) {
        faults.FailCall("CM_Get_DevNode_Status", 13 /* CR_NO_SUCH_DEVNODE */, 1, -1);
    }
    testing::FakeUserServices user;
    const PortListContent content = user.List(faults, faults);
    std::vector<Row> rows;
    for (const PortRow& row : content.rows) {
        if (row.kind == RowKind::DriverProblem) {
            rows.emplace_back(row.description, row.problem ? std::string(TagOf(*row.problem)) : "");
        }
    }
    EXPECT_EQ(faults.OpenDeviceInfoSetCount(), 0);
    EXPECT_TRUE(user.messages.shown.empty());
    return rows;
}

struct Case {
    const char* name;
    std::vector<SnapshotDevice> devices;
    std::vector<Row> rows;
    bool failStatusCalls = false;
};

TEST(CableDiagnosis, RowsOfEachCodeAndTheirAbsence) {
    const DeviceHolder brltty{"brltty", 812};
    // clang-format off
    const Case cases[] = {
        // Windows: the status call's problem code on a known chip or a Ports/Modem device.
        {"CH340 without driver (28)", {Device("USB\\VID_1A86&PID_7523&REV_0254", "", "USB Serial", 28)},
         {{"WCH CH340 (1a86:7523) ohne Treiber", "PROBLEM_NO_DRIVER"}}},
        {"CH340 not configured (1)", {Device("USB\\VID_1A86&PID_7523", "Unknown", "USB Serial", 1)},
         {{"WCH CH340 (1a86:7523) ohne Treiber", "PROBLEM_NO_DRIVER"}}},
        {"Arduino Uno R3 to reinstall (18)", {Device("USB\\VID_2341&PID_0043&REV_0001", "Ports", "Arduino Uno", 18)},
         {{"Arduino Uno R3 (2341:0043) ohne Treiber", "PROBLEM_NO_DRIVER"}}},
        {"second FT232R without driver beside a working one", {Device("USB\\VID_0403&PID_6001&REV_0600", "", "FT232R USB UART", 28)},
         {{"FTDI FT232R (0403:6001) ohne Treiber", "PROBLEM_NO_DRIVER"}}},
        {"PL2303GC refused by its driver (10)", {Device("USB\\VID_067B&PID_23A3&REV_0300", "Ports", "Prolific USB-to-Serial Comm Port", 10)},
         {{"Prolific PL2303GC (067b:23a3): Treiber startet nicht", "PROBLEM_DRIVER_FAILED"}}},
        {"CH9102 stopped (43)", {Device("USB\\VID_1A86&PID_55D4", "Ports", "USB-Enhanced-SERIAL CH9102", 43)},
         {{"WCH CH9102 (1a86:55d4): Treiber startet nicht", "PROBLEM_DRIVER_FAILED"}}},
        {"CH340 disabled (22)", {Device("USB\\VID_1A86&PID_7523", "Ports", "USB-SERIAL CH340", 22)},
         {{"WCH CH340 (1a86:7523) ist deaktiviert", "PROBLEM_DISABLED"}}},
        {"built-in port disabled (22)", {Device("ACPI\\PNP0501", "Ports", "Kommunikationsanschluss", 22)},
         {{"Kommunikationsanschluss ist deaktiviert", "PROBLEM_DISABLED"}}},
        // Absent: working, unknown status, other problem codes, not a serial device, or already reported.
        {"working CH340", {Device("USB\\VID_1A86&PID_7523", "Ports", "USB-SERIAL CH340", 0)}, {}},
        {"CH340 of unknown status", {Device("USB\\VID_1A86&PID_7523", "Unknown", "USB Serial", std::nullopt)}, {}},
        {"status call failing", {Device("USB\\VID_1A86&PID_7523", "Unknown", "USB Serial", 28)}, {}, true},
        {"CH340 with another problem (31)", {Device("USB\\VID_1A86&PID_7523", "Ports", "USB-SERIAL CH340", 31)}, {}},
        {"webcam without driver", {Device("USB\\VID_046D&PID_0825", "", "USB Video", 28)}, {}},
        {"board maker's unknown product without CDC-ACM", {Device("USB\\VID_2341&PID_9999", "", "Arduino in DFU", 28)}, {}},
        {"CP2102 the cable rule reports", {Device("USB\\VID_10C4&PID_EA60&REV_0100", "", "CP2102 USB to UART Bridge Controller", 28)},
         {{"USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "PROBLEM_CP210X"}}},
        {"PL2303 the cable rule reports", {Device("USB\\VID_067B&PID_2303&REV_0300", "Ports", "Prolific USB-to-Serial Comm Port", 10)},
         {{"Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem", "PROBLEM_X510"}}},
        // Linux: the backend's facts on USB devices and ports.
        {"CH340 held by a brltty process", {Device("USB\\VID_1A86&PID_7523&REV_0254", "USB", "CH340 serial converter", 0, Bound("usbfs", false, {brltty}))},
         {{"WCH CH340 (1a86:7523) von brltty belegt", "PROBLEM_BRLTTY"}}},
        {"CH340 on usbfs that brltty's rule names", {Device("USB\\VID_1A86&PID_7523", "USB", "CH340 serial converter", 0, Bound("usbfs", true))},
         {{"WCH CH340 (1a86:7523) von brltty belegt", "PROBLEM_BRLTTY"}}},
        {"CH340 on usbfs for another program", {Device("USB\\VID_1A86&PID_7523", "USB", "CH340 serial converter", 0, Bound("usbfs", false, {{"flashrom", 900}}))}, {}},
        {"brltty's rule names a CH340 that ch341 drives", {Device("USB\\VID_1A86&PID_7523", "USB", "CH340 serial converter", 0, Bound("ch341", true))}, {}},
        {"FT232R bound without tty", {Device("USB\\VID_0403&PID_6001", "USB", "FT232R USB UART", 10, Bound("ftdi_sio", false))},
         {{"FTDI FT232R (0403:6001): Treiber startet nicht", "PROBLEM_DRIVER_FAILED"}}},
        {"tty the user cannot open", {Port("USB\\VID_1A86&PID_7523", "USB Serial [/dev/ttyUSB1] (COM5)", PortFacts("/dev/ttyUSB1", "dialout", true))},
         {{"Keine Berechtigung für /dev/ttyUSB1 (Gruppe dialout)", "PROBLEM_NO_ACCESS"}}},
        {"tty of group root the user cannot open", {Port("USB\\VID_1A86&PID_7523", "USB Serial [/dev/ttyUSB1] (COM5)", PortFacts("/dev/ttyUSB1", "root", true))}, {}},
        {"tty the user may open", {Port("USB\\VID_1A86&PID_7523", "USB Serial [/dev/ttyUSB1] (COM5)", PortFacts("/dev/ttyUSB1", "dialout", false))}, {}},
        {"tty held by minicom", {Port("USB\\VID_1A86&PID_7523", "USB Serial [/dev/ttyUSB1] (COM5)", PortFacts("/dev/ttyUSB1", "dialout", false, {{"minicom", 4711}}))},
         {{"/dev/ttyUSB1 belegt von minicom (PID 4711)", "PROBLEM_PORT_BUSY"}}},
        {"tty held by ModemManager", {Port("USB\\VID_2341&PID_0043", "Arduino Uno [/dev/ttyACM0] (COM6)", PortFacts("/dev/ttyACM0", "dialout", true, {{"minicom", 4711}, {"ModemManager", 812}}))},
         {{"/dev/ttyACM0 belegt von ModemManager (PID 812)", "PROBLEM_MODEMMANAGER"}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<SnapshotDevice> devices = c.devices;
        EXPECT_EQ(WarningRows(std::move(devices), c.failStatusCalls), c.rows) << c.name;
    }
}

// The guidance of a row names the chip, its module and driver and the driver page.
TEST(CableDiagnosis, RowCarriesWhatItsGuidanceNames) {
    DiagnosedDevice device;
    device.hardwareId = "USB\\VID_1A86&PID_7523&REV_0254";
    device.status = DevNodeStatus{0, 28};
    const std::optional<PortRow> row = DiagnosisRow(device);
    ASSERT_TRUE(row);
    const FillIns expected = {
        {"vid", "1a86"},         {"pid", "7523"},
        {"family", "WCH CH340"}, {"module", "ch341"},
        {"driver", "CH341SER"},  {"driverPage", "https://www.wch-ic.com/downloads/CH341SER_EXE.html"},
        {"code", "28"}};
    EXPECT_EQ(row->fillIns, expected);
    EXPECT_EQ(row->text, "Warnung");
    EXPECT_EQ(LookOf(*row).icon, kIconWarning);
    EXPECT_TRUE(LookOf(*row).Bold());
    EXPECT_EQ(LookOf(*row).Color(), kColorProblem);
}

}  // namespace
}  // namespace velmaro
