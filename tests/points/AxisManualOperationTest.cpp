// The manual operation of the axis window's model against the simulator: servo with its
// confirmation, program start, pause and the lamps, jog with its keep-alive and every way out,
// the jog-speed and feed boxes with their two fallback ranges, and teach (GET).
#include "AxisWindowModelTest.h"

#include <string>

#include "base/TextNumber.h"
#include "config/CIniEx.h"

namespace kvl::points::test {
namespace {

using Timer = CAxisWindowModel::Timer;
using AlarmBox = CAxisWindowModel::AlarmBox;
using JogDirection = CAxisWindowModel::JogDirection;
using Controls = CAxisWindowModel::Controls;

// The switches of the control-state table as one text, so a table row reads as it is written.
std::string Enabled(const Controls &c)
{
    std::string text;
    const std::pair<bool, const char *> all[] = {
        {c.servoOn, "on"},   {c.servoOff, "off"}, {c.jog, "jog"},     {c.feed, "feed"},   {c.home, "home"},
        {c.start, "start"},  {c.pause, "pause"},  {c.jogBox, "jogbox"}, {c.feedBox, "feedbox"},
        {c.spins, "spins"},  {c.teach, "get"},    {c.read, "read"},   {c.write, "write"}, {c.open, "open"},
    };
    for (const auto &[on, name] : all)
        if (on)
            text += std::string(text.empty() ? "" : " ") + name;
    return text;
}

TEST_F(AxisWindowModelTest, ServoLampAndControlStatesFollowTheServoAndTheProgram)
{
    auto model = OpenAxis(kAxisMdc);
    EXPECT_EQ(Enabled(model->ControlStates()), "on jogbox feedbox spins get read write open");
    model->ServoOn();
    EXPECT_TRUE(model->ServoLamp());
    EXPECT_EQ(waits, std::vector<int>{200});
    EXPECT_EQ(Enabled(model->ControlStates()), "off jog feed home start jogbox feedbox spins get read");
    EXPECT_TRUE(WithAxis(kAxisMdc, [](sim::AxisDevice &d) { return d.Motion().ServoOn(); }));

    // A program of one step at row 1, started and paused.
    uint8_t status = 0;
    ASSERT_EQ(m_commands->HomeReturn(0, status, kAxisMdc, 200), kResultOk);
    WithAxis(kAxisMdc, [](sim::AxisDevice &d) {
        sim::StepRecord step;
        step.number = 1;
        step.position = 500000;
        step.speed = 1000;
        step.acc = step.dcc = 30;
        return d.Table().SetStep(1, step);
    });
    model->OnTick(Timer::kStatus);
    model->ProgramStart();
    EXPECT_TRUE(model->Running());
    EXPECT_EQ(Enabled(model->ControlStates()), "off pause read");
    model->ProgramPause();
    EXPECT_TRUE(model->Paused());
    EXPECT_EQ(model->Alarm(), AlarmBox::kPause);
    EXPECT_EQ(Enabled(model->ControlStates()), "off start read");

    model->ServoOff();
    EXPECT_FALSE(model->ServoLamp());
    EXPECT_FALSE(model->Running());
    EXPECT_EQ(waits, (std::vector<int>{200, 200}));
    EXPECT_EQ(Enabled(model->ControlStates()), "on jogbox feedbox spins get read write open");
}

TEST_F(AxisWindowModelTest, ProgramStartFromRow5RunsTheFifthStepAndLightsAuto)
{
    auto model = OpenAxis(kAxisMdc);
    ServoOnAndHome(*model, kAxisMdc);
    EXPECT_TRUE(model->ManualLamp());
    // Steps of the controller numbered 1 to 6, each to a position of its own.
    WithAxis(kAxisMdc, [](sim::AxisDevice &d) {
        for (int number = 1; number <= 6; ++number) {
            sim::StepRecord step;
            step.number = static_cast<int16_t>(number);
            step.position = number * 100000;
            step.speed = 500;
            step.acc = step.dcc = 30;
            d.Table().SetStep(number, step);
        }
        return true;
    });
    model->SetStartRow(5);
    model->ProgramStart();
    ASSERT_TRUE(model->Running());
    EXPECT_EQ(model->Alarm(), AlarmBox::kNormal);
    int step = 0;
    ASSERT_EQ(m_commands->ReadCurrentStep(step, kAxisMdc, 200), kResultOk);
    // Row 5 shows the fifth step, step 4 of the table counted from 0, which the controller numbers 5.
    EXPECT_EQ(step, 5);
    model->OnTick(Timer::kStatus);
    EXPECT_TRUE(model->AutoLamp());
    EXPECT_FALSE(model->ManualLamp());
    model->OnTick(Timer::kMotion);
    EXPECT_EQ(model->StartRow(), 5);
    model->ProgramPause();
    model->ProgramPause();
}

TEST_F(AxisWindowModelTest, AJogIsKeptAliveByItsTicksAndStoppedByItsRelease)
{
    auto model = OpenAxis(kAxisMdc);
    ServoOnAndHome(*model, kAxisMdc);
    m_runner->ClearCommandsReceived();
    model->JogPress(JogDirection::kForward);
    EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdJogStart), 1);
    EXPECT_TRUE(model->Jogging());
    EXPECT_FALSE(model->ControlStates().jogBox);
    for (int tick = 2; tick <= 4; ++tick) {
        model->OnTick(Timer::kJog);
        EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdJogStart), tick);
    }
    model->JogRelease(JogDirection::kForward);
    EXPECT_EQ(LastOf(kAxisMdc), cmd::kCmdStop);
    EXPECT_FALSE(model->Jogging());
    EXPECT_TRUE(model->ControlStates().jogBox);
    // Released: the jog ticks send nothing more.
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kJog);
    EXPECT_TRUE(Received(kAxisMdc).empty());
}

