// Wine's system.reg as a stranger could leave it: the Ports key reader and the numbering that
// follows it. Checks what the reader promises besides not crashing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "linux/wine_com_numbers.h"

using namespace velmaro::linux_backend;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream systemReg(text);
    const std::vector<ComLink> links = WinePortsFromRegistry(systemReg);
    for (std::size_t i = 0; i < links.size(); ++i) {
        // COM1..COM256 with a target, sorted by number.
        if (links[i].number < 1 || links[i].number > kWineMaxPorts || links[i].target.empty() ||
            (i > 0 && links[i - 1].number > links[i].number)) {
            std::abort();
        }
    }
    // The links' targets as the device nodes that exist, the input's lines as further ports.
    std::set<std::string> nodes;
    std::vector<std::string> others;
    for (const ComLink& link : links) {
        nodes.insert(link.target);
    }
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line) && others.size() < 64;) {
        others.push_back(line);
        if (ComNumberOfLinkName(line) < 0 || NaturalLess(line, line)) {
            std::abort();
        }
    }
    for (const auto& [node, number] : WineComNumbers(links, nodes, others)) {
        if (node.empty() && number == 0) {
            std::abort();
        }
    }
    return 0;
}
