#include "protocol/CServoCommands.h"

#include "base/CEventLog.h"
#include "link/CComm.h"
#include "link/ResultCode.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "protocol/IWriteGate.h"

namespace kvl {
namespace {

constexpr int kSerialMode = 0;

bool IsRefusalPattern(const uint8_t *frameBytes, int count)
{
    return count >= static_cast<int>(frame::kOffsetData) + 3 &&
           frameBytes[frame::kOffsetData] == cmd::kRefusalByte0 &&
           frameBytes[frame::kOffsetData + 1] == cmd::kRefusalByte1 &&
           frameBytes[frame::kOffsetData + 2] == cmd::kRefusalByte2;
}

} // namespace

CServoCommands::Reply::Reply() : bytes(std::make_unique_for_overwrite<uint8_t[]>(frame::kReceiveLimit)) {}

const uint8_t *CServoCommands::Reply::Data() const { return bytes.get() + frame::kOffsetData; }

CServoCommands::CServoCommands(CComm *comm) : m_comm(comm) {}

bool CServoCommands::Admitted(const std::optional<WriteRefusal> &refusal)
{
    if (!refusal)
        return true;
    m_lastRefusal = *refusal;
    CEventLog::Write("refused", m_lastRefusal.Describe());
    if (m_refusalHook)
        m_refusalHook(m_lastRefusal);
    return false;
}

int CServoCommands::OpenPort(int port, int speed)
{
    m_comm->SetMode(kSerialMode);
    return m_comm->OpenSerial(port, speed) == 1 ? 1 : 0;
}

void CServoCommands::ClosePort() { m_comm->Close(); }

int CServoCommands::IsPortOpen() { return m_comm->IsOpen() == 1 ? 1 : 0; }

PortOpenCause CServoCommands::PortOpenFailure() { return m_comm->LastOpenCause(); }

int CServoCommands::Exchange(uint8_t axis, uint8_t command, const std::vector<uint8_t> &payload,
                             int expected, int timeoutMs, int settleMs, Reply &reply)
{
    const std::vector<uint8_t> request = frame::Build(axis, command, payload);
    reply.count = 0;
    const int result = m_comm->Exchange(request.data(), static_cast<int>(request.size()), reply.bytes.get(),
                                        &reply.count, expected, timeoutMs, settleMs);
    // A facade that reports more than it could have stored must not lead us past the buffer.
    if (reply.count < 0 || reply.count > frame::kReceiveLimit)
        reply.count = 0;
    return result;
}

int CServoCommands::Transact(uint8_t axis, uint8_t command, const std::vector<uint8_t> &payload,
                             int replyLength, int timeoutMs, Refusal refusal, Reply &reply)
{
    const int result = Exchange(axis, command, payload, replyLength, timeoutMs, kSettleMs, reply);
    if (result != kResultOk)
        return result;
    return CheckFrame(reply, axis, command, replyLength, refusal);
}

int CServoCommands::CheckFrame(const Reply &reply, uint8_t axis, uint8_t command, int replyLength,
                               Refusal refusal)
{
    const uint8_t *b = reply.bytes.get();
    if (reply.count != replyLength || replyLength < static_cast<int>(frame::kFrameOverhead))
        return kResultBadReply;
    if (!frame::IsWholeReply(b, static_cast<size_t>(replyLength), axis, command))
        return kResultBadReply;
    if (!frame::CrcMatches(b, static_cast<size_t>(replyLength))) {
        if (refusal == Refusal::kApplies && IsRefusalPattern(b, replyLength))
            return kResultRefused;
        return kResultBadReply;
    }
    return kResultOk;
}

int CServoCommands::StatusCommand(uint8_t command, const std::vector<uint8_t> &payload, uint8_t &status,
                                  uint8_t axis, int timeoutMs, int replyLength)
{
    Reply reply;
    const int result = Transact(axis, command, payload, replyLength, timeoutMs, Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    status = reply.Data()[0];
    return kResultOk;
}

int CServoCommands::AcknowledgedCommand(uint8_t command, const std::vector<uint8_t> &payload, int replyLength,
                                        Refusal refusal, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, command, payload, replyLength, timeoutMs, refusal, reply);
    if (result != kResultOk)
        return result;
    return reply.Data()[0] != 0 ? kResultOk : kResultBadReply;
}

} // namespace kvl
