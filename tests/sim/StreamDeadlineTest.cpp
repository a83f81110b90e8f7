// An exchange never outlasts its deadline while the line keeps carrying bytes: the tool's own
// transport against the simulator on its pseudo-terminal, once with the stream=ADDR fault (noise
// after a reply) and once with a bulk point-table read that the tool abandoned halfway.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/CReplyReader.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "sim/ModelInfo.h"
#include "SimTestUtil.h"
#include "sim/SimBusTest.h"
#include "support/WaitUntil.h"

namespace kvl::sim {
namespace {

using kvl::test::WaitUntil;

constexpr int kPort = SimBusTest::kSimPort;
constexpr int kStreamingAxis = 0;
constexpr int kOtherAxis = 1;
// What the test's own thread may add to a deadline before it measures (scheduling on a busy machine).
constexpr int kSchedulingSlackMs = 60;

class StreamDeadlineTest : public SimBusTest {
protected:
    // Runs `exchange`, returns its result and how long it took.
    static int Timed(const std::function<int()> &exchange, int64_t *elapsedMs)
    {
        const auto start = std::chrono::steady_clock::now();
        const int result = exchange();
        *elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                         .count();
        return result;
    }

};

TEST_F(StreamDeadlineTest, ExchangesDuringTheStreamEndByTheirDeadlineAndTheNextOneAfterItWorks)
{
    constexpr int kSpeed = 115200;
    BusRunner::Settings settings;
    ASSERT_TRUE(settings.faults.Parse("stream=" + std::to_string(kStreamingAxis), nullptr));
    StartSim(settings, SimBus::CreateDemo());
    ASSERT_EQ(m_commands->OpenPort(kPort, kSpeed), 1);

    uint8_t servo = 0xEE;
    ASSERT_EQ(m_commands->ReadServoState(servo, kStreamingAxis, CServoCommands::kTimeoutMs), kResultOk);

    // While the noise goes on, every kind of read fails, each within its own deadline.
    struct Case {
        const char *what;
        int expected;
        int timeoutMs;
        std::function<int()> exchange;
    };
    std::string model, version, name;
    kvl::StepRecord step;
    const Case cases[] = {
        {"status read", cmd::kReplyLenReadServoState, CServoCommands::kTimeoutMs,
         [&] { return m_commands->ReadServoState(servo, kOtherAxis, CServoCommands::kTimeoutMs); }},
        {"identify probe", cmd::kReplyLenReadDeviceType, CServoCommands::kTimeoutShortMs,
         [&] { return m_commands->ReadDeviceType(model, version, name, kOtherAxis, CServoCommands::kTimeoutShortMs); }},
        {"reply of unknown length", -1, CServoCommands::kTimeoutMs,
         [&] { return m_commands->ReadStep(1, "MDB", step, kOtherAxis, CServoCommands::kTimeoutMs); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int64_t elapsedMs = 0;
        EXPECT_NE(Timed(c.exchange, &elapsedMs), kResultOk);
        const int deadlineMs = CReplyReader::ReplyDeadlineMs(c.expected, c.timeoutMs, CServoCommands::kSettleMs, kSpeed);
        EXPECT_LE(elapsedMs, deadlineMs + kSchedulingSlackMs);
    }
    // The stream was still running: the requests above were all heard only after it.
    EXPECT_EQ(m_runner->RepliesSent(), 0u);

    // Once the stream and the late answers are over, the next exchange works at once.
    ASSERT_TRUE(WaitUntil([&] { return m_runner->RepliesSent() >= 1 + std::size(cases); },
                          FaultInjector::kStreamMs * 3));
    EXPECT_EQ(m_commands->ReadServoState(servo, kOtherAxis, CServoCommands::kTimeoutMs), kResultOk);
    EXPECT_EQ(servo, 0);
}

TEST_F(StreamDeadlineTest, AnAbandonedBulkReadDoesNotHoldUpTheNextExchange)
{
    // A slow line, paced: the 64 steps of the table take over three seconds to go out.
    constexpr int kSlowSpeed = 9600;
    constexpr int kSteps = 64;
    BusRunner::Settings settings;
    settings.baud = kSlowSpeed;
    settings.pace = true;
    auto bus = std::make_unique<SimBus>();
    bus->Add(std::make_unique<AxisDevice>(static_cast<uint8_t>(kStreamingAxis), *FindModel("MDC"), "2105", "TABLE"));
    StartSim(settings, std::move(bus));
    m_runner->WithBus([](SimBus &b) {
        for (int wireStep = 1; wireStep <= kSteps; ++wireStep) {
            StepRecord record;
            record.number = static_cast<int16_t>(wireStep);
            record.position = wireStep * 10000;
            record.speed = 10000;
            b.Axis(static_cast<uint8_t>(kStreamingAxis))->Table().SetStep(wireStep, record);
        }
        return 0;
    });

    // Another program asks for the whole table and goes away while it streams.
    test::SerialClient abandoned;
    ASSERT_TRUE(abandoned.Open(m_runner->SlavePath(), kSlowSpeed));
    ASSERT_TRUE(abandoned.Write(frame::Build(static_cast<uint8_t>(kStreamingAxis), cmd::kCmdReadAllSteps,
                                             test::U16(cmd::kReadAllStepsSelector))));
    ASSERT_TRUE(WaitUntil([&] { return m_runner->RequestsAnswered() >= 1; }, 2000));
    ASSERT_EQ(m_commands->OpenPort(kPort, kSlowSpeed), 1);
    abandoned.Close();

    std::string model, version, name;
    int64_t elapsedMs = 0;
    EXPECT_NE(Timed([&] {
        return m_commands->ReadDeviceType(model, version, name, kStreamingAxis, CServoCommands::kTimeoutShortMs);
    }, &elapsedMs), kResultOk);
    EXPECT_LE(elapsedMs, CReplyReader::ReplyDeadlineMs(cmd::kReplyLenReadDeviceType, CServoCommands::kTimeoutShortMs,
                                                       CServoCommands::kSettleMs, kSlowSpeed) +
                             kSchedulingSlackMs);
    EXPECT_EQ(m_runner->RepliesSent(), 0u);

    // The table and the late answer to the probe are out: the line is quiet, the tool works again.
    ASSERT_TRUE(WaitUntil([&] { return m_runner->RepliesSent() >= 2; }, 10000));
    EXPECT_EQ(m_commands->ReadDeviceType(model, version, name, kStreamingAxis, CServoCommands::kTimeoutMs), kResultOk);
    EXPECT_EQ(model, "MDC");
}

} // namespace
} // namespace kvl::sim
