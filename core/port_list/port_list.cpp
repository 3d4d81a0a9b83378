#include "port_list/port_list.h"

#include <stdexcept>

namespace velmaro {

void PortListModel::Clear() {
    rows_.clear();
}

int PortListModel::AddRow(const std::string& text, const std::string& iconKey) {
    PortRow row;
    row.text = text;
    row.icon = iconKey;
    rows_.push_back(std::move(row));
    return static_cast<int>(rows_.size());
}

int PortListModel::Count() const {
    return static_cast<int>(rows_.size());
}

PortRow& PortListModel::At(int row) {
    if (row < 1 || row > Count()) {
        throw std::out_of_range("port list row " + std::to_string(row) + " does not exist");
    }
    return rows_[static_cast<std::size_t>(row - 1)];
}

const PortRow& PortListModel::At(int row) const {
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
std::optional<std::uint32_t> PortListModel::ForeColor(int row) const {
    return At(row).foreColor;
}

}  // namespace velmaro
