// The axis window's model: opening, the polling ticks under the current-axis rule and the polling
// switch, the silent controller and the replugged adapter, the position displays, the control
// states, the operation type and the menu.
#include "AxisWindowModelTest.h"

#include <chrono>
#include <string>
#include <thread>

#include "base/TextNumber.h"
#include "config/CIniEx.h"
#include "points/CAxisStatusPoller.h"

namespace kvl::points::test {
namespace {

using Timer = CAxisWindowModel::Timer;
using Tick = CAxisWindowModel::Tick;
using AlarmBox = CAxisWindowModel::AlarmBox;

TEST_F(AxisWindowModelTest, OpeningReadsTheParametersAndFillsTheBoxes)
{
    struct Case {
        int axis;
        int32_t jogRaw;           // parameter 16 in the controller
        int32_t feedRaw;          // parameter 31 in the controller
        const char *feedBox;      // its format and factor by model
        int positionDecimals;
    };
    const Case cases[] = {
        {kAxisMdc, 123, 1234, "1.234", 3},
        {kAxisMdcx, 45, 12345, "1.2345", 4},
        {kAxisMdaz, 77, 25, "2.5", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(ModelOf(c.axis));
        WithAxis(c.axis, [&](sim::AxisDevice &device) {
            device.Parameters().Set(16, c.jogRaw);
            return device.Parameters().Set(31, c.feedRaw);
        });
        std::vector<std::pair<int, int>> progress;
        CAxisWindowModel::Hooks hooks;
        hooks.progress = [&progress](int done, int total) { progress.emplace_back(done, total); };
        auto model = OpenAxis(c.axis, hooks);

        // The controller's own identity replaces what the link handed over.
        EXPECT_EQ(model->Identity().model, ModelOf(c.axis));
        EXPECT_EQ(model->Identity().name, std::string("DEMO ") + ModelOf(c.axis));
        EXPECT_EQ(model->VersionText(), "2.10");
        EXPECT_EQ(model->AxisText(), FormatInt(c.axis));
        EXPECT_EQ(model->JogSpeedBox(), FormatInt(c.jogRaw));
        EXPECT_EQ(model->FeedBox(), c.feedBox);
        EXPECT_EQ(model->PositionDecimals(), c.positionDecimals);
        // The positions of the status pass, the INC display from the origin.
        const std::string abs = model->AbsText();
        ASSERT_NE(abs.find('.'), std::string::npos);
        EXPECT_EQ(abs.size() - abs.find('.') - 1, static_cast<std::size_t>(c.positionDecimals));
        EXPECT_EQ(model->IncText(), abs);
        // Every parameter was read with "n of N" progress.
        ASSERT_FALSE(progress.empty());
        const int total = progress.back().second;
        EXPECT_GT(total, 50);
        EXPECT_EQ(static_cast<int>(progress.size()), total);
        for (std::size_t i = 0; i < progress.size(); ++i)
            EXPECT_EQ(progress[i], std::make_pair(static_cast<int>(i) + 1, total));
        // A text parameter is the device name, read with the device type after the first one.
        EXPECT_EQ(CountOf(c.axis, cmd::kCmdReadParameter) + CountOf(c.axis, cmd::kCmdReadDeviceType) - 1, total);
        EXPECT_TRUE(values.pollingOn);
        // One status pass, and the parameter store keeps the values read.
        EXPECT_FALSE(model->ServoLamp());
        EXPECT_TRUE(model->ManualLamp());
        EXPECT_EQ(model->Alarm(), AlarmBox::kNormal);
        EXPECT_EQ(model->Params().Store().GetInt("16", "Value", -1), c.jogRaw);
        EXPECT_EQ(model->TypeText(), "TYPE0");
        EXPECT_EQ(model->DescriptionKey(), "SCRIPT_0");
        EXPECT_EQ(model->Table().StepCount(), 64);
        EXPECT_EQ(model->StartRow(), 1);
    }
    // Opening an MDC-X axis sets its decimals setting to 2.
    EXPECT_EQ(values.decimals[kAxisMdcx], 2);
    EXPECT_EQ(values.decimals[kAxisMdc], 0);
}

TEST_F(AxisWindowModelTest, OfflineSendsNothingAndOnlyTheFileControlsAreEnabled)
{
    AxisIdentity identity{0, "MDC", "", "", true, 2};
    CAxisWindowModel model(*m_commands, settings, values, identity);
    m_runner->ClearCommandsReceived();
    EXPECT_TRUE(model.Open());
    model.Activate();
    for (Timer timer : {Timer::kStatus, Timer::kMotion, Timer::kJog})
        EXPECT_EQ(model.OnTick(timer), Tick::kIdle);
    model.ServoOn();
    model.JogPress(CAxisWindowModel::JogDirection::kForward);
    model.JogRelease(CAxisWindowModel::JogDirection::kForward);
    EXPECT_TRUE(Received(0).empty());
    EXPECT_EQ(model.TypeText(), "TYPE2");
    EXPECT_EQ(model.Table().StepCount(), 256);
    const CAxisWindowModel::Controls c = model.ControlStates();
    EXPECT_TRUE(c.open && c.save && c.print && c.views && c.back && c.wave && c.param);
    EXPECT_FALSE(c.servoOn || c.servoOff || c.jog || c.feed || c.home || c.start || c.pause ||
                 c.programReset || c.jogBox || c.feedBox || c.spins || c.teach || c.read || c.write ||
                 c.monitor || c.coordinateReset);
}

TEST_F(AxisWindowModelTest, OnlyTheCurrentAxisPollsAndThePollingSwitchHoldsEveryTick)
{
    auto first = OpenAxis(kAxisMdc);
    auto second = OpenAxis(kAxisMda);
    // The second was activated last.
    for (Timer timer : {Timer::kStatus, Timer::kMotion, Timer::kJog}) {
        EXPECT_EQ(first->OnTick(timer), Tick::kStopAll);
        EXPECT_EQ(second->OnTick(timer), Tick::kRestart);
    }
    first->Activate();
    EXPECT_TRUE(first->IsCurrentAxis());
    EXPECT_FALSE(second->IsCurrentAxis());
    EXPECT_EQ(first->OnTick(Timer::kMotion), Tick::kRestart);
    EXPECT_EQ(second->OnTick(Timer::kMotion), Tick::kStopAll);

    m_runner->ClearCommandsReceived();
    values.pollingOn = false;
    for (Timer timer : {Timer::kStatus, Timer::kMotion, Timer::kJog}) {
        EXPECT_EQ(first->OnTick(timer), Tick::kIdle);
        EXPECT_EQ(second->OnTick(timer), Tick::kIdle);
    }
    EXPECT_TRUE(Received(kAxisMdc).empty());
    EXPECT_TRUE(Received(kAxisMda).empty());
}

TEST_F(AxisWindowModelTest, TicksSendTheirReads)
{
    auto model = OpenAxis(kAxisMdc);
    struct Case {
        Timer timer;
        std::vector<uint8_t> sent;
        int periodMs;
    };
    const Case cases[] = {
        {Timer::kStatus, {cmd::kCmdReadServoState, cmd::kCmdReadHomeDone, cmd::kCmdReadRunMode, cmd::kCmdReadAlarmCode}, 1000},
        {Timer::kMotion, {cmd::kCmdReadOperationStatus, cmd::kCmdReadPositions}, 100},
        // No jog button is held: nothing to keep alive.
        {Timer::kJog, {}, 30},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.timer));
        m_runner->ClearCommandsReceived();
        EXPECT_EQ(model->OnTick(c.timer), Tick::kRestart);
        EXPECT_EQ(Received(kAxisMdc), c.sent);
        EXPECT_EQ(model->TimerPeriodMs(c.timer), c.periodMs);
    }
}

TEST_F(AxisWindowModelTest, AnAxisThatFallsSilentWhileOpeningEndsTheParameterReadAtOnce)
{
    constexpr int kSilentAtParameter = 5;
    CAxisWindowModel::Hooks hooks;
    int lastDone = 0;
    hooks.progress = [&](int done, int) {
        lastDone = done;
        if (done == kSilentAtParameter) {
            m_runner->ClearCommandsReceived();
            m_runner->SetSilent(kAxisMdc, true);
        }
    };
    AxisIdentity identity{kAxisMdc, ModelOf(kAxisMdc), "linked name", "0000", false, 0};
    CAxisWindowModel model(*m_commands, settings, values, identity, hooks);
    model.Open();

    EXPECT_TRUE(model.Silent());
    EXPECT_EQ(model.Alarm(), CAxisWindowModel::AlarmBox::kSilent);
    EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdReadParameter), CAxisWindowModel::kOpeningSilentTimeouts)
        << "three unanswered reads, not ten for every parameter left";
    EXPECT_EQ(lastDone, kSilentAtParameter + CAxisWindowModel::kOpeningSilentTimeouts)
        << "one read each: the read ends with the third parameter that went unanswered";
    EXPECT_TRUE(values.pollingOn);
    // Every parameter from the first unanswered one on keeps the file's value, and the window says so.
    ASSERT_FALSE(model.ParametersNotRead().empty());
    EXPECT_EQ(model.ParametersNotRead().front(), kSilentAtParameter + 1);
    EXPECT_NE(model.ParametersNotReadText().find("(" + FormatInt(static_cast<int>(model.ParametersNotRead().size())) + ")"),
              std::string::npos)
        << model.ParametersNotReadText();
}

