#include "points/CKVL_VER2_ProgStepDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "common/CBusyIndicator.h"
#include "common/CConfirm.h"
#include "common/CHelpKey.h"
#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "points/CPointGridEditor.h"
#include "points/CPointGridModel.h"
#include "points/CPointTableActions.h"
#include "protocol/CServoCommands.h"
#include "ui/CJogButton.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"
#include "ui/CSvgPicture.h"

namespace kvl::points {

namespace {

using Timer = CAxisWindowModel::Timer;
using JogDirection = CAxisWindowModel::JogDirection;
using TeachTarget = CAxisWindowModel::TeachTarget;
using TeachMode = CAxisWindowModel::TeachMode;

constexpr std::array<Timer, 3> kTimers{Timer::kStatus, Timer::kMotion, Timer::kJog};
constexpr std::array<TeachTarget, 3> kTargets{TeachTarget::kPosition, TeachTarget::kPAreaA, TeachTarget::kPAreaB};
constexpr char kCommon[] = "Common";
constexpr int kType5 = 5;
constexpr QSize kType5PictureSize{520, 150};

size_t TimerSlot(Timer timer)
{
    switch (timer) {
    case Timer::kStatus:
        return 0;
    case Timer::kMotion:
        return 1;
    case Timer::kJog:
        return 2;
    }
    return 0;
}

size_t DirectionSlot(JogDirection direction)
{
    return direction == JogDirection::kForward ? 0 : 1;
}

void SetBackground(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

} // namespace

CKVL_VER2_ProgStepDlg::CKVL_VER2_ProgStepDlg(CWindowContext &context, AxisIdentity identity, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("axisWindow%1").arg(identity.axis));
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_model = std::make_unique<CAxisWindowModel>(context.Commands(), context.Settings(), context.Values(),
                                                 std::move(identity), MakeHooks());
    for (Timer timer : kTimers) {
        auto *qtimer = new QTimer(this);
        qtimer->setSingleShot(true);
        connect(qtimer, &QTimer::timeout, this, [this, timer] { OnTimer(timer); });
        m_timers[TimerSlot(timer)] = qtimer;
    }
    BuildLayout();
    CHelpKey::Install(this, context, QStringLiteral("axis"));
    // F1 in the grid opens the point table's own section.
    CHelpKey::Install(m_grid, context, QStringLiteral("points"));
    m_gridEditor = new CPointGridEditor(context, *m_model, m_grid, m_gridModel, this);
    RefreshView();
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
    // A jog ends when the application quits, whichever way (last window, a signal).
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { EndJog(); });
}

