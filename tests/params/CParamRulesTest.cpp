// Fixed rules of the parameter model: numbers by model and version, the real-parameter factors
// and decimals, truncation on the way out, the selection mappings and the display clamp.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "params/CParamData.h"
#include "params/CParamRules.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

TEST(CParamRules, VersionTextIsFirstCharPointThenTwoChars)
{
    const struct { const char *raw; const char *text; } cases[] = {
        {"1305", "1.30"}, {"A123", "A.12"}, {"0995", "0.99"}, {"", ""}, {"2", "2."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CParamRules::VersionText(c.raw), c.text) << c.raw;
}

TEST(CParamRules, OldVersions)
{
    const struct { const char *text; bool old; } cases[] = {
        {"1.30", false}, {"1.07", true}, {"1.08", false}, {"1.00", true}, {"0.99", true},
        {"0.00", true},  {"A.12", true}, {"D.xx", true},  {"G.00", true}, {"H.00", false},
        {"a.12", false}, {"2.00", false}, {"9.99", false}, {"", false},   {"1", false},
        {"1.", true},    {"10.0", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CParamRules::IsOldVersion(c.text), c.old) << c.text;
}

TEST(CParamRules, ParameterCountByModelAndVersion)
{
    const struct { const char *model; const char *raw; int count; } cases[] = {
        {"MDB", "1305", 182}, {"MDB", "1070", 151}, {"MDB", "A100", 151}, {"MDB", "", 182},
        {"MDC", "1080", 182}, {"MDC", "0900", 151}, {"MDC-X", "A100", 168},
        {"XMDC", "", 168},    {"MDA-Y", "1000", 113}, {"YMDA", "", 113},
        {"MDA-Z", "", 115},   {"ZMDA", "", 115},      {"MDA", "A000", 111},
        {"GWX", "", 111},     {"", "", 111},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CParamRules::ParameterCount(c.model, CParamRules::VersionText(c.raw)), c.count)
            << c.model << " " << c.raw;
    }
}

TEST(CParamRules, NumbersSkipFiftyToNinetyNine)
{
    const std::vector<int> numbers = CParamRules::Numbers(111);
    ASSERT_EQ(numbers.size(), 49u + 12u);
    EXPECT_EQ(numbers.front(), 1);
    EXPECT_EQ(numbers[48], 49);
    EXPECT_EQ(numbers[49], 100);
    EXPECT_EQ(numbers.back(), 111);
    for (int n : {0, 50, 75, 99, 112, -1})
        EXPECT_FALSE(CParamRules::NumberExists(n, 111)) << n;
    for (int n : {1, 49, 100, 111})
        EXPECT_TRUE(CParamRules::NumberExists(n, 111)) << n;
    EXPECT_EQ(CParamRules::Numbers(30).size(), 30u);
    EXPECT_EQ(CParamRules::Numbers(1000).back(), CParamRules::kSlotCount);
}

TEST(CParamRules, FactorTable)
{
    const struct { int number; const char *model; int precision; std::int64_t factor; } cases[] = {
        {1, "MDA", 0, 10000},    {2, "MDB", 3, 10000},      {3, "MDA-Z", 1, 10000},
        {4, "MDC", 0, 10000},    {6, "MDC-X", 2, 10000},    {10, "MDA-Y", 4, 10000},
        {9, "MDB", 1, 10},       {9, "MDC", 3, 10},         {9, "MDC-X", 0, 10},
        {9, "MDA", 2, 100},      {9, "MDA-Z", 0, 1},        // no factor of its own: 10^precision
        {26, "MDA", 0, 1000},    {44, "MDB", 2, 1000},      {104, "MDC", 1, 1000},
        {119, "MDB", 3, 1000},   {124, "MDC", 0, 1000},     {147, "MDB", 5, 1000},
        {148, "MDB", 1, 10},     {123, "MDC", 2, 100},      {30, "MDA", 1, 1000},
        {31, "MDB", 2, 1000},    {31, "MDC", 3, 1000},      {31, "MDC-X", 4, 10000},
        {31, "MDA", 1, 10},      {31, "MDA-Z", 3, 10},      {31, "MDA-Y", 0, 10},
        {45, "MDA", 0, 100},     {49, "MDB", 0, 100},       {49, "MDA", 3, 100},
        {49, "MDA-Y", 1, 100},   {49, "MDA-Z", 2, 100},     {49, "MDC", 2, 100},
        {49, "MDC-X", 1, 10},    {107, "MDB", 0, 10000000}, {107, "MDC", 2, 10000000},
        {107, "MDA", 0, 100000}, {107, "MDC-X", 0, 100000}, {113, "MDA-Y", 0, 1000000},
        {116, "MDB", 2, 1000000}, {7, "MDA", 0, 1},         {172, "MDB", 1, 10},
        {12, "MDC", 4, 10000},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CParamRules::Factor(c.number, c.model, c.precision), c.factor)
            << "parameter " << c.number << " on " << c.model << " precision " << c.precision;
    }
}

