#pragma once
// CChartPrintLayout: where the chart job puts things on its one page, in tenths of a millimetre
// from the paper's top-left corner (y grows downwards). The chart picture is scaled to the
// printable width (the page width less twice the left margin) keeping its aspect ratio and placed
// at the top-left margins. The legend follows it: the heading row 10 mm below the picture, the row
// of series i 20 mm + i x 10 mm below it, each row 10 mm high, in three columns (name, mode,
// value) that start 70 mm apart and are 90 mm wide. The columns overlap by 20 mm and the last one
// reaches past the printable width, so a long text would print over its neighbour or off the
// paper: a cell's text is narrowed to end 3 mm before the next column begins (the last column: at
// the printable width).
// A legend that would run past the bottom margin shrinks the picture (aspect ratio kept) to leave
// it room. Qt-free; any thread.
#include <array>

namespace kvl {

struct PrintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class CChartPrintLayout {
public:
    static constexpr int kColumnCount = 3;
    // Below the picture's bottom edge: the heading row and the first series row.
    static constexpr int kHeadingOffset = 100;
    static constexpr int kFirstRowOffset = 200;
    // One legend row: its distance to the next and its height.
    static constexpr int kRowStep = 100;
    // Column starts from the left margin, and the width of each column.
    static constexpr std::array<int, kColumnCount> kColumnStart = {0, 700, 1400};
    static constexpr int kColumnWidth = 900;
    // Space kept between a narrowed text and the next column.
    static constexpr int kColumnGap = 30;
    // The print dialog counts this many legend lines a page.
    static constexpr int kDialogLinesPerPage = 64;

    // The paper and its margins, in tenths of a millimetre.
    struct Page {
        int width = 0;
        int height = 0;
        int marginLeft = 0;
        int marginTop = 0;
        int marginBottom = 0;
    };

    // A chart picture of chartWidth x chartHeight (any unit, pixels mostly) with a legend of
    // `rows` series.
    CChartPrintLayout(const Page &page, int chartWidth, int chartHeight, int rows);

    // The print dialog's last page for a legend of `rows` series: ((rows + 1) / 64) + 1.
    static int DialogMaxPage(int rows);
    // The page width less twice the left margin.
    int PrintableWidth() const;
    // Where the picture goes; empty when the chart has no size.
    const PrintRect &Picture() const { return m_picture; }
    // A cell of the heading row and of series `row` (from 0).
    PrintRect HeadingCell(int column) const;
    PrintRect Cell(int row, int column) const;
    // The lowest edge the legend reaches.
    int LegendBottom() const;
    // The room a cell's text has in `column`: up to the gap before the next column; in the last column
    // its width, but no further than the printable width.
    int TextRoom(int column) const;
    // The horizontal factor that fits a text `textWidth` wide into TextRoom(column); 1 when it fits.
    double Narrowing(double textWidth, int column) const;

private:
    PrintRect RowCell(int offset, int column) const;

    Page m_page;
    int m_rows = 0;
    PrintRect m_picture;
};

} // namespace kvl
