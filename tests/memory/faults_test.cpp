// Fault injection and call accounting of the in-memory machine.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

const RegHandle kHklm = RootHandle(kHkeyLocalMachine);

class Faults : public ::testing::Test {
  protected:
    Faults() { machine.PutKey(kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM"); }

    // Opens and closes the key; answers the open's status.
    std::int32_t OpenOnce() {
        RegHandle key = 0;
        const std::int32_t status = machine.OpenKeyEx(kHklm, "HARDWARE\\DEVICEMAP\\SERIALCOMM", kKeyRead, key);
        if (status == kErrorSuccess) {
            machine.CloseKey(key);
        } else {
            EXPECT_EQ(key, 0u);
        }
        return status;
    }

    std::vector<std::int32_t> OpenTimes(int times) {
        std::vector<std::int32_t> results;
        for (int i = 0; i < times; ++i) {
            results.push_back(OpenOnce());
        }
        return results;
    }

    MemoryMachine machine;
};

struct FaultCase {
    const char* label;
    int nth;
    int count;
    std::vector<std::int32_t> results;  // of five opens
};

TEST_F(Faults, NthAndCount) {
    const FaultCase cases[] = {
        {"first call once", 1, 1, {5, 0, 0, 0, 0}},       {"second call once", 2, 1, {0, 5, 0, 0, 0}},
        {"second and third call", 2, 2, {0, 5, 5, 0, 0}}, {"from the fourth call for good", 4, -1, {0, 0, 0, 5, 5}},
        {"count 0 fails nothing", 1, 0, {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        machine.ClearFaults();
        machine.FailCall("RegOpenKeyExA", kErrorAccessDenied, c.nth, c.count);
        EXPECT_EQ(OpenTimes(5), c.results);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

TEST_F(Faults, CountedFromTheMomentOfFailCall) {
    OpenTimes(3);
    machine.FailCall("RegOpenKeyExA", 1018);
    EXPECT_EQ(OpenTimes(2), (std::vector<std::int32_t>{1018, 0}));
    EXPECT_EQ(machine.CallCount("RegOpenKeyExA"), 5);  // failed calls count too
    EXPECT_EQ(machine.CallCount("RegCloseKey"), 4);
}

TEST_F(Faults, ClearFaultsEndsAFaultForGood) {
    machine.FailCall("RegOpenKeyExA", 2, 1, -1);
    EXPECT_EQ(OpenTimes(3), (std::vector<std::int32_t>{2, 2, 2}));
    machine.ClearFaults();
    EXPECT_EQ(OpenOnce(), kErrorSuccess);
}

TEST_F(Faults, OnlyTheNamedCallFails) {
    machine.FailCall("RegQueryValueExA", 234);
    EXPECT_EQ(OpenOnce(), kErrorSuccess);
    RegHandle key = 0;
    ASSERT_EQ(machine.OpenKeyEx(kHklm, "HARDWARE\\DEVICEMAP\\SERIALCOMM", kKeyRead, key), kErrorSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(machine.QueryValueEx(key, "missing", nullptr, nullptr, &size), 234);
    EXPECT_EQ(machine.QueryValueEx(key, "missing", nullptr, nullptr, &size), kErrorFileNotFound);
    machine.CloseKey(key);
}

TEST_F(Faults, FailingCreateOpensNothing) {
    machine.FailCall("RegCreateKeyExA", kErrorAccessDenied);
    RegHandle key = 0;
    std::uint32_t disposition = 0;
    EXPECT_EQ(machine.CreateKeyEx(kHklm, "SOFTWARE\\Neu", 0, kKeyReadWriteCreateLink, {}, key, disposition),
              kErrorAccessDenied);
    EXPECT_FALSE(machine.HasKey(kHkeyLocalMachine, "SOFTWARE\\Neu"));
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(Faults, FailingSetupDiCallsSetTheLastError) {
    MemoryDevice device;
    device.instance = "ROOT\\TEST\\0";
    device.properties[SPDRP_CLASS] = SzValue("Ports");
    machine.AddDevice(device);

    machine.FailCall("SetupDiGetClassDevsA", 8);
    EXPECT_EQ(machine.GetClassDevs(kGuidNull, 6), kInvalidHandleValue);
    EXPECT_EQ(machine.GetLastError(), 8u);
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);

    const DevInfoSet set = machine.GetClassDevs(kGuidNull, 6);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    machine.FailCall("SetupDiEnumDeviceInfo", 1784);
    EXPECT_FALSE(machine.EnumDeviceInfo(set, 0, data));
    EXPECT_EQ(machine.GetLastError(), 1784u);
    ASSERT_TRUE(machine.EnumDeviceInfo(set, 0, data));

    machine.FailCall("SetupDiGetDeviceRegistryPropertyA", 31);
    std::uint32_t required = 0;
    EXPECT_FALSE(machine.GetDeviceRegistryProperty(set, data, SPDRP_CLASS, nullptr, nullptr, 0, &required));
    EXPECT_EQ(machine.GetLastError(), 31u);
    EXPECT_EQ(required, 0u);

    machine.FailCall("SetupDiDestroyDeviceInfoList", 6);
    EXPECT_FALSE(machine.DestroyDeviceInfoList(set));
    EXPECT_EQ(machine.GetLastError(), 6u);
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 1);
    EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

TEST_F(Faults, UnknownCallNamesAreRejected) {
    EXPECT_THROW(machine.FailCall("RegOpenKeyExW", 5), std::invalid_argument);
    EXPECT_THROW(machine.FailCall("regopenkeyexa", 5), std::invalid_argument);
    EXPECT_THROW((void)machine.CallCount("SetupDiGetClassDevs"), std::invalid_argument);
    EXPECT_THROW(machine.FailCall("RegOpenKeyExA", 5, 0), std::invalid_argument);
    EXPECT_EQ(OpenOnce(), kErrorSuccess);  // nothing was armed
}

}  // namespace
}  // namespace velmaro::memory
