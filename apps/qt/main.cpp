// velmaro: the port list window on a Linux desktop. "--scenario FILE" shows a machine described by
// a scenario file instead of this one, for demonstrations and tests.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <iostream>
#include <memory>

#include "linux/linux_machine.h"
#include "linux/xdg_desktop.h"
#include "linux_services.h"
#include "main_window.h"
#include "memory/memory_machine.h"
#include "memory/scenario.h"
#include "twips.h"

namespace {

int Run(velmaro::IRegistryService& registry, velmaro::IDeviceInfoService& devices) {
    using namespace velmaro;
    qt::ApplicationIdentity identity;
    linux_backend::XdgDesktop desktop;
    qt::LockFileInstance instance(identity.ExecutableName() + ".lock");
    qt::LocalFileSystem files;
    qt::ElapsedClock monotonic;
    qt::LocalWallClock clock;
    qt::QtEventPump events;

    qt::MainWindow window(qt::kProgramTitle);
    frmPorts presenter(window, {registry, devices, clock, desktop, identity, instance, files, monotonic, events,
                                GuidancePlatform::Linux});
    window.Attach(presenter);
    if (!presenter.Form_Load()) {
        return 0;
    }
    qt::CenterOnScreen(window);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lists the COM ports of this PC."));
    parser.addHelpOption();
    const QCommandLineOption scenario(QStringLiteral("scenario"),
                                      QStringLiteral("Shows the machine described by a scenario file."),
                                      QStringLiteral("FILE"));
    parser.addOption(scenario);
    parser.process(app);

    try {
        if (parser.isSet(scenario)) {
            velmaro::memory::MemoryMachine machine;
            velmaro::memory::LoadScenarioFile(parser.value(scenario).toStdString(), machine);
            return Run(machine, machine);
        }
        velmaro::linux_backend::LinuxMachine machine;
        return Run(machine, machine);
    } catch (const std::exception& error) {
        std::cerr << "velmaro: " << error.what() << '\n';
        return 1;
    }
}
