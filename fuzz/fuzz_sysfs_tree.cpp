// A sysfs tree, a /dev folder and a Wine prefix as a stranger could lay them out, scanned by the
// plain-sysfs walk and numbered by Wine's rule. The input describes the tree one entry a line:
//   f PATH CONTENT   a file (\n in CONTENT is a line break)     d PATH          a folder
//   l PATH TARGET    a link; TARGET "/x" is x in the tree,       p PATH          a FIFO
//                    "@zero" /dev/zero, "@null" /dev/null; below wine/dosdevices TARGET is taken
//                    as it stands (a device node the prefix names, only looked at)
// Paths lie below the tree's root; "..", empty names and deep paths are left out.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "linux/machine_scan.h"
#include "linux/wine_com_numbers.h"

using namespace velmaro::linux_backend;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxEntries = 48;
constexpr std::size_t kMaxDepth = 10;

// The path inside root, or empty when the text is no acceptable path.
fs::path Inside(const fs::path& root, std::string_view text) {
    fs::path path = root;
    std::size_t depth = 0;
    while (!text.empty()) {
        const std::size_t slash = std::min(text.find('/'), text.size());
        const std::string_view part = text.substr(0, slash);
        text.remove_prefix(std::min(slash + 1, text.size()));
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == ".." || part.find('\0') != std::string_view::npos || ++depth > kMaxDepth) {
            return {};
        }
        path /= std::string(part);
    }
    return depth == 0 ? fs::path() : path;
}

// Whether a folder on the way from root to path is a link: an entry written there would land
// wherever the link points, outside the tree (a prefix's dosdevices links may name any path).
bool ThroughLink(const fs::path& root, const fs::path& path) {
    fs::path at = root;
    const fs::path relative = path.lexically_relative(root);
    for (auto part = relative.begin(); part != relative.end(); ++part) {
        if (std::next(part) == relative.end()) {
            break;
        }
        at /= *part;
        if (fs::is_symlink(at)) {
            return true;
        }
    }
    return false;
}

// A regular file with this content in place of whatever the entry was, without following a link
// or waiting for a FIFO's reader.
void WriteFile(const fs::path& path, const std::string& content) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(path, ec))) {
        fs::remove(path, ec);
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    for (std::size_t done = 0; done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Build(const fs::path& root, std::string_view input) {
    std::size_t entries = 0;
    while (!input.empty() && entries < kMaxEntries) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (line.size() < 3 || line[1] != ' ') {
            continue;
        }
        const std::string_view rest = line.substr(2);
        const std::size_t space = std::min(rest.find(' '), rest.size());
        const fs::path path = Inside(root, rest.substr(0, space));
        const std::string_view argument = rest.substr(std::min(space + 1, rest.size()));
        if (path.empty() || ThroughLink(root, path)) {
            continue;
        }
        ++entries;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        switch (line[0]) {
            case 'f':
                WriteFile(path, Unescape(argument));
                break;
            case 'd':
                fs::create_directories(path, ec);
                break;
            case 'p':
                ::mkfifo(path.c_str(), 0600);
                break;
            case 'l': {
                const bool wineLink = path.parent_path() == root / "wine" / "dosdevices";
                fs::path target = argument == "@zero"                      ? fs::path("/dev/zero")
                                  : argument == "@null"                    ? fs::path("/dev/null")
                                  : argument.starts_with('/') && !wineLink ? Inside(root, argument)
                                                                           : fs::path(std::string(argument));
                if (!target.empty() && argument.find("..") == std::string_view::npos) {
                    fs::create_symlink(target, path, ec);
                }
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char name[] = "/tmp/velmaro-fuzz-tree-XXXXXX";
    if (::mkdtemp(name) == nullptr) {
        std::abort();
    }
    const fs::path root = name;
    Build(root, std::string_view(reinterpret_cast<const char*>(data), size));
    ScanRoots roots;
    roots.sysfs = root / "sys";
    roots.dev = root / "dev";
    roots.winePrefix = root / "wine";
    roots.source = DeviceSource::Sysfs;
    std::ostringstream notices;
    roots.notices = &notices;
    roots.wineRegistryLimit = 4096;
    const MachineScan scan = ScanMachine(roots);
    // Every port has a name, a node below /dev, a place inside the tree and a COM number of its own.
    std::set<int> numbers;
    for (const SerialPort& port : scan.ports) {
        if (port.kernelName.empty() || !port.deviceNode.starts_with("/dev/") || port.sysfsPath.starts_with("..") ||
            port.comNumber < 0 || port.comNumber > kWineMaxPorts ||
            (port.comNumber != 0 && !numbers.insert(port.comNumber).second)) {
            std::abort();
        }
    }
    for (const UsbDevice& device : scan.usbDevices) {
        if (device.sysfsPath.empty() || device.sysfsPath.starts_with("..")) {
            std::abort();
        }
    }
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
