// The parameter record: type guard, ordered ranges, choices, set-index and set-by-text.
#include <gtest/gtest.h>

#include <climits>

#include "params/CParamData.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

CParamData MakeSelection(std::initializer_list<const char *> choices)
{
    CParamData record;
    record.SetType(CParamData::kTypeSelection);
    for (const char *choice : choices)
        record.AddChoice(test::Western(choice));
    return record;
}

TEST(CParamData, TypeOutsideZeroToFourIsRefusedAndKeepsTheOldType)
{
    CParamData record;
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_TRUE(record.SetType(CParamData::kTypeReal));
    for (int bad : {-1, 5, 100}) {
        EXPECT_FALSE(record.SetType(bad)) << bad;
        EXPECT_EQ(record.GetType(), CParamData::kTypeReal) << bad;
    }
    EXPECT_TRUE(record.SetType(CParamData::kTypeEmpty));
    EXPECT_TRUE(record.IsEmpty());
}

TEST(CParamData, RangesKeepTheSmallerValueAsLower)
{
    CParamData record;
    record.SetIntRange(500, -20);
    EXPECT_EQ(record.IntMin(), -20);
    EXPECT_EQ(record.IntMax(), 500);
    record.SetRealRange(9999.9999, -0.5);
    EXPECT_DOUBLE_EQ(record.RealMin(), -0.5);
    EXPECT_DOUBLE_EQ(record.RealMax(), 9999.9999);
    record.SetRealRange(1.0, 2.0);
    EXPECT_DOUBLE_EQ(record.RealMin(), 1.0);
    EXPECT_DOUBLE_EQ(record.RealMax(), 2.0);
}

TEST(CParamData, PrecisionIsLimitedToWhatAnInt32Factor)
{
    CParamData record;
    const struct { int given; int kept; } cases[] = {{-3, 0}, {0, 0}, {4, 4}, {9, 9}, {12, 9}};
    for (const auto &c : cases) {
        record.SetPrecision(c.given);
        EXPECT_EQ(record.Precision(), c.kept) << c.given;
    }
}

TEST(CParamData, ChoicesAreStrippedAndEmptyOnesSkipped)
{
    const CParamData record = MakeSelection({"  Normal ", "", "   ", "\tReverse"});
    ASSERT_EQ(record.ChoiceCount(), 2);
    EXPECT_EQ(record.Choices()[0], test::Western("Normal"));
    EXPECT_EQ(record.Choices()[1], test::Western("Reverse"));
    EXPECT_EQ(record.SelectedIndex(), -1);
    EXPECT_EQ(record.SelectedText().Bytes(), "");
}

TEST(CParamData, SetIndexRefusesOutsideTheListAndMarksOnlyRealChanges)
{
    CParamData record = MakeSelection({"A", "B", "C"});
    EXPECT_FALSE(record.SetIndex(-1, true));
    EXPECT_FALSE(record.SetIndex(3, true));
    EXPECT_EQ(record.SelectedIndex(), -1);
    EXPECT_FALSE(record.IsChanged());

    EXPECT_TRUE(record.SetIndex(1, false));
    EXPECT_EQ(record.SelectedText().Bytes(), "B");
    EXPECT_FALSE(record.IsChanged()) << "no marking asked for";

    EXPECT_TRUE(record.SetIndex(1, true));
    EXPECT_FALSE(record.IsChanged()) << "same index is no change";

    EXPECT_TRUE(record.SetIndex(2, true));
    EXPECT_EQ(record.SelectedIndex(), 2);
    EXPECT_EQ(record.SelectedText().Bytes(), "C");
    EXPECT_TRUE(record.IsChanged());
}

TEST(CParamData, SetIndexOnIntegerSetsTheValueAndOtherTypesRefuse)
{
    CParamData integer;
    integer.SetType(CParamData::kTypeInteger);
    EXPECT_TRUE(integer.SetIndex(7));
    EXPECT_EQ(integer.IntValue(), 7);

    for (int type : {CParamData::kTypeEmpty, CParamData::kTypeReal, CParamData::kTypeText}) {
        CParamData other;
        other.SetType(type);
        EXPECT_FALSE(other.SetIndex(0)) << type;
    }
}

