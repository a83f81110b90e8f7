// The system-folder generator: language tags, code pages, CR LF, and the errors that stop the
// build.
#include "system/tools/SysGen.h"

#include <string>

#include <gtest/gtest.h>

#include <ostream>

namespace kvl {
namespace {

struct GenerateCase {
    const char *name;
    std::string source;
    const char *language;
    int codePage;
    std::string output;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const GenerateCase &c, std::ostream *out)
{
    *out << c.name;
}

class SysGenOutput : public ::testing::TestWithParam<GenerateCase> {};

TEST_P(SysGenOutput, WritesTheLanguagesFile)
{
    const GenerateCase &c = GetParam();
    const sysgen::Result result = sysgen::Generate(c.source, "src.ini", c.language, c.codePage);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.output, c.output);
}

constexpr char kTagged[] = "[1]\nDisplayName@ja=位置\nDisplayName@en=Position\n"
                           "DisplayName@zh=位置\nType=2\n";

const GenerateCase kOutputs[] = {
    {"UntaggedLinesForAll", "[S]\nk=v\n\n; note\n", "en", 1252, "[S]\r\nk=v\r\n\r\n; note\r\n"},
    {"JapaneseTagKept", kTagged, "ja", 932, "[1]\r\nDisplayName=\x88\xca\x92\x75\r\nType=2\r\n"},
    {"EnglishTagKept", kTagged, "en", 1252, "[1]\r\nDisplayName=Position\r\nType=2\r\n"},
    {"ChineseTagKept", kTagged, "zh", 936, "[1]\r\nDisplayName=\xce\xbb\xd6\xc3\r\nType=2\r\n"},
    {"CrLfSourceNoFinalNewline", "[S]\r\nk=1\r\nj=2", "en", 1252, "[S]\r\nk=1\r\nj=2\r\n"},
    {"UnknownTagIsPartOfTheKey", "mail@de=x\n", "en", 1252, "mail@de=x\r\n"},
    {"TagOnlyInTheKey", "k=a@ja\n", "en", 1252, "k=a@ja\r\n"},
    {"HeaderWithAtSign", "[x@ja]\n", "en", 1252, "[x@ja]\r\n"},
    {"SemicolonInCommentLine", "; a note; more\n", "en", 1252, "; a note; more\r\n"},
    {"FullWidthParentheses", "k=（IP）\n", "ja", 932, "k=\x81\x69IP\x81\x6a\r\n"},
    {"EmptySource", "", "zh", 936, ""},
    {"OtherLanguagesLineSkipped", "[S]\nk@ja=한\nk@zh=中\n", "zh", 936, "[S]\r\nk=\xd6\xd0\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SysGenOutput, ::testing::ValuesIn(kOutputs),
                         [](const auto &info) { return std::string(info.param.name); });

struct ErrorCase {
    const char *name;
    std::string source;
    const char *language;
    int codePage;
    std::string error;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const ErrorCase &c, std::ostream *out)
{
    *out << c.name;
}

class SysGenError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SysGenError, NamesFileAndLine)
{
    const ErrorCase &c = GetParam();
    const sysgen::Result result = sysgen::Generate(c.source, "lang_x.ini", c.language, c.codePage);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, c.error);
}

const ErrorCase kErrors[] = {
    {"HanInEnglish", "[S]\nk=ok\nj=中\n", "en", 1252,
     "lang_x.ini:3: character U+4E2D cannot be written in code page 1252"},
    {"HangulInJapanese", "[S]\nk@ja=한\n", "ja", 932,
     "lang_x.ini:2: character U+D55C cannot be written in code page 932"},
    {"InvalidUtf8", "k=\xff\n", "ja", 932,
     "lang_x.ini:1: character U+FFFD cannot be written in code page 932"},
    {"SemicolonInValue", "[S]\n\nk@en=a;b\n", "en", 1252,
     "lang_x.ini:3: \";\" in a value would be cut off as a note"},
    {"UnknownLanguage", "k=1\n", "de", 1252, "unknown language or code page"},
    {"UnknownCodePage", "k=1\n", "en", 437, "unknown language or code page"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SysGenError, ::testing::ValuesIn(kErrors),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace kvl
