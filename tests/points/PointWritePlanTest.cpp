#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CPointWritePlan.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeContext;
using test::MakeStep;

// Online MDC table whose driver copy holds steps 0 to 3 as read from the controller.
CPointTable ReadTable(const CStepTexts &texts = CStepTexts())
{
    CPointTable table(CStepRules(MakeContext("MDC", true, 0), texts));
    std::string lines;
    for (int s = 0; s < 4; ++s)
        lines += std::to_string(s + 1).append(",A,1.0000,100.00,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0\n");
    table.ImportReadLines(lines);
    return table;
}

TEST(PointWritePlan, UnchangedTableSendsNothing)
{
    CPointTable table = ReadTable();
    table.CommitCell(2, kColComment, "comments are not sent");
    const CPointWritePlan plan = CPointWritePlan::Build(table, 150);
    EXPECT_TRUE(plan.Items().empty());
    EXPECT_TRUE(plan.Messages().empty());
}

TEST(PointWritePlan, ClassifiesEachChangedStep)
{
    CPointTable table = ReadTable();
    table.CommitCell(1, kColPosition, "-2.5");              // changed: send
    table.CommitCell(1, kColJump, "7");
    table.Working(2).SetEmpty(true);                         // cleared by the user: clear
    table.CreateRow(5);                                      // new step: send
    table.CommitCell(5, kColMode, "INC");
    table.CreateRow(6);                                      // new step with an empty field: error
    table.Working(6).SetFieldText(kColPAreaB, "", CStepTexts());
    table.CreateRow(7);                                      // push above the limit: send and note
    table.Working(7).SetFieldText(kColPush, "200", CStepTexts());

    const CPointWritePlan plan = CPointWritePlan::Build(table, 150);
    ASSERT_EQ(plan.Items().size(), 5u);
    const StepWriteItem &changed = plan.Items()[0];
    EXPECT_EQ(changed.step, 1);
    EXPECT_EQ(changed.action, StepWriteAction::Send);
    EXPECT_EQ(changed.values.wireStep, 2);
    EXPECT_TRUE(changed.values.abs);
    EXPECT_DOUBLE_EQ(changed.values.position, -2.5);
    EXPECT_EQ(changed.values.wireJump, 8);
    EXPECT_EQ(changed.values.speed, 100);
    EXPECT_DOUBLE_EQ(changed.values.acc, 0.3);
    EXPECT_DOUBLE_EQ(changed.values.posRange, 0.1);
    EXPECT_EQ(changed.values.repeat, 1);

    EXPECT_EQ(plan.Items()[1].step, 2);
    EXPECT_EQ(plan.Items()[1].action, StepWriteAction::Clear);
    EXPECT_EQ(plan.Items()[2].step, 5);
    EXPECT_EQ(plan.Items()[2].action, StepWriteAction::Send);
    EXPECT_FALSE(plan.Items()[2].values.abs);
    EXPECT_EQ(plan.Items()[2].values.wireStep, 6);
    EXPECT_EQ(plan.Items()[2].values.wireJump, 0);
    EXPECT_EQ(plan.Items()[3].step, 6);
    EXPECT_EQ(plan.Items()[3].action, StepWriteAction::FieldMissing);
    EXPECT_EQ(plan.Items()[4].step, 7);
    EXPECT_TRUE(plan.Items()[4].pushAboveLimit);
    EXPECT_EQ(plan.Items()[4].values.push, 200);
    EXPECT_EQ(plan.Messages(), (std::vector<StepMessage>{{"IDS_WRITE_ERR", "COMMON"},
                                                         {"IDS_WARNMSG_PUSH_OUTRANGE", "IDD_KVL_VER2_PMTLIST_DIALOG"}}));
}

TEST(PointWritePlan, PushLimitIsCheckedOnLongModelsOnly)
{
    const struct {
        const char *model;
        bool checked;
    } cases[] = {{"MDB", true}, {"MDC", true}, {"MDC-X", true}, {"MDA", false}, {"MDA-Y", false}, {"MDA-Z", false}};
    for (const auto &[model, checked] : cases) {
        CPointTable table(CStepRules(MakeContext(model, true, 0), CStepTexts()));
        table.Working(0) = MakeStep(0);
        table.Working(0).SetFieldText(kColPush, "151", CStepTexts());
        const bool noted = CPointWritePlan::Build(table, 150).PushAboveLimit();
        EXPECT_EQ(noted, checked) << model;
        table.Working(0).SetFieldText(kColPush, "150", CStepTexts());
        EXPECT_FALSE(CPointWritePlan::Build(table, 150).PushAboveLimit()) << model;
    }
}

TEST(PointWritePlan, DriverCopyWithoutStepsIsSizedAndEveryDefinedStepSent)
{
    CPointTable table(CStepRules(MakeContext("MDA", true, 5), CStepTexts()));
    ASSERT_FALSE(table.DriverHoldsSteps());
    table.Working(1) = MakeStep(1);
    const CPointWritePlan plan = CPointWritePlan::Build(table, 0);
    EXPECT_TRUE(table.DriverHoldsSteps());
    ASSERT_EQ(plan.Items().size(), 1u);
    EXPECT_EQ(plan.Items()[0].step, 1);
    EXPECT_FALSE(plan.Items()[0].pushAboveLimit);
}

TEST(PointWritePlan, ResultsUpdateTheDriverCopyOnlyOnSuccess)
{
    CPointTable table = ReadTable();
    table.CommitCell(1, kColSpeed, "50");
    table.Working(3).SetEmpty(true);
    CPointWritePlan plan = CPointWritePlan::Build(table, 150);
    ASSERT_EQ(plan.Items().size(), 2u);

    for (const StepWriteItem &item : plan.Items())
        CPointWritePlan::ApplyResult(table, item, false);
    EXPECT_EQ(CPointWritePlan::Build(table, 150).Items().size(), 2u) << "failed steps are tried again";
    EXPECT_TRUE(table.Marked(1, kColSpeed));

    for (const StepWriteItem &item : plan.Items())
        CPointWritePlan::ApplyResult(table, item, true);
    EXPECT_TRUE(table.Driver(1).Equals(table.Working(1)));
    EXPECT_TRUE(table.Driver(3).IsEmpty());
    for (int k = kColMode; k <= kColJump; ++k)
        EXPECT_FALSE(table.Marked(1, k)) << k;
    EXPECT_TRUE(CPointWritePlan::Build(table, 150).Items().empty());
}

TEST(PointWritePlan, WireValuesOfModeAndJump)
{
    const CStepTexts texts = JapaneseLikeTexts();
    const struct {
        const char *mode;
        const char *jump;
        bool abs;
        int wireJump;
    } cases[] = {{"ABS", "E", true, 0},       {"A", "0", true, 1},     {"Absolute", "63", true, 64},
                 {"INC", "5", false, 6},      {"I", "E", false, 0},    {"abs", "1", false, 2},
                 {"Relative", "x", false, 1}};
    for (const auto &c : cases) {
        CKVL_VER2_ProgData record = MakeStep(9);
        record.SetFieldText(kColMode, c.mode, CStepTexts()); // stored as given
        record.SetFieldText(kColJump, c.jump, CStepTexts());
        const StepWireValues v = CPointWritePlan::WireValues(record, 9, texts);
        EXPECT_EQ(v.abs, c.abs) << c.mode;
        EXPECT_EQ(v.wireJump, c.wireJump) << c.jump;
        EXPECT_EQ(v.wireStep, 10);
    }
}

} // namespace
} // namespace kvl::points
