// The motor monitor's model against the simulator over a pseudo-terminal: texts by model, the
// refresh and its failure rules, the poll tick, input switching, alarm reset, the alarm history,
// and an axis that stops answering.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <memory>
#include <string>
#include <vector>

#include "ScriptedAxis.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "monitor/CMonitorModel.h"
#include "protocol/CommandCodes.h"
#include "sim/ModelInfo.h"
#include "support/ScratchSystemFolder.h"
#include "sim/SimBusTest.h"

namespace kvl::test {
namespace {

constexpr int kSpeed = 115200;
constexpr uint8_t kNoSlot = 0xFF;

class MonitorModelTest : public sim::SimBusTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.Ok());
        ASSERT_TRUE(m_settings.Start(CAppSettings::kSystemLangEnglish));
        auto bus = std::make_unique<sim::SimBus>();
        uint8_t address = 0;
        for (const sim::ModelInfo &model : sim::ControllerModels()) {
            m_models.push_back(model.text);
            bus->Add(std::make_unique<ScriptedAxis>(
                std::make_unique<sim::AxisDevice>(address++, model, "2105", "TEST " + model.text)));
        }
        StartSim({}, std::move(bus));
        ASSERT_EQ(m_commands->OpenPort(kSimPort, kSpeed), 1);
    }

    int AddressOf(const std::string &model) const
    {
        for (size_t a = 0; a < m_models.size(); ++a)
            if (m_models[a] == model)
                return static_cast<int>(a);
        ADD_FAILURE() << "no simulated " << model;
        return 0;
    }

    // A monitor of the simulated axis of `model`, made the current axis.
    std::unique_ptr<CMonitorModel> Monitor(const std::string &model, int ioMode = 0,
                                           CMonitorModel::Hooks hooks = {})
    {
        const int axis = AddressOf(model);
        m_values.currentAxis = axis;
        return std::make_unique<CMonitorModel>(*m_commands, m_settings.Texts(), m_values, axis, model, ioMode,
                                               std::move(hooks));
    }

    // Runs `fn` on the scripted axis under the bus lock.
    template <class Fn>
    auto Script(int axis, Fn fn)
    {
        return m_runner->WithBus(
            [&](sim::SimBus &bus) { return fn(*static_cast<ScriptedAxis *>(bus.Device(static_cast<uint8_t>(axis)))); });
    }

    int Count(int axis, uint8_t command)
    {
        return Script(axis, [command](ScriptedAxis &a) { return a.Count(command); });
    }

    int RequestCount(int axis)
    {
        return Script(axis, [](ScriptedAxis &a) { return static_cast<int>(a.Requests().size()); });
    }

    void SetHistory(int axis, std::vector<uint8_t> history)
    {
        history.resize(CMonitorModel::kHistoryLength, kNoSlot);
        Script(axis, [&](ScriptedAxis &a) { a.SetHistory(history); });
    }

    ScratchSystemFolder m_folder;
    CAppValues m_values;
    CAppSettings m_settings{m_values, m_folder.System().string()};
    std::vector<std::string> m_models;
};

TEST_F(MonitorModelTest, SectionsAndAlarmTextsFollowTheModel)
{
    // Code 25 has a text only for MDC-X, 21 for MDB, MDC and MDC-X; the others read "AlarmMDA".
    struct Case {
        std::string model;
        std::string section;
        std::string alarmSection;
        std::vector<std::string> lines;
    };
    const std::string base = "IDD_KVL_VER2_MTRMONITOR_DIALOG";
    const std::vector<Case> cases{
        {"MDA", base, "AlarmMDA", {"A04 Overload"}},
        {"MDB", base + "_MDB", "AlarmMDB", {"A21 Regeneration overload", "A04 Overload"}},
        {"MDC", base + "_MDC", "AlarmMDC", {"A21 Regeneration overload", "A04 Overload"}},
        {"MDC-X", base + "_MDC-X", "AlarmXMDC",
         {"A21 Regeneration overload", "A25 Current sensor error", "A04 Overload"}},
        {"MDA-Y", base, "AlarmMDA", {"A04 Overload"}},
        {"MDA-Z", base, "AlarmMDA", {"A04 Overload"}},
    };
    for (const Case &c : cases) {
        auto monitor = Monitor(c.model);
        EXPECT_EQ(monitor->WindowSection(), c.section) << c.model;
        EXPECT_EQ(monitor->AlarmSection(), c.alarmSection) << c.model;
        SetHistory(monitor->Axis(), {21, kNoSlot, 25, 4});
        monitor->RefreshHistory();
        EXPECT_EQ(monitor->HistoryLines(), c.lines) << c.model;
    }
}

