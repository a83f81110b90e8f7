#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CPointBlockEditor.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeContext;

CPointTable OfflineTable(int type = 0, const CStepTexts &texts = CStepTexts())
{
    CPointTable table(CStepRules(MakeContext("MDA", false, type), texts));
    for (int s = 0; s < 3; ++s) {
        table.CreateRow(s);
        table.CommitCell(s, kColPosition, std::to_string(s + 1));
        table.CommitCell(s, kColComment, "c" + std::to_string(s));
    }
    return table;
}

TEST(PointBlockEditor, CopyStoresTheNormalisedBlockAndItsText)
{
    CPointTable table = OfflineTable();
    CPointBlockEditor editor;
    EXPECT_FALSE(editor.HasBuffer());
    editor.Copy(table, {2, 1, 3, 2}); // rows 2..1 and columns 3..2 given backwards
    ASSERT_TRUE(editor.HasBuffer());
    EXPECT_EQ(editor.BufferBlock().rowFirst, 1);
    EXPECT_EQ(editor.BufferBlock().rowLast, 2);
    EXPECT_EQ(editor.BufferFirstColumn(), 2);
    EXPECT_EQ(editor.BufferText(), "1.00\t0.00\r2.00\t0.00");

    editor.Copy(table, {1, 200, 15, 40}); // cut to the table
    EXPECT_EQ(editor.BufferBlock().rowLast, 64);
    EXPECT_EQ(editor.BufferBlock().colLast, 16);
}

TEST(PointBlockEditor, PasteIntoAnotherColumnIsRefused)
{
    CPointTable table = OfflineTable();
    CPointBlockEditor editor;
    EXPECT_EQ(editor.Paste(table, 1, 2), PasteResult::BufferEmpty);
    editor.Copy(table, {1, 1, 2, 5});
    const std::string before = table.Cell(1, kColPosition);
    EXPECT_EQ(editor.Paste(table, 2, 3), PasteResult::ColumnMismatch);
    EXPECT_EQ(table.Cell(1, kColPosition), before);
    EXPECT_EQ(editor.Paste(table, 0, 2), PasteResult::OutsideTable);
    EXPECT_EQ(CPointBlockEditor::PasteError(), (StepMessage{"IDS_PASTE_ERR", "Common"}));
    EXPECT_EQ(CPointBlockEditor::PasteErrorTitle(), (StepMessage{"IDS_WARN_TITLE", "Common"}));
}

TEST(PointBlockEditor, PastePutsTextsUnchangedAndRebuildsRecords)
{
    CPointTable table = OfflineTable();
    CPointBlockEditor editor;
    table.SetCell(0, kColPosition, "123.456789"); // pasted as it stands, without reformatting
    editor.Copy(table, {1, 1, 2, 3});
    ASSERT_EQ(editor.Paste(table, 10, 2), PasteResult::Pasted);
    EXPECT_EQ(table.Cell(9, kColPosition), "123.456789");
    EXPECT_EQ(table.Cell(9, kColSpeed), "1") << "an offline default speed of 0 is below the speed's minimum";
    ASSERT_EQ(editor.LastLimited().size(), 1u);
    EXPECT_EQ(editor.LastLimited().front().column, kColSpeed);
    EXPECT_FALSE(table.Working(9).IsEmpty()) << "a partial row becomes a defined step";
    EXPECT_EQ(table.Working(9).StepNumber(), 9);
    EXPECT_EQ(table.Working(9).FieldText(kColPosition), "123.456789");
    EXPECT_EQ(table.Working(9).Mode(), "ABS");
    EXPECT_TRUE(table.Marked(9, kColPosition));
    EXPECT_FALSE(table.Marked(9, kColMode)) << "only the target cells are marked";

    // A block reaching past the last row is cut off there.
    editor.Copy(table, {1, 3, 2, 2});
    ASSERT_EQ(editor.Paste(table, 63, 2), PasteResult::Pasted);
    EXPECT_EQ(table.Cell(62, kColPosition), "123.456789");
    EXPECT_EQ(table.Cell(63, kColPosition), "2.00");
}

