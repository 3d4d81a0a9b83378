#include "main_window/port_list_refresh.h"

#include <cstdio>
#include <utility>

#include "common/handle_owner.h"

namespace velmaro {

PortListContent RefreshPortList(const Services& services,
                                PortDeviceTable& table,
                                RefreshControls& controls,
                                bool& clipboardRequested) {
    // The caption carries the moment the run began, so the clock is read before anything else.
    controls.lblLastRefresh.SetCaption(LastRefreshCaption(services.clock.Now()));

    services.pointer.Set(MousePointer::Busy);
    const HandleOwner restorePointer(&services.pointer,
                                     [](IMousePointer* pointer) { pointer->Set(MousePointer::Default); });

    // Cleared before the machine is read, so a failing run leaves no rows of the last one.
    controls.lvwPorts.Clear();
    const PortListContent content = BuildPortList(services, table, clipboardRequested);
    AppendRows(controls.lvwPorts, content.rows);

    controls.lblProblem.SetVisible(content.problemLineVisible);
    ApplyListHeightRule(controls);
    return content;
}

void ApplyListHeightRule(RefreshControls& controls) {
    const float gap = controls.hdlMain.Top();
    const float top = controls.lvwPortsBox.Top();
    if (controls.lblProblem.Visible()) {
        controls.lvwPortsBox.SetHeight(controls.lblProblem.Top() - gap - top);
    } else {
        controls.lvwPortsBox.SetHeight(controls.linBut.Y1() - gap - top);
    }
}

std::string LastRefreshCaption(const LocalTime& now) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Aktualisiert am %02d.%02d.%04d um %02d:%02d:%02d Uhr", now.day, now.month,
                  now.year, now.hour, now.minute, now.second);
    return buffer;
}

}  // namespace velmaro
