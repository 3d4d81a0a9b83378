#include "port_list/port_list.h"

#include <algorithm>
#include <stdexcept>

#include "common/text.h"

namespace velmaro {
namespace {

// The icon a port's description calls for; the first keyword found wins, letter case ignored.
const char* IconFor(std::string_view description) {
    const std::string upper = UpperCase(description);
    auto contains = [&upper](std::string_view keyword) { return upper.find(keyword) != std::string::npos; };
    if (contains("USB")) {
        return kIconUsb;
    }
    if (contains("INFRAROT") || contains("IRDA")) {
        return kIconIrda;
    }
    if (contains("TOOTH")) {
        return kIconBluetooth;
    }
    return kIconCom;
}

}  // namespace

std::optional<std::uint32_t> RowLook::Color() const {
    switch (emphasis) {
        case Emphasis::Problem:
            return kColorProblem;
        case Emphasis::Siemens:
            return kColorSiemens;
        case Emphasis::None:
            break;
    }
    return std::nullopt;
}

RowLook LookOf(const PortRow& row) {
    switch (row.kind) {
        case RowKind::DoubleAssignment:
        case RowKind::DriverProblem:
            return {kIconWarning, Emphasis::Problem};
        case RowKind::SiemensCable:
            return {IconFor(row.description), Emphasis::Siemens};
        case RowKind::Port:
            break;
    }
    return {IconFor(row.description), Emphasis::None};
}

bool ShowsProblemLine(std::span<const PortRow> rows) {
    return std::any_of(rows.begin(), rows.end(), [](const PortRow& row) { return LookOf(row).icon == kIconWarning; });
}

void AppendRows(IPortList& list, std::span<const PortRow> rows) {
    for (const PortRow& row : rows) {
        const RowLook look = LookOf(row);
        const int position = list.AddRow(row.text, std::string(look.icon));
        list.SetSubItem(position, row.description);
        if (row.problem) {
            list.SetTag(position, ProblemTag(*row.problem, row.fillIns));
        }
        if (const std::optional<std::uint32_t> color = look.Color()) {
            list.SetBold(position, look.Bold());
            list.SetSubItemBold(position, look.Bold());
            list.SetForeColor(position, *color);
            list.SetSubItemForeColor(position, *color);
        }
    }
}

void PortListModel::Clear() {
    rows_.clear();
}

int PortListModel::AddRow(const std::string& text, const std::string& iconKey) {
    ShownRow row;
    row.text = text;
    row.icon = iconKey;
    rows_.push_back(std::move(row));
    return static_cast<int>(rows_.size());
}

int PortListModel::Count() const {
    return static_cast<int>(rows_.size());
}

ShownRow& PortListModel::At(int row) {
    if (row < 1 || row > Count()) {
        throw std::out_of_range("port list row " + std::to_string(row) + " does not exist");
    }
    return rows_[static_cast<std::size_t>(row - 1)];
}

const ShownRow& PortListModel::At(int row) const {
    return const_cast<PortListModel*>(this)->At(row);
}

std::string PortListModel::Text(int row) const {
    return At(row).text;
}
std::string PortListModel::SubItem(int row) const {
    return At(row).subItem;
}
void PortListModel::SetSubItem(int row, const std::string& text) {
    At(row).subItem = text;
}
std::string PortListModel::Icon(int row) const {
    return At(row).icon;
}
void PortListModel::SetIcon(int row, const std::string& iconKey) {
    At(row).icon = iconKey;
}
std::string PortListModel::Tag(int row) const {
    return At(row).tag;
}
void PortListModel::SetTag(int row, const std::string& tag) {
    At(row).tag = tag;
}
void PortListModel::SetBold(int row, bool bold) {
    At(row).bold = bold;
}
void PortListModel::SetSubItemBold(int row, bool bold) {
    At(row).subItemBold = bold;
}
void PortListModel::SetForeColor(int row, std::uint32_t color) {
    At(row).foreColor = color;
}
void PortListModel::SetSubItemForeColor(int row, std::uint32_t color) {
    At(row).subItemForeColor = color;
}

std::string SpokenRow(const std::string& text, const std::string& subItem, const std::string& tag) {
    return text + ", " + subItem + (tag.empty() ? "" : ", Problem");
}

}  // namespace velmaro
