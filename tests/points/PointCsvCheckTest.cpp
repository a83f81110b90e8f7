// The strict reading of a point-table file: what it refuses (and then leaves the table alone),
// what it takes, and the values the step rules limit on the way in.
#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CPointCsv.h"
#include "points/CPointCsvCheck.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeContext;
using test::RowTexts;

const std::string kHeader = "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Pos Range,P area A,P area B,"
                            "ACC/DCC M,Stop M,Std T,Repeat,Jump,Comment\r\n";
const std::string kGoodLine = "0,ABS,12.5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,first\r\n";

// An online MDA axis whose stored parameters bound the edits: soft limits 500 / -100, speed 2000.
CStepRules OnlineRules(int operationType = 0, const CStepTexts &texts = CStepTexts())
{
    CStepContext context = MakeContext("MDA", true, operationType, 2);
    context.storedSoftLimitUpper = 500.0;
    context.storedSoftLimitLower = -100.0;
    context.storedMaxSpeed = 2000.0;
    return CStepRules(context, texts);
}

// A line of step 0 with one field replaced.
std::string LineWith(int k, const std::string &text)
{
    std::array<std::string, kStepColumnCount> fields = RowTexts(0, "ABS", "12.5", "E");
    fields[k] = text;
    std::string line;
    for (int i = 0; i < kStepColumnCount; ++i)
        line += (i ? "," : "") + fields[i];
    return line + "\r\n";
}

