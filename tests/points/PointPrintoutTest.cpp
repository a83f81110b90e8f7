#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "PointsTestSupport.h"
#include "base/TextColumns.h"
#include "points/CPointPrintout.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeContext;
using test::RowTexts;

TEST(PointPrintout, DateAndColumnLines)
{
    EXPECT_EQ(CPointPrintout::DateLine({2010, 9, 28}), "2010/0928");
    EXPECT_EQ(CPointPrintout::DateLine({2026, 12, 1}), "2026/1201");
    EXPECT_EQ(CPointPrintout::ColumnLine(), " NO,ABS/INC, Position,Speed,ACC,DCC,Push,Thr,Pos Range, P area A, "
                                            "P area B,ACC/DCC M,  Stop M,Std T,Repeat,Jump,  Comment");
    const PrintDate today = CPointPrintout::Today();
    EXPECT_GE(today.year, 2024);
    EXPECT_GE(today.month, 1);
    EXPECT_LE(today.month, 12);
    EXPECT_GE(today.day, 1);
    EXPECT_LE(today.day, 31);
}

TEST(PointPrintout, RowLineRightAlignsInFixedWidths)
{
    const CPointTable::CellRow row = {"0",     "ABS",   "12.500", "100", "0.3", "0.3", "0", "0", "0.100",
                                      "0.000", "0.000", "0",      "0",   "0",   "1",   "E", ""};
    EXPECT_EQ(CPointPrintout::RowLine(row), "  0,    ABS,   12.500,  100,0.3,0.3,   0,  0,    0.100,    0.000,"
                                            "    0.000,        0,       0,    0,     1,   E,");

    const CPointTable::CellRow wide = {"511",        "Relative", "-9999.9999", "10000", "99.9",      "10",
                                       "300",        "70",       "-999.9999",  "1234.5678", "-1234.5678", "S-curve",
                                       "Push-stop!", "10000",    "99",         "510",   "a comment"};
    char expected[400];
    std::snprintf(expected, sizeof(expected),
                  "%3s,%7s,%9s,%5s,%3s,%3s,%4s,%3s,%9s,%9s,%9s,%9s,%8s,%5s,%6s,%4s,%s", wide[0].c_str(),
                  wide[1].c_str(), wide[2].c_str(), wide[3].c_str(), wide[4].c_str(), wide[5].c_str(),
                  wide[6].c_str(), wide[7].c_str(), wide[8].c_str(), wide[9].c_str(), wide[10].c_str(),
                  wide[11].c_str(), wide[12].c_str(), wide[13].c_str(), wide[14].c_str(), wide[15].c_str(),
                  wide[16].c_str());
    EXPECT_EQ(CPointPrintout::RowLine(wide), expected);
    EXPECT_NE(CPointPrintout::RowLine(wide).find(",Relative,-9999.9999,10000,99.9,"), std::string::npos)
        << "longer texts are not cut";
}

// Japanese and Chinese choice texts take two columns a character: the padding counts columns,
// so every comma stands where it stands in the English line.
TEST(PointPrintout, WideTextsArePaddedByTheColumnsTheyTake)
{
    const CPointTable::CellRow english = {"0", "ABS", "1.000", "100", "0.3", "0.3", "0", "0", "0.100",
                                          "0.000", "0.000", "Linear", "Decel", "0", "1", "E", ""};
    CPointTable::CellRow japanese = english;
    japanese[11] = "直線";       // 4 columns, 6 bytes
    japanese[12] = "減速停止";   // 8 columns, 12 bytes
    CPointTable::CellRow chinese = english;
    chinese[11] = "直线";
    chinese[12] = "ｱｲｳ";        // half-width kana: one column each
    // A comma byte never stands inside a UTF-8 character: the line splits at its commas.
    const auto commaColumns = [](const std::string &line) {
        std::vector<std::size_t> columns;
        std::size_t column = 0;
        std::size_t start = 0;
        for (std::size_t comma = line.find(','); comma != std::string::npos; comma = line.find(',', start)) {
            column += TextColumns(std::string_view(line).substr(start, comma - start));
            columns.push_back(column++);
            start = comma + 1;
        }
        return columns;
    };
    const std::vector<std::size_t> expected = commaColumns(CPointPrintout::RowLine(english));
    EXPECT_EQ(commaColumns(CPointPrintout::RowLine(japanese)), expected);
    EXPECT_EQ(commaColumns(CPointPrintout::RowLine(chinese)), expected);
}

TEST(PointPrintout, LinesSkipRowsWithoutCellsOneToFifteen)
{
    CPointTable table(CStepRules(MakeContext("MDA", false, 4, 1), JapaneseLikeTexts()));
    table.Working(1).SetRow(RowTexts(1, "INC", "2.5", "E"), table.Rules().Texts());
    table.Working(1).SetFieldText(kColAccDecMode, "1", table.Rules().Texts());
    table.Working(1).SetFieldText(kColStopMode, "4", table.Rules().Texts());
    table.RefreshRow(1);
    table.SetCell(3, kColComment, "comment only");  // skipped: cells 1 to 15 are empty
    table.SetCell(5, kColJump, "E");                 // one cell is enough to print the row

    const std::vector<std::string> lines = CPointPrintout::Lines(table, {2010, 9, 28});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "2010/0928");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], CPointPrintout::ColumnLine());
    EXPECT_EQ(lines[3], "  1,Relative,    2.500,  100,0.3,0.3,   0,  0,    0.100,    0.000,    0.000,  S-curve,"
                        "Push-stop,    0,     1,   E,");
    EXPECT_EQ(lines[4], "  5,       ,         ,     ,   ,   ,    ,   ,         ,         ,         ,         ,"
                        "        ,     ,      ,   E,");
}

} // namespace
} // namespace kvl::points
