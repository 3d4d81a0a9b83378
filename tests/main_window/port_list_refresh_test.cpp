// One full refresh on in-memory machines: the rows, their marks and icons, the problem line, the
// list height, and what the run does with the pointer, the clock and the dump request.
#include <gtest/gtest.h>

#include <stdexcept>

#include "main_window/port_list_refresh.h"
#include "memory/memory_machine.h"
#include "support/fakes.h"
#include "test_machine.h"

namespace velmaro {

// Readable rows in failure messages; found by argument-dependent lookup, hence not in the
// anonymous namespace.
void PrintTo(const PortRow& row, std::ostream* out) {
    *out << "{" << row.text << " | " << row.subItem << " | " << row.icon << " | " << row.tag << " | "
         << (row.bold ? "bold" : "normal") << (row.subItemBold ? "/bold" : "/normal") << " | "
         << (row.foreColor ? std::to_string(*row.foreColor) : "-") << "/"
         << (row.subItemForeColor ? std::to_string(*row.subItemForeColor) : "-") << "}";
}

namespace {

using testing::AddDriverlessDevice;
using testing::AddMapEntry;
using testing::AddModem;
using testing::AddPortDevice;

constexpr const char* kPl2303Problem = "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem";
constexpr const char* kFtdiProblem = "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem";

// A row as the list should hold it; row and sub item always carry the same weight and colour.
PortRow Row(std::string text,
            std::string description,
            std::string icon,
            std::string tag = {},
            bool bold = false,
            std::optional<std::uint32_t> color = std::nullopt) {
    PortRow row;
    row.text = std::move(text);
    row.subItem = std::move(description);
    row.icon = std::move(icon);
    row.tag = std::move(tag);
    row.bold = bold;
    row.subItemBold = bold;
    row.foreColor = color;
    row.subItemForeColor = color;
    return row;
}

PortRow Plain(std::string text, std::string description, std::string icon) {
    return Row(std::move(text), std::move(description), std::move(icon));
}

PortRow Red(std::string text, std::string description, std::string tag) {
    return Row(std::move(text), std::move(description), "WARNING", std::move(tag), true, 192u);
}

PortRow Green(std::string text, std::string description) {
    return Row(std::move(text), std::move(description), "USB", {}, true, 32768u);
}

class RefreshTest : public ::testing::Test {
  protected:
    void Run() { RefreshPortList(services, table, controls, clipboardRequested); }
    const std::vector<PortRow>& Rows() const { return list.Rows(); }

    memory::MemoryMachine machine;
    testing::RecordingMessageBox messages;
    testing::FakeClipboard clipboard;
    testing::FixedClock clock;
    testing::RecordingPointer pointer;
    Services services{machine, machine, messages, clipboard, clock, pointer};

    // Geometry of the window at its design size after a layout pass.
    PortListModel list;
    BoxModel listBox{60, 2280, 7815, 2415};
    LabelModel lastRefresh{60, 2040, 3735, 255, "Aktualisierung läuft..."};
    LabelModel problemLine{60, 4860, 7815, 615, "Problem entdeckt!", false};
    BoxModel headline{60, 60, 7815, 255};
    LineModel separator{60, 5535, 7875, 5535};
    RefreshControls controls{list, listBox, lastRefresh, problemLine, headline, separator};

    PortDeviceTable table;
    bool clipboardRequested = false;
};

// --- rows per COM number ------------------------------------------------------------------------

TEST_F(RefreshTest, OnlyNumbersInBothMapAndTableGiveRows) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddMapEntry(machine, "\\Device\\Serial2", "COM3");  // no device claims COM3
    AddPortDevice(machine, "ACPI\\PNP0501\\1", "Kommunikationsanschluss (COM1)");
    AddPortDevice(machine, "FTDIBUS\\VID_0403+PID_6001\\0000", "USB Serial Port (COM7)", "FTDIBUS\\COMPORT&VID_0403");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{Plain("COM 1", "Standard COM Port", "COM")}));
    EXPECT_FALSE(problemLine.Visible());
    EXPECT_FLOAT_EQ(listBox.Height(), 3195);
}

