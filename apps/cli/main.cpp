// velmaro-list: one refresh of Velmaro's port list on this machine or on one described by a scenario
// file, printed as a table, as JSON, as one field per port, or as the device dump the clipboard
// would receive.
#include <algorithm>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "console_services.h"
#include "devices/driver_problems.h"
#include "identity/port_events.h"
#include "identity/port_filter.h"
#include "identity/port_identity.h"
#include "identity/port_watch.h"
#include "live_machine.h"
#include "main_window/port_list_build.h"
#include "render.h"
#include "snapshot/port_facts.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"

namespace {

using namespace velmaro;

constexpr int kExitListed = 0;
constexpr int kExitProblem = 1;
constexpr int kExitUsage = 2;

struct Request {
    bool watch = false;
    bool json = false;
    bool dump = false;
    bool check = false;
    std::string field;
    identity::PortFilter filter;
};

// The machine's ports and where their identity comes from.
struct Machine {
    IRegistryService& registry;
    IDeviceInfoService& devices;
    std::function<std::vector<identity::DeviceFacts>()> facts;
    GuidancePlatform platform;
    std::function<std::unique_ptr<identity::IDeviceChanges>()> changes;
    std::function<void()> outdate;
};

// A failed write to standard output (a full disk, a closed pipe) must not pass for a listing.
int Flushed(int status) {
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "velmaro-list: writing to standard output failed\n";
        return kExitProblem;
    }
    return status;
}

// The ports of one refresh that pass the filter.
std::vector<identity::PortIdentity> PortsNow(const Machine& machine,
                                             const identity::PortFilter& filter,
                                             cli::ConsoleMessageBox& messages) {
    cli::CapturedClipboard clipboard;
    cli::LocalClock clock;
    cli::NoPointer pointer;
    const Services services{machine.registry, machine.devices, messages, clipboard, clock, pointer};
    PortDeviceTable table;
    bool clipboardRequested = false;
    const PortListContent list = BuildPortList(services, table, clipboardRequested);
    std::vector<identity::PortIdentity> ports =
        identity::PortsOfRows(identity::IdentitiesOfRows(list.rows, machine.facts()));
    std::erase_if(ports, [&](const identity::PortIdentity& port) { return !Matches(filter, port); });
    return ports;
}

// The ports as "add" events, "synced", then what changes, one JSON object a line, until SIGINT or
// SIGTERM (Ctrl-C on Windows).
int WatchMachine(const Machine& machine, const Request& request) {
    const std::unique_ptr<identity::IDeviceChanges> changes = machine.changes();
    cli::ConsoleMessageBox messages;
    const bool stopped = identity::RunWatch(
        *changes,
        [&] {
            machine.outdate();
            return PortsNow(machine, request.filter, messages);
        },
        [](std::string_view event, const identity::PortIdentity* port) {
            std::cout << cli::RenderEvent(event, port);
            return Flushed(kExitListed) == kExitListed;
        });
    return stopped ? kExitListed : kExitProblem;
}

int ListMachine(const Machine& machine, const Request& request) {
    if (request.watch) {
        return WatchMachine(machine, request);
    }
    cli::ConsoleMessageBox messages;
    if (request.dump) {
        messages.Replace(kMsgDumpCopied, cli::kMsgDumpWritten);
    }
    cli::CapturedClipboard clipboard;
    cli::LocalClock clock;
    cli::NoPointer pointer;
    const Services services{machine.registry, machine.devices, messages, clipboard, clock, pointer};
    PortDeviceTable table;
    bool clipboardRequested = request.dump;
    const PortListContent list = BuildPortList(services, table, clipboardRequested);

    if (request.dump) {
        if (!clipboard.received()) {
            std::cerr << "velmaro-list: nothing reached the clipboard\n";
            return kExitProblem;
        }
        const std::string& text = clipboard.text();
        // Byte for byte into a pipe or file (CR LF kept); a console gets it as text like the list.
        cli::UseBinaryStdout();
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        return Flushed(kExitListed);
    }

    const std::vector<std::optional<identity::PortIdentity>> identities =
        identity::IdentitiesOfRows(list.rows, machine.facts());
    std::vector<PortRow> rows;
    std::vector<std::optional<identity::PortIdentity>> rowIdentities;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        // A filter asks for ports; rows that are no port pass only when there is none.
        const bool passes = !request.filter.Any() || (identities[i] && Matches(request.filter, *identities[i]));
        if (passes) {
            rows.push_back(list.rows[i]);
            rowIdentities.push_back(identities[i]);
        }
    }

    if (!request.field.empty()) {
        for (const auto& port : rowIdentities) {
            if (port) {
                std::cout << cli::FieldOf(*port, request.field) << '\n';
            }
        }
    } else if (request.json) {
        std::cout << cli::RenderJson(rows, list.problemLineVisible, rowIdentities, machine.platform);
    } else {
        std::cout << cli::RenderTable(rows, list.problemLineVisible ? kProblemLineText : "");
    }
    const bool problem = std::any_of(rows.begin(), rows.end(), [](const PortRow& row) { return row.problem; });
    return Flushed(request.check && problem ? kExitProblem : kExitListed);
}

