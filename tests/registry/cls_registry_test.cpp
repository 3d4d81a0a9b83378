// clsRegistry against an in-memory machine: enumerations, reads, writes and deletes, and every
// registry call failing in turn.
#include "registry/cls_registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::MultiSzValue;
using memory::RawValue;
using memory::SzValue;
using Names = std::vector<std::string>;

inline constexpr const char* kKey = "Software\\Velmaro\\Test";
inline constexpr const char* kMissingKey = "Software\\Velmaro\\Fehlt";

// Notes "open <ANSI path> <access>" and "create <ANSI path> <options> <access> sa <length> <descriptor>
// <inherit>" before the machine answers. Access 0x20019 is KEY_READ; 0x2003F adds KEY_WRITE and
// KEY_CREATE_LINK, and is not KEY_ALL_ACCESS.
class TracingMachine : public memory::MemoryMachine {
  public:
    Names calls;

    std::int32_t OpenKeyEx(RegHandle root, const std::string& path, std::uint32_t access, RegHandle& key) override {
        calls.push_back("open " + path + (access == 0x20019 ? " read" : access == 0x2003F ? " write" : " other"));
        return MemoryMachine::OpenKeyEx(root, path, access, key);
    }
    std::int32_t CreateKeyEx(RegHandle root,
                             const std::string& path,
                             std::uint32_t options,
                             std::uint32_t access,
                             const SecurityAttributes& sa,
                             RegHandle& key,
                             std::uint32_t& disposition) override {
        calls.push_back("create " + path + " " + std::to_string(options) + (access == 0x2003F ? " write" : " other") +
                        " sa " + std::to_string(sa.length) + " " + std::to_string(sa.hasSecurityDescriptor) + " " +
                        std::to_string(sa.inheritHandle));
        return MemoryMachine::CreateKeyEx(root, path, options, access, sa, key, disposition);
    }
};

// Events as short lines: "Error 2", "Key Ports", "KeyComplete", "Value Baud=9600 type 4", "ValueComplete".
struct Rig {
    Rig() {
        reg.RegistryError = [this](std::int32_t code) { events.push_back("Error " + std::to_string(code)); };
        reg.EnumKey = [this](const std::string& name) { events.push_back("Key " + name); };
        reg.EnumKeyComplete = [this] { events.push_back("KeyComplete"); };
        reg.EnumValue = [this](const std::string& name, const RegistryValueSetting& value, std::uint32_t type) {
            const auto* text = std::get_if<std::string>(&value);
            const auto* number = std::get_if<std::int32_t>(&value);
            const std::string shown = text ? "'" + *text + "'" : number ? std::to_string(*number) : "none";
            events.push_back("Value " + name + "=" + shown + " type " + std::to_string(type));
        };
        reg.EnumValueComplete = [this] { events.push_back("ValueComplete"); };
    }
    void Put(const std::string& name, RawValue value, const std::string& path = kKey) {
        machine.PutValue(kHkeyCurrentUser, path, name, std::move(value));
    }
    const RawValue* Find(const std::string& name, const std::string& path = kKey) const {
        return machine.FindValue(kHkeyCurrentUser, path, name);
    }

    TracingMachine machine;
    clsRegistry reg{machine};
    Names events;
};

class RegistryTest : public ::testing::Test, public Rig {
  protected:
    // Every operation must leave no key open behind it.
    void TearDown() override { EXPECT_EQ(machine.OpenKeyCount(), 0); }
};

const std::string kJunk(1024, ' ');  // an enumeration buffer as it went in

