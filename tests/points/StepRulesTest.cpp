#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CStepRules.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeContext;
using test::MakeStep;

const StepMessage kPosRange{"IDS_WARNMSG_POSRANGE", "COMMON"};
const StepMessage kPAreaRange{"IDS_WARNMSG_PAREARANGE", "COMMON"};
const StepMessage kMaxSpeed{"IDS_WARNMSG_MAXSPEED", "COMMON"};
const StepMessage kImp{"IDS_WARNMSG_IMP", "COMMON"};
const StepMessage kImpStopMode{"IDS_WARNMSG_IMPSTOPMODE", "COMMON"};

TEST(StepRules, StepCountsAndJumpLimitsByOperationType)
{
    const struct {
        int type;
        int steps;
        int jumpLimit;
        bool pushHidden;
    } cases[] = {{0, 64, 65, false}, {1, 64, 65, true},   {2, 256, 257, false}, {3, 512, 513, false},
                 {4, 7, 8, false},   {5, 3, 4, true},     {6, 64, 65, false},   {-1, 64, 65, false}};
    for (const auto &c : cases) {
        EXPECT_EQ(CStepRules::StepCount(c.type), c.steps) << c.type;
        EXPECT_EQ(CStepRules::JumpDisplayLimit(c.type), c.jumpLimit) << c.type;
        EXPECT_EQ(CStepRules::PushHidden(c.type), c.pushHidden) << c.type;
    }
}

TEST(StepRules, DecimalsByModelAndSetting)
{
    const struct {
        const char *model;
        int setting;
        int position;
        int others;
    } cases[] = {{"MDB", 0, 3, 2},   {"MDC", 2, 3, 4},   {"MDC-X", 0, 4, 2}, {"MDA", 0, 2, 2},
                 {"MDA", 1, 3, 3},   {"MDA-Z", 2, 4, 4}, {"MDA-Y", 1, 3, 3}};
    for (const auto &c : cases) {
        const CStepRules rules(MakeContext(c.model, false, 0, c.setting), CStepTexts());
        EXPECT_EQ(rules.PositionDecimals(), c.position) << c.model << c.setting;
        EXPECT_EQ(rules.SettingDecimals(), c.others) << c.model << c.setting;
    }
}

struct ViewCase {
    const char *model;
    int decimals;
    int type;
    bool languageTexts;
    int column;
    const char *text;
    const char *shown;
};

