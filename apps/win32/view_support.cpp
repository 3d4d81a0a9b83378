#include "view_support.h"

#include <cmath>
#include <optional>
#include <vector>

#include "common/contrast.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {

RECT TwipsRectToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    return {left, top, left + TwipsToPixels(rect.width, dpi), top + TwipsToPixels(rect.height, dpi)};
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

int FontHeightForPoints(float points, int dpi) {
    return -static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
}

FontHandle CreateDesignFont(const Font& font, int dpi) {
    LOGFONTW logFont{};
    logFont.lfHeight = FontHeightForPoints(font.points, dpi);
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic ? TRUE : FALSE;
    logFont.lfUnderline = font.underline ? TRUE : FALSE;
    logFont.lfStrikeOut = font.strikethrough ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Utf8ToWide(font.name);
    face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&logFont));
}

COLORREF ToColorRef(const Color& color) {
    if (color.kind == Color::Kind::System) {
        return GetSysColor(static_cast<int>(color.value));
    }
    return static_cast<COLORREF>(color.value);  // red in the low byte, as COLORREF has it
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF ThemedTextColor(const Color& design, int background, int systemText) {
    if (HighContrastOn() && systemText >= 0) {
        return GetSysColor(systemText);
    }
    const std::optional<Rgb> theme = systemText >= 0 ? std::optional<Rgb>(GetSysColor(systemText)) : std::nullopt;
    return ReadableTextColor(ToColorRef(design), GetSysColor(background), theme);
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return WideToUtf8(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
}

void SetWindowTextUtf8(HWND window, const std::string& text) {
    SetWindowTextW(window, Utf8ToWide(text).c_str());
}

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CenterOnScreen(HWND window) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE CaptionExtent(HWND window, HFONT font, const std::wstring& caption) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    // Renderers that place glyphs at fractional advances (Wine's, for one) can end a few pixels past
    // the measured extent: half an average character keeps the last one whole.
    TEXTMETRICW metrics{};
    if (!caption.empty() && GetTextMetricsW(dc, &metrics)) {
        rect.right += (metrics.tmAveCharWidth + 1) / 2;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace velmaro::win32
