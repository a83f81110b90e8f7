#include "params/CParamListRules.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/TextNumber.h"
#include "params/CParamRules.h"

namespace kvl::params {

namespace {

using Model = CParamRules::Model;

int EffectiveHideClass(const CParamData &record)
{
    const int hide = record.HideClass();
    if (hide < CParamData::kHideNever || hide > CParamData::kHideBelowCustomGreyed)
        return CParamData::kHideAlways;
    return hide;
}

bool IsCustomLevel(int level)
{
    return level == CParamListRules::kLevelCustom || level == CParamListRules::kLevelCustomSp;
}

// Whether the driver and file values of a record differ: a type change always does; integers,
// selection texts and texts by equality; reals as `realDiffers` tells.
template <typename RealDiffers>
bool ValuesDiffer(const CParamData &driver, const CParamData &file, RealDiffers realDiffers)
{
    if (driver.GetType() != file.GetType())
        return true;
    switch (driver.GetType()) {
    case CParamData::kTypeInteger:
        return driver.IntValue() != file.IntValue();
    case CParamData::kTypeReal:
        return realDiffers(driver.RealValue(), file.RealValue());
    case CParamData::kTypeSelection:
        return driver.SelectedText() != file.SelectedText();
    case CParamData::kTypeText:
        return driver.TextValue() != file.TextValue();
    default:
        return false;
    }
}

// Shown at the level on tab 0: classes 2 and 3 need a custom level, class 1 is never shown.
bool ShownAtLevel(const CParamData &record, int level)
{
    switch (EffectiveHideClass(record)) {
    case CParamData::kHideNever:
        return true;
    case CParamData::kHideBelowCustom:
    case CParamData::kHideBelowCustomGreyed:
        return IsCustomLevel(level);
    default:
        return false;
    }
}

std::string Bracketed(const std::string &lower, const std::string &upper)
{
    return "[" + lower + ", " + upper + "]";
}

} // namespace

std::string CParamListRules::ModelKey(std::string_view model)
{
    const CModelTraits traits = CModelTraits::Of(model);
    // Only the variants have a key form of their own; any other text stays as given.
    if (std::string_view(traits.KeyForm()) != traits.Text())
        return traits.KeyForm();
    return std::string(model);
}

std::optional<std::string> CParamListRules::ModelOfKey(std::string_view key)
{
    const std::optional<CModelTraits> traits = CModelTraits::FindByKey(key);
    if (!traits)
        return std::nullopt;
    return std::string(traits->Text());
}

std::string CParamListRules::NumberRangesText(const CParamList &list, int count)
{
    std::vector<std::string> runs;
    int first = 0;
    int last = 0;
    const auto close = [&] {
        if (first != 0)
            runs.push_back(first == last ? std::to_string(first)
                                         : std::to_string(first) + "-" + std::to_string(last));
        first = 0;
    };
    for (const int number : CParamRules::Numbers(count)) {
        if (list.At(number).IsEmpty()) {
            close();
            continue;
        }
        if (first != 0 && number != last + 1)
            close();
        if (first == 0)
            first = number;
        last = number;
    }
    close();
    std::string text;
    for (std::size_t i = 0; i < runs.size(); ++i)
        text += (i == 0 ? "" : i + 1 == runs.size() ? " and " : ", ") + runs[i];
    return text;
}

bool CParamListRules::IsLongRecordModel(std::string_view model)
{
    return CModelTraits::Of(model).UsesLongRecord();
}

bool CParamListRules::IsShown(const CParamData &record, int tab, int level)
{
    if (record.IsEmpty())
        return false;
    if (tab != kTabAll && record.Tab() != tab)
        return false;
    return ShownAtLevel(record, level);
}

bool CParamListRules::IsGreyed(const CParamData &record, int level)
{
    return EffectiveHideClass(record) == CParamData::kHideBelowCustomGreyed &&
           level == kLevelCustom;
}

bool CParamListRules::IsEditable(const CParamData &record, int level)
{
    return record.IsWritable() && IsShown(record, kTabAll, level) && !IsGreyed(record, level);
}

bool CParamListRules::MayWrite(const CParamData &record, int level)
{
    if (record.IsEmpty())
        return false;
    switch (EffectiveHideClass(record)) {
    case CParamData::kHideNever:
        return true;
    case CParamData::kHideBelowCustom:
        return IsCustomLevel(level);
    case CParamData::kHideBelowCustomGreyed:
        return level == kLevelCustomSp;
    default:
        return false;
    }
}

bool CParamListRules::IsSaved(const CParamData &record, int level)
{
    return !record.IsEmpty() && ShownAtLevel(record, level);
}

bool CParamListRules::MarkDiffers(const CParamData &driver, const CParamData &file)
{
    return ValuesDiffer(driver, file, [](double a, double b) { return std::fabs(a - b) > kRealMarkTolerance; });
}

bool CParamListRules::WriteDiffers(const CParamData &driver, const CParamData &file)
{
    return ValuesDiffer(driver, file, [](double a, double b) { return a != b; });
}

std::string CParamListRules::RangeText(const CParamData &record, int number, int decimalsSetting)
{
    switch (record.GetType()) {
    case CParamData::kTypeInteger:
        if (record.IntMin() == record.IntMax())
            return "-";
        return Bracketed(FormatInt(record.IntMin()),
                         FormatInt(record.IntMax()));
    case CParamData::kTypeReal: {
        if (record.RealMin() == record.RealMax())
            return "-";
        const int decimals =
            CParamRules::ShownDecimals(number, record.Precision(), decimalsSetting);
        return Bracketed(FormatFixed(record.RealMin(), decimals),
                         FormatFixed(record.RealMax(), decimals));
    }
    case CParamData::kTypeSelection:
        return record.RangeText().ToUtf8();
    default:
        return std::string();
    }
}

std::string CParamListRules::GridValueText(const CParamData &record, int number,
                                           int decimalsSetting)
{
    return CParamRules::ValueText(record, number, decimalsSetting, true).ToUtf8();
}

CCodePageText CParamListRules::FileValueText(const CParamData &record)
{
    switch (record.GetType()) {
    case CParamData::kTypeInteger:
        return CParamRules::RecordText(record, FormatInt(record.IntValue()));
    case CParamData::kTypeReal:
        return CParamRules::RecordText(record, FormatFixed(record.RealValue(), record.Precision()));
    case CParamData::kTypeSelection:
        return CParamRules::RecordText(record, FormatInt(record.SelectedIndex()));
    case CParamData::kTypeText:
        return CCodePageText(record.TextValue().Bytes().substr(0, kMaxTextLength),
                             record.TextValue().CodePage());
    default:
        return CParamRules::RecordText(record, std::string());
    }
}

std::string CParamListRules::TitleSuffix(int level, int language)
{
    const char *lead = language == kLanguageEnglish   ? "  "
                       : language == kLanguageChinese ? "          "
                                                      : "      ";
    if (level == kLevelCustom)
        return std::string(lead) + "Custom";
    if (level == kLevelCustomSp)
        return std::string(lead) + "Custom     SP";
    return std::string();
}

CParamListRules::AreaResult CParamListRules::FirstHiddenArea(int level, bool serviceMode)
{
    if (level == kLevelNormal)
        return {AreaAction::OpenAccessDialog, level};
    if (!serviceMode)
        return {AreaAction::SetLevel, kLevelNormal};
    if (level == kLevelCustom)
        return {AreaAction::OpenAccessDialog, level};
    return {AreaAction::SetLevel, kLevelCustom};
}

CParamListRules::AreaResult CParamListRules::SecondHiddenArea(int level, bool serviceMode,
                                                              std::string_view model)
{
    if (!IsLongRecordModel(model) || level == kLevelNormal)
        return {AreaAction::None, level};
    if (level == kLevelCustom)
        return {AreaAction::OpenAccessDialog, level};
    return {AreaAction::SetLevel, serviceMode ? kLevelCustom : kLevelNormal};
}

} // namespace kvl::params
