#pragma once
// Small pieces the native windows share: twips to pixels at the window's DPI, GDI handles with one
// owner each, the design's fonts and colours as GDI objects, and window texts in UTF-8.
#include <windows.h>

#include <string>
#include <utility>

#include "common/appearance.h"
#include "common/twips.h"

namespace velmaro::win32 {

// A twips rectangle as a pixel RECT (left, top, right, bottom).
RECT TwipsRectToPixels(const TwipsRect& rect, int dpi);

// The DPI the windows are drawn at: the system's, as the manifest declares the program system aware.
int SystemDpi();

// One owner for a GDI object.
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Handle Get() const { return handle_; }
    void Reset(Handle handle = nullptr) {
        if (handle_) {
            DeleteObject(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};
using FontHandle = GdiObject<HFONT>;

// A font of the design at a DPI; the height is the character height, points * dpi / 72.
FontHandle CreateDesignFont(const Font& font, int dpi);
// The LOGFONT's height for a point size: negative, as a character (not cell) height.
int FontHeightForPoints(float points, int dpi);

// A design colour as COLORREF; system colours are looked up now.
COLORREF ToColorRef(const Color& color);

// True while Windows runs a high-contrast colour scheme.
bool HighContrastOn();
// A design text colour as drawn on a background of the system colour background: in high contrast
// the system colour systemText; else the design's where it reads, the system colour where that
// reads (systemText < 0: none), or the design's hue at a readable lightness.
COLORREF ThemedTextColor(const Color& design, int background, int systemText);

// The window's text as UTF-8, and set from UTF-8 through the wide functions.
std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, const std::string& text);

// A window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);

// Puts a top-level window in the middle of the work area of the screen.
void CenterOnScreen(HWND window);

// Text size in pixels of a caption drawn with a font ("&" marks an access key as in any label).
SIZE CaptionExtent(HWND window, HFONT font, const std::wstring& caption);

}  // namespace velmaro::win32
