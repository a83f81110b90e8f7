#include "common/CChartPrintJob.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace kvl {

int CChartPrintJob::DialogMaxPage() const
{
    return CChartPrintLayout::DialogMaxPage(static_cast<int>(m_rows.size()));
}

CChartPrintLayout CChartPrintJob::Layout(const QPrinter &printer) const
{
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    CChartPrintLayout::Page page;
    page.width = static_cast<int>(paper.width() * 10.0);
    page.height = static_cast<int>(paper.height() * 10.0);
    page.marginLeft = kMarginLeft;
    page.marginTop = kMarginTop;
    page.marginBottom = kMarginBottom;
    return CChartPrintLayout(page, m_picture.width(), m_picture.height(), static_cast<int>(m_rows.size()));
}

void CChartPrintJob::DrawCell(QPainter &painter, const CChartPrintLayout &layout, const PrintRect &cell, int column,
                              const QString &text)
{
    const qreal narrowing = layout.Narrowing(QFontMetricsF(painter.font()).horizontalAdvance(text), column);
    const qreal ascent = QFontMetricsF(painter.font()).ascent();
    painter.save();
    painter.translate(cell.left, cell.top);
    painter.scale(narrowing, 1.0);
    painter.drawText(QPointF(0.0, ascent), text);
    painter.restore();
}

void CChartPrintJob::DrawPage(QPainter &painter, const CChartPrintLayout &layout) const
{
    const PrintRect &picture = layout.Picture();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(picture.left, picture.top, picture.Width(), picture.Height()), m_picture);
    painter.restore();
    // The heading and body fonts are made as every job does; the legend is in the legend font.
    painter.setFont(Font(kHeadingHeight, kHeadingWeight));
    painter.setFont(Font(kBodyHeight, kBodyWeight));
    painter.setFont(Font(kLegendHeight, kLegendWeight));
    painter.setPen(Qt::black);
    for (int column = 0; column < CChartPrintLayout::kColumnCount; ++column)
        DrawCell(painter, layout, layout.HeadingCell(column), column, m_headings[static_cast<std::size_t>(column)]);
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        for (int column = 0; column < CChartPrintLayout::kColumnCount; ++column)
            DrawCell(painter, layout, layout.Cell(static_cast<int>(row), column), column,
                     m_rows[row][static_cast<std::size_t>(column)]);
    }
}

bool CChartPrintJob::LayOut(QPainter &painter, const QPrinter &printer, int fromPage, int toPage)
{
    // The chart is one page: a range that leaves out page 1 prints nothing.
    if (std::max(fromPage, 1) > 1 || toPage < 1)
        return true;
    const CChartPrintLayout layout = Layout(printer);
    // The printer repeats the page itself when it can; otherwise each copy is laid out here.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    for (int copy = 0; copy < copies; ++copy) {
        if (!StartPage())
            return false;
        DrawPage(painter, layout);
    }
    return true;
}

} // namespace kvl
