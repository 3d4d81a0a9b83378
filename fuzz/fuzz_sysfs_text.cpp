// The sysfs and udev text helpers over arbitrary attribute bytes: cleaning, numbers, hex ids,
// hardware ids and the port kind. Checks the promises of each besides not crashing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "linux/sysfs_scan.h"

using namespace velmaro::linux_backend;

namespace {

// Valid UTF-8 without control characters (C0, DEL, C1) and without blanks at either end.
bool IsClean(std::string_view text) {
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) {
        return false;
    }
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0xD800 && code <= 0xDFFF) ||
            (length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string clean = CleanText(bytes);
    if (!IsClean(clean) || CleanText(clean) != clean) {
        std::abort();
    }
    const std::string text(bytes);
    for (int base : {10, 16}) {
        (void)AttributeNumber(text, base);
    }
    if (const auto hex = AttributeHex16(text)) {
        const auto number = AttributeNumber(CleanText(text), 16);
        if (number && *number != *hex) {
            std::abort();
        }
    }
    // The input split in three at its first two NUL bytes: name, subsystem, driver.
    const std::size_t a = bytes.find('\0');
    const std::string_view first = bytes.substr(0, a);
    const std::string_view rest = a == std::string_view::npos ? std::string_view() : bytes.substr(a + 1);
    const std::size_t b = rest.find('\0');
    const std::string_view second = rest.substr(0, b);
    const std::string_view third = b == std::string_view::npos ? std::string_view() : rest.substr(b + 1);
    (void)PortKindOf(first, second, third);
    for (const std::string& id : PnpHardwareIds(bytes)) {
        if (id.empty()) {
            std::abort();
        }
    }
    (void)PciHardwareIds(first, second);
    return 0;
}
