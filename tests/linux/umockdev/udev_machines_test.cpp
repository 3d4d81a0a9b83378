// Whole machines built as umockdev testbeds, listed through the backend and the core's refresh,
// through libudev and as plain sysfs files: the rows the user sees and the device properties the
// driver rules read.
#include <gtest/gtest.h>
#include <umockdev.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "common/win_codes.h"
#include "devices/device_property.h"
#include "identity/port_identity.h"
#include "linux/linux_machine.h"
#include "main_window/port_list_build.h"
#include "main_window/port_list_refresh.h"
#include "services/controls.h"
#include "snapshot/port_facts.h"
#include "support/fakes.h"

namespace velmaro::linux_backend {
namespace {

namespace fs = std::filesystem;

// A USB device with its interface 0 and, where a driver made one, its tty: the bus name (1-1); vendor,
// product and bcdDevice ("067b:2303:0300"); the USB strings of maker and product and udev's database
// names of vendor and model ("" for none); the driver bound to interface 0 ("" for none); the tty
// (ttyUSB0, ttyACM0, rfcomm0 below the adapter's hci0; "" for none); the interface's class, subclass
// and protocol ("020201").
struct Cable {
    const char *bus, *ids, *maker, *product, *dbVendor, *dbModel, *driver, *tty, *interfaceClass;
};
// A ttyS port; type 0 is the 8250 driver's placeholder without a UART.
struct Uart {
    const char *name, *type;
};
using Row = std::tuple<std::string, std::string, std::string, std::string>;  // text, description, icon, tag
using Property = std::tuple<std::string, std::uint32_t, std::string>;        // device description, code, value
using Links = std::vector<std::pair<const char*, const char*>>;              // below the testbed's root
using GStrings = std::vector<const gchar*>;

// A process of the testbed's /proc: its ID, its command name and the file (below the testbed's
// root) that one of its descriptors points to.
struct FakeProcess {
    const char *id, *comm, *openFile;
};

struct Machine {
    const char* name;
    DeviceSource source;
    std::vector<Uart> uarts;
    std::vector<Cable> cables;
    std::vector<const char*> parentless;  // ttys without a device: ircomm0, tty0
    Links links;                          // Wine's comN links, /dev/serial/by-id, links into nothing
    std::vector<Row> rows;
    std::vector<Property> properties;
    const char* systemReg = nullptr;       // the Wine prefix's registry file
    bool hardwareDatabase = false;         // the cables' database names come from a lookup
    std::vector<FakeProcess> processes{};  // in the testbed's own /proc
    const char* brlttyRules = nullptr;     // a brltty rules file among the testbed's udev rules
};

// A hardware database that knows the names the cables' udev records carry.
NameLookup DatabaseOf(const std::vector<Cable>& cables) {
    return [cables](std::uint16_t vendor, std::uint16_t product) {
        for (const Cable& c : cables) {
            const std::string ids = c.ids;
            if (std::stoi(ids.substr(0, 4), nullptr, 16) == vendor &&
                std::stoi(ids.substr(5, 4), nullptr, 16) == product) {
                return DatabaseNames{c.dbVendor, c.dbModel};
            }
        }
        return DatabaseNames{};
    };
}

// A testbed with /dev nodes ("nodes") and a Wine prefix ("wine") beside its /sys.
class Testbed {
  public:
    explicit Testbed(const Machine& machine) : bed_(umockdev_testbed_new()) {
        gchar* root = umockdev_testbed_get_root_dir(bed_.get());  // ours to free
        root_ = root;
        g_free(root);
        fs::create_directories(root_ / "wine" / "dosdevices");
        fs::create_directories(root_ / "nodes");
        if (!machine.uarts.empty()) {
            const std::string pnp = Add("pnp", "00:01", "", {"id", "PNP0501\n"}, {}, "serial");
            const std::string legacy = Add("platform", "serial8250", "", {}, {}, "serial8250");
            for (const Uart& uart : machine.uarts) {
                Tty(uart.name, std::string(uart.type) == "0" ? legacy : pnp, uart.type);
            }
        }
        std::for_each(machine.cables.begin(), machine.cables.end(), [this](const Cable& c) { AddCable(c); });
        for (const char* name : machine.parentless) {
            Tty(name, "", "");
        }
        if (machine.systemReg != nullptr) {
            std::ofstream(root_ / "wine" / "system.reg", std::ios::binary) << machine.systemReg;
        }
        for (const auto& [path, target] : machine.links) {
            fs::create_directories((root_ / path).parent_path());
            fs::create_symlink(target, root_ / path);
        }
        fs::create_directories(root_ / "proc");
        fs::create_directories(root_ / "rules");
        for (const FakeProcess& process : machine.processes) {
            fs::create_directories(root_ / "proc" / process.id / "fd");
            std::ofstream(root_ / "proc" / process.id / "comm") << process.comm << "\n";
            fs::create_symlink(root_ / process.openFile, root_ / "proc" / process.id / "fd" / "7");
        }
        if (machine.brlttyRules != nullptr) {
            std::ofstream(root_ / "rules" / "90-brltty-device.rules") << machine.brlttyRules;
        }
    }

