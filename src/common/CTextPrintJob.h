#pragma once
// CTextPrintJob: the print component's text job. Ready-made text lines, appended in print order,
// printed in a fixed-pitch body font at the left margin, one line height apart, as many to a page as the
// printable height holds (lines wider than the page narrowed to fit it); the dialog offers pages 1 to (lines / 64) + 1 and the remembered
// printer. Used by the axis window's point table (and the parameter list and gateway window).
// User-interface thread only.
#include <QFont>
#include <QStringList>

#include "common/CPrintJob.h"

namespace kvl {

class CTextPrintJob : public CPrintJob {
public:
    // Lines the dialog counts a page as holding (its page range only).
    static constexpr int kDialogLinesPerPage = 64;

    using CPrintJob::CPrintJob;

    void AddLine(const QString &line) { m_lines.append(line); }
    const QStringList &Lines() const { return m_lines; }

    int DialogMaxPage() const override;
    // The font the lines are printed in: the language's face where it is fixed-pitch, else the
    // system's fixed-pitch face at the same size.
    QFont BodyFont() const;
    // Height of one line of the body font in tenths of a millimetre.
    int LineHeight() const;
    // Lines a page of `printer` holds: the printable height over the line height.
    int LinesPerPage(const QPrinter &printer) const;

protected:
    bool LayOut(QPainter &painter, const QPrinter &printer, int fromPage, int toPage) override;
    bool RemembersPrinter() const override { return true; }

private:
    bool LayOutPage(QPainter &painter, qsizetype first, int perPage, qreal narrowing);
    // A line wider than the printable width would run off the paper: every line is drawn
    // narrowed by the one factor that makes the widest fit (1 when all fit).
    qreal Narrowing(const QPrinter &printer) const;

    QStringList m_lines;
};

} // namespace kvl