TEST(StepRules, ViewTextByColumn)
{
    const ViewCase cases[] = {
        {"MDB", 0, 0, false, kColPosition, "12.5", "12.500"},
        {"MDC", 2, 0, false, kColPosition, "12.5", "12.500"},
        {"MDC-X", 0, 0, false, kColPosition, "12.5", "12.5000"},
        {"MDA", 0, 0, false, kColPosition, "12.5", "12.50"},
        {"MDA", 1, 0, false, kColPosition, "12.5", "12.500"},
        {"MDA-Z", 2, 0, false, kColPosition, "-12.5", "-12.5000"},
        {"MDA", 0, 0, false, kColPosition, "9999.9999", "10000.00"},
        {"MDA", 0, 0, false, kColAcc, "1.0", "1"},
        {"MDA", 0, 0, false, kColAcc, "0.5", "0.5"},
        {"MDA", 0, 0, false, kColDcc, "10.0", "10"},
        {"MDA", 0, 0, false, kColAcc, "0.300000", "0.3"},
        {"MDA", 0, 0, false, kColAcc, "100", "100"},
        {"MDA", 0, 0, false, kColAcc, "0.01", "0"},
        {"MDA", 0, 0, false, kColPosRange, "0.1", "0.10"},
        {"MDC-X", 2, 0, false, kColPAreaA, "0.1", "0.1000"},
        {"MDB", 1, 0, false, kColPAreaB, "-3", "-3.000"},
        {"MDA", 0, 0, false, kColSpeed, "100.7", "100"},
        {"MDA", 0, 0, false, kColStdTime, "0050", "50"},
        {"MDA", 0, 0, false, kColStep, "7", "7"},
        {"MDA", 0, 0, true, kColMode, "INC", "Relative"},
        {"MDA", 0, 0, true, kColMode, "I", "Relative"},
        {"MDA", 0, 0, true, kColMode, "ABS", "Absolute"},
        {"MDA", 0, 0, true, kColMode, "X", "Absolute"},
        {"MDA", 0, 0, false, kColMode, "INC", "INC"},
        {"MDA", 0, 0, false, kColMode, "I", "I"},
        {"MDA", 0, 0, true, kColAccDecMode, "1", "S-curve"},
        {"MDA", 0, 0, true, kColAccDecMode, "7", "Trapezoid"},
        {"MDA", 0, 0, false, kColAccDecMode, "1", "1"},
        {"MDA", 0, 0, false, kColAccDecMode, "7", "0"},
        {"MDA", 0, 0, true, kColStopMode, "4", "Push-stop"},
        {"MDA", 0, 0, true, kColStopMode, "9", "9"},
        {"MDA", 0, 0, false, kColStopMode, "3", "3"},
        {"MDA", 0, 0, false, kColJump, "E", "E"},
        {"MDA", 0, 0, false, kColJump, "64", "64"},
        {"MDA", 0, 0, false, kColJump, "65", "65"},
        {"MDA", 0, 0, false, kColJump, "66", "E"},
        {"MDA", 0, 0, false, kColJump, "-1", "E"},
        {"MDA", 0, 1, false, kColJump, "65", "65"},
        {"MDA", 0, 2, false, kColJump, "257", "257"},
        {"MDA", 0, 2, false, kColJump, "258", "E"},
        {"MDA", 0, 3, false, kColJump, "513", "513"},
        {"MDA", 0, 4, false, kColJump, "8", "8"},
        {"MDA", 0, 4, false, kColJump, "9", "E"},
        {"MDA", 0, 5, false, kColJump, "4", "4"},
        {"MDA", 0, 5, false, kColJump, "5", "E"},
        {"MDA", 0, 0, false, kColJump, "e", "0"},
        {"MDA", 0, 0, false, kColComment, "a, b", "a, b"},
    };
    for (const ViewCase &c : cases) {
        const CStepRules rules(MakeContext(c.model, false, c.type, c.decimals),
                               c.languageTexts ? JapaneseLikeTexts() : CStepTexts());
        EXPECT_EQ(rules.ViewText(c.column, c.text), c.shown)
            << c.model << " column " << c.column << " text " << c.text;
    }
    const CStepRules rules(MakeContext("MDA", false), JapaneseLikeTexts());
    for (int k = 0; k < kStepColumnCount; ++k)
        EXPECT_EQ(rules.ViewText(k, ""), "") << "column " << k;
}

struct EditorCase {
    const char *model;
    bool online;
    int type;
    const char *rowMode;
    int column;
    EditorKind kind;
    const char *chars;
    int maxLength;
    double min;
    double max;
};

