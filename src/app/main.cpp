// kvl_motor: the desktop tool. `kvl_motor --demo` runs it against the built-in demo bus,
// `kvl_motor --port DEVICE` against a device of the user's choice for this run.
#include <QApplication>
#include <QCommandLineParser>

#include <clocale>
#include <cstdio>

#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CQuitOnSignal.h"
#include "base/Version.h"
#include "config/CIniEx.h"
#include "config/CSystemFolderChoice.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Core formatters print numbers with printf: keep the decimal point whatever the locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("kvl_motor"));
    QApplication::setApplicationVersion(QString::fromLatin1(kvl::kVersion));
    QApplication::setStyle(QStringLiteral("Fusion"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Engineering tool for actuator controllers on an RS-485 bus.\n"
        "Examples:\n"
        "  kvl_motor --demo                  runs against the built-in simulated bus\n"
        "  kvl_motor --port /dev/ttyUSB1     uses that adapter for this run only"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Use the built-in demo bus instead of the serial port."));
    const QCommandLineOption system(QStringLiteral("system"),
                                    QStringLiteral("Use the system folder <DIR> (settings, texts, parameter "
                                                   "files) instead of the usual one."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Use the serial device <DEVICE> for this run; the port in "
                                                 "the settings stays as it is."),
                                  QStringLiteral("DEVICE"));
    parser.addOption(demo);
    parser.addOption(port);
    parser.addOption(system);
    parser.process(application);
    if (parser.isSet(demo) && parser.isSet(port)) {
        std::fprintf(stderr, "kvl_motor: --demo and --port exclude each other\n");
        return 2;
    }

    kvl::CKVL_ControlApp::Options options;
    options.demo = parser.isSet(demo);
    options.portDevice = parser.value(port);
    options.instanceName = QStringLiteral("kvl_motor");
    // The system folder beside the program in a build tree, else the user's own copy of the
    // shipped one, whose log folder then also takes the trace log.
    std::string folderProblem;
    const kvl::CSystemFolderChoice::Choice folders = kvl::CSystemFolderChoice::Prepare(
        kvl::CSystemFolderChoice::ProcessInputs(parser.value(system).toStdString()), folderProblem);
    if (!folderProblem.empty())
        std::fprintf(stderr, "kvl_motor: %s\n", folderProblem.c_str());
    options.systemFolder = QString::fromStdString(folders.systemFolder);
    if (folders.perUser)
        options.startFolder = QString::fromStdString(folders.logFolder);
    const std::string dataFolder = kvl::CSystemFolderChoice::ShippedDataFolder(kvl::CIniEx::ProgramFolder());
    options.helpFile = QString::fromStdString(dataFolder + "/help.html");
    kvl::CKVL_ControlApp app(options);
    switch (app.Start()) {
    case kvl::CKVL_ControlApp::StartResult::kAlreadyRunning:
        return 0;
    case kvl::CKVL_ControlApp::StartResult::kDemoFailed:
        std::fprintf(stderr, "kvl_motor: the demo bus could not be started: %s\n",
                     qPrintable(app.DemoError()));
        return 1;
    case kvl::CKVL_ControlApp::StartResult::kStarted:
        break;
    }
    kvl::CKVL_VER2_ControlDlg *start = app.StartDialog();
    QObject::connect(start, &QDialog::finished, &application, &QCoreApplication::quit);
    // Ctrl+C or a kill: the same quit as closing the start window, so held jogs send Stop.
    kvl::CQuitOnSignal quitOnSignal;
    start->show();
    return application.exec();
}
