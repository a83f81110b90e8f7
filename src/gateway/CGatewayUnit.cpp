#include "gateway/CGatewayUnit.h"

#include <algorithm>

#include "base/CEventLog.h"
#include "gateway/CGatewayRules.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl {
namespace {

using Id = CGatewayField::Id;
constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr int kTablesTimeoutMs = CServoCommands::kTimeoutShortMs;
constexpr uint8_t kStatusTaken = 1;
constexpr int kTypeCcLink = 1;
constexpr int kTypeDeviceNet = 2;
constexpr int kTypeEtherNetIp = 5;
constexpr int kOctets = 4;

// Reads of coded lists: a value in range selects its entry, anything else the first.
int InRange(int value, int low, int high, int fallback)
{
    return value >= low && value <= high ? value : fallback;
}

} // namespace

std::vector<CGatewayField::Id> CGatewayUnit::WriteReport::Refused() const
{
    std::vector<Id> refused;
    for (const auto &write : writes) {
        if (write.result != kResultOk)
            refused.push_back(write.field);
    }
    return refused;
}

int CGatewayUnit::PortSpeedOfCode(int code)
{
    switch (code) {
    case 2: return 57600;
    case 3: return 115200;
    default: return 38400;
    }
}

std::vector<CGatewayField::Id> CGatewayUnit::Read(CGatewayConfig &config)
{
    std::vector<Id> failed;
    ReadTables(config, failed);
    ReadUnitParameters(config, failed);
    ReadFieldbus(config, failed);
    return failed;
}

void CGatewayUnit::ReadTables(CGatewayConfig &config, std::vector<Id> &failed)
{
    UnitDeviceTables tables;
    const int result = m_commands.ReadUnitDeviceTables(tables, kAddress, kTablesTimeoutMs);
    if (result == kResultOk) {
        config.devices = tables.deviceList;
        for (int i = 0; i < CGatewayConfig::kStations; ++i)
            config.inputModes[i] = static_cast<uint8_t>(InRange(tables.inputModes[i], 0, 3, 0));
        return;
    }
    if (m_commands.ReadUnitDeviceList(config.devices, kAddress, kTimeoutMs) != kResultOk)
        failed.push_back(CGatewayField::kDevices);
    // An older unit does not answer the table read at all and has no input modes. A unit that
    // answered it with a reply that could not be used has them, and they were not read.
    if (result != kResultTimeout)
        failed.push_back(CGatewayField::kInputModes);
}

bool CGatewayUnit::ReadValue(Id field, int &value, std::vector<Id> &failed)
{
    int32_t raw = 0;
    if (m_commands.ReadParameter(static_cast<uint16_t>(CGatewayField::ParameterOf(field)), raw, kAddress,
                                 kTimeoutMs) != kResultOk) {
        failed.push_back(field);
        return false;
    }
    value = raw;
    return true;
}

bool CGatewayUnit::ReadOctets(Id field, CGatewayConfig::Octets &octets, std::vector<Id> &failed)
{
    std::array<uint8_t, 4> bytes{};
    if (m_commands.ReadParameterBytes(static_cast<uint16_t>(CGatewayField::ParameterOf(field)), bytes, kAddress,
                                      kTimeoutMs) != kResultOk) {
        failed.push_back(field);
        return false;
    }
    for (int i = 0; i < kOctets; ++i)   // the last octet travels first
        octets[i] = bytes[kOctets - 1 - i];
    return true;
}

void CGatewayUnit::ReadUnitParameters(CGatewayConfig &config, std::vector<Id> &failed)
{
    ReadValue(CGatewayField::kInterval, config.interval, failed);
    ReadValue(CGatewayField::kSpeedToPc, config.speedToPc, failed);
    ReadValue(CGatewayField::kSpeedToDrivers, config.speedToDrivers, failed);
    ReadValue(CGatewayField::kBroadcastDelay, config.broadcastDelay, failed);
    ReadValue(CGatewayField::kResetTimes, config.resetTimes, failed);
    std::string version;
    std::string name;
    if (m_commands.ReadVersionAndName(version, name, kAddress, kTimeoutMs) == kResultOk)
        config.comment = name;
    else
        failed.push_back(CGatewayField::kComment);
    ReadValue(CGatewayField::kCommForbidding, config.commForbidding, failed);
}

