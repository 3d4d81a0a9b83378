// The shipped scenario files load and describe machines as Windows would show them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "memory/scenario.h"

namespace velmaro::memory {
namespace {

using ::testing::Contains;
using ::testing::UnorderedElementsAre;

const std::filesystem::path kScenarioDir = VELMARO_SCENARIO_DIR;
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kClassKeys = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

// A string value as UTF-8 up to its first NUL (the first string of a multi-string).
std::string Text(const RawValue& value) {
    std::string bytes(value.data.begin(), value.data.end());
    return Cp1252ToUtf8(bytes.substr(0, bytes.find('\0')));
}

std::string Property(const MemoryDevice& device, std::uint32_t code) {
    const auto it = device.properties.find(code);
    return it == device.properties.end() ? std::string() : Text(it->second);
}

struct Loaded {
    explicit Loaded(const std::string& name) { LoadScenarioFile(kScenarioDir / name, machine); }

    // The data of the serial-port map, in enumeration order.
    std::vector<std::string> SerialComm() {
        std::vector<std::string> ports;
        RegHandle key = 0;
        if (machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), kSerialComm, kKeyRead, key) != kErrorSuccess) {
            return ports;
        }
        for (std::uint32_t i = 0;; ++i) {
            char name[256];
            std::uint32_t length = sizeof name;
            std::uint8_t data[64];
            std::uint32_t size = sizeof data;
            if (machine.EnumValue(key, i, name, length, nullptr, data, &size) != kErrorSuccess) {
                break;
            }
            ports.push_back(Text(BytesValue(kRegSz, std::vector<std::uint8_t>(data, data + size))));
        }
        machine.CloseKey(key);
        return ports;
    }

    // The COM port a present device provides: the modem's "AttachedTo", else the last "(COMn)" tag
    // of the friendly name; empty when it has none.
    std::string PortOf(const MemoryDevice& device) {
        if (Property(device, SPDRP_CLASS) == "Modem") {
            const RawValue* attached =
                machine.FindValue(kHkeyLocalMachine, kClassKeys + Property(device, SPDRP_DRIVER), "AttachedTo");
            return attached == nullptr ? std::string() : Text(*attached);
        }
        const std::string name = Property(device, SPDRP_FRIENDLYNAME);
        const auto tag = name.rfind("(COM");
        return tag == std::string::npos ? std::string() : name.substr(tag + 1, name.find(')', tag) - tag - 1);
    }

    const MemoryDevice* FindByHardwareId(const std::string& firstId) const {
        for (const auto& device : machine.Devices()) {
            if (Property(device, SPDRP_HARDWAREID) == firstId) {
                return &device;
            }
        }
        return nullptr;
    }

    MemoryMachine machine;
};

const std::vector<std::string> kScenarios = {"empty.json", "typical-desktop.json", "missing-drivers.json",
                                             "double-assignments.json", "many-ports.json"};

TEST(ScenarioFiles, EveryShippedFileLoads) {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(kScenarioDir)) {
        if (entry.path().extension() == ".json") {
            found.insert(entry.path().filename().string());
            MemoryMachine machine;
            EXPECT_NO_THROW(LoadScenarioFile(entry.path(), machine)) << entry.path();
        }
    }
    for (const auto& name : kScenarios) {
        EXPECT_THAT(found, Contains(name));
    }
}

// Each port in the map once; each present COM-port device's port in the map; nothing in the map
// that no device provides.
TEST(ScenarioFiles, SerialPortMapMatchesTheDevices) {
    for (const auto& name : kScenarios) {
        SCOPED_TRACE(name);
        Loaded loaded(name);
        const std::vector<std::string> map = loaded.SerialComm();
        const std::set<std::string> listed(map.begin(), map.end());
        EXPECT_EQ(listed.size(), map.size());

        std::set<std::string> provided;
        for (const auto& device : loaded.machine.Devices()) {
            if (!device.present || !device.comportInterface) {
                continue;
            }
            const std::string port = loaded.PortOf(device);
            EXPECT_FALSE(port.empty()) << device.instance;
            EXPECT_EQ(listed.count(port), 1u) << device.instance << " " << port;
            provided.insert(port);
        }
        EXPECT_EQ(provided, listed);
    }
}

TEST(ScenarioFiles, NonPortDevicesInEveryMachine) {
    for (const auto& name : kScenarios) {
        SCOPED_TRACE(name);
        Loaded loaded(name);
        if (loaded.machine.Devices().empty()) {
            continue;
        }
        std::set<std::string> classes;
        bool rootHub = false;
        for (const auto& device : loaded.machine.Devices()) {
            classes.insert(Property(device, SPDRP_CLASS));
            rootHub = rootHub || Property(device, SPDRP_DEVICEDESC) == "USB-Root-Hub";
        }
        EXPECT_THAT(classes, Contains("Display"));
        EXPECT_THAT(classes, Contains("Keyboard"));
        EXPECT_THAT(classes, Contains("Net"));
        EXPECT_TRUE(rootHub);
    }
}

