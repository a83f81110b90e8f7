// Edits neither saved nor written are never dropped without a question: closing an axis window
// asks about its point table and its parameter list, ending the program asks about every window,
// and Save, Discard and Cancel do what they say.
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "AxisWindowFixture.h"
#include "MessageAnswerer.h"
#include "ModalAnswer.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "common/CWindowRegistry.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CPointTable.h"

namespace kvl::test {
namespace {

using points::CKVL_VER2_ProgStepDlg;

class UnkeptEditsTest : public AxisWindowFixture {
protected:
    // Answers the next question about unkept edits with `button` and keeps its text; `then` runs
    // before the answer (to answer the file dialog a Save brings).
    void Answer(QMessageBox::StandardButton button, const std::function<void()> &then = {})
    {
        AnswerNextModal([this, button, then](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            if (!box || box->objectName() != QStringLiteral("unkeptEditsQuestion")) {
                m_questions.append(QStringLiteral("another dialog: ") + QString::fromLatin1(dialog->metaObject()->className()));
                dialog->close();
                return;
            }
            m_questions.append(box->text());
            if (then)
                then();
            box->button(button)->click();
        });
    }

    params::CKVL_VER2_ParameterListDlg *ParamList(int address)
    {
        return m_app->Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, address);
    }

    QStringList m_questions;
};

TEST_F(UnkeptEditsTest, ClosingAnAxisWindowAsksAboutItsTableAndEachAnswerDoesWhatItSays)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    points::CPointTable &table = window->Model().Table();
    ASSERT_TRUE(window->UnkeptEdits().isEmpty()) << "a window just opened holds no edits";
    ASSERT_TRUE(table.CreateRow(0));
    window->RefreshView();

    Answer(QMessageBox::Cancel);
    window->close();
    ASSERT_EQ(m_questions.size(), 1);
    EXPECT_TRUE(m_questions[0].contains(QStringLiteral("point table of axis 2"))) << m_questions[0].toStdString();
    EXPECT_TRUE(window->isVisible()) << "Cancel keeps the window open";
    EXPECT_TRUE(table.HasUnkeptEdits());

    Answer(QMessageBox::Discard);
    window->close();
    EXPECT_EQ(m_questions.size(), 2);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->UnkeptEdits().isEmpty()) << "edits let go are not asked about again";

    window->show();
    table.CommitCell(0, points::kColSpeed, "50");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept"));
    Answer(QMessageBox::Save, [path] { AnswerFileDialog(path); });
    window->close();
    EXPECT_EQ(m_questions.size(), 3);
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".csv"))) << "Save saved the table";
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->UnkeptEdits().isEmpty());

    // Save whose file dialog is cancelled keeps the window and the edits.
    window->show();
    table.CommitCell(0, points::kColSpeed, "60");
    Answer(QMessageBox::Save, [] { AnswerNextModal([](QWidget *files) { files->close(); }); });
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(table.HasUnkeptEdits());
}

TEST_F(UnkeptEditsTest, ClosingAnAxisWindowAsksAboutItsParameterListToo)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    params::CKVL_VER2_ParameterListDlg *list = ParamList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->UnkeptEdits().isEmpty());
    params::CParamData &jogSpeed = list->Lists().File().At(16);
    jogSpeed.SetIntValue(jogSpeed.IntValue() + 1);

    Answer(QMessageBox::Cancel);
    window->close();
    ASSERT_EQ(m_questions.size(), 1);
    EXPECT_TRUE(m_questions[0].contains(QStringLiteral("parameter list of axis 2"))) << m_questions[0].toStdString();
    EXPECT_TRUE(window->isVisible());

    Answer(QMessageBox::Discard);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(list->UnkeptEdits().isEmpty());
}

TEST_F(UnkeptEditsTest, EndingTheProgramAsksAndCancelKeepsItRunning)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Model().Table().CreateRow(0));
    window->hide();   // a closed axis window keeps its table: the end still asks about it
    CKVL_VER2_ControlDlg *start = m_app->StartDialog();

    Answer(QMessageBox::Cancel);
    start->close();
    ASSERT_EQ(m_questions.size(), 1);
    EXPECT_TRUE(m_questions[0].contains(QStringLiteral("point table of axis 2"))) << m_questions[0].toStdString();
    EXPECT_TRUE(start->isVisible()) << "the program runs on";
    EXPECT_GT(m_app->Windows().Count(), 0);

    Answer(QMessageBox::Discard);
    start->close();
    EXPECT_EQ(m_questions.size(), 2);
    EXPECT_FALSE(start->isVisible());
    EXPECT_EQ(m_app->Windows().Count(), 0) << "the program ended";
}

} // namespace
} // namespace kvl::test
