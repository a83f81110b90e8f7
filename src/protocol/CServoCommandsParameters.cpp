// Parameter commands: read and write in three shapes (int32, four bytes, code pair).
#include <algorithm>

#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "protocol/IWriteGate.h"

namespace kvl {
namespace {

// Data offsets of the read reply; the write reply carries one status byte.
constexpr size_t kDataNumberEcho = 0;
constexpr size_t kDataValue = 2;
constexpr size_t kNumberBytes = 2;
constexpr size_t kValueBytes = 4;

constexpr int kGroupSize = 16;   // a code pair packs code + 16 x group
constexpr int kMaxGroup = 3;
constexpr int kMaxCode = 3;

std::vector<uint8_t> NumberPayload(uint16_t number)
{
    std::vector<uint8_t> payload;
    frame::PutU16(payload, number);
    return payload;
}

} // namespace

CodePair CServoCommands::DecodeCodePair(uint8_t valueByte0)
{
    CodePair pair;
    pair.group = std::min(valueByte0 / kGroupSize, kMaxGroup);
    pair.code = std::min(valueByte0 - kGroupSize * pair.group, kMaxCode);
    return pair;
}

int CServoCommands::ReadParameterRaw(uint16_t number, std::array<uint8_t, 4> &bytes, uint8_t axis,
                                     int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadParameter, NumberPayload(number), cmd::kReplyLenReadParameter,
                                timeoutMs, Refusal::kApplies, reply);
    if (result != kResultOk)
        return result;
    // The controller echoes only the low byte of the number it answers.
    if (reply.Data()[kDataNumberEcho] != static_cast<uint8_t>(number & 0xFF))
        return kResultOtherParameter;
    for (size_t i = 0; i < kValueBytes; ++i)
        bytes[i] = reply.Data()[kDataValue + i];
    if (m_gate != nullptr)
        m_gate->NoteParameter(axis, number, bytes);
    return kResultOk;
}

int CServoCommands::ReadParameter(uint16_t number, int32_t &value, uint8_t axis, int timeoutMs)
{
    std::array<uint8_t, 4> bytes{};
    const int result = ReadParameterRaw(number, bytes, axis, timeoutMs);
    if (result == kResultOk)
        value = frame::GetI32(bytes.data());
    return result;
}

int CServoCommands::ReadParameterBytes(uint16_t number, std::array<uint8_t, 4> &bytes, uint8_t axis,
                                       int timeoutMs)
{
    std::array<uint8_t, 4> read{};
    const int result = ReadParameterRaw(number, read, axis, timeoutMs);
    if (result == kResultOk)
        bytes = read;
    return result;
}

int CServoCommands::ReadParameterCodePair(uint16_t number, CodePair &pair, uint8_t axis, int timeoutMs)
{
    std::array<uint8_t, 4> bytes{};
    const int result = ReadParameterRaw(number, bytes, axis, timeoutMs);
    if (result == kResultOk)
        pair = DecodeCodePair(bytes[0]);
    return result;
}

int CServoCommands::WriteParameterRaw(uint16_t number, const std::array<uint8_t, 4> &bytes, uint8_t axis,
                                      int timeoutMs)
{
    if (m_gate != nullptr && !Admitted(m_gate->AdmitParameter(axis, number, bytes)))
        return kResultOutOfRange;
    std::vector<uint8_t> payload;
    payload.reserve(kNumberBytes + kValueBytes);
    frame::PutU16(payload, number);
    for (const uint8_t b : bytes)
        payload.push_back(b);
    const int result = AcknowledgedCommand(cmd::kCmdWriteParameter, payload, cmd::kReplyLenWriteParameter,
                                           Refusal::kApplies, axis, timeoutMs);
    if (result == kResultOk && m_gate != nullptr)
        m_gate->NoteParameter(axis, number, bytes);
    return result;
}

int CServoCommands::WriteParameter(uint16_t number, int32_t value, uint8_t axis, int timeoutMs)
{
    std::vector<uint8_t> wire;
    frame::PutI32(wire, value);
    return WriteParameterRaw(number, {wire[0], wire[1], wire[2], wire[3]}, axis, timeoutMs);
}

int CServoCommands::WriteParameterBytes(uint16_t number, const std::array<uint8_t, 4> &bytes, uint8_t axis,
                                        int timeoutMs)
{
    return WriteParameterRaw(number, bytes, axis, timeoutMs);
}

int CServoCommands::WriteParameterCodePair(uint16_t number, const CodePair &pair, uint8_t axis, int timeoutMs)
{
    const auto packed = static_cast<uint8_t>(pair.code + kGroupSize * pair.group);
    return WriteParameterRaw(number, {packed, 0, 0, 0}, axis, timeoutMs);
}

} // namespace kvl
