// The problem-code table: each code's tag, row text, detection rule, question and action, and the
// exact, case-sensitive lookup of a tag.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>

#include "common/addresses.h"
#include "common/problem_codes.h"

namespace velmaro {
namespace {

struct CodeCase {
    ProblemCode code;
    const char* tag;
    const char* rowText;            // "" for the codes of doubly assigned ports
    const char* deviceDescription;  // "" when the scan does not look at the description
    std::optional<UsbRule> usb;
    const char* siemensModel;  // "" when no doubly assigned Siemens cable gets this code
    bool asksQuestion;
    std::string_view action;
};

void PrintTo(const CodeCase& c, std::ostream* out) {
    *out << c.tag;
}

class ProblemCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ProblemCodes, RowHoldsTheCodesTagRuleAndAction) {
    const CodeCase& c = GetParam();
    const ProblemCodeRow& row = RowOf(c.code);
    EXPECT_EQ(row.code, c.code);
    EXPECT_EQ(TagOf(c.code), c.tag);
    EXPECT_EQ(FindProblemCode(c.tag), c.code);
    std::string lower = c.tag;
    for (char& ch : lower) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    EXPECT_EQ(FindProblemCode(lower), std::nullopt);
    EXPECT_EQ(row.rowText, c.rowText);
    EXPECT_EQ(row.upperDeviceDescription, c.deviceDescription);
    EXPECT_EQ(row.usb.has_value(), c.usb.has_value());
    if (row.usb && c.usb) {
        EXPECT_EQ(row.usb->vidPid, c.usb->vidPid);
        EXPECT_EQ(row.usb->ownHardwareIdOnly, c.usb->ownHardwareIdOnly);
    }
    EXPECT_EQ(row.upperSiemensModel, c.siemensModel);
    EXPECT_EQ(row.asksQuestion, c.asksQuestion);
    EXPECT_EQ(row.action, c.action);
    for (const GuidancePlatform platform : {GuidancePlatform::Windows, GuidancePlatform::Linux}) {
        const std::string text = ComposeGuidanceText(c.code, platform);
        EXPECT_FALSE(text.empty());
        EXPECT_FALSE(text.starts_with(kLineBreak) || text.ends_with(kLineBreak));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table,
    ProblemCodes,
    ::testing::Values(
        // clang-format off
        CodeCase{ProblemCode::X40, "PROBLEM_X40", "Siemens USB Datenkabel mit Treiberproblem", "SIEMENS USB CONNECTIVITY", std::nullopt, "", true, kHelpMarker},
        CodeCase{ProblemCode::X510, "PROBLEM_X510", "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem", "", UsbRule{"Vid_067b&Pid_2303", true}, "", false, ""},
        CodeCase{ProblemCode::Usb2vcom, "PROBLEM_USB2VCOM", "USB Wandler / Datenkabel Typ usb2vcom mit Treiberproblem", "", UsbRule{"Vid_6547&Pid_0232", true}, "", false, ""},
        CodeCase{ProblemCode::Ftdi2xx, "PROBLEM_FTDI2XX", "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem", "", UsbRule{"Vid_0403&Pid_6001", false}, "", false, ""},
        CodeCase{ProblemCode::Oti, "PROBLEM_OTI", "USB Wandler / Datenkabel Typ OTI mit Treiberproblem", "", UsbRule{"Vid_0ea0&Pid_6858", false}, "", false, ""},
        CodeCase{ProblemCode::Cp210x, "PROBLEM_CP210X", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "", UsbRule{"Vid_10c4&Pid_ea60", false}, "", false, ""},
        CodeCase{ProblemCode::TwiceUsedX40, "PROBLEM_2XUSED_X40", "", "", std::nullopt, "DCA-140", true, kForumThread2xUsedX40},
        CodeCase{ProblemCode::TwiceUsed510, "PROBLEM_2XUSED_510", "", "", std::nullopt, "DCA-510", true, kForumThread2xUsed510},
        CodeCase{ProblemCode::TwiceUsedUsb2vcom, "PROBLEM_2XUSED_USB2VCOM", "", "", std::nullopt, "", false, ""},
        CodeCase{ProblemCode::TwiceUsedOther, "PROBLEM_2XUSED_OTHER", "", "", std::nullopt, "", false, ""}
        // clang-format on
        ));

// The scan applies the USB rules in table order, and a DCA-140 cable is tested before a DCA-510.
TEST(ProblemCodeTable, HoldsEveryCodeOnceInTheOrderTheyAreTested) {
    std::string tags;
    for (const ProblemCodeRow& row : ProblemCodeTable()) {
        tags += std::string(row.tag) + " ";
    }
    EXPECT_EQ(tags,
              "PROBLEM_X40 PROBLEM_X510 PROBLEM_USB2VCOM PROBLEM_FTDI2XX PROBLEM_OTI PROBLEM_CP210X "
              "PROBLEM_2XUSED_X40 PROBLEM_2XUSED_510 PROBLEM_2XUSED_USB2VCOM PROBLEM_2XUSED_OTHER "
              "PROBLEM_NO_DRIVER PROBLEM_DRIVER_FAILED PROBLEM_DISABLED PROBLEM_BRLTTY PROBLEM_NO_ACCESS "
              "PROBLEM_PORT_BUSY PROBLEM_MODEMMANAGER ");
    for (const char* unknown : {"", "PROBLEM_", "PROBLEM_X40 ", "Local x40 HelP", "PROBLEM_UNBEKANNT"}) {
        EXPECT_EQ(FindProblemCode(unknown), std::nullopt) << unknown;
    }
}

}  // namespace
}  // namespace velmaro
