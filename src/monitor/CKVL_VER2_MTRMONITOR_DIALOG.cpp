#include "monitor/CKVL_VER2_MTRMONITOR_DIALOG.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

#include "base/CModelTraits.h"
#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl {

namespace {

constexpr int kLampSide = 16;
constexpr int kValueMinChars = 12;
constexpr int kAlarmMinChars = 24;
constexpr int kHistoryMinLines = 6;
constexpr int kAlarmPointSizeStep = 2;
// The alarm text sits on a dark display, where the pure green and red of the alarm states read well.
const QColor kDisplayBackground(32, 32, 32);
const QColor kDisplayNeutral(240, 240, 240);

// Built-in captions, shown where the language file has no text.
constexpr char kTitle[] = "Motor Monitor";
constexpr char kInputsCaption[] = "Inputs";
constexpr char kOutputsCaption[] = "Outputs";
constexpr char kPositionCaption[] = "Position";
constexpr char kCommandCaption[] = "Command";
constexpr char kCurrentCaption[] = "Present";
constexpr char kLinearUnit[] = "mm";
constexpr char kRotaryUnit[] = "deg";
constexpr char kLoadCaption[] = "Load";
constexpr char kLoadUnit[] = "%";
constexpr char kAlarmCaption[] = "Alarm";
constexpr char kCurrentAlarmCaption[] = "Present alarm";
constexpr char kResetCaption[] = "Alarm reset";
constexpr char kHistoryCaption[] = "Alarm history";
constexpr char kClearCaption[] = "Clear history";
constexpr char kRefreshCaption[] = "Refresh history";

QLabel *ValueLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(QFontMetrics(label->font()).horizontalAdvance(QString(kValueMinChars, QLatin1Char('0'))));
    return label;
}

QColor ColourOf(CMonitorModel::AlarmColour colour)
{
    switch (colour) {
    case CMonitorModel::AlarmColour::kGreen:
        return QColor(CMonitorModel::kGreen.red, CMonitorModel::kGreen.green, CMonitorModel::kGreen.blue);
    case CMonitorModel::AlarmColour::kRed:
        return QColor(CMonitorModel::kRed.red, CMonitorModel::kRed.green, CMonitorModel::kRed.blue);
    case CMonitorModel::AlarmColour::kNone:
        break;
    }
    return kDisplayNeutral;
}

} // namespace

CKVL_VER2_MTRMONITOR_DIALOG::CKVL_VER2_MTRMONITOR_DIALOG(CWindowContext &context, int axis,
                                                         const std::string &model, int ioMode, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("monitorWindow%1").arg(axis));
    setModal(false);
    m_model = std::make_unique<CMonitorModel>(context.Commands(), context.Settings().Texts(), context.Values(),
                                              axis, model, ioMode, MakeHooks());
    m_poll = new QTimer(this);
    m_poll->setObjectName(QStringLiteral("timer%1").arg(CMonitorModel::kPollTimerId));
    m_poll->setSingleShot(true);
    connect(m_poll, &QTimer::timeout, this, &CKVL_VER2_MTRMONITOR_DIALOG::OnPollTimer);
    BuildLayout();
    RefreshView();
    ApplyTexts();
    m_model->Open();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
}

CKVL_VER2_MTRMONITOR_DIALOG::~CKVL_VER2_MTRMONITOR_DIALOG() = default;

CMonitorModel::Hooks CKVL_VER2_MTRMONITOR_DIALOG::MakeHooks()
{
    CMonitorModel::Hooks hooks;
    hooks.ask = [this](const std::string &title, const std::string &text) {
        return CMsgDlg::Show(this, QString::fromStdString(title), QString::fromStdString(text), true);
    };
    hooks.changed = [this] { RefreshView(); };
    return hooks;
}

void CKVL_VER2_MTRMONITOR_DIALOG::BuildLayout()
{
    auto *signalRow = new QHBoxLayout;
    signalRow->addWidget(BuildInputs());
    signalRow->addWidget(BuildOutputs());
    auto *right = new QVBoxLayout;
    right->addWidget(BuildValues());
    right->addWidget(BuildAlarm());
    right->addWidget(BuildHistory(), 1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(signalRow);
    layout->addLayout(right, 1);
}

QGroupBox *CKVL_VER2_MTRMONITOR_DIALOG::BuildInputs()
{
    m_inputBox = new QGroupBox(this);
    auto *column = new QVBoxLayout(m_inputBox);
    column->setSpacing(0);
    for (int k = 0; k < kSignalCount; ++k) {
        auto *button = new CPictureButton(QStringLiteral("lamp_off"), QString(), m_inputBox, kLampSide);
        button->setObjectName(QStringLiteral("input%1").arg(k + 1));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QToolButton::clicked, this, [this, k] { PressInput(k); });
        column->addWidget(button);
        m_inputs[static_cast<size_t>(k)] = button;
    }
    column->addStretch(1);
    return m_inputBox;
}

