// The tool's own serial transport and command layer against the simulator running in-process on
// its pseudo-terminal: identification, parameters, point tables, jog, program, waveform capture,
// auto-tuning, the gateway tables, the speed gate and the result code of every fault switch.
#include <gtest/gtest.h>

#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "sim/GatewayDevice.h"
#include "sim/SimBusTest.h"
#include "support/SimClock.h"
#include "support/WaitUntil.h"

namespace kvl::sim {
namespace {

constexpr int kPort = SimBusTest::kSimPort;
constexpr int kSpeed = 115200;
constexpr int kT = CServoCommands::kTimeoutMs;

// Pause between two status reads while a test waits for the controller.
constexpr int kStatusPollMs = 20;

using kvl::test::AdvanceSimClock;
using kvl::test::WaitUntil;

kvl::StepRecord Step(int step, int mode, double position, double speed, double acc, int jump)
{
    kvl::StepRecord r;
    r.step = step;
    r.mode = mode;
    r.position = position;
    r.speed = speed;
    r.acc = acc;
    r.dcc = acc;
    r.range = 0.01;
    r.repeat = 1;
    r.standardTime = 0;
    r.jump = jump;
    return r;
}

class SimEndToEnd : public SimBusTest {
protected:
    void StartSim(BusRunner::Settings settings = {}, std::unique_ptr<SimBus> bus = SimBus::CreateDemo())
    {
        SimBusTest::StartSim(settings, std::move(bus));
        ASSERT_EQ(m_commands->OpenPort(kPort, kSpeed), 1);
    }

    // Servo on and home: the axis stands at 0.
    void Ready(uint8_t axis)
    {
        uint8_t status = 0;
        ASSERT_EQ(m_commands->ServoOn(status, axis, kT), kResultOk);
        ASSERT_EQ(status, 1);
        ASSERT_EQ(m_commands->HomeReturn(1, status, axis, kT), kResultOk);
        ASSERT_EQ(status, 1);
        ASSERT_TRUE(WaitUntil([&] {
            uint8_t home = 0;
            return m_commands->ReadHomeDone(home, axis, kT) == kResultOk && home == 1;
        }, 5000, kStatusPollMs));
    }

    int32_t Current(uint8_t axis)
    {
        Positions p;
        EXPECT_EQ(m_commands->ReadPositions(p, axis, kT), kResultOk);
        return p.current;
    }

    bool Running(uint8_t axis)
    {
        OperationStatus s;
        EXPECT_EQ(m_commands->ReadOperationStatus(s, axis, kT), kResultOk);
        return s.ProgramRunning();
    }
};

TEST_F(SimEndToEnd, IdentifiesEveryModelAndTheGateway)
{
    StartSim();
    struct Case { uint8_t axis; const char *model; };
    const Case cases[] = {{0, "MDA"}, {1, "MDB"}, {2, "MDC"}, {3, "MDC-X"}, {4, "MDA-Y"}, {5, "MDA-Z"}, {0xF1, "GWX"}};
    for (const auto &c : cases) {
        std::string model, version, name;
        ASSERT_EQ(m_commands->ReadDeviceType(model, version, name, c.axis, CServoCommands::kTimeoutShortMs), kResultOk);
        EXPECT_EQ(model, c.model);
        EXPECT_EQ(version.size(), 4u);
        EXPECT_FALSE(name.empty());
    }
    std::string model, version, name;
    EXPECT_EQ(m_commands->ReadDeviceType(model, version, name, 9, CServoCommands::kTimeoutShortMs), kResultTimeout);
}

TEST_F(SimEndToEnd, ParameterRoundTripRefusalAndName)
{
    StartSim();
    ASSERT_EQ(m_commands->WriteParameter(16, 45, 2, kT), kResultOk);
    int32_t value = 0;
    ASSERT_EQ(m_commands->ReadParameter(16, value, 2, kT), kResultOk);
    EXPECT_EQ(value, 45);
    ASSERT_EQ(m_commands->WriteParameter(35, -1, 2, kT), kResultOk);
    ASSERT_EQ(m_commands->ReadParameter(35, value, 2, kT), kResultOk);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(m_commands->ReadParameter(50, value, 2, kT), kResultRefused);
    EXPECT_EQ(m_commands->WriteParameter(112, 1, 0, kT), kResultRefused);   // MDA ends at 111
    EXPECT_EQ(m_commands->ReadParameter(182, value, 1, kT), kResultOk);     // MDB goes to 182

    uint8_t status = 0;
    ASSERT_EQ(m_commands->WriteDeviceName("CONVEYOR-7", status, 4, kT), kResultOk);
    EXPECT_EQ(status, 1);
    std::string version, name;
    ASSERT_EQ(m_commands->ReadVersionAndName(version, name, 4, kT), kResultOk);
    EXPECT_EQ(name, "CONVEYOR-7");
}

TEST_F(SimEndToEnd, PointTableWrittenAndReadBackInLongAndShortForm)
{
    StartSim();
    struct Case { uint8_t axis; const char *model; };
    for (const Case c : {Case{2, "MDC"}, Case{0, "MDA"}}) {
        SCOPED_TRACE(c.model);
        const kvl::StepRecord steps[] = {Step(1, 1, 12.5, 50, 0.3, 2), Step(2, 0, -2.25, 20, 0.29, 0),
                                         Step(7, 1, 99.9999, 150, 1.0, 1)};
        for (const auto &s : steps)
            ASSERT_EQ(m_commands->WriteStep(s, c.model, c.axis, kT), kResultOk);
        std::vector<std::string> lines;
        ASSERT_EQ(m_commands->ReadAllSteps(c.model, lines, c.axis, kT), kResultOk);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].rfind("1,A,12.5000,50.00,0.3,0.3,", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1].rfind("2,I,-2.2500,20.00,0.3,0.3,", 0), 0u) << lines[1];
        EXPECT_EQ(lines[2].rfind("7,A,99.9999,150.00,1.0,1.0,", 0), 0u) << lines[2];

