#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CPointBlockEditor.h"
#include "points/CPointTableHistory.h"

namespace kvl::points {
namespace {

using test::MakeContext;

// An online table whose driver copy holds steps 0 and 1 as the working table has them.
CPointTable OnlineTable()
{
    CPointTable table(CStepRules(MakeContext("MDC", true), CStepTexts()));
    table.EnsureDriverSized();
    for (int s = 0; s < 2; ++s) {
        table.CreateRow(s);
        table.SetDriver(s, table.Working(s));
        for (int k = kColMode; k <= kColComment; ++k)
            table.SetMarked(s, k, table.Differs(s, k));
    }
    return table;
}

struct Snapshot {
    std::vector<std::array<std::string, kStepColumnCount>> cells;
    std::vector<bool> empty;
    std::vector<std::string> positions;
};

Snapshot Take(const CPointTable &table)
{
    Snapshot s;
    for (int step = 0; step < table.StepCount(); ++step) {
        std::array<std::string, kStepColumnCount> row;
        for (int k = 0; k < kStepColumnCount; ++k)
            row[static_cast<size_t>(k)] = table.Cell(step, k);
        s.cells.push_back(row);
        s.empty.push_back(table.Working(step).IsEmpty());
        s.positions.push_back(table.Working(step).FieldText(kColPosition));
    }
    return s;
}

void ExpectSame(const Snapshot &a, const Snapshot &b)
{
    EXPECT_EQ(a.cells, b.cells);
    EXPECT_EQ(a.empty, b.empty);
    EXPECT_EQ(a.positions, b.positions);
}

TEST(PointTableHistory, UndoAndRedoWalkBackAndForthThroughEditsPasteAndDelete)
{
    CPointTable table = OnlineTable();
    CPointTableHistory history;
    CPointBlockEditor blocks;
    std::vector<Snapshot> states{Take(table)};

    history.Record(table);
    table.CommitCell(0, kColPosition, "12.5");
    states.push_back(Take(table));

    blocks.Copy(table, {1, 1, kColMode, kColComment});
    history.Record(table);
    blocks.Paste(table, 6, kColMode);
    states.push_back(Take(table));

    history.Record(table);
    blocks.Delete(table, {1, 2, kColMode, kColComment});
    states.push_back(Take(table));

    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(history.Undo(table)) << i;
        ExpectSame(Take(table), states[i - 1]);
    }
    EXPECT_FALSE(history.Undo(table));
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.Redo(table)) << i;
        ExpectSame(Take(table), states[i]);
    }
    EXPECT_FALSE(history.Redo(table));
}

TEST(PointTableHistory, MarksFollowTheDriverCopyAsItIsAtUndo)
{
    CPointTable table = OnlineTable();
    CPointTableHistory history;
    ASSERT_FALSE(table.Marked(0, kColPosition));
    history.Record(table);
    table.CommitCell(0, kColPosition, "12.5");
    EXPECT_TRUE(table.Marked(0, kColPosition));

    // A write takes the edited step to the controller: the driver copy now holds 12.5.
    table.SetDriver(0, table.Working(0));
    table.SetMarked(0, kColPosition, false);

    ASSERT_TRUE(history.Undo(table));
    EXPECT_NE(table.Cell(0, kColPosition), "12.5");
    EXPECT_TRUE(table.Marked(0, kColPosition)); // differs from what the controller holds now
    EXPECT_FALSE(table.Marked(0, kColSpeed));
    ASSERT_TRUE(history.Redo(table));
    EXPECT_EQ(table.Cell(0, kColPosition), "12.5");
    EXPECT_FALSE(table.Marked(0, kColPosition));
}

TEST(PointTableHistory, OfflineEveryRestoredCellOfADefinedStepIsRed)
{
    CPointTable table(CStepRules(MakeContext("MDA", false), CStepTexts()));
    CPointTableHistory history;
    table.CreateRow(3);
    history.Record(table);
    CPointBlockEditor().Delete(table, {4, 4, kColMode, kColComment});
    ASSERT_TRUE(table.Working(3).IsEmpty());
    ASSERT_TRUE(history.Undo(table));
    EXPECT_FALSE(table.Working(3).IsEmpty());
    for (int k = kColMode; k <= kColJump; ++k)
        EXPECT_TRUE(table.Marked(3, k)) << k;
    EXPECT_FALSE(table.Marked(3, kColComment));
    EXPECT_FALSE(table.Marked(4, kColMode));
}

TEST(PointTableHistory, RecordsOfNoChangeArePassedOver)
{
    CPointTable table = OnlineTable();
    CPointTableHistory history;
    const Snapshot start = Take(table);
    history.Record(table); // a teach that found no whole row selected
    EXPECT_FALSE(history.Undo(table));
    ExpectSame(Take(table), start);

    history.Record(table);
    history.Record(table);
    table.CommitCell(1, kColSpeed, "50");
    history.Record(table); // recorded, then nothing changed
    ASSERT_TRUE(history.Undo(table));
    ExpectSame(Take(table), start);
    EXPECT_FALSE(history.Undo(table));
}

TEST(PointTableHistory, ANewRecordEndsRedoAndClearEndsEverything)
{
    CPointTable table = OnlineTable();
    CPointTableHistory history;
    history.Record(table);
    table.CommitCell(0, kColSpeed, "10");
    ASSERT_TRUE(history.Undo(table));
    EXPECT_TRUE(history.CanRedo());
    history.Record(table);
    table.CommitCell(0, kColSpeed, "20");
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo(table));
    EXPECT_EQ(table.Cell(0, kColSpeed), "20");

    history.Clear();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo(table));
    EXPECT_EQ(table.Cell(0, kColSpeed), "20");
}

TEST(PointTableHistory, KeepsALimitedDepthAndRefusesATableOfAnotherSize)
{
    CPointTable table = OnlineTable();
    CPointTableHistory history;
    const int changes = static_cast<int>(CPointTableHistory::kDepth) + 20;
    for (int i = 1; i <= changes; ++i) {
        history.Record(table);
        table.CommitCell(0, kColSpeed, std::to_string(i));
    }
    int undone = 0;
    while (history.Undo(table))
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(CPointTableHistory::kDepth));
    EXPECT_EQ(table.Cell(0, kColSpeed), "20"); // the oldest states went first

    history.Record(table);
    table.CommitCell(0, kColSpeed, "30");
    table.SetRules(CStepRules(MakeContext("MDC", true, 4), CStepTexts()));
    table.Reset(false);
    EXPECT_FALSE(history.Undo(table));
    EXPECT_EQ(table.StepCount(), 7);
}

} // namespace
} // namespace kvl::points
