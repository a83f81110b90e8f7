#include "cli/CRetryingComm.h"

#include <algorithm>
#include <array>

#include "link/ResultCode.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl::cli {
namespace {

// Reads answered from the controller's state without changing it. The step read shares its
// command byte with the bulk read and is told apart by its step selector.
constexpr std::array kIdempotentReads{
    cmd::kCmdReadDeviceType,   cmd::kCmdReadVersionAndName,   cmd::kCmdReadServoState,
    cmd::kCmdReadHomeDone,     cmd::kCmdReadPositions,        cmd::kCmdReadRunMode,
    cmd::kCmdReadCurrentStep,  cmd::kCmdReadOperationStatus,  cmd::kCmdReadParameter,
    cmd::kCmdReadStep,         cmd::kCmdReadIOSignals,        cmd::kCmdReadLoadFactor,
    cmd::kCmdReadAlarmCode,    cmd::kCmdReadAlarmHistory,     cmd::kCmdReadWaveScales,
    cmd::kCmdReadAutoTuningStatus, cmd::kCmdReadUnitDeviceList, cmd::kCmdReadUnitDeviceTables,
    cmd::kCmdReadRemoteState,
};
static_assert(cmd::kCmdReadStep == cmd::kCmdReadAllSteps, "the bulk read is told apart by its selector");

constexpr size_t kStepSelectorLength = 2;

bool IsRefusal(const uint8_t *reply, int received)
{
    return received >= static_cast<int>(frame::kOffsetData) + 3 && reply[frame::kOffsetData] == cmd::kRefusalByte0 &&
           reply[frame::kOffsetData + 1] == cmd::kRefusalByte1 && reply[frame::kOffsetData + 2] == cmd::kRefusalByte2;
}

} // namespace

bool CRetryingComm::IsIdempotentRead(const uint8_t *request, int requestLength)
{
    if (!request || requestLength < static_cast<int>(frame::kFrameOverhead))
        return false;
    const uint8_t command = request[frame::kOffsetCommand];
    if (std::find(kIdempotentReads.begin(), kIdempotentReads.end(), command) == kIdempotentReads.end())
        return false;
    if (command != cmd::kCmdReadAllSteps)
        return true;
    const size_t payload = static_cast<size_t>(requestLength) - frame::kFrameOverhead;
    return payload == kStepSelectorLength &&
           frame::GetU16(request + frame::kOffsetData) != cmd::kReadAllStepsSelector;
}

bool CRetryingComm::IsReplyFault(int result, const uint8_t *request, const uint8_t *reply, int received,
                                 int expected)
{
    if (result == kResultTimeout || result == kResultBadReply)
        return true;
    if (result != kResultOk)
        return false;
    if (!reply || received < static_cast<int>(frame::kFrameOverhead) || (expected > 0 && received != expected))
        return true;
    const auto length = static_cast<size_t>(received);
    if (!frame::IsWholeReply(reply, length, request[frame::kOffsetAxis], request[frame::kOffsetCommand]))
        return true;
    return !frame::CrcMatches(reply, length) && !IsRefusal(reply, received);
}

int CRetryingComm::Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                            int expected, int timeoutMs, int settleMs)
{
    const int tries = IsIdempotentRead(request, requestLength) ? m_tries : 1;
    int result = kResultTimeout;
    bool askedAgainAfterRefusal = false;
    for (int attempt = 1; attempt <= tries; ++attempt) {
        result = Inner().Exchange(request, requestLength, reply, received, expected, timeoutMs, settleMs);
        const int count = received ? *received : 0;
        if (!IsReplyFault(result, request, reply, count, expected)) {
            // A read answered 0F 00 00 with a wrong CRC is the refusal, or a reply that began so
            // (a value 0 of parameter 15) and was spoiled: asked once more, it stands only when
            // it repeats.
            const bool refusal = IsRefusal(reply, count) && !frame::CrcMatches(reply, static_cast<size_t>(count));
            if (result != kResultOk || askedAgainAfterRefusal || !refusal)
                break;
            askedAgainAfterRefusal = true;
            continue;
        }
        if (result == kResultTimeout && !m_retryOnSilence)
            break;
    }
    return result;
}

} // namespace kvl::cli
