#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "base/TextNumber.h"

namespace kvl {
namespace {

TEST(TextNumber, LeadingIntReadsLikeAtoiAndSaturates)
{
    const struct {
        const char *text;
        int expected;
    } cases[] = {
        {"12abc", 12}, {"  -7", -7}, {"+5", 5}, {"x", 0}, {"", 0}, {"-", 0}, {"0.9", 0}, {"64", 64},
        {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"4294967296", INT_MAX},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LeadingInt(c.text), c.expected) << c.text;
}

TEST(TextNumber, LeadingRealReadsLikeAtofWithoutNonFiniteValues)
{
    const struct {
        const char *text;
        double expected;
    } cases[] = {
        {"12.5", 12.5}, {"1e3", 1000.0}, {"1e", 1.0}, {".5", 0.5}, {"-.5", -0.5}, {"+2", 2.0}, {"  3.25x", 3.25},
        {"abc", 0.0}, {"", 0.0}, {".", 0.0}, {"-", 0.0}, {"nan", 0.0}, {"inf", 0.0}, {"-infinity", 0.0},
        {"1e999", DBL_MAX}, {"-1e999", -DBL_MAX}, {"1e-999", 0.0}, {"12.34.56", 12.34}, {"S", 0.0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(LeadingReal(c.text), c.expected) << c.text;
}

// Numbers from files and command lines: the whole text is the number, or there is none.
TEST(TextNumber, StrictIntegerTakesTheWholeTextWithinTheRange)
{
    const struct {
        const char *text;
        long long min;
        long long max;
        std::optional<long long> expected;
    } cases[] = {
        {"250", 0, INT_MAX, 250}, {"  -7\t", INT_MIN, INT_MAX, -7}, {"+5", 0, 9, 5}, {"-0", 0, 9, 0},
        {"007", 0, 9, 7}, {"2147483647", INT_MIN, INT_MAX, INT_MAX}, {"-2147483648", INT_MIN, INT_MAX, INT_MIN},
        {"99999999999", INT_MIN, INT_MAX, std::nullopt}, {"-99999999999", INT_MIN, INT_MAX, std::nullopt},
        {"2147483648", INT_MIN, INT_MAX, std::nullopt}, {"99999999999999999999999", LLONG_MIN, LLONG_MAX, std::nullopt},
        {"10000", 0, 9999, std::nullopt}, {"-1", 0, 9999, std::nullopt},
        {"", 0, 9, std::nullopt}, {"   ", 0, 9, std::nullopt}, {"-", 0, 9, std::nullopt}, {"+-5", -9, 9, std::nullopt},
        {"--5", -9, 9, std::nullopt}, {"- 5", -9, 9, std::nullopt}, {"12abc", 0, 99, std::nullopt},
        {"1 2", 0, 99, std::nullopt}, {"0x1F", 0, 99, std::nullopt}, {"1.0", 0, 9, std::nullopt},
        {"1e3", 0, 9999, std::nullopt}, {"nan", 0, 9, std::nullopt}, {"inf", 0, 9, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StrictInteger(c.text, c.min, c.max), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(StrictInt("-2147483648"), INT_MIN);
    EXPECT_EQ(StrictInt("99999999999"), std::nullopt);
}

TEST(TextNumber, StrictRealTakesOnlyFiniteDecimalNotation)
{
    const struct {
        const char *text;
        std::optional<double> expected;
    } cases[] = {
        {"12.5", 12.5}, {" -3.25 ", -3.25}, {"+2", 2.0}, {".5", 0.5}, {"5.", 5.0}, {"0.0001", 0.0001},
        {"99999999999", 99999999999.0},
        {"", std::nullopt}, {".", std::nullopt}, {"-", std::nullopt}, {"+-1", std::nullopt},
        {"nan", std::nullopt}, {"NaN", std::nullopt}, {"inf", std::nullopt}, {"-infinity", std::nullopt},
        {"1e308", std::nullopt}, {"1e3", std::nullopt}, {"0x10", std::nullopt}, {"12.34.56", std::nullopt},
        {"3.25x", std::nullopt}, {"1,5", std::nullopt}, {"1 5", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StrictReal(c.text), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(StrictReal(std::string(400, '9').append(".0")), std::nullopt);   // beyond every finite double
    // A zero of either sign is written as 0, never as "-0".
    for (const char *zero : {"-0", "-0.000", "+0"}) {
        const std::optional<double> value = StrictReal(zero);
        ASSERT_TRUE(value) << zero;
        EXPECT_FALSE(std::signbit(*value)) << zero;
    }
}

TEST(TextNumber, FormatFixedMatchesPrintfInTheCLocale)
{
    EXPECT_EQ(FormatFixed(12.5, 6), "12.500000");
    EXPECT_EQ(FormatFixed(9999.9999, 6), "9999.999900");
    EXPECT_EQ(FormatFixed(-0.04, 1), "-0.0");
    EXPECT_EQ(FormatFixed(0.25, 1), "0.2"); // round half to even, as printf does for an exact .25
    EXPECT_EQ(FormatFixed(1500, 2), "1500.00");
    EXPECT_EQ(FormatFixed(DBL_MAX, 6).size(), 309u + 7u);
    EXPECT_EQ(FormatInt(-42), "-42");
}

TEST(TextNumber, CutToWidthKeepsDoubleByteCharactersWhole)
{
    const std::string a18(18, 'a');
    const std::string a17(17, 'a');
    constexpr int kWestern = 1252;
    const struct {
        std::string text;
        size_t width;
        int codePage;
        std::string expected;
    } cases[] = {
        {std::string(25, 'x'), 19, kWestern, std::string(19, 'x')},
        {"short", 19, kCodePageShiftJis, "short"},
        {a18 + "\x82\xA0", 19, kCodePageShiftJis, a18},                  // Shift-JIS pair would straddle the width
        {a17 + "\x82\xA0", 19, kCodePageShiftJis, a17 + "\x82\xA0"},     // pair fits exactly
        {a18 + "\x82\xA0", 19, kWestern, a18 + "\x82"},         // single-byte code page: a byte is a character
        {a18 + "\xB0\xA1", 19, kCodePageGbk, a18},                  // GBK pair
        {a18 + "\xB1\xB2", 19, kCodePageShiftJis, a18 + "\xB1"},         // half-width katakana are single bytes
        {a18 + "\xFD\xA1", 19, kCodePageShiftJis, a18 + "\xFD"},         // 0xFD is no Shift-JIS lead byte
        {a18 + "\xFD\xA1", 19, kCodePageGbk, a18},                  // but a GBK one
        {std::string("ab\0cd", 5), 19, kWestern, "ab"},         // the stored text ends at a NUL
        {"E12", 3, kWestern, "E12"},
        {"1234", 3, kWestern, "123"},
        {"\x82", 3, kCodePageShiftJis, "\x82"},                          // a lone lead byte at the end stays a byte
    };
    for (const auto &c : cases)
        EXPECT_EQ(CutToWidth(c.text, c.width, c.codePage), c.expected) << c.text;
}

TEST(TextNumber, CaseHelpers)
{
    EXPECT_TRUE(EqualsNoCase("xmdc", "XMDC"));
    EXPECT_FALSE(EqualsNoCase("XMDC ", "XMDC"));
    EXPECT_FALSE(EqualsNoCase("\xE0", "\xC0")); // only ASCII letters fold
    EXPECT_EQ(UpperAscii("inC\x82"), "INC\x82");
    EXPECT_TRUE(StartsWithNoCase("Absolute", "abs"));
    EXPECT_TRUE(StartsWithNoCase("ABS", ""));
    EXPECT_FALSE(StartsWithNoCase("AB", "ABS"));
    EXPECT_FALSE(StartsWithNoCase("INC", "ABS"));
}

// Both readers of a real share one parser: they agree on every text, and differ only where the
// number is too large for a double, which the checked reader refuses and the other saturates.
TEST(TextNumber, FiniteRealRefusesWhatTheSaturatingReaderLimits)
{
    const double kMax = std::numeric_limits<double>::max();
    const struct {
        const char *text;
        std::optional<double> finite;
        double saturated;
    } cases[] = {
        {"12.5", 12.5, 12.5},      {" \t-3e2x", -300.0, -300.0}, {"", 0.0, 0.0},
        {"inf", 0.0, 0.0},         {"nan", 0.0, 0.0},           {"1e308", 1e308, 1e308},
        {"1e309", std::nullopt, kMax}, {"-1e309", std::nullopt, -kMax},
        {"99999e99999", std::nullopt, kMax}, {"1e-999", 0.0, 0.0}, {"-1e-999", 0.0, 0.0},
        {"1e+", 1.0, 1.0},         {"+.5e1", 5.0, 5.0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LeadingFiniteReal(c.text), c.finite) << c.text;
        EXPECT_DOUBLE_EQ(LeadingReal(c.text), c.saturated) << c.text;
    }
}

TEST(TextNumber, LeadingIntSkipsTheWhiteSpaceOfAtoiAndSaturatesOnLongDigitRuns)
{
    const struct {
        const char *text;
        int expected;
    } cases[] = {
        {"\v\f\r\n 42", 42},
        {"-2147483649", INT_MIN},
        {"2147483648", INT_MAX},
        {"-000000000000000000000000000000001", -1},
        {"999999999999999999999999999999999999999", INT_MAX},
        {"--5", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LeadingInt(c.text), c.expected) << c.text;
}

TEST(TextNumber, FormatFixedKeepsItsDecimalsForValuesThatAreNotFinite)
{
    EXPECT_EQ(FormatFixed(std::nan(""), 2), "0.00");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 0), "0");
    EXPECT_EQ(FormatFixed(1.5, -3), "2");                       // negative decimals are none
    EXPECT_EQ(FormatFixed(1.0, 99), "1.00000000000000000000"); // at most 20 decimals
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::max(), 20).size(), 1u + 309u + 1u + 20u);
}

TEST(TextNumber, StripBlanksAndLeadBytes)
{
    EXPECT_EQ(StripBlanks(" \t\r\nab c\r\n"), "ab c");
    EXPECT_EQ(StripBlanks("\vx\v"), "\vx\v"); // only space, tab, CR and LF are blanks
    const struct {
        unsigned char byte;
        bool shiftJis;
        bool gbk;
    } cases[] = {{0x80, false, false}, {0x81, true, true},  {0x9F, true, true},  {0xA0, false, true},
                 {0xDF, false, true},  {0xE0, true, true},  {0xFC, true, true},  {0xFD, false, true},
                 {0xFE, false, true},  {0xFF, false, false}, {'A', false, false}};
    for (const auto &c : cases) {
        EXPECT_EQ(IsLeadByte(c.byte, kCodePageShiftJis), c.shiftJis) << int(c.byte);
        EXPECT_EQ(IsLeadByte(c.byte, kCodePageGbk), c.gbk) << int(c.byte);
        EXPECT_FALSE(IsLeadByte(c.byte, 1252)) << int(c.byte);
    }
}

} // namespace
} // namespace kvl
