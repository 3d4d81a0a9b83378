#pragma once
// How velmaro-list prints the port list: an aligned text table or JSON.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "port_list/port_list.h"

namespace velmaro::cli {

// "fett rot" for a problem row, "fett grün" for a Siemens cable, else empty.
std::string Marking(const RowLook& look);

// Width of a UTF-8 text in code points, which is how a terminal lays out our German texts.
std::size_t CodePoints(std::string_view utf8);

// The rows as a table with the columns COM Port, Beschreibung, Symbol, Tag, Markierung, followed by
// the problem line's text when it is shown (pass an empty text when it is hidden).
std::string RenderTable(const std::vector<PortRow>& rows, const std::string& problemLine);

// {"rows": [...], "problem_line": ...} pretty-printed with two blanks, UTF-8 unescaped, ending in a newline.
std::string RenderJson(const std::vector<PortRow>& rows, bool problemLineVisible);

}  // namespace velmaro::cli
