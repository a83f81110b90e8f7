#include "sim/GatewayDevice.h"

#include <algorithm>

#include "protocol/Frame.h"
#include "sim/Reply.h"

namespace kvl::sim {
namespace {

constexpr int kPcSpeeds[] = {38400, 57600, 115200};   // codes 1, 2, 3

// Values the unit takes for its coded settings; the others are free numbers.
bool Acceptable(int number, int32_t value)
{
    switch (number) {
    case unitparam::kFieldbusType:
        return value == 1 || value == 2 || value == 4 || value == 5;   // CC-Link, DeviceNet, EtherCAT, EtherNet/IP
    case unitparam::kSpeedToPc:
    case unitparam::kSpeedToDrivers:
        return value >= 1 && value <= 3;
    case unitparam::kCcLinkSpeed:
    case unitparam::kEthernetSpeed:
        return value >= 1 && value <= 5;
    case unitparam::kDeviceNetSpeed:
        return value >= 0 && value <= 3;
    case unitparam::kCcLinkStations:
        return (value & ~0x33) == 0;   // group and code 0 to 3 in the low byte, nothing above
    case unitparam::kDhcp:
    case unitparam::kCcLinkVersion:
    case unitparam::kCommForbidding:
        return value == 0 || value == 1;
    default:
        return value >= 0 || number == unitparam::kIpAddress || number == unitparam::kSubnetMask ||
               number == unitparam::kDefaultGateway;
    }
}

} // namespace

GatewayDevice::GatewayDevice(uint8_t address, const std::string &version, const std::string &name)
    : m_address(address), m_model(GatewayModel()), m_version(version), m_name(name), m_params(m_model, version)
{
    if (m_name.size() > cmd::kNameTextLen)
        m_name.resize(cmd::kNameTextLen);
    m_alarms.Record(unitalarm::kRestarted);
}

bool GatewayDevice::ValidDeviceCode(uint8_t code)
{
    switch (code) {
    case 0: case 1: case 2: case 3: case 6: case 7: case 8: case kAnyModel:
        return true;
    default:
        return false;
    }
}

void GatewayDevice::RefuseWrite(int target, bool refuse)
{
    if (refuse)
        m_refused.insert(target);
    else
        m_refused.erase(target);
}

int GatewayDevice::RequestedBusSpeed() const
{
    const int code = m_params.Get(unitparam::kSpeedToPc);
    return code >= 1 && code <= 3 ? kPcSpeeds[code - 1] : 0;
}

std::vector<uint8_t> GatewayDevice::Status(uint8_t command, bool ok) const
{
    return Reply::Status(m_address, command, ok ? 1 : 0);
}

std::vector<uint8_t> GatewayDevice::Handle(uint8_t c, const uint8_t *p, size_t n)
{
    switch (c) {
    case cmd::kCmdReadDeviceType:
        return Reply::Frame(m_address, c, {0x00, m_model.typeCode});
    case cmd::kCmdReadVersionAndName: {
        std::vector<uint8_t> data(cmd::kVersionTextLen + cmd::kNameTextLen, 0x00);
        std::copy_n(m_version.begin(), std::min(m_version.size(), cmd::kVersionTextLen), data.begin());
        std::copy_n(m_name.begin(), std::min(m_name.size(), cmd::kNameTextLen), data.begin() + cmd::kVersionTextLen);
        return Reply::Frame(m_address, c, data);
    }
    case cmd::kCmdWriteDeviceName:
        if (n != cmd::kNameTextLen || m_refused.count(kRefuseName))
            return Status(c, false);
        m_name.assign(p, std::find(p, p + n, 0x00));
        return Status(c, true);
    case cmd::kCmdReadParameter:
    case cmd::kCmdWriteParameter:
        return OnParameter(c, p, n);
    case cmd::kCmdReadUnitDeviceList:
    case cmd::kCmdWriteUnitDeviceList:
    case cmd::kCmdReadUnitDeviceTables:
    case cmd::kCmdWriteUnitDeviceTables:
        return OnTables(c, p, n);
    case cmd::kCmdReadAlarmCode:
    case cmd::kCmdAlarmReset:
    case cmd::kCmdReadAlarmHistory:
    case cmd::kCmdClearAlarmHistory:
        return OnAlarm(c);
    case cmd::kCmdReadRemoteState:
        return Reply::Frame(m_address, c, {m_remoteState});
    default:
        return {};
    }
}

std::vector<uint8_t> GatewayDevice::OnParameter(uint8_t c, const uint8_t *p, size_t n)
{
    const bool read = c == cmd::kCmdReadParameter;
    const size_t refusalLength = read ? cmd::kReplyLenReadParameter : cmd::kReplyLenStatus;
    if (n != (read ? 2u : 6u) || !m_params.Has(frame::GetU16(p)) || (read && m_refusedReads.count(frame::GetU16(p))))
        return Reply::Refusal(m_address, c, refusalLength);
    const uint16_t number = frame::GetU16(p);
    if (read) {
        std::vector<uint8_t> data;
        frame::PutU16(data, number);
        frame::PutI32(data, m_params.Get(number));
        return Reply::Frame(m_address, c, data);
    }
    const int32_t value = frame::GetI32(p + 2);
    if (!Acceptable(number, value) || m_refused.count(number))
        return Status(c, false);
    return Status(c, m_params.Set(number, value));
}

std::vector<uint8_t> GatewayDevice::OnTables(uint8_t c, const uint8_t *p, size_t n)
{
    const size_t stations = cmd::kUnitStationCount;
    if (m_withoutTables && (c == cmd::kCmdReadUnitDeviceTables || c == cmd::kCmdWriteUnitDeviceTables))
        return {};
    switch (c) {
    case cmd::kCmdReadUnitDeviceList:
        return Reply::Frame(m_address, c, std::vector<uint8_t>(m_deviceList.begin(), m_deviceList.end()));
    case cmd::kCmdReadUnitDeviceTables: {
        std::vector<uint8_t> data(m_deviceList.begin(), m_deviceList.end());
        data.insert(data.end(), m_inputModes.begin(), m_inputModes.end());
        return Reply::Frame(m_address, c, data);
    }
    case cmd::kCmdWriteUnitDeviceList:
        if (n != stations || !std::all_of(p, p + stations, ValidDeviceCode))
            return Status(c, false);
        std::copy_n(p, stations, m_deviceList.begin());
        return Status(c, true);
    default:
        if (n != 2 * stations || m_refused.count(kRefuseTables) || !std::all_of(p, p + stations, ValidDeviceCode) ||
            !std::all_of(p + stations, p + 2 * stations, [](uint8_t m) { return m <= kMaxInputMode; }))
            return Status(c, false);
        std::copy_n(p, stations, m_deviceList.begin());
        std::copy_n(p + stations, stations, m_inputModes.begin());
        return Status(c, true);
    }
}

std::vector<uint8_t> GatewayDevice::OnAlarm(uint8_t c)
{
    return m_alarms.Answer(m_address, c);
}

nlohmann::json GatewayDevice::SaveState() const
{
    return {{"model", m_model.text}, {"name", m_name}, {"parameters", m_params.ToJson()},
            {"devices", m_deviceList}, {"inputModes", m_inputModes}};
}

void GatewayDevice::LoadState(const nlohmann::json &state)
{
    if (!state.is_object() || state.value("model", std::string()) != m_model.text)
        return;
    m_name = state.value("name", m_name);
    if (state.contains("parameters"))
        m_params.FromJson(state["parameters"]);
    if (state.contains("devices") && state["devices"].size() == cmd::kUnitStationCount)
        m_deviceList = state["devices"].get<StationTable>();
    if (state.contains("inputModes") && state["inputModes"].size() == cmd::kUnitStationCount)
        m_inputModes = state["inputModes"].get<StationTable>();
}

} // namespace kvl::sim
