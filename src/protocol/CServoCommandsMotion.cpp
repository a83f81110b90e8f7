// Motion and operation commands: each answers with one status byte that is handed back.
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

uint8_t DirectionByte(int signedSpeed)
{
    return signedSpeed > 0 ? cmd::kDirectionPositive : cmd::kDirectionNegative;
}

} // namespace

int CServoCommands::ServoOn(uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdServoOn, {}, status, axis, timeoutMs, cmd::kReplyLenMotion);
}

int CServoCommands::ServoOff(uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdServoOff, {}, status, axis, timeoutMs, cmd::kReplyLenMotion);
}

int CServoCommands::HomeReturn(uint8_t mode, uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdHomeReturn, {mode}, status, axis, timeoutMs, cmd::kReplyLenMotion);
}

int CServoCommands::StartProgram(uint16_t startStep, uint8_t &status, uint8_t axis, int timeoutMs)
{
    std::vector<uint8_t> payload;
    frame::PutU16(payload, startStep);
    return StatusCommand(cmd::kCmdStartProgram, payload, status, axis, timeoutMs, cmd::kReplyLenMotion);
}

int CServoCommands::Stop(uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdStop, {}, status, axis, timeoutMs, cmd::kReplyLenMotion);
}

int CServoCommands::JogStart(int signedSpeed, uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdJogStart, {DirectionByte(signedSpeed)}, status, axis, timeoutMs,
                         cmd::kReplyLenMotion);
}

int CServoCommands::InchingMove(int signedSpeed, uint8_t &status, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdInchingMove, {DirectionByte(signedSpeed)}, status, axis, timeoutMs,
                         cmd::kReplyLenMotion);
}

} // namespace kvl
