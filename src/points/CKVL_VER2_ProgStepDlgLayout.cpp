// The axis window's widgets and texts: BuildLayout() and ApplyTexts() of CKVL_VER2_ProgStepDlg.
#include "points/CKVL_VER2_ProgStepDlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/CModelTraits.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "points/CPointGridModel.h"
#include "ui/CJogButton.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl::points {

namespace {

constexpr int kMenuIconSide = 20;
constexpr int kJogIconSide = 32;
constexpr int kLampSide = 18;
constexpr int kBoxChars = 9;
constexpr int kVersionButtonSide = 10;
// Fits a 1366 x 768 screen with its task bar and frame.
constexpr int kDefaultWidth = 1260;
constexpr int kDefaultHeight = 680;

// Built-in captions, shown where the language file has no text.
constexpr char kTitle[] = "Point Table";
constexpr char kOfflineTitle[] = "Point Table (offline)";

// Tooltip numbers of the controls ("TOOLTIPS<n>").
enum Tip : int {
    kTipHelp = 1,
    kTipShortView = 20,
    kTipHome = 21,
    kTipReadWrite = 22,
    kTipFiles = 24,
    kTipTeach = 25,
    kTipManual = 26,
    kTipMonitorGroup = 27,
    kTipFullView = 28,
    kTipModeGroup = 29,
    kTipPositionGroup = 50,
    kTipServoOn = 52,
    kTipJog = 53,
    kTipFeed = 54,
    kTipStart = 57,
    kTipPause = 58,
    kTipProgramReset = 59,
    kTipServoOff = 63,
    kTipAlarm = 64,
    kTipReturn = 80,
    kTipMonitor = 81,
    kTipWave = 82,
    kTipParam = 83,
};

CPictureButton *TextButton(QWidget *parent, const char *name)
{
    auto *button = new CPictureButton(QString(), QString(), parent, 0);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

CPictureButton *MenuButton(QWidget *parent, const char *picture, const char *name)
{
    auto *button = new CPictureButton(QString::fromLatin1(picture), QString(), parent, kMenuIconSide);
    button->setToolButtonStyle(picture[0] ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit *ReadOnlyBox(QWidget *parent, const char *name, int chars = kBoxChars)
{
    auto *box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setObjectName(QString::fromLatin1(name));
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * chars);
    return box;
}

QToolButton *SpinButton(QWidget *parent, Qt::ArrowType arrow, const char *name)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRepeat(true);
    return button;
}

// The jog-speed or feed box with its spin buttons and unit: "<name>Box", "<name>SpinUp", ...
struct SpinBoxRow {
    QLineEdit *box = nullptr;
    QToolButton *up = nullptr;
    QToolButton *down = nullptr;
    QLabel *unit = nullptr;
    QHBoxLayout *layout = nullptr;
};

SpinBoxRow BuildSpinBoxRow(QWidget *parent, const QString &name)
{
    SpinBoxRow row;
    row.box = new QLineEdit(parent);
    row.box->setObjectName(name + QStringLiteral("Box"));
    row.box->setMaximumWidth(row.box->fontMetrics().averageCharWidth() * kBoxChars);
    row.up = SpinButton(parent, Qt::UpArrow, (name + QStringLiteral("SpinUp")).toLatin1().constData());
    row.down = SpinButton(parent, Qt::DownArrow, (name + QStringLiteral("SpinDown")).toLatin1().constData());
    row.unit = new QLabel(parent);
    row.layout = new QHBoxLayout;
    row.layout->addWidget(row.box);
    row.layout->addWidget(row.down);
    row.layout->addWidget(row.up);
    row.layout->addWidget(row.unit, 1);
    return row;
}

} // namespace

void CKVL_VER2_ProgStepDlg::BuildLayout()
{
    auto *side = new QVBoxLayout;
    side->addWidget(BuildMenu());
    auto *sideColumns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(BuildStatus());
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(BuildManual());
    right->addWidget(BuildTeach());
    // The servo and program buttons sit under the manual ones, so that the window stays low.
    right->addWidget(m_servoGroup);
    right->addStretch(1);
    sideColumns->addLayout(left);
    sideColumns->addLayout(right);
    side->addLayout(sideColumns);

    auto *body = new QHBoxLayout;
    body->addWidget(BuildGridArea(), 1);
    body->addLayout(side, 0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BuildIdentity());
    layout->addLayout(body, 1);
    setSizeGripEnabled(true);
    resize(kDefaultWidth, kDefaultHeight);
    ConnectControls();
    ConnectTableActions();
}

QWidget *CKVL_VER2_ProgStepDlg::BuildIdentity()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_version = new CPictureButton(QString(), QString(), box, kVersionButtonSide);
    m_version->setObjectName(QStringLiteral("versionButton"));
    m_version->setFixedSize(kVersionButtonSide * 2, kVersionButtonSide * 2);
    m_axisLabel = new QLabel(QStringLiteral("AXIS"), box);
    m_axisBox = ReadOnlyBox(box, "axisBox", 3);
    m_nameBox = ReadOnlyBox(box, "nameBox", 18);
    m_modelBox = ReadOnlyBox(box, "modelBox", 8);
    m_typeBox = ReadOnlyBox(box, "typeBox", 8);
    m_versionBox = ReadOnlyBox(box, "versionBox", 6);
    m_descriptionBox = ReadOnlyBox(box, "descriptionBox", 40);
    for (QLineEdit *fixed : {m_axisBox, m_nameBox, m_modelBox, m_typeBox, m_versionBox})
        fixed->setMaximumWidth(fixed->minimumWidth());
    m_typePicture = new QLabel(box);
    m_typePicture->setObjectName(QStringLiteral("typePicture"));
    m_typePicture->setVisible(false);
    row->addWidget(m_version);
    row->addWidget(m_axisLabel);
    row->addWidget(m_axisBox);
    row->addWidget(m_nameBox);
    row->addWidget(m_modelBox);
    row->addWidget(m_typeBox);
    row->addWidget(m_versionBox);
    row->addWidget(m_descriptionBox, 1);
    row->addWidget(m_typePicture);
    return box;
}

