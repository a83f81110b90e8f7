#include "waveform/CWaveCapture.h"

#include <algorithm>

#include "link/ResultCode.h"
#include "waveform/CWaveDisplay.h"
#include "waveform/CWaveSeriesList.h"
#include "waveform/IWaveCommandSource.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr int kWidthIndexMax = 9;

} // namespace

CWaveCapture::CWaveCapture(IWaveCommandSource &source, CWaveSeriesList &series, CWaveDisplay &display)
    : m_source(source), m_series(series), m_display(display)
{
    // Preallocated once: a run never allocates sample memory while it polls.
    for (auto &buffer : m_buffers)
        buffer.assign(kBufferSamples, 0);
}

double CWaveCapture::PeriodMs() const { return m_scales.timeStep * m_sampling * kMsPerSecond; }

void CWaveCapture::Redraw()
{
    if (m_redraw)
        m_redraw();
}

// ---- Trigger settings ---------------------------------------------------------------------------

void CWaveCapture::SetTrigger(const WaveTriggerSettings &trigger)
{
    m_trigger = trigger;
    m_trigger.channel = std::clamp(trigger.channel, 0, 1);
    m_trigger.widthIndex = std::clamp(trigger.widthIndex, 0, kWidthIndexMax);
    CopyTriggerToSeries();
}

void CWaveCapture::SelectTriggerChannel(int channel)
{
    m_trigger.channel = std::clamp(channel, 0, 1);
    const WaveTriggerAttributes &attributes = m_series.Live(m_trigger.channel).Trigger();
    m_trigger.level = attributes.level;
    m_trigger.colour = attributes.colour;
    m_trigger.widthIndex = std::clamp(attributes.width - 1, 0, kWidthIndexMax);
    m_trigger.direction = attributes.direction;
    m_trigger.position = attributes.position;
    m_trigger.align = attributes.align;
}

void CWaveCapture::CopyTriggerToSeries()
{
    // Only the trigger channel draws a level line; both live series hide what precedes a trigger.
    for (int channel = 0; channel < CWaveSeriesList::kLiveSeries; ++channel) {
        WaveTriggerAttributes &live = m_series.Live(channel).Trigger();
        live.levelLineVisible = false;
        live.drawAllPoints = !m_trigger.enabled;
    }
    WaveTriggerAttributes &attributes = m_series.Live(m_trigger.channel).Trigger();
    attributes.level = m_trigger.level;
    attributes.colour = m_trigger.colour;
    attributes.width = m_trigger.widthIndex + 1;
    attributes.direction = m_trigger.direction;
    attributes.position = m_trigger.position;
    attributes.align = m_trigger.align;
    attributes.levelLineVisible = m_trigger.enabled;
}

// ---- Start, poll, stop --------------------------------------------------------------------------

CWaveCapture::StartResult CWaveCapture::Start(long long sampling)
{
    if (m_busy || m_running)
        return StartResult::kIgnored;
    CWaveSeries &series0 = m_series.Live(0);
    CWaveSeries &series1 = m_series.Live(1);
    m_runModes = {series0.Mode(), series1.Mode()};
    m_armed = m_trigger.enabled && (m_runModes[0] != wave::kModeNone || m_runModes[1] != wave::kModeNone);
    for (CWaveSeries *series : {&series0, &series1}) {
        series->Clear();
        series->AttachByMode();
        series->Reserve(kBufferSamples);
    }
    Redraw();

    m_busy = true;
    m_running = true;
    m_received = 0;
    m_plotted = 0;
    m_nextIndex = 0;
    m_gaps.clear();
    m_lastTime = 0.0;
    m_runningValue = {};
    m_triggerTime = {};
    m_triggerFound = {};
    if (m_armed) {
        series0.Trigger().firstVisible = kArmedFirstVisible;
        series1.Trigger().firstVisible = kArmedFirstVisible;
    }

    m_scales = WaveScales{};
    m_lastResult = m_source.ReadWaveScales(m_scales);
    if (m_lastResult != kResultOk) {
        ReturnToIdle();
        return StartResult::kScalesFailed;
    }
    const wave::CaptureRequest request = wave::CaptureRequestFor(m_runModes[0], m_runModes[1]);
    m_mask = request.mask;
    m_channels = request.channels;
    if (m_channels != 1 && m_channels != 2) {
        ReturnToIdle();
        return StartResult::kNoChannel;
    }
    // A value beyond 16 bits would reach the controller cut short while the time base used the
    // full value; such a run is refused before anything is started.
    if (sampling < kMinSampling || sampling > kMaxSampling) {
        ReturnToIdle();
        return StartResult::kBadSampling;
    }
    m_sampling = static_cast<int>(sampling);
    uint8_t status = 0;
    m_lastResult = m_source.StartWaveCapture(static_cast<uint16_t>(m_sampling), m_mask, status);
    if (m_lastResult != kResultOk || status == 0) {
        ReturnToIdle();
        return StartResult::kStartRefused;
    }
    m_polling = true;
    m_busy = false;
    return StartResult::kStarted;
}

