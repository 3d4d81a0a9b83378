// The in-memory machine: what the other suites do not already pin through the product code, that
// is the Windows-1252 conversion, handle counting, the order of enumerations and injected faults.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

using namespace std::string_literals;

const RegHandle kHklm = RootHandle(kHkeyLocalMachine);
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The serial-port map with three values, and four subkeys of mixed letter case.
class Machine : public ::testing::Test {
  protected:
    Machine() {
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0", SzValue("COM1"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\ProlificSerial0", SzValue("COM5"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "Empty", BytesValue(kRegSz, {}));
        for (const char* name : {"beta", "Alpha", "_Under", "Zeta"}) {
            machine.PutKey(kHkeyLocalMachine, std::string("SOFTWARE\\Velmaro\\") + name);
        }
    }

    RegHandle Open(const std::string& path) {
        RegHandle key = 0;
        EXPECT_EQ(machine.OpenKeyEx(kHklm, path, kKeyReadWriteCreateLink, key), kErrorSuccess) << path;
        return key;
    }

    // The names and name lengths of a key's subkeys or values, then the status that ended the walk;
    // nameBuffer is the name buffer's size in bytes.
    std::string Enumerate(const char* path, bool values, std::uint32_t nameBuffer = 32) {
        const RegHandle key = Open(path);
        std::string answer;
        char name[32];
        std::uint32_t length = nameBuffer;
        std::int32_t status = kErrorSuccess;
        for (std::uint32_t i = 0; status == kErrorSuccess; ++i, length = nameBuffer) {
            status = values ? machine.EnumValue(key, i, name, length, nullptr, nullptr, nullptr)
                            : machine.EnumKeyEx(key, i, name, length);
            answer += status == kErrorSuccess ? std::string(name) + "/" + std::to_string(length) + " "
                                              : std::to_string(status);
        }
        machine.CloseKey(key);
        return answer;
    }

    MemoryMachine machine;
};

TEST(Cp1252, Conversions) {
    // Label, code page bytes, UTF-8, and whether the bytes also convert back to the same UTF-8.
    const std::tuple<const char*, std::string, std::string, bool> cases[] = {
        {"umlauts, sharp s and NUL bytes", "\xC4\xD6\xDC\0\xE4\xF6\xFC\xDF\0"s, "ÄÖÜ\0äöüß\0"s, true},
        {"0x80..0x9F: euro, quotes, dashes, an undefined byte", "\x80\x84\x93\x96\x97\x99\x81", "€„“–—™\u0081", true},
        {"characters outside the code page", "a??", "a→😀", false},
        {"invalid UTF-8: stray byte, truncated sequence, overlong NUL", "x?? ??", "x\xFF\xE2\x82 \xC0\x80", false},
    };
    for (const auto& [label, cp1252, utf8, roundTrip] : cases) {
        EXPECT_EQ(Utf8ToCp1252(utf8), cp1252) << label;
        if (roundTrip) {
            EXPECT_EQ(Cp1252ToUtf8(cp1252), utf8) << label;
        }
    }
    std::string all(256, '\0');
    std::iota(all.begin(), all.end(), '\0');
    // 0x80..0x9F: 17 characters take three bytes, 10 others and the 5 undefined bytes two.
    EXPECT_EQ(Cp1252ToUtf8(all).size(), 128u + 2 * 96u + 17 * 3u + 15 * 2u);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST_F(Machine, KeyHandlesAreCountedUntilClosed) {
    const RegHandle key = Open("hardware\\devicemap\\serialcomm");  // letter case ignored
    machine.FailCall("RegCloseKey", 1018);
    EXPECT_EQ(machine.CloseKey(key), 1018);  // a failed close leaves the key open
    EXPECT_EQ(machine.OpenKeyCount(), 1);
    EXPECT_EQ(machine.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(machine.CloseKey(key), kErrorInvalidHandle);
    RegHandle missing = 12345;
    EXPECT_EQ(machine.OpenKeyEx(kHklm, "HARDWARE\\DEVICEMAP\\NOPE", kKeyRead, missing), kErrorFileNotFound);
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(Machine, EnumerationOrderAndNameLengths) {
    // Subkeys in the order of their names folded to capitals, "_" (0x5F) after "Z" (0x5A); values in
    // the order they were written. Lengths exclude the NUL.
    EXPECT_EQ(Enumerate("SOFTWARE\\Velmaro", false), "Alpha/5 beta/4 Zeta/4 _Under/6 259");
    EXPECT_EQ(Enumerate("SOFTWARE\\Velmaro", false, 6), "Alpha/5 beta/4 Zeta/4 234");  // "_Under" needs 7
    EXPECT_EQ(Enumerate(kSerialComm, true), "\\Device\\Serial0/15 \\Device\\ProlificSerial0/23 Empty/5 259");
}

TEST_F(Machine, FaultOnTheNthCallForCountCalls) {
    // Each case follows the five calls of the one before: nth counts from the FailCall.
    const std::tuple<const char*, int, int, std::vector<std::int32_t>> cases[] = {
        {"second and third call", 2, 2, {0, 5, 5, 0, 0}},
        {"from the fourth call for good", 4, -1, {0, 0, 0, 5, 5}},
        {"count 0 fails nothing, and ClearFaults ended the fault before", 1, 0, {0, 0, 0, 0, 0}},
    };
    for (const auto& [label, nth, count, expected] : cases) {
        machine.ClearFaults();
        machine.FailCall("RegOpenKeyExA", kErrorAccessDenied, nth, count);
        std::vector<std::int32_t> results;
        for (int i = 0; i < 5; ++i) {
            RegHandle key = 0;
            results.push_back(machine.OpenKeyEx(kHklm, kSerialComm, kKeyRead, key));
            machine.CloseKey(key);
        }
        EXPECT_EQ(results, expected) << label;
    }
    EXPECT_EQ(machine.CallCount("RegOpenKeyExA"), 15);  // failed calls count too
    EXPECT_EQ(machine.OpenKeyCount(), 0);

    // SetupDi calls answer with their failure value and the code as the last error.
    machine.FailCall("SetupDiGetClassDevsA", 8);
    EXPECT_EQ(machine.GetClassDevs(kGuidNull, 6), kInvalidHandleValue);
    EXPECT_EQ(machine.GetLastError(), 8u);
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

}  // namespace
}  // namespace velmaro::memory