QWidget *CKVL_VER2_ProgStepDlg::BuildMenu()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    constexpr int kMenuColumns = 3;
    m_monitor = MenuButton(box, "", "monitorButton");
    m_wave = MenuButton(box, "", "waveButton");
    m_param = MenuButton(box, "", "paramButton");
    m_tuning = MenuButton(box, "", "tuningButton");
    m_help = MenuButton(box, "help", "helpButton");
    m_back = MenuButton(box, "", "returnButton");
    int index = 0;
    for (QWidget *button : {m_monitor, m_wave, m_param, m_back, m_tuning, m_help}) {
        grid->addWidget(button, index / kMenuColumns, index % kMenuColumns);
        ++index;
    }
    return box;
}

QWidget *CKVL_VER2_ProgStepDlg::BuildGridArea()
{
    auto *area = new QWidget(this);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    auto *buttons = new QHBoxLayout;
    m_open = TextButton(area, "openButton");
    m_save = TextButton(area, "saveButton");
    m_print = TextButton(area, "printButton");
    m_read = TextButton(area, "readButton");
    m_write = TextButton(area, "writeButton");
    m_fullView = TextButton(area, "fullViewButton");
    m_shortViewButton = TextButton(area, "shortViewButton");
    for (CPictureButton *button : {m_open, m_save, m_print, m_read, m_write})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(m_fullView);
    buttons->addWidget(m_shortViewButton);
    column->addLayout(buttons);
    // Which parameter values did not come from the controller when the window opened.
    m_notReadLine = new QLabel(area);
    m_notReadLine->setObjectName(QStringLiteral("notReadLine"));
    m_notReadLine->setWordWrap(true);
    m_notReadLine->setAutoFillBackground(true);
    QPalette notice = m_notReadLine->palette();
    notice.setColor(QPalette::Window, QColor(255, 255, 160));
    notice.setColor(QPalette::WindowText, Qt::black);
    m_notReadLine->setPalette(notice);
    m_notReadLine->setContentsMargins(4, 2, 4, 2);
    m_notReadLine->hide();
    column->addWidget(m_notReadLine);

    m_grid = new QTableView(area);
    m_grid->setObjectName(QStringLiteral("pointGrid"));
    m_gridModel = new CPointGridModel(m_model->Table(), [this] { return m_model->StartRow(); }, m_grid);
    m_grid->setModel(m_gridModel);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    column->addWidget(m_grid, 1);
    m_type5Picture = new QLabel(area);
    m_type5Picture->setObjectName(QStringLiteral("type5Picture"));
    m_type5Picture->setAlignment(Qt::AlignCenter);
    m_type5Picture->hide();
    column->addWidget(m_type5Picture);
    return area;
}

