// A capture through the real command layer: the request bytes and timeouts of the four commands,
// replies built as the controller sends them, and the run saved as CSV at the end.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "base/TextNumber.h"
#include "support/CommStub.h"
#include "link/CComm.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"
#include "waveform/CServoWaveSource.h"
#include "waveform/CWaveCapture.h"
#include "waveform/CWaveCsv.h"
#include "waveform/CWaveDisplay.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl::test {
namespace {

using Bytes = std::vector<uint8_t>;

// A facade that records each exchange and answers from a script; a missing answer is -202.
class ScriptedComm : public test::CommStub {
public:
    struct Call {
        Bytes request;
        int expected = 0;
        int timeoutMs = 0;
        int settleMs = 0;
    };
    std::vector<Call> calls;
    std::deque<std::pair<Bytes, int>> answers;

    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received, int expected,
                 int timeoutMs, int settleMs) override
    {
        calls.push_back({Bytes(request, request + requestLength), expected, timeoutMs, settleMs});
        *received = 0;
        if (answers.empty())
            return kResultTimeout;
        auto [bytes, result] = answers.front();
        answers.pop_front();
        if (!bytes.empty())
            std::memcpy(reply, bytes.data(), bytes.size());
        *received = static_cast<int>(bytes.size());
        return result;
    }
};

constexpr uint8_t kAxis = 3;

Bytes Reply(uint8_t command, const Bytes &data) { return frame::Build(kAxis, command, data); }

Bytes WaveData(uint16_t header, int32_t firstIndex, int32_t commandBase, int32_t actualBase,
               const std::vector<int16_t> &samples)
{
    Bytes data;
    frame::PutU16(data, header);
    frame::PutI32(data, firstIndex);
    frame::PutI32(data, commandBase);
    frame::PutI32(data, actualBase);
    for (int16_t sample : samples)
        frame::PutU16(data, static_cast<uint16_t>(sample));
    return Reply(0x37, data);
}

CWaveformSettings::Values Divisions()
{
    CWaveformSettings::Values values;
    values.time = 100;
    values.position = 1;
    values.speed = 10;
    values.current = 100;
    return values;
}

TEST(ServoWaveSourceTest, ACaptureRunOnTheWire)
{
    ScriptedComm comm;
    CServoCommands commands(&comm);
    CServoWaveSource source(&commands, kAxis);
    CWaveSeriesList list;
    CWaveDisplay display(Divisions());
    CWaveCapture capture(source, list, display);

    Bytes scales;
    for (int32_t raw : {100000, 1000, 2000, 50000000})
        frame::PutI32(scales, raw);
    comm.answers.push_back({Reply(0x35, scales), kResultOk});
    comm.answers.push_back({Reply(0x36, {0x01}), kResultOk});
    comm.answers.push_back({{}, kResultTimeout});   // the controller falls silent once
    // Header 0x0004: two pairs; first-sample index 1000 counts samples of both channels.
    comm.answers.push_back({WaveData(0x0004, 1000, 0, 0, {2, -3, 4, -5}), kResultOk});
    comm.answers.push_back({WaveData(0x8000, 0, 0, 0, {}), kResultOk});
    comm.answers.push_back({Reply(0x38, {0x01}), kResultOk});

    ASSERT_EQ(capture.Start(10), CWaveCapture::StartResult::kStarted);
    EXPECT_EQ(capture.Poll(), CWaveCapture::PollResult::kRetry);
    EXPECT_EQ(capture.LastResult(), kResultTimeout);
    EXPECT_EQ(capture.Poll(), CWaveCapture::PollResult::kSamples);
    EXPECT_EQ(capture.Poll(), CWaveCapture::PollResult::kFinished);

    struct Expected {
        Bytes request;
        int expected;
        int timeoutMs;
        int settleMs;
    };
    const Expected expected[] = {
        {{0xEF, 0x03, 0x35, 0x66, 0xF6, 0x0D, 0x0A}, 23, 30, 20},
        {{0xEF, 0x03, 0x36, 0x0A, 0x00, 0x18, 0x5F, 0x88, 0x0D, 0x0A}, 8, 30, 20},
        {{0xEF, 0x03, 0x37, 0x46, 0xB4, 0x0D, 0x0A}, -1, 80, 100},
        {{0xEF, 0x03, 0x37, 0x46, 0xB4, 0x0D, 0x0A}, -1, 80, 100},
        {{0xEF, 0x03, 0x37, 0x46, 0xB4, 0x0D, 0x0A}, -1, 80, 100},
        {{0xEF, 0x03, 0x38, 0xB7, 0x5B, 0x0D, 0x0A}, 8, 200, 20},
    };
    ASSERT_EQ(comm.calls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(comm.calls[i].request, expected[i].request);
        EXPECT_EQ(comm.calls[i].expected, expected[i].expected);
        EXPECT_EQ(comm.calls[i].timeoutMs, expected[i].timeoutMs);
        EXPECT_EQ(comm.calls[i].settleMs, expected[i].settleMs);
    }

    // The window's first modes: CH0 actual speed (0x10, 0.5 per count) comes second on the wire,
    // after CH1's actual current (0x08); the halved index 500 puts the samples at 501 and 502 ms.
    EXPECT_EQ(CWaveCsv::Serialise(list.Live(0), list.Live(1), CCodePageText("Time", kCodePageWestern)),
              "No,Time,CH0-4,CH1-7\r\n0,501.00,-1.50,2.00\r\n1,502.00,-2.50,4.00\r\n");
    EXPECT_FALSE(capture.IsRunning());
}

TEST(ServoWaveSourceTest, AMalformedBatchIsRetried)
{
    ScriptedComm comm;
    CServoCommands commands(&comm);
    CServoWaveSource source(&commands, kAxis);
    CWaveSeriesList list;
    list.Live(1).SetMode(wave::kModeNone);
    CWaveDisplay display(Divisions());
    CWaveCapture capture(source, list, display);
    Bytes scales;
    for (int32_t raw : {100000, 1000, 1000, 1000000})
        frame::PutI32(scales, raw);
    comm.answers.push_back({Reply(0x35, scales), kResultOk});
    comm.answers.push_back({Reply(0x36, {0x01}), kResultOk});
    Bytes corrupted = WaveData(0x0002, 0, 0, 0, {100, 200});
    corrupted[corrupted.size() - 3] ^= 0xFF;   // CRC low byte
    comm.answers.push_back({corrupted, kResultOk});
    comm.answers.push_back({WaveData(0x0002, 0, 0, 0, {100, 200}), kResultOk});

    ASSERT_EQ(capture.Start(10), CWaveCapture::StartResult::kStarted);
    ASSERT_EQ(capture.Channels(), 1);
    EXPECT_EQ(capture.Poll(), CWaveCapture::PollResult::kRetry);
    EXPECT_EQ(capture.LastResult(), kResultBadReply);
    EXPECT_EQ(capture.ReceivedCount(), 0);
    EXPECT_EQ(capture.Poll(), CWaveCapture::PollResult::kSamples);
    ASSERT_EQ(list.Live(0).Count(), 2);
    EXPECT_DOUBLE_EQ(list.Live(0).Point(1).y, 2.0);   // speed scale 0.01 per count
    EXPECT_EQ(source.Axis(), kAxis);
}

} // namespace
} // namespace kvl::test
