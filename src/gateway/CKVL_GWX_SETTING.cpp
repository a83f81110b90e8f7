#include "config/CCodePage.h"
#include "gateway/CKVL_GWX_SETTING.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/CFileChooser.h"
#include "common/CHelpKey.h"
#include "common/CMsgDlg.h"
#include "common/CTextPrintJob.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "gateway/CGatewayRules.h"
#include "gateway/CGatewaySettingsFile.h"
#include "gateway/CKVL_GWX_ALARMLIST.h"
#include "gateway/CKVL_GWX_COLOR_SETTING.h"
#include "gateway/CKVL_GWX_NETSET.h"
#include "gateway/CKVL_GWX_PARAM.h"
#include "gateway/KVL_GWX_External_Network_Param.h"

namespace kvl {

namespace {

constexpr char kFileFilter[] = "Data Files (*.dat)";
constexpr char kVersionTitle[] = "GWX version";
// Each page fills its background with this grey.
const QColor kPageGrey(99, 99, 99);

QPushButton *Button(QWidget *parent, const char *name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CKVL_GWX_SETTING::CKVL_GWX_SETTING(CWindowContext &context, bool offline, const std::string &version,
                                   QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("gatewayWindow"));
    const CLanguageTexts &texts = context.Settings().Texts();
    auto lookup = [&texts](const std::string &key, const std::string &section) { return texts.Text(key, section); };
    m_model = std::make_unique<CGatewayWindowModel>(context.Commands(), lookup, offline, version, MakeHooks());
    m_model->UseColourFile(context.Settings().SystemFolder());
    BuildLayout();
    CHelpKey::Install(this, context, QStringLiteral("gateway"));
    m_model->Open();
    ApplyTexts();
    // What the pages made of the settings they were given (an offline V1.10 shows "4,1") is no
    // edit of the user's.
    m_model->KeepEdits();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
}

CKVL_GWX_SETTING::~CKVL_GWX_SETTING() = default;

CGatewayWindowModel::Hooks CKVL_GWX_SETTING::MakeHooks()
{
    CGatewayWindowModel::Hooks hooks;
    hooks.message = [this](const std::string &title, const std::string &text) {
        CMsgDlg::Show(this, QString::fromStdString(title), QString::fromStdString(text));
    };
    hooks.ask = [this](const std::string &text) {
        return CMsgDlg::Show(this, QString(), QString::fromStdString(text), true);
    };
    hooks.warning = [this](const std::string &text) {
        CMsgDlg::ShowWarning(this, QString(), QString::fromStdString(text));
    };
    hooks.followPort = [this](int speed) { return m_context.ReopenPort(speed); };
    hooks.fileCodePage = [this] { return CCodePage::ForLanguage(m_context.Settings().Language()); };
    hooks.addressesShown = [this] { return !m_network || m_network->AddressesShown(); };
    hooks.changed = [this] {
        if (m_tabs)
            RefreshView();
    };
    return hooks;
}

void CKVL_GWX_SETTING::BuildLayout()
{
    auto *column = new QVBoxLayout(this);
    auto *head = new QHBoxLayout;
    m_gwxLabel = new QLabel(this);
    m_versionLabel = new QLabel(this);
    m_version = new QLineEdit(this);
    m_version->setObjectName(QStringLiteral("versionBox"));
    m_version->setReadOnly(true);
    m_version->setMaximumWidth(m_version->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMM")));
    m_saturationLabel = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("saturationBar"));
    m_bar->setRange(0, CGatewayRules::kFullPercent);
    m_bar->setTextVisible(false);
    m_saturation = new QLabel(this);
    m_saturation->setObjectName(QStringLiteral("saturationText"));
    head->addWidget(m_gwxLabel);
    head->addWidget(m_versionLabel);
    head->addWidget(m_version);
    head->addSpacing(m_version->fontMetrics().horizontalAdvance(QStringLiteral("MM")));
    head->addWidget(m_saturationLabel);
    head->addWidget(m_bar, 1);
    head->addWidget(m_saturation);
    column->addLayout(head);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("gatewayTabs"));
    m_netset = new CKVL_GWX_NETSET(m_model->Config(), m_tabs);
    m_param = new CKVL_GWX_PARAM(m_model->Config(), m_tabs);
    m_network = MakeNetworkPage();
    m_alarms = new CKVL_GWX_ALARMLIST(m_context, m_model->Offline(), m_tabs);
    for (QWidget *page : {static_cast<QWidget *>(m_netset), static_cast<QWidget *>(m_param),
                          static_cast<QWidget *>(m_network), static_cast<QWidget *>(m_alarms)}) {
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, kPageGrey);
        palette.setColor(QPalette::WindowText, Qt::white);
        page->setPalette(palette);
        page->setAutoFillBackground(true);
        m_tabs->addTab(page, QString());
    }
    column->addWidget(m_tabs, 1);
    connect(m_netset, &CKVL_GWX_NETSET::stationsChanged, this, &CKVL_GWX_SETTING::RefreshView);
    connect(m_netset, &CKVL_GWX_NETSET::colourSettingsRequested, this, &CKVL_GWX_SETTING::OpenColourSettings);
    connect(m_param, &CKVL_GWX_PARAM::commentLabelClicked, this, [this] {
        if (m_model->ClickVersion())
            ShowVersion();
    });

