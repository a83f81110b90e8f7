// Motion of the simulated controllers, stepped on the simulated clock: servo, homing, jog with
// keep-alive, inching, program runs with trapezoidal profiles, dwell, repeat, jump, pause and
// resume, soft limits and alarms, the I/O word and the load factor.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "sim/AxisDevice.h"
#include "protocol/CommandCodes.h"
#include "sim/PointTable.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::Ask;
using test::Data;
using test::WellFormed;

constexpr int64_t kMicrosPerMs = 1000;

uint8_t StatusOf(SimBus &bus, uint8_t address, uint8_t command, const std::vector<uint8_t> &payload = {})
{
    const auto reply = Ask(bus, address, command, payload);
    EXPECT_TRUE(WellFormed(reply, address, command, 8)) << int(command);
    return reply.size() == 8 ? reply[3] : 0xEE;
}

int32_t Position(SimBus &bus, uint8_t address)
{
    const auto reply = Ask(bus, address, cmd::kCmdReadPositions);
    return frame::GetI32(Data(reply).data());
}

uint8_t Flags(SimBus &bus, uint8_t address)
{
    return Data(Ask(bus, address, cmd::kCmdReadOperationStatus))[0];
}

void RunMs(SimBus &bus, int ms)
{
    bus.Advance(ms * kMicrosPerMs);
}

// Servo on and homed: the axis stands at 0.
void Ready(SimBus &bus, uint8_t address)
{
    ASSERT_EQ(StatusOf(bus, address, cmd::kCmdServoOn), 1);
    ASSERT_EQ(StatusOf(bus, address, cmd::kCmdHomeReturn, {1}), 1);
    RunMs(bus, 3000);
    ASSERT_EQ(Data(Ask(bus, address, cmd::kCmdReadHomeDone))[0], 1);
}

StepRecord Step(int16_t number, uint8_t mode, double position, int speed, double acc, int16_t jump)
{
    StepRecord r;
    r.number = number;
    r.mode = mode;
    r.position = static_cast<int32_t>(position * 10000);
    r.speed = speed * 100;
    r.acc = static_cast<int32_t>(acc * 100);
    r.dcc = r.acc;
    r.positionRange = 100;
    r.standardTime = 0;
    r.repeat = 1;
    r.jump = jump;
    return r;
}

void WriteStep(SimBus &bus, uint8_t address, const StepRecord &r)
{
    const bool longForm = bus.Device(address)->Model().longRecord;
    ASSERT_EQ(StatusOf(bus, address, cmd::kCmdWriteStep, PointTable::Encode(static_cast<uint16_t>(r.number), r, longForm)), 1);
}

TEST(SimMotion, HomingNeedsServoAndEndsAtZero)
{
    auto bus = SimBus::CreateDemo();
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdHomeReturn, {1}), 0);
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdServoOn), 1);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdReadServoState))[0], 1);
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdHomeReturn, {1}), 1);
    RunMs(*bus, 100);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdReadHomeDone))[0], 0);
    EXPECT_NE(Flags(*bus, 0) & AxisDevice::kFlagOperating, 0);
    RunMs(*bus, 3000);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdReadHomeDone))[0], 1);
    EXPECT_EQ(Position(*bus, 0), 0);
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdServoOff), 1);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdReadServoState))[0], 0);
}

TEST(SimMotion, JogMovesWhileKeptAliveAndStopsWhenKeepAlivesEnd)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 0);
    ASSERT_EQ(StatusOf(*bus, 0, cmd::kCmdWriteParameter, test::ParamWrite(param::kJogSpeed, 20)), 1);
    const int32_t start = Position(*bus, 0);
    for (int i = 0; i < 20; ++i) {   // 600 ms of keep-alives every 30 ms
        ASSERT_EQ(StatusOf(*bus, 0, cmd::kCmdJogStart, {1}), 1);
        RunMs(*bus, 30);
    }
    const int32_t held = Position(*bus, 0);
    // 20 mm/s for about 0.6 s: about 12 mm.
    EXPECT_GT(held - start, 100000);
    EXPECT_LT(held - start, 125000);
    EXPECT_NEAR(bus->Axis(0)->Motion().CommandSpeed(), 20.0, 1e-6);
    RunMs(*bus, 400);
    const int32_t stopped = Position(*bus, 0);
    EXPECT_FALSE(bus->Axis(0)->Motion().Moving());
    RunMs(*bus, 500);
    EXPECT_EQ(Position(*bus, 0), stopped);
    // Only the keep-alive window and the deceleration were travelled after the last JogStart.
    EXPECT_LT(stopped - held, 20 * 10000 * 0.2);

    ASSERT_EQ(StatusOf(*bus, 0, cmd::kCmdJogStart, {2}), 1);
    RunMs(*bus, 60);
    EXPECT_LT(Position(*bus, 0), stopped);
}

