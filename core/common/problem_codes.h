#pragma once
// Every problem code of the program in one table: the tag a list row carries, the row's text, how
// the driver scan recognises the cable, what the guidance dialog says on each platform and what its
// "Ja" opens. Adding a code means adding one row and its texts.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmaro {

enum class ProblemCode {
    X40,
    X510,
    Usb2vcom,
    Ftdi2xx,
    Oti,
    Cp210x,
    TwiceUsedX40,
    TwiceUsed510,
    TwiceUsedUsb2vcom,  // accepted by the dialog, never set
    TwiceUsedOther,
};

// Which repair steps the dialog gives. The platform chooses; Windows is the program's own set.
enum class GuidancePlatform { Windows, Linux };

// The action of "Ja" that opens the locally installed help page instead of an address.
inline constexpr std::string_view kHelpMarker = "Local x40 HelP";

// In a guidance text: an empty paragraph, which leaves one blank line.
inline constexpr std::string_view kBlankLine;
inline constexpr std::string_view kLineBreak = "\r\n";

// A cable chip known by its vendor and product ID. With ownHardwareIdOnly a working port is only
// recognised by this very device's hardware ID; otherwise any port of the same chip will do.
struct UsbRule {
    std::string_view vidPid;
    bool ownHardwareIdOnly = false;
};

struct ProblemCodeRow {
    ProblemCode code = ProblemCode::X40;
    std::string_view tag{};
    // The driver scan's row text; empty for the codes of doubly assigned ports.
    std::string_view rowText{};
    // A cable without driver by its device description in upper case (compared whole) or by its
    // USB IDs; a code has at most one of them.
    std::string_view upperDeviceDescription{};
    std::optional<UsbRule> usb{};
    // A doubly assigned Siemens cable whose description names this model, in upper case.
    std::string_view upperSiemensModel{};
    std::span<const std::string_view> windowsGuidance{};  // kBlankLine for a blank line
    std::span<const std::string_view> linuxGuidance{};
    bool asksQuestion = false;  // "Ja" and "Nein" instead of "OK"
    std::string_view action{};  // what "Ja" opens: kHelpMarker, a forum address or nothing
};

// Every code, in the order in which a tag is tested against them and the scan applies its rules.
std::span<const ProblemCodeRow> ProblemCodeTable();

const ProblemCodeRow& RowOf(ProblemCode code);
std::string_view TagOf(ProblemCode code);

// The first code whose tag equals tag exactly, letter case included.
std::optional<ProblemCode> FindProblemCode(std::string_view tag);

// The code's guidance paragraphs for the platform, joined with CR LF.
std::string ComposeGuidanceText(ProblemCode code, GuidancePlatform platform);

}  // namespace velmaro