std::string Join(const Names& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += (out.empty() ? "" : ", ") + line;
    }
    return out;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST_F(RegistryTest, EnumerationResultsAndEventsPerKey) {
    const std::string empty = "Software\\Velmaro\\Leer";
    const std::string longData = "Software\\Velmaro\\Lang";
    machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
    machine.PutKey(kHkeyCurrentUser, empty);
    Put("A", SzValue(std::string(1023, 'a')), longData);  // exactly 1024 bytes: still fits
    Put("B", BytesValue(kRegBinary, std::vector<std::uint8_t>(1025, 0x42)), longData);
    Put("C", SzValue("COM3"), longData);
    struct Case {
        bool values;  // EnumValues, else EnumKeys
        std::string key;
        bool noEvents;
        Names expected;
        Names expectedEvents;
    } cases[] = {
        {false, kKey, true, {"Alpha"}, {}},
        {false, empty, false, {}, {"KeyComplete"}},
        // A missing key leaves the one empty slot untrimmed; the open's error ignores NoEvents.
        {false, kMissingKey, true, {""}, {"Error 2"}},
        {true, empty, false, {}, {"ValueComplete"}},
        {true, kMissingKey, true, {}, {"Error 2"}},
        {true, longData, false, {"A"}, {"Value A='" + std::string(1023, 'a') + "' type 1", "Error 234"}},
        {true, longData, true, {"A"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.values ? "EnumValues " : "EnumKeys ") + c.key + (c.noEvents ? " quiet" : ""));
        events.clear();
        machine.calls.clear();
        const Names names = c.values ? reg.EnumValues(kHkeyCurrentUser, c.key, c.noEvents)
                                     : reg.EnumKeys(kHkeyCurrentUser, c.key, c.noEvents);
        EXPECT_EQ(names, c.expected);
        EXPECT_EQ(events, c.expectedEvents);
        EXPECT_EQ(reg.CurrentKey(), c.key);
        EXPECT_EQ(machine.calls.front(), "open " + c.key + " read");
    }
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kMissingKey));
}

// Failures count as entries, so a key that fails at every index must still end the walk.
TEST_F(RegistryTest, KeysThatFailForEverStopAfterSixteenFailuresInARow) {
    machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
    machine.FailCall("RegEnumKeyExA", kErrorInvalidHandle, 1, -1);
    EXPECT_EQ(reg.EnumKeys(kHkeyCurrentUser, kKey, true), Names(16, kJunk));
}

// One value "W" with this data, or none, in a key of its own.
struct ReadCase {
    const char* what;
    std::optional<RawValue> stored;
    std::string expected;  // what read gave, as text
    const char* events;
};

void RunReadCases(const std::vector<ReadCase>& cases, const std::function<std::string(clsRegistry&)>& read) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.machine.PutKey(kHkeyCurrentUser, kKey);
        if (c.stored) {
            rig.Put("W", *c.stored);
        }
        EXPECT_EQ(read(rig.reg), c.expected);
        EXPECT_EQ(Join(rig.events), c.events);
        EXPECT_EQ(rig.machine.OpenKeyCount(), 0);
    }
}

TEST(ReadValue, StringOfAnyTypeUpToTheFirstNul) {
    RunReadCases({{"plain text", SzValue("COM3"), "COM3", ""},
                  {"stored with zero length", BytesValue(kRegSz, {}), "", ""},
                  {"embedded NUL", BytesValue(kRegSz, Bytes(std::string_view("ab\0cd\0", 6))), "ab", ""},
                  {"no NUL at all: the whole data", BytesValue(kRegBinary, Bytes("xy")), "xy", ""},
                  {"multi-string: its first string", MultiSzValue({"COM6", "COM7"}), "COM6", ""},
                  {"expandable text stays unexpanded", SzValue("%Hilfe%", kRegExpandSz), "%Hilfe%", ""},
                  {"missing value", std::nullopt, "", "Error 2"}},
                 [](clsRegistry& r) { return r.GetStringValue(kHkeyCurrentUser, kKey, "W"); });
}

TEST(ReadValue, NumberFromUpToFourBytesLittleEndian) {
    RunReadCases({{"all bits set", DwordValue(0xFFFFFFFF), "-1", ""},
                  {"byte order", BytesValue(kRegBinary, {0x78, 0x56, 0x34, 0x12}), std::to_string(0x12345678), ""},
                  {"two bytes fill the low bytes", BytesValue(kRegBinary, {0x34, 0x12}), std::to_string(0x1234), ""},
                  {"zero length reads as 0, not the default", BytesValue(kRegDword, {}), "0", ""},
                  {"eight bytes keep the default", BytesValue(kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}), "77", "Error 234"},
                  {"missing value keeps the default", std::nullopt, "77", "Error 2"}},
                 [](clsRegistry& r) { return std::to_string(r.GetNumericValue(kHkeyCurrentUser, kKey, "W", 77)); });
}

