// Files from outside that are not what they should be (a FIFO, a link to an endless device, a file
// over its limit) in a Wine prefix or a sysfs tree: the scan goes on at once, lists the port and
// writes one line naming the file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "linux/machine_scan.h"
#include "posix/bounded_file.h"
#include "temp_folder.h"

namespace velmaro::linux_backend {
namespace {

// Wine's system.reg with the user's mapping COM5 -> /dev/ttyS0: 79 bytes.
const std::string kSystemReg =
    "WINE REGISTRY Version 2\n[Software\\\\Wine\\\\Ports] 1700000000\n\"COM5\"=\"/dev/ttyS0\"\n";

// One UART on the PNP bus (ttyS0) in a plain sysfs tree, its device node, and an empty Wine prefix.
struct Machine {
    Machine() {
        const std::string device = folder.path + "/sys/devices/pnp0/00:01";
        folder.Write("sys/devices/pnp0/00:01/id", "PNP0501\n");
        folder.Link("sys/devices/pnp0/00:01/subsystem", folder.path + "/sys/bus/pnp");
        folder.Link("sys/devices/pnp0/00:01/driver", folder.path + "/sys/bus/pnp/drivers/serial");
        folder.Link("sys/class/tty/ttyS0/device", device);
        folder.Write("sys/class/tty/ttyS0/type", "4\n");
        folder.Write("dev/ttyS0", "");
        folder.Place("wine/dosdevices/x");
        roots.sysfs = folder.path + "/sys";
        roots.dev = folder.path + "/dev";
        roots.winePrefix = folder.path + "/wine";
        roots.source = DeviceSource::Sysfs;
        roots.notices = &notices;
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(notices.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    testing::TempFolder folder;
    ScanRoots roots;
    std::ostringstream notices;
};

TEST(OutsideFiles, StrangeFilesAreNamedOnceAndTheListStays) {
    struct Case {
        const char* what;
        void (*prepare)(Machine&);
        int comNumber;      // of ttyS0
        std::string file;   // below the machine's folder; empty: no line expected
        std::string cause;  // after "<file>: "
        std::vector<std::string> ids;
    };
    const std::vector<std::string> pnp = {"ACPI\\PNP0501", "*PNP0501"};
    const Case cases[] = {
        {"no system.reg: a prefix never started", [](Machine&) {}, 1, "", "", pnp},
        {"system.reg with the user's mapping", [](Machine& m) { m.folder.Write("wine/system.reg", kSystemReg); }, 5, "",
         "", pnp},
        {"system.reg a FIFO", [](Machine& m) { m.folder.Fifo("wine/system.reg"); }, 1, "wine/system.reg",
         "not a regular file but a FIFO; Wine's COM port settings left out", pnp},
        {"system.reg a link to /dev/zero", [](Machine& m) { m.folder.Link("wine/system.reg", "/dev/zero"); }, 1,
         "wine/system.reg", "not a regular file but a character device; Wine's COM port settings left out", pnp},
        {"system.reg one byte over the limit",
         [](Machine& m) {
             m.folder.Write("wine/system.reg", kSystemReg);
             m.roots.wineRegistryLimit = 78;
         },
         1, "wine/system.reg", "larger than 78 bytes, not read; Wine's COM port settings left out", pnp},
        {"system.reg exactly at the limit",
         [](Machine& m) {
             m.folder.Write("wine/system.reg", kSystemReg);
             m.roots.wineRegistryLimit = 79;
         },
         5, "", "", pnp},
        // dosdevices entries are links only looked at: one to a FIFO is neither opened nor named.
        {"a dosdevices link to a FIFO",
         [](Machine& m) { m.folder.Link("wine/dosdevices/com2", m.folder.Fifo("fifo")); }, 1, "", "", pnp},
        {"a dosdevices link to the port", [](Machine& m) { m.folder.Link("wine/dosdevices/com3", "/dev/ttyS0"); }, 3,
         "", "", pnp},
        {"a sysfs attribute that is a FIFO",
         [](Machine& m) {
             std::filesystem::remove(m.folder.path + "/sys/devices/pnp0/00:01/id");
             m.folder.Fifo("sys/devices/pnp0/00:01/id");
         },
         1,
         "sys/devices/pnp0/00:01/id",
         "not a regular file but a FIFO; attribute left out",
         {}},
        {"a sysfs attribute over the limit",
         [](Machine& m) { m.roots.attributeLimit = 7; },
         1,
         "sys/devices/pnp0/00:01/id",
         "larger than 7 bytes, not read; attribute left out",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine;
        c.prepare(machine);
        const MachineScan scan = ScanMachine(machine.roots);
        ASSERT_EQ(scan.ports.size(), 1u);
        EXPECT_EQ(scan.ports[0].kernelName, "ttyS0");
        EXPECT_EQ(scan.ports[0].comNumber, c.comNumber);
        EXPECT_EQ(scan.ports[0].platformIds, c.ids);
        const std::vector<std::string> expected = {posix::PrintableName(machine.folder.path + "/" + c.file) + ": " +
                                                   c.cause};
        EXPECT_EQ(machine.Lines(), c.file.empty() ? std::vector<std::string>{} : expected);
    }
}

}  // namespace
}  // namespace velmaro::linux_backend
