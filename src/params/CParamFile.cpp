#include "params/CParamFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "base/TextNumber.h"
#include "config/CFileReplace.h"
#include "config/CInputFile.h"
#include "config/TextLines.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"
#include "params/ParamNumbers.h"

namespace kvl::params {

namespace {

namespace fs = std::filesystem;

constexpr const char *kLineEnd = "\r\n";
constexpr const char *kNoUnit = "-";
constexpr int kModelLine = 2;

// A unit that the saved line carries after the value ("-" and an empty unit carry none).
bool HasUnit(const CParamData &record)
{
    return !record.UnitName().Empty() && record.UnitName().Bytes() != kNoUnit;
}

// The value part of a parameter line for `record`; empty optional when it counts as missing.
std::optional<std::string> ValuePart(const CParamData &record, std::string_view value)
{
    if (record.GetType() == CParamData::kTypeText) {
        // A device name may hold blanks: only the unit, when the parameter has one, is cut off.
        if (HasUnit(record)) {
            const std::string suffix = " " + record.UnitName().Bytes();
            if (value.size() < suffix.size() ||
                value.substr(value.size() - suffix.size()) != suffix)
                return std::nullopt;
            value = StripBlanks(value.substr(0, value.size() - suffix.size()));
        }
        return std::string(value.substr(0, CParamListRules::kMaxTextLength));
    }
    const std::size_t blank = value.find(' ');
    if (blank != std::string_view::npos)
        return std::string(value.substr(0, blank));
    if (record.GetType() != CParamData::kTypeSelection && HasUnit(record))
        return std::nullopt; // the unit was removed by hand: the value is not trusted
    return std::string(value);
}

// Sets a selection from an index text: empty selects the first choice; a text that is no whole
// number, or an index outside the list, changes nothing.
bool SetSelectionIndex(CParamData &record, std::string_view text)
{
    if (text.empty())
        return record.SetIndex(0, true);
    const std::optional<int> index = StrictInt(text);
    return index && record.SetIndex(*index, true);
}

// A number of the parameter's range, and nothing else: a value outside it is not limited but
// refused, so that what the controller gets is what the file says or nothing.
bool SetNumber(CParamData &record, std::string_view text)
{
    if (record.GetType() == CParamData::kTypeInteger) {
        const std::optional<long long> value = StrictInteger(text, record.IntMin(), record.IntMax());
        if (!value)
            return false;
        record.SetIntValue(static_cast<int>(*value));
        return true;
    }
    const std::optional<double> value = StrictReal(text);
    if (!value || *value < record.RealMin() || *value > record.RealMax())
        return false;
    record.SetRealValue(*value);
    return true;
}

} // namespace

std::string CParamFile::DateLine(const ParamDate &date)
{
    char text[48];
    std::snprintf(text, sizeof(text), "%d/%02d%02d", date.year, date.month, date.day);
    return text;
}

CCodePageText CParamFile::ParameterLine(const CParamData &record, int number, int digits)
{
    char prefix[32];
    std::snprintf(prefix, sizeof(prefix), "%.*d.  ", digits, number);
    std::string line = prefix + record.DisplayName().Bytes() + " = " +
                       CParamListRules::FileValueText(record).Bytes();
    if (record.UnitName().Bytes() != kNoUnit && record.GetType() != CParamData::kTypeSelection)
        line += " " + record.UnitName().Bytes();
    return CParamRules::RecordText(record, std::move(line));
}

std::vector<int> CParamFile::SavedNumbers(const CParamList &file, int count, int level)
{
    std::vector<int> numbers;
    for (const int number : CParamRules::Numbers(count)) {
        if (CParamListRules::IsSaved(file.At(number), level))
            numbers.push_back(number);
    }
    return numbers;
}

CCodePageText CParamFile::Serialise(const CParamList &file, const ParamTarget &target,
                                  const ParamDate &date)
{
    const int count =
        CParamRules::ParameterCount(target.model, CParamRules::VersionText(target.version));
    std::string content = DateLine(date) + kLineEnd;
    content += CParamListRules::ModelKey(target.model) + kLineEnd;
    content += kLineEnd;
    content += kLineEnd;
    for (const int number : SavedNumbers(file, count, target.accessLevel))
        content += ParameterLine(file.At(number), number, 3).Bytes() + kLineEnd;
    return CCodePageText(std::move(content), file.CodePage());
}

bool CParamFile::Save(const std::string &path, const CParamList &file, const ParamTarget &target,
                      const ParamDate &date)
{
    if (path.empty())
        return false;
    return CFileReplace::Write(path, Serialise(file, target, date).Bytes());
}

std::string CParamFile::WithDatExtension(const std::string &path)
{
    const std::string extension = fs::path(path).extension().string();
    if (EqualsNoCase(extension, ".dat"))
        return path;
    return path + ".dat";
}

CParamFile::LineOutcome CParamFile::LoadLine(CParamList &file, const std::string &line,
                                             const ParamTarget &target, int count, int &taken)
{
    const std::size_t dot = line.find('.');
    if (dot == std::string::npos)
        return LineOutcome::kIgnored;
    const std::optional<int> number = StrictInt(std::string_view(line).substr(0, dot));
    if (!number || !CParamRules::NumberExists(*number, count))
        return LineOutcome::kIgnored;
    // Like saving, loading works on the parameters visible at the access level.
    CParamData &record = file.At(*number);
    const std::size_t equals = line.find('=');
    if (!CParamListRules::IsSaved(record, target.accessLevel) || equals == std::string::npos)
        return LineOutcome::kIgnored;
    const std::optional<std::string> value =
        ValuePart(record, StripBlanks(std::string_view(line).substr(equals + 1)));
    if (!value)
        return LineOutcome::kIgnored;

    CParamData candidate = record;
    const int type = candidate.GetType();
    const bool accepted = type == CParamData::kTypeSelection ? SetSelectionIndex(candidate, *value)
                       : type == CParamData::kTypeInteger || type == CParamData::kTypeReal
                           ? SetNumber(candidate, *value)
                           : candidate.SetByText(CParamRules::RecordText(candidate, *value), true);
    if (!accepted)
        return LineOutcome::kRefused;
    record = std::move(candidate);
    taken = *number;

    if (*number == kParamCurrentLimitMax && CParamListRules::IsLongRecordModel(target.model) &&
        record.GetType() == CParamData::kTypeInteger) {
        CParamData &limited = file.At(kParamCurrentLimit);
        const int limit = record.IntValue();
        if (CParamRules::SetUpperLimit(limited, limit) && limited.IntValue() > limit)
            limited.SetIntValue(limit);
    }
    return LineOutcome::kTaken;
}

ParamLoadReport CParamFile::LoadText(CParamList &file, const std::string &content,
                                     const ParamTarget &target)
{
    ParamLoadReport report;
    const std::vector<std::string> lines = SplitTextLines(content);
    if (std::all_of(lines.begin(), lines.end(), [](const std::string &line) { return StripBlanks(line).empty(); })) {
        report.status = ParamFileStatus::NotParamFile;
        report.message = MessageFor(report.status);
        report.blank = true;
        return report;
    }
    // A missing second line is read like an empty one.
    std::string_view modelKey = lines.size() >= kModelLine
                                    ? StripBlanks(lines[kModelLine - 1])
                                    : std::string_view();
    if (modelKey.empty())
        modelKey = kDefaultModelKey;
    const std::optional<std::string> fileModel = CParamListRules::ModelOfKey(modelKey);
    if (!fileModel) {
        report.status = ParamFileStatus::NotParamFile;
        report.message = MessageFor(report.status);
        return report;
    }
    if (!EqualsNoCase(modelKey, CParamListRules::ModelKey(target.model))) {
        report.status = ParamFileStatus::ModelMismatch;
        report.message = MessageFor(report.status);
        report.fileModel = *fileModel;
        return report;
    }
    const int count =
        CParamRules::ParameterCount(target.model, CParamRules::VersionText(target.version));
    // The cut line's value may itself be cut ("= 1" of "= 10"): it is never taken.
    const bool cut = EndsMidLine(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i + 1 == kModelLine || lines[i].empty())
            continue;
        if (cut && i + 1 == lines.size()) {
            report.refused.push_back({static_cast<int>(i) + 1, CCodePageText(lines[i], file.CodePage()), true});
            continue;
        }
        int number = 0;
        switch (LoadLine(file, lines[i], target, count, number)) {
        case LineOutcome::kTaken: report.numbers.push_back(number); break;
        case LineOutcome::kRefused: report.refused.push_back({static_cast<int>(i) + 1, CCodePageText(lines[i], file.CodePage())}); break;
        case LineOutcome::kIgnored: break;
        }
    }
    report.status = ParamFileStatus::Loaded;
    if (!report.refused.empty()) {
        report.message = {"IDS_WARNMSG_READPARAM_BAD_VALUES", kSectionList};
        for (const ParamRefusedLine &refused : report.refused)
            report.message.detail += (report.message.detail.empty() ? "" : "\n") + refused.text.ToUtf8();
    }
    return report;
}

ParamLoadReport CParamFile::Load(CParamList &file, const std::string &path,
                                 const ParamTarget &target)
{
    ParamLoadReport report;
    std::string content;
    std::string problem;
    const CInputFile::Status read = CInputFile::Read(path, content, problem);
    if (read != CInputFile::Status::kRead) {
        report.status = read == CInputFile::Status::kNotFound ? ParamFileStatus::NotFound : ParamFileStatus::Failed;
        report.message = MessageFor(report.status);
        return report;
    }
    return LoadText(file, content, target);
}

ParamMessage CParamFile::MessageFor(ParamFileStatus status)
{
    switch (status) {
    case ParamFileStatus::NotFound:
        return {CLanguageTexts::kMsgFileNotFound, kSectionCommon};
    case ParamFileStatus::InUse:
        return {CLanguageTexts::kMsgFileInUse, kSectionCommon};
    case ParamFileStatus::Failed:
        return {CLanguageTexts::kMsgFileOperationFailed, kSectionCommon};
    case ParamFileStatus::ModelMismatch:
    case ParamFileStatus::NotParamFile:
        return {"IDS_WARNMSG_READPARAM_MACHINE_ERR", kSectionList};
    default:
        return {};
    }
}

} // namespace kvl::params