TEST_F(MonitorModelTest, PositionUnitsAreDegreesOnlyOnTheRotaryModel)
{
    EXPECT_STREQ(Monitor("MDA-Z")->CommandUnitKey(), "IDC_ZMDA_POS_CMD_UNIT");
    EXPECT_STREQ(Monitor("MDA-Z")->CurrentUnitKey(), "IDC_ZMDA_POS_CUR_UNIT");
    EXPECT_STREQ(Monitor("MDC")->CommandUnitKey(), "IDC_POS_CMD_UNIT");
    EXPECT_STREQ(Monitor("MDA")->CurrentUnitKey(), "IDC_POS_CUR_UNIT");
}

TEST_F(MonitorModelTest, AlarmCodeGivesNormalOrUnormalWithItsColour)
{
    struct Case {
        uint8_t code;
        const char *text;
        CMonitorModel::AlarmColour colour;
    };
    const std::vector<Case> cases{{255, "Normal", CMonitorModel::AlarmColour::kGreen},
                                  {254, "Normal", CMonitorModel::AlarmColour::kGreen},
                                  {4, "Unormal", CMonitorModel::AlarmColour::kRed},
                                  {0, "Unormal", CMonitorModel::AlarmColour::kRed}};
    auto monitor = Monitor("MDC");
    for (const Case &c : cases) {
        Script(monitor->Axis(), [&](ScriptedAxis &a) { a.SetStatus(cmd::kCmdReadAlarmCode, c.code); });
        monitor->Refresh();
        EXPECT_EQ(monitor->AlarmText(), c.text) << int(c.code);
        EXPECT_EQ(monitor->GetAlarmColour(), c.colour) << int(c.code);
    }
}

TEST_F(MonitorModelTest, RefreshShowsSignalsLoadAndPositions)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    Script(axis, [](ScriptedAxis &a) { a.SetPositions({-125000, 34567}); });
    monitor->Open();
    EXPECT_EQ(monitor->CommandPositionText(), "-12.500");
    EXPECT_EQ(monitor->CurrentPositionText(), "3.457");
    EXPECT_EQ(monitor->LoadText(), "0");
    EXPECT_FALSE(monitor->SignalOn(false, 1));   // servo off
    uint8_t status = 0;
    ASSERT_EQ(m_commands->ServoOn(status, static_cast<uint8_t>(axis), CMonitorModel::kTimeoutMs), kResultOk);
    monitor->Refresh();
    EXPECT_TRUE(monitor->SignalOn(false, 1));
    for (uint8_t command : {cmd::kCmdReadIOSignals, cmd::kCmdReadLoadFactor, cmd::kCmdReadPositions,
                            cmd::kCmdReadAlarmCode})
        EXPECT_EQ(Count(axis, command), 2) << int(command);
}