TEST(SimMotion, StopEndsAJogAtOnce)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 1);
    ASSERT_EQ(StatusOf(*bus, 1, cmd::kCmdJogStart, {1}), 1);
    RunMs(*bus, 50);
    ASSERT_EQ(StatusOf(*bus, 1, cmd::kCmdStop), 1);
    RunMs(*bus, 20);
    EXPECT_FALSE(bus->Axis(1)->Motion().Moving());
}

TEST(SimMotion, InchingMovesByParameter31AtEachModelsScale)
{
    auto bus = SimBus::CreateDemo();
    struct Case { uint8_t address; int32_t raw; int32_t counts; };
    const Case cases[] = {{0, 25, 25000}, {1, 2500, 25000}, {3, 25000, 25000}, {4, 10, 10000}};
    for (const auto &c : cases) {
        Ready(*bus, c.address);
        ASSERT_EQ(StatusOf(*bus, c.address, cmd::kCmdWriteParameter, test::ParamWrite(param::kInchingDistance, c.raw)), 1);
        const int32_t before = Position(*bus, c.address);
        ASSERT_EQ(StatusOf(*bus, c.address, cmd::kCmdInchingMove, {1}), 1);
        RunMs(*bus, 2000);
        EXPECT_EQ(Position(*bus, c.address) - before, c.counts) << int(c.address);
        ASSERT_EQ(StatusOf(*bus, c.address, cmd::kCmdInchingMove, {2}), 1);
        RunMs(*bus, 2000);
        EXPECT_EQ(Position(*bus, c.address), before) << int(c.address);
    }
}

TEST(SimMotion, ProgramRunsThreeStepsWithJumpsAndEnds)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 2);
    WriteStep(*bus, 2, Step(1, 1, 10.0, 100, 0.3, 3));   // step 1 jumps to step 3
    WriteStep(*bus, 2, Step(3, 1, 30.0, 100, 0.3, 2));   // step 3 jumps to step 2
    WriteStep(*bus, 2, Step(2, 0, -5.0, 100, 0.3, 0));   // step 2: back 5 mm, end
    EXPECT_EQ(StatusOf(*bus, 2, cmd::kCmdStartProgram, test::U16(1)), 1);

    std::vector<int> visited;
    bool sawAutomatic = false;
    for (int t = 0; t < 5000 && (Flags(*bus, 2) & AxisDevice::kFlagOperating); t += 10) {
        const int step = frame::GetI16(Data(Ask(*bus, 2, cmd::kCmdReadCurrentStep)).data());
        if (visited.empty() || visited.back() != step)
            visited.push_back(step);
        sawAutomatic |= Data(Ask(*bus, 2, cmd::kCmdReadRunMode))[0] == 0;
        RunMs(*bus, 10);
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 3, 2}));
    EXPECT_TRUE(sawAutomatic);
    EXPECT_EQ(Flags(*bus, 2) & AxisDevice::kFlagOperating, 0);
    EXPECT_EQ(Data(Ask(*bus, 2, cmd::kCmdReadRunMode))[0], 1);
    RunMs(*bus, 100);
    EXPECT_EQ(Position(*bus, 2), 250000);
}

