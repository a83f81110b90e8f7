#include "app/CKVL_VER2_ControlDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_PortSetDlg.h"  // the link window header returns a pointer to it
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CSystemFolderChoice.h"
#include "ui/CPictureButton.h"
#include "ui/CSvgPicture.h"

namespace kvl {

namespace {
constexpr char kBuiltInTitle[] = "Actuator Engineering Tool";
constexpr char kTitleSuffix[] = " [Ver 2.00]";
// Built-in captions, shown where the language file has no text.
constexpr char kLanguageCaption[] = "Language";
constexpr char kHelpCaption[] = "Help";
constexpr char kNextCaption[] = "Next";
constexpr char kHelpFileName[] = "help.html";
// This window's part of the help page.
constexpr char kHelpSection[] = "start";
constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 120;
constexpr int kTitlePixelSize = 22;
constexpr int kNextMinWidth = 130;

struct LanguageButtonInfo {
    int language;
    const char *caption;   // each language's own name (in its own font): the same in every language file
    const char *objectName;
};
constexpr LanguageButtonInfo kLanguageButtons[] = {
    {CAppSettings::kLanguageJapanese, "日本語", "languageJapanese"},
    {CAppSettings::kLanguageEnglish, "English", "languageEnglish"},
    {CAppSettings::kLanguageChinese, "中文", "languageChinese"},
};
} // namespace

CKVL_VER2_ControlDlg::CKVL_VER2_ControlDlg(CKVL_ControlApp &app, QWidget *parent)
    : QDialog(parent), m_app(app)
{
    setObjectName(QStringLiteral("startWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setWindowIcon(CSvgPicture::Icon(QStringLiteral("actuator")));
    BuildLayout();
    ApplyTexts();
    connect(&m_app, &CKVL_ControlApp::languageChanged, this, [this] { ApplyTexts(); });
}

QString CKVL_VER2_ControlDlg::VersionText()
{
    return QStringLiteral("Ver %1.%2").arg(QLatin1String(kVersionMajor), QLatin1String(kVersionMinor));
}

QString CKVL_VER2_ControlDlg::HelpFile()
{
    // Beside the program in a build tree, in the shared data folder when installed.
    const std::string folder =
        CSystemFolderChoice::ShippedDataFolder(QCoreApplication::applicationDirPath().toStdString());
    return QDir(QString::fromStdString(folder)).filePath(QLatin1String(kHelpFileName));
}

void CKVL_VER2_ControlDlg::BuildLayout()
{
    auto *picture = new QLabel(this);
    picture->setPixmap(CSvgPicture::Render(QStringLiteral("actuator"), QSize(kPictureWidth, kPictureHeight)));
    picture->setAlignment(Qt::AlignCenter);
    m_title = new QLabel(QString::fromUtf8(kBuiltInTitle), this);
    m_title->setObjectName(QStringLiteral("titleText"));
    QFont titleFont = m_title->font();
    titleFont.setPixelSize(kTitlePixelSize);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setStyleSheet(QStringLiteral("color: #1f3f66;"));

    m_languageLabel = new QLabel(QString::fromLatin1(kLanguageCaption), this);
    m_languageLabel->setObjectName(QStringLiteral("languageLabel"));
    auto *languageRow = new QHBoxLayout;
    for (size_t i = 0; i < m_languages.size(); ++i) {
        const LanguageButtonInfo &entry = kLanguageButtons[i];
        auto *button = new CPictureButton(QStringLiteral("language"), QString::fromUtf8(entry.caption), this, 32);
        button->setObjectName(QLatin1String(entry.objectName));
        button->setCheckable(true);
        if (const char *family = CKVL_ControlApp::LanguageFontFamily(entry.language)) {
            QFont font = button->font();
            font.setFamily(QLatin1String(family));
            button->setFont(font);
        }
        const int language = entry.language;
        connect(button, &QToolButton::clicked, this, [this, language] { PressLanguage(language); });
        m_languages[i] = button;
        languageRow->addWidget(button);
    }

    m_helpLabel = new QLabel(QString::fromLatin1(kHelpCaption), this);
    m_helpLabel->setObjectName(QStringLiteral("helpLabel"));
    m_help = new CPictureButton(QStringLiteral("help"), QString::fromLatin1(kHelpCaption), this, 32);
    m_help->setObjectName(QStringLiteral("helpButton"));
    connect(m_help, &QToolButton::clicked, this, &CKVL_VER2_ControlDlg::PressHelp);

    m_next = new CPictureButton(QStringLiteral("next"), QString::fromLatin1(kNextCaption), this, 40);
    m_next->setObjectName(QStringLiteral("nextButton"));
    m_next->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_next->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    m_next->setMinimumWidth(kNextMinWidth);
    connect(m_next, &QToolButton::clicked, this, &CKVL_VER2_ControlDlg::PressNext);

    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("versionText"));
    m_version->setStyleSheet(QStringLiteral("color: #5b6b7f;"));

    auto *choices = new QGridLayout;
    choices->addWidget(m_languageLabel, 0, 0);
    choices->addWidget(m_helpLabel, 0, 1);
    choices->addLayout(languageRow, 1, 0);
    choices->addWidget(m_help, 1, 1);
    choices->setColumnStretch(0, 3);
    choices->setColumnStretch(1, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_version, 0, Qt::AlignBottom);
    bottom->addStretch(1);
    bottom->addWidget(m_next);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(picture);
    layout->addWidget(m_title);
    layout->addLayout(choices);
    layout->addLayout(bottom);
}

void CKVL_VER2_ControlDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_app.Settings().Texts();
    CWindowTexts::Apply(texts,
                        {{this, kSection, kSection, kBuiltInTitle},
                         {m_title, kSection, kSection, kBuiltInTitle},
                         {m_languageLabel, "IDC_STATIC_LANGUAGE", kSection, kLanguageCaption},
                         {m_helpLabel, "IDC_STATIC_HELP", kSection, kHelpCaption},
                         {m_help, "IDC_STATIC_HELP", kSection, kHelpCaption},
                         {m_next, "IDC_NEXT", kSection, kNextCaption}},
                        [this](const QString &title) {
                            return m_app.DecorateTitle(title + QLatin1String(kTitleSuffix));
                        });
    CWindowTexts::ApplyTooltips(texts, {{m_help, kHelpTooltip}, {m_next, kNextTooltip}});
    m_version->setText(VersionText());
    UpdateLanguageButtons();
}

void CKVL_VER2_ControlDlg::UpdateLanguageButtons()
{
    const int current = m_app.Settings().Language();
    for (size_t i = 0; i < m_languages.size(); ++i) {
        const int language = kLanguageButtons[i].language;
        m_languages[i]->setEnabled(CAppSettings::LanguageOffered(language, m_app.SystemLanguageId()));
        m_languages[i]->setChecked(language == current);
    }
}

QWidget *CKVL_VER2_ControlDlg::LinkWindow() const
{
    return m_app.Windows().FindWidget(CWindowRegistry::Kind::kAxisLink);
}

CPictureButton *CKVL_VER2_ControlDlg::LanguageButton(int language) const
{
    for (size_t i = 0; i < m_languages.size(); ++i) {
        if (kLanguageButtons[i].language == language)
            return m_languages[i];
    }
    return nullptr;
}

void CKVL_VER2_ControlDlg::PressLanguage(int language)
{
    // A click toggles a checkable button by itself; the marks follow the language, not the click.
    if (!m_app.Settings().PressLanguageButton(language, m_app.SystemLanguageId()))
        UpdateLanguageButtons();
}

void CKVL_VER2_ControlDlg::PressNext()
{
    // Created once and kept; a Qt window cannot fail to be created short of memory running out.
    QWidget *link = m_app.Windows().FindOrCreateWidget(CWindowRegistry::Kind::kAxisLink, CWindowRegistry::kNoAxis,
                                                       [this] { return new CKVL_VER2_AXIS_LINK_DIALOG(m_app, this); });
    CWindowRegistry::Present(link);
}

void CKVL_VER2_ControlDlg::PressHelp()
{
    m_app.ShowHelp(QString::fromLatin1(kHelpSection));
}

void CKVL_VER2_ControlDlg::keyPressEvent(QKeyEvent *event)
{
    // Escape would reject the dialog and so end the program; only closing the window does.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CKVL_VER2_ControlDlg::done(int result)
{
    if (!m_closed && !m_app.MayEnd())
        return;
    if (!m_closed) {
        m_closed = true;
        m_app.Shutdown();
    }
    QDialog::done(result);
}

} // namespace kvl
