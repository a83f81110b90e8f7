// Auto-tuning commands: start a tuning run on one step and read its progress.
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

constexpr size_t kDataQualityState = 0;
constexpr size_t kDataTuningState = 1;
constexpr size_t kDataValue1 = 2;
constexpr size_t kDataValue2 = 4;

} // namespace

int CServoCommands::StartAutoTuning(uint16_t step, uint8_t direction, uint8_t quality, uint8_t axis,
                                    int timeoutMs)
{
    std::vector<uint8_t> payload;
    frame::PutU16(payload, step);
    payload.push_back(direction);
    payload.push_back(quality);
    return AcknowledgedCommand(cmd::kCmdStartAutoTuning, payload, cmd::kReplyLenStartAutoTuning, Refusal::kApplies,
                               axis, timeoutMs);
}

int CServoCommands::ReadAutoTuningStatus(AutoTuningStatus &status, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadAutoTuningStatus, {}, cmd::kReplyLenReadAutoTuningStatus,
                                timeoutMs, Refusal::kApplies, reply);
    if (result != kResultOk)
        return result;
    const uint8_t *d = reply.Data();
    status.qualityState = d[kDataQualityState];
    status.tuningState = d[kDataTuningState];
    status.value1 = frame::GetI16(d + kDataValue1);
    status.value2 = frame::GetI16(d + kDataValue2);
    return kResultOk;
}

} // namespace kvl
