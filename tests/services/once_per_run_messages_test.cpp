// One message box per text and refresh; repeats counted to the log.
#include "services/once_per_run_messages.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "devices/device_property.h"
#include "main_window/port_list_refresh.h"
#include "memory/memory_machine.h"
#include "support/fakes.h"

namespace velmaro {
namespace {

using Texts = std::vector<std::string>;

TEST(OncePerRunMessages, ShowsEachTextOnceAndCountsItsRepeats) {
    struct Case {
        const char* what;
        Texts asked;  // texts in the order they are shown; "|" ends a run
        Texts shown;
        Texts log;
    } cases[] = {
        {"a single failure: one box, nothing logged", {"A"}, {"A"}, {}},
        {"three of one text",
         {"A", "A", "A"},
         {"A"},
         {"Meldung „A“ in dieser Aktualisierung noch 2-mal, nicht erneut angezeigt"}},
        {"two texts interleaved, each once, lines in text order",
         {"B", "A", "B", "A", "B"},
         {"B", "A"},
         {"Meldung „A“ in dieser Aktualisierung noch 1-mal, nicht erneut angezeigt",
          "Meldung „B“ in dieser Aktualisierung noch 2-mal, nicht erneut angezeigt"}},
        {"a new run shows the text again",
         {"A", "A", "|", "A"},
         {"A", "A"},
         {"Meldung „A“ in dieser Aktualisierung noch 1-mal, nicht erneut angezeigt"}},
        {"texts differing in case are different texts", {"a", "A"}, {"a", "A"}, {}},
        {"no box at all", {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::RecordingMessageBox boxes;
        std::ostringstream log;
        {
            OncePerRunMessages messages(boxes, log);
            for (const std::string& text : c.asked) {
                if (text == "|") {
                    messages.EndRun();
                } else {
                    EXPECT_EQ(messages.Show(text, MessageStyle::PromptOnly), MessageResult::Ok);
                }
            }
        }  // the end of the object ends its run
        EXPECT_EQ(boxes.Texts(), c.shown);
        Texts lines;
        std::istringstream in(log.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        EXPECT_EQ(lines, c.log);
    }
}

TEST(OncePerRunMessages, ARepeatGetsTheFirstAnswerAndTheFirstStyle) {
    testing::RecordingMessageBox boxes;
    boxes.answerYes = false;
    std::ostringstream log;
    OncePerRunMessages messages(boxes, log);
    EXPECT_EQ(messages.Show("Q", MessageStyle::QuestionYesNo), MessageResult::No);
    boxes.answerYes = true;
    EXPECT_EQ(messages.Show("Q", MessageStyle::QuestionYesNo), MessageResult::No);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].style, MessageStyle::QuestionYesNo);
}

// One working port whose every property read fails with "access denied". By hand: the port table
// reads class and friendly name (2), the problem scan class, description and hardware ID (3): five
// boxes of the same text before, one now, and one again in the next refresh.
TEST(OncePerRunMessages, ARefreshOfFailingReadsShowsOneBox) {
    struct Case {
        const char* what;
        int failures;  // property reads that fail, from the first; -1: all
        std::size_t boxesPerRun;
        const char* logged;
    } cases[] = {
        {"every read fails", -1, 1,
         "Meldung „Error, can't get Regestryproperty“ in dieser Aktualisierung noch 4-mal, nicht erneut angezeigt\n"},
        {"a single failure behaves as before", 1, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        memory::MemoryMachine machine;
        machine.PutValue(kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial0",
                         memory::SzValue("COM1"));
        memory::MemoryDevice device;
        device.instance = "ACPI\\PNP0501\\1";
        device.comportInterface = true;
        device.properties[SPDRP_CLASS] = memory::SzValue("Ports");
        device.properties[SPDRP_FRIENDLYNAME] = memory::SzValue("Kommunikationsanschluss (COM1)");
        machine.AddDevice(std::move(device));
        testing::RecordingMessageBox boxes;
        testing::FakeClipboard clipboard;
        testing::FixedClock clock;
        testing::RecordingPointer pointer;
        PortListModel list;
        BoxModel listBox{60, 2280, 7815, 2415};
        LabelModel lastRefresh{60, 2040, 3735, 255, ""};
        LabelModel problemLine{60, 4860, 7815, 615, "", false};
        BoxModel headline{60, 60, 7815, 255};
        LineModel separator{60, 5535, 7875, 5535};
        RefreshControls controls{list, listBox, lastRefresh, problemLine, headline, separator};
        PortDeviceTable table;
        bool clipboardRequested = false;

        std::ostringstream log;
        std::streambuf* const stderrBuffer = std::cerr.rdbuf(log.rdbuf());
        for (int run = 1; run <= 2; ++run) {
            machine.FailCall("SetupDiGetDeviceRegistryPropertyA", 5, 1, c.failures);
            RefreshPortList({machine, machine, boxes, clipboard, clock, pointer}, table, controls, clipboardRequested);
            machine.ClearFaults();
        }
        std::cerr.rdbuf(stderrBuffer);

        EXPECT_EQ(boxes.Texts(), Texts(2 * c.boxesPerRun, kMsgCantGetProperty));
        EXPECT_EQ(log.str(), std::string(c.logged) + c.logged);
    }
}

}  // namespace
}  // namespace velmaro
