#include "linux/port_use.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <map>
#include <optional>

namespace velmaro::linux_backend {
namespace fs = std::filesystem;

namespace {

// A rule's operand: the text between the quotes after key=="...".
std::optional<std::string_view> RuleValue(std::string_view line, std::string_view key) {
    const std::string needle = std::string(key) + "==\"";
    const std::size_t at = line.find(needle);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + needle.size();
    const std::size_t end = line.find('"', start);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(start, end - start);
}

// One to four hex digits, as udev writes IDs in PRODUCT (no leading zeros) and in idVendor.
std::optional<std::uint16_t> HexId(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string GroupName(gid_t gid) {
    std::array<char, 4096> buffer{};
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::to_string(gid);
    }
    return found->gr_name;
}

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// /dev/bus/usb/BBB/DDD, where usbfs serves the device; empty when sysfs does not say.
fs::path UsbNode(const ScanRoots& roots, const UsbDevice& device) {
    const std::optional<long> bus = ReadNumber(roots, roots.sysfs / device.sysfsPath / "busnum", 10);
    const std::optional<long> number = ReadNumber(roots, roots.sysfs / device.sysfsPath / "devnum", 10);
    if (!bus || !number) {
        return {};
    }
    char name[16] = {};
    std::snprintf(name, sizeof name, "%03ld/%03ld", *bus, *number);
    return roots.dev / "bus" / "usb" / name;
}

// Adds a node under its own name and, where that differs, the name its links resolve to: a
// descriptor's link names the file the process opened.
void Want(std::map<fs::path, std::vector<DeviceHolder>*>& wanted, const fs::path& node,
          std::vector<DeviceHolder>& holders) {
    wanted.emplace(node, &holders);
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(node, ec);
    if (!ec) {
        wanted.emplace(canonical, &holders);
    }
}

}  // namespace

void FindHolders(const fs::path& proc, const std::map<fs::path, std::vector<DeviceHolder>*>& wanted) {
    if (wanted.empty()) {
        return;  // nothing to hold: the walk over every process would be for nothing
    }
    std::error_code ec;
    for (const fs::directory_entry& process : fs::directory_iterator(proc, ec)) {
        const std::string name = process.path().filename().string();
        std::uint32_t processId = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), processId);
        if (error != std::errc() || end != name.data() + name.size()) {
            continue;
        }
        std::optional<DeviceHolder> holder;  // its name is read only when it holds a node
        std::error_code fdError;
        // Another user's descriptors are unreadable without privileges: they stay unknown.
        for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fd.path(), linkError);
            const auto found = linkError ? wanted.end() : wanted.find(target);
            if (found == wanted.end()) {
                continue;
            }
            if (!holder) {
                holder = DeviceHolder{FirstLine(process.path() / "comm"), processId};
            }
            std::vector<DeviceHolder>& holders = *found->second;
            if (std::find(holders.begin(), holders.end(), *holder) == holders.end()) {
                holders.push_back(*holder);
            }
        }
    }
}

std::optional<UsbIds> BrlttyRuleLineIds(std::string_view line) {
    if (line.starts_with('#')) {
        return std::nullopt;
    }
    if (const auto product = RuleValue(line, "ENV{PRODUCT}")) {
        const std::size_t first = product->find('/');
        const std::size_t second = product->find('/', first + 1);
        if (first == std::string_view::npos) {
            return std::nullopt;
        }
        const auto vendor = HexId(product->substr(0, first));
        const auto id =
            HexId(product->substr(first + 1, second == std::string_view::npos ? second : second - first - 1));
        if (vendor && id) {
            return UsbIds{*vendor, *id, std::nullopt};
        }
        return std::nullopt;
    }
    const auto vendor = RuleValue(line, "ATTRS{idVendor}");
    const auto product = RuleValue(line, "ATTRS{idProduct}");
    if (!vendor || !product) {
        return std::nullopt;
    }
    const auto vendorId = HexId(*vendor);
    const auto productId = HexId(*product);
    if (!vendorId || !productId) {
        return std::nullopt;
    }
    return UsbIds{*vendorId, *productId, std::nullopt};
}

std::vector<UsbIds> BrlttyRuleIds(const std::vector<fs::path>& dirs) {
    std::vector<UsbIds> ids;
    for (const fs::path& dir : dirs) {
        std::error_code ec;
        for (const fs::directory_entry& file : fs::directory_iterator(dir, ec)) {
            if (file.path().filename().string().find("brltty") == std::string::npos) {
                continue;
            }
            std::ifstream in(file.path());
            for (std::string line; std::getline(in, line);) {
                if (const auto found = BrlttyRuleLineIds(line)) {
                    ids.push_back(*found);
                }
            }
        }
    }
    return ids;
}

void FindPortUse(MachineScan& scan, const ScanRoots& roots) {
    std::map<fs::path, std::vector<DeviceHolder>*> wanted;
    for (SerialPort& port : scan.ports) {
        const fs::path node = roots.dev / port.kernelName;
        struct stat info {};
        if (::stat(node.c_str(), &info) != 0) {
            continue;  // no node: nothing to open, nothing to hold
        }
        port.group = GroupName(info.st_gid);
        port.accessDenied = ::access(node.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
        Want(wanted, node, port.holders);
    }
    const std::vector<UsbIds> brltty = BrlttyRuleIds(roots.udevRuleDirs);
    for (UsbDevice& device : scan.usbDevices) {
        device.brlttyRuleMatches = std::any_of(brltty.begin(), brltty.end(), [&](const UsbIds& ids) {
            return ids.vendor == device.ids.vendor && ids.product == device.ids.product;
        });
        if (const fs::path node = UsbNode(roots, device); !node.empty()) {
            Want(wanted, node, device.holders);
        }
    }
    FindHolders(roots.proc, wanted);
}

}  // namespace velmaro::linux_backend