TEST(PointCsvCheck, RefusesWhatIsNotAPointTableAndKeepsTheTable)
{
    struct Case {
        const char *what;
        std::string content;
        int line;
        std::string reason;
    };
    const std::vector<Case> cases{
        {"empty file", "", 0, "the file is empty"},
        {"only line ends", "\r\n\r\n  \r\n", 0, "the file is empty"},
        {"no header line", kGoodLine, 1, "header line"},
        {"some other file", "[3]\r\nValue=12\r\n", 1, "not a point-table file"},
        {"position abc", kHeader + LineWith(kColPosition, "abc"), 2, "Position \"abc\" is not a number"},
        {"position with an exponent", kHeader + LineWith(kColPosition, "1e3"), 2, "Position \"1e3\" is not a number"},
        {"speed with decimals", kHeader + kGoodLine + LineWith(kColSpeed, "1.5"), 3,
         "Speed \"1.5\" is not a whole number"},
        {"acc not a number", kHeader + LineWith(kColAcc, "fast"), 2, "ACC \"fast\" is not a number"},
        {"mode", kHeader + LineWith(kColMode, "REL"), 2, "ABS/INC \"REL\" is neither ABS nor INC"},
        {"acc/dec mode", kHeader + LineWith(kColAccDecMode, "2"), 2, "ACC/DCC M \"2\" is not 0 or 1"},
        {"stop mode", kHeader + LineWith(kColStopMode, "5"), 2, "Stop M \"5\" is not 0 to 4"},
        {"jump", kHeader + LineWith(kColJump, "next"), 2, "Jump \"next\" is neither E nor a step number"},
        {"step number", kHeader + LineWith(kColStep, "x1"), 2, "the step number \"x1\" is not a whole number"},
        {"step past the table", kHeader + LineWith(kColStep, "64"), 2, "step 64 is outside the table (steps 0 to 63)"},
        {"empty field", kHeader + "3,ABS,,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,note\r\n", 2, "Position is empty"},
        {"short line", kHeader + "\r\n" + "0,ABS,1,100,0.3\r\n", 3, "16 fields are needed"},
        {"step twice", kHeader + kGoodLine + "\r\n" + kGoodLine, 4, "step 0 is given twice (first on line 2)"},
        {"zero byte", kHeader + std::string("0,ABS,1\0,100", 12) + "\r\n", 2, "zero byte"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CPointTable table(OnlineRules());
        table.Working(5) = test::MakeStep(5);
        const CsvCheckReport report = CPointCsvCheck::Load(table, c.content);
        EXPECT_FALSE(report.accepted);
        EXPECT_EQ(report.line, c.line);
        EXPECT_NE(report.reason.find(c.reason), std::string::npos) << report.reason;
        EXPECT_FALSE(table.Working(5).IsEmpty()) << "a refused file leaves the table as it was";
        EXPECT_TRUE(table.Working(0).IsEmpty());
    }
}

TEST(PointCsvCheck, TakesEveryFileTheWindowSavesAndAHeaderInAnyLanguage)
{
    const CStepRules rules = OnlineRules(2, JapaneseLikeTexts());
    CPointTable saved(rules);
    saved.Working(0).SetRow(RowTexts(0, "ABS", "12.5", "3", "first"), rules.Texts());
    saved.Working(3).SetRow(RowTexts(3, "INC", "-2.25", "E", "with, comma"), rules.Texts());
    saved.Working(255).SetRow(RowTexts(255, "Relative", "0", "0"), rules.Texts());
    for (int step : {0, 3, 255})
        saved.RefreshRow(step);
    const std::string content = CPointCsv::Serialise(saved);

    CPointTable loaded(rules);
    const CsvCheckReport report = CPointCsvCheck::Load(loaded, content);
    ASSERT_TRUE(report.accepted) << report.line << ": " << report.reason;
    EXPECT_EQ(report.steps, 3);
    EXPECT_TRUE(report.limited.empty());
    for (int step = 0; step < loaded.StepCount(); ++step)
        EXPECT_TRUE(loaded.Working(step).Equals(saved.Working(step))) << "step " << step;

    // A header of only a header line is an empty table; captions need not be the current language's.
    const std::string japaneseHeader = "\x94\xd4\x8d\x86,INC,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o\r\n";
    EXPECT_TRUE(CPointCsvCheck::Load(loaded, japaneseHeader).accepted);
    EXPECT_TRUE(loaded.Working(0).IsEmpty());
    EXPECT_TRUE(CPointCsvCheck::Load(loaded, ",,,,,,,,,,,,,,,,\r\n" + kGoodLine).accepted)
        << "the header a table without language texts saves";
    EXPECT_FALSE(CPointCsvCheck::IsHeaderLine("0,ABS,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o"));
    EXPECT_FALSE(CPointCsvCheck::IsHeaderLine("NO,ABS/INC,Position"));
}

TEST(PointCsvCheck, ValuesPassTheStepRulesAndEachLimitIsReported)
{
    struct Case {
        const char *what;
        std::string line;
        int column;
        std::string taken;
        std::string messageKey;
    };
    const std::vector<Case> cases{
        {"speed above parameter 29", LineWith(kColSpeed, "99999"), kColSpeed, "2000", "IDS_WARNMSG_MAXSPEED"},
        {"speed below 1", LineWith(kColSpeed, "0"), kColSpeed, "1", ""},
        {"ABS position past the soft limit", LineWith(kColPosition, "600"), kColPosition, "500.0000",
         "IDS_WARNMSG_POSRANGE"},
        {"P-area below the soft limit", LineWith(kColPAreaA, "-250"), kColPAreaA, "-100.0000",
         "IDS_WARNMSG_PAREARANGE"},
        {"ACC above the short model's 9.9", LineWith(kColAcc, "50"), kColAcc, "9.9", ""},
        {"repeat 0", LineWith(kColRepeat, "0"), kColRepeat, "1", ""},
        {"jump past the table", LineWith(kColJump, "99"), kColJump, "63", ""},
        {"push without the pushing stop mode", LineWith(kColPush, "50"), kColPush, "0", "IDS_WARNMSG_IMPSTOPMODE"},
        {"standard time while pushing", "0,ABS,1,100,0.3,0.3,30,10,0.1,0,0,0,4,100,1,E,\r\n", kColStdTime, "0",
         "IDS_WARNMSG_IMP"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CPointTable table(OnlineRules());
        const CsvCheckReport report = CPointCsvCheck::Load(table, kHeader + "\r\n" + c.line);
        ASSERT_TRUE(report.accepted) << report.reason;
        ASSERT_EQ(report.limited.size(), 1u);
        const CsvLimitedValue &limited = report.limited[0];
        EXPECT_EQ(limited.line, 3);
        EXPECT_EQ(limited.step, 0);
        EXPECT_EQ(limited.column, c.column);
        EXPECT_EQ(limited.taken, c.taken);
        EXPECT_EQ(limited.message.key, c.messageKey);
        EXPECT_EQ(table.Rules().ViewText(c.column, table.Working(0).FieldText(c.column)), c.taken)
            << "the table holds the limited value";
    }

    // Decimals past the field's resolution and an end jump in any case are no limits.
    CPointTable table(OnlineRules());
    const CsvCheckReport report =
        CPointCsvCheck::Load(table, kHeader + "0,ABS,12.34567,100,0.25,0.3,0,0,0.1,0,0,0,0,0,1,e,\r\n");
    ASSERT_TRUE(report.accepted) << report.reason;
    EXPECT_TRUE(report.limited.empty());
    EXPECT_EQ(table.Working(0).Jump(), "E");
}

} // namespace
} // namespace kvl::points
