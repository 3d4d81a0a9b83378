#pragma once
// The diagnosis of today's cables: after the cable rules, a second look at every device through
// facts those rules never read (its status, the driver bound to it, the chip table, who may and
// who does use its port). A device the cable rules already report gets no second row.
#include <optional>
#include <string>
#include <vector>

#include "devices/device_facts.h"
#include "devices/refresh_services.h"
#include "port_list/port_list.h"

namespace velmaro {

// What the diagnosis knows of one device.
struct DiagnosedDevice {
    std::string description;              // SPDRP_DEVICEDESC
    std::string deviceClass;              // SPDRP_CLASS
    std::string hardwareId;               // SPDRP_HARDWAREID, its first entry
    std::string compatibleId;             // SPDRP_COMPATIBLEIDS, its first entry
    std::optional<DevNodeStatus> status;  // none: unknown
    DeviceFacts facts;
    bool reportedByCableRules = false;
};

// The row the diagnosis gives the device, or nothing.
std::optional<PortRow> DiagnosisRow(const DiagnosedDevice& device);

// Appends a row for each device of the machine that DiagnosisRow reports. portHardwareIds: the
// hardware IDs of the working ports, as the cable rules read them. A failing walk ends the pass.
void DiagnoseCables(const Services& services,
                    const std::vector<std::string>& portHardwareIds,
                    std::vector<PortRow>& rows);

}  // namespace velmaro