TEST(CParamData, SetByTextConvertsByType)
{
    const struct {
        int type;
        const char *text;
        bool taken;
        int intValue;
        double realValue;
    } cases[] = {
        {CParamData::kTypeInteger, "42", true, 42, 0},
        {CParamData::kTypeInteger, "  -17mm", true, -17, 0},
        {CParamData::kTypeInteger, "+8", true, 8, 0},
        {CParamData::kTypeInteger, "abc", true, 0, 0},        // no digits is 0, as atoi
        {CParamData::kTypeInteger, "99999999999", true, INT_MAX, 0},
        {CParamData::kTypeInteger, "-99999999999", true, INT_MIN, 0},
        {CParamData::kTypeReal, "1.2345", true, 0, 1.2345},
        {CParamData::kTypeReal, " -0.5 mm", true, 0, -0.5},
        {CParamData::kTypeReal, "2.5e2", true, 0, 250.0},
        {CParamData::kTypeReal, "3e", true, 0, 3.0},          // exponent without digits ignored
        {CParamData::kTypeReal, ".75", true, 0, 0.75},
        {CParamData::kTypeReal, "x1", true, 0, 0.0},
        {CParamData::kTypeReal, "1e999", false, 0, 5.0},     // not finite: the value stays
    };
    for (const auto &c : cases) {
        CParamData record;
        record.SetType(c.type);
        record.SetIntValue(5);
        record.SetRealValue(5.0);
        EXPECT_EQ(record.SetByText(test::Western(c.text)), c.taken) << c.text;
        if (c.type == CParamData::kTypeInteger)
            EXPECT_EQ(record.IntValue(), c.intValue) << c.text;
        else
            EXPECT_DOUBLE_EQ(record.RealValue(), c.realValue) << c.text;
    }
}

TEST(CParamData, SetByTextWithEmptyTextChangesNothing)
{
    CParamData integer;
    integer.SetType(CParamData::kTypeInteger);
    integer.SetIntValue(12);
    EXPECT_FALSE(integer.SetByText(test::Western("")));
    EXPECT_EQ(integer.IntValue(), 12);

    CParamData text;
    text.SetType(CParamData::kTypeText);
    text.SetTextValue(test::Western("AXIS-1"));
    EXPECT_FALSE(text.SetByText(test::Western("")));
    EXPECT_EQ(text.TextValue().Bytes(), "AXIS-1");

    CParamData selection = MakeSelection({"A", "B"});
    selection.SetIndex(1);
    EXPECT_FALSE(selection.SetByText(test::Western("")));
    EXPECT_EQ(selection.SelectedIndex(), 1);
}

TEST(CParamData, SetByTextSelectsTheFirstExactlyEqualChoice)
{
    CParamData record = MakeSelection({"Valid", "Invalid", "Valid"});
    record.SetIndex(1);
    const struct { const char *text; int index; } cases[] = {
        {"valid", 1},       // case-sensitive: no match leaves the previous choice
        {"Vali", 1},
        {"  Valid  ", 0},   // blanks stripped; first of two equal choices
        {"Invalid", 1},
    };
    for (const auto &c : cases) {
        record.SetByText(test::Western(c.text));
        EXPECT_EQ(record.SelectedIndex(), c.index) << c.text;
    }
}

TEST(CParamData, SetByTextMarksSelectionChangesOnlyWhenAsked)
{
    CParamData record = MakeSelection({"A", "B"});
    record.SetIndex(0);
    record.SetByText(test::Western("B"), false);
    EXPECT_FALSE(record.IsChanged());
    record.SetByText(test::Western("A"), true);
    EXPECT_TRUE(record.IsChanged());
}

TEST(CParamData, TextValueIsStripped)
{
    CParamData record;
    record.SetType(CParamData::kTypeText);
    EXPECT_TRUE(record.SetByText(test::Western("  LIFT AXIS  ")));
    EXPECT_EQ(record.TextValue().Bytes(), "LIFT AXIS");
}

} // namespace
} // namespace kvl::params
