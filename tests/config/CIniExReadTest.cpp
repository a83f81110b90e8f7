// Reading: how lines are classified, how lookups choose among duplicates, the ";" cut, case
// folding in double-byte text, numeric conversions and hostile input.
#include "config/CIniEx.h"

#include <climits>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include <ostream>

namespace kvl {
namespace {

using namespace std::string_literals;

constexpr char kDefault[] = "<default>";

struct LookupCase {
    const char *name;
    std::string text;
    int codePage;
    bool ignoreCase;
    std::string section;
    std::string key;
    std::string expected;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const LookupCase &c, std::ostream *out)
{
    *out << c.name;
}

class LookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, FindsTheSpecifiedValue)
{
    const LookupCase &c = GetParam();
    CIniEx ini;
    ini.SetCodePage(c.codePage);
    ini.LoadText(c.text, c.ignoreCase);
    EXPECT_EQ(ini.GetString(c.section, c.key, kDefault), c.expected);
}

constexpr int kSjis = CIniEx::kCodePageShiftJis;
constexpr int kGbk = CIniEx::kCodePageGbk;
constexpr int kWest = CIniEx::kCodePageWestern;

const LookupCase kLookupCases[] = {
    {"PlainEntry", "[A]\r\nk=v\r\n", kWest, true, "A", "k", "v"},
    {"HeaderKeepsInnerBlanks", "[ A B ]\nk=1\n", kWest, true, " A B ", "k", "1"},
    {"HeaderInnerBlanksMatter", "[ A B ]\nk=1\n", kWest, true, "A B", "k", kDefault},
    {"BlankBeforeBracketIsNoHeader", " [A]\nk=1\n", kWest, true, "A", "k", kDefault},
    {"BlankBeforeBracketIsAnEntry", " [A]\nk=1\n", kWest, true, "", " [A]", ""},
    {"BlankAfterBracketIsNoHeader", "[A] \nk=1\n", kWest, true, "A", "k", kDefault},
    {"KeyKeepsTrailingBlank", "[S]\nk = v\n", kWest, true, "S", "k ", " v"},
    {"KeyWithoutBlankNotFound", "[S]\nk = v\n", kWest, true, "S", "k", kDefault},
    {"SplitAtFirstEquals", "[S]\na=b=c\n", kWest, true, "S", "a", "b=c"},
    {"LineWithoutEqualsIsKey", "[S]\nsome comment\n", kWest, true, "S", "some comment", ""},
    {"CommentLineIsKey", "[S]\n; note\n", kWest, true, "S", "; note", ""},
    {"LinesBeforeFirstHeader", "pre=1\n[S]\nk=2\n", kWest, true, "", "pre", "1"},
    {"AdjacentHeadersLoseFirstName", "[A]\n[B]\nk=1\n", kWest, true, "A", "k", kDefault},
    {"AdjacentHeadersKeepSecond", "[A]\n[B]\nk=1\n", kWest, true, "B", "k", "1"},
    {"BlankLineNamesTheSection", "[A]\n\n[B]\nk=1\n", kWest, true, "A", "", ""},
    {"EmptyHeaderDoesNotShadowSectionZero", "[]\nk=1\n", kWest, true, "", "k", kDefault},
    {"LastDuplicateKeyWins", "[S]\nA=1\nA=2\n", kWest, true, "S", "A", "2"},
    {"FirstDuplicateSectionSearched", "[S]\nk=1\n[S]\nk=2\nj=3\n", kWest, true, "S", "k", "1"},
    {"SecondDuplicateSectionNotSearched", "[S]\nk=1\n[S]\nj=3\n", kWest, true, "S", "j", kDefault},
    {"CutAtLastSemicolon", "[S]\nk=x;y;z\n", kWest, true, "S", "k", "x;y"},
    {"NoteAfterBlankKeepsBlank", "[S]\nk=v ;note\n", kWest, true, "S", "k", "v "},
    {"EmptyValueIsNotDefault", "[S]\nk=\n", kWest, true, "S", "k", ""},
    {"ValueOnlyNote", "[S]\nk=;note\n", kWest, true, "S", "k", ""},
    {"IgnoreCaseSection", "[COMMON]\nKEY=1\n", kWest, true, "Common", "key", "1"},
    {"ExactCaseWhenAsked", "[COMMON]\nKEY=1\n", kWest, false, "Common", "KEY", kDefault},
    {"ExactCaseFound", "[COMMON]\nKEY=1\n", kWest, false, "COMMON", "KEY", "1"},
    {"NoFinalNewline", "[S]\nk=1", kWest, true, "S", "k", "1"},
    {"FinalCrWithoutLf", "[S]\r\nk=1\r", kWest, true, "S", "k", "1"},
    {"LfOnly", "[S]\nk=1\nj=2\n", kWest, true, "S", "j", "2"},
    {"CrOnlyIsOneLine", "[S]\rk=1\rj=2\r", kWest, true, "", "[S]\rk", "1\rj=2"},
    {"CrOnlyHasNoSection", "[S]\rk=1\rj=2\r", kWest, true, "S", "k", kDefault},
    {"NulInsideValue", "[S]\nk=a\0b\n"s, kWest, true, "S", "k", "a\0b"s},
    {"NulInsideKey", "[S]\nk\0x=1\n"s, kWest, true, "S", "k\0x"s, "1"},
    // Double-byte text: a lead byte takes the byte after it, whatever that byte is.
    {"SjisNoteCut", "[S]\nk=\x82\xa0;note\n", kSjis, true, "S", "k", "\x82\xa0"},
    {"SjisTrailSemicolonKept", "[S]\nk=\x81;b\n", kSjis, true, "S", "k", "\x81;b"},
    {"SjisTrailSemicolonSkippedLastCut", "[S]\nk=\x81;b;c\n", kSjis, true, "S", "k", "\x81;b"},
    {"WesternSameBytesCut", "[S]\nk=\x81;b\n", kWest, true, "S", "k", "\x81"},
    {"SjisNonLeadByteCut", "[S]\nk=\xfd;x\n", kSjis, true, "S", "k", "\xfd"},
    {"GbkHighLeadByteKept", "[S]\nk=\xfd;x\n", kGbk, true, "S", "k", "\xfd;x"},
    {"LoneLeadByteAtEnd", "[S]\nk=x;y\x83\n", kSjis, true, "S", "k", "x"},
    {"LoneLeadByteAfterNote", "[S]\nk=x;\x83\n", kSjis, true, "S", "k", "x"},
    {"SjisTrailLetterNotFolded", "[S]\n\x83\x61=1\n", kSjis, true, "S", "\x83\x41", kDefault},
    {"SjisTrailLetterExact", "[S]\n\x83\x61=1\n", kSjis, true, "S", "\x83\x61", "1"},
    {"GbkTrailLetterNotFolded", "[S]\n\xb0\x61=1\n", kGbk, true, "S", "\xb0\x41", kDefault},
    {"WesternFoldsAfterHighByte", "[S]\n\x83\x61=1\n", kWest, true, "S", "\x83\x41", "1"},
    {"SjisFoldsAfterDoubleByte", "[S]\n\x82\xa0Key=1\n", kSjis, true, "S", "\x82\xa0KEY", "1"},
    {"SjisSectionName", "[\x93\xfa\x96\x7b]\nk=1\n", kSjis, true, "\x93\xfa\x96\x7b", "k", "1"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LookupTest, ::testing::ValuesIn(kLookupCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct NumberCase {
    const char *name;
    std::string value;
    int expectedInt;
    double expectedDouble;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const NumberCase &c, std::ostream *out)
{
    *out << c.name;
}

class NumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTest, ConvertsLikeTheCRuntime)
{
    const NumberCase &c = GetParam();
    CIniEx ini;
    ini.LoadText("[N]\nv=" + c.value + "\n", true);
    EXPECT_EQ(ini.GetInt("N", "v", -77), c.expectedInt);
    EXPECT_DOUBLE_EQ(ini.GetDouble("N", "v", -77.5), c.expectedDouble);
}

const NumberCase kNumberCases[] = {
    {"EmptyGivesDefault", "", -77, -77.5},
    {"OnlyNoteGivesDefault", ";note", -77, -77.5},
    {"BlankThenSeven", " 7", 7, 7.0},
    {"TabThenNegative", "\t-12abc", -12, -12.0},
    {"NoDigits", "abc", 0, 0.0},
    {"BlankOnly", "   ", 0, 0.0},
    {"PlusSign", "+5", 5, 5.0},
    {"DoubleSign", "+-1", 0, 0.0},
    {"Fraction", "1.5", 1, 1.5},
    {"LeadingPoint", ".5", 0, 0.5},
    {"Exponent", "  -3.5e2x", -3, -350.0},
    {"IncompleteExponent", "2e", 2, 2.0},
    {"NoteAfterNumber", "42 ;max", 42, 42.0},
    {"IntClampedHigh", "99999999999", INT_MAX, 99999999999.0},
    {"IntClampedLow", "-99999999999", INT_MIN, -99999999999.0},
    {"CommaIsNoDecimalPoint", "1,5", 1, 1.0},
};

INSTANTIATE_TEST_SUITE_P(Cases, NumberTest, ::testing::ValuesIn(kNumberCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A real number reads as every other real of the tool does: the shared parser's leading number,
// where texts the C runtime would take for infinity or NaN are no number, and a number too large
// for a double reads as 0.
TEST(CIniExRead, RealsReadAsTheSharedParserReadsThem)
{
    struct Case {
        const char *name;
        const char *value;
        double expected;
    };
    const Case cases[] = {
        {"NanText", "nan", 0.0},
        {"InfText", "inf", 0.0},
        {"NegativeInfinityText", "-infinity", 0.0},
        {"TooLarge", "1e400", 0.0},
        {"TooLargeNegative", "-1e400", 0.0},
        {"TooSmall", "1e-400", 0.0},
        {"VerticalTabIsBlank", "\v2.25", 2.25},
        {"HexIsItsLeadingZero", "0x1A", 0.0},
        {"SignedPoint", "-.75", -0.75},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CIniEx ini;
        ini.LoadText(std::string("[N]\nv=") + c.value + "\n", true);
        const double value = ini.GetDouble("N", "v", -77.5);
        EXPECT_TRUE(std::isfinite(value));
        EXPECT_DOUBLE_EQ(value, c.expected);
    }
}

TEST(CIniExRead, MissingSectionOrKeyGivesDefaults)
{
    CIniEx ini;
    ini.LoadText("[S]\nk=1\n", true);
    EXPECT_EQ(ini.GetString("T", "k", "d"), "d");
    EXPECT_EQ(ini.GetString("S", "j", "d"), "d");
    EXPECT_EQ(ini.GetInt("S", "j", 9), 9);
    EXPECT_DOUBLE_EQ(ini.GetDouble("T", "k", 2.5), 2.5);
}

TEST(CIniExRead, SectionListKeepsFileOrderAndDuplicates)
{
    CIniEx ini;
    ini.LoadText("x=0\n[A]\na=1\n[B]\n[A]\nb=2\n[C]\nc=3", true);
    const std::vector<std::string> expected = {"", "A", "", "A", "C"};
    EXPECT_EQ(ini.SectionNames(), expected);
}

TEST(CIniExRead, KeyNamesOfTheFirstSectionInFileOrder)
{
    CIniEx ini;
    ini.LoadText("[A]\nb=1\na=2\nb=3\n; note\n[a]\nc=4\n", true);
    EXPECT_EQ(ini.KeyNames("a"), (std::vector<std::string>{"b", "a", "b", "; note"}));
    EXPECT_EQ(ini.KeyNames("missing"), std::vector<std::string>{});
}

TEST(CIniExRead, VeryLongLineIsKeptWhole)
{
    const std::string value(4 * 1024 * 1024, 'x');
    CIniEx ini;
    ini.LoadText("[S]\nk=" + value + ";note\n", true);
    EXPECT_EQ(ini.GetString("S", "k", ""), value);
}

TEST(CIniExRead, ManySectionsAndEntries)
{
    std::string text;
    for (int s = 0; s < 500; ++s) {
        text += "[" + std::to_string(s) + "]\n";
        for (int k = 0; k < 20; ++k)
            text += "K" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\n";
    }
    CIniEx ini;
    ini.LoadText(text, true);
    EXPECT_EQ(ini.GetInt("0", "k0", -1), 0);
    EXPECT_EQ(ini.GetInt("499", "k19", -1), 49919);
    EXPECT_EQ(ini.GetInt("250", "K7", -1), 25007);
}

TEST(CIniExRead, LoadedTextIsNotWritable)
{
    CIniEx ini;
    ini.LoadText("[S]\nk=1\n", true);
    ini.SetString("S", "k", "2");
    EXPECT_EQ(ini.GetString("S", "k", ""), "1");
    EXPECT_FALSE(ini.IsChanged());
    EXPECT_FALSE(ini.IsOpen());
}

// Whatever the input, writing, reading back and writing again gives the same text: what the
// store writes is a faithful picture of what it holds.
TEST(CIniExRead, SerializedTextReadsBackTheSame)
{
    const std::string inputs[] = {
        "",
        "\n\n\n",
        "[A]\n[B]\n[]\n=5\nk\n\r\n[C]\r\nx=y;z\r",
        "[S]\0[T]\nk\0=\0\n"s,
        "\x81\n[\x81]\n\x81=\x81;\n",
        "[[x]]\n[x=y]\n]x[\n[\n]\n",
        "\r\r\r\n\r",
    };
    for (const std::string &input : inputs) {
        for (int codePage : {kSjis, kGbk, kWest}) {
            CIniEx first;
            first.SetCodePage(codePage);
            first.LoadText(input, true);
            const std::string once = first.Serialize();
            CIniEx second;
            second.SetCodePage(codePage);
            second.LoadText(once, true);
            EXPECT_EQ(second.Serialize(), once) << "input: " << input;
        }
    }
}

} // namespace
} // namespace kvl
