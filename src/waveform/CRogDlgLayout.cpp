// The waveform window's layout and its texts: the chart, the capture, trigger, scale and zoom
// controls, the series list and its buttons.
#include "waveform/CRogDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "waveform/CWaveChart.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

constexpr int kChartMinWidth = 560;
constexpr int kChartMinHeight = 320;
constexpr int kReadoutMinChars = 22;
constexpr int kFieldChars = 8;
constexpr int kListMinLines = 4;
constexpr int kTriggerWidthCount = 10;
constexpr char kTitle[] = "Waveform Logging";
constexpr char kSamplingCaption[] = "Sampling [0.1 ms]";
constexpr char kTriggerCaption[] = "Trigger";
constexpr char kLevelCaption[] = "Level";
constexpr char kPositionCaption[] = "Position [ms]";
constexpr char kAlignCaption[] = "Align";
constexpr char kAutoScrollCaption[] = "Auto scroll";
constexpr char kScaleCaption[] = "Scale";
constexpr char kLargeCaption[] = "Large";
constexpr char kSmallCaption[] = "Small";
constexpr char kDeleteCaption[] = "Delete";
constexpr char kPropertyCaption[] = "Properties";
constexpr char kSaveCaption[] = "Save";
constexpr char kOpenCaption[] = "Open";
constexpr char kExportCaption[] = "Export image";

QLineEdit *NumberField(QWidget *parent, const QString &name, bool digitsOnly)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaximumWidth(field->fontMetrics().averageCharWidth() * (kFieldChars + 4));
    if (digitsOnly) {
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    } else {
        auto *validator = new QDoubleValidator(field);
        validator->setLocale(QLocale::c());
        field->setValidator(validator);
    }
    return field;
}

QPushButton *Button(QWidget *parent, const QString &name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    // Enter does nothing in this window: no button is a default one.
    button->setAutoDefault(false);
    return button;
}

} // namespace

void CRogDlg::BuildLayout()
{
    m_chart = new CWaveChart(this);
    m_chart->SetModel(m_model.get());
    m_chart->setMinimumSize(kChartMinWidth, kChartMinHeight);
    m_readout = new QLabel(this);
    m_readout->setObjectName(QStringLiteral("readout"));
    m_readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_readout->setMinimumWidth(m_readout->fontMetrics().averageCharWidth() * kReadoutMinChars);
    m_readout->setTextFormat(Qt::PlainText);

    auto *left = new QVBoxLayout;
    auto *chartRow = new QHBoxLayout;
    chartRow->addWidget(m_chart, 1);
    chartRow->addWidget(m_readout);
    left->addLayout(chartRow, 1);
    left->addWidget(BuildList());

    auto *right = new QVBoxLayout;
    right->addWidget(BuildCapture());
    right->addWidget(BuildTrigger());
    right->addWidget(BuildScales());
    right->addWidget(BuildZoom());
    right->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);
}

QWidget *CRogDlg::BuildCapture()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_startStop = Button(box, QStringLiteral("startStop"));
    m_samplingLabel = new QLabel(box);
    m_sampling = NumberField(box, QStringLiteral("sampling"), true);
    m_sampling->setMaxLength(CRogModel::kSamplingMaxChars);
    m_sampling->setText(QString::fromStdString(m_model->SamplingText()));
    m_lost = new QLabel(box);
    m_lost->setObjectName(QStringLiteral("lostSamples"));
    m_lost->setStyleSheet(QStringLiteral("color: #c00000"));
    grid->addWidget(m_startStop, 0, 0, 1, 2);
    grid->addWidget(m_samplingLabel, 1, 0);
    grid->addWidget(m_sampling, 1, 1);
    grid->addWidget(m_lost, 2, 0, 1, 2);
    connect(m_startStop, &QPushButton::clicked, this, &CRogDlg::PressStartStop);
    connect(m_sampling, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_model->SetSamplingText(text.toStdString()); });
    return box;
}

