// The point-table editor on the axis window's grid, driven by real mouse clicks and key presses
// on the demo bus: new rows, in-cell edits, the servo-on start-step move, copy / paste / delete /
// cut with their refusals, the block menu, the system clipboard, undo and redo, and the offline
// window's marking.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "AxisWindowFixture.h"
#include "MessageAnswerer.h"
#include "ModalAnswer.h"
#include "base/TextNumber.h"
#include "common/CCellCombox.h"
#include "common/CCellEdit.h"
#include "common/CMsgDlg.h"
#include "points/CPointGridEditor.h"
#include "points/CPointGridModel.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

using points::CKVL_VER2_ProgStepDlg;
using points::CPointGridModel;
using points::CPointTable;
using points::DefaultUse;
using namespace points; // column names

class PointEditorTest : public AxisWindowFixture {
protected:
    void SetUp() override
    {
        AxisWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_window = OpenAxis(kDemoMdc);
        ASSERT_NE(m_window, nullptr);
    }

    QTableView *Grid() const { return m_window->Grid(); }
    const CPointTable &Table() const { return m_window->Model().Table(); }
    CCellEdit *Edit() const { return m_window->GridEditor()->CellEdit(); }
    CCellCombox *Combox() const { return m_window->GridEditor()->CellCombox(); }

    // The centre of grid row `row` (row r shows step r - 1) and `column`, scrolled into view.
    QPoint Cell(int row, int column) const
    {
        const QModelIndex index = Grid()->model()->index(row - 1, column);
        Grid()->scrollTo(index);
        return Grid()->visualRect(index).center();
    }
    void Click(int row, int column, Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, modifiers, Cell(row, column));
    }
    // A double-click as the mouse makes it: press and release, then the double-click and its release.
    void DoubleClick(int row, int column) const
    {
        const QPoint at = Cell(row, column);
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, {}, at);
    }
    void SelectBlock(int rowFirst, int columnFirst, int rowLast, int columnLast) const
    {
        Click(rowFirst, columnFirst);
        Click(rowLast, columnLast, Qt::ShiftModifier);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const { QTest::keyClick(Grid(), key, modifiers); }
    // Double-clicks an empty row into a step.
    void CreateRow(int row) const
    {
        ASSERT_TRUE(Table().Working(row - 1).IsEmpty());
        DoubleClick(row, kColSpeed);
        ASSERT_FALSE(Table().Working(row - 1).IsEmpty());
    }
    // Opens the cell edit by a double-click, types `text` over it and presses Enter.
    void EditCell(int row, int column, const QString &text) const
    {
        DoubleClick(row, column);
        ASSERT_TRUE(Edit()->isVisible());
        Edit()->selectAll();
        QTest::keyClicks(Edit(), text);
        QTest::keyClick(Edit(), Qt::Key_Return);
        ASSERT_FALSE(Edit()->isVisible());
    }
    bool Red(int row, int column) const
    {
        const QVariant brush = Grid()->model()->index(row - 1, column).data(Qt::ForegroundRole);
        return brush.isValid() && brush.value<QBrush>().color() == CPointGridModel::kMarkedColour;
    }
    std::vector<std::string> Cells() const
    {
        std::vector<std::string> cells;
        for (int step = 0; step < Table().StepCount(); ++step) {
            for (int k = 0; k < kStepColumnCount; ++k)
                cells.push_back(Table().Cell(step, k));
        }
        return cells;
    }
    // Expects the next modal to be the message dialog; gives its title and text and accepts it.
    void ExpectMessage(QString *title, QString *text)
    {
        AnswerNextModal([title, text](QWidget *dialog) {
            if (auto *message = qobject_cast<CMsgDlg *>(dialog)) {
                *title = message->windowTitle();
                *text = message->Text();
                message->accept();
            }
        });
    }

    CKVL_VER2_ProgStepDlg *m_window = nullptr;
};

