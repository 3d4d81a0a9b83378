#pragma once
// frmPorts as designed: every control's place in twips, its tab index, texts, colours and fonts.
// The views build the window from this; the layout pass then moves what it moves.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/addresses.h"
#include "common/appearance.h"
#include "common/twips.h"
#include "headline/uc_headline.h"
#include "port_list/port_list.h"

namespace velmaro {

// --- the window ---
// Sizable, with title bar, system menu, minimise and maximise buttons; opens centred, not maximised.
inline constexpr float kClientDesignWidth = 7935;
inline constexpr float kClientDesignHeight = 6270;
// The outer window (frame and title bar included) springs back to at least this size.
inline constexpr float kMinOuterWidth = 8130;
inline constexpr float kMinOuterHeight = 6720;

// --- the refresh timer tmrRefresh, created disabled ---
inline constexpr int kFirstRefreshDelayMs = 200;
inline constexpr int kRefreshIntervalMs = 1500;

// --- fonts and colours ---
inline constexpr Font kDialogFont{"MS Sans Serif", 8.25f, 400};
inline constexpr Font kLinkFont{"MS Sans Serif", 8.25f, 400, false, true};
inline constexpr Color kProblemLineColor = Color::Rgb(192, 0, 0);
inline constexpr Color kLinkColor = Color::Rgb(0, 0, 128);  // navy, 8388608
inline constexpr Color kSeparatorColor = Color::System(kSysColorGrayText);

// --- texts ("&&" in a caption shows one "&") ---
inline constexpr const char* kHeadlineCaption = "Physikalische && virtuelle COM Ports auf diesem PC";
inline constexpr const char* kLastRefreshInitialCaption = "Aktualisierung läuft...";
inline constexpr const char* kCaptionOpenDevMan = "Gerätemanager öffnen";
inline constexpr const char* kCaptionExit = "Beenden";
inline constexpr const char* kCaptionUrlPreWeb = "Software && Datenkabel für BenQ-Siemens Handys unter";
inline constexpr const char* kCaptionUrlPreMail = "Feedback && Bugmeldungen bitte an";
// lblStatic: set at load, four paragraphs joined by CR LF.
inline constexpr const char* kIntroText =
    "Dieses Programm zeigt alle verfügbaren COM Ports an. Es werden sowohl echte, serielle COM Ports aufgeführt "
    "als auch virtuelle COM Ports, die z.B. durch USB Datenkabel oder Bluetooth Adapter bereitgestellt werden.\r\n"
    "Erkannte Siemens Kabel werden hervorgehoben, Adapter anderer Hersteller werden soweit möglich namentlich "
    "beschrieben.\r\n"
    "Für Sie ist es wichtig, die Nummer des COM Ports auszulesen, über den Ihr Telefon erreichbar ist. Diese "
    "Nummer muß in Programmen, die mit dem Telefon arbeiten sollen als Anschluß gewählt werden.\r\n"
    "Die Liste wird alle zwei Sekunden automatisch aktualisiert.";

// --- controls ---
enum class ControlKind {
    Headline,   // ucHeadline; draws the presenter's model (frmPorts::hdlMain)
    Label,      // plain label
    ListView,   // report view with column headers and the small-icon list ilst
    Button,     // push button
    LinkLabel,  // kLinkFont in kLinkColor, hand cursor, tooltip; a click opens its own caption
};

struct ControlDesign {
    std::string_view name{};
    int index = -1;  // element of a control array (lblUrlPre, lblUrl); -1 for a single control
    ControlKind kind = ControlKind::Label;
    TwipsRect rect{};
    int tabIndex = 0;
    std::string_view caption{};
    bool wordWrap = false;
    bool autoSize = false;  // sized to its text
    bool visible = true;
    std::optional<Color> foreColor{};  // nothing: the toolkit's default text colour
    Font font = kDialogFont;
};

inline constexpr ControlDesign kHdlMain{.name = "hdlMain",
                                        .kind = ControlKind::Headline,
                                        .rect = {60, 60, 7815, 255},
                                        .tabIndex = 0,
                                        .caption = kHeadlineCaption,
                                        .foreColor = ucHeadline::kTextColor,
                                        .font = ucHeadline::kFont};
// Its text is set at load.
inline constexpr ControlDesign kLblStatic{.name = "lblStatic",
                                          .rect = {60, 420, 7815, 1575},
                                          .tabIndex = 4,
                                          .wordWrap = true};
// The refresh replaces the caption.
inline constexpr ControlDesign kLblLastRefresh{.name = "lblLastRefresh",
                                               .rect = {60, 2040, 3735, 255},
                                               .tabIndex = 2,
                                               .caption = kLastRefreshInitialCaption};
inline constexpr ControlDesign kLvwPorts{.name = "lvwPorts",
                                         .kind = ControlKind::ListView,
                                         .rect = {60, 2280, 7815, 2415},
                                         .tabIndex = 1};
// Hidden until a refresh finds a problem row; the text never changes.
inline constexpr ControlDesign kLblProblem{.name = "lblProblem",
                                           .rect = {60, 4760, 7815, 615},
                                           .tabIndex = 8,
                                           .caption = kProblemLineText,
                                           .wordWrap = true,
                                           .visible = false,
                                           .foreColor = kProblemLineColor};
inline constexpr ControlDesign kCmdOpenDevMan{.name = "cmdOpenDevMan",
                                              .kind = ControlKind::Button,
                                              .rect = {4920, 5560, 1455, 615},
                                              .tabIndex = 7,
                                              .caption = kCaptionOpenDevMan};
inline constexpr ControlDesign kCmdExit{.name = "cmdExit",
                                        .kind = ControlKind::Button,
                                        .rect = {6420, 5560, 1455, 615},
                                        .tabIndex = 3,
                                        .caption = kCaptionExit};
inline constexpr ControlDesign kLblUrlPreWeb{.name = "lblUrlPre",
                                             .index = 0,
                                             .rect = {60, 5565, 3945, 195},
                                             .tabIndex = 6,
                                             .caption = kCaptionUrlPreWeb,
                                             .autoSize = true};
inline constexpr ControlDesign kLblUrlWeb{.name = "lblUrl",
                                          .index = 0,
                                          .kind = ControlKind::LinkLabel,
                                          .rect = {60, 5760, 1845, 195},
                                          .tabIndex = 5,
                                          .caption = kMakerWebAddress,
                                          .autoSize = true,
                                          .foreColor = kLinkColor,
                                          .font = kLinkFont};
inline constexpr ControlDesign kLblUrlPreMail{.name = "lblUrlPre",
                                              .index = 1,
                                              .rect = {60, 6000, 2655, 195},
                                              .tabIndex = 9,
                                              .caption = kCaptionUrlPreMail,
                                              .autoSize = true};
inline constexpr ControlDesign kLblUrlMail{.name = "lblUrl",
                                           .index = 1,
                                           .kind = ControlKind::LinkLabel,
                                           .rect = {2760, 6000, 1935, 195},
                                           .tabIndex = 10,
                                           .caption = kFeedbackAddress,
                                           .autoSize = true,
                                           .foreColor = kLinkColor,
                                           .font = kLinkFont};
// Between the mail address's lead-in and the address, as designed.
inline constexpr float kMailLinkGap = kLblUrlMail.rect.left - (kLblUrlPreMail.rect.left + kLblUrlPreMail.rect.width);

// The controls with a place in the tab order (all but linBut, tmrRefresh and ilst), in that order.
inline constexpr std::array<ControlDesign, 11> kMainControls = {
    kHdlMain,      kLvwPorts,      kLblLastRefresh, kCmdExit,       kLblStatic, kLblUrlWeb,
    kLblUrlPreWeb, kCmdOpenDevMan, kLblProblem,     kLblUrlPreMail, kLblUrlMail};

// The controls the keyboard reaches, in reading order: the list, then below it the left-hand block
// of links top to bottom, then the buttons on the right. The design's own order starts with the
// exit button.
inline constexpr std::array<const ControlDesign*, 5> kFocusOrder = {&kLvwPorts, &kLblUrlWeb, &kLblUrlMail,
                                                                    &kCmdOpenDevMan, &kCmdExit};

// linBut: a horizontal separator one pixel wide, without tab stop.
struct LineDesign {
    std::string_view name{};
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Color color{};
    int widthPixels = 1;
};
inline constexpr LineDesign
    kLinBut{.name = "linBut", .x1 = 60, .y1 = 5460, .x2 = 7860, .y2 = 5460, .color = kSeparatorColor, .widthPixels = 1};

// Columns of lvwPorts, numbered from 1, both left-aligned.
inline constexpr int kColumnComPort = 1;
inline constexpr int kColumnDescription = 2;
inline constexpr float kComPortColumnWidth = 1200;  // never changed
// Room for the list's vertical scroll bar right of the description column.
inline constexpr float kScrollBarAllowance = 360;
struct ColumnDesign {
    std::string_view header{};
    float width = 0;
};
// The description column's width is set by every layout pass; until the first one it has the
// width that pass gives at the design size.
inline constexpr std::array<ColumnDesign, 2> kColumns = {{
    {"COM Port", kComPortColumnWidth},
    {"Beschreibung", kClientDesignWidth - 2 * kHdlMain.rect.left - kComPortColumnWidth - kScrollBarAllowance},
}};

// The images of ilst by key, in image order (pictures in resources/images).
inline constexpr std::array<std::string_view, 5> kImageKeys = {kIconUsb, kIconWarning, kIconBluetooth, kIconIrda,
                                                               kIconCom};

// Tooltip of lblUrl element 0 (the web site) and 1 (the feedback mail); empty for other indexes.
std::string LinkToolTip(int index);

}  // namespace velmaro
