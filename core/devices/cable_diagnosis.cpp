#include "devices/cable_diagnosis.h"

#include <cstdint>
#include <string_view>

#include "chips/usb_serial_chips.h"
#include "common/problem_codes.h"
#include "common/text.h"
#include "devices/device_property.h"
#include "devices/device_walk.h"
#include "devices/driver_problems.h"

namespace velmaro {
namespace {

constexpr std::uint32_t kAllDevicesFlags = kDigcfPresent | kDigcfAllClasses;

// The row text's name of the device, which a device outside the chip table replaces.
constexpr std::string_view kChipSubject = "{family} ({vid}:{pid})";

struct UsbId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
};

// "USB\VID_1A86&PID_7523&REV_0254" -> 1a86:7523.
std::optional<UsbId> UsbIdOf(std::string_view hardwareId) {
    const std::string upper = UpperCase(hardwareId);
    const std::size_t vid = upper.find("VID_");
    const std::size_t pid = upper.find("PID_");
    if (vid == std::string::npos || pid == std::string::npos || vid + 8 > upper.size() || pid + 8 > upper.size()) {
        return std::nullopt;
    }
    const auto vendor = ParseUsbId(std::string_view(upper).substr(vid + 4, 4));
    const auto product = ParseUsbId(std::string_view(upper).substr(pid + 4, 4));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbId{*vendor, *product};
}

std::string Hex4(std::uint16_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value = static_cast<std::uint16_t>(value >> 4);
    }
    return text;
}

bool IsExactRow(const UsbId& id) {
    for (const ChipTableRow& row : BuiltInChipTable().rows()) {
        if (row.key == ChipKey::Product && row.first == id.vendor && row.second == id.product) {
            return true;
        }
    }
    return false;
}

// The chip behind the device; a board maker's vendor-wide row only for a CDC-ACM device.
const UsbSerialChip* ChipOf(const std::optional<UsbId>& id, std::string_view compatibleId) {
    const bool cdcAcm = ContainsNoCase(compatibleId, "Class_02&SubClass_02");
    if (id) {
        if (const UsbSerialChip* chip = FindChip(id->vendor, id->product);
            chip != nullptr && (cdcAcm || IsExactRow(*id))) {
            return chip;
        }
    }
    return cdcAcm ? FindChipByInterfaceClass(0x02, 0x02) : nullptr;
}

PortRow Row(ProblemCode code, FillIns fillIns, std::string_view subject) {
    std::string text(RowOf(code).rowText);
    if (const std::size_t at = text.find(kChipSubject); at != std::string::npos) {
        text.replace(at, kChipSubject.size(), subject);
    }
    PortRow row{RowKind::DriverProblem, "Warnung", FillInText(text, fillIns), code};
    row.fillIns = std::move(fillIns);
    return row;
}

// A port's own findings: a program holding it, or the user's missing rights.
std::optional<PortRow> PortRowOf(const DeviceFacts& facts, const FillIns& usbFillIns) {
    if (facts.deviceNode.empty()) {
        return std::nullopt;
    }
    FillIns fillIns = usbFillIns;
    fillIns.push_back({"device", facts.deviceNode});
    for (const DeviceHolder& holder : facts.holders) {
        if (holder.program == "ModemManager") {
            fillIns.push_back({"process_id", std::to_string(holder.processId)});
            return Row(ProblemCode::ModemManager, std::move(fillIns), "");
        }
    }
    if (!facts.holders.empty()) {
        const DeviceHolder& holder = facts.holders.front();
        fillIns.push_back({"program", holder.program});
        fillIns.push_back({"process_id", std::to_string(holder.processId)});
        return Row(ProblemCode::PortBusy, std::move(fillIns), "");
    }
    // A port owned by root alone has no group to join.
    if (facts.accessDenied && !facts.group.empty() && facts.group != "root") {
        fillIns.push_back({"group", facts.group});
        return Row(ProblemCode::NoAccess, std::move(fillIns), "");
    }
    return std::nullopt;
}

bool HeldByBrltty(const DeviceFacts& facts) {
    if (facts.boundDriver != "usbfs") {
        return false;
    }
    for (const DeviceHolder& holder : facts.holders) {
        if (holder.program == "brltty") {
            return true;
        }
    }
    return facts.brlttyRuleMatches;
}

