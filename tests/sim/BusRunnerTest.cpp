// The simulator's byte loop on a real pseudo-terminal, run in-process: requests through the pty,
// the line-speed gate, the gateway's speed setting, pacing and the fault switches on the wire.
#include <gtest/gtest.h>

#include "sim/BusRunner.h"
#include "sim/GatewayDevice.h"
#include "sim/PtyMaster.h"
#include "protocol/CommandCodes.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::SerialClient;
using test::WellFormed;

constexpr int kSilenceMs = 150;

std::unique_ptr<BusRunner> StartRunner(BusRunner::Settings settings)
{
    auto runner = std::make_unique<BusRunner>(SimBus::CreateDemo(), settings);
    std::string error;
    EXPECT_TRUE(runner->Open(&error)) << error;
    EXPECT_TRUE(runner->Start());
    return runner;
}

TEST(SimPty, MasterSeesTheLineSpeedTheToolSets)
{
    PtyMaster master;
    ASSERT_TRUE(master.Open()) << master.Error();
    SerialClient client;
    for (int baud : {9600, 38400, 57600, 115200, 230400}) {
        ASSERT_TRUE(client.Open(master.SlavePath(), baud));
        EXPECT_EQ(master.SlaveSpeed(), baud);
        client.Close();
    }
    // The speed stays what the tool set after it closes the port.
    ASSERT_TRUE(client.Open(master.SlavePath(), 57600));
    client.Close();
    EXPECT_EQ(master.SlaveSpeed(), 57600);
}

TEST(SimPty, WriteGivesUpWhenNobodyDrainsTheLine)
{
    PtyMaster master;
    ASSERT_TRUE(master.Open()) << master.Error();
    const std::vector<uint8_t> block(4096, 0x55);
    // The slave side is held open but never read: its queue fills and the writer must come back.
    bool refused = false;
    for (int i = 0; i < 1000 && !refused; ++i)
        refused = !master.Write(block.data(), block.size());
    EXPECT_TRUE(refused);
    // Once a reader drains the line, writing works again.
    SerialClient client;
    ASSERT_TRUE(client.Open(master.SlavePath(), 115200));
    while (!client.Read(65536, 20).empty()) {
    }
    EXPECT_TRUE(master.Write(block.data(), 16));
}

TEST(SimRunner, AnswersThroughThePtyAndStaysSilentAtAnotherSpeed)
{
    auto runner = StartRunner({});
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
    auto reply = client.Exchange(0, cmd::kCmdReadDeviceType, {}, 9);
    EXPECT_TRUE(WellFormed(reply, 0, cmd::kCmdReadDeviceType, 9));
    reply = client.Exchange(0xF1, cmd::kCmdReadDeviceType, {}, 9);
    ASSERT_TRUE(WellFormed(reply, 0xF1, cmd::kCmdReadDeviceType, 9));
    EXPECT_EQ(reply[4], 5);

    ASSERT_TRUE(client.SetSpeed(57600));
    EXPECT_TRUE(client.Exchange(0, cmd::kCmdReadDeviceType, {}, 9, kSilenceMs).empty());
    EXPECT_GE(runner->RequestsGated(), 1u);
    ASSERT_TRUE(client.SetSpeed(115200));
    EXPECT_TRUE(WellFormed(client.Exchange(1, cmd::kCmdReadDeviceType, {}, 9), 1, cmd::kCmdReadDeviceType, 9));
}

TEST(SimRunner, RequestLogKeepsPayloadsAndPicksOutTheWrites)
{
    auto runner = StartRunner({});
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
    ASSERT_TRUE(WellFormed(client.Exchange(1, cmd::kCmdReadParameter, {0x10, 0x00}, 13), 1, cmd::kCmdReadParameter, 13));
    ASSERT_TRUE(WellFormed(client.Exchange(2, cmd::kCmdReadServoState, {}, 8), 2, cmd::kCmdReadServoState, 8));
    EXPECT_TRUE(runner->WritesReceived().empty());
    ASSERT_TRUE(WellFormed(client.Exchange(1, cmd::kCmdWriteParameter, {0x10, 0x00, 9, 0, 0, 0}, 8), 1,
                           cmd::kCmdWriteParameter, 8));
    const auto log = runner->RequestLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].address, 1);
    EXPECT_EQ(log[0].command, cmd::kCmdReadParameter);
    EXPECT_EQ(log[0].payload, (std::vector<uint8_t>{0x10, 0x00}));
    EXPECT_TRUE(log[1].payload.empty());
    const auto writes = runner->WritesReceived();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].payload, (std::vector<uint8_t>{0x10, 0x00, 9, 0, 0, 0}));
    for (const uint8_t command : {cmd::kCmdWriteDeviceName, cmd::kCmdWriteStep, cmd::kCmdClearPointTable,
                                  cmd::kCmdServoOff, cmd::kCmdWriteUnitDeviceTables})
        EXPECT_TRUE(BusRunner::IsWrite(command)) << int(command);
    for (const uint8_t command : {cmd::kCmdReadDeviceType, cmd::kCmdReadAllSteps, cmd::kCmdReadParameter,
                                  cmd::kCmdReadUnitDeviceTables, cmd::kCmdReadRunMode})
        EXPECT_FALSE(BusRunner::IsWrite(command)) << int(command);
    runner->ClearCommandsReceived();
    EXPECT_TRUE(runner->RequestLog().empty());
}

