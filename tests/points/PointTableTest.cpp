#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CPointTable.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeContext;
using test::MakeStep;

CStepContext OnlineMdc(int type = 0)
{
    CStepContext c = MakeContext("MDC", true, type);
    c.defaultSpeed = 1200.0;
    c.maxSpeed = 800.0;
    c.defaultAcceleration = 0.5;
    c.defaultAccelerationInt = 3;
    c.defaultPositionRange = 0.1;
    c.defaultStopMode = 4;
    return c;
}

// The lines a bulk read hands over, in the controller's numbering.
std::string ReadLine(int wireStep, char mode, double position, int jump)
{
    char line[200];
    std::snprintf(line, sizeof(line), "%d,%c,%0.4f,%0.2f,%0.1f,%0.1f,%d,%d,%0.4f,%0.4f,%0.4f,%d,%d,%d,%d,%d\n",
                  wireStep, mode, position, 100.0, 0.3, 0.3, 0, 0, 0.1, 0.0, 0.0, 1, 2, 0, 1, jump);
    return line;
}

TEST(PointTable, ResetSizesBothTablesByOperationType)
{
    for (int type : {0, 1, 2, 3, 4, 5, 9}) {
        CPointTable table(CStepRules(MakeContext("MDA", false, type), CStepTexts()));
        EXPECT_EQ(table.StepCount(), CStepRules::StepCount(type));
        EXPECT_FALSE(table.DriverHoldsSteps()) << "nothing read yet";
        table.Reset(false);
        EXPECT_TRUE(table.DriverHoldsSteps());
        EXPECT_TRUE(table.Driver(table.StepCount() - 1).IsEmpty());
        for (int s = 0; s < table.StepCount(); ++s) {
            ASSERT_TRUE(table.Working(s).IsEmpty());
            ASSERT_EQ(table.Cell(s, kColStep), std::to_string(s));
            ASSERT_EQ(table.Cell(s, kColMode), "");
        }
    }
}

TEST(PointTable, ResetKeepsTheDriverCopyOnlyWhenAsked)
{
    CPointTable table(CStepRules(OnlineMdc(), CStepTexts()));
    table.ImportReadLines(ReadLine(1, 'A', 5.0, 0));
    ASSERT_FALSE(table.Driver(0).IsEmpty());
    table.CommitCell(0, kColSpeed, "50");
    table.Reset(true);
    EXPECT_TRUE(table.Working(0).IsEmpty());
    EXPECT_FALSE(table.Driver(0).IsEmpty());
    EXPECT_EQ(table.Cell(0, kColSpeed), "");
    EXPECT_FALSE(table.Marked(0, kColSpeed));

    table.SetRules(CStepRules(OnlineMdc(4), CStepTexts()));
    table.Reset(false);
    EXPECT_EQ(table.StepCount(), 7);
    EXPECT_TRUE(table.Driver(0).IsEmpty());
}

TEST(PointTable, NewRowOfflineTakesTheOfflineDefaultsAndIsRed)
{
    CPointTable table(CStepRules(MakeContext("MDA", false), CStepTexts()));
    ASSERT_TRUE(table.CreateRow(5));
    EXPECT_FALSE(table.CreateRow(5)) << "a defined step is not created again";
    const CKVL_VER2_ProgData &r = table.Working(5);
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.StepNumber(), 5);
    EXPECT_EQ(r.Mode(), "ABS");
    EXPECT_EQ(r.FieldText(kColPosition), "0.000000");
    EXPECT_EQ(r.Speed(), 0);
    EXPECT_EQ(r.FieldText(kColAcc), "0.000000");
    EXPECT_EQ(r.StdTime(), 0);
    EXPECT_EQ(r.Repeat(), 1);
    EXPECT_EQ(r.Jump(), "E");
    EXPECT_EQ(table.Cell(5, kColStep), "5");
    EXPECT_EQ(table.Cell(5, kColSpeed), "0.00");
    EXPECT_EQ(table.Cell(5, kColJump), "E");
    for (int k = kColMode; k <= kColJump; ++k)
        EXPECT_TRUE(table.Marked(5, k)) << k;
    EXPECT_FALSE(table.Marked(5, kColComment));
}

