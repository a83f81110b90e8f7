#pragma once
// CPointTableActions: the axis window's Read, Write, Open, Save and Print. The procedures live in
// the Qt-free core (CPointTransfer for the controller, CPointCsv with CPointLoadLimits for files,
// CPointPrintout for the printed lines); this class lends them the screen: the message dialog,
// the busy indicator with its progress, the transport's bulk-read progress, the file dialogs and
// the print component's text job (print dialog, preview, PDF file). Owned by the axis window,
// which tells it nothing but the button presses and redraws on `tableChanged`.
// User-interface thread only.
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

#include "points/CPointCsvCheck.h"
#include "points/CPointTransfer.h"

class QWidget;

namespace kvl {
class CTextPrintJob;
class CWindowContext;
} // namespace kvl

namespace kvl::points {

class CAxisWindowModel;

class CPointTableActions : public QObject {
    Q_OBJECT
public:
    static constexpr char kFileFilter[] = "Data Files (*.csv)";
    static constexpr char kPdfFilter[] = "PDF Files (*.pdf)";

    CPointTableActions(CWindowContext &context, CAxisWindowModel &model, QWidget *window);
    ~CPointTableActions() override;

    // The buttons: Read and Write with the controller, Open and Save with their file dialogs,
    // Print with the print dialog, and the Print button's menu: preview and PDF file.
    CPointTransfer::Outcome Read();
    CPointTransfer::Outcome Write();
    void Open();
    // True when the table was saved.
    bool Save();
    void Print();
    void Preview();
    void PrintPdf();

    // What the dialogs lead to, with the messages: loading a file (false when it could not be
    // opened), saving one (false when it failed), printing into a PDF file.
    bool LoadFile(const QString &path);
    bool SaveFile(const QString &path);
    bool PrintToPdf(const QString &path);

    // The text job of the table as it is now (the printout lines in order).
    std::unique_ptr<CTextPrintJob> MakePrintJob() const;
    // The values the last load limited.
    const std::vector<CsvLimitedValue> &LastLimited() const { return m_limited; }
    const CPointTransfer &Transfer() const { return *m_transfer; }

Q_SIGNALS:
    // The table or its marks changed: the window redraws.
    void tableChanged();
    // A file is about to replace the working table (an undoable change begins) and has done so.
    void loading();
    void loaded();
    // A Read replaced both tables from the controller.
    void readDone();

private:
    CPointTransfer::Hooks MakeHooks();
    CPointTransfer::Axis TransferAxis() const;
    QString Text(const char *key, const char *section, const char *builtIn) const;
    void ShowMessage(const QString &text) const;
    QString AskFile(bool save, const QString &filter) const;

    CWindowContext &m_context;
    CAxisWindowModel &m_model;
    QWidget *m_window;
    std::unique_ptr<CPointTransfer> m_transfer;
    std::vector<CsvLimitedValue> m_limited;
    QElapsedTimer m_progressShown;
};

} // namespace kvl::points