QWidget *CKVL_VER2_ProgStepDlg::BuildStatus()
{
    auto *box = new QWidget(this);
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);

    m_modeGroup = new QGroupBox(box);
    auto *lamps = new QGridLayout(m_modeGroup);
    for (int i = 0; i < kLampCount; ++i) {
        m_lamps[static_cast<size_t>(i)] = new CLampWidget(m_modeGroup, kLampSide);
        m_lampLabels[static_cast<size_t>(i)] = new QLabel(m_modeGroup);
        // Two lamps a row: servo and home, then automatic and manual.
        lamps->addWidget(m_lamps[static_cast<size_t>(i)], i / 2, (i % 2) * 2);
        lamps->addWidget(m_lampLabels[static_cast<size_t>(i)], i / 2, (i % 2) * 2 + 1);
    }
    lamps->setColumnStretch(1, 1);
    lamps->setColumnStretch(3, 1);

    m_monitorGroup = new QGroupBox(box);
    auto *alarm = new QVBoxLayout(m_monitorGroup);
    m_alarmLabel = new QLabel(m_monitorGroup);
    m_alarm = new QLabel(m_monitorGroup);
    m_alarm->setObjectName(QStringLiteral("alarmBox"));
    m_alarm->setAlignment(Qt::AlignCenter);
    m_alarm->setWordWrap(true);
    m_alarm->setAutoFillBackground(true);
    m_alarm->setFrameShape(QFrame::Panel);
    m_alarm->setFrameShadow(QFrame::Sunken);
    m_alarm->setMinimumHeight(m_alarm->fontMetrics().height() * 2);
    alarm->addWidget(m_alarmLabel);
    alarm->addWidget(m_alarm);

    m_positionGroup = new QGroupBox(box);
    auto *positions = new QGridLayout(m_positionGroup);
    m_absLabel = new QLabel(m_positionGroup);
    m_incLabel = new QLabel(m_positionGroup);
    m_abs = ReadOnlyBox(m_positionGroup, "absBox", 11);
    m_inc = ReadOnlyBox(m_positionGroup, "incBox", 11);
    m_abs->setAlignment(Qt::AlignRight);
    m_inc->setAlignment(Qt::AlignRight);
    m_zero = TextButton(m_positionGroup, "coordinateResetButton");
    positions->addWidget(m_absLabel, 0, 0);
    positions->addWidget(m_abs, 1, 0, 1, 2);
    positions->addWidget(m_incLabel, 2, 0);
    positions->addWidget(m_inc, 3, 0);
    positions->addWidget(m_zero, 3, 1);

    m_servoGroup = new QGroupBox(box);
    auto *servo = new QGridLayout(m_servoGroup);
    m_servoOn = TextButton(m_servoGroup, "servoOnButton");
    m_servoOff = TextButton(m_servoGroup, "servoOffButton");
    m_home = TextButton(m_servoGroup, "homeButton");
    m_start = TextButton(m_servoGroup, "startButton");
    m_pause = TextButton(m_servoGroup, "pauseButton");
    m_programReset = TextButton(m_servoGroup, "programResetButton");
    servo->addWidget(m_servoOn, 0, 0);
    servo->addWidget(m_servoOff, 0, 1);
    servo->addWidget(m_home, 1, 0);
    servo->addWidget(m_programReset, 1, 1);
    servo->addWidget(m_start, 2, 0);
    servo->addWidget(m_pause, 2, 1);

    column->addWidget(m_modeGroup);
    column->addWidget(m_monitorGroup);
    column->addWidget(m_positionGroup);
    return box;
}