// The value an EnumValue event carries: texts without their NUL, numbers read once more, else nothing.
TEST(ReadValue, EventValuePerType) {
    RunReadCases(
        {{"text of zero length", BytesValue(kRegSz, {}), "W", "Value W='' type 1, ValueComplete"},
         {"text without NUL loses its last byte", BytesValue(kRegSz, Bytes("ab")), "W",
          "Value W='a' type 1, ValueComplete"},
         {"over-long number: the second read fails", BytesValue(kRegDword, {1, 0, 0, 0, 1, 0, 0, 0}), "W",
          "Error 234, Value W=0 type 4, ValueComplete"},
         {"other types carry nothing", SzValue("%TEMP%", kRegExpandSz), "W", "Value W=none type 2, ValueComplete"}},
        [](clsRegistry& r) { return Join(r.EnumValues(kHkeyCurrentUser, kKey)); });
}

TEST_F(RegistryTest, NumbersAsFourLittleEndianBytesAndTextsWithTheirNul) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    reg.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 0x12345678);
    reg.SetStringValue(kHkeyCurrentUser, kKey, "Port", "COM3");
    reg.SetStringValue(kHkeyCurrentUser, kKey, "Leer", "");  // an empty text becomes one blank
    EXPECT_EQ(*Find("Baud"), BytesValue(kRegDword, {0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(*Find("Port"), BytesValue(kRegSz, Bytes(std::string_view("COM3\0", 5))));
    EXPECT_EQ(*Find("Leer"), BytesValue(kRegSz, Bytes(std::string_view(" \0", 2))));
    EXPECT_EQ(machine.calls, Names(3, "open " + std::string(kKey) + " write"));
    EXPECT_EQ(events, Names{});
}

TEST_F(RegistryTest, AMissingKeyIsCreatedThenOpenedAgain) {
    reg.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 19200);
    // Created non-volatile, with the writing access and an inheritable handle without descriptor.
    const std::string open = "open " + std::string(kKey) + " write";
    EXPECT_EQ(machine.calls, (Names{open, "create " + std::string(kKey) + " 0 write sa 12 0 1", open}));
    EXPECT_EQ(events, Names{});
    EXPECT_EQ(*Find("Baud"), DwordValue(19200));
}

TEST_F(RegistryTest, UmlautsMakeTheRoundTripThroughWindows1252) {
    const std::string key = "Software\\Velmaro\\Geräte";
    reg.SetStringValue(kHkeyCurrentUser, key, "Schnittstelle für Geräte", "Kabel Ü");
    EXPECT_EQ(machine.calls.front(), "open Software\\Velmaro\\Ger\xE4te write");
    ASSERT_NE(Find("Schnittstelle für Geräte", key), nullptr);
    EXPECT_EQ(Find("Schnittstelle für Geräte", key)->data, Bytes(std::string_view("Kabel \xDC\0", 8)));
    EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, key, "Schnittstelle für Geräte"), "Kabel Ü");
    EXPECT_EQ(reg.EnumValues(kHkeyCurrentUser, key), Names{"Schnittstelle für Geräte"});
    EXPECT_EQ(events, (Names{"Value Schnittstelle für Geräte='Kabel Ü' type 1", "ValueComplete"}));
}