TEST(SimRunner, WritingTheGatewaysPcSpeedMovesTheBus)
{
    auto runner = StartRunner({});
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
    const auto reply = client.Exchange(0xF1, cmd::kCmdWriteParameter, test::ParamWrite(3, 2), 8);
    ASSERT_TRUE(WellFormed(reply, 0xF1, cmd::kCmdWriteParameter, 8));
    EXPECT_EQ(reply[3], 1);
    EXPECT_EQ(runner->BusSpeed(), 57600);
    EXPECT_TRUE(client.Exchange(0, cmd::kCmdReadDeviceType, {}, 9, kSilenceMs).empty());
    ASSERT_TRUE(client.SetSpeed(57600));
    EXPECT_TRUE(WellFormed(client.Exchange(0, cmd::kCmdReadDeviceType, {}, 9), 0, cmd::kCmdReadDeviceType, 9));
}

TEST(SimRunner, BusSpeedOptionSetsTheGateAndTheGatewaysSetting)
{
    BusRunner::Settings settings;
    settings.baud = 38400;
    auto runner = StartRunner(settings);
    EXPECT_EQ(runner->WithBus([](SimBus &bus) { return bus.Gateway()->Parameters().Get(3); }), 1);
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
    EXPECT_TRUE(client.Exchange(2, cmd::kCmdReadDeviceType, {}, 9, kSilenceMs).empty());
    ASSERT_TRUE(client.SetSpeed(38400));
    EXPECT_TRUE(WellFormed(client.Exchange(2, cmd::kCmdReadDeviceType, {}, 9), 2, cmd::kCmdReadDeviceType, 9));
}

TEST(SimRunner, PacedRepliesArriveWholeAndInOrder)
{
    BusRunner::Settings settings;
    settings.pace = true;
    settings.baud = 9600;
    auto runner = StartRunner(settings);
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 9600));
    for (uint8_t address = 0; address < 6; ++address) {
        const auto reply = client.Exchange(address, cmd::kCmdReadVersionAndName, {}, 27, 500);
        EXPECT_TRUE(WellFormed(reply, address, cmd::kCmdReadVersionAndName, 27)) << int(address);
    }
}

TEST(SimRunner, FaultSwitchesShowOnTheWire)
{
    struct Case { const char *fault; size_t length; bool startsWithFrame; bool crcGood; };
    const Case cases[] = {{"noise=5", 14, false, true}, {"garbage=4", 13, true, true},
                          {"crc=1", 9, true, false}, {"split=2", 9, true, true}, {"delay=20", 9, true, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fault);
        BusRunner::Settings settings;
        ASSERT_TRUE(settings.faults.Parse(c.fault, nullptr));
        auto runner = StartRunner(settings);
        SerialClient client;
        ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
        const auto wire = client.Exchange(4, cmd::kCmdReadDeviceType, {}, c.length, 200);
        ASSERT_EQ(wire.size(), c.length);
        EXPECT_EQ(wire[0] == 0xEF, c.startsWithFrame);
        const size_t at = c.startsWithFrame ? 0 : 5;
        EXPECT_EQ(wire[at], 0xEF);
        EXPECT_EQ(frame::CrcMatches(wire.data() + at, 9), c.crcGood);
    }
}

TEST(SimRunner, DroppedAndSilentRepliesNeverArrive)
{
    BusRunner::Settings settings;
    ASSERT_TRUE(settings.faults.Parse("drop=2", nullptr));
    ASSERT_TRUE(settings.faults.Parse("silent=3", nullptr));
    auto runner = StartRunner(settings);
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
    EXPECT_EQ(client.Exchange(0, cmd::kCmdReadServoState, {}, 8).size(), 8u);
    EXPECT_TRUE(client.Exchange(0, cmd::kCmdReadServoState, {}, 8, kSilenceMs).empty());
    EXPECT_EQ(client.Exchange(0, cmd::kCmdReadServoState, {}, 8).size(), 8u);
    EXPECT_TRUE(client.Exchange(3, cmd::kCmdReadServoState, {}, 8, kSilenceMs).empty());
}

TEST(SimRunner, MotionRunsOnTheRealClockBetweenRequests)
{
    auto runner = StartRunner({});
    SerialClient client;
    ASSERT_TRUE(client.Open(runner->SlavePath(), 115200));
    ASSERT_EQ(client.Exchange(0, cmd::kCmdServoOn, {}, 8)[3], 1);
    ASSERT_EQ(client.Exchange(0, cmd::kCmdHomeReturn, {1}, 8)[3], 1);
    // Homing from 12.3456 mm at 20 mm/s: wait on the device's own flag, with a generous bound.
    bool home = false;
    for (int i = 0; i < 100 && !home; ++i) {
        client.Read(1, 50);   // let time pass on the wire without a request
        home = client.Exchange(0, cmd::kCmdReadHomeDone, {}, 8)[3] == 1;
    }
    EXPECT_TRUE(home);
}

} // namespace
} // namespace kvl::sim