QGroupBox *CRogDlg::BuildTrigger()
{
    m_triggerBox = new QGroupBox(this);
    auto *grid = new QGridLayout(m_triggerBox);
    m_triggerOn = new QCheckBox(m_triggerBox);
    m_triggerOn->setObjectName(QStringLiteral("triggerOn"));
    grid->addWidget(m_triggerOn, 0, 0, 1, 3);
    for (int channel = 0; channel < 2; ++channel) {
        auto *radio = new QRadioButton(QStringLiteral("CH%1").arg(channel), m_triggerBox);
        radio->setObjectName(QStringLiteral("triggerChannel%1").arg(channel));
        grid->addWidget(radio, 1, channel);
        connect(radio, &QRadioButton::clicked, this, [this, channel] { TriggerChannelChosen(channel); });
        m_triggerChannel[static_cast<size_t>(channel)] = radio;
    }
    // The channel and direction radios are two groups of their own.
    auto *directions = new QWidget(m_triggerBox);
    auto *directionRow = new QHBoxLayout(directions);
    directionRow->setContentsMargins(0, 0, 0, 0);
    const std::array<QString, 2> signs = {QStringLiteral("+"), QStringLiteral("-")};
    for (int direction = 0; direction < 2; ++direction) {
        auto *radio = new QRadioButton(signs[static_cast<size_t>(direction)], directions);
        radio->setObjectName(QStringLiteral("triggerDirection%1").arg(direction));
        directionRow->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, &CRogDlg::TriggerEdited);
        m_direction[static_cast<size_t>(direction)] = radio;
    }
    grid->addWidget(directions, 1, 2);
    m_levelLabel = new QLabel(m_triggerBox);
    m_level = NumberField(m_triggerBox, QStringLiteral("triggerLevel"), false);
    m_levelUnit = new QLabel(m_triggerBox);
    m_levelUnit->setObjectName(QStringLiteral("triggerUnit"));
    grid->addWidget(m_levelLabel, 2, 0);
    grid->addWidget(m_level, 2, 1);
    grid->addWidget(m_levelUnit, 2, 2);
    m_triggerColour = Button(m_triggerBox, QStringLiteral("triggerColour"));
    m_triggerWidth = new QComboBox(m_triggerBox);
    m_triggerWidth->setObjectName(QStringLiteral("triggerWidth"));
    for (int width = 1; width <= kTriggerWidthCount; ++width)
        m_triggerWidth->addItem(QString::number(width));
    grid->addWidget(m_triggerColour, 3, 0);
    grid->addWidget(m_triggerWidth, 3, 1);
    m_positionLabel = new QLabel(m_triggerBox);
    m_triggerPosition = NumberField(m_triggerBox, QStringLiteral("triggerPosition"), false);
    m_align = new QCheckBox(m_triggerBox);
    m_align->setObjectName(QStringLiteral("align"));
    grid->addWidget(m_positionLabel, 4, 0);
    grid->addWidget(m_triggerPosition, 4, 1);
    grid->addWidget(m_align, 4, 2);

    connect(m_triggerOn, &QCheckBox::toggled, this, &CRogDlg::TriggerEdited);
    connect(m_align, &QCheckBox::toggled, this, &CRogDlg::TriggerEdited);
    connect(m_level, &QLineEdit::editingFinished, this, &CRogDlg::TriggerEdited);
    connect(m_triggerPosition, &QLineEdit::editingFinished, this, &CRogDlg::TriggerEdited);
    connect(m_triggerWidth, &QComboBox::currentIndexChanged, this, &CRogDlg::TriggerEdited);
    connect(m_triggerColour, &QPushButton::clicked, this, [this] {
        WaveTriggerSettings trigger = m_model->Trigger();
        const QColor chosen = QColorDialog::getColor(CWaveChart::ColourOf(trigger.colour), this);
        if (!chosen.isValid())
            return;
        trigger.colour = static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
                         (static_cast<uint32_t>(chosen.blue()) << 16);
        m_model->SetTrigger(trigger);
        RefreshTrigger();
    });
    return m_triggerBox;
}

