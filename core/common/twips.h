#pragma once
// Twips (1/1440 inch), the unit of the window's design, and screen pixels at a resolution in dots
// per inch. Both views convert with these, so they place a control on the same pixel.
#include <cmath>

namespace velmaro {

inline constexpr double kTwipsPerInch = 1440;

// A control's place in its window's client area.
struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// px = twips * dpi / 1440, to the nearest pixel.
inline int TwipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}
inline float PixelsToTwips(double pixels, double dpi) {
    return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

// The row icons come in 16, 24 and 32 pixels: the one nearest to 16 px at 96 DPI scaled, a tie
// taking the larger.
inline int RowIconPixels(int dpi) {
    const int scaled = static_cast<int>(std::lround(16.0 * dpi / 96.0));
    return scaled < 20 ? 16 : scaled < 28 ? 24 : 32;
}

}  // namespace velmaro
