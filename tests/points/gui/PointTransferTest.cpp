// The axis window's Read and Write on the demo bus: lines the table cannot hold, jump 0, the
// comments the grid keeps, a step with an empty field, automatic mode, the question while a
// program runs, and a 512-step table through write, read, save and load.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "AxisWindowFixture.h"
#include "MessageAnswerer.h"
#include "ModalAnswer.h"
#include "common/CBusyIndicator.h"
#include "common/CMsgDlg.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "points/CPointTableActions.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

using points::CAxisWindowModel;
using points::CKVL_VER2_ProgStepDlg;
using points::CPointTable;

constexpr int kOperationType512 = 3;
constexpr int kSteps512 = 512;

class PointTransferTest : public AxisWindowFixture {
protected:
    QString Text(const char *key, const char *section)
    {
        return QString::fromStdString(m_app->Settings().Texts().Text(key, section));
    }

    // Presses a transfer button until the busy indicator takes it (it refuses within 100 ms of
    // the previous busy period) and `done` holds.
    bool Press(CPictureButton *button, const std::function<bool()> &done)
    {
        return WaitFor([&] {
            QTest::mouseClick(button, Qt::LeftButton);
            return done();
        });
    }

    void SetOperationType(int address, int type)
    {
        ASSERT_TRUE(WithAxis(address, [type](sim::AxisDevice &axis) { return axis.Parameters().Set(36, type); }));
    }

    sim::StepRecord DeviceStep(int address, int wireStep)
    {
        return WithAxis(address, [wireStep](sim::AxisDevice &axis) { return axis.Table().Step(wireStep); });
    }

    int DefinedOnDevice(int address, int count)
    {
        return WithAxis(address, [count](sim::AxisDevice &axis) {
            return static_cast<int>(axis.Table().DefinedSteps(count).size());
        });
    }
};

sim::StepRecord Record(int number, int jump)
{
    sim::StepRecord record;
    record.number = static_cast<int16_t>(number);
    record.position = 100000;
    record.speed = 1000;
    record.acc = 30;
    record.dcc = 30;
    record.positionRange = 1000;
    record.jump = static_cast<int16_t>(jump);
    return record;
}

TEST_F(PointTransferTest, ReadSkipsLinesOutsideTheTableShowsJumpZeroAsEndAndKeepsTheGridsComments)
{
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        axis.Table().SetStep(1, Record(1, 0));      // table step 0, jump to the end
        axis.Table().SetStep(3, Record(3, 6));      // table step 2, jump to table step 5
        axis.Table().SetStep(5, Record(600, 0));    // a record numbered beyond the table
        axis.AddBulkReadFrame(7, Record(0, 0));     // a record numbered 0
        return true;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &table = window->Model().Table();
    ASSERT_TRUE(table.CreateRow(4));
    table.CommitCell(4, points::kColComment, "typed before the read");
    table.CommitCell(0, points::kColComment, "first");
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(Press(window->ReadButton(), [&] { return Count(kDemoMdc, cmd::kCmdReadAllSteps) > 0; }));
    // The request is out; the read has ended when polling runs again.
    ASSERT_TRUE(WaitFor([&] { return m_app->Values().pollingOn; }));

    EXPECT_EQ(table.Cell(0, points::kColJump), "E");
    EXPECT_EQ(table.Cell(2, points::kColJump), "5");
    EXPECT_FALSE(table.Working(0).IsEmpty());
    EXPECT_FALSE(table.Driver(2).IsEmpty());
    for (int step : {1, 3, 4, 5, 6}) {
        EXPECT_TRUE(table.Working(step).IsEmpty()) << step;
        EXPECT_TRUE(table.Cell(step, points::kColMode).empty()) << step;
    }
    EXPECT_EQ(table.Cell(4, points::kColComment), "typed before the read");
    EXPECT_EQ(table.Cell(0, points::kColComment), "first");
    EXPECT_EQ(table.Working(4).Comment(), "");
    EXPECT_FALSE(table.Marked(0, points::kColPosition));
    EXPECT_EQ(window->Grid()->currentIndex().row(), 0);
    EXPECT_TRUE(m_app->Values().pollingOn);
}