QWidget *CKVL_VER2_ProgStepDlg::BuildManual()
{
    m_manualGroup = new QGroupBox(this);
    auto *grid = new QGridLayout(m_manualGroup);
    const char *names[2][2] = {{"jogForwardButton", "jogReverseButton"}, {"feedForwardButton", "feedReverseButton"}};
    for (int d = 0; d < 2; ++d) {
        auto *jog = new CJogButton(QString(), QStringLiteral("JOG"), m_manualGroup, kJogIconSide);
        // A click gives it the focus, so that losing the focus ends a held jog.
        jog->setFocusPolicy(Qt::StrongFocus);
        jog->setObjectName(QString::fromLatin1(names[0][d]));
        m_jog[static_cast<size_t>(d)] = jog;
        auto *feed = new CPictureButton(QString(), QStringLiteral("FEED"), m_manualGroup, kJogIconSide);
        feed->setObjectName(QString::fromLatin1(names[1][d]));
        m_feedButtons[static_cast<size_t>(d)] = feed;
    }
    // Reverse on the left, forward on the right, as the pictures point.
    grid->addWidget(m_jog[1], 0, 0);
    grid->addWidget(m_jog[0], 0, 1);
    const SpinBoxRow jogRow = BuildSpinBoxRow(m_manualGroup, QStringLiteral("jogSpeed"));
    m_jogSpeed = jogRow.box;
    m_jogUp = jogRow.up;
    m_jogDown = jogRow.down;
    m_jogUnit = jogRow.unit;
    grid->addLayout(jogRow.layout, 1, 0, 1, 2);

    grid->addWidget(m_feedButtons[1], 2, 0);
    grid->addWidget(m_feedButtons[0], 2, 1);
    const SpinBoxRow feedRow = BuildSpinBoxRow(m_manualGroup, QStringLiteral("feed"));
    m_feed = feedRow.box;
    m_feedUp = feedRow.up;
    m_feedDown = feedRow.down;
    m_feedUnit = feedRow.unit;
    grid->addLayout(feedRow.layout, 3, 0, 1, 2);
    return m_manualGroup;
}

QWidget *CKVL_VER2_ProgStepDlg::BuildTeach()
{
    m_teachGroup = new QGroupBox(this);
    auto *grid = new QGridLayout(m_teachGroup);
    auto *targets = new QButtonGroup(m_teachGroup);
    const char *targetNames[] = {"targetPosition", "targetAreaA", "targetAreaB"};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(m_teachGroup);
        radio->setObjectName(QString::fromLatin1(targetNames[i]));
        targets->addButton(radio, i);
        grid->addWidget(radio, i, 0);
        m_targets[static_cast<size_t>(i)] = radio;
    }
    auto *modes = new QButtonGroup(m_teachGroup);
    const char *modeNames[] = {"modeAbs", "modeInc"};
    for (int i = 0; i < 2; ++i) {
        auto *radio = new QRadioButton(m_teachGroup);
        radio->setObjectName(QString::fromLatin1(modeNames[i]));
        modes->addButton(radio, i);
        grid->addWidget(radio, i, 1);
        m_modes[static_cast<size_t>(i)] = radio;
    }
    m_teach = TextButton(m_teachGroup, "teachButton");
    grid->addWidget(m_teach, 2, 1);
    return m_teachGroup;
}

QStringList CKVL_VER2_ProgStepDlg::GridCaptions() const
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const bool rotary = CModelTraits::Of(m_model->Identity().model).IsRotary();
    const std::string prefix = rotary ? "GRID_ZMDA_C" : "GRID_C";
    QStringList captions;
    for (int k = 0; k < CPointGridModel::kColumnCount; ++k) {
        const std::string key = prefix + std::to_string(k + 1);
        captions << CWindowTexts::Text(texts, key, kSection, QString::number(k));
    }
    return captions;
}

