#include "gateway/CKVL_GWX_COLOR_SETTING.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "config/CSaveFailure.h"
#include "ui/CColourButton.h"

namespace kvl {

namespace {

const QColor kBackground(128, 128, 128);
// Rows of the two groups, as indices of the configuration's colours.
constexpr int kDeviceRows[] = {0, 1, 2, 3, 9, 10, 11, 4};   // NULL, MDA, MDB, MDC, MDC-X, MDA-Y, MDA-Z, ANY
constexpr int kModeRows[] = {5, 6, 7, 8};                    // IO, SIMPLE, HALF, FULL

struct Label {
    const char *key;
    const char *builtIn;
};
// By index of the configuration's colours.
constexpr std::array<Label, CGatewayConfig::kColours> kLabels{{{"IDC_ST_NULL", "NULL"},
                                                              {"IDC_ST_MDA", "MDA"},
                                                              {"IDC_ST_MDB", "MDB"},
                                                              {"IDC_ST_MDC", "MDC"},
                                                              {"IDC_ST_ANY", "ANY"},
                                                              {"IDC_ST_IO", "IO"},
                                                              {"IDC_ST_SIMPLE", "SIMPLE"},
                                                              {"IDC_ST_HALF", "HALF"},
                                                              {"IDC_ST_FULL", "FULL"},
                                                              {"IDC_ST_XMDC", "MDC-X"},
                                                              {"IDC_ST_YMDA", "MDA-Y"},
                                                              {"IDC_ST_ZMDA", "MDA-Z"}}};

} // namespace

QColor CKVL_GWX_COLOR_SETTING::QColorOf(uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

uint32_t CKVL_GWX_COLOR_SETTING::ValueOf(const QColor &colour)
{
    return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
           static_cast<uint32_t>(colour.blue()) << 16;
}

CKVL_GWX_COLOR_SETTING::CKVL_GWX_COLOR_SETTING(CWindowContext &context, CGatewayColourStore &store, QWidget *parent)
    : QDialog(parent), m_context(context), m_store(store)
{
    setObjectName(QStringLiteral("gwxColourWindow"));
    BuildLayout();
    ApplyTexts();
}

void CKVL_GWX_COLOR_SETTING::BuildLayout()
{
    // The grey is painted by a body that fills the window, as the unit window's pages do: a
    // window system may paint a top-level window's own background itself.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_body = new QWidget(this);
    QPalette palette = m_body->palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, Qt::white);
    m_body->setPalette(palette);
    m_body->setAutoFillBackground(true);
    outer->addWidget(m_body);
    auto *column = new QVBoxLayout(m_body);
    auto *groups = new QHBoxLayout;
    m_deviceGroup = BuildGroup(m_deviceHead, kDeviceRows, static_cast<int>(std::size(kDeviceRows)));
    m_modeGroup = BuildGroup(m_modeHead, kModeRows, static_cast<int>(std::size(kModeRows)));
    groups->addWidget(m_deviceGroup);
    groups->addWidget(m_modeGroup, 0, Qt::AlignTop);
    column->addLayout(groups);
    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"), m_body);
    m_default = new QPushButton(QStringLiteral("DEFAULT"), m_body);
    m_cancel = new QPushButton(QStringLiteral("CANCEL"), m_body);
    m_ok->setDefault(true);
    buttons->addStretch(1);
    for (QPushButton *button : {m_ok, m_default, m_cancel})
        buttons->addWidget(button);
    column->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CKVL_GWX_COLOR_SETTING::PressOk);
    connect(m_default, &QPushButton::clicked, this, &CKVL_GWX_COLOR_SETTING::PressDefault);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QGroupBox *CKVL_GWX_COLOR_SETTING::BuildGroup(QLabel *&head, const int *indices, int count)
{
    auto *group = new QGroupBox(m_body);
    auto *grid = new QGridLayout(group);
    head = new QLabel(group);
    grid->addWidget(head, 0, 0, 1, 2);
    for (int row = 0; row < count; ++row) {
        const auto index = static_cast<size_t>(indices[row]);
        m_labels[index] = new QLabel(group);
        m_buttons[index] = new CColourButton(group);
        m_buttons[index]->setObjectName(QStringLiteral("colour%1").arg(index));
        grid->addWidget(m_labels[index], row + 1, 0);
        grid->addWidget(m_buttons[index], row + 1, 1);
    }
    return group;
}

void CKVL_GWX_COLOR_SETTING::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    std::vector<CWindowTexts::Caption> captions{
        {this, kSection, kSection, "Color Setting"},
        {m_deviceGroup, "IDC_ST_DEVICE", kSection, "Device"},
        {m_deviceHead, "IDC_ST_MACHINE_TYPE_0", kSection, "Machine type"},
        {m_modeGroup, "IDC_ST_INPUTMODE", kSection, "Input mode"},
        {m_modeHead, "IDC_ST_MACHINE_TYPE_1", kSection, "Input mode"}};
    for (size_t i = 0; i < kLabels.size(); ++i)
        captions.push_back({m_labels[i], kLabels[i].key, kSection, kLabels[i].builtIn});
    CWindowTexts::Apply(texts, captions);
}

void CKVL_GWX_COLOR_SETTING::showEvent(QShowEvent *event)
{
    ApplyTexts();
    ShowColours(m_store.Read(CGatewayColourStore::kCurrent));
    QDialog::showEvent(event);
}

void CKVL_GWX_COLOR_SETTING::PressDefault()
{
    ShowColours(m_store.Read(CGatewayColourStore::kDefault));
}

void CKVL_GWX_COLOR_SETTING::PressOk()
{
    if (!m_store.WriteCurrent(Colours())) {
        const CSaveFailure failure =
            m_store.IsOpen() ? CSaveFailure::Last(m_store.Path()) : CSaveFailure::Probed(m_store.Path());
        CMsgDlg::ShowWarning(this, QString(),
                             QString::fromStdString(failure.Message(&m_context.Settings().Texts())));
        return;
    }
    accept();
}

CGatewayColourStore::Colours CKVL_GWX_COLOR_SETTING::Colours() const
{
    CGatewayColourStore::Colours colours{};
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = ValueOf(m_buttons[i]->Colour());
    return colours;
}

void CKVL_GWX_COLOR_SETTING::ShowColours(const CGatewayColourStore::Colours &colours)
{
    for (size_t i = 0; i < colours.size(); ++i)
        m_buttons[i]->SetColour(QColorOf(colours[i]));
}

} // namespace kvl
