// The language texts of a window through CWindowTexts: captions of every kind of widget from the
// file, the built-in caption where the file has no text, and a language switch that rewrites
// every caption (back to the built-in one where the new language lacks a text).
#include "common/CWindowTexts.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <string>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "config/CAppSettings.h"
#include "config/CCodePage.h"

namespace kvl {
namespace {

using test::StartAppFixture;

constexpr char kSection[] = "IDD_TEST_WINDOW";

// Japanese has every text but an empty one for the group box; English lacks the label's text
// and the button's tooltip.
constexpr char kJapaneseFile[] =
    "[IDD_TEST_WINDOW]\nIDD_TEST_WINDOW=試験窓\nIDC_LABEL=ラベル\nIDC_BUTTON=押す\nIDC_BOX=\n"
    "IDC_TOOL=道具\n[TOOLTIPS]\nTOOLTIPS901=押すと始まります\n";
constexpr char kEnglishFile[] =
    "[IDD_TEST_WINDOW]\nIDD_TEST_WINDOW=Test window\nIDC_BUTTON=Press\nIDC_BOX=Box\nIDC_TOOL=Tool\n";

struct Shown {
    const char *title, *label, *button, *box, *tool, *tooltip;
};

class WindowTextsTest : public StartAppFixture {
protected:
    void SetUp() override
    {
        StartAppFixture::SetUp();
        std::string japanese;
        ASSERT_TRUE(CCodePage::FromUtf8(kJapaneseFile, CCodePage::kJapanese, japanese, false));
        WriteSystemFile("Lang_JP.ini", japanese);
        WriteSystemFile("Lang_EN.ini", kEnglishFile);
    }

    // A window of each kind of widget, whose texts follow the application's language.
    void BuildWindow(CKVL_ControlApp &app)
    {
        m_window = std::make_unique<QDialog>();
        m_label = new QLabel(m_window.get());
        m_button = new QPushButton(m_window.get());
        m_box = new QGroupBox(m_window.get());
        m_tool = new QToolButton(m_window.get());
        m_missing = new QLabel(m_window.get());
        auto apply = [this, &app] {
            const CLanguageTexts &texts = app.Settings().Texts();
            m_fromFile = CWindowTexts::Apply(texts,
                                             {{m_window.get(), kSection, kSection, "Built-in title"},
                                              {m_label, "IDC_LABEL", kSection, "Label"},
                                              {m_button, "IDC_BUTTON", kSection, "Button"},
                                              {m_box, "IDC_BOX", kSection, "Group"},
                                              {m_tool, "IDC_TOOL", kSection, "Tool button"},
                                              {m_missing, "IDC_NOWHERE", kSection, "Nowhere"}},
                                             [](const QString &title) { return title + QStringLiteral(" [mark]"); });
            CWindowTexts::ApplyTooltips(texts, {{m_button, 901}});
        };
        apply();
        QObject::connect(&app, &CKVL_ControlApp::languageChanged, m_window.get(), apply);
    }

    void ExpectShown(const Shown &expected)
    {
        EXPECT_EQ(m_window->windowTitle().toStdString(), std::string(expected.title) + " [mark]");
        EXPECT_EQ(m_label->text().toStdString(), expected.label);
        EXPECT_EQ(m_button->text().toStdString(), expected.button);
        EXPECT_EQ(m_box->title().toStdString(), expected.box);
        EXPECT_EQ(m_tool->text().toStdString(), expected.tool);
        EXPECT_EQ(m_button->toolTip().toStdString(), expected.tooltip);
        EXPECT_EQ(m_missing->text().toStdString(), "Nowhere") << "no language has this text";
    }

    std::unique_ptr<QDialog> m_window;
    QLabel *m_label = nullptr;
    QPushButton *m_button = nullptr;
    QGroupBox *m_box = nullptr;
    QToolButton *m_tool = nullptr;
    QLabel *m_missing = nullptr;
    int m_fromFile = -1;
};

TEST_F(WindowTextsTest, MissingTextsKeepTheBuiltInCaptionAndASwitchRewritesEveryOne)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese);
    ASSERT_EQ(app.Settings().Language(), CAppSettings::kLanguageJapanese);
    BuildWindow(app);
    ExpectShown({"試験窓", "ラベル", "押す", "Group", "道具", "押すと始まります"});
    EXPECT_EQ(m_fromFile, 4) << "the empty text and the missing one are not from the file";

    // English lacks the label's text and the tooltip: the built-in caption comes back, not the
    // Japanese one.
    app.Settings().SwitchLanguage(CAppSettings::kLanguageEnglish);
    ExpectShown({"Test window", "Label", "Press", "Box", "Tool", ""});
    EXPECT_EQ(m_fromFile, 4);

    app.Settings().SwitchLanguage(CAppSettings::kLanguageJapanese);
    ExpectShown({"試験窓", "ラベル", "押す", "Group", "道具", "押すと始まります"});
}

TEST_F(WindowTextsTest, TextFallsBackToTheBuiltInOne)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese);
    const CLanguageTexts &texts = app.Settings().Texts();
    struct Case {
        const char *key;
        const char *expected;
    };
    const Case cases[] = {{"IDC_LABEL", "ラベル"}, {"IDC_BOX", "built-in"}, {"IDC_NOWHERE", "built-in"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(CWindowTexts::Text(texts, c.key, kSection, QStringLiteral("built-in")).toStdString(),
                  c.expected);
    }
    EXPECT_TRUE(CWindowTexts::Text(texts, "IDC_NOWHERE", kSection).isEmpty());
}

} // namespace
} // namespace kvl
