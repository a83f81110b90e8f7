#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CPointTableEditor.h"

namespace kvl::points {
namespace {

using test::MakeContext;
using Opened = CPointTableEditor::Opened;
using BlockResult = CPointTableEditor::BlockResult;
using CellPos = CPointTableEditor::CellPos;

CPointTable TableWithSteps(int type = 0, int defined = 2)
{
    CPointTable table(CStepRules(MakeContext("MDC", false, type), CStepTexts()));
    for (int s = 0; s < defined; ++s)
        table.CreateRow(s);
    return table;
}

TEST(PointTableEditor, OpeningACellFollowsServoRowAndColumn)
{
    struct Case {
        const char *name;
        int row;
        int column;
        bool servoOn;
        int type;
        Opened what;
        EditorKind kind;
    };
    // Rows 1 and 2 hold steps, row 3 is empty.
    const Case cases[] = {
        {"header row", 0, 2, false, 0, Opened::kNothing, EditorKind::None},
        {"step-number column", 1, 0, false, 0, Opened::kNothing, EditorKind::None},
        {"below the table", 65, 2, false, 0, Opened::kNothing, EditorKind::None},
        {"servo on, defined row", 2, 3, true, 0, Opened::kStartRowMoved, EditorKind::None},
        {"servo on, empty row", 3, 3, true, 0, Opened::kNothing, EditorKind::None},
        {"empty row", 3, 3, false, 0, Opened::kRowCreated, EditorKind::None},
        {"push under type 1", 1, kColPush, false, 1, Opened::kNothing, EditorKind::None},
        {"push under type 5", 1, kColPush, false, 5, Opened::kNothing, EditorKind::None},
        {"push under type 2", 1, kColPush, false, 2, Opened::kEditor, EditorKind::Integer},
        {"mode", 1, kColMode, false, 0, Opened::kEditor, EditorKind::Choice},
        {"position", 2, kColPosition, false, 0, Opened::kEditor, EditorKind::Real},
        {"jump", 2, kColJump, false, 0, Opened::kEditor, EditorKind::Text},
        {"comment", 1, kColComment, false, 0, Opened::kEditor, EditorKind::Text},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CPointTable table = TableWithSteps(c.type);
        CPointTableEditor editor(table);
        const CPointTableEditor::OpenResult opened = editor.Open(c.row, c.column, c.servoOn);
        EXPECT_EQ(opened.what, c.what);
        EXPECT_EQ(opened.editor.kind, c.kind);
        EXPECT_EQ(editor.Editing(), c.what == Opened::kEditor);
        if (c.what == Opened::kEditor) {
            EXPECT_EQ(editor.EditCell(), (CellPos{c.row, c.column}));
            EXPECT_EQ(opened.text, table.Cell(c.row - 1, c.column));
        }
        if (c.what == Opened::kStartRowMoved)
            EXPECT_EQ(opened.row, c.row);
    }
}

TEST(PointTableEditor, DoubleClickOnAnEmptyRowCreatesItWithDefaultsAndOpensNothing)
{
    CPointTable table = TableWithSteps();
    CPointTableEditor editor(table);
    ASSERT_TRUE(table.Working(4).IsEmpty());
    EXPECT_EQ(editor.Open(5, kColSpeed, false).what, Opened::kRowCreated);
    EXPECT_FALSE(table.Working(4).IsEmpty());
    EXPECT_FALSE(editor.Editing());
    for (int k = kColMode; k <= kColJump; ++k) {
        EXPECT_EQ(table.Cell(4, k), table.Rules().ColumnDefault(k, DefaultUse::NewRow)) << k;
        EXPECT_TRUE(table.Marked(4, k)) << k;
    }
    // The second double-click edits.
    EXPECT_EQ(editor.Open(5, kColSpeed, false).what, Opened::kEditor);
    // Creating the row is undoable.
    editor.Abandon();
    EXPECT_TRUE(editor.Undo());
    EXPECT_TRUE(table.Working(4).IsEmpty());
    EXPECT_EQ(table.Cell(4, kColSpeed), "");
}

TEST(PointTableEditor, ATypedCharacterStartsTheEditWithIt)
{
    struct Case {
        int column;
        char32_t c;
        const char *text; // expected edit text, or nullptr for a choice list
        int choice;
        bool caretAtEnd;
    };
    const Case cases[] = {
        {kColMode, U'i', nullptr, 1, false},     // INC
        {kColMode, U'a', nullptr, 0, false},     // ABS
        {kColMode, U'x', nullptr, 0, false},     // no entry: the cell's own entry
        {kColStopMode, U'3', nullptr, 3, false}, // "3" on a list without language texts
        {kColPosition, U'5', "5", -1, true},
        {kColPosition, U'-', "-", -1, true},
        {kColPosition, U'x', nullptr, -1, false}, // not taken: the edit keeps the cell text
        {kColSpeed, U'.', nullptr, -1, false},    // integer edit: "." not taken
        {kColAcc, U'S', "S", -1, true},
        {kColComment, U'#', "#", -1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " char " << static_cast<char>(c.c));
        CPointTable table = TableWithSteps();
        CPointTableEditor editor(table);
        const CPointTableEditor::OpenResult opened = editor.OpenTyped(1, c.column, c.c, false);
        ASSERT_EQ(opened.what, Opened::kEditor);
        if (opened.editor.kind == EditorKind::Choice) {
            EXPECT_EQ(opened.choice, c.choice);
        } else if (c.text) {
            EXPECT_EQ(opened.text, c.text);
            EXPECT_EQ(opened.caretAtEnd, c.caretAtEnd);
        } else {
            EXPECT_EQ(opened.text, table.Cell(0, c.column));
            EXPECT_FALSE(opened.caretAtEnd);
        }
    }
}

TEST(PointTableEditor, CommitRunsTheStepRulesOnceAndClosesTheEdit)
{
    CPointTable table = TableWithSteps();
    CPointTableEditor editor(table);
    EXPECT_EQ(editor.Commit("5").text, ""); // nothing open
    ASSERT_EQ(editor.Open(2, kColSpeed, false).what, Opened::kEditor);
    EXPECT_EQ(editor.Commit("0").text, "1"); // below the minimum
    EXPECT_FALSE(editor.Editing());
    EXPECT_EQ(table.Cell(1, kColSpeed), "1");
    EXPECT_EQ(table.Working(1).Speed(), 1);
    EXPECT_TRUE(editor.Commit("77").messages.empty());
    EXPECT_EQ(table.Cell(1, kColSpeed), "1");
}

TEST(PointTableEditor, TabMovesByTheColumnRules)
{
    struct Case {
        CellPos from;
        CellPos to;
        bool opens;
    };
    const Case cases[] = {
        {{3, 1}, {3, 2}, false}, {{3, 5}, {3, 6}, true},  {{3, 7}, {3, 8}, false},
        {{3, 8}, {4, 1}, true},  {{64, 8}, {64, 8}, false}, {{3, 9}, {3, 9}, false},
        {{3, 16}, {3, 16}, false}, {{3, 0}, {3, 0}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.row << "," << c.from.column);
        const CellPos to = CPointTableEditor::TabTarget(c.from, 64);
        EXPECT_EQ(to, c.to);
        EXPECT_EQ(CPointTableEditor::TabOpens(to.column) && !(to == c.from), c.opens);
    }
}

TEST(PointTableEditor, TabOpensOnlyTheEditorOfADefinedStep)
{
    CPointTable table = TableWithSteps();
    CPointTableEditor editor(table);
    EXPECT_EQ(editor.OpenAfterTab(2, kColMode, false).what, Opened::kEditor);
    editor.Abandon();
    EXPECT_EQ(editor.OpenAfterTab(3, kColMode, false).what, Opened::kNothing);
    EXPECT_TRUE(table.Working(2).IsEmpty());
    EXPECT_EQ(editor.OpenAfterTab(2, kColMode, true).what, Opened::kNothing);
}

TEST(PointTableEditor, WheelAndMenuRules)
{
    struct WheelCase {
        int first;
        int delta;
        int expected;
    };
    const WheelCase wheel[] = {{1, -120, 2}, {1, 0, 2}, {5, 120, 4}, {1, 120, 1}, {64, -120, 64}, {2, 15, 1}};
    for (const WheelCase &c : wheel)
        EXPECT_EQ(CPointTableEditor::WheelFirstRow(c.first, c.delta, 64), c.expected) << c.first << " " << c.delta;

    struct MenuCase {
        bool right;
        bool modifier;
        int x;
        int y;
        bool opens;
    };
    const MenuCase menu[] = {
        {true, false, 30, 36, true}, {true, false, 200, 300, true}, {true, false, 29, 100, false},
        {true, false, 100, 35, false}, {true, true, 100, 100, false}, {false, false, 100, 100, false},
    };
    for (const MenuCase &c : menu)
        EXPECT_EQ(CPointTableEditor::MenuOpens(c.right, c.modifier, c.x, c.y), c.opens) << c.x << "," << c.y;
}

TEST(PointTableEditor, BlocksAreRefusedWithTheServoOnAndCopyReachesTheClipboardText)
{
    CPointTable table = TableWithSteps();
    CPointTableEditor editor(table);
    table.SetCell(0, kColComment, "first");
    EXPECT_EQ(editor.Copy({1, 2, kColPosition, kColSpeed}), BlockResult::kDone);
    const std::string position = table.Cell(0, kColPosition), speed = table.Cell(0, kColSpeed);
    ASSERT_FALSE(position.empty());
    EXPECT_EQ(editor.ClipboardText(), position + "\t" + speed + "\n" + position + "\t" + speed);
    EXPECT_EQ(editor.Buffer().BufferText(), position + "\t" + speed + "\r" + position + "\t" + speed);

    const std::string before = table.Cell(1, kColPosition);
    EXPECT_EQ(editor.Paste(5, kColPosition, true), BlockResult::kServoOn);
    EXPECT_EQ(editor.Delete({1, 2, 1, 16}, true), BlockResult::kServoOn);
    EXPECT_EQ(editor.Cut({1, 2, 1, 16}, true), BlockResult::kServoOn);
    EXPECT_TRUE(table.Working(4).IsEmpty());
    EXPECT_FALSE(table.Working(0).IsEmpty());
    EXPECT_FALSE(editor.History().CanUndo());

    EXPECT_EQ(editor.Paste(5, kColSpeed, false), BlockResult::kColumnMismatch);
    EXPECT_TRUE(table.Working(4).IsEmpty());
    EXPECT_EQ(editor.Paste(5, kColPosition, false), BlockResult::kDone);
    EXPECT_FALSE(table.Working(4).IsEmpty());
    EXPECT_EQ(editor.Delete({1, 1, 0, 0}, false), BlockResult::kNothing); // step numbers only

    EXPECT_EQ(editor.Cut({1, 1, kColMode, kColComment}, false), BlockResult::kDone);
    EXPECT_TRUE(table.Working(0).IsEmpty());
    EXPECT_EQ(editor.ClipboardText().substr(editor.ClipboardText().size() - 6), "\tfirst");
}

} // namespace
} // namespace kvl::points
