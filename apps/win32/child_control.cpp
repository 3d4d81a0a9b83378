#include "child_control.h"

#include <algorithm>

#include "view_support.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {

ChildControl::ChildControl(HWND window, const ControlDesign& design, int dpi, HFONT font)
    : window_(window),
      dpi_(dpi),
      font_(font),
      autoSize_(design.autoSize),
      foreColor_(design.foreColor),
      left_(design.rect.left),
      top_(design.rect.top),
      width_(design.rect.width),
      height_(design.rect.height),
      caption_(design.caption),
      visible_(design.visible) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetCaption(caption_);
}

void ChildControl::SetLeft(float value) {
    left_ = value;
    Place();
}
void ChildControl::SetTop(float value) {
    top_ = value;
    Place();
}
void ChildControl::SetWidth(float value) {
    width_ = value;
    Place();
}
void ChildControl::SetHeight(float value) {
    height_ = value;
    Place();
}

void ChildControl::SetCaption(const std::string& text) {
    caption_ = text;
    const std::wstring wide = Utf8ToWide(text);
    SetWindowTextW(window_, wide.c_str());
    if (autoSize_) {
        // As wide as its text. The layout's arithmetic counts on the designed line height, so a face
        // with a lower line keeps it; a taller one grows the label.
        const SIZE extent = CaptionExtent(window_, font_, wide);
        width_ = PixelsToTwips(extent.cx, dpi_);
        height_ = std::max(height_, PixelsToTwips(extent.cy, dpi_));
    }
    Place();
}

void ChildControl::SetDpi(int dpi, HFONT font) {
    dpi_ = dpi;
    font_ = font;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetCaption(caption_);  // measures an auto-sized label again, and places it
}

void ChildControl::SetVisible(bool visible) {
    visible_ = visible;
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void ChildControl::Place() {
    const RECT pixels = TwipsRectToPixels({left_, top_, width_, height_}, dpi_);
    SetWindowPos(window_, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace velmaro::win32