void CWaveCapture::ReturnToIdle()
{
    m_running = false;
    m_polling = false;
    if (m_received > 0)
        ProcessNewSamples();
    m_busy = false;
}

CWaveCapture::PollResult CWaveCapture::Poll()
{
    if (!m_polling || m_inPoll)
        return PollResult::kNotPolling;
    // The timer stops for the length of the tick and starts again at its end unless the run ended.
    m_polling = false;
    m_inPoll = true;
    WaveBatch batch;
    m_lastResult = m_source.ReadWaveData(m_channels, batch);
    m_inPoll = false;

    const bool ok = m_lastResult == kResultOk;
    bool finished = ok && batch.finished;
    const int arrived = ok ? AppendBatch(batch, finished) : 0;

    if (m_stopRequested) {
        m_stopRequested = false;
        FinishByUser();
        return PollResult::kFinished;
    }
    if (arrived == 0 && !finished) {
        m_polling = true;
        return PollResult::kRetry;
    }
    if (!finished) {
        ProcessNewSamples();
        m_polling = true;
        return PollResult::kSamples;
    }
    uint8_t status = 0;
    m_busy = true;
    m_source.StopWaveCapture(status);
    m_busy = false;
    m_running = false;
    if (arrived > 0)
        ProcessNewSamples();
    return PollResult::kFinished;
}

void CWaveCapture::Stop()
{
    if (m_busy || !m_running)
        return;
    if (m_inPoll) {
        // The command source is waiting for a batch and dispatched this press; a second exchange
        // now would be refused, and the poll would start the timer again after it.
        m_stopRequested = true;
        return;
    }
    FinishByUser();
}

void CWaveCapture::FinishByUser()
{
    m_polling = false;
    m_busy = true;
    uint8_t status = 0;
    m_source.StopWaveCapture(status);
    m_busy = false;
    m_running = false;
    if (m_received > 0)
        ProcessNewSamples();
}

int CWaveCapture::AppendBatch(const WaveBatch &batch, bool &finished)
{
    // Never trust the count beyond the samples actually handed over.
    int count = std::max(batch.count, 0);
    count = std::min(count, static_cast<int>(batch.channel1.size()));
    if (m_channels == 2)
        count = std::min(count, static_cast<int>(batch.channel2.size()));
    if (count > 0) {
        NoteGap(batch.firstIndex);
        m_firstIndex = batch.firstIndex;
        m_commandBase = batch.commandBase;
        m_actualBase = batch.actualBase;
    }
    int arrived = 0;
    for (int k = 0; k < count && m_received < kBufferSamples; ++k) {
        const auto index = static_cast<std::size_t>(m_received);
        m_buffers[0][index] = batch.channel1[static_cast<std::size_t>(k)];
        if (m_channels == 2)
            m_buffers[1][index] = batch.channel2[static_cast<std::size_t>(k)];
        ++m_received;
        ++arrived;
    }
    if (count > 0)
        m_nextIndex = batch.firstIndex + arrived;
    if (m_received >= kBufferSamples)
        finished = true;
    return arrived;
}

void CWaveCapture::NoteGap(int32_t firstIndex)
{
    // A batch that starts before the expected index repeats samples; only a jump ahead loses any.
    if (firstIndex > m_nextIndex)
        m_gaps.push_back({m_nextIndex, firstIndex - m_nextIndex});
}

int64_t CWaveCapture::LostCount() const
{
    int64_t lost = 0;
    for (const WaveGap &gap : m_gaps)
        lost += gap.count;
    return lost;
}

// ---- Conversion ---------------------------------------------------------------------------------

