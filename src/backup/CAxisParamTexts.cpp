#include "backup/CAxisParamTexts.h"

#include "params/CParamFile.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"
#include "protocol/CBusScanner.h"

namespace kvl::backup {

using params::CParamData;

namespace {
// Every parameter the list can show goes into the backup's parameter file.
constexpr int kLevelAll = params::CParamListRules::kLevelCustomSp;
constexpr const char *kNoUnit = "-";
} // namespace

bool CAxisParamTexts::Open(const CAppSettings &settings, int address, const std::string &model,
                           const std::string &version)
{
    DeviceIdentity identity;
    identity.answered = true;
    identity.model = model;
    identity.version = version;
    m_model = model;
    return m_setup.Open(settings, static_cast<std::uint8_t>(address), identity, kLevelAll);
}

std::vector<int> CAxisParamTexts::Numbers() const
{
    std::vector<int> numbers;
    for (const int number : params::CParamRules::Numbers(m_setup.Count())) {
        const CParamData &record = m_setup.Driver().At(number);
        if (!record.IsEmpty() && record.GetType() != CParamData::kTypeText)
            numbers.push_back(number);
    }
    return numbers;
}

ParamValue CAxisParamTexts::Describe(int number, std::int32_t raw) const
{
    ParamValue value;
    value.raw = raw;
    value.text = std::to_string(raw);
    if (!params::CParamRules::NumberExists(number, m_setup.Count()))
        return value;
    CParamData record = m_setup.Driver().At(number);
    if (record.IsEmpty())
        return value;
    value.name = record.DisplayName().ToUtf8();
    if (!params::CParamRules::ApplyRaw(record, number, m_model, raw))
        return value;
    // The value the raw number stands for, outside the range too: what is shown is what is sent.
    value.text = params::CParamRules::ValueText(record, number, 0, false).ToUtf8();
    const std::string unit = record.UnitName().ToUtf8();
    if (record.GetType() != CParamData::kTypeSelection && !unit.empty() && unit != kNoUnit)
        value.text += ' ' + unit;
    return value;
}

CCodePageText CAxisParamTexts::ParameterFile(const std::map<int, ParamValue> &values, const std::string &name,
                                           const params::ParamDate &date)
{
    params::CParamList &file = m_setup.Lists().File();
    for (const int number : params::CParamRules::Numbers(m_setup.Count())) {
        CParamData &record = file.At(number);
        if (record.GetType() == CParamData::kTypeText) {
            record.SetTextValue(params::CParamRules::RecordText(record, name));
            continue;
        }
        const auto found = values.find(number);
        if (found != values.end() && !record.IsEmpty())
            params::CParamRules::ApplyRaw(record, number, m_model, found->second.raw);
    }
    return params::CParamFile::Serialise(file, m_setup.Target(), date);
}

} // namespace kvl::backup
