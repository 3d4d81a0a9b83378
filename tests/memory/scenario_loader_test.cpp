// The scenario loader: value syntax, error places, and safety on garbage.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/win_codes.h"
#include "memory/scenario.h"

namespace velmaro::memory {
namespace {

using namespace std::string_literals;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// clang-format off
constexpr const char* kSmallMachine = R"json({
    "registry": {
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Leer": {},
        "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM": {"\\Device\\Serial1": "COM2", "\\Device\\Serial0": "COM1"},
        "HKEY_CLASSES_ROOT\\.txt": {"": "txtfile"}
    },
    "devices": [
        {"instance": "ACPI\\PNP0501\\1", "comport_interface": true,
         "properties": {"FriendlyName": "Kommunikationsanschluss (COM1)", "HardwareID": ["ACPI\\PNP0501", "*PNP0501"]}},
        {"instance": "USB\\ROOT_HUB\\1", "present": false, "properties": {"DevType": 7, "Address": 0}}
    ]
})json";

constexpr const char* kOnePort = R"json({
    "registry": {"HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM": {"\\Device\\Serial0": "COM1"}},
    "devices": [{"instance": "ACPI\\PNP0501\\1", "comport_interface": true, "properties": {
        "FriendlyName": "Kommunikationsanschluss (COM1)", "HardwareID": ["ACPI\\PNP0501", "*PNP0501"],
        "ConfigFlags": 0, "Security": {"type": "REG_BINARY", "hex": "0100048000000000"},
        "Capabilities": {"type": "REG_DWORD", "data": 132}}}]
})json";

constexpr const char* kBrokenAtTheEnd = R"json({
    "registry": {"HKEY_LOCAL_MACHINE\\X": {"v": 1}},
    "devices": [{"instance": "A"}, {"instance": "B", "properties": {"Bogus": 1}}]
})json";
// clang-format on

// The message of the ScenarioError, or "<loaded>".
std::string ErrorOf(std::string_view text, MemoryMachine& machine) {
    try {
        LoadScenarioText(text, "t.json", machine);
    } catch (const ScenarioError& error) {
        return error.what();
    }
    return "<loaded>";
}

std::string ErrorOf(std::string_view text) {
    MemoryMachine machine;
    return ErrorOf(text, machine);
}

