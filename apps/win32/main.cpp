// Velmaro.exe: the port list window. "--scenario FILE" shows the machine a scenario file describes
// instead of this PC, for demonstrations and tests.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frm_ports_window.h"
#include "snapshot/port_facts.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"
#include "shell/shell_desktop.h"
#include "win32/win32_devices.h"
#include "win32/win32_port_facts.h"
#include "win32/win32_registry.h"
#include "win32/win32_services.h"
#include "win32/win32_shell.h"
#include "win32/win32_text.h"

namespace {

using namespace velmaro;
using namespace velmaro::win32;

std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments && i < count; ++i) {
        result.push_back(WideToUtf8(arguments[i]));
    }
    LocalFree(arguments);
    return result;
}

std::optional<std::string> ScenarioArgument(const std::vector<std::string>& arguments) {
    const std::string option = "--scenario";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option && i + 1 < arguments.size()) {
            return arguments[i + 1];
        }
        if (arguments[i].starts_with(option + "=")) {
            return arguments[i].substr(option.size() + 1);
        }
    }
    return std::nullopt;
}

int Run(IRegistryService& registry,
        IDeviceInfoService& devices,
        std::function<std::vector<identity::DeviceFacts>()> portFacts) {
    Win32ProgramIdentity identity;
    Win32ShellService shell;
    ShellDesktop desktop(shell);
    Win32SingleInstance instance("Local\\Velmaro");
    Win32FileSystem files;
    Win32MonotonicClock monotonic;
    Win32Clock clock;
    Win32EventPump events;

    FrmPortsWindow window(kProgramTitle);
    frmPorts presenter(window, {registry, devices, clock, desktop, identity, instance, files, monotonic, events,
                                GuidancePlatform::Windows, std::move(portFacts)});
    window.Attach(presenter);
    if (!presenter.Form_Load()) {
        return 0;  // another copy runs; the user has been told
    }
    window.Show();

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The dialog manager gives the window its tab order and keyboard handling.
        HWND main = window.Handle();
        if (main && IsDialogMessageW(main, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        const std::optional<std::string> scenario = ScenarioArgument(Arguments());
        if (scenario) {
            snapshot::SnapshotMachine machine(snapshot::ScenarioSnapshot(Utf8ToWide(*scenario)));
            return Run(machine, machine, [&] { return snapshot::PortFactsOf(machine.Snapshot()); });
        }
        Win32Registry registry;
        Win32Devices devices;
        return Run(registry, devices, ReadPortFacts);
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, Utf8ToWide(error.what()).c_str(), Utf8ToWide(kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
        return 2;
    }
}
