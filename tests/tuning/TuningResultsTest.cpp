// The tuning results ring and its five-column view, and the five tuning fields' conversions and
// red-text rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tuning/CTuningFields.h"
#include "tuning/CTuningResults.h"

namespace kvl::tuning {
namespace {

using Field = CTuningFields::Field;

CTuningResults::Record RecordNumbered(int n)
{
    CTuningResults::Record record;
    for (int row = 0; row < CTuningResults::kRows; ++row)
        record[static_cast<size_t>(row)] = std::to_string(n) + "." + std::to_string(row);
    return record;
}

TEST(TuningResultsTest, StatusValuesRoundUpToTen)
{
    const struct {
        int value, shown;
    } cases[] = {{123, 130}, {120, 120}, {1, 10}, {0, 0}, {-7, -7}, {9999, 10000}};
    for (const auto &c : cases)
        EXPECT_EQ(CTuningResults::RoundUpToTen(c.value), c.shown) << c.value;
}

TEST(TuningResultsTest, RingOverwritesTheOldestAndTheViewFollowsTheNewest)
{
    CTuningResults results;
    EXPECT_EQ(results.RingPosition(), 0);
    EXPECT_EQ(results.HighlightedColumn(), 0);
    for (int n = 1; n <= 5; ++n)
        results.Add(RecordNumbered(n));
    EXPECT_EQ(results.ScrollPosition(), 0);
    EXPECT_EQ(results.HighlightedColumn(), 5);
    results.Add(RecordNumbered(6));
    EXPECT_EQ(results.ScrollPosition(), 1) << "the sixth record scrolls the view by one";
    EXPECT_EQ(results.HighlightedColumn(), 5);
    EXPECT_EQ(results.ColumnHeading(0), "2");
    for (int n = 7; n <= 10; ++n)
        results.Add(RecordNumbered(n));
    EXPECT_EQ(results.ScrollPosition(), 5);
    EXPECT_EQ(results.ColumnRecord(4)[0], "10.0");
    // The eleventh overwrites position 1 and the view goes back to show it in column 1.
    results.Add(RecordNumbered(11));
    EXPECT_EQ(results.RingPosition(), 1);
    EXPECT_EQ(results.RecordAt(1)[12], "11.12");
    EXPECT_EQ(results.ScrollPosition(), 0);
    EXPECT_EQ(results.HighlightedColumn(), 1);
    EXPECT_EQ(results.ColumnRecord(0)[0], "11.0");
    EXPECT_EQ(results.ColumnRecord(1)[0], "2.0");
    // Scrolled to the end, the newest (position 3) brings the view to 2.
    results.Add(RecordNumbered(12));
    results.Add(RecordNumbered(13));
    results.Scroll(CTuningResults::ScrollAction::kEnd);
    EXPECT_EQ(results.ScrollPosition(), 5);
    EXPECT_EQ(results.HighlightedColumn(), 0) << "the newest is out of view";
    results.Add(RecordNumbered(14));
    EXPECT_EQ(results.RingPosition(), 4);
    EXPECT_EQ(results.ScrollPosition(), 3);
}

TEST(TuningResultsTest, ScrollStaysWithinRangeAndClearEmptiesAll)
{
    CTuningResults results;
    results.Scroll(CTuningResults::ScrollAction::kLineLeft);
    EXPECT_EQ(results.ScrollPosition(), 0);
    results.Scroll(CTuningResults::ScrollAction::kPageRight);
    results.Scroll(CTuningResults::ScrollAction::kLineRight);
    EXPECT_EQ(results.ScrollPosition(), 2);
    results.SetScroll(9);
    EXPECT_EQ(results.ScrollPosition(), 5);
    results.Scroll(CTuningResults::ScrollAction::kLineRight);
    EXPECT_EQ(results.ScrollPosition(), 5);
    results.Scroll(CTuningResults::ScrollAction::kHome);
    EXPECT_EQ(results.ScrollPosition(), 0);
    results.Add(RecordNumbered(1));
    results.SetScroll(3);
    results.Clear();
    EXPECT_EQ(results.RingPosition(), 0);
    EXPECT_EQ(results.ScrollPosition(), 0);
    EXPECT_EQ(results.HighlightedColumn(), 0);
    EXPECT_EQ(results.RecordAt(1)[0], "");
}

TEST(TuningResultsTest, TsvHoldsTheStoredRecordsInRingOrder)
{
    CTuningResults results;
    results.Add(RecordNumbered(1));
    results.Add(RecordNumbered(2));
    std::vector<std::string> rows;
    for (int row = 0; row < CTuningResults::kRows; ++row)
        rows.push_back("row" + std::to_string(row));
    const std::string tsv = results.Tsv("Record", rows);
    EXPECT_EQ(tsv.substr(0, tsv.find('\n')), "Record\t1\t2");
    EXPECT_NE(tsv.find("row0\t1.0\t2.0\n"), std::string::npos) << tsv;
    EXPECT_NE(tsv.find("row12\t1.12\t2.12\n"), std::string::npos) << tsv;
    EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), CTuningResults::kRows + 1);
}