TEST(StepRules, EditorOfEachColumn)
{
    const EditorCase cases[] = {
        {"MDC", true, 0, "ABS", kColPosition, EditorKind::Real, "+-.0123456789", 10, -100.0, 500.0},
        {"MDC", true, 0, "INC", kColPosition, EditorKind::Real, "+-.0123456789", 10, -9999.9999, 9999.9999},
        {"MDC", false, 0, "ABS", kColPosition, EditorKind::Real, "+-.0123456789", 10, -9999.9999, 9999.9999},
        {"MDC", true, 0, "ABS", kColSpeed, EditorKind::Integer, "0123456789", 4, 1, 2000},
        {"MDC", false, 0, "ABS", kColSpeed, EditorKind::Integer, "0123456789", 4, 1, 9999},
        {"MDA", false, 0, "ABS", kColSpeed, EditorKind::Integer, "0123456789", 4, 1, 1000},
        {"MDC-X", false, 0, "ABS", kColAcc, EditorKind::Real, ".0123456789ST", 4, 0.1, 99.9},
        {"MDA-Y", false, 0, "ABS", kColDcc, EditorKind::Real, ".0123456789ST", 4, 0.1, 9.9},
        {"MDB", false, 0, "ABS", kColPush, EditorKind::Integer, "0123456789", 3, 0, 150},
        {"MDB", true, 0, "ABS", kColThreshold, EditorKind::Integer, "0123456789", 3, 0, 150},
        {"MDC", true, 0, "ABS", kColPush, EditorKind::Integer, "0123456789", 3, 0, 150},
        {"MDC", false, 0, "ABS", kColPush, EditorKind::Integer, "0123456789", 3, 0, 300},
        {"MDC-X", false, 0, "ABS", kColThreshold, EditorKind::Integer, "0123456789", 3, 0, 300},
        {"MDA", true, 0, "ABS", kColPush, EditorKind::Integer, "0123456789", 2, 0, 70},
        {"MDA", true, 1, "ABS", kColPush, EditorKind::None, "", 0, 0, 0},
        {"MDC", true, 5, "ABS", kColPush, EditorKind::None, "", 0, 0, 0},
        {"MDC", true, 5, "ABS", kColThreshold, EditorKind::Integer, "0123456789", 3, 0, 150},
        {"MDA", true, 0, "ABS", kColPosRange, EditorKind::Real, "+-.0123456789", 9, -999.9999, 999.9999},
        {"MDA", true, 0, "INC", kColPAreaA, EditorKind::Real, "+-.0123456789", 10, -100.0, 500.0},
        {"MDA", false, 0, "ABS", kColPAreaB, EditorKind::Real, "+-.0123456789", 10, -9999.9999, 9999.9999},
        {"MDA", false, 0, "ABS", kColStdTime, EditorKind::Integer, "0123456789", 5, 0, 10000},
        {"MDA", false, 0, "ABS", kColRepeat, EditorKind::Integer, "0123456789", 2, 1, 99},
        {"MDA", false, 0, "ABS", kColJump, EditorKind::Text, "", 3, 0, 63},
        {"MDA", false, 4, "ABS", kColJump, EditorKind::Text, "", 3, 0, 6},
        {"MDA", false, 3, "ABS", kColJump, EditorKind::Text, "", 3, 0, 511},
        {"MDA", false, 0, "ABS", kColComment, EditorKind::Text, "", 30, 0, 0},
        {"MDA", false, 0, "ABS", kColStep, EditorKind::None, "", 0, 0, 0},
    };
    for (const EditorCase &c : cases) {
        CStepContext context = MakeContext(c.model, c.online, c.type);
        context.storedSoftLimitUpper = 500.0;
        context.storedSoftLimitLower = -100.0;
        context.storedMaxSpeed = 2000.0;
        context.storedPushLimit = 150;
        const CStepRules rules(context, CStepTexts());
        const CellEditor e = rules.Editor(c.column, MakeStep(0, c.rowMode));
        const std::string label = std::string(c.model) + (c.online ? " online" : " offline") + " column " +
                                  std::to_string(c.column) + " type " + std::to_string(c.type);
        EXPECT_EQ(e.kind, c.kind) << label;
        EXPECT_EQ(e.acceptedChars, c.chars) << label;
        EXPECT_EQ(e.maxLength, c.maxLength) << label;
        if (e.limited) {
            EXPECT_DOUBLE_EQ(e.min, c.min) << label;
            EXPECT_DOUBLE_EQ(e.max, c.max) << label;
        }
    }
}

