#include "common/CChartPrintLayout.h"

#include <algorithm>

namespace kvl {

CChartPrintLayout::CChartPrintLayout(const Page &page, int chartWidth, int chartHeight, int rows)
    : m_page(page), m_rows(std::max(rows, 0))
{
    if (chartWidth <= 0 || chartHeight <= 0)
        return;
    long long width = std::max(PrintableWidth(), 0);
    long long height = chartHeight * width / chartWidth;
    const long long legend = kFirstRowOffset + static_cast<long long>(kRowStep) * m_rows;
    const long long room = std::max(0LL, page.height - page.marginTop - page.marginBottom - legend);
    if (height > room) {
        height = room;
        width = chartWidth * height / chartHeight;
    }
    m_picture = {page.marginLeft, page.marginTop, page.marginLeft + static_cast<int>(width),
                 page.marginTop + static_cast<int>(height)};
}

int CChartPrintLayout::DialogMaxPage(int rows)
{
    return (std::max(rows, 0) + 1) / kDialogLinesPerPage + 1;
}

int CChartPrintLayout::PrintableWidth() const
{
    return m_page.width - 2 * m_page.marginLeft;
}

PrintRect CChartPrintLayout::RowCell(int offset, int column) const
{
    const int left = m_page.marginLeft + kColumnStart[static_cast<std::size_t>(column)];
    const int top = m_picture.bottom + offset;
    return {left, top, left + kColumnWidth, top + kRowStep};
}

PrintRect CChartPrintLayout::HeadingCell(int column) const
{
    return RowCell(kHeadingOffset, column);
}

PrintRect CChartPrintLayout::Cell(int row, int column) const
{
    return RowCell(kFirstRowOffset + kRowStep * row, column);
}

int CChartPrintLayout::LegendBottom() const
{
    return m_rows > 0 ? Cell(m_rows - 1, 0).bottom : HeadingCell(0).bottom;
}

int CChartPrintLayout::TextRoom(int column) const
{
    const int start = kColumnStart[static_cast<std::size_t>(column)];
    if (column + 1 < kColumnCount)
        return kColumnStart[static_cast<std::size_t>(column + 1)] - kColumnGap - start;
    return std::max(0, std::min(kColumnWidth, PrintableWidth() - start));
}

double CChartPrintLayout::Narrowing(double textWidth, int column) const
{
    const double room = TextRoom(column);
    return textWidth > room ? room / textWidth : 1.0;
}

} // namespace kvl
