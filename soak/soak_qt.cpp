// Drives the Qt window through many refreshes of one scenario and prints its resident memory at
// intervals: run with QT_QPA_PLATFORM=offscreen. Not a test: the figures go into the README.
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "linux_services.h"
#include "main_window.h"
#include "linux/xdg_desktop.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"
#include "soak_report.h"

namespace {

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmaro;
    soak::Options options;
    if (!soak::ParseOptions(argc, argv, options)) {
        return 2;
    }
    QApplication app(argc, argv);
    snapshot::SnapshotMachine machine(snapshot::ScenarioSnapshot(options.scenario));

    qt::LocalWallClock clock;
    linux_backend::XdgDesktop desktop;
    qt::ApplicationIdentity identity;
    QTemporaryDir lockDir;
    qt::LockFileInstance instance(lockDir.path().toStdString(), "velmaro.lock");
    qt::LocalFileSystem files;
    qt::ElapsedClock monotonic;
    qt::QtEventPump events;
    qt::MainWindow window;
    frmPorts presenter(window, {machine, machine, clock, desktop, identity, instance, files, monotonic, events});
    window.Attach(presenter);
    if (!presenter.Form_Load()) {
        return 1;
    }
    window.show();
    QApplication::processEvents();

    soak::Report(options, 0, ResidentMegabytes(), "");
    for (long refresh = 1; refresh <= options.refreshes; ++refresh) {
        presenter.tmrRefresh_Timer();
        window.repaint();  // draw every row as the screen would
        QApplication::processEvents();
        if (refresh % options.every == 0) {
            soak::Report(options, refresh, ResidentMegabytes(), "");
        }
    }
    return 0;
}
