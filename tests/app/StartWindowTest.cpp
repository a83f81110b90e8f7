// The start window and the application object: language by the system's language, the language
// buttons, the version text, the window registry, the communication warning and the end of the
// program.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "common/CHelpWindow.h"
#include "common/CMsgDlg.h"
#include "config/CAppSettings.h"
#include "link/CCommImplement.h"
#include "ui/CPictureButton.h"

namespace kvl {
namespace {

using test::StartAppFixture;

constexpr int kJa = CAppSettings::kLanguageJapanese;
constexpr int kEn = CAppSettings::kLanguageEnglish;
constexpr int kZh = CAppSettings::kLanguageChinese;

struct Captions {
    QString title, language, help, next, nextTip, helpTip;
};

const Captions kEnglish{QStringLiteral("Actuator Engineering Tool"), QStringLiteral("Language"),
                        QStringLiteral("Help"), QStringLiteral("Next"),
                        QStringLiteral("Go on to the axis link window"), QStringLiteral("Show the help")};
// No language file: the captions built into the window, no tooltips.
const Captions kBuiltIn{QStringLiteral("Actuator Engineering Tool"), QStringLiteral("Language"),
                        QStringLiteral("Help"), QStringLiteral("Next"), QString(), QString()};
const Captions kJapanese{QStringLiteral("アクチュエータ エンジニアリングツール"), QStringLiteral("言語"),
                         QStringLiteral("ヘルプ"), QStringLiteral("次へ"), QString(), QString()};
const Captions kChinese{QStringLiteral("执行器工程工具"), QStringLiteral("语言"), QStringLiteral("帮助"),
                        QStringLiteral("下一步"), QString(), QString()};

class StartWindowTest : public StartAppFixture {
protected:
    CKVL_VER2_ControlDlg &Dialog() { return *m_app->StartDialog(); }

    void ExpectCaptions(const Captions &expected)
    {
        CKVL_VER2_ControlDlg &dlg = Dialog();
        EXPECT_EQ(dlg.windowTitle(), expected.title + QStringLiteral(" [Ver 2.00]"));
        EXPECT_EQ(dlg.findChild<QLabel *>(QStringLiteral("titleText"))->text(), expected.title);
        EXPECT_EQ(dlg.findChild<QLabel *>(QStringLiteral("languageLabel"))->text(), expected.language);
        EXPECT_EQ(dlg.findChild<QLabel *>(QStringLiteral("helpLabel"))->text(), expected.help);
        EXPECT_EQ(dlg.NextButton()->text(), expected.next);
        EXPECT_EQ(dlg.HelpButton()->text(), expected.help);
        if (!expected.nextTip.isEmpty()) {
            EXPECT_EQ(dlg.NextButton()->toolTip(), expected.nextTip);
            EXPECT_EQ(dlg.HelpButton()->toolTip(), expected.helpTip);
        }
    }

    void ExpectLanguageButtons(bool ja, bool en, bool zh, int checked)
    {
        const bool enabled[] = {ja, en, zh};
        for (int language = kJa; language <= kZh; ++language) {
            SCOPED_TRACE(language);
            CPictureButton *button = Dialog().LanguageButton(language);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->isEnabled(), enabled[language - 1]);
            EXPECT_EQ(button->isChecked(), language == checked);
        }
    }

    std::string StoredLanguage() const
    {
        const std::string ini = ReadSystemFile(CAppSettings::kSettingsFile);
        const size_t at = ini.find("Default=");
        return at == std::string::npos ? std::string() : ini.substr(at + 8, 1);
    }
};

TEST_F(StartWindowTest, OpensInTheSystemLanguageWithItsButtons)
{
    const struct {
        const char *locale;
        int language;
        bool ja, en, zh;
        const Captions *captions;
    } cases[] = {
        {"de_DE.UTF-8", kEn, false, true, false, &kEnglish},
        {"en_GB.UTF-8", kEn, false, true, false, &kEnglish},
        {"ja_JP.UTF-8", kJa, true, true, false, &kJapanese},
        {"zh_CN.UTF-8", kZh, false, true, true, &kChinese},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locale);
        CKVL_ControlApp &app = StartApp(CAppSettings::SystemLanguageIdOf(c.locale));
        app.StartDialog()->show();
        EXPECT_EQ(app.Settings().Language(), c.language);
        EXPECT_EQ(app.Values().language, c.language);
        ExpectLanguageButtons(c.ja, c.en, c.zh, c.language);
        ExpectCaptions(*c.captions);
        EXPECT_EQ(Dialog().VersionLabel()->text(), QStringLiteral("Ver 2.0.2010.0928"));
        m_app.reset();
    }
}

