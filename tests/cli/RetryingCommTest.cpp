// The retrying facade: which requests may be sent again, which replies count as spoiled, and how
// often a request reaches the bus.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "cli/CRetryingComm.h"
#include "link/ResultCode.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "support/CommStub.h"

namespace kvl::cli {
namespace {

// What the scripted bus answers to one send.
enum class Reply { kGood, kTimeout, kBadCrc, kWrongAxis, kShort, kRefusal, kNoPort };

class ScriptedComm : public test::CommStub {
public:
    std::deque<Reply> script;
    int sends = 0;

    int Exchange(const uint8_t *request, int, uint8_t *reply, int *received, int expected, int, int) override
    {
        ++sends;
        const Reply next = script.empty() ? Reply::kGood : script.front();
        if (!script.empty())
            script.pop_front();
        *received = 0;
        if (next == Reply::kTimeout)
            return kResultTimeout;
        if (next == Reply::kNoPort)
            return kResultNoPort;
        const uint8_t axis = request[frame::kOffsetAxis] ^ (next == Reply::kWrongAxis ? 1 : 0);
        std::vector<uint8_t> data(static_cast<size_t>(std::max(expected, 8)) - frame::kFrameOverhead, 0x11);
        if (next == Reply::kRefusal)
            data = {cmd::kRefusalByte0, cmd::kRefusalByte1, cmd::kRefusalByte2};
        std::vector<uint8_t> frame = frame::Build(axis, request[frame::kOffsetCommand], data);
        if (next == Reply::kBadCrc || next == Reply::kRefusal)
            frame[frame.size() - 3] ^= 0x5A;
        if (next == Reply::kShort)
            frame.erase(frame.begin() + 3);
        std::copy(frame.begin(), frame.end(), reply);
        *received = static_cast<int>(frame.size());
        return kResultOk;
    }
};

struct RetryCase {
    const char *name;
    uint8_t command;
    std::vector<uint8_t> payload;
    int expected;
    std::vector<Reply> script;
    int sends;
    bool retryOnSilence = true;
    int tries = CRetryingComm::kDefaultTries;
};

std::vector<uint8_t> U16(uint16_t value)
{
    std::vector<uint8_t> bytes;
    frame::PutU16(bytes, value);
    return bytes;
}

TEST(RetryingCommTest, OnlyIdempotentReadsAreSentAgainAfterASpoiledReply)
{
    using R = Reply;
    const RetryCase cases[] = {
        {"identify survives one bad CRC", cmd::kCmdReadDeviceType, {}, 9, {R::kBadCrc, R::kGood}, 2},
        {"status read survives a lost reply", cmd::kCmdReadServoState, {}, 8, {R::kTimeout, R::kGood}, 2},
        {"parameter read: another axis answered", cmd::kCmdReadParameter, U16(35), 13, {R::kWrongAxis}, 2},
        {"positions: a cut-off frame", cmd::kCmdReadPositions, {}, 15, {R::kShort}, 2},
        {"I/O read gives up after three tries", cmd::kCmdReadIOSignals, {}, 11,
         {R::kBadCrc, R::kBadCrc, R::kBadCrc, R::kGood}, 3},
        {"alarm history", cmd::kCmdReadAlarmHistory, {}, 57, {R::kTimeout, R::kBadCrc, R::kGood}, 3},
        {"a good reply is not asked again", cmd::kCmdReadAlarmCode, {}, 8, {R::kGood}, 1},
        {"a step read", cmd::kCmdReadStep, U16(5), -1, {R::kBadCrc}, 2},
        // A parameter read of a value 0 whose CRC is spoiled looks exactly like the refusal: it
        // is asked once more, and a refusal stands only when it repeats.
        {"a refusal that repeats stands", cmd::kCmdReadStep, U16(5), -1, {R::kRefusal, R::kRefusal, R::kGood}, 2},
        {"a spoiled reply that looked refused", cmd::kCmdReadParameter, U16(15), 13, {R::kRefusal, R::kGood}, 2},
        {"after the look-alike, faults are retried", cmd::kCmdReadParameter, U16(15), 13,
         {R::kRefusal, R::kTimeout, R::kGood}, 3},
        {"--retries 1 takes the refusal", cmd::kCmdReadParameter, U16(15), 13, {R::kRefusal, R::kGood}, 1, true, 1},
        {"the bulk step read goes once", cmd::kCmdReadAllSteps, U16(cmd::kReadAllStepsSelector), -1,
         {R::kTimeout}, 1},
        {"a parameter write goes once", cmd::kCmdWriteParameter, {35, 0, 1, 0, 0, 0}, 8, {R::kBadCrc}, 1},
        {"a step write goes once", cmd::kCmdWriteStep, std::vector<uint8_t>(44, 0), 8, {R::kTimeout}, 1},
        {"servo on goes once", cmd::kCmdServoOn, {}, 8, {R::kTimeout}, 1},
        {"jog goes once", cmd::kCmdJogStart, {1}, 8, {R::kBadCrc}, 1},
        {"a waveform batch goes once", cmd::kCmdReadWaveData, {}, -1, {R::kBadCrc}, 1},
        {"alarm reset goes once", cmd::kCmdAlarmReset, {}, 8, {R::kTimeout}, 1},
        {"no port is no reply fault", cmd::kCmdReadServoState, {}, 8, {R::kNoPort}, 1},
        {"--retries 1", cmd::kCmdReadServoState, {}, 8, {R::kTimeout, R::kGood}, 1, true, 1},
        {"--retries 5", cmd::kCmdReadServoState, {}, 8, std::vector<Reply>(6, R::kTimeout), 5, true, 5},
        {"scan: silence is an answer", cmd::kCmdReadDeviceType, {}, 9, {R::kTimeout, R::kGood}, 1, false},
        {"scan: a bad CRC is asked again", cmd::kCmdReadDeviceType, {}, 9, {R::kBadCrc, R::kGood}, 2, false},
    };
    for (const RetryCase &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedComm bus;
        bus.script.assign(c.script.begin(), c.script.end());
        CRetryingComm retrying(bus, c.tries);
        retrying.SetRetryOnSilence(c.retryOnSilence);
        const std::vector<uint8_t> request = frame::Build(3, c.command, c.payload);
        std::vector<uint8_t> reply(frame::kReceiveLimit);
        int received = 0;
        retrying.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), &received, c.expected, 30,
                          0);
        EXPECT_EQ(bus.sends, c.sends);
    }
}

TEST(RetryingCommTest, TheLastTryIsWhatTheCallerSees)
{
    ScriptedComm bus;
    bus.script = {Reply::kBadCrc, Reply::kTimeout, Reply::kTimeout};
    CRetryingComm retrying(bus, 3);
    const std::vector<uint8_t> request = frame::Build(0, cmd::kCmdReadRunMode);
    std::vector<uint8_t> reply(frame::kReceiveLimit);
    int received = -1;
    EXPECT_EQ(retrying.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), &received, 8, 30, 0),
              kResultTimeout);
    EXPECT_EQ(received, 0);

    bus.script = {Reply::kTimeout, Reply::kGood};
    bus.sends = 0;
    EXPECT_EQ(retrying.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), &received, 8, 30, 0),
              kResultOk);
    EXPECT_EQ(received, 8);
    EXPECT_TRUE(frame::CrcMatches(reply.data(), 8));
}

} // namespace
} // namespace kvl::cli
