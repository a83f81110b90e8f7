#pragma once
// CRogModel: the state and rules of the waveform window of one axis, without a window. It owns the
// chart's series list, its display scaling and the capture run over them, and adds what the window
// offers around them: the Start rule (never offline, never when the axis' model-match flag was set
// at opening), the Start/Stop press with its busy handling, the poll tick, the sampling field, the
// per-division fields, zoom, scroll, wheel zoom and drag, the series list's rows and buttons, the
// line properties, saving and loading runs, the app-wide waveform settings kept on Stop, the count
// of samples lost in a run, the gaps the chart leaves where samples are missing, and the cursor
// readout.
// Messages (a file that could not be saved or loaded) go out through the hooks. Owned by the
// waveform window; the thread that makes the exchanges (the user-interface thread). The command
// source may dispatch window messages while it waits for a batch; the capture guards against
// being re-entered.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/CWaveformSettings.h"
#include "waveform/CWaveCapture.h"
#include "waveform/CWaveColourRandom.h"
#include "waveform/CWaveDisplay.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl {

class CLanguageTexts;
class IWaveCommandSource;
struct CAppValues;

class CRogModel {
public:
    static constexpr char kSection[] = "IDD_KVL_ROG_DIALOG";
    static constexpr char kPropertySection[] = "IDD_KVL_ROGCHART_DIALOG";
    static constexpr int kSamplingMaxChars = 10;
    static constexpr int kPollIntervalMs = CWaveCapture::kPollIntervalMs;
    static constexpr int kWidthMin = 1;
    static constexpr int kWidthMax = 10;
    // Two points further apart than this many sampling periods have lost samples between them.
    static constexpr double kGapPeriods = 1.5;
    // ("IDS_ROG_LOST", kSection): "%1 samples lost", and the file too large for a run.
    static constexpr char kLostKey[] = "IDS_ROG_LOST";
    static constexpr char kLostBuiltIn[] = "%1 samples lost";
    static constexpr char kTooLargeKey[] = "IDS_ROG_FILE_TOO_LARGE";
    static constexpr char kTooLargeBuiltIn[] = "The file holds more points than a run can have.";

    struct Identity {
        int axis = 0;
        std::string model;     // the axis' model string ("MDA-Z" is the rotary one)
        bool offline = false;
    };

    // What the window lends the model. Every hook may be empty.
    struct Hooks {
        std::function<void()> changed;                       // controls and list: refresh the view
        std::function<void()> redraw;                        // chart data or ranges changed
        std::function<void(const std::string &text)> message;
        // A failure the user must act on (a file that could not be saved): shown as a warning.
        std::function<void(const std::string &text)> warning;
    };

    // The line property window's fields.
    struct LineProperty {
        std::string name;
        int mode = 0;
        double offset = 0.0;   // y offset, in the mode's unit
        uint32_t colour = 0;
        int width = 1;
        bool visible = true;
    };

    // One line of the cursor readout: a visible series' value at the pointer's time.
    struct ReadoutLine {
        int row = 0;
        std::string name;
        uint32_t colour = 0;
        double value = 0.0;
        std::string unit;
    };

    // `settings` holds the app-wide waveform settings (the display starts from them, Stop stores
    // into them); `values` gives the model-match flag and the access level of the axis.
    CRogModel(IWaveCommandSource &source, CWaveformSettings &settings, CAppValues &values,
              const CLanguageTexts &texts, Identity identity, int maxList, Hooks hooks = {});
    ~CRogModel();

    const Identity &GetIdentity() const { return m_identity; }
    CWaveSeriesList &Series() { return m_series; }
    const CWaveSeriesList &Series() const { return m_series; }
    CWaveDisplay &Display() { return m_display; }
    const CWaveDisplay &Display() const { return m_display; }
    CWaveCapture &Capture() { return m_capture; }
    const CWaveCapture &Capture() const { return m_capture; }

