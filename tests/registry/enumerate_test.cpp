// EnumKeys and EnumValues: lists, events, their order, and where the walks stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_fixture.h"

namespace velmaro::testing {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::MultiSzValue;
using memory::RawValue;
using memory::SzValue;
using Names = std::vector<std::string>;

const std::string kEnumKey0 = "RegEnumKeyExA 0 blank1024";

using EnumKeysTest = RegistryTest;

TEST_F(EnumKeysTest, ListsSubkeysAndRaisesOneEventEach) {
    for (const char* sub : {"Alpha", "Beta", "Geräte"}) {
        machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\" + sub);
    }
    EXPECT_EQ(reg.EnumKeys(kHkeyCurrentUser, kKey), (Names{"Alpha", "Beta", "Geräte"}));
    EXPECT_EQ(events, (Names{"Key Alpha", "Key Beta", "Key Geräte", "KeyComplete"}));
    // A fresh buffer of 1024 blanks for every index, read-only access, one close.
    const Names expected = {
        kOpenRead,
        kEnumKey0,
        "RegEnumKeyExA 1 blank1024",
        "RegEnumKeyExA 2 blank1024",
        "RegEnumKeyExA 3 blank1024",
        "RegCloseKey key",
    };
    EXPECT_EQ(service.calls, expected);
}

TEST_F(EnumKeysTest, ResultsAndEventsPerKeyAndNoEvents) {
    machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
    machine.PutKey(kHkeyCurrentUser, "Software\\Velmaro\\Leer");
    struct Case {
        const char* key;
        bool noEvents;
        Names expected;
        Names expectedEvents;
    } cases[] = {
        {kKey, false, {"Alpha"}, {"Key Alpha", "KeyComplete"}},
        {kKey, true, {"Alpha"}, {}},
        {"Software\\Velmaro\\Leer", false, {}, {"KeyComplete"}},
        {"Software\\Velmaro\\Leer", true, {}, {}},
        // A missing key leaves the one empty slot untrimmed; the open's error ignores NoEvents.
        {kMissingKey, false, {""}, {"Error 2"}},
        {kMissingKey, true, {""}, {"Error 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.noEvents ? " quiet" : " with events"));
        Forget();
        EXPECT_EQ(reg.EnumKeys(kHkeyCurrentUser, c.key, c.noEvents), c.expected);
        EXPECT_EQ(events, c.expectedEvents);
        EXPECT_EQ(reg.CurrentKey(), c.key);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kMissingKey));
}

TEST_F(EnumKeysTest, FailingResultsCountAsEntries) {
    for (const char* sub : {"Alpha", "Beta"}) {
        machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\" + sub);
    }
    // Index 0 fails: the untouched buffer gives the name, and the walk goes on at index 1.
    machine.FailCall("RegEnumKeyExA", kErrorAccessDenied);
    const std::string junk(1024, ' ');
    EXPECT_EQ(reg.EnumKeys(kHkeyCurrentUser, kKey), (Names{junk, "Beta"}));
    EXPECT_EQ(events, (Names{"Key " + junk, "Key Beta", "KeyComplete"}));
}

TEST_F(EnumKeysTest, AKeyThatFailsForEverStopsAfterSixteenFailuresInARow) {
    machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
    machine.FailCall("RegEnumKeyExA", kErrorInvalidHandle, 1, -1);
    const Names names = reg.EnumKeys(kHkeyCurrentUser, kKey);
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(machine.CallCount("RegEnumKeyExA"), 16);
    ASSERT_EQ(events.size(), 17u);
    EXPECT_EQ(events.back(), "KeyComplete");
}

TEST_F(EnumKeysTest, FifteenFailuresInARowDoNotStopTheWalk) {
    // Seventeen subkeys K00..K16; indexes 0..14 fail, 15 and 16 succeed, 17 ends the walk.
    for (int i = 0; i < 17; ++i) {
        machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\K" + (i < 10 ? "0" : "") + std::to_string(i));
    }
    machine.FailCall("RegEnumKeyExA", kErrorInvalidHandle, 1, 15);
    const Names names = reg.EnumKeys(kHkeyCurrentUser, kKey, true);
    ASSERT_EQ(names.size(), 17u);
    EXPECT_EQ(names[15], "K15");
    EXPECT_EQ(names[16], "K16");
    EXPECT_EQ(machine.CallCount("RegEnumKeyExA"), 18);
}

using EnumValuesTest = RegistryTest;

TEST_F(EnumValuesTest, ListsValuesWithTheirSettings) {
    Put("Baud", DwordValue(9600));
    Put("Port", SzValue("COM1"));
    Put("Roh", BytesValue(kRegBinary, {1, 2, 3}));
    Forget();
    EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, kKey), (Names{"Baud", "Port", "Roh"}));
    EXPECT_EQ(events,
              (Names{"Value Baud=9600 type 4", "Value Port='COM1' type 1", "Value Roh=none type 3", "ValueComplete"}));
    // The number is read back through GetNumericValue, which opens the key once more.
    const Names expected = {
        kOpenRead,
        "RegEnumValueA 0 blank1024 blank1024",
        kOpenRead,
        "RegQueryValueExA Baud buffer 4",
        "RegCloseKey key",
        "RegEnumValueA 1 blank1024 blank1024",
        "RegEnumValueA 2 blank1024 blank1024",
        "RegEnumValueA 3 blank1024 blank1024",
        "RegCloseKey key",
    };
    EXPECT_EQ(service.calls, expected);
    EXPECT_EQ(reg.CurrentKey(), kKey);
}

