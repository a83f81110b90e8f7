#pragma once
// The point table of one axis window as data: the working table (what the user edits), the
// driver copy (the table as last read from or written to the controller), and the grid's cell
// texts and red marks, which can differ from the records (after a Read the comment column keeps
// what it showed). Steps are indexed from 0; the grid shows step s in row s + 1. Owned by the axis
// window (or the CLI); used on one thread only.
#include <array>
#include <string>
#include <vector>

#include "points/CKVL_VER2_ProgData.h"
#include "points/CStepRules.h"
#include "points/StepTypes.h"

namespace kvl::points {

class CPointTable {
public:
    using CellRow = std::array<std::string, kStepColumnCount>;

    // A working table of empty steps and a driver copy without steps (nothing read yet).
    explicit CPointTable(const CStepRules &rules);

    // Replaces the rules (operation type, decimals, online flag or parameters changed). The table
    // keeps its size until the next Reset.
    void SetRules(const CStepRules &rules) { m_rules = rules; }
    const CStepRules &Rules() const { return m_rules; }

    // Gives the working table as many empty records as the operation type has steps, clears the
    // cells of columns 1 to 16 and every mark and numbers column 0. The driver copy gets the same
    // unless keepDriver is set. (Online, the caller clears the controller's table when the driver
    // copy is reset.)
    void Reset(bool keepDriver);

    int StepCount() const { return static_cast<int>(m_working.size()); }
    bool IsStep(int step) const { return step >= 0 && step < StepCount(); }

    const CKVL_VER2_ProgData &Working(int step) const { return m_working.at(step); }
    CKVL_VER2_ProgData &Working(int step) { return m_working.at(step); }
    // Driver copy of a step; an empty record for a step it does not hold.
    const CKVL_VER2_ProgData &Driver(int step) const;
    bool DriverHoldsSteps() const { return !m_driver.empty(); }
    // Gives a driver copy without steps as many empty records as the working table (before a write).
    void EnsureDriverSized();
    void SetDriver(int step, const CKVL_VER2_ProgData &record);
    void SetDriverEmpty(int step);

    const std::string &Cell(int step, int k) const { return m_cells.at(step).at(k); }
    void SetCell(int step, int k, const std::string &text) { m_cells.at(step).at(k) = text; }
    bool Marked(int step, int k) const { return m_marks.at(step).at(k); }
    void SetMarked(int step, int k, bool marked) { m_marks.at(step).at(k) = marked; }

    // Commits an edited cell (rules of CStepRules::Commit), stores the final text in the cell and
    // the record, and marks the cell. Nothing happens for an invalid step.
    CommitResult CommitCell(int step, int k, const std::string &text);

    // Creates an empty step with the column defaults: factory values, then the whole row set from
    // the default texts; cells 1 to 15 marked. False when the step is not empty (nothing changes).
    bool CreateRow(int step);

    // Fills cells 0 .. lastColumn from the record in their text form (empty texts stay empty).
    void RefreshRow(int step, int lastColumn = kColComment);

    // Rebuilds the working record from the row's 17 cell texts (whole-row set) with the given
    // empty flag.
    void RebuildRecordFromCells(int step, bool empty);

    // Modified marking after a commit: offline every column but the comment; online, never the
    // comment, otherwise when the driver copy holds no steps, its step is empty, or the values differ.
    bool Differs(int step, int k) const;
    // Marking after a file load or a paste: offline every column but the comment; online, every
    // column (comment included) when the driver copy holds steps and its step is empty; otherwise
    // a column but the comment when the values differ (a driver copy without steps differs).
    bool DiffersAfterLoad(int step, int k) const;

    // Imports the text lines of a bulk read (controller numbering: step and jump + 1, jump 0 = end,
    // "A"/"I" modes). Both tables are reset first; cells 1 to 15 are cleared, the comment cells kept.
    // A line ";" ends the list; a line out of range or with an empty field is skipped. Returns the
    // number of steps taken.
    int ImportReadLines(const std::vector<std::string> &lines);
    // The same from one text with a line end after each line.
    int ImportReadLines(const std::string &text);

    // Edits neither saved nor written: the working table is measured against what it held when it
    // was last read, written, saved or loaded. Comments reach only files, so a Read or a Write
    // keeps the values (comments false) and a Save or a load keeps the comments too. A Reset or a
    // Read keeps what it leaves.
    void KeepEdits(bool comments);
    bool HasUnkeptEdits() const;

private:
    CStepRules m_rules;
    std::vector<CKVL_VER2_ProgData> m_working;
    std::vector<CKVL_VER2_ProgData> m_driver;
    std::vector<CellRow> m_cells;
    std::vector<std::array<bool, kStepColumnCount>> m_marks;
    std::vector<CKVL_VER2_ProgData> m_keptValues;
    std::vector<std::string> m_keptComments;
};

} // namespace kvl::points
