// Point-table commands: the bulk read, the single-step read and write, and the table clear.
#include "link/CComm.h"
#include "link/ResultCode.h"
#include "protocol/Crc16.h"
#include "protocol/CServoCommands.h"
#include "protocol/CStepCodec.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "protocol/IWriteGate.h"

namespace kvl {
namespace {

constexpr int kExpectedVariable = -1;    // the transport decides where the reply ends
constexpr size_t kAckCrOffset = 6;       // an 8-byte acknowledgement has CR LF at +6 and +7
constexpr size_t kAckLength = cmd::kReplyLenStepAck;
constexpr size_t kEmptyFrameZeroBytes = 3;   // a refused empty step frame starts its record 00 00 00

int StepFrameLength(bool longForm)
{
    return longForm ? cmd::kReplyLenStepFrameLong : cmd::kReplyLenStepFrameShort;
}

int ReadStepReplyLength(bool longForm)
{
    return longForm ? cmd::kReplyLenReadStepLong : cmd::kReplyLenReadStepShort;
}

// Sets the facade's padding mode for the life of one exchange, so that the transport ends the
// bulk read at the controller's 0xFF padding.
class PaddingModeScope {
public:
    explicit PaddingModeScope(CComm *comm) : m_comm(comm)
    {
        if (m_comm != nullptr)
            m_comm->SetPaddingMode(true);
    }
    ~PaddingModeScope()
    {
        if (m_comm != nullptr)
            m_comm->SetPaddingMode(false);
    }
    PaddingModeScope(const PaddingModeScope &) = delete;
    PaddingModeScope &operator=(const PaddingModeScope &) = delete;

private:
    CComm *m_comm;
};

bool StartsWithZeros(const uint8_t *p, size_t available)
{
    if (available < kEmptyFrameZeroBytes)
        return false;
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

} // namespace

int CServoCommands::ScanStepStream(const Reply &reply, uint8_t axis, bool longForm,
                                   std::vector<std::string> &lines)
{
    const uint8_t *b = reply.bytes.get();
    const size_t count = static_cast<size_t>(reply.count);
    const size_t frameLength = static_cast<size_t>(StepFrameLength(longForm));
    const size_t crcCovered = 1 + CStepCodec::RecordLength(longForm);   // command byte + record
    size_t i = 0;
    while (i < count) {
        if (b[i] != frame::kStartByte) {
            ++i;
            continue;
        }
        if (i + kAckCrOffset + 1 < count && b[i + kAckCrOffset] == frame::kCr && b[i + kAckCrOffset + 1] == frame::kLf) {
            i += kAckLength;
            continue;
        }
        const uint8_t *record = b + i + frame::kOffsetData;
        const size_t recordAvailable = count > i + frame::kOffsetData ? count - i - frame::kOffsetData : 0;
        if (i + frameLength > count)   // a step frame cut short: never read past what arrived
            return StartsWithZeros(record, recordAvailable) ? kResultRefused : kResultBadReply;
        const uint8_t *covered = b + i + frame::kOffsetCommand;
        const auto stored = static_cast<uint16_t>((covered[crcCovered] << 8) | covered[crcCovered + 1]);
        if (Crc16(covered, crcCovered) != stored)
            return StartsWithZeros(record, recordAvailable) ? kResultRefused : kResultBadReply;
        if (b[i + frame::kOffsetAxis] != axis || covered[0] != cmd::kCmdReadAllSteps)
            return kResultBadReply;
        lines.push_back(CStepCodec::FormatLine(CStepCodec::Decode(record, longForm)));
        i += frameLength;
    }
    return kResultOk;
}

int CServoCommands::ReadAllSteps(const std::string &model, std::vector<std::string> &lines, uint8_t axis,
                                 int timeoutMs)
{
    std::vector<uint8_t> selector;
    frame::PutU16(selector, cmd::kReadAllStepsSelector);
    Reply reply;
    int result;
    {
        PaddingModeScope padding(m_comm);
        result = Exchange(axis, cmd::kCmdReadAllSteps, selector, kExpectedVariable, timeoutMs, kSettleMs, reply);
    }
    if (result != kResultOk)
        return result;
    std::vector<std::string> scanned;
    result = ScanStepStream(reply, axis, CModelTraits::Of(model).UsesLongRecord(), scanned);
    if (result == kResultOk)
        lines = std::move(scanned);
    return result;
}

int CServoCommands::ReadStep(int addressedStep, const std::string &model, StepRecord &record, uint8_t axis,
                             int timeoutMs)
{
    const bool longForm = CModelTraits::Of(model).UsesLongRecord();
    std::vector<uint8_t> payload;
    frame::PutU16(payload, static_cast<uint16_t>(addressedStep));
    Reply reply;
    int result = Exchange(axis, cmd::kCmdReadStep, payload, kExpectedVariable, timeoutMs, kSettleMs, reply);
    if (result != kResultOk)
        return result;
    result = CheckFrame(reply, axis, cmd::kCmdReadStep, ReadStepReplyLength(longForm), Refusal::kApplies);
    if (result != kResultOk)
        return result;
    record = CStepCodec::Decode(reply.Data(), longForm);
    return kResultOk;
}

int CServoCommands::WriteStep(const StepRecord &record, const std::string &model, uint8_t axis, int timeoutMs)
{
    if (m_gate != nullptr && !Admitted(m_gate->AdmitStep(axis, record.step, record)))
        return kResultOutOfRange;
    const std::vector<uint8_t> payload = CStepCodec::Encode(record.step, record, CModelTraits::Of(model).UsesLongRecord());
    return AcknowledgedCommand(cmd::kCmdWriteStep, payload, cmd::kReplyLenWriteStep, Refusal::kNotApplicable, axis,
                               timeoutMs);
}

int CServoCommands::WriteStepValues(int addressedStep, const StepRecord &values, uint8_t axis, int timeoutMs)
{
    StepRecord record = values;
    record.step = 0;
    if (m_gate != nullptr && !Admitted(m_gate->AdmitStep(axis, addressedStep, record)))
        return kResultOutOfRange;
    const std::vector<uint8_t> payload = CStepCodec::Encode(addressedStep, record, false);
    Reply reply;
    const int result = Exchange(axis, cmd::kCmdWriteStepValues, payload, kExpectedVariable, timeoutMs, kSettleMs,
                                reply);
    if (result != kResultOk)
        return result;
    // The length is whatever arrived; the frame must still be a whole answer from this axis.
    return CheckFrame(reply, axis, cmd::kCmdWriteStepValues, reply.count, Refusal::kNotApplicable);
}

int CServoCommands::ClearPointTable(uint8_t axis, int timeoutMs)
{
    uint8_t unused = 0;
    return StatusCommand(cmd::kCmdClearPointTable, {}, unused, axis, timeoutMs, cmd::kReplyLenClearPointTable);
}

} // namespace kvl
