#include "devices/driver_problems.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "common/win_codes.h"
#include "device_test_support.h"

namespace velmaro {

void PrintTo(const PortRow& row, std::ostream* out) {
    *out << "{\"" << row.text << "\", \"" << row.subItem << "\", " << row.icon << ", " << row.tag << ", bold "
         << row.bold << "/" << row.subItemBold << ", colour " << row.foreColor.value_or(0) << "/"
         << row.subItemForeColor.value_or(0) << "}";
}

namespace {

using memory::BytesValue;
using memory::MemoryDevice;
using testing::Bench;
using testing::DeviceBuilder;
using testing::kEmptyDump;
using testing::kErrorGenFailure;
using testing::kErrorNotEnoughMemory;
using testing::MockDevices;

constexpr const char* kCantGet = "Error, can't get Regestryproperty";
constexpr const char* kCantRead = "Error while dermitting Regestryproperty";
constexpr const char* kCopied = "OK, alles in der Zwischenablage!";

constexpr const char* kPl2303 = "USB\\VID_067B&PID_2303&REV_0300";

PortRow ProblemRow(const std::string& text, const std::string& code) {
    PortRow row;
    row.text = "Warnung";
    row.subItem = text;
    row.icon = "WARNING";
    row.tag = code;
    row.bold = true;
    row.subItemBold = true;
    row.foreColor = 192;
    row.subItemForeColor = 192;
    return row;
}

// A driverless device: no class at all, only its hardware IDs.
DeviceBuilder Cable(std::string_view hardwareId) {
    return DeviceBuilder().HardwareIds({std::string(hardwareId)});
}

// A machine, the port table of the same refresh, the list, and one scan.
struct Scan {
    explicit Scan(const std::vector<MemoryDevice>& devices, std::vector<std::string> portHardwareIds = {""}) {
        for (const auto& device : devices) {
            bench.machine.AddDevice(device);
        }
        table.PortNumbers.assign(portHardwareIds.size(), 1);
        table.PortDescs.assign(portHardwareIds.size(), "");
        table.PortMfgs.assign(portHardwareIds.size(), "");
        table.PortHardwareIds = std::move(portHardwareIds);
    }
    void Run(bool clipboardRequested = false) { Run(bench.services, clipboardRequested); }
    void Run(const Services& services, bool clipboardRequested) {
        DetectDriverProblems(services, table, list, clipboardRequested);
    }
    std::vector<std::string> Tags() const {
        std::vector<std::string> tags;
        for (const auto& row : list.Rows()) {
            tags.push_back(row.tag);
        }
        return tags;
    }
    void ExpectSetReleased(int refused = 0) const { EXPECT_EQ(bench.machine.OpenDeviceInfoSetCount(), refused); }

