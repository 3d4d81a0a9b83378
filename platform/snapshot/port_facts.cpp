#include "snapshot/port_facts.h"

#include <string>

#include "common/win_codes.h"

namespace velmaro::snapshot {
namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegMultiSz = 7;

// The strings of a REG_SZ or REG_MULTI_SZ value in UTF-8; none for other types.
std::vector<std::string> Strings(const DeviceSnapshot& snapshot, const RawValue* value) {
    std::vector<std::string> strings;
    if (value == nullptr || (value->type != kRegSz && value->type != kRegExpandSz && value->type != kRegMultiSz)) {
        return strings;
    }
    std::string current;
    for (const std::uint8_t byte : value->data) {
        if (byte != 0) {
            current += static_cast<char>(byte);
            continue;
        }
        if (current.empty()) {
            break;  // the list's final NUL
        }
        strings.push_back(FromCodePage(snapshot.Page(), current));
        current.clear();
        if (value->type != kRegMultiSz) {
            break;
        }
    }
    if (!current.empty()) {
        strings.push_back(FromCodePage(snapshot.Page(), current));
    }
    return strings;
}

std::string Text(const DeviceSnapshot& snapshot, const SnapshotDevice& device, std::uint32_t code) {
    const auto it = device.properties.find(code);
    const std::vector<std::string> strings = Strings(snapshot, it == device.properties.end() ? nullptr : &it->second);
    return strings.empty() ? std::string() : strings.front();
}

// A modem names its port in its driver key, as the port list reads it.
std::optional<int> AttachedTo(const DeviceSnapshot& snapshot, const std::string& driverKey) {
    if (driverKey.empty()) {
        return std::nullopt;
    }
    const std::string path = "SYSTEM\\CurrentControlSet\\Control\\Class\\" + driverKey;
    const std::vector<std::string> port = Strings(snapshot, snapshot.FindValue(kHkeyLocalMachine, path, "AttachedTo"));
    if (port.empty()) {
        return std::nullopt;
    }
    return identity::ComNumberOfName("(" + port.front() + ")");
}

}  // namespace

std::vector<identity::DeviceFacts> PortFactsOf(const DeviceSnapshot& snapshot) {
    std::vector<identity::DeviceFacts> result;
    for (const SnapshotDevice& device : snapshot.Devices()) {
        if (!device.present || !device.comportInterface) {
            continue;
        }
        identity::DeviceFacts facts;
        facts.instance = device.instance;
        facts.friendlyName = Text(snapshot, device, SPDRP_FRIENDLYNAME);
        facts.deviceDesc = Text(snapshot, device, SPDRP_DEVICEDESC);
        facts.deviceClass = Text(snapshot, device, SPDRP_CLASS);
        facts.mfg = Text(snapshot, device, SPDRP_MFG);
        facts.location = Text(snapshot, device, SPDRP_LOCATION_INFORMATION);
        facts.service = Text(snapshot, device, SPDRP_SERVICE);
        const auto ids = device.properties.find(SPDRP_HARDWAREID);
        facts.hardwareIds = Strings(snapshot, ids == device.properties.end() ? nullptr : &ids->second);
        if (facts.deviceClass == "Modem") {
            facts.attachedTo = AttachedTo(snapshot, Text(snapshot, device, SPDRP_DRIVER));
        }
        if (const IdentityExtras* extras = snapshot.FindIdentityExtras(device.instance)) {
            facts.parentInstance = extras->parentInstance;
            facts.scan = extras->scan;
        }
        result.push_back(std::move(facts));
    }
    return result;
}

}  // namespace velmaro::snapshot
