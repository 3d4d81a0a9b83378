#include "common/access_key.h"

namespace velmaro {

AccessKeyCaption SplitAccessKey(std::string_view caption) {
    AccessKeyCaption result;
    result.text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            result.text += caption[i];
            continue;
        }
        if (i + 1 == caption.size()) {
            break;
        }
        if (caption[i + 1] == '&') {
            result.text += '&';
            ++i;
            continue;
        }
        // A lone "&" marks the character after it; only the first mark counts as the key.
        if (!result.keyOffset) {
            result.keyOffset = result.text.size();
        }
    }
    return result;
}

std::string DisplayedCaption(std::string_view caption) {
    return SplitAccessKey(caption).text;
}

}  // namespace velmaro
