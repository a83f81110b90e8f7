// The byte reader of the waveform-data reply (command 0x37): start-byte hunt, length from the
// sample count, inter-byte timeout, event pumping while it waits, the receive limit.
#include "PeerTest.h"
#include "link/CComAccess.h"
#include "link/CReplyReader.h"
#include "link/ResultCode.h"

namespace kvl::test {
namespace {

constexpr uint8_t kWaveCommand = 0x37;

// A waveform-data reply of `total` bytes whose header announces `countField` in bytes 3-4.
std::vector<uint8_t> WaveReply(uint16_t countField, size_t total)
{
    std::vector<uint8_t> bytes(total);
    for (size_t i = 0; i < total; ++i)
        bytes[i] = static_cast<uint8_t>(0x30 + i % 0x40);
    bytes[0] = 0xEF;
    bytes[1] = 2;
    bytes[2] = kWaveCommand;
    bytes[3] = static_cast<uint8_t>(countField & 0xFF);
    bytes[4] = static_cast<uint8_t>(countField >> 8);
    return bytes;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t> &v, size_t from, size_t to)
{
    return {v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(std::min(to, v.size()))};
}

class WaveReaderTest : public PeerTest {
protected:
    void SetUp() override
    {
        PeerTest::SetUp();
        PointAtPeer(port.Ports());
        ASSERT_EQ(port.Open(kPort, kSpeed), 1);
    }

    int Run(int expected, int timeoutMs, std::vector<uint8_t> *bytes)
    {
        const std::vector<uint8_t> request = Frame(kWaveCommand, {0x00});
        std::vector<uint8_t> reply(link::kReceiveLimit);
        int count = -1;
        const int result = port.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), nullptr,
                                         &count, expected, timeoutMs, 100);
        reply.resize(static_cast<size_t>(std::max(count, 0)));
        *bytes = reply;
        return result;
    }

    CComAccess port;
};

TEST_F(WaveReaderTest, LengthComesFromTheSampleCountWithBit15Ignored)
{
    const uint8_t cases[][5] = {{0xEF, 2, 0x37, 0x64, 0x00}, {0xEF, 2, 0x37, 0x64, 0x80}, {0xEF, 2, 0x37, 0, 0},
                                {0xEF, 2, 0x37, 0xFF, 0x7F}, {0xEF, 2, 0x37, 0xFF, 0xFF}, {0xEF, 2, 0x37, 0x00, 0x01}};
    const int want[] = {221, 221, 21, 65555, 65555, 533};
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(CReplyReader::WaveReplyLength(cases[i]), want[i]) << i;
}

TEST_F(WaveReaderTest, HundredSamplesCompleteAtExactly221Bytes)
{
    for (uint16_t countField : {uint16_t{0x0064}, uint16_t{0x8064}}) {
        // The extra bytes stay behind in the line: every case gets a fresh device.
        port.Close();
        ReplaceDevice(port.Ports());
        const std::vector<uint8_t> wave = WaveReply(countField, 221);
        const std::vector<uint8_t> noise = {0x00, 0x11, 0x0D, 0x0A};
        const std::vector<uint8_t> extra(8, 0xEF);
        AnswerWith({{Join({noise, Slice(wave, 0, 100)}), 0}, {Join({Slice(wave, 100, 221), extra}), 10}});
        std::vector<uint8_t> bytes;
        EXPECT_EQ(Run(-1, 200, &bytes), kResultOk) << countField;
        EXPECT_EQ(bytes, wave) << countField;
    }
}

TEST_F(WaveReaderTest, APositiveExpectedLengthEndsTheReply)
{
    const std::vector<uint8_t> wave = WaveReply(0x0064, 221);
    AnswerWith({{wave, 0}});
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Run(12, 200, &bytes), kResultOk);
    EXPECT_EQ(bytes, Slice(wave, 0, 12));
}

TEST_F(WaveReaderTest, TheTimeoutRestartsWithEveryByte)
{
    // Five gaps of 50 ms: together longer than the 150 ms timeout, each well inside it.
    const std::vector<uint8_t> wave = WaveReply(0x0032, 121);
    std::vector<PeerChunk> chunks;
    for (size_t at = 0; at < wave.size(); at += 25)
        chunks.push_back({Slice(wave, at, at + 25), at == 0 ? 0 : 50});
    AnswerWith(chunks);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Run(-1, 150, &bytes), kResultOk);
    EXPECT_EQ(bytes, wave);
}

TEST_F(WaveReaderTest, AGapLongerThanTheTimeoutEndsTheReadWithTimeout)
{
    const std::vector<uint8_t> wave = WaveReply(0x0064, 221);
    AnswerWith({{Slice(wave, 0, 50), 0}, {Slice(wave, 50, 221), 400}});
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Run(-1, 100, &bytes), kResultTimeout);
    EXPECT_EQ(bytes, Slice(wave, 0, 50));

    Script([](const std::vector<uint8_t> &) { return PeerAction::Silent(); });
    EXPECT_EQ(Run(-1, 60, &bytes), kResultTimeout);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(WaveReaderTest, PumpsEventsWhileItWaits)
{
    int pumps = 0;
    port.SetHooks({{}, [&pumps] { ++pumps; }, {}});
    const std::vector<uint8_t> wave = WaveReply(0x0064, 221);
    AnswerWith({{Slice(wave, 0, 10), 40}, {Slice(wave, 10, 221), 40}});
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Run(-1, 200, &bytes), kResultOk);
    EXPECT_EQ(bytes, wave);
    // Two quiet gaps of 40 ms, waited in slices of at most 5 ms: more than one pump per chunk.
    EXPECT_GE(pumps, 4);
}

TEST_F(WaveReaderTest, AReplyThatReachesTheReceiveLimitFails)
{
    const std::vector<uint8_t> wave = WaveReply(0x7FFF, 30000);
    AnswerWith({{wave, 0}});
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Run(-1, 200, &bytes), kResultTimeout);
    EXPECT_EQ(bytes, Slice(wave, 0, link::kReceiveLimit - 1));
}

} // namespace
} // namespace kvl::test