TEST(PointTable, NewRowOnlineTakesParameterDefaults)
{
    CPointTable table(CStepRules(OnlineMdc(), CStepTexts()));
    ASSERT_TRUE(table.CreateRow(0));
    EXPECT_EQ(table.Cell(0, kColSpeed), "800.00");
    EXPECT_EQ(table.Cell(0, kColAcc), "0.5");
    EXPECT_EQ(table.Cell(0, kColPosRange), "0.1000");
    EXPECT_EQ(table.Cell(0, kColStopMode), "4");
    EXPECT_EQ(table.Working(0).Speed(), 800);
    EXPECT_EQ(table.Working(0).StopMode(), 4);
    EXPECT_EQ(table.Working(0).FieldText(kColDcc), "0.500000");
    for (int k = kColMode; k <= kColJump; ++k)
        EXPECT_TRUE(table.Marked(0, k)) << "driver copy has no such step: column " << k;
}

TEST(PointTable, CommitMarksOnlineAgainstTheDriverCopy)
{
    CPointTable table(CStepRules(OnlineMdc(), CStepTexts()));
    table.ImportReadLines(ReadLine(1, 'A', 5.0, 0));
    CommitResult r = table.CommitCell(0, kColPosition, "5");
    EXPECT_EQ(r.text, "5.000");
    EXPECT_EQ(table.Cell(0, kColPosition), "5.000");
    EXPECT_FALSE(table.Marked(0, kColPosition)) << "same value as the controller";
    table.CommitCell(0, kColPosition, "6");
    EXPECT_TRUE(table.Marked(0, kColPosition));
    table.CommitCell(0, kColComment, "typed");
    EXPECT_FALSE(table.Marked(0, kColComment)) << "online the comment is never red";

    // A driver copy without steps makes every committed cell red.
    CPointTable fresh(CStepRules(OnlineMdc(), CStepTexts()));
    fresh.Reset(false);
    fresh.CreateRow(0);
    EXPECT_TRUE(fresh.DriverHoldsSteps());
    fresh.CommitCell(0, kColSpeed, "10");
    EXPECT_TRUE(fresh.Marked(0, kColSpeed)) << "the driver's step is empty";

    CPointTable offline(CStepRules(MakeContext("MDC", false), CStepTexts()));
    offline.CreateRow(0);
    offline.CommitCell(0, kColComment, "x");
    offline.CommitCell(0, kColSpeed, "10");
    EXPECT_TRUE(offline.Marked(0, kColSpeed));
    EXPECT_FALSE(offline.Marked(0, kColComment));
    EXPECT_TRUE(offline.CommitCell(99, kColSpeed, "10").text.empty()) << "no such step";
}

TEST(PointTable, PositionLimitsFollowTheRecordsModeNotTheCell)
{
    CStepContext context = OnlineMdc();
    context.storedSoftLimitUpper = 500.0;
    CPointTable table(CStepRules(context, CStepTexts()));
    table.CreateRow(0);
    table.CommitCell(0, kColMode, "INC");
    table.SetCell(0, kColMode, "ABS"); // the cell shows something else than the record holds
    const CommitResult inc = table.CommitCell(0, kColPosition, "600");
    EXPECT_EQ(inc.text, "600.000");
    EXPECT_TRUE(inc.messages.empty());
    table.Working(0).SetFieldText(kColMode, "ABS", CStepTexts());
    const CommitResult abs = table.CommitCell(0, kColPosition, "600");
    EXPECT_EQ(abs.text, "500.000");
    EXPECT_EQ(abs.messages, (std::vector<StepMessage>{{"IDS_WARNMSG_POSRANGE", "COMMON"}}));
}