TEST_F(MonitorModelTest, NoNegativeZeroAndDecimalsByModel)
{
    struct Case {
        std::string model;
        int decimalsSetting;
        int32_t raw;
        std::string shown;
    };
    const std::vector<Case> cases{
        {"MDC", 2, -1, "0.000"},     {"MDB", 0, -1, "0.000"},       {"MDA", 1, -1, "0.000"},
        {"MDA", 2, -1, "-0.0001"},   {"MDC-X", 2, -1, "-0.0001"},   {"MDA-Z", 2, -5, "-0.0005"},
        {"MDA", 0, -49, "0.00"},     {"MDA", 0, -50, "-0.01"},
    };
    for (const Case &c : cases) {
        auto monitor = Monitor(c.model);
        m_values.decimals[static_cast<size_t>(monitor->Axis())] = c.decimalsSetting;
        Script(monitor->Axis(), [&](ScriptedAxis &a) { a.SetPositions({c.raw, c.raw}); });
        monitor->Refresh();
        EXPECT_EQ(monitor->CommandPositionText(), c.shown) << c.model << " " << c.raw;
        EXPECT_EQ(monitor->CurrentPositionText(), c.shown) << c.model << " " << c.raw;
    }
}

TEST_F(MonitorModelTest, ForbiddenInputsSendNothing)
{
    struct Case {
        int mode;
        std::vector<int> forbidden;   // inputs counted from 1
    };
    const std::vector<Case> cases{{5, {4, 5, 6, 7, 8, 9}}, {4, {8, 9, 11}}, {0, {7, 8, 9}}, {9, {7, 8, 9}}};
    for (const Case &c : cases) {
        auto monitor = Monitor("MDC", c.mode);
        const int axis = monitor->Axis();
        for (int input = 1; input <= 16; ++input) {
            const bool forbidden =
                std::find(c.forbidden.begin(), c.forbidden.end(), input) != c.forbidden.end();
            const int before = Count(axis, cmd::kCmdSetInputSignal);
            EXPECT_EQ(monitor->SwitchInput(input - 1), !forbidden) << "mode " << c.mode << " input " << input;
            EXPECT_EQ(Count(axis, cmd::kCmdSetInputSignal) - before, forbidden ? 0 : 1)
                << "mode " << c.mode << " input " << input;
        }
    }
}

TEST_F(MonitorModelTest, IoModeOfTheChosenOperationType)
{
    EXPECT_EQ(CMonitorModel::IoModeOfChoice("MDA-Z", 0), 0);
    EXPECT_EQ(CMonitorModel::IoModeOfChoice("MDA-Z", 1), 2);
    EXPECT_EQ(CMonitorModel::IoModeOfChoice("MDA-Z", 2), 4);
    EXPECT_EQ(CMonitorModel::IoModeOfChoice("MDA-Z", 3), 5);
    EXPECT_EQ(CMonitorModel::IoModeOfChoice("MDA-Z", 4), 0);
    EXPECT_EQ(CMonitorModel::IoModeOfChoice("MDC", 3), 3);
    auto monitor = Monitor("MDA-Z", 7);
    EXPECT_EQ(monitor->IoMode(), 0);
    EXPECT_EQ(monitor->SignalKey(true, 7), "IDC_RADIO_M1_I_7");
    monitor->SetIoMode(CMonitorModel::IoModeOfChoice("MDA-Z", 3));
    EXPECT_EQ(monitor->SignalKey(false, 16), "IDC_RADIO_M6_O_16");
    EXPECT_FALSE(monitor->InputSwitchAllowed(3));
}

