// Windows-1252 conversion and the value builders.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

using namespace std::string_literals;

struct CodePageCase {
    const char* label;
    std::string cp1252;
    std::string utf8;
};

TEST(Cp1252, BothDirections) {
    const CodePageCase cases[] = {
        {"ASCII", "COM1", "COM1"},
        {"umlauts and sharp s", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF", "ÄÖÜäöüß"},
        {"euro sign", "\x80", "€"},
        {"quotes and dashes of 0x80..0x9F", "\x84\x93\x96\x97\x99", "„“–—™"},
        {"last of the block", "\x9F", "Ÿ"},
        {"undefined bytes as C1 controls", "\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},
        {"no-break space and y diaeresis", "\xA0\xFF", "\u00A0ÿ"},
        {"NUL bytes kept", "A\0B\0"s, "A\0B\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
    }
}

TEST(Cp1252, AllBytesRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = Cp1252ToUtf8(all);
    // 0x80..0x9F: 17 characters take three bytes, 10 others and the 5 undefined bytes two.
    EXPECT_EQ(utf8.size(), 128u + 2 * 96u + 17 * 3u + 15 * 2u);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Cp1252, UnmappableAndInvalidBecomeQuestionMarks) {
    const CodePageCase cases[] = {
        {"arrow outside the code page", "a?b", "a→b"},
        {"character outside the BMP", "?", "😀"},
        {"C1 control the code page does not have", "?", "\u0080"},
        {"stray byte", "x?y", "x\xFFy"},
        {"truncated sequence at the end", "x?", "x\xC3"},
        {"truncated sequence before ASCII", "?A",
         "\xE2\x82"
         "A"},
        {"overlong NUL", "??", "\xC0\x80"},
        {"encoded surrogate", "???", "\xED\xA0\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
    }
}

TEST(Cp1252, MachineConvertsWithTheSameCodePage) {
    MemoryMachine machine;
    EXPECT_EQ(machine.Utf8ToAnsi("Grüße €"),
              "Gr\xFC\xDF"
              "e \x80");
    EXPECT_EQ(machine.AnsiToUtf8("Gr\xFC\xDF"
                                 "e \x80"),
              "Grüße €");
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(ValueBuilders, Strings) {
    EXPECT_EQ(SzValue("Grüße"), (RawValue{kRegSz, Bytes("Gr\xFC\xDF"
                                                        "e\0"s)}));
    EXPECT_EQ(SzValue("", kRegExpandSz), (RawValue{kRegExpandSz, {0}}));
    EXPECT_EQ(SzValue("x", kRegLink), (RawValue{kRegLink, {'x', 0}}));
    EXPECT_THROW(SzValue("x", kRegDword), std::invalid_argument);
    EXPECT_EQ(MultiSzValue({"A", "BC"}), (RawValue{kRegMultiSz, Bytes("A\0BC\0\0"s)}));
    EXPECT_EQ(MultiSzValue({}), (RawValue{kRegMultiSz, {0}}));
}

TEST(ValueBuilders, Numbers) {
    EXPECT_EQ(DwordValue(0x01020304), (RawValue{kRegDword, {4, 3, 2, 1}}));
    EXPECT_EQ(DwordValue(0x01020304, kRegDwordBigEndian), (RawValue{kRegDwordBigEndian, {1, 2, 3, 4}}));
    EXPECT_EQ(DwordValue(0xFFFFFFFF), (RawValue{kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}));
    EXPECT_THROW(DwordValue(1, kRegQword), std::invalid_argument);
    EXPECT_EQ(BytesValue(kRegBinary, {1, 0}), (RawValue{kRegBinary, {1, 0}}));
}

TEST(RootNames, FullNames) {
    EXPECT_EQ(RootFromName("HKEY_CLASSES_ROOT"), kHkeyClassesRoot);
    EXPECT_EQ(RootFromName("HKEY_CURRENT_USER"), kHkeyCurrentUser);
    EXPECT_EQ(RootFromName("HKEY_LOCAL_MACHINE"), kHkeyLocalMachine);
    EXPECT_EQ(RootFromName("HKEY_USERS"), kHkeyUsers);
    EXPECT_EQ(RootFromName("HKEY_CURRENT_CONFIG"), kHkeyCurrentConfig);
    EXPECT_EQ(RootFromName("HKLM"), 0);
    EXPECT_EQ(RootFromName(""), 0);
}

}  // namespace
}  // namespace velmaro::memory
