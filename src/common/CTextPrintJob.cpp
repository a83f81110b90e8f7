#include "common/CTextPrintJob.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace kvl {

int CTextPrintJob::DialogMaxPage() const
{
    return static_cast<int>(m_lines.size()) / kDialogLinesPerPage + 1;
}

int CTextPrintJob::LineHeight() const
{
    return std::max(1, static_cast<int>(std::lround(QFontMetricsF(BodyFont()).height())));
}

int CTextPrintJob::LinesPerPage(const QPrinter &printer) const
{
    return std::max(1, PrintableHeight(printer) / LineHeight());
}

bool CTextPrintJob::LayOutPage(QPainter &painter, qsizetype first, int perPage, qreal narrowing)
{
    if (!StartPage())
        return false;
    const int lineHeight = LineHeight();
    const qreal ascent = QFontMetricsF(painter.font()).ascent();
    const qsizetype last = std::min(m_lines.size(), first + perPage);
    painter.save();
    painter.scale(narrowing, 1.0);
    for (qsizetype i = first; i < last; ++i) {
        const qreal top = kMarginTop + static_cast<qreal>(i - first) * lineHeight;
        painter.drawText(QPointF(kMarginLeft / narrowing, top + ascent), m_lines[i]);
    }
    painter.restore();
    return true;
}

QFont CTextPrintJob::BodyFont() const
{
    QFont font = Font(kBodyHeight, kBodyWeight);
    // The lines put their columns in place with spaces: only a fixed-pitch face keeps them there
    // (the language file names a face this system may not have, or a proportional one).
    if (!QFontInfo(font).fixedPitch()) {
        const int pixels = font.pixelSize();
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        font.setWeight(static_cast<QFont::Weight>(kBodyWeight));
        font.setPixelSize(pixels);
    }
    return font;
}

qreal CTextPrintJob::Narrowing(const QPrinter &printer) const
{
    const QFontMetricsF metrics(BodyFont());
    qreal widest = 0.0;
    for (const QString &line : m_lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const qreal width = PrintableWidth(printer);
    return widest > width ? width / widest : 1.0;
}

bool CTextPrintJob::LayOut(QPainter &painter, const QPrinter &printer, int fromPage, int toPage)
{
    // The heading font is made and selected as every job does; the lines are in the body font.
    painter.setFont(Font(kHeadingHeight, kHeadingWeight));
    painter.setFont(BodyFont());
    const int perPage = LinesPerPage(printer);
    const qreal narrowing = Narrowing(printer);
    fromPage = std::max(fromPage, 1);
    // The printer repeats the pages itself when it can; otherwise each copy is laid out here,
    // the whole range again (collated) or each page again (uncollated).
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    const bool collate = printer.collateCopies();
    const auto pageStart = [&](int page) { return static_cast<qsizetype>(page - 1) * perPage; };
    const int outerCopies = collate ? copies : 1;
    const int innerCopies = collate ? 1 : copies;
    for (int copy = 0; copy < outerCopies; ++copy) {
        for (int page = fromPage; page <= toPage && pageStart(page) < m_lines.size(); ++page) {
            for (int again = 0; again < innerCopies; ++again) {
                if (!LayOutPage(painter, pageStart(page), perPage, narrowing))
                    return false;
            }
        }
    }
    return true;
}

} // namespace kvl