CKVL_VER2_ProgStepDlg::~CKVL_VER2_ProgStepDlg()
{
    // Hidden while the model still lives: the hide ends a held jog, and the focus leaves the
    // controls now, not when the base class hides a window without a model.
    hide();
    StopTimers();
    m_model->EndJog();
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

CAxisWindowModel::Hooks CKVL_VER2_ProgStepDlg::MakeHooks()
{
    CAxisWindowModel::Hooks hooks;
    hooks.progress = [this](int done, int total) { m_context.Busy().Progress(done, total); };
    hooks.changed = [this] {
        if (m_gridModel)
            RefreshView();
    };
    hooks.wait = [this](int ms) {
        if (isVisible())
            repaint();
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    return hooks;
}

bool CKVL_VER2_ProgStepDlg::Open()
{
    m_context.Busy().SetAnchor(this);
    const bool ok = m_model->Open();
    ApplyTexts();
    RefreshPictures();
    return ok;
}

void CKVL_VER2_ProgStepDlg::ConnectControls()
{
    connect(m_servoOn, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressServoOn);
    connect(m_servoOff, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressServoOff);
    connect(m_home, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressHome);
    connect(m_start, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressStart);
    connect(m_pause, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressPause);
    connect(m_programReset, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressProgramReset);
    for (JogDirection direction : {JogDirection::kForward, JogDirection::kReverse}) {
        CJogButton *jog = m_jog[DirectionSlot(direction)];
        connect(jog, &QToolButton::pressed, this, [this, direction] {
            PressJog(direction);
            m_heldButton = static_cast<int>(DirectionSlot(direction));
        });
        connect(jog, &QToolButton::released, this, [this, direction] { ReleaseJog(direction); });
        connect(jog, &CJogButton::lost, this, [this] { EndJog(); });
        connect(m_feedButtons[DirectionSlot(direction)], &QToolButton::clicked, this,
                [this, direction] { PressFeed(direction); });
    }
    connect(m_jogUp, &QToolButton::clicked, this, [this] { PressSpinJog(1); });
    connect(m_jogDown, &QToolButton::clicked, this, [this] { PressSpinJog(-1); });
    connect(m_feedUp, &QToolButton::clicked, this, [this] { PressSpinFeed(1); });
    connect(m_feedDown, &QToolButton::clicked, this, [this] { PressSpinFeed(-1); });
    connect(m_jogSpeed, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_model->SetJogSpeedBox(text.toStdString()); });
    connect(m_feed, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_model->SetFeedBox(text.toStdString()); });
    connect(m_feed, &QLineEdit::editingFinished, this, [this] {
        m_model->LeaveFeedBox();
        RefreshView();
    });
    for (size_t i = 0; i < m_targets.size(); ++i) {
        connect(m_targets[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_model->SetTarget(kTargets[i]);
        });
    }
    connect(m_modes[0], &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_model->SetMode(TeachMode::kAbs);
    });
    connect(m_modes[1], &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_model->SetMode(TeachMode::kInc);
    });
    connect(m_teach, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressTeach);
    connect(m_zero, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressCoordinateReset);
    connect(m_fullView, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressFullView);
    connect(m_shortViewButton, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressShortView);
    connect(m_back, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressReturn);
    connect(m_help, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressHelp);
    connect(m_monitor, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressMonitor);
    connect(m_wave, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressWave);
    connect(m_tuning, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressTuning);
    connect(m_param, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressParam);
    connect(m_version, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressVersion);
    // The step-number cell selects its whole row (columns 1 to 16), the selection GET takes.
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.column() == kColStep)
            SelectGridRow(index.row() + 1);
    });
}

// --- view

void CKVL_VER2_ProgStepDlg::RefreshView()
{
    RefreshBoxes();
    RefreshStatus();
    RefreshControls();
    RefreshColumns();
    RefreshType5Picture();
    m_gridModel->Refresh();
}

QString CKVL_VER2_ProgStepDlg::Type5PictureName(int language)
{
    switch (language) {
    case CAppSettings::kLanguageJapanese:
        return QStringLiteral("type5_ja");
    case CAppSettings::kLanguageEnglish:
        return QStringLiteral("type5_en");
    default:
        return QStringLiteral("type5_zh");
    }
}

void CKVL_VER2_ProgStepDlg::RefreshType5Picture()
{
    const bool shown = m_model->OperationType() == kType5;
    if (shown) {
        const QString name = Type5PictureName(m_context.Values().language);
        if (m_type5Picture->property("picture").toString() != name) {
            m_type5Picture->setPixmap(CSvgPicture::Render(name, kType5PictureSize));
            m_type5Picture->setProperty("picture", name);
        }
    }
    m_type5Picture->setVisible(shown);
}

QString CKVL_VER2_ProgStepDlg::AxisTag() const
{
    if (m_model->Offline())
        return QString();
    const std::string name = m_context.Settings().Texts().DeviceText(m_model->Identity().name).ToUtf8();
    QString tag = QStringLiteral(" - ") + QString::fromStdString(m_model->AxisText());
    if (!name.empty())
        tag += QLatin1Char(' ') + QString::fromStdString(name);
    return tag;
}

