// Every registry call of every operation made to fail in turn: the events in their order, the
// neutral result, what the registry holds afterwards, and no key left open.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "registry_fixture.h"

namespace velmaro::testing {
namespace {

using memory::DwordValue;
using memory::SzValue;
using Names = std::vector<std::string>;

const std::string kJunk(1024, ' ');  // the untouched enumeration buffer
// The machine every row starts from: Test with Baud = 9600 (DWORD), Port = "COM1", subkeys Alpha, Beta.
const std::string kUnchanged = "Baud=9600 Port=COM1 Alpha Beta";

std::string Join(const Names& names) {
    std::string out = std::to_string(names.size()) + ":";
    for (std::size_t i = 0; i < names.size(); ++i) {
        out += (i ? "," : "") + (names[i] == kJunk ? std::string("<junk>") : names[i]);
    }
    return out;
}

struct World {
    World() {
        machine.PutValue(kHkeyCurrentUser, kKey, "Baud", DwordValue(9600));
        machine.PutValue(kHkeyCurrentUser, kKey, "Port", SzValue("COM1"));
        machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
        machine.PutKey(kHkeyCurrentUser, std::string(kKey) + "\\Beta");
        RecordEvents(reg, events);
        reg.SetEnableDelete(true);
    }

    // What the registry holds now, in the form of kUnchanged.
    std::string State() const {
        std::string out = "Baud=";
        if (const auto* baud = machine.FindValue(kHkeyCurrentUser, kKey, "Baud")) {
            std::uint32_t n = 0;
            for (std::size_t i = baud->data.size(); i-- > 0;) {
                n = n << 8 | baud->data[i];
            }
            out += std::to_string(n);
        } else {
            out += "-";
        }
        out += " Port=";
        if (const auto* port = machine.FindValue(kHkeyCurrentUser, kKey, "Port")) {
            out += std::string(port->data.begin(), port->data.end()).c_str();
        } else {
            out += "-";
        }
        for (const char* sub : {"Alpha", "Beta", "Neu"}) {
            if (machine.HasKey(kHkeyCurrentUser, std::string(kKey) + "\\" + sub)) {
                out += std::string(" ") + sub;
            }
        }
        return out;
    }

    memory::MemoryMachine machine;
    clsRegistry reg{machine};
    Names events;
};

using Operation = std::function<std::string(clsRegistry&)>;

const Operation kGetString = [](clsRegistry& r) { return r.GetStringValue(kHkeyCurrentUser, kKey, "Port"); };
const Operation kGetNumber = [](clsRegistry& r) {
    return std::to_string(r.GetNumericValue(kHkeyCurrentUser, kKey, "Baud", 7));
};
const Operation kEnumKeys = [](clsRegistry& r) { return Join(r.EnumKeys(kHkeyCurrentUser, kKey)); };
const Operation kEnumValues = [](clsRegistry& r) { return Join(r.EnumValues(kHkeyCurrentUser, kKey)); };
const Operation kSetNumber = [](clsRegistry& r) {
    r.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 1);
    return std::string();
};
const Operation kSetString = [](clsRegistry& r) {
    r.SetStringValue(kHkeyCurrentUser, kKey, "Port", "COM9");
    return std::string();
};
const Operation kCreateKey = [](clsRegistry& r) {
    r.CreateKey(kHkeyCurrentUser, std::string(kKey) + "\\Neu");
    return std::string();
};
const Operation kDeleteKey = [](clsRegistry& r) {
    r.DeleteKey(kHkeyCurrentUser, std::string(kKey) + "\\Alpha");
    return std::string();
};
const Operation kDeleteValue = [](clsRegistry& r) {
    r.DeleteValue(kHkeyCurrentUser, kKey, "Port");
    return std::string();
};

struct FaultCase {
    const char* operationName;
    const Operation& operation;
    const char* call;  // "" for no fault
    int nth;
    std::int32_t code;
    Names expectedEvents;
    std::string expectedResult;
    std::string expectedState;
};

void RunFaultCases(const std::vector<FaultCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operationName) + " with " + c.call + " #" + std::to_string(c.nth) + " -> " +
                     std::to_string(c.code));
        World world;
        if (*c.call) {
            world.machine.FailCall(c.call, c.code, c.nth);
        }
        EXPECT_EQ(c.operation(world.reg), c.expectedResult);
        EXPECT_EQ(world.events, c.expectedEvents);
        EXPECT_EQ(world.State(), c.expectedState);
        // A close that fails leaves its one key open; no other path may leave anything open.
        EXPECT_EQ(world.machine.OpenKeyCount(), std::string_view(c.call) == "RegCloseKey" ? 1 : 0);
    }
}