    const fs::path& Root() const { return root_; }

    ScanRoots Roots(DeviceSource source) const {
        ScanRoots roots;
        roots.sysfs = source == DeviceSource::Udev ? fs::path("/sys") : root_ / "sys";
        roots.dev = root_ / "nodes";
        roots.winePrefix = root_ / "wine";
        roots.source = source;
        roots.proc = root_ / "proc";
        roots.udevRuleDirs = {root_ / "rules"};
        return roots;
    }

  private:
    struct Unref {
        void operator()(UMockdevTestbed* bed) const { g_object_unref(bed); }
    };

    // A device with attribute and property pairs and, when given, a driver; returns its path.
    std::string Add(const char* subsystem,
                    const std::string& name,
                    const std::string& parent,
                    GStrings attributes,
                    GStrings properties,
                    const std::string& driver = "") {
        attributes.push_back(nullptr);
        properties.push_back(nullptr);
        gchar* made = umockdev_testbed_add_devicev(
            bed_.get(), subsystem, name.c_str(), parent.empty() ? nullptr : parent.c_str(),
            const_cast<gchar**>(attributes.data()), const_cast<gchar**>(properties.data()));
        EXPECT_NE(made, nullptr) << name;
        const std::string path = made == nullptr ? "" : made;
        g_free(made);
        if (!driver.empty() && !path.empty()) {
            const std::string target = "../../../bus/" + std::string(subsystem) + "/drivers/" + driver;
            umockdev_testbed_set_attribute_link(bed_.get(), path.c_str(), "driver", target.c_str());
        }
        return path;
    }

    void Tty(const std::string& name, const std::string& parent, const std::string& type) {
        const std::string node = "/dev/" + name;
        const GStrings attributes =
            type.empty() ? GStrings{"dev", "4:64"} : GStrings{"dev", "4:64", "type", type.c_str()};
        const std::string tty = Add("tty", name, parent, attributes, {"DEVNAME", node.c_str()});
        if (!parent.empty() && !tty.empty()) {
            // The kernel links a class device to its parent; umockdev leaves that to us.
            umockdev_testbed_set_attribute_link(bed_.get(), tty.c_str(), "device", "..");
        }
        std::ofstream(root_ / "nodes" / name);
    }

    void AddCable(const Cable& c) {
        const std::string ids = c.ids, klass = c.interfaceClass, tty = c.tty;
        const std::string vendor = ids.substr(0, 4), product = ids.substr(5, 4), bcd = ids.substr(10, 4);
        GStrings attributes = {"idVendor",  vendor.c_str(), "idProduct", product.c_str(), "bcdDevice",
                               bcd.c_str(), "product",      c.product,   "manufacturer",  c.maker};
        GStrings properties = {"DEVTYPE", "usb_device", "ID_VENDOR_FROM_DATABASE", c.dbVendor, "ID_MODEL_FROM_DATABASE",
                               c.dbModel};
        // A string the device lacks is left out rather than empty.
        attributes.resize(*c.maker == '\0' ? 8 : 10);
        properties.resize(*c.dbVendor == '\0' ? 2 : 6);
        // usbfs serves the device as /dev/bus/usb/001/<devnum>; the bus name's port number will do.
        const std::string devnum = std::string(c.bus).substr(std::string(c.bus).rfind('-') + 1);
        attributes.insert(attributes.end(), {"busnum", "1", "devnum", devnum.c_str()});
        const std::string usb = Add("usb", c.bus, "", attributes, properties);
        const std::string cls = klass.substr(0, 2), sub = klass.substr(2, 2), proto = klass.substr(4, 2);
        const std::string intf = Add("usb", std::string(c.bus) + ":1.0", usb,
                                     {"bInterfaceNumber", "00", "bInterfaceClass", cls.c_str(), "bInterfaceSubClass",
                                      sub.c_str(), "bInterfaceProtocol", proto.c_str()},
                                     {"DEVTYPE", "usb_interface"}, c.driver);
        if (tty.rfind("ttyUSB", 0) == 0) {
            Tty(tty, Add("usb-serial", tty, intf, {}, {}, c.driver), "");
        } else if (tty.rfind("ttyACM", 0) == 0) {
            Tty(tty, intf, "");
        } else if (tty.rfind("rfcomm", 0) == 0) {
            Tty(tty, Add("bluetooth", "hci0", usb, {}, {"DEVTYPE", "host"}), "");
        }
    }

