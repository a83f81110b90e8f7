#include "points/CPointLoadLimits.h"

#include <algorithm>
#include <limits>

#include "base/TextNumber.h"

namespace kvl::points {

namespace {

bool IsEndJump(const std::string &text) { return text == "E" || text == "e"; }

bool IsWholeNumber(const std::string &text)
{
    size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i >= text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

bool IsIntegerValued(int k)
{
    return CKVL_VER2_ProgData::IsIntegerColumn(k) || k == kColJump;
}

// The file's text is a value of the column's kind (or the end jump): finite decimal numbers (the
// integer columns take a pasted view text such as "100.00" as well as a file's "100"), and for
// the choice columns an entry's number or, pasted, an entry's text. A whole number too large for
// the field is one still: the step rules limit it.
bool IsNumberOfColumn(const CStepRules &rules, int k, const std::string &text)
{
    if (k == kColJump && IsEndJump(std::string(StripBlanks(text))))
        return true;
    if (k == kColAccDecMode || k == kColStopMode) {
        const std::vector<std::string> choices = rules.Choices(k);
        return StrictInteger(text, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max())
                   .has_value() ||
               std::find(choices.begin(), choices.end(), std::string(StripBlanks(text))) != choices.end();
    }
    return StrictReal(text).has_value();
}

// The value lies outside the limits of the column's editor.
bool OutsideLimits(int k, const std::string &stored, const CellEditor &editor)
{
    if (!editor.limited || (k == kColJump && IsEndJump(stored)))
        return false;
    const double value = IsIntegerValued(k) ? LeadingInt(stored) : LeadingReal(stored);
    return value < editor.min || value > editor.max;
}

// The committed value is another value than the stored one (not merely another text form).
bool ValueChanged(int k, const std::string &stored, const std::string &committed)
{
    if (k == kColJump) {
        if (IsEndJump(stored) || committed == "E")
            return IsEndJump(stored) != (committed == "E");
        return !IsWholeNumber(stored) || LeadingInt(stored) != LeadingInt(committed);
    }
    if (IsIntegerValued(k))
        return LeadingInt(stored) != LeadingInt(committed);
    return LeadingReal(stored) != LeadingReal(committed);
}

// A choice column holds one of its entries; anything else is limited to the column default.
bool LimitChoice(const CStepRules &rules, int k, CKVL_VER2_ProgData &record)
{
    const int count = k == kColAccDecMode ? kSpeedModeCount : kStopModeCount;
    const int value = k == kColAccDecMode ? record.AccDecMode() : record.StopMode();
    if (value >= 0 && value < count)
        return false;
    record.SetFieldText(k, rules.CellToFieldText(k, rules.ColumnDefault(k, DefaultUse::EmptiedCell)), rules.Texts());
    return true;
}

// `format` with %1 .. %9 replaced by the arguments, in one pass (an argument may hold "%1").
std::string Filled(const std::string &format, const std::vector<std::string> &arguments)
{
    std::string text;
    for (size_t i = 0; i < format.size(); ++i) {
        const bool mark = format[i] == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '9';
        const size_t index = mark ? static_cast<size_t>(format[i + 1] - '1') : arguments.size();
        if (index < arguments.size()) {
            text += arguments[index];
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

} // namespace

void CPointLoadLimits::Apply(const CStepRules &rules, int line, int step, const CPointTable::CellRow &fileFields,
                             CKVL_VER2_ProgData &record, std::vector<CsvLimitedValue> &limited, int firstColumn,
                             int lastColumn)
{
    const int first = std::max(firstColumn, static_cast<int>(kColPosition));
    const int last = std::min(lastColumn, static_cast<int>(kColJump));
    for (int k = first; k <= last; ++k) {
        if (!IsNumberOfColumn(rules, k, fileFields[k])) {
            // No number to limit ("nan", "1e308", "12abc"): the cell takes its default, listed.
            record.SetFieldText(k, rules.CellToFieldText(k, rules.ColumnDefault(k, DefaultUse::EmptiedCell)),
                                rules.Texts());
            limited.push_back({line, step, k, fileFields[k], rules.ViewText(k, record.FieldText(k)), {}, true});
            continue;
        }
        const std::string stored = record.FieldText(k);
        if (k == kColAccDecMode || k == kColStopMode) {
            const bool outside = LimitChoice(rules, k, record);
            // Stop mode also follows the push rule below, as its commit does.
            CKVL_VER2_ProgData trial = record;
            const CommitResult result = rules.Commit(k, record.FieldText(k), trial);
            const bool crossRule = ValueChanged(k, record.FieldText(k), trial.FieldText(k));
            if (crossRule)
                record = trial;
            if (outside || crossRule) {
                const StepMessage message = result.messages.empty() ? StepMessage{} : result.messages.back();
                limited.push_back({line, step, k, fileFields[k], rules.ViewText(k, record.FieldText(k)), message});
            }
            continue;
        }
        CKVL_VER2_ProgData trial = record;
        const CellEditor editor = rules.Editor(k, record);
        const CommitResult result = rules.Commit(k, stored, trial);
        const bool changed = ValueChanged(k, stored, trial.FieldText(k));
        // A real may lose decimals past the column's resolution: that is no limit, and the file's
        // text stays. A jump always takes its committed form ("e" is "E").
        const bool isLimited =
            OutsideLimits(k, stored, editor) || (changed && (IsIntegerValued(k) || !result.messages.empty()));
        if (isLimited || k == kColJump)
            record = trial;
        if (isLimited) {
            const StepMessage message = result.messages.empty() ? StepMessage{} : result.messages.back();
            limited.push_back({line, step, k, fileFields[k], rules.ViewText(k, record.FieldText(k)), message});
        }
    }
}

std::string CPointLoadLimits::Describe(const std::vector<CsvLimitedValue> &limited, const CStepTexts &texts,
                                       const Wording &wording)
{
    if (limited.empty())
        return std::string();
    std::string text = wording.heading;
    size_t listed = 0;
    for (const CsvLimitedValue &value : limited) {
        if (listed == kMessageLines)
            break;
        const std::string &caption = texts.columnCaptions[static_cast<size_t>(value.column)];
        const std::string column = caption.empty() ? CPointCsvCheck::ColumnName(value.column) : caption;
        text += "\n" + Filled(wording.line, {FormatInt(value.step), column, value.given, value.taken});
        ++listed;
    }
    if (limited.size() > listed)
        text += "\n" + Filled(wording.more, {FormatInt(static_cast<long long>(limited.size() - listed))});
    return text;
}

} // namespace kvl::points
