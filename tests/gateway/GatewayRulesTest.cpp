// The gateway's points, capacity, saturation and EtherNet/IP address check.
#include <gtest/gtest.h>

#include "gateway/CGatewayRules.h"

namespace kvl {
namespace {

CGatewayConfig Stations(int count, uint8_t mode, int fieldbus, int occupation = 0)
{
    CGatewayConfig config;
    config.fieldbusType = fieldbus;
    config.ccLinkStations = occupation;
    for (int i = 0; i < count; ++i) {
        config.devices[i] = 1;
        config.inputModes[i] = mode;
    }
    return config;
}

TEST(GatewayRules, PointsCapacityAndSaturation)
{
    CGatewayConfig gap;   // station 5 assigned, 0 to 4 empty in mode IO, station 5 Full
    gap.devices[5] = 2;
    gap.inputModes[5] = 3;
    gap.inputModes[9] = 3;   // after the last assigned station: not counted
    struct Case { const char *what; CGatewayConfig config; int used; int capacity; int saturation; };
    const Case cases[] = {
        {"nothing assigned", CGatewayConfig{}, 0, 32, 0},
        {"station 0 Full on 4,1", Stations(1, 3, 1, 5), 14, 16, 88},
        {"gap of empty stations", gap, 5 + 14, 32, 59},
        {"sixteen Half on DeviceNet", Stations(16, 2, 2), 128, 120, 107},
        {"exactly full: two Half on 4,1", Stations(2, 2, 1, 5), 16, 16, 100},
        {"EtherCAT", Stations(8, 3, 4), 112, 120, 93},
        {"CC-Link 2,8", Stations(8, 2, 1, 2), 64, 64, 100},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CGatewayRules::UsedPoints(c.config), c.used) << c.what;
        EXPECT_EQ(CGatewayRules::Capacity(c.config), c.capacity) << c.what;
        EXPECT_EQ(CGatewayRules::Saturation(c.config), c.saturation) << c.what;
    }
    CGatewayConfig over = Stations(2, 2, 1, 5);
    over.devices[2] = 3;   // one more station in mode IO: 17 of 16
    EXPECT_EQ(CGatewayRules::Saturation(over), 106);
}

TEST(GatewayRules, OccupationCodesAndAddressCheck)
{
    EXPECT_EQ(CGatewayRules::OccupationPosition(0, 3), 0);   // 0x30 "1,8"
    EXPECT_EQ(CGatewayRules::OccupationPosition(1, 2), 1);   // 0x21 "2,4"
    EXPECT_EQ(CGatewayRules::OccupationPosition(3, 0), 5);   // 0x03 "4,1"
    EXPECT_EQ(CGatewayRules::OccupationPosition(0, 0), 0);   // not in the table
    struct Case { const char *what; int type; CGatewayConfig::Octets ip, mask, gateway; int bad; };
    const CGatewayConfig::Octets ones{255, 255, 255, 255};
    const CGatewayConfig::Octets ip{10, 0, 0, 2};
    const CGatewayConfig::Octets mask{255, 255, 255, 0};
    const Case cases[] = {{"valid", 5, ip, mask, {0, 0, 0, 0}, -1},
                          {"IP all ones", 5, ones, mask, {0, 0, 0, 0}, 0},
                          {"mask all ones", 5, ip, ones, {0, 0, 0, 0}, 1},
                          {"gateway all ones", 5, ip, mask, ones, 2},
                          {"mask all ones on CC-Link", 1, ip, ones, {0, 0, 0, 0}, -1}};
    for (const auto &c : cases) {
        CGatewayConfig config;
        config.fieldbusType = c.type;
        config.ipAddress = c.ip;
        config.subnetMask = c.mask;
        config.defaultGateway = c.gateway;
        EXPECT_EQ(CGatewayRules::BadAddress(config), c.bad) << c.what;
    }
}

} // namespace
} // namespace kvl