        kvl::StepRecord back;
        ASSERT_EQ(m_commands->ReadStep(2, c.model, back, c.axis, kT), kResultOk);
        EXPECT_DOUBLE_EQ(back.acc, 0.29);   // 29 on the way out, though 0.29 x 100 is 28.999... in binary
        ASSERT_EQ(m_commands->ReadStep(7, c.model, back, c.axis, kT), kResultOk);
        EXPECT_EQ(back.step, 7);
        EXPECT_EQ(back.jump, 1);
        EXPECT_DOUBLE_EQ(back.position, 99.9999);

        // The tool clears a step with the short form of all zeros, on either model.
        ASSERT_EQ(m_commands->WriteStepValues(2, kvl::StepRecord{}, c.axis, kT), kResultOk);
        ASSERT_EQ(m_commands->ReadAllSteps(c.model, lines, c.axis, kT), kResultOk);
        EXPECT_EQ(lines.size(), 2u);
        // A step beyond the table of the operation type is the refusal pattern.
        ASSERT_EQ(m_commands->WriteParameter(36, 5, c.axis, kT), kResultOk);   // three steps
        EXPECT_EQ(m_commands->ReadStep(4, c.model, back, c.axis, kT), kResultRefused);
        EXPECT_EQ(m_commands->WriteStep(Step(4, 1, 1.0, 10, 0.3, 0), c.model, c.axis, kT), kResultBadReply);
        ASSERT_EQ(m_commands->WriteParameter(36, 0, c.axis, kT), kResultOk);
        ASSERT_EQ(m_commands->ClearPointTable(c.axis, kT), kResultOk);
        ASSERT_EQ(m_commands->ReadAllSteps(c.model, lines, c.axis, kT), kResultOk);
        EXPECT_TRUE(lines.empty());
    }
}

TEST_F(SimEndToEnd, JogMovesAndStopsWhenKeepAlivesEnd)
{
    // Keep-alives 30 ms apart on the simulated clock, well inside the controller's 100 ms.
    constexpr int kKeepAliveGapMs = 30;
    static_assert(kKeepAliveGapMs < AxisDevice::kJogKeepAliveMs);
    constexpr int kSettleMs = 100;
    StartSim();
    Ready(1);
    const int32_t start = Current(1);
    uint8_t status = 0;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(m_commands->JogStart(20, status, 1, kT), kResultOk);
        ASSERT_EQ(status, 1);
        EXPECT_TRUE(Running(1));
        AdvanceSimClock(*m_runner, kKeepAliveGapMs);
    }
    EXPECT_GT(Current(1), start);
    // No more keep-alives: the controller stops on its own.
    ASSERT_TRUE(WaitUntil([&] { return !Running(1); }, 2000, kStatusPollMs));
    // The flag drops when the command stops; the axis settles within the in-position range.
    const int32_t stopped = Current(1);
    EXPECT_GT(stopped, start + 20000);   // at 20 mm/s for over 0.3 s: beyond 2 mm
    AdvanceSimClock(*m_runner, kSettleMs);
    const int32_t settled = Current(1);
    EXPECT_NEAR(settled, stopped, 100);
    AdvanceSimClock(*m_runner, kSettleMs);
    EXPECT_EQ(Current(1), settled);
}

