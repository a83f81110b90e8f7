// The waveform window's rules without a window: the Start rule and busy handling, the capture
// edge cases as the window drives them, the app-wide settings kept on Stop, the series list's
// buttons, zoom (buttons and wheel), files with their failures, gaps and the cursor readout.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FakeWaveSource.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "config/CWaveformSettings.h"
#include "support/ScratchSystemFolder.h"
#include "waveform/CRogModel.h"
#include "waveform/CWaveCsv.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;
using test::FakeWaveSource;

constexpr int kAxis = 2;
constexpr int kSampling1ms = 10;   // with the fake's 0.0001 s time step
constexpr int kEnglish = 2;

class RogModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_texts.Load(test::ScratchSystemFolder::Shipped().string(), "Lang_EN.ini", kEnglish));
        CWaveformSettings::Values values;
        values.time = 100;
        values.position = 1.0;
        values.speed = 10.0;
        values.current = 100.0;
        values.periodTimes = kSampling1ms;
        m_settings.Set(values);
        m_folder = fs::temp_directory_path() / ("rog_model_" + std::to_string(::getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }

    void TearDown() override { fs::remove_all(m_folder); }

    CRogModel &Make(bool offline = false, int maxList = 6)
    {
        CRogModel::Hooks hooks;
        hooks.changed = [this] {
            ++m_changes;
            if (m_model && m_model->Busy())
                ++m_busyChanges;
        };
        hooks.redraw = [this] { ++m_redraws; };
        hooks.message = [this](const std::string &text) { m_messages.push_back(text); };
        m_model = std::make_unique<CRogModel>(m_source, m_settings, m_values, m_texts,
                                              CRogModel::Identity{kAxis, "MDC", offline}, maxList, hooks);
        return *m_model;
    }

    void SetModes(int mode0, int mode1)
    {
        m_model->Series().Live(0).SetMode(mode0);
        m_model->Series().Live(1).SetMode(mode1);
    }

    std::string Path(const std::string &name) const { return (m_folder / name).string(); }

    std::string Common(const char *key) const { return m_texts.Text(key, CLanguageTexts::kCommonSection); }

    FakeWaveSource m_source;
    CWaveformSettings m_settings;
    CAppValues m_values;
    CLanguageTexts m_texts;
    std::unique_ptr<CRogModel> m_model;
    fs::path m_folder;
    int m_changes = 0;
    int m_busyChanges = 0;
    int m_redraws = 0;
    std::vector<std::string> m_messages;
};

