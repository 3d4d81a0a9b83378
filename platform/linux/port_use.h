#pragma once
// Who may and who does use the ports and USB devices of a scan, found without opening any of
// them (opening a serial port can reset a board): the user's rights on each node, the processes
// that hold a node open (/proc/<pid>/fd), and whether brltty's udev rules claim a USB device.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "linux/sysfs_scan.h"

namespace velmaro::linux_backend {

// The vendor:product pairs that brltty's udev rules name, from the files of dirs whose name
// contains "brltty": the forms ATTRS{idVendor}=="1a86", ATTRS{idProduct}=="7523" and
// ENV{PRODUCT}=="1a86/7523/*".
std::vector<UsbIds> BrlttyRuleIds(const std::vector<std::filesystem::path>& dirs);
// The IDs one rule line names, if it names both.
std::optional<UsbIds> BrlttyRuleLineIds(std::string_view line);

// Fills the ports' rights and holders and the USB devices' holders and brltty match.
void FindPortUse(MachineScan& scan, const ScanRoots& roots);

}  // namespace velmaro::linux_backend
