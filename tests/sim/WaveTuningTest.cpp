// Waveform capture and auto-tuning of the simulated controllers, at the byte level.
#include <gtest/gtest.h>

#include "sim/AxisDevice.h"
#include "protocol/CommandCodes.h"
#include "sim/PointTable.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::Ask;
using test::Data;
using test::WellFormed;

struct Batch {
    bool finished = false;
    int count = 0;
    int32_t firstIndex = 0;
    int32_t commandBase = 0;
    int32_t actualBase = 0;
    std::vector<int16_t> values;
};

Batch ReadBatch(SimBus &bus, uint8_t address)
{
    const auto reply = Ask(bus, address, cmd::kCmdReadWaveData);
    Batch b;
    EXPECT_GE(reply.size(), 21u);
    const uint16_t header = frame::GetU16(reply.data() + 3);
    b.finished = (header & 0x8000) != 0;
    b.count = header & 0x7FFF;
    EXPECT_TRUE(WellFormed(reply, address, cmd::kCmdReadWaveData, 21 + 2 * static_cast<size_t>(b.count)));
    b.firstIndex = frame::GetI32(reply.data() + 5);
    b.commandBase = frame::GetI32(reply.data() + 9);
    b.actualBase = frame::GetI32(reply.data() + 13);
    for (int i = 0; i < b.count; ++i)
        b.values.push_back(frame::GetI16(reply.data() + 17 + 2 * i));
    return b;
}

void Ready(SimBus &bus, uint8_t address)
{
    ASSERT_EQ(Data(Ask(bus, address, cmd::kCmdServoOn))[0], 1);
    ASSERT_EQ(Data(Ask(bus, address, cmd::kCmdHomeReturn, {1}))[0], 1);
    bus.Advance(3000000);
    ASSERT_EQ(Data(Ask(bus, address, cmd::kCmdReadHomeDone))[0], 1);
}

void StartMove(SimBus &bus, uint8_t address, double mm, int speed)
{
    StepRecord r;
    r.number = 1;
    r.mode = 1;
    r.position = static_cast<int32_t>(mm * 10000);
    r.speed = speed * 100;
    r.acc = r.dcc = 30;
    r.repeat = 1;
    const bool longForm = bus.Device(address)->Model().longRecord;
    ASSERT_EQ(Data(Ask(bus, address, cmd::kCmdWriteStep, PointTable::Encode(1, r, longForm)))[0], 1);
    ASSERT_EQ(Data(Ask(bus, address, cmd::kCmdStartProgram, test::U16(1)))[0], 1);
}

TEST(SimWave, ScalesAreTheGoldenFactors)
{
    auto bus = SimBus::CreateDemo();
    const auto reply = Ask(*bus, 0, cmd::kCmdReadWaveScales);
    ASSERT_TRUE(WellFormed(reply, 0, cmd::kCmdReadWaveScales, 23));
    const auto d = Data(reply);
    EXPECT_EQ(frame::GetI32(d.data()), 100000);        // 0.1 ms per sampling unit
    EXPECT_EQ(frame::GetI32(d.data() + 4), 100);       // 0.0001 mm per position count
    EXPECT_EQ(frame::GetI32(d.data() + 8), 100);
    EXPECT_EQ(frame::GetI32(d.data() + 12), 10000000); // 0.1 mm/s per speed count
}

TEST(SimWave, IdleRecorderAnswersAnEmptyFinishedBatch)
{
    auto bus = SimBus::CreateDemo();
    const auto reply = Ask(*bus, 1, cmd::kCmdReadWaveData);
    ASSERT_TRUE(WellFormed(reply, 1, cmd::kCmdReadWaveData, 21));
    EXPECT_EQ(frame::GetU16(reply.data() + 3), 0x8000);
}

TEST(SimWave, StartRefusesNoChannelOrMoreThanTwo)
{
    auto bus = SimBus::CreateDemo();
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdStartWaveCapture, {10, 0, 0x00}))[0], 0);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdStartWaveCapture, {10, 0, 0x13}))[0], 0);
    const auto ok = Ask(*bus, 0, cmd::kCmdStartWaveCapture, {10, 0, 0x11});
    ASSERT_TRUE(WellFormed(ok, 0, cmd::kCmdStartWaveCapture, 8));
    EXPECT_EQ(Data(ok)[0], 1);
}