TEST_F(PointEditorTest, DoubleClickOnAnEmptyRowCreatesItAndTheNextOneEditsTheCell)
{
    ASSERT_TRUE(Table().Working(2).IsEmpty());
    DoubleClick(3, kColSpeed);
    EXPECT_FALSE(Table().Working(2).IsEmpty());
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_FALSE(Combox()->isVisible());
    for (int k = kColMode; k <= kColJump; ++k) {
        EXPECT_EQ(Table().Cell(2, k), Table().Rules().ColumnDefault(k, DefaultUse::NewRow)) << k;
        EXPECT_TRUE(Red(3, k)) << k;
    }

    DoubleClick(3, kColSpeed);
    ASSERT_TRUE(Edit()->isVisible());
    // The cell's text, within the column's length limit (the online speed default has decimals).
    EXPECT_EQ(Edit()->maxLength(), 4);
    EXPECT_EQ(Edit()->text().toStdString(), Table().Cell(2, kColSpeed).substr(0, 4));
    EXPECT_TRUE(Edit()->hasFocus());
    // The integer edit drops what it does not take.
    Edit()->selectAll();
    QTest::keyClicks(Edit(), QStringLiteral("2 x.5"));
    EXPECT_EQ(Edit()->text(), QStringLiteral("25"));
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_EQ(Table().Cell(2, kColSpeed), "25");
    EXPECT_EQ(Table().Working(2).Speed(), 25);
    EXPECT_TRUE(Red(3, kColSpeed));

    // A typed character on the cell starts the edit with it; Escape commits and closes nothing.
    Click(3, kColSpeed);
    QTest::keyClick(Grid(), Qt::Key_7);
    ASSERT_TRUE(Edit()->isVisible());
    EXPECT_EQ(Edit()->text(), QStringLiteral("7"));
    QTest::keyClick(Edit(), Qt::Key_0);
    QTest::keyClick(Edit(), Qt::Key_Escape);
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(Table().Cell(2, kColSpeed), "70");

    // Enter on a cell without an editor opens it; leaving the cell commits.
    Click(3, kColPosition);
    Key(Qt::Key_Return);
    ASSERT_TRUE(Edit()->isVisible());
    Edit()->selectAll();
    QTest::keyClicks(Edit(), QStringLiteral("12"));
    Click(5, kColPosition);
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_EQ(Table().Cell(2, kColPosition), "12.000");
    EXPECT_TRUE(Table().Working(4).IsEmpty());
}

TEST_F(PointEditorTest, TabMovesByColumnAndOpensTheModeListOfTheNextRow)
{
    CreateRow(3);
    CreateRow(4);
    Click(3, kColThreshold);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Grid()->currentIndex().column(), kColPosRange);
    EXPECT_FALSE(Edit()->isVisible());
    Key(Qt::Key_Tab);
    EXPECT_EQ(Grid()->currentIndex().row(), 3);
    EXPECT_EQ(Grid()->currentIndex().column(), kColMode);
    ASSERT_TRUE(Combox()->isVisible());
    EXPECT_EQ(Combox()->currentIndex(), 0);
    // Up on the first entry wraps to the last; Enter commits it.
    QTest::keyClick(Combox(), Qt::Key_Up);
    EXPECT_EQ(Combox()->currentIndex(), Combox()->count() - 1);
    QTest::keyClick(Combox(), Qt::Key_Return);
    EXPECT_FALSE(Combox()->isVisible());
    EXPECT_EQ(Table().Working(3).Mode(), "INC");
    // Tab in the cell edit commits it and moves on.
    DoubleClick(4, kColSpeed);
    ASSERT_TRUE(Edit()->isVisible());
    Edit()->selectAll();
    QTest::keyClicks(Edit(), QStringLiteral("33"));
    QTest::keyClick(Edit(), Qt::Key_Tab);
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_EQ(Table().Cell(3, kColSpeed), "33");
    EXPECT_EQ(Grid()->currentIndex().column(), kColAcc);
}

TEST_F(PointEditorTest, WithTheServoOnADoubleClickMovesTheStartStepAndBlocksAreRefused)
{
    CreateRow(2);
    CreateRow(4);
    SelectBlock(2, kColMode, 2, kColComment);
    Key(Qt::Key_C, Qt::ControlModifier);
    ServoOn(*m_window);
    const std::vector<std::string> before = Cells();

    DoubleClick(4, kColSpeed);
    EXPECT_EQ(m_window->Model().StartRow(), 4);
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_EQ(Grid()->model()->index(3, kColSpeed).data(Qt::BackgroundRole).value<QBrush>().color(),
              CPointGridModel::kStartRowColour);
    DoubleClick(6, kColSpeed); // no step there: ignored
    EXPECT_EQ(m_window->Model().StartRow(), 4);
    EXPECT_TRUE(Table().Working(5).IsEmpty());
    QTest::keyClick(Grid(), Qt::Key_5);
    EXPECT_FALSE(Edit()->isVisible());

    Click(6, kColMode);
    Key(Qt::Key_V, Qt::ControlModifier);
    SelectBlock(2, kColMode, 2, kColComment);
    Key(Qt::Key_Delete);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Cells(), before);
    EXPECT_FALSE(Table().Working(1).IsEmpty());
    EXPECT_TRUE(Table().Working(5).IsEmpty());
}