QGroupBox *CRogDlg::BuildScales()
{
    m_scaleBox = new QGroupBox(this);
    auto *grid = new QGridLayout(m_scaleBox);
    const std::array<QString, CWaveDisplay::kAxisCount> names = {
        QStringLiteral("timePerDivision"), QStringLiteral("positionPerDivision"), QStringLiteral("speedPerDivision"),
        QStringLiteral("currentPerDivision")};
    for (int axis = 0; axis < CWaveDisplay::kAxisCount; ++axis) {
        const auto index = static_cast<size_t>(axis);
        m_perDivisionLabel[index] = new QLabel(m_scaleBox);
        // The time field takes any number; the value fields digits only.
        m_perDivision[index] = NumberField(m_scaleBox, names[index], axis != CWaveDisplay::kTime);
        m_perDivisionUnit[index] = new QLabel(m_scaleBox);
        grid->addWidget(m_perDivisionLabel[index], axis, 0);
        grid->addWidget(m_perDivision[index], axis, 1);
        grid->addWidget(m_perDivisionUnit[index], axis, 2);
        const auto which = static_cast<CWaveDisplay::Axis>(axis);
        connect(m_perDivision[index], &QLineEdit::editingFinished, this, [this, which] { PerDivisionEdited(which); });
        m_perDivision[index]->setText(QString::fromStdString(m_model->PerDivisionText(which)));
    }
    return m_scaleBox;
}

QWidget *CRogDlg::BuildZoom()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_zoomLarge = Button(box, QStringLiteral("zoomLarge"));
    m_zoomSmall = Button(box, QStringLiteral("zoomSmall"));
    m_zoomText = new QLabel(box);
    m_zoomText->setObjectName(QStringLiteral("zoomFactor"));
    m_zoomText->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_zoomLarge, 0, 0);
    grid->addWidget(m_zoomText, 0, 1);
    grid->addWidget(m_zoomSmall, 0, 2);
    // The scroll cross with the reset button in its centre.
    const std::array<QString, kScrollCount> arrows = {QStringLiteral("\u25B2"), QStringLiteral("\u25BC"),
                                                      QStringLiteral("\u25C0"), QStringLiteral("\u25B6")};
    const std::array<QString, kScrollCount> names = {QStringLiteral("scrollUp"), QStringLiteral("scrollDown"),
                                                     QStringLiteral("scrollLeft"), QStringLiteral("scrollRight")};
    const std::array<std::pair<int, int>, kScrollCount> cells = {{{1, 1}, {3, 1}, {2, 0}, {2, 2}}};
    for (int b = 0; b < kScrollCount; ++b) {
        QPushButton *button = Button(box, names[static_cast<size_t>(b)]);
        button->setText(arrows[static_cast<size_t>(b)]);
        grid->addWidget(button, cells[static_cast<size_t>(b)].first, cells[static_cast<size_t>(b)].second);
        connect(button, &QPushButton::clicked, this, [this, b] { PressScroll(static_cast<ScrollButton>(b)); });
        m_scroll[static_cast<size_t>(b)] = button;
    }
    m_zoomReset = Button(box, QStringLiteral("zoomReset"));
    m_zoomReset->setText(QStringLiteral("\u25CF"));
    grid->addWidget(m_zoomReset, 2, 1);
    m_autoScroll = new QCheckBox(box);
    m_autoScroll->setObjectName(QStringLiteral("autoScroll"));
    grid->addWidget(m_autoScroll, 4, 0, 1, 3);
    connect(m_zoomLarge, &QPushButton::clicked, this, &CRogDlg::PressZoomLarge);
    connect(m_zoomSmall, &QPushButton::clicked, this, &CRogDlg::PressZoomSmall);
    connect(m_zoomReset, &QPushButton::clicked, this, &CRogDlg::PressZoomReset);
    connect(m_autoScroll, &QCheckBox::toggled, this, [this](bool on) { m_model->SetAutoScroll(on); });
    return box;
}

