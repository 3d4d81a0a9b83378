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

#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/win_codes.h"
#include "devices/device_property.h"
#include "devices/driver_problems.h"
#include "memory/memory_machine.h"
#include "memory/scenario.h"
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

// A value as a line that compares across code pages: the string types in UTF-8 with "|" for each
// NUL, everything else in hex.
std::string Shown(std::uint32_t type, const std::string& bytes, const std::function<std::string(std::string)>& toUtf8) {
    std::string shown = "type " + std::to_string(type) + ": ";
    if (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) {
        for (const char c : toUtf8(bytes)) {
            shown += c == '\0' ? '|' : c;
        }
        return shown;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        shown += kDigits[byte >> 4];
        shown += kDigits[byte & 15];
    }
    return shown;
}

std::string ShownMemory(const memory::RawValue& value) {
    return Shown(value.type, std::string(value.data.begin(), value.data.end()),
                 [](const std::string& s) { return memory::Cp1252ToUtf8(s); });
}

// One property read the way the core reads it: a size query, then exactly that size.
std::string ReadProperty(Win32Devices& devices, DevInfoSet set, const DevInfoData& data, std::uint32_t code) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (devices.GetDeviceRegistryProperty(set, data, code, &type, nullptr, 0, &size)) {
        return "read without a buffer";
    }
    if (devices.GetLastError() == kErrorInvalidData) {
        return "missing";
    }
    if (devices.GetLastError() != kErrorInsufficientBuffer) {
        return "error " + std::to_string(devices.GetLastError());
    }
    std::string bytes(size, '\0');
    if (!devices.GetDeviceRegistryProperty(set, data, code, &type, reinterpret_cast<std::uint8_t*>(bytes.data()), size,
                                           &size)) {
        return "error " + std::to_string(devices.GetLastError());
    }
    return Shown(type, bytes, [&](const std::string& s) { return devices.AnsiToUtf8(s); });
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

    // What the backend lists of the scenario's devices; the others are Wine's own.
    DeviceList Listed(const Guid& guid, std::uint32_t flags, std::uint32_t& endError, int& wineDevices) {
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
            if (!ours.contains(id)) {
                ++wineDevices;
                continue;
            }
            for (std::uint32_t code = 0; code <= SPDRP_ADDRESS; ++code) {
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
    static void CollectValues(IRegistryService& service,
                              RegHandle root,
                              const std::string& path,
                              const std::set<std::string>* only,
                              KeyValues& out) {
        RegHandle key = 0;
        if (service.OpenKeyEx(root, path, kKeyRead, key) != kErrorSuccess) {
            return;
        }
        std::vector<char> name(1024);
        std::vector<std::uint8_t> data(1 << 16);
        for (std::uint32_t index = 0;; ++index) {
            std::uint32_t length = static_cast<std::uint32_t>(name.size());
            std::uint32_t type = 0;
            std::uint32_t size = static_cast<std::uint32_t>(data.size());
            if (service.EnumValue(key, index, name.data(), length, &type, data.data(), &size) != kErrorSuccess) {
                break;
            }
            out[UpperCase(path)][std::string(name.data(), length)] =
                Shown(type, std::string(data.begin(), data.begin() + size),
                      [&](const std::string& s) { return service.AnsiToUtf8(s); });
        }
        for (std::uint32_t index = 0; only == nullptr; ++index) {
            std::uint32_t length = static_cast<std::uint32_t>(name.size());
            if (service.EnumKeyEx(key, index, name.data(), length) != kErrorSuccess) {
                break;
            }
            const std::string sub = std::string(name.data(), length);
            CollectValues(service, root, path.empty() ? sub : path + "\\" + sub, nullptr, out);
        }
        service.CloseKey(key);
    }

    bool Released() const { return registry.OpenKeyCount() == 0 && devices.OpenSetCount() == 0; }

    memory::MemoryMachine scenario;
    Win32Registry registry;
    Win32Devices devices;
};

TEST_F(BackendTest, EachWalkListsExactlyTheScenariosPresentDevices) {
    struct Walk {
        const char* what;
        Guid guid;
        std::uint32_t flags;
        bool comportInterfaceOnly;
    };
    const Walk walks[] = {
        {"COM-port interface walk", kGuidDevInterfaceComport, 0x16, true},
        {"walk over every class", kGuidNull, 6, false},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.what);
        std::uint32_t endError = 0;
        int wineDevices = 0;
        const DeviceList listed = Listed(walk.guid, walk.flags, endError, wineDevices);
        EXPECT_EQ(endError, static_cast<std::uint32_t>(kErrorNoMoreItems));
        const DeviceList expected = Expected(walk.comportInterfaceOnly);
        std::set<std::string> listedIds;
        std::set<std::string> expectedIds;
        for (const auto& [id, properties] : listed) {
            listedIds.insert(id);
        }
        for (const auto& [id, properties] : expected) {
            expectedIds.insert(id);
        }
        EXPECT_EQ(listedIds, expectedIds);
        for (const auto& [id, properties] : expected) {
            if (listed.contains(id)) {
                for (const auto& [code, value] : properties) {
                    EXPECT_EQ(listed.at(id).at(code), value) << id << " property " << code;
                }
            }
        }
        std::cout << walk.what << ": " << listed.size() << " of the scenario's devices, " << wineDevices
                  << " of Wine's own\n";
        EXPECT_TRUE(Released());
    }
}

