#include "render.h"

#include <algorithm>
#include <array>

#include <nlohmann/json.hpp>

namespace velmaro::cli {
namespace {

constexpr std::size_t kColumns = 5;
using Cells = std::array<std::string, kColumns>;

Cells CellsOf(const PortRow& row) {
    return {row.text, row.subItem, row.icon, row.tag, Marking(row)};
}

void AppendLine(std::string& out, const Cells& cells, const std::array<std::size_t, kColumns>& widths) {
    std::string line;
    for (std::size_t c = 0; c < kColumns; ++c) {
        line += cells[c];
        if (c + 1 < kColumns) {
            line.append(widths[c] - CodePoints(cells[c]) + 2, ' ');
        }
    }
    // Padding after the last filled cell would only be noise.
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += '\n';
}

}  // namespace

std::string Marking(const PortRow& row) {
    if (!row.bold || !row.foreColor) {
        return {};
    }
    if (*row.foreColor == kColorProblem) {
        return "fett rot";
    }
    if (*row.foreColor == kColorSiemens) {
        return "fett grün";
    }
    return {};
}

std::size_t CodePoints(std::string_view utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

std::string RenderTable(const std::vector<PortRow>& rows, const std::string& problemLine) {
    const Cells header{"COM Port", "Beschreibung", "Symbol", "Tag", "Markierung"};
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t c = 0; c < kColumns; ++c) {
        widths[c] = CodePoints(header[c]);
    }
    std::vector<Cells> body;
    body.reserve(rows.size());
    for (const PortRow& row : rows) {
        body.push_back(CellsOf(row));
        for (std::size_t c = 0; c < kColumns; ++c) {
            widths[c] = std::max(widths[c], CodePoints(body.back()[c]));
        }
    }
    Cells rule;
    for (std::size_t c = 0; c < kColumns; ++c) {
        rule[c] = std::string(widths[c], '-');
    }

    std::string out;
    AppendLine(out, header, widths);
    AppendLine(out, rule, widths);
    for (const Cells& cells : body) {
        AppendLine(out, cells, widths);
    }
    if (rows.empty()) {
        out += "(keine COM Ports gefunden)\n";
    }
    if (!problemLine.empty()) {
        out += '\n';
        out += problemLine;
        out += '\n';
    }
    return out;
}

std::string RenderJson(const std::vector<PortRow>& rows, bool problemLineVisible) {
    // ordered_json keeps the keys in the documented order.
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const PortRow& row : rows) {
        nlohmann::ordered_json item;
        item["text"] = row.text;
        item["description"] = row.subItem;
        item["icon"] = row.icon;
        item["tag"] = row.tag;
        item["bold"] = row.bold;
        item["color"] = row.foreColor ? nlohmann::ordered_json(*row.foreColor) : nlohmann::ordered_json(nullptr);
        list.push_back(std::move(item));
    }
    nlohmann::ordered_json document;
    document["rows"] = std::move(list);
    document["problem_line"] = problemLineVisible;
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace velmaro::cli
