// The version and access-level dialog's rules: every kind of entry, online and offline, in normal
// and in service mode, and what is stored, said and followed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Version.h"
#include "StartAppFixture.h"
#include "common/CConfirmModel.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"

namespace kvl {
namespace {

constexpr int kAxis = 3;
constexpr int kServiceLevel = CAppSettings::kServiceLevel;
const std::string kEmpty = "Please enter the password.";
const std::string kWrong = "The password is not correct.";
// The window texts as the controller family gives them, then the program's own version.
const std::string kProgramLine = std::string("\nkvl_motor ") + kVersion;
const std::string kOnlineVersion = "MDC Ver 1.305\nV-FLOW Ver 1.305" + kProgramLine;
const std::string kOfflineVersion = "V-FLOW Ver 1.305" + kProgramLine;

class ConfirmModelTest : public test::StartAppFixture {};

TEST_F(ConfirmModelTest, EveryEntryInEveryMode)
{
    using Outcome = CConfirmModel::Outcome;
    const struct {
        const char *entry;
        int debugLevel;
        bool offline;
        Outcome outcome;
        bool close, clear;
        std::string said;   // empty: nothing said
        int level;          // the axis' level afterwards (it starts at 0)
    } cases[] = {
        {"", 0, false, Outcome::kEmpty, false, false, kEmpty, 0},
        {"", kServiceLevel, true, Outcome::kEmpty, false, false, kEmpty, 0},
        {"version", 0, false, Outcome::kVersion, true, false, kOnlineVersion, 0},
        {"version", kServiceLevel, true, Outcome::kVersion, true, false, kOfflineVersion, 0},
        {"Version", 0, false, Outcome::kWrong, false, true, kWrong, 0},
        {" version", 0, false, Outcome::kWrong, false, true, kWrong, 0},
        {"5190463", 0, false, Outcome::kLevelRaised, true, false, "", 1},
        {"5190463", 1, true, Outcome::kLevelRaised, true, false, "", 1},
        {"5190463", kServiceLevel, false, Outcome::kWrong, false, true, kWrong, 0},
        {"70624815", 0, false, Outcome::kLevelRaised, true, false, "", 2},
        {"70624815", kServiceLevel, false, Outcome::kLevelRaised, true, false, "", 2},
        {"5190463 ", 0, false, Outcome::kWrong, false, true, kWrong, 0},
        {" 70624815", 0, false, Outcome::kWrong, false, true, kWrong, 0},
        {"519046", 0, false, Outcome::kWrong, false, true, kWrong, 0},
        {"706248150", 0, false, Outcome::kWrong, false, true, kWrong, 0},
    };
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.entry << "\" debug " << c.debugLevel << " offline " << c.offline);
        CAppValues values;
        std::vector<std::string> said;
        std::vector<int> followed;
        CConfirmModel::Hooks hooks;
        hooks.message = [&said](const std::string &text) { said.push_back(text); };
        hooks.levelChanged = [&followed](int level) { followed.push_back(level); };
        CConfirmModel model(values, app.Settings().Texts(), c.debugLevel, {kAxis, c.offline, "MDC", "1305"}, hooks);
        const CConfirmModel::Result result = model.Check(c.entry);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.close, c.close);
        EXPECT_EQ(result.clearEntry, c.clear);
        EXPECT_EQ(said, c.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.said});
        EXPECT_EQ(values.accessLevel[kAxis], c.level);
        EXPECT_EQ(followed, c.level ? std::vector<int>{c.level} : std::vector<int>{});
        for (int axis = 0; axis < CAppValues::kAxisCount; ++axis) {
            if (axis != kAxis) {
                EXPECT_EQ(values.accessLevel[axis], 0) << "axis " << axis;
            }
        }
    }
}

TEST_F(ConfirmModelTest, FirmwareVersionsAreWrittenWithOneDigitBeforeThePoint)
{
    const struct {
        const char *version, *shown;
    } cases[] = {{"1305", "1.305"}, {"2001", "2.001"}, {"13", "1.3"}, {"1", "1."}, {"", ""}, {"12345", "1.234"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(CConfirmModel::DottedFirmware(c.version), c.shown);
    }
}

TEST_F(ConfirmModelTest, AMissingTextLeavesTheMessageEmptyAndTheVersionWordUnknown)
{
    // A language file without the dialog's texts: the messages are empty and no word shows the
    // version, so "version" is a wrong entry like any other.
    WriteSystemFile("Lang_EN.ini", "[Common]\r\n");
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish);
    CAppValues values;
    std::vector<std::string> said;
    CConfirmModel::Hooks hooks;
    hooks.message = [&said](const std::string &text) { said.push_back(text); };
    CConfirmModel model(values, app.Settings().Texts(), 0, {kAxis, false, "MDB", "1200"}, hooks);
    EXPECT_EQ(model.Check("version").outcome, CConfirmModel::Outcome::kWrong);
    EXPECT_EQ(model.Check("").outcome, CConfirmModel::Outcome::kEmpty);
    EXPECT_EQ(said, (std::vector<std::string>{"", ""}));
}

} // namespace
} // namespace kvl
