// The decimal a user types reaches the controller exactly: every value exact at a field's
// resolution is sent as that integer, and more digits are cut toward zero.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "protocol/CStepCodec.h"
#include "base/DecimalScale.h"

namespace kvl::test {
namespace {

// The double a typed text reads as (the nearest one, as every reader of the tool converts it).
double Typed(const char *text)
{
    double value = 0.0;
    std::from_chars(text, text + std::char_traits<char>::length(text), value);
    return value;
}

// Every position from 0 to 100 mm with four decimals, typed, positive and negative; and the same
// with a fifth decimal 9, which truncation must drop. Failures are counted, the first is named.
TEST(DecimalScale, EveryFourDecimalPositionUpTo100mmIsSentExactly)
{
    constexpr std::int32_t kLast = 1000000; // 100.0000 mm
    int failures = 0;
    std::string first;
    char text[32];
    for (std::int32_t raw = 0; raw <= kLast; ++raw) {
        std::snprintf(text, sizeof text, "%d.%04d", raw / 10000, raw % 10000);
        const double value = Typed(text);
        std::snprintf(text + std::char_traits<char>::length(text), 2, "9");
        const double longer = Typed(text);
        const std::int32_t sent[] = {CStepCodec::ScaleToWire(value, CStepCodec::kPositionFactor),
                                     -CStepCodec::ScaleToWire(-value, CStepCodec::kPositionFactor),
                                     CStepCodec::ScaleToWire(longer, CStepCodec::kPositionFactor),
                                     -CStepCodec::ScaleToWire(-longer, CStepCodec::kPositionFactor)};
        for (const std::int32_t wire : sent) {
            if (wire != raw && failures++ == 0)
                first = std::to_string(raw) + " (typed " + text + ") sent as " + std::to_string(wire);
        }
    }
    EXPECT_EQ(failures, 0) << "first: " << first;
}

// Every ACC with one decimal in the long models' range 0.1 to 99.9, at the step record's factor.
TEST(DecimalScale, EveryOneDecimalAccIsSentExactly)
{
    char text[16];
    for (int tenths = 1; tenths <= 999; ++tenths) {
        std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
        EXPECT_EQ(CStepCodec::ScaleToWire(Typed(text), CStepCodec::kSpeedFactor), tenths * 10) << text;
    }
}

TEST(DecimalScale, CutsTowardZeroAndSaturates)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        double value;
        std::int64_t factor;
        std::int32_t raw;
    } cases[] = {
        {12.3456, 10000, 123456},   {12.34567, 10000, 123456},  {-12.34567, 10000, -123456},
        {12.34569999999, 10000, 123456},                        {0.0003, 10000, 3},
        {0.00009, 10000, 0},        {-0.00009, 10000, 0},       {2.3, 10, 23},
        {2.3, 100, 230},            {0.29, 100, 29},            {0.299, 100, 29},
        {1.15, 100, 115},           {4.35, 100, 435},           {1e-7, 10000000, 1},
        {123.456, 1, 123},          {214748.3647, 10000, kMax}, {-214748.3648, 10000, kMin},
        {214748.3648, 10000, kMax}, {-214748.3649, 10000, kMin}, {1e12, 10000, kMax},
        {-1e12, 10000, kMin},       {std::nan(""), 100, 0},     {std::numeric_limits<double>::infinity(), 1, kMax},
        {-std::numeric_limits<double>::infinity(), 1, kMin},    {2.5, 0, 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decimalscale::TruncateScaled(c.value, c.factor), c.raw) << c.value << " x " << c.factor;
}

} // namespace
} // namespace kvl::test