TEST_F(RefreshTest, RowsFollowAscendingComNumbers) {
    // The map returns COM10, COM2, COM1; the devices come in yet another order.
    AddMapEntry(machine, "\\Device\\VCP0", "COM10");
    AddMapEntry(machine, "\\Device\\Serial1", "COM2");
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "USB\\A", "USB-SERIAL CH340 (COM10)");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");
    AddPortDevice(machine, "ACPI\\2", "Kommunikationsanschluss (COM2)");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{
                          Plain("COM 1", "Standard COM Port", "COM"),
                          Plain("COM 2", "Standard COM Port", "COM"),
                          Plain("COM 10", "USB-SERIAL CH340", "USB"),
                      }));
}

TEST_F(RefreshTest, PreviousRowsAreRemoved) {
    list.AddRow("COM 9", "COM");
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");

    Run();
    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{Plain("COM 1", "Standard COM Port", "COM")}));
}

// --- double assignments -------------------------------------------------------------------------

TEST_F(RefreshTest, TwoDevicesOnOnePortAreBothMarked) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM4");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM4)");
    AddPortDevice(machine, "BTH\\1", "Standardmäßige Seriell-über-Bluetooth-Verbindung (COM4)", "BTHENUM\\{1101}");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{
                          Red("COM 4", "Standard COM Port - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
                          Red("COM 4", "Standardmäßige Seriell-über-Bluetooth-Verbindung - COM Port doppelt belegt",
                              "PROBLEM_2XUSED_OTHER"),
                      }));
    EXPECT_TRUE(problemLine.Visible());
    EXPECT_FLOAT_EQ(listBox.Height(), 2520);
}

TEST_F(RefreshTest, SiemensDca510SharingAPortIsRedNotGreen) {
    AddMapEntry(machine, "\\Device\\ProlificSerial0", "COM5");
    AddPortDevice(machine, "USB\\VID_067B&PID_2303\\1", "Siemens USB Data Cable (COM5)",
                  "USB\\VID_067B&PID_2303&REV_0300");
    AddPortDevice(machine, "FTDIBUS\\1", "USB Serial Port (COM5)", "FTDIBUS\\COMPORT&VID_0403&PID_6001");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{
                          Red("COM 5", "Siemens USB Kabel DCA-510 - COM Port doppelt belegt", "PROBLEM_2XUSED_510"),
                          Red("COM 5", "USB Serial Port - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
                      }));
}

