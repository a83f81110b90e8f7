#include "waveform/CWaveSeriesList.h"

#include <algorithm>
#include <utility>

namespace kvl {

CWaveSeriesList::CWaveSeriesList(int maxList) : m_maxList(std::max(maxList, kLiveSeries))
{
    m_series.emplace_back("CH0", CWaveSeries::kRed, kInitialMode0);
    m_series.emplace_back("CH1", CWaveSeries::kGreen, kInitialMode1);
}

bool CWaveSeriesList::Remove(int row)
{
    if (!CanDelete(row))
        return false;
    m_series.erase(m_series.begin() + row);
    return true;
}

bool CWaveSeriesList::Add(CWaveSeries series)
{
    if (Count() >= m_maxList)
        return false;
    m_series.push_back(std::move(series));
    return true;
}

} // namespace kvl