TEST_F(PointTransferTest, WriteSkipsAStepWithAnEmptyPAreaBSendsTheOthersAndSaysWriteErr)
{
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        return true;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &table = window->Model().Table();
    for (int step : {0, 1, 2})
        ASSERT_TRUE(table.CreateRow(step));
    table.Working(1).SetFieldText(points::kColPAreaB, "", table.Rules().Texts());
    table.RefreshRow(1);
    window->RefreshView();

    // The message comes while the busy indicator is up: it must not lie under the indicator.
    bool busyDuringMessage = false;
    bool busyCovering = true;
    AnswerNextModal([&](QWidget *) {
        busyDuringMessage = m_app->Busy().Shown();
        QWidget *busy = m_app->Busy().Window();
        busyCovering = busy && busy->isVisible();
    });
    MessageAnswerer messages;
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(Press(window->WriteButton(), [&] { return Count(kDemoMdc, cmd::kCmdWriteStep) > 0; }));
    ASSERT_TRUE(WaitFor([&messages] { return !messages.texts.isEmpty(); }));
    EXPECT_TRUE(busyDuringMessage);
    EXPECT_FALSE(busyCovering);

    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteStep), 2);
    EXPECT_TRUE(DeviceStep(kDemoMdc, 1).Defined());
    EXPECT_FALSE(DeviceStep(kDemoMdc, 2).Defined());
    EXPECT_TRUE(DeviceStep(kDemoMdc, 3).Defined());
    // Then how the write ended: the step without its field is not written and stays red.
    ASSERT_TRUE(WaitFor([&messages] { return messages.texts.size() == 2; }));
    EXPECT_EQ(messages.texts,
              (QStringList{Text("IDS_WRITE_ERR", "COMMON"),
                           QStringLiteral("Steps written: 2, cleared: 0. Steps not written, still red: 1. Check the "
                                          "link and write again.")}));
    EXPECT_FALSE(table.Marked(0, points::kColPosition));
    EXPECT_TRUE(table.Marked(1, points::kColPosition)) << "the step not written stays red";
    EXPECT_TRUE(table.Driver(1).IsEmpty());
    EXPECT_EQ(window->TableActions().Transfer().LastWrite().sent, 2);
    EXPECT_TRUE(m_app->Values().pollingOn);
}

// Write says how it ended: what was written, that nothing was left to write, and that a silent
// controller took nothing (the edits stay red and unkept).
TEST_F(PointTransferTest, WriteSaysHowItEndedAlsoWhenTheControllerIsSilent)
{
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        return true;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &table = window->Model().Table();
    ASSERT_TRUE(table.CreateRow(0));
    window->RefreshView();
    MessageAnswerer messages;
    const auto said = [&messages](const QString &start) {
        return !messages.texts.isEmpty() && messages.texts.constLast().startsWith(start);
    };

    ASSERT_TRUE(Press(window->WriteButton(), [&] { return !messages.texts.isEmpty(); }));
    EXPECT_EQ(messages.texts.constLast(), QStringLiteral("The point table was written. Steps written: 1, cleared: 0."));
    EXPECT_FALSE(table.HasUnkeptEdits());

    table.CommitCell(0, points::kColSpeed, "50");
    Bus().SetSilent(kDemoMdc, true);
    ASSERT_TRUE(Press(window->WriteButton(), [&] { return said(QStringLiteral("Nothing was written")); }));
    Bus().SetSilent(kDemoMdc, false);
    EXPECT_EQ(messages.texts.constLast(), QStringLiteral("Nothing was written: the controller did not answer (steps not "
                                                         "written: 1). Check the link and write again."));
    EXPECT_TRUE(table.Marked(0, points::kColSpeed));
    EXPECT_TRUE(table.HasUnkeptEdits());

    ASSERT_TRUE(Press(window->WriteButton(), [&] { return said(QStringLiteral("The point table was written")); }));
    ASSERT_TRUE(Press(window->WriteButton(), [&] { return said(QStringLiteral("Nothing to write")); }));
    EXPECT_EQ(DeviceStep(kDemoMdc, 1).speed, 5000) << "50 mm/s, in hundredths";
}

