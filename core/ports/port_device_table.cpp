#include "ports/port_device_table.h"

#include <optional>

#include "common/text.h"
#include "common/win_codes.h"
#include "devices/device_property.h"
#include "devices/device_walk.h"

namespace velmaro {
namespace {

// DIGCF_PRESENT | DIGCF_ALLCLASSES | DIGCF_DEVICEINTERFACE
constexpr std::uint32_t kComportSetFlags = kDigcfPresent | kDigcfAllClasses | kDigcfDeviceInterface;
constexpr const char* kModemClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

class PortDeviceWalk {
  public:
    PortDeviceWalk(const Services& services, PortDeviceTable& table, DevInfoSet set)
        : services_(services), table_(table), set_(set) {}

    void Examine(const DevInfoData& device) {
        const std::string deviceClass = UpperCase(Property(device, SPDRP_CLASS));
        if (deviceClass == "PORTS" || deviceClass == "USB" || deviceClass.empty()) {
            ExaminePort(device);
        } else if (deviceClass == "MODEM") {
            ExamineModem(device);
        }
    }

  private:
    std::string Property(const DevInfoData& device, std::uint32_t property) {
        return GetDeviceProperty(services_.devices, services_.messages, set_, device, property);
    }

    void ExaminePort(const DevInfoData& device) {
        std::string description = Property(device, SPDRP_FRIENDLYNAME);
        if (!MatchesPortTagPattern(description)) {
            return;
        }
        // The last tag is the device's own; an earlier one may be part of its product name.
        std::string tag = description.substr(description.rfind("(COM"));
        std::size_t close = tag.find(')');
        if (close == std::string::npos) {
            throw DeviceWalkFailure("no ')' after the last '(COM' in \"" + description + "\"");
        }
        tag.erase(close + 1);
        description = TrimBlanks(RemoveAll(description, tag));
        std::string numberText = tag.substr(4, tag.size() - 5);
        if (!ParseNumber(numberText)) {
            return;
        }
        PrepareRow();
        ReplaceFirstNoCase(description, "Kommunikationsanschluss", "Standard COM Port");
        ReplaceFirstNoCase(description, "Siemens USB Data Cable", "Siemens USB Kabel DCA-510");
        Record(device, numberText, description);
    }

    void ExamineModem(const DevInfoData& device) {
        const std::string keyPath = kModemClassKey + Property(device, SPDRP_DRIVER);
        std::optional<RegValue> attachedTo;
        if (QueryRegValue(services_.registry, kHkeyLocalMachine, keyPath, "AttachedTo", attachedTo) != kErrorSuccess ||
            !attachedTo || !std::holds_alternative<std::string>(*attachedTo)) {
            return;
        }
        const std::string portName = CutAtNull(std::get<std::string>(*attachedTo));
        if (!MatchesComNamePattern(portName)) {
            return;
        }
        const std::string numberText = portName.substr(3);
        std::string description = Property(device, SPDRP_FRIENDLYNAME);
        PrepareRow();
        ReplaceFirstNoCase(description, "Siemens Mobile Phone USB Modem", "Siemens USB Kabel DCA-140/540, DSC-100/600");
        Record(device, numberText, description);
    }

    // Row 0 is reused while it still carries port number 0; otherwise the table grows by one row.
    void PrepareRow() {
        if (table_.PortNumbers[0] == 0) {
            return;
        }
        table_.PortNumbers.push_back(0);
        table_.PortDescs.emplace_back();
        table_.PortMfgs.emplace_back();
        table_.PortHardwareIds.emplace_back();
    }

    void Record(const DevInfoData& device, const std::string& numberText, const std::string& description) {
        const std::size_t row = table_.Rows() - 1;
        table_.PortMfgs[row] = Property(device, SPDRP_MFG);
        table_.PortNumbers[row] = ToPortNumber(numberText);
        table_.PortDescs[row] = description;
        table_.PortHardwareIds[row] = Property(device, SPDRP_HARDWAREID);  // the first of the list
    }

    static std::int16_t ToPortNumber(const std::string& numberText) {
        std::optional<double> number = ParseNumber(numberText);
        std::optional<std::int16_t> port = number ? RoundToInt16(*number) : std::nullopt;
        if (!port) {
            throw DeviceWalkFailure("port number " + numberText + " does not fit 16 bits");
        }
        return *port;
    }

    const Services& services_;
    PortDeviceTable& table_;
    DevInfoSet set_;
};

}  // namespace

void PortDeviceTable::Reset() {
    PortNumbers.assign(1, 0);
    PortDescs.assign(1, std::string());
    PortMfgs.assign(1, std::string());
    PortHardwareIds.assign(1, std::string());
}

void CollectPortDevices(const Services& services, PortDeviceTable& table) {
    table.Reset();
    try {
        const OwnedDeviceSet set = OpenDeviceSet(services.devices, kGuidDevInterfaceComport, kComportSetFlags);
        if (set.Get() == kInvalidHandleValue) {
            return;  // nothing to walk; the enumeration would fail at once
        }
        PortDeviceWalk walk(services, table, set.Get());
        DevInfoData device;
        device.cbSize = kDevInfoDataSize;
        // Any failed enumeration ends the pass; ERROR_NO_MORE_ITEMS is merely the usual one.
        for (std::int16_t index = 0;
             services.devices.EnumDeviceInfo(set.Get(), static_cast<std::uint32_t>(index), device);
             index = NextDeviceIndex(index)) {
            walk.Examine(device);
        }
    } catch (...) {
        // A failure ends the pass; the rows recorded so far stay for the readers.
    }
}

}  // namespace velmaro
