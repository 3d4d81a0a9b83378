// velmaro: the port list window on a Linux desktop. "--scenario FILE" shows a machine described by
// a scenario file instead of this one, for demonstrations and tests.
#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>
#include <iostream>
#include <memory>

#include "linux/device_changes.h"
#include "linux/linux_machine.h"
#include "linux/xdg_desktop.h"
#include "linux_services.h"
#include "main_window.h"
#include "snapshot/port_facts.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"
#include "twips.h"

namespace {

constexpr const char* kUsage =
    "Usage: velmaro [--scenario FILE]\n"
    "Velmaro's window: lists the COM ports of this PC.\n"
    "\n"
    "Options:\n"
    "  --scenario FILE  Shows the machine described by a scenario file instead of this one.\n"
    "  -h, --help       Prints this help and ends.\n"
    "  --version        Prints the program's version and ends.\n"
    "\n"
    "Exit status: 0 closed; 1 the window failed; 2 usage error or unreadable scenario.\n";

// live: the machine itself (nullptr for a scenario), whose udev announcements refresh the window at once.
int Run(velmaro::snapshot::SnapshotMachine& machine, velmaro::linux_backend::LinuxMachine* live) {
    using namespace velmaro;
    // The windows show the program's name; the lock file keeps the executable's.
    qt::ApplicationIdentity identity(qt::kProgramTitle);
    linux_backend::XdgDesktop desktop;
    qt::LockFileInstance instance(qt::ApplicationIdentity().ExecutableName() + ".lock");
    qt::LocalFileSystem files;
    qt::ElapsedClock monotonic;
    qt::LocalWallClock clock;
    qt::QtEventPump events;

    qt::MainWindow window(qt::kProgramTitle);
    frmPorts presenter(window, {machine, machine, clock, desktop, identity, instance, files, monotonic, events,
                                GuidancePlatform::Linux, [&] { return snapshot::PortFactsOf(machine.Snapshot()); }});
    window.Attach(presenter);
    if (!presenter.Form_Load()) {
        return 0;
    }
    std::unique_ptr<linux_backend::UdevMonitor> monitor;
    if (live != nullptr &&
        linux_backend::ChooseSource(linux_backend::DefaultScanRoots()) == linux_backend::DeviceSource::Udev) {
        monitor = linux_backend::UdevMonitor::Open();
    }
    std::unique_ptr<QSocketNotifier> notifier;
    if (monitor) {
        notifier = std::make_unique<QSocketNotifier>(monitor->Fd(), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&] {
            if (monitor->Drain()) {
                live->Outdate();
                presenter.DeviceChanged();
            }
        });
    }
    qt::CenterOnScreen(window);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    // The command line is read before the GUI application exists, so that --help, --version and
    // a bad scenario need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lists the COM ports of this PC."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Displays version information."));
    const QCommandLineOption scenario(QStringLiteral("scenario"),
                                      QStringLiteral("Shows the machine described by a scenario file."),
                                      QStringLiteral("FILE"));
    parser.addOptions({help, version, scenario});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString problem = parser.errorText().isEmpty()
                                    ? QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first()
                                    : parser.errorText();
        std::cerr << "velmaro: " << problem.toStdString() << "\nSee velmaro --help.\n";
        return 2;
    }
    if (parser.isSet(help)) {
        std::cout << kUsage;
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << "velmaro " << VELMARO_VERSION << '\n';
        return 0;
    }

    std::unique_ptr<velmaro::snapshot::SnapshotMachine> described;
    if (parser.isSet(scenario)) {
        const std::string file = parser.value(scenario).toStdString();
        try {
            described = std::make_unique<velmaro::snapshot::SnapshotMachine>(velmaro::snapshot::ScenarioSnapshot(file));
        } catch (const velmaro::snapshot::ScenarioError& error) {
            std::cerr << "velmaro: " << error.what() << '\n';
            return 2;
        } catch (const std::exception& error) {
            std::cerr << "velmaro: " << file << ": " << error.what() << '\n';
            return 2;
        }
    }

    QApplication app(argc, argv);
    try {
        if (described) {
            return Run(*described, nullptr);
        }
        velmaro::linux_backend::LinuxMachine machine;
        return Run(machine, &machine);
    } catch (const std::exception& error) {
        std::cerr << "velmaro: " << error.what() << '\n';
        return 1;
    }
}