TEST(PointBlockEditor, PasteOfEmptyWholeRowsClearsTheSteps)
{
    CPointTable table = OfflineTable();
    CPointBlockEditor editor;
    editor.Copy(table, {20, 21, 1, 16}); // two empty rows
    ASSERT_EQ(editor.Paste(table, 1, 1), PasteResult::Pasted);
    EXPECT_TRUE(table.Working(0).IsEmpty());
    EXPECT_TRUE(table.Working(1).IsEmpty());
    EXPECT_FALSE(table.Working(2).IsEmpty());
    EXPECT_EQ(table.Cell(0, kColComment), "");

    // A block up to the jump column clears a row whose comment cell is empty too.
    table.CreateRow(40);
    table.CreateRow(41);
    table.CommitCell(41, kColComment, "kept");
    editor.Copy(table, {50, 51, 1, 15});
    ASSERT_EQ(editor.Paste(table, 41, 1), PasteResult::Pasted);
    EXPECT_TRUE(table.Working(40).IsEmpty());
    EXPECT_FALSE(table.Working(41).IsEmpty()) << "its comment cell still holds text";
    EXPECT_EQ(table.Working(41).Comment(), "kept");

    // Whole rows pasted from column 0 keep the step numbers of their target rows.
    editor.Copy(table, {3, 3, 0, 16});
    ASSERT_EQ(editor.Paste(table, 30, 0), PasteResult::Pasted);
    EXPECT_EQ(table.Cell(29, kColStep), "29");
    EXPECT_EQ(table.Working(29).StepNumber(), 29);
    EXPECT_EQ(table.Working(29).Comment(), "c2");
    EXPECT_FALSE(table.Working(29).IsEmpty());
}

TEST(PointBlockEditor, PasteMarksLikeALoadedFileOnline)
{
    CPointTable table(CStepRules(MakeContext("MDA", true), CStepTexts()));
    table.ImportReadLines("1,A,1.0000,100.00,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0\n"
                          "2,A,2.0000,100.00,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0\n");
    table.SetCell(0, kColComment, "screen only");
    CPointBlockEditor editor;
    editor.Copy(table, {1, 1, 1, 16});
    ASSERT_EQ(editor.Paste(table, 3, 1), PasteResult::Pasted); // step 2: empty in the driver copy
    EXPECT_TRUE(table.Marked(2, kColComment));
    EXPECT_TRUE(table.Marked(2, kColSpeed));
    ASSERT_EQ(editor.Paste(table, 2, 1), PasteResult::Pasted); // step 1 defined there
    EXPECT_TRUE(table.Marked(1, kColPosition)) << "1 differs from 2";
    EXPECT_FALSE(table.Marked(1, kColSpeed));
    EXPECT_FALSE(table.Marked(1, kColComment));
}

// An online MDC axis whose parameters bound the steps tighter than the columns' own limits.
CPointTable BoundedTable(const CStepTexts &texts = CStepTexts())
{
    CStepContext context = MakeContext("MDC", true);
    context.storedSoftLimitUpper = 100.0;
    context.storedSoftLimitLower = -50.0;
    context.storedMaxSpeed = 500.0;
    context.storedPushLimit = 70;
    context.defaultStopMode = 0;
    CPointTable table(CStepRules(context, texts));
    for (int s = 0; s < 4; ++s)
        table.CreateRow(s);
    table.CommitCell(0, kColMode, texts.modeTexts[1].empty() ? "INC" : texts.modeTexts[1]);
    return table;
}