TEST(SimMotion, ProgramNeedsServoHomeAndADefinedStep)
{
    auto bus = SimBus::CreateDemo();
    WriteStep(*bus, 0, Step(1, 1, 10.0, 50, 0.3, 0));
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdStartProgram, test::U16(1)), 0);   // servo off
    ASSERT_EQ(StatusOf(*bus, 0, cmd::kCmdServoOn), 1);
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdStartProgram, test::U16(1)), 0);   // no home
    ASSERT_EQ(StatusOf(*bus, 0, cmd::kCmdHomeReturn, {0}), 1);              // manual home here
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdStartProgram, test::U16(2)), 0);   // empty step
    EXPECT_EQ(StatusOf(*bus, 0, cmd::kCmdStartProgram, test::U16(1)), 1);
}

TEST(SimMotion, JumpToAnEmptyStepRaisesThePointDataAlarm)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 3);
    WriteStep(*bus, 3, Step(1, 1, 3.0, 50, 0.3, 9));   // step 9 holds no data
    ASSERT_EQ(StatusOf(*bus, 3, cmd::kCmdStartProgram, test::U16(1)), 1);
    RunMs(*bus, 1000);
    EXPECT_EQ(Data(Ask(*bus, 3, cmd::kCmdReadAlarmCode))[0], alarm::kPointData);
    EXPECT_EQ(Flags(*bus, 3) & AxisDevice::kFlagOperating, 0);
    EXPECT_NE(Flags(*bus, 3) & AxisDevice::kFlagAlarm, 0);
    EXPECT_EQ(Position(*bus, 3), 30000);   // the step itself was done
    // Servo on is refused while the alarm stands, and accepted after the reset.
    ASSERT_EQ(StatusOf(*bus, 3, cmd::kCmdServoOff), 1);
    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdServoOn), 0);
    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdAlarmReset), 1);
    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdServoOn), 1);
}

TEST(SimMotion, TrapezoidReachesStepSpeedWithItsAcceleration)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 2);
    WriteStep(*bus, 2, Step(1, 1, 100.0, 200, 0.2, 0));
    ASSERT_EQ(StatusOf(*bus, 2, cmd::kCmdStartProgram, test::U16(1)), 1);
    RunMs(*bus, 1);   // the program takes its step on the next tick
    RunMs(*bus, 50);
    const double accel = 0.2 * MotionAxis::kStandardGravity;
    EXPECT_NEAR(bus->Axis(2)->Motion().CommandSpeed(), accel * 0.050, accel * 0.0015);
    RunMs(*bus, 200);
    EXPECT_NEAR(bus->Axis(2)->Motion().CommandSpeed(), 200.0, 1e-6);
    double peak = 0;
    for (int i = 0; i < 100; ++i) {
        RunMs(*bus, 10);
        peak = std::max(peak, bus->Axis(2)->Motion().CommandSpeed());
    }
    EXPECT_LE(peak, 200.0 + 1e-9);
    EXPECT_EQ(Position(*bus, 2), 1000000);

    // The model's maximum speed (parameter 29) caps a faster step.
    ASSERT_EQ(StatusOf(*bus, 2, cmd::kCmdWriteParameter, test::ParamWrite(param::kMaxSpeed, 50)), 1);
    WriteStep(*bus, 2, Step(2, 1, 0.0, 500, 0.5, 0));
    ASSERT_EQ(StatusOf(*bus, 2, cmd::kCmdStartProgram, test::U16(2)), 1);
    RunMs(*bus, 500);
    EXPECT_NEAR(bus->Axis(2)->Motion().CommandSpeed(), -50.0, 1e-6);
}

TEST(SimMotion, RepeatAndDwellOfAnIncrementalStep)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 0);
    StepRecord r = Step(1, 0, 5.0, 100, 0.5, 0);
    r.repeat = 3;
    r.standardTime = 300;
    WriteStep(*bus, 0, r);
    ASSERT_EQ(StatusOf(*bus, 0, cmd::kCmdStartProgram, test::U16(1)), 1);
    std::set<int> dwellPositions;
    int dwellSamples = 0;
    for (int t = 0; t < 4000 && (Flags(*bus, 0) & AxisDevice::kFlagOperating); t += 20) {
        if (Data(Ask(*bus, 0, cmd::kCmdReadOperationStatus))[1] == 2) {
            // Dwelling happens inside the step's position range (100 counts) of each arrival.
            const int32_t pos = Position(*bus, 0);
            const int32_t arrival = (pos + 25000) / 50000 * 50000;
            EXPECT_LE(std::abs(pos - arrival), 100) << pos;
            dwellPositions.insert(arrival);
            ++dwellSamples;
        }
        RunMs(*bus, 20);
    }
    EXPECT_EQ(Position(*bus, 0), 150000);
    EXPECT_EQ(dwellPositions, (std::set<int>{50000, 100000, 150000}));
    EXPECT_GE(dwellSamples, 3 * 300 / 20 - 3);
}