TEST_F(AxisWindowModelTest, ASilentControllerCostsOneExchangePerTickAndComesBackByItself)
{
    auto model = OpenAxis(kAxisMdc);
    m_runner->SetSilent(kAxisMdc, true);

    // The first read of the motion tick finds no answer: the position read is skipped.
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kMotion);
    EXPECT_EQ(Received(kAxisMdc), std::vector<uint8_t>{cmd::kCmdReadOperationStatus});
    EXPECT_TRUE(model->Silent());
    EXPECT_EQ(model->Alarm(), AlarmBox::kSilent);
    EXPECT_EQ(model->TimerPeriodMs(Timer::kStatus), CAxisWindowModel::kSilentProbePeriodMs);

    // While silent the motion and jog ticks leave the bus alone; the status tick probes once, with
    // the identification read and its 30 ms, once an answer to the read that found the silence
    // can no longer come (the transport would wait for it first).
    m_runner->ClearCommandsReceived();
    EXPECT_EQ(model->OnTick(Timer::kMotion), Tick::kRestart);
    EXPECT_EQ(model->OnTick(Timer::kJog), Tick::kRestart);
    EXPECT_EQ(model->OnTick(Timer::kStatus), Tick::kRestart);
    EXPECT_TRUE(Received(kAxisMdc).empty()) << "no probe within the 200 ms of the read that found the silence";
    std::this_thread::sleep_for(std::chrono::milliseconds(CServoCommands::kTimeoutMs));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(model->OnTick(Timer::kStatus), Tick::kRestart);
    const auto probeMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(Received(kAxisMdc), std::vector<uint8_t>{cmd::kCmdReadDeviceType});
    EXPECT_LT(probeMs, 100) << "the probe waits 30 ms, not a status read's 200 ms";
    EXPECT_TRUE(model->Silent());
    EXPECT_EQ(model->TimerPeriodMs(Timer::kStatus), CAxisWindowModel::kSilentProbePeriodMs);

    // The axis answers again: the probe ends the silence and the tick goes on with its reads.
    m_runner->SetSilent(kAxisMdc, false);
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kStatus);
    EXPECT_EQ(Received(kAxisMdc),
              (std::vector<uint8_t>{cmd::kCmdReadDeviceType, cmd::kCmdReadVersionAndName, cmd::kCmdReadServoState,
                                    cmd::kCmdReadHomeDone, cmd::kCmdReadRunMode, cmd::kCmdReadAlarmCode}));
    EXPECT_FALSE(model->Silent());
    EXPECT_EQ(model->Alarm(), AlarmBox::kNormal);
    EXPECT_EQ(model->TimerPeriodMs(Timer::kStatus), CAxisWindowModel::kStatusPeriodMs);
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kMotion);
    EXPECT_EQ(Received(kAxisMdc).size(), 2u);
}

