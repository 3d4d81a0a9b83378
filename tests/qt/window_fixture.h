#pragma once
// The Qt window, its presenter and the services behind them, over a machine the fixture holds.
#include <QApplication>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "linux_services.h"
#include "main_window.h"
#include "memory/memory_machine.h"
#include "support/fakes.h"

namespace velmaro::qt {

// Everything but the machine, which a deriving fixture holds in a base named before this one, so
// that it is built first.
struct WindowOn {
    WindowOn(IRegistryService& registry, IDeviceInfoService& devices,
             std::function<std::vector<identity::DeviceFacts>()> portFacts = nullptr)
        : instance(lockDir.path().toStdString(), "velmaro.lock") {
        presenter = std::make_unique<frmPorts>(
            window, MainWindowServices{registry, devices, clock, desktop, identity, instance, files, monotonic, events,
                                       GuidancePlatform::Windows, std::move(portFacts)});
        window.Attach(*presenter);
    }
    // Load, show, and one refresh.
    void LoadAndTick() {
        ASSERT_TRUE(presenter->Form_Load());
        window.show();
        QApplication::processEvents();
        presenter->tmrRefresh_Timer();
    }

    testing::FixedClock clock;
    testing::RecordingDesktop desktop;  // without a device manager
    ApplicationIdentity identity;
    QTemporaryDir lockDir;
    LockFileInstance instance;
    LocalFileSystem files;
    ElapsedClock monotonic;
    QtEventPump events;
    MainWindow window;
    std::unique_ptr<frmPorts> presenter;
};

struct ScenarioMachine {
    explicit ScenarioMachine(const std::string& scenario) {
        memory::LoadScenarioFile(std::string(VELMARO_SCENARIO_DIR) + "/" + scenario, machine);
    }
    memory::MemoryMachine machine;
};

// The window over one shipped scenario file.
struct WindowFixture : ScenarioMachine, WindowOn {
    explicit WindowFixture(const std::string& scenario) : ScenarioMachine(scenario), WindowOn(machine, machine) {}
};

}  // namespace velmaro::qt
