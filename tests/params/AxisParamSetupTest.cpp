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
    EXPECT_EQ(setup.Driver().At(3).DisplayName(), "Soft limit (+)");
    EXPECT_DOUBLE_EQ(setup.Driver().At(3).RealValue(), 300.0);
    EXPECT_DOUBLE_EQ(setup.Driver().At(4).RealValue(), -0.3);
    // The pair works on the setup's own driver list; the file list starts as its copy.
    EXPECT_EQ(&setup.Lists().Driver(), &setup.Driver());
    EXPECT_EQ(setup.Lists().File().At(3).DisplayName(), "Soft limit (+)");
    EXPECT_DOUBLE_EQ(setup.Lists().File().At(3).RealValue(), 300.0);
}

TEST_F(AxisParamSetupTest, TextsComeInTheSettingsLanguage)
{
    settings.SwitchLanguage(CAppSettings::kLanguageJapanese);
    CAxisParamSetup setup;
    ASSERT_TRUE(setup.Open(settings, 0, Identity("MDC", "1305"), 0));
    EXPECT_EQ(setup.Language(), CAppSettings::kLanguageJapanese);
    EXPECT_EQ(Utf8(setup.Driver().At(3).DisplayName(), setup.Language()), "ソフトリミット(+)");
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
