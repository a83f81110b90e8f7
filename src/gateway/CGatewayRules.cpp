#include "gateway/CGatewayRules.h"

#include <algorithm>

namespace kvl {
namespace {

constexpr int kTypeCcLink = 1;
constexpr int kTypeEtherNetIp = 5;
constexpr int kAllOnes = 255;
constexpr int kPointsPerStation = 4;

} // namespace

const std::vector<CGatewayRules::Occupation> &CGatewayRules::OccupationTable()
{
    static const std::vector<Occupation> table = {{1, 8, 3}, {2, 4, 2}, {2, 8, 3}, {3, 2, 1},
                                                  {3, 4, 2}, {4, 1, 0}, {4, 2, 1}, {4, 4, 2}};
    return table;
}

int CGatewayRules::OccupationPosition(int stationsLess1, int multipleCode)
{
    const auto &table = OccupationTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].stations == stationsLess1 + 1 && table[i].multipleCode == multipleCode)
            return static_cast<int>(i);
    }
    return 0;
}

int CGatewayRules::OccupationOf(int stations, int multiple)
{
    const auto &table = OccupationTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].stations == stations && table[i].multiple == multiple)
            return static_cast<int>(i);
    }
    return -1;
}

const std::vector<int> &CGatewayRules::DeviceCodes()
{
    static const std::vector<int> codes = {0, 1, 2, 3, 6, 7, 8, 255};
    return codes;
}

const std::vector<int> &CGatewayRules::FieldbusCodes()
{
    static const std::vector<int> codes = {1, 2, 4, 5};
    return codes;
}

int CGatewayRules::PositionOf(const std::vector<int> &codes, int code)
{
    const auto found = std::find(codes.begin(), codes.end(), code);
    return found == codes.end() ? 0 : static_cast<int>(found - codes.begin());
}

int CGatewayRules::InputModePoints(int mode)
{
    static const int points[] = {1, 3, 8, 14};
    return mode >= 0 && mode <= 3 ? points[mode] : points[0];
}

int CGatewayRules::UsedPoints(const CGatewayConfig &config)
{
    int last = -1;
    for (int i = 0; i < CGatewayConfig::kStations; ++i) {
        if (PositionOf(DeviceCodes(), config.devices[i]) != 0)
            last = i;
    }
    int used = 0;
    for (int i = 0; i <= last; ++i)
        used += InputModePoints(config.inputModes[i]);
    return used;
}

int CGatewayRules::Capacity(const CGatewayConfig &config)
{
    if (config.fieldbusType != kTypeCcLink)
        return kFieldbusPoints;
    const auto &table = OccupationTable();
    const int position = config.ccLinkStations >= 0 && config.ccLinkStations < static_cast<int>(table.size())
                             ? config.ccLinkStations : 0;
    return kPointsPerStation * table[position].stations * table[position].multiple;
}

int CGatewayRules::Saturation(const CGatewayConfig &config)
{
    const int capacity = Capacity(config);
    if (capacity == 0)
        return 0;
    return (UsedPoints(config) * 2 * kFullPercent + capacity) / (2 * capacity);
}

int CGatewayRules::BadAddress(const CGatewayConfig &config)
{
    if (config.fieldbusType != kTypeEtherNetIp)
        return -1;
    const CGatewayConfig::Octets *addresses[] = {&config.ipAddress, &config.subnetMask, &config.defaultGateway};
    for (int i = 0; i < 3; ++i) {
        const auto &octets = *addresses[i];
        if (std::all_of(octets.begin(), octets.end(), [](int o) { return o == kAllOnes; }))
            return i;
    }
    return -1;
}

bool CGatewayRules::NeedsVersionQuestion(const CGatewayConfig &config, const CGatewayConfig &before)
{
    return config.fieldbusType == kCcLinkCode && config.ccLinkVersion == kVersion110 &&
           (before.ccLinkVersion != kVersion110 ||
            (config.ccLinkStations != kFixedOccupation && config.ccLinkStations != before.ccLinkStations));
}

void CGatewayRules::AnswerVersionQuestion(bool ok, CGatewayConfig &config, const CGatewayConfig &before)
{
    if (ok) {
        config.ccLinkStations = kFixedOccupation;
        return;
    }
    config.ccLinkVersion = before.ccLinkVersion;
    if (config.ccLinkVersion == kVersion110)
        config.ccLinkStations = before.ccLinkStations;
}

} // namespace kvl