TEST_F(RogModelTest, StartIsRefusedForGoodOfflineOrWhenTheModelMatchFlagWasSetAtOpening)
{
    struct Case {
        const char *what;
        bool offline;
        bool matchAtOpening;
        bool matchLater;
        bool allowed;
    };
    const Case cases[] = {
        {"online", false, false, false, true},
        {"offline", true, false, false, false},
        {"model match at opening", false, true, false, false},
        {"model match set after opening", false, false, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_source.calls.clear();
        m_values.modelMatch[kAxis] = c.matchAtOpening;
        CRogModel &model = Make(c.offline);
        m_values.modelMatch[kAxis] = c.matchLater || c.matchAtOpening;
        EXPECT_EQ(model.StartAllowed(), c.allowed);
        model.PressStartStop();
        EXPECT_EQ(model.Running(), c.allowed);
        EXPECT_EQ(m_source.Count("scales"), c.allowed ? 1 : 0);
        if (model.Running())
            model.PressStartStop();
    }
}

TEST_F(RogModelTest, ModesDecideWhatStartAsksFor)
{
    struct Case {
        int mode0;
        int mode1;
        std::vector<std::string> calls;
        bool running;
    };
    const Case cases[] = {
        {0, 0, {"scales"}, false},
        {0, 9, {"scales"}, false},
        {4, 4, {"scales", "start 10 0x10"}, true},            // one channel for both
        {7, 2, {"scales", "start 10 0x0A"}, true},            // 0x08 | 0x02, two channels
        {4, 7, {"scales", "start 10 0x18"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.mode0) + "/" + std::to_string(c.mode1));
        m_source.calls.clear();
        CRogModel &model = Make();
        SetModes(c.mode0, c.mode1);
        model.PressStartStop();
        EXPECT_EQ(m_source.calls, c.calls);
        EXPECT_EQ(model.Running(), c.running);
        EXPECT_EQ(model.Polling(), c.running);
        EXPECT_FALSE(model.Busy());
    }
}

TEST_F(RogModelTest, TheSwappedSecondStreamAndTheFirstSampleAtOnePeriod)
{
    CRogModel &model = Make();
    SetModes(wave::kModeActualCurrent, wave::kModePositionCommand);
    model.PressStartStop();
    // The controller sends position command (0x02) first, actual current (0x08) second.
    m_source.Queue({100, 5, 200, 6}).commandBase = 1000;
    EXPECT_TRUE(model.Tick());
    const CWaveSeries &current = model.Series().Live(0);
    const CWaveSeries &command = model.Series().Live(1);
    ASSERT_EQ(current.Count(), 2);
    ASSERT_EQ(command.Count(), 2);
    EXPECT_DOUBLE_EQ(current.Point(0).y, 5.0);
    EXPECT_DOUBLE_EQ(current.Point(1).y, 6.0);
    EXPECT_DOUBLE_EQ(command.Point(0).y, (1000 + 100) * 0.001);
    EXPECT_DOUBLE_EQ(command.Point(1).y, (1000 + 100 + 200) * 0.001);
    EXPECT_DOUBLE_EQ(current.Point(0).x, 1.0);   // sample 1 at one period, not at 0
    EXPECT_DOUBLE_EQ(current.Point(1).x, 2.0);
}

TEST_F(RogModelTest, ATriggerCrossingAt10Point5MsIsAlignedTo20Ms)
{
    CRogModel &model = Make();
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    WaveTriggerSettings trigger;
    trigger.enabled = true;
    trigger.channel = 0;
    trigger.direction = WaveTriggerSettings::kFalling;
    trigger.level = 5.0;
    trigger.position = 20.0;
    trigger.align = true;
    model.SetTrigger(trigger);
    model.PressStartStop();
    EXPECT_TRUE(model.Capture().IsArmed());
    // Samples 1..11 at 1..11 ms: 6.0 at 10 ms, 4.0 at 11 ms.
    m_source.Queue({9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 4, 3});
    model.Tick();
    ASSERT_TRUE(model.Capture().TriggerFound(0));
    const CWaveSeries &series = model.Series().Live(0);
    EXPECT_DOUBLE_EQ(series.XOffset(), 20.0 - 10.5);
    EXPECT_DOUBLE_EQ(series.Point(10).x, 11.0 + 9.5);
    EXPECT_EQ(series.Trigger().firstVisible, 10);
    EXPECT_EQ(CRogModel::FirstDrawn(series), 10);
    EXPECT_TRUE(series.Trigger().levelLineVisible);
}

TEST_F(RogModelTest, RunsEndByTheFinishedFlagOrFullBuffersWithoutStoringTheSettings)
{
    struct Case {
        const char *what;
        bool finishedFlag;
        int batches;
    };
    const Case cases[] = {{"finished flag", true, 1}, {"full buffers", false, 100}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_source.calls.clear();
        CRogModel &model = Make();
        SetModes(wave::kModeActualSpeed, wave::kModeActualSpeed);
        model.EditPerDivision(CWaveDisplay::kTime, "250");
        model.PressStartStop();
        const std::vector<int16_t> batch(c.finishedFlag ? 10 : 1000, 1);
        for (int b = 0; b < c.batches; ++b)
            m_source.Queue(batch, c.finishedFlag, b * 1000);
        bool polling = true;
        for (int tick = 0; polling && tick < c.batches + 1; ++tick)
            polling = model.Tick();
        EXPECT_FALSE(polling);
        EXPECT_FALSE(model.Running());
        EXPECT_EQ(m_source.Count("stop"), 1);
        EXPECT_EQ(model.Capture().ReceivedCount(), c.finishedFlag ? 10 : CWaveCapture::kBufferSamples);
        EXPECT_EQ(m_settings.Get().time, 100) << "only the user's Stop keeps the settings";
    }
}

TEST_F(RogModelTest, StopKeepsTheDisplayAndTheSamplingFieldAsTheAppWideSettings)
{
    CRogModel &model = Make();
    EXPECT_EQ(model.SamplingText(), "10");
    model.SetSamplingText("25");
    model.SetSamplingText("2x");   // not digits: refused
    model.SetSamplingText("12345678901");   // longer than 10: refused
    EXPECT_EQ(model.SamplingText(), "25");
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kTime, "40"), "40");
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kPosition, "3"), "3");
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kSpeed, "20"), "20");
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kCurrent, "500"), "500");
    model.PressStartStop();
    ASSERT_TRUE(model.Running());
    EXPECT_EQ(m_source.calls.back(), "start 25 0x18");
    EXPECT_EQ(m_settings.Get().time, 100) << "nothing kept before Stop";
    model.PressStartStop();
    EXPECT_FALSE(model.Running());
    EXPECT_EQ(m_source.calls.back(), "stop");
    const CWaveformSettings::Values &kept = m_settings.Get();
    EXPECT_EQ(kept.time, 40);
    EXPECT_DOUBLE_EQ(kept.position, 3.0);
    EXPECT_DOUBLE_EQ(kept.speed, 20.0);
    EXPECT_DOUBLE_EQ(kept.current, 500.0);
    EXPECT_EQ(kept.periodTimes, 25);
}

