#include "common/CPrintJob.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "common/CMsgDlg.h"
#include "common/CWindowTexts.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "config/CSaveFailure.h"

#include <algorithm>

namespace kvl {

CPrintJob::CPrintJob(CAppValues &values, const CLanguageTexts &texts)
    : m_values(values), m_face(QString::fromStdString(texts.Text(kFontKey, kFontSection))),
      m_printTitle(CWindowTexts::Text(texts, kPrintSection, kPrintSection, QString::fromLatin1(kPrintBuiltIn))),
      m_previewTitle(
          CWindowTexts::Text(texts, kPreviewTitleKey, kPrintSection, QString::fromLatin1(kPreviewBuiltIn))),
      m_texts(texts)
{
}

CPrintJob::~CPrintJob() = default;

QFont CPrintJob::Font(int height, int weight) const
{
    // The height is the font's cell (ascent and descent), as a positive font height means: the
    // letters are chosen so that one line of the face takes `height`.
    QFont font(m_face);
    font.setPixelSize(height);
    font.setWeight(static_cast<QFont::Weight>(weight));
    const qreal cell = QFontMetricsF(font).height();
    if (cell > 0.0)
        font.setPixelSize(std::max(1, static_cast<int>(height * height / cell)));
    return font;
}

int CPrintJob::PrintableHeight(const QPrinter &printer)
{
    const QRectF page = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    return static_cast<int>(page.height() * 10.0) - kMarginTop - kMarginBottom;
}

int CPrintJob::PrintableWidth(const QPrinter &printer)
{
    const QRectF page = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    return static_cast<int>(page.width() * 10.0) - kMarginLeft - kMarginRight;
}

bool CPrintJob::Print(QWidget *parent)
{
    if (!HasContent())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    if (RemembersPrinter() && !m_values.lastPrinter.empty())
        printer.setPrinterName(QString::fromStdString(m_values.lastPrinter));
    const int maxPage = DialogMaxPage();
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(m_printTitle);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, maxPage);
    dialog.setFromTo(1, maxPage);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (RemembersPrinter())
        m_values.lastPrinter = printer.printerName().toStdString();
    // Every page unless a range was chosen: the dialog's maximum counts 64 lines a page, a
    // page of the printer may hold fewer.
    int from = 1, to = kAllPages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        to = printer.toPage();
    }
    return Render(printer, from, to, parent);
}

void CPrintJob::Preview(QWidget *parent)
{
    if (!HasContent())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(m_previewTitle);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, parent](QPrinter *shown) { Render(*shown, 1, kAllPages, parent); });
    dialog.exec();
}

bool CPrintJob::PrintToPdf(const QString &file, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return Render(printer, 1, kAllPages, parent);
}

bool CPrintJob::StartPage()
{
    if (!m_printer)
        return false;
    if (m_pagesPrinted++ == 0)
        return true;
    return m_printer->newPage();
}

bool CPrintJob::Render(QPrinter &printer, int fromPage, int toPage, QWidget *parent)
{
    m_pagesPrinted = 0;
    if (!HasContent())
        return false;
    printer.setDocName(QString::fromLatin1(kDocumentName));
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        // Printing into a PDF file is a save: say which file and why, as every save does.
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            CMsgDlg::ShowWarning(parent, QString(),
                                 QString::fromStdString(CSaveFailure::Probed(QFile::encodeName(printer.outputFileName())
                                                                                 .toStdString())
                                                            .Message(&m_texts)));
        else
            CMsgDlg::Show(parent, QString(), QString::fromLatin1(kStartFailure));
        return false;
    }
    // 0.1 mm a logical unit from the paper's top-left corner.
    const double scale = printer.resolution() / kTenthMmPerInch;
    painter.scale(scale, scale);
    m_printer = &printer;
    const bool laidOut = LayOut(painter, printer, fromPage, toPage);
    m_printer = nullptr;
    if (!laidOut) {
        printer.abort();
        painter.end();
        return false;
    }
    return painter.end();
}

} // namespace kvl