TEST(CParamRules, ShownDecimals)
{
    const struct { int number; int precision; int setting; int decimals; } cases[] = {
        {1, 4, 0, 2},  {2, 4, 1, 3},  {3, 0, 2, 4},  {10, 4, 2, 4}, {6, 1, 0, 2},
        {30, 1, 0, 2}, {30, 1, 1, 3}, {30, 4, 2, 3}, {31, 3, 2, 3}, {119, 3, 0, 3},
        {5, 0, 2, 0},  {1, 4, 7, 4},  {1, 4, -1, 2},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CParamRules::ShownDecimals(c.number, c.precision, c.setting), c.decimals)
            << "parameter " << c.number << " setting " << c.setting;
    }
}

TEST(CParamRules, RealParameterTwoShownAtDecimalsSettings)
{
    CParamData record;
    record.SetType(CParamData::kTypeReal);
    record.SetPrecision(4);
    record.SetRealRange(-9999.9999, 9999.9999);
    ASSERT_TRUE(CParamRules::ApplyRaw(record, 2, "MDA", 12345));
    EXPECT_DOUBLE_EQ(record.RealValue(), 1.2345);
    EXPECT_EQ(CParamRules::ValueText(record, 2, 2, true).Bytes(), "1.2345");
    EXPECT_EQ(CParamRules::ValueText(record, 2, 1, true).Bytes(), "1.234");
    EXPECT_EQ(CParamRules::ValueText(record, 2, 0, true).Bytes(), "1.23");
}

TEST(CParamRules, ValueToRawTruncatesTheDecimalTowardZero)
{
    const struct { double value; std::int64_t factor; std::int32_t raw; } cases[] = {
        {0.29, 100, 29},      // exact at the resolution, although 0.29 x 100 is 28.999... in binary
        {-0.29, 100, -29},
        {0.299, 100, 29},     // more digits than the resolution: cut, not rounded
        {-0.299, 100, -29},
        {1.5, 1000, 1500},
        {1.2345, 10000, 12345},
        {12.3456, 10000, 123456},
        {12.34567, 10000, 123456},
        {0.0003, 10000, 3},
        {2.3, 10, 23},
        {0.1, 10, 1},
        {1.15, 100, 115},     // 114.999... in binary
        {1e12, 10000, std::numeric_limits<std::int32_t>::max()},
        {-1e12, 10000, std::numeric_limits<std::int32_t>::min()},
        {std::numeric_limits<double>::quiet_NaN(), 100, 0},
        {std::numeric_limits<double>::infinity(), 1, std::numeric_limits<std::int32_t>::max()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CParamRules::ValueToRaw(c.value, c.factor), c.raw) << c.value;
}

// A value typed at a parameter's resolution is written exactly: every position of parameter 1
// from 0 to 100 mm with four decimals, and every acceleration of parameter 9 (one decimal,
// factor 10 on the MDC) in its range. The record takes the text as the parameter list's edit does.
TEST(CParamRules, EveryValueTypedAtTheResolutionIsWrittenExactly)
{
    const struct {
        int number;
        int precision;
        std::int32_t first;
        std::int32_t last; // raw values
    } tables[] = {
        {1, 4, 0, 1000000},
        {9, 1, 1, 99},
    };
    for (const auto &t : tables) {
        CParamData record;
        record.SetType(CParamData::kTypeReal);
        record.SetPrecision(t.precision);
        const std::int64_t factor = CParamRules::Factor(t.number, "MDC", t.precision);
        int failures = 0;
        std::string first;
        for (std::int32_t raw = t.first; raw <= t.last; ++raw) {
            // "12.3456": the fraction with as many digits as the factor has zeros.
            const std::string text =
                std::to_string(raw / factor) + "." + std::to_string(factor + raw % factor).substr(1);
            std::int32_t sent = 0;
            if (!record.SetByText(test::Western(text)) || !CParamRules::RawFromRecord(record, t.number, "MDC", sent) ||
                sent != raw) {
                if (failures++ == 0)
                    first = text + " sent as " + std::to_string(sent);
            }
        }
        EXPECT_EQ(failures, 0) << "parameter " << t.number << ", first: " << first;
    }
}

TEST(CParamRules, RawFromRecordUsesTheFactorOfTheNumberAndModel)
{
    CParamData feed;
    feed.SetType(CParamData::kTypeReal);
    feed.SetPrecision(1);
    feed.SetRealValue(1.5);
    const struct { const char *model; std::int32_t raw; } cases[] = {
        {"MDB", 1500}, {"MDC", 1500}, {"MDC-X", 15000}, {"MDA", 15}, {"MDA-Z", 15},
    };
    for (const auto &c : cases) {
        std::int32_t raw = 0;
        ASSERT_TRUE(CParamRules::RawFromRecord(feed, 31, c.model, raw));
        EXPECT_EQ(raw, c.raw) << c.model;
    }
    CParamData text;
    text.SetType(CParamData::kTypeText);
    std::int32_t raw = 77;
    EXPECT_FALSE(CParamRules::RawFromRecord(text, 100, "MDA", raw));
    EXPECT_EQ(raw, 77);
}

TEST(CParamRules, PulseResolutionSelection)
{
    const auto &values = CParamRules::PulseResolutionValues();
    ASSERT_EQ(values.size(), 17u);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(CParamRules::RawToIndex(45, "MDB", values[i]), i);
        std::int32_t raw = 0;
        ASSERT_TRUE(CParamRules::IndexToRaw(45, "MDB", i, raw));
        EXPECT_EQ(raw, values[i]);
    }
    for (std::int32_t other : {400000, 0, -2500, 16, 2501})
        EXPECT_EQ(CParamRules::RawToIndex(45, "MDA", other), 0) << other;
    std::int32_t raw = 123;
    EXPECT_FALSE(CParamRules::IndexToRaw(45, "MDA", 17, raw));
    EXPECT_FALSE(CParamRules::IndexToRaw(45, "MDA", -1, raw));
    EXPECT_EQ(raw, 123);
}

