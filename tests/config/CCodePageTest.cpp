// Conversions between the languages' code pages and UTF-8.
#include "config/CCodePage.h"

#include <string>

#include <gtest/gtest.h>

#include <ostream>

namespace kvl {
namespace {

struct RoundTripCase {
    const char *name;
    int codePage;
    std::string utf8;
    std::string bytes;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const RoundTripCase &c, std::ostream *out)
{
    *out << c.name;
}

class CodePageRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CodePageRoundTrip, ConvertsBothWays)
{
    const RoundTripCase &c = GetParam();
    std::string bytes;
    std::size_t bad = 12345;
    EXPECT_TRUE(CCodePage::FromUtf8(c.utf8, c.codePage, bytes, false, &bad));
    EXPECT_EQ(bytes, c.bytes);
    EXPECT_EQ(bad, 12345u) << "offset written although nothing failed";
    std::string utf8;
    EXPECT_TRUE(CCodePage::ToUtf8(c.bytes, c.codePage, utf8));
    EXPECT_EQ(utf8, c.utf8);
}

const RoundTripCase kRoundTrips[] = {
    {"Empty", CCodePage::kJapanese, "", ""},
    {"AsciiJapanese", CCodePage::kJapanese, "Servo ON=1", "Servo ON=1"},
    {"Kanji", CCodePage::kJapanese, "日本語", "\x93\xfa\x96\x7b\x8c\xea"},
    {"FullWidthParentheses", CCodePage::kJapanese, "（）", "\x81\x69\x81\x6a"},
    {"TrailByteIsBackslash", CCodePage::kJapanese, "ソ", "\x83\x5c"},
    {"WaveDash", CCodePage::kJapanese, "～", "\x81\x60"},
    {"CircledDigit", CCodePage::kJapanese, "①", "\x87\x40"},
    {"HalfWidthKatakana", CCodePage::kJapanese, "ｱ", "\xb1"},
    {"Chinese", CCodePage::kChinese, "中文", "\xd6\xd0\xce\xc4"},
    {"ChineseMiddleDot", CCodePage::kChinese, "·", "\xa1\xa4"},
    {"ChineseEuro", CCodePage::kChinese, "€", "\x80"},
    {"Western", CCodePage::kWestern, "é€", "\xe9\x80"},
    {"WesternAscii", CCodePage::kWestern, "Speed [mm/s]", "Speed [mm/s]"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CodePageRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto &info) { return std::string(info.param.name); });

struct FailureCase {
    const char *name;
    int codePage;
    std::string utf8;
    std::size_t badOffset;
    std::string strict;   // what was converted before the failure
    std::string replaced; // with "?" for what could not be converted
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const FailureCase &c, std::ostream *out)
{
    *out << c.name;
}

class CodePageFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CodePageFailure, ReportsTheFirstUnencodableCharacter)
{
    const FailureCase &c = GetParam();
    std::string out;
    std::size_t bad = 0;
    EXPECT_FALSE(CCodePage::FromUtf8(c.utf8, c.codePage, out, false, &bad));
    EXPECT_EQ(bad, c.badOffset);
    EXPECT_EQ(out, c.strict);
    bad = 0;
    EXPECT_FALSE(CCodePage::FromUtf8(c.utf8, c.codePage, out, true, &bad));
    EXPECT_EQ(bad, c.badOffset);
    EXPECT_EQ(out, c.replaced);
}

const FailureCase kFailures[] = {
    {"HanInWestern", CCodePage::kWestern, "ab中cd", 2, "ab", "ab?cd"},
    {"AccentInJapanese", CCodePage::kJapanese, "caf\xc3\xa9!", 3, "caf", "caf?!"},
    {"HangulInChinese", CCodePage::kChinese, "x한y", 1, "x", "x?y"},
    {"TwoBadCharacters", CCodePage::kWestern, "中a文", 0, "", "?a?"},
    {"InvalidUtf8", CCodePage::kJapanese, "a\xffz", 1, "a", "a?z"},
    {"CutUtf8AtEnd", CCodePage::kWestern, "ab\xe4\xb8", 2, "ab", "ab?"},
    {"UnknownCodePage", 437, "abc", 0, "", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, CodePageFailure, ::testing::ValuesIn(kFailures),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CCodePage, UndecodableBytesBecomeReplacementCharacters)
{
    const struct {
        int codePage;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {CCodePage::kJapanese, "a\x81", "a\xef\xbf\xbd"},             // lone lead byte at the end
        {CCodePage::kJapanese, "\x81\x20z", "\xef\xbf\xbd z"},        // lead byte, bad trail
        {CCodePage::kChinese, "\xff\xd6\xd0", "\xef\xbf\xbd中"},        // 0xFF starts nothing
        {CCodePage::kWestern, "a\x81" "b", "a\xef\xbf\xbd" "b"},      // unassigned in CP1252
    };
    for (const auto &c : cases) {
        std::string utf8;
        EXPECT_FALSE(CCodePage::ToUtf8(c.bytes, c.codePage, utf8));
        EXPECT_EQ(utf8, c.utf8);
    }
    std::string out = "stale";
    EXPECT_FALSE(CCodePage::ToUtf8("abc", 437, out));
    EXPECT_EQ(out, "");
}

TEST(CCodePage, LongTextCrossesTheConversionChunks)
{
    std::string utf8;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        utf8 += "日本a";
        expected += "\x93\xfa\x96\x7b" "a";
    }
    std::string bytes;
    ASSERT_TRUE(CCodePage::FromUtf8(utf8, CCodePage::kJapanese, bytes, false));
    EXPECT_EQ(bytes, expected);
    std::string back;
    ASSERT_TRUE(CCodePage::ToUtf8(bytes, CCodePage::kJapanese, back));
    EXPECT_EQ(back, utf8);
}

TEST(CCodePage, LanguageTables)
{
    const struct {
        int language;
        int codePage;
        int charSet;
    } rows[] = {
        {1, CCodePage::kJapanese, 128}, {2, CCodePage::kWestern, 0},
        {3, CCodePage::kChinese, 134},  {0, CCodePage::kJapanese, 128},
        {7, CCodePage::kJapanese, 128},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(CCodePage::ForLanguage(row.language), row.codePage) << row.language;
        EXPECT_EQ(CCodePage::CharSetForLanguage(row.language), row.charSet) << row.language;
    }
}

} // namespace
} // namespace kvl
