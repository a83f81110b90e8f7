// Channel modes: capture bits, axes, units by model, capture requests and stream choice, the
// series list's texts and the language keys of the chart.
#include <gtest/gtest.h>

#include <bitset>

#include "waveform/WaveModes.h"

namespace kvl::test {
namespace {

using wave::ValueAxis;

TEST(WaveModesTest, EachModeHasItsBitAxisAndUnits)
{
    struct Case {
        int mode;
        uint8_t bit;
        ValueAxis axis;
        const char *unitLinear;
        const char *unitRotary;
        const char *offsetLabel;
    };
    const Case cases[] = {
        {0, 0x00, ValueAxis::kPosition, "", "", ""},
        {1, 0x01, ValueAxis::kPosition, "mm", "deg", "mm"},
        {2, 0x02, ValueAxis::kPosition, "mm", "deg", "mm"},
        {3, 0x04, ValueAxis::kPosition, "mm", "deg", "mm"},
        {4, 0x10, ValueAxis::kSpeed, "mm/s", "deg/s", "mm/s"},
        {5, 0x20, ValueAxis::kSpeed, "mm/s", "deg/s", "mm/s"},
        {6, 0x40, ValueAxis::kSpeed, "mm/s", "deg/s", "mm/s"},
        {7, 0x08, ValueAxis::kCurrent, "mA", "mA", "mA"},
        {8, 0x80, ValueAxis::kCurrent, "mA", "mA", "mA"},
        {9, 0x00, ValueAxis::kCurrent, "mA", "mA", ""},
        {-1, 0x00, ValueAxis::kPosition, "", "", ""},
        {10, 0x00, ValueAxis::kPosition, "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        EXPECT_EQ(wave::CaptureBit(c.mode), c.bit);
        EXPECT_EQ(wave::AxisForMode(c.mode), c.axis);
        EXPECT_EQ(wave::UnitForMode(c.mode, "MDA"), c.unitLinear);
        EXPECT_EQ(wave::UnitForMode(c.mode, "MDC-X"), c.unitLinear);
        EXPECT_EQ(wave::UnitForMode(c.mode, "MDA-Z"), c.unitRotary);
        EXPECT_EQ(wave::OffsetUnitLabel(c.mode, "MDB"), c.offsetLabel);
        EXPECT_EQ(wave::IsValidMode(c.mode), c.mode >= 0 && c.mode <= 9);
    }
    EXPECT_EQ(wave::ModeNameKey(7), "IDS_CH_MODE7");
    EXPECT_EQ(wave::OffsetUnitLabel(2, "MDA-Z"), "deg");
    EXPECT_EQ(wave::OffsetUnitLabel(5, "MDA-Z"), "deg/s");
}

TEST(WaveModesTest, CaptureRequestCountsEachCapturedModeOnce)
{
    struct Case {
        int mode0;
        int mode1;
        uint8_t mask;
        int channels;
    };
    const Case cases[] = {
        {0, 0, 0x00, 0}, {9, 0, 0x00, 0}, {9, 9, 0x00, 0}, {4, 7, 0x18, 2}, {7, 4, 0x18, 2},
        {3, 3, 0x04, 1}, {8, 0, 0x80, 1}, {9, 6, 0x40, 1}, {1, 8, 0x81, 2}, {-3, 12, 0x00, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "modes " << c.mode0 << "," << c.mode1);
        const wave::CaptureRequest request = wave::CaptureRequestFor(c.mode0, c.mode1);
        EXPECT_EQ(request.mask, c.mask);
        EXPECT_EQ(request.channels, c.channels);
    }
    // Over every pair: one channel per distinct bit, never more than two.
    for (int mode0 = 0; mode0 < wave::kModeCount; ++mode0) {
        for (int mode1 = 0; mode1 < wave::kModeCount; ++mode1) {
            const wave::CaptureRequest request = wave::CaptureRequestFor(mode0, mode1);
            EXPECT_EQ(request.channels, static_cast<int>(std::bitset<8>(request.mask).count()));
            EXPECT_LE(request.channels, 2);
        }
    }
}

TEST(WaveModesTest, StreamsFollowCaptureBitOrder)
{
    struct Case {
        int mode0;
        int mode1;
        int channels;
        int stream0;
        int stream1;
    };
    const Case cases[] = {
        {7, 2, 2, 1, 0},   // 0x08 above 0x02: series 0 reads the second stream
        {2, 7, 2, 0, 1},
        {4, 7, 2, 1, 0},   // 0x10 above 0x08
        {7, 4, 2, 0, 1},
        {3, 4, 2, 0, 1},
        {8, 1, 2, 1, 0},
        {4, 4, 1, 0, 0},
        {0, 5, 1, 0, 0},
        {9, 5, 1, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "modes " << c.mode0 << "," << c.mode1);
        const wave::StreamChoice choice = wave::StreamsFor(c.mode0, c.mode1, c.channels);
        EXPECT_EQ(choice.series0, c.stream0);
        EXPECT_EQ(choice.series1, c.stream1);
    }
}

TEST(WaveModesTest, OffsetColumnIsFormattedByMode)
{
    struct Case {
        int mode;
        const char *model;
        double offset;
        const char *text;
    };
    const Case cases[] = {
        {0, "MDA", 12.6, "13"},          {1, "MDA", 10.0, "10 mm"},         {3, "MDB", 2.4, "2 mm"},
        {2, "MDA-Z", -3.4, "-3 deg"},    {4, "MDA", 1.5, "1.500 mm/s"},     {6, "MDA-Z", 2.0, "2.000 deg/s"},
        {7, "MDA-Z", 0.25, "0.250 mA"},  {8, "MDC", -1.0, "-1.000 mA"},     {9, "MDA", 1.0, "1.000 mA"},
        // A mode outside the list is shown as a current.
        {10, "MDA-Z", 2.0, "2.000 mA"},  {-1, "MDA", 0.5, "0.500 mA"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << c.model);
        EXPECT_EQ(wave::FormatOffset(c.mode, c.model, c.offset), c.text);
    }
}

TEST(WaveModesTest, ModelsDecideModeListAndAxisKeys)
{
    struct Case {
        const char *model;
        int modes;
        const char *positionTitle;
        const char *speedTitle;
        const char *positionUnit;
        const char *speedUnit;
    };
    const Case cases[] = {
        {"MDA", 8, "IDS_ROG_LABEL_POS", "IDS_ROG_LABEL_SPD", "IDC_STATIC_ROG_POS_UNIT", "IDC_STATIC_ROG_SPD_UNIT"},
        {"MDB", 9, "IDS_ROG_LABEL_POS", "IDS_ROG_LABEL_SPD", "IDC_STATIC_ROG_POS_UNIT", "IDC_STATIC_ROG_SPD_UNIT"},
        {"MDC", 9, "IDS_ROG_LABEL_POS", "IDS_ROG_LABEL_SPD", "IDC_STATIC_ROG_POS_UNIT", "IDC_STATIC_ROG_SPD_UNIT"},
        {"MDC-X", 9, "IDS_ROG_LABEL_POS", "IDS_ROG_LABEL_SPD", "IDC_STATIC_ROG_POS_UNIT",
         "IDC_STATIC_ROG_SPD_UNIT"},
        {"MDA-Y", 8, "IDS_ROG_LABEL_POS", "IDS_ROG_LABEL_SPD", "IDC_STATIC_ROG_POS_UNIT",
         "IDC_STATIC_ROG_SPD_UNIT"},
        {"MDA-Z", 8, "IDS_ZMDA_ROG_LABEL_POS", "IDS_ZMDA_ROG_LABEL_SPD", "IDC_ZMDA_STATIC_ROG_POS_UNIT",
         "IDC_ZMDA_STATIC_ROG_SPD_UNIT"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        EXPECT_EQ(wave::PropertyModeCount(c.model), c.modes);
        EXPECT_EQ(wave::AxisTitleKey(ValueAxis::kPosition, c.model), c.positionTitle);
        EXPECT_EQ(wave::AxisTitleKey(ValueAxis::kSpeed, c.model), c.speedTitle);
        EXPECT_EQ(wave::AxisTitleKey(ValueAxis::kCurrent, c.model), "IDS_ROG_LABEL_CUR");
        EXPECT_EQ(wave::DivisionUnitLabelKey(ValueAxis::kPosition, c.model), c.positionUnit);
        EXPECT_EQ(wave::DivisionUnitLabelKey(ValueAxis::kSpeed, c.model), c.speedUnit);
    }
    EXPECT_EQ(wave::DecorateAxisTitle(ValueAxis::kCurrent, "Current"), "Current ");
    EXPECT_EQ(wave::DecorateAxisTitle(ValueAxis::kPosition, "Position"), " Position");
    EXPECT_EQ(wave::DecorateAxisTitle(ValueAxis::kSpeed, "Speed"), "Speed");
}

} // namespace
} // namespace kvl::test
