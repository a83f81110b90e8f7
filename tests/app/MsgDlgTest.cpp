// The message dialog: default texts, its buttons, the FLOAT choice with OK and Cancel.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "common/CMsgDlg.h"
#include "config/CAppValues.h"

namespace kvl {
namespace {

class MsgDlgTest : public ::testing::Test {
protected:
    CAppValues values;
};

TEST_F(MsgDlgTest, EmptyTitleAndTextGetTheirDefaults)
{
    const struct {
        QString title, text, shownTitle, shownText;
    } cases[] = {
        {QString(), QString(), QStringLiteral("Message"), QStringLiteral("None!")},
        {QStringLiteral("警告"), QString(), QStringLiteral("警告"), QStringLiteral("None!")},
        {QString(), QStringLiteral("通信连续超时。"), QStringLiteral("Message"), QStringLiteral("通信连续超时。")},
        {QStringLiteral("Warning"), QStringLiteral("Write the table?"), QStringLiteral("Warning"),
         QStringLiteral("Write the table?")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shownText.toStdString());
        CMsgDlg dialog(nullptr, c.title, c.text);
        EXPECT_EQ(dialog.windowTitle(), c.shownTitle);
        EXPECT_EQ(dialog.Text(), c.shownText);
    }
}

TEST_F(MsgDlgTest, CancelAndServiceButtonsOnlyWhenAsked)
{
    for (bool withCancel : {false, true}) {
        for (bool extra : {false, true}) {
            SCOPED_TRACE(testing::Message() << "cancel " << withCancel << " extra " << extra);
            CMsgDlg dialog(nullptr, QString(), QStringLiteral("text"), withCancel, 0, extra);
            dialog.show();
            ASSERT_NE(dialog.OkButton(), nullptr);
            EXPECT_TRUE(dialog.OkButton()->isVisible());
            EXPECT_EQ(dialog.CancelButton() != nullptr, withCancel);
            if (dialog.CancelButton()) {
                EXPECT_TRUE(dialog.CancelButton()->isVisible());
            }
            EXPECT_EQ(dialog.HomeButton()->isVisible(), extra);
            EXPECT_EQ(dialog.RemoteButton()->isVisible(), extra);
            EXPECT_EQ(dialog.Choice(), nullptr);
        }
    }
    // The service buttons act on an axis: without one there is nothing for them to do.
    for (int axis : {-1, CAppValues::kAxisCount}) {
        CMsgDlg dialog(nullptr, QString(), QStringLiteral("text"), false, axis, true);
        dialog.show();
        EXPECT_FALSE(dialog.HomeButton()->isVisible()) << "axis " << axis;
        EXPECT_FALSE(dialog.RemoteButton()->isVisible()) << "axis " << axis;
    }
}

TEST_F(MsgDlgTest, ShowReturnsWhetherOkWasPressed)
{
    const struct {
        const char *button;
        bool accepted;
    } cases[] = {{"okButton", true}, {"cancelButton", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        QString seenTitle;
        test::StartAppFixture::AnswerNextModal([&](QWidget *modal) {
            seenTitle = modal->windowTitle();
            auto *button = modal->findChild<QPushButton *>(QLatin1String(c.button));
            ASSERT_NE(button, nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(CMsgDlg::Show(nullptr, QString(), QStringLiteral("Go on?"), true), c.accepted);
        EXPECT_EQ(seenTitle, QStringLiteral("Message"));
    }
    test::StartAppFixture::AnswerNextModal([](QWidget *modal) { modal->close(); });
    EXPECT_FALSE(CMsgDlg::Show(nullptr, QString(), QStringLiteral("Go on?"), true))
        << "closing the window is not OK";
}

TEST_F(MsgDlgTest, FloatChoiceStoresTheDecimalsOnlyOnOk)
{
    const struct {
        const char *what;
        int axis;
        int before;
        int chosen;
        bool ok;
        int after;
    } cases[] = {
        {"OK stores the choice", 3, 0, 2, true, 2},
        {"Cancel keeps the old value", 3, 1, 2, false, 1},
        {"OK with the same entry", 15, 1, 1, true, 1},
        {"OK back to 0", 0, 2, 0, true, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CAppValues &state = values;
        state.decimals = {};
        state.decimals[c.axis] = c.before;
        int preselected = -1;
        test::StartAppFixture::AnswerNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<CMsgDlg *>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_NE(dialog->Choice(), nullptr);
            EXPECT_TRUE(dialog->Choice()->isVisible());
            EXPECT_EQ(dialog->Choice()->count(), CMsgDlg::kChoiceCount);
            preselected = dialog->Choice()->currentIndex();
            dialog->Choice()->setCurrentIndex(c.chosen);
            QTest::mouseClick(c.ok ? dialog->OkButton() : dialog->CancelButton(), Qt::LeftButton);
        });
        EXPECT_EQ(CMsgDlg::Show(nullptr, QString(), QStringLiteral("Decimals"), true, c.axis, false, &values), c.ok);
        EXPECT_EQ(preselected, c.before);
        EXPECT_EQ(state.decimals[c.axis], c.after);
        for (int other = 0; other < CAppValues::kAxisCount; ++other) {
            if (other != c.axis) {
                EXPECT_EQ(state.decimals[other], 0) << "axis " << other;
            }
        }
    }
}

TEST_F(MsgDlgTest, ChoiceWithAnAxisOutOfRangeStoresNothing)
{
    values.decimals.fill(1);
    CMsgDlg dialog(nullptr, QString(), QStringLiteral("x"), false, CAppValues::kSlotCount, false, &values);
    ASSERT_NE(dialog.Choice(), nullptr);
    dialog.Choice()->setCurrentIndex(2);
    dialog.accept();
    for (int decimals : values.decimals)
        EXPECT_EQ(decimals, 1);

    // The offline axis window's slot takes its own choice and nothing else.
    CMsgDlg offline(nullptr, QString(), QStringLiteral("x"), false, CAppValues::kOfflineSlot, false, &values);
    offline.Choice()->setCurrentIndex(2);
    offline.accept();
    EXPECT_EQ(values.decimals[CAppValues::kOfflineSlot], 2);
    EXPECT_EQ(values.decimals[0], 1);
}

} // namespace
} // namespace kvl