TEST_F(AxisWindowModelTest, AReadThatFailsWithAReplyKeepsItsItemAndTheTickGoesOn)
{
    auto model = OpenAxis(kAxisMdc);
    ServoOnAndHome(*model, kAxisMdc);
    FeedTo(kAxisMdc, 3200, 32000);
    model->OnTick(Timer::kMotion);
    ASSERT_EQ(model->AbsText(), "3.200");
    // Replies of the wrong length to the first read of each tick, for good.
    m_runner->SetWrongLength(kAxisMdc, cmd::kCmdReadServoState, true);
    m_runner->SetWrongLength(kAxisMdc, cmd::kCmdReadOperationStatus, true);
    FeedTo(kAxisMdc, 3200, 64000);

    for (int tick = 0; tick < 3; ++tick) {
        SCOPED_TRACE(tick);
        m_runner->ClearCommandsReceived();
        EXPECT_EQ(model->OnTick(Timer::kMotion), Tick::kRestart);
        EXPECT_EQ(Received(kAxisMdc), (std::vector<uint8_t>{cmd::kCmdReadOperationStatus, cmd::kCmdReadPositions}));
        EXPECT_EQ(model->AbsText(), "6.400") << "the positions go on although the status read keeps failing";
        m_runner->ClearCommandsReceived();
        EXPECT_EQ(model->OnTick(Timer::kStatus), Tick::kRestart);
        EXPECT_EQ(Received(kAxisMdc), (std::vector<uint8_t>{cmd::kCmdReadServoState, cmd::kCmdReadHomeDone,
                                                            cmd::kCmdReadRunMode, cmd::kCmdReadAlarmCode}));
        // Not silent: the controller answered, only not usably; the servo lamp keeps its last state.
        EXPECT_FALSE(model->Silent());
        EXPECT_NE(model->Alarm(), AlarmBox::kSilent);
        EXPECT_TRUE(model->ServoLamp());
        EXPECT_TRUE(model->HomeLamp());
        EXPECT_EQ(model->TimerPeriodMs(Timer::kStatus), CAxisWindowModel::kStatusPeriodMs);
    }
    // An alarm is still seen.
    WithAxis(kAxisMdc, [](sim::AxisDevice &device) {
        device.Alarms().Raise(0x10);
        return 0;
    });
    model->OnTick(Timer::kStatus);
    EXPECT_EQ(model->Alarm(), AlarmBox::kAbnormal);
}

