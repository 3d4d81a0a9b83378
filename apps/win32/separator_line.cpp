#include "separator_line.h"

#include <algorithm>

#include "main_window/frm_ports_design.h"
#include "view_support.h"

namespace velmaro::win32 {

SeparatorLine::SeparatorLine(HWND parent, int dpi)
    : parent_(parent), dpi_(dpi), x1_(kLinBut.x1), y1_(kLinBut.y1), x2_(kLinBut.x2), y2_(kLinBut.y2) {}

RECT SeparatorLine::PixelRect() const {
    const int left = TwipsToPixels(std::min(x1_, x2_), dpi_);
    const int right = TwipsToPixels(std::max(x1_, x2_), dpi_);
    const int top = TwipsToPixels(std::min(y1_, y2_), dpi_);
    const int bottom = TwipsToPixels(std::max(y1_, y2_), dpi_) + kLinBut.widthPixels;
    return {left, top, std::max(right, left + 1), bottom};
}

void SeparatorLine::Paint(HDC dc) const {
    const RECT rect = PixelRect();
    FillRect(dc, &rect, GetSysColorBrush(static_cast<int>(kLinBut.color.value)));
}

void SeparatorLine::Move(float& end, float value) {
    const RECT before = PixelRect();
    end = value;
    const RECT after = PixelRect();
    InvalidateRect(parent_, &before, TRUE);
    InvalidateRect(parent_, &after, TRUE);
}

}  // namespace velmaro::win32