std::string WithValue(const std::string& value) {
    return R"({"registry": {"HKEY_CURRENT_USER\\Test": {"v": )" + value + "}}}";
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

struct ValueCase {
    const char* json;
    RawValue expected;
};

TEST(ScenarioValues, EverySyntax) {
    // clang-format off
    const ValueCase cases[] = {
        {R"("Grüße")", {kRegSz, Bytes("Gr\xFC\xDF" "e\0"s)}},
        {R"("")", {kRegSz, {0}}},
        {R"("A\u0000B")", {kRegSz, Bytes("A\0B\0"s)}},
        {R"(["A", "BC"])", {kRegMultiSz, Bytes("A\0BC\0\0"s)}},
        {R"(132)", {kRegDword, {132, 0, 0, 0}}},
        {R"(4294967295)", {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {R"(-1)", {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {R"(-2147483648)", {kRegDword, {0, 0, 0, 0x80}}},
        {R"({"type": "REG_EXPAND_SZ", "data": "%SystemRoot%"})", {kRegExpandSz, Bytes("%SystemRoot%\0"s)}},
        {R"({"type": "REG_LINK", "data": "x"})", {kRegLink, {'x', 0}}},
        {R"({"type": "REG_DWORD", "data": 132})", {kRegDword, {132, 0, 0, 0}}},
        {R"({"type": "REG_DWORD_BIG_ENDIAN", "data": 258})", {kRegDwordBigEndian, {0, 0, 1, 2}}},
        {R"({"type": "REG_QWORD", "data": 258})", {kRegQword, {2, 1, 0, 0, 0, 0, 0, 0}}},
        {R"({"type": "REG_MULTI_SZ", "data": []})", {kRegMultiSz, {0}}},
        {R"({"type": "REG_BINARY", "hex": "01 00 04 80"})", {kRegBinary, {0x01, 0x00, 0x04, 0x80}}},
        {R"({"type": "REG_BINARY", "hex": "0100048000000000"})", {kRegBinary, {1, 0, 4, 0x80, 0, 0, 0, 0}}},
        {R"({"type": "REG_NONE", "hex": ""})", {kRegNone, {}}},
        {R"({"type": "REG_SZ", "hex": "41 00 42"})", {kRegSz, {'A', 0, 'B'}}},
        {R"({"type": 8, "hex": "fF"})", {8, {0xFF}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        MemoryMachine machine;
        ASSERT_EQ(ErrorOf(WithValue(c.json), machine), "<loaded>");
        const RawValue* value = machine.FindValue(kHkeyCurrentUser, "Test", "v");
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(*value, c.expected);
    }
}

TEST(ScenarioValues, KeysValuesAndDevices) {
    MemoryMachine machine;
    ASSERT_EQ(ErrorOf(kSmallMachine, machine), "<loaded>");
    EXPECT_TRUE(machine.HasKey(kHkeyLocalMachine, "SOFTWARE\\Leer"));
    ASSERT_NE(machine.FindValue(kHkeyClassesRoot, ".txt", ""), nullptr);
    EXPECT_EQ(*machine.FindValue(kHkeyClassesRoot, ".txt", ""), SzValue("txtfile"));

    // Values keep the order of the file.
    RegHandle key = 0;
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyLocalMachine), "HARDWARE\\DEVICEMAP\\SERIALCOMM", kKeyRead, key), 0);
    char name[32];
    std::uint32_t length = sizeof name;
    ASSERT_EQ(machine.EnumValue(key, 0, name, length, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(std::string(name), "\\Device\\Serial1");
    machine.CloseKey(key);

    ASSERT_EQ(machine.Devices().size(), 2u);
    const MemoryDevice& port = machine.Devices()[0];
    EXPECT_EQ(port.instance, "ACPI\\PNP0501\\1");
    EXPECT_TRUE(port.comportInterface);
    EXPECT_TRUE(port.present);
    EXPECT_EQ(port.properties.at(SPDRP_FRIENDLYNAME), SzValue("Kommunikationsanschluss (COM1)"));
    EXPECT_EQ(port.properties.at(SPDRP_HARDWAREID), MultiSzValue({"ACPI\\PNP0501", "*PNP0501"}));
    const MemoryDevice& hub = machine.Devices()[1];
    EXPECT_FALSE(hub.comportInterface);
    EXPECT_FALSE(hub.present);
    EXPECT_EQ(hub.properties.at(SPDRP_DEVTYPE), DwordValue(7));
    EXPECT_EQ(hub.properties.at(SPDRP_ADDRESS), DwordValue(0));
}

TEST(ScenarioValues, PropertyNames) {
    const std::pair<const char*, int> cases[] = {
        {"DeviceDesc", 0},
        {"HardwareID", 1},
        {"Service", 4},
        {"ClassGUID", 8},
        {"FriendlyName", 12},
        {"UINumber", 16},
        {"PhysicalDeviceObjectName", 14},
        {"SecuritySDS", 24},
        {"Address", 28},
        {"friendlyname", -1},
        {"SPDRP_CLASS", -1},
        {"", -1},
    };
    for (const auto& [name, code] : cases) {
        EXPECT_EQ(PropertyCodeFromName(name), code) << name;
    }
}

struct ErrorCase {
    std::string json;
    std::string message;
};

TEST(ScenarioErrors, ContentErrorsNameTheJsonPointer) {
    const std::string v = R"(t.json: /registry/HKEY_CURRENT_USER\Test/v)";
    // clang-format off
    const ErrorCase cases[] = {
        {WithValue("4294967296"), v + ": expected an integer from -2147483648 to 4294967295, found an integer (4294967296)"},
        {WithValue("-2147483649"), v + ": expected an integer from -2147483648 to 4294967295, found an integer (-2147483649)"},
        {WithValue("1.5"), v + ": expected an integer from -2147483648 to 4294967295, found a number (1.5)"},
        {WithValue("true"), v + R"(: expected a string, an array of strings, an integer or an object {"type": ..., "data" or "hex": ...}, found a boolean)"},
        {WithValue(R"(["A", 1])"), v + "/1: expected a string, found an integer"},
        {WithValue(R"({"type": "REG_BINARY", "data": "0100"})"), v + R"(/data: this type takes its bytes under "hex", not "data")"},
        {WithValue(R"({"type": "REG_BINARY", "hex": "0 1"})"), v + "/hex: expected pairs of hex digits separated by blanks; the problem is at character 2"},
        {WithValue(R"({"type": "REG_BINARY", "hex": "010"})"), v + "/hex: an odd number of hex digits"},
        {WithValue(R"({"type": "REG_DWROD", "data": 1})"), v + R"(/type: unknown type "REG_DWROD"; expected REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ, REG_QWORD or a number from 8)"},
        {WithValue(R"({"type": 4, "data": 1})"), v + "/type: type 4 must be given by its name, REG_DWORD"},
        {WithValue(R"({"type": "REG_DWORD", "data": "1"})"), v + "/data: expected an integer from -2147483648 to 4294967295, found a string"},
        {WithValue(R"({"type": "REG_SZ"})"), v + R"(: missing member "data" or "hex")"},
        {WithValue(R"({"type": "REG_SZ", "data": "a", "hex": "00"})"), v + R"(: give either "data" or "hex", not both)"},
        {WithValue(R"({"data": "a"})"), v + R"(: missing member "type")"},
        {WithValue(R"({"type": "REG_SZ", "date": "a"})"), v + R"(/date: unknown member; expected "type", "data" or "hex")"},
        {"[]", "t.json: (top level): expected an object at the top level, found an array"},
        {R"({"registy": {}})", R"(t.json: /registy: unknown member; expected "registry" or "devices")"},
        {R"({"registry": {"HKLM\\X": {}}})", R"(t.json: /registry/HKLM\X: the key path must start with HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_CONFIG)"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\A\\\\B": {}}})", R"(t.json: /registry/HKEY_LOCAL_MACHINE\A\\B: empty key name in the key path)"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\A": []}})", R"(t.json: /registry/HKEY_LOCAL_MACHINE\A: expected an object of values, found an array)"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\A": {"x": 1, "X": 2}}})", R"(t.json: /registry/HKEY_LOCAL_MACHINE\A/X: this value name occurs twice (letter case is ignored))"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\a/b~c": {"v": null}}})", R"(t.json: /registry/HKEY_LOCAL_MACHINE\a~1b~0c/v: expected a string, an array of strings, an integer or an object {"type": ..., "data" or "hex": ...}, found a null)"},
        {R"({"devices": {}})", "t.json: /devices: expected an array of devices, found an object"},
        {R"({"devices": [], "devices": []})", "t.json: /devices: this member occurs twice"},
        {R"({"devices": ["A"]})", "t.json: /devices/0: expected a device object, found a string"},
        {R"({"devices": [{"properties": {}}]})", R"(t.json: /devices/0: missing member "instance")"},
        {R"({"devices": [{"instance": ""}]})", "t.json: /devices/0/instance: the instance must not be empty"},
        {R"({"devices": [{"instance": "A", "comport": true}]})", R"(t.json: /devices/0/comport: unknown member; expected "instance", "comport_interface", "present" or "properties")"},
        {R"({"devices": [{"instance": "A", "present": 1}]})", "t.json: /devices/0/present: expected true or false, found an integer"},
        {R"({"devices": [{"instance": "usb\\x"}, {"instance": "USB\\X"}]})", R"(t.json: /devices/1/instance: the instance "USB\X" is already used by /devices/0)"},
        {R"({"devices": [{"instance": "A"}, {"instance": "B", "properties": {"FriendlyNmae": "x"}}]})", R"(t.json: /devices/1/properties/FriendlyNmae: unknown property name "FriendlyNmae")"},
        {R"({"devices": [{"instance": "A", "properties": {"HardwareID": ["x", 1]}}]})", "t.json: /devices/0/properties/HardwareID/1: expected a string, found an integer"},
        {R"({"devices": [{"instance": "A", "properties": {"Class": "Ports", "Class": "Modem"}}]})", "t.json: /devices/0/properties/Class: this member occurs twice"},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorOf(c.json), c.message) << c.json;
    }
}

TEST(ScenarioErrors, SyntaxErrorsNameLineAndColumn) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"", "t.json:1:1: "},
        {"   \n  ", "t.json:2:3: "},  // ended too early, just after the last blank
        {"{\n  \"devices\": [\n    {\"instance\": \"A\",}\n  ]\n}", "t.json:3:22: "},
        {"{\"registry\": \"\xFF\"}", "t.json:1:15: "},
        {"{\"devices\": []} x", "t.json:1:17: "},
        {"{\"devices\": [1e500]}", "t.json:1:18: "},
        {"{\"a\"\0}"s, "t.json:1:5: "},
        {"\xEF\xBB\xBF{\"a\"}", "t.json:1:5: "},  // the byte order mark takes no column
        {"{\"Stra\xC3\x9F" "e\" 1}", "t.json:1:11: "},  // columns count characters, not bytes
    };
    // clang-format on
    for (const auto& [json, place] : cases) {
        SCOPED_TRACE(json);
        EXPECT_THAT(ErrorOf(json), StartsWith(place));
    }
    EXPECT_THAT(ErrorOf("{\"devices\": [1e500]}"), HasSubstr("1e500"));
    EXPECT_THAT(ErrorOf("{\"a\": tru}"), HasSubstr("syntax error"));
}

TEST(ScenarioErrors, MalformedFileChangesNothing) {
    MemoryMachine machine;
    EXPECT_THAT(ErrorOf(kBrokenAtTheEnd, machine), HasSubstr("/devices/1/properties/Bogus"));
    EXPECT_FALSE(machine.HasKey(kHkeyLocalMachine, "X"));
    EXPECT_TRUE(machine.Devices().empty());
}

TEST(ScenarioErrors, FileErrorsNameTheFile) {
    MemoryMachine machine;
    try {
        LoadScenarioFile("no-such-dir/none.json", machine);
        FAIL() << "loaded a missing file";
    } catch (const ScenarioError& error) {
        EXPECT_THAT(error.what(), StartsWith("no-such-dir/none.json: cannot open the file"));
    }
    EXPECT_THROW(LoadScenarioFile(VELMARO_SCENARIO_DIR, machine), ScenarioError);  // a folder
}

TEST(ScenarioErrors, GarbageNeverEscapesAsAnythingButScenarioError) {
    const std::string deepArray = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ(ErrorOf(R"({"devices": )" + deepArray + "}"),
              "t.json: /devices/0: expected a device object, found an array");
    EXPECT_THAT(ErrorOf(std::string(1000000, '{')), StartsWith("t.json:1:2: "));
    EXPECT_THAT(ErrorOf(std::string(1000000, '[')), StartsWith("t.json:1:1000001: "));
    EXPECT_THAT(ErrorOf(WithValue("99999999999999999999999")),
                StartsWith("t.json: /registry/HKEY_CURRENT_USER\\Test/v: expected an integer from -2147483648 to "
                           "4294967295, found a number ("));

    // Random damage to a real scenario: every outcome is a load or a ScenarioError.
    const std::string original = kOnePort;
    std::mt19937 random(20041215);
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        std::string text = original;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
                case 0:
                    text[at] = static_cast<char>(random() % 256);
                    break;
                case 1:
                    text.erase(at, random() % 8);
                    break;
                default:
                    text.insert(at, text.substr(random() % text.size(), random() % 16));
            }
        }
        MemoryMachine machine;
        const std::string result = ErrorOf(text, machine);
        if (result == "<loaded>") {
            ++loaded;
        } else {
            EXPECT_THAT(result, StartsWith("t.json")) << text;
        }
    }
    EXPECT_LT(loaded, 400);
}

}  // namespace
}  // namespace velmaro::memory