void CGatewayUnit::ReadFieldbus(CGatewayConfig &config, std::vector<Id> &failed)
{
    int type = 0;
    if (ReadValue(CGatewayField::kFieldbusType, type, failed))
        config.fieldbusType = CGatewayRules::FieldbusCodes()[CGatewayRules::PositionOf(CGatewayRules::FieldbusCodes(), type)];
    int value = 0;
    switch (config.fieldbusType) {
    case kTypeCcLink: {
        config.ccLinkSpeed = ReadValue(CGatewayField::kCcLinkSpeed, value, failed) ? InRange(value, 1, 5, 1) : 1;
        CodePair pair;
        if (m_commands.ReadParameterCodePair(static_cast<uint16_t>(CGatewayField::ParameterOf(CGatewayField::kCcLinkStations)),
                                             pair, kAddress, kTimeoutMs) == kResultOk)
            config.ccLinkStations = CGatewayRules::OccupationPosition(pair.code, pair.group);
        else
            failed.push_back(CGatewayField::kCcLinkStations);
        config.ccLinkVersion = ReadValue(CGatewayField::kCcLinkVersion, value, failed) ? InRange(value, 0, 1, 0) : 0;
        break;
    }
    case kTypeEtherNetIp:
        ReadOctets(CGatewayField::kIpAddress, config.ipAddress, failed);
        ReadOctets(CGatewayField::kSubnetMask, config.subnetMask, failed);
        ReadOctets(CGatewayField::kDefaultGateway, config.defaultGateway, failed);
        config.dhcp = ReadValue(CGatewayField::kDhcp, value, failed) ? InRange(value, 0, 1, 0) : 0;
        config.ethernetSpeed = ReadValue(CGatewayField::kEthernetSpeed, value, failed) ? InRange(value, 1, 5, 1) : 1;
        break;
    case kTypeDeviceNet:
        config.deviceNetSpeed = ReadValue(CGatewayField::kDeviceNetSpeed, value, failed) ? InRange(value, 0, 3, 0) : 0;
        break;
    default:
        break;
    }
}

CGatewayUnit::WriteReport CGatewayUnit::WriteAll(const CGatewayConfig &config, int unitPcSpeed,
                                                  const PortFollower &follow)
{
    WriteReport report;
    report.saturation = CGatewayRules::Saturation(config);
    report.badAddress = CGatewayRules::BadAddress(config);
    if (report.badAddress >= 0) {
        report.outcome = Outcome::kBadAddress;
        return report;
    }
    if (report.saturation > CGatewayRules::kFullPercent) {
        report.outcome = Outcome::kOverCapacity;
        return report;
    }
    WriteTables(config, report);
    WriteUnitParameters(config, unitPcSpeed, follow, report);
    WriteFieldbus(config, report);
    const size_t refused = report.Refused().size();
    CEventLog::Write("write", "network unit: " + std::to_string(report.writes.size() - refused) + " of " +
                                  std::to_string(report.writes.size()) + " settings taken" +
                                  (report.pcSpeedChanged ? ", new speed to the PC" : ""));
    return report;
}

CGatewayUnit::WriteReport CGatewayUnit::WriteFields(const CGatewayConfig &config, const std::vector<Id> &fields,
                                                     int unitPcSpeed, const PortFollower &follow)
{
    m_only = &fields;
    WriteReport report = WriteAll(config, unitPcSpeed, follow);
    m_only = nullptr;
    return report;
}

bool CGatewayUnit::Wanted(Id field) const
{
    return !m_only || std::find(m_only->begin(), m_only->end(), field) != m_only->end();
}

std::vector<CGatewayField::Id> CGatewayUnit::FieldsOf(const CGatewayConfig &config)
{
    std::vector<Id> fields{CGatewayField::kDevices,     CGatewayField::kInputModes,     CGatewayField::kComment,
                           CGatewayField::kInterval,    CGatewayField::kBroadcastDelay, CGatewayField::kResetTimes,
                           CGatewayField::kSpeedToDrivers, CGatewayField::kSpeedToPc, CGatewayField::kCommForbidding};
    switch (config.fieldbusType) {
    case kTypeCcLink:
        fields.insert(fields.end(), {CGatewayField::kCcLinkSpeed, CGatewayField::kCcLinkStations,
                                     CGatewayField::kCcLinkVersion});
        break;
    case kTypeEtherNetIp:
        fields.insert(fields.end(), {CGatewayField::kIpAddress, CGatewayField::kSubnetMask,
                                     CGatewayField::kDefaultGateway, CGatewayField::kDhcp,
                                     CGatewayField::kEthernetSpeed});
        break;
    case kTypeDeviceNet:
        fields.push_back(CGatewayField::kDeviceNetSpeed);
        break;
    default:
        break;
    }
    return fields;
}

