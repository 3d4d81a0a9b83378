#include "guidance/frm_info.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "guidance/guidance_texts.h"
#include "guidance_fixture.h"

namespace velmaro {
namespace {

constexpr const char* kForum14785 = "https://forum.velmaro.example/community/board/showthread.php?t=14785";
constexpr const char* kForum13903 = "https://forum.velmaro.example/community/board/showthread.php?t=13903";

class FrmInfoTest : public ::testing::Test, protected testing::GuidanceFixture {
  protected:
    const InfoDialogState& State() const { return dialog.State(); }
    // The text's paragraphs, blank lines as empty elements.
    std::vector<std::string> Paragraphs() const {
        std::vector<std::string> parts;
        const std::string& text = State().text;
        std::size_t start = 0;
        for (;;) {
            std::size_t end = text.find("\r\n", start);
            parts.push_back(text.substr(start, end - start));
            if (end == std::string::npos) {
                return parts;
            }
            start = end + 2;
        }
    }
};

TEST_F(FrmInfoTest, NotLoadedBeforeFirstUse) {
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_THROW(dialog.State(), std::logic_error);
}

TEST_F(FrmInfoTest, LoadingSetsTitleAndDesignedContent) {
    testing::GuidanceFixture other;
    memory::FixedProgramIdentity renamed{"Portliste", "D:\\Tools"};
    frmInfo renamedDialog({renamed, other.shell, other.messages, other.files, other.clock, other.pump});

    renamedDialog.frm_Present("PROBLEM_X510");

    const InfoDialogState& state = renamedDialog.State();
    EXPECT_EQ(state.title, "Portliste");
    EXPECT_EQ(state.jaCaption, "Ja");
    EXPECT_EQ(state.window, 0u);
    EXPECT_EQ(state.ucHeadline1.Caption(), "Hinweis zur Problemlösung");
    EXPECT_EQ(state.ucHeadline1.Left(), 60);
    EXPECT_EQ(state.ucHeadline1.Top(), 60);
    EXPECT_EQ(state.ucHeadline1.Width(), 7815);
    EXPECT_EQ(state.ucHeadline1.Height(), 255);
}

TEST_F(FrmInfoTest, X40AsksWithFiveParagraphsAndTheHelpMarker) {
    dialog.frm_Present("PROBLEM_X40");

    ASSERT_TRUE(dialog.IsLoaded());
    EXPECT_EQ(State().title, "Velmaro");
    EXPECT_EQ(State().neinCaption, "Nein");
    EXPECT_TRUE(State().jaVisible);
    EXPECT_EQ(State().jaCaption, "Ja");
    EXPECT_EQ(State().jaTag, "Local x40 HelP");
    std::vector<std::string> paragraphs = Paragraphs();
    ASSERT_EQ(paragraphs.size(), 5u);  // four paragraphs and the blank line after the second
    EXPECT_EQ(paragraphs[2], "");
    EXPECT_EQ(paragraphs[0].substr(0, 44), "An Ihrem PC ist ein Siemens USB Datenkabel D");
    EXPECT_EQ(paragraphs[4].substr(0, 40), "Wenn Sie die Anleitung aufrufen möchten");
}

TEST_F(FrmInfoTest, X510InformsOnly) {
    dialog.frm_Present("PROBLEM_X510");

    EXPECT_EQ(State().neinCaption, "OK");
    EXPECT_FALSE(State().jaVisible);
    EXPECT_EQ(State().jaTag, "");
    std::vector<std::string> paragraphs = Paragraphs();
    ASSERT_EQ(paragraphs.size(), 7u);  // six paragraphs and the blank line after the second
    EXPECT_EQ(paragraphs[2], "");
    EXPECT_EQ(paragraphs[6].substr(0, 6), "Evtl. ");
}

struct DialogCase {
    const char* code;
    const char* nein;
    bool ja;
    const char* tag;
    std::size_t lines;  // paragraphs plus blank lines
};

TEST_F(FrmInfoTest, EveryCodeFillsButtonsAndAction) {
    const DialogCase cases[] = {
        {"PROBLEM_X40", "Nein", true, "Local x40 HelP", 5},
        {"PROBLEM_X510", "OK", false, "", 7},
        {"PROBLEM_USB2VCOM", "OK", false, "", 7},
        {"PROBLEM_FTDI2XX", "OK", false, "", 7},
        {"PROBLEM_OTI", "OK", false, "", 7},
        {"PROBLEM_CP210X", "OK", false, "", 7},
        {"PROBLEM_2XUSED_X40", "Nein", true, kForum14785, 3},
        {"PROBLEM_2XUSED_510", "Nein", true, kForum13903, 3},
        {"PROBLEM_2XUSED_USB2VCOM", "OK", false, "", 11},
        {"PROBLEM_2XUSED_OTHER", "OK", false, "", 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        dialog.frm_Present(c.code);
        EXPECT_EQ(State().neinCaption, c.nein);
        EXPECT_EQ(State().jaVisible, c.ja);
        EXPECT_EQ(State().jaTag, c.tag);
        EXPECT_EQ(State().text, ComposeGuidanceText(*FindGuidance(c.code)));
        EXPECT_EQ(Paragraphs().size(), c.lines);
        dialog.cmdNein_Click();
    }
}

TEST_F(FrmInfoTest, ForumThreadTextsEndWithTheQuestion) {
    dialog.frm_Present("PROBLEM_2XUSED_510");
    std::vector<std::string> paragraphs = Paragraphs();
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0].substr(0, 49), "An Ihrem PC ist ein Siemens USB Datenkabel DCA-51");
    EXPECT_EQ(paragraphs[2], "Soll die Anleitung im Internet aufgerufen werden?");
}

TEST_F(FrmInfoTest, LowerCaseCodeMatchesNothing) {
    dialog.frm_Present("problem_x40");

    ASSERT_TRUE(dialog.IsLoaded());
    EXPECT_EQ(State().text, "");
    EXPECT_EQ(State().neinCaption, "OK");
    EXPECT_FALSE(State().jaVisible);
    EXPECT_EQ(State().jaTag, "");
}

TEST_F(FrmInfoTest, SecondDialogAfterClosingLeavesNoActionBehind) {
    dialog.frm_Present("PROBLEM_2XUSED_X40");
    EXPECT_TRUE(State().jaVisible);
    dialog.cmdNein_Click();
    EXPECT_FALSE(dialog.IsLoaded());

    dialog.frm_Present("PROBLEM_OTI");

    EXPECT_FALSE(State().jaVisible);
    EXPECT_EQ(State().jaTag, "");
    EXPECT_EQ(State().neinCaption, "OK");
    EXPECT_EQ(Paragraphs()[0].substr(0, 52), "An Ihrem PC ist ein Wandel / Datenkabel vom Typ OTI ");
}

TEST_F(FrmInfoTest, PresentingAgainWhileLoadedResetsTheButtons) {
    dialog.frm_Present("PROBLEM_X40");
    dialog.frm_Present("PROBLEM_CP210X");
    EXPECT_FALSE(State().jaVisible);
    EXPECT_EQ(State().jaTag, "");
    EXPECT_EQ(State().neinCaption, "OK");
}

TEST_F(FrmInfoTest, UnknownCodeWhileLoadedKeepsTheTextButNotTheQuestion) {
    dialog.frm_Present("PROBLEM_X40");
    std::string text = State().text;
    dialog.frm_Present("PROBLEM_UNBEKANNT");
    EXPECT_EQ(State().text, text);
    EXPECT_FALSE(State().jaVisible);
    EXPECT_EQ(State().jaTag, "");
    EXPECT_EQ(State().neinCaption, "OK");
}

TEST_F(FrmInfoTest, TwoDoubleAssignmentCodesGiveIdenticalDialogs) {
    dialog.frm_Present("PROBLEM_2XUSED_USB2VCOM");
    InfoDialogState first = State();
    dialog.cmdNein_Click();
    dialog.frm_Present("PROBLEM_2XUSED_OTHER");

    EXPECT_EQ(State().text, first.text);
    EXPECT_EQ(State().neinCaption, first.neinCaption);
    EXPECT_EQ(State().jaVisible, first.jaVisible);
    EXPECT_EQ(State().jaTag, first.jaTag);
    EXPECT_EQ(State().title, first.title);
    EXPECT_FALSE(State().text.empty());
}

TEST_F(FrmInfoTest, NeinAndCloseUnloadAndDiscardTheState) {
    dialog.frm_Present("PROBLEM_X40");
    dialog.AttachWindow(0x77);
    dialog.cmdNein_Click();
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(unloads, 1);

    dialog.frm_Present("problem_x40");
    EXPECT_EQ(State().text, "");  // fresh load, nothing of the first dialog survives
    EXPECT_EQ(State().window, 0u);
    dialog.Close();
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(unloads, 2);

    dialog.Close();  // already closed: no second notice
    EXPECT_EQ(unloads, 2);
    EXPECT_TRUE(shell.ExecuteCalls().empty());
}

TEST(InfoDialogDesign, GeometryAndTabOrder) {
    EXPECT_EQ(kInfoClientWidth, 7980);
    EXPECT_EQ(kInfoClientHeight, 5100);
    EXPECT_EQ(kInfoHeadline.rect, (TwipsRect{60, 60, 7815, 255}));
    EXPECT_EQ(kInfoTxtInfo.rect, (TwipsRect{60, 360, 7815, 3975}));
    EXPECT_EQ(kInfoCmdJa.rect, (TwipsRect{5340, 4530, 1215, 495}));
    EXPECT_EQ(kInfoCmdNein.rect, (TwipsRect{6675, 4530, 1215, 495}));
    const char* order[] = {"txtInfo", "cmdNein", "cmdJa", "ucHeadline1"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(kInfoControls[i].name, order[i]);
        EXPECT_EQ(kInfoControls[i].tabIndex, i);
    }
}

}  // namespace
}  // namespace velmaro
