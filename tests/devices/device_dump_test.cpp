#include "devices/device_dump.h"

#include <gtest/gtest.h>

#include "common/win_codes.h"
#include "device_test_support.h"

namespace velmaro {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::MultiSzValue;
using memory::SzValue;
using testing::Bench;
using testing::DeviceBuilder;
using testing::kEmptyDump;

// The dump of the first present device of the machine.
std::string DumpFirst(Bench& bench) {
    DevInfoSet set = bench.machine.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    DevInfoData device;
    device.cbSize = kDevInfoDataSize;
    EXPECT_TRUE(bench.machine.EnumDeviceInfo(set, 0, device));
    std::string dump = BuildDeviceDump(bench.machine, bench.messages, set, device);
    bench.machine.DestroyDeviceInfoList(set);
    return dump;
}

TEST(BuildDeviceDump, DeviceWithoutPropertiesGivesBareLabels) {
    Bench bench;
    bench.machine.AddDevice(DeviceBuilder());
    EXPECT_EQ(DumpFirst(bench), kEmptyDump);
    EXPECT_TRUE(bench.messages.shown.empty());
    // Every missing property costs only its size query.
    EXPECT_EQ(bench.machine.CallCount("SetupDiGetDeviceRegistryPropertyA"), 24);
}

TEST(BuildDeviceDump, LabelsEachValueInTheFixedOrder) {
    Bench bench;
    bench.machine.AddDevice(DeviceBuilder()
                                .Set(SPDRP_ADDRESS, DwordValue(3))
                                .Set(SPDRP_BUSNUMBER, DwordValue(0))
                                .Set(SPDRP_BUSTYPEGUID, BytesValue(kRegBinary, {'G', 'U', 'I', 'D', 0, 1, 2}))
                                .Set(SPDRP_CAPABILITIES, DwordValue(0x84))
                                .Class("Ports")
                                .Set(SPDRP_CLASSGUID, SzValue("{4D36E978-E325-11CE-BFC1-08002BE10318}"))
                                .Set(SPDRP_COMPATIBLEIDS, MultiSzValue({"USB\\Class_FF&SubClass_00", "USB\\Class_FF"}))
                                .Set(SPDRP_CONFIGFLAGS, DwordValue(0))
                                .Description("Prolific USB-to-Serial Comm Port")
                                .Driver("{4D36E978-E325-11CE-BFC1-08002BE10318}\\0003")
                                .Set(SPDRP_ENUMERATOR_NAME, SzValue("USB"))
                                .FriendlyName("Prolific USB-to-Serial Comm Port (COM5)")
                                .HardwareIds({"USB\\VID_067B&PID_2303&REV_0300", "USB\\VID_067B&PID_2303"})
                                .Set(SPDRP_LEGACYBUSTYPE, DwordValue(0xFFFFFFFFu))
                                .Set(SPDRP_LOCATION_INFORMATION, SzValue("Anschluß Nr. 1 am Hub 4"))
                                .Mfg("Prolific")
                                .Set(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, SzValue("\\Device\\USBPDO-5"))
                                .Set(SPDRP_UPPERFILTERS, MultiSzValue({"serenum"})));
    EXPECT_EQ(DumpFirst(bench),
              "SPDRP_ADDRESS:3\r\n"
              "SPDRP_BUSNUMBER:0\r\n"
              "SPDRP_BUSTYPEGUID:GUID\r\n"
              "SPDRP_CAPABILITIES:132\r\n"
              "SPDRP_CHARACTERISTICS:\r\n"
              "SPDRP_CLASS:Ports\r\n"
              "SPDRP_CLASSGUID:{4D36E978-E325-11CE-BFC1-08002BE10318}\r\n"
              "SPDRP_COMPATIBLEIDS:USB\\Class_FF&SubClass_00\r\n"
              "SPDRP_CONFIGFLAGS:0\r\n"
              "SPDRP_DEVICEDESC:Prolific USB-to-Serial Comm Port\r\n"
              "SPDRP_DRIVER:{4D36E978-E325-11CE-BFC1-08002BE10318}\\0003\r\n"
              "SPDRP_ENUMERATOR_NAME:USB\r\n"
              "SPDRP_EXCLUSIVE:\r\n"
              "SPDRP_FRIENDLYNAME:Prolific USB-to-Serial Comm Port (COM5)\r\n"
              "SPDRP_HARDWAREID:USB\\VID_067B&PID_2303&REV_0300\r\n"
              "SPDRP_LEGACYBUSTYPE:-1\r\n"
              "SPDRP_LOCATION_INFORMATION:Anschluß Nr. 1 am Hub 4\r\n"
              "SPDRP_LOWERFILTERS:\r\n"
              "SPDRP_MFG:Prolific\r\n"
              "SPDRP_PHYSICAL_DEVICE_OBJECT_NAME:\\Device\\USBPDO-5\r\n"
              "SPDRP_SECURITY:\r\n"
              "SPDRP_SECURITY_SDS:\r\n"
              "SPDRP_UI_NUMBER:\r\n"
              "SPDRP_UPPERFILTERS:serenum");
    EXPECT_TRUE(bench.messages.shown.empty());
}

TEST(BuildDeviceDump, UnreadablePropertyShowsItsMessageAndTheDumpGoesOn) {
    Bench bench;
    bench.machine.AddDevice(DeviceBuilder()
                                .Set(SPDRP_SECURITY, BytesValue(kRegNone, {1, 2, 3}))
                                .Set(SPDRP_UI_NUMBER, DwordValue(7))
                                .Set(SPDRP_UPPERFILTERS, BytesValue(kRegSz, {'a', 0, 'b', 0})));
    const std::string dump = DumpFirst(bench);
    EXPECT_EQ(bench.messages.Texts(), std::vector<std::string>{"Error while dermitting Regestryproperty"});
    const std::string tail =
        "SPDRP_SECURITY:\r\n"
        "SPDRP_SECURITY_SDS:\r\n"
        "SPDRP_UI_NUMBER:7\r\n"
        "SPDRP_UPPERFILTERS:a";
    ASSERT_GE(dump.size(), tail.size());
    EXPECT_EQ(dump.substr(dump.size() - tail.size()), tail);
}

}  // namespace
}  // namespace velmaro