void CKVL_VER2_ProgStepDlg::RefreshBoxes()
{
    const AxisIdentity &identity = m_model->Identity();
    const CLanguageTexts &texts = m_context.Settings().Texts();
    m_axisBox->setText(QString::fromStdString(m_model->AxisText()));
    m_nameBox->setText(QString::fromStdString(texts.DeviceText(identity.name).ToUtf8()));
    if (AxisTag() != m_titleTag)
        ApplyTexts(); // the name changed: so does the title
    m_modelBox->setText(QString::fromStdString(identity.model));
    m_typeBox->setText(QString::fromStdString(m_model->TypeText()));
    m_versionBox->setText(QString::fromStdString(m_model->VersionText()));
    m_descriptionBox->setText(CWindowTexts::Text(texts, m_model->DescriptionKey(), kSection));
    m_descriptionBox->setCursorPosition(0);
    if (!m_jogSpeed->hasFocus())
        m_jogSpeed->setText(QString::fromStdString(m_model->JogSpeedBox()));
    if (!m_feed->hasFocus())
        m_feed->setText(QString::fromStdString(m_model->FeedBox()));
    const QString notRead = QString::fromStdString(m_model->ParametersNotReadText());
    m_notReadLine->setText(notRead);
    m_notReadLine->setToolTip(QString::fromStdString(m_model->ParametersNotReadList()));
    m_notReadLine->setVisible(!notRead.isEmpty());
}

void CKVL_VER2_ProgStepDlg::RefreshStatus()
{
    const auto lit = [](bool on) { return on ? CLampWidget::State::kOn : CLampWidget::State::kOff; };
    m_lamps[static_cast<size_t>(Lamp::kServo)]->SetState(lit(m_model->ServoLamp()));
    m_lamps[static_cast<size_t>(Lamp::kHome)]->SetState(lit(m_model->HomeLamp()));
    m_lamps[static_cast<size_t>(Lamp::kAuto)]->SetState(lit(m_model->AutoLamp()));
    m_lamps[static_cast<size_t>(Lamp::kManual)]->SetState(lit(m_model->ManualLamp()));

    const CLanguageTexts &texts = m_context.Settings().Texts();
    switch (m_model->Alarm()) {
    case CAxisWindowModel::AlarmBox::kNormal:
        m_alarm->setText(QStringLiteral("Normal"));
        SetBackground(m_alarm, kAlarmNormal);
        break;
    case CAxisWindowModel::AlarmBox::kPause:
        m_alarm->setText(QStringLiteral("Pause"));
        SetBackground(m_alarm, kAlarmPause);
        break;
    case CAxisWindowModel::AlarmBox::kAbnormal:
        m_alarm->setText(QStringLiteral("Unormal"));
        SetBackground(m_alarm, kAlarmAbnormal);
        break;
    case CAxisWindowModel::AlarmBox::kSilent:
        m_alarm->setText(CWindowTexts::Text(texts, kNoAnswerKey, kCommon, QString::fromLatin1(kNoAnswerBuiltIn)));
        SetBackground(m_alarm, kAlarmSilent);
        break;
    }
    if (m_model->Silent() && m_model->Alarm() != CAxisWindowModel::AlarmBox::kSilent) {
        m_alarm->setText(CWindowTexts::Text(texts, kNoAnswerKey, kCommon, QString::fromLatin1(kNoAnswerBuiltIn)));
        SetBackground(m_alarm, kAlarmSilent);
    }
    m_abs->setText(QString::fromStdString(m_model->AbsText()));
    m_inc->setText(QString::fromStdString(m_model->IncText()));
}

void CKVL_VER2_ProgStepDlg::RefreshControls()
{
    const CAxisWindowModel::Controls c = m_model->ControlStates();
    m_servoOn->setEnabled(c.servoOn);
    m_servoOff->setEnabled(c.servoOff);
    // A held jog button stays usable so that its release reaches it.
    for (size_t d = 0; d < m_jog.size(); ++d) {
        m_jog[d]->setEnabled(c.jog || m_jog[d]->isDown());
        m_feedButtons[d]->setEnabled(c.feed);
    }
    m_home->setEnabled(c.home);
    m_start->setEnabled(c.start);
    m_pause->setEnabled(c.pause);
    m_programReset->setEnabled(c.programReset);
    m_jogSpeed->setEnabled(c.jogBox);
    m_feed->setEnabled(c.feedBox);
    for (QToolButton *spin : {m_jogUp, m_jogDown, m_feedUp, m_feedDown})
        spin->setEnabled(c.spins);
    m_teach->setEnabled(c.teach);
    m_fullView->setEnabled(c.views);
    m_shortViewButton->setEnabled(c.views);
    m_back->setEnabled(c.back);
    m_monitor->setEnabled(c.monitor);
    m_param->setEnabled(c.param);
    m_zero->setEnabled(c.coordinateReset);
    m_read->setEnabled(c.read);
    m_write->setEnabled(c.write);
    m_open->setEnabled(c.open);
    m_save->setEnabled(c.save);
    m_print->setEnabled(c.print);
    m_targets[static_cast<size_t>(std::distance(kTargets.begin(),
                                                std::find(kTargets.begin(), kTargets.end(), m_model->Target())))]
        ->setChecked(true);
    m_modes[m_model->Mode() == TeachMode::kAbs ? 0 : 1]->setChecked(true);
}

