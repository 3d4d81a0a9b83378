// Scenario files: the value syntax, the place every error message names, and the shipped machines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "common/win_codes.h"
#include "snapshot/scenario.h"

namespace velmaro::snapshot {
namespace {

using ::testing::StartsWith;
using ::testing::ThrowsMessage;

// Loading text into a fresh snapshot fails with this message, or with one that starts with it when
// it ends in ": " (a syntax error is only checked for its line and column), and changes nothing.
void ExpectError(const std::string& text, const std::string& message) {
    DeviceSnapshot machine;
    const auto matches = message.ends_with(": ") ? ::testing::Matcher<std::string>(StartsWith(message))
                                                 : ::testing::Matcher<std::string>(message);
    EXPECT_THAT([&] { LoadScenarioText(text, "t.json", machine); }, ThrowsMessage<ScenarioError>(matches)) << text;
    EXPECT_FALSE(machine.HasKey(kHkeyLocalMachine, "X"));
    EXPECT_TRUE(machine.Devices().empty());
}

// A scenario whose only value is v of HKEY_CURRENT_USER\Test.
std::string WithValue(const std::string& value) {
    return R"({"registry": {"HKEY_CURRENT_USER\\Test": {"v": )" + value + "}}}";
}

TEST(ScenarioValues, EverySyntax) {
    const std::pair<const char*, RawValue> cases[] = {
        {R"("Grüße")", {kRegSz, {'G', 'r', 0xFC, 0xDF, 'e', 0}}},
        {R"("A\u0000B")", {kRegSz, {'A', 0, 'B', 0}}},
        {R"(["A", "BC"])", {kRegMultiSz, {'A', 0, 'B', 'C', 0, 0}}},
        {R"(4294967295)", {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {R"({"type": "REG_EXPAND_SZ", "data": "%X%"})", {kRegExpandSz, {'%', 'X', '%', 0}}},
        {R"({"type": "REG_DWORD_BIG_ENDIAN", "data": 258})", {kRegDwordBigEndian, {0, 0, 1, 2}}},
        {R"({"type": "REG_QWORD", "data": 258})", {kRegQword, {2, 1, 0, 0, 0, 0, 0, 0}}},
        {R"({"type": "REG_BINARY", "hex": "01 00 fF"})", {kRegBinary, {0x01, 0x00, 0xFF}}},
        {R"({"type": "REG_NONE", "hex": ""})", {kRegNone, {}}},
        {R"({"type": 8, "hex": "4100"})", {8, {'A', 0}}},
    };
    for (const auto& [json, expected] : cases) {
        DeviceSnapshot machine;
        EXPECT_NO_THROW(LoadScenarioText(WithValue(json), "t.json", machine)) << json;
        EXPECT_THAT(machine.FindValue(kHkeyCurrentUser, "Test", "v"), ::testing::Pointee(expected)) << json;
    }
}

TEST(ScenarioValues, DevicesInFileOrder) {
    DeviceSnapshot machine;
    LoadScenarioText(R"({"devices": [{"instance": "A", "comport_interface": true},
                     {"instance": "B", "present": false, "properties": {"FriendlyName": "F", "Address": 0}}]})",
                     "t.json", machine);
    ASSERT_EQ(machine.Devices().size(), 2u);
    EXPECT_TRUE(machine.Devices()[0].comportInterface && machine.Devices()[0].present);
    const SnapshotDevice& b = machine.Devices()[1];
    EXPECT_TRUE(b.instance == "B" && !b.comportInterface && !b.present);
    EXPECT_EQ(b.properties,
              (std::map<std::uint32_t, RawValue>{{SPDRP_FRIENDLYNAME, SzValue("F")}, {SPDRP_ADDRESS, DwordValue(0)}}));
}

// A device's status: absent means unknown, {"problem": 0} a working device.
TEST(ScenarioValues, DeviceStatus) {
    DeviceSnapshot machine;
    LoadScenarioText(R"({"devices": [{"instance": "A", "status": {"problem": 28}}, {"instance": "B"},
                     {"instance": "C", "status": {"problem": 0}}]})",
                     "t.json", machine);
    ASSERT_EQ(machine.Devices().size(), 3u);
    EXPECT_EQ(machine.Devices()[0].status, (DevNodeStatus{0, 28}));
    EXPECT_EQ(machine.Devices()[1].status, std::nullopt);
    EXPECT_EQ(machine.Devices()[2].status, (DevNodeStatus{0, 0}));
}

