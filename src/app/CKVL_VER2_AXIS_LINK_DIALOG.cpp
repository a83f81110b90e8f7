#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "common/CBusyIndicator.h"
#include "common/CConfirm.h"
#include "common/CMsgDlg.h"
#include "common/CUnkeptEdits.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "monitor/CKVL_VER2_MTRMONITOR_DIALOG.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "waveform/CRogDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "tuning/CAutoTuningEntryFlow.h"
#include "tuning/CKVL_VER2_AutoTuningDlgDlg.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl {

namespace {

constexpr int kAxisColumns = 4;
constexpr int kAxisIconSide = 24;
constexpr int kActionIconSide = 32;
constexpr int kLampSide = 28;
constexpr int kStatusPointSize = 14;
constexpr int kNoteMinWidth = 140;
// Room on an axis button for the live text of the longest model and a full 16-character name.
constexpr char kWidestAxisText[] = "F MDC-X ";
constexpr int kNameChars = 16;
constexpr int kAxisButtonPadding = 20;

// Built-in captions, shown where the language file has no text.
constexpr char kTitle[] = "Axis Link";
constexpr char kAxesCaption[] = "Axes";
constexpr char kStatusCaption[] = "Link state";
constexpr char kLinkStartCaption[] = "Link Start";
constexpr char kLinkStartNote[] = "Search for connected axes";
constexpr char kPortSetCaption[] = "Port Settings";
constexpr char kPortSetNote[] = "Serial port settings";
constexpr char kOfflineCaption[] = "Offline Edit";
constexpr char kOfflineNote[] = "Edit without a controller";
constexpr char kGatewayCaption[] = "Network unit";
constexpr char kGatewayNote[] = "Network unit settings";
constexpr char kHelpCaption[] = "Help";
constexpr char kBackupCaption[] = "Backup";
constexpr char kBackupNote[] = "Save every device of the bus into a folder";
constexpr char kRestoreCaption[] = "Restore";
constexpr char kRestoreNote[] = "Put a backup back on the bus";

QLabel *NoteLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setMinimumWidth(kNoteMinWidth);
    return label;
}

} // namespace

CKVL_VER2_AXIS_LINK_DIALOG::CKVL_VER2_AXIS_LINK_DIALOG(CKVL_ControlApp &app, QWidget *parent)
    : QDialog(parent), m_app(app)
{
    setObjectName(QStringLiteral("axisLinkWindow"));
    setModal(false);
    m_model = std::make_unique<CAxisLinkModel>(app.Commands(), app.Settings().Texts(), app.Values(),
                                               app.BusPortAccess(), MakeHooks());
    BuildLayout();
    RefreshView();
    m_model->OpenPortAtStart();
    ApplyTexts();
    connect(&app, &CKVL_ControlApp::languageChanged, this, [this](int) { ApplyTexts(); });
}

CKVL_VER2_AXIS_LINK_DIALOG::~CKVL_VER2_AXIS_LINK_DIALOG() = default;

CAxisLinkModel::Hooks CKVL_VER2_AXIS_LINK_DIALOG::MakeHooks()
{
    CAxisLinkModel::Hooks hooks;
    hooks.beginBusy = [this] {
        m_app.Busy().SetAnchor(this);
        return m_app.Busy().Begin(true);
    };
    hooks.endBusy = [this] { m_app.Busy().End(true); };
    // The activity line says the speed and the address of every probe, the final run's "n of N"
    // included.
    hooks.activity = [this](const std::string &text) { m_app.Busy().Activity(QString::fromStdString(text)); };
    hooks.repaint = [this] { m_app.Busy().Repaint(); };
    hooks.message = [this](const std::string &title, const std::string &text) {
        CMsgDlg::Show(this, QString::fromStdString(title), QString::fromStdString(text));
    };
    hooks.changed = [this] {
        RefreshView();
        // The search blocks the event loop: draw the new state now.
        if (isVisible())
            repaint();
    };
    hooks.openAxisWindows = [this](int address) { OpenAxisWindow(address); };
    return hooks;
}

