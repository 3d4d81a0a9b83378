// The snapshot served as the registry and device-information calls answer: the Windows-1252
// conversion, the order of enumerations, writes refused, and a snapshot replaced only while
// nothing of it is open.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "common/win_codes.h"
#include "snapshot/snapshot_machine.h"

namespace velmaro::snapshot {
namespace {

using namespace std::string_literals;

const RegHandle kHklm = RootHandle(kHkeyLocalMachine);
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The serial-port map with three values, four subkeys of mixed letter case, and two present
// devices of which the second is a COM port; a third device is not present.
DeviceSnapshot Sample(const char* port = "COM1") {
    DeviceSnapshot snapshot;
    snapshot.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0", SzValue(port));
    snapshot.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\ProlificSerial0", SzValue("COM5"));
    snapshot.PutValue(kHkeyLocalMachine, kSerialComm, "Empty", BytesValue(kRegSz, {}));
    for (const char* name : {"beta", "Alpha", "_Under", "Zeta"}) {
        snapshot.PutKey(kHkeyLocalMachine, std::string("SOFTWARE\\Velmaro\\") + name);
    }
    snapshot.AddDevice({"ROOT\\A\\0", false, true, {{SPDRP_FRIENDLYNAME, SzValue("A")}}});
    snapshot.AddDevice({"ACPI\\PNP0501\\1", true, true, {{SPDRP_FRIENDLYNAME, SzValue("Port")}}});
    snapshot.AddDevice({"USB\\GONE\\2", true, false, {}});
    return snapshot;
}

class Served : public ::testing::Test {
  protected:
    RegHandle Open(const std::string& path, std::uint32_t access = kKeyRead) {
        RegHandle key = 0;
        EXPECT_EQ(machine.OpenKeyEx(kHklm, path, access, key), kErrorSuccess) << path;
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

    // The friendly names of a set's devices, then the last error that ended the walk.
    std::string Listed(const Guid& guid, std::uint32_t flags) {
        const DevInfoSet set = machine.GetClassDevs(guid, flags);
        std::string answer;
        DevInfoData data;
        data.cbSize = kDevInfoDataSize;
        for (std::uint32_t i = 0; machine.EnumDeviceInfo(set, i, data); ++i) {
            char name[16] = {};
            machine.GetDeviceRegistryProperty(set, data, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<std::uint8_t*>(name), sizeof name, nullptr);
            answer += std::string(name) + " ";
        }
        answer += std::to_string(machine.GetLastError());
        EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
        return answer;
    }

    SnapshotMachine machine{Sample()};
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

TEST(CodePages, TextsAreStoredInTheSnapshotsPage) {
    EXPECT_EQ(SzValue("Gerät", kRegSz, CodePage::Utf8).data,
              (std::vector<std::uint8_t>{'G', 'e', 'r', 0xC3, 0xA4, 't', 0}));
    EXPECT_EQ(SzValue("Gerät").data, (std::vector<std::uint8_t>{'G', 'e', 'r', 0xE4, 't', 0}));
    EXPECT_EQ(MultiSzValue({"ä", ""}, CodePage::Utf8).data, (std::vector<std::uint8_t>{0xC3, 0xA4, 0, 0, 0}));
    SnapshotMachine utf8{DeviceSnapshot(CodePage::Utf8)};
    EXPECT_EQ(utf8.Utf8ToAnsi("ä→"), "ä→");
    EXPECT_EQ(utf8.AnsiToUtf8("\xE4"), "\xE4");  // bytes pass unchanged
    SnapshotMachine cp1252{DeviceSnapshot()};
    EXPECT_EQ(cp1252.Utf8ToAnsi("ä→"), "\xE4?");
}

TEST_F(Served, EnumerationOrderAndNameLengths) {
    // Subkeys in the order of their names folded to capitals, "_" (0x5F) after "Z" (0x5A); values in
    // the order they were written. Lengths exclude the NUL.
    EXPECT_EQ(Enumerate("SOFTWARE\\Velmaro", false), "Alpha/5 beta/4 Zeta/4 _Under/6 259");
    EXPECT_EQ(Enumerate("SOFTWARE\\Velmaro", false, 6), "Alpha/5 beta/4 Zeta/4 234");  // "_Under" needs 7
    EXPECT_EQ(Enumerate(kSerialComm, true), "\\Device\\Serial0/15 \\Device\\ProlificSerial0/23 Empty/5 259");
}

TEST_F(Served, KeysCloseOnceAndAMissingKeyGivesNoHandle) {
    const RegHandle key = Open("hardware\\devicemap\\serialcomm");  // letter case ignored
    EXPECT_TRUE(machine.HasOpenHandles());
    EXPECT_EQ(machine.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(machine.CloseKey(key), kErrorInvalidHandle);
    EXPECT_EQ(machine.CloseKey(kHklm), kErrorSuccess);  // a root is never closed
    RegHandle missing = 12345;
    EXPECT_EQ(machine.OpenKeyEx(kHklm, "HARDWARE\\DEVICEMAP\\NOPE", kKeyRead, missing), kErrorFileNotFound);
    EXPECT_EQ(missing, 0u);
    EXPECT_FALSE(machine.HasOpenHandles());
}

// Every write answers ERROR_ACCESS_DENIED, as a key without write rights does; a bad handle is still
// named as such, and nothing in the snapshot changes.
TEST_F(Served, WritesAreRefused) {
    RegHandle key = 0;
    EXPECT_EQ(machine.OpenKeyEx(kHklm, kSerialComm, kKeyReadWriteCreateLink, key), kErrorAccessDenied);
    EXPECT_EQ(key, 0u);
    key = Open(kSerialComm);
    const std::uint8_t data[] = {'X', 0};
    std::uint32_t disposition = 0;
    RegHandle created = 7;
    EXPECT_EQ(machine.CreateKeyEx(kHklm, "SOFTWARE\\New", 0, kKeyReadWriteCreateLink, {}, created, disposition),
              kErrorAccessDenied);
    EXPECT_EQ(created, 0u);
    EXPECT_EQ(machine.SetValueEx(key, "Empty", kRegSz, data, 2), kErrorAccessDenied);
    EXPECT_EQ(machine.DeleteValue(key, "Empty"), kErrorAccessDenied);
    EXPECT_EQ(machine.DeleteKey(kHklm, "SOFTWARE\\Velmaro\\Zeta"), kErrorAccessDenied);
    EXPECT_EQ(machine.DeleteKey(kHklm, "SOFTWARE\\Velmaro\\Nope"), kErrorFileNotFound);
    EXPECT_EQ(machine.SetValueEx(0x999, "Empty", kRegSz, data, 2), kErrorInvalidHandle);
    machine.CloseKey(key);
    EXPECT_TRUE(machine.Snapshot().HasKey(kHkeyLocalMachine, "SOFTWARE\\Velmaro\\Zeta"));
    EXPECT_EQ(*machine.Snapshot().FindValue(kHkeyLocalMachine, kSerialComm, "Empty"), BytesValue(kRegSz, {}));
    EXPECT_FALSE(machine.Snapshot().HasKey(kHkeyLocalMachine, "SOFTWARE\\New"));
}

// The two present-device sets, and what the flags make of them.
TEST_F(Served, DeviceSets) {
    const Guid ports{0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
    EXPECT_EQ(Listed(kGuidNull, kDigcfPresent | kDigcfAllClasses), "A Port 259");
    EXPECT_EQ(Listed(kGuidNull, kDigcfPresent | kDigcfAllClasses | kDigcfDeviceInterface), "Port 259");
    EXPECT_EQ(Listed(kGuidDevInterfaceComport, kDigcfPresent | kDigcfDeviceInterface), "Port 259");
    EXPECT_EQ(Listed(kGuidNull, kDigcfAllClasses), "A Port  259");  // the absent device has no name
    EXPECT_EQ(Listed(ports, kDigcfPresent), "259");                 // no device has a ClassGUID
    EXPECT_FALSE(machine.DestroyDeviceInfoList(0x1234));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorInvalidHandle));
}

TEST_F(Served, ReplacedOnlyWhileNothingIsOpen) {
    const RegHandle key = Open(kSerialComm);
    EXPECT_FALSE(machine.Replace(Sample("COM9")));
    machine.CloseKey(key);
    const DevInfoSet set = machine.GetClassDevs(kGuidNull, kDigcfAllClasses);
    EXPECT_FALSE(machine.Replace(Sample("COM9")));
    machine.DestroyDeviceInfoList(set);
    EXPECT_FALSE(machine.DestroyDeviceInfoList(set));  // leaves a last error behind
    EXPECT_TRUE(machine.Replace(Sample("COM9")));
    EXPECT_EQ(*machine.Snapshot().FindValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0"), SzValue("COM9"));
    EXPECT_EQ(machine.GetLastError(), 0u);  // as a machine just built
}

}  // namespace
}  // namespace velmaro::snapshot
