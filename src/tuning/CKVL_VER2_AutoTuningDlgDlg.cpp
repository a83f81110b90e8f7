#include "tuning/CKVL_VER2_AutoTuningDlgDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QThread>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <algorithm>

#include "common/CCellEdit.h"
#include "common/CHelpKey.h"
#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "protocol/CServoCommands.h"
#include "tuning/CTuningResultTable.h"

namespace kvl::tuning {

namespace {

using Field = CTuningFields::Field;
using Colour = CAutoTuningModel::Colour;

constexpr char kAxisSection[] = "IDD_KVL_VER2_PROGSTEP_DIALOG";

QColor QColorOf(Colour colour)
{
    switch (colour) {
    case Colour::kYellow:
        return {255, 255, 0};
    case Colour::kGreen:
        return {0, 255, 0};
    case Colour::kRed:
        return {255, 0, 0};
    case Colour::kCyan:
        return {0, 255, 255};
    case Colour::kWhite:
        break;
    }
    return {255, 255, 255};
}

void Paint(QLabel *label, const QString &text, Colour colour)
{
    label->setText(text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColorOf(colour));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

void SetTextKeepingCursor(QLineEdit *edit, const std::string &text)
{
    const QString value = QString::fromStdString(text);
    if (edit->text() != value)
        edit->setText(value);
}

} // namespace

CKVL_VER2_AutoTuningDlgDlg::CKVL_VER2_AutoTuningDlgDlg(CWindowContext &context, AxisInfo info,
                                                       CAutoTuningModel::AxisLink axisLink, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("autoTuningWindow"));
    m_model = std::make_unique<CAutoTuningModel>(context.Commands(), context.Settings().Texts(), info.axis,
                                                 info.model, info.operationType, info.offline,
                                                 std::move(axisLink), MakeHooks());
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &CKVL_VER2_AutoTuningDlgDlg::PollNow);
    BuildLayout();
    CHelpKey::Install(this, context, QStringLiteral("tuning"));
    m_step->SetLimits(0, m_model->StepCount() - 1);
    m_model->Open();
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
    // A run never outlives the program.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_model->StopRun(); });
}

CKVL_VER2_AutoTuningDlgDlg::~CKVL_VER2_AutoTuningDlgDlg()
{
    m_model->StopRun();
}

CAutoTuningModel::Hooks CKVL_VER2_AutoTuningDlgDlg::MakeHooks()
{
    CAutoTuningModel::Hooks hooks;
    hooks.changed = [this] {
        if (m_table)
            RefreshView();
    };
    hooks.message = [this](const std::string &text) {
        CMsgDlg::Show(this, QString(), QString::fromStdString(text));
    };
    hooks.ask = [this](const std::string &text) {
        return CMsgDlg::Show(this, QString(), QString::fromStdString(text), true);
    };
    hooks.wait = [this](int ms) {
        if (isVisible())
            repaint();
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    return hooks;
}

void CKVL_VER2_AutoTuningDlgDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const auto field = [this](Field f) { return m_fieldLabels[static_cast<size_t>(f)]; };
    CWindowTexts::Apply(
        texts,
        {{this, kSection, kSection, "Auto Tuning"},
         {m_tuningGroup, "IDC_ST_AUTO_TUNING", kSection, "Auto tuning"},
         {m_quality, "IDC_TUNING_QUALITY_USE", kSection, "Use load estimation"},
         {field(Field::kStroke), "IDC_STATIC_TUNING_STROKE", kSection, "Stroke"},
         {field(Field::kAcceleration), "IDC_STATIC_TUNING_ACCELERATION", kSection, "Acceleration"},
         {field(Field::kLoadInertia), "IDC_STATIC_TUNING_LOAD_INERTIA_RATIO", kSection, "Load inertia ratio"},
         {field(Field::kSettlingTime), "IDC_STATIC_TARGET_SETTING_TIME", kSection, "Target settling time"},
         {m_directionGroup, "IDC_ST_MOVE_DIR", kSection, "Direction"},
         {m_motorSide, "IDC_RADIO_MOTOR", kSection, "Motor side"},
         {m_antiMotorSide, "IDC_RADIO_ANTI_MOTOR", kSection, "Far side"},
         {m_patternGroup, "IDC_ST_DRIVE_PATTERN", kSection, "Drive pattern"},
         {m_stepLabel, "IDC_STATIC_STEP_NO", kSection, "Step number"},
         {m_stiffnessLabel, "IDC_STATIC_GWXING_STIFFNESS_LEVEL", kSection, "Stiffness level"},
         {m_parameterGroup, "IDC_ST_PARAMETER", kSection, "Parameters"},
         {m_start, "IDC_START", kSection, "Start"},
         {m_stop, "IDC_STOP", kSection, "Stop"},
         {m_read, "IDC_READ", kSection, "Read"},
         {m_write, "IDC_WRITE", kSection, "Write"},
         {m_statusGroup, "IDC_ST_STATUS", kSection, "Driver state"},
         {m_qualityFrame, "IDC_ST_QUALITY_ESTIMATION", kSection, "Load estimation"},
         {m_tuningFrame, "IDC_ST_AUTO", kSection, "Auto tuning"},
         {m_qualityStateTitle, "IDC_STATIC_QUALITY_ESTIMATION2", kSection, "Estimation state"},
         {m_tuningStateTitle, "IDC_STATIC_AUTO_TUNE", kSection, "Tuning state"},
         {m_reset, "IDC_BT_RESET", kSection, "Alarm reset"},
         {m_clear, "IDC_CLEAR", kSection, "Clear results"},
         {m_copy, "IDC_COPY_RESULTS", kSection, "Copy results"},
         {m_resultGroup, "IDC_ST_TUNING_RESULT", kSection, "Tuning results"},
         {m_servoGroup, "IDC_SERVER", kAxisSection, "Servo"},
         {m_servoOn, "IDC_SERVO_ON", kAxisSection, "Servo ON"},
         {m_servoOff, "IDC_SERVO_OFF", kAxisSection, "Servo OFF"}},
        [this](const QString &title) { return m_context.DecorateTitle(title); });
    std::vector<QString> rows;
    for (const std::string &row : m_model->RowHeadings())
        rows.push_back(QString::fromStdString(row));
    const QString group = CWindowTexts::Text(texts, "IDS_TABLE_ROW12_TITLE", kSection) +
                          CWindowTexts::Text(texts, "IDS_TABLE_ROW13_TITLE", kSection);
    m_table->SetHeadings(CWindowTexts::Text(texts, "IDS_TABLE_TITLE", kSection), rows, group);
    FitHeadingColumns(rows, group);
    RefreshView();
}

