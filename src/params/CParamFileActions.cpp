#include "params/CParamFileActions.h"

#include <utility>

#include "params/CParamPrintout.h"

namespace kvl::params {

CParamFileActions::CParamFileActions(CParamList &file, std::function<ParamTarget()> target,
                                     Hooks hooks, std::function<ParamDate()> today)
    : m_file(file), m_target(std::move(target)), m_hooks(std::move(hooks)),
      m_today(std::move(today))
{
}

CParamFileActions::Outcome CParamFileActions::Save()
{
    CloseEditor();
    const std::optional<std::string> path = Ask(Dialog::kSave);
    if (!path)
        return Outcome::kCancelled;
    return SaveTo(*path) ? Outcome::kDone : Outcome::kFailed;
}

CParamFileActions::Outcome CParamFileActions::Read()
{
    CloseEditor();
    const std::optional<std::string> path = Ask(Dialog::kOpen);
    if (!path)
        return Outcome::kCancelled;
    return ReadFrom(*path).status == ParamFileStatus::Loaded ? Outcome::kDone : Outcome::kFailed;
}

CParamFileActions::Outcome CParamFileActions::Print()
{
    CloseEditor();
    if (!m_hooks.print)
        return Outcome::kCancelled;
    return m_hooks.print(PrintLines()) ? Outcome::kDone : Outcome::kFailed;
}

bool CParamFileActions::SaveTo(const std::string &path)
{
    const std::string file = CParamFile::WithDatExtension(path);
    if (!CParamFile::Save(file, m_file, m_target(), m_today())) {
        if (m_hooks.saveFailed)
            m_hooks.saveFailed(CSaveFailure::Last(file));
        return false;
    }
    m_lastSaved = file;
    return true;
}

ParamLoadReport CParamFileActions::ReadFrom(const std::string &path)
{
    ParamLoadReport report = CParamFile::Load(m_file, path, m_target());
    if (report.status != ParamFileStatus::Loaded) {
        Tell(report.message);
        return report;
    }
    if (m_hooks.changed)
        m_hooks.changed();
    // The lines whose values were not taken are said after the grid shows what was.
    Tell(report.message);
    return report;
}

std::vector<std::string> CParamFileActions::PrintLines() const
{
    return CParamPrintout::Lines(m_file, m_target(), m_today());
}

void CParamFileActions::CloseEditor() const
{
    if (m_hooks.closeEditor)
        m_hooks.closeEditor();
}

void CParamFileActions::Tell(const ParamMessage &message) const
{
    if (m_hooks.message && !message.Empty())
        m_hooks.message(message);
}

std::optional<std::string> CParamFileActions::Ask(Dialog dialog) const
{
    if (!m_hooks.askPath)
        return std::nullopt;
    return m_hooks.askPath(dialog);
}

} // namespace kvl::params
