// kvl_screenshots: takes the pictures of the README. Starts the tool on the demo bus in the chosen
// language (with a scratch copy of the system folder, so nothing is stored in the build), grabs the
// start window, presses Next and Link Start and grabs the axis link window, opens the help at the
// axis link's section and grabs the help window, opens the axis window of the demo MDC axis (servo
// on, homed, a program running) and grabs it, opens the motor monitor of the demo MDC axis (an
// alarm raised, so its history has lines) and grabs it, grabs the waveform window (a triggered
// capture beside a loaded run) and the print preview of its chart, grabs the point-table editor on
// the demo MDB axis (edited cells red, a cell edit open), the print preview of its table and its
// parameter list (changed rows marked; then at the "Custom" level) and its access-level dialog, then silences the demo bus,
// presses Link Start again and grabs the axis link window's report of a search that found nothing.
//   kvl_screenshots --lang en|ja --out DIR     writes DIR/start_<lang>.png, DIR/link_<lang>.png,
//                                              DIR/help_<lang>.png, DIR/axis_<lang>.png,
//                                              DIR/monitor_<lang>.png, DIR/wave_<lang>.png,
//                                              DIR/wave_print_<lang>.png,
//                                              DIR/points_edit_<lang>.png,
//                                              DIR/points_print_<lang>.png,
//                                              DIR/params_<lang>.png, DIR/params_custom_<lang>.png,
//                                              DIR/access_<lang>.png and
//                                              DIR/link_none_<lang>.png
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <clocale>
#include <cstdio>
#include <functional>
#include <string>

#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_OFFLINE_EDIT_CHIOCE.h"
#include "app/CKVL_VER2_PortSetDlg.h"  // the link window header returns a pointer to it
#include "app/CKVL_VER2_ControlDlg.h"
#include "common/CConfirm.h"
#include "common/CHelpWindow.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "monitor/CKVL_VER2_MTRMONITOR_DIALOG.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "points/CPointTable.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "tuning/CCKVL_VER2_AutoTuningSettingFlowDlg.h"
#include "tuning/CKVL_VER2_AutoTuningAlarmDlg.h"
#include "tuning/CKVL_VER2_AutoTuningDlgDlg.h"
#include "waveform/CRogDlg.h"
#include "waveform/WaveModes.h"