    // --- capture
    // Fixed at opening: offline, or the model-match flag set, keeps Start disabled for good.
    bool StartAllowed() const { return m_startAllowed; }
    bool Running() const { return m_capture.IsRunning(); }
    // A start or stop exchange is in progress: the series list, its buttons, the trigger check box
    // and Start/Stop are disabled.
    bool Busy() const { return m_capture.IsBusy() || m_starting; }
    // Start/Stop: starts a run with the sampling field's value, or stops the running one and keeps
    // the display's per-division values and the sampling field as the app-wide settings. Ignored
    // while busy, and Start while not allowed.
    void PressStartStop();
    // The poll timer's tick; true while the timer should run on.
    bool Tick();
    bool Polling() const { return m_capture.IsPolling(); }
    // The sampling field (digits only, at most 10), initialised from the app-wide setting.
    const std::string &SamplingText() const { return m_samplingText; }
    void SetSamplingText(const std::string &text);
    // "Start" or "Stop" caption key of the button.
    const char *StartStopKey() const;
    // Samples per channel lost in the last run, and the window's words for it ("" when none).
    int64_t LostSamples() const { return m_capture.LostCount(); }
    std::string LostText() const;

    // --- trigger and auto-scroll
    void SetTrigger(const WaveTriggerSettings &trigger);
    void SelectTriggerChannel(int channel);
    const WaveTriggerSettings &Trigger() const { return m_capture.Trigger(); }
    void SetAutoScroll(bool on) { m_capture.SetAutoScroll(on); }
    // The trigger channel's unit ("" for mode 0 or 9).
    std::string TriggerUnit() const;

    // --- display
    // A per-division field edited: returns the text the field keeps (an emptied field becomes
    // "1"; a refused time value puts the previous time back).
    std::string EditPerDivision(CWaveDisplay::Axis axis, const std::string &text);
    std::string PerDivisionText(CWaveDisplay::Axis axis) const;
    void ZoomLarge();
    void ZoomSmall();
    void ZoomReset();
    void Scroll(int dx, int dy);    // -1, 0 or +1 each: left/right, down/up
    // The mouse wheel over the chart at time t, and a drag of the chart by `delta` ms.
    void WheelZoom(double t, bool in);
    void Drag(double delta);

    // --- series list
    int RowCount() const { return m_series.Count(); }
    // Column 0 name, 1 mode name, 2 offset by mode, 3 empty (colour), 4 width.
    std::string RowText(int row, int column) const;
    std::string ModeName(int mode) const;
    bool CanOpen() const { return !Busy() && m_series.CanOpen(); }
    bool CanDelete(int row) const { return !Busy() && m_series.CanDelete(row); }
    bool Delete(int row);
    LineProperty PropertyOf(int row) const;
    void ApplyProperty(int row, const LineProperty &property);
    // The line property window's mode list: its length, and whether it may be changed (access
    // level 1 or 2 only).
    int PropertyModeCount() const;
    bool ModeEditable() const;

    // --- files
    // Writes the live channels; a failure is said as a warning naming the file and the cause.
    bool Save(const std::string &path);
    // Adds the run of a file as two series; a failure is said. False when nothing was added.
    bool Open(const std::string &path);

    // --- chart
    // The sampling period a series' points follow: the run's for the live series, the first step
    // of a loaded series; 0 when unknown.
    double PeriodOf(int row) const;
    // Whether samples are missing between two neighbouring points (no line is drawn across).
    static bool IsGap(double previousX, double x, double period);
    // Where point i of a series is drawn from: all its points, or from the trigger's first-visible
    // index when the series does not draw all.
    static int FirstDrawn(const CWaveSeries &series);
    // The readout at time t (ms, as the time axis shows it): each visible series with a value there.
    std::vector<ReadoutLine> Readout(double t) const;
    std::string ReadoutText(double t) const;

private:
    void Start();
    void Stop();
    void Changed() const;
    void Redraw() const;
    void Message(const std::string &text) const;
    std::string CommonText(const char *key) const;
    std::string Text(const char *key, const char *builtIn) const;
    bool ValueAt(int row, double t, double &value) const;

    CWaveformSettings &m_settings;
    CAppValues &m_values;
    const CLanguageTexts &m_texts;
    Identity m_identity;
    Hooks m_hooks;
    bool m_startAllowed = false;
    bool m_starting = false;
    std::string m_samplingText;
    CWaveSeriesList m_series;
    CWaveDisplay m_display;
    CWaveColourRandom m_random;
    CWaveCapture m_capture;
};

} // namespace kvl