TEST(RegistryFaults, Reads) {
    RunFaultCases({
        {"GetStringValue", kGetString, "", 0, 0, {}, "COM1", kUnchanged},
        {"GetStringValue", kGetString, "RegOpenKeyExA", 1, 5, {"Error 5"}, "", kUnchanged},
        {"GetStringValue", kGetString, "RegQueryValueExA", 1, 5, {"Error 5"}, "", kUnchanged},
        {"GetStringValue", kGetString, "RegQueryValueExA", 1, 1018, {"Error 1018"}, "", kUnchanged},
        // 234 on the size query is expected; the size stays 0, so the data query reports 234.
        {"GetStringValue", kGetString, "RegQueryValueExA", 1, 234, {"Error 234"}, "", kUnchanged},
        {"GetStringValue", kGetString, "RegQueryValueExA", 2, 5, {"Error 5"}, "", kUnchanged},
        {"GetStringValue", kGetString, "RegQueryValueExA", 2, 234, {"Error 234"}, "", kUnchanged},
        {"GetStringValue", kGetString, "RegCloseKey", 1, 6, {}, "COM1", kUnchanged},

        {"GetNumericValue", kGetNumber, "", 0, 0, {}, "9600", kUnchanged},
        {"GetNumericValue", kGetNumber, "RegOpenKeyExA", 1, 5, {"Error 5"}, "7", kUnchanged},
        {"GetNumericValue", kGetNumber, "RegOpenKeyExA", 1, 2, {"Error 2"}, "7", kUnchanged},
        {"GetNumericValue", kGetNumber, "RegQueryValueExA", 1, 234, {"Error 234"}, "7", kUnchanged},
        {"GetNumericValue", kGetNumber, "RegCloseKey", 1, 6, {}, "9600", kUnchanged},
    });
}

TEST(RegistryFaults, Enumerations) {
    const Names keys = {"Key Alpha", "Key Beta", "KeyComplete"};
    const Names values = {"Value Baud=9600 type 4", "Value Port='COM1' type 1", "ValueComplete"};
    RunFaultCases({
        {"EnumKeys", kEnumKeys, "", 0, 0, keys, "2:Alpha,Beta", kUnchanged},
        {"EnumKeys", kEnumKeys, "RegOpenKeyExA", 1, 5, {"Error 5"}, "1:", kUnchanged},
        // Failures are entries: the buffer as it was, and the walk goes on.
        {"EnumKeys",
         kEnumKeys,
         "RegEnumKeyExA",
         1,
         5,
         {"Key " + kJunk, "Key Beta", "KeyComplete"},
         "2:<junk>,Beta",
         kUnchanged},
        {"EnumKeys",
         kEnumKeys,
         "RegEnumKeyExA",
         3,
         5,
         {"Key Alpha", "Key Beta", "Key " + kJunk, "KeyComplete"},
         "3:Alpha,Beta,<junk>",
         kUnchanged},
        {"EnumKeys", kEnumKeys, "RegCloseKey", 1, 6, keys, "2:Alpha,Beta", kUnchanged},

        // Calls: open #1, enum #1 (Baud), open #2, query #1, close #1, enum #2 (Port), enum #3, close #2.
        {"EnumValues", kEnumValues, "", 0, 0, values, "2:Baud,Port", kUnchanged},
        {"EnumValues", kEnumValues, "RegOpenKeyExA", 1, 5, {"Error 5"}, "0:", kUnchanged},
        {"EnumValues", kEnumValues, "RegEnumValueA", 1, 5, {"Error 5"}, "0:", kUnchanged},
        {"EnumValues",
         kEnumValues,
         "RegOpenKeyExA",
         2,
         5,
         {"Error 5", "Value Baud=0 type 4", "Value Port='COM1' type 1", "ValueComplete"},
         "2:Baud,Port",
         kUnchanged},
        {"EnumValues",
         kEnumValues,
         "RegQueryValueExA",
         1,
         13,
         {"Error 13", "Value Baud=0 type 4", "Value Port='COM1' type 1", "ValueComplete"},
         "2:Baud,Port",
         kUnchanged},
        {"EnumValues", kEnumValues, "RegCloseKey", 1, 6, values, "2:Baud,Port", kUnchanged},
        {"EnumValues", kEnumValues, "RegEnumValueA", 2, 5, {"Value Baud=9600 type 4", "Error 5"}, "1:Baud", kUnchanged},
        {"EnumValues",
         kEnumValues,
         "RegEnumValueA",
         3,
         1018,
         {"Value Baud=9600 type 4", "Value Port='COM1' type 1", "Error 1018"},
         "2:Baud,Port",
         kUnchanged},
        {"EnumValues", kEnumValues, "RegCloseKey", 2, 6, values, "2:Baud,Port", kUnchanged},
    });
}

