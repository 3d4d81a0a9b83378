// clsComEnum: the serial-port map read into slots sorted by COM number.
#include "ports/cls_com_enum.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro {
namespace {

using Errors = std::vector<std::int32_t>;

constexpr const char* kMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// A map holding text values written "A=COM1|B=COM2", enumerated in that order, and one enumeration
// over it whose errors are noted.
struct Rig {
    explicit Rig(const std::string& values) {
        machine.PutKey(kHkeyLocalMachine, kMap);
        std::istringstream in(values);
        for (std::string pair; std::getline(in, pair, '|');) {
            const std::size_t eq = pair.find('=');
            machine.PutValue(kHkeyLocalMachine, kMap, pair.substr(0, eq), memory::SzValue(pair.substr(eq + 1)));
        }
        com.Error = [this](std::int32_t code) { errors.push_back(code); };
    }
    // The slots as "COM4=A COM5=B": GetPortName(i) "=" GetPortDesc(i).
    std::string Refresh() {
        com.Refresh();
        std::string slots;
        for (std::int16_t i = 0; i < com.CountPorts(); ++i) {
            // Appended piece by piece: GCC 12 reports a false overlap in a chained operator+ here.
            if (i) {
                slots += ' ';
            }
            slots.append(com.GetPortName(i)).append("=").append(com.GetPortDesc(i));
        }
        return slots;
    }

    memory::MemoryMachine machine;
    clsComEnum com{machine};
    Errors errors;
};

TEST(ComEnum, MissingMapGivesOneFreeSlot) {
    Rig missing("");
    missing.machine.DeleteKey(RootHandle(kHkeyLocalMachine), kMap);
    EXPECT_EQ(missing.Refresh(), "COM0=");
    EXPECT_EQ(missing.errors, Errors{kErrorFileNotFound});
    EXPECT_FALSE(missing.machine.HasKey(kHkeyLocalMachine, kMap));  // read-only: never created
    clsComEnum unheard(missing.machine);
    unheard.Refresh();  // nobody needs to listen to Error
    EXPECT_EQ(unheard.GetPortName(0), "COM0");
}

// Slot 0 is filled while its number is 0, every later value appends; then the sort. The expected
// slots are worked out by hand, step by step.
TEST(ComEnum, SlotsOfTheMap) {
    struct Case {
        const char* what;
        const char* values;
        const char* expected;
    } cases[] = {
        {"empty map: one free slot", "", "COM0="},
        {"one port takes slot 0", "A=COM3", "COM3=A"},
        {"blanks around and after COM", "A= COM 7 ", "COM7=A"},
        {"every COM goes", "A=COM4COM5", "COM45=A"},
        {"a fraction is rounded", "A=COM3.5", "COM4=A"},
        {"zero is a number but leaves the slot free", "A=COM0", "COM0=A"},
        {"beyond 16 bits", "A=COM32768", "COM0="},
        {"lower case", "A=com5", "COM0="},
        {"no digits", "A=Modem", "COM0="},
        // No number repeats: [10A 2B 1C], and [5A 0B 3C] with the free slot staying where it is.
        {"numeric, not textual order", "A=COM10|B=COM2|C=COM1", "COM1=C COM2=B COM10=A"},
        {"free slot in between", "A=COM5|B=COM0|C=COM3", "COM3=C COM0=B COM5=A"},
        // [4A 1B 4C] -> swap 0,1 -> [1B 4A 4C]; equal numbers are left alone.
        {"same number twice", "A=COM4|B=COM1|C=COM4", "COM1=B COM4=A COM4=C"},
        // [4A 0B 4C 1D] -> i=0: swap 0,3 -> [1D 0B 4C 4A]; i=2: 4C against 4A, no swap. A jumps its equal.
        {"same number twice, free slot in between", "A=COM4|B=COM0|C=COM4|D=COM1", "COM1=D COM0=B COM4=C COM4=A"},
        // A is skipped, B fills slot 0 with number 0, so C overwrites it.
        {"skipped and zero values leave slot 0 to the next", "A=com5|B=COM0|C=COM5", "COM5=C"},
        {"beyond 16 bits later takes no slot", "A=COM2|B=COM70000", "COM2=A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.values);
        EXPECT_EQ(rig.Refresh(), c.expected);
        EXPECT_EQ(rig.errors, Errors{});
        EXPECT_EQ(rig.machine.OpenKeyCount(), 0);
    }
}

// Only a slot that no value filled is unfilled; a COM0 value fills its slot like any port.
TEST(ComEnum, UnfilledSlotIsTheFreeSlotOfAMapWithoutPorts) {
    struct Case {
        const char* values;
        std::vector<bool> unfilled;
    } cases[] = {
        {"", {true}},        {"A=com5|B=Modem", {true}},        {"A=COM32768", {true}},
        {"A=COM0", {false}}, {"A=COM5|B=COM0", {false, false}}, {"A=COM0|B=COM3", {false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values);
        Rig rig(c.values);
        rig.Refresh();
        std::vector<bool> unfilled;
        for (std::int16_t i = 0; i < rig.com.CountPorts(); ++i) {
            unfilled.push_back(rig.com.IsUnfilledSlot(i));
        }
        EXPECT_EQ(unfilled, c.unfilled);
    }
    Rig rig("A=COM1");
    rig.Refresh();
    EXPECT_THROW(rig.com.IsUnfilledSlot(1), std::out_of_range);
}

TEST(ComEnum, RefreshStartsAfreshAndIndexesAreChecked) {
    Rig rig("A=COM1|B=COM2");
    rig.Refresh();
    EXPECT_EQ(rig.Refresh(), "COM1=A COM2=B");
    for (std::int16_t index : {std::int16_t{-1}, std::int16_t{2}}) {
        EXPECT_THROW(rig.com.GetPortName(index), std::out_of_range) << index;
        EXPECT_THROW(rig.com.GetPortDesc(index), std::out_of_range) << index;
    }
}

// Map A = COM1, B = COM2. The calls in order: open #1, enum #1 #2 #3, close #1; for A open #2,
// query #1 (size) #2 (data), close #2; for B open #3, query #3 #4, close #3.
TEST(ComEnum, FaultOnEveryRegistryCall) {
    struct Case {
        const char* call;
        int nth;
        std::int32_t code;
        Errors expectedErrors;
        const char* expected;
    } cases[] = {
        {"RegOpenKeyExA", 1, 5, {5}, "COM0="},
        // Enumeration failures are quiet; the names gathered so far are used.
        {"RegEnumValueA", 2, 234, {}, "COM1=A"},
        // A value that cannot be read is skipped as not numeric.
        {"RegOpenKeyExA", 2, 5, {5}, "COM2=B"},
        {"RegQueryValueExA", 1, 5, {5}, "COM2=B"},
        {"RegQueryValueExA", 4, 234, {234}, "COM1=A"},
        {"RegCloseKey", 1, 6, {}, "COM1=A COM2=B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " #" + std::to_string(c.nth) + " -> " + std::to_string(c.code));
        Rig rig("A=COM1|B=COM2");
        rig.machine.FailCall(c.call, c.code, c.nth);
        EXPECT_EQ(rig.Refresh(), c.expected);
        EXPECT_EQ(rig.errors, c.expectedErrors);
        // A close that fails leaves its one key open; no other path may leave anything open.
        EXPECT_EQ(rig.machine.OpenKeyCount(), std::string_view(c.call) == "RegCloseKey" ? 1 : 0);
    }
}

}  // namespace
}  // namespace velmaro
