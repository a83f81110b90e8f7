#include "common/CConfirmModel.h"

#include <utility>

#include "base/Version.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"

namespace kvl {

namespace {
constexpr std::size_t kDigitsAfterPoint = 3;
} // namespace

CConfirmModel::CConfirmModel(CAppValues &values, const CLanguageTexts &texts, int debugLevel,
                             Request request, Hooks hooks)
    : m_values(values), m_debugLevel(debugLevel), m_request(std::move(request)),
      m_hooks(std::move(hooks)), m_emptyText(texts.Text(kEmptyKey, kMessageSection)),
      m_wrongText(texts.Text(kWrongKey, kMessageSection)),
      m_versionWord(texts.Text(kVersionWordKey, kSection))
{
}

CConfirmModel::Result CConfirmModel::Check(const std::string &entry)
{
    if (entry.empty()) {
        Tell(m_emptyText);
        return {Outcome::kEmpty, false, false};
    }
    if (entry == m_versionWord) {
        Tell(VersionText());
        return {Outcome::kVersion, true, false};
    }
    if (entry == kCustomPassword && m_debugLevel != CAppSettings::kServiceLevel) {
        RaiseLevel(kLevelCustom);
        return {Outcome::kLevelRaised, true, false};
    }
    if (entry == kCustomSpPassword) {
        RaiseLevel(kLevelCustomSp);
        return {Outcome::kLevelRaised, true, false};
    }
    Tell(m_wrongText);
    return {Outcome::kWrong, false, true};
}

std::string CConfirmModel::VersionText() const
{
    std::string text;
    if (!m_request.offline)
        text = m_request.model + " Ver " + DottedFirmware(m_request.version) + "\n";
    return text + kToolVersionLine + "\n" + ProgramVersionLine();
}

std::string CConfirmModel::ProgramVersionLine()
{
    return std::string("kvl_motor ") + kVersion;
}

std::string CConfirmModel::DottedFirmware(const std::string &version)
{
    if (version.empty())
        return {};
    return version.substr(0, 1) + "." + version.substr(1, kDigitsAfterPoint);
}

void CConfirmModel::Tell(const std::string &text) const
{
    if (m_hooks.message)
        m_hooks.message(text);
}

void CConfirmModel::RaiseLevel(int level)
{
    if (m_request.axis >= 0 && m_request.axis < CAppValues::kSlotCount)
        m_values.accessLevel[m_request.axis] = level;
    if (m_hooks.levelChanged)
        m_hooks.levelChanged(level);
}

} // namespace kvl
