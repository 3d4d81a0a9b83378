// A scenario file as a stranger could write it: the loader, then one refresh of the port list on
// the machine it describes with the device dump requested, as `velmaro-list --dump` runs it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fakes.h"
#include "main_window/port_list_build.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"

using namespace velmaro;

namespace {

struct Refresh {
    PortListContent list;
    std::string dump;
    std::vector<std::string> boxes;
};

Refresh RefreshOnce(snapshot::SnapshotMachine& machine) {
    testing::FakeUserServices user;
    const Services services = user.Over(machine, machine);
    PortDeviceTable table;
    bool clipboardRequested = true;
    Refresh refresh{BuildPortList(services, table, clipboardRequested), user.clipboard.text, user.messages.Texts()};
    // The run serves the request whatever happens, and gives back every key and set it opened.
    if (clipboardRequested || machine.HasOpenHandles()) {
        std::abort();
    }
    return refresh;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    snapshot::DeviceSnapshot snapshot(snapshot::CodePage::Windows1252);
    try {
        snapshot::LoadScenarioText(text, "fuzz.json", snapshot);
    } catch (const snapshot::ScenarioError&) {
        return 0;
    }
    snapshot::SnapshotMachine machine(std::move(snapshot));
    const Refresh first = RefreshOnce(machine);
    // A snapshot does not change between refreshes, so neither may the list, the dump or the boxes.
    const Refresh second = RefreshOnce(machine);
    if (first.list.rows != second.list.rows || first.list.problemLineVisible != second.list.problemLineVisible ||
        first.dump != second.dump || first.boxes != second.boxes) {
        std::abort();
    }
    // One box per text and refresh.
    for (std::size_t i = 0; i < first.boxes.size(); ++i) {
        for (std::size_t k = i + 1; k < first.boxes.size(); ++k) {
            if (first.boxes[i] == first.boxes[k]) {
                std::abort();
            }
        }
    }
    return 0;
}
