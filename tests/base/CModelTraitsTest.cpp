// Every model rule the windows, the command line and the command layer share, as one table.
#include <gtest/gtest.h>

#include <string>

#include "base/CModelTraits.h"

namespace kvl {
namespace {

using Model = CModelTraits::Model;

TEST(CModelTraits, AnswersEveryRuleOfEveryModel)
{
    const struct {
        const char *text;
        const char *key;
        Model model;
        int code;
        bool longRecord;
        bool pushStoredOffline;
        bool mdbOrMdc;
        bool rotary;
        int positionDecimals;        // with the setting giving 2 + 1
        int monitorPositionDecimals; // the same setting
        const char *alarmSection;
        const char *monitorSuffix;
    } cases[] = {
        {"MDA", "MDA", Model::MDA, 1, false, false, false, false, 3, 3, "AlarmMDA", ""},
        {"MDB", "MDB", Model::MDB, 2, true, true, true, false, 3, 3, "AlarmMDB", "_MDB"},
        {"MDC", "MDC", Model::MDC, 3, true, false, true, false, 3, 3, "AlarmMDC", "_MDC"},
        {"MDC-X", "XMDC", Model::MDCX, 6, true, false, false, false, 4, 3, "AlarmXMDC", "_MDC-X"},
        {"MDA-Y", "YMDA", Model::MDAY, 7, false, false, false, false, 3, 3, "AlarmMDA", ""},
        {"MDA-Z", "ZMDA", Model::MDAZ, 8, false, false, false, true, 3, 3, "AlarmMDA", ""},
    };
    ASSERT_EQ(std::size(cases), std::size(CModelTraits::kModels));
    for (const auto &c : cases) {
        for (const char *text : {c.text, c.key}) {
            const CModelTraits traits = CModelTraits::Of(text);
            EXPECT_EQ(traits.Id(), c.model) << text;
            EXPECT_STREQ(traits.Text(), c.text) << text;
            EXPECT_STREQ(traits.KeyForm(), c.key) << text;
            EXPECT_EQ(traits.DeviceCode(), c.code) << text;
            EXPECT_EQ(traits.UsesLongRecord(), c.longRecord) << text;
            EXPECT_EQ(traits.HasPushLimit(), c.longRecord) << text;
            EXPECT_EQ(traits.PushLimitStoredOffline(), c.pushStoredOffline) << text;
            EXPECT_EQ(traits.IsMdbOrMdc(), c.mdbOrMdc) << text;
            EXPECT_EQ(traits.HasTuning(), c.mdbOrMdc) << text;
            EXPECT_EQ(traits.IsRotary(), c.rotary) << text;
            EXPECT_EQ(traits.PositionDecimals(3), c.positionDecimals) << text;
            EXPECT_EQ(traits.MonitorPositionDecimals(3), c.monitorPositionDecimals) << text;
            EXPECT_STREQ(traits.AlarmSection(), c.alarmSection) << text;
            EXPECT_STREQ(traits.MonitorSectionSuffix(), c.monitorSuffix) << text;
        }
        EXPECT_STREQ(ModelTextFromCode(c.code), c.text);
        EXPECT_EQ(ModelCodeFromText(c.text), c.code);
        // The key form is found whatever the case of its letters; the variant's bus text is no key.
        std::string lower = c.key;
        for (char &ch : lower)
            ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
        ASSERT_TRUE(CModelTraits::FindByKey(lower).has_value()) << lower;
        EXPECT_EQ(CModelTraits::FindByKey(lower)->Id(), c.model) << lower;
    }
    EXPECT_FALSE(CModelTraits::FindByKey("MDC-X").has_value());
    EXPECT_FALSE(CModelTraits::FindByKey("").has_value());
}

TEST(CModelTraits, UnknownTextsAreTheBaseModelAndComparedExactly)
{
    for (const char *text : {"", "GWX", "mdb", "MDB ", "MDCX", "Z"})
        EXPECT_EQ(CModelTraits::Of(text).Id(), Model::MDA) << text;
    EXPECT_EQ(ModelCodeFromText("GWX"), kModelCodeGWX);
    EXPECT_STREQ(ModelTextFromCode(kModelCodeGWX), "GWX");
    for (int code : {0, 4, 9, 255, -1})
        EXPECT_STREQ(ModelTextFromCode(code), "MDA") << code;
    EXPECT_EQ(ModelCodeFromText("XMDC"), kModelCodeMDA); // the bus never sends a key form
}

TEST(CModelTraits, StationListCodes)
{
    const struct {
        int code;
        int normalized;
        const char *key;
        const char *builtIn;
    } cases[] = {
        {0, 0, "ID_COMBO_NULL", "None"},   {1, 1, "ID_COMBO_MDA", "MDA"},     {2, 2, "ID_COMBO_MDB", "MDB"},
        {3, 3, "ID_COMBO_MDC", "MDC"},     {4, 0, "ID_COMBO_NULL", "None"},   {5, 0, "ID_COMBO_NULL", "None"},
        {6, 6, "ID_COMBO_XMDC", "MDC-X"},  {7, 7, "ID_COMBO_YMDA", "MDA-Y"}, {8, 8, "ID_COMBO_ZMDA", "MDA-Z"},
        {9, 0, "ID_COMBO_NULL", "None"},   {254, 0, "ID_COMBO_NULL", "None"}, {255, 255, "ID_COMBO_ANY", "Any"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(NormalizeDeviceListCode(c.code), c.normalized) << c.code;
        const StationCode &station = FindStationCode(static_cast<std::uint8_t>(c.code));
        EXPECT_STREQ(station.key, c.key) << c.code;
        EXPECT_STREQ(station.builtIn, c.builtIn) << c.code;
    }
}

// Parameter 36 and the operation type, out-of-range values included: the parameter list shows
// the choice, the point table and the monitor take the type, the wire carries the raw value.
TEST(CModelTraits, OperationTypeOfParameter36)
{
    const struct {
        const char *model;
        int value;     // as choice (list) and as raw value (wire)
        int typeOfChoice;
        int choiceOfRaw;
        int rawOfChoice;
        int typeOfRaw;
    } cases[] = {
        {"MDA-Z", 0, 0, 0, 0, 0},  {"MDA-Z", 1, 2, 0, 2, 0},  {"MDA-Z", 2, 4, 1, 4, 2},
        {"MDA-Z", 3, 5, 0, 5, 0},  {"MDA-Z", 4, 0, 2, 0, 4},  {"MDA-Z", 5, 0, 3, 0, 5},
        {"MDA-Z", 6, 0, 0, 0, 0},  {"MDA-Z", -1, 0, 0, 0, 0}, {"ZMDA", 2, 4, 1, 4, 2},
        {"MDA", 0, 0, 0, 0, 0},    {"MDA", 3, 3, 3, 3, 3},    {"MDC", 5, 5, 5, 5, 5},
        {"MDC-X", 1, 1, 1, 1, 1},  {"MDB", 4, 4, 4, 4, 4},    {"MDA-Y", 2, 2, 2, 2, 2},
        {"MDB", 6, 0, 6, 6, 0},    {"MDB", 7, 0, 7, 7, 0},    {"MDA", -1, 0, -1, -1, 0},
        {"MDC", 1000, 0, 1000, 1000, 0},
    };
    for (const auto &c : cases) {
        const CModelTraits traits = CModelTraits::Of(c.model);
        EXPECT_EQ(traits.OperationTypeOfChoice(c.value), c.typeOfChoice) << c.model << " " << c.value;
        EXPECT_EQ(traits.OperationTypeChoiceOfRaw(c.value), c.choiceOfRaw) << c.model << " " << c.value;
        EXPECT_EQ(traits.OperationTypeRawOfChoice(c.value), c.rawOfChoice) << c.model << " " << c.value;
        EXPECT_EQ(traits.OperationTypeOfRaw(c.value), c.typeOfRaw) << c.model << " " << c.value;
    }
}

TEST(CModelTraits, StepCountByOperationType)
{
    const struct {
        int type;
        int steps;
    } cases[] = {{0, 64}, {1, 64}, {2, 256}, {3, 512}, {4, 7}, {5, 3}, {6, 64}, {-1, 64}, {1000, 64}};
    for (const auto &c : cases)
        EXPECT_EQ(CModelTraits::StepCount(c.type), c.steps) << c.type;
}

} // namespace
} // namespace kvl
