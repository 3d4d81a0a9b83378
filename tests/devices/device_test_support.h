#pragma once
// A machine with fakes around it, a builder for devices, and decorators that make services throw.
#include <cstdint>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memory/memory_machine.h"
#include "ports/port_device_table.h"
#include "services/services.h"
#include "support/fakes.h"

namespace velmaro::testing {

// ERROR_GEN_FAILURE, a code no routine treats specially.
inline constexpr std::int32_t kErrorGenFailure = 31;
inline constexpr std::int32_t kErrorNotEnoughMemory = 8;

// The dump of a device without any property.
inline constexpr const char* kEmptyDump =
    "SPDRP_ADDRESS:\r\n"
    "SPDRP_BUSNUMBER:\r\n"
    "SPDRP_BUSTYPEGUID:\r\n"
    "SPDRP_CAPABILITIES:\r\n"
    "SPDRP_CHARACTERISTICS:\r\n"
    "SPDRP_CLASS:\r\n"
    "SPDRP_CLASSGUID:\r\n"
    "SPDRP_COMPATIBLEIDS:\r\n"
    "SPDRP_CONFIGFLAGS:\r\n"
    "SPDRP_DEVICEDESC:\r\n"
    "SPDRP_DRIVER:\r\n"
    "SPDRP_ENUMERATOR_NAME:\r\n"
    "SPDRP_EXCLUSIVE:\r\n"
    "SPDRP_FRIENDLYNAME:\r\n"
    "SPDRP_HARDWAREID:\r\n"
    "SPDRP_LEGACYBUSTYPE:\r\n"
    "SPDRP_LOCATION_INFORMATION:\r\n"
    "SPDRP_LOWERFILTERS:\r\n"
    "SPDRP_MFG:\r\n"
    "SPDRP_PHYSICAL_DEVICE_OBJECT_NAME:\r\n"
    "SPDRP_SECURITY:\r\n"
    "SPDRP_SECURITY_SDS:\r\n"
    "SPDRP_UI_NUMBER:\r\n"
    "SPDRP_UPPERFILTERS:";

// The machine and the user-facing fakes, wired into one Services.
struct Bench {
    memory::MemoryMachine machine;
    RecordingMessageBox messages;
    FakeClipboard clipboard;
    FixedClock clock;
    RecordingPointer pointer;
    Services services{machine, machine, messages, clipboard, clock, pointer};
};

class DeviceBuilder {
  public:
    DeviceBuilder() {
        static int next = 0;
        device_.instance = "TEST\\DEVICE\\" + std::to_string(next++);
        device_.comportInterface = true;
    }
    DeviceBuilder& Class(std::string_view value) { return Set(SPDRP_CLASS, memory::SzValue(value)); }
    DeviceBuilder& FriendlyName(std::string_view value) { return Set(SPDRP_FRIENDLYNAME, memory::SzValue(value)); }
    DeviceBuilder& Description(std::string_view value) { return Set(SPDRP_DEVICEDESC, memory::SzValue(value)); }
    DeviceBuilder& Mfg(std::string_view value) { return Set(SPDRP_MFG, memory::SzValue(value)); }
    DeviceBuilder& Driver(std::string_view value) { return Set(SPDRP_DRIVER, memory::SzValue(value)); }
    DeviceBuilder& HardwareIds(const std::vector<std::string>& ids) {
        return Set(SPDRP_HARDWAREID, memory::MultiSzValue(ids));
    }
    DeviceBuilder& Set(std::uint32_t property, memory::RawValue value) {
        device_.properties[property] = std::move(value);
        return *this;
    }
    DeviceBuilder& NotOnComportInterface() {
        device_.comportInterface = false;
        return *this;
    }
    DeviceBuilder& NotPresent() {
        device_.present = false;
        return *this;
    }
    memory::MemoryDevice Build() const { return device_; }
    operator memory::MemoryDevice() const { return device_; }