int ListScenario(const std::string& scenario, const Request& request) {
    std::optional<snapshot::SnapshotMachine> machine;
    try {
        machine.emplace(snapshot::ScenarioSnapshot(scenario));
    } catch (const snapshot::ScenarioError& e) {
        std::cerr << "velmaro-list: " << e.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "velmaro-list: " << scenario << ": " << e.what() << '\n';
        return kExitUsage;
    }
    // A scenario describes a Windows machine.
    return ListMachine({*machine, *machine, [&] { return snapshot::PortFactsOf(machine->Snapshot()); },
                        GuidancePlatform::Windows, cli::OpenStopRequests, [] {}},
                       request);
}

int ListThisMachine(const Request& request) {
    const auto machine = cli::OpenLiveMachine();
    if (!machine) {
        std::cerr << "velmaro-list: listing the ports of this machine needs a platform backend that this build "
                     "does not have; use --scenario FILE to list a machine described by a scenario file.\n";
        return kExitUsage;
    }
#ifdef _WIN32
    constexpr GuidancePlatform kPlatform = GuidancePlatform::Windows;
#else
    constexpr GuidancePlatform kPlatform = GuidancePlatform::Linux;
#endif
    return ListMachine({machine->Registry(), machine->Devices(), [&] { return machine->PortFacts(); }, kPlatform,
                        [&] { return machine->OpenChanges(); }, [&] { machine->Outdate(); }},
                       request);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Lists the COM ports of a machine as Velmaro's port list shows them: one full refresh, "
        "driver-problem scan included, on this machine or on the one described by a scenario file."};
    app.name("velmaro-list");
    std::string scenario;
    Request request;
    std::string vidPid;
    std::string serial;
    std::string match;
    int com = -1;
    app.add_option("--scenario", scenario,
                   "Scenario file (JSON) describing the machine's registry and devices; without it, this machine")
        ->type_name("FILE");
    auto* jsonFlag = app.add_flag("--json", request.json,
                                  "Print the rows, their ports' identity and the problem "
                                  "line as a JSON document (see docs/velmaro-list.schema.json)");
    auto* dumpFlag =
        app.add_flag("--dump", request.dump, "Print the device dump that the clipboard would receive (CR LF line ends)")
            ->excludes(jsonFlag);
    auto* fieldOption =
        app.add_option("--field", request.field, "Print only this value of each listed port, one line each")
            ->type_name("node|com|serial")
            ->check(CLI::IsMember({"node", "com", "serial"}))
            ->excludes(jsonFlag, dumpFlag);
    auto* vidPidOption = app.add_option("--vid-pid", vidPid, "Only ports of this USB vendor (and product), hexadecimal")
                             ->type_name("VID[:PID]");
    auto* serialOption =
        app.add_option("--serial", serial, "Only ports whose serial number is TEXT")->type_name("TEXT");
    auto* matchOption = app.add_option("--match", match,
                                       "Only ports whose description, device path or maker contains a match of REGEX "
                                       "(ECMAScript, letter case ignored)")
                            ->type_name("REGEX");
    auto* comOption =
        app.add_option("--com", com, "Only the port with this COM number")->type_name("N")->check(CLI::Range(0, 255));
    for (auto* filter : {vidPidOption, serialOption, matchOption, comOption}) {
        filter->excludes(dumpFlag);
    }
    app.add_flag("--watch", request.watch,
                 "Print the ports as JSON lines: each as an \"add\" event, then \"synced\", then \"add\", "
                 "\"remove\" and \"change\" as they happen, until interrupted")
        ->excludes(jsonFlag, dumpFlag, fieldOption);
    app.add_flag("--check", request.check, "Exit with status 1 when a listed row reports a problem")
        ->excludes(dumpFlag);
    app.footer(
        "Without --json, --field, --watch or --dump the rows are printed as a table, followed by the problem line when "
        "it is "
        "shown. With a filter only ports that pass every filter are listed.\n"
        "Exit status: 0 listed; 1 a listed row reports a problem (with --check), the refresh failed, nothing reached "
        "the clipboard or standard output could not be written; 2 usage error or unreadable scenario.");
    app.set_version_flag("--version", std::string("velmaro-list ") + VELMARO_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help and version end here with 0; every usage error with 2.
        return app.exit(e) == 0 ? kExitListed : kExitUsage;
    }
    if (!vidPidOption->empty()) {
        request.filter.vidPid = identity::ParseVidPid(vidPid);
        if (!request.filter.vidPid) {
            std::cerr << "velmaro-list: --vid-pid: expected VID[:PID] in hexadecimal, e.g. 2341:0043, not \"" << vidPid
                      << "\"\n";
            return kExitUsage;
        }
    }
    if (!serialOption->empty()) {
        request.filter.serial = serial;
    }
    if (!matchOption->empty()) {
        try {
            request.filter.match.emplace(match, std::regex::ECMAScript | std::regex::icase);
        } catch (const std::regex_error& e) {
            std::cerr << "velmaro-list: --match: not a regular expression: " << e.what() << '\n';
            return kExitUsage;
        }
    }
    if (!comOption->empty()) {
        request.filter.com = com;
    }

    try {
        return scenario.empty() ? ListThisMachine(request) : ListScenario(scenario, request);
    } catch (const std::exception& e) {
        std::cerr << "velmaro-list: " << e.what() << '\n';
        return kExitProblem;
    }
}