TEST_F(MonitorModelTest, SwitchInputSendsBit7ForOnAndTogglesOnAGoodReply)
{
    auto monitor = Monitor("MDC", 1);
    const int axis = monitor->Axis();
    monitor->Open();
    ASSERT_FALSE(monitor->SignalOn(true, 6));
    ASSERT_TRUE(monitor->SwitchInput(5));
    EXPECT_TRUE(monitor->SignalOn(true, 6));
    ASSERT_TRUE(monitor->SwitchInput(5));
    EXPECT_FALSE(monitor->SignalOn(true, 6));
    const auto sent = Script(axis, [](ScriptedAxis &a) {
        std::vector<uint8_t> bytes;
        for (const auto &r : a.Requests())
            if (r.command == cmd::kCmdSetInputSignal)
                bytes.push_back(r.payload.at(0));
        return bytes;
    });
    EXPECT_EQ(sent, (std::vector<uint8_t>{0x85, 0x05}));

    // The controller took it: the next refresh reads the input on.
    ASSERT_TRUE(monitor->SwitchInput(15));
    monitor->Refresh();
    EXPECT_TRUE(monitor->SignalOn(true, 16));

    // A status of 0 leaves the lamp as it was; so does no answer.
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdSetInputSignal, 0); });
    ASSERT_TRUE(monitor->SwitchInput(0));
    EXPECT_FALSE(monitor->SignalOn(true, 1));
    Script(axis, [](ScriptedAxis &a) { a.SilenceCommand(cmd::kCmdSetInputSignal); });
    ASSERT_TRUE(monitor->SwitchInput(0));
    EXPECT_FALSE(monitor->SignalOn(true, 1));
}

TEST_F(MonitorModelTest, AlarmResetSetsTheTextAndLeavesTheColour)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdReadAlarmCode, 4); });
    monitor->Refresh();
    ASSERT_EQ(monitor->GetAlarmColour(), CMonitorModel::AlarmColour::kRed);
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdAlarmReset, 1); });
    monitor->ResetAlarm();
    EXPECT_EQ(monitor->AlarmText(), "Normal");
    EXPECT_EQ(monitor->GetAlarmColour(), CMonitorModel::AlarmColour::kRed);
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdAlarmReset, 2); });
    monitor->ResetAlarm();
    EXPECT_EQ(monitor->AlarmText(), "Unormal");
    EXPECT_EQ(Count(axis, cmd::kCmdAlarmReset), 2);
}

TEST_F(MonitorModelTest, UnchangedHistoryIsNotRebuilt)
{
    auto monitor = Monitor("MDB");
    const int axis = monitor->Axis();
    SetHistory(axis, {});   // 50 empty slots
    monitor->Open();
    EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmHistory), 1) << "the opening reads the history";
    EXPECT_TRUE(monitor->HistoryLines().empty());
    const int atOpening = monitor->HistoryRebuilds();
    monitor->RefreshHistory();
    EXPECT_EQ(monitor->HistoryRebuilds(), atOpening);

    SetHistory(axis, {7, 0, 200});   // 0 and 200 have no text
    monitor->RefreshHistory();
    EXPECT_EQ(monitor->HistoryLines(), (std::vector<std::string>{"A07 Overspeed"}));
    EXPECT_EQ(monitor->HistoryRebuilds(), atOpening + 1);
    monitor->RefreshHistory();
    EXPECT_EQ(monitor->HistoryRebuilds(), atOpening + 1);
    EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmHistory), 4);
}

// The history is read when the window opens and again when a refresh reads a new alarm, not only
// on Refresh; an alarm that stays is not read again and again.
TEST_F(MonitorModelTest, TheHistoryIsReadAtOpeningAndWhenAnAlarmAppears)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    SetHistory(axis, {7});
    monitor->Open();
    EXPECT_EQ(monitor->HistoryLines(), (std::vector<std::string>{"A07 Overspeed"}));

    SetHistory(axis, {4, 7});
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdReadAlarmCode, 4); });
    monitor->Refresh();
    EXPECT_EQ(monitor->HistoryLines().size(), 2u) << "a new alarm brings the history";
    const int reads = Count(axis, cmd::kCmdReadAlarmHistory);
    monitor->Refresh();
    monitor->Refresh();
    EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmHistory), reads) << "the same alarm is not read again";

    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdReadAlarmCode, 255); });
    monitor->Refresh();
    SetHistory(axis, {4, 4, 7});
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdReadAlarmCode, 4); });
    monitor->Refresh();
    EXPECT_EQ(monitor->HistoryLines().size(), 3u) << "raised again after a reset";
}