void CKVL_VER2_AXIS_LINK_DIALOG::BuildLayout()
{
    auto *top = new QHBoxLayout;
    top->addWidget(BuildAxisTable(), 3);
    top->addWidget(BuildActions(), 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(BuildStatus());
}

QWidget *CKVL_VER2_AXIS_LINK_DIALOG::BuildAxisTable()
{
    m_axisBox = new QGroupBox(this);
    auto *grid = new QGridLayout(m_axisBox);
    for (int a = 0; a < CAxisLinkModel::kAxisCount; ++a) {
        auto *button = new CPictureButton(QStringLiteral("axis_off"), QString(), m_axisBox, kAxisIconSide);
        button->setObjectName(QStringLiteral("axis%1").arg(a));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        const QFontMetrics metrics(button->font());
        // Names are ASCII; the average width of a CJK face would make the buttons far too wide.
        const QString widest = QString::fromLatin1(kWidestAxisText) + QString(kNameChars, QLatin1Char('n'));
        button->setMinimumWidth(metrics.horizontalAdvance(widest) + kAxisIconSide + kAxisButtonPadding);
        connect(button, &QToolButton::clicked, this, [this, a] { PressAxis(a); });
        grid->addWidget(button, a / kAxisColumns, a % kAxisColumns);
        m_axes[static_cast<size_t>(a)] = button;
    }
    return m_axisBox;
}

QWidget *CKVL_VER2_AXIS_LINK_DIALOG::BuildActions()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    auto addRow = [&](int row, CPictureButton *button, QLabel *note) {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        grid->addWidget(button, row, 0);
        grid->addWidget(note, row, 1);
    };
    m_linkStart = new CPictureButton(QStringLiteral("next"), QString(), box, kActionIconSide);
    m_linkStartNote = NoteLabel(box);
    m_portSet = new CPictureButton(QStringLiteral("port"), QString(), box, kActionIconSide);
    m_portSetNote = NoteLabel(box);
    m_offline = new CPictureButton(QStringLiteral("actuator"), QString(), box, kActionIconSide);
    m_offlineNote = NoteLabel(box);
    m_gateway = new CPictureButton(QStringLiteral("gateway"), QString(), box, kActionIconSide);
    m_gatewayNote = NoteLabel(box);
    m_backup = new CPictureButton(QStringLiteral("backup"), QString(), box, kActionIconSide);
    m_backup->setObjectName(QStringLiteral("backupButton"));
    m_backupNote = NoteLabel(box);
    m_restore = new CPictureButton(QStringLiteral("restore"), QString(), box, kActionIconSide);
    m_restore->setObjectName(QStringLiteral("restoreButton"));
    m_restoreNote = NoteLabel(box);
    m_help = new CPictureButton(QStringLiteral("help"), QString(), box, kActionIconSide);
    addRow(0, m_linkStart, m_linkStartNote);
    addRow(1, m_portSet, m_portSetNote);
    addRow(2, m_offline, m_offlineNote);
    addRow(3, m_gateway, m_gatewayNote);
    addRow(4, m_backup, m_backupNote);
    addRow(5, m_restore, m_restoreNote);
    grid->setRowStretch(6, 1);
    m_help->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    grid->addWidget(m_help, 7, 0);
    grid->setColumnStretch(1, 1);
    connect(m_offline, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressOfflineEdit);
    connect(m_gateway, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressGateway);
    connect(m_linkStart, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressLinkStart);
    connect(m_portSet, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressPortSettings);
    connect(m_help, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressHelp);
    connect(m_backup, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressBackup);
    connect(m_restore, &QToolButton::clicked, this, &CKVL_VER2_AXIS_LINK_DIALOG::PressRestore);
    return box;
}

