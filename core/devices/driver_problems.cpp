#include "devices/driver_problems.h"

#include "common/text.h"
#include "common/win_codes.h"
#include "devices/device_dump.h"
#include "devices/device_property.h"
#include "devices/device_walk.h"

namespace velmaro {
namespace {

// DIGCF_PRESENT | DIGCF_ALLCLASSES
constexpr std::uint32_t kAllDevicesFlags = kDigcfPresent | kDigcfAllClasses;

constexpr const char* kSiemensConnectivity = "SIEMENS USB CONNECTIVITY";

constexpr const char* kTextX40 = "Siemens USB Datenkabel mit Treiberproblem";
constexpr const char* kTextX510 = "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem";
constexpr const char* kTextUsb2vcom = "USB Wandler / Datenkabel Typ usb2vcom mit Treiberproblem";
constexpr const char* kTextFtdi2xx = "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem";
constexpr const char* kTextOti = "USB Wandler / Datenkabel Typ OTI mit Treiberproblem";
constexpr const char* kTextCp210x = "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem";

// A cable chip known by its vendor and product ID. For the first two a working port is only
// recognised by this very device's hardware ID; for the others any port of the same chip will do.
struct CableRule {
    const char* vidPid;
    bool ownHardwareIdOnly;
    const char* text;
    const char* code;
};

constexpr CableRule kCableRules[] = {
    {"Vid_067b&Pid_2303", true, kTextX510, kProblemX510},
    {"Vid_6547&Pid_0232", true, kTextUsb2vcom, kProblemUsb2vcom},
    {"Vid_0403&Pid_6001", false, kTextFtdi2xx, kProblemFtdi2xx},
    {"Vid_0ea0&Pid_6858", false, kTextOti, kProblemOti},
    {"Vid_10c4&Pid_ea60", false, kTextCp210x, kProblemCp210x},
};

bool IsWatchedClass(const std::string& upperClass) {
    return upperClass == "PORTS" || upperClass == "MODEM" || upperClass == "UNKNOWN" || upperClass == "USB" ||
           upperClass.empty();
}

void CheckDevice(const Services& services,
                 const PortDeviceTable& table,
                 IPortList& lvwPorts,
                 DevInfoSet set,
                 const DevInfoData& device) {
    auto property = [&](std::uint32_t code) {
        return GetDeviceProperty(services.devices, services.messages, set, device, code);
    };
    if (!IsWatchedClass(UpperCase(property(SPDRP_CLASS)))) {
        return;
    }
    // The DCA-140/540 family shows up under this description while its driver is missing.
    if (UpperCase(property(SPDRP_DEVICEDESC)) == kSiemensConnectivity) {
        AppendProblemRow(lvwPorts, kTextX40, kProblemX40);
        return;
    }
    const std::string hardwareId = property(SPDRP_HARDWAREID);
    for (const CableRule& rule : kCableRules) {
        if (!ContainsNoCase(hardwareId, rule.vidPid)) {
            continue;
        }
        const std::string_view portNeedle = rule.ownHardwareIdOnly ? std::string_view(hardwareId) : rule.vidPid;
        if (!ArrayContainsText(table.PortHardwareIds, portNeedle)) {
            AppendProblemRow(lvwPorts, rule.text, rule.code);
        }
    }
}

}  // namespace

void AppendProblemRow(IPortList& lvwPorts, const std::string& description, const std::string& code) {
    const int row = lvwPorts.AddRow("Warnung", kIconWarning);
    lvwPorts.SetSubItem(row, description);
    lvwPorts.SetTag(row, code);
    lvwPorts.SetBold(row, true);
    lvwPorts.SetSubItemBold(row, true);
    lvwPorts.SetForeColor(row, kColorProblem);
    lvwPorts.SetSubItemForeColor(row, kColorProblem);
}

void DetectDriverProblems(const Services& services,
                          const PortDeviceTable& table,
                          IPortList& lvwPorts,
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
            CheckDevice(services, table, lvwPorts, set.Get(), device);
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
