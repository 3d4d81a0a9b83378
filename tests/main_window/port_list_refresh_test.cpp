// The refresh of the port list: its small routines, then whole runs on in-memory machines with the
// rows, their marks and icons, the problem line, the list height, and what a run does with the
// clock, the pointer and the dump request, also when it fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>

#include "common/win_codes.h"
#include "main_window/port_list_refresh.h"
#include "memory/memory_machine.h"
#include "support/fakes.h"
#include "support/shown_rows.h"

namespace velmaro {
namespace {

using Texts = std::vector<std::string>;

TEST(InsertSorted, PlacesValueAfterEqualEntriesAndReturnsItsPosition) {
    struct Case {
        std::vector<std::int16_t> before;
        std::int16_t value;
        std::vector<std::int16_t> after;
        std::int32_t position;
    } cases[] = {
        // empty list, before the first, after the last
        {{}, 5, {5}, 1},
        {{3, 8}, 1, {1, 3, 8}, 1},
        {{3, 8}, 9, {3, 8, 9}, 3},
        // the search narrows down until mid equals lo
        {{1, 3, 5}, 4, {1, 3, 4, 5}, 3},
        // equal values go after all equal entries
        {{2, 3}, 2, {2, 2, 3}, 2},
        {{7, 7, 7}, 7, {7, 7, 7, 7}, 4},
        {{1, 4, 4, 4, 4, 9}, 4, {1, 4, 4, 4, 4, 4, 9}, 6},
        // signed 16-bit values
        {{-32768, 32767}, 0, {-32768, 0, 32767}, 2},
    };
    for (const auto& c : cases) {
        auto list = c.before;
        EXPECT_EQ(InsertSorted(list, c.value), c.position) << c.value << " into " << c.before.size() << " entries";
        EXPECT_EQ(list, c.after) << c.value << " into " << c.before.size() << " entries";
    }
}

TEST(LookupPortDevices, CollectsMatchingRowsInTableOrderIntoFreshLists) {
    const PortDeviceTable table{{4, 5, 4, 4},
                                {"USB Serial Port", "Standard COM Port", "", "Bluetooth"},
                                {"FTDI", "(Standardanschlusstypen)", "", "Microsoft"},
                                {"", "", "", ""}};
    Texts descriptions{"left over"}, manufacturers{"left over"};

    EXPECT_EQ(LookupPortDevices(table, 4, descriptions, &manufacturers), 3);
    EXPECT_EQ(descriptions, (Texts{"USB Serial Port", "-", "Bluetooth"}));
    EXPECT_EQ(manufacturers, (Texts{"FTDI", "-", "Microsoft"}));
}

TEST(LastRefreshCaption, UsesTwoDigitFieldsAndAFourDigitYear) {
    // The refresh runs below show 04.12.2026 um 09:05:07.
    EXPECT_EQ(LastRefreshCaption({999, 1, 31, 23, 59, 59}), "Aktualisiert am 31.01.0999 um 23:59:59 Uhr");
}

// The main window at its design size after a layout pass, on an in-memory machine.
struct Window {
    // Notes, per reading, the system calls, pointer changes and rows there were so far.
    struct WitnessClock : IClock {
        explicit WitnessClock(const Window& window) : w(window) {}
        LocalTime Now() const override {
            seen.push_back({w.machine.CallCount("RegOpenKeyExA") + w.machine.CallCount("SetupDiGetClassDevsA"),
                            static_cast<int>(w.pointer.history.size()), w.list.Count()});
            return {2026, 12, 4, 9, 5, 7};
        }
        const Window& w;
        mutable std::vector<std::vector<int>> seen;
    };
    // The list control; it refuses the failAt-th row added from now on.
    struct List : PortListModel {
        int AddRow(const std::string& text, const std::string& icon) override {
            if (--failAt == 0) {
                throw std::runtime_error("list view refused the row");
            }
            return PortListModel::AddRow(text, icon);
        }
        int failAt = 0;  // counts down; 0 never fails
    };

    void AddMapEntries(const Texts& portNames) {
        for (const auto& name : portNames) {
            machine.PutValue(kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM",
                             "\\Device\\Serial" + std::to_string(++n), memory::SzValue(name));
        }
    }
    // Present devices in enumeration order: a working port by its friendly name, or "!" and the
    // hardware ID of a plugged-in cable without driver (class Unknown, no COM-port interface).
    void AddDevices(const Texts& devices) {
        for (const auto& text : devices) {
            const bool working = text[0] != '!';
            memory::MemoryDevice device;
            device.instance = "DEV\\" + std::to_string(++n);
            device.comportInterface = working;
            device.properties[SPDRP_CLASS] = memory::SzValue(working ? "Ports" : "Unknown");
            device.properties[SPDRP_FRIENDLYNAME] = memory::SzValue(working ? text : "USB-Gerät");
            device.properties[SPDRP_HARDWAREID] = memory::MultiSzValue({working ? "ACPI\\PNP0501" : text.substr(1)});
            machine.AddDevice(std::move(device));
        }
    }
    void Run() { RefreshPortList(services, table, controls, clipboardRequested); }