double CWaveCapture::Convert(int channel, int32_t sample, bool first)
{
    double &value = m_runningValue[static_cast<std::size_t>(channel)];
    switch (m_runModes[static_cast<std::size_t>(channel)]) {
    case wave::kModeActualPosition:
        // Position samples are increments summed from the batch's base.
        if (first)
            value = m_actualBase * m_scales.actualPositionScale;
        value += sample * m_scales.actualPositionScale;
        break;
    case wave::kModePositionCommand:
        if (first)
            value = m_commandBase * m_scales.commandPositionScale;
        value += sample * m_scales.commandPositionScale;
        break;
    case wave::kModePositionDeviation:
        value = sample * m_scales.commandPositionScale;
        break;
    case wave::kModeActualSpeed:
    case wave::kModeSpeedCommand:
    case wave::kModeSpeedDeviation:
        value = sample * m_scales.speedScale;
        break;
    case wave::kModeActualCurrent:
    case wave::kModeCurrentCommand:
        value = sample;   // one count is 1 mA
        break;
    default:
        break;            // modes 0 and 9 keep their value
    }
    return value;
}

void CWaveCapture::ProcessNewSamples()
{
    CWaveSeries &series0 = m_series.Live(0);
    CWaveSeries &series1 = m_series.Live(1);
    if (m_trigger.enabled && m_received > 0 && !m_triggerFound[static_cast<std::size_t>(m_trigger.channel)]) {
        // Nothing captured so far is drawn until the trigger is met.
        series0.Trigger().firstVisible = m_received;
        series1.Trigger().firstVisible = m_received;
    }
    const double period = PeriodMs();
    double t = m_firstIndex * period;
    const wave::StreamChoice streams = wave::StreamsFor(m_runModes[0], m_runModes[1], m_channels);
    const std::array<int, 2> streamOf = {streams.series0, streams.series1};
    std::array<CWaveSeries *, 2> live = {&series0, &series1};
    bool first = true;
    for (int i = m_plotted; i < m_received; ++i) {
        t += period;   // sample n of the run, counting from 1, lies at n x period
        for (int channel = 0; channel < 2; ++channel)
            Convert(channel, m_buffers[static_cast<std::size_t>(streamOf[channel])][static_cast<std::size_t>(i)],
                    first);
        CheckTrigger(i, t);
        ++m_plotted;
        for (int channel = 0; channel < 2; ++channel) {
            if (m_runModes[static_cast<std::size_t>(channel)] == wave::kModeNone)
                continue;
            CWaveSeries &series = *live[static_cast<std::size_t>(channel)];
            series.Append(t + series.XOffset(), m_runningValue[static_cast<std::size_t>(channel)] + series.YOffset());
        }
        if (m_plotted % kRedrawEverySamples == 0)
            Redraw();
        if (m_autoScroll)
            m_display.FollowTime(t + series0.XOffset());
        first = false;
    }
    m_lastTime = t;
    if (m_autoScroll && !m_running)
        m_display.ScrollTimeTo(m_lastTime + series0.XOffset());
    Redraw();
}

// ---- Trigger ------------------------------------------------------------------------------------

void CWaveCapture::CheckTrigger(int sampleIndex, double t)
{
    const auto channel = static_cast<std::size_t>(m_trigger.channel);
    if (!m_trigger.enabled || !m_armed || m_triggerFound[channel])
        return;
    CWaveSeries &series0 = m_series.Live(0);
    CWaveSeries &series1 = m_series.Live(1);
    const CWaveSeries &watched = m_series.Live(m_trigger.channel);
    const Crossing crossing = FindCrossing(watched, t, m_runningValue[channel] + watched.YOffset());
    if (!crossing.found)
        return;
    m_triggerFound[channel] = true;
    series0.Trigger().firstVisible = sampleIndex;
    series1.Trigger().firstVisible = sampleIndex;
    if (m_trigger.align) {
        m_triggerTime[channel] = m_trigger.position - crossing.time;
        series0.SetXOffset(m_triggerTime[channel]);
        series1.SetXOffset(m_triggerTime[channel]);
    }
}

CWaveCapture::Crossing CWaveCapture::FindCrossing(const CWaveSeries &series, double t, double value) const
{
    constexpr int kPointsNeeded = 2;
    if (series.Count() < kPointsNeeded)
        return {};
    // The last point is stored with the series' x offset (a previous run's alignment may have left
    // one); the crossing is found in run time, like the new point.
    const WavePoint &last = series.Point(series.Count() - 1);
    const double xl = last.x - series.XOffset();
    const double yl = last.y;
    const double level = m_trigger.level;
    const bool crosses = m_trigger.direction == WaveTriggerSettings::kRising ? (yl <= level && level <= value)
                                                                             : (yl >= level && level >= value);
    if (!crosses)
        return {};
    if (t == xl)
        return {true, xl};
    const double slope = (yl - value) / (xl - t);
    if (slope == 0.0)
        return {true, xl};
    return {true, (level - (yl - xl * slope)) / slope};
}

} // namespace kvl
