#pragma once
// RefreshPortList rebuilds the port list, the last-refresh line and the problem line from the
// live machine in one run.
#include <cstdint>
#include <string>
#include <vector>

#include "devices/refresh_services.h"
#include "port_list/port_list.h"
#include "ports/port_device_table.h"
#include "services/controls.h"

namespace velmaro {

inline constexpr const char* kDoubleAssignedSuffix = " - COM Port doppelt belegt";

// The controls one refresh writes and reads.
struct RefreshControls {
    IPortList& lvwPorts;
    IBox& lvwPortsBox;
    ILabel& lblLastRefresh;
    ILabel& lblProblem;
    IBox& hdlMain;
    ILine& linBut;
};

void RefreshPortList(const Services& services,
                     PortDeviceTable& table,
                     RefreshControls& controls,
                     bool& clipboardRequested);

// The list ends above the problem line when it is visible, else above linBut, by the headline's gap.
void ApplyListHeightRule(RefreshControls& controls);

// "Aktualisiert am dd.mm.yyyy um hh:nn:ss Uhr"
std::string LastRefreshCaption(const LocalTime& now);

// Inserts value into an ascending list after all equal entries; returns its 1-based position.
std::int32_t InsertSorted(std::vector<std::int16_t>& list, std::int16_t value);

// Collects the descriptions (and, when asked, manufacturers) of every table row with this number,
// "-" for an empty one; returns how many rows matched.
std::int16_t LookupPortDevices(const PortDeviceTable& table,
                               std::int16_t number,
                               std::vector<std::string>& descriptions,
                               std::vector<std::string>* manufacturers = nullptr);

}  // namespace velmaro
