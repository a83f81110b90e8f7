// Editing a value of the file list: who may edit, what each type accepts, the confirmations and
// the two ordered pairs.
#include <gtest/gtest.h>

#include <string>
#include <vector>


#include "ParamFixture.h"
#include "params/CParamEditCheck.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

struct Asked {
    std::vector<ParamMessage> texts;
    std::vector<ParamMessage> titles;
    bool answer = true;

    CParamEditCheck::Confirm Callback()
    {
        return [this](const ParamMessage &text, const ParamMessage &title) {
            texts.push_back(text);
            titles.push_back(title);
            return answer;
        };
    }
};

TEST(ParamEditCheck, InputRulesByType)
{
    const CParamList list = test::LoadList(test::MdbTarget());
    CParamData wholeReal = list.At(16);
    wholeReal.SetPrecision(0);
    struct Case {
        const CParamData *record;
        const char *text;
        EditStatus expected;
    };
    const Case cases[] = {
        {&list.At(12), "100", EditStatus::Applied},
        {&list.At(12), "+5000", EditStatus::Applied},
        {&list.At(12), "0", EditStatus::Applied},
        {&list.At(12), "-1", EditStatus::OutOfRange},
        {&list.At(12), "5001", EditStatus::OutOfRange},
        {&list.At(12), "99999999999999999999999", EditStatus::OutOfRange},
        {&list.At(12), "1a", EditStatus::BadInput},
        {&list.At(12), "", EditStatus::BadInput},
        {&list.At(12), "-", EditStatus::BadInput},
        {&list.At(12), "1-2", EditStatus::BadInput},
        {&list.At(12), "1.5", EditStatus::BadInput},
        {&list.At(12), " 5", EditStatus::BadInput},
        {&list.At(16), "10.5", EditStatus::Applied},
        {&list.At(16), ".5", EditStatus::Applied},
        {&list.At(16), "5.", EditStatus::Applied},
        {&list.At(16), "1000", EditStatus::Applied},
        {&list.At(16), "1000.01", EditStatus::OutOfRange},
        {&list.At(16), "-0.01", EditStatus::OutOfRange},
        {&list.At(16), "1e3", EditStatus::BadInput},
        {&list.At(16), "1.2.3", EditStatus::BadInput},
        {&list.At(16), ".", EditStatus::BadInput},
        {&wholeReal, "10", EditStatus::Applied},
        {&wholeReal, "10.5", EditStatus::BadInput},
        {&list.At(5), "CCW", EditStatus::Applied},
        {&list.At(5), " CCW ", EditStatus::Applied},
        {&list.At(5), "ccw", EditStatus::NoSuchChoice},
        {&list.At(5), "1", EditStatus::NoSuchChoice},
        {&list.At(100), "SIXTEEN CHARS 16", EditStatus::Applied},
        {&list.At(100), "SEVENTEEN CHARS17", EditStatus::TooLong},
        {&list.At(100), "", EditStatus::Applied},
        {&list.At(7), "1", EditStatus::NotEditable},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CParamEditCheck::CheckInput(*c.record, test::Western(c.text)), c.expected)
            << c.record->DisplayName().ToUtf8() << " '" << c.text << "'";
}

TEST(ParamEditCheck, ConfirmationsByNumber)
{
    for (int n : {5, 13, 20, 26, 27, 29, 33, 35, 37, 38})
        EXPECT_EQ(CParamEditCheck::ConfirmationFor(n), (ParamMessage{"IDS_INPUT_CHK_0", "Common"}))
            << n;
    EXPECT_EQ(CParamEditCheck::ConfirmationFor(34), (ParamMessage{"IDS_INPUT_CHK_5", "Common"}));
    EXPECT_EQ(CParamEditCheck::ConfirmationFor(36), (ParamMessage{"IDS_INPUT_CHK_1", "Common"}));
    for (int n : {1, 4, 12, 16, 28, 39, 100, 182})
        EXPECT_TRUE(CParamEditCheck::ConfirmationFor(n).Empty()) << n;
}