TEST_F(StartWindowTest, LanguageButtonsSwitchEveryCaption)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese);
    Dialog().show();
    int signalled = 0;
    QObject::connect(&app, &CKVL_ControlApp::languageChanged, [&signalled](int language) { signalled = language; });
    ExpectCaptions(kJapanese);

    QTest::mouseClick(Dialog().LanguageButton(kEn), Qt::LeftButton);
    EXPECT_EQ(signalled, kEn);
    EXPECT_EQ(app.Settings().Language(), kEn);
    ExpectLanguageButtons(true, true, false, kEn);
    ExpectCaptions(kEnglish);
    EXPECT_EQ(StoredLanguage(), "2") << "the switch saves the chosen language at once";

    QTest::mouseClick(Dialog().LanguageButton(kJa), Qt::LeftButton);
    EXPECT_EQ(signalled, kJa);
    ExpectLanguageButtons(true, true, false, kJa);
    ExpectCaptions(kJapanese);
    EXPECT_EQ(app.Text("IDC_BTN_OK", "IDD_KVL_VER2_CONFIRM"), CMsgDlg(nullptr, {}, {}).OkButton()->text())
        << "the message dialog follows the language too";
}

TEST_F(StartWindowTest, ChineseTextsGetTheSimplifiedChineseFont)
{
    const QString before = QApplication::font().family();
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangChinese);
    Dialog().show();
    EXPECT_EQ(QApplication::font().family(), QStringLiteral("Noto Sans CJK SC"));
    QTest::mouseClick(Dialog().LanguageButton(kEn), Qt::LeftButton);
    EXPECT_EQ(app.Settings().Language(), kEn);
    EXPECT_EQ(QApplication::font().family(), before);
    m_app.reset();
    EXPECT_EQ(QApplication::font().family(), before) << "the application's font is given back";
}

TEST_F(StartWindowTest, CurrentOrDisabledLanguageButtonChangesNothing)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    Dialog().show();
    int signalled = 0;
    QObject::connect(&app, &CKVL_ControlApp::languageChanged, [&signalled](int language) { signalled = language; });

    QTest::mouseClick(Dialog().LanguageButton(kEn), Qt::LeftButton);
    ExpectLanguageButtons(false, true, false, kEn);
    Dialog().PressLanguage(kJa);
    Dialog().PressLanguage(kZh);
    EXPECT_EQ(signalled, 0);
    EXPECT_EQ(app.Settings().Language(), kEn);
    ExpectLanguageButtons(false, true, false, kEn);
    ExpectCaptions(kEnglish);
}

TEST_F(StartWindowTest, NextOpensOneAxisLinkWindowThatFollowsTheLanguage)
{
    StartApp(CAppSettings::kSystemLangJapanese);
    Dialog().show();
    EXPECT_EQ(Dialog().LinkWindow(), nullptr);
    QTest::mouseClick(Dialog().NextButton(), Qt::LeftButton);
    QPointer<QWidget> link = Dialog().LinkWindow();
    ASSERT_FALSE(link.isNull());
    ASSERT_NE(qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(link.data()), nullptr);
    EXPECT_TRUE(link->isVisible());
    EXPECT_TRUE(Dialog().isVisible()) << "the start window stays open behind it";
    EXPECT_EQ(link->windowTitle(), QStringLiteral("軸接続"));

    link->hide();
    QTest::mouseClick(Dialog().NextButton(), Qt::LeftButton);
    EXPECT_EQ(Dialog().LinkWindow(), link.data()) << "created once, shown again";
    EXPECT_TRUE(link->isVisible());

    QTest::mouseClick(Dialog().LanguageButton(kEn), Qt::LeftButton);
    EXPECT_EQ(link->windowTitle(), QStringLiteral("Axis Link"));
    ExpectCaptions(kEnglish);

    Dialog().close();
    EXPECT_TRUE(link.isNull()) << "closing the start window destroys the axis link window";
}

