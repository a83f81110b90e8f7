#include "backup/CBusDiff.h"

#include <algorithm>
#include <sstream>

#include "gateway/CGatewayRules.h"
#include "gateway/CGatewayUnit.h"
#include "protocol/Frame.h"

namespace kvl::backup {

namespace {

using Kind = Difference::Kind;

template <typename List>
std::string JoinNumbers(const List &values)
{
    std::string text;
    for (const auto value : values)
        text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(value));
    return text;
}

std::string Octets(const CGatewayConfig::Octets &octets)
{
    return std::to_string(octets[0]) + '.' + std::to_string(octets[1]) + '.' + std::to_string(octets[2]) + '.' +
           std::to_string(octets[3]);
}

std::string StepText(const std::vector<std::string> &steps, size_t step)
{
    return step < steps.size() && !steps[step].empty() ? steps[step] : std::string(CBusDiff::kEmptyStep);
}

Difference Make(int address, const std::string &model, Kind kind, int number, std::string item,
                std::string backupValue, std::string busValue)
{
    return {address, model, kind, number, std::move(item), std::move(backupValue), std::move(busValue)};
}

} // namespace

std::string CBusDiff::GatewayValueText(CGatewayField::Id field, const CGatewayConfig &c)
{
    switch (field) {
    case CGatewayField::kDevices: return JoinNumbers(c.devices);
    case CGatewayField::kInputModes: return JoinNumbers(c.inputModes);
    case CGatewayField::kComment: return c.comment;
    case CGatewayField::kInterval: return std::to_string(c.interval);
    case CGatewayField::kBroadcastDelay: return std::to_string(c.broadcastDelay);
    case CGatewayField::kResetTimes: return std::to_string(c.resetTimes);
    case CGatewayField::kSpeedToDrivers: return std::to_string(CGatewayUnit::PortSpeedOfCode(c.speedToDrivers));
    case CGatewayField::kSpeedToPc: return std::to_string(CGatewayUnit::PortSpeedOfCode(c.speedToPc));
    case CGatewayField::kCommForbidding: return c.commForbidding ? "valid" : "invalid";
    case CGatewayField::kFieldbusType: return std::to_string(c.fieldbusType);
    case CGatewayField::kCcLinkSpeed: return std::to_string(c.ccLinkSpeed);
    case CGatewayField::kCcLinkStations: {
        const auto &table = CGatewayRules::OccupationTable();
        const auto position = static_cast<size_t>(std::max(c.ccLinkStations, 0));
        if (position >= table.size())
            return std::to_string(c.ccLinkStations);
        return std::to_string(table[position].stations) + ',' + std::to_string(table[position].multiple);
    }
    case CGatewayField::kCcLinkVersion: return c.ccLinkVersion ? "V2.00" : "V1.10";
    case CGatewayField::kIpAddress: return Octets(c.ipAddress);
    case CGatewayField::kSubnetMask: return Octets(c.subnetMask);
    case CGatewayField::kDefaultGateway: return Octets(c.defaultGateway);
    case CGatewayField::kDhcp: return c.dhcp ? "on" : "off";
    case CGatewayField::kEthernetSpeed: return std::to_string(c.ethernetSpeed);
    case CGatewayField::kDeviceNetSpeed: return std::to_string(c.deviceNetSpeed);
    case CGatewayField::kCount: break;
    }
    return {};
}

std::vector<CGatewayField::Id> CBusDiff::GatewayFieldsThatDiffer(const CGatewayConfig &backup,
                                                                 const CGatewayConfig &bus)
{
    std::vector<CGatewayField::Id> fields = CGatewayUnit::FieldsOf(backup);
    // The fieldbus type is the unit's own (its fieldbus board); it is compared, never written.
    const auto unitParameters = std::find(fields.begin(), fields.end(), CGatewayField::kCommForbidding);
    fields.insert(unitParameters == fields.end() ? fields.end() : unitParameters + 1, CGatewayField::kFieldbusType);
    std::vector<CGatewayField::Id> differing;
    for (const CGatewayField::Id field : fields)
        if (GatewayValueText(field, backup) != GatewayValueText(field, bus))
            differing.push_back(field);
    return differing;
}

