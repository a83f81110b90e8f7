#include "points/CPointBlockEditor.h"

#include <algorithm>
#include <vector>

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

PasteResult CPointBlockEditor::Paste(CPointTable &table, int currentRow, int currentColumn) const
{
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
        for (int col = std::max(currentColumn, static_cast<int>(kColMode)); col <= colLast; ++col)
            table.SetMarked(step, col, table.DiffersAfterLoad(step, col));
    }
    return PasteResult::Pasted;
}

} // namespace kvl::points
