#include "params/CParamListFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

#include "common/CFileChooser.h"
#include "common/CMsgDlg.h"
#include "common/CTextPrintJob.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "params/CAxisParamSetup.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "params/CParamGridEditor.h"

namespace kvl::params {

namespace {

constexpr char kCommon[] = "Common";
constexpr char kPdfSuffix[] = ".pdf";

} // namespace

CParamListFiles::CParamListFiles(CWindowContext &context, CKVL_VER2_ParameterListDlg &list)
    : QObject(&list), m_context(context), m_list(list)
{
    m_actions = std::make_unique<CParamFileActions>(list.Lists().File(), [this] { return Target(); },
                                                    MakeHooks());
    connect(list.LoadButton(), &QPushButton::clicked, this, &CParamListFiles::Read);
    connect(list.SaveButton(), &QPushButton::clicked, this, &CParamListFiles::Save);
    m_printMenu = new QMenu(list.PrintButton());
    m_printMenu->setObjectName(QStringLiteral("paramPrintMenu"));
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CParamListFiles::Print);
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CParamListFiles::Preview);
    connect(m_printMenu->addAction(QString()), &QAction::triggered, this, &CParamListFiles::PrintPdf);
    list.PrintButton()->setMenu(m_printMenu);
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
}

CParamListFiles::~CParamListFiles() = default;

void CParamListFiles::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const QList<QAction *> actions = m_printMenu->actions();
    actions.at(0)->setText(CWindowTexts::Text(texts, "IDS_PRINT_DIALOG", kCommon, QStringLiteral("Print...")));
    actions.at(1)->setText(CWindowTexts::Text(texts, "IDS_PRINT_PREVIEW", kCommon, QStringLiteral("Print preview...")));
    actions.at(2)->setText(CWindowTexts::Text(texts, "IDS_PRINT_PDF", kCommon, QStringLiteral("Print to a PDF file...")));
}

CParamFileActions::Hooks CParamListFiles::MakeHooks()
{
    CParamFileActions::Hooks hooks;
    hooks.closeEditor = [this] { m_list.GridEditor()->CommitOpenEdit(); };
    hooks.askPath = [this](CParamFileActions::Dialog dialog) {
        return AskFile(dialog, QString::fromLatin1(kFileFilter));
    };
    hooks.message = [this](const ParamMessage &message) { ShowMessage(message); };
    hooks.saveFailed = [this](const CSaveFailure &failure) {
        CMsgDlg::ShowWarning(&m_list, QString(),
                             QString::fromStdString(failure.Message(&m_context.Settings().Texts())));
    };
    hooks.print = [this](const std::vector<std::string> &lines) { return MakePrintJob(lines)->Print(&m_list); };
    hooks.changed = [this] {
        m_list.Model().FileLoaded();
        m_list.RefreshView();
    };
    return hooks;
}

ParamTarget CParamListFiles::Target() const
{
    CParamListModel &model = m_list.Model();
    ParamTarget target = model.Axis().Target();
    target.decimalsSetting = model.Decimals();
    target.accessLevel = model.Level();
    return target;
}

std::optional<std::string> CParamListFiles::AskFile(CParamFileActions::Dialog dialog, const QString &filter) const
{
    // Open takes any name: a missing file is said by the read's own message.
    const QString path = CFileChooser::AskFile(
        &m_list, m_context.Settings().Texts(),
        dialog == CParamFileActions::Dialog::kSave ? CFileChooser::Kind::kSave : CFileChooser::Kind::kOpenAnyName,
        filter, QStringLiteral("paramFileDialog"));
    if (path.isEmpty())
        return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

void CParamListFiles::ShowMessage(const ParamMessage &message) const
{
    QString text = CWindowTexts::Text(m_context.Settings().Texts(), message.key, message.section,
                                      QStringLiteral("The file operation failed."));
    if (!message.detail.empty())
        text += QLatin1Char('\n') + QString::fromStdString(message.detail);
    CMsgDlg::Show(&m_list, QString(), text);
}

std::unique_ptr<CTextPrintJob> CParamListFiles::MakePrintJob() const
{
    return MakePrintJob(m_actions->PrintLines());
}

std::unique_ptr<CTextPrintJob> CParamListFiles::MakePrintJob(const std::vector<std::string> &lines) const
{
    auto job = std::make_unique<CTextPrintJob>(m_context.Values(), m_context.Settings().Texts());
    for (const std::string &line : lines)
        job->AddLine(QString::fromStdString(line));
    return job;
}

bool CParamListFiles::Save()
{
    if (m_actions->Save() != CParamFileActions::Outcome::kDone)
        return false;
    m_list.Lists().KeepEdits();
    return true;
}

void CParamListFiles::Read()
{
    m_actions->Read();
}

void CParamListFiles::Print()
{
    m_actions->Print();
}

void CParamListFiles::Preview()
{
    m_list.GridEditor()->CommitOpenEdit();
    MakePrintJob()->Preview(&m_list);
}

void CParamListFiles::PrintPdf()
{
    m_list.GridEditor()->CommitOpenEdit();
    const std::optional<std::string> path = AskFile(CParamFileActions::Dialog::kSave, QString::fromLatin1(kPdfFilter));
    if (!path)
        return;
    QString file = QFile::decodeName(QByteArray::fromStdString(*path));
    if (QFileInfo(file).suffix().isEmpty())
        file += QString::fromLatin1(kPdfSuffix);
    PrintToPdf(file);
}

bool CParamListFiles::PrintToPdf(const QString &path)
{
    m_list.GridEditor()->CommitOpenEdit();
    return MakePrintJob()->PrintToPdf(path, &m_list);
}

} // namespace kvl::params