TEST(RegistryFaults, Writes) {
    RunFaultCases({
        {"SetNumericValue", kSetNumber, "", 0, 0, {}, "", "Baud=1 Port=COM1 Alpha Beta"},
        {"SetNumericValue", kSetNumber, "RegOpenKeyExA", 1, 5, {"Error 5"}, "", kUnchanged},
        // "Not found" for a key that is there: it is created (already there) and opened again.
        {"SetNumericValue", kSetNumber, "RegOpenKeyExA", 1, 2, {}, "", "Baud=1 Port=COM1 Alpha Beta"},
        {"SetNumericValue", kSetNumber, "RegSetValueExA", 1, 2, {"Error 2"}, "", kUnchanged},
        {"SetNumericValue", kSetNumber, "RegSetValueExA", 1, 5, {}, "", kUnchanged},
        {"SetNumericValue", kSetNumber, "RegCloseKey", 1, 6, {}, "", "Baud=1 Port=COM1 Alpha Beta"},

        {"SetStringValue", kSetString, "", 0, 0, {}, "", "Baud=9600 Port=COM9 Alpha Beta"},
        {"SetStringValue", kSetString, "RegOpenKeyExA", 1, 5, {"Error 5"}, "", kUnchanged},
        {"SetStringValue", kSetString, "RegOpenKeyExA", 1, 2, {}, "", "Baud=9600 Port=COM9 Alpha Beta"},
        {"SetStringValue", kSetString, "RegSetValueExA", 1, 2, {"Error 2"}, "", kUnchanged},
        {"SetStringValue", kSetString, "RegSetValueExA", 1, 13, {}, "", kUnchanged},
        {"SetStringValue", kSetString, "RegCloseKey", 1, 6, {}, "", "Baud=9600 Port=COM9 Alpha Beta"},

        {"CreateKey", kCreateKey, "", 0, 0, {}, "", kUnchanged + " Neu"},
        {"CreateKey", kCreateKey, "RegCreateKeyExA", 1, 5, {"Error 5"}, "", kUnchanged},
        {"CreateKey", kCreateKey, "RegCloseKey", 1, 6, {}, "", kUnchanged + " Neu"},
    });
}

TEST(RegistryFaults, Deletes) {
    RunFaultCases({
        {"DeleteKey", kDeleteKey, "", 0, 0, {}, "", "Baud=9600 Port=COM1 Beta"},
        {"DeleteKey", kDeleteKey, "RegDeleteKeyA", 1, 5, {"Error 5"}, "", kUnchanged},

        {"DeleteValue", kDeleteValue, "", 0, 0, {}, "", "Baud=9600 Port=- Alpha Beta"},
        {"DeleteValue", kDeleteValue, "RegOpenKeyExA", 1, 5, {"Error 5"}, "", kUnchanged},
        {"DeleteValue", kDeleteValue, "RegDeleteValueA", 1, 5, {"Error 5"}, "", kUnchanged},
        {"DeleteValue", kDeleteValue, "RegCloseKey", 1, 6, {}, "", "Baud=9600 Port=- Alpha Beta"},
    });
}

}  // namespace
}  // namespace velmaro::testing