TEST_F(MonitorModelTest, ClearHistoryAsksFirst)
{
    std::vector<std::string> questions;
    bool answer = false;
    CMonitorModel::Hooks hooks;
    hooks.ask = [&](const std::string &title, const std::string &text) {
        EXPECT_TRUE(title.empty());
        questions.push_back(text);
        return answer;
    };
    auto monitor = Monitor("MDC", 0, hooks);
    const int axis = monitor->Axis();
    SetHistory(axis, {4});
    monitor->RefreshHistory();
    ASSERT_EQ(monitor->HistoryLines().size(), 1u);

    monitor->ClearHistory();
    EXPECT_EQ(questions, (std::vector<std::string>{"Clear the alarm history?"}));
    EXPECT_EQ(Count(axis, cmd::kCmdClearAlarmHistory), 0);
    EXPECT_EQ(monitor->HistoryLines().size(), 1u);

    answer = true;
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdClearAlarmHistory, 0); });
    monitor->ClearHistory();
    EXPECT_EQ(Count(axis, cmd::kCmdClearAlarmHistory), 1);
    EXPECT_EQ(monitor->HistoryLines().size(), 1u);
    Script(axis, [](ScriptedAxis &a) { a.SetStatus(cmd::kCmdClearAlarmHistory, 1); });
    monitor->ClearHistory();
    EXPECT_TRUE(monitor->HistoryLines().empty());
    EXPECT_EQ(questions.size(), 3u);
}

TEST_F(MonitorModelTest, PollTickFollowsTheSwitchAndTheCurrentAxis)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    m_values.pollingOn = false;
    EXPECT_EQ(monitor->OnTick(), CMonitorModel::Tick::kIdle);
    m_values.pollingOn = true;
    m_values.currentAxis = AddressOf("MDA");
    EXPECT_EQ(monitor->OnTick(), CMonitorModel::Tick::kStop);
    EXPECT_EQ(RequestCount(axis), 0);
    monitor->Activate();
    EXPECT_EQ(m_values.currentAxis, axis);
    EXPECT_EQ(monitor->OnTick(), CMonitorModel::Tick::kRestart);
    EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmCode), 1);
    EXPECT_EQ(monitor->PollPeriodMs(), CMonitorModel::kPollPeriodMs);
}

TEST_F(MonitorModelTest, OpeningShowsZerosForWhatItCouldNotRead)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    Script(axis, [](ScriptedAxis &a) {
        a.SetPositions({50000, 50000});
        a.SilenceCommand(cmd::kCmdReadPositions);
    });
    monitor->Open();
    EXPECT_EQ(monitor->LoadText(), "0");
    EXPECT_EQ(monitor->CommandPositionText(), "0.000");
    EXPECT_EQ(monitor->CurrentPositionText(), "0.000");
    // The rest of the refresh was skipped after the positions went unanswered.
    EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmCode), 0);
    EXPECT_TRUE(monitor->AlarmText().empty());
}

