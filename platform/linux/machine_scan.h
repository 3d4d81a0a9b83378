#pragma once
// The entry of a scan: which source reads the machine, and the COM numbers given afterwards.
#include "linux/sysfs_scan.h"

namespace velmaro::linux_backend {

// "/sys", "/dev", $WINEPREFIX (else ~/.wine when that exists) and udev's hardware database.
ScanRoots DefaultScanRoots();

// The source Auto stands for: udev only sees the real /sys, and without its database it adds
// nothing to the plain files.
DeviceSource ChooseSource(const ScanRoots& roots);

// Reads the machine from the source roots choose, then gives the ports their COM numbers.
MachineScan ScanMachine(const ScanRoots& roots);

// The stable links udev makes below dev/serial/by-id and by-path, added to the ports whose node
// they lead to, named below "/dev" as programs open them.
void AddStableLinks(MachineScan& scan, const std::filesystem::path& dev);

}  // namespace velmaro::linux_backend
