#include "params/CParamRules.h"

#include <algorithm>

#include "base/DecimalScale.h"
#include "base/TextNumber.h"
#include "params/CParamData.h"

namespace kvl::params {

namespace {

using Model = CParamRules::Model;

constexpr std::int64_t kFactorPosition = 10000;
constexpr std::int64_t kFactorMilli = 1000;
constexpr std::int64_t kFactorAccelLong = 10;
constexpr std::int64_t kFactorHundredth = 100;
constexpr std::int64_t kFactorMicro = 1000000;
constexpr std::int64_t kFactorGainLong = 10000000;
constexpr std::int64_t kFactorGainShort = 100000;
constexpr std::int64_t kFactorFeedLong = 1000;
constexpr std::int64_t kFactorFeedX = 10000;
constexpr std::int64_t kFactorFeedShort = 10;

constexpr double kOldVersionLimit = 1.07;
constexpr int kMaxDecimalsSetting = 2;

bool IsPositionNumber(int number)
{
    return number == 1 || number == 2 || number == 3 || number == 4 || number == 6 ||
           number == 10;
}

bool IsMilliNumber(int number)
{
    switch (number) {
    case 26: case 30: case 44: case 104: case 108: case 109: case 110: case 112: case 115:
    case 119: case 121: case 122:
        return true;
    default:
        return number >= 124 && number <= 147;
    }
}

std::int64_t PowerOfTen(int exponent)
{
    std::int64_t factor = 1;
    for (int i = 0; i < std::clamp(exponent, 0, CParamData::kMaxPrecision); ++i)
        factor *= 10;
    return factor;
}

} // namespace

std::string CParamRules::VersionText(std::string_view version)
{
    if (version.empty())
        return std::string();
    std::string text(1, version[0]);
    text += '.';
    text += version.substr(1, 2);
    return text;
}

bool CParamRules::IsOldVersion(std::string_view versionText)
{
    if (versionText.size() < 2 || versionText[1] != '.')
        return false;
    const char major = versionText[0];
    if (major >= 'A' && major <= 'G')
        return true;
    if (major != '0' && major != '1')
        return false;
    const double value = LeadingFiniteReal(versionText).value_or(-1.0);
    return value >= 0.0 && value <= kOldVersionLimit;
}

int CParamRules::ParameterCount(std::string_view model, std::string_view versionText)
{
    const CModelTraits traits = CModelTraits::Of(model);
    if (traits.IsMdbOrMdc())
        return IsOldVersion(versionText) ? kCountMdbMdcOld : kCountMdbMdc;
    switch (traits.Id()) {
    case Model::MDCX:
        return kCountMdcX;
    case Model::MDAY:
        return kCountMdaY;
    case Model::MDAZ:
        return kCountMdaZ;
    default:
        return kCountMda;
    }
}

std::vector<int> CParamRules::Numbers(int count)
{
    std::vector<int> numbers;
    const int last = std::min(count, kSlotCount);
    for (int n = 1; n <= std::min(last, kLastLowNumber); ++n)
        numbers.push_back(n);
    for (int n = kFirstHighNumber; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

bool CParamRules::NumberExists(int number, int count)
{
    if (number < 1 || number > std::min(count, kSlotCount))
        return false;
    return number <= kLastLowNumber || number >= kFirstHighNumber;
}

bool CParamRules::CurrentLimitFollowsMax(std::string_view model)
{
    return CModelTraits::Of(model).UsesLongRecord();
}

bool CParamRules::SetUpperLimit(CParamData &record, int limit)
{
    if (record.GetType() != CParamData::kTypeInteger)
        return false;
    // A controller that reports a maximum under the minimum (0 when unset) must not open the
    // range downwards: the range closes at its minimum until a usable maximum arrives.
    const int upper = std::max(limit, record.IntMin());
    record.SetIntRange(record.IntMin(), upper);
    record.SetRangeTexts(record.MinText(), FormatInt(upper));
    return true;
}

std::int64_t CParamRules::Factor(int number, std::string_view model, int precision)
{
    const CModelTraits traits = CModelTraits::Of(model);
    const Model m = traits.Id();
    if (IsPositionNumber(number))
        return kFactorPosition;
    if (IsMilliNumber(number))
        return kFactorMilli;
    switch (number) {
    case 9:
        if (traits.UsesLongRecord())
            return kFactorAccelLong;
        break;
    case 31:
        if (traits.IsMdbOrMdc())
            return kFactorFeedLong;
        return m == Model::MDCX ? kFactorFeedX : kFactorFeedShort;
    case 45:
        return kFactorHundredth;
    case 49:
        if (m != Model::MDC && m != Model::MDCX)
            return kFactorHundredth;
        break;
    case 107:
        return traits.IsMdbOrMdc() ? kFactorGainLong : kFactorGainShort;
    case 113:
    case 116:
        return kFactorMicro;
    default:
        break;
    }
    return PowerOfTen(precision);
}

int CParamRules::ShownDecimals(int number, int precision, int decimalsSetting)
{
    const int setting = std::clamp(decimalsSetting, 0, kMaxDecimalsSetting);
    if (IsPositionNumber(number))
        return setting + 2;
    if (number == 30)
        return setting != 0 ? 3 : 2;
    return std::clamp(precision, 0, CParamData::kMaxPrecision);
}

double CParamRules::RawToValue(std::int32_t raw, std::int64_t factor)
{
    return static_cast<double>(raw) / static_cast<double>(std::max<std::int64_t>(factor, 1));
}

std::int32_t CParamRules::ValueToRaw(double value, std::int64_t factor)
{
    return decimalscale::TruncateScaled(value, factor);
}

const std::vector<std::int32_t> &CParamRules::PulseResolutionValues()
{
    static const std::vector<std::int32_t> kValues = {
        2500,  3125,  4000,  5000,   6250,   8000,   10000,   20000,  30000,
        40000, 50000, 62500, 100000, 125000, 200000, 1000000, 4000000};
    return kValues;
}

int CParamRules::RawToIndex(int number, std::string_view model, std::int32_t raw)
{
    if (number == kParamPulseResolution) {
        const auto &values = PulseResolutionValues();
        const auto found = std::find(values.begin(), values.end(), raw);
        return found == values.end() ? 0 : static_cast<int>(found - values.begin());
    }
    if (number == kParamOperationType)
        return CModelTraits::Of(model).OperationTypeChoiceOfRaw(raw);
    return raw;
}

bool CParamRules::IndexToRaw(int number, std::string_view model, int index, std::int32_t &raw)
{
    if (number == kParamPulseResolution) {
        const auto &values = PulseResolutionValues();
        if (index < 0 || index >= static_cast<int>(values.size()))
            return false;
        raw = values[static_cast<std::size_t>(index)];
        return true;
    }
    if (number == kParamOperationType) {
        raw = CModelTraits::Of(model).OperationTypeRawOfChoice(index);
        return true;
    }
    raw = index;
    return true;
}

bool CParamRules::ApplyRaw(CParamData &record, int number, std::string_view model,
                           std::int32_t raw)
{
    switch (record.GetType()) {
    case CParamData::kTypeInteger:
        record.SetIntValue(raw);
        return true;
    case CParamData::kTypeReal:
        record.SetRealValue(RawToValue(raw, Factor(number, model, record.Precision())));
        return true;
    case CParamData::kTypeSelection:
        return record.SetIndex(RawToIndex(number, model, raw));
    default:
        return false;
    }
}

bool CParamRules::RawFromRecord(const CParamData &record, int number, std::string_view model,
                                std::int32_t &raw)
{
    switch (record.GetType()) {
    case CParamData::kTypeInteger:
        raw = record.IntValue();
        return true;
    case CParamData::kTypeReal:
        raw = ValueToRaw(record.RealValue(), Factor(number, model, record.Precision()));
        return true;
    case CParamData::kTypeSelection:
        if (record.SelectedIndex() < 0)
            return false;
        return IndexToRaw(number, model, record.SelectedIndex(), raw);
    default:
        return false;
    }
}

CCodePageText CParamRules::ValueText(const CParamData &record, int number, int decimalsSetting,
                                     bool clampToRange)
{
    switch (record.GetType()) {
    case CParamData::kTypeInteger: {
        int value = record.IntValue();
        if (clampToRange)
            value = std::clamp(value, record.IntMin(), record.IntMax());
        return RecordText(record, FormatInt(value));
    }
    case CParamData::kTypeReal: {
        double value = record.RealValue();
        if (clampToRange)
            value = std::clamp(value, record.RealMin(), record.RealMax());
        return RecordText(record, FormatFixed(value, ShownDecimals(number, record.Precision(),
                                                                   decimalsSetting)));
    }
    case CParamData::kTypeSelection:
        return record.SelectedText();
    case CParamData::kTypeText:
        return record.TextValue();
    default:
        return RecordText(record, std::string());
    }
}

CCodePageText CParamRules::RecordText(const CParamData &record, std::string digits)
{
    return CCodePageText(std::move(digits), record.DisplayName().CodePage());
}

} // namespace kvl::params
