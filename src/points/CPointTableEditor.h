#pragma once
// CPointTableEditor: the editing rules of the axis window's grid without a grid. It decides what
// a double-click or a typed character on a cell does (with the servo on: move the start-step row;
// on an empty step: create it with the column defaults; otherwise open the column's editor), keeps
// the open edit and commits it through the step rules, works out where Tab goes, how the wheel
// scrolls and where the right-click menu may open, runs copy, paste, delete and cut on the point
// table (refused while the servo is on), and records every change for undo and redo. Rows are
// grid rows: row r shows step r - 1; row 0 is the header row and column 0 the step numbers.
// The table belongs to the axis window's model and outlives this object. Qt-free; the window's
// thread.
#include <string>
#include <vector>

#include "points/CPointBlockEditor.h"
#include "points/CPointTable.h"
#include "points/CPointTableHistory.h"
#include "points/CStepRules.h"
#include "points/StepTypes.h"

namespace kvl::points {

class CPointTableEditor {
public:
    // The grid scrolls when Tab moves below this many visible rows.
    static constexpr int kVisibleRows = 17;
    // The right-click menu opens only this far right of and below the grid's top-left corner.
    static constexpr int kMenuMinX = 30;
    static constexpr int kMenuMinY = 36;

    enum class Opened { kNothing, kStartRowMoved, kRowCreated, kEditor };
    // What opening a cell did; for kEditor, the editor to show and what it starts with.
    struct OpenResult {
        Opened what = Opened::kNothing;
        int row = 0;
        int column = 0;
        CellEditor editor;
        std::string text;   // the edit's starting text
        int choice = -1;    // the choice list's starting entry
        bool caretAtEnd = false;
    };

    enum class BlockResult {
        kDone,
        kServoOn,        // refused: the servo is on
        kNothing,        // nothing to do (empty copy buffer, no step under the cell)
        kColumnMismatch, // paste into another column than the copied one: show the paste error
    };

    struct CellPos {
        int row = 0;
        int column = 0;
        bool operator==(const CellPos &other) const = default;
    };

    explicit CPointTableEditor(CPointTable &table);

    // Double-click, or Enter / Escape with no editor open, on (row, column).
    OpenResult Open(int row, int column, bool servoOn);
    // A typed character on a cell without an open editor: the same, and the editor starts from
    // the character (a choice list at the first entry beginning with it in upper case, an edit that
    // takes it with that character alone).
    OpenResult OpenTyped(int row, int column, char32_t c, bool servoOn);
    // Tab's own opening of column 1 or 6: only an editor, never a new row or a start-step move.
    OpenResult OpenAfterTab(int row, int column, bool servoOn);

    bool Editing() const { return m_editing; }
    CellPos EditCell() const { return m_edit; }
    // Commits the open edit with the editor's text (a choice list gives its entry's text). Nothing
    // when no edit is open. The edit is closed before the rules run.
    CommitResult Commit(const std::string &text);
    // Closes the open edit without a commit (the table was reset under it).
    void Abandon() { m_editing = false; }

    // The cell Tab moves to: columns 1 to 7 one to the right, column 8 to column 1 of the next row
    // (when there is one), anything else stays.
    static CellPos TabTarget(CellPos from, int rowCount);
    // Whether Tab's new cell opens its editor at once (columns 1 and 6).
    static bool TabOpens(int column) { return column == kColMode || column == kColPush; }
    // The first visible row after one wheel event: a delta of 0 or less scrolls one row down,
    // a positive one one row up, never above row 1 or past the last row.
    static int WheelFirstRow(int firstVisibleRow, int delta, int rowCount);
    // Whether a mouse press opens the block menu: the right button alone (no Shift, Ctrl or Alt),
    // at least kMenuMinX right of and kMenuMinY below the grid's top-left corner.
    static bool MenuOpens(bool rightButton, bool withModifier, int x, int y);

    // Block operations on the grid's selection (any corner order).
    BlockResult Copy(const CellBlock &block);
    BlockResult Paste(int currentRow, int currentColumn, bool servoOn);
    // Paste of another program's tab-separated text at the current cell: it becomes the buffer
    // (starting at the current column) and is pasted by the same rules.
    BlockResult PasteText(const std::string &text, int currentRow, int currentColumn, bool servoOn);
    BlockResult Delete(const CellBlock &block, bool servoOn);
    BlockResult Cut(const CellBlock &block, bool servoOn);
    // The values the last paste limited, to be listed in one message.
    const std::vector<CsvLimitedValue> &PasteLimited() const { return m_blocks.LastLimited(); }
    // The last copied block for other programs: cells separated by a tab, rows by a line end.
    std::string ClipboardText() const;
    const CPointBlockEditor &Buffer() const { return m_blocks; }

    // A change made elsewhere is about to happen (teach, file load): recorded for undo.
    void RecordChange() { m_history.Record(m_table); }
    bool Undo();
    bool Redo();
    // A Read from the controller or a new operation type: the history ends and an open edit closes.
    void TableReplaced();
    CPointTableHistory &History() { return m_history; }

private:
    bool StepDefined(int row) const;
    OpenResult OpenEditor(int row, int column);

    CPointTable &m_table;
    CPointBlockEditor m_blocks;
    CPointTableHistory m_history;
    bool m_editing = false;
    CellPos m_edit;
};

} // namespace kvl::points