TEST(StepRules, ChoiceListsAndTheirOpeningEntry)
{
    const CStepRules plain(MakeContext("MDA", false), CStepTexts());
    EXPECT_EQ(plain.Choices(kColMode), (std::vector<std::string>{"ABS", "INC"}));
    EXPECT_EQ(plain.Choices(kColAccDecMode), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(plain.Choices(kColStopMode), (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_TRUE(plain.Choices(kColSpeed).empty());
    const CStepRules language(MakeContext("MDA", false), JapaneseLikeTexts());
    EXPECT_EQ(language.Editor(kColStopMode, MakeStep(0)).choices,
              (std::vector<std::string>{"Stop-A", "Stop-B", "Stop-C", "Stop-D", "Push-stop"}));

    const std::vector<std::string> modes = {"Absolute", "Relative"};
    EXPECT_EQ(CStepRules::InitialChoice(modes, "relative"), 1);
    EXPECT_EQ(CStepRules::InitialChoice(modes, "Rel"), 1);
    EXPECT_EQ(CStepRules::InitialChoice(modes, "INC"), 0);
    EXPECT_EQ(CStepRules::InitialChoice(modes, ""), 0);
}

struct CommitCase {
    const char *label;
    const char *model;
    bool online;
    int decimals;
    const char *rowMode;
    int column;
    const char *input;
    const char *committed;
    std::vector<StepMessage> messages;
};

CStepContext LimitContext(const CommitCase &c)
{
    CStepContext context = MakeContext(c.model, c.online, 2, c.decimals);
    context.storedSoftLimitUpper = 500.0;
    context.storedSoftLimitLower = -100.0;
    context.storedMaxSpeed = 2000.0;
    context.storedPushLimit = 150;
    return context;
}

TEST(StepRules, CommitLimitsAndFormatsEachColumn)
{
    const CommitCase cases[] = {
        {"position 12 on MDB", "MDB", false, 0, "ABS", kColPosition, "12", "12.000", {}},
        {"position truncated on MDC-X", "MDC-X", false, 2, "ABS", kColPosition, "12.34567", "12.3456", {}},
        {"INC position limited silently", "MDC", true, 0, "INC", kColPosition, "20000", "9999.999", {}},
        {"ABS position limited to parameter 3", "MDC", true, 0, "ABS", kColPosition, "20000", "500.000", {kPosRange}},
        {"ABS position limited to parameter 4", "MDC", true, 0, "ABS", kColPosition, "-20000", "-100.000", {kPosRange}},
        {"ABS position offline no message", "MDC", false, 0, "ABS", kColPosition, "20000", "9999.999", {}},
        {"position in range keeps its text", "MDA", false, 1, "ABS", kColPosition, "+1.5", "+1.5", {}},
        {"position decimals 0", "MDA", false, 0, "ABS", kColPosition, "1.23456", "1.23", {}},
        {"position lower bound 4 decimals", "MDA", false, 2, "INC", kColPosition, "-99999", "-9999.9999", {}},
        {"position not a number", "MDA", false, 0, "ABS", kColPosition, "-", "0.00", {}},
        {"ACC 10.0 on MDC", "MDC", false, 0, "ABS", kColAcc, "10.0", "10", {}},
        {"ACC 12 on MDA", "MDA", false, 0, "ABS", kColAcc, "12", "9.9", {}},
        {"ACC S", "MDA", true, 0, "ABS", kColAcc, "S", "0.1", {}},
        {"DCC 150 on MDB", "MDB", false, 0, "ABS", kColDcc, "150", "99.9", {}},
        {"DCC 0.5", "MDC", false, 0, "ABS", kColDcc, "0.5", "0.5", {}},
        {"speed 0", "MDA", false, 0, "ABS", kColSpeed, "0", "1", {}},
        {"speed in range", "MDA", false, 0, "ABS", kColSpeed, "250", "250", {}},
        {"speed above parameter 29 online", "MDC", true, 0, "ABS", kColSpeed, "3000", "2000", {kMaxSpeed}},
        {"speed above offline MDA", "MDA", false, 0, "ABS", kColSpeed, "3000", "1000", {}},
        {"speed 9999 offline MDC", "MDC", false, 0, "ABS", kColSpeed, "9999", "9999", {}},
        {"push above 70 on MDA", "MDA", false, 0, "ABS", kColPush, "99", "70", {}},
        {"push above 300 offline MDC", "MDC", false, 0, "ABS", kColPush, "500", "300", {}},
        {"push above parameter 151 offline MDB", "MDB", false, 0, "ABS", kColPush, "200", "150", {}},
        {"threshold above parameter 151 online MDC-X", "MDC-X", true, 0, "ABS", kColThreshold, "999", "150", {}},
        {"standard time above", "MDA", false, 0, "ABS", kColStdTime, "20000", "10000", {}},
        {"repeat 0", "MDA", false, 0, "ABS", kColRepeat, "0", "1", {}},
        {"repeat 100", "MDA", false, 0, "ABS", kColRepeat, "100", "99", {}},
        {"position range above", "MDA", true, 2, "ABS", kColPosRange, "1234", "999.9999", {}},
        {"position range truncated", "MDA", false, 2, "ABS", kColPosRange, "0.12345", "0.1234", {}},
        {"P-area A above parameter 3 online", "MDA", true, 2, "ABS", kColPAreaA, "600", "500.0000", {kPAreaRange}},
        {"P-area B below parameter 4 online", "MDA", true, 0, "INC", kColPAreaB, "-600", "-100.00", {kPAreaRange}},
        {"P-area A offline in range", "MDA", false, 2, "ABS", kColPAreaA, "600", "600.0000", {}},
        {"jump e", "MDA", false, 0, "ABS", kColJump, "e", "E", {}},
        {"jump E", "MDA", false, 0, "ABS", kColJump, "E", "E", {}},
        {"jump negative", "MDA", false, 0, "ABS", kColJump, "-5", "0", {}},
        {"jump not a number", "MDA", false, 0, "ABS", kColJump, "x", "0", {}},
        {"comment as typed", "MDA", false, 0, "ABS", kColComment, "a, b", "a, b", {}},
        {"mode entry", "MDA", false, 0, "ABS", kColMode, "INC", "INC", {}},
    };
    for (const CommitCase &c : cases) {
        const CStepRules rules(LimitContext(c), CStepTexts());
        CKVL_VER2_ProgData row = MakeStep(0, c.rowMode);
        const CommitResult result = rules.Commit(c.column, c.input, row);
        EXPECT_EQ(result.text, c.committed) << c.label;
        EXPECT_EQ(result.messages, c.messages) << c.label;
        CKVL_VER2_ProgData expected = MakeStep(0, c.rowMode);
        expected.SetFieldText(c.column, c.committed, CStepTexts());
        EXPECT_TRUE(row.Equals(expected)) << c.label << ": the record holds the committed text";
    }
}

TEST(StepRules, JumpIsLimitedToTheLastStepOfTheType)
{
    const struct {
        int type;
        const char *input;
        const char *committed;
    } cases[] = {{0, "999", "63"}, {0, "63", "63"}, {1, "64", "63"}, {2, "300", "255"},
                 {3, "999", "511"}, {4, "10", "6"},  {5, "3", "2"}};
    for (const auto &c : cases) {
        const CStepRules rules(MakeContext("MDA", false, c.type), CStepTexts());
        CKVL_VER2_ProgData row = MakeStep(0);
        EXPECT_EQ(rules.Commit(kColJump, c.input, row).text, c.committed) << c.type << " " << c.input;
        EXPECT_EQ(row.Jump(), c.committed);
    }
}

struct CrossCase {
    const char *label;
    bool online;
    int type;
    int rowPush;
    int rowStopMode;
    int rowStdTime;
    int rowRepeat;
    int column;
    const char *input;
    const char *committed;
    std::vector<StepMessage> messages;
};

TEST(StepRules, CrossRulesOfPushStopModeStandardTimeAndRepeat)
{
    const CrossCase cases[] = {
        {"push against stop mode", true, 2, 0, 0, 0, 1, kColPush, "5", "0", {kImpStopMode}},
        {"push with stop mode 4 stays", true, 2, 0, 4, 0, 1, kColPush, "5", "5", {}},
        {"push against standard time", true, 2, 0, 0, 100, 1, kColPush, "5", "5", {kImp}},
        {"push against repeat", true, 2, 0, 0, 0, 3, kColPush, "5", "5", {kImp}},
        {"push offline", false, 2, 0, 0, 100, 3, kColPush, "5", "5", {}},
        {"push 0 online", true, 2, 0, 0, 100, 3, kColPush, "0", "0", {}},
        {"push type 4 against stop mode", true, 4, 0, 1, 0, 1, kColPush, "5", "0", {kImpStopMode}},
        {"stop mode with push", true, 2, 5, 0, 0, 1, kColStopMode, "0", "4", {kImpStopMode}},
        {"stop mode 4 with push", true, 2, 5, 4, 0, 1, kColStopMode, "4", "4", {kImpStopMode}},
        {"stop mode with push offline", false, 2, 5, 0, 0, 1, kColStopMode, "2", "4", {kImpStopMode}},
        {"stop mode without push", true, 2, 0, 0, 0, 1, kColStopMode, "2", "2", {}},
        {"stop mode with push under type 1", true, 1, 5, 0, 0, 1, kColStopMode, "2", "2", {}},
        {"stop mode with push under type 5", false, 5, 5, 0, 0, 1, kColStopMode, "1", "1", {}},
        {"standard time with push", true, 2, 5, 4, 0, 1, kColStdTime, "100", "0", {kImp}},
        {"standard time 0 with push", true, 2, 5, 4, 0, 1, kColStdTime, "0", "0", {}},
        {"standard time with push offline", false, 2, 5, 4, 0, 1, kColStdTime, "100", "100", {}},
        {"standard time without push", true, 2, 0, 0, 0, 1, kColStdTime, "100", "100", {}},
        {"repeat with push", true, 2, 5, 4, 0, 1, kColRepeat, "3", "1", {kImp}},
        {"repeat 1 with push", true, 2, 5, 4, 0, 1, kColRepeat, "1", "1", {}},
        {"repeat with push offline", false, 2, 5, 4, 0, 1, kColRepeat, "3", "3", {}},
    };
    for (const CrossCase &c : cases) {
        CStepContext context = MakeContext("MDC", c.online, c.type);
        context.storedPushLimit = 150;
        const CStepRules rules(context, CStepTexts());
        CKVL_VER2_ProgData row = MakeStep(0);
        row.SetFieldText(kColPush, std::to_string(c.rowPush), CStepTexts());
        row.SetFieldText(kColStopMode, std::to_string(c.rowStopMode), CStepTexts());
        row.SetFieldText(kColStdTime, std::to_string(c.rowStdTime), CStepTexts());
        row.SetFieldText(kColRepeat, std::to_string(c.rowRepeat), CStepTexts());
        const CommitResult result = rules.Commit(c.column, c.input, row);
        EXPECT_EQ(result.text, c.committed) << c.label;
        EXPECT_EQ(result.messages, c.messages) << c.label;
        EXPECT_EQ(row.FieldText(c.column), c.committed) << c.label;
    }
}

TEST(StepRules, ChoiceTextsCommitTheirIndex)
{
    const CStepRules rules(MakeContext("MDC", true, 2), JapaneseLikeTexts());
    CKVL_VER2_ProgData row = MakeStep(0);
    EXPECT_EQ(rules.Commit(kColAccDecMode, "S-curve", row).text, "S-curve");
    EXPECT_EQ(row.AccDecMode(), 1);
    EXPECT_EQ(rules.Commit(kColStopMode, "Stop-D", row).text, "Stop-D");
    EXPECT_EQ(row.StopMode(), 3);
    EXPECT_EQ(rules.Commit(kColMode, "Relative", row).text, "Relative");
    EXPECT_EQ(row.Mode(), "INC");

    row.SetFieldText(kColPush, "5", CStepTexts());
    const CommitResult forced = rules.Commit(kColStopMode, "Stop-A", row);
    EXPECT_EQ(forced.text, "Push-stop");
    EXPECT_EQ(forced.messages, std::vector<StepMessage>{kImpStopMode});
    EXPECT_EQ(row.StopMode(), 4);
}

TEST(StepRules, EmptyCommitTakesTheColumnDefaultWithoutChecks)
{
    const CStepRules offline(MakeContext("MDA", false), CStepTexts());
    CKVL_VER2_ProgData row = MakeStep(0);
    const CommitResult speed = offline.Commit(kColSpeed, "", row);
    EXPECT_EQ(speed.text, "0.00"); // defaults are not limited
    EXPECT_TRUE(speed.messages.empty());
    EXPECT_EQ(row.Speed(), 0);

    CStepContext context = MakeContext("MDC", true, 2);
    context.defaultSpeed = 1500.0;
    context.maxSpeed = 3000.0;
    context.defaultAcceleration = 0.5;
    context.defaultAccelerationInt = 2;
    const CStepRules online(context, CStepTexts());
    row.SetFieldText(kColPush, "5", CStepTexts());
    EXPECT_EQ(online.Commit(kColSpeed, "", row).text, "1500.00");
    EXPECT_EQ(online.Commit(kColAcc, "", row).text, "2.0");
    const CommitResult repeat = online.Commit(kColRepeat, "", row);
    EXPECT_EQ(repeat.text, "1");
    EXPECT_TRUE(repeat.messages.empty());
    EXPECT_EQ(online.Commit(kColStdTime, "", row).text, "0");
}

TEST(StepRules, ColumnDefaultsOnlineAndOffline)
{
    const CStepRules offline(MakeContext("MDC", false), CStepTexts());
    const char *offlineDefaults[kStepColumnCount] = {"",       "ABS",    "0.0000", "0.00", "0.0", "0.0",
                                                     "0",      "0",      "0.0000", "0.0000", "0.0000", "0",
                                                     "0",      "0",      "1",      "E",    ""};
    for (int k = 0; k < kStepColumnCount; ++k) {
        EXPECT_EQ(offline.ColumnDefault(k, DefaultUse::NewRow), offlineDefaults[k]) << k;
        EXPECT_EQ(offline.ColumnDefault(k, DefaultUse::EmptiedCell), offlineDefaults[k]) << k;
    }

    const struct {
        const char *model;
        DefaultUse use;
        const char *speed;
        const char *acc;
    } cases[] = {{"MDC", DefaultUse::NewRow, "800.00", "0.5"},
                 {"MDC", DefaultUse::EmptiedCell, "800.00", "3.0"},
                 {"MDA", DefaultUse::NewRow, "800.00", "3.0"},
                 {"MDA-Z", DefaultUse::EmptiedCell, "800.00", "3.0"}};
    for (const auto &c : cases) {
        CStepContext context = MakeContext(c.model, true);
        context.defaultSpeed = 1200.0;
        context.maxSpeed = 800.0;
        context.defaultAcceleration = 0.5;
        context.defaultAccelerationInt = 3;
        context.defaultPositionRange = 0.12345;
        context.defaultStopMode = 4;
        const CStepRules online(context, CStepTexts());
        EXPECT_EQ(online.ColumnDefault(kColSpeed, c.use), c.speed) << c.model;
        EXPECT_EQ(online.ColumnDefault(kColAcc, c.use), c.acc) << c.model;
        EXPECT_EQ(online.ColumnDefault(kColDcc, c.use), c.acc) << c.model;
        EXPECT_EQ(online.ColumnDefault(kColPosRange, c.use), "0.1235") << c.model;
        EXPECT_EQ(online.ColumnDefault(kColStopMode, c.use), "4") << c.model;
        EXPECT_EQ(online.ColumnDefault(kColPosition, c.use), "0.0000") << c.model;
        EXPECT_EQ(online.ColumnDefault(kColJump, c.use), "E") << c.model;
    }
}

TEST(StepRules, ValuesDifferByColumnKind)
{
    const CStepRules rules(MakeContext("MDA", true), JapaneseLikeTexts());
    const CKVL_VER2_ProgData base = MakeStep(0, "INC", "12.5", "3", "note");
    const struct {
        int column;
        const char *text;
        bool differs;
    } cases[] = {
        {kColPosition, "12.500", false},       {kColPosition, "12.5000000001", false},
        {kColPosition, "12.500001", true},     {kColAcc, "0.30", false},
        {kColAcc, "0.31", true},               {kColSpeed, "100", false},
        {kColSpeed, "101", true},              {kColMode, "I", false},
        {kColMode, "Relative", false},         {kColMode, "ABS", true},
        {kColJump, "03", true},                {kColJump, "3", false},
        {kColComment, "Note", true},           {kColStopMode, "0", false},
    };
    for (const auto &c : cases) {
        CKVL_VER2_ProgData other = base;
        other.SetFieldText(c.column, c.text, CStepTexts()); // language texts not mapped: kept as typed
        EXPECT_EQ(rules.ValuesDiffer(base, other, c.column), c.differs) << c.column << " " << c.text;
    }
}

} // namespace
} // namespace kvl::points
