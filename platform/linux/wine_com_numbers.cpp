#include "linux/wine_com_numbers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <istream>
#include <optional>
#include <sstream>
#include <string_view>
#include <utility>

#include "common/text.h"

namespace velmaro::linux_backend {
namespace fs = std::filesystem;
namespace {

std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

// Splits off the trailing decimal digits; a name without them sorts before its numbered kin.
std::pair<std::string_view, std::string_view> StemAndDigits(std::string_view name) {
    std::size_t cut = name.size();
    while (cut > 0 && std::isdigit(static_cast<unsigned char>(name[cut - 1])) != 0) {
        --cut;
    }
    return {name.substr(0, cut), name.substr(cut)};
}

class NumberPool {
  public:
    void Take(int number) { used_.insert(number); }
    bool Used(int number) const { return used_.count(number) != 0; }
    // The lowest free number, or 0 when all Wine can name are taken.
    int TakeLowest() {
        for (int n = 1; n <= kWineMaxPorts; ++n) {
            if (!Used(n)) {
                Take(n);
                return n;
            }
        }
        return 0;
    }

  private:
    std::set<int> used_;
};

// A quoted string of Wine's registry files from its opening quote on: the text, and where it ends
// behind the closing quote. Wine escapes backslash, quote and control characters, and writes
// characters beyond ASCII as \x with up to four hex digits (UTF-16 units; a path needs no more).
std::optional<std::pair<std::string, std::size_t>> QuotedString(std::string_view line, std::size_t at) {
    if (at >= line.size() || line[at] != '"') {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            return std::pair{text, i + 1};
        }
        if (c != '\\' || i + 1 == line.size()) {
            text += c;
            continue;
        }
        const char e = line[++i];
        if (e == 'x') {
            unsigned code = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < line.size() && std::isxdigit(static_cast<unsigned char>(line[i + 1])) != 0) {
                const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(line[++i])));
                code = code * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : h - 'a' + 10);
                ++digits;
            }
            AppendUtf8(text, code);
        } else {
            text += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == '0' ? '\0' : e;
        }
    }
    return std::nullopt;  // no closing quote: not a value we understand
}

}  // namespace

std::vector<ComLink> WinePortsFromRegistry(std::istream& systemReg) {
    // Key names are written with doubled backslashes and followed by a time stamp.
    constexpr std::string_view kHeader = "[Software\\\\Wine\\\\Ports]";
    std::vector<ComLink> links;
    bool inPorts = false;
    bool done = false;  // a key stands once in the file: its section over, the rest is not read
    const auto take = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.front() == '[') {
            done = inPorts;
            inPorts = EqualsNoCase(line.substr(0, std::min(line.size(), kHeader.size())), kHeader);
            return;
        }
        if (!inPorts) {
            return;
        }
        const auto name = QuotedString(line, 0);
        if (!name || line.substr(name->second, 1) != "=") {
            return;  // comments, default values, other types
        }
        const auto value = QuotedString(line, name->second + 1);
        const int number = ComNumberOfLinkName(name->first);
        if (value && number != 0 && !value->first.empty()) {
            links.push_back({number, value->first});
        }
    };
    // A prefix's registry runs to megabytes: it is read in blocks, not held whole.
    std::string block(64 * 1024, '\0');
    std::string partial;  // a line cut by the end of a block
    while (!done && systemReg) {
        systemReg.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::string_view read(block.data(), static_cast<std::size_t>(systemReg.gcount()));
        std::size_t start = 0;
        for (std::size_t end = read.find('\n'); end != std::string_view::npos && !done; end = read.find('\n', start)) {
            if (partial.empty()) {
                take(read.substr(start, end - start));
            } else {
                partial.append(read.substr(start, end - start));
                take(partial);
                partial.clear();
            }
            start = end + 1;
        }
        if (!done) {
            partial.append(read.substr(std::min(start, read.size())));
        }
    }
    if (!done && !partial.empty()) {
        take(partial);
    }
    std::stable_sort(links.begin(), links.end(),
                     [](const ComLink& a, const ComLink& b) { return a.number < b.number; });
    return links;
}

int ComNumberOfLinkName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) {
        return 0;
    }
    if (std::tolower(static_cast<unsigned char>(name[0])) != 'c' ||
        std::tolower(static_cast<unsigned char>(name[1])) != 'o' ||
        std::tolower(static_cast<unsigned char>(name[2])) != 'm' || name[3] == '0') {
        return 0;
    }
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(name[i])) == 0) {
            return 0;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number <= kWineMaxPorts ? number : 0;
}

bool NaturalLess(const std::string& a, const std::string& b) {
    const auto [stemA, digitsA] = StemAndDigits(a);
    const auto [stemB, digitsB] = StemAndDigits(b);
    if (stemA != stemB) {
        return stemA < stemB;
    }
    // Equal stems: fewer significant digits is the smaller number.
    const auto significant = [](std::string_view d) { return d.substr(std::min(d.find_first_not_of('0'), d.size())); };
    const std::string_view numA = significant(digitsA);
    const std::string_view numB = significant(digitsB);
    if (numA.size() != numB.size()) {
        return numA.size() < numB.size();
    }
    return numA != numB ? numA < numB : digitsA < digitsB;
}

