// Whatever keeps arriving, an exchange ends by its deadline; input that waits before a request is
// dropped (and the trace says how much), so the reply is looked for only behind the request.
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "PeerTest.h"
#include "link/CComAccess.h"
#include "link/CReplyReader.h"
#include "link/ResultCode.h"
#include "support/WaitUntil.h"

namespace kvl::test {
namespace {

// What the test's own thread may add to a deadline before it measures (scheduling on a busy machine).
constexpr int kSchedulingSlackMs = 60;
constexpr int kSettleMs = 20;
// A settle interval no scheduling hiccup of the device's thread on a busy machine reaches, so
// that its stream never looks like the end of a reply.
constexpr int kStreamSettleMs = 150;
constexpr int kNoiseGapMs = 2;

// Noise without a start byte, CR or LF, `chunkBytes` every 2 ms (or slower) for about `durationMs`.
std::vector<PeerChunk> EndlessNoise(int durationMs, int chunkBytes)
{
    std::vector<PeerChunk> chunks;
    for (int at = 0; at < durationMs; at += kNoiseGapMs)
        chunks.push_back({std::vector<uint8_t>(static_cast<size_t>(chunkBytes), static_cast<uint8_t>(0x20 + at % 64)),
                          kNoiseGapMs});
    return chunks;
}

class ExchangeDeadlineTest : public PeerTest {
protected:
    int Run(CComAccess &port, const std::vector<uint8_t> &request, int expected, int timeoutMs,
            int settleMs = kSettleMs, std::vector<uint8_t> *bytes = nullptr)
    {
        std::vector<uint8_t> reply(link::kReceiveLimit);
        int count = 0;
        const int result = port.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), nullptr,
                                         &count, expected, timeoutMs, settleMs);
        if (bytes != nullptr)
            bytes->assign(reply.begin(), reply.begin() + count);
        return result;
    }
};

TEST_F(ExchangeDeadlineTest, BytesThatNeverStopEndTheExchangeByItsDeadline)
{
    struct Case {
        const char *what;
        int expected;
        int timeoutMs;
        bool padding;
        int streamMs;
        int chunkBytes;   // slow enough that the stream does not fill the reply buffer first
        uint8_t command = 0x15;
    };
    const int bulkDeadlineMs = CReplyReader::BulkDeadlineMs(200, link::kReceiveLimit, kSpeed);
    const int waveDeadlineMs = CReplyReader::WaveDeadlineMs(CReplyReader::kWaveHeaderBytes, 80, kSpeed);
    const Case cases[] = {
        {"known length", 8, 200, false, 1500, 16},
        {"short timeout", 9, 30, false, 1500, 16},
        {"unknown length", -1, 200, false, 1500, 16},
        // The waveform-data read restarts its timeout with every byte; the stream still ends it.
        {"waveform data", -1, 80, false, 1500, 16, CComAccess::kWaveDataCommand},
        // The bulk point-table read has its own, longer deadline; it ends too.
        {"bulk read", -1, 200, true, bulkDeadlineMs + 1500, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CComAccess port;
        PointAtPeer(port.Ports());
        ASSERT_EQ(port.Open(kPort, kSpeed), 1);
        AnswerWith(EndlessNoise(c.streamMs, c.chunkBytes));
        port.SetPaddingMode(c.padding);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Run(port, Frame(c.command), c.expected, c.timeoutMs, kStreamSettleMs), kResultTimeout);
        const auto elapsedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        const int deadlineMs = c.padding                                   ? bulkDeadlineMs
                               : c.command == CComAccess::kWaveDataCommand ? waveDeadlineMs
                                   : CReplyReader::ReplyDeadlineMs(c.expected, c.timeoutMs, kStreamSettleMs, kSpeed);
        EXPECT_LE(elapsedMs, deadlineMs + kSchedulingSlackMs);
        EXPECT_LT(deadlineMs, c.streamMs);   // the stream outlasted the deadline
        port.Close();
        ReplaceDevice(port.Ports());
    }
}

TEST_F(ExchangeDeadlineTest, DeadlinesFollowTheTimeoutAndTheWireTimeOfTheReply)
{
    struct Case {
        int bytes;
        int speed;
        int wireMs;
    };
    const Case cases[] = {{8, 115200, 1}, {9, 9600, 10}, {120, 9600, 125}, {27136, 115200, 2356}, {0, 9600, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(CReplyReader::WireMs(c.bytes, c.speed), c.wireMs) << c.bytes << " bytes at " << c.speed;
    EXPECT_EQ(CReplyReader::ReplyDeadlineMs(9, 30, 20, 9600), 30 + 20 + 10 + CReplyReader::kDeadlineMarginMs);
    // A reply of unknown length is allowed the longest single frame.
    EXPECT_EQ(CReplyReader::ReplyDeadlineMs(-1, 200, 20, 9600),
              200 + 20 + CReplyReader::WireMs(CReplyReader::kLongestFrameBytes, 9600) + CReplyReader::kDeadlineMarginMs);
    EXPECT_GT(CReplyReader::BulkDeadlineMs(200, link::kReceiveLimit, 9600),
              CReplyReader::WireMs(link::kReceiveLimit, 9600));
}

TEST_F(ExchangeDeadlineTest, InputWaitingBeforeTheRequestIsDroppedAndTraced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::filesystem::create_directory(folder + "/log");
    CComAccess port;
    PointAtPeer(port.Ports());
    port.SetTrace(true, folder);
    port.TraceLog().SetClock([] { return CTraceLog::LocalTime{2026, 1, 2, 9, 5, 7}; });
    ASSERT_EQ(port.Open(kPort, kSpeed), 1);

    // The device answers, and 30 ms later sends five more bytes nobody asked for.
    const std::vector<uint8_t> reply = Frame(0x15, {0x01});
    const std::vector<uint8_t> late = {0x11, 0x22, 0xEF, 0x33, 0x44};
    AnswerWith({{reply, 0}, {late, 30}});
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Run(port, Frame(0x15), 8, 200, kSettleMs, &bytes), kResultOk);
    ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() == static_cast<int>(late.size()); }, 2000));

    AnswerWith({{reply, 0}});
    ASSERT_EQ(Run(port, Frame(0x15), 8, 200, kSettleMs, &bytes), kResultOk);
    EXPECT_EQ(bytes, reply);
    EXPECT_EQ(port.BytesWaiting(), 0);
    const std::string log = ReadFile(folder + "/log/20260102_OnTimer.log");
    const std::string purge = "09:05:07 PURGE: 5 bytes\n09:05:07 TX:EF 02 15 42 94 0D 0A \n";
    EXPECT_NE(log.find(purge), std::string::npos) << log;
    // Nothing waited before the first request: no purge line for it.
    EXPECT_EQ(log.find("PURGE"), log.rfind("PURGE")) << log;
}

} // namespace
} // namespace kvl::test