TEST(SimWave, CapturedPositionsAndSpeedsMatchTheMotion)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 2);
    const int32_t start = bus->Axis(2)->ActualCounts();
    // Sampling 10 = 1 ms; actual position (0x01) and actual speed (0x10).
    ASSERT_EQ(Data(Ask(*bus, 2, cmd::kCmdStartWaveCapture, {10, 0, 0x11}))[0], 1);
    StartMove(*bus, 2, 150.0, 100);

    std::vector<int16_t> position, speed;
    int64_t reconstructed = 0;
    bool finished = false;
    int32_t lastIndex = -1;
    for (int poll = 0; poll < 200 && !finished; ++poll) {
        bus->Advance(100000);
        const Batch b = ReadBatch(*bus, 2);
        finished = b.finished;
        if (b.count == 0)
            continue;
        ASSERT_EQ(b.count % 2, 0);
        EXPECT_EQ(b.firstIndex, static_cast<int32_t>(2 * position.size()));
        EXPECT_GT(b.firstIndex, lastIndex);
        lastIndex = b.firstIndex;
        if (position.empty()) {
            EXPECT_EQ(b.actualBase, start);
        }
        reconstructed = b.actualBase;
        for (size_t k = 0; k + 1 < b.values.size(); k += 2) {
            position.push_back(b.values[k]);
            speed.push_back(b.values[k + 1]);
        }
        for (size_t k = position.size() - static_cast<size_t>(b.count / 2); k < position.size(); ++k)
            reconstructed += position[k];
    }
    ASSERT_TRUE(finished);
    ASSERT_EQ(position.size(), static_cast<size_t>(WaveRecorder::kRecordLength));
    // 4 s at 1 ms: the move of 150 mm at 100 mm/s is over; the sum of increments is where the axis is.
    EXPECT_EQ(reconstructed, bus->Axis(2)->ActualCounts());
    EXPECT_EQ(reconstructed, 1500000);
    // Speed samples in 0.1 mm/s: the plateau is 100 mm/s.
    const int16_t peak = *std::max_element(speed.begin(), speed.end());
    EXPECT_NEAR(peak, 1000, 2);
    EXPECT_LT(speed.front(), 50);   // the move begins right after the capture
    // The increment at full speed is 100 mm/s x 1 ms = 0.1 mm = 1000 counts.
    EXPECT_NEAR(position[1000], 1000, 2);
}

TEST(SimWave, TwoChannelsGoInCaptureBitOrderAndStopFinishes)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 1);
    // Command position (0x02) and actual current (0x08): the position increments come first.
    ASSERT_EQ(Data(Ask(*bus, 1, cmd::kCmdStartWaveCapture, {1, 0, 0x0A}))[0], 1);
    StartMove(*bus, 1, 50.0, 200);
    bus->Advance(200000);
    Batch b = ReadBatch(*bus, 1);
    ASSERT_EQ(b.count, WaveRecorder::kMaxBatchValues);
    EXPECT_FALSE(b.finished);
    int64_t commandSum = 0;
    int maxCurrent = 0;
    for (size_t k = 0; k < b.values.size(); k += 2) {
        commandSum += b.values[k];
        maxCurrent = std::max<int>(maxCurrent, b.values[k + 1]);
    }
    EXPECT_GT(commandSum, 0);
    EXPECT_GT(maxCurrent, 200);   // accelerating at 0.3 G takes current

    ASSERT_EQ(Data(Ask(*bus, 1, cmd::kCmdStopWaveCapture))[0], 1);
    bool finished = false;
    for (int i = 0; i < 10 && !finished; ++i)
        finished = ReadBatch(*bus, 1).finished;
    EXPECT_TRUE(finished);
}

