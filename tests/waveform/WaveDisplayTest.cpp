// Display scaling of the waveform chart: initial ranges, per-division edits, zoom limits and
// texts, half-tick scrolling and the whole-division scroll that follows a capture.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "waveform/CWaveDisplay.h"

namespace kvl::test {
namespace {

CWaveformSettings::Values Settings(int time, double position, double speed, double current)
{
    CWaveformSettings::Values values;
    values.time = time;
    values.position = position;
    values.speed = speed;
    values.current = current;
    values.periodTimes = 10;
    return values;
}

void ExpectRange(const CWaveDisplay &display, CWaveDisplay::Axis axis, double min, double max, double tick)
{
    SCOPED_TRACE(testing::Message() << "axis " << axis);
    const WaveAxisRange &range = display.Range(axis);
    EXPECT_DOUBLE_EQ(range.min, min);
    EXPECT_DOUBLE_EQ(range.max, max);
    EXPECT_DOUBLE_EQ(range.tick, tick);
}

class WaveDisplayTest : public ::testing::Test {
protected:
    CWaveDisplay display{Settings(100, 2.5, 7.9, 50.0)};
};

TEST_F(WaveDisplayTest, InitialRangesShowTenDivisionsFromZero)
{
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
    ExpectRange(display, CWaveDisplay::kPosition, 0, 25, 2.5);
    // The speed per division is cut to an integer for the first view.
    ExpectRange(display, CWaveDisplay::kSpeed, 0, 70, 7);
    ExpectRange(display, CWaveDisplay::kCurrent, 0, 500, 50);
    EXPECT_DOUBLE_EQ(display.Zoom(), 1.0);
    EXPECT_EQ(display.ZoomText(), "1x");
    EXPECT_DOUBLE_EQ(display.PerDivision(CWaveDisplay::kSpeed), 7.9);
}

TEST_F(WaveDisplayTest, ZoomingInStopsAtEight)
{
    const char *texts[] = {"2x", "4x", "8x"};
    for (const char *text : texts) {
        ASSERT_TRUE(display.CanZoomIn());
        EXPECT_TRUE(display.ZoomIn());
        EXPECT_EQ(display.ZoomText(), text);
    }
    EXPECT_DOUBLE_EQ(display.Zoom(), 8.0);
    EXPECT_FALSE(display.CanZoomIn());
    EXPECT_TRUE(display.CanZoomOut());
    // Spans shrink from the minimum; ticks stay while zoomed in.
    ExpectRange(display, CWaveDisplay::kTime, 0, 125, 100);
    ExpectRange(display, CWaveDisplay::kCurrent, 0, 62.5, 50);
    EXPECT_FALSE(display.ZoomIn());
    EXPECT_DOUBLE_EQ(display.Zoom(), 8.0);
    ExpectRange(display, CWaveDisplay::kTime, 0, 125, 100);
}

TEST_F(WaveDisplayTest, ZoomingOutStopsAtOneThirtySecond)
{
    const char *texts[] = {"1/2x", "1/4x", "1/8x", "1/16x", "1/32x"};
    for (const char *text : texts) {
        ASSERT_TRUE(display.CanZoomOut());
        EXPECT_TRUE(display.ZoomOut());
        EXPECT_EQ(display.ZoomText(), text);
    }
    EXPECT_DOUBLE_EQ(display.Zoom(), 0.03125);
    EXPECT_FALSE(display.CanZoomOut());
    EXPECT_TRUE(display.CanZoomIn());
    // Below 1 the ticks widen so that at most ten stay in view.
    ExpectRange(display, CWaveDisplay::kTime, 0, 32000, 3200);
    ExpectRange(display, CWaveDisplay::kPosition, 0, 800, 80);
    EXPECT_FALSE(display.ZoomOut());
    EXPECT_DOUBLE_EQ(display.Zoom(), 0.03125);
}

TEST_F(WaveDisplayTest, ZoomingBackRestoresTicks)
{
    ASSERT_TRUE(display.ZoomOut());
    ExpectRange(display, CWaveDisplay::kTime, 0, 2000, 200);
    ASSERT_TRUE(display.ZoomIn());
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
    ASSERT_TRUE(display.ZoomIn());
    ASSERT_TRUE(display.ZoomOut());
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
}

TEST_F(WaveDisplayTest, ResetReturnsToTenDivisionsAtTheCurrentValues)
{
    ASSERT_TRUE(display.ZoomIn());
    display.ScrollRight();
    display.ScrollUp();
    ASSERT_TRUE(display.SetPerDivision(CWaveDisplay::kCurrent, 20.0));
    display.ResetZoom();
    EXPECT_DOUBLE_EQ(display.Zoom(), 1.0);
    EXPECT_EQ(display.ZoomText(), "1x");
    EXPECT_TRUE(display.CanZoomIn());
    EXPECT_TRUE(display.CanZoomOut());
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
    ExpectRange(display, CWaveDisplay::kPosition, 0, 25, 2.5);
    ExpectRange(display, CWaveDisplay::kSpeed, 0, 79, 7.9);   // not cut here
    ExpectRange(display, CWaveDisplay::kCurrent, 0, 200, 20);
}

TEST_F(WaveDisplayTest, PerDivisionEditsScaleTheVisibleWindowAboutZero)
{
    struct Case {
        const char *name;
        int zoomIns;
        int scrollsRight;
        CWaveDisplay::Axis axis;
        double value;
        double min;
        double max;
        double tick;
    };
    const Case cases[] = {
        {"time at zoom 1", 0, 0, CWaveDisplay::kTime, 200, 0, 2000, 200},
        {"time after scrolling", 0, 2, CWaveDisplay::kTime, 200, 200, 2200, 200},
        {"time at zoom 2", 1, 0, CWaveDisplay::kTime, 100, 0, 500, 50},
        {"position", 0, 0, CWaveDisplay::kPosition, 5, 0, 50, 5},
        {"position at zoom 2", 1, 0, CWaveDisplay::kPosition, 5, 0, 25, 2.5},
        {"speed keeps fractions", 0, 0, CWaveDisplay::kSpeed, 0.5, 0, 5, 0.5},
        {"current", 0, 0, CWaveDisplay::kCurrent, 10, 0, 100, 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CWaveDisplay fresh(Settings(100, 2.5, 7.9, 50.0));
        for (int i = 0; i < c.zoomIns; ++i)
            ASSERT_TRUE(fresh.ZoomIn());
        for (int i = 0; i < c.scrollsRight; ++i)
            fresh.ScrollRight();
        EXPECT_TRUE(c.axis == CWaveDisplay::kTime ? fresh.SetTimePerDivision(static_cast<int>(c.value))
                                                 : fresh.SetPerDivision(c.axis, c.value));
        ExpectRange(fresh, c.axis, c.min, c.max, c.tick);
        EXPECT_DOUBLE_EQ(fresh.PerDivision(c.axis), c.value);
    }
}

TEST_F(WaveDisplayTest, NonPositivePerDivisionValuesAreRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        CWaveDisplay::Axis axis;
        double value;
    };
    const Case cases[] = {
        {CWaveDisplay::kTime, 0},        {CWaveDisplay::kTime, -5},       {CWaveDisplay::kPosition, 0},
        {CWaveDisplay::kPosition, -1.5}, {CWaveDisplay::kSpeed, nan},     {CWaveDisplay::kCurrent, inf},
        {CWaveDisplay::kCurrent, -inf},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "axis " << c.axis << " value " << c.value);
        CWaveDisplay fresh(Settings(100, 2.5, 7.9, 50.0));
        const WaveAxisRange before = fresh.Range(c.axis);
        const double perDivision = fresh.PerDivision(c.axis);
        EXPECT_FALSE(fresh.SetPerDivision(c.axis, c.value));
        ExpectRange(fresh, c.axis, before.min, before.max, before.tick);
        EXPECT_DOUBLE_EQ(fresh.PerDivision(c.axis), perDivision);
    }
    EXPECT_FALSE(display.SetTimePerDivision(0));
    EXPECT_EQ(display.TimePerDivision(), 100);
}

TEST_F(WaveDisplayTest, EmptySettingsGiveAxesThatCanStillBeSet)
{
    CWaveDisplay empty(Settings(0, 0, 0, 0));
    ExpectRange(empty, CWaveDisplay::kPosition, 0, 0, 0);
    ASSERT_TRUE(empty.SetPerDivision(CWaveDisplay::kPosition, 2.0));
    ExpectRange(empty, CWaveDisplay::kPosition, 0, 20, 2);
    ASSERT_TRUE(empty.SetTimePerDivision(50));
    ExpectRange(empty, CWaveDisplay::kTime, 0, 500, 50);
}

TEST_F(WaveDisplayTest, EmptiedFieldsBecomeOne)
{
    EXPECT_EQ(CWaveDisplay::FilledFieldText(""), "1");
    EXPECT_EQ(CWaveDisplay::FilledFieldText("0"), "0");
    EXPECT_EQ(CWaveDisplay::FilledFieldText("12.5"), "12.5");
}

TEST_F(WaveDisplayTest, ScrollButtonsMoveByHalfATick)
{
    display.ScrollUp();
    ExpectRange(display, CWaveDisplay::kPosition, 1.25, 26.25, 2.5);
    ExpectRange(display, CWaveDisplay::kSpeed, 3.5, 73.5, 7);
    ExpectRange(display, CWaveDisplay::kCurrent, 25, 525, 50);
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
    display.ScrollDown();
    display.ScrollDown();
    ExpectRange(display, CWaveDisplay::kPosition, -1.25, 23.75, 2.5);
    display.ScrollRight();
    ExpectRange(display, CWaveDisplay::kTime, 50, 1050, 100);
    display.ScrollLeft();
    display.ScrollLeft();
    ExpectRange(display, CWaveDisplay::kTime, -50, 950, 100);
    ExpectRange(display, CWaveDisplay::kCurrent, -25, 475, 50);
}

TEST_F(WaveDisplayTest, ScrollingToATimeMovesWholeDivisions)
{
    struct Case {
        double t;
        double min;
        double max;
    };
    const Case cases[] = {
        {500, 0, 1000},        {1100, 0, 1000},          {1100.5, 100, 1100},      {5000, 3900, 4900},
        {-1, -100, 900},       {-1000, -1000, 0},        {1e7, 9998900, 9999900}, {0, 0, 1000},
        {std::nan(""), 0, 1000}, {std::numeric_limits<double>::infinity(), 0, 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "t " << c.t);
        CWaveDisplay fresh(Settings(100, 2.5, 7.9, 50.0));
        fresh.ScrollTimeTo(c.t);
        ExpectRange(fresh, CWaveDisplay::kTime, c.min, c.max, 100);
    }
}

TEST_F(WaveDisplayTest, FollowingATimeScrollsOnlyBeyondTheView)
{
    display.FollowTime(1100);
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
    display.FollowTime(1150);
    ExpectRange(display, CWaveDisplay::kTime, 100, 1100, 100);
    display.FollowTime(100);
    ExpectRange(display, CWaveDisplay::kTime, 100, 1100, 100);   // at the minimum nothing moves
    display.FollowTime(40);
    ExpectRange(display, CWaveDisplay::kTime, 0, 1000, 100);
}

TEST_F(WaveDisplayTest, WithoutATimeDivisionScrollingDoesNothing)
{
    CWaveDisplay empty(Settings(0, 1, 1, 1));
    empty.ScrollTimeTo(5000);
    empty.FollowTime(-5000);
    ExpectRange(empty, CWaveDisplay::kTime, 0, 0, 0);
}

TEST_F(WaveDisplayTest, SettingsCarryTheCurrentValuesAndTheSampling)
{
    ASSERT_TRUE(display.SetTimePerDivision(250));
    ASSERT_TRUE(display.SetPerDivision(CWaveDisplay::kSpeed, 12.5));
    const CWaveformSettings::Values values = display.Settings(40);
    EXPECT_EQ(values.time, 250);
    EXPECT_DOUBLE_EQ(values.position, 2.5);
    EXPECT_DOUBLE_EQ(values.speed, 12.5);
    EXPECT_DOUBLE_EQ(values.current, 50.0);
    EXPECT_EQ(values.periodTimes, 40);
}

} // namespace
} // namespace kvl::test
