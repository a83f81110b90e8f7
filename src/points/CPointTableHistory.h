#pragma once
// Undo and redo of the changes to an axis window's working table: cell commits, new rows, paste,
// delete, cut, teach and file loads. The caller records the table just before each change; Undo
// puts the last recorded state back and Redo the one Undo left. Only the working table and its
// cells are kept: the driver copy is never touched, and after Undo or Redo the red marks follow
// the comparison with the driver copy as it is then. A recorded state equal to the table when it
// is undone (a change that changed nothing) is passed over, so every Undo the user sees changes
// something. A Read from the controller and a change of operation type end the history (Clear).
// Owned by the axis window, one per window; the window's thread.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "points/CPointTable.h"

namespace kvl::points {

class CPointTableHistory {
public:
    // States kept for Undo; the oldest goes first.
    static constexpr size_t kDepth = 100;

    // Records the table as it is before a change. Ends every Redo.
    void Record(const CPointTable &table);
    // Puts the last recorded state back (the present one becomes redoable). False when nothing
    // is left to undo, or the table's step count is no longer the recorded one.
    bool Undo(CPointTable &table);
    // Puts back the state the last Undo left. False when nothing is left to redo.
    bool Redo(CPointTable &table);
    void Clear();

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }

private:
    struct State {
        std::vector<CKVL_VER2_ProgData> records;
        std::vector<CPointTable::CellRow> cells;
        // The comment's red mark: the one mark that follows no value comparison.
        std::vector<bool> commentMarks;
        bool SameAs(const State &other) const;
    };
    static State Take(const CPointTable &table);
    static void Restore(const State &state, CPointTable &table);
    // Moves from `from` to `to` past states equal to the table; false when none differs.
    static bool Step(std::vector<State> &from, std::vector<State> &to, CPointTable &table);

    std::vector<State> m_undo;
    std::vector<State> m_redo;
};

} // namespace kvl::points