TEST_F(StartWindowTest, WithoutSettingsFileTheBuiltInCaptionsStay)
{
    std::filesystem::remove(SystemFile(CAppSettings::kSettingsFile));
    StartApp(CAppSettings::kSystemLangJapanese);
    Dialog().show();
    ExpectCaptions(kBuiltIn);
    EXPECT_EQ(Dialog().VersionLabel()->text(), QStringLiteral("Ver 2.0.2010.0928"))
        << "the version is shown without any language too";
    EXPECT_EQ(Dialog().NextButton()->toolTip(), QString());
    QTest::mouseClick(Dialog().LanguageButton(kEn), Qt::LeftButton);
    EXPECT_FALSE(m_app->Settings().Texts().IsLoaded()) << "no settings file names a language file";
    ExpectCaptions(kBuiltIn);
}

// A missing language file: the buttons still switch to every language whose file is there, and
// a button whose language file is missing changes nothing. The version text stays throughout.
TEST_F(StartWindowTest, LanguageButtonsSwitchToEveryLanguageWhoseFileExists)
{
    const struct {
        const char *missing;        // language file removed before the start
        int systemLanguageId;
        int startLanguage;          // current at the start (its texts loaded or not)
        int pressed;
        int after;
        const Captions *captions;   // captions after the press
    } cases[] = {
        // The current language's file is missing: English, whose file is there, is taken.
        {"Lang_CN.ini", CAppSettings::kSystemLangChinese, kZh, kEn, kEn, &kEnglish},
        {"Lang_JP.ini", CAppSettings::kSystemLangJapanese, kJa, kEn, kEn, &kEnglish},
        // The pressed language's file is missing: the current language stays.
        {"Lang_EN.ini", CAppSettings::kSystemLangJapanese, kJa, kEn, kJa, &kJapanese},
        {"Lang_EN.ini", CAppSettings::kSystemLangChinese, kZh, kEn, kZh, &kChinese},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.missing) + " then " + std::to_string(c.pressed));
        // A fresh copy of the system folder for each case.
        TearDown();
        ASSERT_NO_FATAL_FAILURE(SetUp());
        ASSERT_TRUE(std::filesystem::remove(SystemFile(c.missing)));
        CKVL_ControlApp &app = StartApp(c.systemLanguageId);
        Dialog().show();
        ASSERT_EQ(app.Settings().Language(), c.startLanguage);
        EXPECT_EQ(Dialog().VersionLabel()->text(), QStringLiteral("Ver 2.0.2010.0928"));
        QTest::mouseClick(Dialog().LanguageButton(c.pressed), Qt::LeftButton);
        EXPECT_EQ(app.Settings().Language(), c.after);
        EXPECT_TRUE(Dialog().LanguageButton(c.after)->isChecked());
        EXPECT_EQ(Dialog().LanguageButton(c.pressed)->isChecked(), c.pressed == c.after);
        ExpectCaptions(*c.captions);
        EXPECT_EQ(Dialog().VersionLabel()->text(), QStringLiteral("Ver 2.0.2010.0928"));
    }
}

TEST_F(StartWindowTest, ClosingWritesTheWaveformValuesAndDestroysEveryWindow)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    Dialog().show();
    CWaveformSettings::Values values = app.Settings().Waveform().Get();
    values.time = 250;
    values.periodTimes = 7;
    app.Settings().Waveform().Set(values);

    using Kind = CWindowRegistry::Kind;
    auto make = [] { return new QWidget; };
    QPointer<QWidget> main3 = app.Windows().FindOrCreateWidget(Kind::kAxisMain, 3, make);
    QPointer<QWidget> monitor15 = app.Windows().FindOrCreateWidget(Kind::kMonitor, 15, make);
    QPointer<QWidget> offline = app.Windows().FindOrCreateWidget(Kind::kGateway, CWindowRegistry::kNoAxis, make);

    Dialog().close();
    EXPECT_TRUE(main3.isNull());
    EXPECT_TRUE(monitor15.isNull());
    EXPECT_TRUE(offline.isNull());
    const std::string rog = ReadSystemFile("RogSetting.ini");
    EXPECT_NE(rog.find("IDC_STATIC_ROG_TIME=250"), std::string::npos) << rog;
    EXPECT_NE(rog.find("IDC_STATIC_PERIOD_TIMES=7"), std::string::npos) << rog;
}

TEST_F(StartWindowTest, EscapeDoesNotEndTheProgram)
{
    StartApp(CAppSettings::kSystemLangEnglish);
    Dialog().show();
    QTest::keyClick(&Dialog(), Qt::Key_Escape);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_TRUE(m_app->Settings().Texts().IsLoaded()) << "the settings stay open";
}