TEST_F(SimEndToEnd, ProgramOfThreeStepsWithAJumpEnds)
{
    StartSim();
    Ready(0);
    ASSERT_EQ(m_commands->WriteStep(Step(1, 1, 5.0, 100, 0.5, 3), "MDA", 0, kT), kResultOk);
    ASSERT_EQ(m_commands->WriteStep(Step(2, 1, 2.0, 100, 0.5, 0), "MDA", 0, kT), kResultOk);
    // Step 3 moves 35 mm at 100 mm/s, so a status poll sees it even on a loaded machine.
    ASSERT_EQ(m_commands->WriteStep(Step(3, 0, 40.0, 100, 0.5, 2), "MDA", 0, kT), kResultOk);
    uint8_t status = 0;
    ASSERT_EQ(m_commands->StartProgram(1, status, 0, kT), kResultOk);
    ASSERT_EQ(status, 1);
    std::vector<int> visited;
    const bool ended = WaitUntil([&] {
        int step = 0;
        if (m_commands->ReadCurrentStep(step, 0, kT) == kResultOk && (visited.empty() || visited.back() != step))
            visited.push_back(step);
        return !Running(0);
    }, 5000, 5);
    ASSERT_TRUE(ended);
    EXPECT_EQ(visited, (std::vector<int>{1, 3, 2}));
    uint8_t manual = 0;
    ASSERT_EQ(m_commands->ReadRunMode(manual, 0, kT), kResultOk);
    EXPECT_NE(manual, 0);
    ASSERT_TRUE(WaitUntil([&] { return Current(0) == 20000; }, 1000, kStatusPollMs));
}

TEST_F(SimEndToEnd, WaveformSamplesMatchTheMotion)
{
    StartSim();
    Ready(2);
    WaveScales scales;
    ASSERT_EQ(m_commands->ReadWaveScales(scales, 2, CServoCommands::kTimeoutShortMs), kResultOk);
    EXPECT_DOUBLE_EQ(scales.timeStep, 0.0001);
    EXPECT_DOUBLE_EQ(scales.actualPositionScale, 0.0001);
    EXPECT_DOUBLE_EQ(scales.speedScale, 0.1);
    uint8_t status = 0;
    // Sampling 2 (0.2 ms): actual position and actual speed.
    ASSERT_EQ(m_commands->StartWaveCapture(2, 0x11, status, 2, CServoCommands::kTimeoutShortMs), kResultOk);
    ASSERT_EQ(status, 1);
    ASSERT_EQ(m_commands->WriteStep(Step(1, 1, 10.0, 100, 0.3, 0), "MDC", 2, kT), kResultOk);
    ASSERT_EQ(m_commands->StartProgram(1, status, 2, kT), kResultOk);

    std::vector<int16_t> speeds;
    double position = 0.0;
    bool first = true;
    int samples = 0;
    WaveBatch batch;
    ASSERT_TRUE(WaitUntil([&] {
        if (m_commands->ReadWaveData(2, batch, 2, CServoCommands::kTimeoutWaveDataMs) != kResultOk)
            return false;
        for (int k = 0; k < batch.count; ++k) {
            if (first)
                position = batch.actualBase * scales.actualPositionScale;
            first = false;
            position += batch.channel1[static_cast<size_t>(k)] * scales.actualPositionScale;
            speeds.push_back(batch.channel2[static_cast<size_t>(k)]);
        }
        samples += batch.count;
        return batch.finished;
    }, 10000, 100));
    EXPECT_EQ(samples, WaveRecorder::kRecordLength);
    // 0.8 s of recording covers the whole 10 mm move: the summed increments end where the axis is.
    EXPECT_NEAR(position, Current(2) / 10000.0, 1e-9);
    EXPECT_NEAR(position, 10.0, 1e-9);
    EXPECT_NEAR(*std::max_element(speeds.begin(), speeds.end()) * scales.speedScale, 100.0, 0.2);
}

TEST_F(SimEndToEnd, AutoTuningRunReachesState3)
{
    StartSim();
    Ready(1);
    ASSERT_EQ(m_commands->WriteStep(Step(1, 1, 5.0, 100, 0.5, 0), "MDB", 1, kT), kResultOk);
    ASSERT_EQ(m_commands->StartAutoTuning(1, 0, 1, 1, kT), kResultOk);
    AutoTuningStatus s;
    ASSERT_EQ(m_commands->ReadAutoTuningStatus(s, 1, kT), kResultOk);
    EXPECT_EQ(s.tuningState, 2);
    EXPECT_EQ(s.qualityState, 2);
    ASSERT_TRUE(WaitUntil([&] {
        return m_commands->ReadAutoTuningStatus(s, 1, kT) == kResultOk && s.tuningState != 2;
    }, 10000, 100));
    EXPECT_EQ(s.tuningState, 3);
    EXPECT_EQ(s.qualityState, 3);
    EXPECT_GT(s.value1, 0);
    // The tuning measured the load the axis carries.
    int32_t ratio = 0;
    ASSERT_EQ(m_commands->ReadParameter(119, ratio, 1, kT), kResultOk);
    int32_t load = 0;
    m_runner->WithBus([&](SimBus &bus) { load = std::lround(bus.Axis(1)->Motion().LoadInertia() * 1000); });
    EXPECT_NE(load, 1000);
    EXPECT_NEAR(ratio, load, load / 20);
    // Models without tuning answer with the refusal pattern.
    EXPECT_EQ(m_commands->StartAutoTuning(1, 0, 1, 0, kT), kResultRefused);
}

