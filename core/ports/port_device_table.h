#pragma once
// PortDeviceTable ties COM port numbers to the present devices that claim them; CollectPortDevices
// rebuilds it once per refresh.
#include <cstdint>
#include <string>
#include <vector>

#include "devices/refresh_services.h"

namespace velmaro {

// Four parallel columns, one row per COM-port device, never fewer than one row.
struct PortDeviceTable {
    std::vector<std::int16_t> PortNumbers{0};
    std::vector<std::string> PortDescs{std::string()};
    std::vector<std::string> PortMfgs{std::string()};
    std::vector<std::string> PortHardwareIds{std::string()};

    std::size_t Rows() const { return PortNumbers.size(); }
    void Reset();  // one row: number 0 and three empty texts
};

// Walks the present devices of the COM-port interface set and rebuilds the table. Reads device
// properties through GetDeviceProperty and a modem's "AttachedTo" value through QueryRegValue.
void CollectPortDevices(const Services& services, PortDeviceTable& table);

}  // namespace velmaro
