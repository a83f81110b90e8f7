// The capture run: the start sequence and its refusals, polling, the end of a run, the bounded
// buffers, the conversion to physical units and the time base.
#include <gtest/gtest.h>

#include <numeric>

#include "CaptureFixture.h"

namespace kvl::test {
namespace {

using Start = CWaveCapture::StartResult;
using PollResult = CWaveCapture::PollResult;
using Calls = std::vector<std::string>;

class WaveCaptureTest : public CaptureFixture {};

// ---- Start -------------------------------------------------------------------------------------

struct StartCase {
    int mode0;
    int mode1;
    Start result;
    Calls calls;
    int channels;
};

TEST_F(WaveCaptureTest, StartSendsTheMaskOfTheLiveModes)
{
    const StartCase cases[] = {
        {0, 0, Start::kNoChannel, {"scales"}, 0},
        {0, 9, Start::kNoChannel, {"scales"}, 0},
        {9, 9, Start::kNoChannel, {"scales"}, 0},
        {4, 7, Start::kStarted, {"scales", "start 10 0x18"}, 2},
        {4, 4, Start::kStarted, {"scales", "start 10 0x10"}, 1},
        {7, 2, Start::kStarted, {"scales", "start 10 0x0A"}, 2},
        {1, 0, Start::kStarted, {"scales", "start 10 0x01"}, 1},
        {9, 3, Start::kStarted, {"scales", "start 10 0x04"}, 1},
        {8, 6, Start::kStarted, {"scales", "start 10 0xC0"}, 2},
        {5, 2, Start::kStarted, {"scales", "start 10 0x22"}, 2},
    };
    for (const StartCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "modes " << c.mode0 << "," << c.mode1);
        FakeWaveSource fresh;
        CWaveSeriesList series;
        series.Live(0).SetMode(c.mode0);
        series.Live(1).SetMode(c.mode1);
        CWaveCapture run(fresh, series, display);
        EXPECT_EQ(run.Start(kSampling1ms), c.result);
        EXPECT_EQ(fresh.calls, c.calls);
        const bool started = c.result == Start::kStarted;
        EXPECT_EQ(run.IsRunning(), started);
        EXPECT_EQ(run.IsPolling(), started);
        EXPECT_FALSE(run.IsBusy());
        if (started) {
            EXPECT_EQ(run.Channels(), c.channels);
        }
    }
}

TEST_F(WaveCaptureTest, RefusedStartsLeaveTheCaptureIdle)
{
    struct Case {
        const char *name;
        int scalesResult;
        int startResult;
        uint8_t startStatus;
        long long sampling;
        Start result;
        Calls calls;
        int lastResult;
    };
    const Case cases[] = {
        {"scales time out", kResultTimeout, kResultOk, 1, 10, Start::kScalesFailed, {"scales"}, kResultTimeout},
        {"scales malformed", kResultBadReply, kResultOk, 1, 10, Start::kScalesFailed, {"scales"}, kResultBadReply},
        {"start answers 0", kResultOk, kResultOk, 0, 10, Start::kStartRefused, {"scales", "start 10 0x18"},
         kResultOk},
        {"start times out", kResultOk, kResultTimeout, 1, 10, Start::kStartRefused, {"scales", "start 10 0x18"},
         kResultTimeout},
        {"sampling 0", kResultOk, kResultOk, 1, 0, Start::kBadSampling, {"scales"}, kResultOk},
        {"sampling beyond 16 bits", kResultOk, kResultOk, 1, 65536, Start::kBadSampling, {"scales"}, kResultOk},
        {"ten-digit sampling", kResultOk, kResultOk, 1, 9999999999LL, Start::kBadSampling, {"scales"}, kResultOk},
        {"largest sampling", kResultOk, kResultOk, 1, 65535, Start::kStarted, {"scales", "start 65535 0x18"},
         kResultOk},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        fresh.scalesResult = c.scalesResult;
        fresh.startResult = c.startResult;
        fresh.startStatus = c.startStatus;
        CWaveSeriesList series;
        CWaveCapture run(fresh, series, display);
        EXPECT_EQ(run.Start(c.sampling), c.result);
        EXPECT_EQ(fresh.calls, c.calls);
        EXPECT_EQ(run.LastResult(), c.lastResult);
        EXPECT_EQ(run.IsRunning(), c.result == Start::kStarted);
        EXPECT_EQ(run.IsPolling(), c.result == Start::kStarted);
        EXPECT_FALSE(run.IsBusy());
        // An idle capture makes no exchange when its timer would tick.
        if (c.result != Start::kStarted) {
            EXPECT_EQ(run.Poll(), PollResult::kNotPolling);
            EXPECT_EQ(fresh.calls, c.calls);
        }
    }
}

TEST_F(WaveCaptureTest, StartClearsTheLiveSeriesAndAttachesThemByMode)
{
    list.Live(0).Append(1.0, 2.0);
    list.Live(1).Append(1.0, 2.0);
    list.Live(1).SetAxis(wave::ValueAxis::kPosition);
    CWaveSeries loaded("CH0-old.csv", 0x123456, wave::kModeActualSpeed);
    loaded.Append(5.0, 6.0);
    ASSERT_TRUE(list.Add(loaded));
    SetModes(wave::kModeActualPosition, wave::kModeActualCurrent);

    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    EXPECT_EQ(list.Live(0).Count(), 0);
    EXPECT_EQ(list.Live(1).Count(), 0);
    EXPECT_EQ(list.Live(0).Axis(), wave::ValueAxis::kPosition);
    EXPECT_EQ(list.Live(1).Axis(), wave::ValueAxis::kCurrent);
    EXPECT_EQ(list.At(2).Count(), 1) << "series loaded from files stay";
}

TEST_F(WaveCaptureTest, PressesDuringTheStartExchangesAreIgnored)
{
    source.duringScales = [this] {
        EXPECT_TRUE(capture.IsBusy());
        EXPECT_EQ(capture.Start(kSampling1ms), Start::kIgnored);
        capture.Stop();
    };
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    EXPECT_EQ(source.calls, (Calls{"scales", "start 10 0x18"}));
    EXPECT_TRUE(capture.IsRunning());
    EXPECT_EQ(capture.Start(kSampling1ms), Start::kIgnored) << "a second Start while running";
    EXPECT_EQ(source.calls.size(), 2u);
}

// ---- Poll and the end of a run ------------------------------------------------------------------

TEST_F(WaveCaptureTest, FailedOrEmptyPollsAreRetriedSilently)
{
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({}).result = kResultTimeout;
    source.Queue({}).result = kResultBadReply;
    source.Queue({});
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_EQ(capture.Poll(), PollResult::kRetry);
        EXPECT_TRUE(capture.IsPolling());
        EXPECT_TRUE(capture.IsRunning());
    }
    EXPECT_EQ(capture.LastResult(), kResultOk);
    EXPECT_EQ(capture.ReceivedCount(), 0);
    EXPECT_EQ(source.Count("data 2"), 3);
    EXPECT_EQ(source.Count("stop"), 0);
}