// Whether a device deserves the diagnosis's look at its properties.
bool HasFindings(const std::optional<DevNodeStatus>& status, const DeviceFacts& facts) {
    return (status && status->problem != 0) || !facts.holders.empty() || facts.accessDenied ||
           facts.boundDriver == "usbfs";
}

}  // namespace

std::optional<PortRow> DiagnosisRow(const DiagnosedDevice& device) {
    if (device.reportedByCableRules) {
        return std::nullopt;
    }
    const std::optional<UsbId> id = UsbIdOf(device.hardwareId);
    const UsbSerialChip* chip = ChipOf(id, device.compatibleId);
    FillIns usbFillIns;
    if (id) {
        usbFillIns.push_back({"vid", Hex4(id->vendor)});
        usbFillIns.push_back({"pid", Hex4(id->product)});
    }
    if (auto row = PortRowOf(device.facts, usbFillIns)) {
        return row;
    }
    const std::string upperClass = UpperCase(device.deviceClass);
    if (chip == nullptr && upperClass != "PORTS" && upperClass != "MODEM") {
        return std::nullopt;  // not a serial device as far as anything here knows
    }
    FillIns fillIns = usbFillIns;
    std::string subject;
    if (chip != nullptr) {
        fillIns.push_back({"family", std::string(chip->family)});
        fillIns.push_back({"module", std::string(chip->linuxModule)});
        fillIns.push_back({"driver", std::string(chip->windowsDriver)});
        fillIns.push_back({std::string(kFillInDriverPage), std::string(chip->driverPage)});
        subject = FillInText(id ? kChipSubject : "{family}", fillIns);
    } else {
        subject = device.description.empty() ? "USB-Gerät" : device.description;
        if (id && device.description.empty()) {
            subject += " " + Hex4(id->vendor) + ":" + Hex4(id->product);
        }
        fillIns.push_back({"family", subject});
        fillIns.push_back({"description", subject});
    }
    if (HeldByBrltty(device.facts)) {
        return Row(ProblemCode::Brltty, std::move(fillIns), subject);
    }
    if (!device.status) {
        return std::nullopt;
    }
    fillIns.push_back({"code", std::to_string(device.status->problem)});
    switch (device.status->problem) {
        case kProblemNotConfigured:
        case kProblemReinstall:
        case kProblemFailedInstall:
            return Row(ProblemCode::NoDriver, std::move(fillIns), subject);
        case kProblemFailedStart:
        case kProblemFailedPostStart:
            return Row(ProblemCode::DriverFailed, std::move(fillIns), subject);
        case kProblemDisabled:
            return Row(ProblemCode::Disabled, std::move(fillIns), subject);
        default:
            return std::nullopt;
    }
}

void DiagnoseCables(const Services& services,
                    const std::vector<std::string>& portHardwareIds,
                    std::vector<PortRow>& rows) {
    try {
        const OwnedDeviceSet set = OpenDeviceSet(services.devices, kGuidNull, kAllDevicesFlags);
        if (set.Get() == kInvalidHandleValue) {
            return;
        }
        DevInfoData record;
        record.cbSize = kDevInfoDataSize;
        for (std::int16_t index = 0;
             services.devices.EnumDeviceInfo(set.Get(), static_cast<std::uint32_t>(index), record);
             index = NextDeviceIndex(index)) {
            DiagnosedDevice device;
            device.status = services.devices.GetDevNodeStatus(set.Get(), record);
            device.facts = services.devices.GetDeviceFacts(set.Get(), record);
            if (!HasFindings(device.status, device.facts)) {
                continue;  // a working device: its properties are not read twice
            }
            auto property = [&](std::uint32_t code) {
                return GetDeviceProperty(services.devices, services.messages, set.Get(), record, code);
            };
            device.deviceClass = property(SPDRP_CLASS);
            device.description = property(SPDRP_DEVICEDESC);
            device.hardwareId = property(SPDRP_HARDWAREID);
            device.compatibleId = property(SPDRP_COMPATIBLEIDS);
            device.reportedByCableRules = IsWatchedClass(UpperCase(device.deviceClass)) &&
                                          (DescriptionRuleCode(UpperCase(device.description)) ||
                                           !UsbRuleCodes(device.hardwareId, portHardwareIds).empty());
            if (auto row = DiagnosisRow(device)) {
                rows.push_back(std::move(*row));
            }
        }
    } catch (...) {
        // A failure ends the pass: rows already appended stay.
    }
}

}  // namespace velmaro
