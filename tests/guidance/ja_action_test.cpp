#include <gtest/gtest.h>

#include "guidance/guidance_action.h"
#include "guidance_fixture.h"

namespace velmaro {
namespace {

using testing::HelpPage;
using Call = memory::MemoryShell::ExecuteCall;

class JaTest : public ::testing::Test, protected testing::GuidanceFixture {
  protected:
    void PresentAndAttach(const char* code) {
        dialog.frm_Present(code);
        dialog.AttachWindow(0x4711);
    }
    void ExpectOpened(const std::string& target) {
        ASSERT_EQ(shell.ExecuteCalls().size(), 1u);
        EXPECT_EQ(shell.ExecuteCalls()[0], (Call{0x4711, "Open", target, "", "", 1}));
    }
};

struct HelpPageCase {
    const char* name;
    std::vector<std::string> installed;
    std::string opened;
    std::size_t lookups;
};

TEST_F(JaTest, FirstInstalledHelpPageIsOpened) {
    const HelpPageCase cases[] = {
        {"only WinXP", {"WinXP"}, "WinXP", 4},
        {"Win98 and WinVista", {"Win98", "WinVista"}, "Win98", 1},
        {"only WinVista", {"WinVista"}, "WinVista", 5},
        {"WinME and Win2000", {"Win2000", "WinME"}, "WinME", 2},
        {"all five", {"Win98", "WinME", "Win2000", "WinXP", "WinVista"}, "Win98", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::GuidanceFixture f;
        for (const auto& windows : c.installed) {
            f.files.AddFile(HelpPage(windows));
        }
        f.dialog.frm_Present("PROBLEM_X40");
        f.dialog.AttachWindow(0x4711);

        f.dialog.cmdJa_Click();

        ASSERT_EQ(f.shell.ExecuteCalls().size(), 1u);
        EXPECT_EQ(f.shell.ExecuteCalls()[0], (Call{0x4711, "Open", HelpPage(c.opened), "", "", 1}));
        EXPECT_EQ(f.files.LookedUp().size(), c.lookups);
        EXPECT_TRUE(f.messages.shown.empty());
        EXPECT_FALSE(f.dialog.IsLoaded());
    }
}

TEST_F(JaTest, CandidatesAreTriedInOrderBelowTheProgramFolder) {
    PresentAndAttach("PROBLEM_X40");
    dialog.cmdJa_Click();
    EXPECT_EQ(files.LookedUp(), (std::vector<std::string>{
                                    "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_Win98.htm",
                                    "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinME.htm",
                                    "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_Win2000.htm",
                                    "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinXP.htm",
                                    "C:\\Programme\\Velmaro\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinVista.htm",
                                }));
}

TEST_F(JaTest, NoHelpPageTellsTheUserAndKeepsTheDialogOpen) {
    PresentAndAttach("PROBLEM_X40");
    InfoDialogState before = dialog.State();

    dialog.cmdJa_Click();

    EXPECT_TRUE(shell.ExecuteCalls().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Hilfedatei nicht gefunden");
    EXPECT_EQ(messages.shown[0].style, MessageStyle::PromptOnly);
    EXPECT_EQ(pump.rounds, 0);  // no wait
    ASSERT_TRUE(dialog.IsLoaded());
    EXPECT_EQ(unloads, 0);
    EXPECT_EQ(dialog.State().text, before.text);
    EXPECT_EQ(dialog.State().jaTag, before.jaTag);
    EXPECT_TRUE(dialog.State().jaVisible);
    EXPECT_EQ(dialog.State().neinCaption, "Nein");

    // It can be used again: the page has been installed in the meantime.
    files.AddFile(HelpPage("Win2000"));
    dialog.cmdJa_Click();
    ExpectOpened(HelpPage("Win2000"));
    EXPECT_FALSE(dialog.IsLoaded());
}

TEST_F(JaTest, DirectoryNamedLikeACandidateDoesNotCount) {
    files.AddDirectory(HelpPage("Win98"));
    files.AddFile(HelpPage("WinXP"));
    PresentAndAttach("PROBLEM_X40");
    dialog.cmdJa_Click();
    ExpectOpened(HelpPage("WinXP"));
}

TEST_F(JaTest, HiddenOrSystemPagesDoNotCount) {
    files.AddFile(HelpPage("Win98"), /*hidden=*/true);
    files.AddFile(HelpPage("WinME"), /*hidden=*/false, /*system=*/true);
    PresentAndAttach("PROBLEM_X40");

    dialog.cmdJa_Click();

    EXPECT_TRUE(shell.ExecuteCalls().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Hilfedatei nicht gefunden");
    EXPECT_TRUE(dialog.IsLoaded());
}

TEST_F(JaTest, FailingLookupsMeanNoPage) {
    files.AddFile(HelpPage("WinXP"));
    files.FailLookups(true);
    PresentAndAttach("PROBLEM_X40");
    dialog.cmdJa_Click();
    EXPECT_TRUE(shell.ExecuteCalls().empty());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Hilfedatei nicht gefunden"});
}

TEST_F(JaTest, ForumThreadIsHandedOverUnchangedThenTheDialogClosesAfterTheWait) {
    PresentAndAttach("PROBLEM_2XUSED_X40");
    bool loadedWhilePumping = true;
    pump.onPump = [&] { loadedWhilePumping = loadedWhilePumping && dialog.IsLoaded(); };

    dialog.cmdJa_Click();

    ExpectOpened("https://forum.velmaro.example/community/board/showthread.php?t=14785");
    // A quarter second per round: 0.25, 0.5, 0.75, 1.0 (not yet more than a second), 1.25.
    EXPECT_EQ(pump.rounds, 5);
    EXPECT_TRUE(loadedWhilePumping);
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(files.LookedUp().empty());
}

TEST_F(JaTest, SecondForumThread) {
    PresentAndAttach("PROBLEM_2XUSED_510");
    dialog.cmdJa_Click();
    ExpectOpened("https://forum.velmaro.example/community/board/showthread.php?t=13903");
    EXPECT_FALSE(dialog.IsLoaded());
}

TEST_F(JaTest, ShellFailureStillWaitsAndCloses) {
    shell.SetExecuteResult(2);
    PresentAndAttach("PROBLEM_2XUSED_X40");
    dialog.cmdJa_Click();
    EXPECT_EQ(pump.rounds, 5);
    EXPECT_FALSE(dialog.IsLoaded());
}

TEST_F(JaTest, UserClosingDuringTheWaitIsHarmless) {
    PresentAndAttach("PROBLEM_2XUSED_X40");
    pump.onPump = [&] {
        if (pump.rounds == 2) {
            dialog.cmdNein_Click();
        }
    };
    dialog.cmdJa_Click();
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(unloads, 1);
}

TEST_F(JaTest, DialogLoadedAnewDuringTheWaitStaysOpen) {
    PresentAndAttach("PROBLEM_2XUSED_X40");
    pump.onPump = [&] {
        if (pump.rounds == 2) {
            dialog.cmdNein_Click();
            dialog.frm_Present("PROBLEM_OTI");
        }
    };
    dialog.cmdJa_Click();
    ASSERT_TRUE(dialog.IsLoaded());
    EXPECT_EQ(dialog.State().neinCaption, "OK");
}

TEST_F(JaTest, JaOnAClosedDialogDoesNothing) {
    dialog.cmdJa_Click();
    EXPECT_TRUE(shell.ExecuteCalls().empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(pump.rounds, 0);
}

// The action itself, as the tag of "Ja" carries it.
struct ActionCase {
    const char* action;
    const char* opened;
};

TEST(GuidanceAction, AnythingButTheExactMarkerGoesToTheShellUnchanged) {
    const ActionCase cases[] = {
        {"local x40 help", "local x40 help"},
        {"LOCAL X40 HELP", "LOCAL X40 HELP"},
        {"Local x40 Help", "Local x40 Help"},
        {"Local x40 HelP ", "Local x40 HelP "},
        {"https://forum.velmaro.example/community/board/showthread.php?t=14785",
         "https://forum.velmaro.example/community/board/showthread.php?t=14785"},
        {"feedback@velmaro.example", "mailto:feedback@velmaro.example"},  // ShellOpen's own rule
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        testing::GuidanceFixture f;
        f.files.AddFile(HelpPage("WinXP"));
        EXPECT_TRUE(OpenGuidanceAction(c.action, 9, f.identity, f.files, f.shell, f.messages));
        ASSERT_EQ(f.shell.ExecuteCalls().size(), 1u);
        EXPECT_EQ(f.shell.ExecuteCalls()[0], (Call{9, "Open", c.opened, "", "", 1}));
        EXPECT_TRUE(f.files.LookedUp().empty());
    }
}

TEST(GuidanceAction, ExactMarkerOpensTheHelpPage) {
    testing::GuidanceFixture f;
    f.files.AddFile(HelpPage("WinVista"));
    EXPECT_TRUE(OpenGuidanceAction("Local x40 HelP", 9, f.identity, f.files, f.shell, f.messages));
    ASSERT_EQ(f.shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(f.shell.ExecuteCalls()[0].file, HelpPage("WinVista"));
}

TEST(GuidanceAction, MarkerWithoutPageReportsFalse) {
    testing::GuidanceFixture f;
    EXPECT_FALSE(OpenGuidanceAction("Local x40 HelP", 9, f.identity, f.files, f.shell, f.messages));
    EXPECT_TRUE(f.shell.ExecuteCalls().empty());
    EXPECT_EQ(f.messages.Texts(), std::vector<std::string>{"Hilfedatei nicht gefunden"});
}

TEST(GuidanceAction, ProgramFolderWithUmlautReachesTheShell) {
    testing::GuidanceFixture f;
    memory::FixedProgramIdentity identity{"Velmaro", "C:\\Programme\\Gerätetools"};
    f.files.AddFile("C:\\Programme\\Gerätetools\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinXP.htm");
    EXPECT_TRUE(OpenGuidanceAction("Local x40 HelP", 9, identity, f.files, f.shell, f.messages));
    ASSERT_EQ(f.shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(f.shell.ExecuteCalls()[0].file,
              "C:\\Programme\\Gerätetools\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinXP.htm");
}

}  // namespace
}  // namespace velmaro
