// Monitor and alarm commands: signals, input switching, load factor, alarm code and history.
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

constexpr int kHighestInput = 15;

} // namespace

int CServoCommands::ReadIOSignals(uint32_t &signalWord, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadIOSignals, {}, cmd::kReplyLenReadIOSignals, timeoutMs,
                                Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    signalWord = static_cast<uint32_t>(frame::GetI32(reply.Data()));
    return kResultOk;
}

int CServoCommands::SetInputSignal(int input, bool on, uint8_t &status, uint8_t axis, int timeoutMs)
{
    // A number outside the sixteen inputs would land on another input once masked into 7 bits.
    if (input < 0 || input > kHighestInput)
        return kResultBadReply;
    const auto switchByte = static_cast<uint8_t>((on ? cmd::kInputSwitchOnBit : 0) | (input & cmd::kInputNumberMask));
    return StatusCommand(cmd::kCmdSetInputSignal, {switchByte}, status, axis, timeoutMs,
                         cmd::kReplyLenSetInputSignal);
}

int CServoCommands::ReadLoadFactor(const std::string &model, uint8_t &loadPercent, uint8_t axis, int timeoutMs)
{
    const int replyLength =
        CModelTraits::Of(model).UsesLongRecord() ? cmd::kReplyLenReadLoadFactorLong : cmd::kReplyLenReadLoadFactorShort;
    return StatusCommand(cmd::kCmdReadLoadFactor, {}, loadPercent, axis, timeoutMs, replyLength);
}

int CServoCommands::ReadAlarmCode(uint8_t &code, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdReadAlarmCode, {}, code, axis, timeoutMs, cmd::kReplyLenReadAlarmCode);
}

int CServoCommands::AlarmReset(uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdAlarmReset, {}, status, axis, timeoutMs, cmd::kReplyLenAlarmReset);
}

int CServoCommands::ReadAlarmHistory(std::vector<uint8_t> &history, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadAlarmHistory, {}, cmd::kReplyLenReadAlarmHistory, timeoutMs,
                                Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    history.assign(reply.Data(), reply.Data() + cmd::kAlarmHistoryLen);
    return kResultOk;
}

int CServoCommands::ClearAlarmHistory(uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdClearAlarmHistory, {}, status, axis, timeoutMs, cmd::kReplyLenClearAlarmHistory);
}

} // namespace kvl
