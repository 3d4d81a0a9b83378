// clsRegistry against an in-memory machine: every operation on one prepared registry, with and
// without each registry call failing in turn, plus the access rights and the code page.
#include "registry/cls_registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro {
namespace {

using namespace velmaro::memory;
using Names = std::vector<std::string>;

constexpr std::int32_t kCu = kHkeyCurrentUser;
const std::string kKey = "Software\\Velmaro\\Test", kNewKey = kKey + "\\Neu";
const std::string kW = "Software\\Velmaro\\W", kEmpty = "Software\\Velmaro\\Leer", kLong = "Software\\Velmaro\\Lang";
const std::string kJunk(1024, ' ');  // an enumeration buffer as it went in

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

// A list as "<count>:<names>", so that one empty name and no name differ.
std::string Listed(const Names& names) {
    std::string out = std::to_string(names.size()) + ":";
    for (std::size_t i = 0; i < names.size(); ++i) {
        out += (i ? ", " : "") + names[i];
    }
    return out;
}

// Test holds Baud = 9600 (DWORD), Port = "COM1" and the subkeys Alpha and Beta; Leer is empty;
// Lang holds A (1024 bytes with its NUL: still fits), B (1025 bytes) and C. Events are noted as
// short lines: "Error 2", "Key Alpha", "KeyComplete", "Value Baud=9600 type 4", "ValueComplete".
// No operation may leave a key open, except one whose close the system refused.
struct Rig {
    Rig() {
        Put("Baud", DwordValue(9600));
        Put("Port", SzValue("COM1"));
        machine.PutKey(kCu, kKey + "\\Alpha");
        machine.PutKey(kCu, kKey + "\\Beta");
        machine.PutKey(kCu, kEmpty);
        Put("A", SzValue(std::string(1023, 'a')), kLong);
        Put("B", BytesValue(kRegBinary, std::vector<std::uint8_t>(1025, 0x42)), kLong);
        Put("C", SzValue("COM3"), kLong);
        reg.RegistryError = [this](std::int32_t code) { Note("Error " + std::to_string(code)); };
        reg.EnumKey = [this](const std::string& name) { Note("Key " + name); };
        reg.EnumKeyComplete = [this] { Note("KeyComplete"); };
        reg.EnumValue = [this](const std::string& name, const RegistryValueSetting& value, std::uint32_t type) {
            const auto* text = std::get_if<std::string>(&value);
            const auto* number = std::get_if<std::int32_t>(&value);
            const std::string shown = text ? "'" + *text + "'" : number ? std::to_string(*number) : "none";
            Note("Value " + name + "=" + shown + " type " + std::to_string(type));
        };
        reg.EnumValueComplete = [this] { Note("ValueComplete"); };
    }
    void Note(const std::string& event) { events += (events.empty() ? "" : ", ") + event; }
    ~Rig() { EXPECT_EQ(machine.OpenKeyCount(), keysLeftOpen); }
    void Put(const std::string& name, RawValue value, const std::string& path = kKey) {
        machine.PutValue(kCu, path, name, std::move(value));
    }
    const RawValue* Find(const std::string& name, const std::string& path = kKey) const {
        return machine.FindValue(kCu, path, name);
    }
    // Test in the form "Baud=9600 Port=COM1 Alpha Beta", with Neu when that subkey exists.
    std::string State() const {
        const RawValue *baud = Find("Baud"), *port = Find("Port");
        std::string out = "Baud=" + (baud ? std::to_string(baud->data[0] | baud->data[1] << 8) : "-");
        out += " Port=" + (port ? std::string(reinterpret_cast<const char*>(port->data.data())) : "-");
        for (const char* sub : {"Alpha", "Beta", "Neu"}) {
            out += machine.HasKey(kCu, kKey + "\\" + sub) ? std::string(" ") + sub : "";
        }
        return out;
    }

