// The Windows backend against Wine's registry and SetupAPI after tools/scenario_to_reg.py wrote a
// scenario into them: it reads back exactly the scenario's devices and values, Wine's own devices
// aside, and it survives the registry's faults with every key and set given back.
//   test_wine_backend.exe --scenario FILE [gtest options]
// The last test changes the prefix's registry (a huge property, no serial-port map): run it in a
// prefix of its own, as the CTest test does.
// clang-format off
#include <windows.h>
#include <cfgmgr32.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/text.h"
#include "common/win_codes.h"
#include "devices/device_property.h"
#include "devices/driver_problems.h"
#include "memory/memory_machine.h"
#include "port_list/port_list.h"
#include "ports/cls_com_enum.h"
#include "ports/port_device_table.h"
#include "support/fakes.h"
#include "win32/win32_devices.h"
#include "win32/win32_registry.h"

namespace velmaro::win32 {
namespace {

std::filesystem::path scenarioFile;

// What the conversion tool writes for a device without a class, which Wine would not list.
constexpr const char* kUnknownClassGuid = "{4D36E97E-E325-11CE-BFC1-08002BE10318}";

// Wine keeps no value behind these property codes and fails them without a reason, which the
// backend reports as a property the device lacks.
bool WineKeepsProperty(std::uint32_t code) {
    return code != 3 && code != 5 && code != 6 && code != 14 && code < 19;
}

// A value as a line that compares across code pages (the prefix's is 1252): the string types in
// UTF-8 with "|" for each NUL, everything else in hex.
std::string Shown(std::uint32_t type, const std::string& bytes) {
    std::string shown = "type " + std::to_string(type) + ": ";
    const bool text = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
    for (const char c : text ? memory::Cp1252ToUtf8(bytes) : bytes) {
        char hex[3] = {};
        std::snprintf(hex, sizeof(hex), "%02x", static_cast<unsigned char>(c));
        shown += text ? std::string(1, c == '\0' ? '|' : c) : std::string(hex);
    }
    return shown;
}

std::string ShownMemory(const memory::RawValue& value) {
    return Shown(value.type, std::string(value.data.begin(), value.data.end()));
}

// One property read the way the core reads it: a size query, then exactly that size.
std::string ReadProperty(Win32Devices& devices, DevInfoSet set, const DevInfoData& data, std::uint32_t code) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (devices.GetDeviceRegistryProperty(set, data, code, &type, nullptr, 0, &size)) {
        return "read without a buffer";
    }
    if (const auto error = devices.GetLastError(); error != kErrorInsufficientBuffer) {
        return error == kErrorInvalidData ? "missing" : "error " + std::to_string(error);
    }
    std::string bytes(size, '\0');
    auto* buffer = reinterpret_cast<std::uint8_t*>(bytes.data());
    return devices.GetDeviceRegistryProperty(set, data, code, &type, buffer, size, &size)
               ? Shown(type, bytes)
               : "error " + std::to_string(devices.GetLastError());
}

std::string InstanceId(const DevInfoData& data) {
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDA(data.devInst, id, sizeof(id), 0) == CR_SUCCESS ? UpperCase(id) : std::string();
}

using DeviceProperties = std::map<std::uint32_t, std::string>;  // SPDRP_ code -> shown value
using DeviceList = std::map<std::string, DeviceProperties>;     // instance ID in capitals -> properties

class BackendTest : public ::testing::Test {
  protected:
    void SetUp() override { memory::LoadScenarioFile(scenarioFile, scenario); }

    // The scenario's devices that a walk lists, with what Wine can give of each property.
    DeviceList Expected(bool comportInterfaceOnly) const {
        DeviceList list;
        for (const auto& device : scenario.Devices()) {
            if (!device.present || (comportInterfaceOnly && !device.comportInterface)) {
                continue;
            }
            DeviceProperties& properties = list[UpperCase(device.instance)];
            for (std::uint32_t code = 0; code <= SPDRP_ADDRESS; ++code) {
                const auto it = device.properties.find(code);
                properties[code] =
                    !WineKeepsProperty(code) || it == device.properties.end() ? "missing" : ShownMemory(it->second);
            }
            if (!device.properties.contains(SPDRP_CLASSGUID)) {
                properties[SPDRP_CLASSGUID] = ShownMemory(memory::SzValue(kUnknownClassGuid));
                if (!device.properties.contains(SPDRP_CLASS)) {
                    properties[SPDRP_CLASS] = ShownMemory(memory::SzValue("Unknown"));  // Wine names it after the GUID
                }
            }
        }
        return list;
    }