QWidget *CKVL_VER2_AXIS_LINK_DIALOG::BuildStatus()
{
    m_statusBox = new QGroupBox(this);
    auto *column = new QVBoxLayout(m_statusBox);
    auto *row = new QHBoxLayout;
    m_lamp = new CLampWidget(m_statusBox, kLampSide);
    m_statusText = new QLabel(m_statusBox);
    m_statusText->setObjectName(QStringLiteral("linkStatus"));
    row->addWidget(m_lamp);
    row->addWidget(m_statusText, 1);
    m_report = new QLabel(m_statusBox);
    m_report->setObjectName(QStringLiteral("linkReport"));
    m_report->setWordWrap(true);
    m_report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_report->setVisible(false);
    column->addLayout(row);
    column->addWidget(m_report);
    return m_statusBox;
}

void CKVL_VER2_AXIS_LINK_DIALOG::ApplyTexts()
{
    const CLanguageTexts &texts = m_app.Settings().Texts();
    CWindowTexts::Apply(texts,
                        {{this, kSection, kSection, kTitle},
                         {m_gateway, "IDC_BUTTON_GWX", kSection, kGatewayCaption},
                         {m_gatewayNote, "IDC_ST_GWX", kSection, kGatewayNote},
                         {m_axisBox, "IDC_STATIC_LINK_TABLE", kSection, kAxesCaption},
                         {m_statusBox, "IDC_STATIC_LINK_STATUS", kSection, kStatusCaption},
                         {m_linkStartNote, "IDC_ST_LINK_START", kSection, kLinkStartNote},
                         {m_linkStart, "IDC_BUTTON_LINK_START", kSection, kLinkStartCaption},
                         {m_portSetNote, "IDC_ST_PORT_SET", kSection, kPortSetNote},
                         {m_portSet, "IDC_BUTTON_PORT_SET", kSection, kPortSetCaption},
                         {m_offline, "IDC_BUTTON_OFFLINE_EDIT", kSection, kOfflineCaption},
                         {m_offlineNote, "IDC_ST_OFFLINE_EDIT", kSection, kOfflineNote},
                         {m_backup, "IDC_BUTTON_BACKUP", kSection, kBackupCaption},
                         {m_backupNote, "IDC_ST_BACKUP", kSection, kBackupNote},
                         {m_restore, "IDC_BUTTON_RESTORE", kSection, kRestoreCaption},
                         {m_restoreNote, "IDC_ST_RESTORE", kSection, kRestoreNote},
                         {m_help, "IDC_STATIC_HELP", kSection, kHelpCaption}},
                        [this](const QString &title) { return m_app.DecorateTitle(title); });
    CWindowTexts::ApplyTooltips(texts, {{m_help, kHelpTooltip},
                                        {m_portSet, kPortSetTooltip},
                                        {m_lamp, kStatusTooltip},
                                        {m_statusText, kStatusTooltip},
                                        {m_linkStart, kLinkStartTooltip},
                                        {m_offline, kOfflineTooltip},
                                        {m_backup, kBackupTooltip},
                                        {m_restore, kRestoreTooltip}});

    QFont statusFont = font();
    statusFont.setPointSize(kStatusPointSize);
    statusFont.setBold(true);
    const int language = m_app.Settings().Language();
    if (language == CAppSettings::kLanguageChinese)
        statusFont.setFamily(QString::fromLatin1(CKVL_ControlApp::LanguageFontFamily(language)));
    m_statusText->setFont(statusFont);
    RefreshView();
}

void CKVL_VER2_AXIS_LINK_DIALOG::RefreshView()
{
    for (int a = 0; a < CAxisLinkModel::kAxisCount; ++a)
        RefreshAxis(a);
    RefreshStatus();
    m_gateway->setVisible(m_model->GatewayPresent());
    m_gatewayNote->setVisible(m_model->GatewayPresent());
    // Backup and restore work on what Link Start found.
    const bool linked = m_model->GetStatus() == CAxisLinkModel::Status::kLinked;
    m_backup->setEnabled(linked);
    m_restore->setEnabled(linked);
}

