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

bool IsWatchedClass(const std::string& upperClass) {
    return upperClass == "PORTS" || upperClass == "MODEM" || upperClass == "UNKNOWN" || upperClass == "USB" ||
           upperClass.empty();
}

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
    const std::string upperDescription = UpperCase(property(SPDRP_DEVICEDESC));
    for (const ProblemCodeRow& problem : ProblemCodeTable()) {
        if (!problem.upperDeviceDescription.empty() && upperDescription == problem.upperDeviceDescription) {
            rows.push_back(ProblemRow(problem.code));
            return;  // the port table is not asked about these cables
        }
    }
    const std::string hardwareId = property(SPDRP_HARDWAREID);
    for (const ProblemCodeRow& problem : ProblemCodeTable()) {
        if (!problem.usb || !ContainsNoCase(hardwareId, problem.usb->vidPid)) {
            continue;
        }
        const std::string_view portNeedle =
            problem.usb->ownHardwareIdOnly ? std::string_view(hardwareId) : problem.usb->vidPid;
        if (!ArrayContainsText(portHardwareIds, portNeedle)) {
            rows.push_back(ProblemRow(problem.code));
        }
    }
}

}  // namespace

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
