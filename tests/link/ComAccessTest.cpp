// The block reader and the port handling of the serial transport, against a scripted device on a
// pseudo-terminal.
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "PeerTest.h"
#include "link/CComAccess.h"
#include "link/CReplyReader.h"
#include "link/ResultCode.h"

namespace kvl::test {
namespace {

struct Outcome {
    int result = 0;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Slice(const std::vector<uint8_t> &v, size_t from, size_t to)
{
    return {v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(std::min(to, v.size()))};
}

class ComAccessTest : public PeerTest {
protected:
    void SetUp() override
    {
        PeerTest::SetUp();
        PointAtPeer(port.Ports());
        ASSERT_EQ(port.Open(kPort, kSpeed), 1);
    }

    Outcome Run(const std::vector<uint8_t> &request, int expected, int timeoutMs = 200, int settleMs = 20)
    {
        std::vector<uint8_t> reply(link::kReceiveLimit);
        int count = -1;
        Outcome out;
        out.result = port.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), nullptr, &count,
                                   expected, timeoutMs, settleMs);
        EXPECT_GE(count, 0);
        reply.resize(static_cast<size_t>(std::max(count, 0)));
        out.bytes = reply;
        return out;
    }

    CComAccess port;
    const std::vector<uint8_t> request = Frame(0x15);
    const std::vector<uint8_t> reply8 = Frame(0x15, {0x01});
};

TEST_F(ComAccessTest, OpenSetsTheLineAndKeepsNumberAndSpeedAfterClose)
{
    EXPECT_EQ(port.IsOpen(), 1);
    EXPECT_EQ(port.GetPort(), kPort);
    port.Close();
    EXPECT_EQ(port.IsOpen(), 0);
    ASSERT_EQ(port.Open(kPort, 57600), 1);
    EXPECT_EQ(m_peer->SlaveSpeed(), 57600);
    EXPECT_EQ(port.GetSpeed(), 57600);
    // Already open: Open returns at once and changes nothing.
    EXPECT_EQ(port.Open(kPort, 9600), 1);
    EXPECT_EQ(port.GetSpeed(), 57600);
    port.Close();
    EXPECT_EQ(port.GetPort(), kPort);
    EXPECT_EQ(port.GetSpeed(), 57600);
}

TEST_F(ComAccessTest, OpenFailsForAMissingDevice)
{
    CComAccess other;
    other.Ports().SetPath(7, "/dev/kvl-no-such-device");
    EXPECT_EQ(other.Open(7, kSpeed), 0);
    EXPECT_EQ(other.IsOpen(), 0);
    EXPECT_EQ(other.GetPort(), 0);
    EXPECT_FALSE(other.LastError().empty());
}

TEST_F(ComAccessTest, SendsTheRequestBytesAsTheyAre)
{
    AnswerWith({{Frame(0x20, {0x01}), 0}});
    const std::vector<uint8_t> withPayload = Frame(0x20, {0x0D, 0x0A, 0x11, 0x13, 0x00, 0xFF});
    EXPECT_EQ(Run(withPayload, 8).result, kResultOk);
    ASSERT_EQ(m_peer->RequestCount(), 1);
    EXPECT_EQ(m_peer->Requests()[0], withPayload);
}

TEST_F(ComAccessTest, ExpectedLengthEndsTheReplyNoiseBeforeTheStartLengthensIt)
{
    const std::vector<uint8_t> noise = {0x00, 0x11, 0x22};
    struct Case {
        const char *name;
        std::vector<PeerChunk> chunks;
        std::vector<uint8_t> want;
    };
    const Case cases[] = {
        {"one chunk", {{reply8, 0}}, reply8},
        {"three chunks", {{Slice(reply8, 0, 3), 0}, {Slice(reply8, 3, 6), 10}, {Slice(reply8, 6, 8), 10}}, reply8},
        {"noise in the same chunk", {{Join({noise, reply8}), 0}}, Join({noise, reply8})},
        {"noise in its own chunk", {{noise, 0}, {reply8, 10}}, Join({noise, reply8})},
        {"noise and start split", {{Join({noise, Slice(reply8, 0, 2)}), 0}, {Slice(reply8, 2, 8), 10}},
         Join({noise, reply8})},
        // Last: its garbage arrives after the exchange has ended.
        {"later garbage is not waited for", {{reply8, 0}, {{0xFF, 0xFF}, 150}}, reply8},
    };
    for (const Case &c : cases) {
        AnswerWith(c.chunks);
        const Outcome out = Run(request, 8);
        EXPECT_EQ(out.result, kResultOk) << c.name;
        EXPECT_EQ(out.bytes, c.want) << c.name;
    }
}

// A frame of another address or another command before the reply (an answer to an earlier
// request that came late) is dropped with what came before it; the reader waits on for its own.
TEST_F(ComAccessTest, FramesOfOtherRequestsAreNotTakenForTheReply)
{
    const std::vector<uint8_t> otherAddress = frame::Build(kAxis - 1, 0x15, {0x07});
    const std::vector<uint8_t> otherCommand = frame::Build(kAxis, 0x01, {0x00, 0x02});
    const std::vector<uint8_t> noise = {0x00, 0x11};
    struct Case {
        const char *name;
        std::vector<PeerChunk> chunks;
        std::vector<uint8_t> want;
    };
    const Case cases[] = {
        {"another address", {{otherAddress, 0}, {reply8, 10}}, reply8},
        {"another address in the same chunk", {{Join({otherAddress, reply8}), 0}}, reply8},
        {"another command", {{otherCommand, 0}, {reply8, 10}}, reply8},
        {"noise, another address, the reply", {{Join({noise, otherAddress}), 0}, {reply8, 10}}, reply8},
        {"the reply's header split", {{Slice(reply8, 0, 2), 0}, {Slice(reply8, 2, 8), 10}}, reply8},
    };
    for (const Case &c : cases) {
        AnswerWith(c.chunks);
        const Outcome out = Run(request, 8);
        EXPECT_EQ(out.result, kResultOk) << c.name;
        EXPECT_EQ(out.bytes, c.want) << c.name;
    }
    // Only another's frame: no reply of its own came in time.
    AnswerWith({{otherAddress, 0}});
    EXPECT_EQ(Run(request, 8, 60).result, kResultTimeout);
}

// The answer to a request that timed out comes late, while the next request to the same device
// waits: it is let pass, and the next request gets its own answer.
TEST_F(ComAccessTest, LateAnswerIsNotTakenForTheNextRequestsAnswer)
{
    constexpr int kTimeoutMs = 30;
    constexpr int kLateMs = 45;
    const std::vector<uint8_t> first = Frame(0x15, {0x01});
    const std::vector<uint8_t> second = Frame(0x15, {0x02});
    int requests = 0;
    Script([&](const std::vector<uint8_t> &) {
        return ++requests == 1 ? PeerAction::Chunks({{first, kLateMs}}) : PeerAction::Reply(second);
    });
    EXPECT_EQ(Run(request, 8, kTimeoutMs).result, kResultTimeout);
    const Outcome out = Run(request, 8, kTimeoutMs);
    EXPECT_EQ(out.result, kResultOk);
    EXPECT_EQ(out.bytes, second);
}

TEST_F(ComAccessTest, ShortOrStartlessRepliesComeBackAfterTheWait)
{
    struct Case {
        const char *name;
        std::vector<uint8_t> sent;
    };
    const Case cases[] = {
        {"two bytes short", Slice(reply8, 0, 6)},
        {"noise only", {0x00, 0x01, 0x02, 0x03, 0x04}},
        // More noise than the expected length: without a start byte the reply is never complete.
        {"long noise", std::vector<uint8_t>(12, 0x55)},
    };
    for (const Case &c : cases) {
        AnswerWith({{c.sent, 0}});
        const Outcome out = Run(request, 8, 100);
        EXPECT_EQ(out.result, kResultOk) << c.name;
        EXPECT_EQ(out.bytes, c.sent) << c.name;
    }
}

TEST_F(ComAccessTest, SilentDeviceOrNoWaitGivesTimeout)
{
    Script([](const std::vector<uint8_t> &) { return PeerAction::Silent(); });
    Outcome out = Run(request, 8, 30);
    EXPECT_EQ(out.result, kResultTimeout);
    EXPECT_TRUE(out.bytes.empty());
    // Two milliseconds or less leave no wait at all, however fast the device is.
    AnswerWith({{reply8, 0}});
    for (int timeout : {0, 1, 2}) {
        out = Run(request, 8, timeout);
        EXPECT_EQ(out.result, kResultTimeout) << timeout;
        EXPECT_TRUE(out.bytes.empty()) << timeout;
    }
}

TEST_F(ComAccessTest, UnknownLengthEndsAfterTheSettleInterval)
{
    const std::vector<uint8_t> longReply = Frame(0x04, std::vector<uint8_t>(20, 0x41));
    AnswerWith({{Slice(longReply, 0, 5), 0}, {Slice(longReply, 5, 15), 10}, {Slice(longReply, 15, 27), 10}});
    const Outcome out = Run(Frame(0x04), -1, 200, 100);
    EXPECT_EQ(out.result, kResultOk);
    EXPECT_EQ(out.bytes, longReply);
}

TEST_F(ComAccessTest, PaddingEndRule)
{
    struct Case {
        int ffRun;
        int tail;
        bool ends;
    };
    const Case cases[] = {{40, 4, true}, {40, 5, true}, {40, 6, true}, {40, 3, false}, {40, 7, false},
                          {39, 5, false}, {60, 6, true}, {40, 0, false}};
    for (const Case &c : cases) {
        std::vector<uint8_t> data(10, 0x12);
        data.insert(data.end(), static_cast<size_t>(c.ffRun), 0xFF);
        data.insert(data.end(), static_cast<size_t>(c.tail), 0x0D);
        EXPECT_EQ(CReplyReader::PaddingEndSeen(data.data(), static_cast<int>(data.size())), c.ends)
            << c.ffRun << " x FF + " << c.tail;
    }
    const std::vector<uint8_t> tooShort(44 - 1, 0xFF);
    EXPECT_FALSE(CReplyReader::PaddingEndSeen(tooShort.data(), 3));
    EXPECT_TRUE(CReplyReader::PaddingEndSeen(std::vector<uint8_t>(44, 0xFF).data(), 44));
}

TEST_F(ComAccessTest, PaddingModeWaitsForTheFfRunAcrossManyChunks)
{
    port.SetPaddingMode(true);
    for (int tail : {4, 5, 6}) {
        std::vector<uint8_t> stream = Frame(0x33, std::vector<uint8_t>(150, 0x21));
        stream.insert(stream.end(), 40, 0xFF);
        stream.insert(stream.end(), static_cast<size_t>(tail), 0x0A);
        // Gaps longer than the settle interval: only the padding rule keeps the reader waiting.
        std::vector<PeerChunk> chunks;
        for (size_t at = 0; at < stream.size(); at += 40)
            chunks.push_back({Slice(stream, at, at + 40), at == 0 ? 0 : 30});
        AnswerWith(chunks);
        const Outcome out = Run(Frame(0x33), -1, 200, 20);
        EXPECT_EQ(out.result, kResultOk) << tail;
        EXPECT_EQ(out.bytes, stream) << tail;
    }
}

TEST_F(ComAccessTest, ReceptionStopsAtTheReceiveLimit)
{
    std::vector<uint8_t> flood(30000, 0x5A);
    flood[0] = link::kStartByte;
    flood[1] = kAxis;
    flood[2] = request[link::kOffsetCommand];
    struct Case {
        const char *name;
        int expected;
        bool padding;
    };
    const Case cases[] = {{"unknown length", -1, false}, {"longer than the limit", 30000, false},
                          {"padding mode never satisfied", -1, true}};
    for (const Case &c : cases) {
        // The device is still sending when the reader stops: every case gets a fresh one.
        port.Close();
        ReplaceDevice(port.Ports());
        port.SetPaddingMode(c.padding);
        AnswerWith({{flood, 0}});
        const Outcome out = Run(request, c.expected, 200, 20);
        EXPECT_EQ(out.result, kResultOk) << c.name;
        ASSERT_EQ(out.bytes.size(), static_cast<size_t>(link::kReceiveLimit)) << c.name;
        EXPECT_EQ(out.bytes, Slice(flood, 0, link::kReceiveLimit)) << c.name;
    }
}

TEST_F(ComAccessTest, TimeoutCountFollowsTheExchanges)
{
    Script([](const std::vector<uint8_t> &) { return PeerAction::Silent(); });
    EXPECT_EQ(Run(request, 8, 200).result, kResultTimeout);
    EXPECT_EQ(port.TimeoutWarning().Count(), 1);
    EXPECT_EQ(Run(request, 8, 30).result, kResultTimeout);
    EXPECT_EQ(port.TimeoutWarning().Count(), 1);
    AnswerWith({{reply8, 0}});
    EXPECT_EQ(Run(request, 8, 100).result, kResultOk);
    EXPECT_EQ(port.TimeoutWarning().Count(), 0);
}

TEST_F(ComAccessTest, TenTimeoutsInARowAtTwoHundredMsRaiseTheWarningOnce)
{
    int warnings = 0;
    port.SetHooks({[&warnings] { ++warnings; }, {}, {}});
    // A device that goes away while its reply is awaited fails the receive (-202) at once, so
    // ten failed receives at 200 ms take milliseconds, not two seconds.
    auto failReceive = [this] {
        port.Close();
        ReplaceDevice(port.Ports());
        Script([](const std::vector<uint8_t> &) { return PeerAction::Vanish(); });
        return Run(request, 8, 200).result;
    };
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(failReceive(), kResultTimeout) << i;
    EXPECT_EQ(port.TimeoutWarning().Count(), 9);
    port.Close();
    ReplaceDevice(port.Ports());
    AnswerWith({{reply8, 0}});
    EXPECT_EQ(Run(request, 8, 200).result, kResultOk);
    EXPECT_EQ(port.TimeoutWarning().Count(), 0);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(failReceive(), kResultTimeout) << i;
    EXPECT_EQ(warnings, 0);
    EXPECT_EQ(failReceive(), kResultTimeout);
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(port.TimeoutWarning().Count(), 0);
}

TEST_F(ComAccessTest, TextCommandSendsALineAndReadsOneBack)
{
    const std::string answer = "OK 1.02\r\n";
    AnswerWith({{std::vector<uint8_t>(answer.begin(), answer.end()), 0}});
    std::string text;
    EXPECT_EQ(port.TextCommand("VER", &text), kResultOk);
    EXPECT_EQ(text, "OK 1.02");
    ASSERT_EQ(m_peer->RequestCount(), 1);
    EXPECT_EQ(m_peer->Requests()[0], (std::vector<uint8_t>{'V', 'E', 'R', '\r', '\n'}));
}

TEST_F(ComAccessTest, NoPortNumberOrBadArgumentsTouchNothing)
{
    CComAccess fresh;
    std::vector<uint8_t> reply(link::kReceiveLimit);
    int count = 5;
    EXPECT_EQ(fresh.Exchange(request.data(), 7, reply.data(), nullptr, &count, 8, 30, 20), kResultNoPort);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(fresh.IsOpen(), 0);

    count = 5;
    EXPECT_EQ(port.Exchange(request.data(), 0, reply.data(), nullptr, &count, 8, 30, 20), kResultBadReply);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(port.Exchange(nullptr, 7, reply.data(), nullptr, &count, 8, 30, 20), kResultBadReply);
    EXPECT_EQ(port.Exchange(request.data(), 7, nullptr, nullptr, &count, 8, 30, 20), kResultBadReply);
    EXPECT_EQ(port.Exchange(request.data(), 7, reply.data(), nullptr, nullptr, 8, 30, 20), kResultBadReply);
    // A request that did go out is seen by the device: nothing of the refused ones arrived before it.
    AnswerWith({{reply8, 0}});
    EXPECT_EQ(Run(request, 8).result, kResultOk);
    ASSERT_EQ(m_peer->RequestCount(), 1);
    EXPECT_EQ(m_peer->Requests()[0], request);
}

TEST_F(ComAccessTest, TraceLogsEveryExchangeWhenTracingIsOn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::filesystem::create_directory(folder + "/log");
    port.SetTrace(true, folder);
    port.TraceLog().SetClock([] { return CTraceLog::LocalTime{2026, 1, 2, 9, 5, 7}; });

    const std::vector<uint8_t> readType = {0xEF, 0x00, 0x01, 0x10, 0x21, 0x0D, 0x0A};
    const std::vector<uint8_t> typeReply = frame::Build(0x00, 0x01, {0x00, 0x02});
    AnswerWith({{typeReply, 0}});
    EXPECT_EQ(Run(readType, 9).result, kResultOk);
    Script([](const std::vector<uint8_t> &) { return PeerAction::Silent(); });
    EXPECT_EQ(Run(request, 8, 30).result, kResultTimeout);

    EXPECT_EQ(ReadFile(folder + "/log/20260102.log"),
              "09:05:07 TX:EF 00 01 10 21 0D 0A \n09:05:07 RX:EF 00 01 00 02 17 72 0D 0A \n\n");
    EXPECT_EQ(ReadFile(folder + "/log/20260102_OnTimer.log"), "09:05:07 TX:EF 02 15 42 94 0D 0A \n09:05:07 RX:\n\n");

    // A request that cannot go out is logged without a reply line.
    port.Close();
    port.Ports().SetPath(kPort, "/dev/kvl-no-such-device");
    EXPECT_EQ(Run(readType, 9).result, kResultOpenFailed);
    EXPECT_EQ(ReadFile(folder + "/log/20260102.log"),
              "09:05:07 TX:EF 00 01 10 21 0D 0A \n09:05:07 RX:EF 00 01 00 02 17 72 0D 0A \n\n"
              "09:05:07 TX:EF 00 01 10 21 0D 0A \n");
}

} // namespace
} // namespace kvl::test