TEST_F(RefreshTest, SiemensCodesDependOnTheCableType) {
    // DCA-140 through its modem, a cable of neither type, each sharing its port with another device.
    AddMapEntry(machine, "\\Device\\Serial0", "COM6");
    AddMapEntry(machine, "\\Device\\Serial1", "COM8");
    AddModem(machine, "USB\\VID_11F5&PID_0004\\1", "Siemens Mobile Phone USB Modem",
             "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000", "COM6");
    AddPortDevice(machine, "ACPI\\6", "Kommunikationsanschluss (COM6)");
    AddPortDevice(machine, "USB\\8", "siemens usb kabel Spezial (COM8)");
    AddPortDevice(machine, "ACPI\\8", "Kommunikationsanschluss (COM8)");

    Run();

    EXPECT_EQ(
        Rows(),
        (std::vector<PortRow>{
            Red("COM 6", "Siemens USB Kabel DCA-140/540, DSC-100/600 - COM Port doppelt belegt", "PROBLEM_2XUSED_X40"),
            Red("COM 6", "Standard COM Port - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
            Red("COM 8", "siemens usb kabel Spezial - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
            Red("COM 8", "Standard COM Port - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
        }));
}

// Records the list operations in the order the refresh makes them.
class RecordingList : public PortListModel {
  public:
    int AddRow(const std::string& text, const std::string& icon) override {
        log.push_back("AddRow " + text);
        return PortListModel::AddRow(text, icon);
    }
    void SetSubItem(int row, const std::string& text) override {
        log.push_back("SetSubItem " + std::to_string(row) + " " + text);
        PortListModel::SetSubItem(row, text);
    }
    void SetTag(int row, const std::string& tag) override {
        log.push_back("SetTag " + std::to_string(row) + " " + tag);
        PortListModel::SetTag(row, tag);
    }
    void SetBold(int row, bool bold) override {
        log.push_back("SetBold " + std::to_string(row) + (bold ? " on" : " off"));
        PortListModel::SetBold(row, bold);
    }
    void SetSubItemBold(int row, bool bold) override {
        log.push_back("SetSubItemBold " + std::to_string(row) + (bold ? " on" : " off"));
        PortListModel::SetSubItemBold(row, bold);
    }
    void SetForeColor(int row, std::uint32_t color) override {
        log.push_back("SetForeColor " + std::to_string(row) + " " + std::to_string(color));
        PortListModel::SetForeColor(row, color);
    }
    void SetSubItemForeColor(int row, std::uint32_t color) override {
        log.push_back("SetSubItemForeColor " + std::to_string(row) + " " + std::to_string(color));
        PortListModel::SetSubItemForeColor(row, color);
    }
    void SetIcon(int row, const std::string& icon) override {
        log.push_back("SetIcon " + std::to_string(row) + " " + icon);
        PortListModel::SetIcon(row, icon);
    }
    std::vector<std::string> log;
};

TEST_F(RefreshTest, DoubleAssignmentIsMarkedRightAfterEachRowInAFixedOrder) {
    RecordingList recording;
    RefreshControls recorded{recording, listBox, lastRefresh, problemLine, headline, separator};
    AddMapEntry(machine, "\\Device\\Serial0", "COM5");
    AddPortDevice(machine, "USB\\1", "Siemens USB Data Cable (COM5)", "USB\\VID_067B&PID_2303&REV_0300");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM5)");

    RefreshPortList(services, table, recorded, clipboardRequested);

    const std::vector<std::string> expected{
        // the Siemens cable: colours first, the code last, chosen from the marked text
        "AddRow COM 5",
        "SetSubItem 1 Siemens USB Kabel DCA-510",
        "SetBold 1 on",
        "SetSubItemBold 1 on",
        "SetForeColor 1 192",
        "SetSubItemForeColor 1 192",
        "SetSubItem 1 Siemens USB Kabel DCA-510 - COM Port doppelt belegt",
        "SetTag 1 PROBLEM_2XUSED_510",
        // any other device: the code first
        "AddRow COM 5",
        "SetSubItem 2 Standard COM Port",
        "SetTag 2 PROBLEM_2XUSED_OTHER",
        "SetBold 2 on",
        "SetSubItemBold 2 on",
        "SetForeColor 2 192",
        "SetSubItemForeColor 2 192",
        "SetSubItem 2 Standard COM Port - COM Port doppelt belegt",
        // decoration: the icon from the text, then the warning icon over it
        "SetIcon 1 USB",
        "SetIcon 1 WARNING",
        "SetIcon 2 COM",
        "SetIcon 2 WARNING",
    };
    EXPECT_EQ(recording.log, expected);
}

// --- Siemens highlighting and icons -------------------------------------------------------------

TEST_F(RefreshTest, SingleSiemensCableIsBoldGreenWithUsbIcon) {
    AddMapEntry(machine, "\\Device\\ProlificSerial0", "COM5");
    AddPortDevice(machine, "USB\\VID_067B&PID_2303\\1", "Siemens USB Data Cable (COM5)",
                  "USB\\VID_067B&PID_2303&REV_0300");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{Green("COM 5", "Siemens USB Kabel DCA-510")}));
    EXPECT_FALSE(problemLine.Visible());
}

