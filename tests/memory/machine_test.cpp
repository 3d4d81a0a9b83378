// The in-memory machine answers as the ANSI registry and SetupDi calls of Windows do, counts its
// handles, fails calls on request, and converts texts with Windows-1252.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

using namespace std::string_literals;

using Properties = std::map<std::uint32_t, RawValue>;

const RegHandle kHklm = RootHandle(kHkeyLocalMachine);
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr Guid kModemGuid{0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::uint8_t* Data(std::string& buffer) {
    return reinterpret_cast<std::uint8_t*>(buffer.data());
}

// The serial-port map with a zero-length value last; four subkeys of mixed letter case; five
// devices named by their description: PORT and MODEM on the COM-port interface, GONE unplugged,
// KBD, and ODD; GONE and ODD have no class GUID. Answers read "status size type" and, when the
// call delivered data, the bytes.
class Machine : public ::testing::Test {
  protected:
    Machine() {
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0", SzValue("COM1"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\ProlificSerial0", SzValue("COM5"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "Empty", BytesValue(kRegSz, {}));
        for (const char* name : {"beta", "Alpha", "_Under", "Zeta"}) {
            machine.PutKey(kHkeyLocalMachine, std::string("SOFTWARE\\Velmaro\\") + name);
        }
        AddDevice("PORT", "{4D36E978-E325-11CE-BFC1-08002BE10318}", true, true,
                  {{SPDRP_FRIENDLYNAME, SzValue("Kommunikationsanschluss (COM1)")},
                   {SPDRP_LOCATION_INFORMATION, BytesValue(kRegSz, {})}});
        AddDevice("MODEM", "{4d36e96d-e325-11ce-bfc1-08002be10318}", true, true);
        AddDevice("GONE", nullptr, true, false);
        AddDevice("KBD", "{4D36E96B-E325-11CE-BFC1-08002BE10318}", false, true);
        AddDevice("ODD", nullptr, false, true);
    }

    void AddDevice(const char* desc, const char* classGuid, bool comport, bool present, Properties properties = {}) {
        properties[SPDRP_DEVICEDESC] = SzValue(desc);
        if (classGuid != nullptr) {
            properties[SPDRP_CLASSGUID] = SzValue(classGuid);
        }
        machine.AddDevice({std::string("TEST\\") + desc, comport, present, std::move(properties)});
    }

    RegHandle Open(const std::string& path) {
        RegHandle key = 0;
        EXPECT_EQ(machine.OpenKeyEx(kHklm, path, kKeyReadWriteCreateLink, key), kErrorSuccess) << path;
        return key;
    }

    // With a buffer of bufferSize bytes; -1: none, a size query.
    std::string Query(RegHandle key, const char* name, int bufferSize) {
        std::string buffer(64, '\xEE');
        std::uint32_t size = bufferSize < 0 ? 99 : static_cast<std::uint32_t>(bufferSize);
        std::uint32_t type = 99;
        const auto status = machine.QueryValueEx(key, name, &type, bufferSize < 0 ? nullptr : Data(buffer), &size);
        return std::to_string(status) + " " + std::to_string(size) + " " + std::to_string(type) +
               (status == kErrorSuccess && bufferSize >= 0 ? " " + buffer.substr(0, size) : "");
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

    // The descriptions of a set's members in enumeration order, then the last error that ended it.
    std::string Members(const Guid& guid, std::uint32_t flags) {
        const DevInfoSet set = machine.GetClassDevs(guid, flags);
        std::string members;
        DevInfoData data;
        data.cbSize = kDevInfoDataSize;
        for (std::uint32_t i = 0; machine.EnumDeviceInfo(set, i, data); ++i) {
            std::string desc(16, '\0');
            machine.GetDeviceRegistryProperty(set, data, SPDRP_DEVICEDESC, nullptr, Data(desc), 16, nullptr);
            members += desc.c_str() + " "s;
        }
        members += std::to_string(machine.GetLastError());
        EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
        return members;
    }

    // A failure answers the last error as its status.
    std::string Property(DevInfoSet set, const DevInfoData& record, std::uint32_t property, std::uint32_t bufferSize) {
        std::string buffer(64, '\xEE');
        std::uint32_t type = 99;
        std::uint32_t required = 99;
        const bool ok = machine.GetDeviceRegistryProperty(
            set, record, property, &type, bufferSize == 0 ? nullptr : Data(buffer), bufferSize, &required);
        return std::to_string(ok ? 0 : machine.GetLastError()) + " " + std::to_string(required) + " " +
               std::to_string(type) + (ok ? " " + buffer.substr(0, required) : "");
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
    const RegHandle first = Open("hardware\\devicemap\\serialcomm");
    const RegHandle second = Open(kSerialComm);
    EXPECT_EQ(machine.OpenKeyCount(), 2);
    EXPECT_EQ(machine.CloseKey(first), kErrorSuccess);
    EXPECT_EQ(machine.CloseKey(first), kErrorInvalidHandle);
    machine.FailCall("RegCloseKey", 1018);
    EXPECT_EQ(machine.CloseKey(second), 1018);  // a failed close leaves the key open
    EXPECT_EQ(machine.OpenKeyCount(), 1);
    EXPECT_EQ(machine.CloseKey(second), kErrorSuccess);
    RegHandle key = 12345;
    EXPECT_EQ(machine.OpenKeyEx(kHklm, "HARDWARE\\DEVICEMAP\\NOPE", kKeyRead, key), kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(Machine, RegistryAnswers) {
    const RegHandle map = Open(kSerialComm);
    EXPECT_EQ(Query(map, "\\Device\\Serial0", -1), "0 5 1");                  // size query
    EXPECT_EQ(Query(map, "\\Device\\Serial0", 5), "0 5 1 COM1\0"s);           // exact buffer
    EXPECT_EQ(Query(map, "\\Device\\Serial0", 4), "234 5 1");                 // one byte short
    EXPECT_EQ(Query(map, "\\DEVICE\\prolificserial0", 64), "0 5 1 COM5\0"s);  // letter case ignored
    EXPECT_EQ(Query(map, "\\Device\\Serial9", 64), "2 64 99");                // missing: nothing written
    EXPECT_EQ(Query(map, "Empty", -1), "0 0 1");                              // zero-length value
    machine.CloseKey(map);
    // Subkeys in the order of their names folded to capitals, "_" (0x5F) after "Z" (0x5A); values in
    // the order they were written. Lengths exclude the NUL.
    EXPECT_EQ(Enumerate("SOFTWARE\\Velmaro", false), "Alpha/5 beta/4 Zeta/4 _Under/6 259");
    EXPECT_EQ(Enumerate("SOFTWARE\\Velmaro", false, 6), "Alpha/5 beta/4 Zeta/4 234");  // "_Under" needs 7
    EXPECT_EQ(Enumerate(kSerialComm, true), "\\Device\\Serial0/15 \\Device\\ProlificSerial0/23 Empty/5 259");
}

TEST_F(Machine, DeviceSetAnswers) {
    // Flags: 0x02 present only, 0x04 all classes, 0x10 device interface.
    EXPECT_EQ(Members(kGuidDevInterfaceComport, 0x16), "PORT MODEM 259");
    EXPECT_EQ(Members(kGuidDevInterfaceComport, 0x10), "PORT MODEM GONE 259");
    EXPECT_EQ(Members(kGuidNull, 0x06), "PORT MODEM KBD ODD 259");
    EXPECT_EQ(Members(kModemGuid, 0x02), "MODEM 259");  // the class GUID text in small letters

    const DevInfoSet set = machine.GetClassDevs(kGuidDevInterfaceComport, 0x16);
    DevInfoData port;
    port.cbSize = kDevInfoDataSize;
    ASSERT_TRUE(machine.EnumDeviceInfo(set, 0, port));
    // "Kommunikationsanschluss (COM1)" is 30 characters, 31 bytes with the NUL.
    EXPECT_EQ(Property(set, port, SPDRP_FRIENDLYNAME, 0), "122 31 1");
    EXPECT_EQ(Property(set, port, SPDRP_FRIENDLYNAME, 30), "122 31 1");
    EXPECT_EQ(Property(set, port, SPDRP_FRIENDLYNAME, 31), "0 31 1 Kommunikationsanschluss (COM1)\0"s);
    EXPECT_EQ(Property(set, port, SPDRP_LOCATION_INFORMATION, 0), "0 0 1 ");  // zero length: the size query succeeds
    EXPECT_EQ(Property(set, port, SPDRP_MFG, 0), "13 99 99");                 // a property the device lacks
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 1);
    EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

TEST_F(Machine, FaultOnTheNthCallForCountCalls) {
    EXPECT_THROW(machine.FailCall("RegOpenKeyExW", 5), std::invalid_argument);
    EXPECT_THROW(machine.FailCall("RegOpenKeyExA", 5, 0), std::invalid_argument);
    // Each case follows the five calls of the one before: nth counts from the FailCall.
    const std::tuple<const char*, int, int, std::vector<std::int32_t>> cases[] = {
        {"first call once", 1, 1, {5, 0, 0, 0, 0}},
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
    EXPECT_EQ(machine.CallCount("RegOpenKeyExA"), 20);  // failed calls count too
    EXPECT_EQ(machine.OpenKeyCount(), 0);

    // SetupDi calls answer with their failure value and the code as the last error.
    machine.FailCall("SetupDiGetClassDevsA", 8);
    EXPECT_EQ(machine.GetClassDevs(kGuidNull, 6), kInvalidHandleValue);
    EXPECT_EQ(machine.GetLastError(), 8u);
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

}  // namespace
}  // namespace velmaro::memory