    // What the backend lists of the scenario's devices (the others are Wine's own) and how the walk ended.
    DeviceList Listed(const Guid& guid, std::uint32_t flags, std::uint32_t& endError) {
        std::set<std::string> ours;
        for (const auto& device : scenario.Devices()) {
            ours.insert(UpperCase(device.instance));
        }
        DeviceList list;
        const DevInfoSet set = devices.GetClassDevs(guid, flags);
        DevInfoData data;
        data.cbSize = kDevInfoDataSize;
        for (std::uint32_t index = 0; devices.EnumDeviceInfo(set, index, data); ++index) {
            const std::string id = InstanceId(data);
            for (std::uint32_t code = 0; ours.contains(id) && code <= SPDRP_ADDRESS; ++code) {
                list[id][code] = ReadProperty(devices, set, data, code);
            }
        }
        endError = devices.GetLastError();
        devices.DestroyDeviceInfoList(set);
        return list;
    }

    // The values of every key that the scenario gives values, as the memory machine and as the
    // backend enumerate them; key path -> value name -> shown value.
    using KeyValues = std::map<std::string, std::map<std::string, std::string>>;
    static void CollectValues(IRegistryService& service, const std::string& path, bool below, KeyValues& out) {
        RegHandle key = 0;
        if (service.OpenKeyEx(RootHandle(kHkeyLocalMachine), path, kKeyRead, key) != kErrorSuccess) {
            return;
        }
        char name[1024];
        std::vector<std::uint8_t> data(1 << 16);
        std::uint32_t length = sizeof(name);
        std::uint32_t type = 0;
        for (std::uint32_t index = 0, size = data.size();
             service.EnumValue(key, index, name, length, &type, data.data(), &size) == kErrorSuccess;
             ++index, length = sizeof(name), size = data.size()) {
            out[UpperCase(path)][std::string(name, length)] =
                Shown(type, std::string(data.begin(), data.begin() + size));
        }
        for (std::uint32_t index = 0;
             below && service.EnumKeyEx(key, index, name, length = sizeof(name)) == kErrorSuccess; ++index) {
            const std::string sub(name, length);
            CollectValues(service, path.empty() ? sub : path + "\\" + sub, true, out);
        }
        service.CloseKey(key);
    }

    bool Released() const { return registry.OpenKeyCount() == 0 && devices.OpenSetCount() == 0; }

