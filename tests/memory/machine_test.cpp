// The test machine: handle counting and injected faults, on the in-memory machine and around a plain
// snapshot machine.
#include <gtest/gtest.h>

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

// The serial-port map with three values.
class Machine : public ::testing::Test {
  protected:
    Machine() {
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0", SzValue("COM1"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\ProlificSerial0", SzValue("COM5"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "Empty", BytesValue(kRegSz, {}));
    }

    RegHandle Open(const std::string& path) {
        RegHandle key = 0;
        EXPECT_EQ(machine.OpenKeyEx(kHklm, path, kKeyReadWriteCreateLink, key), kErrorSuccess) << path;
        return key;
    }

    MemoryMachine machine;
};

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

// The wrapper around a machine it does not own: a failed call never reaches it, and the last error
// stays the injected one until the machine itself fails a call.
TEST(FaultInjection, AroundAnyService) {
    snapshot::DeviceSnapshot contents;
    contents.PutKey(kHkeyLocalMachine, kSerialComm);
    contents.AddDevice({"ROOT\\A\\0", false, true, {}});
    snapshot::SnapshotMachine served(std::move(contents));
    testing::FaultInjection wrapped(served, served);

    RegHandle key = 0;
    ASSERT_EQ(wrapped.OpenKeyEx(kHklm, kSerialComm, kKeyRead, key), kErrorSuccess);
    wrapped.FailCall("RegCloseKey", kErrorKeyDeleted);
    EXPECT_EQ(wrapped.CloseKey(key), kErrorKeyDeleted);
    EXPECT_TRUE(served.HasOpenHandles());
    EXPECT_EQ(wrapped.OpenKeyCount(), 1);
    EXPECT_EQ(wrapped.CloseKey(key), kErrorSuccess);
    EXPECT_FALSE(served.HasOpenHandles());

    wrapped.FailCall("SetupDiEnumDeviceInfo", 1784);
    const DevInfoSet set = wrapped.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    EXPECT_EQ(wrapped.OpenDeviceInfoSetCount(), 1);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    EXPECT_FALSE(wrapped.EnumDeviceInfo(set, 0, data));
    EXPECT_EQ(wrapped.GetLastError(), 1784u);
    EXPECT_TRUE(wrapped.EnumDeviceInfo(set, 0, data));
    EXPECT_EQ(wrapped.GetLastError(), 1784u);  // a call that succeeds leaves the last error alone
    EXPECT_FALSE(wrapped.EnumDeviceInfo(set, 1, data));
    EXPECT_EQ(wrapped.GetLastError(), static_cast<std::uint32_t>(kErrorNoMoreItems));
    EXPECT_TRUE(wrapped.DestroyDeviceInfoList(set));
    EXPECT_EQ(wrapped.OpenDeviceInfoSetCount(), 0);
    EXPECT_EQ(wrapped.CallCount("SetupDiEnumDeviceInfo"), 3);
    EXPECT_THROW(wrapped.FailCall("RegOpenKeyExW", 5), std::invalid_argument);
}

}  // namespace
}  // namespace velmaro::memory
