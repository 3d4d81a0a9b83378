#pragma once
// Which ports a script asked for: by USB IDs, serial number, COM number or a pattern over the
// texts a person would recognise the port by.
#include <cstdint>
#include <optional>
#include <regex>
#include <string>
#include <string_view>

#include "identity/port_identity.h"

namespace velmaro::identity {

struct VidPid {
    std::uint16_t vid = 0;
    std::optional<std::uint16_t> pid;
    friend bool operator==(const VidPid&, const VidPid&) = default;
};

// "2341", "2341:" and "2341:0043" (hexadecimal, 1 to 4 digits each); nothing when malformed.
std::optional<VidPid> ParseVidPid(std::string_view text);

struct PortFilter {
    std::optional<VidPid> vidPid;
    std::optional<std::string> serial;  // equal, letter case included
    std::optional<std::regex> match;    // found in the description, the path, the maker or the product
    std::optional<int> com;

    bool Any() const { return vidPid || serial || match || com; }
};

// True when the port passes every condition the filter has.
bool Matches(const PortFilter& filter, const PortIdentity& port);

}  // namespace velmaro::identity
