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
    : address_(address), model_(GatewayModel()), version_(version), name_(name), params_(model_, version)
{
    if (name_.size() > cmd::kNameTextLen)
        name_.resize(cmd::kNameTextLen);
    alarms_.Record(unitalarm::kRestarted);
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

int GatewayDevice::RequestedBusSpeed() const
{
    const int code = params_.Get(unitparam::kSpeedToPc);
    return code >= 1 && code <= 3 ? kPcSpeeds[code - 1] : 0;
}

std::vector<uint8_t> GatewayDevice::Status(uint8_t command, bool ok) const
{
    return Reply::Status(address_, command, ok ? 1 : 0);
}

std::vector<uint8_t> GatewayDevice::Handle(uint8_t c, const uint8_t *p, size_t n)
{
    switch (c) {
    case cmd::kCmdReadDeviceType:
        return Reply::Frame(address_, c, {0x00, model_.typeCode});
    case cmd::kCmdReadVersionAndName: {
        std::vector<uint8_t> data(cmd::kVersionTextLen + cmd::kNameTextLen, 0x00);
        std::copy_n(version_.begin(), std::min(version_.size(), cmd::kVersionTextLen), data.begin());
        std::copy_n(name_.begin(), std::min(name_.size(), cmd::kNameTextLen), data.begin() + cmd::kVersionTextLen);
        return Reply::Frame(address_, c, data);
    }
    case cmd::kCmdWriteDeviceName:
        if (n != cmd::kNameTextLen)
            return Status(c, false);
        name_.assign(p, std::find(p, p + n, 0x00));
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
        return Reply::Frame(address_, c, {remoteState_});
    default:
        return {};
    }
}

std::vector<uint8_t> GatewayDevice::OnParameter(uint8_t c, const uint8_t *p, size_t n)
{
    const bool read = c == cmd::kCmdReadParameter;
    const size_t refusalLength = read ? cmd::kReplyLenReadParameter : cmd::kReplyLenStatus;
    if (n != (read ? 2u : 6u) || !params_.Has(frame::GetU16(p)))
        return Reply::Refusal(address_, c, refusalLength);
    const uint16_t number = frame::GetU16(p);
    if (read) {
        std::vector<uint8_t> data;
        frame::PutU16(data, number);
        frame::PutI32(data, params_.Get(number));
        return Reply::Frame(address_, c, data);
    }
    const int32_t value = frame::GetI32(p + 2);
    if (!Acceptable(number, value))
        return Status(c, false);
    return Status(c, params_.Set(number, value));
}

std::vector<uint8_t> GatewayDevice::OnTables(uint8_t c, const uint8_t *p, size_t n)
{
    const size_t stations = cmd::kUnitStationCount;
    switch (c) {
    case cmd::kCmdReadUnitDeviceList:
        return Reply::Frame(address_, c, std::vector<uint8_t>(deviceList_.begin(), deviceList_.end()));
    case cmd::kCmdReadUnitDeviceTables: {
        std::vector<uint8_t> data(deviceList_.begin(), deviceList_.end());
        data.insert(data.end(), inputModes_.begin(), inputModes_.end());
        return Reply::Frame(address_, c, data);
    }
    case cmd::kCmdWriteUnitDeviceList:
        if (n != stations || !std::all_of(p, p + stations, ValidDeviceCode))
            return Status(c, false);
        std::copy_n(p, stations, deviceList_.begin());
        return Status(c, true);
    default:
        if (n != 2 * stations || !std::all_of(p, p + stations, ValidDeviceCode) ||
            !std::all_of(p + stations, p + 2 * stations, [](uint8_t m) { return m <= kMaxInputMode; }))
            return Status(c, false);
        std::copy_n(p, stations, deviceList_.begin());
        std::copy_n(p + stations, stations, inputModes_.begin());
        return Status(c, true);
    }
}

std::vector<uint8_t> GatewayDevice::OnAlarm(uint8_t c)
{
    return alarms_.Answer(address_, c);
}

nlohmann::json GatewayDevice::SaveState() const
{
    return {{"model", model_.text}, {"name", name_}, {"parameters", params_.ToJson()},
            {"devices", deviceList_}, {"inputModes", inputModes_}};
}

void GatewayDevice::LoadState(const nlohmann::json &state)
{
    if (!state.is_object() || state.value("model", std::string()) != model_.text)
        return;
    name_ = state.value("name", name_);
    if (state.contains("parameters"))
        params_.FromJson(state["parameters"]);
    if (state.contains("devices") && state["devices"].size() == cmd::kUnitStationCount)
        deviceList_ = state["devices"].get<StationTable>();
    if (state.contains("inputModes") && state["inputModes"].size() == cmd::kUnitStationCount)
        inputModes_ = state["inputModes"].get<StationTable>();
}

} // namespace kvl::sim
