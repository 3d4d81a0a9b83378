#include "identity/port_filter.h"

#include <cctype>

namespace velmaro::identity {
namespace {

std::optional<std::uint16_t> Hex16(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
        const int lower = std::tolower(static_cast<unsigned char>(c));
        value = value * 16 + static_cast<unsigned>(lower <= '9' ? lower - '0' : lower - 'a' + 10);
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<VidPid> ParseVidPid(std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto vid = Hex16(text.substr(0, colon));
    if (!vid) {
        return std::nullopt;
    }
    VidPid result{*vid, std::nullopt};
    if (colon != std::string_view::npos && colon + 1 < text.size()) {
        result.pid = Hex16(text.substr(colon + 1));
        if (!result.pid) {
            return std::nullopt;
        }
    }
    return result;
}

bool Matches(const PortFilter& filter, const PortIdentity& port) {
    if (filter.vidPid) {
        if (port.vid != filter.vidPid->vid || (filter.vidPid->pid && port.pid != filter.vidPid->pid)) {
            return false;
        }
    }
    if (filter.serial && port.serial != *filter.serial) {
        return false;
    }
    if (filter.com && port.com != *filter.com) {
        return false;
    }
    if (filter.match) {
        bool found = false;
        for (const std::string* text : {&port.description, &port.path, &port.manufacturer, &port.product}) {
            found = found || std::regex_search(*text, *filter.match);
        }
        return found;
    }
    return true;
}

}  // namespace velmaro::identity