TEST(TuningFieldsTest, RawValuesOfTheTexts)
{
    const struct {
        Field field;
        const char *text;
        int32_t raw;
    } cases[] = {
        {Field::kAcceleration, "2.3", 23},   {Field::kAcceleration, "5", 50},
        {Field::kLoadInertia, "1.001", 1001}, {Field::kLoadInertia, "12.3456", 12346},
        {Field::kStroke, "100", 100},        {Field::kSettlingTime, "10000", 10000},
    };
    for (const auto &c : cases) {
        CTuningFields fields;
        fields.Edit(c.field, c.text);
        EXPECT_EQ(fields.RawOf(c.field), c.raw) << c.text;
    }
}

TEST(TuningFieldsTest, ReadShowsTheFormatsAndTypingTurnsRedUntilEqual)
{
    CTuningFields fields;
    fields.TakeRead(Field::kAcceleration, 23);
    fields.TakeRead(Field::kLoadInertia, 1500);
    fields.TakeRead(Field::kSettlingTime, 120);
    EXPECT_EQ(fields.Text(Field::kAcceleration), "2.3");
    EXPECT_EQ(fields.Text(Field::kLoadInertia), "1.500");
    EXPECT_EQ(fields.Text(Field::kSettlingTime), "120");
    EXPECT_FALSE(fields.Red(Field::kAcceleration));
    fields.Edit(Field::kAcceleration, "2.4");
    EXPECT_TRUE(fields.Red(Field::kAcceleration));
    EXPECT_TRUE(fields.Changed(Field::kAcceleration));
    fields.Edit(Field::kAcceleration, "2.30");
    EXPECT_FALSE(fields.Red(Field::kAcceleration)) << "equal to the reference again";
    fields.Edit(Field::kLoadInertia, "1.5001");
    EXPECT_TRUE(fields.Changed(Field::kLoadInertia)) << "a load inertia ratio changes by more than 1e-7";
    fields.TakeWritten(Field::kLoadInertia);
    EXPECT_FALSE(fields.Red(Field::kLoadInertia));
    EXPECT_FALSE(fields.Changed(Field::kLoadInertia));
    fields.TakeReadStiffness(9);
    EXPECT_EQ(fields.Stiffness(), 5);
    fields.StiffnessHigher();
    EXPECT_EQ(fields.Stiffness(), 5);
    fields.StiffnessLower();
    EXPECT_TRUE(fields.StiffnessChanged());
}

TEST(TuningFieldsTest, SettlingTimeRange)
{
    for (const auto &[text, valid] : {std::pair{"49", false}, {"50", true}, {"10000", true}, {"10001", false}}) {
        CTuningFields fields;
        fields.Edit(Field::kSettlingTime, text);
        EXPECT_EQ(fields.SettlingTimeValid(), valid) << text;
    }
}

} // namespace
} // namespace kvl::tuning
