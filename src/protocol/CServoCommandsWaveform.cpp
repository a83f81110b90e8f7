// Waveform capture commands: scales, start, the sample batches and stop.
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

constexpr int kExpectedVariable = -1;   // the transport takes the length from the header word

// ReadWaveScales data: four int32 in reply order, each with its divisor.
constexpr double kTimeStepDivisor = 1e9;
constexpr double kActualPositionDivisor = 1e6;
constexpr double kCommandPositionDivisor = 1e6;
constexpr double kSpeedDivisor = 1e8;

// ReadWaveData data offsets.
constexpr size_t kDataHeader = 0;
constexpr size_t kDataFirstIndex = 2;
constexpr size_t kDataCommandBase = 6;
constexpr size_t kDataActualBase = 10;
constexpr int kReplyLenHeaderOnly = 9;  // a reply that carries only the header word

} // namespace

int CServoCommands::ReadWaveScales(WaveScales &scales, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadWaveScales, {}, cmd::kReplyLenReadWaveScales, timeoutMs,
                                Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    const uint8_t *d = reply.Data();
    scales.timeStep = frame::GetI32(d) / kTimeStepDivisor;
    scales.actualPositionScale = frame::GetI32(d + 4) / kActualPositionDivisor;
    scales.commandPositionScale = frame::GetI32(d + 8) / kCommandPositionDivisor;
    scales.speedScale = frame::GetI32(d + 12) / kSpeedDivisor;
    return kResultOk;
}

int CServoCommands::StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status, uint8_t axis,
                                     int timeoutMs)
{
    std::vector<uint8_t> payload;
    frame::PutU16(payload, sampling);
    payload.push_back(captureMask);
    return StatusCommand(cmd::kCmdStartWaveCapture, payload, status, axis, timeoutMs,
                         cmd::kReplyLenStartWaveCapture);
}

int CServoCommands::ReadWaveData(int channels, WaveBatch &batch, uint8_t axis, int timeoutMs)
{
    if (channels != 1 && channels != 2)
        return kResultBadReply;
    Reply reply;
    int result = Exchange(axis, cmd::kCmdReadWaveData, {}, kExpectedVariable, timeoutMs, cmd::kWaveSettleMs, reply);
    if (result != kResultOk)
        return result;
    // The length is whatever arrived; CR LF and the CRC are found from the received count.
    result = CheckFrame(reply, axis, cmd::kCmdReadWaveData, reply.count, Refusal::kNotApplicable);
    if (result != kResultOk)
        return result;
    if (reply.count < kReplyLenHeaderOnly)
        return kResultBadReply;
    const uint8_t *d = reply.Data();
    const uint16_t header = frame::GetU16(d + kDataHeader);
    const int count = header & cmd::kWaveCountMask;
    // Samples are taken only from a reply that holds exactly the announced number of them.
    if (count != 0 && reply.count != cmd::kReplyLenReadWaveDataEmpty + cmd::kWaveSampleBytes * count)
        return kResultBadReply;

    batch.finished = (header & cmd::kWaveFinishedBit) != 0;
    batch.channel1.clear();
    batch.channel2.clear();
    const uint8_t *samples = d + cmd::kWaveSamplesOffset;
    auto sample = [samples](int i) { return frame::GetI16(samples + cmd::kWaveSampleBytes * i); };
    if (channels == 1) {
        batch.count = count;
        for (int i = 0; i < count; ++i)
            batch.channel1.push_back(sample(i));
    } else {
        batch.count = count / 2;
        for (int k = 0; k < batch.count; ++k) {
            batch.channel1.push_back(sample(2 * k));
            batch.channel2.push_back(sample(2 * k + 1));
        }
    }
    if (count != 0) {
        const int32_t firstIndex = frame::GetI32(d + kDataFirstIndex);
        batch.firstIndex = channels == 2 ? firstIndex / 2 : firstIndex;
        batch.commandBase = frame::GetI32(d + kDataCommandBase);
        batch.actualBase = frame::GetI32(d + kDataActualBase);
    }
    return kResultOk;
}

int CServoCommands::StopWaveCapture(uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdStopWaveCapture, {}, status, axis, timeoutMs, cmd::kReplyLenStopWaveCapture);
}

} // namespace kvl
