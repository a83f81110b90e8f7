#pragma once
// CWaveDisplay: the display scaling of the waveform chart as state and rules, without drawing:
// the time axis and the three vertical axes (range and tick interval), the per-division values
// they follow (the chart always shows 10 divisions), the zoom factor between 1/32 and 8, the
// half-tick scroll steps and the whole-division scroll that follows a capture. The chart adapter
// reads the ranges after each call and redraws. Owned by the waveform window (or the CLI's wave
// command); user-interface thread.
#include <array>
#include <string>

#include "config/CWaveformSettings.h"

namespace kvl {

struct WaveAxisRange {
    double min = 0.0;
    double max = 0.0;
    double tick = 0.0;
};

class CWaveDisplay {
public:
    enum Axis { kTime = 0, kPosition, kSpeed, kCurrent, kAxisCount };

    static constexpr int kDivisions = 10;
    static constexpr double kZoomMax = 8.0;
    static constexpr double kZoomMin = 1.0 / 32.0;
    static constexpr double kZoomStep = 2.0;
    // What an emptied per-division field becomes.
    static constexpr char kEmptyFieldText[] = "1";

    // Per-division values from the app-wide waveform settings; the initial ranges run from 0 over
    // 10 divisions, the speed axis with its per-division value cut to an integer.
    explicit CWaveDisplay(const CWaveformSettings::Values &settings);

    const WaveAxisRange &Range(Axis axis) const { return m_ranges[axis]; }
    int TimePerDivision() const { return m_timePerDivision; }
    // The axis' per-division value (the time axis' as a double).
    double PerDivision(Axis axis) const;

    // A per-division field was edited. v > 0: the axis' span becomes 10 divisions at the current
    // zoom, scaled about 0, and its ticks v / zoom; true. v <= 0: nothing changes; false (the
    // window then puts the previous time value back into the time field).
    bool SetTimePerDivision(int v);
    bool SetPerDivision(Axis axis, double v);
    // The text a per-division field keeps after an edit: an emptied field becomes "1".
    static std::string FilledFieldText(const std::string &text);

    // Zoom in (x2) or out (/2) on all four axes; false (nothing changes) beyond 8 or 1/32.
    bool ZoomIn();
    bool ZoomOut();
    // Zoom 1 and every axis back to 10 divisions from 0 at the current per-division values.
    void ResetZoom();
    double Zoom() const { return m_zoom; }
    bool CanZoomIn() const { return m_zoom < kZoomMax; }
    bool CanZoomOut() const { return m_zoom > kZoomMin; }
    // The mouse wheel: zooms in (x2) or out (/2) on the time axis alone, keeping the time t under
    // the pointer where it is; the same zoom factor and limits as the buttons. False (nothing
    // changes) beyond 8 or 1/32.
    bool ZoomTimeAround(double t, bool in);
    // Dragging the chart: moves the time axis by `delta` ms.
    void PanTime(double delta) { ShiftAxis(kTime, delta); }
    // "2x", "1x", or "1/4x" below 1.
    std::string ZoomText() const;

    // Half a tick: up and down move the three vertical axes, left and right the time axis.
    void ScrollUp() { ScrollValueAxes(+0.5); }
    void ScrollDown() { ScrollValueAxes(-0.5); }
    void ScrollRight() { ShiftAxis(kTime, +0.5 * m_ranges[kTime].tick); }
    void ScrollLeft() { ShiftAxis(kTime, -0.5 * m_ranges[kTime].tick); }

    // Moves the time axis in whole divisions (the time per division) until t lies within
    // (min, max + one division], keeping the span. Does nothing without a positive time per
    // division or for a time that is not finite.
    void ScrollTimeTo(double t);
    // Auto-scroll during a capture: scrolls to t when t >= max + one division or t <= min.
    void FollowTime(double t);

    // The values to keep as the app-wide waveform settings, with the run's sampling setting.
    CWaveformSettings::Values Settings(int sampling) const;

private:
    void SetInitialRange(Axis axis, double perDivision);
    void ApplyPerDivision(Axis axis, double v);
    void ShiftAxis(Axis axis, double delta);
    void ScrollValueAxes(double ticks);
    void ZoomAxis(WaveAxisRange &range, double spanFactor, bool zoomingIn);

    int m_timePerDivision = 0;
    double m_positionPerDivision = 0.0;
    double m_speedPerDivision = 0.0;
    double m_currentPerDivision = 0.0;
    double m_zoom = 1.0;
    std::array<WaveAxisRange, kAxisCount> m_ranges{};
};

} // namespace kvl