    Bench bench;
    PortDeviceTable table;
    PortListModel list;
};

struct Case {
    const char* name;
    std::vector<MemoryDevice> devices;
    std::vector<std::string> portHardwareIds;
    std::vector<std::string> expectedTags;
};

void RunCases(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scan scan(c.devices, c.portHardwareIds);
        scan.Run();
        EXPECT_EQ(scan.Tags(), c.expectedTags);
        for (const auto& tag : scan.Tags()) {
            EXPECT_NE(tag, "PROBLEM_2XUSED_USB2VCOM");
        }
        EXPECT_TRUE(scan.bench.messages.shown.empty());
        EXPECT_EQ(scan.bench.clipboard.sets, 0);
        scan.ExpectSetReleased();
    }
}

TEST(DetectDriverProblems, HardwareIdRules) {
    RunCases({
        {"PL2303 with working driver",
         {DeviceBuilder().Class("Ports").Description("Prolific USB-to-Serial Comm Port").HardwareIds({kPl2303, "x"})},
         {"", kPl2303},
         {}},
        {"PL2303 without driver", {Cable(kPl2303)}, {""}, {"PROBLEM_X510"}},
        {"PL2303 beside another PL2303's port",
         {Cable("USB\\VID_067B&PID_2303&REV_0400")},
         {kPl2303},
         {"PROBLEM_X510"}},
        {"port ID containing the device's ID", {Cable(kPl2303)}, {"usb\\vid_067b&pid_2303&rev_0300&mi_00"}, {}},
        {"capitals", {Cable("USB\\VID_067B&PID_2303")}, {""}, {"PROBLEM_X510"}},
        {"small letters", {Cable("usb\\vid_067b&pid_2303")}, {""}, {"PROBLEM_X510"}},
        {"usb2vcom with working driver",
         {Cable("USB\\VID_6547&PID_0232&REV_0100")},
         {"USB\\VID_6547&PID_0232&REV_0100"},
         {}},
        {"usb2vcom beside another one's port",
         {Cable("USB\\VID_6547&PID_0232&REV_0100")},
         {"USB\\VID_6547&PID_0232&REV_0200"},
         {"PROBLEM_USB2VCOM"}},
        {"two FTDI cables, one with driver",
         {DeviceBuilder().Class("Ports").HardwareIds({"USB\\VID_0403&PID_6001&REV_0600"}),
          Cable("USB\\VID_0403&PID_6001&REV_0400")},
         {"USB\\VID_0403&PID_6001&REV_0600"},
         {}},
        {"FTDI without any FTDI port", {Cable("USB\\VID_0403&PID_6001&REV_0400")}, {kPl2303}, {"PROBLEM_FTDI2XX"}},
        {"OTI beside another OTI's port",
         {Cable("USB\\VID_0EA0&PID_6858&REV_0200")},
         {"USB\\VID_0EA0&PID_6858&REV_0100"},
         {}},
        {"OTI without port", {Cable("USB\\VID_0EA0&PID_6858&REV_0200")}, {""}, {"PROBLEM_OTI"}},
        {"CP210x beside another CP210x's port",
         {Cable("USB\\VID_10C4&PID_EA60&REV_0100")},
         {"USB\\VID_10C4&PID_EA60&REV_0200"},
         {}},
        {"CP210x without port", {Cable("USB\\VID_10C4&PID_EA60&REV_0100")}, {""}, {"PROBLEM_CP210X"}},
        {"each rule on its own",
         {Cable("USB\\VID_0403&PID_6001&VID_10C4&PID_EA60")},
         {""},
         {"PROBLEM_FTDI2XX", "PROBLEM_CP210X"}},
        {"first two rules in order",
         {Cable("USB\\VID_067B&PID_2303&VID_6547&PID_0232")},
         {""},
         {"PROBLEM_X510", "PROBLEM_USB2VCOM"}},
        {"own ID suppresses both of the first two",
         {Cable("USB\\VID_067B&PID_2303&VID_6547&PID_0232")},
         {"USB\\VID_067B&PID_2303&VID_6547&PID_0232"},
         {}},
        {"only the first hardware ID counts",
         {DeviceBuilder().HardwareIds({"USB\\VID_1234&PID_0001", "USB\\VID_067B&PID_2303"})},
         {""},
         {}},
        {"no hardware ID", {DeviceBuilder().Class("USB").Description("USB-Verbundgerät")}, {""}, {}},
    });
}

TEST(DetectDriverProblems, DeviceClasses) {
    RunCases({
        {"every watched class, no port in the table",
         {DeviceBuilder().Class("Ports").HardwareIds({kPl2303}),
          DeviceBuilder().Class("Modem").HardwareIds({"USB\\VID_6547&PID_0232"}),
          DeviceBuilder().Class("Unknown").HardwareIds({"USB\\VID_0403&PID_6001"}),
          DeviceBuilder().Class("USB").HardwareIds({"USB\\VID_0EA0&PID_6858"}), Cable("USB\\VID_10C4&PID_EA60")},
         {""},
         {"PROBLEM_X510", "PROBLEM_USB2VCOM", "PROBLEM_FTDI2XX", "PROBLEM_OTI", "PROBLEM_CP210X"}},
        {"watched classes in any letter case",
         {DeviceBuilder().Class("ports").HardwareIds({kPl2303}),
          DeviceBuilder().Class("uNKNOWN").HardwareIds({"USB\\VID_0403&PID_6001"})},
         {""},
         {"PROBLEM_X510", "PROBLEM_FTDI2XX"}},
        {"other classes ignored",
         {DeviceBuilder().Class("Net").HardwareIds({kPl2303}),
          DeviceBuilder().Class("HIDClass").HardwareIds({"USB\\VID_0403&PID_6001"}),
          DeviceBuilder().Class("Bluetooth").Description("Siemens USB Connectivity"),
          DeviceBuilder().Class("USB Geräte").HardwareIds({"USB\\VID_10C4&PID_EA60"})},
         {""},
         {}},
    });
}

TEST(DetectDriverProblems, SiemensConnectivity) {
    RunCases({
        {"port exists, hardware ID not examined",
         {DeviceBuilder().Class("USB").Description("Siemens USB Connectivity").HardwareIds({kPl2303})},
         {kPl2303},
         {"PROBLEM_X40"}},
        {"any letter case, no port",
         {DeviceBuilder().Class("Modem").Description("siemens usb CONNECTIVITY").HardwareIds({kPl2303})},
         {""},
         {"PROBLEM_X40"}},
        {"without class", {DeviceBuilder().Description("SIEMENS USB CONNECTIVITY")}, {""}, {"PROBLEM_X40"}},
        {"equality, not containment",
         {DeviceBuilder().Class("USB").Description("SIEMENS USB CONNECTIVITY ").HardwareIds({kPl2303}),
          DeviceBuilder().Class("USB").Description("Siemens USB Connectivity Modem")},
         {""},
         {"PROBLEM_X510"}},
    });
}

TEST(DetectDriverProblems, ProblemRowsCarryTheirTexts) {
    const struct {
        MemoryDevice device;
        PortRow row;
    } cases[] = {
        {DeviceBuilder().Description("Siemens USB Connectivity"),
         ProblemRow("Siemens USB Datenkabel mit Treiberproblem", "PROBLEM_X40")},
        {Cable(kPl2303),
         ProblemRow("Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem", "PROBLEM_X510")},
        {Cable("USB\\VID_6547&PID_0232"),
         ProblemRow("USB Wandler / Datenkabel Typ usb2vcom mit Treiberproblem", "PROBLEM_USB2VCOM")},
        {Cable("USB\\VID_0403&PID_6001"),
         ProblemRow("USB Wandler / Datenkabel Typ FTDI mit Treiberproblem", "PROBLEM_FTDI2XX")},
        {Cable("USB\\VID_0EA0&PID_6858"),
         ProblemRow("USB Wandler / Datenkabel Typ OTI mit Treiberproblem", "PROBLEM_OTI")},
        {Cable("USB\\VID_10C4&PID_EA60"),
         ProblemRow("USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "PROBLEM_CP210X")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row.tag);
        Scan scan({c.device});
        scan.list.AddRow("COM 1", "COM");  // rows of the refresh stay in front
        scan.Run();
        ASSERT_EQ(scan.list.Count(), 2);
        EXPECT_EQ(scan.list.Rows()[1], c.row);
    }
}

// --- problem rows --------------------------------------------------------------------------------

class MockPortList : public IPortList {
  public:
    MOCK_METHOD(void, Clear, (), (override));
    MOCK_METHOD(int, AddRow, (const std::string&, const std::string&), (override));
    MOCK_METHOD(int, Count, (), (const, override));
    MOCK_METHOD(std::string, Text, (int), (const, override));
    MOCK_METHOD(std::string, SubItem, (int), (const, override));
    MOCK_METHOD(void, SetSubItem, (int, const std::string&), (override));
    MOCK_METHOD(std::string, Icon, (int), (const, override));
    MOCK_METHOD(void, SetIcon, (int, const std::string&), (override));
    MOCK_METHOD(std::string, Tag, (int), (const, override));
    MOCK_METHOD(void, SetTag, (int, const std::string&), (override));
    MOCK_METHOD(void, SetBold, (int, bool), (override));
    MOCK_METHOD(void, SetSubItemBold, (int, bool), (override));
    MOCK_METHOD(void, SetForeColor, (int, std::uint32_t), (override));
    MOCK_METHOD(void, SetSubItemForeColor, (int, std::uint32_t), (override));
    MOCK_METHOD(std::optional<std::uint32_t>, ForeColor, (int), (const, override));
};

TEST(AppendProblemRow, SetsTheRowUpInTheFixedOrder) {
    ::testing::StrictMock<MockPortList> list;
    ::testing::InSequence order;
    EXPECT_CALL(list, AddRow("Warnung", "WARNING")).WillOnce(::testing::Return(7));
    EXPECT_CALL(list, SetSubItem(7, "Beschreibung"));
    EXPECT_CALL(list, SetTag(7, "PROBLEM_OTI"));
    EXPECT_CALL(list, SetBold(7, true));
    EXPECT_CALL(list, SetSubItemBold(7, true));
    EXPECT_CALL(list, SetForeColor(7, 192u));
    EXPECT_CALL(list, SetSubItemForeColor(7, 192u));
    AppendProblemRow(list, "Beschreibung", "PROBLEM_OTI");
}

// Forwards to a list and fails on the nth AddRow, as a broken control would.
class FailingPortList : public IPortList {
  public:
    FailingPortList(IPortList& inner, int failOnAddRow) : inner_(inner), failOn_(failOnAddRow) {}
    void Clear() override { inner_.Clear(); }
    int AddRow(const std::string& text, const std::string& iconKey) override {
        if (++adds_ == failOn_) {
            throw std::runtime_error("list control refused the row");
        }
        return inner_.AddRow(text, iconKey);
    }
    int Count() const override { return inner_.Count(); }
    std::string Text(int row) const override { return inner_.Text(row); }
    std::string SubItem(int row) const override { return inner_.SubItem(row); }
    void SetSubItem(int row, const std::string& text) override { inner_.SetSubItem(row, text); }
    std::string Icon(int row) const override { return inner_.Icon(row); }
    void SetIcon(int row, const std::string& iconKey) override { inner_.SetIcon(row, iconKey); }
    std::string Tag(int row) const override { return inner_.Tag(row); }
    void SetTag(int row, const std::string& tag) override { inner_.SetTag(row, tag); }
    void SetBold(int row, bool bold) override { inner_.SetBold(row, bold); }
    void SetSubItemBold(int row, bool bold) override { inner_.SetSubItemBold(row, bold); }
    void SetForeColor(int row, std::uint32_t color) override { inner_.SetForeColor(row, color); }
    void SetSubItemForeColor(int row, std::uint32_t color) override { inner_.SetSubItemForeColor(row, color); }
    std::optional<std::uint32_t> ForeColor(int row) const override { return inner_.ForeColor(row); }

  private:
    IPortList& inner_;
    int failOn_;
    int adds_ = 0;
};

TEST(DetectDriverProblems, FailingPortListEndsTheScan) {
    struct Case {
        int failOnAddRow;
        std::vector<std::string> tags;
    } cases[] = {{1, {}}, {2, {"PROBLEM_X510"}}, {3, {"PROBLEM_X510", "PROBLEM_FTDI2XX"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failOnAddRow);
        Scan scan({Cable(kPl2303), Cable("USB\\VID_0403&PID_6001"), Cable("USB\\VID_10C4&PID_EA60")});
        FailingPortList failing(scan.list, c.failOnAddRow);
        DetectDriverProblems(scan.bench.services, scan.table, failing, true);
        EXPECT_EQ(scan.Tags(), c.tags);
        EXPECT_EQ(scan.bench.clipboard.clears, 0);
        EXPECT_EQ(scan.bench.clipboard.sets, 0);
        EXPECT_TRUE(scan.bench.messages.shown.empty());
        EXPECT_EQ(scan.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), 1);
        scan.ExpectSetReleased();
    }
}

TEST(DetectDriverProblems, AsksForEveryPresentDevice) {
    ::testing::StrictMock<MockDevices> devices;
    Bench bench;
    Services services{bench.machine, devices, bench.messages, bench.clipboard, bench.clock, bench.pointer};
    ::testing::InSequence order;
    EXPECT_CALL(devices, GetClassDevs(Guid{}, 6u)).WillOnce(::testing::Return(DevInfoSet{55}));
    EXPECT_CALL(devices, EnumDeviceInfo(55, 0u, ::testing::Field(&DevInfoData::cbSize, 28u)))
        .WillOnce(::testing::Return(false));
    EXPECT_CALL(devices, GetLastError()).WillOnce(::testing::Return(259u));
    EXPECT_CALL(devices, DestroyDeviceInfoList(55)).WillOnce(::testing::Return(true));
    PortDeviceTable table;
    PortListModel list;
    DetectDriverProblems(services, table, list, true);
    EXPECT_EQ(bench.clipboard.sets, 1);
    EXPECT_EQ(bench.clipboard.text, "");
}

// --- the dump for the clipboard ------------------------------------------------------------------

// The dump of a device that has only the given properties, by label.
std::string DumpWith(const std::map<std::string, std::string>& values) {
    std::string dump = kEmptyDump;
    for (const auto& [label, value] : values) {
        std::size_t at = dump.find(label);
        EXPECT_NE(at, std::string::npos) << label;
        dump.insert(at + label.size(), value);
    }
    return dump;
}

TEST(DetectDriverProblems, ClipboardGetsTheDumpOfEveryDevice) {
    Scan scan(
        {DeviceBuilder().Class("Net").FriendlyName("Ethernet"), Cable(kPl2303).Description("USB-Serial Controller")});
    scan.Run(true);
    const std::string expected =
        "\r\n\r\n" + DumpWith({{"SPDRP_CLASS:", "Net"}, {"SPDRP_FRIENDLYNAME:", "Ethernet"}}) + "\r\n\r\n" +
        DumpWith({{"SPDRP_DEVICEDESC:", "USB-Serial Controller"}, {"SPDRP_HARDWAREID:", kPl2303}});
    EXPECT_EQ(scan.bench.clipboard.text, expected);
    EXPECT_EQ(scan.bench.clipboard.clears, 1);
    EXPECT_EQ(scan.bench.clipboard.sets, 1);
    ASSERT_EQ(scan.bench.messages.shown.size(), 1u);
    EXPECT_EQ(scan.bench.messages.shown[0].text, kCopied);
    EXPECT_EQ(scan.bench.messages.shown[0].style, MessageStyle::PromptOnly);
    EXPECT_EQ(scan.Tags(), std::vector<std::string>{"PROBLEM_X510"});
    scan.ExpectSetReleased();
}

TEST(DetectDriverProblems, OneDeviceGivesTwoLineEndsAnd24Lines) {
    Scan scan({DeviceBuilder()});
    scan.Run(true);
    EXPECT_EQ(scan.bench.clipboard.text, std::string("\r\n\r\n") + kEmptyDump);
}

TEST(DetectDriverProblems, NoDevicesGiveAnEmptyClipboardText) {
    Scan scan(std::vector<MemoryDevice>{});
    scan.bench.clipboard.SetText("alt");
    scan.Run(true);
    EXPECT_EQ(scan.bench.clipboard.clears, 1);
    EXPECT_EQ(scan.bench.clipboard.text, "");
    EXPECT_TRUE(scan.bench.clipboard.hasText);
    EXPECT_EQ(scan.bench.messages.Texts(), std::vector<std::string>{kCopied});
}

TEST(DetectDriverProblems, WithoutRequestNoDumpIsRead) {
    Scan scan({DeviceBuilder().Class("Net").FriendlyName("Ethernet").HardwareIds({kPl2303})});
    scan.Run(false);
    EXPECT_EQ(scan.bench.clipboard.clears, 0);
    EXPECT_EQ(scan.bench.clipboard.sets, 0);
    EXPECT_TRUE(scan.bench.messages.shown.empty());
    // Only the class: a size query and a read.
    EXPECT_EQ(scan.bench.machine.CallCount("SetupDiGetDeviceRegistryPropertyA"), 2);
}

TEST(DetectDriverProblems, PropertyMessagesDoNotStopTheDump) {
    Scan scan({DeviceBuilder().Class("Net").Set(SPDRP_SECURITY, BytesValue(kRegNone, {1, 2}))});
    scan.Run(true);
    EXPECT_EQ(scan.bench.messages.Texts(), (std::vector<std::string>{kCantRead, kCopied}));
    EXPECT_EQ(scan.bench.clipboard.text, "\r\n\r\n" + DumpWith({{"SPDRP_CLASS:", "Net"}}));
}

// Shared record of what happened, in order.
struct EventLog {
    std::vector<std::string> events;
};

class LoggingClipboard : public IClipboard {
  public:
    explicit LoggingClipboard(EventLog& log) : log_(log) {}
    void Clear() override { log_.events.push_back("clear"); }
    void SetText(const std::string&) override { log_.events.push_back("set text"); }

  private:
    EventLog& log_;
};

class LoggingMessageBox : public IMessageBox {
  public:
    explicit LoggingMessageBox(EventLog& log) : log_(log) {}
    MessageResult Show(const std::string& text, MessageStyle) override {
        log_.events.push_back(text);
        return MessageResult::Ok;
    }

  private:
    EventLog& log_;
};

class LoggingDevices : public testing::ThrowingDevices {
  public:
    LoggingDevices(IDeviceInfoService& inner, EventLog& log) : ThrowingDevices(inner, -1), log_(log) {}  // never throws
    bool DestroyDeviceInfoList(DevInfoSet set) override {
        log_.events.push_back("destroy");
        return ThrowingDevices::DestroyDeviceInfoList(set);
    }

  private:
    EventLog& log_;
};

TEST(DetectDriverProblems, ClipboardComesBeforeTheSetIsReleased) {
    Scan scan({DeviceBuilder().Class("Net")});
    EventLog log;
    LoggingClipboard clipboard(log);
    LoggingMessageBox messages(log);
    LoggingDevices devices(scan.bench.machine, log);
    Services services{scan.bench.machine, devices, messages, clipboard, scan.bench.clock, scan.bench.pointer};
    scan.Run(services, true);
    EXPECT_EQ(log.events, (std::vector<std::string>{"clear", "set text", kCopied, "destroy"}));
    scan.ExpectSetReleased();
}

TEST(DetectDriverProblems, StopsAfterIndex32767WithoutClipboard) {
    std::vector<MemoryDevice> devices{Cable(kPl2303)};
    for (int i = 1; i < 32769; ++i) {
        devices.push_back(DeviceBuilder().Class("Net"));
    }
    Scan scan(devices);
    scan.Run(true);
    EXPECT_EQ(scan.Tags(), std::vector<std::string>{"PROBLEM_X510"});
    EXPECT_EQ(scan.bench.machine.CallCount("SetupDiEnumDeviceInfo"), 32768);
    EXPECT_EQ(scan.bench.clipboard.clears, 0);
    EXPECT_EQ(scan.bench.clipboard.sets, 0);
    EXPECT_TRUE(scan.bench.messages.shown.empty());
    EXPECT_EQ(scan.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), 1);
    scan.ExpectSetReleased();
}

// --- every platform call failing once ------------------------------------------------------------

TEST(DetectDriverProblems, FaultInjection) {
    // Without the dump, property calls: Ethernet class 1-2; cable class 3 (missing), description
    // 4-5, hardware ID 6-7. With the dump, Ethernet's address is call 1.
    struct Case {
        const char* call;
        std::int32_t code;
        int nth;
        bool clipboardRequested;
        std::vector<std::string> tags;
        std::vector<std::string> messages;
        bool copied;
        int destroys;
    } cases[] = {
        {"", 0, 0, false, {"PROBLEM_X510"}, {}, false, 1},
        {"", 0, 0, true, {"PROBLEM_X510"}, {kCopied}, true, 1},
        {"SetupDiGetClassDevsA", kErrorNotEnoughMemory, 1, true, {}, {}, false, 0},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 1, true, {}, {}, false, 1},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 2, true, {}, {}, false, 1},
        {"SetupDiEnumDeviceInfo", kErrorAccessDenied, 3, true, {"PROBLEM_X510"}, {}, false, 1},
        {"SetupDiEnumDeviceInfo", kErrorNoMoreItems, 2, true, {}, {kCopied}, true, 1},
        {"SetupDiDestroyDeviceInfoList", kErrorInvalidHandle, 1, true, {"PROBLEM_X510"}, {kCopied}, true, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 1, false, {"PROBLEM_X510"}, {kCantGet}, false, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 3, false, {"PROBLEM_X510"}, {kCantGet}, false, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 4, false, {"PROBLEM_X510"}, {kCantGet}, false, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, 6, false, {}, {kCantGet}, false, 1},
        {"SetupDiGetDeviceRegistryPropertyA", kErrorGenFailure, 7, false, {}, {kCantRead}, false, 1},
        {"SetupDiGetDeviceRegistryPropertyA",
         kErrorAccessDenied,
         1,
         true,
         {"PROBLEM_X510"},
         {kCantGet, kCopied},
         true,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " #" + std::to_string(c.nth) + " -> " + std::to_string(c.code) +
                     (c.clipboardRequested ? " with dump" : ""));
        Scan scan({DeviceBuilder().Class("Net").FriendlyName("Ethernet"),
                   Cable(kPl2303).Description("USB-Serial Controller")});
        if (*c.call) {
            scan.bench.machine.FailCall(c.call, c.code, c.nth);
        }
        scan.Run(c.clipboardRequested);
        EXPECT_EQ(scan.Tags(), c.tags);
        EXPECT_EQ(scan.bench.messages.Texts(), c.messages);
        EXPECT_EQ(scan.bench.clipboard.sets, c.copied ? 1 : 0);
        EXPECT_EQ(scan.bench.clipboard.clears, c.copied ? 1 : 0);
        EXPECT_EQ(scan.bench.machine.CallCount("SetupDiDestroyDeviceInfoList"), c.destroys);
        // A release the system refuses leaves the set with it; there is nothing to retry.
        scan.ExpectSetReleased(std::string(c.call) == "SetupDiDestroyDeviceInfoList" ? 1 : 0);
    }
}

// --- the two array helpers -----------------------------------------------------------------------

TEST(ArrayContainsText, FindsTextInAnyElementIgnoringCase) {
    struct Case {
        std::vector<std::string> array;
        const char* text;
        bool expected;
    } cases[] = {
        {{}, "x", false},
        {{""}, "", false},  // an empty element contains nothing
        {{"", "abc"}, "", true},
        {{"", kPl2303}, "vid_067b&pid_2303", true},
        {{"USB\\VID_0403&PID_6001"}, "Vid_0403&Pid_6001&REV", false},
        {{"Gerät"}, "GERÄT", true},
        {{"one", "two"}, "three", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArrayContainsText(c.array, c.text), c.expected) << c.text;
    }
}

TEST(ArrayHasElements, TrueFromOneElementOn) {
    EXPECT_FALSE(ArrayHasElements(std::vector<std::string>{}));
    EXPECT_TRUE(ArrayHasElements(std::vector<std::string>{""}));
    EXPECT_TRUE(ArrayHasElements(std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace velmaro
