// A row's look follows from what the row is: icon, bold and colour, written to the list in one go.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "port_list/port_list.h"
#include "support/shown_rows.h"

namespace velmaro {
namespace {

struct LookCase {
    const char* name;
    PortRow row;
    std::string shown;  // "text|description|icon|tag|bold colour" as the list control holds it
    bool problemLine;
};

void PrintTo(const LookCase& c, std::ostream* out) {
    *out << c.name;
}

class RowLooks : public ::testing::TestWithParam<LookCase> {};

TEST_P(RowLooks, FollowFromTheRowsMeaning) {
    const LookCase& c = GetParam();
    PortListModel list;
    list.AddRow("COM 9", "COM");  // rows are appended behind what the list holds
    const std::vector<PortRow> rows{c.row};

    AppendRows(list, rows);

    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(testing::Describe(list.Rows()[1]), c.shown);
    EXPECT_EQ(ShowsProblemLine(rows), c.problemLine);
}

INSTANTIATE_TEST_SUITE_P(
    PortList,
    RowLooks,
    ::testing::Values(
        LookCase{"plain port",
                 {RowKind::Port, "COM 1", "Standard COM Port", {}},
                 "COM 1|Standard COM Port|COM||default",
                 false},
        LookCase{"USB wins over IrDA",
                 {RowKind::Port, "COM 2", "USB IrDA Adapter", {}},
                 "COM 2|USB IrDA Adapter|USB||default",
                 false},
        LookCase{"Infrarot wins over Bluetooth",
                 {RowKind::Port, "COM 3", "Infrarot über Bluetooth", {}},
                 "COM 3|Infrarot über Bluetooth|IRDA||default",
                 false},
        LookCase{"Bluetooth",
                 {RowKind::Port, "COM 4", "Bluetooth-Verbindung", {}},
                 "COM 4|Bluetooth-Verbindung|BT||default",
                 false},
        LookCase{"no description", {RowKind::Port, "COM 5", "-", {}}, "COM 5|-|COM||default", false},
        LookCase{"Siemens cable: bold green",
                 {RowKind::SiemensCable, "COM 6", "Siemens USB Kabel DCA-510", {}},
                 "COM 6|Siemens USB Kabel DCA-510|USB||bold 32768",
                 false},
        LookCase{"a doubly assigned Siemens cable stays red",
                 {RowKind::DoubleAssignment, "COM 7", "Siemens USB Kabel DCA-510 - COM Port doppelt belegt",
                  ProblemCode::TwiceUsed510},
                 "COM 7|Siemens USB Kabel DCA-510 - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_510|bold 192",
                 true},
        LookCase{
            "doubly assigned port",
            {RowKind::DoubleAssignment, "COM 8", "Infrarot - COM Port doppelt belegt", ProblemCode::TwiceUsedOther},
            "COM 8|Infrarot - COM Port doppelt belegt|WARNING|PROBLEM_2XUSED_OTHER|bold 192",
            true},
        LookCase{"driver problem",
                 {RowKind::DriverProblem, "Warnung", "USB Wandler / Datenkabel Typ OTI mit Treiberproblem",
                  ProblemCode::Oti},
                 "Warnung|USB Wandler / Datenkabel Typ OTI mit Treiberproblem|WARNING|PROBLEM_OTI|bold 192",
                 true}));

TEST(PortList, ProblemLineShowsWhenAnyRowCarriesTheWarningIcon) {
    const PortRow plain{RowKind::Port, "COM 1", "USB Serial Port", {}};
    const PortRow siemens{RowKind::SiemensCable, "COM 2", "Siemens USB Kabel DCA-510", {}};
    const PortRow problem{RowKind::DriverProblem, "Warnung", "Siemens USB Datenkabel mit Treiberproblem",
                          ProblemCode::X40};
    EXPECT_FALSE(ShowsProblemLine(std::vector<PortRow>{}));
    EXPECT_FALSE(ShowsProblemLine(std::vector<PortRow>{plain, siemens}));
    EXPECT_TRUE(ShowsProblemLine(std::vector<PortRow>{plain, siemens, problem}));
    EXPECT_TRUE(ShowsProblemLine(std::vector<PortRow>{problem, plain}));
}

}  // namespace
}  // namespace velmaro