TEST(ScenarioErrors, NameThePlaceAndChangeNothing) {
    const std::string v = R"(t.json: /registry/HKEY_CURRENT_USER\Test/v)";
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"[]", "t.json: (top level): expected an object at the top level, found an array"},
        {R"({"registy": {}})", R"(t.json: /registy: unknown member; expected "registry" or "devices")"},
        {R"({"registry": {"HKLM\\X": {}}})", R"(t.json: /registry/HKLM\X: the key path must start with HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_CONFIG)"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\A": {"x": 1, "X": 2}}})", R"(t.json: /registry/HKEY_LOCAL_MACHINE\A/X: this value name occurs twice (letter case is ignored))"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\a/b~c": {"v": null}}})", R"(t.json: /registry/HKEY_LOCAL_MACHINE\a~1b~0c/v: expected a string, an array of strings, an integer or an object {"type": ..., "data" or "hex": ...}, found a null)"},
        {WithValue("4294967296"), v + ": expected an integer from -2147483648 to 4294967295, found an integer (4294967296)"},
        {WithValue(R"({"type": "REG_DWROD", "data": 1})"), v + R"(/type: unknown type "REG_DWROD"; expected REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ, REG_QWORD or a number from 8)"},
        {WithValue(R"({"type": 4, "data": 1})"), v + "/type: type 4 must be given by its name, REG_DWORD"},
        {WithValue(R"({"type": "REG_BINARY", "hex": "0 1"})"), v + "/hex: expected pairs of hex digits separated by blanks; the problem is at character 2"},
        {R"({"devices": )" + std::string(100000, '[') + std::string(100000, ']') + "}", "t.json: /devices/0: expected a device object, found an array"},  // nested deeper than the loader reads
        {R"({"devices": [{"properties": {}}]})", R"(t.json: /devices/0: missing member "instance")"},
        {R"({"devices": [{"instance": "usb\\x"}, {"instance": "USB\\X"}]})", R"(t.json: /devices/1/instance: the instance "USB\X" is already used by /devices/0)"},
        {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"v": 1}}, "devices": [{"instance": "A"}, {"instance": "B", "properties": {"FriendlyNmae": 1}}]})", R"(t.json: /devices/1/properties/FriendlyNmae: unknown property name "FriendlyNmae")"},
        {R"({"devices": [{"instance": "A", "status": 28}]})", R"(t.json: /devices/0/status: expected an object like {"problem": 28}, found an integer)"},
        {R"({"devices": [{"instance": "A", "status": {}}]})", R"(t.json: /devices/0/status: missing member "problem")"},
        {R"({"devices": [{"instance": "A", "status": {"problem": 28, "flags": 1}}]})", R"(t.json: /devices/0/status/flags: unknown member; expected "problem")"},
        {R"({"devices": [{"instance": "A", "status": {"problem": "28"}}]})", R"(t.json: /devices/0/status/problem: expected an integer from -2147483648 to 4294967295, found a string)"},
        {R"({"devices": [{"instance": "A", "stat": {}}]})", R"(t.json: /devices/0/stat: unknown member; expected "instance", "comport_interface", "present", "properties" or "status")"},
        // Syntax errors name line and column; columns count characters, not bytes, and nesting
        // cannot exhaust the stack.
        {"", "t.json:1:1: "},
        {"{\n  \"devices\": [\n    {\"instance\": \"A\",}\n  ]\n}", "t.json:3:22: "},
        {"{\"Stra\xC3\x9F\x65\" 1}", "t.json:1:11: "},
        {std::string(1000000, '{'), "t.json:1:2: "},
    };
    // clang-format on
    for (const auto& [json, message] : cases) {
        ExpectError(json, message);
    }
}

// A NUL byte is named at its place whether the document is complete before it or not; a syntax
// error before it wins; the source's name comes out escaped.
TEST(ScenarioErrors, NulBytesTrailingContentAndNames) {
    using namespace std::string_literals;
    const std::string nul = ": a NUL byte, which no scenario holds";
    const struct {
        std::string name;
        std::string text;
        std::string message;
    } cases[] = {
        {"t.json", "{}\0garbage"s, "t.json:1:3" + nul},
        {"t.json", "{\"devices\": [\0]}"s, "t.json:1:14" + nul},
        {"t.json", "{\"registry\": {\"HKEY_LOCAL_MACHINE\\\\A\": {\"v\": \"a\0b\"}}}"s, "t.json:1:48" + nul},
        {"t.json", "\0"s, "t.json:1:1" + nul},
        {"t.json", "{\"devices\": ]\0"s,
         "t.json:1:13: syntax error while parsing value - unexpected ']'; expected '[', '{', or a literal"},
        {"t.json", "{}\n{}", "t.json:2:1: syntax error while parsing value - unexpected '{'; expected end of input"},
        {"t.json", "{} x",
         "t.json:1:4: syntax error while parsing value - invalid literal; last read: '{} x'; expected end of input"},
        {"\x1B[2Jt.json", "[]", "\\x1B[2Jt.json: (top level): expected an object at the top level, found an array"},
        {"caf\xE9\n.json", "{}\0"s, "caf\\xE9\\x0A.json:1:3" + nul},
    };
    for (const auto& c : cases) {
        DeviceSnapshot machine;
        EXPECT_THAT([&] { LoadScenarioText(c.text, c.name, machine); }, ThrowsMessage<ScenarioError>(c.message))
            << c.message;
        EXPECT_TRUE(machine.Devices().empty());
    }
}

TEST(ScenarioFiles, EveryShippedFileLoadsAndAMissingOneIsNamed) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VELMARO_SCENARIO_DIR)) {
        if (entry.path().extension() == ".json") {
            ++files;
            DeviceSnapshot machine;
            EXPECT_NO_THROW(LoadScenarioFile(entry.path(), machine)) << entry.path();
        }
    }
    EXPECT_GE(files, 5);  // empty, typical desktop, missing drivers, double assignments, many ports
    DeviceSnapshot machine;
    EXPECT_THAT([&] { LoadScenarioFile("no-such-dir/none.json", machine); },
                ThrowsMessage<ScenarioError>(StartsWith("no-such-dir/none.json: cannot open the file")));
    EXPECT_THROW(LoadScenarioFile(VELMARO_SCENARIO_DIR, machine), ScenarioError);  // a folder
}

}  // namespace
}  // namespace velmaro::snapshot
