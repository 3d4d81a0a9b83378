#pragma once
// How velmaro-list prints the port list: an aligned text table or JSON.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <optional>

#include "identity/port_identity.h"
#include "port_list/port_list.h"

namespace velmaro::cli {

// "fett rot" for a problem row, "fett grün" for a Siemens cable, else empty.
std::string Marking(const RowLook& look);

// Width of a UTF-8 text in code points, which is how a terminal lays out our German texts.
std::size_t CodePoints(std::string_view utf8);

// The rows as a table with the columns COM Port, Beschreibung, Symbol, Tag, Markierung, followed by
// the problem line's text when it is shown (pass an empty text when it is hidden).
std::string RenderTable(const std::vector<PortRow>& rows, const std::string& problemLine);

// The version of the JSON document; raised when a key changes meaning or goes away.
inline constexpr int kJsonSchemaVersion = 1;

// {"schema": 1, "rows": [...], "problem_line": ...} pretty-printed with two blanks, UTF-8 unescaped,
// ending in a newline. identities: one per row (nothing for rows that are no port); a row's
// problem text is the guidance the window gives for it on the platform.
std::string RenderJson(const std::vector<PortRow>& rows,
                       bool problemLineVisible,
                       const std::vector<std::optional<identity::PortIdentity>>& identities,
                       GuidancePlatform platform);

// One line of --watch: {"event": "add", "port": {...}}, or {"event": "synced"} without a port.
std::string RenderEvent(std::string_view event, const identity::PortIdentity* port);

// One value of a port for scripts: "node" its path, "com" its number ("" without one), "serial".
std::string FieldOf(const identity::PortIdentity& port, std::string_view field);

}  // namespace velmaro::cli