TEST_F(SimEndToEnd, GatewayTablesRoundTrip)
{
    StartSim();
    UnitDeviceTables tables;
    tables.deviceList.fill(8);
    tables.inputModes.fill(3);
    uint8_t status = 0;
    ASSERT_EQ(m_commands->WriteUnitDeviceTables(tables, status, 0xF1, CServoCommands::kTimeoutShortMs), kResultOk);
    EXPECT_EQ(status, 1);
    UnitDeviceTables back;
    ASSERT_EQ(m_commands->ReadUnitDeviceTables(back, 0xF1, CServoCommands::kTimeoutShortMs), kResultOk);
    EXPECT_EQ(back.deviceList, tables.deviceList);
    EXPECT_EQ(back.inputModes, tables.inputModes);

    UnitDeviceList list = {255, 1, 2, 3, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(m_commands->WriteUnitDeviceList(list, status, 0xF1, kT), kResultOk);
    EXPECT_EQ(status, 1);
    UnitDeviceList listBack{};
    ASSERT_EQ(m_commands->ReadUnitDeviceList(listBack, 0xF1, kT), kResultOk);
    EXPECT_EQ(listBack, list);

    std::array<uint8_t, 4> ip{};
    ASSERT_EQ(m_commands->ReadParameterBytes(11, ip, 0xF1, kT), kResultOk);
    EXPECT_EQ(ip, (std::array<uint8_t, 4>{1, 0, 168, 192}));
    CodePair pair;
    ASSERT_EQ(m_commands->ReadParameterCodePair(17, pair, 0xF1, kT), kResultOk);
    EXPECT_EQ(pair.group, 3);
    EXPECT_EQ(pair.code, 0);
}

TEST_F(SimEndToEnd, SpeedGateSilencesTheWrongSpeed)
{
    StartSim();
    m_commands->ClosePort();
    ASSERT_EQ(m_commands->OpenPort(kPort, 57600), 1);
    std::string model, version, name;
    EXPECT_EQ(m_commands->ReadDeviceType(model, version, name, 0, CServoCommands::kTimeoutShortMs), kResultTimeout);
    m_commands->ClosePort();
    ASSERT_EQ(m_commands->OpenPort(kPort, kSpeed), 1);
    EXPECT_EQ(m_commands->ReadDeviceType(model, version, name, 0, CServoCommands::kTimeoutShortMs), kResultOk);
}

TEST_F(SimEndToEnd, EachFaultSwitchGivesTheTransportsResultCode)
{
    struct Case { const char *fault; int timeoutMs; std::vector<int> results; };
    const Case cases[] = {
        {"noise=4", kT, {kResultOk, kResultOk}},
        {"garbage=3", kT, {kResultOk, kResultOk}},
        {"crc=2", kT, {kResultOk, kResultBadReply, kResultOk, kResultBadReply}},
        {"drop=2", kT, {kResultOk, kResultTimeout, kResultOk, kResultTimeout}},
        {"silent=0", kT, {kResultTimeout}},
        {"split=5", kT, {kResultOk, kResultOk}},
        {"delay=60", 30, {kResultTimeout}},
        {"delay=60", kT, {kResultOk}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " at " + std::to_string(c.timeoutMs) + " ms");
        BusRunner::Settings settings;
        ASSERT_TRUE(settings.faults.Parse(c.fault, nullptr));
        StartSim(settings);
        for (size_t i = 0; i < c.results.size(); ++i) {
            uint8_t servo = 0xEE;
            EXPECT_EQ(m_commands->ReadServoState(servo, 0, c.timeoutMs), c.results[i]) << "exchange " << i;
            if (c.results[i] == kResultOk) {
                EXPECT_EQ(servo, 0);
            }
            // A late reply must not spill into the next exchange: the next one goes out once the
            // simulator is done with this request (its reply written, dropped or never due).
            if (c.results[i] == kResultTimeout) {
                ASSERT_TRUE(WaitUntil([&] { return m_runner->RepliesSent() >= i + 1; }, 2000));
            }
        }
        TearDown();
    }
}

} // namespace
} // namespace kvl::sim
