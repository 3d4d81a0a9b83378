// Registry values as text. Device properties are read through the dump, one per type, and refused
// property calls are injected in the walks' fault table.
#include "devices/device_property.h"

#include <gtest/gtest.h>

#include <optional>

#include "device_test_support.h"

namespace velmaro {
namespace {

using namespace velmaro::testing;

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
    const struct {
        const char* name;
        std::optional<RawValue> stored;  // nothing: the key has no such value
        std::int32_t status;
        std::optional<RegValue> expected;
        const char* refused = "";  // the call refused the nth time, with the status as its code
        int nth = 1;
    } cases[] = {
        // clang-format off
        {"COM5", SzValue("COM5"), 0, std::string("COM5\0 ", 6)},
        {"dword", DwordValue(0xFFFFFFFEu), 0, std::int32_t{-2}},
        {"REG_EXPAND_SZ", SzValue("%x%", kRegExpandSz), 0, std::nullopt},
        {"value missing", std::nullopt, kErrorFileNotFound, std::nullopt},
        {"open refused", SzValue("COM3"), kErrorAccessDenied, std::nullopt, "RegOpenKeyExA"},
        {"read refused", SzValue("COM3"), kErrorMoreData, std::nullopt, "RegQueryValueExA", 2},
        // A key whose close the system refused stays with it; there is nothing to retry.
        {"close refused", SzValue("COM3"), kErrorKeyDeleted, std::string("COM3\0 ", 6), "RegCloseKey"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        bench.machine.PutKey(kHkeyLocalMachine, path);
        if (c.stored) {
            bench.machine.PutValue(kHkeyLocalMachine, path, name, *c.stored);
        }
        if (*c.refused) {
            bench.machine.FailCall(c.refused, c.status, c.nth);
        }
        std::optional<RegValue> value;
        EXPECT_EQ(QueryRegValue(bench.machine, kHkeyLocalMachine, path, name, value), c.status);
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(bench.machine.OpenKeyCount(), std::string(c.refused) == "RegCloseKey");
    }
}

}  // namespace
}  // namespace velmaro