TEST(ParamEditCheck, CommitRefusesWhatMayNotBeEdited)
{
    struct Case {
        int number;
        int level;
        EditStatus expected;
    };
    const Case cases[] = {
        {22, 2, EditStatus::NotEditable}, // hide class 1
        {20, 0, EditStatus::NotEditable}, // hide class 2 at level 0
        {20, 1, EditStatus::Applied},
        {21, 1, EditStatus::NotEditable}, // hide class 3 greyed at level 1
        {21, 2, EditStatus::Applied},
        {7, 2, EditStatus::NotEditable},  // no such parameter
        {300, 2, EditStatus::NotEditable},
    };
    for (const Case &c : cases) {
        CParamList file = test::LoadList(test::MdbTarget());
        const int before = file.At(c.number).IntValue();
        const EditResult result = CParamEditCheck::Commit(
            file, c.number, test::Western("42"), c.level, 0,
            [](const ParamMessage &, const ParamMessage &) { return true; });
        EXPECT_EQ(result.status, c.expected) << c.number << " at level " << c.level;
        if (c.expected != EditStatus::Applied)
            EXPECT_EQ(file.At(c.number).IntValue(), before);
        else
            EXPECT_EQ(file.At(c.number).IntValue(), 42);
    }
    CParamList file = test::LoadList(test::MdbTarget());
    file.At(12).SetWritable(false);
    EXPECT_EQ(CParamEditCheck::Commit(file, 12, test::Western("42"), 2, 0, {}).status, EditStatus::NotEditable);
}

TEST(ParamEditCheck, CommitAsksConfirmationOnlyForAChange)
{
    CParamList file = test::LoadList(test::MdbTarget());
    Asked asked;
    asked.answer = false;
    EXPECT_EQ(CParamEditCheck::Commit(file, 5, test::Western("CW"), 0, 0, asked.Callback()).status,
              EditStatus::Unchanged);
    EXPECT_TRUE(asked.texts.empty());

    EXPECT_EQ(CParamEditCheck::Commit(file, 5, test::Western("CCW"), 0, 0, asked.Callback()).status,
              EditStatus::Cancelled);
    ASSERT_EQ(asked.texts.size(), 1u);
    EXPECT_EQ(asked.texts[0], (ParamMessage{"IDS_INPUT_CHK_0", "Common"}));
    EXPECT_EQ(asked.titles[0], (ParamMessage{"IDS_WARN_TITLE", "Common"}));
    EXPECT_EQ(file.At(5).SelectedText(), test::Western("CW"));
    EXPECT_FALSE(file.At(5).IsChanged());

    asked.answer = true;
    EXPECT_EQ(CParamEditCheck::Commit(file, 5, test::Western("CCW"), 0, 0, asked.Callback()).status,
              EditStatus::Applied);
    EXPECT_EQ(file.At(5).SelectedText(), test::Western("CCW"));
    EXPECT_TRUE(file.At(5).IsChanged()) << "set-by-text marks the change";

    EXPECT_EQ(CParamEditCheck::Commit(file, 36, test::Western("Type 2"), 0, 0, {}).status, EditStatus::Cancelled)
        << "no callback declines";
    EXPECT_EQ(CParamEditCheck::Commit(file, 36, test::Western("Type 2"), 0, 0, asked.Callback()).status,
              EditStatus::Applied);
    EXPECT_EQ(asked.texts.back(), (ParamMessage{"IDS_INPUT_CHK_1", "Common"}));

    // The old text is the cell's: the real as shown, so "10.00" is no change but "10" is.
    EXPECT_EQ(CParamEditCheck::Commit(file, 16, test::Western("10.00"), 0, 0, {}).status, EditStatus::Unchanged);
    EXPECT_EQ(CParamEditCheck::Commit(file, 16, test::Western("12.5"), 0, 0, {}).status, EditStatus::Applied);
    EXPECT_DOUBLE_EQ(file.At(16).RealValue(), 12.5);
}

