#include "points/CPointTableHistory.h"

namespace kvl::points {

bool CPointTableHistory::State::SameAs(const State &other) const
{
    if (records.size() != other.records.size() || cells != other.cells || commentMarks != other.commentMarks)
        return false;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!records[i].Equals(other.records[i]))
            return false;
    }
    return true;
}

CPointTableHistory::State CPointTableHistory::Take(const CPointTable &table)
{
    State state;
    const int count = table.StepCount();
    state.records.reserve(static_cast<size_t>(count));
    state.cells.reserve(static_cast<size_t>(count));
    state.commentMarks.reserve(static_cast<size_t>(count));
    for (int step = 0; step < count; ++step) {
        state.records.push_back(table.Working(step));
        CPointTable::CellRow row;
        for (int k = 0; k < kStepColumnCount; ++k)
            row[static_cast<size_t>(k)] = table.Cell(step, k);
        state.cells.push_back(row);
        state.commentMarks.push_back(table.Marked(step, kColComment));
    }
    return state;
}

void CPointTableHistory::Restore(const State &state, CPointTable &table)
{
    for (int step = 0; step < table.StepCount(); ++step) {
        const size_t i = static_cast<size_t>(step);
        table.Working(step) = state.records[i];
        const bool defined = !state.records[i].IsEmpty();
        for (int k = 0; k < kStepColumnCount; ++k) {
            table.SetCell(step, k, state.cells[i][static_cast<size_t>(k)]);
            if (k == kColComment)
                table.SetMarked(step, k, state.commentMarks[i]);
            else
                table.SetMarked(step, k, defined && !table.Cell(step, k).empty() && table.Differs(step, k));
        }
    }
}

bool CPointTableHistory::Step(std::vector<State> &from, std::vector<State> &to, CPointTable &table)
{
    State present = Take(table);
    while (!from.empty()) {
        State state = std::move(from.back());
        from.pop_back();
        if (state.records.size() != present.records.size()) {
            // Recorded before the table changed size (a new operation type without Clear).
            from.clear();
            return false;
        }
        if (state.SameAs(present))
            continue;
        Restore(state, table);
        to.push_back(std::move(present));
        return true;
    }
    return false;
}

void CPointTableHistory::Record(const CPointTable &table)
{
    State state = Take(table);
    m_redo.clear();
    if (!m_undo.empty() && m_undo.back().SameAs(state))
        return;
    m_undo.push_back(std::move(state));
    if (m_undo.size() > kDepth)
        m_undo.erase(m_undo.begin());
}

bool CPointTableHistory::Undo(CPointTable &table)
{
    return Step(m_undo, m_redo, table);
}

bool CPointTableHistory::Redo(CPointTable &table)
{
    return Step(m_redo, m_undo, table);
}

void CPointTableHistory::Clear()
{
    m_undo.clear();
    m_redo.clear();
}

} // namespace kvl::points