QWidget *CRogDlg::BuildList()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_list = new QTableWidget(0, kColumnCount, box);
    m_list->setObjectName(QStringLiteral("seriesList"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->setVisible(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setMinimumHeight(m_list->fontMetrics().height() * (kListMinLines + 2));
    auto *buttons = new QVBoxLayout;
    m_property = Button(box, QStringLiteral("property"));
    m_delete = Button(box, QStringLiteral("delete"));
    m_save = Button(box, QStringLiteral("save"));
    m_open = Button(box, QStringLiteral("open"));
    m_export = Button(box, QStringLiteral("export"));
    for (QPushButton *button : {m_property, m_delete, m_save, m_open, m_export})
        buttons->addWidget(button);
    buttons->addWidget(BuildPrint(box));
    buttons->addStretch(1);
    row->addWidget(m_list, 1);
    row->addLayout(buttons);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] { RefreshControls(); });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int, int) { PressProperty(); });
    connect(m_property, &QPushButton::clicked, this, &CRogDlg::PressProperty);
    connect(m_delete, &QPushButton::clicked, this, &CRogDlg::PressDelete);
    connect(m_save, &QPushButton::clicked, this, [this] { PressSave(); });
    connect(m_open, &QPushButton::clicked, this, [this] { PressOpen(); });
    connect(m_export, &QPushButton::clicked, this, [this] { PressExport(); });
    return box;
}

void CRogDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const char *section = CRogModel::kSection;
    const std::string &model = m_model->GetIdentity().model;
    const int axis = m_model->GetIdentity().axis;
    CWindowTexts::Apply(
        texts,
        {{this, "IDD_KVL_ROG_DIALOG", section, kTitle},
         {m_samplingLabel, "IDC_STATIC_PERIOD_TIMES", section, kSamplingCaption},
         {m_triggerBox, "IDC_ROG_TRIGGER", section, kTriggerCaption},
         {m_triggerOn, "IDC_ROG_TRIGGER_ON", section, kTriggerCaption},
         {m_levelLabel, "IDC_ROG_TRIGGER_LEVEL", section, kLevelCaption},
         {m_positionLabel, "IDC_ROG_TRIGGER_POS", section, kPositionCaption},
         {m_align, "IDC_ROG_TRIGGER_ALIGN", section, kAlignCaption},
         {m_scaleBox, "IDC_ROG_SCALE", section, kScaleCaption},
         {m_perDivisionLabel[CWaveDisplay::kTime], "IDC_STATIC_ROG_TIME", section, "Time/div [ms]"},
         {m_perDivisionLabel[CWaveDisplay::kPosition], "IDC_STATIC_ROG_POS", section, "Position/div"},
         {m_perDivisionLabel[CWaveDisplay::kSpeed], "IDC_STATIC_ROG_SPD", section, "Speed/div"},
         {m_perDivisionLabel[CWaveDisplay::kCurrent], "IDC_STATIC_ROG_CRT", section, "Current/div [mA]"},
         {m_perDivisionUnit[CWaveDisplay::kPosition],
          wave::DivisionUnitLabelKey(wave::ValueAxis::kPosition, model), section, wave::IsRotary(model) ? "deg" : "mm"},
         {m_perDivisionUnit[CWaveDisplay::kSpeed], wave::DivisionUnitLabelKey(wave::ValueAxis::kSpeed, model),
          section, wave::IsRotary(model) ? "deg/s" : "mm/s"},
         {m_zoomLarge, "IDC_ROG_ZOOM_LARGE", section, kLargeCaption},
         {m_zoomSmall, "IDC_ROG_ZOOM_SMALL", section, kSmallCaption},
         {m_autoScroll, "IDC_ROG_AUTO_SCROLL", section, kAutoScrollCaption},
         {m_property, "ID_ROG_CHART_PROPERTY", section, kPropertyCaption},
         {m_delete, "ID_ROG_CHART_DEL", section, kDeleteCaption},
         {m_save, "IDC_ROG_SAVE", section, kSaveCaption},
         {m_open, "IDC_ROG_OPEN", section, kOpenCaption},
         {m_export, "IDC_ROG_EXPORT", section, kExportCaption}},
        [this, axis](const QString &title) {
            // One waveform window per axis: the title says which.
            return m_context.DecorateTitle(QStringLiteral("%1 - %2").arg(title, QString::number(axis, 16).toUpper()));
        });
    QStringList headers;
    const std::array<const char *, kColumnCount> builtIn = {"Name", "Mode", "Value", "Offset", "Visible"};
    for (int column = 0; column < kColumnCount; ++column)
        headers << Text(("IDC_ROG_LIST_" + std::to_string(column)).c_str(), section,
                        builtIn[static_cast<size_t>(column)]);
    m_list->setHorizontalHeaderLabels(headers);
    ApplyPrintTexts();
    RefreshAxisTitles();
    RefreshView();
}

} // namespace kvl
