#include "waveform/CWaveDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kvl {

CWaveDisplay::CWaveDisplay(const CWaveformSettings::Values &settings)
    : m_timePerDivision(settings.time),
      m_positionPerDivision(settings.position),
      m_speedPerDivision(settings.speed),
      m_currentPerDivision(settings.current)
{
    SetInitialRange(kTime, m_timePerDivision);
    SetInitialRange(kPosition, m_positionPerDivision);
    SetInitialRange(kSpeed, std::trunc(m_speedPerDivision));
    SetInitialRange(kCurrent, m_currentPerDivision);
}

double CWaveDisplay::PerDivision(Axis axis) const
{
    switch (axis) {
    case kTime:
        return m_timePerDivision;
    case kPosition:
        return m_positionPerDivision;
    case kSpeed:
        return m_speedPerDivision;
    default:
        return m_currentPerDivision;
    }
}

void CWaveDisplay::SetInitialRange(Axis axis, double perDivision)
{
    m_ranges[axis] = {0.0, kDivisions * perDivision, perDivision};
}

bool CWaveDisplay::SetTimePerDivision(int v)
{
    if (v <= 0)
        return false;
    m_timePerDivision = v;
    ApplyPerDivision(kTime, v);
    return true;
}

bool CWaveDisplay::SetPerDivision(Axis axis, double v)
{
    if (axis == kTime)
        return SetTimePerDivision(static_cast<int>(v));
    // A value that is not a number is refused like a non-positive one.
    if (!(v > 0.0) || !std::isfinite(v))
        return false;
    if (axis == kPosition)
        m_positionPerDivision = v;
    else if (axis == kSpeed)
        m_speedPerDivision = v;
    else
        m_currentPerDivision = v;
    ApplyPerDivision(axis, v);
    return true;
}

void CWaveDisplay::ApplyPerDivision(Axis axis, double v)
{
    WaveAxisRange &range = m_ranges[axis];
    const double span = kDivisions * v / m_zoom;
    const double oldSpan = range.max - range.min;
    if (oldSpan > 0.0 && std::isfinite(oldSpan)) {
        // Scale the visible window about 0 so that it spans 10 divisions at the current zoom.
        const double c = span / oldSpan;
        range.min *= c;
        range.max *= c;
    } else {
        // A collapsed axis (per-division 0 from an empty settings file) cannot be scaled; it
        // opens from its minimum instead of becoming 0 x infinity.
        range.max = range.min + span;
    }
    range.tick = v / m_zoom;
}

std::string CWaveDisplay::FilledFieldText(const std::string &text)
{
    return text.empty() ? std::string(kEmptyFieldText) : text;
}

void CWaveDisplay::ZoomAxis(WaveAxisRange &range, double spanFactor, bool zoomingIn)
{
    range.max = range.min + (range.max - range.min) * spanFactor;
    const double span = range.max - range.min;
    const double ticksInSpan = span / range.tick;
    // Keep at most 10 ticks in view while the zoom is at or below 1.
    if (zoomingIn ? (m_zoom <= 1.0 && ticksInSpan <= kDivisions) : (m_zoom < 1.0 && ticksInSpan > kDivisions))
        range.tick = span / kDivisions;
}

bool CWaveDisplay::ZoomIn()
{
    if (!CanZoomIn())
        return false;
    m_zoom *= kZoomStep;
    for (Axis axis : {kPosition, kCurrent, kSpeed, kTime})
        ZoomAxis(m_ranges[axis], 1.0 / kZoomStep, true);
    return true;
}

bool CWaveDisplay::ZoomOut()
{
    if (!CanZoomOut())
        return false;
    m_zoom /= kZoomStep;
    for (Axis axis : {kPosition, kCurrent, kSpeed, kTime})
        ZoomAxis(m_ranges[axis], kZoomStep, false);
    return true;
}

bool CWaveDisplay::ZoomTimeAround(double t, bool in)
{
    if (in ? !CanZoomIn() : !CanZoomOut())
        return false;
    WaveAxisRange &range = m_ranges[kTime];
    const double span = range.max - range.min;
    // Where the pointer sits across the axis, 0 at the left edge and 1 at the right.
    const double share = (span > 0.0 && std::isfinite(t)) ? std::clamp((t - range.min) / span, 0.0, 1.0) : 0.0;
    const double anchor = range.min + share * span;
    m_zoom = in ? m_zoom * kZoomStep : m_zoom / kZoomStep;
    ZoomAxis(range, in ? 1.0 / kZoomStep : kZoomStep, in);
    const double newSpan = range.max - range.min;
    range.min = anchor - share * newSpan;
    range.max = range.min + newSpan;
    return true;
}

void CWaveDisplay::ResetZoom()
{
    m_zoom = 1.0;
    SetInitialRange(kTime, m_timePerDivision);
    SetInitialRange(kPosition, m_positionPerDivision);
    SetInitialRange(kSpeed, m_speedPerDivision);
    SetInitialRange(kCurrent, m_currentPerDivision);
}

std::string CWaveDisplay::ZoomText() const
{
    char text[32];
    if (m_zoom >= 1.0)
        std::snprintf(text, sizeof(text), "%.0fx", m_zoom);
    else
        std::snprintf(text, sizeof(text), "1/%.0fx", 1.0 / m_zoom);
    return text;
}

void CWaveDisplay::ShiftAxis(Axis axis, double delta)
{
    m_ranges[axis].min += delta;
    m_ranges[axis].max += delta;
}

void CWaveDisplay::ScrollValueAxes(double ticks)
{
    for (Axis axis : {kPosition, kSpeed, kCurrent})
        ShiftAxis(axis, ticks * m_ranges[axis].tick);
}

void CWaveDisplay::ScrollTimeTo(double t)
{
    const double d = m_timePerDivision;
    if (d <= 0.0 || !std::isfinite(t))
        return;
    WaveAxisRange &range = m_ranges[kTime];
    // Whole divisions at once rather than one step per loop: a late sample after a long run
    // would otherwise take millions of steps.
    if (range.min > t) {
        const double steps = std::ceil((range.min - t) / d);
        ShiftAxis(kTime, -steps * d);
        while (range.min > t)
            ShiftAxis(kTime, -d);
    }
    if (t > range.max + d) {
        const double steps = std::ceil((t - range.max - d) / d);
        ShiftAxis(kTime, steps * d);
        while (t > range.max + d)
            ShiftAxis(kTime, d);
    }
}

void CWaveDisplay::FollowTime(double t)
{
    const WaveAxisRange &range = m_ranges[kTime];
    if (t >= range.max + m_timePerDivision || t <= range.min)
        ScrollTimeTo(t);
}

CWaveformSettings::Values CWaveDisplay::Settings(int sampling) const
{
    CWaveformSettings::Values values;
    values.time = m_timePerDivision;
    values.position = m_positionPerDivision;
    values.speed = m_speedPerDivision;
    values.current = m_currentPerDivision;
    values.periodTimes = sampling;
    return values;
}

} // namespace kvl
