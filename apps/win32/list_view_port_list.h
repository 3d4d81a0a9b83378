#pragma once
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "port_list/port_list.h"

namespace velmaro::win32 {

// What custom draw gives one cell: the font's weight and the text colour.
struct CellLook {
    bool bold = false;
    COLORREF color = 0;
    bool ownColor = false;  // the row's own colour, not the list's text colour
};

// lvwPorts on a report-view ListView. Texts and icons live in the control and are read back from
// it; tag, icon key, bold and colours are kept per row for custom draw.
class ListViewPortList : public IPortList {
  public:
    explicit ListViewPortList(HWND listView) : listView_(listView) {}
    void Clear() override;
    int AddRow(const std::string& text, const std::string& iconKey) override;
    int Count() const override;
    std::string Text(int row) const override;
    std::string SubItem(int row) const override;
    void SetSubItem(int row, const std::string& text) override;
    std::string Icon(int row) const override;
    void SetIcon(int row, const std::string& iconKey) override;
    std::string Tag(int row) const override;
    void SetTag(int row, const std::string& tag) override;
    void SetBold(int row, bool bold) override;
    void SetSubItemBold(int row, bool bold) override;
    void SetForeColor(int row, std::uint32_t color) override;
    void SetSubItemForeColor(int row, std::uint32_t color) override;

    // The image index the control holds for the row (-2, I_IMAGENONE, for none).
    int ImageIndex(int row) const;
    // The look of column 0 (the row) or 1 (sub item 1) of a row.
    CellLook Look(int row, int column) const;

  private:
    struct RowStyle {
        std::string icon;
        std::string tag;
        bool bold = false;
        bool subItemBold = false;
        std::optional<std::uint32_t> foreColor;
        std::optional<std::uint32_t> subItemForeColor;
    };
    RowStyle& At(int row);
    const RowStyle& At(int row) const;
    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string& text);
    void Redraw(int row);

    HWND listView_;
    std::vector<RowStyle> rows_;
};

}  // namespace velmaro::win32
