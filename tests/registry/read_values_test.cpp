// GetStringValue and GetNumericValue: what comes back for each kind of stored data.
#include <gtest/gtest.h>

#include "registry_fixture.h"

namespace velmaro::testing {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::MultiSzValue;
using memory::RawValue;
using memory::SzValue;

using StringValueTest = RegistryTest;

TEST_F(StringValueTest, ReadsAnyTypeAsTextUpToTheFirstNul) {
    struct Case {
        const char* what;
        RawValue stored;
        std::string expected;
    } cases[] = {
        {"plain text", SzValue("COM3"), "COM3"},
        {"empty text, just its NUL", SzValue(""), ""},
        {"stored with zero length", BytesValue(kRegSz, {}), ""},
        {"embedded NUL", BytesValue(kRegSz, Bytes(std::string_view("ab\0cd\0", 6))), "ab"},
        {"no NUL at all: the whole data", BytesValue(kRegBinary, Bytes("xy")), "xy"},
        {"multi-string: its first string", MultiSzValue({"COM6", "COM7"}), "COM6"},
        {"expandable text stays unexpanded", SzValue("%SystemRoot%\\Hilfe", kRegExpandSz), "%SystemRoot%\\Hilfe"},
        {"a number read as text", DwordValue(0x00434241), "ABC"},
        {"Windows-1252 text", SzValue("Schnittstelle für Geräte"), "Schnittstelle für Geräte"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Put("Wert", c.stored);
        Forget();
        EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, kKey, "Wert"), c.expected);
        EXPECT_EQ(events, std::vector<std::string>{});
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

TEST_F(StringValueTest, AsksForTheSizeThenForTheData) {
    Put("Port", SzValue("COM12"));  // 6 bytes with the NUL
    Forget();
    EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, kKey, "Port"), "COM12");
    const std::vector<std::string> expected = {
        kOpenRead,
        "RegQueryValueExA Port buffer 0",
        "RegQueryValueExA Port buffer 6",
        "RegCloseKey key",
    };
    EXPECT_EQ(service.calls, expected);
}

TEST_F(StringValueTest, MissingValueOrKeyGivesEmptyTextAndError2) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, kKey, "Fehlt"), "");
    EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, kMissingKey, "Port"), "");
    EXPECT_EQ(events, (std::vector<std::string>{"Error 2", "Error 2"}));
    // A read never creates what it did not find.
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kMissingKey));
}

TEST_F(StringValueTest, ValueNameCrossesAsWindows1252) {
    Put("Schnittstelle für Geräte", SzValue("Gerät Ä"));
    Forget();
    EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, kKey, "Schnittstelle für Geräte"), "Gerät Ä");
    ASSERT_GE(service.calls.size(), 2u);
    EXPECT_EQ(service.calls[1], "RegQueryValueExA Schnittstelle f\xFCr Ger\xE4te buffer 0");
}

using NumericValueTest = RegistryTest;

TEST_F(NumericValueTest, ReadsUpToFourBytesLittleEndian) {
    struct Case {
        const char* what;
        RawValue stored;
        std::int32_t expected;
    } cases[] = {
        {"number", DwordValue(9600), 9600},
        {"all bits set", DwordValue(0xFFFFFFFF), -1},
        {"highest bit", DwordValue(0x80000000), INT32_MIN},
        {"byte order", BytesValue(kRegBinary, {0x78, 0x56, 0x34, 0x12}), 0x12345678},
        {"one byte fills the low byte", BytesValue(kRegBinary, {0x01}), 1},
        {"two bytes", BytesValue(kRegBinary, {0x34, 0x12}), 0x1234},
        {"zero length reads as zero, not the default", BytesValue(kRegDword, {}), 0},
        {"text is not refused: '7' NUL", SzValue("7"), 0x37},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Put("Wert", c.stored);
        Forget();
        EXPECT_EQ(reg.GetNumericValue(kHkeyCurrentUser, kKey, "Wert", 77), c.expected);
        EXPECT_EQ(events, std::vector<std::string>{});
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

TEST_F(NumericValueTest, QueriesIntoAFourByteBuffer) {
    Put("Baud", DwordValue(9600));
    Forget();
    reg.GetNumericValue(kHkeyCurrentUser, kKey, "Baud");
    const std::vector<std::string> expected = {kOpenRead, "RegQueryValueExA Baud buffer 4", "RegCloseKey key"};
    EXPECT_EQ(service.calls, expected);
}

TEST_F(NumericValueTest, FailuresKeepTheDefault) {
    Put("Lang", BytesValue(kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}));
    struct Case {
        const char* what;
        const char* key;
        const char* name;
        std::int32_t defaultValue;
        const char* event;
    } cases[] = {
        {"missing value", kKey, "Fehlt", 5, "Error 2"},
        {"eight-byte value", kKey, "Lang", -9, "Error 234"},
        {"missing key", kMissingKey, "Baud", 0, "Error 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Forget();
        EXPECT_EQ(reg.GetNumericValue(kHkeyCurrentUser, c.key, c.name, c.defaultValue), c.defaultValue);
        EXPECT_EQ(events, std::vector<std::string>{c.event});
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
    Forget();
    EXPECT_EQ(reg.GetNumericValue(kHkeyCurrentUser, kKey, "Fehlt"), 0);  // the default's default
}

}  // namespace
}  // namespace velmaro::testing
