// kvl_motor: the desktop tool. `kvl_motor --demo` runs it against the built-in demo bus,
// `kvl_motor --port DEVICE` against a device of the user's choice for this run.
#include <QApplication>
#include <QCommandLineParser>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CQuitOnSignal.h"
#include "base/CEventLog.h"
#include "base/Version.h"
#include "config/CIniEx.h"
#include "config/CSystemFolderChoice.h"

namespace {

// Whether Qt has a screen to show windows on: a display of X or Wayland, a platform chosen with
// QT_QPA_PLATFORM, or one given with -platform. Without one Qt would abort the program.
bool DisplayAvailable(int argc, char *argv[])
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// Whether the arguments only ask for the help or the version, which need no window.
bool OnlyPrints(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "--help-all", "-v", "--version", "-?"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

// The program's options. The help and version options print and end the program in process().
struct ProgramOptions {
    QCommandLineParser parser;
    QCommandLineOption demo{QStringLiteral("demo"), QStringLiteral("Use the built-in demo bus instead of the serial port.")};
    QCommandLineOption system{QStringLiteral("system"),
                              QStringLiteral("Use the system folder <DIR> (settings, texts, parameter "
                                             "files) instead of the usual one."),
                              QStringLiteral("DIR")};
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("Use the serial device <DEVICE> for this run; the port in "
                                           "the settings stays as it is."),
                            QStringLiteral("DEVICE")};

    ProgramOptions()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Engineering tool for actuator controllers on an RS-485 bus.\n"
            "Examples:\n"
            "  kvl_motor --demo                  runs against the built-in simulated bus\n"
            "  kvl_motor --port /dev/ttyUSB1     uses that adapter for this run only"));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(demo);
        parser.addOption(port);
        parser.addOption(system);
    }

    // Reads the arguments of `application`; 0 when the program may go on, else its exit status
    // (after a line on stderr).
    int Process(const QCoreApplication &application)
    {
        parser.process(application);
        if (parser.isSet(demo) && parser.isSet(port)) {
            std::fprintf(stderr, "kvl_motor: --demo and --port exclude each other\n");
            return 2;
        }
        return 0;
    }
};

void NameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("kvl_motor"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kvl::kVersion));
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version print without a window, so also over SSH without a display; a real
    // start without a display ends with one line that says so instead of Qt's abort.
    if (OnlyPrints(argc, argv) || !DisplayAvailable(argc, argv)) {
        QCoreApplication core(argc, argv);
        NameProgram();
        ProgramOptions options;
        if (const int status = options.Process(core); status != 0)
            return status;
        if (!DisplayAvailable(argc, argv)) {
            std::fprintf(stderr, "kvl_motor: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are "
                                 "not set): start it in a desktop session, or on a virtual screen with "
                                 "xvfb-run -a kvl_motor\n");
            return 1;
        }
    }
    QApplication application(argc, argv);
    // Core formatters print numbers with printf: keep the decimal point whatever the locale.
    std::setlocale(LC_NUMERIC, "C");
    NameProgram();
    QApplication::setStyle(QStringLiteral("Fusion"));

    ProgramOptions programOptions;
    if (const int status = programOptions.Process(application); status != 0)
        return status;
    const QCommandLineParser &parser = programOptions.parser;
    const QCommandLineOption &demo = programOptions.demo;
    const QCommandLineOption &port = programOptions.port;
    const QCommandLineOption &system = programOptions.system;

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
    // The daily log of what happened (links, messages, transfers, saves), by default.
    kvl::CEventLog::Open(folders.dailyLogFolder, "kvl_motor");
    kvl::CEventLog::Write("start", ("kvl_motor " + QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')))
                                       .toStdString() + " (version " + kvl::kVersion + ", system folder " +
                                       folders.systemFolder + ")");
    if (!folderProblem.empty())
        kvl::CEventLog::Write("error", folderProblem);
    options.systemFolder = QString::fromStdString(folders.systemFolder);
    if (folders.perUser)
        options.startFolder = QString::fromStdString(folders.logFolder);
    const std::string dataFolder = kvl::CSystemFolderChoice::ShippedDataFolder(kvl::CIniEx::ProgramFolder());
    options.helpFile = QString::fromStdString(dataFolder + "/help.html");
    kvl::CKVL_ControlApp app(options);
    switch (app.Start()) {
    case kvl::CKVL_ControlApp::StartResult::kAlreadyRunning:
        kvl::CEventLog::Write("end", "another start was running: its windows were raised");
        return 0;
    case kvl::CKVL_ControlApp::StartResult::kDemoFailed:
        std::fprintf(stderr, "kvl_motor: the demo bus could not be started: %s\n",
                     qPrintable(app.DemoError()));
        kvl::CEventLog::Write("error", "the demo bus could not be started: " + app.DemoError().toStdString());
        return 1;
    case kvl::CKVL_ControlApp::StartResult::kStarted:
        break;
    }
    kvl::CKVL_VER2_ControlDlg *start = app.StartDialog();
    QObject::connect(start, &QDialog::finished, &application, &QCoreApplication::quit);
    // Ctrl+C or a kill: the same quit as closing the start window, so held jogs send Stop.
    kvl::CQuitOnSignal quitOnSignal;
    start->show();
    const int status = application.exec();
    kvl::CEventLog::Write("end", "status " + std::to_string(status));
    return status;
}
