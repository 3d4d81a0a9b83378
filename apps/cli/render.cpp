#include "render.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

namespace velmaro::cli {
namespace {

constexpr std::size_t kColumns = 5;
using Cells = std::array<std::string, kColumns>;

Cells CellsOf(const PortRow& row) {
    const RowLook look = LookOf(row);
    const std::string tag = row.problem ? std::string(TagOf(*row.problem)) : std::string();
    return {row.text, row.description, std::string(look.icon), tag, Marking(look)};
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

std::string Marking(const RowLook& look) {
    switch (look.emphasis) {
        case Emphasis::Problem:
            return "fett rot";
        case Emphasis::Siemens:
            return "fett grün";
        case Emphasis::None:
            break;
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
        const RowLook look = LookOf(row);
        const std::optional<std::uint32_t> color = look.Color();
        nlohmann::ordered_json item;
        item["text"] = row.text;
        item["description"] = row.description;
        item["icon"] = std::string(look.icon);
        item["tag"] = row.problem ? std::string(TagOf(*row.problem)) : std::string();
        item["bold"] = look.Bold();
        item["color"] = color ? nlohmann::ordered_json(*color) : nlohmann::ordered_json(nullptr);
        list.push_back(std::move(item));
    }
    nlohmann::ordered_json document;
    document["rows"] = std::move(list);
    document["problem_line"] = problemLineVisible;
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace velmaro::cli
