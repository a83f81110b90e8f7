// Chart series as data: offsets carried by the stored points, the series list's rows and its
// open and delete rules, and the colour source of loaded series.
#include <gtest/gtest.h>

#include <set>

#include "waveform/CWaveColourRandom.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl::test {
namespace {

TEST(WaveSeriesTest, ChangingAnOffsetMovesEveryStoredPoint)
{
    CWaveSeries series("CH0", CWaveSeries::kRed, wave::kModeActualSpeed);
    series.Append(1.0, 1.0);
    series.Append(2.0, 2.0);
    series.SetXOffset(5.0);
    EXPECT_DOUBLE_EQ(series.Point(0).x, 6.0);
    EXPECT_DOUBLE_EQ(series.Point(1).x, 7.0);
    series.SetXOffset(2.0);
    EXPECT_DOUBLE_EQ(series.Point(0).x, 3.0);
    EXPECT_DOUBLE_EQ(series.Point(1).x, 4.0);
    series.SetYOffset(10.0);
    EXPECT_DOUBLE_EQ(series.Point(0).y, 11.0);
    series.SetYOffset(-1.0);
    EXPECT_DOUBLE_EQ(series.Point(0).y, 0.0);
    EXPECT_DOUBLE_EQ(series.Point(1).y, 1.0);
    EXPECT_DOUBLE_EQ(series.Point(1).x, 4.0) << "the y offset leaves times alone";
    EXPECT_DOUBLE_EQ(series.XOffset(), 2.0);
    EXPECT_DOUBLE_EQ(series.YOffset(), -1.0);
}

TEST(WaveSeriesTest, SeriesAttachToTheAxisOfTheirMode)
{
    CWaveSeries series("x", 0x1FFFFFF, wave::kModeCurrentCommand);
    EXPECT_EQ(series.Axis(), wave::ValueAxis::kCurrent);
    EXPECT_EQ(series.Colour(), 0xFFFFFFu) << "colours are 24-bit";
    series.SetMode(wave::kModeSpeedCommand);
    EXPECT_EQ(series.Axis(), wave::ValueAxis::kCurrent) << "a mode change alone keeps the axis";
    series.AttachByMode();
    EXPECT_EQ(series.Axis(), wave::ValueAxis::kSpeed);
}

TEST(WaveSeriesListTest, LiveChannelsComeFirst)
{
    const CWaveSeriesList list;
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0).Name(), "CH0");
    EXPECT_EQ(list.At(0).Colour(), 0x0000FFu);   // red in bits 0..7
    EXPECT_EQ(list.At(0).Mode(), wave::kModeActualSpeed);
    EXPECT_EQ(list.At(0).Width(), 1);
    EXPECT_EQ(list.At(1).Name(), "CH1");
    EXPECT_EQ(list.At(1).Colour(), 0x00FF00u);
    EXPECT_EQ(list.At(1).Mode(), wave::kModeActualCurrent);
    EXPECT_EQ(list.At(1).Width(), 1);
    EXPECT_EQ(list.MaxList(), 6);
}

TEST(WaveSeriesListTest, OpenNeedsRoomForTwoSeries)
{
    CWaveSeriesList list(6);
    EXPECT_TRUE(list.CanOpen());
    auto load = [&list](const char *file) {
        EXPECT_TRUE(list.Add(CWaveSeries(std::string("CH0-") + file, 1, 4)));
        EXPECT_TRUE(list.Add(CWaveSeries(std::string("CH1-") + file, 2, 7)));
    };
    load("a.csv");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_TRUE(list.CanOpen()) << "6 - 4 = 2";
    load("b.csv");
    EXPECT_EQ(list.Count(), 6);
    EXPECT_FALSE(list.CanOpen());
    EXPECT_FALSE(list.Add(CWaveSeries("extra", 3, 1))) << "never beyond MaxList";
    ASSERT_TRUE(list.Remove(3));
    EXPECT_EQ(list.Count(), 5);
    EXPECT_FALSE(list.CanOpen()) << "6 - 5 < 2";
    EXPECT_EQ(list.At(3).Name(), "CH0-b.csv");
}

TEST(WaveSeriesListTest, OnlyLoadedRowsCanBeDeleted)
{
    CWaveSeriesList list;
    ASSERT_TRUE(list.Add(CWaveSeries("CH0-run.csv", 1, 4)));
    struct Case {
        int row;
        bool deletable;
    };
    const Case cases[] = {{-1, false}, {0, false}, {1, false}, {2, true}, {3, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(list.CanDelete(c.row), c.deletable);
    }
    EXPECT_FALSE(list.Remove(0));
    EXPECT_FALSE(list.Remove(1));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Remove(2));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.Remove(2));
}

TEST(WaveSeriesListTest, MaxListBelowTheLiveChannelsStillKeepsThem)
{
    const CWaveSeriesList list(0);
    EXPECT_EQ(list.MaxList(), 2);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.CanOpen());
}

TEST(WaveColourRandomTest, ValuesStayInTheUnitIntervalAcrossStirs)
{
    CWaveColourRandom random;
    std::set<double> seen;
    // 300 draws pass the end of the table (54 values) several times.
    for (int i = 0; i < 300; ++i) {
        const double value = random.Next();
        ASSERT_GE(value, 0.0) << "draw " << i;
        ASSERT_LE(value, 1.0) << "draw " << i;
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 250u) << "a generator, not a constant";
}

TEST(WaveColourRandomTest, EachWindowSeesTheSameSequence)
{
    CWaveColourRandom first;
    CWaveColourRandom second(static_cast<double>(0.1f));
    CWaveColourRandom other(0.5);
    bool differs = false;
    for (int i = 0; i < 120; ++i) {
        const double a = first.Next();
        EXPECT_EQ(a, second.Next()) << "draw " << i;
        differs = differs || a != other.Next();
    }
    EXPECT_TRUE(differs) << "the seed matters";
    first.Seed(CWaveColourRandom::kDefaultSeed);
    CWaveColourRandom again;
    EXPECT_EQ(first.Next(), again.Next()) << "seeding restarts the sequence";
}

TEST(WaveColourRandomTest, ColoursAreTwentyFourBit)
{
    CWaveColourRandom random;
    CWaveColourRandom values;
    for (int i = 0; i < 200; ++i) {
        const uint32_t colour = random.NextColour();
        EXPECT_LE(colour, 0xFFFFFFu);
        EXPECT_EQ(colour, static_cast<uint32_t>(values.Next() * 16777215.0));
    }
}

} // namespace
} // namespace kvl::test
