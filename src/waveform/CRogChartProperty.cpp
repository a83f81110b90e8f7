#include "waveform/CRogChartProperty.h"
#include "waveform/CWaveChart.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/TextNumber.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

constexpr int kOffsetDecimals = 3;
constexpr int kSwatchChars = 6;

constexpr char kTitle[] = "Line Properties";
constexpr char kNameCaption[] = "Name";
constexpr char kModeCaption[] = "Mode";
constexpr char kOffsetCaption[] = "Offset";
constexpr char kColourCaption[] = "Colour";
constexpr char kWidthCaption[] = "Width";
constexpr char kVisibleCaption[] = "Visible";
constexpr char kOkCaption[] = "OK";
constexpr char kCancelCaption[] = "Cancel";

uint32_t ColourValue(const QColor &colour)
{
    return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
           (static_cast<uint32_t>(colour.blue()) << 16);
}

} // namespace

CRogChartProperty::CRogChartProperty(CWindowContext &context, const CRogModel &model, int row, QWidget *parent)
    : QDialog(parent), m_context(context), m_model(model), m_property(model.PropertyOf(row))
{
    setObjectName(QStringLiteral("lineProperty"));
    setModal(true);
    BuildLayout();
    ApplyTexts();
}

void CRogChartProperty::BuildLayout()
{
    auto *form = new QFormLayout;
    m_name = new QLineEdit(QString::fromStdString(m_property.name), this);
    m_name->setObjectName(QStringLiteral("name"));
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("mode"));
    const int modes = m_model.PropertyModeCount();
    for (int mode = 0; mode < modes; ++mode)
        m_mode->addItem(QString::fromStdString(m_model.ModeName(mode)), mode);
    // A loaded series may carry a mode this model does not offer: it stays choosable.
    if (m_mode->findData(m_property.mode) < 0)
        m_mode->addItem(QString::fromStdString(m_model.ModeName(m_property.mode)), m_property.mode);
    m_mode->setCurrentIndex(m_mode->findData(m_property.mode));
    m_mode->setEnabled(m_model.ModeEditable());
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] { RefreshUnit(); });

    m_offset = new QLineEdit(QString::fromStdString(FormatFixed(m_property.offset, kOffsetDecimals)), this);
    m_offset->setObjectName(QStringLiteral("offset"));
    auto *validator = new QDoubleValidator(m_offset);
    validator->setLocale(QLocale::c());
    m_offset->setValidator(validator);
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("offsetUnit"));
    auto *offsetRow = new QHBoxLayout;
    offsetRow->addWidget(m_offset, 1);
    offsetRow->addWidget(m_unit);

    m_colourButton = new QPushButton(this);
    m_colourButton->setObjectName(QStringLiteral("colour"));
    m_colourButton->setMinimumWidth(m_colourButton->fontMetrics().averageCharWidth() * kSwatchChars);
    connect(m_colourButton, &QPushButton::clicked, this, &CRogChartProperty::PressColour);
    SetColour(m_property.colour);

    m_width = new QComboBox(this);
    m_width->setObjectName(QStringLiteral("width"));
    for (int width = CRogModel::kWidthMin; width <= CRogModel::kWidthMax; ++width)
        m_width->addItem(QString::number(width), width);
    m_width->setCurrentIndex(std::clamp(m_property.width, CRogModel::kWidthMin, CRogModel::kWidthMax) -
                             CRogModel::kWidthMin);
    m_visible = new QPushButton(this);
    m_visible->setObjectName(QStringLiteral("visible"));
    m_visible->setCheckable(true);
    m_visible->setChecked(m_property.visible);

    m_nameLabel = new QLabel(this);
    m_modeLabel = new QLabel(this);
    m_offsetLabel = new QLabel(this);
    m_colourLabel = new QLabel(this);
    m_widthLabel = new QLabel(this);
    form->addRow(m_nameLabel, m_name);
    form->addRow(m_modeLabel, m_mode);
    form->addRow(m_offsetLabel, offsetRow);
    form->addRow(m_colourLabel, m_colourButton);
    form->addRow(m_widthLabel, m_width);
    form->addRow(QString(), m_visible);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    RefreshUnit();
}

void CRogChartProperty::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const char *section = CRogModel::kPropertySection;
    CWindowTexts::Apply(texts,
                        {{this, "IDD_KVL_ROGCHART_DIALOG", section, kTitle},
                         {m_nameLabel, "IDC_ROGCHART_NAME", section, kNameCaption},
                         {m_modeLabel, "IDC_ROGCHART_MODE", section, kModeCaption},
                         {m_offsetLabel, "IDC_ROGCHART_OFFSET", section, kOffsetCaption},
                         {m_colourLabel, "IDC_ROGCHART_COLOR", section, kColourCaption},
                         {m_widthLabel, "IDC_ROGCHART_WIDTH", section, kWidthCaption},
                         {m_visible, "IDC_ROGCHART_VISIBLE", section, kVisibleCaption},
                         {m_ok, "IDOK", section, kOkCaption},
                         {m_cancel, "IDCANCEL", section, kCancelCaption}},
                        [this](const QString &title) { return m_context.DecorateTitle(title); });
}

void CRogChartProperty::RefreshUnit()
{
    m_unit->setText(QString::fromStdString(wave::OffsetUnitLabel(m_mode->currentData().toInt(), m_model.GetIdentity().model)));
}

void CRogChartProperty::SetColour(uint32_t colour)
{
    m_property.colour = colour & 0xFFFFFF;
    m_colourButton->setStyleSheet(QStringLiteral("background-color: %1").arg(CWaveChart::ColourOf(m_property.colour).name()));
}

void CRogChartProperty::PressColour()
{
    const QColor chosen = QColorDialog::getColor(CWaveChart::ColourOf(m_property.colour), this);
    if (chosen.isValid())
        SetColour(ColourValue(chosen));
}

CRogModel::LineProperty CRogChartProperty::Result() const
{
    CRogModel::LineProperty property = m_property;
    property.name = m_name->text().toStdString();
    property.mode = m_mode->currentData().toInt();
    property.offset = LeadingReal(m_offset->text().toStdString());
    property.width = m_width->currentData().toInt();
    property.visible = m_visible->isChecked();
    return property;
}

} // namespace kvl