TEST_F(EnumValuesTest, EventValuePerType) {
    struct Case {
        const char* what;
        RawValue stored;
        Names expectedEvents;
    } cases[] = {
        {"text", SzValue("COM1"), {"Value W='COM1' type 1"}},
        {"empty text", SzValue(""), {"Value W='' type 1"}},
        {"text of zero length", BytesValue(kRegSz, {}), {"Value W='' type 1"}},
        {"text without NUL loses its last byte", BytesValue(kRegSz, Bytes("ab")), {"Value W='a' type 1"}},
        {"embedded NUL is kept",
         BytesValue(kRegSz, Bytes(std::string_view("a\0b\0", 4))),
         {std::string("Value W='a\0b' type 1", 20)}},
        {"Windows-1252 text", SzValue("Gerät Ä"), {"Value W='Gerät Ä' type 1"}},
        {"number", DwordValue(0xFFFFFFFE), {"Value W=-2 type 4"}},
        {"short number", BytesValue(kRegDword, {0x34, 0x12}), {"Value W=4660 type 4"}},
        // The re-read fails before the event, which then carries the default 0.
        {"over-long number", BytesValue(kRegDword, {1, 0, 0, 0, 1, 0, 0, 0}), {"Error 234", "Value W=0 type 4"}},
        {"expandable text", SzValue("%TEMP%", kRegExpandSz), {"Value W=none type 2"}},
        {"multi-string", MultiSzValue({"a", "b"}), {"Value W=none type 7"}},
        {"big-endian number", DwordValue(1, kRegDwordBigEndian), {"Value W=none type 5"}},
        {"eight-byte number", BytesValue(kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}), {"Value W=none type 11"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = std::string(kKey) + "\\" + std::to_string(n++);
        Put("W", c.stored, path);
        Forget();
        EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, path), Names{"W"});
        Names expected = c.expectedEvents;
        expected.push_back("ValueComplete");
        EXPECT_EQ(events, expected);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

TEST_F(EnumValuesTest, EmptyMissingAndQuiet) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    struct Case {
        const char* key;
        bool noEvents;
        Names expectedEvents;
    } cases[] = {
        {kKey, false, {"ValueComplete"}},
        {kKey, true, {}},
        {kMissingKey, false, {"Error 2"}},
        {kMissingKey, true, {"Error 2"}},  // the open reports whatever NoEvents says
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.noEvents ? " quiet" : " with events"));
        Forget();
        EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, c.key, c.noEvents), Names{});
        EXPECT_EQ(events, c.expectedEvents);
        EXPECT_EQ(reg.CurrentKey(), c.key);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kMissingKey));
}

TEST_F(EnumValuesTest, DataLongerThan1024BytesStopsTheWalk) {
    Put("A", SzValue(std::string(1023, 'a')));  // exactly 1024 bytes: still fits
    Put("B", BytesValue(kRegBinary, std::vector<std::uint8_t>(1025, 0x42)));
    Put("C", SzValue("COM3"));
    struct Case {
        bool noEvents;
        Names expectedEvents;
    } cases[] = {
        {false, {"Value A='" + std::string(1023, 'a') + "' type 1", "Error 234"}},
        {true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.noEvents ? "quiet" : "with events");
        Forget();
        EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, kKey, c.noEvents), Names{"A"});
        EXPECT_EQ(events, c.expectedEvents);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

TEST_F(EnumValuesTest, QuietWalkStillReadsNumbersBack) {
    Put("Baud", DwordValue(9600));
    Forget();
    EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, kKey, true), Names{"Baud"});
    EXPECT_EQ(machine.CallCount("RegOpenKeyExA"), 2);
    EXPECT_EQ(events, Names{});
}

TEST_F(EnumValuesTest, NamesCrossAsWindows1252) {
    Put("Schnittstelle für Geräte", SzValue("Gerät"));
    Forget();
    EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, "Software\\Velmaro\\Test"), Names{"Schnittstelle für Geräte"});
    EXPECT_EQ(events, (Names{"Value Schnittstelle für Geräte='Gerät' type 1", "ValueComplete"}));
}

}  // namespace
}  // namespace velmaro::testing
