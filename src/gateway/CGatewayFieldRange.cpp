#include "gateway/CGatewayFieldRange.h"

#include <algorithm>

#include "gateway/CGatewayRules.h"

namespace kvl {
namespace {

using Id = CGatewayField::Id;

constexpr int kPortSpeedCodeFirst = 1;    // 38400 bit/s
constexpr int kPortSpeedCodeLast = 3;     // 115200 bit/s
constexpr int kCcLinkSpeedCodeLast = 5;   // 10 Mbit/s
constexpr int kEthernetSpeedCodeLast = 5; // 100 Mbit/s full duplex
constexpr int kDeviceNetSpeedCodeLast = 3;   // automatic
constexpr int kInputModeLast = 3;         // FULL
constexpr int kDeviceCodeMax = 255;       // ANY

bool Listed(const std::vector<int> &codes, long long value)
{
    return std::find(codes.begin(), codes.end(), value) != codes.end();
}

} // namespace

CGatewayFieldRange::Bounds CGatewayFieldRange::BoundsOf(Id field)
{
    switch (field) {
    case CGatewayField::kDevices: return {0, kDeviceCodeMax};
    case CGatewayField::kInputModes: return {0, kInputModeLast};
    case CGatewayField::kInterval:
    case CGatewayField::kBroadcastDelay: return {0, kLongestMs};
    case CGatewayField::kResetTimes: return {0, kMostResetTimes};
    case CGatewayField::kSpeedToDrivers:
    case CGatewayField::kSpeedToPc: return {kPortSpeedCodeFirst, kPortSpeedCodeLast};
    case CGatewayField::kCommForbidding:
    case CGatewayField::kCcLinkVersion:
    case CGatewayField::kDhcp: return {0, 1};
    case CGatewayField::kFieldbusType:
        return {CGatewayRules::FieldbusCodes().front(), CGatewayRules::FieldbusCodes().back()};
    case CGatewayField::kCcLinkSpeed: return {1, kCcLinkSpeedCodeLast};
    case CGatewayField::kCcLinkStations:
        return {0, static_cast<long long>(CGatewayRules::OccupationTable().size()) - 1};
    case CGatewayField::kIpAddress:
    case CGatewayField::kSubnetMask:
    case CGatewayField::kDefaultGateway: return {0, kOctetMax};
    case CGatewayField::kEthernetSpeed: return {1, kEthernetSpeedCodeLast};
    case CGatewayField::kDeviceNetSpeed: return {0, kDeviceNetSpeedCodeLast};
    default: return {0, -1};   // the comment and kCount: no number at all
    }
}

bool CGatewayFieldRange::Admits(Id field, long long value)
{
    const Bounds bounds = BoundsOf(field);
    if (value < bounds.min || value > bounds.max)
        return false;
    if (field == CGatewayField::kDevices)
        return Listed(CGatewayRules::DeviceCodes(), value);
    if (field == CGatewayField::kFieldbusType)
        return Listed(CGatewayRules::FieldbusCodes(), value);
    return true;
}

bool CGatewayFieldRange::AdmitsComment(std::string_view comment)
{
    return comment.size() <= kCommentBytes;
}

bool CGatewayFieldRange::AdmitsOctets(const CGatewayConfig::Octets &octets)
{
    return std::all_of(octets.begin(), octets.end(), [](int octet) { return octet >= 0 && octet <= kOctetMax; });
}

} // namespace kvl