TEST_F(PointEditorTest, PasteIntoAnotherColumnIsRefusedWithItsMessage)
{
    CreateRow(1);
    CreateRow(2);
    SelectBlock(1, kColPosition, 1, kColDcc);
    Key(Qt::Key_C, Qt::ControlModifier);
    const std::vector<std::string> before = Cells();
    Click(2, kColSpeed);
    QString title, text;
    ExpectMessage(&title, &text);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(title, QStringLiteral("Warning"));
    EXPECT_EQ(text, QStringLiteral("Select the same column as the copied cells before pasting."));
    EXPECT_EQ(Cells(), before);
}

TEST_F(PointEditorTest, PastingWholeEmptyRowsClearsTheStepsAndPastedCellsAreMarked)
{
    CreateRow(3);
    CreateRow(4);
    EditCell(3, kColSpeed, QStringLiteral("40"));
    // A defined row pasted over an empty one: texts as they are, marked like a loaded file.
    SelectBlock(3, kColMode, 3, kColComment);
    Key(Qt::Key_C, Qt::ControlModifier);
    Click(8, kColMode);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_FALSE(Table().Working(7).IsEmpty());
    EXPECT_EQ(Table().Cell(7, kColSpeed), "40");
    EXPECT_TRUE(Red(8, kColSpeed));

    SelectBlock(10, kColMode, 11, kColComment);
    Key(Qt::Key_C, Qt::ControlModifier);
    Click(3, kColMode);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(Table().Working(2).IsEmpty());
    EXPECT_TRUE(Table().Working(3).IsEmpty());
    EXPECT_EQ(Table().Cell(2, kColSpeed), "");
}

// An INC step's travel copied into an ABS step meets that step's soft limit as if typed there:
// the cell keeps the limit, is marked and listed in one message, and Write sends the limit.
TEST_F(PointEditorTest, APastedPositionIsHeldToTheSoftLimitOfItsNewStepAndWrittenSo)
{
    const double limit = Table().Rules().Context().storedSoftLimitUpper;
    ASSERT_LT(limit, 9999.0);
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        return true;
    });
    CreateRow(1);
    CreateRow(2);
    DoubleClick(1, kColMode);
    ASSERT_TRUE(Combox()->isVisible());
    Combox()->setCurrentIndex(1);
    QTest::keyClick(Combox(), Qt::Key_Return);
    ASSERT_EQ(Table().Working(0).Mode(), "INC");
    EditCell(1, kColPosition, QStringLiteral("9999.999"));
    ASSERT_EQ(Table().Cell(0, kColPosition), "9999.999");

    SelectBlock(1, kColPosition, 1, kColPosition);
    Key(Qt::Key_C, Qt::ControlModifier);
    Click(2, kColPosition);
    {
        MessageAnswerer messages;
        Key(Qt::Key_V, Qt::ControlModifier);
        ASSERT_TRUE(WaitFor([&messages] { return !messages.texts.isEmpty(); }));
        ASSERT_EQ(messages.texts.size(), 1);
        const QStringList lines = messages.texts.front().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Step 1, "))) << lines[1].toStdString();
        const QString kept = QString::fromStdString(FormatFixed(limit, 3));
        EXPECT_TRUE(lines[1].endsWith(QStringLiteral(": 9999.999 pasted, %1 kept").arg(kept))) << lines[1].toStdString();
    }
    const std::string kept = FormatFixed(limit, 3);
    EXPECT_EQ(Table().Cell(1, kColPosition), kept);
    EXPECT_TRUE(Red(2, kColPosition));

    Bus().ClearCommandsReceived();
    MessageAnswerer outcome;   // Write says how it ended
    ASSERT_TRUE(WaitFor([&] {
        QTest::mouseClick(m_window->WriteButton(), Qt::LeftButton);
        return Count(kDemoMdc, cmd::kCmdWriteStep) > 0;
    }));
    const sim::StepRecord written =
        WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Table().Step(2); });
    ASSERT_TRUE(written.Defined());
    EXPECT_EQ(written.position, static_cast<std::int32_t>(std::lround(limit * 10000)));
}

