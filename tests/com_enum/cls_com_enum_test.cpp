// clsComEnum: the serial-port map read into slots sorted by COM number.
#include "ports/cls_com_enum.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro {
namespace {

using memory::DwordValue;
using memory::MultiSzValue;
using memory::RawValue;
using memory::SzValue;
using Slots = std::vector<std::string>;  // "COM4=A": GetPortName(i) "=" GetPortDesc(i)
using Errors = std::vector<std::int32_t>;
using MapValues = std::vector<std::pair<std::string, RawValue>>;

constexpr const char* kMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const Slots kOneFreeSlot = {"COM0="};

Slots ReadSlots(const clsComEnum& e) {
    Slots slots;
    for (std::int16_t i = 0; i < e.CountPorts(); ++i) {
        slots.push_back(e.GetPortName(i) + "=" + e.GetPortDesc(i));
    }
    return slots;
}

class ComEnumTest : public ::testing::Test {
  protected:
    ComEnumTest() {
        com.Error = [this](std::int32_t code) { errors.push_back(code); };
    }

    // Every refresh closes what it opened.
    void TearDown() override { EXPECT_EQ(machine.OpenKeyCount(), 0); }

    // Puts the values into the map in this order; the map enumerates them in the same order.
    void Map(const MapValues& values) {
        machine.PutKey(kHkeyLocalMachine, kMap);
        for (const auto& [name, value] : values) {
            machine.PutValue(kHkeyLocalMachine, kMap, name, value);
        }
    }

    Slots Read() const { return ReadSlots(com); }

