// Visibility, write and save rules by hide class and access level, row numbering, the row mark,
// the range and value cells, the title suffixes and the hidden areas of the parameter list.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "ParamFixture.h"
#include "config/CIniEx.h"
#include "params/CParamListPair.h"
#include "params/CParamListRules.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

CParamData Record(int type, int hide, int tab = 1, bool writable = true)
{
    CParamData record;
    record.SetType(type);
    record.SetHideClass(hide);
    record.SetTab(tab);
    record.SetWritable(writable);
    return record;
}

TEST(ParamListRules, ShownByTabHideClassAndLevel)
{
    struct Case {
        int hide;
        int recordTab;
        int viewTab;
        int level;
        bool shown;
    };
    const Case cases[] = {
        {0, 2, 0, 0, true},  {0, 2, 2, 0, true},  {0, 2, 3, 0, false}, {0, 0, 1, 0, false},
        {1, 2, 0, 0, false}, {1, 2, 0, 1, false}, {1, 2, 0, 2, false}, {1, 2, 2, 2, false},
        {2, 2, 0, 0, false}, {2, 2, 0, 1, true},  {2, 2, 0, 2, true},  {2, 2, 2, 1, true},
        {3, 2, 0, 0, false}, {3, 2, 0, 1, true},  {3, 2, 0, 2, true},  {3, 2, 4, 2, false},
        {7, 2, 0, 2, false}, {-1, 2, 0, 2, false},
    };
    for (const Case &c : cases) {
        const CParamData record = Record(CParamData::kTypeInteger, c.hide, c.recordTab);
        EXPECT_EQ(CParamListRules::IsShown(record, c.viewTab, c.level), c.shown)
            << "hide " << c.hide << " tab " << c.recordTab << " view " << c.viewTab << " level "
            << c.level;
    }
    EXPECT_FALSE(CParamListRules::IsShown(CParamData(), 0, 2)) << "an empty slot has no row";
}

TEST(ParamListRules, WriteSaveGreyAndEditByHideClassAndLevel)
{
    struct Case {
        int hide;
        int level;
        bool write;
        bool saved;
        bool greyed;
        bool editable;
    };
    const Case cases[] = {
        {0, 0, true, true, false, true},    {0, 1, true, true, false, true},
        {0, 2, true, true, false, true},    {1, 0, false, false, false, false},
        {1, 2, false, false, false, false}, {2, 0, false, false, false, false},
        {2, 1, true, true, false, true},    {2, 2, true, true, false, true},
        {3, 0, false, false, false, false}, {3, 1, false, true, true, false},
        {3, 2, true, true, false, true},    {9, 2, false, false, false, false},
    };
    for (const Case &c : cases) {
        const CParamData record = Record(CParamData::kTypeInteger, c.hide);
        SCOPED_TRACE(testing::Message() << "hide " << c.hide << " level " << c.level);
        EXPECT_EQ(CParamListRules::MayWrite(record, c.level), c.write);
        EXPECT_EQ(CParamListRules::IsSaved(record, c.level), c.saved);
        EXPECT_EQ(CParamListRules::IsGreyed(record, c.level), c.greyed);
        EXPECT_EQ(CParamListRules::IsEditable(record, c.level), c.editable);
    }
    EXPECT_FALSE(CParamListRules::IsEditable(Record(CParamData::kTypeInteger, 0, 1, false), 2))
        << "the writable flag 0 forbids editing";
    EXPECT_FALSE(CParamListRules::MayWrite(CParamData(), 2));
    EXPECT_FALSE(CParamListRules::IsSaved(CParamData(), 2));
}

TEST(ParamListRules, RowsFollowTabAndLevelInBothLists)
{
    CParamList driver = test::LoadList(test::MdbTarget());
    CParamListPair lists(driver);
    struct Case {
        int tab;
        int level;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {0, 0, {1, 2, 3, 4, 5, 9, 12, 16, 31, 36, 45, 100, 102, 151, 182}},
        {0, 1, {1, 2, 3, 4, 5, 9, 12, 16, 20, 21, 31, 36, 45, 100, 102, 151, 182}},
        {3, 0, {}},
        {3, 2, {20, 21}},
        {1, 0, {1, 2, 3, 4}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "tab " << c.tab << " level " << c.level);
        EXPECT_EQ(lists.AssignRows(c.tab, c.level, 182), c.shown);
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(lists.Driver().At(c.shown[i]).Row(), static_cast<int>(i) + 1);
            EXPECT_EQ(lists.File().At(c.shown[i]).Row(), static_cast<int>(i) + 1);
        }
    }
    lists.AssignRows(3, 2, 182);
    EXPECT_EQ(lists.File().At(1).Row(), -1);
    EXPECT_EQ(lists.Driver().At(22).Row(), -1);
    EXPECT_EQ(lists.AssignRows(0, 0, 111).back(), 102) << "numbers above the count have no row";
    EXPECT_EQ(lists.AssignRows(0, 0, 101).back(), 100);
}

