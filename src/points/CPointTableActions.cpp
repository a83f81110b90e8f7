#include "points/CPointTableActions.h"

#include <QFile>
#include <QFileInfo>

#include "common/CBusyIndicator.h"
#include "common/CFileChooser.h"
#include "common/CMsgDlg.h"
#include "config/CSaveFailure.h"
#include "common/CTextPrintJob.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "points/CAxisWindowModel.h"
#include "points/CPointCsv.h"
#include "points/CPointLoadLimits.h"
#include "points/CPointPrintout.h"

namespace kvl::points {

namespace {

constexpr char kCommon[] = "Common";
constexpr char kPdfSuffix[] = ".pdf";

std::string LocalPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

CPointTableActions::CPointTableActions(CWindowContext &context, CAxisWindowModel &model, QWidget *window)
    : QObject(window), m_context(context), m_model(model), m_window(window)
{
    m_transfer = std::make_unique<CPointTransfer>(context.Commands(), &context.Values(), MakeHooks());
}

CPointTableActions::~CPointTableActions() = default;

CPointTransfer::Hooks CPointTableActions::MakeHooks()
{
    CPointTransfer::Hooks hooks;
    hooks.text = [this](const StepMessage &message) {
        return m_context.Settings().Texts().Text(message.key, message.section);
    };
    hooks.message = [this](const std::string &text) { ShowMessage(QString::fromStdString(text)); };
    hooks.confirm = [this](const std::string &text) {
        return CMsgDlg::Show(m_window, QString(), QString::fromStdString(text), true);
    };
    hooks.busyBegin = [this] {
        m_context.Busy().SetAnchor(m_window);
        return m_context.Busy().Begin(true, CBusyGuard::kDefaultWindowMs);
    };
    hooks.busyEnd = [this] { m_context.Busy().End(true); };
    // The indicator shows a new figure once a spinner frame: a redraw per step would cost more
    // than the step's exchange at 115200 bit/s.
    hooks.progress = [this](int done, int total) {
        if (done < total && m_progressShown.isValid() && m_progressShown.elapsed() < CBusyIndicator::kFrameMs)
            return;
        m_progressShown.start();
        m_context.Busy().Progress(done, total);
    };
    hooks.watchBulkRead = [this](std::function<void(int)> sink) { m_context.WatchBulkRead(std::move(sink)); };
    hooks.changed = [this] { Q_EMIT tableChanged(); };
    return hooks;
}

CPointTransfer::Axis CPointTableActions::TransferAxis() const
{
    CPointTransfer::Axis axis;
    axis.address = static_cast<std::uint8_t>(m_model.Identity().axis);
    axis.model = m_model.Identity().model;
    axis.offline = m_model.Offline();
    axis.servoOn = m_model.ServoLamp();
    axis.running = m_model.Running();
    return axis;
}

QString CPointTableActions::Text(const char *key, const char *section, const char *builtIn) const
{
    return CWindowTexts::Text(m_context.Settings().Texts(), key, section, QString::fromUtf8(builtIn));
}

void CPointTableActions::ShowMessage(const QString &text) const
{
    CMsgDlg::Show(m_window, QString(), text);
}

CPointTransfer::Outcome CPointTableActions::Read()
{
    const CPointTransfer::Outcome outcome = m_transfer->Read(m_model.Table(), TransferAxis());
    if (outcome == CPointTransfer::Outcome::kDone)
        Q_EMIT readDone();
    Q_EMIT tableChanged();
    return outcome;
}

CPointTransfer::Outcome CPointTableActions::Write()
{
    const CPointTransfer::Outcome outcome = m_transfer->Write(m_model.Table(), TransferAxis());
    Q_EMIT tableChanged();
    return outcome;
}

// --- files

QString CPointTableActions::AskFile(bool save, const QString &filter) const
{
    // Open takes any name: a missing file is said by the load's own message.
    return CFileChooser::AskFile(m_window, m_context.Settings().Texts(),
                                 save ? CFileChooser::Kind::kSave : CFileChooser::Kind::kOpenAnyName, filter,
                                 QStringLiteral("pointFileDialog"));
}

void CPointTableActions::Open()
{
    const QString path = AskFile(false, QString::fromLatin1(kFileFilter));
    if (!path.isEmpty())
        LoadFile(path);
}

bool CPointTableActions::Save()
{
    const QString path = AskFile(true, QString::fromLatin1(kFileFilter));
    return !path.isEmpty() && SaveFile(path);
}

bool CPointTableActions::LoadFile(const QString &path)
{
    CCodePageText content;
    const CsvLoadResult opened = CPointCsv::ReadFile(LocalPath(path), CPointCsv::CodePageOf(m_model.Table()), content);
    if (opened != CsvLoadResult::Loaded) {
        const StepMessage message = CPointCsv::LoadFailureMessage(opened);
        ShowMessage(Text(message.key.c_str(), message.section.c_str(), "The file operation failed."));
        return false;
    }
    Q_EMIT loading();
    CPointTable &table = m_model.Table();
    CPointCsv::LoadText(table, content.ToUtf8(), &m_limited);
    table.KeepEdits(true);
    Q_EMIT loaded();
    Q_EMIT tableChanged();
    if (!m_limited.empty()) {
        const CPointLoadLimits::Wording wording{
            Text("IDS_LOAD_LIMITED", kCommon, "Some values of the file were limited:").toStdString(),
            Text("IDS_LOAD_LIMITED_LINE", kCommon, "Step %1, %2: %3 in the file, %4 kept").toStdString(),
            Text("IDS_LOAD_LIMITED_MORE", kCommon, "... and %1 more values.").toStdString()};
        ShowMessage(QString::fromStdString(CPointLoadLimits::Describe(m_limited, table.Rules().Texts(), wording)));
    }
    return true;
}

bool CPointTableActions::SaveFile(const QString &path)
{
    const std::string target = CPointCsv::WithDefaultExtension(LocalPath(path));
    if (CPointCsv::Save(m_model.Table(), target)) {
        m_model.Table().KeepEdits(true);
        return true;
    }
    CMsgDlg::ShowWarning(m_window, QString(),
                         QString::fromStdString(CSaveFailure::Last(target).Message(&m_context.Settings().Texts())));
    return false;
}

// --- printing

std::unique_ptr<CTextPrintJob> CPointTableActions::MakePrintJob() const
{
    auto job = std::make_unique<CTextPrintJob>(m_context.Values(), m_context.Settings().Texts());
    for (const std::string &line : CPointPrintout::Lines(m_model.Table(), CPointPrintout::Today()))
        job->AddLine(QString::fromStdString(line));
    return job;
}

void CPointTableActions::Print()
{
    MakePrintJob()->Print(m_window);
}

void CPointTableActions::Preview()
{
    MakePrintJob()->Preview(m_window);
}

void CPointTableActions::PrintPdf()
{
    QString path = AskFile(true, QString::fromLatin1(kPdfFilter));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QString::fromLatin1(kPdfSuffix);
    PrintToPdf(path);
}

bool CPointTableActions::PrintToPdf(const QString &path)
{
    return MakePrintJob()->PrintToPdf(path, m_window);
}

} // namespace kvl::points