    TracingMachine machine;
    clsRegistry reg{machine};
    std::string events;  // joined by ", "
    int keysLeftOpen = 0;
};

const std::string kUnchanged = "Baud=9600 Port=COM1 Alpha Beta";

// Deleting is enabled unless the name says otherwise; "quiet" passes NoEvents.
const std::map<std::string, std::function<std::string(clsRegistry&)>> kOperations = {
    {"GetString", [](clsRegistry& r) { return r.GetStringValue(kCu, kKey, "Port"); }},
    {"GetString W", [](clsRegistry& r) { return r.GetStringValue(kCu, kW, "W"); }},
    {"GetNumber", [](clsRegistry& r) { return std::to_string(r.GetNumericValue(kCu, kKey, "Baud", 7)); }},
    {"GetNumber W", [](clsRegistry& r) { return std::to_string(r.GetNumericValue(kCu, kW, "W", 77)); }},
    {"EnumKeys", [](clsRegistry& r) { return Listed(r.EnumKeys(kCu, kKey)); }},
    {"EnumKeys Leer", [](clsRegistry& r) { return Listed(r.EnumKeys(kCu, kEmpty)); }},
    {"EnumKeys Neu quiet", [](clsRegistry& r) { return Listed(r.EnumKeys(kCu, kNewKey, true)); }},
    {"EnumValues", [](clsRegistry& r) { return Listed(r.EnumValues(kCu, kKey)); }},
    {"EnumValues W", [](clsRegistry& r) { return Listed(r.EnumValues(kCu, kW)); }},
    {"EnumValues Leer", [](clsRegistry& r) { return Listed(r.EnumValues(kCu, kEmpty)); }},
    {"EnumValues Neu quiet", [](clsRegistry& r) { return Listed(r.EnumValues(kCu, kNewKey, true)); }},
    {"EnumValues Lang", [](clsRegistry& r) { return Listed(r.EnumValues(kCu, kLong)); }},
    {"EnumValues Lang quiet", [](clsRegistry& r) { return Listed(r.EnumValues(kCu, kLong, true)); }},
    {"SetNumber", [](clsRegistry& r) { return r.SetNumericValue(kCu, kKey, "Baud", 1), ""; }},
    {"SetNumber new key", [](clsRegistry& r) { return r.SetNumericValue(kCu, kNewKey, "B", 1), ""; }},
    {"SetString", [](clsRegistry& r) { return r.SetStringValue(kCu, kKey, "Port", "COM9"), ""; }},
    {"CreateKey", [](clsRegistry& r) { return r.CreateKey(kCu, kNewKey), ""; }},
    {"DeleteKey", [](clsRegistry& r) { return r.DeleteKey(kCu, kKey + "\\Alpha"), ""; }},
    {"DeleteValue", [](clsRegistry& r) { return r.DeleteValue(kCu, kKey, "Port"), ""; }},
    {"DeleteKey disabled", [](clsRegistry& r) { return r.SetEnableDelete(false), r.DeleteKey(kCu, kKey), ""; }},
    {"DeleteValue disabled",
     [](clsRegistry& r) { return r.SetEnableDelete(false), r.DeleteValue(kCu, kNewKey, "Port"), ""; }}};

TEST(Registry, EveryOperationWithAndWithoutFailures) {
    struct Case {
        const char* operation;
        std::string result = "";
        std::string events = "";
        std::optional<RawValue> w = std::nullopt;  // the only value of the key W
        const char* call = "";                     // the call that fails, its nth time, with code
        int nth = 0;
        std::int32_t code = 0;
        std::string state = kUnchanged;
    } cases[] = {
        // Texts of any type up to the first NUL.
        {.operation = "GetString W", .w = BytesValue(kRegSz, {})},
        {.operation = "GetString W", .result = "ab", .w = BytesValue(kRegSz, {'a', 'b', 0, 'c', 'd', 0})},
        {.operation = "GetString W",
         .result = "xy",
         .w = BytesValue(kRegBinary, {'x', 'y'})},  // no NUL: the whole data
        {.operation = "GetString W", .result = "COM6", .w = MultiSzValue({"COM6", "COM7"})},
        {.operation = "GetString W", .result = "%Hilfe%", .w = SzValue("%Hilfe%", kRegExpandSz)},
        // Calls: open #1, query #1 (size), query #2 (data), close #1. 234 on the size query is
        // expected; the size stays 0, so the data query reports 234.
        {.operation = "GetString", .events = "Error 5", .call = "RegQueryValueExA", .nth = 1, .code = 5},
        {.operation = "GetString", .events = "Error 234", .call = "RegQueryValueExA", .nth = 1, .code = 234},
        {.operation = "GetString", .events = "Error 5", .call = "RegQueryValueExA", .nth = 2, .code = 5},
        // Numbers from up to four bytes, little-endian.
        {.operation = "GetNumber W", .result = "-1", .w = DwordValue(0xFFFFFFFF)},
        {.operation = "GetNumber W", .result = "4660", .w = BytesValue(kRegBinary, {0x34, 0x12})},
        {.operation = "GetNumber W",
         .result = "0",
         .w = BytesValue(kRegDword, {})},  // zero length reads as 0, not the default
        {.operation = "GetNumber W",
         .result = "77",
         .events = "Error 234",
         .w = BytesValue(kRegQword, {1, 0, 0, 0, 0, 0, 0, 0})},
        {.operation = "GetNumber W", .result = "77", .events = "Error 2"},
        {.operation = "GetNumber", .result = "7", .events = "Error 2", .call = "RegOpenKeyExA", .nth = 1, .code = 2},
        // Failures of the key walk are entries: the buffer as it was, and the walk goes on. A
        // missing key leaves the one empty slot, and the open's error ignores NoEvents.
        {.operation = "EnumKeys", .result = "2:Alpha, Beta", .events = "Key Alpha, Key Beta, KeyComplete"},
        {.operation = "EnumKeys",
         .result = "2:" + kJunk + ", Beta",
         .events = "Key " + kJunk + ", Key Beta, KeyComplete",
         .call = "RegEnumKeyExA",
         .nth = 1,
         .code = 5},
        {.operation = "EnumKeys Leer", .result = "0:", .events = "KeyComplete"},
        {.operation = "EnumKeys Neu quiet", .result = "1:", .events = "Error 2"},
        // Calls: open #1, enum #1 (Baud), open #2, query #1, close #1, enum #2 (Port), enum #3, close #2.
        {.operation = "EnumValues",
         .result = "2:Baud, Port",
         .events = "Value Baud=9600 type 4, Value Port='COM1' type 1, ValueComplete"},
        {.operation = "EnumValues",
         .result = "2:Baud, Port",
         .events = "Error 5, Value Baud=0 type 4, Value Port='COM1' type 1, ValueComplete",
         .call = "RegOpenKeyExA",
         .nth = 2,
         .code = 5},
        {.operation = "EnumValues",
         .result = "1:Baud",
         .events = "Value Baud=9600 type 4, Error 5",
         .call = "RegEnumValueA",
         .nth = 2,
         .code = 5},
        {.operation = "EnumValues Leer", .result = "0:", .events = "ValueComplete"},
        {.operation = "EnumValues Neu quiet", .result = "0:", .events = "Error 2"},
        {.operation = "EnumValues Lang",
         .result = "1:A",
         .events = "Value A='" + std::string(1023, 'a') + "' type 1, Error 234"},
        {.operation = "EnumValues Lang quiet", .result = "1:A"},
        // The event's value: texts without their NUL, numbers read once more, other types nothing.
        {.operation = "EnumValues W",
         .result = "1:W",
         .events = "Value W='' type 1, ValueComplete",
         .w = BytesValue(kRegSz, {})},
        {.operation = "EnumValues W",
         .result = "1:W",
         .events = "Value W='a' type 1, ValueComplete",
         .w = BytesValue(kRegSz, {'a', 'b'})},
        {.operation = "EnumValues W",
         .result = "1:W",
         .events = "Error 234, Value W=0 type 4, ValueComplete",
         .w = BytesValue(kRegDword, {1, 0, 0, 0, 1})},
        {.operation = "EnumValues W",
         .result = "1:W",
         .events = "Value W=none type 2, ValueComplete",
         .w = SzValue("%TEMP%", kRegExpandSz)},
        // Calls: open #1, set #1, close #1; a missing key adds create, close and open #2. Of the
        // writes, only 2 is reported.
        {.operation = "SetNumber", .events = "Error 2", .call = "RegSetValueExA", .nth = 1, .code = 2},
        {.operation = "SetNumber", .call = "RegSetValueExA", .nth = 1, .code = 5},
        {.operation = "SetNumber new key", .state = kUnchanged + " Neu"},
        {.operation = "SetNumber new key", .events = "Error 5", .call = "RegOpenKeyExA", .nth = 1, .code = 5},
        {.operation = "SetNumber new key",
         .events = "Error 5, Error 3",
         .call = "RegCreateKeyExA",
         .nth = 1,
         .code = 5},
        {.operation = "SetNumber new key",
         .events = "Error 3",
         .call = "RegOpenKeyExA",
         .nth = 2,
         .code = 5,
         .state = kUnchanged + " Neu"},
        {.operation = "SetString", .events = "Error 2", .call = "RegSetValueExA", .nth = 1, .code = 2},
        {.operation = "CreateKey", .events = "Error 5", .call = "RegCreateKeyExA", .nth = 1, .code = 5},
        {.operation = "DeleteKey", .state = "Baud=9600 Port=COM1 Beta"},
        {.operation = "DeleteKey", .events = "Error 5", .call = "RegDeleteKeyA", .nth = 1, .code = 5},
        {.operation = "DeleteValue", .events = "Error 5", .call = "RegDeleteValueA", .nth = 1, .code = 5},
        {.operation = "DeleteValue",
         .call = "RegCloseKey",
         .nth = 1,
         .code = 6,
         .state = "Baud=9600 Port=- Alpha Beta"},  // not reported
        {.operation = "DeleteKey disabled"},
        {.operation = "DeleteValue disabled", .state = kUnchanged + " Neu"},  // the writing open creates the key
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " " + c.call + " #" + std::to_string(c.nth));
        Rig rig;
        rig.machine.PutKey(kCu, kW);
        if (c.w) {
            rig.Put("W", *c.w, kW);
        }
        rig.reg.SetEnableDelete(true);
        if (*c.call) {
            rig.machine.FailCall(c.call, c.code, c.nth);
        }
        rig.keysLeftOpen = std::string(c.call) == "RegCloseKey";
        EXPECT_EQ(kOperations.at(c.operation)(rig.reg), c.result);
        EXPECT_EQ(rig.events, c.events);
        EXPECT_EQ(rig.State(), c.state);
        // The reading operations, and only they, open with KEY_READ.
        EXPECT_EQ(!rig.machine.calls.empty() && rig.machine.calls.front().ends_with(" read"),
                  c.operation[0] == 'G' || c.operation[0] == 'E');
    }
}

