// The in-memory device-information service answers as the SetupDi*A calls do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

constexpr Guid kPortsGuid{0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr Guid kModemGuid{0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr Guid kKeyboardGuid{0x4D36E96B, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// The device description doubles as the device's name in these tests.
MemoryDevice Device(const char* desc, const char* classGuid, bool comport, bool present = true) {
    MemoryDevice device;
    device.instance = std::string("TEST\\") + desc;
    device.comportInterface = comport;
    device.present = present;
    device.properties[SPDRP_DEVICEDESC] = SzValue(desc);
    if (classGuid != nullptr) {
        device.properties[SPDRP_CLASSGUID] = SzValue(classGuid);
    }
    return device;
}

class DeviceServiceAnswers : public ::testing::Test {
  protected:
    DeviceServiceAnswers() {
        MemoryDevice port = Device("PORT", "{4D36E978-E325-11CE-BFC1-08002BE10318}", true);
        port.properties[SPDRP_FRIENDLYNAME] = SzValue("Kommunikationsanschluss (COM1)");
        port.properties[SPDRP_CAPABILITIES] = DwordValue(132);
        port.properties[SPDRP_LOCATION_INFORMATION] = BytesValue(kRegSz, {});
        machine.AddDevice(port);
        machine.AddDevice(Device("MODEM", "{4d36e96d-e325-11ce-bfc1-08002be10318}", true));
        machine.AddDevice(Device("GONE", "{4D36E978-E325-11CE-BFC1-08002BE10318}", true, false));
        machine.AddDevice(Device("KBD", "{4D36E96B-E325-11CE-BFC1-08002BE10318}", false));
        machine.AddDevice(Device("ODD", nullptr, false));
    }

    DevInfoData Record(DevInfoSet set, std::uint32_t index) {
        DevInfoData data;
        data.cbSize = kDevInfoDataSize;
        EXPECT_TRUE(machine.EnumDeviceInfo(set, index, data));
        return data;
    }

    std::string Desc(DevInfoSet set, const DevInfoData& data) {
        std::uint8_t buffer[64];
        std::uint32_t size = 0;
        if (!machine.GetDeviceRegistryProperty(set, data, SPDRP_DEVICEDESC, nullptr, buffer, sizeof buffer, &size)) {
            return "<unreadable>";
        }
        return std::string(reinterpret_cast<char*>(buffer), size - 1);
    }

    std::vector<std::string> Members(DevInfoSet set) {
        std::vector<std::string> names;
        DevInfoData data;
        data.cbSize = kDevInfoDataSize;
        for (std::uint32_t i = 0; machine.EnumDeviceInfo(set, i, data); ++i) {
            names.push_back(Desc(set, data));
        }
        EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorNoMoreItems));
        return names;
    }

    MemoryMachine machine;
};

struct SetCase {
    const char* label;
    Guid guid;
    std::uint32_t flags;
    std::vector<std::string> members;
};

TEST_F(DeviceServiceAnswers, GetClassDevsChoosesMembers) {
    const SetCase cases[] = {
        {"COM-port interface, present, all classes", kGuidDevInterfaceComport, 0x16, {"PORT", "MODEM"}},
        {"COM-port interface, present", kGuidDevInterfaceComport, 0x12, {"PORT", "MODEM"}},
        {"COM-port interface, also absent", kGuidDevInterfaceComport, 0x10, {"PORT", "MODEM", "GONE"}},
        {"unknown interface class", kPortsGuid, 0x12, {}},
        {"all present devices", kGuidNull, 0x06, {"PORT", "MODEM", "KBD", "ODD"}},
        {"all devices", kGuidNull, 0x04, {"PORT", "MODEM", "GONE", "KBD", "ODD"}},
        {"setup class Ports, present", kPortsGuid, 0x02, {"PORT"}},
        {"setup class Modem, GUID text in small letters", kModemGuid, 0x02, {"MODEM"}},
        {"setup class Keyboard", kKeyboardGuid, 0x00, {"KBD"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const DevInfoSet set = machine.GetClassDevs(c.guid, c.flags);
        ASSERT_NE(set, kInvalidHandleValue);
        ASSERT_NE(set, 0);
        EXPECT_EQ(Members(set), c.members);
        EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
    }
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

TEST_F(DeviceServiceAnswers, SetsAreCountedUntilDestroyed) {
    const DevInfoSet first = machine.GetClassDevs(kGuidNull, 6);
    const DevInfoSet second = machine.GetClassDevs(kGuidNull, 6);
    EXPECT_NE(first, second);
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 2);
    EXPECT_TRUE(machine.DestroyDeviceInfoList(first));
    EXPECT_FALSE(machine.DestroyDeviceInfoList(first));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorInvalidHandle));
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 1);
    EXPECT_TRUE(machine.DestroyDeviceInfoList(second));
    EXPECT_EQ(machine.OpenDeviceInfoSetCount(), 0);
}

TEST_F(DeviceServiceAnswers, EnumDeviceInfoFailures) {
    const DevInfoSet set = machine.GetClassDevs(kGuidNull, 6);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    EXPECT_FALSE(machine.EnumDeviceInfo(kInvalidHandleValue, 0, data));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorInvalidHandle));
    data.cbSize = 32;
    EXPECT_FALSE(machine.EnumDeviceInfo(set, 0, data));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorInvalidUserBuffer));
    data.cbSize = kDevInfoDataSize;
    EXPECT_FALSE(machine.EnumDeviceInfo(set, 4, data));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorNoMoreItems));
    machine.DestroyDeviceInfoList(set);
}