TEST(ParamEditCheck, OrderedPairsRefuseAndKeepTheOldValue)
{
    // Fixture: 1 = 400, 2 = -10, 3 = 300, 4 = 0.
    struct Case {
        int number;
        const char *text;
        const char *refusal; // nullptr: accepted
    };
    const Case cases[] = {
        {1, "-10", "IDS_INPUT_CHK_2"},  {1, "-50", "IDS_INPUT_CHK_2"},
        {1, "-9.99", nullptr},          {2, "400", "IDS_INPUT_CHK_2"},
        {2, "399.99", nullptr},         {3, "0", "IDS_INPUT_CHK_3"},
        {3, "0.01", nullptr},           {4, "300", "IDS_INPUT_CHK_3"},
        {4, "-100", nullptr},
    };
    for (const Case &c : cases) {
        CParamList file = test::LoadList(test::MdbTarget());
        const double before = file.At(c.number).RealValue();
        const EditResult result = CParamEditCheck::Commit(file, c.number, test::Western(c.text), 0, 0, {});
        if (c.refusal) {
            EXPECT_EQ(result.status, EditStatus::PairOrder) << c.number << " " << c.text;
            EXPECT_EQ(result.message, (ParamMessage{c.refusal, "Common"}));
            EXPECT_DOUBLE_EQ(file.At(c.number).RealValue(), before);
        } else {
            EXPECT_EQ(result.status, EditStatus::Applied) << c.number << " " << c.text;
            EXPECT_NE(file.At(c.number).RealValue(), before);
        }
    }
}

// After a load, a pair is checked when the load changes one of its values; a pair the load leaves
// as the controller holds it (even out of order, 0 and 0) does not stop the load.
TEST(ParamEditCheck, LoadChecksThePairsItChanges)
{
    struct Case {
        double p1, p2, p3, p4;  // loaded into the file list
        double c1, c2, c3, c4;  // held by the controller (the driver list)
        const char *refusal;    // nullptr: nothing refused
        int upper, lower;
    };
    const Case cases[] = {
        {400, -10, 300, 0, 0, 0, 0, 0, nullptr, 0, 0},
        {-10, -10, 300, 0, 0, 0, 0, 0, "IDS_INPUT_CHK_2", 1, 2},
        {400, -10, 0, 0.5, 0, 0, 0, 0, "IDS_INPUT_CHK_3", 3, 4},
        {1, 2, 1, 2, 0, 0, 0, 0, "IDS_INPUT_CHK_2", 1, 2},
        {0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0},            // saved from a controller holding 0 and 0
        {0, 0, 5, 0, 0, 0, 0, 0, nullptr, 0, 0},            // 1/2 unchanged, 3/4 changed and in order
        {0, 0, 0, 5, 0, 0, 0, 0, "IDS_INPUT_CHK_3", 3, 4},  // 1/2 unchanged, 3/4 changed out of order
        {0, 5, 0, 0, 0, 0, 0, 0, "IDS_INPUT_CHK_2", 1, 2},  // only the lower value changes
        {3, 7, 0, 0, 3, 9, 0, 0, "IDS_INPUT_CHK_2", 1, 2},  // the unchanged upper value counts too
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.p1 << " " << c.p2 << " " << c.p3 << " " << c.p4);
        CParamList driver = test::LoadList(test::MdbTarget());
        const double held[] = {c.c1, c.c2, c.c3, c.c4};
        const double loaded[] = {c.p1, c.p2, c.p3, c.p4};
        CParamList file = driver;
        for (int n = 1; n <= 4; ++n) {
            driver.At(n).SetRealValue(held[n - 1]);
            file.At(n).SetRealValue(loaded[n - 1]);
        }
        const CParamEditCheck::PairRefusal refusal = CParamEditCheck::LoadPairRefusal(file, driver);
        if (c.refusal) {
            EXPECT_EQ(refusal.message, (ParamMessage{c.refusal, "Common"}));
            EXPECT_EQ(refusal.upper, c.upper);
            EXPECT_EQ(refusal.lower, c.lower);
        } else {
            EXPECT_TRUE(refusal.Empty());
        }
    }
    EXPECT_TRUE(CParamEditCheck::LoadPairRefusal(CParamList(), CParamList()).Empty()) << "pairs not defined";
}

} // namespace
} // namespace kvl::params