TEST(SimTuning, RunReachesState3AndWritesTheGains)
{
    auto bus = SimBus::CreateDemo();
    Ready(*bus, 1);   // MDB
    StepRecord r;
    r.number = 1;
    r.mode = 1;
    r.position = 200000;
    r.speed = 10000;
    r.acc = r.dcc = 30;
    r.repeat = 1;
    ASSERT_EQ(Data(Ask(*bus, 1, cmd::kCmdWriteStep, PointTable::Encode(1, r, true)))[0], 1);
    ASSERT_EQ(Data(Ask(*bus, 1, cmd::kCmdWriteParameter, test::ParamWrite(param::kTuningStiffness, 4)))[0], 1);

    auto status = Ask(*bus, 1, cmd::kCmdReadAutoTuningStatus);
    ASSERT_TRUE(WellFormed(status, 1, cmd::kCmdReadAutoTuningStatus, 13));
    EXPECT_EQ(Data(status)[0], AutoTuner::kIdle);
    EXPECT_EQ(Data(status)[1], AutoTuner::kIdle);

    const auto start = Ask(*bus, 1, cmd::kCmdStartAutoTuning, {0x01, 0x00, 0x00, 0x01});
    ASSERT_TRUE(WellFormed(start, 1, cmd::kCmdStartAutoTuning, 8));
    ASSERT_EQ(Data(start)[0], 1);
    bus->Advance(100000);
    status = Ask(*bus, 1, cmd::kCmdReadAutoTuningStatus);
    EXPECT_EQ(Data(status)[0], AutoTuner::kRunning);
    EXPECT_EQ(Data(status)[1], AutoTuner::kRunning);
    EXPECT_TRUE(bus->Axis(1)->Motion().Moving());

    int polls = 0;
    while (Data(Ask(*bus, 1, cmd::kCmdReadAutoTuningStatus))[1] == AutoTuner::kRunning && polls++ < 100)
        bus->Advance(500000);
    status = Ask(*bus, 1, cmd::kCmdReadAutoTuningStatus);
    EXPECT_EQ(Data(status)[1], AutoTuner::kDone);
    EXPECT_EQ(Data(status)[0], AutoTuner::kDone);
    EXPECT_GT(frame::GetI16(Data(status).data() + 2), 0);
    EXPECT_GT(frame::GetI16(Data(status).data() + 4), 0);
    const auto &params = bus->Axis(1)->Parameters();
    EXPECT_EQ(params.Get(param::kGainPosition), 70);
    EXPECT_EQ(params.Get(param::kGainSpeed), 52);
    EXPECT_EQ(params.Get(param::kGainIntegral), 120);
    EXPECT_EQ(params.Get(param::kFilterSpeed), 30);
    EXPECT_EQ(params.Get(param::kFilterTorque), 17);
    EXPECT_GT(params.Get(param::kLoadInertiaRatio), 100);
    // The axis came back to where the run started.
    EXPECT_EQ(bus->Axis(1)->ActualCounts(), 0);
}

TEST(SimTuning, RefusedOnModelsWithoutTuningAndFailedWhenStopped)
{
    auto bus = SimBus::CreateDemo();
    const auto refused = Ask(*bus, 0, cmd::kCmdStartAutoTuning, {0x01, 0x00, 0x01, 0x00});
    EXPECT_EQ(refused, (std::vector<uint8_t>{0xEF, 0x00, 0x50, 0x0F, 0x00, 0x00, 0x0D, 0x0A}));
    // Servo off: a zero status.
    EXPECT_EQ(Data(Ask(*bus, 2, cmd::kCmdStartAutoTuning, {0x01, 0x00, 0x01, 0x00}))[0], 0);

    Ready(*bus, 2);
    StepRecord r;
    r.number = 1;
    r.mode = 1;
    r.position = 100000;
    r.speed = 5000;
    r.acc = r.dcc = 30;
    ASSERT_EQ(Data(Ask(*bus, 2, cmd::kCmdWriteStep, PointTable::Encode(1, r, true)))[0], 1);
    ASSERT_EQ(Data(Ask(*bus, 2, cmd::kCmdStartAutoTuning, {0x01, 0x00, 0x00, 0x00}))[0], 1);
    bus->Advance(100000);
    EXPECT_EQ(Data(Ask(*bus, 2, cmd::kCmdReadAutoTuningStatus))[0], AutoTuner::kIdle);   // no estimation asked
    ASSERT_EQ(Data(Ask(*bus, 2, cmd::kCmdStop))[0], 1);
    EXPECT_EQ(Data(Ask(*bus, 2, cmd::kCmdReadAutoTuningStatus))[1], AutoTuner::kFailed);
}

} // namespace
} // namespace kvl::sim
