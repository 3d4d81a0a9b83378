#include "common/contrast.h"

#include <cmath>

namespace velmaro {
namespace {

double Channel(Rgb color, int shift) {
    const double value = static_cast<double>((color >> shift) & 0xFF) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

Rgb Mix(Rgb from, Rgb to, int step, int steps) {
    Rgb result = 0;
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        const int mixed = a + ((b - a) * step + steps / 2) / steps;
        result |= static_cast<Rgb>(mixed) << shift;
    }
    return result;
}

}  // namespace

double RelativeLuminance(Rgb color) {
    return 0.2126 * Channel(color, 0) + 0.7152 * Channel(color, 8) + 0.0722 * Channel(color, 16);
}

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

bool IsLightBackground(Rgb background) {
    // Where black text has more contrast than white.
    return ContrastRatio(background, 0x000000) >= ContrastRatio(background, 0xFFFFFF);
}

Rgb ReadableTextColor(Rgb design, Rgb background, std::optional<Rgb> themeColor) {
    if (ContrastRatio(design, background) >= kMinTextContrast) {
        return design;
    }
    if (themeColor && ContrastRatio(*themeColor, background) >= kMinTextContrast) {
        return *themeColor;
    }
    const Rgb target = IsLightBackground(background) ? 0x000000 : 0xFFFFFF;
    constexpr int kSteps = 64;
    for (int step = 1; step < kSteps; ++step) {
        const Rgb mixed = Mix(design, target, step, kSteps);
        if (ContrastRatio(mixed, background) >= kMinTextContrast) {
            return mixed;
        }
    }
    return target;
}

}  // namespace velmaro
