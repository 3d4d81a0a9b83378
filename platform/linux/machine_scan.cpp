#include "linux/machine_scan.h"

#include <cstdlib>

#include "linux/port_use.h"
#include "linux/udev_scan.h"
#include "linux/wine_com_numbers.h"

namespace velmaro::linux_backend {
namespace fs = std::filesystem;

ScanRoots DefaultScanRoots() {
    ScanRoots roots;
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
        roots.winePrefix = fs::path(prefix);
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        std::error_code ec;
        if (fs::is_directory(fs::path(home) / ".wine", ec)) {
            roots.winePrefix = fs::path(home) / ".wine";
        }
    }
    roots.hardwareDatabase = UdevHardwareDatabase();
    return roots;
}

DeviceSource ChooseSource(const ScanRoots& roots) {
    if (roots.source != DeviceSource::Auto) {
        return roots.source;
    }
    std::error_code ec;
    return roots.sysfs == "/sys" && fs::is_directory(roots.udevDatabase, ec) ? DeviceSource::Udev : DeviceSource::Sysfs;
}

MachineScan ScanMachine(const ScanRoots& roots) {
    MachineScan scan;
    if (ChooseSource(roots) == DeviceSource::Udev) {
        scan = ScanUdev(roots);  // udev consulted its hardware database when it made the records
    } else {
        scan = ScanSysfs(roots);
        NameFromHardwareDatabase(scan, roots.hardwareDatabase);
    }
    NumberPorts(scan, roots);
    AddStableLinks(scan, roots.dev);
    FindPortUse(scan, roots);
    return scan;
}

void AddStableLinks(MachineScan& scan, const fs::path& dev) {
    for (const char* folder : {"by-id", "by-path"}) {
        const fs::path dir = dev / "serial" / folder;
        for (const std::string& name : EntryNames(dir)) {
            std::error_code ec;
            const fs::path target = fs::read_symlink(dir / name, ec);
            if (ec) {
                continue;
            }
            // udev's links are relative ("../../ttyUSB0"); the kernel name is the target's last part.
            const std::string kernelName = target.filename().string();
            for (SerialPort& port : scan.ports) {
                if (port.kernelName == kernelName) {
                    port.links.push_back(std::string("/dev/serial/") + folder + "/" + name);
                }
            }
        }
    }
}

}  // namespace velmaro::linux_backend
