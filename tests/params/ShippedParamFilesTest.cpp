// Every shipped parameter file (six models, three languages, as the build writes them: the
// pristine copy of build/bin/system, which the programs rewrite as they run) defines each number of its model's range coherently, and the three languages of a
// model agree on everything but the wording.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/CCodePage.h"
#include "config/CIniEx.h"
#include "params/CParamList.h"
#include "params/CParamRules.h"

namespace kvl::params {
namespace {

struct ModelFile {
    const char *model;   // model text of the bus
    const char *key;     // key form in file names
};
const ModelFile kModels[] = {
    {"MDA", "MDA"},     {"MDB", "MDB"},     {"MDC", "MDC"},
    {"MDC-X", "XMDC"},  {"MDA-Y", "YMDA"},  {"MDA-Z", "ZMDA"},
};

struct Language {
    const char *suffix;
    int codePage;
};
const Language kLanguages[] = {
    {"JP", CCodePage::kJapanese}, {"EN", CCodePage::kWestern}, {"CN", CCodePage::kChinese}};

std::filesystem::path SystemFolder()
{
    return KVL_PRISTINE_SYSTEM_DIR;
}

std::string FileName(const ModelFile &model, const Language &language)
{
    return std::string("Param") + model.key + "_" + language.suffix + ".ini";
}

std::int64_t PowerOfTen(int exponent)
{
    std::int64_t value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

// The list of one file, loaded offline the way an axis window loads it.
struct LoadedFile {
    CIniEx store;
    CParamList list;
    bool opened = false;
};

void Load(const ModelFile &model, const Language &language, LoadedFile &out)
{
    const std::string path = (SystemFolder() / FileName(model, language)).string();
    out.store.SetCodePage(language.codePage);
    out.opened = out.store.Open(path, false, false, true);
    if (!out.opened)
        return;
    CParamList::Axis axis{model.model, "", "", 0};
    out.list.Load(out.store, axis, nullptr);
}

// Checks one record on its own; returns nothing, reports through gtest.
void CheckRecord(const ModelFile &model, const CIniEx &store, int number, const CParamData &p)
{
    const std::string where = std::string(model.model) + " parameter " + std::to_string(number);
    ASSERT_FALSE(p.IsEmpty()) << where << " is not defined";
    EXPECT_EQ(p.NumberText(), std::to_string(number)) << where;
    EXPECT_EQ(p.DisplayName().Bytes().find('='), std::string::npos) << where << ": '=' breaks .dat lines";
    EXPECT_FALSE(p.UnitName().Empty()) << where;
    EXPECT_GE(p.Tab(), 1) << where;
    EXPECT_LE(p.Tab(), 4) << where;
    EXPECT_GE(p.HideClass(), 0) << where;
    EXPECT_LE(p.HideClass(), 3) << where;
    EXPECT_GE(p.WriteCaution(), 0) << where;
    EXPECT_LE(p.WriteCaution(), 2) << where;

    switch (p.GetType()) {
    case CParamData::kTypeInteger:
        EXPECT_LT(p.IntMin(), p.IntMax()) << where;
        EXPECT_GE(p.IntValue(), p.IntMin()) << where;
        EXPECT_LE(p.IntValue(), p.IntMax()) << where;
        EXPECT_EQ(p.MinText(), std::to_string(p.IntMin())) << where;
        EXPECT_EQ(p.MaxText(), std::to_string(p.IntMax())) << where;
        break;
    case CParamData::kTypeReal: {
        EXPECT_LT(p.RealMin(), p.RealMax()) << where;
        EXPECT_GE(p.RealValue(), p.RealMin()) << where;
        EXPECT_LE(p.RealValue(), p.RealMax()) << where;
        // The raw factor and the decimals the file asks for agree, so the shown value neither
        // invents nor drops digits, and the whole range fits the controller's 32-bit value.
        const std::int64_t factor = CParamRules::Factor(number, model.model, p.Precision());
        EXPECT_EQ(factor, PowerOfTen(p.Precision())) << where;
        const double maxRaw = std::max(std::fabs(p.RealMin()), std::fabs(p.RealMax())) * factor;
        EXPECT_LT(maxRaw, 2147483647.0) << where;
        break;
    }
    case CParamData::kTypeSelection:
        EXPECT_GE(p.ChoiceCount(), 2) << where;
        // No gaps or blank items: the index on the wire is the position in the file.
        EXPECT_EQ(p.ChoiceCount(), store.GetInt(std::to_string(number), "SelItemCount", -1))
            << where;
        EXPECT_GE(p.SelectedIndex(), 0) << where << ": stored value is no choice";
        EXPECT_FALSE(p.RangeText().Empty()) << where;
        break;
    case CParamData::kTypeText:
        break;
    default:
        ADD_FAILURE() << where << " has type " << p.GetType();
    }
}

// What the rest of the system expects of particular numbers.
void CheckRoles(const ModelFile &model, const CParamList &list)
{
    const std::string m = model.model;
    const bool longRecord = m == "MDB" || m == "MDC" || m == "MDC-X";
    for (int n : {1, 2, 3, 4, 6, 10, 30})
        EXPECT_EQ(list.At(n).GetType(), CParamData::kTypeReal) << m << " " << n;
    for (int n : {7, 8, 16, 25, 29, 40, 41, 42})
        EXPECT_EQ(list.At(n).GetType(), CParamData::kTypeInteger) << m << " " << n;
    EXPECT_EQ(list.At(31).GetType(), CParamData::kTypeReal) << m;
    // The second gain set and the inertia ratio exist where the range reaches them.
    if (CParamRules::ParameterCount(m, "") >= 119) {
        EXPECT_EQ(list.At(117).GetType(), CParamData::kTypeInteger) << m;
        EXPECT_EQ(list.At(118).GetType(), CParamData::kTypeInteger) << m;
        EXPECT_EQ(list.At(119).GetType(), CParamData::kTypeReal) << m;
    }
    // Acceleration is a real on the long-record models, an integer on the others.
    EXPECT_EQ(list.At(9).GetType(),
              longRecord ? CParamData::kTypeReal : CParamData::kTypeInteger) << m;
    EXPECT_GT(list.At(1).RealValue(), list.At(2).RealValue()) << m;
    EXPECT_GT(list.At(3).RealValue(), list.At(4).RealValue()) << m;
    EXPECT_EQ(list.At(25).IntMin(), 0) << m;
    EXPECT_EQ(list.At(25).IntMax(), 4) << m;

    const CParamData &type = list.At(36);
    ASSERT_EQ(type.GetType(), CParamData::kTypeSelection) << m;
    EXPECT_EQ(type.ChoiceCount(), m == "MDA-Z" ? 4 : 6) << m;

    const CParamData &pulses = list.At(45);
    ASSERT_EQ(pulses.GetType(), CParamData::kTypeSelection) << m;
    const auto &values = CParamRules::PulseResolutionValues();
    ASSERT_EQ(pulses.ChoiceCount(), static_cast<int>(values.size())) << m;
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(pulses.Choices()[i].Bytes(), std::to_string(values[i])) << m;

    int textParameters = 0;
    for (int n : CParamRules::Numbers(CParamRules::ParameterCount(m, "")))
        textParameters += list.At(n).GetType() == CParamData::kTypeText;
    EXPECT_EQ(textParameters, 1) << m << ": the device name appears once";

    if (m == "MDB" || m == "MDC") {
        EXPECT_EQ(list.At(12).IntMax(), list.At(102).IntValue()) << m;
        EXPECT_EQ(list.At(151).GetType(), CParamData::kTypeInteger) << m;
        EXPECT_EQ(list.At(171).IntMin(), 1) << m;
        EXPECT_EQ(list.At(171).IntMax(), 100) << m;
        EXPECT_EQ(list.At(172).Precision(), 1) << m;
        EXPECT_EQ(list.At(173).IntMin(), 50) << m;
        EXPECT_EQ(list.At(173).IntMax(), 10000) << m;
        EXPECT_EQ(list.At(174).IntMax(), 5) << m;
    }
}

// Everything but the wording: types, ranges, decimals, values, choice positions, flags.
void CheckSameButWording(const ModelFile &model, const CParamList &a, const CParamList &b,
                         const char *otherLanguage)
{
    for (int n : CParamRules::Numbers(CParamRules::ParameterCount(model.model, ""))) {
        const CParamData &x = a.At(n);
        const CParamData &y = b.At(n);
        const std::string where =
            std::string(model.model) + " " + otherLanguage + " parameter " + std::to_string(n);
        EXPECT_EQ(x.GetType(), y.GetType()) << where;
        EXPECT_EQ(x.IntMin(), y.IntMin()) << where;
        EXPECT_EQ(x.IntMax(), y.IntMax()) << where;
        EXPECT_EQ(x.IntValue(), y.IntValue()) << where;
        EXPECT_EQ(x.RealMin(), y.RealMin()) << where;
        EXPECT_EQ(x.RealMax(), y.RealMax()) << where;
        EXPECT_EQ(x.RealValue(), y.RealValue()) << where;
        EXPECT_EQ(x.Precision(), y.Precision()) << where;
        EXPECT_EQ(x.ChoiceCount(), y.ChoiceCount()) << where;
        EXPECT_EQ(x.SelectedIndex(), y.SelectedIndex()) << where;
        EXPECT_EQ(x.TextValue().Bytes(), y.TextValue().Bytes()) << where;
        EXPECT_EQ(x.Tab(), y.Tab()) << where;
        EXPECT_EQ(x.IsWritable(), y.IsWritable()) << where;
        EXPECT_EQ(x.HideClass(), y.HideClass()) << where;
        EXPECT_EQ(x.WriteCaution(), y.WriteCaution()) << where;
    }
}

TEST(ShippedParamFiles, EveryFileDecodesInItsCodePage)
{
    for (const ModelFile &model : kModels) {
        for (const Language &language : kLanguages) {
            const std::filesystem::path path = SystemFolder() / FileName(model, language);
            std::ifstream in(path, std::ios::binary);
            ASSERT_TRUE(in) << path;
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            std::string utf8;
            EXPECT_TRUE(CCodePage::ToUtf8(bytes, language.codePage, utf8)) << path;
            EXPECT_EQ(bytes.find('@'), std::string::npos) << path << ": a language tag was left";
        }
    }
}

TEST(ShippedParamFiles, EveryNumberOfTheRangeIsDefinedCoherently)
{
    for (const ModelFile &model : kModels) {
        for (const Language &language : kLanguages) {
            LoadedFile file;
            Load(model, language, file);
            ASSERT_TRUE(file.opened) << FileName(model, language);
            SCOPED_TRACE(FileName(model, language));
            for (int n : CParamRules::Numbers(CParamRules::ParameterCount(model.model, "")))
                CheckRecord(model, file.store, n, file.list.At(n));
            CheckRoles(model, file.list);
        }
    }
}

TEST(ShippedParamFiles, OldFirmwareWalksAPrefixOfTheSameFile)
{
    for (const char *model : {"MDB", "MDC"}) {
        const std::vector<int> old =
            CParamRules::Numbers(CParamRules::ParameterCount(model, "1.07"));
        const std::vector<int> current =
            CParamRules::Numbers(CParamRules::ParameterCount(model, ""));
        ASSERT_LT(old.size(), current.size()) << model;
        EXPECT_TRUE(std::equal(old.begin(), old.end(), current.begin())) << model;
    }
}

TEST(ShippedParamFiles, TheThreeLanguagesAgreeOnEverythingButTheWording)
{
    for (const ModelFile &model : kModels) {
        LoadedFile japanese, english, chinese;
        Load(model, kLanguages[0], japanese);
        Load(model, kLanguages[1], english);
        Load(model, kLanguages[2], chinese);
        ASSERT_TRUE(japanese.opened && english.opened && chinese.opened) << model.key;
        CheckSameButWording(model, english.list, japanese.list, "JP");
        CheckSameButWording(model, english.list, chinese.list, "CN");
        // The wording does differ: the files are really translated.
        EXPECT_NE(english.list.At(3).DisplayName().Bytes(), japanese.list.At(3).DisplayName().Bytes());
        EXPECT_NE(english.list.At(3).DisplayName().Bytes(), chinese.list.At(3).DisplayName().Bytes());
    }
}

} // namespace
} // namespace kvl::params