    memory::MemoryMachine scenario;
    Win32Registry registry;
    Win32Devices devices;
    testing::FakeUserServices user;
    Services services = user.Over(registry, devices);
    testing::RecordingMessageBox& messages = user.messages;
    testing::FakeClipboard& clipboard = user.clipboard;
};

TEST_F(BackendTest, EachWalkListsExactlyTheScenariosPresentDevices) {
    const std::tuple<const char*, Guid, std::uint32_t, bool> walks[] = {
        {"COM-port interface walk", kGuidDevInterfaceComport, 0x16, true},
        {"walk over every class", kGuidNull, 6, false},
    };
    for (const auto& [what, guid, flags, comportInterfaceOnly] : walks) {
        SCOPED_TRACE(what);
        std::uint32_t endError = 0;
        const DeviceList listed = Listed(guid, flags, endError);
        EXPECT_EQ(endError, static_cast<std::uint32_t>(kErrorNoMoreItems));
        EXPECT_EQ(listed, Expected(comportInterfaceOnly));
        EXPECT_TRUE(Released());
    }
}

TEST_F(BackendTest, EveryKeyOfTheScenarioReadsBackValueForValue) {
    KeyValues expected;
    CollectValues(scenario, "", true, expected);
    ASSERT_FALSE(expected.empty());
    KeyValues read;
    for (const auto& [path, values] : expected) {
        CollectValues(registry, path, false, read);
    }
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(Released());
}

// The status call on every device of the real walk: it answers without harm for each, the devices
// (which carry no problem in Wine's registry) have none, and a set that is gone gives "unknown".
TEST_F(BackendTest, StatusOfEveryDeviceOfTheWalk) {
    const DevInfoSet set = devices.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    int walked = 0;
    int answered = 0;
    for (std::uint32_t index = 0; devices.EnumDeviceInfo(set, index, data); ++index) {
        ++walked;
        if (const std::optional<DevNodeStatus> status = devices.GetDevNodeStatus(set, data)) {
            ++answered;
            EXPECT_EQ(status->problem, 0u) << ReadProperty(devices, set, data, SPDRP_DEVICEDESC);
        }
    }
    EXPECT_GT(walked, 0);
    // Wine answers for the scenario's devices; a node it keeps for itself may stay "unknown".
    EXPECT_GE(answered, walked - 1);
    EXPECT_GT(answered, 0);
    EXPECT_TRUE(devices.DestroyDeviceInfoList(set));
    EXPECT_EQ(devices.GetDevNodeStatus(set, data), std::nullopt);
    EXPECT_TRUE(Released());
}

// Faults made in Wine's registry, each with the result the core's routines must give; the backend
// hands back every key and set whatever happened. The rows run in order: later ones build on the
// damage of earlier ones.
TEST_F(BackendTest, FaultsGiveTheRoutinesResultsAndLeakNothing) {
    // A port-class device of the scenario on the COM-port interface, to spoil.
    std::string instance;
    for (const auto& device : scenario.Devices()) {
        const auto it = device.properties.find(SPDRP_CLASS);
        if (instance.empty() && device.present && device.comportInterface && it != device.properties.end() &&
            ShownMemory(it->second) == "type 1: Ports|") {
            instance = device.instance;
        }
    }
    ASSERT_FALSE(instance.empty()) << "the scenario needs a port-class device on the COM-port interface";
    const std::string enumKey = "SYSTEM\\CurrentControlSet\\Enum\\" + instance;
    const auto setValue = [&](const char* name, DWORD type, const std::string& bytes) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, enumKey.c_str(), name, type, bytes.data(), bytes.size());
    };
    // Reads one property of the device through the core, with "Capabilities" set first when given.
    const auto readProperty = [&](std::uint32_t code, const std::string& capabilities = "") {
        if (!capabilities.empty()) {
            setValue("Capabilities", REG_DWORD, capabilities);
        }
        const std::size_t shown = messages.Texts().size();
        const DevInfoSet set = devices.GetClassDevs(kGuidNull, 6);
        DevInfoData data;
        data.cbSize = kDevInfoDataSize;
        std::string text = "device not listed";
        for (std::uint32_t index = 0; devices.EnumDeviceInfo(set, index, data); ++index) {
            if (InstanceId(data) == UpperCase(instance)) {
                text = GetDeviceProperty(devices, messages, set, data, code);
            }
        }
        devices.DestroyDeviceInfoList(set);
        return "[" + text + "] " + (messages.Texts().size() == shown ? "no message" : messages.Texts().back());
    };
    const std::string hugeName(1'000'000, 'A');
    const struct {
        const char* what;
        std::function<std::string()> outcome;
        std::string expected;
    } rows[] = {
        {"a property that Wine does not keep", [&] { return readProperty(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME); },
         "[] no message"},
        {"a number of three bytes", [&] { return readProperty(SPDRP_CAPABILITIES, std::string("\x01\x02\x03", 3)); },
         "[197121] no message"},
        {"a number of eight bytes",
         [&] { return readProperty(SPDRP_CAPABILITIES, "\x01\x02\x03\x04\x05\x06\x07\x08"); },
         std::string("[] ") + kMsgCantReadProperty},
        {"a friendly name of a million characters, then the port table",
         [&] {
             setValue("FriendlyName", REG_SZ, hugeName + " (COM9)" + std::string(1, '\0'));
             PortDeviceTable table;
             CollectPortDevices(services, table);
             for (std::size_t row = 0; row < table.Rows(); ++row) {
                 if (table.PortNumbers[row] == 9) {
                     return "COM 9: " + std::to_string(table.PortDescs[row].size()) + " characters, " +
                            (table.PortDescs[row] == hugeName ? "all A" : "changed");
                 }
             }
             return std::string("no row for COM 9");
         },
         "COM 9: 1000000 characters, all A"},
        {"the driver-problem walk with the device dump",
         [&] {
             PortDeviceTable table;
             std::vector<PortRow> rows;
             DetectDriverProblems(services, table.PortHardwareIds, rows, true);
             const bool dumped = clipboard.hasText && clipboard.text.find(hugeName) != std::string::npos;
             return (dumped ? "dump with the huge name, " : "no dump, ") + messages.Texts().back();
         },
         std::string("dump with the huge name, ") + kMsgDumpCopied},
        {"no serial-port map",
         [&] {
             RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
             clsComEnum ports(registry);
             std::string errors;
             ports.Error = [&](std::int32_t code) { errors += " " + std::to_string(code); };
             ports.Refresh();
             return std::to_string(ports.CountPorts()) + " slot " + ports.GetPortName(0) + ", errors:" + errors;
         },
         "1 slot COM0, errors: 2"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.outcome(), row.expected);
        EXPECT_TRUE(Released());
    }
}

}  // namespace
}  // namespace velmaro::win32

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3 || std::string(argv[1]) != "--scenario") {
        std::cerr << "usage: test_wine_backend.exe --scenario FILE [gtest options]\n";
        return 2;
    }
    velmaro::win32::scenarioFile = argv[2];
    return RUN_ALL_TESTS();
}
