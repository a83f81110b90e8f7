// The communication facade: cleaning of the received bytes, the busy guard against a nested
// exchange, modes, port handling and the result codes it passes on.
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>

#include "PeerTest.h"
#include "link/CComAccess.h"
#include "link/CCommImplement.h"
#include "link/ResultCode.h"
#include "link/SocketBase.h"

namespace kvl::test {
namespace {

static_assert(link::kReceiveLimit == frame::kReceiveLimit, "transport and frame layer agree on the limit");

// The bytes as the trace log writes them: "EF 02 15 ".
std::string Hex(const std::vector<uint8_t> &bytes)
{
    std::string text;
    char pair[4];
    for (uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", b);
        text += pair;
    }
    return text;
}

// A waveform-data reply of `samples` samples (2 bytes each, plus 21) whose sample bytes are 0x44.
std::vector<uint8_t> WaveReply(int samples)
{
    std::vector<uint8_t> wave(static_cast<size_t>(samples * 2 + 21), 0x44);
    wave[0] = 0xEF;
    wave[1] = 2;   // the fixture's axis
    wave[2] = 0x37;
    wave[3] = static_cast<uint8_t>(samples & 0xFF);
    wave[4] = static_cast<uint8_t>(samples >> 8);
    wave[wave.size() - 2] = 0x0D;
    wave[wave.size() - 1] = 0x0A;
    return wave;
}

TEST(CommCleaning, DropsNoiseBeforeTheStartAndBytesAfterTheLastCrLf)
{
    const std::vector<uint8_t> reply8 = frame::Build(0x02, 0x15, {0x01});
    struct Case {
        const char *name;
        std::vector<uint8_t> raw;
        std::vector<uint8_t> want;
    };
    const Case cases[] = {
        {"noise before, garbage after", {0x00, 0x00, 0xEF, 0x02, 0x15, 0x01, reply8[4], reply8[5], 0x0D, 0x0A, 0xFF},
         reply8},
        {"clean frame", reply8, reply8},
        {"no start byte", {0x00, 0x0D, 0x0A, 0x11}, {}},
        {"nothing", {}, {}},
        {"start without CR LF", {0xEF, 0x02, 0x15, 0x01}, {0xEF}},
        {"start byte alone", {0x33, 0xEF}, {0xEF}},
        {"ends at the last CR LF", {0xEF, 0x0D, 0x0A, 0x05, 0x0D, 0x0A, 0x07, 0x08}, {0xEF, 0x0D, 0x0A, 0x05, 0x0D, 0x0A}},
        {"second start byte is data", {0x01, 0xEF, 0xEF, 0x0D, 0x0A}, {0xEF, 0xEF, 0x0D, 0x0A}},
        {"lone CR at the end", {0xEF, 0x01, 0x0D}, {0xEF}},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> out(c.raw.size() + 1, 0xAA);
        const int kept = CCommImplement::CleanReply(c.raw.data(), static_cast<int>(c.raw.size()), out.data());
        out.resize(static_cast<size_t>(kept));
        EXPECT_EQ(out, c.want) << c.name;
    }
}

class CommImplementTest : public PeerTest {
protected:
    void SetUp() override
    {
        PeerTest::SetUp();
        PointAtPeer(comm.Ports());
        ASSERT_EQ(comm.OpenSerial(kPort, kSpeed), 1);
    }

    int Run(const std::vector<uint8_t> &request, int expected, int timeoutMs = 200)
    {
        bytes.assign(link::kReceiveLimit, 0);
        int count = -1;
        const int result = comm.Exchange(request.data(), static_cast<int>(request.size()), bytes.data(), &count,
                                         expected, timeoutMs, 20);
        EXPECT_GE(count, 0);
        bytes.resize(static_cast<size_t>(std::max(count, 0)));
        return result;
    }