TEST_F(RegistryTest, DeletesOnlyWhenEnabled) {
    Put("Port", SzValue("COM1"));
    reg.DeleteKey(kHkeyCurrentUser, kKey);
    reg.DeleteValue(kHkeyCurrentUser, kKey, "Port");
    reg.DeleteValue(kHkeyCurrentUser, kMissingKey, "Port");
    EXPECT_EQ(machine.CallCount("RegDeleteKeyA") + machine.CallCount("RegDeleteValueA"), 0);
    EXPECT_TRUE(machine.HasKey(kHkeyCurrentUser, kMissingKey));  // the writing open still creates it

    reg.SetEnableDelete(true);
    reg.DeleteValue(kHkeyCurrentUser, kKey, "Port");
    reg.DeleteKey(kHkeyCurrentUser, kKey);
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kKey));
    EXPECT_EQ(events, Names{});
}

// Every row starts from Test with Baud = 9600 (DWORD), Port = "COM1" and the subkeys Alpha and Beta.
const std::string kUnchanged = "Baud=9600 Port=COM1 Alpha Beta";
const std::string kNewKey = std::string(kKey) + "\\Neu";

// What the registry holds now, in the form of kUnchanged.
std::string State(const Rig& rig) {
    const auto* baud = rig.Find("Baud");
    const auto* port = rig.Find("Port");
    std::string out = "Baud=" + (baud ? std::to_string(baud->data[0] | baud->data[1] << 8) : "-");
    out += " Port=" + (port ? std::string(reinterpret_cast<const char*>(port->data.data())) : "-");
    for (const char* sub : {"Alpha", "Beta", "Neu"}) {
        out += rig.machine.HasKey(kHkeyCurrentUser, std::string(kKey) + "\\" + sub) ? std::string(" ") + sub : "";
    }
    return out;
}