TEST_F(StartWindowTest, WindowRegistryKeepsOneWindowPerAxisAndKind)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    using Kind = CWindowRegistry::Kind;
    auto *a = new QWidget;
    auto *b = new QWidget;
    app.Windows().FindOrCreateWidget(Kind::kParamList, 0, [a] { return a; });
    app.Windows().FindOrCreateWidget(Kind::kWaveform, 0, [b] { return b; });
    EXPECT_EQ(app.Windows().FindWidget(Kind::kParamList, 0), a);
    EXPECT_EQ(app.Windows().FindWidget(Kind::kWaveform, 0), b);
    EXPECT_EQ(app.Windows().FindWidget(Kind::kParamList, 1), nullptr);
    for (int axis : {-1, CKVL_ControlApp::kAxisCount}) {
        app.Windows().FindOrCreateWidget(Kind::kAxisMain, axis, [a] { return a; });
        EXPECT_EQ(app.Windows().FindWidget(Kind::kAxisMain, axis), nullptr) << axis;
    }
    delete a;
    EXPECT_EQ(app.Windows().FindWidget(Kind::kParamList, 0), nullptr) << "a destroyed window leaves its slot";
    EXPECT_EQ(app.Windows().FindWidget(Kind::kWaveform, 0), b);
}

TEST_F(StartWindowTest, CommunicationWarningShowsTheLanguageText)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese);
    const LinkHooks hooks = app.Comm().Hooks();
    ASSERT_TRUE(hooks.commWarning);
    ASSERT_TRUE(hooks.pumpEvents);
    bool dispatched = false;
    QTimer::singleShot(0, [&dispatched] { dispatched = true; });
    hooks.pumpEvents();
    EXPECT_TRUE(dispatched) << "a long receive lets the windows handle their pending events";
    QString title, text;
    AnswerNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<CMsgDlg *>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        text = dialog->Text();
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    hooks.commWarning();
    EXPECT_EQ(title, QStringLiteral("Message"));
    EXPECT_EQ(text, QStringLiteral("通信タイムアウトが続いています。ケーブルと電源を確認してください。"));
}

TEST_F(StartWindowTest, HelpPageLiesBesideTheProgram)
{
    const QString help = CKVL_VER2_ControlDlg::HelpFile();
    EXPECT_TRUE(help.endsWith(QStringLiteral("/help.html")));
    EXPECT_TRUE(QFileInfo::exists(help)) << help.toStdString();
}

// Help needs no web browser: every Help button shows the page in the tool's own help window,
// one for the whole run, titled by the page.
TEST_F(StartWindowTest, HelpButtonsShowThePageInTheToolsOwnWindow)
{
    StartApp(CAppSettings::kSystemLangEnglish);
    Dialog().show();
    EXPECT_EQ(m_app->HelpWindow(), nullptr);
    QTest::mouseClick(Dialog().HelpButton(), Qt::LeftButton);
    QPointer<CHelpWindow> help = m_app->HelpWindow();
    ASSERT_FALSE(help.isNull());
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->PageShown());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Actuator Engineering Tool - Help"));
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("Axis link")));

    help->close();
    QTest::mouseClick(Dialog().NextButton(), Qt::LeftButton);
    auto *link = qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(Dialog().LinkWindow());
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link->HelpButton(), Qt::LeftButton);
    EXPECT_EQ(m_app->HelpWindow(), help.data()) << "one help window";
    EXPECT_TRUE(help->isVisible());
    QTest::mouseClick(link->PortSettingsButton(), Qt::LeftButton);
    ASSERT_NE(link->PortSettingsWindow(), nullptr);
    help->hide();
    QTest::mouseClick(link->PortSettingsWindow()->HelpButton(), Qt::LeftButton);
    EXPECT_EQ(m_app->HelpWindow(), help.data());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Actuator Engineering Tool - Help"));

    Dialog().close();
    EXPECT_TRUE(help.isNull()) << "the help window goes with the start window";
}