// Failures count as entries, so a key that fails at every index must still end the walk.
TEST(Registry, KeysThatFailForEverStopAfterSixteenFailuresInARow) {
    Rig rig;
    rig.machine.FailCall("RegEnumKeyExA", kErrorInvalidHandle, 1, -1);
    EXPECT_EQ(rig.reg.EnumKeys(kCu, kKey, true), Names(16, kJunk));
    EXPECT_EQ(rig.events, "");
    EXPECT_EQ(rig.reg.CurrentKey(), kKey);
}

// Umlauts make the round trip through Windows-1252: path and name on the way in, texts on the way back.
// The missing key is created non-volatile, with the writing access and an inheritable handle without
// descriptor, then opened again.
TEST(Registry, NumbersAsFourLittleEndianBytesAndTextsWithTheirNulInTheCodePage) {
    Rig rig;
    const std::string key = "Software\\Velmaro\\Geräte", name = "Schnittstelle für Geräte";
    rig.reg.SetNumericValue(kCu, key, "Baud", 0x12345678);
    rig.reg.SetStringValue(kCu, key, "Leer", "");  // an empty text becomes one blank
    rig.reg.SetStringValue(kCu, key, name, "Kabel Ü");
    EXPECT_EQ(*rig.Find("Baud", key), BytesValue(kRegDword, {0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(*rig.Find("Leer", key), BytesValue(kRegSz, {' ', 0}));
    EXPECT_EQ(*rig.Find(name, key), BytesValue(kRegSz, {'K', 'a', 'b', 'e', 'l', ' ', 0xDC, 0}));
    const std::string open = "open Software\\Velmaro\\Ger\xE4te write";
    EXPECT_EQ(rig.machine.calls,
              (Names{open, "create Software\\Velmaro\\Ger\xE4te 0 write sa 12 0 1", open, open, open}));
    EXPECT_EQ(rig.reg.GetStringValue(kCu, key, name), "Kabel Ü");
    EXPECT_EQ(rig.reg.EnumValues(kCu, key, true), (Names{"Baud", "Leer", name}));
}

}  // namespace
}  // namespace velmaro