TEST_F(RogModelTest, ControlsAreBusyDuringTheStartExchangesAndASecondPressIsIgnored)
{
    CRogModel &model = Make();
    bool busyInside = false;
    m_source.duringScales = [&] {
        busyInside = model.Busy();
        model.PressStartStop();
    };
    model.PressStartStop();
    EXPECT_TRUE(busyInside);
    EXPECT_GE(m_busyChanges, 1) << "the view was told before the first exchange";
    EXPECT_EQ(m_source.Count("scales"), 1);
    EXPECT_TRUE(model.Running());
    EXPECT_FALSE(model.Busy());
    EXPECT_FALSE(model.CanOpen() && model.Busy());
}

TEST_F(RogModelTest, PerDivisionFieldsFillEmptyFieldsAndPutARefusedTimeBack)
{
    CRogModel &model = Make();
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kTime, ""), "1");
    EXPECT_EQ(model.Display().TimePerDivision(), 1);
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kTime, "0"), "1") << "the previous time comes back";
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kCurrent, "0"), "0");
    EXPECT_DOUBLE_EQ(model.Display().PerDivision(CWaveDisplay::kCurrent), 100.0);
    EXPECT_EQ(model.EditPerDivision(CWaveDisplay::kPosition, ""), "1");
    EXPECT_EQ(model.PerDivisionText(CWaveDisplay::kPosition), "1");
}

TEST_F(RogModelTest, ZoomButtonsStopAtTheirLimitsWithTheirFactorTexts)
{
    CRogModel &model = Make();
    const std::vector<std::string> larger = {"2x", "4x", "8x", "8x"};
    for (const std::string &text : larger) {
        model.ZoomLarge();
        EXPECT_EQ(model.Display().ZoomText(), text);
    }
    EXPECT_FALSE(model.Display().CanZoomIn());
    model.ZoomReset();
    EXPECT_EQ(model.Display().ZoomText(), "1x");
    EXPECT_TRUE(model.Display().CanZoomIn());
    const std::vector<std::string> smaller = {"1/2x", "1/4x", "1/8x", "1/16x", "1/32x", "1/32x"};
    for (const std::string &text : smaller) {
        model.ZoomSmall();
        EXPECT_EQ(model.Display().ZoomText(), text);
    }
    EXPECT_FALSE(model.Display().CanZoomOut());
    EXPECT_TRUE(model.Display().CanZoomIn());
}

TEST_F(RogModelTest, TheWheelZoomsTimeAboutThePointerInStepWithTheButtons)
{
    CRogModel &model = Make();   // time 0 .. 1000 ms
    model.WheelZoom(250.0, true);
    const WaveAxisRange &time = model.Display().Range(CWaveDisplay::kTime);
    EXPECT_DOUBLE_EQ(time.min, 125.0);
    EXPECT_DOUBLE_EQ(time.max, 625.0);
    EXPECT_DOUBLE_EQ((250.0 - time.min) / (time.max - time.min), 0.25) << "the pointer keeps its place";
    EXPECT_EQ(model.Display().ZoomText(), "2x");
    EXPECT_DOUBLE_EQ(model.Display().Range(CWaveDisplay::kCurrent).max, 1000.0) << "value axes stay";
    model.WheelZoom(250.0, true);
    model.WheelZoom(250.0, true);
    model.WheelZoom(250.0, true);
    EXPECT_EQ(model.Display().ZoomText(), "8x");
    EXPECT_FALSE(model.Display().CanZoomIn());
    EXPECT_DOUBLE_EQ(model.Display().Range(CWaveDisplay::kTime).max - model.Display().Range(CWaveDisplay::kTime).min,
                     125.0);
    model.Drag(-25.0);
    EXPECT_DOUBLE_EQ(model.Display().Range(CWaveDisplay::kTime).min, 250.0 - 0.25 * 125.0 - 25.0);
}

