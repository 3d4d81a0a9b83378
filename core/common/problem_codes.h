#pragma once
// Every problem code of the program in one table: the tag a list row carries, the row's text, how
// the driver scan recognises the cable, what the guidance dialog says on each platform and what its
// "Ja" opens. Adding a code means adding one row and its texts.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
    // The diagnosis of today's cables, from the device status and the Linux backend's facts.
    NoDriver,
    DriverFailed,
    Disabled,
    Brltty,
    NoAccess,
    PortBusy,
    ModemManager,
};

// Which repair steps the dialog gives. The platform chooses; Windows is the program's own set.
enum class GuidancePlatform { Windows, Linux };

// The action of "Ja" that opens the locally installed help page instead of an address.
inline constexpr std::string_view kHelpMarker = "Local x40 HelP";

// "Ja" opening one section of the help page: the help marker, '#' and the section's anchor.
inline constexpr char kHelpSectionSeparator = '#';

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
    std::string_view action{};  // what "Ja" opens: kHelpMarker, a help section, a forum address or nothing
    // Windows paragraphs for a chip whose maker offers a driver page; "Ja" then opens that page.
    std::span<const std::string_view> windowsGuidanceWithDriverPage{};
};

// A placeholder of a row text or paragraph ("family" stands for "{family}") and what fills it.
struct FillIn {
    std::string name;
    std::string value;
    friend bool operator==(const FillIn&, const FillIn&) = default;
};
using FillIns = std::vector<FillIn>;

// The fill-in that names the maker's driver page (Windows).
inline constexpr std::string_view kFillInDriverPage = "driverPage";

// Every code, in the order in which a tag is tested against them and the scan applies its rules.
std::span<const ProblemCodeRow> ProblemCodeTable();

const ProblemCodeRow& RowOf(ProblemCode code);
std::string_view TagOf(ProblemCode code);

// The first code whose tag equals tag exactly, letter case included.
std::optional<ProblemCode> FindProblemCode(std::string_view tag);

// The code's guidance paragraphs for the platform, joined with CR LF. With fill-ins, their
// placeholders are filled and a paragraph whose placeholder has no fill-in is left out.
std::string ComposeGuidanceText(ProblemCode code, GuidancePlatform platform, const FillIns& fillIns = {});

// text with every "{name}" of a fill-in replaced; other braces stay as they are.
std::string FillInText(std::string_view text, const FillIns& fillIns);

// What "Ja" opens for the code on the platform: the driver page fill-in where the code offers it
// on Windows, else the row's action.
std::string GuidanceAction(ProblemCode code, GuidancePlatform platform, const FillIns& fillIns);

// The tag a list row carries: the code's tag, then its fill-ins; a code without fill-ins keeps
// its plain tag.
std::string ProblemTag(ProblemCode code, const FillIns& fillIns);
struct ProblemTagContent {
    ProblemCode code;
    FillIns fillIns;
};
// The code and fill-ins of a tag written by ProblemTag; nothing for any other text.
std::optional<ProblemTagContent> ParseProblemTag(std::string_view tag);

}  // namespace velmaro
