#pragma once
// Which USB-serial chip or board a USB device is, and what drives it: the family a user
// recognises, the Linux kernel module, the Windows driver and its maker's download page. The rows
// come from resources/usb_serial_chips.tsv, which the build compiles in.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velmaro {

struct UsbSerialChip {
    std::string_view family;         // "WCH CH340"
    std::string_view linuxModule;    // "ch341"
    std::string_view windowsDriver;  // "CH341SER"
    std::string_view driverPage;     // "" when Windows brings the driver along
};

// What a row of the table matches.
enum class ChipKey {
    Product,         // one vendor and product ID
    Vendor,          // every product of one vendor
    InterfaceClass,  // a USB interface class and subclass
};

struct ChipTableRow {
    ChipKey key = ChipKey::Product;
    std::uint16_t first = 0;   // vendor ID, or interface class
    std::uint16_t second = 0;  // product ID, or interface subclass; 0 for a vendor-wide row
    UsbSerialChip chip;
    int line = 0;  // where it stands in the text, from 1
};

// A parsed table. Its texts point into the text it was parsed from, which must outlive it.
class ChipTable {
  public:
    // Skips empty lines and lines that start with '#'. A line that is not a well-formed row, or
    // whose key an earlier row already has, is skipped and its number kept in malformedLines().
    static ChipTable Parse(std::string_view text);

    // The exact row for vid:pid, else the vendor-wide row for vid, else nullptr. Exact rows win
    // wherever they stand in the text.
    const UsbSerialChip* Find(std::uint16_t vid, std::uint16_t pid) const;
    const UsbSerialChip* FindByInterfaceClass(std::uint8_t interfaceClass, std::uint8_t subclass) const;

    const std::vector<ChipTableRow>& rows() const { return rows_; }
    const std::vector<int>& malformedLines() const { return malformed_; }

  private:
    const ChipTableRow* FindRow(ChipKey key, std::uint16_t first, std::uint16_t second) const;

    std::vector<ChipTableRow> rows_;
    std::vector<int> malformed_;
};

// The table compiled into the program, parsed on first use.
const ChipTable& BuiltInChipTable();

// Lookups in the built-in table. A vendor-wide row names a board maker whose serial port is a
// CDC-ACM interface: trust it only for a device that has one.
const UsbSerialChip* FindChip(std::uint16_t vid, std::uint16_t pid);
// Interface class 02, subclass 02 is CDC-ACM, the class of every USB modem and of most boards.
const UsbSerialChip* FindChipByInterfaceClass(std::uint8_t interfaceClass, std::uint8_t subclass);

// A USB ID written as exactly four hex digits of either case, as sysfs writes idVendor ("1a86")
// and Windows hardware IDs write it ("VID_1A86"); nothing for any other text.
std::optional<std::uint16_t> ParseUsbId(std::string_view hex);

}  // namespace velmaro