TEST_F(MonitorModelTest, SilentAxisSkipsTheRestOfARefreshAndResumes)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    Script(axis, [](ScriptedAxis &a) { a.SetPositions({12346, 12346}); });
    monitor->Open();
    ASSERT_EQ(monitor->CurrentPositionText(), "1.235");
    ASSERT_FALSE(monitor->Silent());
    const std::string alarmBefore = monitor->AlarmText();

    Script(axis, [](ScriptedAxis &a) { a.SetSilent(true); });
    const int before = RequestCount(axis);
    EXPECT_EQ(monitor->OnTick(), CMonitorModel::Tick::kRestart);
    EXPECT_EQ(RequestCount(axis) - before, 1);   // the first exchange only
    EXPECT_TRUE(monitor->Silent());
    EXPECT_EQ(monitor->PollPeriodMs(), CMonitorModel::kSilentProbePeriodMs);
    EXPECT_EQ(monitor->NoAnswerText(), "The axis does not answer");
    EXPECT_EQ(monitor->CurrentPositionText(), "1.235");   // a poll keeps what it showed
    EXPECT_EQ(monitor->AlarmText(), alarmBefore);

    // While silent, each tick (a second apart) asks only with the identification read and its 30 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(CMonitorModel::kTimeoutMs));
    const int probesBefore = Count(axis, cmd::kCmdReadDeviceType);
    const int signalsBefore = Count(axis, cmd::kCmdReadIOSignals);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(monitor->OnTick(), CMonitorModel::Tick::kRestart);
    const auto probeMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(Count(axis, cmd::kCmdReadDeviceType) - probesBefore, 1);
    EXPECT_EQ(Count(axis, cmd::kCmdReadIOSignals) - signalsBefore, 0);
    EXPECT_LT(probeMs, 100) << "a 30 ms probe, not a 200 ms read";
    EXPECT_TRUE(monitor->Silent());

    // It answers: the same tick reads everything again.
    Script(axis, [](ScriptedAxis &a) { a.SetSilent(false); });
    monitor->OnTick();
    EXPECT_EQ(Count(axis, cmd::kCmdReadIOSignals) - signalsBefore, 1);
    EXPECT_FALSE(monitor->Silent());
    EXPECT_EQ(monitor->PollPeriodMs(), CMonitorModel::kPollPeriodMs);
    EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmCode), 2);
}

TEST_F(MonitorModelTest, AReadThatKeepsFailingWithAReplyHidesNoOtherItem)
{
    auto monitor = Monitor("MDC");
    const int axis = monitor->Axis();
    Script(axis, [](ScriptedAxis &a) { a.SetPositions({12346, 12346}); });
    monitor->Open();
    ASSERT_EQ(monitor->CurrentPositionText(), "1.235");
    const std::string load = monitor->LoadText();
    // The signals and then the load come back with a reply of the wrong length, for good.
    m_runner->SetWrongLength(static_cast<uint8_t>(axis), cmd::kCmdReadIOSignals, true);
    m_runner->SetWrongLength(static_cast<uint8_t>(axis), cmd::kCmdReadLoadFactor, true);
    Script(axis, [](ScriptedAxis &a) {
        a.SetPositions({-20000, -20000});
        a.SetStatus(cmd::kCmdReadAlarmCode, 0x10);
    });
    const uint32_t word = monitor->IoWord();
    for (int tick = 0; tick < 3; ++tick) {
        SCOPED_TRACE(tick);
        const int alarmsBefore = Count(axis, cmd::kCmdReadAlarmCode);
        EXPECT_EQ(monitor->OnTick(), CMonitorModel::Tick::kRestart);
        EXPECT_EQ(Count(axis, cmd::kCmdReadAlarmCode) - alarmsBefore, 1);
        EXPECT_EQ(monitor->CurrentPositionText(), "-2.000") << "the positions go on";
        EXPECT_EQ(monitor->AlarmText(), CMonitorModel::kAbnormalText) << "and so does the alarm";
        EXPECT_EQ(monitor->GetAlarmColour(), CMonitorModel::AlarmColour::kRed);
        // The failing items keep their last values; a reply is an answer: not silent.
        EXPECT_EQ(monitor->LoadText(), load);
        EXPECT_EQ(monitor->IoWord(), word);
        EXPECT_FALSE(monitor->Silent());
        EXPECT_EQ(monitor->PollPeriodMs(), CMonitorModel::kPollPeriodMs);
    }
}

TEST_F(MonitorModelTest, NoAnswerTextInEveryLanguage)
{
    const std::vector<std::pair<int, std::string>> cases{{CAppSettings::kLanguageEnglish, "The axis does not answer"},
                                                         {CAppSettings::kLanguageJapanese, "軸が応答しません"},
                                                         {CAppSettings::kLanguageChinese, "轴没有应答"}};
    auto monitor = Monitor("MDC");
    for (const auto &[language, text] : cases) {
        m_settings.SwitchLanguage(language);
        EXPECT_EQ(monitor->NoAnswerText(), text) << language;
    }
}

} // namespace
} // namespace kvl::test
