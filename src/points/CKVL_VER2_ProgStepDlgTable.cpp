// The axis window's point-table actions: Read and Write with the controller, Open and Save of a
// file, Print (the button prints through the print dialog; its menu also offers the preview and
// a PDF file). The work is CPointTableActions'; the window wires the buttons and redraws.
#include "points/CKVL_VER2_ProgStepDlg.h"

#include <QMenu>
#include <QTableView>
#include <QToolButton>

#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "points/CPointGridEditor.h"
#include "points/CPointGridModel.h"
#include "points/CPointTableActions.h"
#include "ui/CPictureButton.h"

namespace kvl::points {

namespace {
constexpr char kCommon[] = "Common";
} // namespace

void CKVL_VER2_ProgStepDlg::ConnectTableActions()
{
    m_actions = new CPointTableActions(m_context, *m_model, this);
    connect(m_actions, &CPointTableActions::tableChanged, this, [this] { RefreshView(); });
    // A file load is one undoable change; a Read replaces both tables and ends the history.
    connect(m_actions, &CPointTableActions::loading, this, [this] {
        if (m_gridEditor)
            m_gridEditor->Editor().RecordChange();
    });
    connect(m_actions, &CPointTableActions::readDone, this, [this] {
        if (m_gridEditor)
            m_gridEditor->Editor().TableReplaced();
    });
    connect(m_actions, &CPointTableActions::readDone, this, &CKVL_VER2_ProgStepDlg::GoToFirstCell);
    connect(m_actions, &CPointTableActions::loaded, this, &CKVL_VER2_ProgStepDlg::GoToFirstCell);
    connect(m_read, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressRead);
    connect(m_write, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressWrite);
    connect(m_open, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressOpen);
    connect(m_save, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressSave);
    m_printMenu = new QMenu(m_print);
    m_printMenu->setObjectName(QStringLiteral("printMenu"));
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CKVL_VER2_ProgStepDlg::PressPrint);
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CKVL_VER2_ProgStepDlg::PressPrintPreview);
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CKVL_VER2_ProgStepDlg::PressPrintPdf);
    m_print->setMenu(m_printMenu);
    m_print->setPopupMode(QToolButton::MenuButtonPopup);
    connect(m_print, &QToolButton::clicked, this, &CKVL_VER2_ProgStepDlg::PressPrint);
}

void CKVL_VER2_ProgStepDlg::ApplyTableTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const QList<QAction *> actions = m_printMenu->actions();
    actions.at(0)->setText(CWindowTexts::Text(texts, "IDS_PRINT_DIALOG", kCommon, QStringLiteral("Print...")));
    actions.at(1)->setText(CWindowTexts::Text(texts, "IDS_PRINT_PREVIEW", kCommon, QStringLiteral("Print preview...")));
    actions.at(2)->setText(CWindowTexts::Text(texts, "IDS_PRINT_PDF", kCommon, QStringLiteral("Print to a PDF file...")));
}

void CKVL_VER2_ProgStepDlg::GoToFirstCell()
{
    if (m_gridModel->rowCount() > 0)
        m_grid->setCurrentIndex(m_gridModel->index(0, kColStep));
}

void CKVL_VER2_ProgStepDlg::PressRead()
{
    m_actions->Read();
}

void CKVL_VER2_ProgStepDlg::PressWrite()
{
    m_actions->Write();
}

void CKVL_VER2_ProgStepDlg::PressOpen()
{
    m_actions->Open();
}

void CKVL_VER2_ProgStepDlg::PressSave()
{
    m_actions->Save();
}

void CKVL_VER2_ProgStepDlg::PressPrint()
{
    m_actions->Print();
}

void CKVL_VER2_ProgStepDlg::PressPrintPreview()
{
    m_actions->Preview();
}

void CKVL_VER2_ProgStepDlg::PressPrintPdf()
{
    m_actions->PrintPdf();
}

} // namespace kvl::points
