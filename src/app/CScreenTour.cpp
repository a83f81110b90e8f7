#include "app/CScreenTour.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CBackupRestoreDlg.h"
#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CKVL_VER2_OFFLINE_EDIT_CHIOCE.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "app/CTextDump.h"
#include "common/CConfirm.h"
#include "common/CHelpWindow.h"
#include "common/CMsgDlg.h"
#include "common/CUnkeptEdits.h"
#include "common/CWindowRegistry.h"
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

namespace kvl {

namespace {

constexpr int kSettleMs = 400;
constexpr int kModalPollMs = 20;
constexpr int kMonitorIoMode = 0;
constexpr uint8_t kDemoAlarms[] = {4, 7};   // overload, overspeed
const QSize kPreviewSize(900, 760);
const QSize kParamListSize(900, 600);

// Lets the window system map and paint the windows before they are grabbed.
void Settle()
{
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// One capture of the waveform window, waited out until the recorder's end stops it.
void Capture(CRogDlg &wave)
{
    constexpr int kCaptureWaits = 60;
    wave.PressStartStop();
    for (int i = 0; i < kCaptureWaits && wave.Model().Running(); ++i)
        Settle();
}

} // namespace

CScreenTour::CScreenTour(CKVL_ControlApp &app, const QString &language, const QDir &outDir, CTextDump *dump)
    : m_app(app), m_language(language), m_outDir(outDir), m_dump(dump)
{
}

void CScreenTour::WithMessagesAccepted(const char *context, const std::function<void()> &work)
{
    QTimer answer;
    answer.setInterval(kModalPollMs);
    QObject::connect(&answer, &QTimer::timeout, [this, context] {
        if (auto *message = qobject_cast<CMsgDlg *>(QApplication::activeModalWidget())) {
            if (m_dump)
                m_dump->Collect(QStringLiteral("%1_message").arg(QLatin1String(context)), message);
            message->accept();
        }
    });
    answer.start();
    work();
}

QStringList CScreenTour::Run()
{
    VisitStartAndLink();
    if (!m_link)
        return m_missed;
    VisitGateway();
    VisitOfflineChoice();
    m_mdcAxis = FindAxis("MDC");
    if (m_mdcAxis < 0) {
        Missed(QStringLiteral("the axis, waveform, monitor and tuning windows: no MDC axis answered"));
    } else {
        VisitAxisWindow();
        VisitWaveform();
        VisitMonitor();
        VisitTuning();
    }
    VisitEditor();
    VisitEditorChoices();
    VisitParameters();
    if (Demo()) {
        VisitRestore();
        VisitSilentBus();
        VisitPortSettings();
    }
    VisitEnd();
    return m_missed;
}

bool CScreenTour::Demo() const
{
    return m_app.DemoBus() != nullptr;
}

bool CScreenTour::Shot(QWidget *window, const char *name)
{
    if (!window) {
        Missed(QString::fromLatin1(name));
        return false;
    }
    window->show();
    window->raise();
    Settle();
    if (m_dump)
        m_dump->Collect(QString::fromLatin1(name), window);
    const QString file = m_outDir.filePath(QStringLiteral("%1_%2.png").arg(QString::fromLatin1(name), m_language));
    if (!window->grab().save(file)) {
        Missed(QStringLiteral("%1 (cannot write %2)").arg(QString::fromLatin1(name), file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

bool CScreenTour::ModalShot(const std::function<void()> &open, const char *name, QSize size)
{
    bool grabbed = false;
    QTimer::singleShot(kSettleMs, [this, &grabbed, name, size] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (size.isValid())
            modal->resize(size);
        grabbed = Shot(modal, name);
        modal->close();
    });
    open();
    if (!grabbed && !m_missed.contains(QString::fromLatin1(name)))
        Missed(QString::fromLatin1(name));
    return grabbed;
}

void CScreenTour::Missed(const QString &what)
{
    std::fprintf(stderr, "kvl_screenshots: not reached: %s\n", qPrintable(what));
    m_missed.append(what);
}

int CScreenTour::FindAxis(const char *model) const
{
    for (int address = 0; address < CAxisLinkModel::kAxisCount; ++address) {
        const CAxisLinkModel::Axis &axis = m_link->Model().AxisAt(address);
        if (axis.linked && axis.model == model)
            return address;
    }
    return -1;
}

// --- the visits, in the order a user meets the windows

void CScreenTour::VisitStartAndLink()
{
    CKVL_VER2_ControlDlg *start = m_app.StartDialog();
    Shot(start, "start");
    start->PressNext();
    m_link = qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(start->LinkWindow());
    if (!m_link) {
        Missed(QStringLiteral("the axis link window (Next opened none)"));
        return;
    }
    m_link->show();
    Settle();
    m_link->PressLinkStart();
    Shot(m_link, "link");
    m_link->PressHelp();
    if (Shot(m_app.HelpWindow(), "help"))
        m_app.HelpWindow()->hide();
}

void CScreenTour::VisitGateway()
{
    m_link->PressGateway();
    auto *gateway = m_app.Windows().Find<CKVL_GWX_SETTING>(CWindowRegistry::Kind::kGateway);
    if (!gateway) {
        Missed(QStringLiteral("the network unit window: no unit answered"));
        return;
    }
    const struct {
        int tab;
        const char *name;
    } pages[] = {{CKVL_GWX_SETTING::kTabSetting, "gw_netset"},
                 {CKVL_GWX_SETTING::kTabParameters, "gw_param"},
                 {CKVL_GWX_SETTING::kTabNetwork, "gw_external"},
                 {CKVL_GWX_SETTING::kTabAlarms, "gw_alarm"}};
    for (const auto &page : pages) {
        gateway->Tabs()->setCurrentIndex(page.tab);
        Shot(gateway, page.name);
    }
    gateway->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabSetting);
    ModalShot([gateway] { gateway->OpenColourSettings(); }, "gw_colour");
    gateway->hide();
}

void CScreenTour::VisitOfflineChoice()
{
    constexpr int kMdcPosition = 2;
    m_link->PressOfflineEdit();
    CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = m_link->OfflineChoiceWindow();
    if (choice)
        choice->ChooseModel(kMdcPosition);
    if (Shot(choice, "offline_choice"))
        choice->hide();
}

void CScreenTour::StageDemoSteps(int address)
{
    constexpr int kSteps = 3;
    m_app.DemoBus()->WithBus([address](sim::SimBus &bus) {
        sim::AxisDevice *axis = bus.Axis(static_cast<uint8_t>(address));
        if (!axis)
            return;
        for (int step = 0; step < kSteps; ++step) {
            sim::StepRecord record;
            record.number = static_cast<uint16_t>(step + 1);
            record.position = 500000 + 100000 * step;   // 50 mm at 5 mm/s: still running when grabbed
            record.speed = 500;
            record.acc = 30;
            record.dcc = 30;
            record.positionRange = 1000;
            axis->Table().SetStep(step + 1, record);
        }
    });
}

// The axis window of the MDC axis with its table read from the controller; on the demo bus also
// servo on, homed and a slow program running from step 1.
void CScreenTour::VisitAxisWindow()
{
    constexpr int kHomeWaits = 40;
    if (Demo())
        StageDemoSteps(m_mdcAxis);
    m_link->PressAxis(m_mdcAxis);
    m_axisWindow = m_link->AxisWindow(m_mdcAxis);
    if (!m_axisWindow) {
        Missed(QStringLiteral("axis"));
        return;
    }
    m_axisWindow->show();
    // The busy indicator takes no new run right after the opening's.
    Settle();
    WithMessagesAccepted("axis", [this] { m_axisWindow->PressRead(); });
    if (Demo()) {
        m_axisWindow->PressServoOn();
        m_axisWindow->PressHome();
        for (int i = 0; i < kHomeWaits && !m_axisWindow->Model().HomeLamp(); ++i)
            Settle();
        m_axisWindow->PressStart();
    }
    Shot(m_axisWindow, "axis");
}

// The waveform window of the MDC axis, opened by the axis window's Wave button: a first run of
// position command and actual speed saved and loaded back beside a second run triggered on the
// position 5 mm further on and aligned to 500 ms.
void CScreenTour::VisitWaveform()
{
    constexpr double kTriggerAheadMm = 5.0;
    constexpr double kTriggerPositionMs = 500.0;
    if (!m_axisWindow)
        return;
    // A unit listing this axis' model keeps Start disabled; the tour wants a capture all the same.
    m_app.Values().modelMatch[static_cast<size_t>(m_mdcAxis)] = false;
    m_axisWindow->PressWave();
    auto *wave = m_app.Windows().Find<CRogDlg>(CWindowRegistry::Kind::kWaveform, m_mdcAxis);
    if (!wave) {
        Missed(QStringLiteral("wave"));
        return;
    }
    CRogModel &model = wave->Model();
    const int modes[2] = {wave::kModePositionCommand, wave::kModeActualSpeed};
    for (int row = 0; row < 2; ++row) {
        CRogModel::LineProperty property = model.PropertyOf(row);
        property.mode = modes[row];
        model.ApplyProperty(row, property);
    }
    wave->SamplingBox()->setText(QStringLiteral("10"));
    model.EditPerDivision(CWaveDisplay::kTime, "400");
    model.EditPerDivision(CWaveDisplay::kPosition, "5");
    model.EditPerDivision(CWaveDisplay::kSpeed, "1");
    wave->show();
    Capture(*wave);
    QTemporaryDir runs;
    const QString run = QDir(runs.path()).filePath(QStringLiteral("run1.csv"));
    wave->PressSave(run);
    wave->PressOpen(run);
    WaveTriggerSettings trigger = model.Trigger();
    trigger.enabled = true;
    trigger.channel = 0;
    trigger.direction = WaveTriggerSettings::kRising;
    trigger.level = (model.Series().Live(0).Count() > 0 ? model.Series().Live(0).Points().back().y : 0.0) +
                    kTriggerAheadMm;
    trigger.colour = 0x0080FF;
    trigger.widthIndex = 1;
    trigger.position = kTriggerPositionMs;
    model.SetTrigger(trigger);
    Capture(*wave);
    wave->RefreshView();
    Shot(wave, "wave");
    ModalShot([wave] { wave->PressPrintPreview(); }, "wave_print", kPreviewSize);
    wave->hide();
    m_axisWindow->hide();
}

// The motor monitor of the MDC axis, through the registry as the axis window opens it; on the demo
// bus with two alarms in its history and the second one current.
void CScreenTour::VisitMonitor()
{
    if (Demo()) {
        const auto address = static_cast<uint8_t>(m_mdcAxis);
        m_app.DemoBus()->WithBus([address](sim::SimBus &bus) {
            if (sim::AxisDevice *axis = bus.Axis(address)) {
                for (uint8_t code : kDemoAlarms)
                    axis->Alarms().Raise(code);
            }
        });
    }
    auto make = [this]() -> QWidget * {
        return new CKVL_VER2_MTRMONITOR_DIALOG(m_app, m_mdcAxis, "MDC", kMonitorIoMode);
    };
    auto *monitor =
        m_app.Windows().FindOrCreate<CKVL_VER2_MTRMONITOR_DIALOG>(CWindowRegistry::Kind::kMonitor, m_mdcAxis, make);
    if (monitor)
        monitor->PressRefreshHistory();
    if (Shot(monitor, "monitor"))
        monitor->hide();
}

// The danger notice and the setting guide before auto-tuning, and the tuning window of the MDC
// axis; on the demo bus with three results, each run having left other gains in the controller.
void CScreenTour::VisitTuning()
{
    using namespace tuning;
    constexpr int kRuns = 3;
    if (!m_axisWindow)
        return;
    CKVL_VER2_AutoTuningAlarmDlg notice(m_app, m_axisWindow);
    Shot(&notice, "tuning_alarm");
    notice.hide();
    CCKVL_VER2_AutoTuningSettingFlowDlg guide(m_app, m_axisWindow);
    Shot(&guide, "tuning_guide");
    guide.hide();
    CKVL_VER2_AutoTuningDlgDlg *window = m_link->TuningWindow(m_axisWindow);
    if (!window) {
        Missed(QStringLiteral("tuning"));
        return;
    }
    for (int run = 0; Demo() && run < kRuns; ++run) {
        const auto address = static_cast<uint8_t>(m_mdcAxis);
        m_app.DemoBus()->WithBus([run, address](sim::SimBus &bus) {
            sim::ParameterStore &params = bus.Axis(address)->Parameters();
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
    Shot(window, "tuning");
    window->close();
}

// The point-table editor: a few steps as the controller holds them, some cells edited since (red)
// and the cell edit open over a speed cell; on the demo bus on the MDB axis, elsewhere on the MDC
// axis' window (nothing is written to the controller).
void CScreenTour::VisitEditor()
{
    using namespace points;
    constexpr int kSteps = 8;
    constexpr int kEditedRow = 4;   // grid row of the open cell edit
    const int address = Demo() ? FindAxis("MDB") : m_mdcAxis;
    if (address >= 0)
        m_link->PressAxis(address);
    m_editor = address >= 0 ? m_link->AxisWindow(address) : nullptr;
    if (!m_editor) {
        Missed(QStringLiteral("points_edit, points_print, points_choices, params, access: no axis window for the editor"));
        return;
    }
    CPointTable &table = m_editor->Model().Table();
    const char *const comments[kSteps] = {"Home side", "Pick", "", "Place", "", "Inspect", "", "Back"};
    for (int step = 0; step < kSteps && table.IsStep(step); ++step) {
        table.CreateRow(step);
        table.CommitCell(step, kColPosition, std::to_string(10 + step * 12.5));
        table.CommitCell(step, kColSpeed, std::to_string(100 + step * 20));
        table.CommitCell(step, kColAcc, "0.3");
        table.CommitCell(step, kColDcc, "0.3");
        table.CommitCell(step, kColJump, step == kSteps - 1 ? "0" : "E");
        // Every choice of the two choice columns on some step.
        table.CommitCell(step, kColAccDecMode, std::to_string(step % kSpeedModeCount));
        table.CommitCell(step, kColStopMode, std::to_string(step % kStopModeCount));
        // Cells in the form a read from the controller gives them (a choice's text, not its number).
        table.RefreshRow(step);
        table.CommitCell(step, kColComment, comments[step]);
    }
    // As after a Write: the controller holds what the grid shows (in the window's copy only).
    table.EnsureDriverSized();
    for (int step = 0; step < kSteps && table.IsStep(step); ++step) {
        table.SetDriver(step, table.Working(step));
        for (int k = kColMode; k < kStepColumnCount; ++k)
            table.SetMarked(step, k, false);
    }
    table.CommitCell(1, kColPosition, "42.125");
    table.CommitCell(2, kColMode, "INC");
    table.CommitCell(5, kColDcc, "0.5");
    m_editor->RefreshView();
    m_editor->show();
    Settle();
    QTableView *grid = m_editor->Grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(kEditedRow - 1, kColSpeed));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    Shot(m_editor, "points_edit");
    ModalShot([this] { m_editor->PressPrintPreview(); }, "points_print", kPreviewSize);
}

// The editor's grid with its choice columns (ACC/DCC mode, stop mode) in view, each choice on some
// step; the cell edit of the editor's picture closed first.
void CScreenTour::VisitEditorChoices()
{
    using namespace points;
    if (!m_editor)
        return;
    QTableView *grid = m_editor->Grid();
    if (QWidget *edit = QApplication::focusWidget(); edit && grid->isAncestorOf(edit)) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(edit, &escape);
    }
    const QModelIndex stopMode = grid->model()->index(0, kColStopMode);
    grid->setCurrentIndex(stopMode);
    grid->scrollTo(stopMode, QAbstractItemView::PositionAtCenter);
    Shot(m_editor, "points_choices");
}

// The editor axis' parameter list, opened by its Param button, with a few file values changed so
// that their rows are marked; then at the "Custom" level; then the version and access dialog.
void CScreenTour::VisitParameters()
{
    constexpr int kChanged[] = {12, 16, 21};
    if (!m_editor)
        return;
    const struct {
        int level;
        const char *name;
    } levels[] = {{0, "params"}, {1, "params_custom"}};
    for (const auto &level : levels) {
        m_editor->PressParam();
        auto *list = m_app.Windows().Find<params::CKVL_VER2_ParameterListDlg>(
            CWindowRegistry::Kind::kParamList, m_editor->Model().Identity().axis);
        if (!list) {
            Missed(QString::fromLatin1(level.name));
            continue;
        }
        for (const int number : kChanged) {
            params::CParamData &record = list->Lists().File().At(number);
            if (record.GetType() == params::CParamData::kTypeInteger)
                record.SetIntValue(record.IntValue() > record.IntMin() ? record.IntMin() : record.IntMax());
        }
        list->SetAccessLevel(level.level);
        list->resize(list->sizeHint().expandedTo(kParamListSize));
        if (Shot(list, level.name))
            list->hide();
    }
    m_editor->PressVersion();
    Settle();
    auto *confirm = m_editor->findChild<CConfirm *>();
    if (Shot(confirm, "access"))
        confirm->close();
    m_editor->hide();
}

// The restore dialog: the demo bus backed up through the axis link, then a parameter changed on
// two axes and a step on one, and the backup's differences shown before anything is written.
void CScreenTour::VisitRestore()
{
    constexpr int kParameter = 16;
    constexpr int kChangedAxes[] = {1, 4};
    QTemporaryDir folder;
    WithMessagesAccepted("backup", [this, &folder] { m_link->PressBackupTo(folder.path()); });
    m_app.DemoBus()->WithBus([&kChangedAxes](sim::SimBus &bus) {
        for (const int address : kChangedAxes) {
            sim::AxisDevice *axis = bus.Axis(static_cast<uint8_t>(address));
            if (!axis)
                continue;
            axis->Parameters().Set(kParameter, axis->Parameters().Get(kParameter) + 7);
        }
        if (sim::AxisDevice *axis = bus.Axis(static_cast<uint8_t>(kChangedAxes[0]))) {
            sim::StepRecord record;
            record.number = 1;
            record.position = 123450;
            record.speed = 250;
            record.acc = 30;
            record.dcc = 30;
            record.positionRange = 1000;
            axis->Table().SetStep(1, record);
        }
    });
    Settle();
    WithMessagesAccepted("restore", [this, &folder] { m_link->PressRestoreFrom(folder.path()); });
    QWidget *restore = m_link->RestoreWindow();
    if (Shot(restore, "restore"))
        restore->close();
}

// A bus where nothing answers: the demo bus stops answering but keeps its port.
void CScreenTour::VisitSilentBus()
{
    m_app.DemoBus()->Stop();
    Settle();
    m_link->PressLinkStart();
    Shot(m_link, "link_none");
}

// The port settings after Test on a device that is not there: their longest kind of status, which
// the window shows whole. On the demo bus Test stores nothing; Cancel takes the demo port back.
void CScreenTour::VisitPortSettings()
{
    m_link->PressPortSettings();
    CKVL_VER2_PortSetDlg *ports = m_link->PortSettingsWindow();
    if (!ports) {
        Missed(QStringLiteral("port"));
        return;
    }
    ports->PortList()->setCurrentText(QStringLiteral("/dev/ttyUSB9"));
    ports->PressTest();
    if (Shot(ports, "port"))
        ports->reject();
}

void CScreenTour::VisitEnd()
{
    const auto holders = [this] {
        std::vector<CUnkeptEdits::Holder *> found;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *holder = dynamic_cast<CUnkeptEdits::Holder *>(window);
            if (holder && !holder->UnkeptEdits().isEmpty())
                found.push_back(holder);
        }
        return found;
    };
    // The editor's table holds edits: the end asks first (the picture's close answers Cancel).
    if (!holders().empty())
        ModalShot([this] { m_app.StartDialog()->close(); }, "unkept");
    for (CUnkeptEdits::Holder *holder : holders()) {
        for (const QString &what : holder->UnkeptEdits())
            holder->LetUnkeptEditsGo(what);
    }
    m_app.StartDialog()->close();
}

} // namespace kvl
