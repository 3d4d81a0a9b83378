#include "devices/device_property.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "device_test_support.h"

namespace velmaro {
namespace {

using namespace velmaro::testing;

TEST(GetDeviceProperty, ReadsEveryTypeAndFailsWithItsMessage) {
    const std::string longText = std::string(1500, 'x') + "END";
    const struct {
        const char* name;
        std::optional<RawValue> value;  // nothing: the device lacks the property
        int failNth;                    // the property call that is refused, 0 for none
        std::string expected;
        std::vector<std::string> messages;
        int calls;
    } cases[] = {
        // clang-format off
        {"missing", std::nullopt, 0, "", {}, 1},
        {"sz of 22, required size 23", SzValue("Prolific USB-to-Serial"), 0, "Prolific USB-to-Serial", {}, 2},
        {"sz over 1024 bytes", SzValue(longText), 0, longText, {}, 2},
        {"multi sz", MultiSzValue({"USB\\VID_067B&PID_2303", "USB\\VID_067B"}), 0, "USB\\VID_067B&PID_2303", {}, 2},
        {"expand sz", SzValue("%SystemRoot%", kRegExpandSz), 0, "%SystemRoot%", {}, 2},
        {"binary loses its last byte", BytesValue(kRegBinary, {'A', 'B', 'C', 'D'}), 0, "ABC", {}, 2},
        {"size query succeeds", BytesValue(kRegSz, {}), 0, "", {}, 1},
        // Windows-1252: euro sign, Ä Ö Ü ß ä, en dash, Y with diaeresis.
        {"cp1252", BytesValue(kRegSz, {0x80, ' ', 0xC4, 0xD6, 0xDC, 0xDF, 0xE4, 0x96, 0x9F, 0}), 0,
         "\xE2\x82\xAC \xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA4\xE2\x80\x93\xC5\xB8", {}, 2},
        {"dword 12", DwordValue(12), 0, "12", {}, 2},
        {"dword all bits", DwordValue(0xFFFFFFFFu), 0, "-1", {}, 2},
        // Big-endian data is read as the bytes lie: 00 00 00 01 is 0x01000000.
        {"dword big endian", BytesValue(kRegDwordBigEndian, {0, 0, 0, 1}), 0, "16777216", {}, 2},
        {"REG_NONE", BytesValue(kRegNone, {'A', 0}), 0, "", {kCantRead}, 1},
        {"REG_LINK", BytesValue(kRegLink, {'A', 0}), 0, "", {kCantRead}, 1},
        {"size query refused", SzValue("x"), 1, "", {kCantGet}, 1},
        {"text read refused", SzValue("x"), 2, "", {kCantRead}, 2},
        {"number read refused", DwordValue(3), 2, "", {kCantRead}, 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        bench.machine.AddDevice(c.value ? DeviceBuilder().Set(SPDRP_FRIENDLYNAME, *c.value) : DeviceBuilder());
        DevInfoSet set = bench.machine.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
        DevInfoData data{kDevInfoDataSize};
        ASSERT_TRUE(bench.machine.EnumDeviceInfo(set, 0, data));
        if (c.failNth > 0) {
            bench.machine.FailCall("SetupDiGetDeviceRegistryPropertyA", kErrorAccessDenied, c.failNth);
        }
        EXPECT_EQ(GetDeviceProperty(bench.machine, bench.messages, set, data, SPDRP_FRIENDLYNAME), c.expected);
        EXPECT_EQ(bench.messages.Texts(), c.messages);
        for (const auto& shown : bench.messages.shown)
            EXPECT_EQ(shown.style, MessageStyle::PromptOnly);
        EXPECT_EQ(bench.machine.CallCount("SetupDiGetDeviceRegistryPropertyA"), c.calls);
    }
}

TEST(CutAtNull, ShortensTheCallersTextAndReturnsIt) {
    for (auto [text, out] :
         {std::pair{std::string("COM3\0 ", 6), "COM3"}, {std::string("\0abc", 4), ""}, {"COM5", "COM5"}}) {
        EXPECT_EQ(CutAtNull(text), out);
        EXPECT_EQ(text, out);
    }
}

TEST(QueryRegValue, DeliversTextsAndDwordsOnlyAndReturnsTheFirstFailure) {
    // Path and name are not ASCII, so every query goes through the code page.
    const std::string path = "SYSTEM\\CurrentControlSet\\Control\\Class\\Geräte\\0000", name = "Anschluß";
    const RawValue com3 = SzValue("COM3");
    const struct {
        const char* name;
        std::optional<RawValue> stored;                                   // nothing: the key has no such value
        std::vector<std::tuple<const char*, int, std::int32_t>> refused;  // call, nth, code
        std::int32_t status;
        std::optional<RegValue> expected;
    } cases[] = {
        // clang-format off
        {"COM5", SzValue("COM5"), {}, 0, std::string("COM5\0 ", 6)},
        {"cp1252", SzValue("Müller"), {}, 0, std::string("Müller\0 ", 9)},
        {"dword", DwordValue(0xFFFFFFFEu), {}, 0, std::int32_t{-2}},
        {"REG_EXPAND_SZ", SzValue("%x%", kRegExpandSz), {}, 0, std::nullopt},
        {"REG_DWORD_BIG_ENDIAN", BytesValue(kRegDwordBigEndian, {0, 0, 0, 3}), {}, 0, std::nullopt},
        {"value missing", std::nullopt, {}, kErrorFileNotFound, std::nullopt},
        {"open refused", com3, {{"RegOpenKeyExA", 1, kErrorAccessDenied}}, kErrorAccessDenied, std::nullopt},
        {"read refused", com3, {{"RegQueryValueExA", 2, kErrorMoreData}}, kErrorMoreData, std::nullopt},
        {"dword read and close refused", DwordValue(3),
         {{"RegQueryValueExA", 2, kErrorMoreData}, {"RegCloseKey", 1, kErrorInvalidHandle}},
         kErrorMoreData, std::nullopt},
        {"close refused", com3, {{"RegCloseKey", 1, kErrorKeyDeleted}}, kErrorKeyDeleted, std::string("COM3\0 ", 6)},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        bench.machine.PutKey(kHkeyLocalMachine, path);
        if (c.stored) {
            bench.machine.PutValue(kHkeyLocalMachine, path, name, *c.stored);
        }
        int closesRefused = 0;
        for (const auto& [call, nth, code] : c.refused) {
            bench.machine.FailCall(call, code, nth);
            closesRefused += std::string(call) == "RegCloseKey";
        }
        std::optional<RegValue> value;
        EXPECT_EQ(QueryRegValue(bench.machine, kHkeyLocalMachine, path, name, value), c.status);
        EXPECT_EQ(value, c.expected);
        // A key whose close the system refused stays with it; there is nothing to retry.
        EXPECT_EQ(bench.machine.OpenKeyCount(), closesRefused);
    }
}

}  // namespace
}  // namespace velmaro
