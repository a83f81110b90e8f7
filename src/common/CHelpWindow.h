#pragma once
// CHelpWindow: shows the tool's help page (an HTML file beside the program) in a window of the
// tool itself, so that help needs no web browser. It follows links inside the page and scrolls
// to a window's own section; a missing file is said in the window, with its path. Created once by
// the application object and shown again for every Help button or F1; the application loads the
// page of the new language into it on a language switch. User-interface thread only.
#include <QDialog>
#include <QString>

class QTextBrowser;
class QPushButton;

namespace kvl {

class CLanguageTexts;

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget *parent = nullptr);

    // Loads `file` (when it is not the page already shown), scrolls to `anchor` (an element id
    // of the page; empty: the top) and shows, raises and activates the window. When the file
    // does not exist, the window shows `notFound` and the path instead. The title is the page's
    // own title, or `fallbackTitle` when it has none.
    void ShowPage(const QString &file, const QString &anchor, const QString &notFound,
                  const QString &fallbackTitle);
    // The same as ShowPage without showing, raising or activating the window.
    void LoadPage(const QString &file, const QString &anchor, const QString &notFound,
                  const QString &fallbackTitle);
    // The file and the anchor of the last ShowPage or LoadPage.
    const QString &File() const { return m_requestedFile; }
    const QString &Section() const { return m_section; }
    // Whether the last ShowPage found its file.
    bool PageShown() const { return m_pageShown; }
    QTextBrowser *Browser() const { return m_browser; }
    QPushButton *CloseButton() const { return m_close; }
    // Captions of the current language (on opening and on every language switch).
    void ApplyTexts(const CLanguageTexts &texts);

private:
    QTextBrowser *m_browser = nullptr;
    QPushButton *m_close = nullptr;
    QString m_file;
    QString m_requestedFile;
    QString m_section;
    bool m_pageShown = false;
};

} // namespace kvl
