#include "points/CPointTableEditor.h"

#include <algorithm>

#include "base/CCellInputRules.h"

namespace kvl::points {

namespace {
constexpr char kClipboardCellSeparator = '\t';
constexpr char kClipboardRowSeparator = '\n';
constexpr char kBufferRowSeparator = '\r';
} // namespace

CPointTableEditor::CPointTableEditor(CPointTable &table) : m_table(table) {}

bool CPointTableEditor::StepDefined(int row) const
{
    return m_table.IsStep(row - 1) && !m_table.Working(row - 1).IsEmpty();
}

CPointTableEditor::OpenResult CPointTableEditor::Open(int row, int column, bool servoOn)
{
    OpenResult result;
    result.row = row;
    result.column = column;
    if (row < 1 || column < 1 || column >= kStepColumnCount || !m_table.IsStep(row - 1))
        return result;
    if (servoOn) {
        if (StepDefined(row))
            result.what = Opened::kStartRowMoved;
        return result;
    }
    if (!StepDefined(row)) {
        m_history.Record(m_table);
        m_table.CreateRow(row - 1);
        result.what = Opened::kRowCreated;
        return result;
    }
    return OpenEditor(row, column);
}

CPointTableEditor::OpenResult CPointTableEditor::OpenEditor(int row, int column)
{
    OpenResult result;
    result.row = row;
    result.column = column;
    if (column == kColPush && CStepRules::PushHidden(m_table.Rules().Context().operationType))
        return result;
    const int step = row - 1;
    result.editor = m_table.Rules().Editor(column, m_table.Working(step));
    if (result.editor.kind == EditorKind::None)
        return result;
    result.what = Opened::kEditor;
    result.text = m_table.Cell(step, column);
    if (result.editor.kind == EditorKind::Choice)
        result.choice = CStepRules::InitialChoice(result.editor.choices, result.text);
    m_editing = true;
    m_edit = {row, column};
    return result;
}

CPointTableEditor::OpenResult CPointTableEditor::OpenTyped(int row, int column, char32_t c, bool servoOn)
{
    OpenResult result = Open(row, column, servoOn);
    if (result.what != Opened::kEditor)
        return result;
    if (result.editor.kind == EditorKind::Choice) {
        const int typed = CCellInputRules::ChoiceStartingWith(result.editor.choices, c);
        if (typed >= 0)
            result.choice = typed;
    } else if (c < 0x80 && CCellInputRules::TakesChar(c, result.editor.acceptedChars,
                                                       result.editor.kind == EditorKind::Text)) {
        result.text = std::string(1, static_cast<char>(c));
        result.caretAtEnd = true;
    }
    return result;
}

CPointTableEditor::OpenResult CPointTableEditor::OpenAfterTab(int row, int column, bool servoOn)
{
    if (servoOn || !StepDefined(row) || column < 1 || column >= kStepColumnCount) {
        OpenResult nothing;
        nothing.row = row;
        nothing.column = column;
        return nothing;
    }
    return OpenEditor(row, column);
}

CommitResult CPointTableEditor::Commit(const std::string &text)
{
    if (!m_editing)
        return {};
    m_editing = false;
    m_history.Record(m_table);
    return m_table.CommitCell(m_edit.row - 1, m_edit.column, text);
}

CPointTableEditor::CellPos CPointTableEditor::TabTarget(CellPos from, int rowCount)
{
    if (from.column >= kColMode && from.column <= kColThreshold)
        return {from.row, from.column + 1};
    if (from.column == kColPosRange && from.row < rowCount)
        return {from.row + 1, kColMode};
    return from;
}

int CPointTableEditor::WheelFirstRow(int firstVisibleRow, int delta, int rowCount)
{
    if (delta <= 0)
        return std::min(firstVisibleRow + 1, std::max(rowCount, 1));
    return std::max(firstVisibleRow - 1, 1);
}

bool CPointTableEditor::MenuOpens(bool rightButton, bool withModifier, int x, int y)
{
    return rightButton && !withModifier && x >= kMenuMinX && y >= kMenuMinY;
}

CPointTableEditor::BlockResult CPointTableEditor::Copy(const CellBlock &block)
{
    m_blocks.Copy(m_table, block);
    return m_blocks.HasBuffer() ? BlockResult::kDone : BlockResult::kNothing;
}

std::string CPointTableEditor::ClipboardText() const
{
    std::string text = m_blocks.BufferText();
    std::replace(text.begin(), text.end(), kBufferRowSeparator, kClipboardRowSeparator);
    static_assert(kClipboardCellSeparator == '\t', "the copy buffer already separates cells by a tab");
    return text;
}

CPointTableEditor::BlockResult CPointTableEditor::Paste(int currentRow, int currentColumn, bool servoOn)
{
    if (servoOn)
        return BlockResult::kServoOn;
    if (!m_blocks.HasBuffer())
        return BlockResult::kNothing;
    if (currentColumn != m_blocks.BufferFirstColumn())
        return BlockResult::kColumnMismatch;
    if (!m_table.IsStep(currentRow - 1))
        return BlockResult::kNothing;
    m_history.Record(m_table);
    m_blocks.Paste(m_table, currentRow, currentColumn);
    return BlockResult::kDone;
}

CPointTableEditor::BlockResult CPointTableEditor::PasteText(const std::string &text, int currentRow, int currentColumn,
                                                            bool servoOn)
{
    if (servoOn)
        return BlockResult::kServoOn;
    if (!m_table.IsStep(currentRow - 1) || !m_blocks.TakeText(text, currentColumn))
        return BlockResult::kNothing;
    return Paste(currentRow, currentColumn, servoOn);
}

CPointTableEditor::BlockResult CPointTableEditor::Delete(const CellBlock &block, bool servoOn)
{
    if (servoOn)
        return BlockResult::kServoOn;
    const CellBlock b = CPointBlockEditor::Normalise(block, m_table.StepCount());
    if (b.rowFirst > b.rowLast || std::max(b.colFirst, static_cast<int>(kColMode)) > b.colLast)
        return BlockResult::kNothing;
    m_history.Record(m_table);
    m_blocks.Delete(m_table, block);
    return BlockResult::kDone;
}

CPointTableEditor::BlockResult CPointTableEditor::Cut(const CellBlock &block, bool servoOn)
{
    if (servoOn)
        return BlockResult::kServoOn;
    if (Copy(block) != BlockResult::kDone)
        return BlockResult::kNothing;
    return Delete(block, servoOn);
}

bool CPointTableEditor::Undo()
{
    m_editing = false;
    return m_history.Undo(m_table);
}

bool CPointTableEditor::Redo()
{
    m_editing = false;
    return m_history.Redo(m_table);
}

void CPointTableEditor::TableReplaced()
{
    m_editing = false;
    m_history.Clear();
}

} // namespace kvl::points
