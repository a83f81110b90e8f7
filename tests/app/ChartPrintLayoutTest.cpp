// The chart job's page arithmetic, without Qt: the picture scaled to the printable width or shrunk
// to leave the legend room, the legend rows and columns below it, the narrowing of a text that
// would run into the next column, and the print dialog's last page.
#include <gtest/gtest.h>

#include "common/CChartPrintLayout.h"

namespace kvl {
namespace {

// A4 with the print component's margins (tenths of a millimetre).
constexpr CChartPrintLayout::Page kA4{2100, 2970, 100, 200, 200};

TEST(ChartPrintLayoutTest, ThePictureFillsThePrintableWidthUnlessTheLegendNeedsItsRoom)
{
    struct Case {
        const char *name;
        CChartPrintLayout::Page page;
        int chartWidth;
        int chartHeight;
        int rows;
        PrintRect picture;
    };
    const Case cases[] = {
        {"wide chart", kA4, 560, 320, 3, {100, 200, 2000, 200 + 320 * 1900 / 560}},
        {"square chart, legend fits", kA4, 1000, 1000, 3, {100, 200, 2000, 2100}},
        // 2970 - 200 - 200 - (200 + 6 x 100) = 1770 left for the picture.
        {"square chart, six rows", kA4, 1000, 1000, 6, {100, 200, 1870, 1970}},
        // 2970 - 200 - 200 - (200 + 2 x 100) = 2170 left for the picture.
        {"tall chart", kA4, 500, 1000, 2, {100, 200, 100 + 2170 / 2, 2370}},
        {"no rows", kA4, 2000, 1000, 0, {100, 200, 2000, 1150}},
        {"wider margins", {2100, 2970, 300, 200, 200}, 1500, 750, 1, {300, 200, 1800, 950}},
        {"no chart", kA4, 0, 320, 2, {0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        const CChartPrintLayout layout(c.page, c.chartWidth, c.chartHeight, c.rows);
        const PrintRect &picture = layout.Picture();
        EXPECT_EQ(picture.left, c.picture.left) << c.name;
        EXPECT_EQ(picture.top, c.picture.top) << c.name;
        EXPECT_EQ(picture.right, c.picture.right) << c.name;
        EXPECT_EQ(picture.bottom, c.picture.bottom) << c.name;
        EXPECT_EQ(layout.PrintableWidth(), c.page.width - 2 * c.page.marginLeft) << c.name;
        if (c.chartWidth > 0) {
            EXPECT_LE(layout.LegendBottom(), c.page.height - c.page.marginBottom) << c.name;
        }
    }
}

TEST(ChartPrintLayoutTest, LegendRowsFollowThePictureTenMillimetresApartInThreeColumns)
{
    const CChartPrintLayout layout(kA4, 1900, 1000, 3);
    const int bottom = layout.Picture().bottom;
    ASSERT_EQ(bottom, 1200);
    struct Case {
        int row;   // -1: the heading row
        int column;
        PrintRect cell;
    };
    const Case cases[] = {
        {-1, 0, {100, 1300, 1000, 1400}},
        {-1, 1, {800, 1300, 1700, 1400}},
        {-1, 2, {1500, 1300, 2400, 1400}},
        {0, 0, {100, 1400, 1000, 1500}},
        {0, 2, {1500, 1400, 2400, 1500}},
        {1, 1, {800, 1500, 1700, 1600}},
        {2, 0, {100, 1600, 1000, 1700}},
        {2, 2, {1500, 1600, 2400, 1700}},
    };
    for (const Case &c : cases) {
        const PrintRect cell = c.row < 0 ? layout.HeadingCell(c.column) : layout.Cell(c.row, c.column);
        EXPECT_EQ(cell.left, c.cell.left) << c.row << "," << c.column;
        EXPECT_EQ(cell.top, c.cell.top) << c.row << "," << c.column;
        EXPECT_EQ(cell.right, c.cell.right) << c.row << "," << c.column;
        EXPECT_EQ(cell.bottom, c.cell.bottom) << c.row << "," << c.column;
    }
    EXPECT_EQ(layout.LegendBottom(), 1700);
    EXPECT_EQ(CChartPrintLayout(kA4, 1900, 1000, 0).LegendBottom(), 1400) << "the heading row alone";
}

TEST(ChartPrintLayoutTest, ATextIsNarrowedToEndBeforeTheNextColumnBegins)
{
    // On A4 the value column starts 140 mm right of the left margin and has 50 mm up to the
    // printable width; on A3 its own 90 mm.
    constexpr CChartPrintLayout::Page kA3{2970, 4200, 100, 200, 200};
    const CChartPrintLayout a4(kA4, 1900, 1000, 3);
    const CChartPrintLayout a3(kA3, 1900, 1000, 3);
    struct Case {
        const CChartPrintLayout *layout;
        int column;
        double textWidth;
        double narrowing;
    };
    // Names and modes have 70 mm less the 3 mm gap.
    const Case cases[] = {
        {&a4, 0, 350.0, 1.0},  {&a4, 0, 670.0, 1.0},  {&a4, 0, 1340.0, 0.5}, {&a4, 1, 669.0, 1.0},
        {&a4, 1, 837.5, 0.8},  {&a4, 2, 500.0, 1.0},  {&a4, 2, 1000.0, 0.5}, {&a4, 2, 0.0, 1.0},
        {&a3, 2, 900.0, 1.0},  {&a3, 2, 1800.0, 0.5}, {&a3, 0, 1340.0, 0.5},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(c.layout->Narrowing(c.textWidth, c.column), c.narrowing) << c.column << " " << c.textWidth;
    EXPECT_EQ(a4.TextRoom(0), 670);
    EXPECT_EQ(a4.TextRoom(1), 670);
    EXPECT_EQ(a4.TextRoom(2), 500);
    EXPECT_EQ(a3.TextRoom(2), 900);
}

TEST(ChartPrintLayoutTest, TheDialogCountsSixtyFourLegendLinesAPage)
{
    const std::pair<int, int> cases[] = {{0, 1}, {2, 1}, {62, 1}, {63, 2}, {126, 2}, {127, 3}, {-1, 1}};
    for (const auto &[rows, maxPage] : cases)
        EXPECT_EQ(CChartPrintLayout::DialogMaxPage(rows), maxPage) << rows;
}

} // namespace
} // namespace kvl
