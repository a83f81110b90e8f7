#include "tuning/CKVL_VER2_AutoTuningDlgDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

#include "common/CCellEdit.h"
#include "tuning/CTuningResultTable.h"

namespace kvl::tuning {

namespace {

using Field = CTuningFields::Field;

constexpr int kFieldMinChars = 9;
constexpr int kStateMinChars = 14;
constexpr int kResultRowsShown = CTuningResults::kRows + 1;

QPushButton *Button(QWidget *parent, const char *name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

CCellEdit *Edit(QWidget *parent, const CTuningFields::Input &input, const char *name)
{
    auto *edit = new CCellEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetType(input.decimal ? CCellEdit::Type::kReal : CCellEdit::Type::kInteger);
    edit->SetAcceptedChars(input.chars);
    edit->SetLimits(input.min, input.max);
    edit->setMaxLength(input.maxLength);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * kFieldMinChars);
    // A cell edit starts hidden (it is made for grids); here it is a field of its own.
    edit->show();
    return edit;
}

QLabel *StateLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('M')) * kStateMinChars);
    return label;
}

} // namespace

void CKVL_VER2_AutoTuningDlgDlg::BuildLayout()
{
    auto *top = new QHBoxLayout;
    top->addWidget(BuildSettings(), 3);
    top->addWidget(BuildStatus(), 2);
    auto *column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(BuildResults(), 1);
    ConnectControls();
}

QWidget *CKVL_VER2_AutoTuningDlgDlg::BuildSettings()
{
    m_tuningGroup = new QGroupBox(this);
    auto *column = new QVBoxLayout(m_tuningGroup);

    m_qualityGroup = new QGroupBox(m_tuningGroup);
    auto *quality = new QGridLayout(m_qualityGroup);
    m_quality = new QCheckBox(m_qualityGroup);
    m_quality->setObjectName(QStringLiteral("qualityToggle"));
    quality->addWidget(m_quality, 0, 0, 1, 2);
    const std::array<const char *, 3> names{"strokeEdit", "accelerationEdit", "loadInertiaEdit"};
    for (int i = 0; i < 3; ++i) {
        const auto field = static_cast<Field>(i);
        m_fieldLabels[static_cast<size_t>(i)] = new QLabel(m_qualityGroup);
        m_fields[static_cast<size_t>(i)] = Edit(m_qualityGroup, CTuningFields::InputOf(field), names[static_cast<size_t>(i)]);
        quality->addWidget(m_fieldLabels[static_cast<size_t>(i)], 1 + i, 0);
        quality->addWidget(m_fields[static_cast<size_t>(i)], 1 + i, 1);
    }
    m_directionGroup = new QGroupBox(m_qualityGroup);
    auto *direction = new QHBoxLayout(m_directionGroup);
    m_motorSide = new QRadioButton(m_directionGroup);
    m_antiMotorSide = new QRadioButton(m_directionGroup);
    m_motorSide->setObjectName(QStringLiteral("motorSide"));
    m_antiMotorSide->setObjectName(QStringLiteral("antiMotorSide"));
    direction->addWidget(m_motorSide);
    direction->addWidget(m_antiMotorSide);
    auto *directions = new QButtonGroup(m_directionGroup);
    directions->addButton(m_motorSide);
    directions->addButton(m_antiMotorSide);
    quality->addWidget(m_directionGroup, 4, 0, 1, 2);
    column->addWidget(m_qualityGroup);

    m_patternGroup = new QGroupBox(m_tuningGroup);
    auto *pattern = new QHBoxLayout(m_patternGroup);
    m_stepLabel = new QLabel(m_patternGroup);
    m_step = Edit(m_patternGroup, {"0123456789", 3, 0, 511, false}, "stepEdit");
    pattern->addWidget(m_stepLabel);
    pattern->addWidget(m_step);
    pattern->addStretch();
    column->addWidget(m_patternGroup);

    m_parameterGroup = new QGroupBox(m_tuningGroup);
    auto *parameters = new QGridLayout(m_parameterGroup);
    const auto settling = static_cast<size_t>(Field::kSettlingTime);
    m_fieldLabels[settling] = new QLabel(m_parameterGroup);
    m_fields[settling] = Edit(m_parameterGroup, CTuningFields::InputOf(Field::kSettlingTime), "settlingTimeEdit");
    parameters->addWidget(m_fieldLabels[settling], 0, 0);
    parameters->addWidget(m_fields[settling], 0, 1, 1, 3);
    m_stiffnessLabel = new QLabel(m_parameterGroup);
    m_lower = Button(m_parameterGroup, "stiffnessLower");
    m_higher = Button(m_parameterGroup, "stiffnessHigher");
    m_lower->setText(QStringLiteral("L"));
    m_higher->setText(QStringLiteral("H"));
    m_stiffness = new QSlider(Qt::Horizontal, m_parameterGroup);
    m_stiffness->setObjectName(QStringLiteral("stiffnessSlider"));
    m_stiffness->setRange(0, CTuningFields::kMaxStiffness);
    m_stiffness->setTickPosition(QSlider::TicksBelow);
    m_stiffness->setPageStep(1);
    parameters->addWidget(m_stiffnessLabel, 1, 0);
    parameters->addWidget(m_lower, 1, 1);
    parameters->addWidget(m_stiffness, 1, 2);
    parameters->addWidget(m_higher, 1, 3);
    parameters->setColumnStretch(2, 1);
    for (QPushButton *button : {m_lower, m_higher})
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("MMM")));
    m_stiffness->setMinimumWidth(m_stiffness->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 8);
    auto *transfer = new QHBoxLayout;
    m_read = Button(m_parameterGroup, "readButton");
    m_write = Button(m_parameterGroup, "writeButton");
    transfer->addStretch();
    transfer->addWidget(m_read);
    transfer->addWidget(m_write);
    parameters->addLayout(transfer, 2, 0, 1, 4);
    column->addWidget(m_parameterGroup);

    auto *run = new QHBoxLayout;
    m_start = Button(m_tuningGroup, "startButton");
    m_stop = Button(m_tuningGroup, "stopButton");
    run->addWidget(m_start);
    run->addWidget(m_stop);
    column->addLayout(run);
    column->addStretch();
    return m_tuningGroup;
}

