#pragma once
// CPrintJob: the print component every window that prints goes through. It owns what all jobs
// share: the page geometry (margins in tenths of a millimetre, drawing in a 0.1 mm coordinate
// system), the three fonts made from the language's print face ("IDS_PRINT_FONT", "Common"), the
// print dialog with its page range, the printer remembered for the next job, the document start
// and its failure message, and, beyond the platform's dialog, a print preview and printing
// straight into a PDF file. A job type derives from it and lays out its own content:
// CTextPrintJob prints ready-made text lines page by page (the point table, the parameter list);
// CChartPrintJob prints a chart picture with a legend under it. User-interface thread only.
#include <QFont>
#include <QString>

#include <limits>

class QPainter;
class QPrinter;
class QWidget;

namespace kvl {

class CLanguageTexts;
struct CAppValues;

class CPrintJob {
public:
    // Margins of every page, in tenths of a millimetre.
    static constexpr int kMarginTop = 200;
    static constexpr int kMarginBottom = 200;
    static constexpr int kMarginLeft = 100;
    static constexpr int kMarginRight = 100;
    // Font heights in tenths of a millimetre, and their weights.
    static constexpr int kHeadingHeight = 50;
    static constexpr int kBodyHeight = 40;
    static constexpr int kLegendHeight = 80;
    static constexpr int kHeadingWeight = 700;
    static constexpr int kBodyWeight = 400;
    static constexpr int kLegendWeight = 700;
    // Tenths of a millimetre in an inch.
    static constexpr double kTenthMmPerInch = 254.0;
    // The last page of a range that runs until the content ends.
    static constexpr int kAllPages = std::numeric_limits<int>::max();
    static constexpr char kDocumentName[] = "Document Name";
    static constexpr char kStartFailure[] = "Printer wouldn't initalize";
    static constexpr char kFontKey[] = "IDS_PRINT_FONT";
    static constexpr char kFontSection[] = "Common";
    // Titles of the print dialog (the section's own key) and of the print preview.
    static constexpr char kPrintSection[] = "IDD_KVL_PRINT_DIALOG";
    static constexpr char kPreviewTitleKey[] = "IDS_PREVIEW_TITLE";
    static constexpr char kPrintBuiltIn[] = "Print";
    static constexpr char kPreviewBuiltIn[] = "Print Preview";

    // `values` keeps the printer name between jobs; `texts` gives the print face.
    CPrintJob(CAppValues &values, const CLanguageTexts &texts);
    virtual ~CPrintJob();
    CPrintJob(const CPrintJob &) = delete;
    CPrintJob &operator=(const CPrintJob &) = delete;

    // The print dialog (page range 1 .. DialogMaxPage()), then the chosen pages. False when the
    // user cancelled (silently) or the document failed (the failure was said).
    bool Print(QWidget *parent);
    // Qt's print preview of every page.
    void Preview(QWidget *parent);
    // Every page into a PDF file, without a dialog. False when the document failed.
    bool PrintToPdf(const QString &file, QWidget *parent);
    // Prints pages fromPage .. toPage (from 1) on a printer already set up: starts the document
    // (its failure is said in the message dialog over `parent`), lays out the pages, ends the
    // document, or aborts it when a page failed. False on any failure.
    bool Render(QPrinter &printer, int fromPage, int toPage, QWidget *parent);

    // The largest page the dialog offers.
    virtual int DialogMaxPage() const = 0;
    // Pages the last Render put out (each copy counted).
    int PagesPrinted() const { return m_pagesPrinted; }
    const QString &FaceName() const { return m_face; }

    // Height and width of a page's printable area in tenths of a millimetre.
    static int PrintableHeight(const QPrinter &printer);
    static int PrintableWidth(const QPrinter &printer);
    // A font of the print face `height` tenths of a millimetre high, in the 0.1 mm coordinates.
    QFont Font(int height, int weight) const;

protected:
    // Lays out pages fromPage .. toPage with the painter in 0.1 mm coordinates (y down from the
    // top edge of the paper). Calls StartPage() before drawing each page; false when a page
    // failed to start.
    virtual bool LayOut(QPainter &painter, const QPrinter &printer, int fromPage, int toPage) = 0;
    // Starts a page: the first of the document is already started, every further one is a new
    // page of the printer. False when the printer refused it.
    bool StartPage();
    // Whether the dialog offers the remembered printer and keeps the chosen one (the text job).
    virtual bool RemembersPrinter() const { return false; }
    // Whether there is anything to print; a job without content shows no dialog and prints nothing.
    virtual bool HasContent() const { return true; }

private:
    CAppValues &m_values;
    QString m_face;
    QString m_printTitle;
    QString m_previewTitle;
    const CLanguageTexts &m_texts;   // for the message of a PDF file that could not be written
    int m_pagesPrinted = 0;
    QPrinter *m_printer = nullptr;
};

} // namespace kvl
