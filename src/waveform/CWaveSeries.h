#pragma once
// CWaveSeries: one line of the waveform chart as data, whatever draws it: name, colour, width,
// visible flag, channel mode, vertical axis, the stored points, the x and y offsets that the
// stored points carry, and the trigger attributes the chart draws (level line, first visible
// index). The live channels "CH0" and "CH1" and every series loaded from a file are of this kind.
// Owned by CWaveSeriesList; user-interface thread (or the CLI's main thread).
#include <cstdint>
#include <string>
#include <vector>

#include "waveform/WaveModes.h"

namespace kvl {

struct WavePoint {
    double x = 0.0;   // ms, including the series' x offset
    double y = 0.0;   // physical unit, including the series' y offset
};

// What the chart needs to draw a trigger on a series. The capture copies its trigger settings
// into the series of the trigger channel; firstVisible hides the points before a trigger.
struct WaveTriggerAttributes {
    double level = 0.0;
    uint32_t colour = 0;
    int width = 1;
    int direction = 1;            // 0 rising, 1 falling
    double position = 0.0;        // ms
    bool levelLineVisible = false;
    bool align = true;
    bool drawAllPoints = true;    // off: segments before firstVisible are not drawn
    int firstVisible = 0;
};

class CWaveSeries {
public:
    // Colours are 24-bit values with red in bits 0..7, green 8..15, blue 16..23.
    static constexpr uint32_t kRed = 0x0000FF;
    static constexpr uint32_t kGreen = 0x00FF00;

    CWaveSeries() = default;
    CWaveSeries(std::string name, uint32_t colour, int mode);

    const std::string &Name() const { return m_name; }
    void SetName(const std::string &name) { m_name = name; }
    uint32_t Colour() const { return m_colour; }
    void SetColour(uint32_t colour) { m_colour = colour & 0xFFFFFF; }
    int Width() const { return m_width; }
    void SetWidth(int width) { m_width = width; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    int Mode() const { return m_mode; }
    void SetMode(int mode) { m_mode = mode; }
    wave::ValueAxis Axis() const { return m_axis; }
    void SetAxis(wave::ValueAxis axis) { m_axis = axis; }
    // Attaches the series to the vertical axis of its mode.
    void AttachByMode() { m_axis = wave::AxisForMode(m_mode); }

    // Offsets: the stored points carry them, so changing one moves every stored point by the
    // difference (x = new offset + (x - old offset), likewise y).
    double XOffset() const { return m_xOffset; }
    double YOffset() const { return m_yOffset; }
    void SetXOffset(double offset);
    void SetYOffset(double offset);

    void Append(double x, double y) { m_points.push_back({x, y}); }
    void Reserve(std::size_t count) { m_points.reserve(count); }
    void Clear() { m_points.clear(); }
    int Count() const { return static_cast<int>(m_points.size()); }
    const WavePoint &Point(int i) const { return m_points[static_cast<std::size_t>(i)]; }
    const std::vector<WavePoint> &Points() const { return m_points; }

    WaveTriggerAttributes &Trigger() { return m_trigger; }
    const WaveTriggerAttributes &Trigger() const { return m_trigger; }

private:
    std::string m_name;
    uint32_t m_colour = 0;
    int m_width = 1;
    bool m_visible = true;
    int m_mode = wave::kModeNone;
    wave::ValueAxis m_axis = wave::ValueAxis::kPosition;
    double m_xOffset = 0.0;
    double m_yOffset = 0.0;
    std::vector<WavePoint> m_points;
    WaveTriggerAttributes m_trigger;
};

} // namespace kvl