void CKVL_VER2_AutoTuningDlgDlg::FitHeadingColumns(const std::vector<QString> &rows, const QString &group)
{
    // The spanning row headings do not size their columns: the two heading columns are sized here
    // so that the longest heading of the language fits.
    constexpr int kPadding = 12;
    const QFontMetrics metrics = m_results->fontMetrics();
    const size_t firstGrouped = rows.size() >= CTuningResultTable::kGroupedRows
                                    ? rows.size() - CTuningResultTable::kGroupedRows
                                    : 0;
    int grouped = 0;
    int spanning = 0;
    for (size_t row = 0; row < rows.size(); ++row) {
        int &widest = row >= firstGrouped ? grouped : spanning;
        widest = std::max(widest, metrics.horizontalAdvance(rows[row]) + kPadding);
    }
    const int first = std::max(metrics.horizontalAdvance(group) + kPadding, spanning - grouped);
    m_results->horizontalHeader()->resizeSection(0, first);
    m_results->horizontalHeader()->resizeSection(1, grouped);
}

void CKVL_VER2_AutoTuningDlgDlg::RefreshView()
{
    RefreshFields();
    RefreshStates();
    RefreshControls();
    const QSignalBlocker block(m_scroll);
    m_scroll->setValue(m_model->Results().ScrollPosition());
    m_table->Refresh();
}

void CKVL_VER2_AutoTuningDlgDlg::RefreshFields()
{
    const CTuningFields &fields = m_model->Fields();
    for (int i = 0; i < CTuningFields::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        CCellEdit *edit = m_fields[static_cast<size_t>(i)];
        SetTextKeepingCursor(edit, fields.Text(field));
        edit->SetColours(fields.Red(field) ? QColor(255, 0, 0) : QColor(0, 0, 0), QColor(255, 255, 255));
    }
    SetTextKeepingCursor(m_step, m_model->StepText());
    const QSignalBlocker blockSlider(m_stiffness);
    m_stiffness->setValue(fields.Stiffness());
    const QSignalBlocker blockQuality(m_quality);
    m_quality->setChecked(m_model->QualityOn());
    const bool motor = m_model->MoveDirection() == CAutoTuningModel::Direction::kMotor;
    const QSignalBlocker blockMotor(m_motorSide);
    const QSignalBlocker blockAnti(m_antiMotorSide);
    m_motorSide->setChecked(motor);
    m_antiMotorSide->setChecked(!motor);
}

void CKVL_VER2_AutoTuningDlgDlg::RefreshStates()
{
    const int tuning = m_model->TuningState();
    const int quality = m_model->QualityState();
    if (tuning != CAutoTuningModel::kStateUnknown)
        Paint(m_tuningState, QString::fromStdString(m_model->TuningStateText()), CAutoTuningModel::StateColour(tuning));
    if (quality != CAutoTuningModel::kStateUnknown)
        Paint(m_qualityState, QString::fromStdString(m_model->QualityStateText()), CAutoTuningModel::StateColour(quality));
    Paint(m_driverStatus, QString::fromStdString(m_model->DriverStatusText()), m_model->DriverStatusColour());
}