TEST(PointTable, ImportOfBulkReadLines)
{
    CPointTable table(CStepRules(MakeContext("MDA", true, 0, 0), JapaneseLikeTexts()));
    table.CreateRow(10);
    table.CommitCell(10, kColComment, "kept on screen");
    std::string lines = ReadLine(1, 'A', 12.5, 0);  // step 0, jump to end
    lines += ReadLine(2, 'I', -3.25, 3);              // step 1, jump to step 2
    lines += ReadLine(0, 'A', 1.0, 0);                // below the table
    lines += ReadLine(65, 'A', 1.0, 0);               // above the 64 steps
    lines += "4,A,1.0000,,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0\n"; // empty speed
    lines += "5,A,1.0000,100.00,0.3\n";                // too few fields
    lines += ReadLine(64, 'A', 7.0, 64);              // last step, jump to step 63
    lines += ";\n";
    lines += ReadLine(3, 'A', 1.0, 0);                // after the end mark
    EXPECT_EQ(table.ImportReadLines(lines), 3);

    const CKVL_VER2_ProgData &first = table.Working(0);
    EXPECT_FALSE(first.IsEmpty());
    EXPECT_EQ(first.StepNumber(), 0);
    EXPECT_EQ(first.Mode(), "ABS");
    EXPECT_EQ(first.FieldText(kColPosition), "12.500000");
    EXPECT_EQ(first.Jump(), "E");
    EXPECT_EQ(first.AccDecMode(), 1);
    EXPECT_EQ(first.StopMode(), 2);
    EXPECT_TRUE(first.Equals(table.Driver(0)));
    EXPECT_EQ(table.Working(1).Mode(), "INC");
    EXPECT_EQ(table.Working(1).Jump(), "2");
    EXPECT_EQ(table.Working(63).Jump(), "63");
    EXPECT_TRUE(table.Working(2).IsEmpty()) << "line after ';' is ignored";
    EXPECT_TRUE(table.Working(3).IsEmpty()) << "line with an empty field is skipped";
    EXPECT_TRUE(table.Working(10).IsEmpty()) << "the read replaces the whole table";
    EXPECT_TRUE(table.Driver(10).IsEmpty());

    EXPECT_EQ(table.Cell(0, kColMode), "Absolute");
    EXPECT_EQ(table.Cell(0, kColPosition), "12.50");
    EXPECT_EQ(table.Cell(0, kColAccDecMode), "S-curve");
    EXPECT_EQ(table.Cell(0, kColStopMode), "Stop-C");
    EXPECT_EQ(table.Cell(1, kColMode), "Relative");
    EXPECT_EQ(table.Cell(1, kColJump), "2");
    EXPECT_EQ(table.Cell(10, kColComment), "kept on screen");
    EXPECT_EQ(table.Cell(10, kColMode), "");
    EXPECT_TRUE(table.Working(10).Comment().empty());
    for (int k = kColMode; k < kStepColumnCount; ++k)
        EXPECT_FALSE(table.Marked(0, k)) << k;
}

TEST(PointTable, ImportTakesTheCommandLayersLineList)
{
    CPointTable table(CStepRules(MakeContext("MDC", true, 4), CStepTexts()));
    const std::vector<std::string> lines = {
        "1,A,12.3456,100.00,0.3,0.3,5,6,0.1000,-1.0000,2.0000,1,4,0,1,7",
        "-2147483648,A,1.0000,100.00,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0",
        "99999999999,A,1.0000,100.00,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0",
        "7,I,-0.5000,1.00,9.9,0.1,0,0,0.0000,0.0000,0.0000,0,0,10000,99,0",
    };
    EXPECT_EQ(table.ImportReadLines(lines), 2);
    EXPECT_EQ(table.Working(0).Push(), 5);
    EXPECT_EQ(table.Working(0).Threshold(), 6);
    EXPECT_EQ(table.Working(0).Jump(), "6");
    EXPECT_EQ(table.Cell(0, kColPosition), "12.346");
    EXPECT_EQ(table.Working(6).Mode(), "INC");
    EXPECT_EQ(table.Working(6).StdTime(), 10000);
    EXPECT_EQ(table.Working(6).Repeat(), 99);
    EXPECT_EQ(table.Cell(6, kColAcc), "9.9");
}

