#pragma once
// The text of resources/usb_serial_chips.tsv as the build embedded it.
#include <string_view>

namespace velmaro {

std::string_view UsbSerialChipsText();

}  // namespace velmaro
