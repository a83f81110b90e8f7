// Identification and status commands.
#include <algorithm>
#include <cstring>

#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/IWriteGate.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

// Data offsets of the replies of this family.
constexpr size_t kDataVersion = 0;
constexpr size_t kDataName = kDataVersion + cmd::kVersionTextLen;
constexpr size_t kDataCurrentPosition = 0;
constexpr size_t kDataCommandPosition = 4;
constexpr size_t kDataOperationFlags = 0;
constexpr size_t kDataOperationState = 1;
constexpr size_t kDataOperationValue = 2;

// True when an exchange that gave a bad reply failed on the CRC alone: the frame is otherwise whole.
bool FailedOnCrcOnly(int result, const uint8_t *b, int count, int replyLength, uint8_t axis, uint8_t command)
{
    return result == kResultBadReply && count == replyLength &&
           frame::IsWholeReply(b, static_cast<size_t>(count), axis, command) &&
           !frame::CrcMatches(b, static_cast<size_t>(count));
}

} // namespace

int CServoCommands::ReadDeviceType(std::string &model, std::string &version, std::string &name,
                                   uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadDeviceType, {}, cmd::kReplyLenReadDeviceType, timeoutMs,
                                Refusal::kNotApplicable, reply);
    if (result != kResultOk) {
        if (FailedOnCrcOnly(result, reply.bytes.get(), reply.count, cmd::kReplyLenReadDeviceType, axis,
                            cmd::kCmdReadDeviceType))
            name.clear();
        return result;
    }
    model = cmd::ModelTextFromCode(reply.Data()[cmd::kDeviceTypeCodeIndex]);
    // The identification texts always get the full timeout, whatever the probe used.
    const int second = ReadVersionAndName(version, name, axis, kTimeoutMs);
    if (m_gate != nullptr)
        m_gate->NoteDevice(axis, model, second == kResultOk ? version : std::string());
    return second;
}

int CServoCommands::ReadVersionAndName(std::string &version, std::string &name, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadVersionAndName, {}, cmd::kReplyLenReadVersionAndName,
                                timeoutMs, Refusal::kNotApplicable, reply);
    if (result != kResultOk) {
        if (FailedOnCrcOnly(result, reply.bytes.get(), reply.count, cmd::kReplyLenReadVersionAndName, axis,
                            cmd::kCmdReadVersionAndName))
            name.clear();
        return result;
    }
    const auto *data = reinterpret_cast<const char *>(reply.Data());
    version.assign(data + kDataVersion, cmd::kVersionTextLen);
    const char *nameField = data + kDataName;
    name.assign(nameField, strnlen(nameField, cmd::kNameTextLen));
    return kResultOk;
}

int CServoCommands::WriteDeviceName(const std::string &name, uint8_t &status, uint8_t axis, int timeoutMs)
{
    if (name.size() > cmd::kNameTextLen)
        return kResultBadReply;
    std::vector<uint8_t> field(cmd::kNameTextLen, 0);
    std::copy(name.begin(), name.end(), field.begin());
    return StatusCommand(cmd::kCmdWriteDeviceName, field, status, axis, timeoutMs, cmd::kReplyLenWriteDeviceName);
}

int CServoCommands::ReadServoState(uint8_t &servoOn, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdReadServoState, {}, servoOn, axis, timeoutMs, cmd::kReplyLenReadServoState);
}

int CServoCommands::ReadHomeDone(uint8_t &homeDone, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdReadHomeDone, {}, homeDone, axis, timeoutMs, cmd::kReplyLenReadHomeDone);
}

int CServoCommands::ReadRunMode(uint8_t &manual, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdReadRunMode, {}, manual, axis, timeoutMs, cmd::kReplyLenReadRunMode);
}

int CServoCommands::ReadPositions(Positions &positions, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadPositions, {}, cmd::kReplyLenReadPositions, timeoutMs,
                                Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    positions.current = frame::GetI32(reply.Data() + kDataCurrentPosition);
    positions.command = frame::GetI32(reply.Data() + kDataCommandPosition);
    return kResultOk;
}

int CServoCommands::ReadCurrentStep(int &step, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadCurrentStep, {}, cmd::kReplyLenReadCurrentStep, timeoutMs,
                                Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    step = frame::GetI16(reply.Data());
    return kResultOk;
}

int CServoCommands::ReadOperationStatus(OperationStatus &status, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadOperationStatus, {}, cmd::kReplyLenReadOperationStatus,
                                timeoutMs, Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    const uint8_t flags = reply.Data()[kDataOperationFlags];
    for (int bit = 0; bit < cmd::kOperationFlagCount; ++bit)
        status.flags[static_cast<size_t>(bit)] = (flags >> bit) & 1;
    status.state = reply.Data()[kDataOperationState];
    status.value = frame::GetI16(reply.Data() + kDataOperationValue);
    return kResultOk;
}

} // namespace kvl
