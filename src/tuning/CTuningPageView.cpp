#include "tuning/CTuningPageView.h"

#include <QFileInfo>
#include <QUrl>

#include "config/CAppSettings.h"
#include "tuning/CTuningPages.h"

namespace kvl::tuning {

namespace {
constexpr int kPageMinWidth = 420;
constexpr int kPageMinHeight = 160;
} // namespace

CTuningPageView::CTuningPageView(const CAppSettings &settings, std::string_view page, QWidget *parent)
    : QTextBrowser(parent),
      m_file(QString::fromStdString(CTuningPages::PagePath(settings.SystemFolder(), settings.Language(), page)))
{
    setMinimumSize(kPageMinWidth, kPageMinHeight);
    setOpenLinks(false);
    m_shown = QFileInfo(m_file).isFile();
    if (m_shown)
        setSource(QUrl::fromLocalFile(m_file));
    else
        setPlainText(QStringLiteral("The page %1 was not found.").arg(m_file));
}

} // namespace kvl::tuning
