#include "identity/port_identity.h"

#include <algorithm>
#include <cctype>

namespace velmaro::identity {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return Upper(text.substr(0, prefix.size())) == prefix;
}

// The hex digits right after key ("VID_") up to a separator, when they are 1 to 4 of them.
std::optional<std::uint16_t> HexAfter(std::string_view upperId, std::string_view key) {
    for (std::size_t at = upperId.find(key); at != std::string_view::npos; at = upperId.find(key, at + 1)) {
        // The key must start a part: at the beginning or after a separator.
        if (at != 0 && upperId[at - 1] != '&' && upperId[at - 1] != '+' && upperId[at - 1] != '\\') {
            continue;
        }
        std::size_t end = at + key.size();
        unsigned value = 0;
        std::size_t digits = 0;
        while (end < upperId.size() && std::isxdigit(static_cast<unsigned char>(upperId[end])) != 0) {
            const char c = upperId[end];
            value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'A' + 10);
            ++digits;
            ++end;
        }
        const bool separated =
            end == upperId.size() || upperId[end] == '&' || upperId[end] == '+' || upperId[end] == '\\';
        if (digits >= 1 && digits <= 4 && separated) {
            return static_cast<std::uint16_t>(value);
        }
    }
    return std::nullopt;
}

std::string WithoutComTag(std::string_view name) {
    const std::size_t open = name.rfind(" (COM");
    if (open != std::string_view::npos && ComNumberOfName(name.substr(open))) {
        return std::string(name.substr(0, open));
    }
    return std::string(name);
}

std::string_view LastPart(std::string_view instance) {
    const std::size_t slash = instance.rfind('\\');
    return slash == std::string_view::npos ? std::string_view() : instance.substr(slash + 1);
}

}  // namespace

std::string_view KindName(PortKind kind) {
    switch (kind) {
        case PortKind::Onboard:
            return "onboard";
        case PortKind::Usb:
            return "usb";
        case PortKind::Bluetooth:
            return "bluetooth";
        case PortKind::Irda:
            return "irda";
        case PortKind::Modem:
            return "modem";
        case PortKind::Pci:
            return "pci";
        case PortKind::Virtual:
            break;
    }
    return "virtual";
}

std::optional<int> ComNumberOfName(std::string_view friendlyName) {
    const std::size_t open = friendlyName.rfind("(COM");
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    int number = 0;
    std::size_t at = open + 4;
    std::size_t digits = 0;
    for (; at < friendlyName.size() && std::isdigit(static_cast<unsigned char>(friendlyName[at])) != 0; ++at) {
        number = number * 10 + (friendlyName[at] - '0');
        if (++digits > 3) {
            return std::nullopt;
        }
    }
    if (digits == 0 || at >= friendlyName.size() || friendlyName[at] != ')') {
        return std::nullopt;
    }
    return number;
}

UsbNumbers UsbNumbersOf(const std::vector<std::string>& hardwareIds) {
    UsbNumbers numbers;
    for (const std::string& id : hardwareIds) {
        const std::string upper = Upper(id);
        const auto vid = HexAfter(upper, "VID_");
        if (!numbers.vid && vid) {
            numbers.vid = vid;
            numbers.pid = HexAfter(upper, "PID_");
        }
        if (!numbers.revision && vid && vid == numbers.vid) {
            numbers.revision = HexAfter(upper, "REV_");
        }
        if (!numbers.interfaceNumber) {
            // MI_ is a two-digit hexadecimal number.
            if (const auto mi = HexAfter(upper, "MI_")) {
                numbers.interfaceNumber = *mi;
            }
        }
    }
    return numbers;
}

std::string SerialOfInstance(std::string_view instance) {
    if (StartsWith(instance, "FTDIBUS\\")) {
        // FTDIBUS\VID_0403+PID_6001+A50285BIA\0000: the serial with the port letter of the chip.
        const std::size_t first = instance.find('\\');
        const std::size_t second = instance.find('\\', first + 1);
        const std::string_view middle = instance.substr(first + 1, second - first - 1);
        const std::size_t plus = middle.rfind('+');
        // Only a third part after VID and PID is the serial.
        if (plus == std::string_view::npos || middle.find('+') == plus || middle.size() - plus < 3) {
            return {};
        }
        return std::string(middle.substr(plus + 1, middle.size() - plus - 2));
    }
    const std::string_view last = LastPart(instance);
    if (last.empty() || last.find('&') != std::string_view::npos) {
        return {};
    }
    return std::string(last);
}

PortKind KindOf(const DeviceFacts& facts) {
    if (Upper(facts.deviceClass) == "MODEM") {
        return PortKind::Modem;
    }
    const std::string instance = Upper(facts.instance);
    auto anyId = [&](std::string_view prefix) {
        return std::any_of(facts.hardwareIds.begin(), facts.hardwareIds.end(),
                           [&](const std::string& id) { return StartsWith(id, prefix); });
    };
    if (StartsWith(instance, "BTHENUM\\") || anyId("BTHENUM\\")) {
        return PortKind::Bluetooth;
    }
    if (instance.find("IRCOMM") != std::string::npos || anyId("IRCOMM")) {
        return PortKind::Irda;
    }
    if (StartsWith(instance, "USB\\") || StartsWith(instance, "FTDIBUS\\") || anyId("USB\\") || anyId("FTDIBUS\\")) {
        return PortKind::Usb;
    }
    if (anyId("PCI\\")) {
        return PortKind::Pci;
    }
    if (StartsWith(instance, "ACPI\\") || anyId("ACPI\\") || anyId("*PNP05")) {
        return PortKind::Onboard;
    }
    return PortKind::Virtual;
}