TEST_F(AxisWindowModelTest, OneLostIdentificationStillReadsEveryParameterOnce)
{
    // The controller holds values the file does not.
    WithAxis(kAxisMdc, [](sim::AxisDevice &device) {
        device.Parameters().Set(16, 123);
        return device.Parameters().Set(31, 4321);
    });
    // Its replies come late: past the identification's 30 ms, well within a parameter read's
    // 200 ms. After the first parameter the line is quick again.
    constexpr int kLateMs = 80;
    std::vector<std::pair<int, int>> progress;
    CAxisWindowModel::Hooks hooks;
    hooks.progress = [&](int done, int total) {
        if (progress.empty())
            m_runner->SetReplyDelay(0);
        progress.emplace_back(done, total);
    };
    AxisIdentity identity{kAxisMdc, ModelOf(kAxisMdc), "linked name", "2105", false, 0};
    CAxisWindowModel model(*m_commands, settings, values, identity, hooks);
    m_runner->SetReplyDelay(kLateMs);
    m_runner->ClearCommandsReceived();
    EXPECT_TRUE(model.Open());
    m_runner->SetReplyDelay(0);

    EXPECT_EQ(Received(kAxisMdc).front(), cmd::kCmdReadDeviceType);
    EXPECT_EQ(model.Identity().name, "linked name") << "the identification went unanswered";
    ASSERT_FALSE(progress.empty());
    const int total = progress.back().second;
    EXPECT_EQ(static_cast<int>(progress.size()), total) << "every parameter was read";
    EXPECT_EQ(model.JogSpeedBox(), "123");
    EXPECT_EQ(model.FeedBox(), "4.321");
    EXPECT_EQ(model.Params().Store().GetInt("16", "Value", -1), 123);
    EXPECT_FALSE(model.Silent());
    EXPECT_TRUE(model.ParametersNotRead().empty()) << model.ParametersNotReadText();
    EXPECT_TRUE(model.ParametersNotReadText().empty());
}