TEST_F(DeviceServiceAnswers, EnumDeviceInfoFillsClassGuid) {
    const DevInfoSet set = machine.GetClassDevs(kGuidNull, 6);
    EXPECT_EQ(Record(set, 0).classGuid, kPortsGuid);
    EXPECT_EQ(Record(set, 1).classGuid, kModemGuid);
    EXPECT_EQ(Record(set, 3).classGuid, kGuidNull);  // no ClassGUID property
    EXPECT_NE(Record(set, 0).devInst, Record(set, 1).devInst);
    machine.DestroyDeviceInfoList(set);
}

struct PropertyCase {
    const char* label;
    std::uint32_t property;
    std::uint32_t bufferSize;
    bool ok;
    std::uint32_t lastError;  // when not ok
    std::uint32_t type;
    std::uint32_t required;
};

TEST_F(DeviceServiceAnswers, GetDeviceRegistryProperty) {
    // "Kommunikationsanschluss (COM1)" is 30 characters, 31 bytes with the NUL.
    const PropertyCase cases[] = {
        {"size query", SPDRP_FRIENDLYNAME, 0, false, kErrorInsufficientBuffer, kRegSz, 31},
        {"buffer one short", SPDRP_FRIENDLYNAME, 30, false, kErrorInsufficientBuffer, kRegSz, 31},
        {"exact buffer", SPDRP_FRIENDLYNAME, 31, true, 0, kRegSz, 31},
        {"number", SPDRP_CAPABILITIES, 4, true, 0, kRegDword, 4},
        {"zero-length property, empty buffer", SPDRP_LOCATION_INFORMATION, 0, true, 0, kRegSz, 0},
        {"property the device lacks", SPDRP_MFG, 0, false, kErrorInvalidData, 0xEE, 0xEE},
    };
    const DevInfoSet set = machine.GetClassDevs(kGuidDevInterfaceComport, 0x16);
    const DevInfoData port = Record(set, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::uint8_t> buffer(64, 0);
        std::uint32_t type = 0xEE;
        std::uint32_t required = 0xEE;
        EXPECT_EQ(
            machine.GetDeviceRegistryProperty(set, port, c.property, &type, c.bufferSize == 0 ? nullptr : buffer.data(),
                                              c.bufferSize, &required),
            c.ok);
        if (!c.ok) {
            EXPECT_EQ(machine.GetLastError(), c.lastError);
        }
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(required, c.required);
    }
    std::uint8_t buffer[31];
    ASSERT_TRUE(machine.GetDeviceRegistryProperty(set, port, SPDRP_FRIENDLYNAME, nullptr, buffer, 31, nullptr));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 31), std::string("Kommunikationsanschluss (COM1)\0", 31));
    std::uint8_t number[4];
    ASSERT_TRUE(machine.GetDeviceRegistryProperty(set, port, SPDRP_CAPABILITIES, nullptr, number, 4, nullptr));
    EXPECT_EQ(std::vector<std::uint8_t>(number, number + 4), (std::vector<std::uint8_t>{132, 0, 0, 0}));
    machine.DestroyDeviceInfoList(set);
}

TEST_F(DeviceServiceAnswers, PropertyOfForeignDeviceOrSet) {
    const DevInfoSet ports = machine.GetClassDevs(kGuidDevInterfaceComport, 0x16);
    const DevInfoSet all = machine.GetClassDevs(kGuidNull, 6);
    const DevInfoData keyboard = Record(all, 2);
    std::uint32_t required = 0;
    EXPECT_FALSE(machine.GetDeviceRegistryProperty(ports, keyboard, SPDRP_DEVICEDESC, nullptr, nullptr, 0, &required));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorInvalidParameter));
    EXPECT_EQ(Desc(all, keyboard), "KBD");

    machine.DestroyDeviceInfoList(ports);
    EXPECT_FALSE(
        machine.GetDeviceRegistryProperty(ports, Record(all, 0), SPDRP_DEVICEDESC, nullptr, nullptr, 0, &required));
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorInvalidHandle));
    machine.DestroyDeviceInfoList(all);
}

TEST_F(DeviceServiceAnswers, SuccessLeavesLastErrorAlone) {
    const DevInfoSet set = machine.GetClassDevs(kGuidNull, 6);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    EXPECT_FALSE(machine.EnumDeviceInfo(set, 99, data));
    EXPECT_TRUE(machine.EnumDeviceInfo(set, 0, data));
    EXPECT_EQ(Desc(set, data), "PORT");
    EXPECT_TRUE(machine.DestroyDeviceInfoList(set));
    const DevInfoSet another = machine.GetClassDevs(kGuidNull, 6);
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(kErrorNoMoreItems));
    machine.DestroyDeviceInfoList(another);
}

TEST(DeviceServiceScale, TenThousandDevicesWalkInOrder) {
    MemoryMachine machine;
    constexpr std::uint32_t kCount = 10000;
    for (std::uint32_t i = 0; i < kCount; ++i) {
        MemoryDevice device;
        device.instance = "ROOT\\TEST\\" + std::to_string(i);
        device.comportInterface = i % 2 == 0;
        device.properties[SPDRP_UI_NUMBER] = DwordValue(i);
        machine.AddDevice(std::move(device));
    }
    const DevInfoSet set = machine.GetClassDevs(kGuidDevInterfaceComport, 0x16);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    std::uint32_t index = 0;
    for (; machine.EnumDeviceInfo(set, index, data); ++index) {
        std::uint8_t number[4];
        ASSERT_TRUE(machine.GetDeviceRegistryProperty(set, data, SPDRP_UI_NUMBER, nullptr, number, 4, nullptr));
        ASSERT_EQ(number[0] | (number[1] << 8), static_cast<int>(2 * index));
    }
    EXPECT_EQ(index, kCount / 2);
    machine.DestroyDeviceInfoList(set);
}

}  // namespace
}  // namespace velmaro::memory