namespace {

constexpr int kSettleMs = 400;
constexpr int kMonitorAxis = 2;               // the demo bus' MDC
constexpr int kMonitorIoMode = 0;
constexpr uint8_t kMonitorAlarms[] = {4, 7};  // overload, overspeed

// Lets the window system map and paint the windows before they are grabbed.
void Settle()
{
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Grab(QWidget *window, const QString &file)
{
    window->show();
    window->raise();
    Settle();
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "kvl_screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// The motor monitor of the demo MDC axis, through the registry as the axis window opens it, with
// two alarms in its history and the second one current.
QWidget *OpenMonitor(kvl::CKVL_ControlApp &app)
{
    app.DemoBus()->WithBus([](kvl::sim::SimBus &bus) {
        if (kvl::sim::AxisDevice *axis = bus.Axis(kMonitorAxis)) {
            for (uint8_t code : kMonitorAlarms)
                axis->Alarms().Raise(code);
        }
    });
    app.Values().currentAxis = kMonitorAxis;
    auto make = [&app]() -> QWidget * {
        return new kvl::CKVL_VER2_MTRMONITOR_DIALOG(app, kMonitorAxis, "MDC", kMonitorIoMode);
    };
    auto *monitor = app.Windows().FindOrCreate<kvl::CKVL_VER2_MTRMONITOR_DIALOG>(
        kvl::CWindowRegistry::Kind::kMonitor, kMonitorAxis, make);
    if (monitor)
        monitor->PressRefreshHistory();
    return monitor;
}

// The point-table editor on the axis window of the demo MDB axis: eight steps as the controller
// holds them, a few cells edited since (red) and the cell edit open over a speed cell.
QWidget *OpenEditorWindow(kvl::CKVL_VER2_AXIS_LINK_DIALOG &link)
{
    using namespace kvl::points;
    constexpr int kEditorAxis = 1; // the demo bus' MDB
    constexpr int kSteps = 8;
    constexpr int kEditedRow = 4;  // grid row of the open cell edit
    link.PressAxis(kEditorAxis);
    CKVL_VER2_ProgStepDlg *window = link.AxisWindow(kEditorAxis);
    if (!window)
        return nullptr;
    CPointTable &table = window->Model().Table();
    const char *const comments[kSteps] = {"Home side", "Pick", "", "Place", "", "Inspect", "", "Back"};
    for (int step = 0; step < kSteps; ++step) {
        table.CreateRow(step);
        table.CommitCell(step, kColPosition, std::to_string(10 + step * 12.5));
        table.CommitCell(step, kColSpeed, std::to_string(100 + step * 20));
        table.CommitCell(step, kColAcc, "0.3");
        table.CommitCell(step, kColDcc, "0.3");
        table.CommitCell(step, kColJump, step == kSteps - 1 ? "0" : "E");
        table.CommitCell(step, kColComment, comments[step]);
    }
    // As after a Write: the controller holds what the grid shows.
    table.EnsureDriverSized();
    for (int step = 0; step < kSteps; ++step) {
        table.SetDriver(step, table.Working(step));
        for (int k = kColMode; k < kStepColumnCount; ++k)
            table.SetMarked(step, k, false);
    }
    table.CommitCell(1, kColPosition, "42.125");
    table.CommitCell(2, kColMode, "INC");
    table.CommitCell(5, kColDcc, "0.5");
    window->RefreshView();
    window->show();
    Settle();
    QTableView *grid = window->Grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(kEditedRow - 1, kColSpeed));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    return window;
}

// The axis window of the demo MDC axis as the axis link opens it: servo on, homed, a few steps in
// the grid and a slow program running from step 1.
QWidget *OpenAxisWindow(kvl::CKVL_ControlApp &app, kvl::CKVL_VER2_AXIS_LINK_DIALOG &link)
{
    constexpr int kProgramSteps = 3;
    constexpr int kHomeWaits = 40;
    app.DemoBus()->WithBus([](kvl::sim::SimBus &bus) {
        kvl::sim::AxisDevice *axis = bus.Axis(kMonitorAxis);
        if (!axis)
            return;
        kvl::sim::StepRecord record;
        record.number = 1;
        record.position = 500000;   // 50 mm at 5 mm/s: still running when grabbed
        record.speed = 500;
        record.acc = 30;
        record.dcc = 30;
        record.positionRange = 1000;
        axis->Table().SetStep(1, record);
    });
    link.PressAxis(kMonitorAxis);
    kvl::points::CKVL_VER2_ProgStepDlg *window = link.AxisWindow(kMonitorAxis);
    if (!window)
        return nullptr;
    window->PressServoOn();
    window->PressHome();
    for (int i = 0; i < kHomeWaits && !window->Model().HomeLamp(); ++i)
        Settle();
    for (int step = 0; step < kProgramSteps; ++step)
        window->Model().Table().CreateRow(step);
    window->RefreshView();
    window->PressStart();
    return window;
}

// One capture of the waveform window, waited out until the recorder's end stops it.
void Capture(kvl::CRogDlg &wave)
{
    constexpr int kCaptureWaits = 60;
    wave.PressStartStop();
    for (int i = 0; i < kCaptureWaits && wave.Model().Running(); ++i)
        Settle();
}

// The waveform window of the demo MDC axis while its program runs, opened by the axis window's
// Wave button: a first run of position command and actual speed saved and loaded back beside a
// second run triggered on the position 5 mm further on and aligned to 500 ms.
QWidget *OpenWave(kvl::CKVL_ControlApp &app, kvl::points::CKVL_VER2_ProgStepDlg &axisWindow, const QString &folder)
{
    constexpr double kTriggerAheadMm = 5.0;
    constexpr double kTriggerPositionMs = 500.0;
    // The demo gateway lists this axis' model, which would keep Start disabled.
    app.Values().modelMatch[kMonitorAxis] = false;
    axisWindow.PressWave();
    auto *wave = app.Windows().Find<kvl::CRogDlg>(kvl::CWindowRegistry::Kind::kWaveform, kMonitorAxis);
    if (!wave)
        return nullptr;
    kvl::CRogModel &model = wave->Model();
    const int modes[2] = {kvl::wave::kModePositionCommand, kvl::wave::kModeActualSpeed};
    for (int row = 0; row < 2; ++row) {
        kvl::CRogModel::LineProperty property = model.PropertyOf(row);
        property.mode = modes[row];
        model.ApplyProperty(row, property);
    }
    wave->SamplingBox()->setText(QStringLiteral("10"));
    model.EditPerDivision(kvl::CWaveDisplay::kTime, "400");
    model.EditPerDivision(kvl::CWaveDisplay::kPosition, "5");
    model.EditPerDivision(kvl::CWaveDisplay::kSpeed, "1");
    wave->show();
    Capture(*wave);
    const QString run = QDir(folder).filePath(QStringLiteral("run1.csv"));
    wave->PressSave(run);
    wave->PressOpen(run);
    kvl::WaveTriggerSettings trigger = model.Trigger();
    trigger.enabled = true;
    trigger.channel = 0;
    trigger.direction = kvl::WaveTriggerSettings::kRising;
    trigger.level = (model.Series().Live(0).Count() > 0 ? model.Series().Live(0).Points().back().y : 0.0) +
                    kTriggerAheadMm;
    trigger.colour = 0x0080FF;
    trigger.widthIndex = 1;
    trigger.position = kTriggerPositionMs;
    model.SetTrigger(trigger);
    Capture(*wave);
    wave->RefreshView();
    return wave;
}

// A modal window that `open` shows (a print preview, the colour settings): grabbed from its own
// event loop at `size` (its own size when empty), then closed.
bool GrabModal(const std::function<void()> &open, const QString &file, QSize size = {})
{
    bool grabbed = false;
    QTimer::singleShot(kSettleMs, [&grabbed, file, size] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (size.isValid())
            modal->resize(size);
        grabbed = Grab(modal, file);
        modal->close();
    });
    open();
    return grabbed;
}

const QSize kPreviewSize(900, 760);

// The parameter list of an axis window, opened by its Param button, with a few file values
// changed so that their rows are marked; at `level` 1 the "Custom" groups show, some greyed.
QWidget *OpenParamList(kvl::CKVL_ControlApp &app, kvl::points::CKVL_VER2_ProgStepDlg &axisWindow, int level)
{
    constexpr int kChanged[] = {12, 16, 21};
    axisWindow.PressParam();
    const int axis = axisWindow.Model().Identity().axis;
    auto *list = app.Windows().Find<kvl::params::CKVL_VER2_ParameterListDlg>(kvl::CWindowRegistry::Kind::kParamList,
                                                                           axis);
    if (!list)
        return nullptr;
    for (const int number : kChanged) {
        kvl::params::CParamData &record = list->Lists().File().At(number);
        if (record.GetType() == kvl::params::CParamData::kTypeInteger)
            record.SetIntValue(record.IntValue() > record.IntMin() ? record.IntMin() : record.IntMax());
    }
    list->SetAccessLevel(level);
    list->resize(list->sizeHint().expandedTo(QSize(900, 600)));
    return list;
}

// The danger notice and the setting guide before auto-tuning, and the tuning window of the demo
// MDC axis with three results, each run having left other gains in the controller.
bool GrabTuning(kvl::CKVL_ControlApp &app, kvl::CKVL_VER2_AXIS_LINK_DIALOG &link,
                kvl::points::CKVL_VER2_ProgStepDlg &axisWindow, const QDir &outDir, const QString &language)
{
    using namespace kvl::tuning;
    constexpr int kRuns = 3;
    CKVL_VER2_AutoTuningAlarmDlg notice(app, &axisWindow);
    if (!Grab(&notice, outDir.filePath(QStringLiteral("tuning_alarm_%1.png").arg(language))))
        return false;
    notice.hide();
    CCKVL_VER2_AutoTuningSettingFlowDlg guide(app, &axisWindow);
    if (!Grab(&guide, outDir.filePath(QStringLiteral("tuning_guide_%1.png").arg(language))))
        return false;
    guide.hide();
    CKVL_VER2_AutoTuningDlgDlg *window = link.TuningWindow(&axisWindow);
    if (!window)
        return false;
    for (int run = 0; run < kRuns; ++run) {
        app.DemoBus()->WithBus([run](kvl::sim::SimBus &bus) {
            kvl::sim::ParameterStore &params = bus.Axis(kMonitorAxis)->Parameters();
            params.Set(119, 2350 + 420 * run);
            params.Set(40, 40 + 10 * run);
            params.Set(41, 36 + 8 * run);
            params.Set(42, 160 - 20 * run);
            params.Set(117, 15 + 5 * run);
            params.Set(118, 8 + 3 * run);
        });
        window->Model().CollectResult(183 - 31 * run, 1460 + 97 * run);
    }
    window->Model().SetStepText("0");
    window->show();
    window->PollNow();
    const bool grabbed = Grab(window, outDir.filePath(QStringLiteral("tuning_%1.png").arg(language)));
    window->close();
    return grabbed;
}

bool CopyFolder(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !CopyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setStyle(QStringLiteral("Fusion"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("en or ja"), QStringLiteral("lang"),
                                  QStringLiteral("en"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Output folder"), QStringLiteral("dir"),
                                 QStringLiteral("docs"));
    parser.addOption(lang);
    parser.addOption(out);
    parser.process(application);
    const QString language = parser.value(lang);
    if (language != QLatin1String("en") && language != QLatin1String("ja")) {
        std::fprintf(stderr, "kvl_screenshots: --lang must be en or ja\n");
        return 2;
    }
    const QDir outDir(parser.value(out));
    QDir().mkpath(outDir.absolutePath());

    QTemporaryDir scratch;
    const QString system = QDir(scratch.path()).filePath(QStringLiteral("system"));
    if (!scratch.isValid() ||
        !CopyFolder(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("system")), system)) {
        std::fprintf(stderr, "kvl_screenshots: cannot copy the system folder\n");
        return 1;
    }
    kvl::CKVL_ControlApp::Options options;
    options.demo = true;
    options.systemFolder = system;
    options.startFolder = scratch.path();
    options.systemLanguageId = language == QLatin1String("ja") ? kvl::CAppSettings::kSystemLangJapanese
                                                               : kvl::CAppSettings::kSystemLangEnglish;
    kvl::CKVL_ControlApp app(options);
    if (app.Start() != kvl::CKVL_ControlApp::StartResult::kStarted) {
        std::fprintf(stderr, "kvl_screenshots: %s\n", qPrintable(app.DemoError()));
        return 1;
    }
    kvl::CKVL_VER2_ControlDlg *start = app.StartDialog();
    if (!Grab(start, outDir.filePath(QStringLiteral("start_%1.png").arg(language))))
        return 1;
    start->PressNext();
    QWidget *link = start->LinkWindow();
    if (!link) {
        std::fprintf(stderr, "kvl_screenshots: Next opened no axis link window\n");
        return 1;
    }
    link->show();
    Settle();
    auto *axisLink = qobject_cast<kvl::CKVL_VER2_AXIS_LINK_DIALOG *>(link);
    if (axisLink)
        axisLink->PressLinkStart();
    if (!Grab(link, outDir.filePath(QStringLiteral("link_%1.png").arg(language))))
        return 1;
    if (axisLink)
        axisLink->PressHelp();
    if (!app.HelpWindow() || !Grab(app.HelpWindow(), outDir.filePath(QStringLiteral("help_%1.png").arg(language))))
        return 1;
    app.HelpWindow()->hide();
    // The network unit window of the demo bus' unit: its station list, then its parameters.
    if (axisLink)
        axisLink->PressGateway();
    auto *gateway = app.Windows().Find<kvl::CKVL_GWX_SETTING>(kvl::CWindowRegistry::Kind::kGateway,
                                                             kvl::CWindowRegistry::kNoAxis);
    if (!gateway || !Grab(gateway, outDir.filePath(QStringLiteral("gw_netset_%1.png").arg(language))))
        return 1;
    gateway->Tabs()->setCurrentIndex(kvl::CKVL_GWX_SETTING::kTabParameters);
    if (!Grab(gateway, outDir.filePath(QStringLiteral("gw_param_%1.png").arg(language))))
        return 1;
    gateway->Tabs()->setCurrentIndex(kvl::CKVL_GWX_SETTING::kTabNetwork);
    if (!Grab(gateway, outDir.filePath(QStringLiteral("gw_external_%1.png").arg(language))))
        return 1;
    gateway->Tabs()->setCurrentIndex(kvl::CKVL_GWX_SETTING::kTabAlarms);
    if (!Grab(gateway, outDir.filePath(QStringLiteral("gw_alarm_%1.png").arg(language))))
        return 1;
    gateway->Tabs()->setCurrentIndex(kvl::CKVL_GWX_SETTING::kTabSetting);
    if (!GrabModal([gateway] { gateway->OpenColourSettings(); },
                   outDir.filePath(QStringLiteral("gw_colour_%1.png").arg(language))))
        return 1;
    gateway->hide();
    // The offline choice, with the MDC chosen.
    if (axisLink)
        axisLink->PressOfflineEdit();
    kvl::CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = axisLink ? axisLink->OfflineChoiceWindow() : nullptr;
    if (choice)
        choice->ChooseModel(2);
    if (!choice || !Grab(choice, outDir.filePath(QStringLiteral("offline_choice_%1.png").arg(language))))
        return 1;
    choice->hide();
    QWidget *axisWindow = axisLink ? OpenAxisWindow(app, *axisLink) : nullptr;
    if (!axisWindow || !Grab(axisWindow, outDir.filePath(QStringLiteral("axis_%1.png").arg(language))))
        return 1;
    QTemporaryDir runs;
    QWidget *wave = OpenWave(app, *qobject_cast<kvl::points::CKVL_VER2_ProgStepDlg *>(axisWindow), runs.path());
    if (!wave || !Grab(wave, outDir.filePath(QStringLiteral("wave_%1.png").arg(language))))
        return 1;
    auto *waveWindow = qobject_cast<kvl::CRogDlg *>(wave);
    if (!waveWindow || !GrabModal([waveWindow] { waveWindow->PressPrintPreview(); },
                                         outDir.filePath(QStringLiteral("wave_print_%1.png").arg(language)), kPreviewSize))
        return 1;
    wave->hide();
    axisWindow->hide();
    QWidget *monitor = OpenMonitor(app);
    if (!monitor || !Grab(monitor, outDir.filePath(QStringLiteral("monitor_%1.png").arg(language))))
        return 1;
    monitor->hide();
    if (!axisLink ||
        !GrabTuning(app, *axisLink, *qobject_cast<kvl::points::CKVL_VER2_ProgStepDlg *>(axisWindow), outDir, language))
        return 1;
    QWidget *editor = axisLink ? OpenEditorWindow(*axisLink) : nullptr;
    if (!editor || !Grab(editor, outDir.filePath(QStringLiteral("points_edit_%1.png").arg(language))))
        return 1;
    auto *editorWindow = qobject_cast<kvl::points::CKVL_VER2_ProgStepDlg *>(editor);
    if (!editorWindow ||
        !GrabModal([editorWindow] { editorWindow->PressPrintPreview(); },
                          outDir.filePath(QStringLiteral("points_print_%1.png").arg(language)), kPreviewSize))
        return 1;
    for (const int level : {0, 1}) {
        QWidget *list = OpenParamList(app, *qobject_cast<kvl::points::CKVL_VER2_ProgStepDlg *>(editor), level);
        const QString name = level == 0 ? QStringLiteral("params_%1.png") : QStringLiteral("params_custom_%1.png");
        if (!list || !Grab(list, outDir.filePath(name.arg(language))))
            return 1;
        list->hide();
    }
    // The version and access-level dialog of the axis, from the axis window's corner button.
    editorWindow->PressVersion();
    Settle();
    auto *confirm = editorWindow->findChild<kvl::CConfirm *>();
    if (!confirm || !Grab(confirm, outDir.filePath(QStringLiteral("access_%1.png").arg(language))))
        return 1;
    confirm->close();
    editor->hide();
    // A bus where nothing answers: the demo bus stops answering but keeps its port.
    app.DemoBus()->Stop();
    Settle();
    if (axisLink)
        axisLink->PressLinkStart();
    if (!Grab(link, outDir.filePath(QStringLiteral("link_none_%1.png").arg(language))))
        return 1;
    start->close();
    return 0;
}
