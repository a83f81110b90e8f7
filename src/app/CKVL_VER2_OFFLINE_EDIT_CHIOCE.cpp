#include "app/CKVL_VER2_OFFLINE_EDIT_CHIOCE.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "common/CHelpKey.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "ui/CPictureButton.h"
#include "ui/CSvgPicture.h"

namespace kvl {

namespace {

constexpr int kButtonIconSide = 28;
constexpr int kPictureSide = 64;
constexpr int kButtonColumns = 2;
constexpr char kTypeCaption[] = "TYPE";
constexpr char kGatewayCaption[] = "GWX";
constexpr std::array<const char *, COfflineChoiceModel::kOperationTypes> kTypeKeys{
    "IDC_BUTTON_TYPE0", "IDC_BUTTON_TYPE1", "IDC_BUTTON_TYPE2", "IDC_BUTTON_TYPE3", "IDC_BUTTON_TYPE4", "IDC_BUTTON_TYPE5"};
constexpr std::array<const char *, COfflineChoiceModel::kOperationTypes> kTypeBuiltIn{
    "TYPE0", "TYPE1", "TYPE2", "TYPE3", "TYPE4", "TYPE5"};

CPictureButton *ChoiceButton(const char *picture, QWidget *parent)
{
    auto *button = new CPictureButton(QString::fromLatin1(picture), QString(), parent, kButtonIconSide);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

} // namespace

CKVL_VER2_OFFLINE_EDIT_CHIOCE::CKVL_VER2_OFFLINE_EDIT_CHIOCE(CWindowContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("offlineChoiceWindow"));
    BuildLayout();
    CHelpKey::Install(this, context, QStringLiteral("offline"));
    RefreshButtons();
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::BuildLayout()
{
    auto *column = new QVBoxLayout(this);
    auto *head = new QHBoxLayout;
    auto *picture = new QLabel(this);
    picture->setPixmap(CSvgPicture::Render(QStringLiteral("actuator"), QSize(kPictureSide, kPictureSide)));
    m_prompt = new QLabel(this);
    m_prompt->setWordWrap(true);
    head->addWidget(picture);
    head->addWidget(m_prompt, 1);
    column->addLayout(head);

    auto *modelRow = new QHBoxLayout;
    m_typeLabel = new QLabel(QString::fromLatin1(kTypeCaption), this);
    m_models = new QComboBox(this);
    m_models->setObjectName(QStringLiteral("offlineModel"));
    for (const char *model : COfflineChoiceModel::kModels)
        m_models->addItem(QString::fromLatin1(model));
    modelRow->addWidget(m_typeLabel);
    modelRow->addWidget(m_models, 1);
    column->addLayout(modelRow);
    connect(m_models, &QComboBox::activated, this, &CKVL_VER2_OFFLINE_EDIT_CHIOCE::ChooseModel);

    auto *grid = new QGridLayout;
    for (int type = 0; type < COfflineChoiceModel::kOperationTypes; ++type) {
        CPictureButton *button = ChoiceButton("actuator", this);
        button->setObjectName(QStringLiteral("offlineType%1").arg(type));
        grid->addWidget(button, type / kButtonColumns, type % kButtonColumns);
        connect(button, &QToolButton::clicked, this, [this, type] { PressType(type); });
        m_types[static_cast<size_t>(type)] = button;
    }
    // The network unit button takes the place of the first operation type.
    m_gateway = ChoiceButton("gateway", this);
    m_gateway->setObjectName(QStringLiteral("offlineGateway"));
    m_gateway->setText(QString::fromLatin1(kGatewayCaption));
    grid->addWidget(m_gateway, 0, 0);
    connect(m_gateway, &QToolButton::clicked, this, &CKVL_VER2_OFFLINE_EDIT_CHIOCE::PressGateway);
    column->addLayout(grid);
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    std::vector<CWindowTexts::Caption> captions{
        {this, kSection, kSection, "Offline Edit Choice"},
        {m_prompt, "IDC_STATIC_OFFLINE_EDIT_CHIOCE", kSection, "Choose the model and the operation type"}};
    std::vector<CWindowTexts::Tooltip> tooltips;
    for (size_t type = 0; type < m_types.size(); ++type) {
        captions.push_back({m_types[type], kTypeKeys[type], kSection, kTypeBuiltIn[type]});
        tooltips.push_back({m_types[type], kFirstTooltip + static_cast<int>(type)});
    }
    CWindowTexts::Apply(texts, captions, [this](const QString &title) { return m_context.DecorateTitle(title); });
    CWindowTexts::ApplyTooltips(texts, tooltips);
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::showEvent(QShowEvent *event)
{
    ApplyTexts();
    QDialog::showEvent(event);
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::ChooseModel(int position)
{
    if (m_models->currentIndex() != position)
        m_models->setCurrentIndex(position);
    if (m_model.ChooseModel(position))
        RefreshButtons();
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::RefreshButtons()
{
    const bool gateway = m_model.GatewayChosen();
    for (CPictureButton *button : m_types) {
        button->setVisible(!gateway);
        button->setEnabled(true);
    }
    m_gateway->setVisible(gateway);
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::PressType(int type)
{
    if (!m_model.ChooseType(type))
        return;
    hide();
    Q_EMIT typeChosen(QString::fromStdString(m_model.Model()), type);
}

void CKVL_VER2_OFFLINE_EDIT_CHIOCE::PressGateway()
{
    if (!m_model.GatewayChosen())
        return;
    hide();
    Q_EMIT gatewayChosen();
}

} // namespace kvl
