// Waveform capture commands: scales, the start request, and the batches of ReadWaveData with one
// and two channels, empty batches and replies that do not hold what their header announces.
#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl::test {
namespace {

// Reply data of a batch: header word, first-sample index, the two bases, then the samples.
Bytes BatchData(uint16_t header, int32_t firstIndex, int32_t commandBase, int32_t actualBase,
                const std::vector<int16_t> &samples)
{
    Bytes data;
    frame::PutU16(data, header);
    frame::PutI32(data, firstIndex);
    frame::PutI32(data, commandBase);
    frame::PutI32(data, actualBase);
    for (int16_t s : samples)
        frame::PutU16(data, static_cast<uint16_t>(s));
    return data;
}

WaveBatch Preset()
{
    WaveBatch b;
    b.firstIndex = -11;
    b.commandBase = -22;
    b.actualBase = -33;
    b.count = -1;
    return b;
}

class WaveformCommands : public ::testing::Test {
protected:
    FakeComm comm;
    CServoCommands commands{&comm};
};

TEST_F(WaveformCommands, ScalesDivideEachValue)
{
    Bytes data;
    for (int32_t v : {2000000000, 1500000, -3000000, 250000000})
        frame::PutI32(data, v);
    comm.Answer(ReplyFrame(1, 0x35, data));
    WaveScales s;
    EXPECT_EQ(commands.ReadWaveScales(s, 1, 30), -200);
    EXPECT_DOUBLE_EQ(s.timeStep, 2.0);
    EXPECT_DOUBLE_EQ(s.actualPositionScale, 1.5);
    EXPECT_DOUBLE_EQ(s.commandPositionScale, -3.0);
    EXPECT_DOUBLE_EQ(s.speedScale, 2.5);
    EXPECT_EQ(comm.calls.back().timeoutMs, 30);
}

TEST_F(WaveformCommands, StartAndStopRequestsAreGolden)
{
    comm.Answer(ReplyFrame(1, 0x36, {0x01}));
    uint8_t status = 0;
    EXPECT_EQ(commands.StartWaveCapture(0x1234, 0x19, status, 1, 30), -200);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(comm.calls.back().request, (Bytes{0xEF, 0x01, 0x36, 0x34, 0x12, 0x19, 0xF4, 0x1C, 0x0D, 0x0A}));
    comm.Answer(ReplyFrame(1, 0x38, {0x00}));
    status = 9;
    EXPECT_EQ(commands.StopWaveCapture(status, 1, 200), -200);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(comm.calls.back().request, frame::Build(1, 0x38));
}

TEST_F(WaveformCommands, FinishedEmptyBatchLeavesIndexAndBases)
{
    comm.Answer(ReplyFrame(1, 0x37, BatchData(0x8000, 500, 600, 700, {})));
    WaveBatch b = Preset();
    EXPECT_EQ(commands.ReadWaveData(1, b, 1, 80), -200);
    EXPECT_TRUE(b.finished);
    EXPECT_EQ(b.count, 0);
    EXPECT_EQ(b.firstIndex, -11);
    EXPECT_EQ(b.commandBase, -22);
    EXPECT_EQ(b.actualBase, -33);
    EXPECT_TRUE(b.channel1.empty());
    const FakeComm::Call &call = comm.calls.back();
    EXPECT_EQ(call.request, (Bytes{0xEF, 0x01, 0x37, 0x46, 0xB4, 0x0D, 0x0A}));
    EXPECT_EQ(call.expected, -1);
    EXPECT_EQ(call.settleMs, 100);
    EXPECT_EQ(call.timeoutMs, 80);
}

TEST_F(WaveformCommands, TwoChannelsSplitPairsAndHalveCountAndIndex)
{
    std::vector<int16_t> samples;
    for (int k = 0; k < 50; ++k) {
        samples.push_back(static_cast<int16_t>(k));
        samples.push_back(static_cast<int16_t>(-1000 - k));
    }
    const Bytes reply = ReplyFrame(2, 0x37, BatchData(0x0064, 1000, -5, 77, samples));
    ASSERT_EQ(reply.size(), 221u);
    comm.Answer(reply);
    WaveBatch b = Preset();
    EXPECT_EQ(commands.ReadWaveData(2, b, 2, 80), -200);
    EXPECT_FALSE(b.finished);
    EXPECT_EQ(b.count, 50);
    EXPECT_EQ(b.firstIndex, 500);
    EXPECT_EQ(b.commandBase, -5);
    EXPECT_EQ(b.actualBase, 77);
    ASSERT_EQ(b.channel1.size(), 50u);
    ASSERT_EQ(b.channel2.size(), 50u);
    for (int k = 0; k < 50; ++k) {
        EXPECT_EQ(b.channel1[k], k);
        EXPECT_EQ(b.channel2[k], -1000 - k);
    }
}

TEST_F(WaveformCommands, OneChannelKeepsEverySample)
{
    comm.Answer(ReplyFrame(1, 0x37, BatchData(0x8003, 7, 1, 2, {-1, 32767, -32768})));
    WaveBatch b = Preset();
    EXPECT_EQ(commands.ReadWaveData(1, b, 1, 80), -200);
    EXPECT_TRUE(b.finished);
    EXPECT_EQ(b.count, 3);
    EXPECT_EQ(b.firstIndex, 7);
    EXPECT_EQ(b.channel1, (std::vector<int16_t>{-1, 32767, -32768}));
    EXPECT_TRUE(b.channel2.empty());
}

TEST_F(WaveformCommands, OddCountWithTwoChannelsDropsTheLoneSample)
{
    comm.Answer(ReplyFrame(1, 0x37, BatchData(0x0003, 9, 0, 0, {1, 2, 3})));
    WaveBatch b = Preset();
    EXPECT_EQ(commands.ReadWaveData(2, b, 1, 80), -200);
    EXPECT_EQ(b.count, 1);
    EXPECT_EQ(b.firstIndex, 4);
    EXPECT_EQ(b.channel1, std::vector<int16_t>{1});
    EXPECT_EQ(b.channel2, std::vector<int16_t>{2});
}

TEST_F(WaveformCommands, EmptyBatchesKeepTheLastIndex)
{
    // A full empty batch and one that carries only the header word.
    for (const Bytes &data : {BatchData(0x0000, 99, 99, 99, {}), Bytes{0x00, 0x00}}) {
        comm.Answer(ReplyFrame(1, 0x37, data));
        WaveBatch b = Preset();
        b.channel1 = {5};
        EXPECT_EQ(commands.ReadWaveData(2, b, 1, 80), -200);
        EXPECT_FALSE(b.finished);
        EXPECT_EQ(b.count, 0);
        EXPECT_EQ(b.firstIndex, -11);
        EXPECT_TRUE(b.channel1.empty());
    }
}

TEST_F(WaveformCommands, LargestBatchTheTransportCanDeliver)
{
    const int count = 13557;
    std::vector<int16_t> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(i);
    const Bytes reply = ReplyFrame(1, 0x37, BatchData(static_cast<uint16_t>(count), 0, 0, 0, samples));
    ASSERT_LE(reply.size(), 27135u);
    comm.Answer(reply);
    WaveBatch b;
    EXPECT_EQ(commands.ReadWaveData(1, b, 1, 80), -200);
    ASSERT_EQ(b.channel1.size(), static_cast<size_t>(count));
    EXPECT_EQ(b.channel1.back(), count - 1);
}

TEST_F(WaveformCommands, DamagedBatchesAreRefusedAndLeaveTheBatch)
{
    const Bytes good = ReplyFrame(1, 0x37, BatchData(0x0002, 4, 5, 6, {10, 20}));
    Bytes noCrLf = good;
    noCrLf.back() = 0;
    struct Case {
        const char *what;
        Bytes reply;
        int exchange;
        int result;
    };
    const std::vector<Case> table{
        {"bad CRC", WithBadCrc(good), -200, -205},
        {"another axis", ReplyFrame(2, 0x37, BatchData(0x0002, 4, 5, 6, {10, 20})), -200, -205},
        {"wrong echo", ReplyFrame(1, 0x38, BatchData(0x0002, 4, 5, 6, {10, 20})), -200, -205},
        {"no CR LF", noCrLf, -200, -205},
        {"one byte", Bytes{0xEF}, -200, -205},
        {"no header word", ReplyFrame(1, 0x37, {0x00}), -200, -205},
        {"fewer samples than announced", ReplyFrame(1, 0x37, BatchData(0x0064, 4, 5, 6, {10, 20})), -200, -205},
        {"more samples than announced", ReplyFrame(1, 0x37, BatchData(0x0001, 4, 5, 6, {10, 20})), -200, -205},
        {"announced samples without bases", ReplyFrame(1, 0x37, {0x02, 0x00}), -200, -205},
        {"silent controller", {}, -202, -202}};
    for (const Case &c : table) {
        SCOPED_TRACE(c.what);
        comm.Answer(c.reply, c.exchange);
        WaveBatch b = Preset();
        b.channel1 = {42};
        EXPECT_EQ(commands.ReadWaveData(1, b, 1, 80), c.result);
        EXPECT_EQ(b.count, -1);
        EXPECT_EQ(b.firstIndex, -11);
        EXPECT_EQ(b.channel1, std::vector<int16_t>{42});
    }
}

TEST_F(WaveformCommands, ChannelCountOutsideOneOrTwoIsRefusedBeforeSending)
{
    for (int channels : {0, 3, -1}) {
        WaveBatch b = Preset();
        EXPECT_EQ(commands.ReadWaveData(channels, b, 1, 80), -205);
        EXPECT_EQ(b.count, -1);
    }
    EXPECT_TRUE(comm.calls.empty());
}

} // namespace
} // namespace kvl::test
