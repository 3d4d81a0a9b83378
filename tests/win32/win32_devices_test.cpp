// The device-information backend against the system's SetupAPI (Wine's, in a fresh prefix, with
// whatever devices Wine has of its own): the two sets the product asks for, the calls' answers on
// bad sets and records, and that every set goes back. Devices written in by a scenario are read
// back by the test in tests/wine/backend.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "win32/win32_devices.h"

namespace velmaro::win32 {
namespace {

DevInfoData Record(std::uint32_t size = kDevInfoDataSize) {
    DevInfoData data;
    data.cbSize = size;
    return data;
}

std::string Failure(bool result, const Win32Devices& devices) {
    return result ? "true" : "false " + std::to_string(devices.GetLastError());
}

// Walks a set to its end; the outcome is how it ended.
std::string WalkToEnd(Win32Devices& devices, DevInfoSet set) {
    DevInfoData data = Record();
    std::uint32_t index = 0;
    while (devices.EnumDeviceInfo(set, index, data)) {
        ++index;
    }
    return "ended with " + std::to_string(devices.GetLastError());
}

TEST(Win32DevicesTest, CallsAnswerAsTheSystemDoes) {
    struct Row {
        const char* what;
        std::function<std::string(Win32Devices&)> call;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"present devices of every class",
         [](Win32Devices& d) {
             const DevInfoSet set = d.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
             const std::string outcome = set == kInvalidHandleValue ? "no set" : WalkToEnd(d, set);
             return outcome + " destroyed=" + Failure(d.DestroyDeviceInfoList(set), d);
         },
         "ended with 259 destroyed=true"},
        {"present devices with a device interface",
         [](Win32Devices& d) {
             const DevInfoSet set =
                 d.GetClassDevs(kGuidDevInterfaceComport, kDigcfPresent | kDigcfAllClasses | kDigcfDeviceInterface);
             const std::string outcome = set == kInvalidHandleValue ? "no set" : WalkToEnd(d, set);
             return outcome + " destroyed=" + Failure(d.DestroyDeviceInfoList(set), d);
         },
         "ended with 259 destroyed=true"},
        {"a record in the native layout",
         [](Win32Devices& d) {
             const DevInfoSet set = d.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
             DevInfoData data = Record(32);
             const std::string outcome = Failure(d.EnumDeviceInfo(set, 0, data), d);
             d.DestroyDeviceInfoList(set);
             return outcome;
         },
         "false 1784"},
        {"a property of a record in the native layout",
         [](Win32Devices& d) {
             const DevInfoSet set = d.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
             std::uint32_t type = 0;
             std::uint32_t size = 0;
             const auto outcome =
                 Failure(d.GetDeviceRegistryProperty(set, Record(32), SPDRP_CLASS, &type, nullptr, 0, &size), d);
             d.DestroyDeviceInfoList(set);
             return outcome;
         },
         "false 87"},
        {"walk, read and destroy a set already destroyed",
         [](Win32Devices& d) {
             const DevInfoSet set = d.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
             d.DestroyDeviceInfoList(set);
             DevInfoData data = Record();
             std::uint32_t size = 0;
             return Failure(d.EnumDeviceInfo(set, 0, data), d) + ", " +
                    Failure(d.GetDeviceRegistryProperty(set, data, SPDRP_CLASS, nullptr, nullptr, 0, &size), d) + ", " +
                    Failure(d.DestroyDeviceInfoList(set), d);
         },
         "false 6, false 6, false 6"},
        {"destroy the invalid handle value",
         [](Win32Devices& d) { return Failure(d.DestroyDeviceInfoList(kInvalidHandleValue), d); }, "false 6"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Win32Devices devices;
        EXPECT_EQ(row.call(devices), row.expected);
        EXPECT_EQ(devices.OpenSetCount(), 0);
    }
}

}  // namespace
}  // namespace velmaro::win32