    auto *buttons = new QHBoxLayout;
    m_unitGroup = new QGroupBox(this);
    auto *unit = new QHBoxLayout(m_unitGroup);
    m_read = Button(m_unitGroup, "readButton");
    m_write = Button(m_unitGroup, "writeButton");
    unit->addWidget(m_read);
    unit->addWidget(m_write);
    m_fileGroup = new QGroupBox(this);
    auto *file = new QHBoxLayout(m_fileGroup);
    m_open = Button(m_fileGroup, "openButton");
    m_save = Button(m_fileGroup, "saveButton");
    m_print = Button(m_fileGroup, "printButton");
    file->addWidget(m_open);
    file->addWidget(m_save);
    file->addWidget(m_print);
    buttons->addWidget(m_unitGroup);
    buttons->addWidget(m_fileGroup);
    column->addLayout(buttons);
    connect(m_read, &QPushButton::clicked, this, &CKVL_GWX_SETTING::PressRead);
    connect(m_write, &QPushButton::clicked, this, &CKVL_GWX_SETTING::PressWrite);
    connect(m_open, &QPushButton::clicked, this, &CKVL_GWX_SETTING::PressOpen);
    connect(m_save, &QPushButton::clicked, this, &CKVL_GWX_SETTING::PressSave);
    connect(m_print, &QPushButton::clicked, this, &CKVL_GWX_SETTING::PressPrint);
    m_read->setEnabled(!m_model->Offline());
    m_write->setEnabled(!m_model->Offline());
}

KVL_GWX_External_Network_Param *CKVL_GWX_SETTING::MakeNetworkPage()
{
    auto ask = [this](const std::string &text) { return CMsgDlg::Show(this, QString(), QString::fromStdString(text), true); };
    auto *page = new KVL_GWX_External_Network_Param(m_model->Config(), m_model->Offline(), ask, m_tabs);
    connect(page, &KVL_GWX_External_Network_Param::capacityChanged, this, &CKVL_GWX_SETTING::RefreshView);
    return page;
}

void CKVL_GWX_SETTING::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const char *titleKey = m_model->Offline() ? "IDD_KVL_GWX_DLG_OFFLINE" : "IDD_KVL_GWX_DLG";
    CWindowTexts::Apply(texts,
                        {{this, titleKey, kSection, "Network Unit Settings"},
                         {m_unitGroup, "IDC_PMT_DRV_TITLE", kSection, "Unit"},
                         {m_fileGroup, "IDC_PMT_FILE_TITLE", kSection, "File"},
                         {m_read, "IDC_DRV_READ", kSection, "Read from unit"},
                         {m_write, "IDC_DRV_WRITE", kSection, "Write to unit"},
                         {m_open, "IDC_FILE_READ", kSection, "File read"},
                         {m_save, "IDC_FILE_SAVE", kSection, "File save"},
                         {m_print, "IDC_FILE_PRINT", kSection, "Print"},
                         {m_gwxLabel, "IDC_STATIC_GWX", kSection, "GWX"},
                         {m_versionLabel, "IDC_STATI_GWX_VERSION", kSection, "Version"},
                         {m_saturationLabel, "IDC_STATIC_GWX_SATURATION", kSection, "Saturation"}},
                        [this](const QString &title) { return m_context.DecorateTitle(title); });
    const struct {
        const char *key;
        const char *builtIn;
    } tabs[] = {{"ID_TAB0", "Setting"}, {"ID_TAB2", "GWX Parameter"}, {"ID_TAB3", "External Network Parameter"},
                {"ID_TAB1", "Alarm List"}};
    for (int tab = 0; tab < m_tabs->count(); ++tab)
        m_tabs->setTabText(tab, CWindowTexts::Text(texts, tabs[tab].key, kSection, QString::fromLatin1(tabs[tab].builtIn)));
    m_netset->ApplyTexts(texts);
    m_param->ApplyTexts(texts);
    m_network->ApplyTexts(texts);
    m_alarms->ApplyTexts(texts);
    RefreshView();
}