void CKVL_VER2_ProgStepDlg::RefreshColumns()
{
    for (int k = 0; k < CPointGridModel::kColumnCount; ++k)
        m_grid->setColumnHidden(k, !CPointGridModel::ColumnShown(k, m_model->OperationType(), m_shortView));
}

void CKVL_VER2_ProgStepDlg::RefreshPictures()
{
    const bool swapped = m_model->DirectionPictureSet() != 0;
    const QString right = QStringLiteral("right"), left = QStringLiteral("left");
    m_jog[0]->SetPicture(QStringLiteral("jog_") + (swapped ? left : right));
    m_jog[1]->SetPicture(QStringLiteral("jog_") + (swapped ? right : left));
    m_feedButtons[0]->SetPicture(QStringLiteral("feed_") + (swapped ? left : right));
    m_feedButtons[1]->SetPicture(QStringLiteral("feed_") + (swapped ? right : left));
}

// --- timers

QTimer *CKVL_VER2_ProgStepDlg::TimerOf(Timer timer) const
{
    return m_timers[TimerSlot(timer)];
}

bool CKVL_VER2_ProgStepDlg::TimerRunning(Timer timer) const
{
    return TimerOf(timer)->isActive();
}

void CKVL_VER2_ProgStepDlg::StartTimer(Timer timer)
{
    TimerOf(timer)->start(m_model->TimerPeriodMs(timer));
}

void CKVL_VER2_ProgStepDlg::StopTimers()
{
    for (QTimer *timer : m_timers) {
        if (timer)
            timer->stop();
    }
}

void CKVL_VER2_ProgStepDlg::StartPolling(bool withJog)
{
    if (m_model->Offline())
        return;
    for (Timer timer : kTimers) {
        if ((timer != Timer::kJog || withJog) && !TimerRunning(timer))
            StartTimer(timer);
    }
}

void CKVL_VER2_ProgStepDlg::OnTimer(Timer timer)
{
    TimerOf(timer)->stop();
    // A jog button whose hold went away without a release (the grab went elsewhere).
    if (timer == Timer::kJog && m_heldButton >= 0 && m_jog[static_cast<size_t>(m_heldButton)]->HoldLost()) {
        EndJog();
        return;
    }
    const CAxisWindowModel::Tick tick = m_model->OnTick(timer);
    switch (tick) {
    case CAxisWindowModel::Tick::kStopAll:
        StopTimers();
        break;
    case CAxisWindowModel::Tick::kIdle:
    case CAxisWindowModel::Tick::kRestart:
        StartTimer(timer);
        break;
    }
    // An idle tick (polling paused by a transfer) read nothing: the view stays as it is.
    if (tick != CAxisWindowModel::Tick::kIdle)
        RefreshView();
}

template <class Operation>
void CKVL_VER2_ProgStepDlg::WithStatusTimerPaused(Operation operation)
{
    const bool wasRunning = TimerRunning(Timer::kStatus);
    TimerOf(Timer::kStatus)->stop();
    operation();
    if (wasRunning || (isVisible() && !m_model->Offline()))
        StartTimer(Timer::kStatus);
    RefreshView();
}

// --- show, hide, activate, close

void CKVL_VER2_ProgStepDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    StartPolling(true);
}

void CKVL_VER2_ProgStepDlg::hideEvent(QHideEvent *event)
{
    EndJog();
    StopTimers();
    QDialog::hideEvent(event);
}

void CKVL_VER2_ProgStepDlg::closeEvent(QCloseEvent *event)
{
    EndJog();
    if (!CUnkeptEdits::Ask(this, m_context.Settings().Texts(), *this) || (m_closeCheck && !m_closeCheck())) {
        event->ignore();
        return;
    }
    StopTimers();
    if (m_model->Offline())
        Q_EMIT offlineClosed();
    QDialog::closeEvent(event);
}