// A value copied from a cell where it was allowed (or set there by hand) goes through the rules
// of the cell it is pasted into, as if typed there: limited, listed, marked.
TEST(PointBlockEditor, PastedValuesAreLimitedByTheTargetCellsRules)
{
    const struct {
        int column;
        const char *copied;
        const char *kept; // nullptr: in range, the pasted text stays
    } cases[] = {
        {kColPosition, "9999.999", "100.000"}, // an INC step's travel into an ABS step
        {kColPosition, "-80", "-50.000"},
        {kColPosition, "50.5", nullptr},
        {kColSpeed, "800", "500"},
        {kColSpeed, "0", "1"},
        {kColAcc, "250", "99.9"},
        {kColThreshold, "90", "70"},
        {kColPosRange, "-5000", "-999.99"},
        {kColPAreaB, "500", "100.00"},
        {kColStdTime, "20000", "10000"},
        {kColRepeat, "0", "1"},
        {kColJump, "99", "63"},
        {kColJump, "12", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.copied) + " in column " + std::to_string(c.column));
        CPointTable table = BoundedTable();
        table.SetCell(0, c.column, c.copied);
        CPointBlockEditor editor;
        editor.Copy(table, {1, 1, c.column, c.column});
        ASSERT_EQ(editor.Paste(table, 3, c.column), PasteResult::Pasted);
        const std::string kept = c.kept ? c.kept : c.copied;
        EXPECT_EQ(table.Cell(2, c.column), kept);
        EXPECT_EQ(table.Rules().ViewText(c.column, table.Working(2).FieldText(c.column)),
                  table.Rules().ViewText(c.column, kept));
        EXPECT_TRUE(table.Marked(2, c.column));
        if (!c.kept) {
            EXPECT_TRUE(editor.LastLimited().empty());
            continue;
        }
        ASSERT_EQ(editor.LastLimited().size(), 1u);
        const CsvLimitedValue &limited = editor.LastLimited().front();
        EXPECT_EQ(limited.step, 2);
        EXPECT_EQ(limited.line, 3);
        EXPECT_EQ(limited.column, c.column);
        EXPECT_EQ(limited.given, c.copied);
        EXPECT_EQ(limited.taken, kept);
    }
}

// Several rows and columns at once: each pasted row is checked against its own mode, the cross
// rules apply as when typing, and the list holds every value changed, the cells outside the
// block untouched.
TEST(PointBlockEditor, APastedBlockIsCheckedRowByRowWithTheCrossRules)
{
    CPointTable table = BoundedTable();
    table.SetCell(0, kColPosition, "500");
    table.SetCell(0, kColSpeed, "100");
    table.SetCell(1, kColPosition, "500");
    table.SetCell(1, kColSpeed, "9000");
    table.SetCell(2, kColPush, "30");
    table.CommitCell(3, kColStdTime, "200");
    CPointBlockEditor editor;
    editor.Copy(table, {1, 2, kColPosition, kColSpeed});
    ASSERT_EQ(editor.Paste(table, 2, kColPosition), PasteResult::Pasted);
    EXPECT_EQ(table.Cell(1, kColPosition), "100.000") << "step 1 is an ABS step";
    EXPECT_EQ(table.Cell(1, kColSpeed), "100");
    EXPECT_EQ(table.Cell(2, kColPosition), "100.000");
    EXPECT_EQ(table.Cell(2, kColSpeed), "500");
    EXPECT_EQ(table.Cell(0, kColPosition), "500") << "the copied cells stay as they are";
    ASSERT_EQ(editor.LastLimited().size(), 3u);
    EXPECT_EQ(editor.LastLimited()[2].column, kColSpeed);

    // Pushing needs a standard time of 0: the push stays and is not listed, as a typed one is.
    editor.Copy(table, {3, 3, kColPush, kColPush});
    ASSERT_EQ(editor.Paste(table, 4, kColPush), PasteResult::Pasted);
    EXPECT_EQ(table.Working(3).Push(), 30);
    EXPECT_TRUE(editor.LastLimited().empty());
    // With stop mode 0 the push is refused and becomes 0, listed with the rule's message.
    table.CommitCell(3, kColStdTime, "0");
    ASSERT_EQ(editor.Paste(table, 4, kColPush), PasteResult::Pasted);
    EXPECT_EQ(table.Working(3).Push(), 0);
    EXPECT_EQ(table.Cell(3, kColPush), "0");
    ASSERT_EQ(editor.LastLimited().size(), 1u);
    EXPECT_EQ(editor.LastLimited().front().message, (StepMessage{"IDS_WARNMSG_IMPSTOPMODE", "COMMON"}));
}

