#include "main_window/frm_ports_design.h"

namespace velmaro {
namespace {

// "https://www.velmaro.example" -> "www.velmaro.example"
std::string_view WithoutScheme(std::string_view address) {
    const std::size_t separator = address.find("://");
    return separator == std::string_view::npos ? address : address.substr(separator + 3);
}

}  // namespace

std::string LinkToolTip(int index) {
    switch (index) {
        case 0:
            return std::string(WithoutScheme(kMakerWebAddress)) + " besuchen";
        case 1:
            return "eMail an " + std::string(kFeedbackAddress) + " schreiben";
        default:
            return {};
    }
}

}  // namespace velmaro