QWidget *CKVL_VER2_AutoTuningDlgDlg::BuildStatus()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    m_statusGroup = new QGroupBox(panel);
    auto *status = new QVBoxLayout(m_statusGroup);
    m_driverStatus = StateLabel(m_statusGroup, "driverStatus");
    status->addWidget(m_driverStatus);
    m_reset = Button(m_statusGroup, "resetButton");
    status->addWidget(m_reset);
    column->addWidget(m_statusGroup);

    m_qualityFrame = new QGroupBox(panel);
    auto *estimation = new QVBoxLayout(m_qualityFrame);
    m_qualityStateTitle = new QLabel(m_qualityFrame);
    m_qualityState = StateLabel(m_qualityFrame, "qualityState");
    estimation->addWidget(m_qualityStateTitle);
    estimation->addWidget(m_qualityState);
    column->addWidget(m_qualityFrame);

    m_tuningFrame = new QGroupBox(panel);
    auto *tuning = new QVBoxLayout(m_tuningFrame);
    m_tuningStateTitle = new QLabel(m_tuningFrame);
    m_tuningState = StateLabel(m_tuningFrame, "tuningState");
    tuning->addWidget(m_tuningStateTitle);
    tuning->addWidget(m_tuningState);
    column->addWidget(m_tuningFrame);

    m_servoGroup = new QGroupBox(panel);
    auto *servo = new QHBoxLayout(m_servoGroup);
    m_servoOn = Button(m_servoGroup, "servoOnButton");
    m_servoOff = Button(m_servoGroup, "servoOffButton");
    servo->addWidget(m_servoOn);
    servo->addWidget(m_servoOff);
    column->addWidget(m_servoGroup);
    column->addStretch();
    return panel;
}

QWidget *CKVL_VER2_AutoTuningDlgDlg::BuildResults()
{
    m_resultGroup = new QGroupBox(this);
    auto *column = new QVBoxLayout(m_resultGroup);
    m_table = new CTuningResultTable(m_model->Results(), this);
    m_results = new QTableView(m_resultGroup);
    m_results->setObjectName(QStringLiteral("resultView"));
    m_results->setModel(m_table);
    m_results->horizontalHeader()->hide();
    m_results->verticalHeader()->hide();
    m_results->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->verticalHeader()->setDefaultSectionSize(m_results->fontMetrics().height() + 4);
    m_results->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_results->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_results->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    const int lastRows = CTuningResults::kRows - CTuningResultTable::kGroupedRows + 1;
    m_results->setSpan(0, 0, 1, CTuningResultTable::kHeadingColumns);
    for (int row = 1; row < lastRows; ++row)
        m_results->setSpan(row, 0, 1, CTuningResultTable::kHeadingColumns);
    m_results->setSpan(lastRows, 0, CTuningResultTable::kGroupedRows, 1);
    m_results->setMinimumHeight((m_results->fontMetrics().height() + 4) * kResultRowsShown + 4);
    column->addWidget(m_results, 1);
    m_scroll = new QScrollBar(Qt::Horizontal, m_resultGroup);
    m_scroll->setObjectName(QStringLiteral("resultScroll"));
    m_scroll->setRange(0, CTuningResults::kMaxScroll);
    m_scroll->setPageStep(1);
    column->addWidget(m_scroll);
    auto *buttons = new QHBoxLayout;
    m_clear = Button(m_resultGroup, "clearButton");
    m_copy = Button(m_resultGroup, "copyButton");
    buttons->addStretch();
    buttons->addWidget(m_copy);
    buttons->addWidget(m_clear);
    column->addLayout(buttons);
    return m_resultGroup;
}

void CKVL_VER2_AutoTuningDlgDlg::ConnectControls()
{
    connect(m_start, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressStart);
    connect(m_stop, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressStop);
    connect(m_reset, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressReset);
    connect(m_servoOn, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressServoOn);
    connect(m_servoOff, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressServoOff);
    connect(m_read, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressRead);
    connect(m_write, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressWrite);
    connect(m_clear, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressClear);
    connect(m_copy, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressCopy);
    connect(m_lower, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressStiffnessLower);
    connect(m_higher, &QPushButton::clicked, this, &CKVL_VER2_AutoTuningDlgDlg::PressStiffnessHigher);
    connect(m_quality, &QCheckBox::toggled, this, &CKVL_VER2_AutoTuningDlgDlg::SetQuality);
    connect(m_motorSide, &QRadioButton::toggled, this, [this](bool on) {
        m_model->SetMoveDirection(on ? CAutoTuningModel::Direction::kMotor : CAutoTuningModel::Direction::kAntiMotor);
    });
    connect(m_stiffness, &QSlider::valueChanged, this, [this](int level) { m_model->Fields().SetStiffness(level); });
    connect(m_step, &QLineEdit::textEdited, this, [this](const QString &text) { m_model->SetStepText(text.toStdString()); });
    for (int i = 0; i < CTuningFields::kFieldCount; ++i)
        connect(m_fields[static_cast<size_t>(i)], &QLineEdit::textEdited, this,
                [this, i] { FieldEdited(static_cast<Field>(i)); });
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int position) {
        m_model->Results().SetScroll(position);
        m_table->Refresh();
    });
}

} // namespace kvl::tuning
