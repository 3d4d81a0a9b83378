#include "common/text.h"

#include <gtest/gtest.h>

namespace velmaro {
namespace {

TEST(UpperCase, FoldsAsciiAndGermanLetters) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"az Siemens usb", "AZ SIEMENS USB"},
        {"Gerätemanager öffnen þ", "GERÄTEMANAGER ÖFFNEN Þ"},  // the ends of the Latin-1 range
        {"ß", "ß"},  // no single upper-case letter
        {"ÿ", "Ÿ"},
        // The Windows-1252 pairs outside Latin-1, lower case one code point above upper case.
        {"š œ ž", "Š Œ Ž"},
        {"ŠŒŽŸ", "ŠŒŽŸ"},
        {"ſ ƒ ł", "ſ ƒ ł"},  // no pair in Windows-1252 (ſ and ł are not in it, ƒ has no capital)
        {"÷", "÷"},          // a sign, not a letter
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpperCase(c.in), c.out) << c.in;
    }
}

TEST(ContainsNoCase, MatchesLikeATextCompare) {
    struct Case {
        const char* haystack;
        const char* needle;
        bool expected;
    } cases[] = {
        {"USB\\VID_067B&PID_2303&REV_0300", "Vid_067b&Pid_2303", true},
        {"Bluetooth-Verbindung", "TOOTH", true},
        {"Infrarot-Anschluß", "ANSCHLUSS", false},  // ß does not fold to SS
        {"Œuvre Škoda Žilina", "œuvre škoda žilina", true},
        {"ŠKODA", "skoda", false},  // a caron is not dropped
        {"Ÿ-Port", "ÿ-port", true},
        {"Kabel", "Kabel DCA", false},
        {"", "", false},
        {"abc", "", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContainsNoCase(c.haystack, c.needle), c.expected) << c.haystack << " / " << c.needle;
    }
}

TEST(EqualsNoCase, FoldsEveryWindows1252Pair) {
    struct Case {
        const char* a;
        const char* b;
        bool expected;
    } cases[] = {
        {"Šumava", "šUMAVA", true}, {"Œ", "œ", true},  {"Ž", "ž", true},
        {"Ÿ", "ÿ", true},           {"Š", "Ž", false},  // C5 A0 against C5 BD: same lead byte, different letters
        {"ž", "Ž ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.expected) << c.a << " / " << c.b;
    }
}

TEST(ReplaceFirstNoCase, ReplacesOnlyTheFirstOccurrence) {
    std::string text = "kommunikationsanschluss / Kommunikationsanschluss";
    EXPECT_TRUE(ReplaceFirstNoCase(text, "Kommunikationsanschluss", "Standard COM Port"));
    EXPECT_EQ(text, "Standard COM Port / Kommunikationsanschluss");
    EXPECT_FALSE(ReplaceFirstNoCase(text, "Modem", "x"));
}

TEST(RemoveAll, IsCaseSensitive) {
    EXPECT_EQ(RemoveAll("COM10", "COM"), "10");
    EXPECT_EQ(RemoveAll("COMCOM3", "COM"), "3");
    EXPECT_EQ(RemoveAll("com5", "COM"), "com5");
    EXPECT_EQ(RemoveAll("a(COM4)b(COM4)", "(COM4)"), "ab");
}

TEST(AppendUtf8, OneToFourBytes) {
    const std::pair<char32_t, const char*> cases[] = {
        {U'A', "A"}, {0xE4, "\xC3\xA4"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"}};
    for (const auto& [codePoint, bytes] : cases) {
        std::string out = "x";
        AppendUtf8(out, codePoint);
        EXPECT_EQ(out, std::string("x") + bytes) << static_cast<unsigned>(codePoint);
    }
}

TEST(TrimBlanks, RemovesSpacesOnly) {
    EXPECT_EQ(TrimBlanks("  Prolific  "), "Prolific");
    EXPECT_EQ(TrimBlanks("\tx\t"), "\tx\t");
    EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(ParseNumber, AcceptsDecimalNumbersWithBlanks) {
    struct Case {
        const char* in;
        std::optional<double> expected;
    } cases[] = {
        {"4", 4.0},           {" 12 ", 12.0},        {"-3", -3.0},        {"+7", 7.0},         {"2.5", 2.5},
        {".5", 0.5},          {"5.", 5.0},           {"", std::nullopt},  {" ", std::nullopt}, {"x1", std::nullopt},
        {"1x", std::nullopt}, {"1 2", std::nullopt}, {"-", std::nullopt}, {".", std::nullopt}, {"1e3", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(c.in), c.expected) << "'" << c.in << "'";
    }
}

TEST(RoundToInt16, RoundsHalfToEvenWithinRange) {
    struct Case {
        double in;
        std::optional<std::int16_t> expected;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {4.4, 4},
        {32767.0, 32767},
        {32767.4, 32767},
        {32767.5, std::nullopt},
        {-32768.0, -32768},
        {-32768.6, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundToInt16(c.in), c.expected) << c.in;
    }
}

TEST(Patterns, PortTagNeedsOneOrTwoDigitsInParentheses) {
    struct Case {
        const char* in;
        bool expected;
    } cases[] = {
        {"Prolific USB-to-Serial Comm Port (COM5)", true},
        {"Port (COM12) extra", true},
        {"Port (COM123)", false},
        {"Port (COM)", false},
        {"Port (com5)", false},
        {"Port (COM5", false},
        {"(COM1x) (COM7)", true},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesPortTagPattern(c.in), c.expected) << c.in;
    }
}

TEST(Patterns, ComNameIsComWithOneOrTwoDigits) {
    struct Case {
        const char* in;
        bool expected;
    } cases[] = {
        {"COM3", true},  {"COM12", true},  {"COM100", false}, {"COM", false},
        {"com3", false}, {"COM3 ", false}, {"XCOM3", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesComNamePattern(c.in), c.expected) << c.in;
    }
}

}  // namespace
}  // namespace velmaro