TEST(CParamRules, ParameterFortyFiveReadAsUnlistedValueShowsTheFirstChoice)
{
    CParamData record;
    record.SetType(CParamData::kTypeSelection);
    for (std::int32_t v : CParamRules::PulseResolutionValues())
        record.AddChoice(test::Western(std::to_string(v)));
    record.SetIndex(5);
    ASSERT_TRUE(CParamRules::ApplyRaw(record, 45, "MDC", 400000));
    EXPECT_EQ(record.SelectedIndex(), 0);
    EXPECT_EQ(record.SelectedText().Bytes(), "2500");
    ASSERT_TRUE(CParamRules::ApplyRaw(record, 45, "MDC", 4000000));
    EXPECT_EQ(record.SelectedText().Bytes(), "4000000");
    std::int32_t raw = 0;
    ASSERT_TRUE(CParamRules::RawFromRecord(record, 45, "MDC", raw));
    EXPECT_EQ(raw, 4000000);
}

TEST(CParamRules, OperationTypeOfTheRotaryModel)
{
    const struct { std::int32_t raw; int index; } reads[] = {
        {0, 0}, {1, 0}, {2, 1}, {3, 0}, {4, 2}, {5, 3}, {6, 0}, {-2, 0},
    };
    for (const auto &c : reads) {
        EXPECT_EQ(CParamRules::RawToIndex(36, "MDA-Z", c.raw), c.index) << c.raw;
        EXPECT_EQ(CParamRules::RawToIndex(36, "ZMDA", c.raw), c.index) << c.raw;
    }
    const struct { int index; std::int32_t raw; } writes[] = {
        {0, 0}, {1, 2}, {2, 4}, {3, 5}, {4, 0}, {-1, 0},
    };
    for (const auto &c : writes) {
        std::int32_t raw = 99;
        ASSERT_TRUE(CParamRules::IndexToRaw(36, "MDA-Z", c.index, raw));
        EXPECT_EQ(raw, c.raw) << c.index;
    }
    // Every other model, and every other selection, exchanges the index itself.
    EXPECT_EQ(CParamRules::RawToIndex(36, "MDA", 4), 4);
    EXPECT_EQ(CParamRules::RawToIndex(37, "MDA-Z", 4), 4);
    std::int32_t raw = 0;
    ASSERT_TRUE(CParamRules::IndexToRaw(36, "MDC", 3, raw));
    EXPECT_EQ(raw, 3);
}

