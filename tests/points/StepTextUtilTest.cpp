#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

#include "points/StepTextUtil.h"

namespace kvl::points {
namespace {

TEST(StepTextUtil, LeadingIntReadsLikeAtoiAndSaturates)
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

TEST(StepTextUtil, LeadingRealReadsLikeAtofWithoutNonFiniteValues)
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

TEST(StepTextUtil, FormatFixedMatchesPrintfInTheCLocale)
{
    EXPECT_EQ(FormatFixed(12.5, 6), "12.500000");
    EXPECT_EQ(FormatFixed(9999.9999, 6), "9999.999900");
    EXPECT_EQ(FormatFixed(-0.04, 1), "-0.0");
    EXPECT_EQ(FormatFixed(0.25, 1), "0.2"); // round half to even, as printf does for an exact .25
    EXPECT_EQ(FormatFixed(1500, 2), "1500.00");
    EXPECT_EQ(FormatFixed(DBL_MAX, 6).size(), 309u + 7u);
    EXPECT_EQ(FormatInt(-42), "-42");
}

TEST(StepTextUtil, CutToWidthKeepsDoubleByteCharactersWhole)
{
    const std::string a18(18, 'a');
    const std::string a17(17, 'a');
    const struct {
        std::string text;
        size_t width;
        int language;
        std::string expected;
    } cases[] = {
        {std::string(25, 'x'), 19, 2, std::string(19, 'x')},
        {"short", 19, 1, "short"},
        {a18 + "\x82\xA0", 19, 1, a18},                  // Shift-JIS pair would straddle the width
        {a17 + "\x82\xA0", 19, 1, a17 + "\x82\xA0"},     // pair fits exactly
        {a18 + "\x82\xA0", 19, 2, a18 + "\x82"},         // single-byte code page: a byte is a character
        {a18 + "\xB0\xA1", 19, 3, a18},                  // GBK pair
        {a18 + "\xB1\xB2", 19, 1, a18 + "\xB1"},         // half-width katakana are single bytes
        {a18 + "\xFD\xA1", 19, 1, a18 + "\xFD"},         // 0xFD is no Shift-JIS lead byte
        {a18 + "\xFD\xA1", 19, 3, a18},                  // but a GBK one
        {std::string("ab\0cd", 5), 19, 2, "ab"},         // the stored text ends at a NUL
        {"E12", 3, 2, "E12"},
        {"1234", 3, 2, "123"},
        {"\x82", 3, 1, "\x82"},                          // a lone lead byte at the end stays a byte
    };
    for (const auto &c : cases)
        EXPECT_EQ(CutToWidth(c.text, c.width, c.language), c.expected) << c.text;
}

TEST(StepTextUtil, CaseHelpers)
{
    EXPECT_EQ(UpperAscii("inC\x82"), "INC\x82");
    EXPECT_TRUE(StartsWithNoCase("Absolute", "abs"));
    EXPECT_TRUE(StartsWithNoCase("ABS", ""));
    EXPECT_FALSE(StartsWithNoCase("AB", "ABS"));
    EXPECT_FALSE(StartsWithNoCase("INC", "ABS"));
}

} // namespace
} // namespace kvl::points