TEST_F(AxisWindowModelTest, OpeningReadsEachParameterOnceAndNamesThoseNotRead)
{
    struct Case {
        int language;
        const char *fragment;   // of the window's line in that language
    };
    const Case cases[] = {{CAppSettings::kLanguageEnglish, "Parameters not read from the controller (2)"},
                          {CAppSettings::kLanguageJapanese, "2 \xE5\x80\x8B"},
                          {CAppSettings::kLanguageChinese, "\xE6\x9C\x89 2 \xE4\xB8\xAA"}};
    // Two parameters the controller refuses to read, every time it is asked.
    WithAxis(kAxisMdc, [](sim::AxisDevice &device) {
        device.RefuseParameterRead(16);
        device.RefuseParameterRead(31);
        return 0;
    });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.language);
        settings.SwitchLanguage(c.language);
        m_runner->ClearCommandsReceived();
        auto model = OpenAxis(kAxisMdc);
        // One attempt each, without retries.
        const std::vector<sim::BusRunner::LoggedRequest> log = m_runner->RequestLog();
        for (const int number : {16, 31, 1}) {
            const auto asked = std::count_if(log.begin(), log.end(), [number](const sim::BusRunner::LoggedRequest &request) {
                return request.address == kAxisMdc && request.command == cmd::kCmdReadParameter &&
                       request.payload.size() >= 2 && (request.payload[0] | (request.payload[1] << 8)) == number;
            });
            EXPECT_EQ(asked, 1) << number;
        }
        EXPECT_EQ(model->ParametersNotRead(), (std::vector<int>{16, 31}));
        const std::string text = model->ParametersNotReadText();
        EXPECT_NE(text.find(c.fragment), std::string::npos) << text;
        EXPECT_NE(text.find("16, 31"), std::string::npos) << text;
        EXPECT_EQ(model->ParametersNotReadList().substr(0, 3), "16 ");
        EXPECT_FALSE(model->Silent());
        // The parameter list reads one of them later: only the other is still named.
        model->ParametersRead({16, 17});
        EXPECT_EQ(model->ParametersNotRead(), std::vector<int>{31});
        model->ParametersRead({31});
        EXPECT_TRUE(model->ParametersNotReadText().empty());
    }
}

TEST_F(AxisWindowModelTest, AReplacedAdapterIsFoundByTheProbe)
{
    auto model = OpenAxis(kAxisMdc);
    // The adapter is pulled: its pseudo-terminal goes away with the simulator.
    m_runner->Stop();
    m_runner.reset();
    model->OnTick(Timer::kStatus);
    EXPECT_TRUE(model->Silent());
    EXPECT_EQ(model->Alarm(), AlarmBox::kSilent);

    // Plugged in again: a new device node, which the port table points to, as the port settings
    // would after a replug.
    m_runner = std::make_unique<sim::BusRunner>(sim::SimBus::CreateDemo(), sim::BusRunner::Settings{});
    std::string error;
    ASSERT_TRUE(m_runner->Open(&error)) << error;
    ASSERT_TRUE(m_runner->Start());
    m_comm->Ports().SetPath(kSimPort, m_runner->SlavePath());
    // Nothing is reopened by hand: the probe's exchange opens the port again.
    model->OnTick(Timer::kStatus);
    EXPECT_FALSE(model->Silent());
    EXPECT_EQ(model->Alarm(), AlarmBox::kNormal);
    EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdReadServoState), 1);
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kMotion);
    EXPECT_EQ(Received(kAxisMdc).size(), 2u);
}

