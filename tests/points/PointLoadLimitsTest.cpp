// A loaded file's values through the step rules as if typed: which values are limited (and
// listed), which keep the file's text, and the message that lists them.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "PointsTestSupport.h"
#include "points/CPointCsv.h"
#include "points/CPointLoadLimits.h"

namespace kvl::points {
namespace {

using test::MakeContext;

CStepTexts Captions()
{
    CStepTexts t;
    t.columnCaptions = {"NO",       "ABS/INC",  "Position",  "Speed",  "ACC",   "DCC",    "Push", "Thr",  "Pos Range",
                        "P area A", "P area B", "ACC/DCC M", "Stop M", "Std T", "Repeat", "Jump", "Comment"};
    return t;
}

TEST(PointLoadLimits, ValuesOutsideTheEditLimitsAreLimitedAndListedOthersKeepTheFilesText)
{
    const struct {
        const char *label;
        bool online;
        std::string line;           // step 3
        int column;                 // the one column limited; -1: none
        std::string stored;         // the column's stored text afterwards
    } cases[] = {
        {"within limits", false, "3,ABS,12.34567,100,0.3,0.3,0,0,0.1,0,0,1,4,0,1,7,c", -1, ""},
        {"jump beyond the last step", false, "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,99999,c", kColJump, "63"},
        {"jump that is no step number takes the end", false, "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,x,c", kColJump,
         "E"},
        {"speed below the minimum", false, "3,ABS,10,-5,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,c", kColSpeed, ""},
        {"position far beyond the bound", false, "3,ABS,1e308,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,c", kColPosition, ""},
        {"acc/dec mode without its choice", false, "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,7,0,0,1,E,c", kColAccDecMode,
         "0"},
        {"stop mode without its choice", false, "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,9,0,1,E,c", kColStopMode, "0"},
        {"repeat above its maximum", false, "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,999,E,c", kColRepeat, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        CPointTable table(CStepRules(MakeContext("MDA", c.online, 0, 2), Captions()));
        std::vector<CsvLimitedValue> limited;
        ASSERT_EQ(CPointCsv::LoadText(table, "header\r\n" + c.line + "\r\n", &limited), 1);
        const CKVL_VER2_ProgData &record = table.Working(3);
        EXPECT_EQ(record.Comment(), "c");
        if (c.column < 0) {
            EXPECT_TRUE(limited.empty());
            EXPECT_EQ(record.FieldText(kColPosition), "12.345670") << "the file's text, not cut to the column";
            continue;
        }
        ASSERT_EQ(limited.size(), 1u);
        EXPECT_EQ(limited[0].step, 3);
        EXPECT_EQ(limited[0].line, 2);
        EXPECT_EQ(limited[0].column, c.column);
        EXPECT_TRUE(table.Marked(3, c.column));
        const CellEditor editor = table.Rules().Editor(c.column, record);
        if (!c.stored.empty()) {
            EXPECT_EQ(record.FieldText(c.column), c.stored);
        }
        if (editor.limited) {
            EXPECT_GE(LeadingReal(record.FieldText(c.column)), editor.min);
            EXPECT_LE(LeadingReal(record.FieldText(c.column)), editor.max);
        }
    }
}

// A text that is no number is not read as 0 (or as the largest double) and then limited: it is
// refused, listed as such, and its cell takes the column's default.
TEST(PointLoadLimits, TextsThatAreNoNumberAreRefusedAndListed)
{
    const struct {
        const char *label;
        int column;
        const char *text;
    } cases[] = {
        {"position nan", kColPosition, "nan"},     {"position inf", kColPosition, "inf"},
        {"position 1e308", kColPosition, "1e308"}, {"position 12abc", kColPosition, "12abc"},
        {"acc 0x10", kColAcc, "0x10"},             {"speed nan", kColSpeed, "nan"},
        {"speed 1e2", kColSpeed, "1e2"},             {"repeat -inf", kColRepeat, "-inf"},
        {"stop mode x", kColStopMode, "x"},        {"jump 3x", kColJump, "3x"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        CPointTable table(CStepRules(MakeContext("MDA", false, 0, 2), Captions()));
        std::array<std::string, kStepColumnCount> fields = {"3", "ABS", "10", "100", "0.3", "0.3", "0", "0", "0.1",
                                                           "0", "0", "0", "0", "0", "1", "E", "c"};
        fields[static_cast<size_t>(c.column)] = c.text;
        std::string line;
        for (const std::string &field : fields)
            line += (line.empty() ? "" : ",") + field;
        std::vector<CsvLimitedValue> limited;
        ASSERT_EQ(CPointCsv::LoadText(table, "header\r\n" + line + "\r\n", &limited), 1);
        ASSERT_EQ(limited.size(), 1u);
        EXPECT_TRUE(limited[0].refused);
        EXPECT_EQ(limited[0].column, c.column);
        EXPECT_EQ(limited[0].given, c.text);
        EXPECT_TRUE(table.Marked(3, c.column));
        const CStepRules &rules = table.Rules();
        EXPECT_EQ(rules.ViewText(c.column, table.Working(3).FieldText(c.column)),
                  rules.ViewText(c.column, rules.CellToFieldText(c.column, rules.ColumnDefault(c.column, DefaultUse::EmptiedCell))));
    }
}

TEST(PointLoadLimits, ALaterLineOfTheSameStepReplacesItsListAndLowerCaseEndIsEnd)
{
    CPointTable table(CStepRules(MakeContext("MDA", false, 0, 2), Captions()));
    std::vector<CsvLimitedValue> limited;
    CPointCsv::LoadText(table, "h\r\n"
                               "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,99999,a\r\n"
                               "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,e,b\r\n",
                        &limited);
    EXPECT_TRUE(limited.empty());
    EXPECT_EQ(table.Working(3).Jump(), "E");
}

TEST(PointLoadLimits, TheMessageListsStepColumnFileValueAndValueKeptAndCountsTheRest)
{
    std::vector<CsvLimitedValue> limited;
    for (int step = 0; step < static_cast<int>(CPointLoadLimits::kMessageLines) + 2; ++step)
        limited.push_back({step + 2, step, kColJump, "99999", "63", {}});
    const CPointLoadLimits::Wording wording{"Limited:", "Step %1, %2: %3 -> %4", "%1 more"};
    const std::string text = CPointLoadLimits::Describe(limited, Captions(), wording);
    EXPECT_EQ(text.substr(0, text.find('\n')), "Limited:");
    EXPECT_NE(text.find("\nStep 0, Jump: 99999 -> 63\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "2 more");
    EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), CPointLoadLimits::kMessageLines + 1);
    EXPECT_EQ(CPointLoadLimits::Describe({}, Captions(), wording), "");
    const std::vector<CsvLimitedValue> percent = {{2, 1, kColComment, "%2", "%1", {}}};
    EXPECT_EQ(CPointLoadLimits::Describe(percent, Captions(), {"h", "%3/%4", ""}), "h\n%2/%1")
        << "a value holding a mark stays as it is";
}

} // namespace
} // namespace kvl::points
