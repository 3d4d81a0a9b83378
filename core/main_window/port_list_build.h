#pragma once
// BuildPortList reads the rows of the port list from the machine: the ports of the serial-port map
// with their devices, then the rows of the driver scan.
#include <cstdint>
#include <string>
#include <vector>

#include "port_list/port_list.h"
#include "ports/port_device_table.h"
#include "devices/refresh_services.h"

namespace velmaro {

inline constexpr const char* kDoubleAssignedSuffix = " - COM Port doppelt belegt";

struct PortListContent {
    std::vector<PortRow> rows;
    bool problemLineVisible = false;
};

// The port rows in ascending COM number, then the driver scan's rows. A dump request is served
// by exactly this run, also one that fails: clipboardRequested is false afterwards.
PortListContent BuildPortList(const Services& services, PortDeviceTable& table, bool& clipboardRequested);

// Inserts value into an ascending list after all equal entries; returns its 1-based position.
std::int32_t InsertSorted(std::vector<std::int16_t>& list, std::int16_t value);

// Collects the descriptions (and, when asked, manufacturers) of every table row with this number,
// "-" for an empty one; returns how many rows matched.
std::int16_t LookupPortDevices(const PortDeviceTable& table,
                               std::int16_t number,
                               std::vector<std::string>& descriptions,
                               std::vector<std::string>* manufacturers = nullptr);

}  // namespace velmaro