QStringList CKVL_VER2_ProgStepDlg::UnkeptEdits() const
{
    if (!m_model->Table().HasUnkeptEdits())
        return {};
    const CLanguageTexts &texts = m_context.Settings().Texts();
    if (m_model->Offline())
        return {CUnkeptEdits::Text(texts, "IDS_UNKEPT_POINTS_OFFLINE", "The offline point table")};
    return {CUnkeptEdits::Text(texts, "IDS_UNKEPT_POINTS", "The point table of axis %1")
                .arg(QString::fromStdString(m_model->AxisText()))};
}

bool CKVL_VER2_ProgStepDlg::SaveUnkeptEdits(const QString &)
{
    return m_actions->Save();
}

void CKVL_VER2_ProgStepDlg::LetUnkeptEditsGo(const QString &)
{
    m_model->Table().KeepEdits(true);
}

void CKVL_VER2_ProgStepDlg::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            m_model->Activate();
            StartPolling(false);
        } else {
            EndJog();
        }
    }
    QDialog::changeEvent(event);
}

// --- manual operation

void CKVL_VER2_ProgStepDlg::EndJog()
{
    m_heldButton = -1;
    if (!m_model)
        return;
    const bool jogging = m_model->Jogging();
    m_model->EndJog();
    TimerOf(Timer::kJog)->stop();
    for (CJogButton *jog : m_jog) {
        if (jog && jog->isDown())
            jog->setDown(false);
    }
    if (jogging && m_gridModel)
        RefreshView();
}

void CKVL_VER2_ProgStepDlg::PressServoOn()
{
    WithStatusTimerPaused([this] { m_model->ServoOn(); });
}

void CKVL_VER2_ProgStepDlg::PressServoOff()
{
    WithStatusTimerPaused([this] { m_model->ServoOff(); });
}