TEST_F(RefreshTest, IconComesFromTheDescription) {
    struct Case {
        const char* friendlyName;
        const char* description;
        const char* icon;
    } cases[] = {
        {"USB IrDA Adapter (COM1)", "USB IrDA Adapter", "USB"},  // USB wins over IrDA
        {"usb-serial converter (COM2)", "usb-serial converter", "USB"},
        {"Infrarot-Kommunikationsgerät (COM3)", "Infrarot-Kommunikationsgerät", "IRDA"},
        {"Serielle IRDA-Verbindung (COM4)", "Serielle IRDA-Verbindung", "IRDA"},
        {"Infrarot über Bluetooth (COM5)", "Infrarot über Bluetooth", "IRDA"},  // IrDA wins over Bluetooth
        {"Standardmäßige Seriell-über-Bluetooth-Verbindung (COM6)", "Standardmäßige Seriell-über-Bluetooth-Verbindung",
         "BT"},
        {"BLUETOOTH Modem (COM7)", "BLUETOOTH Modem", "BT"},
        {"Kommunikationsanschluss (COM8)", "Standard COM Port", "COM"},
        {"(COM9)", "-", "COM"},  // nothing left after the tag: the dash
    };
    std::vector<PortRow> expected;
    int number = 1;
    for (const auto& c : cases) {
        const std::string com = "COM" + std::to_string(number);
        AddMapEntry(machine, "\\Device\\Serial" + std::to_string(number), com);
        AddPortDevice(machine, "PORT\\" + std::to_string(number), c.friendlyName);
        expected.push_back(Plain("COM " + std::to_string(number), c.description, c.icon));
        ++number;
    }

    Run();

    EXPECT_EQ(Rows(), expected);
}

// --- problem rows and the problem line -----------------------------------------------------------

TEST_F(RefreshTest, ProblemRowsAloneShowTheProblemLine) {
    AddDriverlessDevice(machine, "USB\\VID_067B&PID_2303\\5&1", "USB\\VID_067B&PID_2303&REV_0300");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{Red("Warnung", kPl2303Problem, "PROBLEM_X510")}));
    EXPECT_TRUE(problemLine.Visible());
    EXPECT_FLOAT_EQ(listBox.Height(), 2520);
}

TEST_F(RefreshTest, ProblemRowsComeAfterThePortRows) {
    AddDriverlessDevice(machine, "USB\\VID_0403&PID_6001\\A1", "USB\\VID_0403&PID_6001&REV_0600");
    AddMapEntry(machine, "\\Device\\Serial1", "COM2");
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\2", "Kommunikationsanschluss (COM2)");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");

    Run();

    EXPECT_EQ(Rows(), (std::vector<PortRow>{
                          Plain("COM 1", "Standard COM Port", "COM"),
                          Plain("COM 2", "Standard COM Port", "COM"),
                          Red("Warnung", kFtdiProblem, "PROBLEM_FTDI2XX"),
                      }));
    EXPECT_TRUE(problemLine.Visible());
}

TEST_F(RefreshTest, WithoutWarningTheProblemLineIsHiddenAgain) {
    problemLine.SetVisible(true);
    listBox.SetHeight(2520);
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");

    Run();

    EXPECT_FALSE(problemLine.Visible());
    EXPECT_FLOAT_EQ(listBox.Height(), 3195);  // down to the separator, less the headline's gap
}

// --- status line, pointer, dump request --------------------------------------------------------

TEST_F(RefreshTest, StatusLineShowsTheClockReading) {
    Run();
    EXPECT_EQ(lastRefresh.Caption(), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");
}

// Notes what else had happened when the clock was read.
class WitnessClock : public IClock {
  public:
    WitnessClock(const memory::MemoryMachine& machine,
                 const testing::RecordingPointer& pointer,
                 const PortListModel& list)
        : machine_(machine), pointer_(pointer), list_(list) {}
    LocalTime Now() const override {
        ++reads;
        systemCallsBefore = machine_.CallCount("RegOpenKeyExA") + machine_.CallCount("SetupDiGetClassDevsA");
        pointerChangesBefore = static_cast<int>(pointer_.history.size());
        rowsWhenRead = list_.Count();
        return {2026, 12, 4, 9, 5, 7};
    }
    mutable int reads = 0;
    mutable int systemCallsBefore = -1;
    mutable int pointerChangesBefore = -1;
    mutable int rowsWhenRead = -1;

  private:
    const memory::MemoryMachine& machine_;
    const testing::RecordingPointer& pointer_;
    const PortListModel& list_;
};

TEST_F(RefreshTest, ClockIsReadBeforeAnythingElse) {
    WitnessClock witness(machine, pointer, list);
    Services timed{machine, machine, messages, clipboard, witness, pointer};
    list.AddRow("COM 9", "COM");
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");

    RefreshPortList(timed, table, controls, clipboardRequested);

    EXPECT_EQ(witness.reads, 1);
    EXPECT_EQ(witness.systemCallsBefore, 0);
    EXPECT_EQ(witness.pointerChangesBefore, 0);
    EXPECT_EQ(witness.rowsWhenRead, 1);  // the old row was still there
    EXPECT_EQ(lastRefresh.Caption(), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");
}

TEST_F(RefreshTest, PointerIsBusyDuringTheRunAndDefaultAfterIt) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");

    Run();

    EXPECT_EQ(pointer.history, (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
}

TEST_F(RefreshTest, DumpRequestIsServedOnceAndCleared) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");
    clipboardRequested = true;

    Run();

    EXPECT_FALSE(clipboardRequested);
    EXPECT_EQ(clipboard.sets, 1);
    EXPECT_EQ(clipboard.text.rfind("\r\n\r\nSPDRP_ADDRESS:", 0), 0u);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"OK, alles in der Zwischenablage!"}));

    Run();  // the next run copies nothing
    EXPECT_EQ(clipboard.sets, 1);
}

