#include "waveform/CWaveSeries.h"

#include <utility>

namespace kvl {

CWaveSeries::CWaveSeries(std::string name, uint32_t colour, int mode)
    : m_name(std::move(name)), m_colour(colour & 0xFFFFFF), m_mode(mode), m_axis(wave::AxisForMode(mode))
{
}

void CWaveSeries::SetXOffset(double offset)
{
    for (WavePoint &point : m_points)
        point.x = offset + (point.x - m_xOffset);
    m_xOffset = offset;
}

void CWaveSeries::SetYOffset(double offset)
{
    for (WavePoint &point : m_points)
        point.y = offset + (point.y - m_yOffset);
    m_yOffset = offset;
}

} // namespace kvl
