// Every platform call of one refresh fails in turn, at each of its occurrences, once and from then
// on, on every shipped scenario: the refresh survives, gives back every key and set, invents no
// port row or double-assignment mark, and shows each message box text at most once.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "fault_injection.h"
#include "main_window/port_list_build.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"
#include "support/fakes.h"

namespace velmaro {
namespace {

// The calls one refresh makes; a refresh writes nothing.
constexpr const char* kCalls[] = {
    "RegOpenKeyExA",
    "RegCloseKey",
    "RegQueryValueExA",
    "RegEnumKeyExA",
    "RegEnumValueA",
    "SetupDiGetClassDevsA",
    "SetupDiEnumDeviceInfo",
    "SetupDiGetDeviceRegistryPropertyA",
    "SetupDiDestroyDeviceInfoList",
};
constexpr std::int32_t kAccessDenied = 5;

struct Outcome {
    std::vector<PortRow> rows;
    std::vector<std::string> boxes;
    std::map<std::string, int> calls;
    int openKeys = 0;
    int openSets = 0;
    int failedCloses = 0;  // close calls that were made to fail
};

// One refresh with the dump requested; fault (call, nth, count) when call is not empty.
// The machine is shared by the runs: it only reads, and a key a failed close left open in it is
// counted by that run's wrapper alone.
Outcome Refresh(snapshot::SnapshotMachine& machine, const std::string& call = "", int nth = 1, int count = 1) {
    testing::FaultInjection faults(machine, machine);
    if (!call.empty()) {
        faults.FailCall(call, kAccessDenied, nth, count);
    }
    testing::FakeUserServices user;
    const Services services = user.Over(faults, faults);
    PortDeviceTable table;
    bool clipboardRequested = true;
    Outcome outcome;
    outcome.rows = BuildPortList(services, table, clipboardRequested).rows;
    outcome.boxes = user.messages.Texts();
    for (const char* name : kCalls) {
        outcome.calls[name] = faults.CallCount(name);
    }
    outcome.openKeys = faults.OpenKeyCount();
    outcome.openSets = faults.OpenDeviceInfoSetCount();
    if (call == "RegCloseKey" || call == "SetupDiDestroyDeviceInfoList") {
        const int made = faults.CallCount(call);
        outcome.failedCloses = made < nth ? 0 : count < 0 ? made - nth + 1 : std::min(count, made - nth + 1);
    }
    return outcome;
}

// The COM numbers a run lists ("COM 3"), whatever their look, or only those marked as doubly
// assigned. A fault may lose a mark or a port, never add one.
std::set<std::string> PortRows(const std::vector<PortRow>& rows, bool marksOnly) {
    std::set<std::string> texts;
    for (const PortRow& row : rows) {
        if (marksOnly ? row.kind == RowKind::DoubleAssignment : row.kind != RowKind::DriverProblem) {
            texts.insert(row.text);
        }
    }
    return texts;
}

struct Figures {
    int combinations = 0;
};

// samples: how many occurrences of each call to fail at most, spread evenly; 0: all of them.
void Sweep(const std::filesystem::path& file, int samples, Figures& figures) {
    snapshot::SnapshotMachine machine(snapshot::ScenarioSnapshot(file));
    const Outcome clean = Refresh(machine);
    ASSERT_EQ(clean.openKeys, 0);
    ASSERT_EQ(clean.openSets, 0);
    const std::set<std::string> ports = PortRows(clean.rows, false);
    const std::set<std::string> marks = PortRows(clean.rows, true);
    for (const char* call : kCalls) {
        const int made = clean.calls.at(call);
        const int every = samples == 0 ? 1 : std::max(1, made / samples);
        for (int nth = 1; nth <= made; nth += (nth == made || every == 1) ? 1 : std::min(every, made - nth)) {
            for (const int count : {1, -1}) {
                SCOPED_TRACE(file.filename().string() + ": " + call + " fails at call " + std::to_string(nth) +
                             (count < 0 ? " and after" : " once"));
                ++figures.combinations;
                const Outcome faulted = Refresh(machine, call, nth, count);
                EXPECT_EQ(faulted.openKeys, call == std::string("RegCloseKey") ? faulted.failedCloses : 0);
                EXPECT_EQ(faulted.openSets,
                          call == std::string("SetupDiDestroyDeviceInfoList") ? faulted.failedCloses : 0);
                for (const std::string& row : PortRows(faulted.rows, false)) {
                    EXPECT_TRUE(ports.count(row) != 0) << "a port row the fault-free run lacks: " << row;
                }
                for (const std::string& row : PortRows(faulted.rows, true)) {
                    EXPECT_TRUE(marks.count(row) != 0) << "a double-assignment mark the fault-free run lacks: " << row;
                }
                const std::set<std::string> distinct(faulted.boxes.begin(), faulted.boxes.end());
                EXPECT_EQ(distinct.size(), faulted.boxes.size()) << "a message box text shown twice";
                if (::testing::Test::HasFailure()) {
                    return;  // one combination's report is enough to start from
                }
            }
        }
    }
}

// The 256-port machine makes thousands of calls a refresh; 40 occurrences of each, evenly spread
// with the last among them, keep its sweep to seconds.
TEST(FaultSweep, EveryCallOfARefreshFailsInTurn) {
    const auto start = std::chrono::steady_clock::now();
    Figures figures;
    int scenarios = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VELMARO_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        ++scenarios;
        Sweep(entry.path(), entry.path().filename() == "many-ports.json" ? 40 : 0, figures);
    }
    EXPECT_GE(scenarios, 5);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "fault sweep: " << figures.combinations << " faulted refreshes on " << scenarios << " scenarios in "
              << seconds << " s\n";
}

}  // namespace
}  // namespace velmaro
