// The small routines of the refresh: sorted insertion, device lookup, the status caption and the
// list-height rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "main_window/port_list_refresh.h"

namespace velmaro {
namespace {

using Numbers = std::vector<std::int16_t>;

TEST(InsertSorted, PlacesValueAndReturnsItsPosition) {
    struct Case {
        Numbers before;
        std::int16_t value;
        Numbers after;
        std::int32_t position;
    } cases[] = {
        // empty list, before the first, after the last
        {{}, 5, {5}, 1},
        {{3, 8}, 1, {1, 3, 8}, 1},
        {{3, 8}, 9, {3, 8, 9}, 3},
        // the search narrows down to lo and stops when mid equals lo
        {{1, 3, 5}, 4, {1, 3, 4, 5}, 3},
        {{10, 20, 30, 40}, 35, {10, 20, 30, 35, 40}, 4},
        {{10, 20, 30, 40}, 15, {10, 15, 20, 30, 40}, 2},
        {{1, 5}, 3, {1, 3, 5}, 2},
        // equal values go after all equal entries
        {{5}, 5, {5, 5}, 2},
        {{2, 2, 5}, 2, {2, 2, 2, 5}, 3},
        {{2, 3}, 2, {2, 2, 3}, 2},
        {{2, 3}, 3, {2, 3, 3}, 3},
        {{7, 7, 7}, 7, {7, 7, 7, 7}, 4},
        {{1, 4, 4, 9}, 4, {1, 4, 4, 4, 9}, 4},
        {{1, 4, 4, 4, 4, 9}, 4, {1, 4, 4, 4, 4, 4, 9}, 6},
        {{2, 5, 5, 5, 9}, 5, {2, 5, 5, 5, 5, 9}, 5},
        {{1, 2, 3, 4, 5, 6, 7, 8}, 6, {1, 2, 3, 4, 5, 6, 6, 7, 8}, 7},
        // signed 16-bit values
        {{-3, 0, 4}, -1, {-3, -1, 0, 4}, 2},
        {{-32768, 32767}, 0, {-32768, 0, 32767}, 2},
    };
    for (auto& c : cases) {
        Numbers list = c.before;
        EXPECT_EQ(InsertSorted(list, c.value), c.position) << "value " << c.value;
        EXPECT_EQ(list, c.after) << "value " << c.value;
    }
}

TEST(InsertSorted, BuildsAnAscendingListFromAnyOrder) {
    // COM10, COM2, COM1 as the serial-port map may return them.
    Numbers list;
    EXPECT_EQ(InsertSorted(list, 10), 1);
    EXPECT_EQ(InsertSorted(list, 2), 1);
    EXPECT_EQ(InsertSorted(list, 1), 1);
    EXPECT_EQ(list, (Numbers{1, 2, 10}));

    std::mt19937 random(20261204);
    std::uniform_int_distribution<int> values(-5, 20);
    Numbers grown;
    for (int i = 0; i < 400; ++i) {
        const auto value = static_cast<std::int16_t>(values(random));
        const std::int32_t position = InsertSorted(grown, value);
        ASSERT_TRUE(std::is_sorted(grown.begin(), grown.end()));
        ASSERT_GE(position, 1);
        const auto at = static_cast<std::size_t>(position - 1);
        ASSERT_EQ(grown[at], value);
        // nothing equal follows the inserted entry
        ASSERT_TRUE(at + 1 == grown.size() || grown[at + 1] > value);
    }
}

PortDeviceTable TableOf(std::vector<std::int16_t> numbers,
                        std::vector<std::string> descs,
                        std::vector<std::string> mfgs) {
    PortDeviceTable table;
    table.PortNumbers = std::move(numbers);
    table.PortDescs = std::move(descs);
    table.PortMfgs = std::move(mfgs);
    table.PortHardwareIds.assign(table.PortNumbers.size(), std::string());
    return table;
}

TEST(LookupPortDevices, CollectsMatchingRowsInTableOrder) {
    const PortDeviceTable table = TableOf({4, 5, 4, 4}, {"USB Serial Port", "Standard COM Port", "", "Bluetooth"},
                                          {"FTDI", "(Standardanschlusstypen)", "", "Microsoft"});
    std::vector<std::string> descriptions{"left over"};
    std::vector<std::string> manufacturers{"left over"};

    EXPECT_EQ(LookupPortDevices(table, 4, descriptions, &manufacturers), 3);
    EXPECT_EQ(descriptions, (std::vector<std::string>{"USB Serial Port", "-", "Bluetooth"}));
    EXPECT_EQ(manufacturers, (std::vector<std::string>{"FTDI", "-", "Microsoft"}));

    EXPECT_EQ(LookupPortDevices(table, 5, descriptions), 1);
    EXPECT_EQ(descriptions, (std::vector<std::string>{"Standard COM Port"}));
    // not passed, so not touched
    EXPECT_EQ(manufacturers, (std::vector<std::string>{"FTDI", "-", "Microsoft"}));
}

TEST(LookupPortDevices, UnknownNumberGivesFreshEmptyLists) {
    const PortDeviceTable table = TableOf({4}, {"USB Serial Port"}, {"FTDI"});
    std::vector<std::string> descriptions{"left over"};
    std::vector<std::string> manufacturers{"left over"};
    EXPECT_EQ(LookupPortDevices(table, 7, descriptions, &manufacturers), 0);
    EXPECT_TRUE(descriptions.empty());
    EXPECT_TRUE(manufacturers.empty());
}

TEST(LookupPortDevices, ResetTableAnswersNumberZeroWithADash) {
    // The empty first row of a table without devices; the refresh never asks for 0.
    const PortDeviceTable table;
    std::vector<std::string> descriptions;
    EXPECT_EQ(LookupPortDevices(table, 0, descriptions), 1);
    EXPECT_EQ(descriptions, (std::vector<std::string>{"-"}));
}

TEST(LastRefreshCaption, UsesTwoDigitFieldsAndAFourDigitYear) {
    struct Case {
        LocalTime time;
        const char* caption;
    } cases[] = {
        {{2026, 12, 4, 9, 5, 7}, "Aktualisiert am 04.12.2026 um 09:05:07 Uhr"},
        {{2027, 1, 31, 23, 59, 59}, "Aktualisiert am 31.01.2027 um 23:59:59 Uhr"},
        {{2025, 10, 1, 0, 0, 0}, "Aktualisiert am 01.10.2025 um 00:00:00 Uhr"},
        {{999, 6, 15, 12, 30, 45}, "Aktualisiert am 15.06.0999 um 12:30:45 Uhr"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LastRefreshCaption(c.time), c.caption);
    }
}

TEST(ApplyListHeightRule, EndsAboveProblemLineOrSeparator) {
    struct Case {
        const char* name;
        float headlineTop;
        float problemTop;
        bool problemVisible;
        float lineY1;
        float height;
    } cases[] = {
        // the window at its design client size after a layout pass
        {"design, hidden", 60, 4860, false, 5535, 3195},  // 5535 - 60 - 2280
        {"design, shown", 60, 4860, true, 5535, 2520},    // 4860 - 60 - 2280
        // the controls as placed in the designer, before any layout pass
        {"designer, hidden", 60, 4760, false, 5460, 3120},  // 5460 - 60 - 2280
        {"designer, shown", 60, 4760, true, 5460, 2420},    // 4760 - 60 - 2280
        // client 1500 twips taller: line at 7035, problem line at 7035 - 615 - 60
        {"taller, hidden", 60, 6360, false, 7035, 4695},
        {"taller, shown", 60, 6360, true, 7035, 4020},
        // the gap is the headline's top, whatever it is
        {"wider margin", 120, 4860, false, 5535, 3135},
    };
    for (const auto& c : cases) {
        PortListModel list;
        BoxModel listBox(60, 2280, 7815, 2415);
        LabelModel lastRefresh(60, 2040, 3735, 255);
        LabelModel problem(60, c.problemTop, 7815, 615, "", c.problemVisible);
        BoxModel headline(60, c.headlineTop, 7815, 255);
        LineModel line(60, c.lineY1, 7875, c.lineY1);
        RefreshControls controls{list, listBox, lastRefresh, problem, headline, line};
        ApplyListHeightRule(controls);
        EXPECT_FLOAT_EQ(listBox.Height(), c.height) << c.name;
        EXPECT_FLOAT_EQ(listBox.Top(), 2280) << c.name;
    }
}

}  // namespace
}  // namespace velmaro