QGroupBox *CKVL_VER2_MTRMONITOR_DIALOG::BuildOutputs()
{
    m_outputBox = new QGroupBox(this);
    auto *grid = new QGridLayout(m_outputBox);
    for (int k = 0; k < kSignalCount; ++k) {
        auto *lamp = new CLampWidget(m_outputBox, kLampSide);
        auto *name = new QLabel(m_outputBox);
        name->setObjectName(QStringLiteral("output%1").arg(k + 1));
        // As tall as an input button, so the two columns line up.
        name->setMinimumHeight(m_inputs[0]->sizeHint().height());
        grid->addWidget(lamp, k, 0);
        grid->addWidget(name, k, 1);
        m_outputLamps[static_cast<size_t>(k)] = lamp;
        m_outputNames[static_cast<size_t>(k)] = name;
    }
    grid->setVerticalSpacing(0);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(kSignalCount, 1);
    return m_outputBox;
}

QWidget *CKVL_VER2_MTRMONITOR_DIALOG::BuildValues()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);

    m_positionBox = new QGroupBox(box);
    auto *positions = new QGridLayout(m_positionBox);
    m_commandTitle = new QLabel(m_positionBox);
    m_currentTitle = new QLabel(m_positionBox);
    m_commandPosition = ValueLabel(m_positionBox, QStringLiteral("commandPosition"));
    m_currentPosition = ValueLabel(m_positionBox, QStringLiteral("currentPosition"));
    m_commandUnit = new QLabel(m_positionBox);
    m_currentUnit = new QLabel(m_positionBox);
    positions->addWidget(m_commandTitle, 0, 0);
    positions->addWidget(m_commandPosition, 0, 1);
    positions->addWidget(m_commandUnit, 0, 2);
    positions->addWidget(m_currentTitle, 1, 0);
    positions->addWidget(m_currentPosition, 1, 1);
    positions->addWidget(m_currentUnit, 1, 2);
    positions->setColumnStretch(1, 1);

    m_loadBox = new QGroupBox(box);
    auto *load = new QHBoxLayout(m_loadBox);
    m_load = ValueLabel(m_loadBox, QStringLiteral("load"));
    m_loadUnit = new QLabel(m_loadBox);
    load->addWidget(m_load, 1);
    load->addWidget(m_loadUnit);

    row->addWidget(m_positionBox, 2);
    row->addWidget(m_loadBox, 1, Qt::AlignTop);
    return box;
}