    int n = 0;
    memory::MemoryMachine machine;
    testing::RecordingMessageBox messages;
    testing::FakeClipboard clipboard;
    WitnessClock clock{*this};
    testing::RecordingPointer pointer;
    Services services{machine, machine, messages, clipboard, clock, pointer};
    List list;
    BoxModel listBox{60, 2280, 7815, 2415};
    LabelModel lastRefresh{60, 2040, 3735, 255, "Aktualisierung läuft..."};
    LabelModel problemLine{60, 4860, 7815, 615, "Problem entdeckt!", false};
    BoxModel headline{60, 60, 7815, 255};
    LineModel separator{60, 5535, 7875, 5535};
    RefreshControls controls{list, listBox, lastRefresh, problemLine, headline, separator};
    PortDeviceTable table;
    bool clipboardRequested = false;
};

struct RefreshCase {
    const char* name;
    Texts map;      // port names in the map's order
    Texts devices;  // as for Window::AddDevices
    Texts rows;
};

void PrintTo(const RefreshCase& c, std::ostream* out) {
    *out << c.name;
}

class RefreshRun : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshRun, BuildsRowsProblemLineAndListHeightFromScratch) {
    const RefreshCase& c = GetParam();
    // the problem line shows exactly when some row carries the warning icon
    const bool problemShown = std::any_of(c.rows.begin(), c.rows.end(), [](const std::string& row) {
        return row.find("|WARNING|") != std::string::npos;
    });
    Window w;
    w.AddDevices(c.devices);
    w.AddMapEntries(c.map);
    // what an earlier run left, none of which may survive
    w.list.AddRow("COM 9", "COM");
    w.problemLine.SetVisible(!problemShown);
    w.clipboardRequested = true;

    w.Run();