    memory::MemoryMachine machine;
    clsComEnum com{machine};
    Errors errors;
};

TEST_F(ComEnumTest, TypicalMap) {
    Map({{"\\Device\\Serial0", SzValue("COM1")},
         {"\\Device\\ProlificSerial0", SzValue("COM4")},
         {"\\Device\\BthModem0", SzValue("COM3")}});
    com.Refresh();
    EXPECT_EQ(Read(), (Slots{"COM1=\\Device\\Serial0", "COM3=\\Device\\BthModem0", "COM4=\\Device\\ProlificSerial0"}));
    EXPECT_EQ(com.CountPorts(), 3);
    EXPECT_EQ(errors, Errors{});
}

TEST_F(ComEnumTest, EmptyOrMissingMapGivesOneFreeSlot) {
    com.Refresh();  // no map at all
    EXPECT_EQ(com.CountPorts(), 1);
    EXPECT_EQ(com.GetPortName(0), "COM0");
    EXPECT_EQ(com.GetPortDesc(0), "");
    EXPECT_EQ(errors, Errors{kErrorFileNotFound});
    EXPECT_FALSE(machine.HasKey(kHkeyLocalMachine, kMap));  // read-only: never created

    errors.clear();
    Map({});
    com.Refresh();
    EXPECT_EQ(Read(), kOneFreeSlot);
    EXPECT_EQ(errors, Errors{});
}

// One value named A with this data.
TEST_F(ComEnumTest, StrangeDataOfASingleValue) {
    struct Case {
        const char* what;
        RawValue data;
        Slots expected;
    } cases[] = {
        {"plain", SzValue("COM3"), {"COM3=A"}},
        {"blank after COM", SzValue("COM 7"), {"COM7=A"}},
        {"blanks around", SzValue(" COM3 "), {"COM3=A"}},
        {"leading zeros", SzValue("COM007"), {"COM7=A"}},
        {"every COM goes", SzValue("COMCOM3"), {"COM3=A"}},
        {"two names run together", SzValue("COM4COM5"), {"COM45=A"}},
        {"sign before COM", SzValue("+COM7"), {"COM7=A"}},
        {"fraction, half to even down", SzValue("COM2.5"), {"COM2=A"}},
        {"fraction, half to even up", SzValue("COM3.5"), {"COM4=A"}},
        {"fraction above half", SzValue("COM2.51"), {"COM3=A"}},
        {"negative", SzValue("COM-1"), {"COM-1=A"}},
        {"largest 16-bit", SzValue("COM32767"), {"COM32767=A"}},
        {"smallest 16-bit", SzValue("COM-32768"), {"COM-32768=A"}},
        // Zero is a number, but it leaves the slot free; the slot keeps the name all the same.
        {"zero", SzValue("COM0"), {"COM0=A"}},
        {"beyond 16 bits", SzValue("COM99999"), kOneFreeSlot},
        {"just beyond 16 bits", SzValue("COM32768"), kOneFreeSlot},
        {"lower case", SzValue("com5"), kOneFreeSlot},
        {"mixed case", SzValue("Com5"), kOneFreeSlot},
        {"no digits", SzValue("Modem"), kOneFreeSlot},
        {"just COM", SzValue("COM"), kOneFreeSlot},
        {"empty", SzValue(""), kOneFreeSlot},
        {"blank inside the number", SzValue("COM1 0"), kOneFreeSlot},
        {"tab is no blank", SzValue("COM\t3"), kOneFreeSlot},
        {"trailing letters", SzValue("COM12abc"), kOneFreeSlot},
        {"umlaut", SzValue("COMä"), kOneFreeSlot},
        // Other types are read as text up to the first NUL.
        {"multi-string: first string", MultiSzValue({"COM6", "COM7"}), {"COM6=A"}},
        {"expandable text", SzValue("COM8", kRegExpandSz), {"COM8=A"}},
        {"a number is bytes, not digits", DwordValue(3), kOneFreeSlot},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        memory::MemoryMachine fresh;
        fresh.PutValue(kHkeyLocalMachine, kMap, "A", c.data);
        clsComEnum e(fresh);
        Errors seen;
        e.Error = [&seen](std::int32_t code) { seen.push_back(code); };
        e.Refresh();
        EXPECT_EQ(ReadSlots(e), c.expected);
        EXPECT_EQ(seen, Errors{});
        EXPECT_EQ(fresh.OpenKeyCount(), 0);
    }
}

// Several values, in enumeration order; the expected slots are worked out step by step: slot 0
// is filled while its number is 0, every later value appends, then the exchange sort runs.
TEST_F(ComEnumTest, SlotsAndOrderOfSeveralValues) {
    struct Case {
        const char* what;
        MapValues values;
        Slots expected;
    } cases[] = {
        {"numeric, not textual order",
         {{"A", SzValue("COM10")}, {"B", SzValue("COM2")}, {"C", SzValue("COM1")}},
         {"COM1=C", "COM2=B", "COM10=A"}},
        {"hundreds",
         {{"A", SzValue("COM100")}, {"B", SzValue("COM9")}, {"C", SzValue("COM10")}, {"D", SzValue("COM1")}},
         {"COM1=D", "COM9=B", "COM10=C", "COM100=A"}},
        // [4A 1B 4C] -> swap 0,1 -> [1B 4A 4C]; equal numbers are left alone.
        {"same number twice, apart",
         {{"A", SzValue("COM4")}, {"B", SzValue("COM1")}, {"C", SzValue("COM4")}},
         {"COM1=B", "COM4=A", "COM4=C"}},
        // [4A 4B 1C] -> swap 0,2 -> [1C 4B 4A]: A jumps over its equal B.
        {"same number twice, together",
         {{"A", SzValue("COM4")}, {"B", SzValue("COM4")}, {"C", SzValue("COM1")}},
         {"COM1=C", "COM4=B", "COM4=A"}},
        {"one port fills slot 0", {{"A", SzValue("COM7")}}, {"COM7=A"}},
        {"not numeric first", {{"A", SzValue("abc")}, {"B", SzValue("COM2")}}, {"COM2=B"}},
        {"lower case among others",
         {{"A", SzValue("com5")}, {"B", SzValue("COM5")}, {"C", SzValue("Com6")}},
         {"COM5=B"}},
        {"beyond 16 bits first", {{"A", SzValue("COM99999")}, {"B", SzValue("COM3")}}, {"COM3=B"}},
        {"beyond 16 bits later takes no slot", {{"A", SzValue("COM2")}, {"B", SzValue("COM70000")}}, {"COM2=A"}},
        // COM0 leaves slot 0 free: the next value overwrites it.
        {"zero first", {{"A", SzValue("COM0")}, {"B", SzValue("COM5")}}, {"COM5=B"}},
        // [5A 0B 3C] -> swap 0,2 -> [3C 0B 5A]: the free slot stays where it is.
        {"zero later is a free slot in the list",
         {{"A", SzValue("COM5")}, {"B", SzValue("COM0")}, {"C", SzValue("COM3")}},
         {"COM3=C", "COM0=B", "COM5=A"}},
        // [-3A 0B -5C] -> swap 0,2 -> [-5C 0B -3A]; the free slot is never compared.
        {"free slot between negative numbers",
         {{"A", SzValue("COM-3")}, {"B", SzValue("COM0")}, {"C", SzValue("COM-5")}},
         {"COM-5=C", "COM0=B", "COM-3=A"}},
        // [5A 0B 0C 1D] -> swap 0,3 -> [1D 0B 0C 5A].
        {"two free slots",
         {{"A", SzValue("COM5")}, {"B", SzValue("COM0")}, {"C", SzValue("COM0")}, {"D", SzValue("COM1")}},
         {"COM1=D", "COM0=B", "COM0=C", "COM5=A"}},
        // [2A -1B] -> swap -> [-1B 2A].
        {"negative sorts first", {{"A", SzValue("COM2")}, {"B", SzValue("COM-1")}}, {"COM-1=B", "COM2=A"}},
        // A skipped; [3B 7C 2D -1E 1H]; i=0 -> [-1E 7C 3B 2D 1H]; i=1 -> [-1E 1H 7C 3B 2D];
        // i=2 -> [-1E 1H 2D 7C 3B]; i=3 -> [-1E 1H 2D 3B 7C].
        {"everything at once",
         {{"A", SzValue("com4")},
          {"B", SzValue(" COM3 ")},
          {"C", SzValue("COM 7")},
          {"D", SzValue("COM2.5")},
          {"E", SzValue("COM-1")},
          {"F", SzValue("COM99999")},
          {"G", SzValue("")},
          {"H", SzValue("COM1")}},
         {"COM-1=E", "COM1=H", "COM2=D", "COM3=B", "COM7=C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        memory::MemoryMachine fresh;
        fresh.PutKey(kHkeyLocalMachine, kMap);
        for (const auto& [name, value] : c.values) {
            fresh.PutValue(kHkeyLocalMachine, kMap, name, value);
        }
        clsComEnum e(fresh);
        e.Refresh();
        EXPECT_EQ(ReadSlots(e), c.expected);
        EXPECT_EQ(fresh.OpenKeyCount(), 0);
    }
}

TEST_F(ComEnumTest, ValueNamesComeBackFromWindows1252) {
    Map({{"\\Device\\Gerät für Schnittstelle", SzValue("COM2")}});
    com.Refresh();
    EXPECT_EQ(Read(), Slots{"COM2=\\Device\\Gerät für Schnittstelle"});
}

TEST_F(ComEnumTest, RefreshStartsAfresh) {
    Map({{"A", SzValue("COM1")}, {"B", SzValue("COM2")}});
    com.Refresh();
    com.Refresh();
    EXPECT_EQ(Read(), (Slots{"COM1=A", "COM2=B"}));

    machine.DeleteKey(RootHandle(kHkeyLocalMachine), kMap);
    com.Refresh();
    EXPECT_EQ(Read(), kOneFreeSlot);
    EXPECT_EQ(errors, Errors{kErrorFileNotFound});
}

TEST_F(ComEnumTest, NoSubscriberNeeded) {
    clsComEnum quiet(machine);
    quiet.Refresh();  // the missing map raises Error with nobody listening
    EXPECT_EQ(quiet.CountPorts(), 1);
}

TEST_F(ComEnumTest, IndexOutsideTheListThrows) {
    Map({{"A", SzValue("COM1")}, {"B", SzValue("COM2")}});
    com.Refresh();
    for (std::int16_t index :
         {std::int16_t{-1}, std::int16_t{2}, std::int16_t{3}, std::int16_t{32767}, std::int16_t{-32768}}) {
        SCOPED_TRACE(index);
        EXPECT_THROW(com.GetPortName(index), std::out_of_range);
        EXPECT_THROW(com.GetPortDesc(index), std::out_of_range);
    }
    EXPECT_EQ(com.GetPortName(1), "COM2");
    EXPECT_EQ(com.GetPortDesc(0), "A");
}

// Map A = COM1, B = COM2. The calls in order: open #1, enum #1 #2 #3, close #1; for A open #2,
// query #1 (size) #2 (data), close #2; for B open #3, query #3 #4, close #3.
TEST_F(ComEnumTest, FaultOnEveryRegistryCall) {
    struct Case {
        const char* call;
        int nth;
        std::int32_t code;
        Errors expectedErrors;
        Slots expected;
    } cases[] = {
        {"RegOpenKeyExA", 1, 5, {5}, kOneFreeSlot},
        {"RegOpenKeyExA", 1, 2, {2}, kOneFreeSlot},
        // Enumeration failures are quiet; the names gathered so far are used.
        {"RegEnumValueA", 1, 5, {}, kOneFreeSlot},
        {"RegEnumValueA", 2, 234, {}, {"COM1=A"}},
        {"RegEnumValueA", 3, 5, {}, {"COM1=A", "COM2=B"}},
        {"RegCloseKey", 1, 6, {}, {"COM1=A", "COM2=B"}},
        // A value that cannot be read is skipped as not numeric.
        {"RegOpenKeyExA", 2, 5, {5}, {"COM2=B"}},
        {"RegQueryValueExA", 1, 5, {5}, {"COM2=B"}},
        {"RegQueryValueExA", 2, 13, {13}, {"COM2=B"}},
        {"RegCloseKey", 2, 6, {}, {"COM1=A", "COM2=B"}},
        {"RegOpenKeyExA", 3, 2, {2}, {"COM1=A"}},
        {"RegQueryValueExA", 3, 1018, {1018}, {"COM1=A"}},
        {"RegQueryValueExA", 4, 234, {234}, {"COM1=A"}},
        {"RegCloseKey", 3, 6, {}, {"COM1=A", "COM2=B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " #" + std::to_string(c.nth) + " -> " + std::to_string(c.code));
        memory::MemoryMachine fresh;
        fresh.PutValue(kHkeyLocalMachine, kMap, "A", SzValue("COM1"));
        fresh.PutValue(kHkeyLocalMachine, kMap, "B", SzValue("COM2"));
        fresh.FailCall(c.call, c.code, c.nth);
        clsComEnum e(fresh);
        Errors seen;
        e.Error = [&seen](std::int32_t code) { seen.push_back(code); };
        e.Refresh();
        EXPECT_EQ(ReadSlots(e), c.expected);
        EXPECT_EQ(seen, c.expectedErrors);
        // A close that fails leaves its one key open; no other path may leave anything open.
        EXPECT_EQ(fresh.OpenKeyCount(), std::string_view(c.call) == "RegCloseKey" ? 1 : 0);
    }
}

TEST_F(ComEnumTest, EveryFailureArrivesOnce) {
    Map({{"A", SzValue("COM1")}, {"B", SzValue("COM2")}, {"C", SzValue("COM3")}});
    machine.FailCall("RegQueryValueExA", kErrorAccessDenied, 1, 2);  // the size queries of A and B
    com.Refresh();
    EXPECT_EQ(errors, (Errors{5, 5}));
    EXPECT_EQ(Read(), Slots{"COM3=C"});
}

}  // namespace
}  // namespace velmaro
