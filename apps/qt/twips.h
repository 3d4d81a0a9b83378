#pragma once
// Twips (1/1440 inch) to the widget's pixels at its logical resolution, and colour mapping.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "common/appearance.h"
#include "common/contrast.h"
#include "common/twips.h"

namespace velmaro::qt {

inline int ToPixels(const QWidget& widget, float twips) {
    return TwipsToPixels(twips, widget.logicalDpiX());
}
inline float ToTwips(const QWidget& widget, int pixels) {
    return PixelsToTwips(pixels, widget.logicalDpiX());
}

// Red in the low byte.
inline QColor ToQColor(std::uint32_t rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}
inline QColor ToQColor(const Color& color, const QPalette& palette) {
    if (color.kind == Color::Kind::Rgb) {
        return ToQColor(color.value);
    }
    if (color.value == kSysColorGrayText) {
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    }
    return palette.color(QPalette::Button);
}

inline std::uint32_t ToRgb(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

// A design colour as drawn on this background: the design's own where it reads (a light theme),
// else the theme's candidate or the design's hue at a readable lightness.
inline QColor ReadableColor(std::uint32_t design,
                            const QColor& background,
                            std::optional<QColor> theme = std::nullopt) {
    return ToQColor(ReadableTextColor(design, ToRgb(background),
                                      theme ? std::optional<std::uint32_t>(ToRgb(*theme)) : std::nullopt));
}

// The design's fonts name a narrow Windows face; a face of the same widths is preferred where
// installed, then the wider sans faces most Linux desktops have, then the desktop's own face, at the
// design's size. The layout measures whichever it got.
inline QFont ToQFont(const Font& font, const QFont& base) {
    QFont result(base);
    result.setFamilies({QString::fromUtf8(font.name.data(), static_cast<int>(font.name.size())),
                        QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"), QStringLiteral("Noto Sans"),
                        QStringLiteral("DejaVu Sans"), base.family()});
    result.setPointSizeF(font.points);
    result.setBold(font.weight >= 700);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikethrough);
    return result;
}

// Windows of this program open in the middle of the screen.
inline void CenterOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen()) {
        const QRect frame = window.frameGeometry();
        window.move(window.pos() + screen->availableGeometry().center() - frame.center());
    }
}

}  // namespace velmaro::qt