TEST_F(RogModelTest, OpenStaysOfferedWhileTwoMoreSeriesFitAndLiveRowsAreNeverDeleted)
{
    CRogModel &model = Make();
    SetModes(wave::kModeActualSpeed, wave::kModeActualCurrent);
    model.Series().Live(0).Append(1.0, 2.0);
    model.Series().Live(1).Append(1.0, 3.0);
    ASSERT_TRUE(model.Save(Path("run.csv")));
    EXPECT_TRUE(model.CanOpen());
    ASSERT_TRUE(model.Open(Path("run.csv")));
    EXPECT_EQ(model.RowCount(), 4);
    EXPECT_EQ(model.RowText(2, 0), "CH0-run.csv");
    EXPECT_EQ(model.RowText(3, 0), "CH1-run.csv");
    EXPECT_TRUE(model.CanOpen()) << "6 - 4 = 2";
    ASSERT_TRUE(model.Open(Path("run.csv")));
    EXPECT_EQ(model.RowCount(), 6);
    EXPECT_FALSE(model.CanOpen());
    EXPECT_FALSE(model.Open(Path("run.csv")));
    EXPECT_EQ(model.RowCount(), 6);
    for (int row : {-1, 0, 1, 6}) {
        EXPECT_FALSE(model.CanDelete(row)) << row;
        EXPECT_FALSE(model.Delete(row)) << row;
    }
    EXPECT_EQ(model.RowCount(), 6);
    ASSERT_TRUE(model.Delete(5));
    EXPECT_FALSE(model.CanOpen()) << "6 - 5 < 2";
    ASSERT_TRUE(model.Delete(2));
    EXPECT_TRUE(model.CanOpen());
    EXPECT_EQ(model.RowText(2, 0), "CH1-run.csv");
}

TEST_F(RogModelTest, ARunWithAnOffsetSeriesSavesWithoutTheOffsetAndLoadsBack)
{
    CRogModel &model = Make();
    SetModes(wave::kModeActualSpeed, wave::kModeActualCurrent);
    model.PressStartStop();
    m_source.Queue({100, 10, 200, 20, 300, 30});   // current (0x08) before speed (0x10)
    model.Tick();
    model.PressStartStop();
    CRogModel::LineProperty property = model.PropertyOf(1);
    property.offset = 10.0;
    model.ApplyProperty(1, property);
    EXPECT_EQ(model.RowText(1, 2), "10.000 mA");
    EXPECT_DOUBLE_EQ(model.Series().Live(1).Point(0).y, 110.0);
    ASSERT_TRUE(model.Save(Path("offset")));   // ".csv" added
    ASSERT_TRUE(fs::exists(Path("offset.csv")));
    ASSERT_TRUE(model.Open(Path("offset.csv")));
    const CWaveSeries &loaded0 = model.Series().At(2);
    const CWaveSeries &loaded1 = model.Series().At(3);
    EXPECT_EQ(loaded0.Mode(), wave::kModeActualSpeed);
    EXPECT_EQ(loaded1.Mode(), wave::kModeActualCurrent);
    EXPECT_EQ(loaded1.Axis(), wave::ValueAxis::kCurrent);
    ASSERT_EQ(loaded1.Count(), 3);
    EXPECT_DOUBLE_EQ(loaded1.Point(0).y, 100.0);
    EXPECT_DOUBLE_EQ(loaded1.Point(2).y, 300.0);
    EXPECT_DOUBLE_EQ(loaded0.Point(1).y, 20 * 0.01);
    EXPECT_DOUBLE_EQ(loaded0.Point(1).x, 2.0);
    EXPECT_NE(loaded0.Colour(), loaded1.Colour());
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RogModelTest, FileFailuresAreSaid)
{
    CRogModel &model = Make();
    EXPECT_FALSE(model.Save(Path("missing-folder/run.csv")));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "The file " + Path("missing-folder/run.csv") +
                                 " could not be saved: its folder does not exist. A file that was there before is "
                                 "unchanged.");

    EXPECT_FALSE(model.Open(Path("nothing.csv")));
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[1], Common(CLanguageTexts::kMsgFileNotFound));

    {
        std::ofstream big(Path("big.csv"), std::ios::binary);
        big << "No,Time [ms],CH0-4,CH1-7\r\n";
        const std::string line = "1,1.00,1.00,1.00\r\n";
        for (int i = 0; i <= CWaveCsv::kMaxPoints; ++i)
            big << line;
    }
    EXPECT_FALSE(model.Open(Path("big.csv")));
    ASSERT_EQ(m_messages.size(), 3u);
    EXPECT_EQ(m_messages[2], m_texts.Text(CRogModel::kTooLargeKey, CRogModel::kSection));
    EXPECT_FALSE(m_messages[2].empty());
    EXPECT_EQ(model.RowCount(), 2);

    fs::resize_file(Path("big.csv"), CWaveCsv::kMaxFileBytes + 1);
    EXPECT_FALSE(model.Open(Path("big.csv")));
    EXPECT_EQ(m_messages.size(), 4u);
    EXPECT_EQ(model.RowCount(), 2);
}

