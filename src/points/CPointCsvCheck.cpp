#include "points/CPointCsvCheck.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

#include "config/TextLines.h"
#include "base/TextNumber.h"

namespace kvl::points {

namespace {

using ParsedStep = CPointCsvCheck::ParsedStep;

constexpr size_t kFieldsBeforeComment = 16; // step number .. jump
constexpr size_t kHeaderFields = kStepColumnCount;
constexpr int kAccDecModeLast = kSpeedModeCount - 1;
constexpr int kStopModeLast = kStopModeCount - 1;

constexpr std::array<const char *, kStepColumnCount> kColumnNames = {
    "NO",       "ABS/INC",  "Position",  "Speed",  "ACC",   "DCC",    "Push", "Thr",    "Pos Range",
    "P area A", "P area B", "ACC/DCC M", "Stop M", "Std T", "Repeat", "Jump", "Comment"};

std::vector<std::string> SplitFields(const std::string &line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(',', start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

std::string Trimmed(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number (an optional sign, then digits only); one too large for any controller field is
// still one, and the step rules limit it.
bool IsWholeNumber(const std::string &text)
{
    return StrictInteger(text, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max())
        .has_value();
}

// A finite number in decimal notation: no exponent, no "nan" or "inf".
bool IsDecimalNumber(const std::string &text)
{
    return StrictReal(text).has_value();
}

bool IsMode(const std::string &text, const CStepTexts &texts)
{
    const std::string upper = UpperAscii(text);
    if (upper == "ABS" || upper == "INC" || upper == "A" || upper == "I")
        return true;
    return std::any_of(texts.modeTexts.begin(), texts.modeTexts.end(),
                       [&](const std::string &mode) { return !mode.empty() && mode == text; });
}

bool IsEndJump(const std::string &text) { return text == "E" || text == "e"; }

std::string Quoted(int k, const std::string &text)
{
    return std::string(kColumnNames[k]) + " \"" + text + "\"";
}

// Why field k does not parse as its column says; empty when it does.
std::string FieldProblem(int k, const std::string &text, const CStepTexts &texts)
{
    if (text.empty())
        return std::string(kColumnNames[k]) + " is empty";
    switch (k) {
    case kColMode: return IsMode(text, texts) ? "" : Quoted(k, text) + " is neither ABS nor INC";
    case kColPosition:
    case kColAcc:
    case kColDcc:
    case kColPosRange:
    case kColPAreaA:
    case kColPAreaB: return IsDecimalNumber(text) ? "" : Quoted(k, text) + " is not a number";
    case kColAccDecMode: {
        const bool ok = IsWholeNumber(text) && LeadingInt(text) >= 0 && LeadingInt(text) <= kAccDecModeLast;
        return ok ? "" : Quoted(k, text) + " is not 0 or 1";
    }
    case kColStopMode: {
        const bool ok = IsWholeNumber(text) && LeadingInt(text) >= 0 && LeadingInt(text) <= kStopModeLast;
        return ok ? "" : Quoted(k, text) + " is not 0 to 4";
    }
    case kColJump:
        return (IsEndJump(text) || IsWholeNumber(text)) ? "" : Quoted(k, text) + " is neither E nor a step number";
    default: return IsWholeNumber(text) ? "" : Quoted(k, text) + " is not a whole number";
    }
}

bool IsIntegerValued(int k)
{
    return k == kColSpeed || k == kColPush || k == kColThreshold || k == kColAccDecMode || k == kColStopMode ||
           k == kColStdTime || k == kColRepeat;
}

// True when the stored value is another value than the file gave (not merely another text form).
bool ValueChanged(int k, const std::string &given, const std::string &stored)
{
    if (k == kColJump)
        return IsEndJump(given) != (stored == "E") || (!IsEndJump(given) && LeadingInt(given) != LeadingInt(stored));
    if (IsIntegerValued(k))
        return LeadingInt(given) != LeadingInt(stored);
    return LeadingReal(given) != LeadingReal(stored);
}

// True when the value lies outside the limits of the column's editor.
bool OutsideLimits(int k, const std::string &given, const CellEditor &editor)
{
    if (!editor.limited || (k == kColJump && IsEndJump(given)))
        return false;
    const double value = IsIntegerValued(k) || k == kColJump ? LeadingInt(given) : LeadingReal(given);
    return value < editor.min || value > editor.max;
}

// Parses one data line; false with `reason` set when it does not parse.
bool ParseLine(const std::string &line, const CPointTable &table, ParsedStep &parsed, std::string &reason)
{
    if (line.find('\0') != std::string::npos) {
        reason = "it holds a zero byte: this is not a text file";
        return false;
    }
    const std::vector<std::string> raw = SplitFields(line);
    if (raw.size() < kFieldsBeforeComment) {
        reason = std::to_string(kFieldsBeforeComment) + " fields are needed (NO to Jump, then the comment), found " +
                 std::to_string(raw.size());
        return false;
    }
    for (size_t k = 0; k < kFieldsBeforeComment; ++k)
        parsed.fields[k] = Trimmed(raw[k]);
    for (size_t k = kFieldsBeforeComment; k < raw.size(); ++k) {
        if (k != kFieldsBeforeComment)
            parsed.fields[kColComment] += ',';
        parsed.fields[kColComment] += raw[k];
    }
    if (!IsWholeNumber(parsed.fields[kColStep])) {
        reason = "the step number \"" + parsed.fields[kColStep] + "\" is not a whole number";
        return false;
    }
    parsed.step = LeadingInt(parsed.fields[kColStep]);
    if (!table.IsStep(parsed.step)) {
        reason = "step " + parsed.fields[kColStep] + " is outside the table (steps 0 to " +
                 std::to_string(table.StepCount() - 1) + ")";
        return false;
    }
    for (int k = kColMode; k <= kColJump; ++k) {
        reason = FieldProblem(k, parsed.fields[k], table.Rules().Texts());
        if (!reason.empty())
            return false;
    }
    return true;
}

// Commits the line's values through the step rules in column order and returns the final record;
// each value the rules changed is added to `limited`.
CKVL_VER2_ProgData CommitLine(const CStepRules &rules, const ParsedStep &parsed, int lineNumber,
                              std::vector<CsvLimitedValue> &limited)
{
    CKVL_VER2_ProgData row;
    row.SetRow(parsed.fields, rules.Texts());
    // The mode and the comment are taken as given; every other column is an edit of the cell.
    for (int k = kColPosition; k <= kColJump; ++k) {
        const std::string &given = parsed.fields[k];
        const CellEditor editor = rules.Editor(k, row);
        const CommitResult result = rules.Commit(k, given, row);
        const bool outside = OutsideLimits(k, given, editor);
        // A real may lose decimals past the column's resolution; that is no limit. A whole number
        // or a jump that changed was limited, and so was any value a cross rule changed.
        const bool changed = ValueChanged(k, given, row.FieldText(k));
        const bool whole = IsIntegerValued(k) || k == kColJump;
        if (outside || (changed && (whole || !result.messages.empty()))) {
            const StepMessage message = result.messages.empty() ? StepMessage{} : result.messages.back();
            limited.push_back({lineNumber, parsed.step, k, given, rules.ViewText(k, row.FieldText(k)), message});
        }
    }
    CPointTable::CellRow texts;
    texts[kColStep] = FormatInt(parsed.step);
    for (int k = kColMode; k <= kColJump; ++k)
        texts[k] = row.FieldText(k);
    texts[kColComment] = parsed.fields[kColComment];
    // The whole-row set gives the stored form a file load gives, so equal steps compare equal.
    CKVL_VER2_ProgData record;
    record.SetRow(texts, rules.Texts());
    return record;
}

CsvCheckReport Refused(int line, const std::string &reason)
{
    CsvCheckReport report;
    report.line = line;
    report.reason = reason;
    return report;
}

} // namespace

const char *CPointCsvCheck::ColumnName(int k)
{
    return (k >= 0 && k < kStepColumnCount) ? kColumnNames[k] : "";
}

bool CPointCsvCheck::IsHeaderLine(const std::string &line)
{
    const std::vector<std::string> fields = SplitFields(line);
    return fields.size() == kHeaderFields && !IsWholeNumber(Trimmed(fields[kColStep]));
}

CsvCheckReport CPointCsvCheck::Parse(const CPointTable &table, const std::string &content,
                                     std::vector<ParsedStep> &steps)
{
    steps.clear();
    const std::vector<std::string> lines = SplitTextLines(content);
    size_t first = 0;
    while (first < lines.size() && Trimmed(lines[first]).empty())
        ++first;
    if (first == lines.size())
        return Refused(0, "the file is empty");
    if (!IsHeaderLine(lines[first]))
        return Refused(static_cast<int>(first) + 1,
                       "this is not a point-table file: the header line of the 17 column captions is missing");

    std::map<int, int> lineOfStep;
    for (size_t i = first + 1; i < lines.size(); ++i) {
        if (Trimmed(lines[i]).empty())
            continue;
        const int lineNumber = static_cast<int>(i) + 1;
        ParsedStep line;
        std::string reason;
        if (!ParseLine(lines[i], table, line, reason))
            return Refused(lineNumber, reason);
        const auto [at, added] = lineOfStep.emplace(line.step, lineNumber);
        if (!added)
            return Refused(lineNumber, "step " + std::to_string(line.step) + " is given twice (first on line " +
                                           std::to_string(at->second) + ")");
        line.line = lineNumber;
        steps.push_back(line);
    }
    CsvCheckReport report;
    report.accepted = true;
    report.steps = static_cast<int>(steps.size());
    return report;
}

CsvCheckReport CPointCsvCheck::Verify(const CPointTable &table, const std::string &content)
{
    std::vector<ParsedStep> steps;
    return Parse(table, content, steps);
}

CsvCheckReport CPointCsvCheck::Load(CPointTable &table, const std::string &content)
{
    std::vector<ParsedStep> parsed;
    CsvCheckReport report = Parse(table, content, parsed);
    if (!report.accepted)
        return report;
    table.Reset(true);
    for (const ParsedStep &line : parsed) {
        table.Working(line.step) = CommitLine(table.Rules(), line, line.line, report.limited);
        table.RefreshRow(line.step);
        for (int k = kColMode; k < kStepColumnCount; ++k)
            table.SetMarked(line.step, k, table.DiffersAfterLoad(line.step, k));
    }
    return report;
}

} // namespace kvl::points