void CKVL_VER2_AXIS_LINK_DIALOG::RefreshAxis(int address)
{
    CPictureButton *button = m_axes[static_cast<size_t>(address)];
    const bool linked = m_model->AxisAt(address).linked;
    button->setText(QString::fromStdString(m_model->ButtonText(address)));
    button->SetPicture(linked ? QStringLiteral("axis") : QStringLiteral("axis_off"));
    button->setEnabled(linked);
    QString tip = QString::fromStdString(m_app.Settings().Texts().Tooltip(kAxisTooltip));
    const QString identity = QString::fromStdString(m_model->IdentityText(address));
    if (!identity.isEmpty())
        tip = tip.isEmpty() ? identity : tip + QLatin1Char('\n') + identity;
    button->setToolTip(tip);
}

void CKVL_VER2_AXIS_LINK_DIALOG::RefreshStatus()
{
    m_statusText->setText(QString::fromStdString(m_model->StatusText()));
    const QString report = QString::fromStdString(m_model->SearchReport());
    m_report->setText(report);
    m_report->setVisible(!report.isEmpty());
    switch (m_model->GetStatus()) {
    case CAxisLinkModel::Status::kLinked:
        m_lamp->SetState(CLampWidget::State::kOn);
        break;
    case CAxisLinkModel::Status::kLinking:
        m_lamp->SetState(CLampWidget::State::kBusy);
        break;
    case CAxisLinkModel::Status::kUnlinked:
        m_lamp->SetState(CLampWidget::State::kOff);
        break;
    }
}

CKVL_VER2_PortSetDlg *CKVL_VER2_AXIS_LINK_DIALOG::PortSettingsWindow() const
{
    return m_app.Windows().Find<CKVL_VER2_PortSetDlg>(CWindowRegistry::Kind::kPortSettings);
}