QGroupBox *CKVL_VER2_MTRMONITOR_DIALOG::BuildAlarm()
{
    m_alarmBox = new QGroupBox(this);
    auto *grid = new QGridLayout(m_alarmBox);
    m_alarmTitle = new QLabel(m_alarmBox);
    m_alarm = new QLabel(m_alarmBox);
    m_alarm->setObjectName(QStringLiteral("currentAlarm"));
    m_alarm->setAlignment(Qt::AlignCenter);
    m_alarm->setAutoFillBackground(true);
    m_alarm->setFrameShape(QFrame::Panel);
    m_alarm->setFrameShadow(QFrame::Sunken);
    QFont alarmFont = m_alarm->font();
    alarmFont.setBold(true);
    alarmFont.setPointSize(alarmFont.pointSize() + kAlarmPointSizeStep);
    m_alarm->setFont(alarmFont);
    m_alarm->setMinimumWidth(QFontMetrics(alarmFont).averageCharWidth() * kAlarmMinChars);
    m_reset = new QPushButton(m_alarmBox);
    m_reset->setObjectName(QStringLiteral("alarmReset"));
    grid->addWidget(m_alarmTitle, 0, 0);
    grid->addWidget(m_alarm, 0, 1);
    grid->addWidget(m_reset, 1, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    connect(m_reset, &QPushButton::clicked, this, &CKVL_VER2_MTRMONITOR_DIALOG::PressAlarmReset);
    return m_alarmBox;
}

QGroupBox *CKVL_VER2_MTRMONITOR_DIALOG::BuildHistory()
{
    m_historyBox = new QGroupBox(this);
    auto *column = new QVBoxLayout(m_historyBox);
    m_history = new QListWidget(m_historyBox);
    m_history->setObjectName(QStringLiteral("alarmHistory"));
    m_history->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_history->setMinimumHeight(m_history->fontMetrics().height() * kHistoryMinLines);
    m_refresh = new QPushButton(m_historyBox);
    m_refresh->setObjectName(QStringLiteral("refreshHistory"));
    m_clear = new QPushButton(m_historyBox);
    m_clear->setObjectName(QStringLiteral("clearHistory"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_refresh);
    buttons->addWidget(m_clear);
    column->addWidget(m_history, 1);
    column->addLayout(buttons);
    connect(m_refresh, &QPushButton::clicked, this, &CKVL_VER2_MTRMONITOR_DIALOG::PressRefreshHistory);
    connect(m_clear, &QPushButton::clicked, this, &CKVL_VER2_MTRMONITOR_DIALOG::PressClearHistory);
    return m_historyBox;
}

void CKVL_VER2_MTRMONITOR_DIALOG::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const std::string section = m_model->WindowSection();
    const char *unit = CModelTraits::Of(m_model->Model()).IsRotary() ? kRotaryUnit : kLinearUnit;
    const int axis = m_model->Axis();
    CWindowTexts::Apply(texts,
                        {{this, "IDD_KVL_VER2_MTRMONITOR_DIALOG", section, kTitle},
                         {m_inputBox, "IDC_MTR_IN_TITLE", section, kInputsCaption},
                         {m_outputBox, "IDC_MTR_OUT_TITLE", section, kOutputsCaption},
                         {m_positionBox, "IDC_MTR_POS_TITLE", section, kPositionCaption},
                         {m_commandTitle, "IDC_POS_CMD_TITLE", section, kCommandCaption},
                         {m_currentTitle, "IDC_POS_CUR_TITLE", section, kCurrentCaption},
                         {m_commandUnit, m_model->CommandUnitKey(), section, unit},
                         {m_currentUnit, m_model->CurrentUnitKey(), section, unit},
                         {m_loadBox, "IDC_MTR_LOAD_TITLE", section, kLoadCaption},
                         {m_loadUnit, "IDC_MTR_CMD_UNIT", section, kLoadUnit},
                         {m_alarmBox, "IDC_MTR_ALARM_TITLE", section, kAlarmCaption},
                         {m_alarmTitle, "IDC_ALARM_CUR_TITLE", section, kCurrentAlarmCaption},
                         {m_reset, "IDC_ALARM_RESET", section, kResetCaption},
                         {m_historyBox, "IDC_MTR_ALARMHIS_TITLE", section, kHistoryCaption},
                         {m_clear, "IDC_CLEAR_HIS", section, kClearCaption},
                         {m_refresh, "IDC_REFREASH_HIS", section, kRefreshCaption}},
                        [this, axis](const QString &title) {
                            // One monitor per axis: the title says which.
                            return m_context.DecorateTitle(
                                QStringLiteral("%1 - %2").arg(title, QString::number(axis, 16).toUpper()));
                        });
    ApplySignalNames();
    CWindowTexts::ApplyTooltips(texts, {{m_inputBox, kGroupTooltip},
                                        {m_outputBox, kGroupTooltip},
                                        {m_currentTitle, kCurrentTooltip},
                                        {m_commandTitle, kCommandTooltip},
                                        {m_loadBox, kLoadTooltip},
                                        {m_alarmBox, kAlarmTooltip},
                                        {m_alarm, kAlarmTooltip},
                                        {m_reset, kResetTooltip},
                                        {m_refresh, kRefreshTooltip},
                                        {m_clear, kClearTooltip}});
    // The alarm texts are the language's too.
    m_model->RebuildHistoryList();
    RefreshView();
}

void CKVL_VER2_MTRMONITOR_DIALOG::ApplySignalNames()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const std::string section = m_model->WindowSection();
    for (int k = 0; k < kSignalCount; ++k) {
        const int number = k + 1;
        CWindowTexts::SetCaption(m_inputs[static_cast<size_t>(k)],
                                 CWindowTexts::Text(texts, m_model->SignalKey(true, number), section,
                                                    QStringLiteral("IN%1").arg(number)));
        CWindowTexts::SetCaption(m_outputNames[static_cast<size_t>(k)],
                                 CWindowTexts::Text(texts, m_model->SignalKey(false, number), section,
                                                    QStringLiteral("OUT%1").arg(number)));
    }
}

void CKVL_VER2_MTRMONITOR_DIALOG::SetIoMode(int ioMode)
{
    m_model->SetIoMode(ioMode);
    ApplySignalNames();
    RefreshSignals();
}

void CKVL_VER2_MTRMONITOR_DIALOG::RefreshView()
{
    RefreshSignals();
    m_load->setText(QString::fromStdString(m_model->LoadText()));
    m_commandPosition->setText(QString::fromStdString(m_model->CommandPositionText()));
    m_currentPosition->setText(QString::fromStdString(m_model->CurrentPositionText()));
    RefreshAlarm();
    RefreshHistoryList();
}

