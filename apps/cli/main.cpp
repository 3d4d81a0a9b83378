// velmaro-list: one refresh of Velmaro's port list on this machine or on one described by a scenario
// file, printed as a table, as JSON, or as the device dump the clipboard would receive.
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "console_services.h"
#include "live_machine.h"
#include "main_window/port_list_build.h"
#include "render.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"

namespace {

using namespace velmaro;

// One refresh on the given machine, printed as asked.
int ListMachine(IRegistryService& registry, IDeviceInfoService& devices, bool json, bool dump) {
    cli::ConsoleMessageBox messages;
    cli::CapturedClipboard clipboard;
    cli::LocalClock clock;
    cli::NoPointer pointer;
    const Services services{registry, devices, messages, clipboard, clock, pointer};
    PortDeviceTable table;
    bool clipboardRequested = dump;
    const PortListContent list = BuildPortList(services, table, clipboardRequested);

    if (dump) {
        if (!clipboard.received()) {
            std::cerr << "velmaro-list: nothing reached the clipboard\n";
            return 1;
        }
        const std::string& text = clipboard.text();
        // Byte for byte into a pipe or file (CR LF kept); a console gets it as text like the list.
        cli::UseBinaryStdout();
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
        return 0;
    }
    if (json) {
        std::cout << cli::RenderJson(list.rows, list.problemLineVisible);
    } else {
        std::cout << cli::RenderTable(list.rows, list.problemLineVisible ? kProblemLineText : "");
    }
    return 0;
}

int ListScenario(const std::string& scenario, bool json, bool dump) {
    std::optional<snapshot::SnapshotMachine> machine;
    try {
        machine.emplace(snapshot::ScenarioSnapshot(scenario));
    } catch (const snapshot::ScenarioError& e) {
        std::cerr << "velmaro-list: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "velmaro-list: " << scenario << ": " << e.what() << '\n';
        return 2;
    }
    return ListMachine(*machine, *machine, json, dump);
}

int ListThisMachine(bool json, bool dump) {
    const auto machine = cli::OpenLiveMachine();
    if (!machine) {
        std::cerr << "velmaro-list: listing the ports of this machine needs a platform backend that this build "
                     "does not have; use --scenario FILE to list a machine described by a scenario file.\n";
        return 2;
    }
    return ListMachine(machine->Registry(), machine->Devices(), json, dump);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Lists the COM ports of a machine as Velmaro's port list shows them: one full refresh, "
        "driver-problem scan included, on this machine or on the one described by a scenario file."};
    app.name("velmaro-list");
    std::string scenario;
    bool json = false;
    bool dump = false;
    app.add_option("--scenario", scenario,
                   "Scenario file (JSON) describing the machine's registry and devices; without it, this machine")
        ->type_name("FILE");
    auto* jsonFlag = app.add_flag("--json", json, "Print the rows and the problem line as JSON");
    app.add_flag("--dump", dump, "Print the device dump that the clipboard would receive (CR LF line ends)")
        ->excludes(jsonFlag);
    app.footer(
        "Without --json or --dump the rows are printed as a table, followed by the problem line when it is shown.\n"
        "Exit status: 0 listed; 1 the refresh failed or nothing reached the clipboard; 2 usage error or "
        "unreadable scenario.");
    app.set_version_flag("--version", std::string("velmaro-list ") + VELMARO_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help and version end here with 0; every usage error with 2.
        return app.exit(e) == 0 ? 0 : 2;
    }

    try {
        return scenario.empty() ? ListThisMachine(json, dump) : ListScenario(scenario, json, dump);
    } catch (const std::exception& e) {
        std::cerr << "velmaro-list: " << e.what() << '\n';
        return 1;
    }
}
