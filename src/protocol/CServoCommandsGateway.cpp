// Gateway unit commands: the station device list, the input-mode table and the remote state.
#include <algorithm>

#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/IWriteGate.h"

namespace kvl {
namespace {

constexpr size_t kDataDeviceList = 0;
constexpr size_t kDataInputModes = cmd::kUnitStationCount;

UnitDeviceList NormalizedList(const uint8_t *codes)
{
    UnitDeviceList list{};
    for (size_t i = 0; i < list.size(); ++i)
        list[i] = static_cast<uint8_t>(cmd::NormalizeDeviceListCode(codes[i]));
    return list;
}

} // namespace

int CServoCommands::ReadUnitDeviceList(UnitDeviceList &list, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadUnitDeviceList, {}, cmd::kReplyLenReadUnitDeviceList,
                                timeoutMs, Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    list = NormalizedList(reply.Data() + kDataDeviceList);
    return kResultOk;
}

int CServoCommands::WriteUnitDeviceList(const UnitDeviceList &list, uint8_t &status, uint8_t axis,
                                        int timeoutMs)
{
    if (m_gate != nullptr && !Admitted(m_gate->AdmitUnitStations(axis, list, nullptr)))
        return kResultOutOfRange;
    const std::vector<uint8_t> payload(list.begin(), list.end());
    return StatusCommand(cmd::kCmdWriteUnitDeviceList, payload, status, axis, timeoutMs,
                         cmd::kReplyLenWriteUnitDeviceList);
}

int CServoCommands::ReadUnitDeviceTables(UnitDeviceTables &tables, uint8_t axis, int timeoutMs)
{
    Reply reply;
    const int result = Transact(axis, cmd::kCmdReadUnitDeviceTables, {}, cmd::kReplyLenReadUnitDeviceTables,
                                timeoutMs, Refusal::kNotApplicable, reply);
    if (result != kResultOk)
        return result;
    tables.deviceList = NormalizedList(reply.Data() + kDataDeviceList);
    std::copy_n(reply.Data() + kDataInputModes, cmd::kUnitStationCount, tables.inputModes.begin());
    return kResultOk;
}

int CServoCommands::WriteUnitDeviceTables(const UnitDeviceTables &tables, uint8_t &status, uint8_t axis,
                                          int timeoutMs)
{
    if (m_gate != nullptr && !Admitted(m_gate->AdmitUnitStations(axis, tables.deviceList, &tables.inputModes)))
        return kResultOutOfRange;
    std::vector<uint8_t> payload(tables.deviceList.begin(), tables.deviceList.end());
    payload.insert(payload.end(), tables.inputModes.begin(), tables.inputModes.end());
    return StatusCommand(cmd::kCmdWriteUnitDeviceTables, payload, status, axis, timeoutMs,
                         cmd::kReplyLenWriteUnitDeviceTables);
}

int CServoCommands::ReadRemoteState(uint8_t &state, uint8_t axis, int timeoutMs)
{
    return StatusCommand(cmd::kCmdReadRemoteState, {}, state, axis, timeoutMs, cmd::kReplyLenReadRemoteState);
}

} // namespace kvl
