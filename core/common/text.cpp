#include "common/text.h"

#include <cmath>

namespace velmaro {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
}

// An ASCII needle can only match ASCII bytes of the haystack, and folding never turns a byte of a
// multi-byte character into ASCII, so comparing byte by byte is exact. No copies: this runs for
// every device of every refresh.
std::size_t FindAsciiNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.size() > haystack.size()) {
        return std::string_view::npos;
    }
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t at = from; at <= last; ++at) {
        std::size_t i = 0;
        while (i < needle.size() && AsciiUpper(haystack[at + i]) == AsciiUpper(needle[i])) {
            ++i;
        }
        if (i == needle.size()) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 0x20);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // U+00E0..U+00FE (but not U+00F7) map to U+00C0..U+00DE: C3 A0..BE -> C3 80..9E.
            auto n = static_cast<unsigned char>(out[i + 1]);
            if (n >= 0xA0 && n <= 0xBE && n != 0xB7) {
                out[i + 1] = static_cast<char>(n - 0x20);
            } else if (n == 0xBF) {  // y with diaeresis -> U+0178 (C5 B8)
                out[i] = static_cast<char>(0xC5);
                out[i + 1] = static_cast<char>(0xB8);
            }
            ++i;
        } else if (c == 0xC5 && i + 1 < out.size()) {
            // The other Windows-1252 pairs: s, oe and z with caron or ligature, lower case one above.
            auto n = static_cast<unsigned char>(out[i + 1]);
            if (n == 0xA1 || n == 0x93 || n == 0xBE) {  // U+0161, U+0153, U+017E
                out[i + 1] = static_cast<char>(n - 1);
            }
            ++i;
        }
    }
    return out;
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (from > haystack.size()) {
        return std::string_view::npos;
    }
    if (IsAscii(needle)) {
        return FindAsciiNoCase(haystack, needle, from);
    }
    return UpperCase(haystack).find(UpperCase(needle), from);
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
    if (haystack.empty()) {
        return false;
    }
    return FindNoCase(haystack, needle) != std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

bool ReplaceFirstNoCase(std::string& text, std::string_view find, std::string_view replacement) {
    if (find.empty()) {
        return false;
    }
    std::size_t at = FindNoCase(text, find);
    if (at == std::string::npos) {
        return false;
    }
    text.replace(at, find.size(), replacement);
    return true;
}

std::string RemoveAll(std::string_view text, std::string_view what) {
    if (what.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        std::size_t at = text.find(what, pos);
        if (at == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, at - pos));
        pos = at + what.size();
    }
}

std::string TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string t = TrimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    double value = 0;
    std::size_t digits = 0;
    while (i < t.size() && IsDigit(t[i])) {
        value = value * 10 + (t[i] - '0');
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < t.size() && IsDigit(t[i])) {
            value += (t[i] - '0') * scale;
            scale /= 10;
            ++i;
            ++digits;
        }
    }
    if (digits == 0 || i != t.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::int16_t> RoundToInt16(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    double rounded = std::nearbyint(value);  // the default rounding mode is half to even
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

bool MatchesPortTagPattern(std::string_view text) {
    for (std::size_t at = text.find("(COM"); at != std::string_view::npos; at = text.find("(COM", at + 1)) {
        std::size_t i = at + 4;
        std::size_t digits = 0;
        while (i < text.size() && digits < 3 && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
        if ((digits == 1 || digits == 2) && i < text.size() && text[i] == ')') {
            return true;
        }
    }
    return false;
}

bool MatchesComNamePattern(std::string_view text) {
    if (text.size() < 4 || text.size() > 5 || text.substr(0, 3) != "COM") {
        return false;
    }
    for (std::size_t i = 3; i < text.size(); ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace velmaro