void CKVL_VER2_ProgStepDlg::PressHome()
{
    m_model->HomeStart();
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::PressStart()
{
    WithStatusTimerPaused([this] { m_model->ProgramStart(); });
}

void CKVL_VER2_ProgStepDlg::PressPause()
{
    WithStatusTimerPaused([this] { m_model->ProgramPause(); });
}

void CKVL_VER2_ProgStepDlg::PressProgramReset()
{
    m_model->ProgramReset();
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::PressJog(JogDirection direction)
{
    TimerOf(Timer::kJog)->stop();
    m_model->SetJogSpeedBox(m_jogSpeed->text().toStdString());
    m_model->JogPress(direction);
    if (!m_model->Offline())
        StartTimer(Timer::kJog);
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::ReleaseJog(JogDirection direction)
{
    m_heldButton = -1;
    TimerOf(Timer::kJog)->stop();
    m_model->JogRelease(direction);
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::PressFeed(JogDirection direction)
{
    m_model->SetJogSpeedBox(m_jogSpeed->text().toStdString());
    m_model->SetFeedBox(m_feed->text().toStdString());
    m_model->Feed(direction);
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::PressSpinJog(int steps)
{
    m_model->SetJogSpeedBox(m_jogSpeed->text().toStdString());
    m_model->SpinJogSpeed(steps);
    m_jogSpeed->setText(QString::fromStdString(m_model->JogSpeedBox()));
}

void CKVL_VER2_ProgStepDlg::PressSpinFeed(int steps)
{
    m_model->SetFeedBox(m_feed->text().toStdString());
    m_model->SpinFeed(steps);
    m_feed->setText(QString::fromStdString(m_model->FeedBox()));
}

CJogButton *CKVL_VER2_ProgStepDlg::JogButton(JogDirection direction) const
{
    return m_jog[DirectionSlot(direction)];
}

CPictureButton *CKVL_VER2_ProgStepDlg::FeedButton(JogDirection direction) const
{
    return m_feedButtons[DirectionSlot(direction)];
}

QRadioButton *CKVL_VER2_ProgStepDlg::TargetButton(TeachTarget target) const
{
    const auto it = std::find(kTargets.begin(), kTargets.end(), target);
    return m_targets[static_cast<size_t>(std::distance(kTargets.begin(), it))];
}

QRadioButton *CKVL_VER2_ProgStepDlg::ModeButton(TeachMode mode) const
{
    return m_modes[mode == TeachMode::kAbs ? 0 : 1];
}

// --- teach and the grid's selection

void CKVL_VER2_ProgStepDlg::SelectGridRow(int row)
{
    if (row < 1 || row > m_gridModel->rowCount())
        return;
    const QItemSelection selection(m_gridModel->index(row - 1, kColMode), m_gridModel->index(row - 1, kColComment));
    m_grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_grid->selectionModel()->setCurrentIndex(m_gridModel->index(row - 1, kColStep), QItemSelectionModel::NoUpdate);
    m_grid->scrollTo(m_gridModel->index(row - 1, kColStep));
}

int CKVL_VER2_ProgStepDlg::SelectedWholeRow() const
{
    const QModelIndexList cells = m_grid->selectionModel()->selectedIndexes();
    int row = -1;
    for (const QModelIndex &cell : cells) {
        if (row >= 0 && cell.row() != row)
            return 0;
        row = cell.row();
    }
    if (row < 0)
        return 0;
    for (int k = kColMode; k <= kColComment; ++k) {
        if (!m_grid->selectionModel()->isSelected(m_gridModel->index(row, k)))
            return 0;
    }
    return row + 1;
}

void CKVL_VER2_ProgStepDlg::PressTeach()
{
    const int row = SelectedWholeRow();
    m_gridEditor->RecordChange();
    const int next = m_model->Teach(row, row > 0);
    RefreshView();
    if (row > 0 && next != row)
        SelectGridRow(next);
}

void CKVL_VER2_ProgStepDlg::PressCoordinateReset()
{
    TimerOf(Timer::kMotion)->stop();
    m_model->ResetCoordinate();
    if (isVisible() && !m_model->Offline())
        StartTimer(Timer::kMotion);
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::PressFullView()
{
    m_shortView = false;
    RefreshColumns();
}

void CKVL_VER2_ProgStepDlg::PressShortView()
{
    m_shortView = true;
    RefreshColumns();
}

void CKVL_VER2_ProgStepDlg::OperationTypeChanged(bool clearController)
{
    m_model->OperationTypeChanged(clearController);
    m_gridEditor->TableReplaced();
    RefreshView();
    Q_EMIT operationTypeChanged(m_model->Identity().axis, m_model->OperationType(), clearController);
}

void CKVL_VER2_ProgStepDlg::Parameter5Changed()
{
    m_model->Parameter5Changed();
    RefreshPictures();
}

// --- menu

void CKVL_VER2_ProgStepDlg::PressReturn()
{
    if (const std::optional<std::string> message = m_model->ServiceReturnMessage()) {
        const CLanguageTexts &texts = m_context.Settings().Texts();
        CMsgDlg::Show(this, CWindowTexts::Text(texts, "IDS_WARN_TITLE", kCommon, CMsgDlg::DefaultTitle()),
                      QString::fromStdString(*message));
        return;
    }
    hide();
    Q_EMIT returned(m_model->Identity().axis);
}

void CKVL_VER2_ProgStepDlg::PressHelp()
{
    m_context.ShowHelp(QStringLiteral("axis"));
}

void CKVL_VER2_ProgStepDlg::PressMonitor()
{
    Q_EMIT monitorRequested(m_model->Identity().axis);
}

void CKVL_VER2_ProgStepDlg::PressWave()
{
    Q_EMIT waveRequested(m_model->Identity().axis);
}

void CKVL_VER2_ProgStepDlg::PressParam()
{
    Q_EMIT paramRequested(m_model->Identity().axis);
}

void CKVL_VER2_ProgStepDlg::PressTuning()
{
    Q_EMIT tuningRequested(m_model->Identity().axis);
}

void CKVL_VER2_ProgStepDlg::PressVersion()
{
    const AxisIdentity &identity = m_model->Identity();
    const CConfirmModel::Request request{identity.axis, identity.offline, identity.model, identity.version};
    const int axis = identity.axis;
    CConfirm::Open(m_context, request, this, nullptr,
                   [this, axis](int level) { Q_EMIT accessLevelChanged(axis, level); });
}

} // namespace kvl::points