TEST_F(WaveCaptureTest, TheControllersFinishedFlagEndsTheRun)
{
    struct Case {
        const char *name;
        std::vector<int16_t> lastSamples;
        int received;
    };
    const Case cases[] = {
        {"finished with samples", {5, 6}, 4},
        {"finished and empty (header 0x8000)", {}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        CWaveSeriesList series;
        series.Live(0).SetMode(wave::kModeActualCurrent);
        series.Live(1).SetMode(wave::kModeNone);
        CWaveCapture run(fresh, series, display);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        fresh.Queue({1, 2});
        fresh.Queue(c.lastSamples, true);
        EXPECT_EQ(run.Poll(), PollResult::kSamples);
        EXPECT_EQ(run.Poll(), PollResult::kFinished);
        EXPECT_EQ(fresh.calls, (Calls{"scales", "start 10 0x08", "data 1", "data 1", "stop"}));
        EXPECT_FALSE(run.IsRunning());
        EXPECT_FALSE(run.IsPolling());
        EXPECT_EQ(run.ReceivedCount(), c.received);
        EXPECT_EQ(run.PlottedCount(), c.received);
        EXPECT_EQ(series.Live(0).Count(), c.received);
        EXPECT_EQ(run.Poll(), PollResult::kNotPolling);
    }
}

TEST_F(WaveCaptureTest, StopSendsStopAndConvertsWhatRemains)
{
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({1, 2, 3, 4});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    capture.Stop();
    EXPECT_EQ(source.calls.back(), "stop");
    EXPECT_EQ(source.Count("stop"), 1);
    EXPECT_FALSE(capture.IsRunning());
    EXPECT_FALSE(capture.IsPolling());
    EXPECT_EQ(capture.PlottedCount(), 2);
    capture.Stop();
    EXPECT_EQ(source.Count("stop"), 1) << "Stop while idle sends nothing";
}

TEST_F(WaveCaptureTest, StopPressedWhileABatchIsAwaitedTakesEffectAfterIt)
{
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({7, 8, 9});
    source.duringData = [this] {
        capture.Stop();
        EXPECT_EQ(source.Count("stop"), 0) << "no second exchange while one is in progress";
    };
    EXPECT_EQ(capture.Poll(), PollResult::kFinished);
    EXPECT_EQ(source.calls, (Calls{"scales", "start 10 0x08", "data 1", "stop"}));
    EXPECT_FALSE(capture.IsRunning());
    EXPECT_FALSE(capture.IsPolling()) << "the timer must not start again after the user's Stop";
    EXPECT_EQ(Ys(0), (std::vector<double>{7, 8, 9}));
}

TEST_F(WaveCaptureTest, BuffersEndTheRunAtTheirCapacity)
{
    struct Case {
        const char *name;
        int mode0;
        int mode1;
        int samplesPerReply;   // as sent, both channels together
        int channels;
    };
    // 13,557 samples is the most one reply can carry.
    const Case cases[] = {
        {"one channel, largest replies", wave::kModeActualCurrent, wave::kModeNone, 13557, 1},
        {"one channel, 5000 per reply", wave::kModeActualSpeed, wave::kModeActualSpeed, 5000, 1},
        {"two channels, largest replies", wave::kModeActualCurrent, wave::kModeActualSpeed, 13556, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        CWaveSeriesList series;
        series.Live(0).SetMode(c.mode0);
        series.Live(1).SetMode(c.mode1);
        CWaveCapture run(fresh, series, display);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        ASSERT_EQ(run.Channels(), c.channels);
        int sent = 0;   // per channel
        int ticks = 0;
        PollResult result = PollResult::kSamples;
        while (result == PollResult::kSamples && ticks < 1000) {
            std::vector<int16_t> samples(static_cast<std::size_t>(c.samplesPerReply));
            for (std::size_t k = 0; k < samples.size(); ++k)
                samples[k] = static_cast<int16_t>((sent + static_cast<int>(k) / c.channels) % 30000);
            sent += c.samplesPerReply / c.channels;
            fresh.Queue(samples);
            result = run.Poll();
            ++ticks;
        }
        EXPECT_EQ(result, PollResult::kFinished);
        EXPECT_EQ(run.ReceivedCount(), CWaveCapture::kBufferSamples);
        EXPECT_EQ(run.PlottedCount(), CWaveCapture::kBufferSamples);
        EXPECT_EQ(fresh.Count("stop"), 1);
        EXPECT_FALSE(run.IsPolling());
        const int last = CWaveCapture::kBufferSamples - 1;
        EXPECT_EQ(run.Sample(0, last), last % 30000);
        if (c.channels == 2) {
            EXPECT_EQ(run.Sample(1, last), last % 30000);
        }
        EXPECT_EQ(series.Live(0).Count(), CWaveCapture::kBufferSamples);
    }
}

TEST_F(WaveCaptureTest, ABatchWhoseCountExceedsItsSamplesIsReadNoFurther)
{
    // A command source that announces more samples than it hands over.
    struct Overstating : FakeWaveSource {
        int ReadWaveData(int channels, WaveBatch &batch) override
        {
            FakeWaveSource::ReadWaveData(channels, batch);
            batch.count = 5000;
            return kResultOk;
        }
    } overstating;
    CWaveSeriesList series;
    CWaveCapture run(overstating, series, display);
    ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
    overstating.Queue({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(run.Poll(), PollResult::kSamples);
    EXPECT_EQ(run.ReceivedCount(), 3);
}

TEST_F(WaveCaptureTest, ANewRunStartsFromAnEmptyBuffer)
{
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({1, 2, 3}, true);
    ASSERT_EQ(capture.Poll(), PollResult::kFinished);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    EXPECT_EQ(capture.ReceivedCount(), 0);
    EXPECT_EQ(capture.PlottedCount(), 0);
    source.Queue({40});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(Ys(0), (std::vector<double>{40}));
    EXPECT_EQ(Xs(0), (std::vector<double>{1}));
}

// ---- Conversion and time base -------------------------------------------------------------------

TEST_F(WaveCaptureTest, SamplesAreConvertedByMode)
{
    struct Case {
        int mode;
        std::vector<int16_t> samples;
        std::vector<double> values;
    };
    // Scales: actual position 0.001, command position 0.002, speed 0.5 per count.
    // Bases: actual 1000 counts, command 500 counts.
    const Case cases[] = {
        {wave::kModeActualPosition, {10, 20, -5}, {1.010, 1.030, 1.025}},
        {wave::kModePositionCommand, {10, 20, -5}, {1.020, 1.060, 1.050}},
        {wave::kModePositionDeviation, {10, 20, -5}, {0.020, 0.040, -0.010}},
        {wave::kModeActualSpeed, {10, 20, -5}, {5.0, 10.0, -2.5}},
        {wave::kModeSpeedCommand, {10, 20, -5}, {5.0, 10.0, -2.5}},
        {wave::kModeSpeedDeviation, {-32768, 32767, 0}, {-16384.0, 16383.5, 0.0}},
        {wave::kModeActualCurrent, {10, 20, -5}, {10, 20, -5}},
        {wave::kModeCurrentCommand, {-32768, 32767, 0}, {-32768, 32767, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        FakeWaveSource fresh;
        fresh.scales = {0.0001, 0.001, 0.002, 0.5};
        CWaveSeriesList series;
        series.Live(0).SetMode(c.mode);
        series.Live(1).SetMode(wave::kModeNone);
        CWaveCapture run(fresh, series, display);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        ScriptedBatch &batch = fresh.Queue(c.samples);
        batch.actualBase = 1000;
        batch.commandBase = 500;
        ASSERT_EQ(run.Poll(), PollResult::kSamples);
        ASSERT_EQ(series.Live(0).Count(), static_cast<int>(c.values.size()));
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_NEAR(series.Live(0).Point(static_cast<int>(i)).y, c.values[i], 1e-9) << "sample " << i;
        EXPECT_EQ(series.Live(1).Count(), 0) << "a series at mode 0 gets no points";
    }
}

TEST_F(WaveCaptureTest, EachBatchOfPositionsStartsFromItsOwnBase)
{
    source.scales = {0.0001, 0.001, 0.001, 0.01};
    SetModes(wave::kModeActualPosition, wave::kModePositionCommand);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    // Channel order on the wire: bit 0x01 (actual) then 0x02 (command).
    ScriptedBatch &first = source.Queue({1, 2, 1, 2});
    first.actualBase = 100;
    first.commandBase = 200;
    ScriptedBatch &second = source.Queue({3, 4});
    second.actualBase = 5000;
    second.commandBase = 6000;
    second.firstIndex = 4;
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    const std::vector<double> actual = Ys(0);
    const std::vector<double> command = Ys(1);
    ASSERT_EQ(actual.size(), 3u);
    EXPECT_NEAR(actual[0], 0.101, 1e-12);
    EXPECT_NEAR(actual[1], 0.102, 1e-12);
    EXPECT_NEAR(actual[2], 5.003, 1e-12);
    EXPECT_NEAR(command[0], 0.202, 1e-12);
    EXPECT_NEAR(command[1], 0.204, 1e-12);
    EXPECT_NEAR(command[2], 6.004, 1e-12);
}

TEST_F(WaveCaptureTest, ModeNineKeepsItsValueAndIsPlottedFlat)
{
    SetModes(wave::kModeActualCurrent, wave::kModeCurrentDeviation);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    EXPECT_EQ(capture.Channels(), 1);
    source.Queue({11, 12});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(Ys(0), (std::vector<double>{11, 12}));
    EXPECT_EQ(Ys(1), (std::vector<double>{0, 0}));
}

TEST_F(WaveCaptureTest, TwoChannelsGoToTheSeriesByCaptureBitOrder)
{
    struct Case {
        int mode0;
        int mode1;
        std::vector<double> series0;
        std::vector<double> series1;
    };
    // Wire: first stream 1, 2, 3; second stream -1, -2, -3. Currents are plotted as received.
    const Case cases[] = {
        // Actual current (0x08) and position command (0x02): the second stream belongs to series 0;
        // the position command sums its increments.
        {wave::kModeActualCurrent, wave::kModePositionCommand, {-1, -2, -3}, {0.001, 0.003, 0.006}},
        {wave::kModeActualCurrent, wave::kModePositionDeviation, {-1, -2, -3}, {0.001, 0.002, 0.003}},
        {wave::kModePositionDeviation, wave::kModeActualCurrent, {0.001, 0.002, 0.003}, {-1, -2, -3}},
        {wave::kModeCurrentCommand, wave::kModeActualCurrent, {-1, -2, -3}, {1, 2, 3}},
        {wave::kModeActualCurrent, wave::kModeCurrentCommand, {1, 2, 3}, {-1, -2, -3}},
        // Both at one mode: one channel, both series plot the same stream.
        {wave::kModeActualCurrent, wave::kModeActualCurrent, {1, -1, 2, -2, 3, -3}, {1, -1, 2, -2, 3, -3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "modes " << c.mode0 << "," << c.mode1);
        FakeWaveSource fresh;
        fresh.scales = {0.0001, 0.001, 0.001, 0.01};
        CWaveSeriesList series;
        series.Live(0).SetMode(c.mode0);
        series.Live(1).SetMode(c.mode1);
        CWaveCapture run(fresh, series, display);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        fresh.Queue({1, -1, 2, -2, 3, -3});
        ASSERT_EQ(run.Poll(), PollResult::kSamples);
        ASSERT_EQ(series.Live(0).Count(), static_cast<int>(c.series0.size()));
        ASSERT_EQ(series.Live(1).Count(), static_cast<int>(c.series1.size()));
        for (int i = 0; i < series.Live(0).Count(); ++i) {
            EXPECT_NEAR(series.Live(0).Point(i).y, c.series0[static_cast<std::size_t>(i)], 1e-12);
            EXPECT_NEAR(series.Live(1).Point(i).y, c.series1[static_cast<std::size_t>(i)], 1e-12);
        }
    }
}

TEST_F(WaveCaptureTest, ModesEditedDuringARunDoNotChangeItsStreams)
{
    SetModes(wave::kModeActualCurrent, wave::kModePositionDeviation);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({1, 10, 2, 20});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    list.Live(0).SetMode(wave::kModePositionDeviation);
    list.Live(1).SetMode(wave::kModeActualCurrent);
    source.Queue({3, 30});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    // Current (0x08) is the second stream and stays series 0's until the next Start.
    EXPECT_EQ(Ys(0), (std::vector<double>{10, 20, 30}));
}

TEST_F(WaveCaptureTest, TimeBaseFollowsSamplingAndFirstSampleIndex)
{
    struct Case {
        const char *name;
        double timeStep;
        long long sampling;
        int channels;
        int32_t firstIndexSent;
        std::vector<double> times;
    };
    const Case cases[] = {
        {"1 ms period: first sample at 1 ms, not 0", 0.0001, 10, 1, 0, {1, 2, 3}},
        {"first-sample index 500", 0.0001, 10, 1, 500, {501, 502, 503}},
        {"two channels halve the index", 0.0001, 10, 2, 1000, {501, 502, 503}},
        {"0.25 ms period", 0.000025, 10, 1, 4, {1.25, 1.5, 1.75}},
        {"sampling 3 of 0.1 ms", 0.0001, 3, 1, 0, {0.3, 0.6, 0.9}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        fresh.scales.timeStep = c.timeStep;
        CWaveSeriesList series;
        series.Live(0).SetMode(wave::kModeActualCurrent);
        series.Live(1).SetMode(c.channels == 2 ? wave::kModeActualSpeed : wave::kModeNone);
        CWaveCapture run(fresh, series, display);
        ASSERT_EQ(run.Start(c.sampling), Start::kStarted);
        std::vector<int16_t> samples(c.times.size() * static_cast<std::size_t>(c.channels), 1);
        fresh.Queue(samples, false, c.firstIndexSent);
        ASSERT_EQ(run.Poll(), PollResult::kSamples);
        ASSERT_EQ(series.Live(0).Count(), static_cast<int>(c.times.size()));
        for (std::size_t i = 0; i < c.times.size(); ++i)
            EXPECT_NEAR(series.Live(0).Point(static_cast<int>(i)).x, c.times[i], 1e-9);
        EXPECT_NEAR(run.LastSampleTime(), c.times.back(), 1e-9);
    }
}

TEST_F(WaveCaptureTest, AnEmptyBatchBetweenBatchesChangesNothing)
{
    SetModes(wave::kModeActualCurrent, wave::kModeActualSpeed);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({1, 1, 2, 2}, false, 200);
    source.Queue({}, false, 9999);
    source.Queue({3, 3}, false, 204);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    ASSERT_EQ(capture.Poll(), PollResult::kRetry);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(Xs(0), (std::vector<double>{101, 102, 103}));
}

// A batch that was lost on the way (a spoiled reply: the controller has moved on) shows as a jump
// of the first-sample index; the capture lists the missing indices and keeps what arrived.
TEST_F(WaveCaptureTest, LostBatchesAreListedAsGapsOfSampleIndices)
{
    struct Batch {
        int result;
        int samples;            // per channel
        int32_t firstIndexSent;
    };
    struct Case {
        const char *name;
        int channels;
        std::vector<Batch> batches;
        std::vector<WaveGap> gaps;
        int received;
    };
    const int failed = kResultBadReply;
    const Case cases[] = {
        {"no loss", 1, {{kResultOk, 3, 0}, {kResultOk, 2, 3}, {failed, 0, 0}, {kResultOk, 4, 5}}, {}, 9},
        {"the first batch lost", 1, {{kResultOk, 3, 100}, {kResultOk, 2, 103}}, {{0, 100}}, 5},
        {"two batches lost in the middle", 1,
         {{kResultOk, 3, 0}, {kResultOk, 3, 10}, {kResultOk, 3, 13}, {kResultOk, 1, 20}}, {{3, 7}, {16, 4}}, 10},
        {"two channels count per channel", 2, {{kResultOk, 2, 0}, {kResultOk, 2, 10}}, {{2, 3}}, 4},
        {"a repeated batch is no loss", 1, {{kResultOk, 3, 0}, {kResultOk, 3, 0}, {kResultOk, 1, 3}}, {}, 7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        CWaveSeriesList series;
        series.Live(0).SetMode(wave::kModeActualCurrent);
        series.Live(1).SetMode(c.channels == 2 ? wave::kModeActualSpeed : wave::kModeNone);
        CWaveCapture run(fresh, series, display);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        for (const Batch &b : c.batches) {
            fresh.Queue(std::vector<int16_t>(static_cast<std::size_t>(b.samples * c.channels), 1), false,
                        b.firstIndexSent)
                .result = b.result;
            run.Poll();
        }
        EXPECT_EQ(run.Gaps(), c.gaps);
        int64_t lost = 0;
        for (const WaveGap &gap : c.gaps)
            lost += gap.count;
        EXPECT_EQ(run.LostCount(), lost);
        EXPECT_EQ(run.ReceivedCount(), c.received);
    }
}

TEST_F(WaveCaptureTest, ANewRunForgetsTheGapsOfTheLastOne)
{
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({1, 1}, false, 50);
    capture.Poll();
    ASSERT_EQ(capture.Gaps().size(), 1u);
    capture.Stop();
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue({1, 1}, false, 0);
    capture.Poll();
    EXPECT_TRUE(capture.Gaps().empty());
}

TEST_F(WaveCaptureTest, ChartIsRedrawnEveryFiftySamplesAndAfterEachBatch)
{
    int redraws = 0;
    capture.SetRedrawHandler([&redraws] { ++redraws; });
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    const int atStart = redraws;
    EXPECT_EQ(atStart, 1);
    source.Queue(std::vector<int16_t>(120, 1));
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(redraws - atStart, 3) << "at 50, at 100 and at the end of the batch";
    source.Queue(std::vector<int16_t>(30, 1));
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(redraws - atStart, 5) << "the 150th sample, then the end of the batch";
}

TEST_F(WaveCaptureTest, AutoScrollFollowsTheNewestSampleInWholeDivisions)
{
    // Time axis 0..1000 ms, 100 ms per division; 1 ms per sample.
    capture.SetAutoScroll(true);
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue(std::vector<int16_t>(1100, 1));
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).min, 0.0) << "1100 ms is still within one division";
    source.Queue(std::vector<int16_t>(150, 1), false, 1100);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).min, 200.0);
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).max, 1200.0);
    source.Queue(std::vector<int16_t>(100, 1), true, 1250);
    ASSERT_EQ(capture.Poll(), PollResult::kFinished);
    // Last sample at 1350 ms: the axis ends within one division before it.
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).min, 300.0);
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).max, 1300.0);
}

TEST_F(WaveCaptureTest, WithoutAutoScrollTheTimeAxisStays)
{
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue(std::vector<int16_t>(3000, 1), true);
    ASSERT_EQ(capture.Poll(), PollResult::kFinished);
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).min, 0.0);
    EXPECT_DOUBLE_EQ(display.Range(CWaveDisplay::kTime).max, 1000.0);
}

} // namespace
} // namespace kvl::test
