#pragma once
// CTuningResults: the results of the last ten tuning runs, one record of thirteen texts per run, in
// a ring (positions 1 to 10; 0 while empty; the eleventh run overwrites position 1), seen through a
// five-column view with a scroll position 0 to 5 and the newest record highlighted when in view.
// Plain data; the window's thread.
#include <array>
#include <string>
#include <vector>

namespace kvl::tuning {

class CTuningResults {
public:
    static constexpr int kRecords = 10;
    static constexpr int kRows = 13;
    static constexpr int kViewColumns = 5;
    static constexpr int kMaxScroll = kRecords - kViewColumns;

    using Record = std::array<std::string, kRows>;

    // Where a scroll bar action moves the view.
    enum class ScrollAction { kLineLeft, kLineRight, kPageLeft, kPageRight, kHome, kEnd };

    // The status values of a run as the table shows them: a positive value that is not a multiple
    // of 10 goes up to the next one (123 becomes 130, 120 stays).
    static int RoundUpToTen(int value);

    // Stores `record` at the next ring position and brings it into view.
    void Add(const Record &record);
    void Clear();
    void Scroll(ScrollAction action);
    void SetScroll(int position);   // dragging; limited to 0..5

    int RingPosition() const { return m_position; }
    int ScrollPosition() const { return m_scroll; }
    // The view column (1 to 5) of the newest record, 0 when it is out of view or there is none.
    int HighlightedColumn() const;
    // Record shown in view column j (0 to 4), and that column's heading ("%d" of its number).
    const Record &ColumnRecord(int column) const;
    std::string ColumnHeading(int column) const;
    const Record &RecordAt(int position) const;   // position 1 to 10

    // The table as tab-separated text for a report: a heading line (corner text, then the record
    // numbers of the stored records in ring order), then one line per row with its heading.
    std::string Tsv(const std::string &corner, const std::vector<std::string> &rowHeadings) const;

private:
    std::array<Record, kRecords> m_records{};
    int m_position = 0;
    int m_scroll = 0;
    int m_stored = 0;
};

} // namespace kvl::tuning