TEST(ScenarioFiles, Empty) {
    Loaded loaded("empty.json");
    EXPECT_TRUE(loaded.machine.Devices().empty());
    EXPECT_TRUE(loaded.machine.HasKey(kHkeyLocalMachine, kSerialComm));
    EXPECT_TRUE(loaded.SerialComm().empty());
}

TEST(ScenarioFiles, TypicalDesktop) {
    Loaded loaded("typical-desktop.json");
    EXPECT_EQ(loaded.SerialComm(), (std::vector<std::string>{"COM1", "COM3", "COM4", "COM5", "COM6"}));

    const MemoryDevice* pl2303 = loaded.FindByHardwareId("USB\\VID_067B&PID_2303&REV_0300");
    ASSERT_NE(pl2303, nullptr);
    EXPECT_EQ(loaded.PortOf(*pl2303), "COM5");

    const MemoryDevice* com1 = loaded.FindByHardwareId("ACPI\\PNP0501");
    ASSERT_NE(com1, nullptr);
    EXPECT_EQ(Property(*com1, SPDRP_FRIENDLYNAME), "Kommunikationsanschluss (COM1)");

    std::map<std::string, std::string> namesByPort;
    for (const auto& device : loaded.machine.Devices()) {
        if (device.present && device.comportInterface) {
            namesByPort[loaded.PortOf(device)] = Property(device, SPDRP_FRIENDLYNAME);
        }
    }
    EXPECT_EQ(namesByPort["COM3"], "Siemens Mobile Phone USB Modem");
    EXPECT_EQ(namesByPort["COM4"], "Standard-Seriell-über-Bluetooth-Verbindung (COM4)");
    EXPECT_EQ(namesByPort["COM6"], "Infrarot-Seriell (COM6)");

    // The umlaut reaches the machine in the Windows code page.
    for (const auto& device : loaded.machine.Devices()) {
        if (Property(device, SPDRP_FRIENDLYNAME) == "Standard-Seriell-über-Bluetooth-Verbindung (COM4)") {
            const auto& bytes = device.properties.at(SPDRP_FRIENDLYNAME).data;
            EXPECT_EQ(bytes.size(), 50u);  // 49 characters and the NUL
            EXPECT_EQ(bytes[17], 0xFC);
        }
    }
}

TEST(ScenarioFiles, MissingDriversHasEveryKnownDriverlessCable) {
    Loaded loaded("missing-drivers.json");
    std::vector<std::string> driverless;
    for (const auto& device : loaded.machine.Devices()) {
        if (!device.comportInterface && device.properties.count(SPDRP_DRIVER) == 0) {
            driverless.push_back(Property(device, SPDRP_DEVICEDESC) == "Siemens USB Connectivity"
                                     ? "Siemens USB Connectivity"
                                     : Property(device, SPDRP_HARDWAREID));
        }
    }
    EXPECT_THAT(driverless, UnorderedElementsAre("Siemens USB Connectivity", "USB\\Vid_067b&Pid_2303&Rev_0300",
                                                 "USB\\Vid_6547&Pid_0232&Rev_0001", "USB\\Vid_0403&Pid_6001&Rev_0600",
                                                 "USB\\Vid_0ea0&Pid_6858&Rev_0100", "USB\\Vid_10c4&Pid_ea60&Rev_0100"));
    const MemoryDevice* net = loaded.FindByHardwareId("USB\\Vid_0403&Pid_6001&Rev_0400");
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(Property(*net, SPDRP_CLASS), "Net");
    EXPECT_EQ(loaded.SerialComm(), std::vector<std::string>{"COM1"});
}

TEST(ScenarioFiles, DoubleAssignmentsClaimPortsTwice) {
    Loaded loaded("double-assignments.json");
    std::map<std::string, std::vector<std::string>> claims;
    for (const auto& device : loaded.machine.Devices()) {
        if (device.present && device.comportInterface) {
            claims[loaded.PortOf(device)].push_back(Property(device, SPDRP_FRIENDLYNAME));
        }
    }
    EXPECT_EQ(claims["COM1"].size(), 1u);
    EXPECT_THAT(claims["COM5"], Contains("Siemens USB Data Cable (COM5)"));
    EXPECT_EQ(claims["COM5"].size(), 2u);
    EXPECT_EQ(claims["COM7"].size(), 2u);
    EXPECT_THAT(claims["COM8"], Contains("Siemens Mobile Phone USB Modem"));
    EXPECT_EQ(claims["COM8"].size(), 2u);
}

TEST(ScenarioFiles, ManyPorts) {
    Loaded loaded("many-ports.json");
    std::vector<std::string> expected;
    for (int n = 1; n <= 256; ++n) {
        expected.push_back("COM" + std::to_string(n));
    }
    EXPECT_EQ(loaded.SerialComm(), expected);

    const DevInfoSet set = loaded.machine.GetClassDevs(kGuidDevInterfaceComport, 0x16);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    std::uint32_t count = 0;
    while (loaded.machine.EnumDeviceInfo(set, count, data)) {
        ++count;
    }
    EXPECT_EQ(count, 256u);
    loaded.machine.DestroyDeviceInfoList(set);
}

}  // namespace
}  // namespace velmaro::memory
