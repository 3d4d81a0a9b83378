#pragma once
// The machine's serial ports and USB devices through libudev, with the names of udev's hardware
// database. Without a udev context it reads the plain files instead.
#include "linux/sysfs_scan.h"

namespace velmaro::linux_backend {

// The ports and USB devices as udev sees them below /sys; no COM numbers yet.
MachineScan ScanUdev(const ScanRoots& roots);

// Looks USB devices up in udev's hardware database (hwdb.bin), opened at the first lookup and kept
// by the returned function; without the database every answer is empty.
NameLookup UdevHardwareDatabase();

}  // namespace velmaro::linux_backend