    std::unique_ptr<UMockdevTestbed, Unref> bed_;
    fs::path root_;
};

// The properties asked for, by the device's description: the value's bytes without the closing NULs,
// the strings of a multi-string joined by "|"; "" where the device has none.
std::vector<Property> ReadProperties(IDeviceInfoService& devices, const std::vector<Property>& wanted) {
    testing::RecordingMessageBox messages;
    std::vector<Property> found;
    const DevInfoSet set = devices.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    DevInfoData data;
    data.cbSize = 28;
    for (std::uint32_t index = 0; devices.EnumDeviceInfo(set, index, data); ++index) {
        const std::string description = GetDeviceProperty(devices, messages, set, data, SPDRP_DEVICEDESC);
        for (const auto& [wantedDescription, code, value] : wanted) {
            std::uint8_t buffer[1024] = {};
            std::uint32_t type = 0, size = 0;
            if (wantedDescription == description) {
                const bool read =
                    devices.GetDeviceRegistryProperty(set, data, code, &type, buffer, sizeof buffer, &size);
                std::string text(reinterpret_cast<const char*>(buffer), read ? size : 0);
                text.erase(text.find_last_not_of('\0') + 1);
                std::replace(text.begin(), text.end(), '\0', '|');
                found.emplace_back(description, code, text);
            }
        }
    }
    devices.DestroyDeviceInfoList(set);
    return found;
}

constexpr const char* kPl2303Db[] = {"Prolific Technology, Inc.", "PL2303 Serial Port"};
constexpr const char* kPl2303 = "Prolific Technology PL2303 Serial Port";
constexpr const char* kModem = "Ger\xEF\xBF\xBDt USB Modem";  // its Latin-1 byte replaced
constexpr const char* kModemClass = "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000";
constexpr const char* kCp210x = "Silicon Labs CP210x UART Bridge";
constexpr const char* kCh340 = "QinHeng Electronics CH340 serial converter";
const Row kCp210xProblem = {"Warnung", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "WARNING",
                            "PROBLEM_CP210X"};
// The diagnosis: a CH340 that no driver took, and one that brltty holds through usbfs.
const Row kCh340NoDriver = {"Warnung", "WCH CH340 (1a86:7523) ohne Treiber", "WARNING", "PROBLEM_NO_DRIVER"};
const Row kCh340Brltty = {"Warnung", "WCH CH340 (1a86:7523) von brltty belegt", "WARNING", "PROBLEM_BRLTTY"};
const Cable kCh340OnUsbfs = {"1-3", "1a86:7523:0254", "", "USB Serial", "", "", "usbfs", "", "ff0102"};

// clang-format off
// A real UART with three placeholders, a PL2303, an FTDI cable, an ACM modem whose product string is
// Latin-1, a CP210x and a CH340 that no driver took, a Bluetooth dongle with an rfcomm port, an IrDA
// port and a virtual terminal.
const std::vector<Uart> kDeskUarts = {{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS2", "0"}, {"ttyS3", "0"}};
const std::vector<Cable> kDesk = {
    {"1-1", "067b:2303:0300", "Prolific Technology Inc.", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB0", "ff0000"},
    {"1-2", "0403:6001:0600", "FTDI", "FT232R USB UART", "Future Technology Devices International, Ltd", "FT232 Serial (UART) IC", "ftdi_sio", "ttyUSB1", "ffffff"},
    {"1-3", "0572:1329:0100", "Conexant", "Ger\xE4t USB Modem", "", "", "cdc_acm", "ttyACM0", "020201"},
    {"1-4", "10c4:ea60:0100", "Silicon Labs", "CP2102 USB to UART Bridge Controller", "Silicon Labs", "CP210x UART Bridge", "", "", "ff0000"},
    {"1-5", "0a12:0001:8891", "", "CSR8510 A10", "Cambridge Silicon Radio, Ltd", "Bluetooth Dongle (HCI mode)", "btusb", "rfcomm0", "e00101"},
    {"1-6", "1a86:7523:0254", "", "USB Serial", "QinHeng Electronics", "CH340 serial converter", "", "", "ff0102"},
};

constexpr const char* kFtdiDb = "Future Technology Devices International FT232 Serial (UART) IC [/dev/ttyUSB1]";
// The desk's rows; only the names of the PL2303 and the FTDI cable depend on where they come from.
std::vector<Row> DeskRows(const std::string& pl2303, const std::string& ftdi) {
    return {{"COM 1", "Serieller Anschluss [/dev/ttyS0]", "COM", ""},
            {"COM 5", pl2303, "USB", ""},
            {"COM 6", ftdi, "USB", ""},
            {"COM 7", std::string(kModem) + " [/dev/ttyACM0]", "USB", ""},
            {"COM 8", "Serielle IrDA-Verbindung [/dev/ircomm0]", "IRDA", ""},
            {"COM 9", "Serielle Bluetooth-Verbindung [/dev/rfcomm0]", "BT", ""},
            kCp210xProblem,
            kCh340NoDriver};
}

// Wine counts every /dev/ttyS node, placeholders too, so on the desk the cables start at COM5, the
// modem follows the ttyUSB run, IrDA and rfcomm come after Wine's runs in name order. The CH340 has
// no rule of its own; the driverless CP210x has one. Udev's database names the cables and their
// makers, else their USB strings do. A cable's hardware IDs are the one with its revision and the
// one without.
const Machine kMachines[] = {
    {"desk through udev", DeviceSource::Udev, kDeskUarts, kDesk, {"ircomm0", "tty0"}, {},
     DeskRows(std::string(kPl2303) + " [/dev/ttyUSB0]", kFtdiDb),
     {{"Serieller Anschluss", SPDRP_HARDWAREID, "ACPI\\PNP0501|*PNP0501"},
      {kPl2303, SPDRP_FRIENDLYNAME, std::string(kPl2303) + " [/dev/ttyUSB0] (COM5)"},
      {kPl2303, SPDRP_HARDWAREID, "USB\\VID_067B&PID_2303&REV_0300|USB\\VID_067B&PID_2303"},
      {kPl2303, SPDRP_MFG, "Prolific Technology"},
      {kPl2303, SPDRP_CLASS, "Ports"},
      {kModem, SPDRP_CLASS, "Modem"},
      {kModem, SPDRP_DRIVER, kModemClass},
      {kCp210x, SPDRP_CLASS, "Unknown"},
      {kCp210x, SPDRP_DRIVER, ""},
      {"Serielle Bluetooth-Verbindung", SPDRP_HARDWAREID, "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}"},
      {kCh340, SPDRP_HARDWAREID, "USB\\VID_1A86&PID_7523&REV_0254|USB\\VID_1A86&PID_7523"},
      {"Cambridge Silicon Radio Bluetooth Dongle (HCI mode)", SPDRP_CLASS, "USB"}}},
    {"desk as plain files", DeviceSource::Sysfs, kDeskUarts, kDesk, {"ircomm0", "tty0"}, {},
     DeskRows("USB-Serial Controller [/dev/ttyUSB0]", "FT232R USB UART [/dev/ttyUSB1]"),
     {{"Serieller Anschluss", SPDRP_HARDWAREID, "ACPI\\PNP0501|*PNP0501"},
      {"USB-Serial Controller", SPDRP_MFG, "Prolific Technology Inc."},
      {kModem, SPDRP_CLASS, "Modem"}}},
    // Without udev's device records the hardware database names the cables as udev does.
    {"desk as plain files with the hardware database", DeviceSource::Sysfs, kDeskUarts, kDesk, {"ircomm0", "tty0"}, {},
     DeskRows(std::string(kPl2303) + " [/dev/ttyUSB0]", kFtdiDb),
     {{kPl2303, SPDRP_FRIENDLYNAME, std::string(kPl2303) + " [/dev/ttyUSB0] (COM5)"},
      {kPl2303, SPDRP_MFG, "Prolific Technology"},
      {kCh340, SPDRP_HARDWAREID, "USB\\VID_1A86&PID_7523&REV_0254|USB\\VID_1A86&PID_7523"}},
     nullptr, true},
    // com1 takes the second adapter by its by-id name, com2 one that is not plugged in; the first
    // adapter gets the lowest number left. A third PL2303 of another revision without driver is not
    // the working ones: its own hardware ID has no port.
    {"two adapters around Wine's links", DeviceSource::Udev, {},
     {{"1-1", "067b:2303:0300", "", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB0", "ff0000"},
      {"1-2", "067b:2303:0300", "", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB1", "ff0000"},
      {"1-3", "067b:2303:0400", "", "USB-Serial Controller D", "", "", "", "", "ff0000"}},
     {},
     {{"nodes/serial/by-id/usb-Prolific-if00-port0", "../../ttyUSB1"},
      {"wine/dosdevices/com1", "/dev/serial/by-id/usb-Prolific-if00-port0"},
      {"wine/dosdevices/com2", "/dev/ttyUSB9"},
      {"wine/dosdevices/c:", "../drive_c"}},
     {{"COM 1", std::string(kPl2303) + " [/dev/ttyUSB1]", "USB", ""},
      {"COM 3", std::string(kPl2303) + " [/dev/ttyUSB0]", "USB", ""},
      {"Warnung", "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem", "WARNING", "PROBLEM_X510"}},
     {{"USB-Serial Controller D", SPDRP_HARDWAREID, "USB\\VID_067B&PID_2303&REV_0400|USB\\VID_067B&PID_2303"}}},
    // The Ports key holds COM4 for the second adapter and beats a link that gives COM4 to the
    // first, which then gets the lowest free number.
    {"Wine's Ports key before its links", DeviceSource::Udev, {},
     {{"1-1", "067b:2303:0300", "", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB0", "ff0000"},
      {"1-2", "067b:2303:0300", "", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB1", "ff0000"}},
     {},
     {{"nodes/serial/by-id/usb-Prolific-if00-port0", "../../ttyUSB1"},
      {"wine/dosdevices/com4", "/dev/ttyUSB0"}},
     {{"COM 1", std::string(kPl2303) + " [/dev/ttyUSB0]", "USB", ""},
      {"COM 4", std::string(kPl2303) + " [/dev/ttyUSB1]", "USB", ""}},
     {},
     "WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Ports] 1733420000\n"
     "\"COM4\"=\"/dev/serial/by-id/usb-Prolific-if00-port0\"\n"},
    {"placeholders only", DeviceSource::Udev, {{"ttyS0", "0"}, {"ttyS1", "0"}}, {}, {"tty0", "console"}, {}, {}, {}},
    // brltty's process holds the CH340's usbfs node (/dev/bus/usb/001/003): one row, through
    // either source. A process on another node changes nothing.
    {"CH340 held by a brltty process", DeviceSource::Udev, {}, {kCh340OnUsbfs}, {}, {}, {kCh340Brltty}, {}, nullptr, false,
     {{"812", "brltty", "nodes/bus/usb/001/003"}, {"900", "minicom", "nodes/bus/usb/001/004"}}},
    {"CH340 held by a brltty process, plain files", DeviceSource::Sysfs, {}, {kCh340OnUsbfs}, {}, {}, {kCh340Brltty}, {}, nullptr, false,
     {{"812", "brltty", "nodes/bus/usb/001/003"}}},
    // No brltty process, but its udev rule names the chip while usbfs has it.
    {"CH340 on usbfs that brltty's rule names", DeviceSource::Sysfs, {}, {kCh340OnUsbfs}, {}, {}, {kCh340Brltty}, {}, nullptr, false,
     {}, "# brltty\nENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", GOTO=\"brltty_usb_run\"\n"},
    // usbfs for another program, and a rule alone while ch341 drives the cable: nothing to report.
    {"CH340 on usbfs for another program", DeviceSource::Sysfs, {}, {kCh340OnUsbfs}, {}, {}, {}, {}, nullptr, false,
     {{"900", "flashrom", "nodes/bus/usb/001/003"}}},
    {"brltty's rule and a working CH340", DeviceSource::Sysfs, {},
     {{"1-3", "1a86:7523:0254", "", "USB Serial", "", "", "ch341", "ttyUSB0", "ff0102"}}, {}, {},
     {{"COM 1", "USB Serial [/dev/ttyUSB0]", "USB", ""}}, {}, nullptr, false,
     {}, "ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\"\n"},
    // A second FT232R without driver beside a working one: the FTDI cable rule sees a working
    // FT232R port and stays silent; the diagnosis names the second cable.
    {"second FT232R without driver", DeviceSource::Sysfs, {},
     {{"1-1", "0403:6001:0600", "FTDI", "FT232R USB UART", "", "", "ftdi_sio", "ttyUSB0", "ffffff"},
      {"1-2", "0403:6001:0600", "FTDI", "FT232R USB UART", "", "", "", "", "ffffff"}},
     {}, {},
     {{"COM 1", "FT232R USB UART [/dev/ttyUSB0]", "USB", ""},
      {"Warnung", "FTDI FT232R (0403:6001) ohne Treiber", "WARNING", "PROBLEM_NO_DRIVER"}},
     {}},
    // A board that only its maker's vendor-wide row knows: its CDC-ACM interface without cdc_acm
    // makes it the maker's board; the same maker's HID device without driver is no serial port.
    {"board of a vendor-wide row without cdc_acm", DeviceSource::Udev, {},
     {{"1-1", "2341:8037:0100", "Arduino LLC", "Arduino Micro", "", "", "", "", "020201"},
      {"1-2", "2341:8050:0100", "Arduino LLC", "Arduino Keyboard", "", "", "", "", "030101"}},
     {}, {},
     {{"Warnung", "Arduino (2341:8037) ohne Treiber", "WARNING", "PROBLEM_NO_DRIVER"}},
     {}},
};
// clang-format on

TEST(UdevMachines, RowsAndProperties) {
    for (const Machine& m : kMachines) {
        Testbed bed(m);
        ScanRoots roots = bed.Roots(m.source);
        if (m.hardwareDatabase) {
            roots.hardwareDatabase = DatabaseOf(m.cables);
        } else if (m.source == DeviceSource::Udev) {
            // udev's records carry the database's names already
            roots.hardwareDatabase = [&m](std::uint16_t, std::uint16_t) {
                ADD_FAILURE() << m.name << ": the hardware database was asked";
                return DatabaseNames{};
            };
        }
        LinuxMachine machine([&] { return ScanMachine(roots); }, [] { return std::chrono::steady_clock::now(); });
        testing::FakeUserServices user;
        PortListModel list;
        BoxModel listBox(0, 0, 100, 100), headline(0, 0, 100, 10);
        LabelModel lastRefresh, problem(0, 200, 100, 10, "", false);
        LineModel line(0, 300, 100, 300);
        RefreshControls controls{list, listBox, lastRefresh, problem, headline, line};
        PortDeviceTable table;
        bool clipboardRequested = false;
        RefreshPortList(user.Over(machine, machine), table, controls, clipboardRequested);

        std::vector<Row> rows;
        for (const ShownRow& row : list.Rows()) {
            rows.emplace_back(row.text, row.subItem, row.icon, row.tag.substr(0, row.tag.find('\x1f')));
        }
        EXPECT_EQ(rows, m.rows) << m.name;
        std::vector<Property> properties = ReadProperties(machine, m.properties), expected = m.properties;
        std::sort(properties.begin(), properties.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(properties, expected) << m.name;
        EXPECT_TRUE(user.messages.shown.empty()) << m.name;
    }
}

// The rows of one refresh of the machine the roots describe, as "text|description|tag" lines.
std::string RowsOf(const ScanRoots& roots) {
    LinuxMachine machine([&] { return ScanMachine(roots); }, [] { return std::chrono::steady_clock::now(); });
    const PortListContent content = testing::FakeUserServices().List(machine, machine);
    std::string rows;
    for (const PortRow& row : content.rows) {
        rows += row.text + "|" + row.description + "|" + (row.problem ? std::string(TagOf(*row.problem)) : "") + "\n";
    }
    return rows;
}

const Machine kOneCh340 = {
    "one CH340", DeviceSource::Sysfs,
    {},          {{"1-1", "1a86:7523:0254", "", "USB Serial", "", "", "ch341", "ttyUSB0", "ff0102"}},
    {},          {},
    {},          {}};
constexpr const char* kCh340Port = "COM 1|USB Serial [/dev/ttyUSB0]|\n";

// A tty of group dialout that the user may not read and write: one row naming the group. As root,
// whom access(2) never refuses, the refresh runs in a child with nobody's IDs.
TEST(UdevMachines, TtyTheUserCannotOpen) {
    Testbed bed(kOneCh340);
    const fs::path node = bed.Root() / "nodes" / "ttyUSB0";
    const group* dialout = getgrnam("dialout");
    if (dialout == nullptr) {
        GTEST_SKIP() << "no group dialout";
    }
    std::string expectedGroup = "dialout";
    if (geteuid() == 0) {
        ASSERT_EQ(chown(node.c_str(), 0, dialout->gr_gid), 0);
        for (fs::path dir = node.parent_path(); dir != bed.Root().parent_path(); dir = dir.parent_path()) {
            fs::permissions(dir, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        }
        fs::permissions(
            node, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write);
    } else {
        const group* own = getgrgid(getegid());
        ASSERT_NE(own, nullptr);
        expectedGroup = own->gr_name;
        fs::permissions(node, fs::perms::none);
    }
    const std::string expected = std::string(kCh340Port) + "Warnung|Keine Berechtigung für /dev/ttyUSB0 (Gruppe " +
                                 expectedGroup + ")|PROBLEM_NO_ACCESS\n";
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        const std::string rows = RowsOf(bed.Roots(DeviceSource::Sysfs));
        const bool written = write(channel[1], rows.data(), rows.size()) == static_cast<ssize_t>(rows.size());
        close(channel[1]);
        _exit(written ? 0 : 3);
    }
    close(channel[1]);
    std::string rows;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
        rows.append(buffer, static_cast<std::size_t>(n));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(rows, expected);
    // The same node open to its user gives no row.
    if (geteuid() == 0) {
        EXPECT_EQ(RowsOf(bed.Roots(DeviceSource::Sysfs)), kCh340Port);
    }
}

// A helper process holding the tty open, found through the machine's own /proc: one row naming
// it and its ID; once it has ended, none.
TEST(UdevMachines, TtyHeldOpenByAHelperProcess) {
    Testbed bed(kOneCh340);
    const fs::path node = bed.Root() / "nodes" / "ttyUSB0";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t helper = fork();
    ASSERT_GE(helper, 0);
    if (helper == 0) {
        close(ready[0]);
        const int fd = open(node.c_str(), O_RDWR);  // a plain file of the testbed, no real port
        prctl(PR_SET_NAME, "velmaro-helper");
        const char byte = fd >= 0 ? 1 : 0;
        (void)!write(ready[1], &byte, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    ASSERT_EQ(byte, 1);
    ScanRoots roots = bed.Roots(DeviceSource::Sysfs);
    roots.proc = "/proc";
    const std::string held = RowsOf(roots);
    kill(helper, SIGKILL);
    waitpid(helper, nullptr, 0);
    EXPECT_EQ(held, std::string(kCh340Port) + "Warnung|/dev/ttyUSB0 belegt von velmaro-helper (PID " +
                        std::to_string(helper) + ")|PROBLEM_PORT_BUSY\n");
    EXPECT_EQ(RowsOf(roots), kCh340Port);
}

// Links into nothing (a device unplugged mid-walk) and a garbled vendor ID are passed by; a missing
// sysfs gives an empty list.
TEST(UdevMachines, BrokenTreesGiveACleanList) {
    // clang-format off
    const Machine broken = {"broken", DeviceSource::Udev, {{"ttyS0", "4"}},
                            {{"1-7", "zz\xFF" "z:2303:0300", "", "Broken", "", "", "pl2303", "", "ff0000"}}, {},
                            {{"sys/class/tty/ttyUSB3", "../../devices/gone/tty/ttyUSB3"},
                             {"sys/bus/usb/devices/1-9", "../../../devices/gone/1-9"}}, {}, {}};
    // clang-format on
    for (DeviceSource source : {DeviceSource::Udev, DeviceSource::Sysfs}) {
        Testbed bed(broken);
        const MachineScan scan = ScanMachine(bed.Roots(source));
        ASSERT_EQ(scan.ports.size(), 1u);
        EXPECT_EQ(std::pair(scan.ports[0].kernelName, scan.ports[0].comNumber), std::pair(std::string("ttyS0"), 1));
        EXPECT_TRUE(scan.usbDevices.empty());
    }
    ScanRoots none;
    none.sysfs = fs::temp_directory_path() / "no-such-sysfs";
    none.dev = fs::temp_directory_path() / "no-such-dev";
    const MachineScan empty = ScanMachine(none);
    EXPECT_TRUE(empty.ports.empty() && empty.usbDevices.empty());
}

// udev is asked only about the machine's own /sys, and only where its database shows it ran.
TEST(UdevMachines, SourceChoice) {
    const fs::path present = fs::temp_directory_path();
    const struct {
        DeviceSource asked;
        fs::path sysfs, database;
        DeviceSource expected;
    } cases[] = {
        {DeviceSource::Auto, "/sys", present, DeviceSource::Udev},
        {DeviceSource::Auto, "/sys", present / "no-such-udev-data", DeviceSource::Sysfs},
        {DeviceSource::Auto, present, present, DeviceSource::Sysfs},
        {DeviceSource::Sysfs, "/sys", present, DeviceSource::Sysfs},
        {DeviceSource::Udev, present, present / "no-such-udev-data", DeviceSource::Udev},
    };
    for (const auto& c : cases) {
        ScanRoots roots;
        roots.source = c.asked;
        roots.sysfs = c.sysfs;
        roots.udevDatabase = c.database;
        EXPECT_EQ(ChooseSource(roots), c.expected) << c.sysfs << " " << c.database;
    }
}

// The identity of each row's port as a script reads it: path, COM number, USB IDs, interface,
// driver, kind, USB port and stable links; rows that are no port have none.
TEST(UdevMachines, IdentityOfThePorts) {
    using Ids = std::tuple<std::string, int, std::string, int, std::string, std::string, std::string>;
    // path, com, vid:pid:rev, interface (-1: none), driver, kind, location: the USB port, else the
    // bus device in sysfs
    auto idsOf = [](const identity::PortIdentity& p) {
        char usb[16] = "";
        if (p.vid) {
            std::snprintf(usb, sizeof usb, "%04x:%04x:%04x", *p.vid, p.pid.value_or(0), p.revision.value_or(0));
        }
        return Ids{
            p.path,    p.com, usb, p.interfaceNumber.value_or(-1), p.driver, std::string(identity::KindName(p.kind)),
            p.location};
    };
    struct Case {
        std::size_t machine;
        std::vector<std::optional<Ids>> rows;
        std::vector<std::vector<std::string>> links;  // of the rows with a port
    };
    const Case cases[] = {
        {0,
         {Ids{"/dev/ttyS0", 1, "", -1, "serial", "onboard", "/sys/devices/00:01"},
          Ids{"/dev/ttyUSB0", 5, "067b:2303:0300", 0, "pl2303", "usb", "1-1"},
          Ids{"/dev/ttyUSB1", 6, "0403:6001:0600", 0, "ftdi_sio", "usb", "1-2"},
          Ids{"/dev/ttyACM0", 7, "0572:1329:0100", 0, "cdc_acm", "modem", "1-3"},
          Ids{"/dev/ircomm0", 8, "", -1, "", "irda", ""}, Ids{"/dev/rfcomm0", 9, "", -1, "", "bluetooth", "/sys/devices/1-5/hci0"},
          std::nullopt, std::nullopt},  // the CP210x and the CH340 without driver: no port
         {{}, {}, {}, {}, {}, {}}},
        {3,
         {Ids{"/dev/ttyUSB1", 1, "067b:2303:0300", 0, "pl2303", "usb", "1-2"},
          Ids{"/dev/ttyUSB0", 3, "067b:2303:0300", 0, "pl2303", "usb", "1-1"}, std::nullopt},
         {{"/dev/serial/by-id/usb-Prolific-if00-port0"}, {}}},
    };
    for (const Case& c : cases) {
        const Machine& m = kMachines[c.machine];
        Testbed bed(m);
        const ScanRoots roots = bed.Roots(m.source);
        LinuxMachine machine([&] { return ScanMachine(roots); }, [] { return std::chrono::steady_clock::now(); });
        const PortListContent list = testing::FakeUserServices().List(machine, machine);
        const auto identities = identity::IdentitiesOfRows(list.rows, snapshot::PortFactsOf(machine.Snapshot()));
        std::vector<std::optional<Ids>> rows;
        std::vector<std::vector<std::string>> links;
        for (const auto& port : identities) {
            rows.push_back(port ? std::optional(idsOf(*port)) : std::nullopt);
            if (port) {
                links.push_back(port->links);
            }
        }
        EXPECT_EQ(rows, c.rows) << m.name;
        EXPECT_EQ(links, c.links) << m.name;
    }
}

}  // namespace
}  // namespace velmaro::linux_backend