void CKVL_VER2_ProgStepDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    m_titleTag = AxisTag();
    const bool offline = m_model->Offline();
    const bool rotary = CModelTraits::Of(m_model->Identity().model).IsRotary();
    // Service mode turns Return into the version message (the settings' debug level).
    const bool service = m_model->ServiceReturnMessage().has_value();
    CWindowTexts::Apply(
        texts,
        {{this, offline ? kOfflineTitleKey : kSection, kSection, offline ? kOfflineTitle : kTitle},
         {m_axisLabel, "IDC_STATIC_AXIS", kSection, "AXIS"},
         {m_modeGroup, "IDC_GROUP_STATUS", kSection, "AUTO / MANU"},
         {m_monitorGroup, "IDC_GROUP_ALARM", kSection, "ALARM"},
         {m_positionGroup, "IDC_GROUP_POSITION", kSection, "ABS / INC"},
         {m_manualGroup, "IDC_GROUP_JOG_FEED", kSection, "JOG / FEED"},
         {m_teachGroup, "IDC_GROUP_TEACH", kSection, "TEACH"},
         {m_servoGroup, "IDC_SERVER", kSection, "Servo"},
         {m_servoOn, "IDC_SERVO_ON", kSection, "ON"},
         {m_servoOff, "IDC_SERVO_OFF", kSection, "OFF"},
         {m_home, "IDC_HOME", kSection, "Home"},
         {m_start, "IDC_START", kSection, "Start"},
         {m_pause, "IDC_PAUSE", kSection, "Pause"},
         {m_programReset, "IDC_RESET", kSection, "Reset"},
         {m_jogUnit, rotary ? "IDC_ZMDA_JOG_UNIT" : "IDC_JOG_UNIT", kSection, rotary ? "deg/s" : "mm/s"},
         {m_feedUnit, rotary ? "IDC_ZMDA_FEED_UNIT" : "IDC_FEED_UNIT", kSection, rotary ? "deg" : "mm"},
         {m_targets[0], "IDC_RADIO_POS", kSection, "Position"},
         {m_targets[1], "IDC_RADIO_AREA_A", kSection, "P area A"},
         {m_targets[2], "IDC_RADIO_AREA_B", kSection, "P area B"},
         {m_modes[0], "IDC_CHECK_ABS", kSection, "ABS"},
         {m_modes[1], "IDC_CHECK_INC", kSection, "INC"},
         {m_teach, "IDC_BTN_TEACH", kSection, "GET"},
         {m_lampLabels[0], "IDC_STATIC_SERV_STA", kSection, "Servo ON"},
         {m_lampLabels[1], "IDC_STATIC_HOME_STA", kSection, "Homed"},
         {m_lampLabels[2], "IDC_STATIC_AUTO_STA", kSection, "Auto"},
         {m_lampLabels[3], "IDC_STATIC_MANU_STA", kSection, "Manual"},
         {m_alarmLabel, "IDC_STATIC_ALARM", kSection, "Alarm"},
         {m_absLabel, "IDC_STATIC_ABS", kSection, "ABS position"},
         {m_incLabel, "IDC_STATIC_INC", kSection, "INC position"},
         {m_zero, "IDC_R", kSection, "Zero"},
         {m_help, "IDC_STATIC_HELP", kSection, "Help"},
         {m_back, service ? "IDC_FACTORY" : "IDC_BACK", kSection, service ? "Factory" : "Return"},
         {m_monitor, "IDC_MONITOR", kSection, "Monitor"},
         {m_wave, "IDC_WAVE", kSection, "Wave"},
         {m_param, "IDC_PARAM", kSection, "Param"},
         {m_tuning, "IDC_STATIC_TUNING", kSection, "Tuning"},
         {m_open, "IDC_BTN_OPEN", kSection, "Open"},
         {m_save, "IDC_BTN_SAVE", kSection, "Save"},
         {m_print, "IDC_BTN_PRINT", kSection, "Print"},
         {m_read, "IDC_BTN_READ", kSection, "Read"},
         {m_write, "IDC_BTN_WRITE", kSection, "Write"},
         {m_fullView, "IDC_BUTTON_MODEL_CHANGE_1", kSection, "Full view"},
         {m_shortViewButton, "IDC_BUTTON_MODEL_CHANGE_0", kSection, "Short view"}},
        [this](const QString &title) { return m_context.DecorateTitle(title + m_titleTag); });
    ApplyTooltips();
    ApplyTableTexts();
    m_gridModel->SetCaptions(GridCaptions());
    RefreshView();
}

void CKVL_VER2_ProgStepDlg::ApplyTooltips()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    CWindowTexts::ApplyTooltips(
        texts, {{m_back, kTipReturn},          {m_monitor, kTipMonitor},     {m_wave, kTipWave},
                {m_param, kTipParam},          {m_help, kTipHelp},           {m_fullView, kTipFullView},
                {m_shortViewButton, kTipShortView}, {m_home, kTipHome},      {m_servoOn, kTipServoOn},
                {m_servoOff, kTipServoOff},    {m_start, kTipStart},         {m_pause, kTipPause},
                {m_programReset, kTipProgramReset}, {m_read, kTipReadWrite}, {m_write, kTipReadWrite},
                {m_open, kTipFiles},           {m_save, kTipFiles},          {m_print, kTipFiles},
                {m_teachGroup, kTipTeach},     {m_teach, kTipTeach},         {m_manualGroup, kTipManual},
                {m_jog[0], kTipJog},           {m_jog[1], kTipJog},          {m_feedButtons[0], kTipFeed},
                {m_feedButtons[1], kTipFeed},  {m_monitorGroup, kTipMonitorGroup},
                {m_alarm, kTipAlarm},          {m_alarmLabel, kTipAlarm},    {m_modeGroup, kTipModeGroup},
                {m_positionGroup, kTipPositionGroup}});
}

} // namespace kvl::points