TEST_F(PointTransferTest, WriteInAutomaticModeIsRefusedAndPollingRunsAfterwards)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Model().Table().CreateRow(0));
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.SetAutomaticMode(true);
        return true;
    });
    MessageAnswerer messages;
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(Press(window->WriteButton(), [&messages] { return !messages.texts.isEmpty(); }));

    EXPECT_EQ(messages.texts.constFirst(), Text("ID_PROG_WRITE_WARN_AUTO", "IDD_KVL_VER2_PROGSTEP_DIALOG"));
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteStep), 0);
    EXPECT_GE(Count(kDemoMdc, cmd::kCmdReadRunMode), 1);
    EXPECT_TRUE(window->Model().Table().Marked(0, points::kColPosition));
    EXPECT_TRUE(m_app->Values().pollingOn);
    EXPECT_TRUE(window->TimerRunning(CAxisWindowModel::Timer::kStatus));
    Bus().ClearCommandsReceived();
    EXPECT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdReadServoState) > 0; }))
        << "the status polling reads the axis again";
}

TEST_F(PointTransferTest, ReadWhileAProgramRunsAsksFirstAndCancelSendsNothing)
{
    constexpr int kStartRow = 5;
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        sim::StepRecord record = Record(kStartRow, 0);
        record.position = 400000;   // 40 mm at 5 mm/s: still running while the test reads
        record.speed = 500;
        return axis.Table().SetStep(kStartRow, record);
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ServoOn(*window);
    QTest::mouseClick(window->HomeButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([window] {
        return window->LampWidget(CKVL_VER2_ProgStepDlg::Lamp::kHome)->GetState() == CLampWidget::State::kOn;
    }));
    window->Model().SetStartRow(kStartRow);
    QTest::mouseClick(window->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(window->Model().Running());

    const struct {
        bool accept;
        int reads;
    } cases[] = {{false, 0}, {true, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.accept ? "OK" : "Cancel");
        MessageAnswerer messages(c.accept);
        Bus().ClearCommandsReceived();
        ASSERT_TRUE(Press(window->ReadButton(), [&messages] { return !messages.texts.isEmpty(); }));
        EXPECT_EQ(messages.texts.constFirst(), Text("IDS_WARNMSG_WRITEPROG", "COMMON"));
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdReadAllSteps), c.reads);
        EXPECT_TRUE(m_app->Values().pollingOn);
    }
    EXPECT_FALSE(window->Model().Table().Working(kStartRow - 1).IsEmpty()) << "the read took the running table";
}

std::string RowText(const points::CKVL_VER2_ProgData &record)
{
    std::string text;
    for (int k = points::kColMode; k < points::kStepColumnCount; ++k)
        text += record.FieldText(k) + ",";
    return text;
}

// The two records hold the same values in the columns the controller keeps (mode to jump).
bool SameValues(const CPointTable &table, const points::CKVL_VER2_ProgData &a, const points::CKVL_VER2_ProgData &b)
{
    if (a.IsEmpty() != b.IsEmpty())
        return false;
    for (int k = points::kColMode; k <= points::kColJump; ++k) {
        if (table.Rules().ValuesDiffer(a, b, k))
            return false;
    }
    return true;
}