TEST_F(RefreshTest, DumpRequestIsClearedAlsoWithoutAnyDevice) {
    clipboardRequested = true;
    Run();
    EXPECT_FALSE(clipboardRequested);
    EXPECT_TRUE(Rows().empty());
}

// A list whose control fails when the nth row is added.
class FailingList : public PortListModel {
  public:
    explicit FailingList(int failAt) : failAt_(failAt) {}
    int AddRow(const std::string& text, const std::string& icon) override {
        if (++adds_ == failAt_) {
            throw std::runtime_error("list view refused the row");
        }
        return PortListModel::AddRow(text, icon);
    }

  private:
    int failAt_;
    int adds_ = 0;
};

TEST_F(RefreshTest, FailureRestoresPointerAndClearsRequest) {
    FailingList failing(2);
    RefreshControls broken{failing, listBox, lastRefresh, problemLine, headline, separator};
    AddMapEntry(machine, "\\Device\\Serial0", "COM1");
    AddMapEntry(machine, "\\Device\\Serial1", "COM2");
    AddPortDevice(machine, "ACPI\\1", "Kommunikationsanschluss (COM1)");
    AddPortDevice(machine, "ACPI\\2", "Kommunikationsanschluss (COM2)");
    clipboardRequested = true;

    EXPECT_THROW(RefreshPortList(services, table, broken, clipboardRequested), std::runtime_error);

    EXPECT_FALSE(clipboardRequested);
    EXPECT_EQ(pointer.history, (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
    EXPECT_EQ(machine.OpenKeyCount(), 0);
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

// --- what we decided where the rules leave it open ----------------------------------------------

TEST_F(RefreshTest, EmptyMachineShowsNoComZeroRow) {
    Run();
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE(problemLine.Visible());
    EXPECT_FLOAT_EQ(listBox.Height(), 3195);
}

TEST_F(RefreshTest, EmptyMapHidesDevicesToo) {
    // The map's free slot is number 0; the device's COM3 is not in the map.
    AddPortDevice(machine, "ACPI\\3", "Kommunikationsanschluss (COM3)");
    Run();
    EXPECT_TRUE(Rows().empty());
}

TEST_F(RefreshTest, PortListedTwiceInTheMapIsLookedUpOnce) {
    AddMapEntry(machine, "\\Device\\Serial0", "COM4");
    AddMapEntry(machine, "\\Device\\VCP0", "COM4");
    AddMapEntry(machine, "\\Device\\Serial1", "COM7");
    AddMapEntry(machine, "\\Device\\VCP1", "COM7");
    AddPortDevice(machine, "ACPI\\4", "Kommunikationsanschluss (COM4)");
    AddPortDevice(machine, "USB\\7A", "USB Serial Port (COM7)");
    AddPortDevice(machine, "USB\\7B", "Prolific USB-to-Serial Comm Port (COM7)");

    Run();

    EXPECT_EQ(Rows(),
              (std::vector<PortRow>{
                  Plain("COM 4", "Standard COM Port", "COM"),
                  Red("COM 7", "USB Serial Port - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
                  Red("COM 7", "Prolific USB-to-Serial Comm Port - COM Port doppelt belegt", "PROBLEM_2XUSED_OTHER"),
              }));
}

}  // namespace
}  // namespace velmaro