    CCommImplement comm;
    std::vector<uint8_t> bytes;
    const std::vector<uint8_t> request = Frame(0x15);
    const std::vector<uint8_t> reply8 = Frame(0x15, {0x01});
};

TEST_F(CommImplementTest, CleansWhatTheDeviceSentWhateverTheResult)
{
    struct Case {
        const char *name;
        std::vector<uint8_t> sent;
        int timeoutMs;
        std::vector<uint8_t> want;
    };
    const Case cases[] = {
        {"noise and garbage", Join({{0x00, 0x00}, reply8, {0xFF}}), 200, reply8},
        {"line noise only", {0x00, 0x13, 0x0D, 0x0A, 0x7F}, 100, {}},
        {"start and three bytes", {0xEF, 0x02, 0x15, 0x01}, 100, {0xEF}},
    };
    for (const Case &c : cases) {
        // Bytes after the frame may still be in the line: every case gets a fresh device.
        comm.Close();
        ReplaceDevice(comm.Ports());
        AnswerWith({{c.sent, 0}});
        EXPECT_EQ(Run(request, 8, c.timeoutMs), kResultOk) << c.name;
        EXPECT_EQ(bytes, c.want) << c.name;
    }
}

TEST_F(CommImplementTest, ANestedExchangeIsRefusedAndSendsNothing)
{
    const std::vector<uint8_t> wave = WaveReply(100);
    Script([&](const std::vector<uint8_t> &req) {
        if (req[2] == 0x37)
            return PeerAction::Chunks({{std::vector<uint8_t>(wave.begin(), wave.begin() + 20), 0},
                                       {std::vector<uint8_t>(wave.begin() + 20, wave.end()), 30}});
        return PeerAction::Reply(reply8);
    });
    // A timer that fires while the waveform read waits for bytes.
    int nestedResult = 0;
    int nestedCount = -1;
    bool nestedDone = false;
    bool busyMeanwhile = false;
    comm.SetHooks({{}, [&] {
        if (nestedDone)
            return;
        nestedDone = true;
        busyMeanwhile = comm.Busy();
        std::vector<uint8_t> nestedReply(link::kReceiveLimit);
        nestedResult = comm.Exchange(request.data(), 7, nestedReply.data(), &nestedCount, 8, 200, 20);
    }, {}});
    EXPECT_EQ(Run(Frame(0x37, {0x00}), -1, 200), kResultOk);
    EXPECT_EQ(bytes, wave);
    EXPECT_TRUE(nestedDone);
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_EQ(nestedResult, kResultBadReply);
    EXPECT_EQ(nestedCount, 0);
    EXPECT_FALSE(comm.Busy());

    // The next exchange is the second request the device sees: the nested one never went out.
    comm.SetHooks({});
    EXPECT_EQ(Run(request, 8), kResultOk);
    EXPECT_EQ(bytes, reply8);
    const auto seen = m_peer->Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], Frame(0x37, {0x00}));
    EXPECT_EQ(seen[1], request);
}

TEST_F(CommImplementTest, BusyFlagIsClearedAfterEveryExchange)
{
    Script([](const std::vector<uint8_t> &) { return PeerAction::Silent(); });
    EXPECT_EQ(Run(request, 8, 30), kResultTimeout);
    EXPECT_FALSE(comm.Busy());
    AnswerWith({{reply8, 0}});
    EXPECT_EQ(Run(request, 8), kResultOk);
    EXPECT_FALSE(comm.Busy());
    EXPECT_EQ(m_peer->RequestCount(), 2);
}

TEST_F(CommImplementTest, ARefusedNestedExchangeIsTracedWithItsReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::filesystem::create_directory(folder + "/log");
    comm.Serial().TraceLog().SetClock([] { return CTraceLog::LocalTime{2026, 1, 2, 9, 5, 7}; });
    const std::vector<uint8_t> wave = WaveReply(5);
    const std::vector<uint8_t> waveRequest = Frame(0x37, {0x00});
    // A status read (a polled command, traced to its own file) asked while the waveform read waits.
    auto waveReadWithNestedStatusRead = [&] {
        int nestedResult = 0;
        comm.SetHooks({{}, [&] {
            if (nestedResult != 0)
                return;
            std::vector<uint8_t> nestedReply(link::kReceiveLimit);
            int nestedCount = -1;
            nestedResult = comm.Exchange(request.data(), 7, nestedReply.data(), &nestedCount, 8, 200, 20);
        }, {}});
        AnswerWith({{std::vector<uint8_t>(wave.begin(), wave.begin() + 10), 0},
                    {std::vector<uint8_t>(wave.begin() + 10, wave.end()), 30}});
        EXPECT_EQ(Run(waveRequest, -1, 200), kResultOk);
        comm.SetHooks({});
        return nestedResult;
    };

    comm.SetTrace(true, folder);
    EXPECT_EQ(waveReadWithNestedStatusRead(), kResultBadReply);
    EXPECT_EQ(ReadFile(folder + "/log/20260102_OnTimer.log"),
              "09:05:07 REFUSED:" + Hex(request) + "(another exchange is in progress)\n");
    // The reply of the exchange in progress still goes to its own request's file.
    EXPECT_EQ(ReadFile(folder + "/log/20260102.log"),
              "09:05:07 TX:" + Hex(waveRequest) + "\n09:05:07 RX:" + Hex(wave) + "\n\n");

    // Without tracing a refusal is not written.
    comm.SetTrace(false, folder);
    std::filesystem::remove(folder + "/log/20260102_OnTimer.log");
    EXPECT_EQ(waveReadWithNestedStatusRead(), kResultBadReply);
    EXPECT_FALSE(std::filesystem::exists(folder + "/log/20260102_OnTimer.log"));
}

TEST_F(CommImplementTest, NoPortConfiguredAndPortsThatCannotBeOpened)
{
    CCommImplement fresh;
    int count = -1;
    std::vector<uint8_t> out(link::kReceiveLimit);
    EXPECT_EQ(fresh.Exchange(request.data(), 7, out.data(), &count, 8, 200, 20), kResultNoPort);
    EXPECT_EQ(count, 0);

    fresh.Ports().SetPath(5, "/dev/kvl-no-such-device");
    EXPECT_EQ(fresh.OpenSerial(5, kSpeed), 0);
    EXPECT_EQ(fresh.IsOpen(), 0);
    EXPECT_EQ(fresh.GetPort(), -1);
    EXPECT_EQ(fresh.Exchange(request.data(), 7, out.data(), &count, 8, 200, 20), kResultNoPort);

    // The open port goes away and its device cannot be reopened: -201 before anything is sent.
    comm.Close();
    comm.Ports().SetPath(kPort, "/dev/kvl-no-such-device");
    EXPECT_EQ(Run(request, 8), kResultOpenFailed);
    EXPECT_EQ(m_peer->RequestCount(), 0);
}