TEST_F(StartWindowTest, AMissingHelpPageIsSaidInTheHelpWindow)
{
    m_helpFile = QString::fromStdString((m_folder / "no-help.html").string());
    StartApp(CAppSettings::kSystemLangJapanese);
    Dialog().show();
    QTest::mouseClick(Dialog().HelpButton(), Qt::LeftButton);
    CHelpWindow *help = m_app->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->PageShown());
    const QString text = help->Browser()->toPlainText();
    EXPECT_TRUE(text.startsWith(m_app->Text("IDS_ERRMSG_FILENOTFOUND", "Common"))) << text.toStdString();
    EXPECT_FALSE(m_app->Text("IDS_ERRMSG_FILENOTFOUND", "Common").isEmpty());
    EXPECT_TRUE(text.contains(m_helpFile)) << text.toStdString();
    EXPECT_EQ(help->windowTitle(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(help->CloseButton()->text(), QStringLiteral("閉じる"));
}

TEST_F(StartWindowTest, AnOpenHelpWindowFollowsALanguageSwitch)
{
    StartApp(CAppSettings::kSystemLangJapanese);
    Dialog().show();
    QTest::mouseClick(Dialog().HelpButton(), Qt::LeftButton);
    CHelpWindow *help = m_app->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->CloseButton()->text(), QStringLiteral("閉じる"));
    Dialog().PressLanguage(kEn);
    ASSERT_EQ(m_app->Settings().Language(), kEn);
    EXPECT_EQ(help->CloseButton()->text(), QStringLiteral("Close"));
}

TEST_F(StartWindowTest, SecondStartRaisesTheFirstAndStops)
{
    const QString name = QStringLiteral("kvl_motor_test_%1").arg(QCoreApplication::applicationPid());
    CKVL_ControlApp &first = StartApp(CAppSettings::kSystemLangEnglish, false, name);
    ASSERT_FALSE(first.StartDialog()->isVisible());
    {
        CKVL_ControlApp::Options options;
        options.instanceName = name;
        options.systemFolder = QString::fromStdString(m_scratch->System().string());
        CKVL_ControlApp second(options);
        EXPECT_EQ(second.Start(), CKVL_ControlApp::StartResult::kAlreadyRunning);
        EXPECT_EQ(second.StartDialog(), nullptr);
    }
    EXPECT_TRUE(QTest::qWaitFor([&first] { return first.StartDialog()->isVisible(); }, 5000))
        << "the running instance shows its window when asked";
    m_app.reset();
    CKVL_ControlApp::Options options;
    options.instanceName = name;
    options.systemFolder = QString::fromStdString(m_scratch->System().string());
    CKVL_ControlApp again(options);
    EXPECT_EQ(again.Start(), CKVL_ControlApp::StartResult::kStarted) << "the lock goes with the first run";
}

// The single-instance lock and socket live in the user's runtime folder ($XDG_RUNTIME_DIR), not in
// the shared temporary folder; a second start brings back the window the user last worked in,
// minimised or not, rather than the start window behind it.
TEST_F(StartWindowTest, ASecondStartRaisesTheWindowTheUserWasIn)
{
    struct RestoreRuntime {
        QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        bool wasSet = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        ~RestoreRuntime() { wasSet ? qputenv("XDG_RUNTIME_DIR", saved) : qunsetenv("XDG_RUNTIME_DIR"); }
    } restoreRuntime;
    const QString runtime = QString::fromStdString((m_folder / "runtime").string());
    ASSERT_TRUE(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    const QString name = QStringLiteral("kvl_motor_test_%1").arg(QCoreApplication::applicationPid());
    CKVL_ControlApp &first = StartApp(CAppSettings::kSystemLangEnglish, false, name);
    EXPECT_TRUE(QFileInfo::exists(QDir(runtime).filePath(name + QStringLiteral(".lock"))));
    Dialog().show();
    QTest::mouseClick(Dialog().NextButton(), Qt::LeftButton);
    QWidget *link = Dialog().LinkWindow();
    ASSERT_NE(link, nullptr);
    link->activateWindow();
    link->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(link));
    link->showMinimized();
    {
        CKVL_ControlApp::Options options;
        options.instanceName = name;
        options.systemFolder = QString::fromStdString(m_scratch->System().string());
        CKVL_ControlApp second(options);
        EXPECT_EQ(second.Start(), CKVL_ControlApp::StartResult::kAlreadyRunning);
    }
    EXPECT_TRUE(QTest::qWaitFor([link] { return link->isVisible() && !link->isMinimized(); }, 5000))
        << "the axis link window, where the user was, comes back";
    m_app.reset();
    (void)first;
}

} // namespace
} // namespace kvl
