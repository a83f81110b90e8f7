// The help pages of the three languages: the help window shows the page of the current language
// at the section asked for, falls back to the English page when the language's page is missing,
// and follows a language switch while it is open. The pages the build puts beside the programs
// hold every section a window opens and every picture they show.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBrowser>
#include <QTest>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "base/Version.h"
#include "common/CHelpWindow.h"
#include "config/CAppSettings.h"
#include "ui/CPictureButton.h"

namespace kvl {
namespace {

using test::StartAppFixture;

constexpr int kJa = CAppSettings::kLanguageJapanese;
constexpr int kEn = CAppSettings::kLanguageEnglish;
constexpr int kZh = CAppSettings::kLanguageChinese;

struct LanguagePage {
    int systemLanguageId;
    int language;
    const char *file;
    QString heading;  // the page's first heading
    QString title;    // the page's title, which the help window takes
};

const LanguagePage kPages[] = {
    {CAppSettings::kSystemLangJapanese, kJa, "help_ja.html", QStringLiteral("アクチュエータ エンジニアリングツール"),
     QStringLiteral("アクチュエータ エンジニアリングツール - ヘルプ")},
    {CAppSettings::kSystemLangEnglish, kEn, "help.html", QStringLiteral("Actuator Engineering Tool"),
     QStringLiteral("Actuator Engineering Tool - Help")},
    {CAppSettings::kSystemLangChinese, kZh, "help_zh.html", QStringLiteral("执行器工程工具"),
     QStringLiteral("执行器工程工具 - 帮助")},
};

// Every section a Help button or F1 opens: start window, axis link, port settings, offline
// choice, axis window and its point table grid, parameter list, monitor, waveform, tuning and
// network unit windows.
const char *const kWindowSections[] = {"start",  "link", "port",    "offline", "axis",   "points",
                                       "params", "monitor", "wave", "tuning",  "gateway"};

QString BuiltPage(const char *name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(name));
}

QString ReadUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QSet<QString> Matches(const QString &text, const QRegularExpression &pattern)
{
    QSet<QString> found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured(1));
    return found;
}