TEST_F(CommImplementTest, EachFacadeOpensPortNumbersThroughItsOwnTable)
{
    // A second facade in the same process maps the same number to another device.
    PtyPeer other([](const std::vector<uint8_t> &req) {
        return PeerAction::Reply(frame::Build(req[1], req[2], {0x02}));
    });
    ASSERT_TRUE(other.Start());
    CCommImplement second;
    EXPECT_TRUE(second.Ports().Entries().empty()) << "a new facade knows no other facade's ports";
    second.Ports().SetPath(kPort, other.Path());
    EXPECT_EQ(comm.Ports().GetPath(kPort), m_peer->Path());

    // Both reopen the same number and each reaches its own device.
    comm.Close();
    ASSERT_EQ(comm.OpenSerial(kPort, kSpeed), 1);
    ASSERT_EQ(second.OpenSerial(kPort, kSpeed), 1);
    AnswerWith({{reply8, 0}});
    EXPECT_EQ(Run(request, 8), kResultOk);
    EXPECT_EQ(bytes, reply8);
    int count = -1;
    std::vector<uint8_t> out(link::kReceiveLimit);
    EXPECT_EQ(second.Exchange(request.data(), static_cast<int>(request.size()), out.data(), &count, 8, 200, 20),
              kResultOk);
    out.resize(static_cast<size_t>(std::max(count, 0)));
    EXPECT_EQ(out, Frame(0x15, {0x02}));
    EXPECT_EQ(m_peer->RequestCount(), 1);
    EXPECT_EQ(other.RequestCount(), 1);
    second.Close();
    other.Stop();
}

TEST_F(CommImplementTest, OpenSerialAlwaysReopens)
{
    EXPECT_EQ(comm.GetPort(), kPort);
    // Reopening the open port applies the new speed: it was closed first.
    ASSERT_EQ(comm.OpenSerial(kPort, 57600), 1);
    EXPECT_EQ(m_peer->SlaveSpeed(), 57600);
    AnswerWith({{reply8, 0}});
    EXPECT_EQ(Run(request, 8), kResultOk);
    comm.Close();
    EXPECT_EQ(comm.IsOpen(), 0);
    EXPECT_EQ(comm.GetPort(), -1);
    // The closed port is reopened by the next exchange with the stored number and speed.
    EXPECT_EQ(Run(request, 8), kResultOk);
    EXPECT_EQ(comm.IsOpen(), 1);
    EXPECT_EQ(m_peer->SlaveSpeed(), 57600);
}

TEST_F(CommImplementTest, OnlySerialModeExchanges)
{
    AnswerWith({{reply8, 0}});
    for (int mode : {CCommImplement::kModeTcp, 2, -1}) {
        comm.SetMode(mode);
        EXPECT_EQ(comm.GetMode(), mode);
        EXPECT_EQ(Run(request, 8), kResultRefused) << mode;
        EXPECT_TRUE(bytes.empty()) << mode;
        EXPECT_EQ(comm.IsOpen(), 0) << mode;
        EXPECT_EQ(comm.GetPort(), -1) << mode;
    }
    comm.SetMode(CCommImplement::kModeSerial);
    EXPECT_EQ(comm.IsOpen(), 1);
    EXPECT_EQ(m_peer->RequestCount(), 0);
    EXPECT_EQ(Run(request, 8), kResultOk);
}

TEST_F(CommImplementTest, TextPathsAndDeviceName)
{
    EXPECT_EQ(comm.DeviceModelName(), "QX-100-100AA");
    const std::string answer = "READY\r\n";
    AnswerWith({{std::vector<uint8_t>(answer.begin(), answer.end()), 0}});
    std::string text;
    EXPECT_EQ(comm.TextQuery("STAT", &text), kResultOk);
    EXPECT_EQ(text, "READY");
    EXPECT_EQ(comm.TextSend("GO"), kResultOk);

    comm.SetMode(CCommImplement::kModeTcp);
    EXPECT_EQ(comm.ConnectTcp("127.0.0.1", 9000), 0);
    EXPECT_EQ(comm.Tcp().LastError(), "ERROR: Connect Error!");
    EXPECT_EQ(comm.ConnectTcp("127.0.0.300", 9000), 0);
    EXPECT_EQ(comm.Tcp().LastError(), "ERROR: Set IP Error!");
    EXPECT_EQ(comm.TextSend("HELLO"), kResultWriteFailed);
    EXPECT_EQ(comm.Tcp().LastError(), "ERROR: Send 'HELLO;' Error!");
}

} // namespace
} // namespace kvl::test