void CKVL_VER2_AutoTuningDlgDlg::RefreshControls()
{
    const CAutoTuningModel::Controls controls = m_model->ControlStates();
    m_start->setEnabled(controls.start);
    m_stop->setEnabled(controls.stop);
    m_read->setEnabled(controls.read);
    m_write->setEnabled(controls.write);
    m_step->setEnabled(controls.stepField);
    FieldEdit(Field::kSettlingTime)->setEnabled(controls.settlingField);
    m_servoOn->setEnabled(controls.servoOn);
    m_servoOff->setEnabled(controls.servoOff);
    for (Field field : {Field::kStroke, Field::kAcceleration}) {
        FieldEdit(field)->setVisible(controls.strokeGroupVisible);
        m_fieldLabels[static_cast<size_t>(field)]->setVisible(controls.strokeGroupVisible);
        FieldEdit(field)->setReadOnly(true);
    }
    m_directionGroup->setVisible(controls.strokeGroupVisible);
    m_qualityFrame->setVisible(controls.strokeGroupVisible);
    FieldEdit(Field::kLoadInertia)->setReadOnly(!controls.loadInertiaEditable);
}

void CKVL_VER2_AutoTuningDlgDlg::FieldEdited(Field field)
{
    m_model->Fields().Edit(field, FieldEdit(field)->text().toStdString());
    RefreshFields();
}

bool CKVL_VER2_AutoTuningDlgDlg::Polling() const
{
    return m_timer->isActive();
}

void CKVL_VER2_AutoTuningDlgDlg::RestartPoll()
{
    if (m_model->Polls() && isVisible())
        m_timer->start(CAutoTuningModel::kPollPeriodMs);
}

void CKVL_VER2_AutoTuningDlgDlg::StopPoll()
{
    m_timer->stop();
}

void CKVL_VER2_AutoTuningDlgDlg::PollNow()
{
    StopPoll();
    m_model->Poll();
    Q_EMIT servoChanged();
    RestartPoll();
}

void CKVL_VER2_AutoTuningDlgDlg::PressStart()
{
    m_model->SetStepText(m_step->text().toStdString());
    m_model->Start();
    RestartPoll();
}

void CKVL_VER2_AutoTuningDlgDlg::PressStop()
{
    StopPoll();
    m_model->Stop();
    RestartPoll();
}

void CKVL_VER2_AutoTuningDlgDlg::PressReset()
{
    m_model->Reset();
}

void CKVL_VER2_AutoTuningDlgDlg::PressServoOn()
{
    const bool polling = Polling();
    StopPoll();
    m_model->ServoOn();
    Q_EMIT servoChanged();
    if (polling)
        RestartPoll();
}

void CKVL_VER2_AutoTuningDlgDlg::PressServoOff()
{
    const bool polling = Polling();
    StopPoll();
    m_model->ServoOff();
    Q_EMIT servoChanged();
    if (polling)
        RestartPoll();
}

void CKVL_VER2_AutoTuningDlgDlg::PressRead()
{
    m_model->Read();
}

void CKVL_VER2_AutoTuningDlgDlg::PressWrite()
{
    for (int i = 0; i < CTuningFields::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const std::string text = FieldEdit(field)->text().toStdString();
        if (text != m_model->Fields().Text(field))
            m_model->Fields().Edit(field, text);
    }
    m_model->Write();
    Q_EMIT servoChanged();
}

void CKVL_VER2_AutoTuningDlgDlg::PressClear()
{
    m_model->ClearResults();
}

void CKVL_VER2_AutoTuningDlgDlg::PressCopy()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const std::string corner = CWindowTexts::Text(texts, "IDS_TABLE_TITLE", kSection).toStdString();
    QApplication::clipboard()->setText(QString::fromStdString(m_model->Results().Tsv(corner, m_model->RowHeadings())));
}

void CKVL_VER2_AutoTuningDlgDlg::PressStiffnessLower()
{
    m_model->Fields().StiffnessLower();
    RefreshFields();
}

void CKVL_VER2_AutoTuningDlgDlg::PressStiffnessHigher()
{
    m_model->Fields().StiffnessHigher();
    RefreshFields();
}

void CKVL_VER2_AutoTuningDlgDlg::SetQuality(bool on)
{
    m_model->SetQuality(on);
}

void CKVL_VER2_AutoTuningDlgDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_model->Shown();
    ApplyTexts();
    Q_EMIT parameterListEnabled(false);
    RestartPoll();
}

void CKVL_VER2_AutoTuningDlgDlg::hideEvent(QHideEvent *event)
{
    StopPoll();
    QDialog::hideEvent(event);
}

void CKVL_VER2_AutoTuningDlgDlg::closeEvent(QCloseEvent *event)
{
    // While a state runs the window stays: the run is watched from here.
    if (!m_model->ControlStates().closeAllowed) {
        event->ignore();
        return;
    }
    StopPoll();
    if (m_model->TakeParametersWritten())
        Q_EMIT parametersWrittenOnClose();
    Q_EMIT parameterListEnabled(true);
    event->accept();
}

void CKVL_VER2_AutoTuningDlgDlg::keyPressEvent(QKeyEvent *event)
{
    // Enter and Escape neither press a button nor close the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kvl::tuning