void CGatewayUnit::WriteTables(const CGatewayConfig &config, WriteReport &report)
{
    if (!Wanted(CGatewayField::kDevices) && !Wanted(CGatewayField::kInputModes))
        return;
    const UnitDeviceTables tables{config.devices, config.inputModes};
    uint8_t status = 0;
    int result = m_commands.WriteUnitDeviceTables(tables, status, kAddress, kTablesTimeoutMs);
    if (result == kResultOk && status == kStatusTaken) {
        report.writes.push_back({CGatewayField::kDevices, kResultOk});
        report.writes.push_back({CGatewayField::kInputModes, kResultOk});
        return;
    }
    // An older unit knows only the device list. It has no input modes: a file of such a unit
    // holds the first mode on every station, and nothing is missing when that is what it asks
    // for; any other mode is one the unit did not take.
    const int tablesResult = result == kResultOk ? kResultBadReply : result;
    result = m_commands.WriteUnitDeviceList(config.devices, status, kAddress, kTimeoutMs);
    const int listResult = result == kResultOk && status != kStatusTaken ? kResultBadReply : result;
    report.writes.push_back({CGatewayField::kDevices, listResult});
    const bool firstModes = std::all_of(config.inputModes.begin(), config.inputModes.end(),
                                        [](uint8_t mode) { return mode == 0; });
    if (listResult != kResultOk || !firstModes)
        report.writes.push_back({CGatewayField::kInputModes, tablesResult});
}

void CGatewayUnit::WriteValue(Id field, int value, WriteReport &report)
{
    if (!Wanted(field))
        return;
    report.writes.push_back(
        {field, m_commands.WriteParameter(static_cast<uint16_t>(CGatewayField::ParameterOf(field)), value, kAddress,
                                          kTimeoutMs)});
}

void CGatewayUnit::WriteOctets(Id field, const CGatewayConfig::Octets &octets, WriteReport &report)
{
    if (!Wanted(field))
        return;
    std::array<uint8_t, 4> bytes{};
    for (int i = 0; i < kOctets; ++i)
        bytes[i] = static_cast<uint8_t>(octets[kOctets - 1 - i]);
    report.writes.push_back(
        {field, m_commands.WriteParameterBytes(static_cast<uint16_t>(CGatewayField::ParameterOf(field)), bytes,
                                               kAddress, kTimeoutMs)});
}

void CGatewayUnit::WriteUnitParameters(const CGatewayConfig &config, int unitPcSpeed, const PortFollower &follow,
                                       WriteReport &report)
{
    if (Wanted(CGatewayField::kComment)) {
        uint8_t status = 0;
        const int result = m_commands.WriteDeviceName(config.comment, status, kAddress, kTimeoutMs);
        report.writes.push_back({CGatewayField::kComment,
                                 result == kResultOk && status != kStatusTaken ? kResultBadReply : result});
    }
    WriteValue(CGatewayField::kInterval, config.interval, report);
    WriteValue(CGatewayField::kBroadcastDelay, config.broadcastDelay, report);
    WriteValue(CGatewayField::kResetTimes, config.resetTimes, report);
    WriteValue(CGatewayField::kSpeedToDrivers, config.speedToDrivers, report);
    WriteValue(CGatewayField::kSpeedToPc, config.speedToPc, report);
    if (Wanted(CGatewayField::kSpeedToPc) && report.writes.back().result == kResultOk &&
        config.speedToPc != unitPcSpeed) {
        report.pcSpeedChanged = true;
        report.portReopened = follow && follow(PortSpeedOfCode(config.speedToPc));
    }
    WriteValue(CGatewayField::kCommForbidding, config.commForbidding, report);
}

void CGatewayUnit::WriteFieldbus(const CGatewayConfig &config, WriteReport &report)
{
    switch (config.fieldbusType) {
    case kTypeCcLink: {
        WriteValue(CGatewayField::kCcLinkSpeed, config.ccLinkSpeed, report);
        const auto &entry = CGatewayRules::OccupationTable()[static_cast<size_t>(config.ccLinkStations)];
        const CodePair pair{entry.stations - 1, entry.multipleCode};
        if (Wanted(CGatewayField::kCcLinkStations))
            report.writes.push_back(
            {CGatewayField::kCcLinkStations,
             m_commands.WriteParameterCodePair(static_cast<uint16_t>(CGatewayField::ParameterOf(CGatewayField::kCcLinkStations)),
                                               pair, kAddress, kTimeoutMs)});
        WriteValue(CGatewayField::kCcLinkVersion, config.ccLinkVersion, report);
        break;
    }
    case kTypeEtherNetIp:
        WriteOctets(CGatewayField::kIpAddress, config.ipAddress, report);
        WriteOctets(CGatewayField::kSubnetMask, config.subnetMask, report);
        WriteOctets(CGatewayField::kDefaultGateway, config.defaultGateway, report);
        WriteValue(CGatewayField::kDhcp, config.dhcp, report);
        WriteValue(CGatewayField::kEthernetSpeed, config.ethernetSpeed, report);
        break;
    case kTypeDeviceNet:
        WriteValue(CGatewayField::kDeviceNetSpeed, config.deviceNetSpeed, report);
        break;
    default:
        break;
    }
}

} // namespace kvl
