#pragma once
// CChartPrintJob: the print component's chart job. One page: the chart as a picture scaled to the
// printable width, and under it the legend table in the legend font, a heading row (name, mode,
// value) and one row per series, laid out by CChartPrintLayout. The window that prints gives the
// picture (an off-screen image of its chart) and the rows as finished texts: the value with the
// unit of the series' mode on the axis' model. The dialog offers pages 1 to
// ((series + 1) / 64) + 1; a job without a picture prints nothing. User-interface thread only.
#include <QImage>
#include <QString>

#include <array>
#include <vector>

#include "common/CChartPrintLayout.h"
#include "common/CPrintJob.h"

namespace kvl {

class CChartPrintJob : public CPrintJob {
public:
    // One legend row: the series' name, its mode's name and its value with the unit.
    using LegendRow = std::array<QString, CChartPrintLayout::kColumnCount>;

    using CPrintJob::CPrintJob;

    void SetPicture(const QImage &picture) { m_picture = picture; }
    const QImage &Picture() const { return m_picture; }
    void SetHeadings(const LegendRow &headings) { m_headings = headings; }
    const LegendRow &Headings() const { return m_headings; }
    void AddRow(const LegendRow &row) { m_rows.push_back(row); }
    const std::vector<LegendRow> &Rows() const { return m_rows; }

    int DialogMaxPage() const override;
    // Where the picture and the legend go on a page of `printer`.
    CChartPrintLayout Layout(const QPrinter &printer) const;

protected:
    bool LayOut(QPainter &painter, const QPrinter &printer, int fromPage, int toPage) override;
    bool HasContent() const override { return !m_picture.isNull(); }

private:
    void DrawPage(QPainter &painter, const CChartPrintLayout &layout) const;
    static void DrawCell(QPainter &painter, const CChartPrintLayout &layout, const PrintRect &cell, int column,
                         const QString &text);

    QImage m_picture;
    LegendRow m_headings;
    std::vector<LegendRow> m_rows;
};

} // namespace kvl
