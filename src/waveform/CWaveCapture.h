#pragma once
// CWaveCapture: one waveform capture run of an axis, driven by ticks. Start reads the scales,
// works out the capture mask from the live series' modes and starts the controller's recording;
// each Poll (the window's 100 ms timer, or the CLI's loop) fetches one batch into two bounded
// buffers and converts the new samples into points of the live series, in ms and physical units;
// the run ends by the user's Stop, by the controller's finished flag or when the buffers are full.
// A software trigger on a level crossing of one live series hides what came before it and can
// shift both live series so that the crossing lies at the trigger position.
//
// No messages are shown: a refused start leaves the capture idle, a failed poll is retried at the
// next tick. A batch the controller sent but that never arrived intact is gone (the controller
// moves on), so the run keeps the ranges of sample indices it never received for the caller to
// show. The capture holds references to the command source, the series list and the display
// (all owned by the waveform window or the CLI's wave command), and never owns them.
// User-interface thread (or the CLI's main thread); the command source may dispatch window
// messages while it waits, so Start, Stop and Poll guard against being re-entered.
//
// Driving it: call Start; while IsPolling(), call Poll every kPollIntervalMs (a window timer, or
// a loop that waits out the interval); call Stop to end a run early.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/ServoTypes.h"

namespace kvl {

class CWaveDisplay;
class CWaveSeries;
class CWaveSeriesList;
class IWaveCommandSource;

// The trigger fields of the waveform window.
struct WaveTriggerSettings {
    static constexpr int kRising = 0;
    static constexpr int kFalling = 1;

    bool enabled = false;
    int channel = 0;          // 0 CH0, 1 CH1
    int direction = kFalling;
    double level = 0.0;       // in the trigger channel's unit
    uint32_t colour = 0;
    int widthIndex = 0;       // 0..9: line width 1..10
    double position = 0.0;    // ms
    bool align = true;
};

// Samples first .. first + count - 1 (per channel, counted from 0) that never arrived.
struct WaveGap {
    int32_t first = 0;
    int32_t count = 0;

    bool operator==(const WaveGap &) const = default;
};

class CWaveCapture {
public:
    static constexpr int kBufferSamples = 100000;      // per channel
    static constexpr int kPollIntervalMs = 100;
    static constexpr int kRedrawEverySamples = 50;
    static constexpr int kArmedFirstVisible = 400;
    // The sampling setting travels as an unsigned 16-bit value; 0 would put every sample at 0 ms.
    static constexpr int kMinSampling = 1;
    static constexpr int kMaxSampling = 65535;

    enum class StartResult {
        kStarted,
        kIgnored,        // busy, or a run is already going
        kScalesFailed,   // ReadWaveScales failed (LastResult() has its code)
        kNoChannel,      // the live series' modes ask for no channel
        kBadSampling,    // sampling outside 1..65535, nothing sent to start
        kStartRefused,   // StartWaveCapture failed or answered 0
    };
    enum class PollResult {
        kNotPolling,     // no run is polling; nothing was sent
        kRetry,          // failed exchange or empty batch; polling goes on
        kSamples,        // new samples converted; polling goes on
        kFinished,       // the run ended in this tick (controller, full buffers, or a deferred Stop)
    };

    CWaveCapture(IWaveCommandSource &source, CWaveSeriesList &series, CWaveDisplay &display);

    // Called every 50 converted samples and at the end of each conversion pass, and at Start.
    void SetRedrawHandler(std::function<void()> redraw) { m_redraw = std::move(redraw); }

    // Trigger fields changed: keeps them and copies them into the trigger channel's series.
    void SetTrigger(const WaveTriggerSettings &trigger);
    // The trigger channel radio changed: takes level, colour, width, direction, position and
    // align back from that channel's series.
    void SelectTriggerChannel(int channel);
    const WaveTriggerSettings &Trigger() const { return m_trigger; }
    void SetAutoScroll(bool on) { m_autoScroll = on; }
    bool AutoScroll() const { return m_autoScroll; }

    // Start pressed while idle. `sampling` is the sampling field's value (units of 0.1 ms).
    StartResult Start(long long sampling);
    // One tick of the poll timer.
    PollResult Poll();
    // Stop pressed while running: StopWaveCapture (result ignored), idle, remaining samples
    // converted. Pressed while a poll waits for its batch, the stop is carried out as soon as that
    // batch is in. Ignored while busy or idle. The caller keeps the display's per-division values
    // and the sampling as the app-wide settings.
    void Stop();

    bool IsRunning() const { return m_running; }
    bool IsBusy() const { return m_busy; }
    // Whether the poll timer should be running.
    bool IsPolling() const { return m_polling; }
    bool IsArmed() const { return m_armed; }
    // Result code of the last exchange made.
    int LastResult() const { return m_lastResult; }

    int Channels() const { return m_channels; }
    uint8_t CaptureMask() const { return m_mask; }
    int Sampling() const { return m_sampling; }
    const WaveScales &Scales() const { return m_scales; }
    double PeriodMs() const;
    int ReceivedCount() const { return m_received; }
    int PlottedCount() const { return m_plotted; }
    // Raw sample i of stream 0 or 1 as received.
    int32_t Sample(int stream, int i) const { return m_buffers[stream][static_cast<std::size_t>(i)]; }
    double LastSampleTime() const { return m_lastTime; }
    // The runs of sample indices missing between (or before) the batches received, in order.
    const std::vector<WaveGap> &Gaps() const { return m_gaps; }
    // Total samples per channel of all gaps.
    int64_t LostCount() const;
    bool TriggerFound(int channel) const { return m_triggerFound[channel]; }
    double TriggerTime(int channel) const { return m_triggerTime[channel]; }

private:
    struct Crossing {
        bool found = false;
        double time = 0.0;
    };

    void ReturnToIdle();
    void FinishByUser();
    int AppendBatch(const WaveBatch &batch, bool &finished);
    void NoteGap(int32_t firstIndex);
    void ProcessNewSamples();
    double Convert(int channel, int32_t sample, bool first);
    void CheckTrigger(int sampleIndex, double t);
    Crossing FindCrossing(const CWaveSeries &series, double t, double value) const;
    void CopyTriggerToSeries();
    void Redraw();

    IWaveCommandSource &m_source;
    CWaveSeriesList &m_series;
    CWaveDisplay &m_display;
    std::function<void()> m_redraw;

    WaveTriggerSettings m_trigger;
    bool m_autoScroll = false;

    bool m_running = false;
    bool m_busy = false;
    bool m_polling = false;
    bool m_inPoll = false;
    bool m_stopRequested = false;
    bool m_armed = false;
    int m_lastResult = 0;

    // The run: its modes as they were at Start, so that a mode edited during the run does not
    // change which stream a series reads or how it is converted.
    std::array<int, 2> m_runModes{};
    int m_channels = 0;
    uint8_t m_mask = 0;
    int m_sampling = 0;
    WaveScales m_scales;
    int32_t m_firstIndex = 0;
    int32_t m_commandBase = 0;
    int32_t m_actualBase = 0;

    std::array<std::vector<int32_t>, 2> m_buffers;
    int m_received = 0;
    int m_plotted = 0;
    int32_t m_nextIndex = 0;   // the index the next batch should start at
    std::vector<WaveGap> m_gaps;
    std::array<double, 2> m_runningValue{};
    std::array<double, 2> m_triggerTime{};
    std::array<bool, 2> m_triggerFound{};
    double m_lastTime = 0.0;
};

} // namespace kvl