std::map<std::string, int> WineComNumbers(const std::vector<ComLink>& links,
                                          const std::set<std::string>& existingNodes,
                                          const std::vector<std::string>& otherNodes) {
    std::map<std::string, int> numbers;
    NumberPool pool;
    std::set<std::string> mapped;
    // A user's link holds its number even while its device is unplugged, as in Wine.
    for (const ComLink& link : links) {
        if (link.number < 1 || link.number > kWineMaxPorts || pool.Used(link.number)) {
            continue;
        }
        pool.Take(link.number);
        const std::string target = Normal(link.target);
        if (mapped.insert(target).second) {
            numbers[target] = link.number;
        }
    }
    const auto give = [&](const std::string& node) {
        if (mapped.count(node) != 0) {
            return;
        }
        if (const int number = pool.TakeLowest(); number != 0) {
            numbers[node] = number;
            mapped.insert(node);
        }
    };
    for (const char* prefix : kWineRunPrefixes) {
        for (int n = 0; n < kWineMaxPorts; ++n) {
            const std::string node = prefix + std::to_string(n);
            if (existingNodes.count(node) == 0) {
                break;
            }
            give(node);
        }
    }
    // Wine itself stops here; ports of other kinds (rfcomm, ttyAMA, ...) take the next free
    // numbers in name order, so that they can be listed at all.
    std::vector<std::string> others;
    for (const std::string& node : otherNodes) {
        others.push_back(Normal(node));
    }
    std::sort(others.begin(), others.end(), NaturalLess);
    for (const std::string& node : others) {
        give(node);
    }
    return numbers;
}

namespace {

// A link into /dev by another name (/dev/serial/by-id/...) counts for the node it leads to, as
// Wine resolves it too.
std::string NodeBehind(const fs::path& devRoot, const fs::path& target) {
    const fs::path rel = target.lexically_normal().lexically_relative("/dev");
    if (!target.is_absolute() || rel.empty() || *rel.begin() == "..") {
        return target.string();
    }
    std::error_code ec;
    const fs::path root = fs::canonical(devRoot, ec);
    const fs::path real = ec ? fs::path() : fs::canonical(root / rel, ec);
    const fs::path inside = ec ? fs::path() : real.lexically_relative(root);
    if (inside.empty() || *inside.begin() == "..") {
        return target.string();
    }
    return "/dev/" + inside.generic_string();
}

// The user's mappings: the Ports key first, as Wine remakes the links from it at its next start,
// then the dosdevices links; a number taken once is not taken again.
// The dosdevices entries are only read as links and their targets only looked at, never opened.
std::vector<ComLink> ReadWineLinks(const ScanRoots& roots) {
    std::vector<ComLink> links;
    if (!roots.winePrefix) {
        return links;
    }
    const fs::path& prefix = *roots.winePrefix;
    const fs::path& devRoot = roots.dev;
    posix::BoundedRead systemReg = posix::ReadBoundedFile((prefix / "system.reg").string(), roots.wineRegistryLimit);
    if (systemReg.Ok()) {
        std::istringstream text(std::move(systemReg.content));
        for (ComLink& link : WinePortsFromRegistry(text)) {
            links.push_back({link.number, NodeBehind(devRoot, link.target)});
        }
    } else if (systemReg.failure != posix::ReadFailure::NotFound) {
        // A prefix that was never started has none; anything else the user should hear of.
        ReportUnreadable(roots, systemReg.message + "; Wine's COM port settings left out");
    }
    const std::size_t fromRegistry = links.size();
    for (const std::string& name : EntryNames(prefix / "dosdevices")) {
        const int number = ComNumberOfLinkName(name);
        std::error_code ec;
        const fs::path target = fs::read_symlink(prefix / "dosdevices" / name, ec);
        if (number != 0 && !ec) {
            links.push_back({number, NodeBehind(devRoot, target)});
        }
    }
    std::sort(links.begin() + static_cast<std::ptrdiff_t>(fromRegistry), links.end(),
              [](const ComLink& a, const ComLink& b) { return a.number < b.number; });
    return links;
}

// The nodes of Wine's runs that exist, each run up to its first gap.
std::set<std::string> ExistingRunNodes(const fs::path& devRoot) {
    std::set<std::string> nodes;
    for (const char* prefix : kWineRunPrefixes) {
        const std::string name = fs::path(prefix).filename().string();
        for (int n = 0; n < kWineMaxPorts; ++n) {
            std::error_code ec;
            if (!fs::exists(devRoot / (name + std::to_string(n)), ec)) {
                break;
            }
            nodes.insert(prefix + std::to_string(n));
        }
    }
    return nodes;
}

}  // namespace

void NumberPorts(MachineScan& scan, const ScanRoots& roots) {
    std::vector<std::string> nodes;
    for (const SerialPort& port : scan.ports) {
        nodes.push_back(port.deviceNode);
    }
    const auto numbers = WineComNumbers(ReadWineLinks(roots), ExistingRunNodes(roots.dev), nodes);
    for (SerialPort& port : scan.ports) {
        const auto it = numbers.find(fs::path(port.deviceNode).lexically_normal().string());
        port.comNumber = it == numbers.end() ? 0 : it->second;
    }
}

}  // namespace velmaro::linux_backend