TEST(ParamListRules, MarkAndWriteComparisons)
{
    CParamData a = Record(CParamData::kTypeReal, 0);
    CParamData b = a;
    a.SetRealValue(1.0);
    b.SetRealValue(1.0 + 1e-12);
    EXPECT_FALSE(CParamListRules::MarkDiffers(a, b)) << "within the mark tolerance";
    EXPECT_TRUE(CParamListRules::WriteDiffers(a, b)) << "the write compares exactly";
    b.SetRealValue(1.0001);
    EXPECT_TRUE(CParamListRules::MarkDiffers(a, b));

    CParamData s = Record(CParamData::kTypeSelection, 0);
    s.AddChoice(test::Western("A"));
    s.AddChoice(test::Western("B"));
    CParamData t = s;
    s.SetIndex(0);
    t.SetIndex(0);
    EXPECT_FALSE(CParamListRules::MarkDiffers(s, t));
    EXPECT_FALSE(CParamListRules::WriteDiffers(s, t));
    t.SetIndex(1);
    EXPECT_TRUE(CParamListRules::MarkDiffers(s, t));
    EXPECT_TRUE(CParamListRules::WriteDiffers(s, t));

    CParamData i = Record(CParamData::kTypeInteger, 0);
    CParamData j = i;
    i.SetIntValue(5);
    j.SetIntValue(6);
    EXPECT_TRUE(CParamListRules::MarkDiffers(i, j));
    j.SetIntValue(5);
    EXPECT_FALSE(CParamListRules::WriteDiffers(i, j));
    EXPECT_TRUE(CParamListRules::WriteDiffers(i, a)) << "different types";
    EXPECT_FALSE(CParamListRules::WriteDiffers(CParamData(), CParamData()));

    CParamData x = Record(CParamData::kTypeText, 0);
    CParamData y = x;
    x.SetTextValue(test::Western("ONE"));
    y.SetTextValue(test::Western("TWO"));
    EXPECT_TRUE(CParamListRules::WriteDiffers(x, y));
}

TEST(ParamListRules, RangeAndValueCells)
{
    const CParamList list = test::LoadList(test::MdbTarget());
    EXPECT_EQ(CParamListRules::RangeText(list.At(12), 12, 0), "[0, 5000]");
    EXPECT_EQ(CParamListRules::RangeText(list.At(1), 1, 0), "[-100.00, 500.00]");
    EXPECT_EQ(CParamListRules::RangeText(list.At(1), 1, 2), "[-100.0000, 500.0000]");
    EXPECT_EQ(CParamListRules::RangeText(list.At(16), 16, 2), "[0.00, 1000.00]");
    EXPECT_EQ(CParamListRules::RangeText(list.At(5), 5, 0), "CW/CCW");
    EXPECT_EQ(CParamListRules::RangeText(list.At(100), 100, 0), "");

    CParamData same = list.At(12);
    same.SetIntRange(7, 7);
    EXPECT_EQ(CParamListRules::RangeText(same, 12, 0), "-");
    CParamData thirty = list.At(16);
    thirty.SetRealRange(0, 1);
    EXPECT_EQ(CParamListRules::RangeText(thirty, 30, 1), "[0.000, 1.000]");
    EXPECT_EQ(CParamListRules::RangeText(thirty, 30, 0), "[0.00, 1.00]");

    CParamData over = list.At(12);
    over.SetIntValue(9000);
    EXPECT_EQ(CParamListRules::GridValueText(over, 12, 0), "5000") << "shown clamped";
    EXPECT_EQ(over.IntValue(), 9000) << "held as read";

    // Files carry the DisplayPrecision decimals whatever the grid shows for positions.
    EXPECT_EQ(CParamListRules::GridValueText(list.At(1), 1, 2), "400.0000");
    EXPECT_EQ(CParamListRules::FileValueText(list.At(1)).Bytes(), "400.00");
    CParamData pulse = list.At(45);
    pulse.SetIndex(16);
    EXPECT_EQ(CParamListRules::FileValueText(pulse).Bytes(), "16");
    CParamData name = list.At(100);
    name.SetTextValue(test::Western("ABCDEFGHIJKLMNOPQRS"));
    EXPECT_EQ(CParamListRules::FileValueText(name).Bytes(), "ABCDEFGHIJKLMNOP");
}

