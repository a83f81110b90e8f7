// The entry flow of auto-tuning, offscreen on the application object: the danger notice and the
// setting guide with the shipped pages of the current language, and only OK on both going on.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "ModalAnswer.h"
#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "config/CAppSettings.h"
#include "tuning/CAutoTuningEntryFlow.h"
#include "tuning/CCKVL_VER2_AutoTuningSettingFlowDlg.h"
#include "tuning/CKVL_VER2_AutoTuningAlarmDlg.h"
#include "tuning/CTuningPageView.h"

namespace kvl::tuning {
namespace {

// Notes the object name of every dialog that is shown.
class ShownDialogs : public QObject {
public:
    ShownDialogs() { qApp->installEventFilter(this); }
    ~ShownDialogs() override { qApp->removeEventFilter(this); }
    QStringList names;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QDialog *>(watched))
            names << watched->objectName();
        return false;
    }
};

enum class Answer { kOk, kEscape, kClose };

void Give(QWidget *modal, Answer answer)
{
    auto *dialog = qobject_cast<QDialog *>(modal);
    ASSERT_NE(dialog, nullptr);
    switch (answer) {
    case Answer::kOk:
        dialog->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
        break;
    case Answer::kEscape:
        QTest::keyClick(dialog, Qt::Key_Escape);
        break;
    case Answer::kClose:
        dialog->close();
        break;
    }
}

class EntryFlowTest : public test::StartAppFixture {};

TEST_F(EntryFlowTest, OnlyOkOnBothGuidesGoesOn)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    const QString notice = QStringLiteral("tuningAlarmDialog");
    const QString guide = QStringLiteral("tuningFlowDialog");
    const struct {
        const char *name;
        Answer atNotice;
        Answer atGuide;
        bool goesOn;
        QStringList shown;
    } cases[] = {
        {"notice escaped", Answer::kEscape, Answer::kOk, false, {notice}},
        {"notice closed", Answer::kClose, Answer::kOk, false, {notice}},
        {"guide escaped", Answer::kOk, Answer::kEscape, false, {notice, guide}},
        {"guide closed", Answer::kOk, Answer::kClose, false, {notice, guide}},
        {"OK on both", Answer::kOk, Answer::kOk, true, {notice, guide}},
    };
    for (const auto &c : cases) {
        ShownDialogs shown;
        test::AnswerNextModal([&c, guide](QWidget *modal) {
            EXPECT_EQ(modal->objectName(), QStringLiteral("tuningAlarmDialog")) << c.name;
            if (c.atNotice == Answer::kOk)
                test::AnswerNextModal([&c](QWidget *second) { Give(second, c.atGuide); });
            Give(modal, c.atNotice);
        });
        EXPECT_EQ(CAutoTuningEntryFlow::Run(app, nullptr), c.goesOn) << c.name;
        EXPECT_EQ(shown.names, c.shown) << c.name;
    }
}

TEST_F(EntryFlowTest, PagesAndTextsFollowTheLanguage)
{
    const struct {
        int systemLanguage;
        int language;
        const char *folder;
        const char *noticeTitle;
        const char *alarmPageTitle;
        const char *firstStepTitle;
        const char *heading;
    } cases[] = {
        {CAppSettings::kSystemLangEnglish, 2, "/EN/", "Danger", "Danger", "Step 1: prepare",
         "Auto tuning step by step"},
        {CAppSettings::kSystemLangJapanese, 1, "/JP/", "危険", "危険", "手順1: 準備", "オートチューニングの手順"},
        {CAppSettings::kSystemLangChinese, 3, "/CH/", "危险", "危险", "步骤1: 准备", "自动调整步骤"},
    };
    for (const auto &c : cases) {
        m_app.reset();
        CKVL_ControlApp &app = StartApp(c.systemLanguage);
        ASSERT_EQ(app.Settings().Language(), c.language) << c.folder;

        CKVL_VER2_AutoTuningAlarmDlg notice(app, nullptr);
        EXPECT_TRUE(notice.windowTitle().contains(QString::fromUtf8(c.noticeTitle))) << c.folder;
        EXPECT_FALSE(notice.MessageLabel()->text().isEmpty()) << c.folder;
        EXPECT_TRUE(notice.Page()->PageShown()) << notice.Page()->PageFile().toStdString();
        EXPECT_TRUE(notice.Page()->PageFile().endsWith(QString::fromLatin1(c.folder) +
                                                       QStringLiteral("AutoTuning_Alarm_Wnd.html")));
        EXPECT_EQ(notice.Page()->documentTitle(), QString::fromUtf8(c.alarmPageTitle));

        CCKVL_VER2_AutoTuningSettingFlowDlg guide(app, nullptr);
        EXPECT_EQ(guide.Heading()->text(), QString::fromUtf8(c.heading));
        EXPECT_TRUE(guide.Heading()->font().italic());
        EXPECT_EQ(guide.Heading()->font().weight(), QFont::ExtraBold);
        EXPECT_EQ(guide.Heading()->font().pixelSize(), 20);
        for (int index = 0; index < CCKVL_VER2_AutoTuningSettingFlowDlg::kPageCount; ++index) {
            const CTuningPageView *page = guide.Page(index);
            EXPECT_TRUE(page->PageShown()) << page->PageFile().toStdString();
            EXPECT_TRUE(page->PageFile().endsWith(
                QStringLiteral("%1AutoTuning_SettingFlow_Wnd%2.html").arg(QString::fromLatin1(c.folder)).arg(index + 1)));
        }
        EXPECT_EQ(guide.Page(0)->documentTitle(), QString::fromUtf8(c.firstStepTitle));
    }
}

TEST_F(EntryFlowTest, AMissingPageIsSaidInPlainWords)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    ASSERT_TRUE(std::filesystem::remove(std::filesystem::path(app.Settings().SystemFolder()) / "EN" / "AutoTuning_Alarm_Wnd.html"));
    CKVL_VER2_AutoTuningAlarmDlg notice(app, nullptr);
    EXPECT_FALSE(notice.Page()->PageShown());
    EXPECT_TRUE(notice.Page()->toPlainText().contains(QStringLiteral("was not found")));
}

} // namespace
} // namespace kvl::tuning
