#pragma once
// clsComEnum: reads the serial-port map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM) into a list of port
// slots sorted by COM number.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "registry/registry_service.h"

namespace velmaro {

struct PortEntry {
    std::string PortDesc;         // the value name: the kernel device name
    std::int16_t PortNumber = 0;  // 4 for COM4; 0 marks a free slot
    bool Listed = false;          // filled by a value of the map, a "COM0" value too
};

class clsComEnum {
  public:
    explicit clsComEnum(IRegistryService& service);

    // Raised once for every registry failure during Refresh, with the same code.
    std::function<void(std::int32_t Errorcode)> Error;

    void Refresh();
    std::int16_t CountPorts() const;
    // Throw std::out_of_range for an index outside 0 .. CountPorts() - 1.
    std::string GetPortName(std::int16_t Index) const;
    std::string GetPortDesc(std::int16_t Index) const;
    // True for the one slot of a map that yielded no port; a slot filled by a "COM0" value is not
    // free in this sense, as the map names that port.
    bool IsUnfilledSlot(std::int16_t Index) const;

  private:
    const PortEntry& At(std::int16_t index) const;
    IRegistryService& service_;
    std::vector<PortEntry> ports_{PortEntry{}};
};

}  // namespace velmaro