TEST_F(BackendTest, EveryKeyOfTheScenarioReadsBackValueForValue) {
    KeyValues expected;
    CollectValues(scenario, RootHandle(kHkeyLocalMachine), "", nullptr, expected);
    std::set<std::string> paths;
    for (const auto& [path, values] : expected) {
        paths.insert(path);
    }
    ASSERT_FALSE(paths.empty());
    KeyValues read;
    for (const auto& path : paths) {
        CollectValues(registry, RootHandle(kHkeyLocalMachine), path, &paths, read);
    }
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(Released());
}

// Faults made in Wine's registry, each with the result the core's routines must give; the backend
// hands back every key and set whatever happened.
TEST_F(BackendTest, FaultsGiveTheRoutinesResultsAndLeakNothing) {
    // A port-class device of the scenario to spoil: its key, and a set and record to read it by.
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
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, enumKey.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    };
    const auto readProperty = [&](std::uint32_t code, testing::RecordingMessageBox& messages) {
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
        return text;
    };

    struct Row {
        const char* what;
        std::function<std::string(testing::RecordingMessageBox&)> outcome;
        std::string expected;
    };
    const std::string hugeName(1'000'000, 'A');
    const std::vector<Row> rows = {
        {"a modem's driver key that is missing",
         [&](testing::RecordingMessageBox&) {
             std::optional<RegValue> value;
             const auto status = QueryRegValue(
                 registry, kHkeyLocalMachine,
                 "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0099",
                 "AttachedTo", value);
             return std::to_string(status) + (value ? " delivered" : " nothing delivered");
         },
         "2 nothing delivered"},
        {"a property that Wine does not keep",
         [&](testing::RecordingMessageBox& m) {
             return "[" + readProperty(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, m) + "]";
         },
         "[]"},
        {"a number of three bytes",
         [&](testing::RecordingMessageBox& m) {
             setValue("Capabilities", REG_DWORD, std::string("\x01\x02\x03", 3));
             return readProperty(SPDRP_CAPABILITIES, m);
         },
         "197121"},
        {"a number of eight bytes",
         [&](testing::RecordingMessageBox& m) {
             setValue("Capabilities", REG_DWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
             const std::string text = readProperty(SPDRP_CAPABILITIES, m);
             return "[" + text + "] " + (m.Texts().empty() ? "no message" : m.Texts().front());
         },
         std::string("[] ") + kMsgCantReadProperty},
        {"a friendly name of a million characters, then the port table",
         [&](testing::RecordingMessageBox& m) {
             setValue("FriendlyName", REG_SZ, hugeName + " (COM9)" + std::string(1, '\0'));
             PortDeviceTable table;
             testing::FakeClipboard clipboard;
             testing::FixedClock clock;
             testing::RecordingPointer pointer;
             CollectPortDevices(Services{registry, devices, m, clipboard, clock, pointer}, table);
             std::string found = "no row for COM 9";
             for (std::size_t row = 0; row < table.Rows(); ++row) {
                 if (table.PortNumbers[row] == 9) {
                     found = "COM 9: " + std::to_string(table.PortDescs[row].size()) + " characters, " +
                             (table.PortDescs[row] == hugeName ? "all A" : "changed");
                 }
             }
             return found;
         },
         "COM 9: 1000000 characters, all A"},
        {"the driver-problem walk with the device dump",
         [&](testing::RecordingMessageBox& m) {
             PortDeviceTable table;
             PortListModel list;
             testing::FakeClipboard clipboard;
             testing::FixedClock clock;
             testing::RecordingPointer pointer;
             const bool clipboardRequested = true;
             DetectDriverProblems(Services{registry, devices, m, clipboard, clock, pointer}, table, list,
                                  clipboardRequested);
             return std::string(clipboard.hasText && clipboard.text.find(hugeName) != std::string::npos
                                    ? "dump with the huge name"
                                    : "no dump") +
                    ", " + m.Texts().back();
         },
         std::string("dump with the huge name, ") + kMsgDumpCopied},
        {"no serial-port map",
         [&](testing::RecordingMessageBox&) {
             RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
             clsComEnum ports(registry);
             std::vector<std::int32_t> errors;
             ports.Error = [&](std::int32_t code) { errors.push_back(code); };
             ports.Refresh();
             return std::to_string(ports.CountPorts()) + " slot " + ports.GetPortName(0) + ", errors " +
                    std::to_string(errors.size()) + "x" + std::to_string(errors.empty() ? 0 : errors[0]);
         },
         "1 slot COM0, errors 1x2"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        testing::RecordingMessageBox messages;
        EXPECT_EQ(row.outcome(messages), row.expected);
        EXPECT_TRUE(Released());
    }
}

}  // namespace
}  // namespace velmaro::win32

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--scenario") {
            velmaro::win32::scenarioFile = argv[i + 1];
        }
    }
    if (velmaro::win32::scenarioFile.empty()) {
        std::cerr << "usage: test_wine_backend.exe --scenario FILE [gtest options]\n";
        return 2;
    }
    return RUN_ALL_TESTS();
}
