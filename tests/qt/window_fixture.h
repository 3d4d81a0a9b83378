#pragma once
// The Qt window, its presenter and the services behind them, over one scenario file.
#include <QApplication>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "linux_services.h"
#include "main_window.h"
#include "memory/memory_machine.h"
#include "support/fakes.h"

namespace velmaro::qt {

struct WindowFixture {
    explicit WindowFixture(const std::string& scenario) : instance(lockDir.path().toStdString(), "velmaro.lock") {
        memory::LoadScenarioFile(std::string(VELMARO_SCENARIO_DIR) + "/" + scenario, machine);
        presenter = std::make_unique<frmPorts>(
            window, MainWindowServices{machine, machine, clock, desktop, identity, instance, files, monotonic, events});
        window.Attach(*presenter);
    }
    // Load, show, and one refresh.
    void LoadAndTick() {
        ASSERT_TRUE(presenter->Form_Load());
        window.show();
        QApplication::processEvents();
        presenter->tmrRefresh_Timer();
    }

    memory::MemoryMachine machine;
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

}  // namespace velmaro::qt
