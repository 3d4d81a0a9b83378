// Whole machines built as umockdev testbeds, listed through the backend and the core's refresh:
// the rows the user sees and the device properties the driver rules read.
#include <gtest/gtest.h>
#include <umockdev.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <tuple>

#include "common/win_codes.h"
#include "devices/device_property.h"
#include "linux/linux_machine.h"
#include "main_window/port_list_refresh.h"
#include "services/controls.h"
#include "support/fakes.h"

namespace velmaro::linux_backend {
namespace {

namespace fs = std::filesystem;

// A USB device with its interface 0 and, where a driver made one, its tty.
struct Cable {
    const char* bus;    // 1-1
    const char* ids;    // vendor, product, bcdDevice: "067b:2303:0300"
    const char* maker;  // USB strings, "" for none
    const char* product;
    const char* dbVendor;  // udev's hardware database, "" for none
    const char* dbModel;
    const char* driver;          // bound to interface 0, "" for none
    const char* tty;             // ttyUSB0, ttyACM0, rfcomm0 (below the adapter's hci0), "" for none
    const char* interfaceClass;  // class, subclass, protocol: "020201"
};

struct Uart {
    const char* name;
    const char* type;  // 0: the 8250 driver's placeholder without a UART
};

using Row = std::tuple<std::string, std::string, std::string, std::string>;  // text, description, icon, tag
using Property = std::tuple<std::string, std::uint32_t, std::string>;        // device description, code, value

struct Machine {
    const char* name;
    DeviceSource source;
    std::vector<Uart> uarts;
    std::vector<Cable> cables;
    std::vector<const char*> parentless;                         // ttys without a device: ircomm0, tty0
    std::vector<std::pair<const char*, const char*>> wineLinks;  // com1 -> /dev/ttyUSB1
    std::vector<Row> rows;
    std::vector<Property> properties;
};

using GStrings = std::vector<const gchar*>;

// A testbed with /dev nodes and a Wine prefix beside it; the machine's /sys is the testbed's.
class Testbed {
  public:
    Testbed() : bed_(umockdev_testbed_new()) {
        gchar* root = umockdev_testbed_get_root_dir(bed_.get());  // ours to free
        root_ = root;
        g_free(root);
        fs::create_directories(root_ / "nodes");
        fs::create_directories(root_ / "wine" / "dosdevices");
    }

    ScanRoots Roots(DeviceSource source) const {
        ScanRoots roots;
        roots.sysfs = source == DeviceSource::Udev ? fs::path("/sys") : root_ / "sys";
        roots.dev = root_ / "nodes";
        roots.winePrefix = root_ / "wine";
        roots.source = source;
        return roots;
    }

    void Build(const Machine& machine) {
        if (!machine.uarts.empty()) {
            const std::string pnp = Add("pnp", "00:01", "", {"id", "PNP0501\n"}, {}, "serial");
            const std::string legacy = Add("platform", "serial8250", "", {}, {}, "serial8250");
            for (const Uart& uart : machine.uarts) {
                Tty(uart.name, std::string(uart.type) == "0" ? legacy : pnp, uart.type);
            }
        }
        for (const Cable& cable : machine.cables) {
            AddCable(cable);
        }
        for (const char* name : machine.parentless) {
            Tty(name, "", "");
        }
        for (const auto& [link, target] : machine.wineLinks) {
            fs::create_symlink(target, root_ / "wine" / "dosdevices" / link);
        }
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
            umockdev_testbed_set_attribute_link(
                bed_.get(), path.c_str(), "driver",
                ("../../../bus/" + std::string(subsystem) + "/drivers/" + driver).c_str());
        }
        return path;
    }

    void Tty(const std::string& name, const std::string& parent, const std::string& type) {
        const std::string node = "/dev/" + name;
        GStrings attributes = {"dev", "4:64"};
        if (!type.empty()) {
            attributes.insert(attributes.end(), {"type", type.c_str()});
        }
        const std::string tty = Add("tty", name, parent, attributes, {"DEVNAME", node.c_str()});
        if (!parent.empty() && !tty.empty()) {
            // The kernel links a class device to its parent; umockdev leaves that to us.
            umockdev_testbed_set_attribute_link(bed_.get(), tty.c_str(), "device", "..");
        }
        std::ofstream(root_ / "nodes" / name);
    }

