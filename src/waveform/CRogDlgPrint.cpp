// The waveform window's Print: the button prints the chart through the print dialog; its menu also
// offers the preview and a PDF file. The page is the print component's chart job; this file gives
// it the chart's picture and the series list's name, mode and value columns, whose values carry
// the unit of each series' mode on the axis' model.
#include "waveform/CRogDlg.h"

#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

#include "common/CChartPrintJob.h"
#include "common/CFileChooser.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "waveform/CWaveChart.h"

namespace kvl {
namespace {

constexpr char kCommon[] = "Common";
constexpr char kPrintCaption[] = "Print";
constexpr char kPdfFilter[] = "PDF Files (*.pdf)";
constexpr char kPdfSuffix[] = ".pdf";
// Pixels across the chart's picture: about 300 dpi over the printable width of an A4 page.
constexpr int kPicturePixels = 2400;

} // namespace

QToolButton *CRogDlg::BuildPrint(QWidget *parent)
{
    m_print = new QToolButton(parent);
    m_print->setObjectName(QStringLiteral("print"));
    m_print->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_printMenu = new QMenu(m_print);
    m_printMenu->setObjectName(QStringLiteral("printMenu"));
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CRogDlg::PressPrint);
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CRogDlg::PressPrintPreview);
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, [this] { PressPrintPdf(); });
    m_print->setMenu(m_printMenu);
    m_print->setPopupMode(QToolButton::MenuButtonPopup);
    connect(m_print, &QToolButton::clicked, this, &CRogDlg::PressPrint);
    return m_print;
}

void CRogDlg::ApplyPrintTexts()
{
    m_print->setText(Text("IDC_ROG_PRINT", CRogModel::kSection, kPrintCaption));
    const QList<QAction *> actions = m_printMenu->actions();
    actions.at(0)->setText(Text("IDS_PRINT_DIALOG", kCommon, "Print..."));
    actions.at(1)->setText(Text("IDS_PRINT_PREVIEW", kCommon, "Print preview..."));
    actions.at(2)->setText(Text("IDS_PRINT_PDF", kCommon, "Print to a PDF file..."));
}

std::unique_ptr<CChartPrintJob> CRogDlg::MakePrintJob() const
{
    auto job = std::make_unique<CChartPrintJob>(m_context.Values(), m_context.Settings().Texts());
    m_chart->ReplotNow();
    const QSize size = m_chart->size().expandedTo(m_chart->minimumSize());
    const double scale = std::max(1.0, static_cast<double>(kPicturePixels) / size.width());
    job->SetPicture(m_chart->toPixmap(size.width(), size.height(), scale).toImage());
    job->SetHeadings({Text("IDC_ROG_LIST_0", CRogModel::kSection, "Name"),
                      Text("IDC_ROG_LIST_1", CRogModel::kSection, "Mode"),
                      Text("IDC_ROG_LIST_2", CRogModel::kSection, "Value")});
    for (int row = 0; row < m_model->RowCount(); ++row) {
        job->AddRow({QString::fromStdString(m_model->RowText(row, kColumnName)),
                     QString::fromStdString(m_model->RowText(row, kColumnMode)),
                     QString::fromStdString(m_model->RowText(row, kColumnOffset))});
    }
    return job;
}

void CRogDlg::PressPrint()
{
    if (m_print->isEnabled())
        MakePrintJob()->Print(this);
}

void CRogDlg::PressPrintPreview()
{
    if (m_print->isEnabled())
        MakePrintJob()->Preview(this);
}

bool CRogDlg::PressPrintPdf(const QString &path)
{
    if (!m_print->isEnabled())
        return false;
    QString target = path;
    if (target.isEmpty())
        target = CFileChooser::AskFile(this, m_context.Settings().Texts(), CFileChooser::Kind::kSave,
                                       QString::fromLatin1(kPdfFilter), QStringLiteral("waveFileDialog"));
    if (target.isEmpty())
        return false;
    if (QFileInfo(target).suffix().isEmpty())
        target += QString::fromLatin1(kPdfSuffix);
    return MakePrintJob()->PrintToPdf(target, this);
}

} // namespace kvl
