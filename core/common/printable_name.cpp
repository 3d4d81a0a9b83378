#include "common/printable_name.h"

#include <cstdio>

namespace velmaro {
namespace {

// Length of the UTF-8 sequence at text[at], or 0 when it is not a valid one.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || code > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

std::string PrintableName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const auto c = static_cast<unsigned char>(name[at]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(name, at);
            // C1 controls (U+0080..U+009F) steer terminals as ESC does.
            const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(name[at + 1]) < 0xA0;
            if (length > 0 && !c1) {
                out.append(name.substr(at, length));
                at += length;
                continue;
            }
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        out += escaped;
        ++at;
    }
    return out;
}

}  // namespace velmaro