// Choice columns take the language's entries (and the forms a record knows), mapped to the
// right entry; a text that names none takes the column default and is listed.
TEST(PointBlockEditor, PastedChoiceTextsMapToTheirEntries)
{
    const struct {
        int column;
        const char *copied;
        int value;        // the record's entry afterwards
        bool listed;
    } cases[] = {
        {kColMode, "Relative", 1, false},
        {kColMode, "Absolute", 0, false},
        {kColMode, "inc", 1, false},
        {kColMode, "Incremental", 0, true},
        {kColAccDecMode, "S-curve", 1, false},
        {kColAccDecMode, "Trapez", 0, true},
        {kColAccDecMode, "1", 1, false},
        {kColAccDecMode, "7", 0, true},
        {kColStopMode, "Stop-D", 3, false},
        {kColStopMode, "Push-stop", 4, false},
        {kColStopMode, "2", 2, false},
        {kColStopMode, "Stop-Z", 0, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.copied);
        CPointTable table = BoundedTable(JapaneseLikeTexts());
        table.SetCell(0, c.column, c.copied);
        CPointBlockEditor editor;
        editor.Copy(table, {1, 1, c.column, c.column});
        ASSERT_EQ(editor.Paste(table, 3, c.column), PasteResult::Pasted);
        const CKVL_VER2_ProgData &record = table.Working(2);
        const int value = c.column == kColMode ? (record.Mode() == "INC" ? 1 : 0)
                          : c.column == kColAccDecMode ? record.AccDecMode()
                                                       : record.StopMode();
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(editor.LastLimited().size(), c.listed ? 1u : 0u);
        if (c.listed) {
            EXPECT_EQ(table.Cell(2, c.column), table.Rules().Choices(c.column)[0]);
            EXPECT_EQ(editor.LastLimited().front().given, c.copied);
            EXPECT_TRUE(table.Marked(2, c.column));
        }
    }
}

TEST(PointBlockEditor, DeleteInsideARowResetsDefaultsAndKeepsTheStep)
{
    CPointTable table = OfflineTable(0, JapaneseLikeTexts());
    table.CommitCell(1, kColSpeed, "500");
    table.CommitCell(1, kColAccDecMode, "S-curve");
    CPointBlockEditor editor;
    editor.Delete(table, {2, 2, 1, 3});
    EXPECT_EQ(table.Cell(1, kColMode), "Absolute");
    EXPECT_EQ(table.Cell(1, kColPosition), "0.00");
    EXPECT_EQ(table.Cell(1, kColSpeed), "0");
    EXPECT_FALSE(table.Working(1).IsEmpty());
    EXPECT_EQ(table.Working(1).Speed(), 0);
    EXPECT_EQ(table.Working(1).AccDecMode(), 1) << "choice texts outside the block keep their value";
    EXPECT_EQ(table.Working(1).Comment(), "c1");
    EXPECT_TRUE(table.Marked(1, kColSpeed));
    EXPECT_FALSE(editor.HasBuffer()) << "delete does not copy";
}

TEST(PointBlockEditor, DeleteOfWholeRowsClearsTheStepsAndCutCopiesFirst)
{
    CPointTable table = OfflineTable();
    CPointBlockEditor editor;
    editor.Delete(table, {1, 1, 1, 16});
    EXPECT_TRUE(table.Working(0).IsEmpty());
    EXPECT_EQ(table.Cell(0, kColMode), "");
    EXPECT_EQ(table.Cell(0, kColComment), "");
    EXPECT_EQ(table.Cell(0, kColStep), "0");
    EXPECT_FALSE(table.Marked(0, kColPosition));

    editor.Cut(table, {2, 3, 1, 16});
    EXPECT_TRUE(table.Working(1).IsEmpty());
    EXPECT_TRUE(table.Working(2).IsEmpty());
    ASSERT_TRUE(editor.HasBuffer());
    ASSERT_EQ(editor.Paste(table, 5, 1), PasteResult::Pasted);
    EXPECT_FALSE(table.Working(4).IsEmpty());
    EXPECT_EQ(table.Working(4).Comment(), "c1");
    EXPECT_EQ(table.Working(5).Comment(), "c2");
    EXPECT_EQ(table.Working(5).FieldText(kColPosition), "3.000000");
}

} // namespace
} // namespace kvl::points
