#pragma once
// Text colours that stay readable on any theme: the design's colour where it reads well on the
// background, else the theme's own, else the design's hue made lighter or darker until it does.
#include <cstdint>
#include <optional>

namespace velmaro {

// 24-bit colour with red in the low byte, as the design's colours are written.
using Rgb = std::uint32_t;

inline constexpr double kMinTextContrast = 4.5;

// The WCAG relative luminance, 0 (black) to 1 (white).
double RelativeLuminance(Rgb color);
// (lighter + 0.05) / (darker + 0.05): 1 to 21.
double ContrastRatio(Rgb a, Rgb b);
// True where a background is light enough that dark text reads on it.
bool IsLightBackground(Rgb background);

// The colour to draw the design's text colour with on this background: the design's where its
// contrast is at least 4.5:1, else the theme's candidate where that one reaches it, else the
// design's hue mixed towards white or black, as little as gives 4.5:1.
Rgb ReadableTextColor(Rgb design, Rgb background, std::optional<Rgb> themeColor = std::nullopt);

}  // namespace velmaro
