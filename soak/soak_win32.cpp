// Drives the Win32 window through many refreshes of one scenario and prints its working set and
// its GDI and USER object counts at intervals; runs under Wine. Not a test: the figures go into the
// README.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <psapi.h>

#include <string>

#include "frm_ports_window.h"
#include "shell/shell_desktop.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"
#include "soak_report.h"
#include "win32/win32_services.h"
#include "win32/win32_shell.h"
#include "win32/win32_text.h"

namespace {

double ResidentMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

std::string GuiObjects() {
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return "  gdi " + std::to_string(gdi) + "  user " + std::to_string(user);
}

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmaro;
    using namespace velmaro::win32;
    soak::Options options;
    if (!soak::ParseOptions(argc, argv, options)) {
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    snapshot::SnapshotMachine machine(snapshot::ScenarioSnapshot(options.scenario));

    Win32ProgramIdentity identity;
    Win32ShellService shell;
    ShellDesktop desktop(shell);
    Win32SingleInstance instance("Local\\VelmaroSoak");
    Win32FileSystem files;
    Win32MonotonicClock monotonic;
    Win32Clock clock;
    Win32EventPump events;
    FrmPortsWindow window(kProgramTitle);
    frmPorts presenter(window, {machine, machine, clock, desktop, identity, instance, files, monotonic, events});
    window.Attach(presenter);
    if (!presenter.Form_Load()) {
        return 1;
    }
    window.Show();
    PumpMessages();

    soak::Report(options, 0, ResidentMegabytes(), GuiObjects());
    for (long refresh = 1; refresh <= options.refreshes; ++refresh) {
        presenter.tmrRefresh_Timer();
        // Draw every row now, as the screen would.
        RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages();
        if (refresh % options.every == 0) {
            soak::Report(options, refresh, ResidentMegabytes(), GuiObjects());
        }
    }
    return 0;
}
