#include "points/CPointBlockEditor.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "points/CPointLoadLimits.h"

namespace kvl::points {

namespace {

constexpr char kCellSeparator = '\t';
constexpr char kRowSeparator = '\r';

std::vector<std::vector<std::string>> SplitBlockText(const std::string &text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (char c : text) {
        if (c == kRowSeparator)
            rows.emplace_back(1);
        else if (c == kCellSeparator)
            rows.back().emplace_back();
        else
            rows.back().back().push_back(c);
    }
    return rows;
}

// The forms of the mode a step record takes besides the language's entries (any letter case).
constexpr std::array<const char *, 4> kModeForms{"ABS", "INC", "A", "I"};

std::string Upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsDigits(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether a pasted text names an entry of choice column k: one of the language's entries, a form
// the record knows for the mode, or an entry's number (its range is the rules' to check).
bool NamesAnEntry(const CStepRules &rules, int k, const std::string &text)
{
    const std::vector<std::string> choices = rules.Choices(k);
    if (std::find(choices.begin(), choices.end(), text) != choices.end())
        return true;
    if (k == kColMode)
        return std::find(kModeForms.begin(), kModeForms.end(), Upper(text)) != kModeForms.end();
    return IsDigits(text);
}

bool IsChoiceColumn(int k) { return k == kColMode || k == kColAccDecMode || k == kColStopMode; }

} // namespace

CellBlock CPointBlockEditor::Normalise(const CellBlock &block, int stepCount)
{
    CellBlock b;
    b.rowFirst = std::max(std::min(block.rowFirst, block.rowLast), 1);
    b.rowLast = std::min(std::max(block.rowFirst, block.rowLast), stepCount);
    b.colFirst = std::max(std::min(block.colFirst, block.colLast), 0);
    b.colLast = std::min(std::max(block.colFirst, block.colLast), kStepColumnCount - 1);
    return b;
}

std::string CPointBlockEditor::BlockText(const CPointTable &table, const CellBlock &block)
{
    const CellBlock b = Normalise(block, table.StepCount());
    std::string text;
    for (int row = b.rowFirst; row <= b.rowLast; ++row) {
        if (row != b.rowFirst)
            text.push_back(kRowSeparator);
        for (int col = b.colFirst; col <= b.colLast; ++col) {
            if (col != b.colFirst)
                text.push_back(kCellSeparator);
            text += table.Cell(row - 1, col);
        }
    }
    return text;
}

void CPointBlockEditor::Copy(const CPointTable &table, const CellBlock &block)
{
    const CellBlock b = Normalise(block, table.StepCount());
    if (b.rowFirst > b.rowLast || b.colFirst > b.colLast)
        return;
    m_block = b;
    m_text = BlockText(table, b);
    m_hasBuffer = true;
}

bool CPointBlockEditor::TakeText(const std::string &text, int firstColumn)
{
    std::string buffer;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        buffer.push_back(text[i] == '\n' ? kRowSeparator : text[i]);
    }
    while (!buffer.empty() && buffer.back() == kRowSeparator)
        buffer.pop_back();
    if (buffer.empty())
        return false;
    const std::vector<std::vector<std::string>> rows = SplitBlockText(buffer);
    std::size_t columns = 0;
    for (const std::vector<std::string> &row : rows)
        columns = std::max(columns, row.size());
    m_text = buffer;
    m_block = {1, static_cast<int>(rows.size()), firstColumn, firstColumn + static_cast<int>(columns) - 1};
    m_hasBuffer = true;
    return true;
}

void CPointBlockEditor::Delete(CPointTable &table, const CellBlock &block) const
{
    const CellBlock b = Normalise(block, table.StepCount());
    const bool wholeRows = b.colFirst <= kColMode && b.colLast >= kColComment;
    const CStepRules &rules = table.Rules();
    for (int row = b.rowFirst; row <= b.rowLast; ++row) {
        const int step = row - 1;
        for (int k = std::max(b.colFirst, static_cast<int>(kColMode)); k <= b.colLast; ++k) {
            table.SetCell(step, k,
                          wholeRows ? std::string()
                                    : rules.ViewText(k, rules.ColumnDefault(k, DefaultUse::EmptiedCell)));
        }
        table.RebuildRecordFromCells(step, wholeRows);
        for (int k = std::max(b.colFirst, static_cast<int>(kColMode)); k <= b.colLast; ++k)
            table.SetMarked(step, k, wholeRows ? false : table.Differs(step, k));
    }
}

void CPointBlockEditor::Cut(CPointTable &table, const CellBlock &block)
{
    Copy(table, block);
    Delete(table, block);
}

void CPointBlockEditor::LimitPastedRow(CPointTable &table, int step, int firstColumn, int lastColumn)
{
    const CStepRules &rules = table.Rules();
    CKVL_VER2_ProgData &record = table.Working(step);
    CPointTable::CellRow given;
    for (int k = 0; k < kStepColumnCount; ++k)
        given[k] = table.Cell(step, k);
    const int row = step + 1;
    // A choice text of another language or none at all would otherwise become entry 0 unseen.
    std::vector<CsvLimitedValue> choices;
    for (int k = firstColumn; k <= lastColumn; ++k) {
        if (!IsChoiceColumn(k) || given[k].empty() || NamesAnEntry(rules, k, given[k]))
            continue;
        const std::string fallback = rules.ColumnDefault(k, DefaultUse::EmptiedCell);
        record.SetFieldText(k, rules.CellToFieldText(k, fallback), rules.Texts());
        choices.push_back({row, step, k, given[k], rules.ViewText(k, record.FieldText(k)), {}});
    }
    const size_t before = m_limited.size();
    CPointLoadLimits::Apply(rules, row, step, given, record, m_limited, firstColumn, lastColumn);
    for (const CsvLimitedValue &choice : choices) {
        const auto sameColumn = [&choice](const CsvLimitedValue &value) { return value.column == choice.column; };
        const bool listed =
            std::any_of(m_limited.begin() + static_cast<std::ptrdiff_t>(before), m_limited.end(), sameColumn);
        if (!listed)
            m_limited.push_back(choice);
    }
    for (size_t i = before; i < m_limited.size(); ++i) {
        const int k = m_limited[i].column;
        table.SetCell(step, k, rules.ViewText(k, record.FieldText(k)));
    }
}

PasteResult CPointBlockEditor::Paste(CPointTable &table, int currentRow, int currentColumn)
{
    m_limited.clear();
    if (!m_hasBuffer)
        return PasteResult::BufferEmpty;
    if (currentColumn != m_block.colFirst)
        return PasteResult::ColumnMismatch;
    if (currentRow < 1 || currentRow > table.StepCount())
        return PasteResult::OutsideTable;
    const int rowLast = std::min(currentRow + (m_block.rowLast - m_block.rowFirst), table.StepCount());
    const int colLast = std::min(currentColumn + (m_block.colLast - m_block.colFirst), kStepColumnCount - 1);
    const std::vector<std::vector<std::string>> cells = SplitBlockText(m_text);
    for (int row = currentRow; row <= rowLast; ++row) {
        const int step = row - 1;
        const size_t sourceRow = static_cast<size_t>(row - currentRow);
        for (int col = std::max(currentColumn, static_cast<int>(kColMode)); col <= colLast; ++col) {
            const size_t sourceCol = static_cast<size_t>(col - currentColumn);
            if (sourceRow < cells.size() && sourceCol < cells[sourceRow].size())
                table.SetCell(step, col, cells[sourceRow][sourceCol]);
        }
        bool allEmpty = true;
        for (int k = kColMode; k <= kColComment; ++k)
            allEmpty = allEmpty && table.Cell(step, k).empty();
        const bool clears = colLast >= kColJump && currentColumn <= kColMode && allEmpty;
        table.RebuildRecordFromCells(step, clears);
        const size_t before = m_limited.size();
        if (!clears)
            LimitPastedRow(table, step, std::max(currentColumn, static_cast<int>(kColMode)), colLast);
        for (int col = std::max(currentColumn, static_cast<int>(kColMode)); col <= colLast; ++col)
            table.SetMarked(step, col, table.DiffersAfterLoad(step, col));
        for (size_t i = before; i < m_limited.size(); ++i)
            table.SetMarked(step, m_limited[i].column, true);
    }
    return PasteResult::Pasted;
}

} // namespace kvl::points
