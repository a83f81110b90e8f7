// The software trigger: level crossings by direction, the time of the crossing, hiding what
// precedes it, and aligning both live series on the trigger position.
#include <gtest/gtest.h>

#include "CaptureFixture.h"

namespace kvl::test {
namespace {

using Start = CWaveCapture::StartResult;
using PollResult = CWaveCapture::PollResult;

class WaveTriggerTest : public CaptureFixture {
protected:
    // Both live series plot actual current (one channel, one count is 1 mA, 1 ms per sample).
    void SetUpRun(int direction, double level, double position, bool align = true)
    {
        SetModes(wave::kModeActualCurrent, wave::kModeActualCurrent);
        WaveTriggerSettings trigger;
        trigger.enabled = true;
        trigger.channel = 0;
        trigger.direction = direction;
        trigger.level = level;
        trigger.position = position;
        trigger.align = align;
        capture.SetTrigger(trigger);
        ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    }

    static std::vector<int16_t> Repeat(int16_t value, int count, std::vector<int16_t> tail)
    {
        std::vector<int16_t> samples(static_cast<std::size_t>(count), value);
        samples.insert(samples.end(), tail.begin(), tail.end());
        return samples;
    }

    int FirstVisible(int row) const { return list.At(row).Trigger().firstVisible; }
};

constexpr int kRising = WaveTriggerSettings::kRising;
constexpr int kFalling = WaveTriggerSettings::kFalling;

TEST_F(WaveTriggerTest, FallingCrossingIsAlignedOnTheTriggerPosition)
{
    SetUpRun(kFalling, 5.0, 20.0);
    EXPECT_EQ(FirstVisible(0), CWaveCapture::kArmedFirstVisible);
    EXPECT_EQ(FirstVisible(1), CWaveCapture::kArmedFirstVisible);
    // 6 mA at 1..10 ms, 4 mA at 11 ms: the level is crossed at 10.5 ms.
    source.Queue(Repeat(6, 10, {4, 4}));
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    ASSERT_TRUE(capture.TriggerFound(0));
    EXPECT_DOUBLE_EQ(capture.TriggerTime(0), 9.5);
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        EXPECT_DOUBLE_EQ(list.At(row).XOffset(), 9.5);
        EXPECT_DOUBLE_EQ(list.At(row).YOffset(), 0.0);
        EXPECT_EQ(FirstVisible(row), 10);
        EXPECT_DOUBLE_EQ(list.At(row).Point(0).x, 10.5);
        EXPECT_DOUBLE_EQ(list.At(row).Point(9).x, 19.5);
        EXPECT_DOUBLE_EQ(list.At(row).Point(10).x, 20.5);
        EXPECT_DOUBLE_EQ(list.At(row).Point(11).x, 21.5) << "points after the crossing carry the offset";
    }
}

TEST_F(WaveTriggerTest, CrossingsByDirectionAndLevel)
{
    struct Case {
        const char *name;
        int direction;
        double level;
        std::vector<int16_t> samples;
        bool found;
        int index;        // the sample at which the crossing is seen
        double time;      // ms, before alignment
    };
    const Case cases[] = {
        {"falling through the level", kFalling, 5, {6, 6, 6, 4}, true, 3, 3.5},
        {"rising through the level", kRising, 5, {2, 2, 8}, true, 2, 2.5},
        {"rising onto the level", kRising, 5, {3, 3, 5}, true, 2, 3.0},
        {"flat at the level", kRising, 5, {5, 5, 5}, true, 2, 2.0},
        {"falling data, rising trigger", kRising, 5, {8, 8, 2}, false, 0, 0},
        {"rising data, falling trigger", kFalling, 5, {2, 2, 8}, false, 0, 0},
        {"level never reached", kRising, 50, {2, 8, 20, 40}, false, 0, 0},
        {"a crossing needs two earlier points", kFalling, 5, {6, 4, 4}, false, 0, 0},
        {"negative level", kFalling, -100, {0, 0, -300}, true, 2, 2.0 + 1.0 / 3.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        CWaveSeriesList series;
        series.Live(0).SetMode(wave::kModeActualCurrent);
        series.Live(1).SetMode(wave::kModeNone);
        CWaveCapture run(fresh, series, display);
        WaveTriggerSettings trigger;
        trigger.enabled = true;
        trigger.direction = c.direction;
        trigger.level = c.level;
        trigger.position = 0.0;
        run.SetTrigger(trigger);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        fresh.Queue(c.samples);
        ASSERT_EQ(run.Poll(), PollResult::kSamples);
        EXPECT_EQ(run.TriggerFound(0), c.found);
        if (c.found) {
            EXPECT_EQ(series.Live(0).Trigger().firstVisible, c.index);
            EXPECT_NEAR(series.Live(0).XOffset(), -c.time, 1e-12) << "position 0 puts the crossing at 0 ms";
        } else {
            EXPECT_EQ(series.Live(0).Trigger().firstVisible, static_cast<int>(c.samples.size()))
                << "nothing is shown before a trigger";
            EXPECT_DOUBLE_EQ(series.Live(0).XOffset(), 0.0);
        }
    }
}

TEST_F(WaveTriggerTest, TheLevelIsComparedWithTheShownValue)
{
    list.Live(0).SetYOffset(2.0);
    SetUpRun(kFalling, 5.0, 0.0);
    // Shown: 8 mA then 6 mA, never through 5.
    source.Queue({6, 6, 6, 4});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_FALSE(capture.TriggerFound(0));
    source.Queue({3}, false, 4);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    ASSERT_TRUE(capture.TriggerFound(0)) << "shown 6 then 5";
    EXPECT_EQ(FirstVisible(0), 4);
}

TEST_F(WaveTriggerTest, UntilTheTriggerIsMetNothingCapturedIsShown)
{
    SetUpRun(kRising, 100.0, 0.0);
    source.Queue({1, 2, 3});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(FirstVisible(0), 3);
    EXPECT_EQ(FirstVisible(1), 3);
    source.Queue({4, 5}, false, 3);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(FirstVisible(0), 5);
    source.Queue({200}, false, 5);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_EQ(FirstVisible(0), 5) << "the crossing sample is the first shown";
}

TEST_F(WaveTriggerTest, ACrossingIsFoundAcrossBatches)
{
    SetUpRun(kFalling, 5.0, 0.0);
    source.Queue({6, 6, 6});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    source.Queue({4}, false, 3);
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    ASSERT_TRUE(capture.TriggerFound(0));
    EXPECT_DOUBLE_EQ(list.Live(0).XOffset(), -3.5);
    EXPECT_EQ(FirstVisible(0), 3);
}

TEST_F(WaveTriggerTest, AFoundTriggerStaysFoundWhateverItsTime)
{
    struct Case {
        const char *name;
        double position;
        bool align;
        double offset;
    };
    // A trigger time of 0 (position equal to the crossing) or no alignment at all still count
    // as found: later polls neither hide the run again nor trigger a second time.
    const Case cases[] = {
        {"trigger time exactly 0", 10.5, true, 0.0},
        {"alignment off", 20.0, false, 0.0},
        {"ordinary alignment", 20.0, true, 9.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveSource fresh;
        CWaveSeriesList series;
        series.Live(0).SetMode(wave::kModeActualCurrent);
        series.Live(1).SetMode(wave::kModeActualCurrent);
        CWaveCapture run(fresh, series, display);
        WaveTriggerSettings trigger;
        trigger.enabled = true;
        trigger.direction = kFalling;
        trigger.level = 5.0;
        trigger.position = c.position;
        trigger.align = c.align;
        run.SetTrigger(trigger);
        ASSERT_EQ(run.Start(kSampling1ms), Start::kStarted);
        fresh.Queue(Repeat(6, 10, {4}));
        ASSERT_EQ(run.Poll(), PollResult::kSamples);
        ASSERT_TRUE(run.TriggerFound(0));
        // A second crossing in a later batch.
        fresh.Queue({6, 6, 4}, false, 11);
        ASSERT_EQ(run.Poll(), PollResult::kSamples);
        run.Stop();
        for (int row : {0, 1}) {
            EXPECT_EQ(series.At(row).Trigger().firstVisible, 10);
            EXPECT_DOUBLE_EQ(series.At(row).XOffset(), c.offset);
        }
        EXPECT_DOUBLE_EQ(series.Live(0).Point(13).x, 14.0 + c.offset);
    }
}

TEST_F(WaveTriggerTest, TheSecondChannelCanTrigger)
{
    // Actual current (0x08) then current command (0x80) on the wire; CH1 watches the command.
    SetModes(wave::kModeActualCurrent, wave::kModeCurrentCommand);
    WaveTriggerSettings trigger;
    trigger.enabled = true;
    trigger.channel = 1;
    trigger.direction = kRising;
    trigger.level = 5.0;
    trigger.position = 0.0;
    capture.SetTrigger(trigger);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    ASSERT_EQ(capture.Channels(), 2);
    source.Queue({50, 0, 50, 0, 50, 0, 50, 10});
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    ASSERT_TRUE(capture.TriggerFound(1));
    EXPECT_FALSE(capture.TriggerFound(0));
    EXPECT_DOUBLE_EQ(list.Live(0).XOffset(), -3.5);
    EXPECT_DOUBLE_EQ(list.Live(1).XOffset(), -3.5);
    EXPECT_EQ(FirstVisible(0), 3);
}

TEST_F(WaveTriggerTest, APreviousRunsAlignmentDoesNotMoveTheNextCrossing)
{
    SetUpRun(kFalling, 5.0, 20.0);
    source.Queue(Repeat(6, 10, {4}), true);
    ASSERT_EQ(capture.Poll(), PollResult::kFinished);
    ASSERT_DOUBLE_EQ(list.Live(0).XOffset(), 9.5);

    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    source.Queue(Repeat(6, 10, {4}), true);
    ASSERT_EQ(capture.Poll(), PollResult::kFinished);
    ASSERT_TRUE(capture.TriggerFound(0));
    EXPECT_DOUBLE_EQ(capture.TriggerTime(0), 9.5);
    EXPECT_DOUBLE_EQ(list.Live(0).XOffset(), 9.5);
    EXPECT_DOUBLE_EQ(list.Live(0).Point(10).x, 20.5);
}

TEST_F(WaveTriggerTest, WithoutTheTriggerNothingIsHiddenOrShifted)
{
    SetModes(wave::kModeActualCurrent, wave::kModeActualCurrent);
    ASSERT_EQ(capture.Start(kSampling1ms), Start::kStarted);
    EXPECT_FALSE(capture.IsArmed());
    source.Queue(Repeat(6, 10, {4}));
    ASSERT_EQ(capture.Poll(), PollResult::kSamples);
    EXPECT_FALSE(capture.TriggerFound(0));
    EXPECT_EQ(FirstVisible(0), 0);
    EXPECT_DOUBLE_EQ(list.Live(0).XOffset(), 0.0);
    EXPECT_TRUE(list.Live(0).Trigger().drawAllPoints);
}

TEST_F(WaveTriggerTest, SettingsTravelWithTheTriggerChannel)
{
    WaveTriggerSettings onCh1;
    onCh1.enabled = true;
    onCh1.channel = 1;
    onCh1.direction = kRising;
    onCh1.level = 3.0;
    onCh1.colour = 0x00FFAA;
    onCh1.widthIndex = 4;
    onCh1.position = 12.0;
    onCh1.align = false;
    capture.SetTrigger(onCh1);
    const WaveTriggerAttributes &ch1 = list.Live(1).Trigger();
    EXPECT_DOUBLE_EQ(ch1.level, 3.0);
    EXPECT_EQ(ch1.colour, 0x00FFAAu);
    EXPECT_EQ(ch1.width, 5);
    EXPECT_EQ(ch1.direction, kRising);
    EXPECT_DOUBLE_EQ(ch1.position, 12.0);
    EXPECT_FALSE(ch1.align);
    EXPECT_TRUE(ch1.levelLineVisible);
    EXPECT_FALSE(list.Live(0).Trigger().levelLineVisible);
    EXPECT_FALSE(list.Live(0).Trigger().drawAllPoints);
    EXPECT_FALSE(ch1.drawAllPoints);

    WaveTriggerSettings onCh0 = onCh1;
    onCh0.channel = 0;
    onCh0.level = 9.0;
    onCh0.widthIndex = 42;   // beyond the list: the widest line
    onCh0.align = true;
    capture.SetTrigger(onCh0);
    EXPECT_EQ(list.Live(0).Trigger().width, 10);
    EXPECT_FALSE(list.Live(1).Trigger().levelLineVisible);

    capture.SelectTriggerChannel(1);
    EXPECT_EQ(capture.Trigger().channel, 1);
    EXPECT_DOUBLE_EQ(capture.Trigger().level, 3.0);
    EXPECT_EQ(capture.Trigger().widthIndex, 4);
    EXPECT_DOUBLE_EQ(capture.Trigger().position, 12.0);
    EXPECT_EQ(capture.Trigger().direction, kRising);
    EXPECT_FALSE(capture.Trigger().align);
    EXPECT_TRUE(capture.Trigger().enabled);
}

} // namespace
} // namespace kvl::test