std::vector<Difference> CBusDiff::CompareGateway(const GatewayImage &backup, const GatewayImage &bus,
                                                 const CGatewayField::TextLookup &texts)
{
    std::vector<Difference> out;
    const int address = frame::kGatewayAddress;
    if (backup.present && !bus.present) {
        out.push_back(Make(address, backup.model, Kind::kDeviceMissing, 0, "gateway unit", backup.model, "-"));
        return out;
    }
    if (!backup.present && bus.present) {
        out.push_back(Make(address, bus.model, Kind::kDeviceAdded, 0, "gateway unit", "-", bus.model));
        return out;
    }
    if (!backup.present)
        return out;
    if (backup.model != bus.model) {
        out.push_back(Make(address, backup.model, Kind::kOtherModel, 0, "model", backup.model, bus.model));
        return out;
    }
    for (const CGatewayField::Id field : GatewayFieldsThatDiffer(backup.config, bus.config))
        out.push_back(Make(address, backup.model, Kind::kGatewaySetting, field, CGatewayField::Text(field, texts),
                           GatewayValueText(field, backup.config), GatewayValueText(field, bus.config)));
    return out;
}

std::vector<Difference> CBusDiff::CompareAxis(const AxisImage &backup, const AxisImage &bus)
{
    std::vector<Difference> out;
    const int address = backup.address;
    if (backup.name != bus.name)
        out.push_back(Make(address, backup.model, Kind::kName, 0, "name", backup.name, bus.name));
    for (const auto &[number, value] : backup.parameters) {
        const auto found = bus.parameters.find(number);
        if (found != bus.parameters.end() && found->second.raw == value.raw)
            continue;
        const std::string busText = found == bus.parameters.end() ? std::string("-") : found->second.text;
        std::string item = kParameterWord + std::to_string(number);
        if (!value.name.empty())
            item += ' ' + value.name;
        out.push_back(Make(address, backup.model, Kind::kParameter, number, item, value.text, busText));
    }
    const size_t steps = std::max(backup.steps.size(), bus.steps.size());
    for (size_t s = 0; s < steps; ++s) {
        const std::string backupStep = StepText(backup.steps, s);
        const std::string busStep = StepText(bus.steps, s);
        if (backupStep != busStep)
            out.push_back(Make(address, backup.model, Kind::kStep, static_cast<int>(s), "step " + std::to_string(s),
                               backupStep, busStep));
    }
    return out;
}

std::vector<Difference> CBusDiff::Compare(const BusImage &backup, const BusImage &bus,
                                          const CGatewayField::TextLookup &texts)
{
    std::vector<Difference> out = CompareGateway(backup.gateway, bus.gateway, texts);
    std::vector<int> addresses;
    for (const BusImage *image : {&backup, &bus})
        for (const AxisImage &axis : image->axes)
            addresses.push_back(axis.address);
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    for (const int address : addresses) {
        const AxisImage *saved = backup.Axis(address);
        const AxisImage *found = bus.Axis(address);
        if (!found) {
            out.push_back(Make(address, saved->model, Kind::kDeviceMissing, 0, "controller", saved->model, "-"));
        } else if (!saved) {
            out.push_back(Make(address, found->model, Kind::kDeviceAdded, 0, "controller", "-", found->model));
        } else if (saved->model != found->model) {
            out.push_back(Make(address, saved->model, Kind::kOtherModel, 0, "model", saved->model, found->model));
        } else {
            const auto axis = CompareAxis(*saved, *found);
            out.insert(out.end(), axis.begin(), axis.end());
        }
    }
    return out;
}

std::string CBusDiff::ToText(const std::vector<Difference> &differences)
{
    std::ostringstream out;
    int device = -1;
    for (const Difference &d : differences) {
        if (d.address != device) {
            device = d.address;
            out << DeviceLabel(d.address) << " (" << d.model << ")\n";
        }
        switch (d.kind) {
        case Kind::kDeviceMissing:
            out << "  missing on the bus\n";
            break;
        case Kind::kDeviceAdded:
            out << "  not in the backup\n";
            break;
        case Kind::kOtherModel:
            out << "  another model: backup " << d.backupValue << ", bus " << d.busValue << '\n';
            break;
        default:
            out << "  " << d.item << ": backup " << d.backupValue << ", bus " << d.busValue << '\n';
            break;
        }
    }
    return out.str();
}

nlohmann::json CBusDiff::ToJson(const std::vector<Difference> &differences)
{
    nlohmann::json list = nlohmann::json::array();
    for (const Difference &d : differences)
        list.push_back({{"address", d.address}, {"device", DeviceLabel(d.address)}, {"model", d.model},
                        {"kind", KindName(d.kind)}, {"number", d.number}, {"item", d.item},
                        {"backup", d.backupValue}, {"bus", d.busValue}});
    return {{"differences", list}};
}

} // namespace kvl::backup
