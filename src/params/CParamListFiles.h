#pragma once
// CParamListFiles: the parameter list window's file buttons. Open file and Save file run
// CParamFileActions with the file dialogs ("Data Files (*.dat)"; Save asks before replacing a
// file) and the message dialog; Print offers a menu: the print dialog, the print preview and
// printing straight into a PDF file, each through the print component's text job. The window
// owns it and tells it nothing: it connects the buttons itself and redraws the window after a
// load. User-interface thread only.
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "params/CParamFileActions.h"

class QMenu;

namespace kvl {
class CTextPrintJob;
class CWindowContext;
} // namespace kvl

namespace kvl::params {

class CKVL_VER2_ParameterListDlg;

class CParamListFiles : public QObject {
    Q_OBJECT
public:
    static constexpr char kFileFilter[] = "Data Files (*.dat)";
    static constexpr char kPdfFilter[] = "PDF Files (*.pdf)";

    CParamListFiles(CWindowContext &context, CKVL_VER2_ParameterListDlg &list);
    ~CParamListFiles() override;

    // The buttons and the Print menu's entries.
    // True when the file column was saved.
    bool Save();
    void Read();
    void Print();
    void Preview();
    void PrintPdf();
    bool PrintToPdf(const QString &path);

    // The text job of the file column as it is now.
    std::unique_ptr<CTextPrintJob> MakePrintJob() const;
    // The text job of printout lines (code-page bytes).
    std::unique_ptr<CTextPrintJob> MakePrintJob(const std::vector<std::string> &lines) const;
    CParamFileActions &Actions() { return *m_actions; }
    QMenu *PrintMenu() const { return m_printMenu; }
    void ApplyTexts();

private:
    CParamFileActions::Hooks MakeHooks();
    ParamTarget Target() const;
    std::optional<std::string> AskFile(CParamFileActions::Dialog dialog, const QString &filter) const;
    void ShowMessage(const ParamMessage &message) const;

    CWindowContext &m_context;
    CKVL_VER2_ParameterListDlg &m_list;
    std::unique_ptr<CParamFileActions> m_actions;
    QMenu *m_printMenu = nullptr;
};

} // namespace kvl::params
