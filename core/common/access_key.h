#pragma once
// Captions mark their access key with "&": "&Datei" underlines the D, "&&" stands for one "&".
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmaro {

struct AccessKeyCaption {
    std::string text;                      // what the view shows
    std::optional<std::size_t> keyOffset;  // byte offset in text of the first marked character
    friend bool operator==(const AccessKeyCaption&, const AccessKeyCaption&) = default;
};

// Splits a caption into the shown text and its access key. A lone "&" at the very end is dropped.
AccessKeyCaption SplitAccessKey(std::string_view caption);

// Just the shown text of a caption.
std::string DisplayedCaption(std::string_view caption);

}  // namespace velmaro