TEST(AxisPositionText, NeverANegativeZero)
{
    struct Case {
        int64_t raw;    // 0.0001 units
        int decimals;
        const char *text;
    };
    const Case cases[] = {
        {-1, 3, "0.000"},      {-4, 3, "0.000"},      {-1, 2, "0.00"},   {0, 4, "0.0000"},
        {-1, 4, "-0.0001"},    {125000, 3, "12.500"}, {-125000, 3, "-12.500"},
        {-50, 2, "-0.01"},     {12345678, 4, "1234.5678"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CAxisStatusPoller::PositionText(c.raw, c.decimals), c.text) << c.raw << " " << c.decimals;
}

TEST_F(AxisWindowModelTest, CoordinateResetThenAMoveShowsTheDistance)
{
    auto model = OpenAxis(kAxisMdc);
    ServoOnAndHome(*model, kAxisMdc);
    // Away from zero first, so that the reference is not the origin: 3.2 mm (MDC feeds in 0.001).
    FeedTo(kAxisMdc, 3200, 32000);
    model->OnTick(Timer::kMotion);
    EXPECT_EQ(model->AbsText(), "3.200");
    model->ResetCoordinate();
    EXPECT_EQ(model->IncText(), "0.000");
    FeedTo(kAxisMdc, 12500, 157000);
    model->OnTick(Timer::kMotion);
    EXPECT_EQ(model->AbsText(), "15.700");
    EXPECT_EQ(model->IncText(), "12.500");
}

TEST_F(AxisWindowModelTest, OperationTypeChangeResetsTheTableAndClearsTheControllerOnlyWhenAsked)
{
    auto model = OpenAxis(kAxisMdc);
    ASSERT_TRUE(model->Params().Lists().Driver().At(36).SetIndex(2));
    model->SetStartRow(7);
    m_runner->ClearCommandsReceived();
    model->OperationTypeChanged(false);
    EXPECT_EQ(model->TypeText(), "TYPE2");
    EXPECT_EQ(model->DescriptionKey(), "SCRIPT_2");
    EXPECT_EQ(model->Table().StepCount(), 256);
    EXPECT_EQ(model->StartRow(), 1);
    EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdClearPointTable), 0);
    model->OperationTypeChanged(true);
    EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdClearPointTable), 1);
}

TEST_F(AxisWindowModelTest, DirectionPicturesFollowParameter5)
{
    auto model = OpenAxis(kAxisMdc);
    CIniEx &store = model->Params().Store();
    const std::string first = store.GetString("5", "SelItem1", "");
    const std::string second = store.GetString("5", "SelItem2", "");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    struct Case {
        std::string value;
        int pictureSet;
    };
    for (const Case &c : {Case{second, 1}, Case{first, 0}, Case{"no such choice", 0}}) {
        store.SetString("5", "Value", c.value);
        model->Parameter5Changed();
        EXPECT_EQ(model->DirectionPictureSet(), c.pictureSet) << c.value;
    }
}

TEST_F(AxisWindowModelTest, ReturnInServiceModeNamesTheVersions)
{
    auto model = OpenAxis(kAxisMdc);
    AxisIdentity offline{1, "MDB", "", "", true, 0};
    CAxisWindowModel offlineModel(*m_commands, settings, values, offline);
    offlineModel.Open();
    EXPECT_FALSE(model->ServiceReturnMessage().has_value());
    settings.Settings().SetString("Debug", "Level", "10");
    EXPECT_EQ(model->ServiceReturnMessage().value_or(""), "MDC Ver 2.105\nV-FLOW Ver 1.122");
    EXPECT_EQ(offlineModel.ServiceReturnMessage().value_or(""), "V-FLOW Ver 1.122");
}

TEST_F(AxisWindowModelTest, NotificationsOfTheParameterListRefreshTheBoxes)
{
    auto model = OpenAxis(kAxisMdc);
    CIniEx &store = model->Params().Store();
    store.SetString("16", "Value", "321");
    store.SetString("31", "Value", "7.5");
    model->JogSpeedChanged();
    model->FeedAmountChanged();
    model->DeviceNameChanged("NEW NAME");
    EXPECT_EQ(model->JogSpeedBox(), "321");
    EXPECT_EQ(model->FeedBox(), "7.500");
    EXPECT_EQ(model->Identity().name, "NEW NAME");
}

} // namespace
} // namespace kvl::points::test
