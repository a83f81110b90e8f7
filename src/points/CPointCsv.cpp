#include "points/CPointCsv.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>

#include "config/CCodePage.h"
#include "config/CFileReplace.h"
#include "config/CInputFile.h"
#include "points/CPointLoadLimits.h"
#include "config/TextLines.h"
#include "base/TextNumber.h"

namespace kvl::points {

namespace {

namespace fs = std::filesystem;

constexpr const char *kLineEnd = "\r\n";
constexpr size_t kFieldsBeforeComment = 16; // step number .. jump

} // namespace

std::string CPointCsv::HeaderLine(const CStepTexts &texts)
{
    std::string line;
    for (int k = 0; k < kStepColumnCount; ++k) {
        if (k != 0)
            line += ',';
        const std::string &caption = texts.columnCaptions[k];
        if (k == kColMode && !texts.checkAbsText.empty())
            line += caption == texts.checkAbsText ? "ABS" : "INC";
        else
            line += caption;
    }
    return line;
}

std::string CPointCsv::DataLine(const CPointTable &table, int step)
{
    std::string line = table.Cell(step, kColStep);
    const CKVL_VER2_ProgData &record = table.Working(step);
    for (int k = kColMode; k < kStepColumnCount; ++k) {
        line += ',';
        line += record.FieldText(k);
    }
    return line;
}

std::string CPointCsv::Serialise(const CPointTable &table)
{
    std::string content = HeaderLine(table.Rules().Texts()) + kLineEnd;
    for (int step = 0; step < table.StepCount(); ++step) {
        if (!table.Cell(step, kColMode).empty())
            content += DataLine(table, step) + kLineEnd;
    }
    return content;
}

int CPointCsv::CodePageOf(const CPointTable &table)
{
    return CCodePage::ForLanguage(table.Rules().Texts().language);
}

CCodePageText CPointCsv::Encode(const CPointTable &table)
{
    return CCodePageText::FromUtf8(Serialise(table), CodePageOf(table));
}

bool CPointCsv::Save(const CPointTable &table, const std::string &path)
{
    return CFileReplace::Write(path, Encode(table).Bytes());
}

std::vector<std::string> CPointCsv::Tokenize(const std::string &line)
{
    std::vector<std::string> tokens;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(',', start);
        if (end == std::string::npos)
            end = line.size();
        if (end > start)
            tokens.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return tokens;
}

int CPointCsv::LoadText(CPointTable &table, const std::string &content, std::vector<CsvLimitedValue> *limited)
{
    table.Reset(true);
    if (limited)
        limited->clear();
    const std::vector<std::string> lines = SplitTextLines(content);
    const CStepTexts &texts = table.Rules().Texts();
    int taken = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        // A line ends at a NUL byte, as a C string would: a field cut there could otherwise end
        // empty or leave a comment ending in a comma, and the file would not load back the same.
        const std::string line = lines[i].substr(0, lines[i].find('\0'));
        const std::vector<std::string> tokens = Tokenize(line);
        if (tokens.size() < kFieldsBeforeComment)
            continue;
        const std::optional<int> number = StrictInt(tokens[0]);
        if (!number || !table.IsStep(*number))
            continue;
        const int step = *number;
        CPointTable::CellRow fields;
        for (size_t k = 0; k < kFieldsBeforeComment; ++k)
            fields[k] = tokens[k];
        for (size_t k = kFieldsBeforeComment; k < tokens.size(); ++k) {
            if (k != kFieldsBeforeComment)
                fields[kColComment] += ',';
            fields[kColComment] += tokens[k];
        }
        CKVL_VER2_ProgData record;
        record.SetRow(fields, texts);
        if (limited) {
            // A later line of the same step replaces the earlier one, and so does its list.
            std::erase_if(*limited, [step](const CsvLimitedValue &value) { return value.step == step; });
            CPointLoadLimits::Apply(table.Rules(), static_cast<int>(i) + 1, step, fields, record, *limited);
        }
        table.Working(step) = record;
        table.RefreshRow(step);
        for (int k = kColMode; k < kStepColumnCount; ++k)
            table.SetMarked(step, k, table.DiffersAfterLoad(step, k));
        ++taken;
    }
    if (limited) {
        for (const CsvLimitedValue &value : *limited)
            table.SetMarked(value.step, value.column, true);
    }
    return taken;
}

CsvLoadResult CPointCsv::ReadFile(const std::string &path, int codePage, CCodePageText &text)
{
    std::string content;
    std::string problem;
    const CInputFile::Status read = CInputFile::Read(path, content, problem);
    if (read == CInputFile::Status::kNotFound)
        return CsvLoadResult::NotFound;
    if (read != CInputFile::Status::kRead)
        return CsvLoadResult::Failed;
    text = CCodePageText(std::move(content), codePage);
    return CsvLoadResult::Loaded;
}

CsvLoadResult CPointCsv::Load(CPointTable &table, const std::string &path, std::vector<CsvLimitedValue> *limited)
{
    CCodePageText content;
    const CsvLoadResult result = ReadFile(path, CodePageOf(table), content);
    if (result == CsvLoadResult::Loaded)
        LoadText(table, content.ToUtf8(), limited);
    return result;
}

StepMessage CPointCsv::LoadFailureMessage(CsvLoadResult result)
{
    switch (result) {
    case CsvLoadResult::NotFound: return {CLanguageTexts::kMsgFileNotFound, CLanguageTexts::kCommonSection};
    case CsvLoadResult::InUse: return {CLanguageTexts::kMsgFileInUse, CLanguageTexts::kCommonSection};
    default: return {CLanguageTexts::kMsgFileOperationFailed, CLanguageTexts::kCommonSection};
    }
}

std::string CPointCsv::WithDefaultExtension(const std::string &path)
{
    return fs::path(path).has_extension() ? path : path + ".csv";
}

} // namespace kvl::points
