#pragma once
// Copy, cut, delete and paste of a block of grid cells of a point table, and the copy buffer they
// share (the block's text with cells separated by a tab and rows by a carriage return, its block
// and its first column). Text from other programs (a spreadsheet's cells on the clipboard) can
// become the buffer too, at the column it is pasted into. Owned by the axis window for its
// lifetime, one per window; used on the window's thread. The caller refuses these operations
// while the servo is on. Rows are grid rows: row r shows step r - 1.
#include <string>
#include <vector>

#include "config/CLanguageTexts.h"
#include "points/CPointCsvCheck.h"
#include "points/CPointTable.h"
#include "points/StepTypes.h"

namespace kvl::points {

enum class PasteResult {
    Pasted,
    BufferEmpty,    // nothing copied yet: nothing happens
    ColumnMismatch, // current column is not the copied block's first column: show PasteError()
    OutsideTable,   // the current row is not a step row
};

class CPointBlockEditor {
public:
    // The block with first ≤ last, cut to the step rows 1..N and the columns 0..16.
    static CellBlock Normalise(const CellBlock &block, int stepCount);
    // The cells of a block, cells joined by a tab, rows by a carriage return.
    static std::string BlockText(const CPointTable &table, const CellBlock &block);

    void Copy(const CPointTable &table, const CellBlock &block);

    // Whole rows (the block spans columns 1 to 16): the cells become empty and the steps are
    // cleared. Otherwise the cells get their column defaults in their text form, the rows stay
    // (or become) defined, and the cells are marked.
    void Delete(CPointTable &table, const CellBlock &block) const;

    void Cut(CPointTable &table, const CellBlock &block);

    // Makes tab-separated text of another program (rows ended by a line end or a carriage return
    // and line end; a last empty row dropped) the buffer, its first column `firstColumn`. False
    // and the buffer unchanged for text without a cell.
    bool TakeText(const std::string &text, int firstColumn);

    // Pastes the buffer at the current cell: same size, cut at the last row and column 16; each
    // row's record rebuilt from its cells; the step-number column is never overwritten. Marks as
    // after a file load. The pasted values then pass the step rules as a loaded file's do
    // (CPointLoadLimits): a value they change takes its committed text, stays marked and is
    // listed in LastLimited(); a choice text that names no entry takes the column default. The
    // other pasted texts stay as they were copied.
    PasteResult Paste(CPointTable &table, int currentRow, int currentColumn);
    // The values the last paste limited (`line` is the grid row).
    const std::vector<CsvLimitedValue> &LastLimited() const { return m_limited; }

    // ("IDS_PASTE_ERR", "Common") with the title ("IDS_WARN_TITLE", "Common").
    static StepMessage PasteError() { return {"IDS_PASTE_ERR", CLanguageTexts::kCommonSection}; }
    static StepMessage PasteErrorTitle() { return {"IDS_WARN_TITLE", CLanguageTexts::kCommonSection}; }

    bool HasBuffer() const { return m_hasBuffer; }
    const std::string &BufferText() const { return m_text; }
    const CellBlock &BufferBlock() const { return m_block; }
    int BufferFirstColumn() const { return m_block.colFirst; }

private:
    void LimitPastedRow(CPointTable &table, int step, int firstColumn, int lastColumn);

    bool m_hasBuffer = false;
    std::string m_text;
    CellBlock m_block;
    std::vector<CsvLimitedValue> m_limited;
};

} // namespace kvl::points