TEST_F(RogModelTest, LostSamplesAreCountedAndNoLineCrossesThem)
{
    CRogModel &model = Make();
    SetModes(wave::kModeActualCurrent, wave::kModeNone);
    model.PressStartStop();
    m_source.Queue({1, 2, 3}, false, 0);
    m_source.Queue({7, 8}, false, 6);   // samples 3, 4 and 5 never came
    model.Tick();
    model.Tick();
    EXPECT_EQ(model.LostSamples(), 3);
    EXPECT_EQ(model.LostText(), "3 samples lost");
    const CWaveSeries &series = model.Series().Live(0);
    ASSERT_EQ(series.Count(), 5);
    const double period = model.PeriodOf(0);
    EXPECT_DOUBLE_EQ(period, 1.0);
    EXPECT_FALSE(CRogModel::IsGap(series.Point(1).x, series.Point(2).x, period));
    EXPECT_TRUE(CRogModel::IsGap(series.Point(2).x, series.Point(3).x, period));
    // The readout interpolates within a stretch and says nothing across the gap.
    const std::vector<CRogModel::ReadoutLine> inside = model.Readout(1.5);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_DOUBLE_EQ(inside[0].value, 1.5);
    EXPECT_EQ(inside[0].unit, "mA");
    EXPECT_TRUE(model.Readout(5.0).empty());
    EXPECT_TRUE(model.Readout(99.0).empty());
    EXPECT_EQ(model.ReadoutText(7.0), "7.00 ms\nCH0: 7.000 mA");
}

TEST_F(RogModelTest, TheReadoutSkipsHiddenSeriesAndPointsBeforeTheTrigger)
{
    CRogModel &model = Make();
    SetModes(wave::kModeActualSpeed, wave::kModeActualCurrent);
    for (int i = 1; i <= 4; ++i) {
        model.Series().Live(0).Append(i, 10.0 * i);
        model.Series().Live(1).Append(i, 100.0 * i);
    }
    EXPECT_EQ(model.Readout(2.0).size(), 2u);
    CRogModel::LineProperty property = model.PropertyOf(1);
    property.visible = false;
    model.ApplyProperty(1, property);
    EXPECT_EQ(model.Readout(2.0).size(), 1u);
    model.Series().Live(0).Trigger().drawAllPoints = false;
    model.Series().Live(0).Trigger().firstVisible = 2;
    EXPECT_TRUE(model.Readout(2.0).empty());
    EXPECT_EQ(model.Readout(3.5).size(), 1u);
}

TEST_F(RogModelTest, LinePropertiesAndTheModeListFollowTheModelAndAccessLevel)
{
    CRogModel &model = Make();
    EXPECT_EQ(model.PropertyModeCount(), 9) << "MDC offers current command";
    m_values.accessLevel[kAxis] = 0;
    EXPECT_FALSE(model.ModeEditable());
    m_values.accessLevel[kAxis] = 1;
    EXPECT_TRUE(model.ModeEditable());
    CRogModel::LineProperty property = model.PropertyOf(0);
    EXPECT_EQ(property.name, "CH0");
    EXPECT_EQ(property.colour, CWaveSeries::kRed);
    property.name = "speed";
    property.mode = wave::kModeActualPosition;
    property.width = 40;
    property.colour = 0x123456;
    model.ApplyProperty(0, property);
    EXPECT_EQ(model.RowText(0, 0), "speed");
    EXPECT_EQ(model.RowText(0, 1), Common("IDS_CH_MODE1"));
    EXPECT_EQ(model.RowText(0, 2), "0 mm");
    EXPECT_EQ(model.RowText(0, 4), "10");
    EXPECT_EQ(model.Series().Live(0).Colour(), 0x123456u);
}

} // namespace
} // namespace kvl
