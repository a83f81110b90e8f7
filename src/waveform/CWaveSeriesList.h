#pragma once
// CWaveSeriesList: the series of the waveform chart in chart order. Rows 0 and 1 are the live
// channels "CH0" (red, actual speed) and "CH1" (green, actual current) and always exist; later
// rows are series loaded from files. MaxList bounds the number of rows; the rules of the series
// list's buttons (open, delete) live here. Owned by the waveform window (or the CLI's wave
// command); user-interface thread.
#include <vector>

#include "waveform/CWaveSeries.h"

namespace kvl {

class CWaveSeriesList {
public:
    static constexpr int kLiveSeries = 2;
    static constexpr int kDefaultMaxList = 6;
    // A loaded file adds two series; Open needs room for both.
    static constexpr int kSeriesPerFile = 2;
    static constexpr int kInitialMode0 = wave::kModeActualSpeed;
    static constexpr int kInitialMode1 = wave::kModeActualCurrent;

    // maxList below kLiveSeries is raised to it: the live channels always have their rows.
    explicit CWaveSeriesList(int maxList = kDefaultMaxList);

    int MaxList() const { return m_maxList; }
    int Count() const { return static_cast<int>(m_series.size()); }
    CWaveSeries &At(int row) { return m_series[static_cast<std::size_t>(row)]; }
    const CWaveSeries &At(int row) const { return m_series[static_cast<std::size_t>(row)]; }
    CWaveSeries &Live(int channel) { return At(channel); }
    const CWaveSeries &Live(int channel) const { return At(channel); }

    // Open is offered while MaxList - count >= 2.
    bool CanOpen() const { return m_maxList - Count() >= kSeriesPerFile; }
    // Only loaded series (row 2 and later) can be deleted.
    bool CanDelete(int row) const { return row >= kLiveSeries && row < Count(); }
    // Removes a loaded series; false (nothing changes) for a live or unknown row.
    bool Remove(int row);
    // Appends a loaded series; false when the list already holds MaxList series.
    bool Add(CWaveSeries series);

private:
    int m_maxList;
    std::vector<CWaveSeries> m_series;
};

} // namespace kvl
