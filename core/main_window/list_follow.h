#pragma once
// How the window follows plugging: which row is selected and which is on top after a refresh, and
// the tooltip that names a row's port.
#include <optional>
#include <string>
#include <vector>

#include "identity/port_identity.h"
#include "port_list/port_list.h"

namespace velmaro {

// Where the user was in the list: 1-based rows, 0 for none.
struct ListPlace {
    int selected = 0;
    int top = 0;  // the first row in view
    friend bool operator==(const ListPlace&, const ListPlace&) = default;
};

// What the view does after a refresh: select a row (0: none), and when it is a port that appeared
// since the last refresh, scroll it into view and mark it until the next refresh; put a row on top
// first (0: leave the list at its start).
struct ListFollow {
    int select = 0;
    bool appeared = false;
    int top = 0;
    friend bool operator==(const ListFollow&, const ListFollow&) = default;
};

// What a row stands for across refreshes: its port's device (a renumbered port stays the same row),
// else its texts.
std::string RowKey(const PortRow& row, const std::optional<identity::PortIdentity>& port);

// before: the row keys of the last refresh, nothing before the first (when no port counts as new);
// place: where the user was among them. after: the keys now; ports: which of them are ports. A port
// that appeared is selected (the first, in row order); else the selected row stays selected and the
// top row stays on top while they are still listed.
ListFollow FollowRefresh(const std::optional<std::vector<std::string>>& before,
                         ListPlace place,
                         const std::vector<std::string>& after,
                         const std::vector<bool>& ports);

// The tooltip of a port's row, a line each for what is known: "Gerät: /dev/ttyUSB0",
// "VID:PID: 067B:2303", "Seriennummer: A50285BI", "Treiber: ftdi_sio". Empty for a row without port.
std::string RowToolTip(const std::optional<identity::PortIdentity>& port);

}  // namespace velmaro