CPictureButton *CKVL_VER2_AXIS_LINK_DIALOG::AxisButton(int address) const
{
    if (address < 0 || address >= CAxisLinkModel::kAxisCount)
        return nullptr;
    return m_axes[static_cast<size_t>(address)];
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressLinkStart()
{
    m_model->Link();
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressAxis(int address)
{
    m_model->OpenAxis(address);
}

points::CKVL_VER2_ProgStepDlg *CKVL_VER2_AXIS_LINK_DIALOG::AxisWindow(int address) const
{
    return m_app.Windows().Find<points::CKVL_VER2_ProgStepDlg>(CWindowRegistry::Kind::kAxisMain, address);
}

void CKVL_VER2_AXIS_LINK_DIALOG::OpenAxisWindow(int address)
{
    const CAxisLinkModel::Axis &axis = m_model->AxisAt(address);
    // The window is kept (with its table edits) while the controller at this address is the same
    // model; another model needs a window of its own.
    points::CKVL_VER2_ProgStepDlg *existing = AxisWindow(address);
    if (existing && existing->Model().Identity().model != axis.model) {
        delete existing;
        existing = nullptr;
    }
    if (existing) {
        if (existing->Model().Identity().name != axis.name)
            existing->Model().DeviceNameChanged(axis.name);
        existing->RefreshView();
    }
    auto make = [this, address, &axis]() -> QWidget * {
        points::AxisIdentity identity;
        identity.axis = address;
        identity.model = axis.model;
        identity.name = axis.name;
        identity.version = axis.version;
        auto *window = new points::CKVL_VER2_ProgStepDlg(m_app, identity, this);
        ConnectAxisWindow(window);
        window->Open();
        return window;
    };
    auto *window = m_app.Windows().FindOrCreate<points::CKVL_VER2_ProgStepDlg>(CWindowRegistry::Kind::kAxisMain,
                                                                               address, make);
    // The axis' parameter list is made with it, hidden; its Param button shows it.
    if (window)
        ParamListWindow(window);
    CWindowRegistry::Present(window);
}

params::CKVL_VER2_ParameterListDlg *CKVL_VER2_AXIS_LINK_DIALOG::ParamListWindow(points::CKVL_VER2_ProgStepDlg *window)
{
    const int axis = window->Model().Identity().axis;
    auto make = [this, window]() -> QWidget * { return MakeParamList(window); };
    return m_app.Windows().FindOrCreate<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, axis,
                                                                            make);
}

params::CKVL_VER2_ParameterListDlg *CKVL_VER2_AXIS_LINK_DIALOG::MakeParamList(points::CKVL_VER2_ProgStepDlg *window)
{
    // Without the model's parameter file there is nothing to list.
    if (window->Model().Params().Count() == 0)
        return nullptr;
    params::CKVL_VER2_ParameterListDlg::AxisLink link;
    link.window = window;
    link.model = &window->Model();
    link.operationTypeChanged = [window](bool clear) { window->OperationTypeChanged(clear); };
    link.parameter5Changed = [window] { window->Parameter5Changed(); };
    link.axisTag = [window] { return window->AxisTag(); };
    auto *list = new params::CKVL_VER2_ParameterListDlg(m_app, std::move(link), this);
    // The list works on the axis window's parameters: it goes with that window.
    connect(window, &QObject::destroyed, list, [list] { delete list; });
    // A hidden area of the list opens the access dialog; the list follows the level it sets.
    connect(list, &params::CKVL_VER2_ParameterListDlg::accessDialogRequested, list, [this, window, list] {
        const points::AxisIdentity &who = window->Model().Identity();
        CConfirm::Open(m_app, {who.axis, who.offline, who.model, who.version}, list, list,
                       [list](int level) { list->SetAccessLevel(level); });
    });
    return list;
}

void CKVL_VER2_AXIS_LINK_DIALOG::ConnectAxisWindow(points::CKVL_VER2_ProgStepDlg *window)
{
    using Monitor = CKVL_VER2_MTRMONITOR_DIALOG;
    const auto monitorOf = [this](int axis) { return m_app.Windows().Find<Monitor>(CWindowRegistry::Kind::kMonitor, axis); };
    connect(window, &points::CKVL_VER2_ProgStepDlg::returned, this, [this, monitorOf](int axis) {
        if (Monitor *monitor = monitorOf(axis))
            monitor->hide();
        if (auto *wave = m_app.Windows().Find<CRogDlg>(CWindowRegistry::Kind::kWaveform, axis))
            wave->hide();
        if (auto *list = m_app.Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, axis))
            list->hide();
        CWindowRegistry::Present(this);
    });
    // The monitor belongs to its axis window: a new axis window (another model) brings a new one.
    connect(window, &points::CKVL_VER2_ProgStepDlg::monitorRequested, this, [this, window](int axis) {
        auto make = [this, window, axis]() -> QWidget * {
            return new Monitor(m_app, axis, window->Model().Identity().model, window->Model().OperationType(), window);
        };
        CWindowRegistry::Present(m_app.Windows().FindOrCreate<Monitor>(CWindowRegistry::Kind::kMonitor, axis, make));
    });
    connect(window, &points::CKVL_VER2_ProgStepDlg::waveRequested, this, [this, window](int axis) {
        auto make = [this, window, axis]() -> QWidget * {
            return new CRogDlg(m_app, axis, window->Model().Identity().model, window->Model().Offline(), window);
        };
        CWindowRegistry::Present(m_app.Windows().FindOrCreate<CRogDlg>(CWindowRegistry::Kind::kWaveform, axis, make));
    });
    connect(window, &points::CKVL_VER2_ProgStepDlg::tuningRequested, this, [this, window](int) { OpenTuning(window); });
    // Closing the axis window asks about the parameter list's edits too.
    window->SetCloseCheck([this, axis = window->Model().Identity().axis] {
        auto *list = m_app.Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, axis);
        return !list || CUnkeptEdits::Ask(list, m_app.Settings().Texts(), *list);
    });
    connect(window, &points::CKVL_VER2_ProgStepDlg::paramRequested, this, [this, window](int) {
        if (params::CKVL_VER2_ParameterListDlg *list = ParamListWindow(window))
            CWindowRegistry::Present(list);
    });
    connect(window, &points::CKVL_VER2_ProgStepDlg::accessLevelChanged, this, [this](int axis, int level) {
        using List = params::CKVL_VER2_ParameterListDlg;
        if (List *list = m_app.Windows().Find<List>(CWindowRegistry::Kind::kParamList, axis))
            list->SetAccessLevel(level);
    });
    connect(window, &points::CKVL_VER2_ProgStepDlg::operationTypeChanged, this,
            [monitorOf](int axis, int type, bool cleared) {
                Monitor *monitor = monitorOf(axis);
                if (cleared && monitor)
                    monitor->SetIoMode(type);
            });
}