TEST_F(PointEditorTest, DeleteOfABlockInsideARowResetsDefaultsAndOfWholeRowsClearsThem)
{
    CreateRow(2);
    EditCell(2, kColSpeed, QStringLiteral("40"));
    EditCell(2, kColPosition, QStringLiteral("12"));
    SelectBlock(2, kColPosition, 2, kColSpeed);
    Key(Qt::Key_Delete);
    const points::CStepRules &rules = Table().Rules();
    for (int k : {static_cast<int>(kColPosition), static_cast<int>(kColSpeed)}) {
        EXPECT_EQ(Table().Cell(1, k), rules.ViewText(k, rules.ColumnDefault(k, DefaultUse::EmptiedCell))) << k;
        EXPECT_TRUE(Red(2, k)) << k;
    }
    EXPECT_FALSE(Table().Working(1).IsEmpty());

    // Whole rows through the block menu: Delete is its third entry.
    SelectBlock(2, kColMode, 2, kColComment);
    QTest::mouseClick(Grid()->viewport(), Qt::RightButton, {}, Cell(2, kColSpeed));
    QMenu *menu = m_window->GridEditor()->BlockMenu();
    ASSERT_TRUE(WaitFor([menu] { return menu->isVisible(); }));
    const QList<QAction *> entries = menu->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("Copy"));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("Paste"));
    EXPECT_EQ(entries[2]->text(), QStringLiteral("Delete"));
    EXPECT_EQ(entries[3]->text(), QStringLiteral("Cut"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entries[2]).center());
    EXPECT_TRUE(WaitFor([menu] { return !menu->isVisible(); }));
    EXPECT_TRUE(Table().Working(1).IsEmpty());
    EXPECT_EQ(Table().Cell(1, kColSpeed), "");
    EXPECT_FALSE(Red(2, kColSpeed));
}

TEST_F(PointEditorTest, TheBlockMenuOpensOnlyClearOfTheGridCornerAndWithoutModifiers)
{
    CreateRow(5);
    QMenu *menu = m_window->GridEditor()->BlockMenu();
    const QPoint inRow = Cell(5, kColMode);
    // Within 30 pixels of the grid's left edge.
    const QPoint nearEdge(m_window->Grid()->viewport()->mapFrom(Grid(), QPoint(10, 0)).x(), inRow.y());
    QTest::mouseClick(Grid()->viewport(), Qt::RightButton, {}, nearEdge);
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(Grid()->viewport(), Qt::RightButton, Qt::ShiftModifier, inRow);
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(Grid()->viewport(), Qt::RightButton, {}, inRow);
    EXPECT_TRUE(WaitFor([menu] { return menu->isVisible(); }));
    menu->close();
}

TEST_F(PointEditorTest, CopyLeavesTabSeparatedTextOnTheSystemClipboard)
{
    CreateRow(1);
    CreateRow(2);
    EditCell(1, kColSpeed, QStringLiteral("40"));
    QApplication::clipboard()->clear();
    SelectBlock(1, kColPosition, 2, kColAcc);
    Key(Qt::Key_C, Qt::ControlModifier);
    const auto row = [this](int step) {
        return QString::fromStdString(Table().Cell(step, kColPosition) + "\t" + Table().Cell(step, kColSpeed) + "\t" +
                                      Table().Cell(step, kColAcc));
    };
    EXPECT_EQ(QApplication::clipboard()->text(), row(0) + QStringLiteral("\n") + row(1));
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("\t40\t")));
}

// Cells copied in a spreadsheet come through the system clipboard: pasted at the current cell,
// whatever column they came from, through the same paste rules (a position past the soft limit
// is held to it and listed).
TEST_F(PointEditorTest, TextCopiedInAnotherProgramIsPastedAtTheCurrentCellThroughThePasteRules)
{
    CreateRow(1);
    CreateRow(2);
    QApplication::clipboard()->setText(QStringLiteral("INC\t12.5\t80\r\nABS\t99999\t50\r\n"));
    Click(1, kColMode);
    MessageAnswerer messages;
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&messages] { return !messages.texts.isEmpty(); }));
    EXPECT_EQ(Table().Working(0).Mode(), "INC");
    EXPECT_EQ(Table().Cell(0, kColPosition), "12.5");
    EXPECT_EQ(Table().Cell(0, kColSpeed), "80");
    EXPECT_EQ(Table().Cell(1, kColSpeed), "50");
    EXPECT_NE(Table().Cell(1, kColPosition), "99999");
    EXPECT_TRUE(Red(2, kColPosition));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts.front().contains(QStringLiteral("99999"))) << messages.texts.front().toStdString();
    EXPECT_EQ(Table().Cell(2, kColMode), "") << "the last line end adds no row";
}