TEST(SimMotion, PauseHaltsAndStartingTheSameStepResumes)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 1);
    WriteStep(*bus, 1, Step(1, 1, 80.0, 100, 0.3, 0));
    ASSERT_EQ(StatusOf(*bus, 1, cmd::kCmdStartProgram, test::U16(1)), 1);
    RunMs(*bus, 300);
    ASSERT_EQ(StatusOf(*bus, 1, cmd::kCmdStop), 1);
    RunMs(*bus, 500);
    const uint8_t flags = Flags(*bus, 1);
    EXPECT_NE(flags & AxisDevice::kFlagPaused, 0);
    EXPECT_NE(flags & AxisDevice::kFlagOperating, 0);
    const int32_t paused = Position(*bus, 1);
    EXPECT_GT(paused, 0);
    EXPECT_LT(paused, 800000);
    RunMs(*bus, 500);
    EXPECT_EQ(Position(*bus, 1), paused);
    EXPECT_NE(Ask(*bus, 1, cmd::kCmdReadIOSignals)[3 + 2] & 0x40, 0);   // output 7: paused

    ASSERT_EQ(StatusOf(*bus, 1, cmd::kCmdStartProgram, test::U16(1)), 1);
    RunMs(*bus, 3000);
    EXPECT_EQ(Position(*bus, 1), 800000);
    EXPECT_EQ(Flags(*bus, 1) & (AxisDevice::kFlagOperating | AxisDevice::kFlagPaused), 0);
}

TEST(SimMotion, SoftLimitRaisesAnAlarmThatResetAndHistoryFollow)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 4);
    ASSERT_EQ(StatusOf(*bus, 4, cmd::kCmdWriteParameter, test::ParamWrite(param::kSoftLimitPlus, 20000)), 1);
    ASSERT_EQ(StatusOf(*bus, 4, cmd::kCmdWriteParameter, test::ParamWrite(param::kJogSpeed, 10)), 1);
    for (int i = 0; i < 100 && !bus->Axis(4)->Alarms().Active(); ++i) {
        StatusOf(*bus, 4, cmd::kCmdJogStart, {1});
        RunMs(*bus, 30);
    }
    auto code = Ask(*bus, 4, cmd::kCmdReadAlarmCode);
    ASSERT_TRUE(WellFormed(code, 4, cmd::kCmdReadAlarmCode, 8));
    EXPECT_EQ(Data(code)[0], alarm::kSoftLimitPlus);
    EXPECT_FALSE(bus->Axis(4)->Motion().Moving());
    EXPECT_NEAR(Position(*bus, 4), 20000, 50);
    EXPECT_NE(frame::GetI32(Data(Ask(*bus, 4, cmd::kCmdReadIOSignals)).data()) & AxisDevice::kOutAlarm, 0u);
    EXPECT_EQ(StatusOf(*bus, 4, cmd::kCmdJogStart, {2}), 0);   // no motion while the alarm stands

    auto history = Ask(*bus, 4, cmd::kCmdReadAlarmHistory);
    ASSERT_TRUE(WellFormed(history, 4, cmd::kCmdReadAlarmHistory, 57));
    EXPECT_EQ(Data(history)[0], alarm::kSoftLimitPlus);
    EXPECT_EQ(Data(history)[1], 0xFF);

    EXPECT_EQ(StatusOf(*bus, 4, cmd::kCmdAlarmReset), 1);
    EXPECT_EQ(Data(Ask(*bus, 4, cmd::kCmdReadAlarmCode))[0], 0xFF);
    // Back inside the limit by jogging away from it is allowed.
    EXPECT_EQ(StatusOf(*bus, 4, cmd::kCmdJogStart, {2}), 1);

    // A program step beyond the lower limit raises that limit's alarm.
    WriteStep(*bus, 4, Step(1, 1, -5.0, 50, 0.3, 0));
    RunMs(*bus, 300);
    ASSERT_EQ(StatusOf(*bus, 4, cmd::kCmdStartProgram, test::U16(1)), 1);
    RunMs(*bus, 10);
    EXPECT_EQ(Data(Ask(*bus, 4, cmd::kCmdReadAlarmCode))[0], alarm::kSoftLimitMinus);
    history = Ask(*bus, 4, cmd::kCmdReadAlarmHistory);
    EXPECT_EQ(Data(history)[0], alarm::kSoftLimitMinus);
    EXPECT_EQ(Data(history)[1], alarm::kSoftLimitPlus);

    EXPECT_EQ(StatusOf(*bus, 4, cmd::kCmdClearAlarmHistory), 1);
    EXPECT_EQ(Data(Ask(*bus, 4, cmd::kCmdReadAlarmHistory)), std::vector<uint8_t>(50, 0xFF));
}