TEST(ParamListRules, TitleSuffixesAndModelKeys)
{
    EXPECT_EQ(CParamListRules::TitleSuffix(0, 2), "");
    EXPECT_EQ(CParamListRules::TitleSuffix(1, 2), "  Custom");
    EXPECT_EQ(CParamListRules::TitleSuffix(1, 3), "          Custom");
    EXPECT_EQ(CParamListRules::TitleSuffix(1, 1), "      Custom");
    EXPECT_EQ(CParamListRules::TitleSuffix(2, 2), "  Custom     SP");
    EXPECT_EQ(CParamListRules::TitleSuffix(2, 3), "          Custom     SP");
    EXPECT_EQ(CParamListRules::TitleSuffix(2, 1), "      Custom     SP");

    const std::pair<const char *, const char *> keys[] = {
        {"MDA", "MDA"},    {"MDB", "MDB"},     {"MDC", "MDC"},
        {"MDC-X", "XMDC"}, {"MDA-Y", "YMDA"}, {"MDA-Z", "ZMDA"}};
    for (const auto &[model, key] : keys)
        EXPECT_EQ(CParamListRules::ModelKey(model), key) << model;
}

TEST(ParamListRules, HiddenAreas)
{
    using Action = CParamListRules::AreaAction;
    struct Case {
        int area;
        int level;
        bool service;
        const char *model;
        Action action;
        int newLevel;
    };
    const Case cases[] = {
        {1, 0, false, "MDA", Action::OpenAccessDialog, 0},
        {1, 1, false, "MDA", Action::SetLevel, 0},
        {1, 2, false, "MDA", Action::SetLevel, 0},
        {1, 1, true, "MDA", Action::OpenAccessDialog, 1},
        {1, 2, true, "MDA", Action::SetLevel, 1},
        {2, 1, false, "MDA", Action::None, 1},
        {2, 0, false, "MDB", Action::None, 0},
        {2, 1, false, "MDB", Action::OpenAccessDialog, 1},
        {2, 1, true, "MDC-X", Action::OpenAccessDialog, 1},
        {2, 2, false, "MDC", Action::SetLevel, 0},
        {2, 2, true, "MDC", Action::SetLevel, 1},
    };
    for (const Case &c : cases) {
        const auto result = c.area == 1
                                ? CParamListRules::FirstHiddenArea(c.level, c.service)
                                : CParamListRules::SecondHiddenArea(c.level, c.service, c.model);
        EXPECT_EQ(result.action, c.action) << c.area << " " << c.level << " " << c.model;
        if (result.action != Action::None) {
            EXPECT_EQ(result.level, c.newLevel) << c.area << " " << c.level << " " << c.model;
        }
    }
}

// What closing asks about: file values edited since the list was copied, read, written, saved
// or loaded, whatever their type.
TEST(ParamListPair, EditsAreUnkeptUntilKept)
{
    CParamList driver = test::LoadList(test::MdbTarget());
    CParamListPair lists(driver);
    EXPECT_FALSE(lists.HasUnkeptEdits()) << "a fresh copy";
    const std::function<void(CParamData &)> edits[] = {
        [](CParamData &p) { p.SetIntValue(p.IntValue() + 1); },
        [](CParamData &p) { p.SetRealValue(p.RealValue() + 0.5); },
        [](CParamData &p) { p.SetIndex(p.SelectedIndex() == 0 ? 1 : 0); },
        [](CParamData &p) { p.SetTextValue(test::Western("Edited")); },
    };
    const int numbers[] = {12, 31, 5, 100};
    for (size_t i = 0; i < std::size(edits); ++i) {
        CParamData &record = lists.File().At(numbers[i]);
        const CParamData before = record;
        edits[i](record);
        EXPECT_TRUE(lists.HasUnkeptEdits()) << "parameter " << numbers[i];
        record = before;
        EXPECT_FALSE(lists.HasUnkeptEdits()) << "parameter " << numbers[i] << " back as it was";
    }
    lists.File().At(12).SetIntValue(200);
    lists.KeepEdits();
    EXPECT_FALSE(lists.HasUnkeptEdits()) << "saved or written";
    lists.File().At(12).SetIntValue(300);
    lists.CopyDriverToFile();
    EXPECT_FALSE(lists.HasUnkeptEdits()) << "copied from the controller's values again";
}

