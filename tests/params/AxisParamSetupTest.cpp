// An axis' parameters built from a copy of the shipped system folder: the parameter file of the
// model in the current language, the parameter count of model and version, the numbers the axis
// has, and a model whose parameter file is missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/CAppSettings.h"
#include "config/CCodePage.h"
#include "params/CAxisParamSetup.h"
#include "params/CParamEditCheck.h"
#include "params/CParamFile.h"
#include "protocol/CBusScanner.h"
#include "support/ScratchSettingsTest.h"

namespace kvl::params {
namespace {

std::string Utf8(const std::string &bytes, int language)
{
    std::string text;
    CCodePage::ToUtf8(bytes, CCodePage::ForLanguage(language), text);
    return text;
}

DeviceIdentity Identity(const std::string &model, const std::string &version)
{
    DeviceIdentity identity;
    identity.answered = true;
    identity.model = model;
    identity.version = version;
    identity.name = "AXIS";
    return identity;
}

using AxisParamSetupTest = test::ScratchSettingsTest;

struct CountCase {
    const char *model;
    const char *version;
    int count;
    const char *ranges;
    std::vector<int> present;
    std::vector<int> absent;
};

TEST_F(AxisParamSetupTest, CountAndNumbersFollowModelAndVersion)
{
    const CountCase cases[] = {
        {"MDC", "1305", 182, "1-49 and 100-182", {1, 49, 100, 182}, {0, 50, 60, 99, 183}},
        {"MDB", "A100", 151, "1-49 and 100-151", {1, 151}, {152, 182}},
        {"MDC-X", "1305", 168, "1-49 and 100-168", {168}, {169}},
        {"MDA-Z", "1305", 115, "1-49 and 100-115", {115}, {116}},
        {"MDA", "1305", 111, "1-49 and 100-111", {111}, {112}},
    };
    for (const CountCase &c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.version);
        CAxisParamSetup setup;
        ASSERT_TRUE(setup.Open(settings, 4, Identity(c.model, c.version), 1));
        EXPECT_EQ(setup.Count(), c.count);
        EXPECT_EQ(setup.NumberRangesText(), c.ranges);
        for (int n : c.present)
            EXPECT_TRUE(setup.HasParameter(n)) << n;
        for (int n : c.absent)
            EXPECT_FALSE(setup.HasParameter(n)) << n;
        EXPECT_EQ(setup.Target().address, 4);
        EXPECT_EQ(setup.Target().model, c.model);
        EXPECT_EQ(setup.Target().version, c.version);
        EXPECT_EQ(setup.Target().accessLevel, 1);
    }
}

TEST_F(AxisParamSetupTest, ListsHoldTheStoredValuesOfTheModelsFile)
{
    CAxisParamSetup setup;
    ASSERT_TRUE(setup.Open(settings, 0, Identity("MDC", "1305"), 0));
    EXPECT_TRUE(setup.Store().IsOpen());
    EXPECT_EQ(setup.Language(), CAppSettings::kLanguageEnglish);
    EXPECT_EQ(setup.Driver().At(3).DisplayName().Bytes(), "Soft limit (+)");
    EXPECT_DOUBLE_EQ(setup.Driver().At(3).RealValue(), 300.0);
    EXPECT_DOUBLE_EQ(setup.Driver().At(4).RealValue(), -0.3);
    // The pair works on the setup's own driver list; the file list starts as its copy.
    EXPECT_EQ(&setup.Lists().Driver(), &setup.Driver());
    EXPECT_EQ(setup.Lists().File().At(3).DisplayName().Bytes(), "Soft limit (+)");
    EXPECT_DOUBLE_EQ(setup.Lists().File().At(3).RealValue(), 300.0);
}

TEST_F(AxisParamSetupTest, TextsComeInTheSettingsLanguage)
{
    settings.SwitchLanguage(CAppSettings::kLanguageJapanese);
    CAxisParamSetup setup;
    ASSERT_TRUE(setup.Open(settings, 0, Identity("MDC", "1305"), 0));
    EXPECT_EQ(setup.Language(), CAppSettings::kLanguageJapanese);
    EXPECT_EQ(Utf8(setup.Driver().At(3).DisplayName().Bytes(), setup.Language()), "ソフトリミット(+)");
}

// In Japanese and Chinese the names and choices are the language file's code page: shown in
// UTF-8, a choice typed in UTF-8 is taken by its index, and the saved file is in the code page.
TEST_F(AxisParamSetupTest, JapaneseAndChineseTextsStayInTheirCodePage)
{
    struct Case {
        int language;
        int codePage;
        const char *name;    // parameter 5
        const char *second;  // its second choice
    };
    const Case cases[] = {
        {CAppSettings::kLanguageJapanese, kCodePageShiftJis, "原点復帰方向", "反モーター側"},
        {CAppSettings::kLanguageChinese, kCodePageGbk, "原点返回方向", "电机反侧"},
    };
    for (const Case &c : cases) {
        settings.SwitchLanguage(c.language);
        CAxisParamSetup setup;
        ASSERT_TRUE(setup.Open(settings, 0, Identity("MDC", "1305"), 0));
        CParamList &file = setup.Lists().File();
        EXPECT_EQ(file.CodePage(), c.codePage);
        EXPECT_EQ(file.At(5).DisplayName().ToUtf8(), c.name);
        ASSERT_EQ(file.At(5).ChoiceCount(), 2);
        EXPECT_EQ(file.At(5).Choices()[1].ToUtf8(), c.second);

        const EditResult edit = CParamEditCheck::Commit(
            file, 5, CCodePageText::FromUtf8(c.second, file.CodePage()), 0, 0,
            [](const ParamMessage &, const ParamMessage &) { return true; });
        EXPECT_EQ(edit.status, EditStatus::Applied) << c.name;
        EXPECT_EQ(file.At(5).SelectedIndex(), 1) << c.name;

        const std::string line = CParamFile::ParameterLine(file.At(5), 5, 2).ToUtf8();
        EXPECT_EQ(line, std::string("05.  ") + c.name + " = 1") << "printed in UTF-8";
        const CCodePageText saved = CParamFile::Serialise(file, setup.Target(), {2026, 12, 11});
        EXPECT_EQ(saved.CodePage(), c.codePage);
        EXPECT_EQ(saved.Bytes().find(c.name), std::string::npos) << "not UTF-8 in the file";
        EXPECT_NE(saved.ToUtf8().find(std::string("005.  ") + c.name + " = 1"), std::string::npos);
    }
}

TEST_F(AxisParamSetupTest, MissingParameterFileIsRefused)
{
    const std::string file = settings.ParamFileName(CAppSettings::kLanguageEnglish, "MDC");
    ASSERT_FALSE(file.empty());
    ASSERT_TRUE(std::filesystem::remove(folder.System() / file));
    CAxisParamSetup setup;
    EXPECT_FALSE(setup.Open(settings, 0, Identity("MDC", "1305"), 0));
    // Another model's file is still there.
    EXPECT_TRUE(setup.Open(settings, 0, Identity("MDB", "1305"), 0));
}

} // namespace
} // namespace kvl::params
