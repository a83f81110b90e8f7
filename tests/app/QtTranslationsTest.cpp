// Qt's own dialogs and buttons follow the user's language: the application object installs Qt's
// translation of Japanese or Chinese and takes it out again for English and when it ends; without
// the translation files the program runs with Qt's English texts.
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CQtTranslations.h"
#include "config/CAppSettings.h"
#include "ui/CPictureButton.h"

namespace kvl {
namespace {

using test::StartAppFixture;

// Qt's own Cancel, as every standard button box and message box shows it.
QString QtCancelText()
{
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));
}

const QString kEnglishCancel = QStringLiteral("Cancel");

class QtTranslationsTest : public StartAppFixture {};

TEST_F(QtTranslationsTest, JapaneseAndChineseInstallQtsTranslationAndEnglishTakesItOut)
{
    const struct {
        int systemLanguage;
        int language;
        const char *cancel;   // Qt's translation of its Cancel button
    } cases[] = {{CAppSettings::kSystemLangJapanese, CAppSettings::kLanguageJapanese, "キャンセル"},
                 {CAppSettings::kSystemLangChinese, CAppSettings::kLanguageChinese, "取消"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.language);
        CKVL_ControlApp &app = StartApp(c.systemLanguage);
        ASSERT_EQ(app.Settings().Language(), c.language);
        EXPECT_TRUE(app.QtTranslations().Installed());
        EXPECT_EQ(QtCancelText(), QString::fromUtf8(c.cancel));
        EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));

        app.StartDialog()->show();
        QTest::mouseClick(app.StartDialog()->LanguageButton(CAppSettings::kLanguageEnglish), Qt::LeftButton);
        ASSERT_EQ(app.Settings().Language(), CAppSettings::kLanguageEnglish);
        EXPECT_FALSE(app.QtTranslations().Installed());
        EXPECT_EQ(QtCancelText(), kEnglishCancel);
        m_app.reset();
    }
}

TEST_F(QtTranslationsTest, EndingTheApplicationTakesTheTranslationOut)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese);
    ASSERT_TRUE(app.QtTranslations().Installed());
    m_app.reset();
    EXPECT_EQ(QtCancelText(), kEnglishCancel);
}

TEST_F(QtTranslationsTest, EnglishInstallsNone)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    EXPECT_FALSE(app.QtTranslations().Installed());
    EXPECT_EQ(QtCancelText(), kEnglishCancel);
}

TEST_F(QtTranslationsTest, WithoutTheTranslationFilesQtStaysEnglish)
{
    QTemporaryDir empty;
    CQtTranslations translations(empty.path());
    for (const int language :
         {CAppSettings::kLanguageJapanese, CAppSettings::kLanguageEnglish, CAppSettings::kLanguageChinese}) {
        SCOPED_TRACE(language);
        EXPECT_FALSE(translations.Apply(language));
        EXPECT_FALSE(translations.Installed());
        EXPECT_EQ(QtCancelText(), kEnglishCancel);
    }
}

TEST_F(QtTranslationsTest, LocaleOfEachLanguage)
{
    const struct {
        int language;
        const char *locale;
    } cases[] = {{CAppSettings::kLanguageJapanese, "ja"},
                 {CAppSettings::kLanguageEnglish, ""},
                 {CAppSettings::kLanguageChinese, "zh_CN"},
                 {0, ""},
                 {4, ""}};
    for (const auto &c : cases)
        EXPECT_EQ(CQtTranslations::LocaleOf(c.language), QLatin1String(c.locale)) << c.language;
}

} // namespace
} // namespace kvl
