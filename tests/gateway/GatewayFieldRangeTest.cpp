// The values the gateway unit takes for each setting, at the edges of every range and list.
#include <gtest/gtest.h>

#include <climits>

#include "gateway/CGatewayFieldRange.h"

namespace kvl {
namespace {

using F = CGatewayField;

TEST(GatewayFieldRange, EachSettingTakesItsOwnValues)
{
    const struct {
        F::Id field;
        long long value;
        bool admitted;
    } cases[] = {
        {F::kInterval, 0, true},           {F::kInterval, 2147483647, true},     {F::kInterval, 2147483648LL, false},
        {F::kInterval, -1, false},         {F::kBroadcastDelay, 2147483647, true}, {F::kBroadcastDelay, -1, false},
        {F::kResetTimes, 9999, true},      {F::kResetTimes, 10000, false},      {F::kResetTimes, -1, false},
        {F::kSpeedToPc, 0, false},         {F::kSpeedToPc, 1, true},            {F::kSpeedToPc, 3, true},
        {F::kSpeedToPc, 4, false},         {F::kSpeedToDrivers, 4, false},      {F::kCommForbidding, 1, true},
        {F::kCommForbidding, 2, false},    {F::kFieldbusType, 1, true},         {F::kFieldbusType, 3, false},
        {F::kFieldbusType, 4, true},       {F::kFieldbusType, 5, true},         {F::kFieldbusType, 6, false},
        {F::kCcLinkSpeed, 0, false},       {F::kCcLinkSpeed, 5, true},          {F::kCcLinkSpeed, 6, false},
        {F::kCcLinkStations, 0, true},     {F::kCcLinkStations, 7, true},       {F::kCcLinkStations, 8, false},
        {F::kCcLinkVersion, 1, true},      {F::kCcLinkVersion, 2, false},       {F::kDeviceNetSpeed, 3, true},
        {F::kDeviceNetSpeed, 4, false},    {F::kDhcp, -1, false},               {F::kEthernetSpeed, 5, true},
        {F::kEthernetSpeed, 0, false},     {F::kIpAddress, 255, true},          {F::kIpAddress, 256, false},
        {F::kSubnetMask, -1, false},       {F::kDefaultGateway, 0, true},       {F::kDevices, 8, true},
        {F::kDevices, 4, false},           {F::kDevices, 255, true},            {F::kDevices, 254, false},
        {F::kInputModes, 3, true},         {F::kInputModes, 4, false},          {F::kComment, 0, false},
        {F::kInterval, LLONG_MIN, false},  {F::kInterval, LLONG_MAX, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CGatewayFieldRange::Admits(c.field, c.value), c.admitted) << c.field << " " << c.value;
}

TEST(GatewayFieldRange, CommentAndAddresses)
{
    EXPECT_TRUE(CGatewayFieldRange::AdmitsComment(std::string(16, 'A')));
    EXPECT_FALSE(CGatewayFieldRange::AdmitsComment(std::string(17, 'A')));
    EXPECT_TRUE(CGatewayFieldRange::AdmitsOctets({255, 0, 10, 1}));
    EXPECT_FALSE(CGatewayFieldRange::AdmitsOctets({231, 251, 1, 256}));
    EXPECT_FALSE(CGatewayFieldRange::AdmitsOctets({999, -5, 1, 0}));
}

} // namespace
} // namespace kvl
