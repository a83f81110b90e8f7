#include "tuning/CTuningResults.h"

#include <algorithm>

namespace kvl::tuning {

int CTuningResults::RoundUpToTen(int value)
{
    if (value > 0 && value % 10 != 0)
        return value + (10 - value % 10);
    return value;
}

void CTuningResults::Add(const Record &record)
{
    m_position = m_position % kRecords + 1;
    m_records[static_cast<size_t>(m_position - 1)] = record;
    m_stored = std::min(m_stored + 1, kRecords);
    const int newest = m_position - 1;
    if (newest < m_scroll)
        m_scroll = newest;
    else if (newest - m_scroll >= kViewColumns)
        m_scroll = newest - (kViewColumns - 1);
}

void CTuningResults::Clear()
{
    m_records = {};
    m_position = 0;
    m_scroll = 0;
    m_stored = 0;
}

void CTuningResults::Scroll(ScrollAction action)
{
    switch (action) {
    case ScrollAction::kLineLeft:
    case ScrollAction::kPageLeft:
        SetScroll(m_scroll - 1);
        break;
    case ScrollAction::kLineRight:
    case ScrollAction::kPageRight:
        SetScroll(m_scroll + 1);
        break;
    case ScrollAction::kHome:
        SetScroll(0);
        break;
    case ScrollAction::kEnd:
        SetScroll(kMaxScroll);
        break;
    }
}

void CTuningResults::SetScroll(int position)
{
    m_scroll = std::clamp(position, 0, kMaxScroll);
}

int CTuningResults::HighlightedColumn() const
{
    const int column = m_position - m_scroll;
    return column >= 1 && column <= kViewColumns ? column : 0;
}

const CTuningResults::Record &CTuningResults::ColumnRecord(int column) const
{
    return m_records[static_cast<size_t>(std::clamp(m_scroll + column, 0, kRecords - 1))];
}

std::string CTuningResults::ColumnHeading(int column) const
{
    return std::to_string(m_scroll + column + 1);
}

const CTuningResults::Record &CTuningResults::RecordAt(int position) const
{
    return m_records[static_cast<size_t>(std::clamp(position, 1, kRecords) - 1)];
}

std::string CTuningResults::Tsv(const std::string &corner, const std::vector<std::string> &rowHeadings) const
{
    std::string text = corner;
    for (int position = 1; position <= m_stored; ++position)
        text += '\t' + std::to_string(position);
    text += '\n';
    for (int row = 0; row < kRows; ++row) {
        text += row < static_cast<int>(rowHeadings.size()) ? rowHeadings[static_cast<size_t>(row)] : std::string();
        for (int position = 1; position <= m_stored; ++position)
            text += '\t' + RecordAt(position)[static_cast<size_t>(row)];
        text += '\n';
    }
    return text;
}

} // namespace kvl::tuning