void CKVL_VER2_MTRMONITOR_DIALOG::RefreshSignals()
{
    for (int k = 0; k < kSignalCount; ++k) {
        const int number = k + 1;
        m_inputs[static_cast<size_t>(k)]->SetPicture(m_model->SignalOn(true, number) ? QStringLiteral("lamp_on")
                                                                                      : QStringLiteral("lamp_off"));
        // An input this I/O mode does not let the PC switch looks it.
        m_inputs[static_cast<size_t>(k)]->setEnabled(m_model->InputSwitchAllowed(k));
        m_outputLamps[static_cast<size_t>(k)]->SetState(m_model->SignalOn(false, number) ? CLampWidget::State::kOn
                                                                                         : CLampWidget::State::kOff);
    }
}

void CKVL_VER2_MTRMONITOR_DIALOG::RefreshAlarm()
{
    QPalette palette = m_alarm->palette();
    palette.setColor(QPalette::Window, kDisplayBackground);
    if (m_model->Silent()) {
        m_alarm->setText(QString::fromStdString(m_model->NoAnswerText()));
        palette.setColor(QPalette::WindowText, kDisplayNeutral);
    } else {
        m_alarm->setText(QString::fromStdString(m_model->AlarmText()));
        palette.setColor(QPalette::WindowText, ColourOf(m_model->GetAlarmColour()));
    }
    m_alarm->setPalette(palette);
}

void CKVL_VER2_MTRMONITOR_DIALOG::RefreshHistoryList()
{
    const std::vector<std::string> &lines = m_model->HistoryLines();
    bool same = m_history->count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < m_history->count(); ++i)
        same = m_history->item(i)->text() == QString::fromStdString(lines[static_cast<size_t>(i)]);
    if (same)
        return;
    m_history->clear();
    const QFontMetrics metrics(m_history->font());
    int widest = 0;
    for (const std::string &line : lines) {
        const QString text = QString::fromStdString(line);
        m_history->addItem(text);
        widest = qMax(widest, metrics.horizontalAdvance(text));
    }
    // The list scrolls sideways as far as its widest line and one average character more.
    const int extent = widest + metrics.averageCharWidth();
    for (int i = 0; i < m_history->count(); ++i)
        m_history->item(i)->setSizeHint(QSize(extent, metrics.height()));
}

CPictureButton *CKVL_VER2_MTRMONITOR_DIALOG::InputButton(int input) const
{
    return (input >= 0 && input < kSignalCount) ? m_inputs[static_cast<size_t>(input)] : nullptr;
}

CLampWidget *CKVL_VER2_MTRMONITOR_DIALOG::OutputLamp(int output) const
{
    return (output >= 0 && output < kSignalCount) ? m_outputLamps[static_cast<size_t>(output)] : nullptr;
}

QLabel *CKVL_VER2_MTRMONITOR_DIALOG::OutputName(int output) const
{
    return (output >= 0 && output < kSignalCount) ? m_outputNames[static_cast<size_t>(output)] : nullptr;
}

void CKVL_VER2_MTRMONITOR_DIALOG::PressInput(int input)
{
    m_model->SwitchInput(input);
}

void CKVL_VER2_MTRMONITOR_DIALOG::PressAlarmReset()
{
    m_model->ResetAlarm();
}

void CKVL_VER2_MTRMONITOR_DIALOG::PressRefreshHistory()
{
    m_model->RefreshHistory();
}

void CKVL_VER2_MTRMONITOR_DIALOG::PressClearHistory()
{
    m_model->ClearHistory();
}

void CKVL_VER2_MTRMONITOR_DIALOG::PressHelp()
{
    m_context.ShowHelp(QStringLiteral("monitor"));
}

void CKVL_VER2_MTRMONITOR_DIALOG::StartPolling()
{
    if (!m_poll->isActive())
        m_poll->start(m_model->PollPeriodMs());
}

void CKVL_VER2_MTRMONITOR_DIALOG::OnPollTimer()
{
    switch (m_model->OnTick()) {
    case CMonitorModel::Tick::kStop:
        return;
    case CMonitorModel::Tick::kIdle:
    case CMonitorModel::Tick::kRestart:
        // Hidden while the refresh ran: polling waits for the next show.
        if (isVisible())
            StartPolling();
        return;
    }
}

void CKVL_VER2_MTRMONITOR_DIALOG::showEvent(QShowEvent *event)
{
    ApplyTexts();
    StartPolling();
    QDialog::showEvent(event);
}

void CKVL_VER2_MTRMONITOR_DIALOG::hideEvent(QHideEvent *event)
{
    m_poll->stop();
    QDialog::hideEvent(event);
}

void CKVL_VER2_MTRMONITOR_DIALOG::closeEvent(QCloseEvent *event)
{
    m_poll->stop();
    QDialog::closeEvent(event);
}

void CKVL_VER2_MTRMONITOR_DIALOG::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_model->Activate();
        StartPolling();
    }
    QDialog::changeEvent(event);
}

void CKVL_VER2_MTRMONITOR_DIALOG::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::HelpContents)) {
        PressHelp();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kvl
