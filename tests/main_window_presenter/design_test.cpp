// The main window as designed: geometry, tab order, texts, colours and fonts the views build it
// from.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/access_key.h"
#include "main_window/frm_ports_design.h"

namespace velmaro {
namespace {

struct ExpectedControl {
    const char* name;
    int index;
    TwipsRect rect;
    int tabIndex;
    const char* caption;
};

// In tab order.
const ExpectedControl kExpected[] = {
    {"hdlMain", -1, {60, 60, 7815, 255}, 0, "Physikalische && virtuelle COM Ports auf diesem PC"},
    {"lvwPorts", -1, {60, 2280, 7815, 2415}, 1, ""},
    {"lblLastRefresh", -1, {60, 2040, 3735, 255}, 2, "Aktualisierung läuft..."},
    {"cmdExit", -1, {6420, 5560, 1455, 615}, 3, "Beenden"},
    {"lblStatic", -1, {60, 420, 7815, 1575}, 4, ""},
    {"lblUrl", 0, {60, 5760, 1845, 195}, 5, "https://www.velmaro.example"},
    {"lblUrlPre", 0, {60, 5565, 3945, 195}, 6, "Software && Datenkabel für BenQ-Siemens Handys unter"},
    {"cmdOpenDevMan", -1, {4920, 5560, 1455, 615}, 7, "Gerätemanager öffnen"},
    {"lblProblem",
     -1,
     {60, 4760, 7815, 615},
     8,
     "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß Windows den Treiber noch laden. Evtl. "
     "werden Sie auch zur Installation aufgefordert. Bleibt das Problem ohne Reaktion dauerhaft bestehen, erhalten Sie "
     "mit einem Klick auf den Eintrag weitere Details."},
    {"lblUrlPre", 1, {60, 6000, 2655, 195}, 9, "Feedback && Bugmeldungen bitte an"},
    {"lblUrl", 1, {2760, 6000, 1935, 195}, 10, "feedback@velmaro.example"},
};

TEST(MainWindowDesign, ControlsInTabOrderWithPlaceAndText) {
    ASSERT_EQ(kMainControls.size(), std::size(kExpected));
    for (std::size_t i = 0; i < kMainControls.size(); ++i) {
        const ControlDesign& control = kMainControls[i];
        const ExpectedControl& expected = kExpected[i];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(control.name, expected.name);
        EXPECT_EQ(control.index, expected.index);
        EXPECT_EQ(control.rect, expected.rect);
        EXPECT_EQ(control.tabIndex, expected.tabIndex);
        EXPECT_EQ(control.caption, expected.caption);
    }
}

TEST(MainWindowDesign, KindsAndBehaviour) {
    EXPECT_EQ(kHdlMain.kind, ControlKind::Headline);
    EXPECT_EQ(kLvwPorts.kind, ControlKind::ListView);
    EXPECT_EQ(kCmdExit.kind, ControlKind::Button);
    EXPECT_EQ(kCmdOpenDevMan.kind, ControlKind::Button);
    EXPECT_EQ(kLblUrlWeb.kind, ControlKind::LinkLabel);
    EXPECT_EQ(kLblUrlMail.kind, ControlKind::LinkLabel);
    for (const ControlDesign* label : {&kLblStatic, &kLblLastRefresh, &kLblProblem, &kLblUrlPreWeb, &kLblUrlPreMail}) {
        EXPECT_EQ(label->kind, ControlKind::Label) << label->name;
    }
    EXPECT_TRUE(kLblStatic.wordWrap);
    EXPECT_TRUE(kLblProblem.wordWrap);
    EXPECT_FALSE(kLblProblem.visible);  // shown by the refresh only
    for (const ControlDesign* sized : {&kLblUrlPreWeb, &kLblUrlWeb, &kLblUrlPreMail, &kLblUrlMail}) {
        EXPECT_TRUE(sized->autoSize) << sized->name << " " << sized->index;
    }
}

TEST(MainWindowDesign, ShownCaptionsHaveOneAmpersand) {
    EXPECT_EQ(DisplayedCaption(kHdlMain.caption), "Physikalische & virtuelle COM Ports auf diesem PC");
    EXPECT_EQ(DisplayedCaption(kLblUrlPreWeb.caption), "Software & Datenkabel für BenQ-Siemens Handys unter");
    EXPECT_EQ(DisplayedCaption(kLblUrlPreMail.caption), "Feedback & Bugmeldungen bitte an");
}

TEST(MainWindowDesign, ColoursAndFonts) {
    ASSERT_TRUE(kLblProblem.foreColor.has_value());
    EXPECT_EQ(*kLblProblem.foreColor, (Color{Color::Kind::Rgb, 192}));
    for (const ControlDesign* link : {&kLblUrlWeb, &kLblUrlMail}) {
        ASSERT_TRUE(link->foreColor.has_value());
        EXPECT_EQ(*link->foreColor, (Color{Color::Kind::Rgb, 8388608}));
        EXPECT_EQ(link->font, (Font{"MS Sans Serif", 8.25f, 400, false, true, false}));
    }
    EXPECT_EQ(kLinBut.color, (Color{Color::Kind::System, 17}));  // grey text
    EXPECT_EQ(kLinBut.widthPixels, 1);
    const Font dialogFont{"MS Sans Serif", 8.25f, 400, false, false, false};
    for (const ControlDesign* plain : {&kLblStatic, &kLblLastRefresh, &kLblProblem, &kLblUrlPreWeb, &kLblUrlPreMail,
                                       &kCmdExit, &kCmdOpenDevMan, &kLvwPorts}) {
        EXPECT_EQ(plain->font, dialogFont) << plain->name;
    }
    EXPECT_EQ(kHdlMain.font, (Font{"MS Sans Serif", 9.75f, 700, false, false, false}));
}

TEST(MainWindowDesign, SeparatorLine) {
    EXPECT_EQ(kLinBut.name, "linBut");
    EXPECT_FLOAT_EQ(kLinBut.x1, 60);
    EXPECT_FLOAT_EQ(kLinBut.y1, 5460);
    EXPECT_FLOAT_EQ(kLinBut.x2, 7860);
    EXPECT_FLOAT_EQ(kLinBut.y2, 5460);
}

TEST(MainWindowDesign, LinkToolTips) {
    EXPECT_EQ(LinkToolTip(0), "www.velmaro.example besuchen");
    EXPECT_EQ(LinkToolTip(1), "eMail an feedback@velmaro.example schreiben");
    EXPECT_EQ(LinkToolTip(2), "");
}

TEST(MainWindowDesign, ColumnsImagesAndWindow) {
    EXPECT_EQ(kColumns[0].header, "COM Port");
    EXPECT_FLOAT_EQ(kColumns[0].width, 1200);
    EXPECT_EQ(kColumns[1].header, "Beschreibung");
    EXPECT_FLOAT_EQ(kColumns[1].width, 6255);  // what the layout gives at the design size
    EXPECT_EQ(kImageKeys, (std::array<std::string_view, 5>{"USB", "WARNING", "BT", "IRDA", "COM"}));
    EXPECT_EQ(kWindowIconKey, "COM");
    EXPECT_FLOAT_EQ(kClientDesignWidth, 7935);
    EXPECT_FLOAT_EQ(kClientDesignHeight, 6270);
    EXPECT_FLOAT_EQ(kMinOuterWidth, 8130);
    EXPECT_FLOAT_EQ(kMinOuterHeight, 6720);
    EXPECT_EQ(kFirstRefreshDelayMs, 200);
    EXPECT_EQ(kRefreshIntervalMs, 1500);
}

TEST(MainWindowDesign, IntroTextIsFourParagraphs) {
    const std::string text = kIntroText;
    std::vector<std::string> paragraphs;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        paragraphs.push_back(text.substr(start, end - start));
    }
    paragraphs.push_back(text.substr(start));
    EXPECT_EQ(paragraphs, (std::vector<std::string>{
                              "Dieses Programm zeigt alle verfügbaren COM Ports an. Es werden sowohl echte, serielle "
                              "COM Ports aufgeführt als auch virtuelle COM Ports, die z.B. durch USB Datenkabel oder "
                              "Bluetooth Adapter bereitgestellt werden.",
                              "Erkannte Siemens Kabel werden hervorgehoben, Adapter anderer Hersteller werden soweit "
                              "möglich namentlich beschrieben.",
                              "Für Sie ist es wichtig, die Nummer des COM Ports auszulesen, über den Ihr Telefon "
                              "erreichbar ist. Diese Nummer muß in Programmen, die mit dem Telefon arbeiten sollen als "
                              "Anschluß gewählt werden.",
                              "Die Liste wird alle zwei Sekunden automatisch aktualisiert.",
                          }));
}

}  // namespace
}  // namespace velmaro
