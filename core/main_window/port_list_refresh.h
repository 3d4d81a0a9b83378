#pragma once
// RefreshPortList shows the rows BuildPortList reads in the main window, together with the
// last-refresh line and the problem line, and fits the list's height to them.
#include <string>

#include "main_window/port_list_build.h"
#include "services/controls.h"

namespace velmaro {

// The controls one refresh writes and reads.
struct RefreshControls {
    IPortList& lvwPorts;
    IBox& lvwPortsBox;
    ILabel& lblLastRefresh;
    ILabel& lblProblem;
    IBox& hdlMain;
    ILine& linBut;
};

// Returns the rows it showed.
PortListContent RefreshPortList(const Services& services,
                                PortDeviceTable& table,
                                RefreshControls& controls,
                                bool& clipboardRequested);

// The list ends above the problem line when it is visible, else above linBut, by the headline's gap.
void ApplyListHeightRule(RefreshControls& controls);

// "Aktualisiert am dd.mm.yyyy um hh:nn:ss Uhr"
std::string LastRefreshCaption(const LocalTime& now);

}  // namespace velmaro
