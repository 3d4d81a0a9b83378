#pragma once
// The native main window, its presenter and in-memory services behind them, over a machine the
// fixture holds.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frm_ports_window.h"
#include "memory/memory_file_system.h"
#include "memory/memory_machine.h"
#include "memory/memory_program.h"
#include "memory/memory_shell.h"
#include "shell/shell_desktop.h"
#include "support/fakes.h"

namespace velmaro::win32 {

struct FirstInstance : ISingleInstance {
    bool AnotherInstanceRunning() override { return false; }
};

// Everything but the machine, which a deriving fixture holds in a base named before this one, so
// that it is built first.
struct WindowOn {
    WindowOn(IRegistryService& registry, IDeviceInfoService& devices,
             std::function<std::vector<identity::DeviceFacts>()> portFacts = nullptr) {
        presenter = std::make_unique<frmPorts>(
            window, MainWindowServices{registry, devices, clock, desktop, identity, instance, files, monotonic, events,
                                       GuidancePlatform::Windows, std::move(portFacts)});
        window.Attach(*presenter);
    }
    // Load, show, then one tick of tmrRefresh as the message loop would deliver it.
    void LoadShowAndTick() {
        ASSERT_TRUE(presenter->Form_Load());
        window.Show();
        ASSERT_TRUE(window.tmrRefresh().Enabled());
        SendMessageW(window.Handle(), WM_TIMER, 1, 0);
    }

    velmaro::testing::FixedClock clock;
    memory::MemoryShell shell;
    ShellDesktop desktop{shell};
    memory::FixedProgramIdentity identity;
    FirstInstance instance;
    memory::MemoryFileSystem files;
    memory::ManualClock monotonic;
    memory::SteppingEventPump events{monotonic, 0.25f};
    FrmPortsWindow window{"Velmaro", false};
    std::unique_ptr<frmPorts> presenter;
};

struct ScenarioMachine {
    explicit ScenarioMachine(const std::string& scenario) {
        memory::LoadScenarioFile(std::string(VELMARO_SCENARIO_DIR) + "/" + scenario, machine);
    }
    memory::MemoryMachine machine;
};

}  // namespace velmaro::win32