TEST(SimMonitor, IoWordFollowsTheStateAndInputsSwitch)
{
    auto bus = SimBus::CreateDemo();
    auto word = [&] { return static_cast<uint32_t>(frame::GetI32(Data(Ask(*bus, 3, cmd::kCmdReadIOSignals)).data())); };
    EXPECT_TRUE(WellFormed(Ask(*bus, 3, cmd::kCmdReadIOSignals), 3, cmd::kCmdReadIOSignals, 11));
    EXPECT_EQ(word(), 0u);
    Ready(*bus, 3);
    EXPECT_EQ(word() & (AxisDevice::kOutServoOn | AxisDevice::kOutHomeDone | AxisDevice::kOutInPosition),
              AxisDevice::kOutServoOn | AxisDevice::kOutHomeDone | AxisDevice::kOutInPosition);
    ASSERT_EQ(StatusOf(*bus, 3, cmd::kCmdWriteParameter, test::ParamWrite(param::kInchingDistance, 50000)), 1);
    ASSERT_EQ(StatusOf(*bus, 3, cmd::kCmdInchingMove, {1}), 1);
    RunMs(*bus, 20);
    EXPECT_NE(word() & AxisDevice::kOutBusy, 0u);
    EXPECT_EQ(word() & AxisDevice::kOutInPosition, 0u);

    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdSetInputSignal, {0x85}), 1);
    EXPECT_EQ(word() & 0xFFFF, 1u << 5);
    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdSetInputSignal, {0x80}), 1);
    EXPECT_EQ(word() & 0xFFFF, (1u << 5) | 1u);
    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdSetInputSignal, {0x05}), 1);
    EXPECT_EQ(word() & 0xFFFF, 1u);
    EXPECT_EQ(StatusOf(*bus, 3, cmd::kCmdSetInputSignal, {0x90}), 0);   // there is no input 17
}

TEST(SimMonitor, LoadFactorReplyLengthByModelAndRisesWithAcceleration)
{
    auto bus = SimBus::CreateDemo();
    for (uint8_t address = 0; address < 6; ++address) {
        const bool longForm = bus->Device(address)->Model().longRecord;
        EXPECT_TRUE(WellFormed(Ask(*bus, address, cmd::kCmdReadLoadFactor), address, cmd::kCmdReadLoadFactor,
                               longForm ? 9u : 8u)) << int(address);
    }
    Ready(*bus, 1);
    const uint8_t resting = Data(Ask(*bus, 1, cmd::kCmdReadLoadFactor))[0];
    WriteStep(*bus, 1, Step(1, 1, 100.0, 500, 1.0, 0));
    ASSERT_EQ(StatusOf(*bus, 1, cmd::kCmdStartProgram, test::U16(1)), 1);
    RunMs(*bus, 20);
    const uint8_t accelerating = Data(Ask(*bus, 1, cmd::kCmdReadLoadFactor))[0];
    EXPECT_LE(resting, 5);
    EXPECT_GT(accelerating, 50);
}

} // namespace
} // namespace kvl::sim