PortIdentity IdentityOf(const DeviceFacts& facts) {
    PortIdentity id;
    id.kind = KindOf(facts);
    id.com = facts.attachedTo.value_or(ComNumberOfName(facts.friendlyName).value_or(0));
    if (!facts.scan.node.empty()) {
        id.path = facts.scan.node;
    } else if (id.com > 0) {
        id.path = "\\\\.\\COM" + std::to_string(id.com);
    }
    id.description = facts.deviceDesc.empty() ? WithoutComTag(facts.friendlyName) : facts.deviceDesc;
    id.manufacturer = facts.scan.usbManufacturer.empty() ? facts.mfg : facts.scan.usbManufacturer;
    id.product = facts.scan.usbProduct.empty() ? id.description : facts.scan.usbProduct;
    const UsbNumbers numbers = UsbNumbersOf(facts.hardwareIds);
    id.vid = numbers.vid;
    id.pid = numbers.pid;
    id.revision = numbers.revision;
    id.interfaceNumber = facts.scan.interfaceNumber ? facts.scan.interfaceNumber : numbers.interfaceNumber;
    if (!facts.scan.serial.empty()) {
        id.serial = facts.scan.serial;
    } else if (numbers.interfaceNumber && !facts.parentInstance.empty()) {
        // A composite device's interface has a generated ID; the serial is its USB device's.
        id.serial = SerialOfInstance(facts.parentInstance);
    } else if (id.kind == PortKind::Usb) {
        id.serial = SerialOfInstance(facts.instance);
    }
    id.location = facts.scan.usbLocation.empty() ? facts.location : facts.scan.usbLocation;
    id.links = facts.scan.links;
    id.driver = facts.scan.driver.empty() ? facts.service : facts.scan.driver;
    id.instance = facts.instance;
    return id;
}

std::optional<int> ComNumberOfRow(const PortRow& row) {
    if (row.kind == RowKind::DriverProblem || !row.text.starts_with("COM ")) {
        return std::nullopt;
    }
    int number = 0;
    const std::string_view digits = std::string_view(row.text).substr(4);
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

std::vector<std::optional<PortIdentity>> IdentitiesOfRows(const std::vector<PortRow>& rows,
                                                          const std::vector<DeviceFacts>& devices) {
    std::vector<PortIdentity> identities;
    identities.reserve(devices.size());
    for (const DeviceFacts& facts : devices) {
        identities.push_back(IdentityOf(facts));
    }
    // Sorted by instance ID, so that which device a row gets never depends on enumeration order.
    std::sort(identities.begin(), identities.end(),
              [](const PortIdentity& a, const PortIdentity& b) { return a.instance < b.instance; });
    std::vector<bool> taken(identities.size(), false);
    std::vector<const PortIdentity*> chosen(rows.size(), nullptr);
    // First the rows that show a device's own description, then the others (a Siemens cable's row
    // names the cable) get the devices left on their number.
    for (const bool byDescription : {true, false}) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::optional<int> com = ComNumberOfRow(rows[r]);
            if (!com || chosen[r] != nullptr) {
                continue;
            }
            for (std::size_t d = 0; d < identities.size() && chosen[r] == nullptr; ++d) {
                const PortIdentity& id = identities[d];
                const bool shows = !id.description.empty() && rows[r].description.starts_with(id.description);
                if (!taken[d] && id.com == *com && (shows || !byDescription)) {
                    taken[d] = true;
                    chosen[r] = &id;
                }
            }
        }
    }
    std::vector<std::optional<PortIdentity>> result;
    result.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::optional<int> com = ComNumberOfRow(rows[r]);
        if (!com) {
            result.emplace_back();
            continue;
        }
        PortIdentity identity;
        if (chosen[r] != nullptr) {
            identity = *chosen[r];
        } else {
            // A number in the serial-port map without a present device of its own: what the row says.
            identity.com = *com;
            identity.path = "\\\\.\\COM" + std::to_string(*com);
            identity.description = rows[r].description;
            identity.product = rows[r].description;
            identity.kind = PortKind::Virtual;
        }
        for (const PortRow& other : rows) {
            if (other.problem && ComNumberOfRow(other) == com &&
                std::find(identity.problems.begin(), identity.problems.end(), *other.problem) ==
                    identity.problems.end()) {
                identity.problems.push_back(*other.problem);
            }
        }
        std::sort(identity.problems.begin(), identity.problems.end());
        result.emplace_back(std::move(identity));
    }
    return result;
}

}  // namespace velmaro::identity
