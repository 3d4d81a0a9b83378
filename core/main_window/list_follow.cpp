#include "main_window/list_follow.h"

#include <algorithm>
#include <cstdio>

#include "identity/port_events.h"

namespace velmaro {
namespace {

// The 1-based row of a key, 0 when it is not listed.
int RowOf(const std::vector<std::string>& keys, const std::optional<std::string>& key) {
    if (!key) {
        return 0;
    }
    const auto it = std::find(keys.begin(), keys.end(), *key);
    return it == keys.end() ? 0 : static_cast<int>(it - keys.begin()) + 1;
}

std::optional<std::string> KeyAt(const std::vector<std::string>& keys, int row) {
    if (row < 1 || row > static_cast<int>(keys.size())) {
        return std::nullopt;
    }
    return keys[static_cast<std::size_t>(row - 1)];
}

}  // namespace

std::string RowKey(const PortRow& row, const std::optional<identity::PortIdentity>& port) {
    // The unit separator keeps a port's key apart from any row's texts.
    return port ? "\x1f" + identity::PortKey(*port) : row.text + "\x1f" + row.description;
}

ListFollow FollowRefresh(const std::optional<std::vector<std::string>>& before,
                         ListPlace place,
                         const std::vector<std::string>& after,
                         const std::vector<bool>& ports) {
    ListFollow follow;
    if (!before) {
        return follow;
    }
    follow.top = RowOf(after, KeyAt(*before, place.top));
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i < ports.size() && ports[i] && RowOf(*before, after[i]) == 0) {
            follow.select = static_cast<int>(i) + 1;
            follow.appeared = true;
            return follow;
        }
    }
    follow.select = RowOf(after, KeyAt(*before, place.selected));
    return follow;
}

std::string RowToolTip(const std::optional<identity::PortIdentity>& port) {
    if (!port) {
        return "";
    }
    std::string tip = "Gerät: " + port->path;
    if (port->vid && port->pid) {
        char ids[16];
        std::snprintf(ids, sizeof ids, "%04X:%04X", *port->vid, *port->pid);
        tip += std::string("\nVID:PID: ") + ids;
    }
    if (!port->serial.empty()) {
        tip += "\nSeriennummer: " + port->serial;
    }
    if (!port->driver.empty()) {
        tip += "\nTreiber: " + port->driver;
    }
    return tip;
}

}  // namespace velmaro