QSet<QString> ElementIds(const QString &html)
{
    return Matches(html, QRegularExpression(QStringLiteral(R"re(\bid="([^"]+)")re")));
}

QSet<QString> PictureSources(const QString &html)
{
    return Matches(html, QRegularExpression(QStringLiteral(R"re(<img\s[^>]*\bsrc="([^"]+)")re")));
}

class HelpPagesTest : public StartAppFixture {
protected:
    CKVL_VER2_ControlDlg &Dialog() { return *m_app->StartDialog(); }

    // A folder holding only the English page, named as the build names it.
    QString EnglishOnlyFolder()
    {
        const QString folder = QString::fromStdString((m_folder / "help-en-only").string());
        QDir().mkpath(folder);
        const QString page = QDir(folder).filePath(QStringLiteral("help.html"));
        EXPECT_TRUE(QFile::copy(BuiltPage("help.html"), page));
        return page;
    }
};

TEST_F(HelpPagesTest, EachLanguageShowsItsOwnPage)
{
    for (const LanguagePage &page : kPages) {
        SCOPED_TRACE(page.file);
        StartApp(page.systemLanguageId);
        ASSERT_EQ(m_app->Settings().Language(), page.language);
        Dialog().show();
        QTest::mouseClick(Dialog().HelpButton(), Qt::LeftButton);
        CHelpWindow *help = m_app->HelpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->PageShown());
        EXPECT_EQ(QFileInfo(help->File()).fileName(), QLatin1String(page.file));
        EXPECT_EQ(help->windowTitle(), page.title);
        const QString text = help->Browser()->toPlainText();
        EXPECT_TRUE(text.startsWith(page.heading)) << text.left(80).toStdString();
        for (const LanguagePage &other : kPages) {
            if (other.language != page.language) {
                EXPECT_FALSE(text.contains(other.heading)) << "no heading of " << other.file;
            }
        }
        // The About section at the end names the tool's own version, the one --version prints.
        const qsizetype about = text.lastIndexOf(QStringLiteral("kvl_motor ") + QLatin1String(kVersion));
        EXPECT_GT(about, text.size() / 2) << "no About line with the version in " << page.file;
        m_app.reset();
    }
}

TEST_F(HelpPagesTest, TheViewIsScrolledToTheSectionAskedFor)
{
    StartApp(CAppSettings::kSystemLangEnglish);
    Dialog().show();
    // In page order: each section lies further down than the one before.
    int before = -1;
    for (const char *section : {"link", "offline", "axis", "params", "wave"}) {
        SCOPED_TRACE(section);
        m_app->ShowHelp(QLatin1String(section));
        CHelpWindow *help = m_app->HelpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->Section(), QLatin1String(section));
        EXPECT_EQ(help->Browser()->source().fragment(), QLatin1String(section));
        const int position = help->Browser()->verticalScrollBar()->value();
        EXPECT_GT(position, before);
        before = position;
    }
    m_app->ShowHelp();
    EXPECT_EQ(m_app->HelpWindow()->Browser()->verticalScrollBar()->value(), 0) << "no section: the top";
}

TEST_F(HelpPagesTest, AMissingLanguagePageFallsBackToEnglish)
{
    m_helpFile = EnglishOnlyFolder();
    StartApp(CAppSettings::kSystemLangJapanese);
    ASSERT_EQ(m_app->Settings().Language(), kJa);
    Dialog().show();
    m_app->ShowHelp(QStringLiteral("monitor"));
    CHelpWindow *help = m_app->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->PageShown());
    EXPECT_EQ(help->File(), m_helpFile);
    EXPECT_TRUE(help->Browser()->toPlainText().startsWith(QStringLiteral("Actuator Engineering Tool")));
    EXPECT_EQ(help->Browser()->source().fragment(), QStringLiteral("monitor"));
}

TEST_F(HelpPagesTest, ThePageOfALanguageIsFoundBesideTheEnglishPage)
{
    const QString english = EnglishOnlyFolder();
    const QString japanese = QFileInfo(english).dir().filePath(QStringLiteral("help_ja.html"));
    ASSERT_TRUE(QFile::copy(BuiltPage("help_ja.html"), japanese));
    const struct {
        int language;
        QString expected;
    } cases[] = {
        {kJa, japanese},  // present
        {kZh, english},   // help_zh.html missing
        {kEn, english},
        {0, english},     // no language yet
    };
    for (const auto &c : cases)
        EXPECT_EQ(CKVL_ControlApp::HelpFileOf(english, c.language), c.expected) << c.language;
}

TEST_F(HelpPagesTest, AnOpenHelpWindowSwitchesToThePageOfTheNewLanguageAtTheSameSection)
{
    StartApp(CAppSettings::kSystemLangJapanese);
    Dialog().show();
    m_app->ShowHelp(QStringLiteral("monitor"));
    CHelpWindow *help = m_app->HelpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(QFileInfo(help->File()).fileName(), QStringLiteral("help_ja.html"));

    Dialog().PressLanguage(kEn);
    ASSERT_EQ(m_app->Settings().Language(), kEn);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(QFileInfo(help->File()).fileName(), QStringLiteral("help.html"));
    EXPECT_EQ(help->Section(), QStringLiteral("monitor"));
    EXPECT_EQ(help->Browser()->source().fragment(), QStringLiteral("monitor"));
    EXPECT_GT(help->Browser()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(help->Browser()->toPlainText().startsWith(QStringLiteral("Actuator Engineering Tool")));
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Actuator Engineering Tool - Help"));

    // A hidden help window is not reloaded; the next Help shows the current language's page.
    help->hide();
    Dialog().PressLanguage(kJa);
    EXPECT_EQ(QFileInfo(help->File()).fileName(), QStringLiteral("help.html"));
    m_app->ShowHelp(QStringLiteral("link"));
    EXPECT_EQ(QFileInfo(help->File()).fileName(), QStringLiteral("help_ja.html"));
    EXPECT_TRUE(help->Browser()->toPlainText().startsWith(QStringLiteral("アクチュエータ")));
}

TEST_F(HelpPagesTest, EveryPageHoldsEveryWindowsSectionAndItsPictures)
{
    const QString pictures = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help_pictures"));
    QSet<QString> englishIds;
    for (const LanguagePage &page : kPages) {
        SCOPED_TRACE(page.file);
        const QString html = ReadUtf8(BuiltPage(page.file));
        ASSERT_FALSE(html.isEmpty()) << "the build puts the page beside the programs";
        EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        const QSet<QString> ids = ElementIds(html);
        for (const char *section : kWindowSections)
            EXPECT_TRUE(ids.contains(QLatin1String(section))) << "section " << section;
        if (page.language == kEn)
            englishIds = ids;
        const QSet<QString> sources = PictureSources(html);
        EXPECT_GE(sources.size(), 15) << "the windows' pictures";
        for (const QString &source : sources) {
            EXPECT_TRUE(source.startsWith(QStringLiteral("help_pictures/"))) << source.toStdString();
            const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(source);
            EXPECT_TRUE(QFileInfo(path).isFile()) << source.toStdString();
            EXPECT_TRUE(QFileInfo(path).absolutePath() == QFileInfo(pictures).absoluteFilePath())
                << source.toStdString();
            // Each page shows the pictures of its own language.
            const char *suffix = page.language == kJa ? "_ja.png" : page.language == kEn ? "_en.png" : "_zh.png";
            EXPECT_TRUE(source.endsWith(QLatin1String(suffix))) << source.toStdString();
        }
    }
    // The same sections in every language, so that a language switch finds the section again.
    for (const LanguagePage &page : kPages)
        EXPECT_EQ(ElementIds(ReadUtf8(BuiltPage(page.file))), englishIds) << page.file;
}

} // namespace
} // namespace kvl