TEST(ParamListPair, FileListIsACopyAndCopyValueKeepsDefinitions)
{
    CParamList driver = test::LoadList(test::MdbTarget());
    CParamListPair lists(driver);
    lists.File().At(12).SetIntValue(200);
    EXPECT_EQ(driver.At(12).IntValue(), 100) << "the file list is the pair's own";
    EXPECT_TRUE(lists.Marked(12));
    EXPECT_FALSE(lists.Marked(16));
    lists.CopyDriverToFile();
    EXPECT_EQ(lists.File().At(12).IntValue(), 100);

    lists.File().At(36).SetIndex(3);
    CParamListPair::CopyValue(lists.File().At(36), lists.Driver().At(36));
    EXPECT_EQ(driver.At(36).SelectedText().Bytes(), "Type 3");
    EXPECT_EQ(driver.At(36).ChoiceCount(), 6);
    CParamListPair::CopyValue(lists.File().At(36), lists.Driver().At(12));
    EXPECT_EQ(driver.At(12).IntValue(), 100) << "no copy between types";
}

TEST(ParamListPair, ReloadTextsKeepsValues)
{
    CParamList driver = test::LoadList(test::MdbTarget());
    CParamListPair lists(driver);
    lists.File().At(5).SetIndex(1);
    lists.File().At(12).SetIntValue(7);
    CIniEx other;
    other.LoadText("[5]\nDisplayName=Sens\nType=3\nSelItemCount=2\nSelItem1=Horaire\n"
                   "SelItem2=Antihoraire\nRange=H/A\n[12]\nDisplayName=Plage\n",
                   true);
    lists.ReloadTexts(other, 182);
    for (CParamList *list : {&lists.Driver(), &lists.File()}) {
        EXPECT_EQ(list->At(5).DisplayName().Bytes(), "Sens");
        EXPECT_EQ(list->At(5).RangeText().Bytes(), "H/A");
        EXPECT_EQ(list->At(12).DisplayName().Bytes(), "Plage");
    }
    EXPECT_EQ(lists.File().At(5).SelectedText().Bytes(), "Antihoraire");
    EXPECT_EQ(lists.Driver().At(5).SelectedText().Bytes(), "Horaire");
    EXPECT_EQ(lists.File().At(12).IntValue(), 7);
}

TEST(ParamListRules, ModelOfAFilesModelKey)
{
    const struct {
        const char *key;
        const char *model; // nullptr: no model key
    } cases[] = {
        {"MDA", "MDA"},   {"MDB", "MDB"},   {"mdc", "MDC"},   {"XMDC", "MDC-X"}, {"yMdA", "MDA-Y"},
        {"ZMDA", "MDA-Z"}, {"MDC-X", nullptr}, {"MDD", nullptr}, {"", nullptr},   {"MDB ", nullptr},
    };
    for (const auto &c : cases) {
        const std::optional<std::string> model = CParamListRules::ModelOfKey(c.key);
        if (c.model)
            EXPECT_EQ(model, std::optional<std::string>(c.model)) << c.key;
        else
            EXPECT_FALSE(model.has_value()) << c.key;
    }
}

// The numbers a model has, as the list holds them, in runs.
TEST(ParamListRules, NumberRangesOfAList)
{
    CParamList list;
    const auto define = [&list](int from, int to) {
        for (int n = from; n <= to; ++n)
            list.At(n).SetType(CParamData::kTypeInteger);
    };
    define(1, 49);
    define(100, 182);
    EXPECT_EQ(CParamListRules::NumberRangesText(list, 182), "1-49 and 100-182");
    EXPECT_EQ(CParamListRules::NumberRangesText(list, 111), "1-49 and 100-111") << "up to the model's count";
    list.At(20) = CParamData();
    list.At(150) = CParamData();
    EXPECT_EQ(CParamListRules::NumberRangesText(list, 151), "1-19, 21-49, 100-149 and 151");
    EXPECT_EQ(CParamListRules::NumberRangesText(CParamList(), 182), "");
    // The small MDB file of the parameter tests defines a few numbers only.
    EXPECT_EQ(CParamListRules::NumberRangesText(test::LoadList(test::MdbTarget()), 182),
              "1-5, 9, 12, 16, 20-22, 31, 36, 45, 100, 102, 151 and 182");
}

} // namespace
} // namespace kvl::params