    Texts rows(w.list.Rows().size());
    std::transform(w.list.Rows().begin(), w.list.Rows().end(), rows.begin(), testing::Describe);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(w.problemLine.Visible(), problemShown);
    // above the problem line at 4860 or the separator at 5535, less the gap of 60, from the top 2280
    EXPECT_FLOAT_EQ(w.listBox.Height(), problemShown ? 2520 : 3195);
    // the same rule on its own keeps the headline's distance from the top as the gap
    w.headline.SetTop(120);
    ApplyListHeightRule(w.controls);
    EXPECT_FLOAT_EQ(w.listBox.Height(), problemShown ? 2460 : 3135);  // 4860 or 5535, less 120 and 2280
    EXPECT_EQ(w.lastRefresh.Caption(), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");
    // one reading, before any system call or pointer change, while the old row was still there
    EXPECT_EQ(w.clock.seen, (std::vector<std::vector<int>>{{0, 0, 1}}));
    EXPECT_EQ(w.pointer.history, (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
    EXPECT_FALSE(w.clipboardRequested);
    EXPECT_EQ(w.clipboard.sets, 1);  // the requested dump, copied by this run
    w.Run();
    EXPECT_EQ(w.clipboard.sets, 1);  // and by no later one
}

INSTANTIATE_TEST_SUITE_P(
    RefreshPortList,
    RefreshRun,
    ::testing::Values(
        RefreshCase{"rows only for numbers in both map and table, ascending, problem rows last",
                    {"COM10", "COM3", "COM1"},
                    {"!USB\\VID_0403&PID_6001&REV_0600", "USB-SERIAL CH340 (COM10)", "Kommunikationsanschluss (COM1)",
                     "USB Serial Port (COM7)"},
                    {"COM 1|Standard COM Port|COM||default", "COM 10|USB-SERIAL CH340|USB||default",
                     "Warnung|USB Wandler / Datenkabel Typ FTDI mit Treiberproblem|WARNING|PROBLEM_FTDI2XX|bold 192"}},
        RefreshCase{
            "double assignments: codes by cable type, DCA-140 before DCA-510, none green",
            {"COM4", "COM5", "COM6"},
            {"Kommunikationsanschluss (COM4)", "Standardmäßige Seriell-über-Bluetooth-Verbindung (COM4)",
             "Siemens USB Data Cable (COM5)", "USB Serial Port (COM5)", "SIEMENS USB KABEL dca-510/dca-140 (COM6)",
             "siemens usb kabel Spezial (COM6)"},
            {"COM 4|Standard COM Port - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_OTHER|bold 192",
             "COM 4|Standardmäßige Seriell-über-Bluetooth-Verbindung - COM Port doppelt belegt|WARNING|"
             "PROBLEM_2XUSED_OTHER|bold 192",
             "COM 5|Siemens USB Kabel DCA-510 - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_510|bold 192",
             "COM 5|USB Serial Port - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_OTHER|bold 192",
             "COM 6|SIEMENS USB KABEL dca-510/dca-140 - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_X40|bold 192",
             "COM 6|siemens usb kabel Spezial - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_OTHER|bold 192"}},
        RefreshCase{"icons: USB, then Infrarot or IrDA, then Bluetooth, else COM; a single Siemens cable is green",
                    {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"},
                    {"USB IrDA Adapter (COM1)", "usb-serial converter (COM2)", "Infrarot über Bluetooth (COM3)",
                     "Serielle IrDA-Verbindung (COM4)", "Standardmäßige Seriell-über-Bluetooth-Verbindung (COM5)",
                     "Kommunikationsanschluss (COM6)", "(COM7)", "Siemens USB Data Cable (COM8)"},
                    {"COM 1|USB IrDA Adapter|USB||default", "COM 2|usb-serial converter|USB||default",
                     "COM 3|Infrarot über Bluetooth|IRDA||default", "COM 4|Serielle IrDA-Verbindung|IRDA||default",
                     "COM 5|Standardmäßige Seriell-über-Bluetooth-Verbindung|BT||default",
                     "COM 6|Standard COM Port|COM||default", "COM 7|-|COM||default",
                     "COM 8|Siemens USB Kabel DCA-510|USB||bold 32768"}},
        // Our choice: the map's free slot (COM0) is no port, so the empty table's row 0 gives no "COM 0" row.
        RefreshCase{"problem rows alone show the problem line",
                    {},
                    {"!USB\\VID_067B&PID_2303&REV_0300"},
                    {"Warnung|Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit "
                     "Treiberproblem|WARNING|PROBLEM_X510|bold 192"}},
        RefreshCase{"no device at all: the dump request is cleared all the same", {}, {}, {}},
        // A COM0 value of the map is a port: looked up like any other number. With no device the
        // table's empty row 0 carries number 0, so the row shows "-".
        RefreshCase{"a listed COM0 and no device", {"COM0"}, {}, {"COM 0|-|COM||default"}},
        // Table: row 0 = 5 "USB Serial Port", row 1 = 0 "Standard COM Port"; numbers [0, 5].
        RefreshCase{"a listed COM0 with its device, ahead of COM5",
                    {"COM5", "COM0"},
                    {"USB Serial Port (COM5)", "Kommunikationsanschluss (COM0)"},
                    {"COM 0|Standard COM Port|COM||default", "COM 5|USB Serial Port|USB||default"}},
        // Slot 0 filled by COM0 is filled again by COM3, so COM0 is no longer in the map's list.
        RefreshCase{"COM0 first in the map is overwritten by the next port",
                    {"COM0", "COM3"},
                    {"Kommunikationsanschluss (COM3)", "USB Serial Port (COM0)"},
                    {"COM 3|Standard COM Port|COM||default"}},
        RefreshCase{"a map of only unusable values is a map without ports", {"com5", "Modem"}, {}, {}},
        // Our choice: each device once, and "double" means two devices, not two map entries.
        RefreshCase{
            "a number the map lists twice is looked up once",
            {"COM4", "COM4", "COM7", "COM7"},
            {"Kommunikationsanschluss (COM4)", "USB Serial Port (COM7)", "Prolific USB-to-Serial Comm Port (COM7)"},
            {"COM 4|Standard COM Port|COM||default",
             "COM 7|USB Serial Port - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_OTHER|bold 192",
             "COM 7|Prolific USB-to-Serial Comm Port - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_OTHER|bold "
             "192"}}));

TEST(RefreshPortList, FailureRestoresPointerClearsRequestAndReleasesHandles) {
    Window w;
    w.list.failAt = 1;
    w.AddDevices({"Kommunikationsanschluss (COM1)"});
    w.AddMapEntries({"COM1"});
    w.clipboardRequested = true;

    EXPECT_THROW(w.Run(), std::runtime_error);

    EXPECT_FALSE(w.clipboardRequested);
    EXPECT_EQ(w.pointer.history, (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
    EXPECT_EQ(w.machine.OpenKeyCount(), 0);
    EXPECT_EQ(w.machine.OpenDeviceInfoSetCount(), 0);
}

}  // namespace
}  // namespace velmaro
