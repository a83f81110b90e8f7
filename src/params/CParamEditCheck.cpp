#include "params/CParamEditCheck.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/TextNumber.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"
#include "params/ParamNumbers.h"

namespace kvl::params {

namespace {

// Parameters whose change is confirmed with ("IDS_INPUT_CHK_0", "Common").
constexpr int kConfirmedNumbers[] = {5, 13, 20, 26, 27, 29, 33, 35, 37, 38};
constexpr int kParamConfirmChk5 = 34;

// The ordered pairs: the first must stay greater than the second.
struct OrderedPair {
    int upper;
    int lower;
    const char *refusalKey;
};
constexpr OrderedPair kOrderedPairs[] = {
    {kParamPairFirstUpper, kParamPairFirstLower, "IDS_INPUT_CHK_2"},
    {kParamSoftLimitUpper, kParamSoftLimitLower, "IDS_INPUT_CHK_3"},
};

constexpr std::string_view kIntegerCharacters = "+-0123456789";
constexpr std::string_view kRealCharacters = "+-0123456789.";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [+-]digits with only the editor's characters.
bool IsIntegerText(std::string_view text)
{
    if (text.find_first_not_of(kIntegerCharacters) != std::string_view::npos)
        return false;
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i >= text.size())
        return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), IsDigit);
}

// [+-]digits[.digits], at least one digit, with only the editor's characters.
bool IsRealText(std::string_view text)
{
    if (text.find_first_not_of(kRealCharacters) != std::string_view::npos)
        return false;
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] == '.') {
            if (point)
                return false;
            point = true;
        } else if (IsDigit(text[i])) {
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0;
}

// The value of a text IsIntegerText accepted; empty when it does not fit a long long.
std::optional<long long> ParseInteger(std::string_view text)
{
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The value of an integer or real record as a number, for the pair comparison.
std::optional<double> NumericValue(const CParamData &record)
{
    if (record.GetType() == CParamData::kTypeInteger)
        return static_cast<double>(record.IntValue());
    if (record.GetType() == CParamData::kTypeReal)
        return record.RealValue();
    return std::nullopt;
}

} // namespace

ParamMessage CParamEditCheck::ConfirmationFor(int number)
{
    if (std::find(std::begin(kConfirmedNumbers), std::end(kConfirmedNumbers), number) !=
        std::end(kConfirmedNumbers))
        return {"IDS_INPUT_CHK_0", kSectionCommon};
    if (number == kParamConfirmChk5)
        return {"IDS_INPUT_CHK_5", kSectionCommon};
    if (number == kParamOperationType)
        return {"IDS_INPUT_CHK_1", kSectionCommon};
    return {};
}

EditStatus CParamEditCheck::CheckInput(const CParamData &record, const CCodePageText &typed)
{
    const std::string_view text = typed.Bytes();
    switch (record.GetType()) {
    case CParamData::kTypeInteger: {
        if (!IsIntegerText(text))
            return EditStatus::BadInput;
        const std::optional<long long> value = ParseInteger(text);
        if (!value || *value < record.IntMin() || *value > record.IntMax())
            return EditStatus::OutOfRange;
        return EditStatus::Applied;
    }
    case CParamData::kTypeReal: {
        const bool asInteger = record.Precision() == 0;
        if (asInteger ? !IsIntegerText(text) : !IsRealText(text))
            return EditStatus::BadInput;
        const std::optional<double> value = LeadingFiniteReal(text);
        if (!value)
            return EditStatus::OutOfRange;
        if (*value < record.RealMin() || *value > record.RealMax())
            return EditStatus::OutOfRange;
        return EditStatus::Applied;
    }
    case CParamData::kTypeSelection: {
        const CCodePageText wanted(std::string(StripBlanks(text)), typed.CodePage());
        const auto &choices = record.Choices();
        if (std::find(choices.begin(), choices.end(), wanted) == choices.end())
            return EditStatus::NoSuchChoice;
        return EditStatus::Applied;
    }
    case CParamData::kTypeText:
        return text.size() > CParamListRules::kMaxTextLength ? EditStatus::TooLong
                                                             : EditStatus::Applied;
    default:
        return EditStatus::NotEditable;
    }
}

ParamMessage CParamEditCheck::PairOrderRefusal(const CParamList &file, int number,
                                               const CParamData &candidate)
{
    for (const OrderedPair &pair : kOrderedPairs) {
        if (number != pair.upper && number != pair.lower)
            continue;
        const CParamData &upperRecord = number == pair.upper ? candidate : file.At(pair.upper);
        const CParamData &lowerRecord = number == pair.lower ? candidate : file.At(pair.lower);
        const std::optional<double> upper = NumericValue(upperRecord);
        const std::optional<double> lower = NumericValue(lowerRecord);
        if (upper && lower && !(*upper > *lower))
            return {pair.refusalKey, kSectionCommon};
    }
    return {};
}

CParamEditCheck::PairRefusal CParamEditCheck::LoadPairRefusal(const CParamList &file, const CParamList &driver)
{
    for (const OrderedPair &pair : kOrderedPairs) {
        const bool changed = CParamListRules::WriteDiffers(driver.At(pair.upper), file.At(pair.upper)) ||
                             CParamListRules::WriteDiffers(driver.At(pair.lower), file.At(pair.lower));
        if (!changed)
            continue;
        ParamMessage refusal = PairOrderRefusal(file, pair.upper, file.At(pair.upper));
        if (!refusal.Empty())
            return {pair.upper, pair.lower, std::move(refusal)};
    }
    return {};
}

EditResult CParamEditCheck::Commit(CParamList &file, int number, const CCodePageText &text,
                                   int level, int decimalsSetting, const Confirm &confirm)
{
    CParamData &record = file.At(number);
    if (record.IsEmpty() || !CParamListRules::IsEditable(record, level))
        return {EditStatus::NotEditable, {}};
    const EditStatus input = CheckInput(record, text);
    if (input != EditStatus::Applied)
        return {input, {}};
    if (text == CParamRules::ValueText(record, number, decimalsSetting, true))
        return {EditStatus::Unchanged, {}};

    const ParamMessage question = ConfirmationFor(number);
    if (!question.Empty() && !(confirm && confirm(question, TitleMessage())))
        return {EditStatus::Cancelled, {}};

    CParamData candidate = record;
    if (!candidate.SetByText(text, true))
        return {EditStatus::Unchanged, {}}; // an empty text changes nothing
    const ParamMessage refusal = PairOrderRefusal(file, number, candidate);
    if (!refusal.Empty())
        return {EditStatus::PairOrder, refusal};
    record = std::move(candidate);
    return {EditStatus::Applied, {}};
}

} // namespace kvl::params
