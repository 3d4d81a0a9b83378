#include "render.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
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

namespace {

nlohmann::ordered_json TextOrNull(const std::string& text) {
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

nlohmann::ordered_json HexOrNull(const std::optional<std::uint16_t>& number) {
    if (!number) {
        return nullptr;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(*number));
    return text;
}

nlohmann::ordered_json IdentityJson(const identity::PortIdentity& port) {
    nlohmann::ordered_json item;
    item["com"] = port.com > 0 ? nlohmann::ordered_json(port.com) : nlohmann::ordered_json(nullptr);
    item["path"] = TextOrNull(port.path);
    item["description"] = port.description;
    item["manufacturer"] = TextOrNull(port.manufacturer);
    item["product"] = TextOrNull(port.product);
    item["vid"] = HexOrNull(port.vid);
    item["pid"] = HexOrNull(port.pid);
    item["revision"] = HexOrNull(port.revision);
    item["serial"] = TextOrNull(port.serial);
    item["interface"] =
        port.interfaceNumber ? nlohmann::ordered_json(*port.interfaceNumber) : nlohmann::ordered_json(nullptr);
    item["location"] = TextOrNull(port.location);
    item["links"] = port.links;
    item["driver"] = TextOrNull(port.driver);
    item["kind"] = std::string(identity::KindName(port.kind));
    item["instance"] = TextOrNull(port.instance);
    nlohmann::ordered_json problems = nlohmann::ordered_json::array();
    for (const ProblemCode code : port.problems) {
        problems.push_back(std::string(TagOf(code)));
    }
    item["problems"] = std::move(problems);
    return item;
}

}  // namespace

std::string RenderJson(const std::vector<PortRow>& rows,
                       bool problemLineVisible,
                       const std::vector<std::optional<identity::PortIdentity>>& identities,
                       GuidancePlatform platform) {
    // ordered_json keeps the keys in the documented order.
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PortRow& row = rows[i];
        const RowLook look = LookOf(row);
        const std::optional<std::uint32_t> color = look.Color();
        nlohmann::ordered_json item;
        item["text"] = row.text;
        item["description"] = row.description;
        item["icon"] = std::string(look.icon);
        item["tag"] = row.problem ? std::string(TagOf(*row.problem)) : std::string();
        item["bold"] = look.Bold();
        item["color"] = color ? nlohmann::ordered_json(*color) : nlohmann::ordered_json(nullptr);
        item["problem_text"] = row.problem ? nlohmann::ordered_json(ComposeGuidanceText(*row.problem, platform))
                                           : nlohmann::ordered_json(nullptr);
        item["identity"] =
            i < identities.size() && identities[i] ? IdentityJson(*identities[i]) : nlohmann::ordered_json(nullptr);
        list.push_back(std::move(item));
    }
    nlohmann::ordered_json document;
    document["schema"] = kJsonSchemaVersion;
    document["rows"] = std::move(list);
    document["problem_line"] = problemLineVisible;
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string RenderEvent(std::string_view event, const identity::PortIdentity* port) {
    nlohmann::ordered_json line;
    line["event"] = std::string(event);
    if (port != nullptr) {
        line["port"] = IdentityJson(*port);
    }
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string FieldOf(const identity::PortIdentity& port, std::string_view field) {
    if (field == "node") {
        return port.path;
    }
    if (field == "com") {
        return port.com > 0 ? "COM" + std::to_string(port.com) : std::string();
    }
    return port.serial;
}

}  // namespace velmaro::cli