// Fills every step with values of its own (and a comment).
void Fill512(CPointTable &table)
{
    for (int step = 0; step < table.StepCount(); ++step) {
        ASSERT_TRUE(table.CreateRow(step));
        table.CommitCell(step, points::kColMode, step % 3 == 0 ? "INC" : "ABS");
        table.CommitCell(step, points::kColPosition, std::to_string(step % 90) + ".125");
        table.CommitCell(step, points::kColSpeed, std::to_string(10 + step % 200));
        table.CommitCell(step, points::kColAcc, step % 2 ? "0.5" : "0.3");
        table.CommitCell(step, points::kColRepeat, std::to_string(1 + step % 5));
        table.CommitCell(step, points::kColJump, step % 7 == 0 ? "E" : std::to_string((step + 1) % table.StepCount()));
        table.CommitCell(step, points::kColComment, "c" + std::to_string(step));
    }
}

// A name typed without its extension gets it before the dialog checks for an existing file, so
// replacing one asks, and No keeps it.
TEST_F(PointTransferTest, SavingOverAnExistingFileAsksAlsoWhenTheExtensionWasLeftOut)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QTemporaryDir folder;
    const QString existing = folder.filePath(QStringLiteral("table1.csv"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kept\r\n");
    }
    bool asked = false;
    AnswerNextModal([&](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        ASSERT_NE(files, nullptr);
        files->selectFile(folder.filePath(QStringLiteral("table1")));
        // The replace question comes up while accept() runs: answer it No from the timer.
        AnswerNextModal([&](QWidget *question) {
            auto *box = qobject_cast<QMessageBox *>(question);
            if (!box) {
                ADD_FAILURE() << "no question before replacing the file";
                return;
            }
            asked = true;
            box->button(QMessageBox::No)->click();
            QMetaObject::invokeMethod(files, "reject", Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(files, "accept");
    });
    QTest::mouseClick(window->SaveButton(), Qt::LeftButton);
    EXPECT_TRUE(asked);
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("kept\r\n"));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("table1"))));
}

TEST_F(PointTransferTest, A512StepTableGoesThroughWriteReadSaveAndLoadUnchanged)
{
    SetOperationType(kDemoMdc, kOperationType512);
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        return true;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &edited = window->Model().Table();
    ASSERT_EQ(edited.StepCount(), kSteps512);
    Fill512(edited);
    window->RefreshView();
    MessageAnswerer messages;
    ASSERT_TRUE(Press(window->WriteButton(), [&] { return DefinedOnDevice(kDemoMdc, kSteps512) == kSteps512; }));
    EXPECT_EQ(window->TableActions().Transfer().LastWrite().sent, kSteps512);

    auto fresh = std::make_unique<CKVL_VER2_ProgStepDlg>(*m_app, window->Model().Identity());
    fresh->Open();
    Activate(fresh.get());
    CPointTable &read = fresh->Model().Table();
    ASSERT_EQ(read.StepCount(), kSteps512);
    ASSERT_TRUE(Press(fresh->ReadButton(), [&] { return !read.Working(kSteps512 - 1).IsEmpty(); }));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("table"));
    AnswerFileDialog(path);
    QTest::mouseClick(fresh->SaveButton(), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(path + QStringLiteral(".csv")));
    AnswerFileDialog(path + QStringLiteral(".csv"));
    QTest::mouseClick(fresh->OpenButton(), Qt::LeftButton);
    EXPECT_TRUE(fresh->TableActions().LastLimited().empty());

    for (int step = 0; step < kSteps512; ++step) {
        ASSERT_TRUE(SameValues(read, read.Working(step), edited.Working(step)))
            << "step " << step << ": " << RowText(read.Working(step)) << " against " << RowText(edited.Working(step));
        ASSERT_TRUE(SameValues(read, read.Driver(step), edited.Working(step))) << "step " << step;
        for (int k = points::kColMode; k <= points::kColJump; ++k)
            ASSERT_FALSE(read.Marked(step, k)) << "step " << step << " column " << k;
    }
    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("The point table was written. Steps written: 512, cleared: 0.")});
    fresh.reset();
}

} // namespace
} // namespace kvl::test