TEST(PointTable, ImportAcceptsCarriageReturnsAndAnEmptyList)
{
    CPointTable table(CStepRules(MakeContext("MDA", true, 5), CStepTexts()));
    EXPECT_EQ(table.ImportReadLines(""), 0);
    EXPECT_EQ(table.StepCount(), 3);
    std::string line = ReadLine(3, 'I', 1.0, 1);
    line.insert(line.size() - 1, "\r");
    EXPECT_EQ(table.ImportReadLines(line), 1);
    EXPECT_EQ(table.Working(2).Jump(), "0");
}

// What a close asks about: edits made since the table was last read, written, saved or loaded.
// Comments reach only files, so a Read or a Write leaves a comment edit unkept.
TEST(PointTable, EditsAreUnkeptUntilReadWrittenSavedOrLoaded)
{
    CPointTable table(CStepRules(OnlineMdc(), CStepTexts()));
    EXPECT_FALSE(table.HasUnkeptEdits()) << "a new table holds nothing of the user's";
    table.ImportReadLines(ReadLine(1, 'A', 5.0, 0));
    EXPECT_FALSE(table.HasUnkeptEdits()) << "a read is kept";

    table.CommitCell(0, kColSpeed, "50");
    EXPECT_TRUE(table.HasUnkeptEdits());
    table.CommitCell(0, kColSpeed, "100");
    EXPECT_FALSE(table.HasUnkeptEdits()) << "back to the value read";

    ASSERT_TRUE(table.CreateRow(1));
    EXPECT_TRUE(table.HasUnkeptEdits()) << "a new step";
    table.KeepEdits(false);
    EXPECT_FALSE(table.HasUnkeptEdits()) << "written";

    table.CommitCell(0, kColComment, "Pick");
    EXPECT_TRUE(table.HasUnkeptEdits());
    table.KeepEdits(false);
    EXPECT_TRUE(table.HasUnkeptEdits()) << "a write does not keep a comment";
    table.ImportReadLines(ReadLine(1, 'A', 5.0, 0));
    EXPECT_EQ(table.Cell(0, kColComment), "Pick");
    EXPECT_TRUE(table.HasUnkeptEdits()) << "nor does a read, which leaves the comment in the grid";
    table.KeepEdits(true);
    EXPECT_FALSE(table.HasUnkeptEdits()) << "saved";

    table.Reset(true);
    EXPECT_FALSE(table.HasUnkeptEdits()) << "a reset table holds no edits";
}

TEST(PointTable, MarkingAfterLoadRules)
{
    CPointTable table(CStepRules(OnlineMdc(), CStepTexts()));
    table.ImportReadLines(ReadLine(1, 'A', 5.0, 0));
    table.Working(0) = table.Driver(0);
    table.Working(0).SetFieldText(kColComment, "x", CStepTexts());
    EXPECT_FALSE(table.DiffersAfterLoad(0, kColPosition));
    EXPECT_FALSE(table.DiffersAfterLoad(0, kColComment));
    table.Working(0).SetFieldText(kColPosition, "6", CStepTexts());
    EXPECT_TRUE(table.DiffersAfterLoad(0, kColPosition));

    table.Working(1) = MakeStep(1);
    EXPECT_TRUE(table.DiffersAfterLoad(1, kColComment)) << "step empty in the driver copy: the comment too";
    EXPECT_TRUE(table.DiffersAfterLoad(1, kColSpeed));

    CPointTable unread(CStepRules(OnlineMdc(), CStepTexts()));
    unread.Working(0) = MakeStep(0);
    EXPECT_FALSE(unread.DriverHoldsSteps());
    EXPECT_TRUE(unread.DiffersAfterLoad(0, kColSpeed));
    EXPECT_FALSE(unread.DiffersAfterLoad(0, kColComment)) << "no driver steps: the comment stays black";

    CPointTable offline(CStepRules(MakeContext("MDC", false), CStepTexts()));
    offline.Working(0) = MakeStep(0);
    EXPECT_TRUE(offline.DiffersAfterLoad(0, kColSpeed));
    EXPECT_FALSE(offline.DiffersAfterLoad(0, kColComment));
    EXPECT_FALSE(offline.DiffersAfterLoad(0, kColStep));
}

} // namespace
} // namespace kvl::points
