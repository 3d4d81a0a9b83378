// The main window as designed: what the views build it from, beyond what the layout moves.
#include <gtest/gtest.h>

#include "presenter_fixture.h"

namespace velmaro::testing {
namespace {

// The keyboard's order reads the window: the list, the links beneath it top to bottom (all left of
// the buttons), then the buttons left to right.
TEST(MainWindowDesign, FocusOrderFollowsReadingOrder) {
    std::string order;
    for (const ControlDesign* c : kFocusOrder) {
        order += std::string(c->name) + (c->index < 0 ? "" : std::to_string(c->index)) + " ";
    }
    EXPECT_EQ(order, "lvwPorts lblUrl0 lblUrl1 cmdOpenDevMan cmdExit ");
    for (const ControlDesign* link : {&kLblUrlWeb, &kLblUrlMail}) {
        EXPECT_LT(link->rect.left + link->rect.width, kCmdOpenDevMan.rect.left) << link->index;
        EXPECT_GT(link->rect.top, kLvwPorts.rect.top + kLvwPorts.rect.height) << link->index;
    }
    EXPECT_LT(kLblUrlWeb.rect.top, kLblUrlMail.rect.top);
    EXPECT_LT(kCmdOpenDevMan.rect.left, kCmdExit.rect.left);
}

TEST(MainWindowDesign, TabOrderTextsColumnsAndImages) {
    std::string order;  // "name[element]:tab index"
    for (const ControlDesign& c : kMainControls) {
        order += std::string(c.name) + (c.index < 0 ? "" : std::to_string(c.index)) + ":" + std::to_string(c.tabIndex);
    }
    EXPECT_EQ(order,
              "hdlMain:0lvwPorts:1lblLastRefresh:2cmdExit:3lblStatic:4lblUrl0:5lblUrlPre0:6cmdOpenDevMan:7"
              "lblProblem:8lblUrlPre1:9lblUrl1:10");
    EXPECT_EQ(kCmdExit.caption, "Beenden");
    EXPECT_EQ(kCmdOpenDevMan.caption, "Gerätemanager öffnen");
    EXPECT_EQ(kLblUrlPreWeb.caption, "Software && Datenkabel für BenQ-Siemens Handys unter");
    EXPECT_EQ(kLblUrlPreMail.caption, "Feedback && Bugmeldungen bitte an");
    EXPECT_EQ(kLblProblem.caption,
              "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß Windows den Treiber noch laden. "
              "Evtl. werden Sie auch zur Installation aufgefordert. Bleibt das Problem ohne Reaktion dauerhaft "
              "bestehen, erhalten Sie mit einem Klick auf den Eintrag weitere Details.");
    EXPECT_EQ(kLblProblem.foreColor, (Color{Color::Kind::Rgb, 192}));
    EXPECT_EQ(LinkToolTip(0), "www.velmaro.example besuchen");
    EXPECT_EQ(LinkToolTip(1), "eMail an feedback@velmaro.example schreiben");
    EXPECT_EQ(std::string(kColumns[0].header) + "|" + std::string(kColumns[1].header), "COM Port|Beschreibung");
    EXPECT_EQ(kImageKeys, (std::array<std::string_view, 5>{"USB", "WARNING", "BT", "IRDA", "COM"}));
}

}  // namespace
}  // namespace velmaro::testing