TEST_F(PointEditorTest, UndoAndRedoWalkThroughEditPasteDeleteAndTeach)
{
    std::vector<std::vector<std::string>> states{Cells()};
    CreateRow(1);
    states.push_back(Cells());
    EditCell(1, kColSpeed, QStringLiteral("40"));
    states.push_back(Cells());
    SelectBlock(1, kColMode, 1, kColComment);
    Key(Qt::Key_C, Qt::ControlModifier);
    Click(3, kColMode);
    Key(Qt::Key_V, Qt::ControlModifier);
    states.push_back(Cells());
    SelectBlock(1, kColMode, 1, kColComment);
    Key(Qt::Key_Delete);
    states.push_back(Cells());
    Click(5, kColStep);
    QTest::mouseClick(m_window->TeachButton(), Qt::LeftButton);
    ASSERT_FALSE(Table().Working(4).IsEmpty());
    states.push_back(Cells());
    for (size_t i = 1; i < states.size(); ++i)
        ASSERT_NE(states[i], states[i - 1]) << i;

    for (size_t i = states.size() - 1; i > 0; --i) {
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Cells(), states[i - 1]) << "undo to " << i - 1;
    }
    Key(Qt::Key_Z, Qt::ControlModifier); // nothing left
    EXPECT_EQ(Cells(), states.front());
    EXPECT_TRUE(Table().Working(0).IsEmpty());
    for (size_t i = 1; i < states.size(); ++i) {
        Key(i % 2 ? Qt::Key_Y : Qt::Key_Z, i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Cells(), states[i]) << "redo to " << i;
    }
    EXPECT_TRUE(Red(5, kColPosition));
    // Undo never talks to the controller: a change of operation type ends the history.
    m_window->OperationTypeChanged(false);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Table().Working(4).IsEmpty());
    EXPECT_FALSE(m_window->GridEditor()->Editor().History().CanUndo());
}

TEST_F(PointEditorTest, TheWheelScrollsOneRowPerEvent)
{
    QScrollBar *bar = Grid()->verticalScrollBar();
    bar->setValue(0);
    const QPoint at = Grid()->viewport()->rect().center();
    QWheelEvent down(at, Grid()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -360), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(Grid()->viewport(), &down);
    EXPECT_EQ(bar->value(), 1); // one row, whatever the delta
    QWheelEvent up(at, Grid()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(Grid()->viewport(), &up);
    QApplication::sendEvent(Grid()->viewport(), &up);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(PointEditorTest, AnOfflineWindowMarksEveryEditedCellButTheComment)
{
    points::AxisIdentity identity;
    identity.axis = 0;
    identity.model = "MDC";
    identity.offline = true;
    identity.offlineType = 0;
    auto offline = std::make_unique<CKVL_VER2_ProgStepDlg>(*m_app, identity);
    offline->Open();
    Activate(offline.get());
    m_window = offline.get();
    CreateRow(2);
    for (int k = kColMode; k <= kColJump; ++k)
        EXPECT_TRUE(Red(2, k)) << k;
    EditCell(2, kColSpeed, QStringLiteral("40"));
    EXPECT_TRUE(Red(2, kColSpeed));
    EditCell(2, kColComment, QStringLiteral("left"));
    EXPECT_EQ(Table().Cell(1, kColComment), "left");
    EXPECT_FALSE(Red(2, kColComment));
    // Copy and paste work offline as well; every pasted cell but the comment is red. The new
    // row's ACC and DCC of 0.0 are below what a typed value may be: the paste lists them.
    SelectBlock(2, kColMode, 2, kColComment);
    Key(Qt::Key_C, Qt::ControlModifier);
    Click(6, kColMode);
    {
        MessageAnswerer messages;
        Key(Qt::Key_V, Qt::ControlModifier);
        ASSERT_TRUE(WaitFor([&messages] { return !messages.texts.isEmpty(); }));
        EXPECT_EQ(messages.texts.front().count(QLatin1Char('\n')), 2) << messages.texts.front().toStdString();
    }
    EXPECT_EQ(Table().Cell(5, kColAcc), "0.1");
    EXPECT_EQ(Table().Cell(5, kColSpeed), "40");
    EXPECT_TRUE(Red(6, kColSpeed));
    EXPECT_FALSE(Red(6, kColComment));
    m_window = nullptr;
}

} // namespace
} // namespace kvl::test