TEST_F(AxisWindowModelTest, EveryWayOutOfAJogSendsStop)
{
    struct Case {
        const char *what;
        bool servoOn;
        std::function<void(CAxisWindowModel &)> wayOut;
    };
    const Case cases[] = {
        {"released", true, [](CAxisWindowModel &m) { m.JogRelease(JogDirection::kReverse); }},
        {"released after a press that found the servo off", false,
         [](CAxisWindowModel &m) { m.JogRelease(JogDirection::kReverse); }},
        {"window reports a way out", true, [](CAxisWindowModel &m) { m.EndJog(); }},
        {"another axis became current", true, [this](CAxisWindowModel &m) {
             values.currentAxis = kAxisMda;
             m.OnTick(Timer::kJog);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto model = OpenAxis(kAxisMdc);
        if (c.servoOn)
            model->ServoOn();
        model->JogPress(JogDirection::kReverse);
        m_runner->ClearCommandsReceived();
        c.wayOut(*model);
        EXPECT_EQ(Received(kAxisMdc), std::vector<uint8_t>{cmd::kCmdStop});
        EXPECT_FALSE(model->Jogging());
        // Nothing left to stop.
        m_runner->ClearCommandsReceived();
        model->EndJog();
        EXPECT_TRUE(Received(kAxisMdc).empty());
        model->ServoOff();
    }
}

TEST_F(AxisWindowModelTest, AModelThatGoesAwayStopsItsJog)
{
    auto model = OpenAxis(kAxisMdc);
    model->ServoOn();
    model->JogPress(JogDirection::kForward);
    m_runner->ClearCommandsReceived();
    model.reset();
    EXPECT_EQ(Received(kAxisMdc), std::vector<uint8_t>{cmd::kCmdStop});
}

TEST_F(AxisWindowModelTest, AKeepAliveThatFailsEndsTheJog)
{
    auto model = OpenAxis(kAxisMdc);
    model->ServoOn();
    model->JogPress(JogDirection::kForward);
    m_runner->SetSilent(kAxisMdc, true);
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kJog);
    // The failed JogStart, then one Stop, then nothing.
    EXPECT_EQ(Received(kAxisMdc), (std::vector<uint8_t>{cmd::kCmdJogStart, cmd::kCmdStop}));
    EXPECT_FALSE(model->Jogging());
    EXPECT_TRUE(model->Silent());
    m_runner->SetSilent(kAxisMdc, false);
    m_runner->ClearCommandsReceived();
    model->OnTick(Timer::kJog);
    model->EndJog();
    EXPECT_TRUE(Received(kAxisMdc).empty());
}

TEST_F(AxisWindowModelTest, JogSpeedIsLimitedAndOnlyTheForwardJogRewritesTheBox)
{
    struct Case {
        JogDirection direction;
        bool listRange;           // the parameter list gives 0..300
        const char *boxAfter;
    };
    const Case cases[] = {
        {JogDirection::kForward, false, "1000"},
        {JogDirection::kReverse, false, "5000"},
        {JogDirection::kForward, true, "300"},
    };
    for (const Case &c : cases) {
        CAxisWindowModel::Hooks hooks;
        if (c.listRange)
            hooks.paramRange = [](int number, double &min, double &max) {
                min = 0;
                max = 300;
                return number == 16;
            };
        auto model = OpenAxis(kAxisMdc, hooks);
        model->ServoOn();
        const int32_t stored = model->Params().Store().GetInt("16", "Value", -1);
        model->SetJogSpeedBox("5000");
        model->JogPress(c.direction);
        EXPECT_EQ(model->JogSpeedBox(), c.boxAfter);
        model->JogRelease(c.direction);
        // Without a parameter list value nothing is written.
        EXPECT_EQ(CountOf(kAxisMdc, cmd::kCmdWriteParameter), 0);
        EXPECT_EQ(model->Params().Store().GetInt("16", "Value", -1), stored);
        model->ServoOff();
    }
}

TEST_F(AxisWindowModelTest, WithAParameterListAChangedJogSpeedIsWrittenFirst)
{
    std::vector<std::pair<int, bool>> written;
    CAxisWindowModel::Hooks hooks;
    hooks.paramValue = [](int number, double &value) {
        value = 100;
        return number == 16;
    };
    hooks.paramWritten = [&written](int number, bool ok, const std::string &) { written.emplace_back(number, ok); };
    auto model = OpenAxis(kAxisMdc, hooks);
    model->ServoOn();
    model->SetJogSpeedBox("250");
    m_runner->ClearCommandsReceived();
    model->JogPress(JogDirection::kForward);
    EXPECT_EQ(Received(kAxisMdc).front(), cmd::kCmdWriteParameter);
    EXPECT_EQ(written, (std::vector<std::pair<int, bool>>{{16, true}}));
    EXPECT_EQ(WithAxis(kAxisMdc, [](sim::AxisDevice &d) { return d.Parameters().Get(16); }), 250);
    EXPECT_EQ(model->Params().Store().GetInt("16", "Value", -1), 250);
    model->JogRelease(JogDirection::kForward);
}

TEST_F(AxisWindowModelTest, FeedBoxLimitsAndFormats)
{
    enum class Action { kFeed, kLeave, kSpinUp, kSpinDown };
    struct Case {
        int axis;
        const char *box;
        Action action;
        const char *after;
    };
    const Case cases[] = {
        {kAxisMda, "0.25", Action::kLeave, "0.2"},       // cut, not rounded
        {kAxisMda, "0.25", Action::kFeed, "0.2"},
        {kAxisMda, "300", Action::kFeed, "200.0"},       // a click falls back to 0..200
        {kAxisMda, "300", Action::kLeave, "300.0"},      // the box to 0..5000
        {kAxisMda, "6000", Action::kLeave, "5000.0"},
        {kAxisMda, "6000", Action::kSpinUp, "5000.0"},
        {kAxisMda, "-3", Action::kFeed, "0.0"},
        {kAxisMdc, "1.23456", Action::kLeave, "1.234"},
        {kAxisMdc, "1", Action::kSpinUp, "1.001"},
        {kAxisMdcx, "1", Action::kSpinUp, "1.0001"},
        {kAxisMdcx, "1", Action::kSpinDown, "0.9999"},
        {kAxisMdcx, "0", Action::kSpinDown, "0.0000"},
        {kAxisMdaz, "1", Action::kSpinDown, "0.9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(ModelOf(c.axis)) + " " + c.box);
        auto model = OpenAxis(c.axis);
        model->SetFeedBox(c.box);
        m_runner->ClearCommandsReceived();
        switch (c.action) {
        case Action::kFeed: model->Feed(JogDirection::kForward); break;
        case Action::kLeave: model->LeaveFeedBox(); break;
        case Action::kSpinUp: model->SpinFeed(1); break;
        case Action::kSpinDown: model->SpinFeed(-1); break;
        }
        EXPECT_EQ(model->FeedBox(), c.after);
        EXPECT_EQ(CountOf(c.axis, cmd::kCmdInchingMove), c.action == Action::kFeed ? 1 : 0);
        EXPECT_EQ(CountOf(c.axis, cmd::kCmdWriteParameter), 0);
    }
}

TEST_F(AxisWindowModelTest, JogSpeedSpinStaysInItsRange)
{
    auto model = OpenAxis(kAxisMdc);
    const std::pair<const char *, std::pair<int, const char *>> cases[] = {
        {"10", {1, "11"}}, {"10", {-1, "9"}}, {"0", {-1, "0"}}, {"1000", {1, "1000"}}, {"4000", {-1, "1000"}}};
    for (const auto &[box, spin] : cases) {
        model->SetJogSpeedBox(box);
        model->SpinJogSpeed(spin.first);
        EXPECT_EQ(model->JogSpeedBox(), spin.second) << box << " " << spin.first;
    }
}

TEST_F(AxisWindowModelTest, TeachPutsThePositionIntoTheRowAndMovesOn)
{
    using Target = CAxisWindowModel::TeachTarget;
    using Mode = CAxisWindowModel::TeachMode;
    struct Case {
        Target target;
        Mode mode;
        int row;
        bool wholeRow;
        int rowAfter;         // the row selected afterwards
        bool taught;
    };
    const Case cases[] = {
        {Target::kPosition, Mode::kAbs, 3, true, 4, true},
        {Target::kPAreaB, Mode::kAbs, 3, true, 4, true},
        {Target::kPAreaA, Mode::kAbs, 3, true, 3, true},
        {Target::kPosition, Mode::kInc, 3, true, 4, true},
        {Target::kPosition, Mode::kAbs, 64, true, 64, true},  // the last row: nowhere to go
        {Target::kPosition, Mode::kAbs, 3, false, 3, false},  // two rows, or one cell
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.target)) + " row " + std::to_string(c.row));
        auto model = OpenAxis(kAxisMdc);
        ServoOnAndHome(*model, kAxisMdc);
        FeedTo(kAxisMdc, 3200, 32000);
        model->OnTick(Timer::kMotion);
        model->ResetCoordinate();
        FeedTo(kAxisMdc, 1000, 42000);
        model->OnTick(Timer::kMotion);
        model->SetTarget(c.target);
        model->SetMode(c.mode);
        const int step = c.row - 1;
        ASSERT_TRUE(model->Table().Working(step).IsEmpty());
        EXPECT_EQ(model->Teach(c.row, c.wholeRow), c.rowAfter);
        const CPointTable &table = model->Table();
        EXPECT_EQ(table.Working(step).IsEmpty(), !c.taught);
        if (!c.taught) {
            EXPECT_EQ(table.Cell(step, kColPosition), "");
            continue;
        }
        const int column = static_cast<int>(c.target);
        const bool abs = c.mode == Mode::kAbs;
        EXPECT_EQ(table.Working(step).Mode(), abs ? "ABS" : "INC");
        // Shown in the column's own form: the position with 3 decimals, the P-areas with the
        // decimals setting + 2.
        const bool position = c.target == Target::kPosition;
        EXPECT_EQ(table.Cell(step, column), abs ? (position ? "4.200" : "4.20") : "1.000");
        EXPECT_DOUBLE_EQ(LeadingReal(table.Working(step).FieldText(column)), abs ? 4.2 : 1.0);
        // The controller's table holds no such step: the taught cells are marked.
        EXPECT_TRUE(table.Marked(step, kColMode));
        EXPECT_TRUE(table.Marked(step, column));
        // A new row took the column defaults first.
        EXPECT_FALSE(table.Cell(step, kColSpeed).empty());
        model->ServoOff();
    }
}

} // namespace
} // namespace kvl::points::test
