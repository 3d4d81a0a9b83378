#pragma once
// A row as a list control holds it, in one line for table-driven expectations.
#include <string>

#include "port_list/port_list.h"

namespace velmaro::testing {

// "text|description|icon|tag|weight colour"; "mixed" when row and sub item differ.
inline std::string Describe(const ShownRow& row) {
    const bool alike = row.bold == row.subItemBold && row.foreColor == row.subItemForeColor;
    return row.text + "|" + row.subItem + "|" + row.icon + "|" + row.tag + "|" + (row.bold ? "bold " : "") +
           (row.foreColor ? std::to_string(*row.foreColor) : "default") + (alike ? "" : " mixed");
}

}  // namespace velmaro::testing
