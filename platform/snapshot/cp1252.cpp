// Windows-1252, the ANSI code page of a German Windows, to and from UTF-8.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "snapshot/device_snapshot.h"

namespace velmaro::snapshot {
namespace {

// 0x80..0x9F. The five bytes the code page leaves undefined map to the C1 control with the same
// number, as MultiByteToWideChar does.
constexpr std::array<char32_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighBlock[byte - 0x80];
    }
    return byte;
}

constexpr char kUnmappable = '?';

char ByteFor(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < kHighBlock.size(); ++i) {
        if (kHighBlock[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return kUnmappable;
}

// Decodes one UTF-8 sequence at text[pos] and advances pos. An ill-formed sequence yields
// nothing (returns false) and skips its maximal valid prefix, so that each bad spot becomes one
// replacement character.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        cp = lead;
        return true;
    }
    int need = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return false;
    }
    for (int got = 0; got < need; ++got) {
        if (pos >= text.size()) {
            return false;
        }
        const auto next = static_cast<unsigned char>(text[pos]);
        if (next < low || next > high) {
            return false;
        }
        cp = (cp << 6) | (next & 0x3F);
        ++pos;
        low = 0x80;
        high = 0xBF;
    }
    return true;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t run = 0;  // start of the pending run of ASCII bytes, copied in one go
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            out.append(bytes.substr(run, i - run));
            AppendUtf8(out, CodePointOf(c));
            run = i + 1;
        }
    }
    out.append(bytes.substr(run));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        out += DecodeUtf8(utf8, pos, cp) ? ByteFor(cp) : kUnmappable;
    }
    return out;
}

}  // namespace velmaro::snapshot