void CKVL_GWX_SETTING::RefreshView()
{
    m_version->setText(QString::fromStdString(m_model->VersionText()));
    const int saturation = m_model->Saturation();
    m_bar->setValue(std::min(saturation, CGatewayRules::kFullPercent));
    m_saturation->setText(QString::fromStdString(m_model->SaturationText()));
    m_netset->RefreshView();
    m_param->RefreshView();
    m_network->RefreshView();
}

void CKVL_GWX_SETTING::PressRead()
{
    m_model->Read();
}

void CKVL_GWX_SETTING::PressWrite()
{
    m_model->Write();
}

bool CKVL_GWX_SETTING::PressSave()
{
    const QString path = CFileChooser::AskFile(this, m_context.Settings().Texts(), CFileChooser::Kind::kSave,
                                               QString::fromLatin1(kFileFilter), QStringLiteral("gatewayFileDialog"));
    return !path.isEmpty() && SaveFile(path);
}

QStringList CKVL_GWX_SETTING::UnkeptEdits() const
{
    if (!m_model->HasUnkeptEdits())
        return {};
    return {CUnkeptEdits::Text(m_context.Settings().Texts(), "IDS_UNKEPT_UNIT", "The network unit settings")};
}

bool CKVL_GWX_SETTING::SaveUnkeptEdits(const QString &)
{
    return PressSave();
}

void CKVL_GWX_SETTING::LetUnkeptEditsGo(const QString &)
{
    m_model->KeepEdits();
}

void CKVL_GWX_SETTING::PressOpen()
{
    const QString path = CFileChooser::AskFile(this, m_context.Settings().Texts(), CFileChooser::Kind::kOpen,
                                               QString::fromLatin1(kFileFilter), QStringLiteral("gatewayFileDialog"));
    if (!path.isEmpty())
        OpenFile(path);
}

bool CKVL_GWX_SETTING::SaveFile(const QString &path)
{
    const std::string target = CGatewaySettingsFile::WithExtension(path.toStdString());
    return m_model->Save(target, CGatewaySettingsFile::Today()) == CGatewayWindowModel::FileResult::kDone;
}

bool CKVL_GWX_SETTING::OpenFile(const QString &path)
{
    return m_model->Load(path.toStdString()) == CGatewayWindowModel::FileResult::kDone;
}

std::unique_ptr<CTextPrintJob> CKVL_GWX_SETTING::MakePrintJob() const
{
    auto job = std::make_unique<CTextPrintJob>(m_context.Values(), m_context.Settings().Texts());
    const QString text = QString::fromStdString(m_model->FileText(CGatewaySettingsFile::Today()));
    for (const QString &line : text.split(QStringLiteral("\r\n")))
        job->AddLine(line);
    return job;
}

void CKVL_GWX_SETTING::PressPrint()
{
    MakePrintJob()->Print(this);
}

void CKVL_GWX_SETTING::OpenColourSettings()
{
    CKVL_GWX_COLOR_SETTING colours(m_context, m_model->ColourStore(), this);
    if (colours.exec() == QDialog::Accepted)
        m_model->ReloadColours();
}

void CKVL_GWX_SETTING::ShowVersion()
{
    QMessageBox::information(this, QString::fromLatin1(kVersionTitle), QString::fromStdString(m_model->Version()));
}

void CKVL_GWX_SETTING::done(int result)
{
    // Every way of closing comes here; unsaved edits keep the window open on Cancel.
    if (!CUnkeptEdits::Ask(this, m_context.Settings().Texts(), *this))
        return;
    if (m_model->Offline())
        Q_EMIT offlineClosed();
    QDialog::done(result);
}

void CKVL_GWX_SETTING::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kvl