    void AddCable(const Cable& c) {
        const std::string ids = c.ids;
        const std::string vendor = ids.substr(0, 4), product = ids.substr(5, 4), bcd = ids.substr(10, 4);
        GStrings attributes = {"idVendor",  vendor.c_str(), "idProduct", product.c_str(),
                               "bcdDevice", bcd.c_str(),    "product",   c.product};
        if (*c.maker != '\0') {
            attributes.insert(attributes.end(), {"manufacturer", c.maker});
        }
        GStrings properties = {"DEVTYPE", "usb_device"};
        if (*c.dbVendor != '\0') {
            properties.insert(properties.end(),
                              {"ID_VENDOR_FROM_DATABASE", c.dbVendor, "ID_MODEL_FROM_DATABASE", c.dbModel});
        }
        const std::string usb = Add("usb", c.bus, "", attributes, properties);
        const std::string klass = c.interfaceClass;
        const std::string cls = klass.substr(0, 2), sub = klass.substr(2, 2), proto = klass.substr(4, 2);
        const std::string intf = Add("usb", std::string(c.bus) + ":1.0", usb,
                                     {"bInterfaceNumber", "00", "bInterfaceClass", cls.c_str(), "bInterfaceSubClass",
                                      sub.c_str(), "bInterfaceProtocol", proto.c_str()},
                                     {"DEVTYPE", "usb_interface"}, c.driver);
        const std::string tty = c.tty;
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

// The first value of each property asked for, by the device's description, read as the core reads it.
std::vector<Property> ReadProperties(IDeviceInfoService& devices, const std::vector<Property>& wanted) {
    testing::RecordingMessageBox messages;
    std::vector<Property> found;
    const DevInfoSet set = devices.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    DevInfoData data;
    data.cbSize = 28;
    for (std::uint32_t index = 0; devices.EnumDeviceInfo(set, index, data); ++index) {
        const std::string description = GetDeviceProperty(devices, messages, set, data, SPDRP_DEVICEDESC);
        for (const auto& [wantedDescription, code, value] : wanted) {
            if (wantedDescription == description) {
                found.emplace_back(description, code, GetDeviceProperty(devices, messages, set, data, code));
            }
        }
    }
    devices.DestroyDeviceInfoList(set);
    return found;
}

constexpr const char* kPl2303Db[] = {"Prolific Technology, Inc.", "PL2303 Serial Port"};
constexpr const char* kModemClass = "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000";

// Wine counts every /dev/ttyS node, placeholders too, so on the desk the cables start at COM5, the
// modem follows the ttyUSB run, IrDA and rfcomm come after Wine's runs in name order. The CH340
// that no driver took has no rule of its own; the driverless CP210x has one.
const Machine kMachines[] = {
    {"desk",
     DeviceSource::Udev,
     {{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS2", "0"}, {"ttyS3", "0"}},
     {
         {"1-1", "067b:2303:0300", "Prolific Technology Inc.", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1],
          "pl2303", "ttyUSB0", "ff0000"},
         {"1-2", "0403:6001:0600", "FTDI", "FT232R USB UART", "Future Technology Devices International, Ltd",
          "FT232 Serial (UART) IC", "ftdi_sio", "ttyUSB1", "ffffff"},
         {"1-3", "0572:1329:0100", "Conexant", "Ger\xE4t USB Modem", "", "", "cdc_acm", "ttyACM0", "020201"},
         {"1-4", "10c4:ea60:0100", "Silicon Labs", "CP2102 USB to UART Bridge Controller", "Silicon Labs",
          "CP210x UART Bridge", "", "", "ff0000"},
         {"1-5", "0a12:0001:8891", "", "CSR8510 A10", "Cambridge Silicon Radio, Ltd", "Bluetooth Dongle (HCI mode)",
          "btusb", "rfcomm0", "e00101"},
         {"1-6", "1a86:7523:0254", "", "USB Serial", "QinHeng Electronics", "CH340 serial converter", "", "", "ff0102"},
     },
     {"ircomm0", "tty0"},
     {},
     {
         {"COM 1", "Serieller Anschluss [/dev/ttyS0]", "COM", ""},
         {"COM 5", "Prolific Technology PL2303 Serial Port [/dev/ttyUSB0]", "USB", ""},
         {"COM 6", "Future Technology Devices International FT232 Serial (UART) IC [/dev/ttyUSB1]", "USB", ""},
         {"COM 7", "Ger\xEF\xBF\xBDt USB Modem [/dev/ttyACM0]", "USB", ""},
         {"COM 8", "Serielle IrDA-Verbindung [/dev/ircomm0]", "IRDA", ""},
         {"COM 9", "Serielle Bluetooth-Verbindung [/dev/rfcomm0]", "BT", ""},
         {"Warnung", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "WARNING", "PROBLEM_CP210X"},
     },
     {
         {"Serieller Anschluss", SPDRP_HARDWAREID, "ACPI\\PNP0501"},
         {"Serieller Anschluss", SPDRP_DRIVER, "serial"},
         {"Prolific Technology PL2303 Serial Port", SPDRP_FRIENDLYNAME,
          "Prolific Technology PL2303 Serial Port [/dev/ttyUSB0] (COM5)"},
         {"Prolific Technology PL2303 Serial Port", SPDRP_HARDWAREID, "USB\\VID_067B&PID_2303&REV_0300"},
         {"Prolific Technology PL2303 Serial Port", SPDRP_MFG, "Prolific Technology"},
         {"Prolific Technology PL2303 Serial Port", SPDRP_CLASS, "Ports"},
         {"Ger\xEF\xBF\xBDt USB Modem", SPDRP_CLASS, "Modem"},
         {"Ger\xEF\xBF\xBDt USB Modem", SPDRP_DRIVER, kModemClass},
         {"Ger\xEF\xBF\xBDt USB Modem", SPDRP_MFG, "Conexant"},
         {"Silicon Labs CP210x UART Bridge", SPDRP_CLASS, "Unknown"},
         {"Serielle Bluetooth-Verbindung", SPDRP_HARDWAREID, "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}"},
         {"QinHeng Electronics CH340 serial converter", SPDRP_CLASS, "Unknown"},
         {"QinHeng Electronics CH340 serial converter", SPDRP_HARDWAREID, "USB\\VID_1A86&PID_7523&REV_0254"},
         {"QinHeng Electronics CH340 serial converter", SPDRP_MFG, "QinHeng Electronics"},
         {"Cambridge Silicon Radio Bluetooth Dongle (HCI mode)", SPDRP_CLASS, "USB"},
     }},
    // com1 takes the second adapter, com2 one that is not plugged in; the first adapter gets the
    // lowest number left. A third PL2303 of another revision without driver is not the working
    // ones: its own hardware ID has no port.
    {"two adapters around Wine's links",
     DeviceSource::Udev,
     {},
     {
         {"1-1", "067b:2303:0300", "", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB0",
          "ff0000"},
         {"1-2", "067b:2303:0300", "", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1], "pl2303", "ttyUSB1",
          "ff0000"},
         {"1-3", "067b:2303:0400", "", "USB-Serial Controller D", "", "", "", "", "ff0000"},
     },
     {},
     {{"com1", "/dev/ttyUSB1"}, {"com2", "/dev/ttyUSB9"}},
     {
         {"COM 1", "Prolific Technology PL2303 Serial Port [/dev/ttyUSB1]", "USB", ""},
         {"COM 3", "Prolific Technology PL2303 Serial Port [/dev/ttyUSB0]", "USB", ""},
         {"Warnung", "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem", "WARNING", "PROBLEM_X510"},
     },
     {{"USB-Serial Controller D", SPDRP_HARDWAREID, "USB\\VID_067B&PID_2303&REV_0400"}}},
    // Without udev's database the plain files name the cable by its USB strings.
    {"no udev database",
     DeviceSource::Sysfs,
     {{"ttyS0", "4"}, {"ttyS1", "0"}},
     {{"1-1", "067b:2303:0300", "Prolific Technology Inc.", "USB-Serial Controller", kPl2303Db[0], kPl2303Db[1],
       "pl2303", "ttyUSB0", "ff0000"}},
     {},
     {},
     {
         {"COM 1", "Serieller Anschluss [/dev/ttyS0]", "COM", ""},
         {"COM 3", "USB-Serial Controller [/dev/ttyUSB0]", "USB", ""},
     },
     {
         {"Serieller Anschluss", SPDRP_HARDWAREID, "ACPI\\PNP0501"},
         {"USB-Serial Controller", SPDRP_MFG, "Prolific Technology Inc."},
     }},
    {"placeholders only", DeviceSource::Udev, {{"ttyS0", "0"}, {"ttyS1", "0"}}, {}, {"tty0", "console"}, {}, {}, {}},
};

TEST(UdevMachines, RowsAndProperties) {
    for (const Machine& m : kMachines) {
        Testbed bed;
        bed.Build(m);
        const ScanRoots roots = bed.Roots(m.source);
        LinuxMachine machine([&] { return ScanMachine(roots); }, [] { return std::chrono::steady_clock::now(); });
        testing::RecordingMessageBox messages;
        testing::FakeClipboard clipboard;
        testing::FixedClock clock;
        testing::RecordingPointer pointer;
        PortListModel list;
        BoxModel listBox(0, 0, 100, 100), headline(0, 0, 100, 10);
        LabelModel lastRefresh, problem(0, 200, 100, 10, "", false);
        LineModel line(0, 300, 100, 300);
        RefreshControls controls{list, listBox, lastRefresh, problem, headline, line};
        PortDeviceTable table;
        bool clipboardRequested = false;
        RefreshPortList({machine, machine, messages, clipboard, clock, pointer}, table, controls, clipboardRequested);

        std::vector<Row> rows;
        for (const PortRow& row : list.Rows()) {
            rows.emplace_back(row.text, row.subItem, row.icon, row.tag);
        }
        EXPECT_EQ(rows, m.rows) << m.name;
        std::vector<Property> properties = ReadProperties(machine, m.properties);
        std::vector<Property> expected = m.properties;
        std::sort(properties.begin(), properties.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(properties, expected) << m.name;
        EXPECT_TRUE(messages.shown.empty()) << m.name;
    }
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

}  // namespace
}  // namespace velmaro::linux_backend
