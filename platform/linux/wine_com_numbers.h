#pragma once
// COM numbers as Wine gives them, so that Windows software run under Wine shows the same number.
#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "linux/sysfs_scan.h"

namespace velmaro::linux_backend {

// A user mapping: dosdevices/com5 -> /dev/ttyUSB0.
struct ComLink {
    int number = 0;
    std::string target;
    friend bool operator==(const ComLink&, const ComLink&) = default;
};

// The serial-device runs Wine probes, in its order.
inline constexpr const char* kWineRunPrefixes[] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};
inline constexpr int kWineMaxPorts = 256;

// COM number per device node. links: the user mappings (always kept); existingNodes: the device
// nodes that exist; otherNodes: further ports (rfcomm, ttyAMA, ...), numbered after the runs.
std::map<std::string, int> WineComNumbers(const std::vector<ComLink>& links,
                                          const std::set<std::string>& existingNodes,
                                          const std::vector<std::string>& otherNodes);

// The user mappings of a Wine prefix's system.reg: the REG_SZ values "COMn" of its
// Software\\Wine\\Ports key, which Wine turns into dosdevices links at its next start. Empty values
// and other names are left out; the result is sorted by number.
std::vector<ComLink> WinePortsFromRegistry(std::istream& systemReg);

// The COM number of a dosdevices entry name ("com5" -> 5), or 0 when it is no COM name.
int ComNumberOfLinkName(const std::string& name);

// COM numbers by Wine's rule from the Wine prefix's links and the nodes below roots.dev.
void NumberPorts(MachineScan& scan, const ScanRoots& roots);

// Sorts names with their trailing numbers compared as numbers: rfcomm2 before rfcomm10.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace velmaro::linux_backend