  private:
    memory::MemoryDevice device_;
};

// One row of PortDeviceTable, for comparing whole tables.
struct TableRow {
    std::int16_t number = 0;
    std::string desc;
    std::string mfg;
    std::string hardwareId;
    friend bool operator==(const TableRow&, const TableRow&) = default;
    friend std::ostream& operator<<(std::ostream& out, const TableRow& row) {
        return out << "{" << row.number << ", \"" << row.desc << "\", \"" << row.mfg << "\", \"" << row.hardwareId
                   << "\"}";
    }
};

inline std::vector<TableRow> RowsOf(const PortDeviceTable& table) {
    std::vector<TableRow> rows;
    EXPECT_EQ(table.PortDescs.size(), table.Rows());
    EXPECT_EQ(table.PortMfgs.size(), table.Rows());
    EXPECT_EQ(table.PortHardwareIds.size(), table.Rows());
    for (std::size_t i = 0; i < table.Rows(); ++i) {
        rows.push_back({table.PortNumbers[i], table.PortDescs[i], table.PortMfgs[i], table.PortHardwareIds[i]});
    }
    return rows;
}

// Forwards to a device service and throws on the nth property read (1-based).
class ThrowingDevices : public IDeviceInfoService {
  public:
    ThrowingDevices(IDeviceInfoService& inner, int throwOnPropertyCall)
        : inner_(inner), throwOn_(throwOnPropertyCall) {}

    DevInfoSet GetClassDevs(const Guid& classGuid, std::uint32_t flags) override {
        return inner_.GetClassDevs(classGuid, flags);
    }
    bool EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) override {
        return inner_.EnumDeviceInfo(set, index, data);
    }
    bool GetDeviceRegistryProperty(DevInfoSet set,
                                   const DevInfoData& data,
                                   std::uint32_t property,
                                   std::uint32_t* regType,
                                   std::uint8_t* buffer,
                                   std::uint32_t bufferSize,
                                   std::uint32_t* requiredSize) override {
        if (++propertyCalls_ == throwOn_) {
            throw std::runtime_error("device service failed");
        }
        return inner_.GetDeviceRegistryProperty(set, data, property, regType, buffer, bufferSize, requiredSize);
    }
    bool DestroyDeviceInfoList(DevInfoSet set) override { return inner_.DestroyDeviceInfoList(set); }
    std::uint32_t GetLastError() const override { return inner_.GetLastError(); }
    std::string AnsiToUtf8(std::string_view ansi) const override { return inner_.AnsiToUtf8(ansi); }

  private:
    IDeviceInfoService& inner_;
    int throwOn_;
    int propertyCalls_ = 0;
};

// A scripted device service, for checking the calls a routine makes.
class MockDevices : public IDeviceInfoService {
  public:
    MOCK_METHOD(DevInfoSet, GetClassDevs, (const Guid&, std::uint32_t), (override));
    MOCK_METHOD(bool, EnumDeviceInfo, (DevInfoSet, std::uint32_t, DevInfoData&), (override));
    MOCK_METHOD(
        bool,
        GetDeviceRegistryProperty,
        (DevInfoSet, const DevInfoData&, std::uint32_t, std::uint32_t*, std::uint8_t*, std::uint32_t, std::uint32_t*),
        (override));
    MOCK_METHOD(bool, DestroyDeviceInfoList, (DevInfoSet), (override));
    MOCK_METHOD(std::uint32_t, GetLastError, (), (const, override));
    MOCK_METHOD(std::string, AnsiToUtf8, (std::string_view), (const, override));
};

// A message box whose Show fails, as a broken user interface would.
class ThrowingMessageBox : public IMessageBox {
  public:
    MessageResult Show(const std::string& text, MessageStyle) override {
        ++shown;
        throw std::runtime_error("message box failed: " + text);
    }
    int shown = 0;
};

}  // namespace velmaro::testing
