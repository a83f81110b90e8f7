#include "common/CHelpWindow.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/CWindowTexts.h"
#include "config/CLanguageTexts.h"

namespace kvl {

namespace {
constexpr int kWidth = 760;
constexpr int kHeight = 620;
constexpr char kCloseKey[] = "IDS_HELP_CLOSE";
constexpr char kCloseCaption[] = "Close";
} // namespace

CHelpWindow::CHelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("helpWindow"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    // Links leaving the page go to the system's handler; the page's own links stay here.
    m_browser->setOpenExternalLinks(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_close = buttons->button(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
    resize(kWidth, kHeight);
}

void CHelpWindow::ShowPage(const QString &file, const QString &anchor, const QString &notFound,
                           const QString &fallbackTitle)
{
    LoadPage(file, anchor, notFound, fallbackTitle);
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void CHelpWindow::LoadPage(const QString &file, const QString &anchor, const QString &notFound,
                           const QString &fallbackTitle)
{
    m_requestedFile = file;
    m_section = anchor;
    m_pageShown = QFileInfo(file).isFile();
    if (!m_pageShown) {
        m_file.clear();
        m_browser->clear();
        m_browser->setPlainText(notFound + QLatin1Char('\n') + QDir::toNativeSeparators(file));
        setWindowTitle(fallbackTitle);
    } else {
        const QUrl page = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
        if (m_file != file) {
            // The browser keeps a page it already has: a page that was replaced by the "not
            // found" text must be read again.
            m_browser->setSource(page);
            m_browser->reload();
            m_file = file;
        }
        // The same page with another fragment only scrolls; without one it goes to the top.
        QUrl target = page;
        if (!anchor.isEmpty())
            target.setFragment(anchor);
        m_browser->setSource(target);
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? fallbackTitle : title);
    }
}

void CHelpWindow::ApplyTexts(const CLanguageTexts &texts)
{
    CWindowTexts::Apply(texts, {{m_close, kCloseKey, CLanguageTexts::kCommonSection, kCloseCaption}});
}

} // namespace kvl
