#pragma once
// Colours and fonts as data, so that each view maps them to its toolkit the same way.
#include <cstdint>
#include <string_view>

namespace velmaro {

// System colour indexes (the platform's GetSysColor numbers).
inline constexpr std::uint32_t kSysColorBtnFace = 15;
inline constexpr std::uint32_t kSysColorGrayText = 17;

// Either a 24-bit colour with red in the low byte, or a reference to a system colour by index.
struct Color {
    enum class Kind { Rgb, System };
    Kind kind = Kind::Rgb;
    std::uint32_t value = 0;

    static constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return {Kind::Rgb, static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
                               (static_cast<std::uint32_t>(blue) << 16)};
    }
    static constexpr Color System(std::uint32_t index) { return {Kind::System, index}; }
    friend constexpr bool operator==(const Color&, const Color&) = default;
};

struct Font {
    std::string_view name;
    float points = 0;
    int weight = 400;  // 700 is bold
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    friend constexpr bool operator==(const Font&, const Font&) = default;
};

}  // namespace velmaro
