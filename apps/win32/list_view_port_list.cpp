#include "list_view_port_list.h"

#include <algorithm>
#include <stdexcept>

#include "main_window/frm_ports_design.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

int ImageIndexForKey(const std::string& key) {
    const auto found = std::find(kImageKeys.begin(), kImageKeys.end(), key);
    return found == kImageKeys.end() ? I_IMAGENONE : static_cast<int>(found - kImageKeys.begin());
}

}  // namespace

ListViewPortList::RowStyle& ListViewPortList::At(int row) {
    if (row < 1 || row > static_cast<int>(rows_.size())) {
        throw std::out_of_range("lvwPorts has no row " + std::to_string(row));
    }
    return rows_[static_cast<std::size_t>(row - 1)];
}

const ListViewPortList::RowStyle& ListViewPortList::At(int row) const {
    return const_cast<ListViewPortList*>(this)->At(row);
}

void ListViewPortList::Clear() {
    SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
}

int ListViewPortList::AddRow(const std::string& text, const std::string& iconKey) {
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(rows_.size());
    item.pszText = wide.data();
    item.iImage = ImageIndexForKey(iconKey);
    const auto index = SendMessageW(listView_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (index != static_cast<LRESULT>(rows_.size())) {
        throw std::runtime_error("lvwPorts refused a row");
    }
    rows_.push_back({iconKey, {}, false, false, std::nullopt, std::nullopt});
    return static_cast<int>(rows_.size());
}

int ListViewPortList::Count() const {
    return static_cast<int>(SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewPortList::CellText(int row, int column) const {
    At(row);
    std::wstring buffer(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length =
        SendMessageW(listView_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item));
    return WideToUtf8(std::wstring_view(buffer.data(), static_cast<std::size_t>(std::max<LRESULT>(length, 0))));
}

void ListViewPortList::SetCellText(int row, int column, const std::string& text) {
    At(row);
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(listView_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item));
}

std::string ListViewPortList::Text(int row) const {
    return CellText(row, 0);
}

std::string ListViewPortList::SubItem(int row) const {
    return CellText(row, 1);
}

void ListViewPortList::SetSubItem(int row, const std::string& text) {
    SetCellText(row, 1, text);
}

std::string ListViewPortList::Icon(int row) const {
    return At(row).icon;
}

void ListViewPortList::SetIcon(int row, const std::string& iconKey) {
    At(row).icon = iconKey;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row - 1;
    item.iImage = ImageIndexForKey(iconKey);
    SendMessageW(listView_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int ListViewPortList::ImageIndex(int row) const {
    At(row);
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row - 1;
    SendMessageW(listView_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

std::string ListViewPortList::Tag(int row) const {
    return At(row).tag;
}

void ListViewPortList::SetTag(int row, const std::string& tag) {
    At(row).tag = tag;
}

void ListViewPortList::SetBold(int row, bool bold) {
    At(row).bold = bold;
    Redraw(row);
}

void ListViewPortList::SetSubItemBold(int row, bool bold) {
    At(row).subItemBold = bold;
    Redraw(row);
}

void ListViewPortList::SetForeColor(int row, std::uint32_t color) {
    At(row).foreColor = color;
    Redraw(row);
}

void ListViewPortList::SetSubItemForeColor(int row, std::uint32_t color) {
    At(row).subItemForeColor = color;
    Redraw(row);
}

CellLook ListViewPortList::Look(int row, int column) const {
    const RowStyle& style = At(row);
    const bool bold = column == 0 ? style.bold : style.subItemBold;
    const std::optional<std::uint32_t>& color = column == 0 ? style.foreColor : style.subItemForeColor;
    return {bold, color ? static_cast<COLORREF>(*color) : GetSysColor(COLOR_WINDOWTEXT), color.has_value()};
}

void ListViewPortList::Redraw(int row) {
    SendMessageW(listView_, LVM_REDRAWITEMS, static_cast<WPARAM>(row - 1), static_cast<LPARAM>(row - 1));
}

}  // namespace velmaro::win32