using Operation = std::function<void(clsRegistry&, std::string& result)>;
const std::map<std::string, Operation> kOperations = {
    {"GetString", [](clsRegistry& r, std::string& out) { out = r.GetStringValue(kHkeyCurrentUser, kKey, "Port"); }},
    {"GetNumber", [](clsRegistry& r,
                     std::string& out) { out = std::to_string(r.GetNumericValue(kHkeyCurrentUser, kKey, "Baud", 7)); }},
    {"EnumKeys", [](clsRegistry& r, std::string& out) { out = Join(r.EnumKeys(kHkeyCurrentUser, kKey)) + ";"; }},
    {"EnumValues", [](clsRegistry& r, std::string& out) { out = Join(r.EnumValues(kHkeyCurrentUser, kKey)) + ";"; }},
    {"SetNumber", [](clsRegistry& r, std::string&) { r.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 1); }},
    {"SetNumber new key", [](clsRegistry& r, std::string&) { r.SetNumericValue(kHkeyCurrentUser, kNewKey, "B", 1); }},
    {"SetString", [](clsRegistry& r, std::string&) { r.SetStringValue(kHkeyCurrentUser, kKey, "Port", "COM9"); }},
    {"CreateKey", [](clsRegistry& r, std::string&) { r.CreateKey(kHkeyCurrentUser, kNewKey); }},
    {"DeleteKey", [](clsRegistry& r, std::string&) { r.DeleteKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha"); }},
    {"DeleteValue", [](clsRegistry& r, std::string&) { r.DeleteValue(kHkeyCurrentUser, kKey, "Port"); }},
};

TEST(RegistryFaults, EveryCallFailingInTurn) {
    struct Case {
        const char* operation;
        const char* call;  // "" for no fault
        int nth;
        std::int32_t code;
        std::string events;
        std::string result;
        std::string state;
    } cases[] = {
        // Calls: open #1, query #1 (size), query #2 (data), close #1.
        {"GetString", "RegOpenKeyExA", 1, 5, "Error 5", "", kUnchanged},
        {"GetString", "RegQueryValueExA", 1, 5, "Error 5", "", kUnchanged},
        // 234 on the size query is expected; the size stays 0, so the data query reports 234.
        {"GetString", "RegQueryValueExA", 1, 234, "Error 234", "", kUnchanged},
        {"GetString", "RegQueryValueExA", 2, 5, "Error 5", "", kUnchanged},
        {"GetNumber", "RegOpenKeyExA", 1, 2, "Error 2", "7", kUnchanged},
        {"GetNumber", "RegCloseKey", 1, 6, "", "9600", kUnchanged},
        // Failures of the walk are entries: the buffer as it was, and the walk goes on.
        {"EnumKeys", "", 0, 0, "Key Alpha, Key Beta, KeyComplete", "Alpha, Beta;", kUnchanged},
        {"EnumKeys", "RegOpenKeyExA", 1, 5, "Error 5", ";", kUnchanged},  // one empty name
        {"EnumKeys", "RegEnumKeyExA", 1, 5, "Key " + kJunk + ", Key Beta, KeyComplete", kJunk + ", Beta;", kUnchanged},
        // Calls: open #1, enum #1 (Baud), open #2, query #1, close #1, enum #2 (Port), enum #3, close #2.
        {"EnumValues", "", 0, 0, "Value Baud=9600 type 4, Value Port='COM1' type 1, ValueComplete", "Baud, Port;",
         kUnchanged},
        {"EnumValues", "RegOpenKeyExA", 1, 5, "Error 5", ";", kUnchanged},
        {"EnumValues", "RegOpenKeyExA", 2, 5, "Error 5, Value Baud=0 type 4, Value Port='COM1' type 1, ValueComplete",
         "Baud, Port;", kUnchanged},
        {"EnumValues", "RegEnumValueA", 2, 5, "Value Baud=9600 type 4, Error 5", "Baud;", kUnchanged},
        {"EnumValues", "RegEnumValueA", 3, 1018, "Value Baud=9600 type 4, Value Port='COM1' type 1, Error 1018",
         "Baud, Port;", kUnchanged},
        // Calls: open #1, set #1, close #1; a missing key adds create, close and open #2.
        {"SetNumber", "RegOpenKeyExA", 1, 2, "", "", "Baud=1 Port=COM1 Alpha Beta"},  // create, open again
        {"SetNumber", "RegSetValueExA", 1, 2, "Error 2", "", kUnchanged},
        {"SetNumber", "RegSetValueExA", 1, 5, "", "", kUnchanged},  // only 2 is reported
        {"SetNumber new key", "", 0, 0, "", "", kUnchanged + " Neu"},
        {"SetNumber new key", "RegOpenKeyExA", 1, 5, "Error 5", "", kUnchanged},
        {"SetNumber new key", "RegCreateKeyExA", 1, 5, "Error 5, Error 3", "", kUnchanged},
        {"SetNumber new key", "RegOpenKeyExA", 2, 5, "Error 3", "", kUnchanged + " Neu"},
        {"SetString", "RegSetValueExA", 1, 2, "Error 2", "", kUnchanged},
        {"SetString", "RegSetValueExA", 1, 13, "", "", kUnchanged},
        {"CreateKey", "RegCreateKeyExA", 1, 5, "Error 5", "", kUnchanged},
        {"DeleteKey", "RegDeleteKeyA", 1, 5, "Error 5", "", kUnchanged},
        {"DeleteValue", "RegDeleteValueA", 1, 5, "Error 5", "", kUnchanged},
        {"DeleteValue", "RegCloseKey", 1, 6, "", "", "Baud=9600 Port=- Alpha Beta"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " with " + c.call + " #" + std::to_string(c.nth) + " -> " +
                     std::to_string(c.code));
        Rig rig;
        rig.Put("Baud", DwordValue(9600));
        rig.Put("Port", SzValue("COM1"));
        rig.machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
        rig.machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Beta");
        rig.reg.SetEnableDelete(true);
        if (*c.call) {
            rig.machine.FailCall(c.call, c.code, c.nth);
        }
        std::string result;
        kOperations.at(c.operation)(rig.reg, result);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Join(rig.events), c.events);
        EXPECT_EQ(State(rig), c.state);
        // A close that fails leaves its one key open; no other path may leave anything open.
        EXPECT_EQ(rig.machine.OpenKeyCount(), std::string_view(c.call) == "RegCloseKey" ? 1 : 0);
    }
}

}  // namespace
}  // namespace velmaro