void CKVL_VER2_AXIS_LINK_DIALOG::OpenTuning(points::CKVL_VER2_ProgStepDlg *window)
{
    if (tuning::CAutoTuningEntryFlow::Run(m_app, window))
        CWindowRegistry::Present(TuningWindow(window));
}

tuning::CKVL_VER2_AutoTuningDlgDlg *CKVL_VER2_AXIS_LINK_DIALOG::TuningWindow(points::CKVL_VER2_ProgStepDlg *window)
{
    using Tuning = tuning::CKVL_VER2_AutoTuningDlgDlg;
    using List = params::CKVL_VER2_ParameterListDlg;
    const int axis = window->Model().Identity().axis;
    auto make = [this, window, axis]() -> QWidget * {
        points::CAxisWindowModel &model = window->Model();
        tuning::CAutoTuningModel::AxisLink link;
        link.programRunning = [&model] { return model.Running(); };
        link.programPaused = [&model] { return model.Paused(); };
        link.servoOn = [&model] { return model.ServoLamp(); };
        link.servoRead = [&model](bool on) { model.SetServoState(on); };
        const Tuning::AxisInfo info{axis, model.Identity().model, model.OperationType(), model.Offline()};
        // The tuning window belongs to its axis window and goes with it.
        auto *tuningWindow = new Tuning(m_app, info, std::move(link), window);
        const auto listOf = [this, axis] { return m_app.Windows().Find<List>(CWindowRegistry::Kind::kParamList, axis); };
        connect(tuningWindow, &Tuning::parameterListEnabled, tuningWindow, [listOf](bool enabled) {
            if (List *list = listOf())
                list->setEnabled(enabled);
        });
        connect(tuningWindow, &Tuning::parametersWrittenOnClose, tuningWindow, [listOf] {
            if (List *list = listOf())
                list->PressRead();
        });
        connect(tuningWindow, &Tuning::servoChanged, window, [window] { window->RefreshView(); });
        return tuningWindow;
    };
    return m_app.Windows().FindOrCreate<Tuning>(CWindowRegistry::Kind::kTuning, axis, make);
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressGateway()
{
    if (!m_model->GatewayPresent())
        return;
    const std::string version = m_model->GatewayVersion();
    auto make = [this, &version]() -> QWidget * { return new CKVL_GWX_SETTING(m_app, false, version, this); };
    CWindowRegistry::Present(
        m_app.Windows().FindOrCreate<CKVL_GWX_SETTING>(CWindowRegistry::Kind::kGateway, CWindowRegistry::kNoAxis, make));
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressPortSettings()
{
    auto make = [this]() -> QWidget * {
        auto *window = new CKVL_VER2_PortSetDlg(m_app, this);
        connect(window, &CKVL_VER2_PortSetDlg::portChanged, this, [this] { m_model->ShowUnlinked(); });
        return window;
    };
    CWindowRegistry::Present(
        m_app.Windows().FindOrCreateWidget(CWindowRegistry::Kind::kPortSettings, CWindowRegistry::kNoAxis, make));
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressHelp()
{
    m_app.ShowHelp(QStringLiteral("link"));
}

void CKVL_VER2_AXIS_LINK_DIALOG::keyPressEvent(QKeyEvent *event)
{
    // While the port settings window is open over this one, Escape is meant for it: a window
    // system may leave the keyboard here after that window was shown. It closes as Cancel, and
    // this window stays.
    CKVL_VER2_PortSetDlg *ports = PortSettingsWindow();
    if (event->matches(QKeySequence::Cancel) && ports && ports->isVisible()) {
        ports->reject();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CKVL_VER2_AXIS_LINK_DIALOG::showEvent(QShowEvent *event)
{
    ApplyTexts();
    QDialog::showEvent(event);
}

} // namespace kvl
