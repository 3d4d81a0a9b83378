#include "devices/driver_problems.h"

#include "common/problem_codes.h"
#include "common/text.h"
#include "common/win_codes.h"
#include "devices/device_dump.h"
#include "devices/device_property.h"
#include "devices/device_walk.h"

namespace velmaro {
namespace {

// DIGCF_PRESENT | DIGCF_ALLCLASSES
constexpr std::uint32_t kAllDevicesFlags = kDigcfPresent | kDigcfAllClasses;

void CheckDevice(const Services& services,
                 const std::vector<std::string>& portHardwareIds,
                 std::vector<PortRow>& rows,
                 DevInfoSet set,
                 const DevInfoData& device) {
    auto property = [&](std::uint32_t code) {
        return GetDeviceProperty(services.devices, services.messages, set, device, code);
    };
    if (!IsWatchedClass(UpperCase(property(SPDRP_CLASS)))) {
        return;
    }
    if (const auto code = DescriptionRuleCode(UpperCase(property(SPDRP_DEVICEDESC)))) {
        rows.push_back(ProblemRow(*code));
        return;  // the port table is not asked about these cables
    }
    for (const ProblemCode code : UsbRuleCodes(property(SPDRP_HARDWAREID), portHardwareIds)) {
        rows.push_back(ProblemRow(code));
    }
}

}  // namespace

bool IsWatchedClass(std::string_view upperClass) {
    return upperClass == "PORTS" || upperClass == "MODEM" || upperClass == "UNKNOWN" || upperClass == "USB" ||
           upperClass.empty();
}

std::optional<ProblemCode> DescriptionRuleCode(std::string_view upperDescription) {
    for (const ProblemCodeRow& problem : ProblemCodeTable()) {
        if (!problem.upperDeviceDescription.empty() && upperDescription == problem.upperDeviceDescription) {
            return problem.code;
        }
    }
    return std::nullopt;
}

std::vector<ProblemCode> UsbRuleCodes(const std::string& hardwareId, const std::vector<std::string>& portHardwareIds) {
    std::vector<ProblemCode> codes;
    for (const ProblemCodeRow& problem : ProblemCodeTable()) {
        if (!problem.usb || !ContainsNoCase(hardwareId, problem.usb->vidPid)) {
            continue;
        }
        const std::string_view portNeedle =
            problem.usb->ownHardwareIdOnly ? std::string_view(hardwareId) : problem.usb->vidPid;
        if (!ArrayContainsText(portHardwareIds, portNeedle)) {
            codes.push_back(problem.code);
        }
    }
    return codes;
}

PortRow ProblemRow(ProblemCode code) {
    return {RowKind::DriverProblem, "Warnung", std::string(RowOf(code).rowText), code};
}

void DetectDriverProblems(const Services& services,
                          const std::vector<std::string>& portHardwareIds,
                          std::vector<PortRow>& rows,
                          const bool& clipboardRequested) {
    try {
        const OwnedDeviceSet set = OpenDeviceSet(services.devices, kGuidNull, kAllDevicesFlags);
        if (set.Get() == kInvalidHandleValue) {
            return;  // the enumeration would fail at once, and not with ERROR_NO_MORE_ITEMS
        }
        DevInfoData device;
        device.cbSize = kDevInfoDataSize;
        std::string dump;
        for (std::int16_t index = 0;
             services.devices.EnumDeviceInfo(set.Get(), static_cast<std::uint32_t>(index), device);
             index = NextDeviceIndex(index)) {
            if (clipboardRequested) {
                dump += "\r\n\r\n";
                dump += BuildDeviceDump(services.devices, services.messages, set.Get(), device);
            }
            CheckDevice(services, portHardwareIds, rows, set.Get(), device);
        }
        if (services.devices.GetLastError() != static_cast<std::uint32_t>(kErrorNoMoreItems)) {
            return;  // an enumeration that broke off copies nothing
        }
        if (clipboardRequested) {
            services.clipboard.Clear();
            services.clipboard.SetText(dump);
            services.messages.Show(kMsgDumpCopied, MessageStyle::PromptOnly);
        }
    } catch (...) {
        // A failure ends the scan: rows already appended stay, nothing goes to the clipboard.
    }
}

bool ArrayContainsText(const std::vector<std::string>& array, std::string_view text) {
    for (const std::string& element : array) {
        if (ContainsNoCase(element, text)) {
            return true;
        }
    }
    return false;
}

}  // namespace velmaro
