// What an axis' point table is built on: the operation type read from the controller (a scripted
// facade answers parameter 36), the edit bounds of the axis' parameter store and the language
// texts, from a copy of the shipped system folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "config/CAppSettings.h"
#include "config/CCodePage.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "points/CPointTableSetup.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "support/CommStub.h"
#include "support/ScratchSettingsTest.h"

namespace kvl::points {
namespace {

// Answers a parameter read with `value`, or stays silent; records what was asked.
class ParameterBus : public test::CommStub {
public:
    bool silent = false;
    int32_t value = 0;
    std::vector<uint16_t> asked;
    std::vector<uint8_t> axes;
    std::vector<int> timeouts;

    int Exchange(const uint8_t *request, int, uint8_t *reply, int *received, int, int timeoutMs, int) override
    {
        const uint8_t command = request[frame::kOffsetCommand];
        if (command != cmd::kCmdReadParameter || silent)
            return kResultTimeout;
        const uint16_t number = frame::GetU16(request + frame::kOffsetData);
        asked.push_back(number);
        axes.push_back(request[frame::kOffsetAxis]);
        timeouts.push_back(timeoutMs);
        std::vector<uint8_t> data;
        frame::PutU16(data, number);
        frame::PutI32(data, value);
        const std::vector<uint8_t> bytes = frame::Build(request[frame::kOffsetAxis], command, data);
        std::memcpy(reply, bytes.data(), bytes.size());
        *received = static_cast<int>(bytes.size());
        return kResultOk;
    }
};

TEST(PointTableSetup, OnlineContextTakesTheOperationTypeOfTheController)
{
    struct Case {
        const char *model;
        int32_t raw;
        int operationType;
    };
    // The MDA-Z offers only types 0, 2, 4 and 5 and sends them as they are; another value on its
    // wire is type 0.
    const Case cases[] = {{"MDC", 3, 3},   {"MDB", 0, 0},   {"MDA", 5, 5},  {"MDA-Z", 2, 2},
                          {"MDA-Z", 5, 5}, {"MDA-Z", 1, 0}, {"MDA-Z", 3, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + std::to_string(c.raw));
        ParameterBus bus;
        bus.value = c.raw;
        CServoCommands commands(&bus);
        CStepContext context;
        ASSERT_EQ(CPointTableSetup::ReadOnlineContext(commands, 7, c.model, 1, context), kResultOk);
        EXPECT_EQ(bus.asked, std::vector<uint16_t>{36});
        EXPECT_EQ(bus.axes, std::vector<uint8_t>{7});
        EXPECT_EQ(bus.timeouts, std::vector<int>{CServoCommands::kTimeoutMs});
        EXPECT_EQ(context.model, c.model);
        EXPECT_TRUE(context.online);
        EXPECT_EQ(context.decimals, 1);
        EXPECT_EQ(context.operationType, c.operationType);
    }
}

TEST(PointTableSetup, FailedReadLeavesTheContextAlone)
{
    ParameterBus bus;
    bus.silent = true;
    CServoCommands commands(&bus);
    CStepContext context;
    EXPECT_NE(CPointTableSetup::ReadOnlineContext(commands, 2, "MDC", 2, context), kResultOk);
    EXPECT_EQ(context.model, CStepContext{}.model);
    EXPECT_FALSE(context.online);
    EXPECT_EQ(context.decimals, 0);
}

using PointTableSetupFolder = test::ScratchSettingsTest;

TEST_F(PointTableSetupFolder, StoredLimitsComeFromTheModelsParameterStore)
{
    {
        CIniEx store;
        ASSERT_TRUE(settings.OpenAxisParamStore(store, "MDC"));
        store.SetString("3", "Value", "250.5000");
        store.SetString("4", "Value", "-12.2500");
        store.SetString("29", "Value", "800");
        store.SetString("151", "Value", "120");
        ASSERT_TRUE(store.Save());
    }
    CStepContext context;
    context.model = "MDC";
    CPointTableSetup::ReadStoredLimits(settings, context);
    EXPECT_DOUBLE_EQ(context.storedSoftLimitUpper, 250.5);
    EXPECT_DOUBLE_EQ(context.storedSoftLimitLower, -12.25);
    EXPECT_DOUBLE_EQ(context.storedMaxSpeed, 800.0);
    EXPECT_EQ(context.storedPushLimit, 120);

    // Another model reads its own file (the shipped values).
    CStepContext other;
    other.model = "MDB";
    CPointTableSetup::ReadStoredLimits(settings, other);
    EXPECT_DOUBLE_EQ(other.storedSoftLimitUpper, 200.0);
    EXPECT_DOUBLE_EQ(other.storedMaxSpeed, 1200.0);
}

TEST_F(PointTableSetupFolder, StoredLimitsStayWithoutAParameterFile)
{
    const std::string file = settings.ParamFileName(CAppSettings::kLanguageEnglish, "MDC");
    ASSERT_TRUE(std::filesystem::remove(folder.System() / file));
    CStepContext context;
    context.model = "MDC";
    context.storedSoftLimitUpper = 11.0;
    context.storedPushLimit = 42;
    CPointTableSetup::ReadStoredLimits(settings, context);
    EXPECT_DOUBLE_EQ(context.storedSoftLimitUpper, 11.0);
    EXPECT_EQ(context.storedPushLimit, 42);
}

TEST_F(PointTableSetupFolder, TextsOfTheLanguageAndTheModelsColumns)
{
    const CStepTexts linear = CPointTableSetup::Texts(settings, "MDC");
    EXPECT_EQ(linear.language, CAppSettings::kLanguageEnglish);
    EXPECT_EQ(linear.modeTexts[0], "ABS");
    EXPECT_EQ(linear.modeTexts[1], "INC");
    EXPECT_EQ(linear.stopModeTexts[0], "Position hold");
    EXPECT_EQ(linear.columnCaptions[2], "Position [mm]");
    EXPECT_EQ(linear.columnCaptions[kStepColumnCount - 1], "Comment");
    const CStepTexts rotary = CPointTableSetup::Texts(settings, "MDA-Z");
    EXPECT_EQ(rotary.columnCaptions[2], "Angle [deg]");
    EXPECT_EQ(rotary.columnCaptions[3], "Speed [deg/s]");

    settings.SwitchLanguage(CAppSettings::kLanguageJapanese);
    const CStepTexts japanese = CPointTableSetup::Texts(settings, "MDC");
    EXPECT_EQ(japanese.language, CAppSettings::kLanguageJapanese);
    // UTF-8, as the grid shows them and the choice cells compare them; only the file is in CP932.
    EXPECT_EQ(japanese.columnCaptions[2], "位置[mm]");
    EXPECT_EQ(japanese.stopModeTexts[0], "位置保持");
}

} // namespace
} // namespace kvl::points
