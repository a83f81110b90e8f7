#include <gtest/gtest.h>

#include "PointsTestSupport.h"
#include "points/CKVL_VER2_ProgData.h"

namespace kvl::points {
namespace {

using test::JapaneseLikeTexts;
using test::MakeStep;
using test::RowTexts;

std::array<std::string, kStepColumnCount> AllFieldTexts(const CKVL_VER2_ProgData &r)
{
    std::array<std::string, kStepColumnCount> texts;
    for (int k = 0; k < kStepColumnCount; ++k)
        texts[k] = r.FieldText(k);
    return texts;
}

TEST(ProgData, ConstructionAndFactoryValues)
{
    const CKVL_VER2_ProgData fresh;
    EXPECT_TRUE(fresh.IsEmpty());
    EXPECT_EQ(AllFieldTexts(fresh), (std::array<std::string, kStepColumnCount>{
                                        "1", "", "", "1", "", "", "0", "0", "", "", "", "0", "0", "100", "1", "", ""}));

    CKVL_VER2_ProgData factory;
    factory.SetFieldText(kColComment, "old", CStepTexts());
    factory.SetFactory(7);
    EXPECT_FALSE(factory.IsEmpty());
    EXPECT_EQ(AllFieldTexts(factory),
              (std::array<std::string, kStepColumnCount>{"7", "ABS", "9999.9999", "1", "0.01", "0.01", "0", "0",
                                                         "999.9999", "0", "0", "0", "0", "100", "1", "E", ""}));
}

TEST(ProgData, EqualsComparesEveryFieldAndOptionallyTheComment)
{
    const CKVL_VER2_ProgData base = MakeStep(3, "ABS", "12.5", "E", "note");
    const char *other[kStepColumnCount] = {"4",   "INC", "12.6", "101", "0.4", "0.4", "1", "1", "0.2",
                                           "1.5", "2.5", "1",    "4",   "10",  "2",   "5", "other"};
    for (int k = 0; k < kStepColumnCount; ++k) {
        CKVL_VER2_ProgData changed = base;
        changed.SetFieldText(k, other[k], CStepTexts());
        EXPECT_FALSE(changed.Equals(base)) << "column " << k;
        EXPECT_EQ(changed.Equals(base, true), k == kColComment) << "column " << k;
    }
    CKVL_VER2_ProgData emptied = base;
    emptied.SetEmpty(true);
    EXPECT_FALSE(emptied.Equals(base, true));

    CKVL_VER2_ProgData copy;
    copy.CopyFrom(emptied);
    EXPECT_TRUE(copy.Equals(emptied));
    EXPECT_TRUE(copy.IsEmpty());

    // Texts are compared exactly: the same number written differently is a different record.
    CKVL_VER2_ProgData rewritten = base;
    rewritten.SetFieldText(kColPosition, "12.5", CStepTexts());
    EXPECT_FALSE(rewritten.Equals(base));
}

TEST(ProgData, SetFieldTextByColumn)
{
    const CStepTexts texts = JapaneseLikeTexts();
    const struct {
        int column;
        const char *text;
        const char *stored;
    } cases[] = {
        {kColStep, "12x", "12"},          {kColStep, "70000", "32767"},  {kColMode, "Relative", "INC"},
        {kColMode, "Absolute", "ABS"},    {kColMode, "whatever", "whatever"}, {kColPosition, "12.5", "12.5"},
        {kColPosition, "abc", "abc"},     {kColSpeed, "250.9", "250"},   {kColSpeed, "-3", "-3"},
        {kColAcc, "0.3", "0.3"},          {kColPush, "5", "5"},          {kColThreshold, "x", "0"},
        {kColAccDecMode, "1", "1"},       {kColAccDecMode, "300", "255"}, {kColAccDecMode, "-1", "0"},
        {kColStopMode, "4", "4"},         {kColStdTime, "10000", "10000"}, {kColRepeat, "99", "99"},
        {kColRepeat, "256", "255"},       {kColJump, "E", "E"},          {kColJump, "1234", "123"},
        {kColComment, "any length comment that is longer than nineteen", "any length comment that is longer than nineteen"},
    };
    for (const auto &c : cases) {
        CKVL_VER2_ProgData r = MakeStep(0);
        r.SetFieldText(c.column, c.text, texts);
        EXPECT_EQ(r.FieldText(c.column), c.stored) << "column " << c.column << " text " << c.text;
        EXPECT_FALSE(r.IsEmpty());
    }
}

TEST(ProgData, ModeLanguageTextsAreMappedOnlyWhenSet)
{
    CKVL_VER2_ProgData r;
    r.SetFieldText(kColMode, "", CStepTexts());
    EXPECT_EQ(r.Mode(), ""); // an empty language text must not turn an empty mode into "ABS"
    r.SetFieldText(kColMode, "INC", CStepTexts());
    EXPECT_EQ(r.Mode(), "INC");
}

TEST(ProgData, TextFieldsAreCutToTheirStorageWidth)
{
    CStepTexts japanese;
    japanese.language = 1;
    CKVL_VER2_ProgData r = MakeStep(0);
    const std::string longText(300, '7');
    for (int k : {kColMode, kColPosition, kColAcc, kColDcc, kColPosRange, kColPAreaA, kColPAreaB}) {
        r.SetFieldText(k, longText, japanese);
        EXPECT_EQ(r.FieldText(k), std::string(19, '7')) << "column " << k;
    }
    r.SetFieldText(kColJump, longText, japanese);
    EXPECT_EQ(r.Jump(), "777");
    r.SetFieldText(kColMode, std::string(18, 'M').append("\x83\x41"), japanese);
    EXPECT_EQ(r.Mode(), std::string(18, 'M'));

    // "%f" of a huge number has hundreds of digits; cutting them would change the magnitude, so the
    // whole-row set stores the largest numbers whose six-decimal form fits the field.
    const struct {
        const char *text;
        const char *stored;
    } reals[] = {{"1e300", "999999999999.000000"},   {"-1e300", "-99999999999.000000"},
                 {"1e12", "999999999999.000000"},    {"999999999998.5", "999999999998.500000"},
                 {"-99999999998.25", "-99999999998.250000"}, {"1e200", "999999999999.000000"}};
    for (const auto &real : reals) {
        r.SetRow(RowTexts(0, "ABS", real.text, "E"), japanese);
        EXPECT_EQ(r.FieldText(kColPosition), real.stored) << real.text;
    }
    auto texts = RowTexts(0, "ABS", "1e300", std::string(10, '9'), longText);
    r.SetRow(texts, japanese);
    EXPECT_EQ(r.Jump(), "999");
    EXPECT_EQ(r.Comment(), longText);
}

TEST(ProgData, WholeRowSetNormalisesModeAndReals)
{
    const CStepTexts texts = JapaneseLikeTexts();
    const struct {
        const char *mode;
        const char *expected;
    } modes[] = {{"I", "INC"},        {"INC", "INC"}, {"inc", "INC"}, {"Inc", "INC"}, {"Relative", "INC"},
                 {"ABS", "ABS"},      {"A", "ABS"},   {"", "ABS"},    {"X", "ABS"},   {"Absolute", "ABS"},
                 {"i", "ABS"},        {"INCR", "ABS"}};
    for (const auto &m : modes) {
        CKVL_VER2_ProgData r;
        r.SetRow(RowTexts(2, m.mode, "1", "E"), texts);
        EXPECT_EQ(r.Mode(), m.expected) << m.mode;
    }

    CKVL_VER2_ProgData r;
    const std::array<std::string, kStepColumnCount> row = {"5",   "ABS", "12.5", "100.9", "0.3", ".25", "3x", "2",
                                                           "0.1", "-1",  "abc",  "1",     "4",   "50",  "9",  "12",
                                                           "a comment"};
    r.SetRow(row, texts);
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(AllFieldTexts(r), (std::array<std::string, kStepColumnCount>{
                                    "5", "ABS", "12.500000", "100", "0.300000", "0.250000", "3", "2", "0.100000",
                                    "-1.000000", "0.000000", "1", "4", "50", "9", "12", "a comment"}));
}

} // namespace
} // namespace kvl::points
