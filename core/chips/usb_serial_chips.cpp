#include "chips/usb_serial_chips.h"

#include <algorithm>
#include <array>

#include "chips/usb_serial_chips_text.h"

namespace velmaro {
namespace {

constexpr std::size_t kFieldCount = 5;
constexpr std::string_view kNoDriverPage = "-";
constexpr std::string_view kClassPrefix = "class:";

std::optional<std::uint16_t> ParseHex(std::string_view text, std::size_t digits) {
    if (text.size() != digits) {
        return std::nullopt;
    }
    std::uint16_t value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

struct Key {
    ChipKey kind;
    std::uint16_t first;
    std::uint16_t second;
};

// "vvvv:pppp", "vvvv:*" or "class:cc/ss".
std::optional<Key> ParseKey(std::string_view text) {
    if (text.starts_with(kClassPrefix)) {
        text.remove_prefix(kClassPrefix.size());
        const auto slash = text.find('/');
        if (slash == std::string_view::npos) {
            return std::nullopt;
        }
        const auto cls = ParseHex(text.substr(0, slash), 2);
        const auto sub = ParseHex(text.substr(slash + 1), 2);
        if (!cls || !sub) {
            return std::nullopt;
        }
        return Key{ChipKey::InterfaceClass, *cls, *sub};
    }
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto vid = ParseUsbId(text.substr(0, colon));
    if (!vid) {
        return std::nullopt;
    }
    const auto rest = text.substr(colon + 1);
    if (rest == "*") {
        return Key{ChipKey::Vendor, *vid, 0};
    }
    const auto pid = ParseUsbId(rest);
    if (!pid) {
        return std::nullopt;
    }
    return Key{ChipKey::Product, *vid, *pid};
}

bool IsModuleName(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// A field is what stands between two tabs; blanks at its ends are a typing slip, not data.
bool IsCleanField(std::string_view text) {
    return !text.empty() && text.front() != ' ' && text.back() != ' ';
}

std::optional<ChipTableRow> ParseRow(std::string_view line) {
    std::array<std::string_view, kFieldCount> fields;
    std::size_t count = 0;
    while (true) {
        const auto tab = line.find('\t');
        if (count == kFieldCount) {
            return std::nullopt;
        }
        fields[count++] = line.substr(0, tab);
        if (tab == std::string_view::npos) {
            break;
        }
        line.remove_prefix(tab + 1);
    }
    if (count != kFieldCount || !std::all_of(fields.begin(), fields.end(), IsCleanField)) {
        return std::nullopt;
    }
    const auto key = ParseKey(fields[0]);
    const std::string_view page = fields[4];
    if (!key || !IsModuleName(fields[2]) || (page != kNoDriverPage && !page.starts_with("https://"))) {
        return std::nullopt;
    }
    ChipTableRow row;
    row.key = key->kind;
    row.first = key->first;
    row.second = key->second;
    row.chip = {fields[1], fields[2], fields[3], page == kNoDriverPage ? std::string_view{} : page};
    return row;
}

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::optional<std::uint16_t> ParseUsbId(std::string_view hex) {
    return ParseHex(hex, 4);
}

ChipTable ChipTable::Parse(std::string_view text) {
    ChipTable table;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // A checkout on Windows may give the file CR LF line ends.
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (IsBlank(line) || line.starts_with('#')) {
            continue;
        }
        auto row = ParseRow(line);
        if (!row || table.FindRow(row->key, row->first, row->second) != nullptr) {
            table.malformed_.push_back(number);
            continue;
        }
        row->line = number;
        table.rows_.push_back(*row);
    }
    return table;
}

const ChipTableRow* ChipTable::FindRow(ChipKey key, std::uint16_t first, std::uint16_t second) const {
    for (const auto& row : rows_) {
        if (row.key == key && row.first == first && row.second == second) {
            return &row;
        }
    }
    return nullptr;
}

const UsbSerialChip* ChipTable::Find(std::uint16_t vid, std::uint16_t pid) const {
    const ChipTableRow* row = FindRow(ChipKey::Product, vid, pid);
    if (row == nullptr) {
        row = FindRow(ChipKey::Vendor, vid, 0);
    }
    return row == nullptr ? nullptr : &row->chip;
}

const UsbSerialChip* ChipTable::FindByInterfaceClass(std::uint8_t interfaceClass, std::uint8_t subclass) const {
    const ChipTableRow* row = FindRow(ChipKey::InterfaceClass, interfaceClass, subclass);
    return row == nullptr ? nullptr : &row->chip;
}

const ChipTable& BuiltInChipTable() {
    static const ChipTable table = ChipTable::Parse(UsbSerialChipsText());
    return table;
}

const UsbSerialChip* FindChip(std::uint16_t vid, std::uint16_t pid) {
    return BuiltInChipTable().Find(vid, pid);
}

const UsbSerialChip* FindChipByInterfaceClass(std::uint8_t interfaceClass, std::uint8_t subclass) {
    return BuiltInChipTable().FindByInterfaceClass(interfaceClass, subclass);
}

}  // namespace velmaro