TEST(CParamRules, ApplyRawRefusesASelectionIndexTheRecordDoesNotHave)
{
    CParamData record;
    record.SetType(CParamData::kTypeSelection);
    record.AddChoice(test::Western("Off"));
    record.AddChoice(test::Western("On"));
    record.SetIndex(1);
    EXPECT_FALSE(CParamRules::ApplyRaw(record, 20, "MDA", 2));
    EXPECT_EQ(record.SelectedIndex(), 1);
    CParamData text;
    text.SetType(CParamData::kTypeText);
    EXPECT_FALSE(CParamRules::ApplyRaw(text, 100, "MDA", 1));
}

TEST(CParamRules, DisplayClampShowsTheLimitAndKeepsTheValue)
{
    CParamData integer;
    integer.SetType(CParamData::kTypeInteger);
    integer.SetIntRange(1, 500);
    CParamData real;
    real.SetType(CParamData::kTypeReal);
    real.SetPrecision(1);
    real.SetRealRange(0.0, 100.0);
    const struct { std::int32_t raw; const char *clamped; const char *asRead; } ints[] = {
        {900, "500", "900"}, {-5, "1", "-5"}, {42, "42", "42"},
    };
    for (const auto &c : ints) {
        CParamRules::ApplyRaw(integer, 16, "MDA", c.raw);
        EXPECT_EQ(CParamRules::ValueText(integer, 16, 0, true).Bytes(), c.clamped);
        EXPECT_EQ(CParamRules::ValueText(integer, 16, 0, false).Bytes(), c.asRead);
        EXPECT_EQ(integer.IntValue(), c.raw);
    }
    const struct { std::int32_t raw; const char *clamped; const char *asRead; } reals[] = {
        {1500, "100.0", "150.0"}, {-3, "0.0", "-0.3"}, {255, "25.5", "25.5"},
    };
    for (const auto &c : reals) {
        CParamRules::ApplyRaw(real, 31, "MDA", c.raw);
        EXPECT_EQ(CParamRules::ValueText(real, 31, 0, true).Bytes(), c.clamped);
        EXPECT_EQ(CParamRules::ValueText(real, 31, 0, false).Bytes(), c.asRead);
    }
}

// Parameter 12 follows the controller's 102, one limit after the other; a controller reporting
// 0 (or anything under 12's minimum) must not let a value under the minimum through later.
TEST(CParamRules, AnUpperLimitNeverMovesTheMinimum)
{
    const struct {
        std::vector<int> limits;
        int min;
        int max;
    } cases[] = {
        {{150}, 10, 150},
        {{0}, 10, 10},
        {{5}, 10, 10},
        {{10}, 10, 10},
        {{0, 150}, 10, 150},
        {{-20, 5, 300}, 10, 300},
        {{150, 0}, 10, 10},
    };
    for (const auto &c : cases) {
        CParamData record;
        record.SetType(CParamData::kTypeInteger);
        record.SetIntRange(10, 300);
        record.SetRangeTexts("10", "300");
        for (const int limit : c.limits)
            ASSERT_TRUE(CParamRules::SetUpperLimit(record, limit));
        const std::string trace = ::testing::PrintToString(c.limits);
        EXPECT_EQ(record.IntMin(), c.min) << trace;
        EXPECT_EQ(record.IntMax(), c.max) << trace;
        EXPECT_EQ(record.MinText(), std::to_string(c.min)) << trace;
        EXPECT_EQ(record.MaxText(), std::to_string(c.max)) << trace;
    }
    CParamData real;
    real.SetType(CParamData::kTypeReal);
    real.SetRealRange(1.0, 2.0);
    EXPECT_FALSE(CParamRules::SetUpperLimit(real, 0));
    EXPECT_DOUBLE_EQ(real.RealMin(), 1.0);
}

TEST(CParamRules, ParameterThirtyShowsThreeDecimalsUnlessTheSettingIsZero)
{
    CParamData record;
    record.SetType(CParamData::kTypeReal);
    record.SetPrecision(1);
    record.SetRealRange(0.0, 10.0);
    ASSERT_TRUE(CParamRules::ApplyRaw(record, 30, "MDB", 1234));
    EXPECT_EQ(CParamRules::ValueText(record, 30, 0, true).Bytes(), "1.23");
    EXPECT_EQ(CParamRules::ValueText(record, 30, 1, true).Bytes(), "1.234");
    EXPECT_EQ(CParamRules::ValueText(record, 30, 2, true).Bytes(), "1.234");
}

} // namespace
} // namespace kvl::params
