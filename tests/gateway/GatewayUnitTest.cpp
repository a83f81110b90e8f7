// Reading and writing the whole gateway configuration on the simulated unit over a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>

#include "gateway/CGatewayUnit.h"
#include "link/ResultCode.h"
#include "sim/GatewayDevice.h"
#include "tests/sim/SimBusTest.h"

namespace kvl {
namespace {

using sim::GatewayDevice;
constexpr int kSpeed = 115200;
constexpr int kSpeedCode = 3;

class GatewayUnitTest : public sim::SimBusTest {
protected:
    void SetUp() override
    {
        StartSim();
        ASSERT_EQ(m_commands->OpenPort(kSimPort, kSpeed), 1);
    }
    CGatewayConfig ReadBack()
    {
        CGatewayConfig config;
        CGatewayUnit unit(*m_commands);
        EXPECT_TRUE(unit.Read(config).empty());
        return config;
    }
    template <typename Fn>
    void WithUnit(Fn fn)
    {
        m_runner->WithBus([&](sim::SimBus &bus) { fn(*bus.Gateway()); });
    }
    // Every write stays at the PC speed the port was opened with.
    static CGatewayConfig Changed(int fieldbus)
    {
        CGatewayConfig c;
        c.comment = "LINE4";
        c.interval = 250;
        c.broadcastDelay = 70;
        c.resetTimes = 5;
        c.speedToDrivers = 2;
        c.commForbidding = 1;
        c.fieldbusType = fieldbus;
        c.devices = {1, 2, 3, 6, 7, 8, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        c.inputModes = {1, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        c.colours.fill(CGatewayConfig::kWhite);
        switch (fieldbus) {
        case 1: c.ccLinkSpeed = 4; c.ccLinkStations = 4; c.ccLinkVersion = 1; break;
        case 2: c.deviceNetSpeed = 1; break;
        case 5:
            c.ipAddress = {10, 1, 2, 3};
            c.subnetMask = {255, 255, 0, 0};
            c.defaultGateway = {10, 1, 0, 254};
            c.dhcp = 1;
            c.ethernetSpeed = 2;
            break;
        default: break;
        }
        return c;
    }
};

// The unit's fieldbus type is read, never written: the test sets it on the unit first.
TEST_F(GatewayUnitTest, EveryFieldbusWritesAndReadsBackWhole)
{
    for (int fieldbus : {1, 2, 4, 5}) {
        WithUnit([&](GatewayDevice &unit) { unit.Parameters().Set(1, fieldbus); });
        CGatewayUnit unit(*m_commands);
        const auto report = unit.WriteAll(Changed(fieldbus), kSpeedCode, nullptr);
        EXPECT_EQ(report.outcome, CGatewayUnit::Outcome::kWritten) << fieldbus;
        EXPECT_TRUE(report.Refused().empty()) << fieldbus;
        EXPECT_FALSE(report.pcSpeedChanged);
        EXPECT_EQ(ReadBack(), Changed(fieldbus)) << fieldbus;
    }
    WithUnit([&](GatewayDevice &unit) { EXPECT_EQ(unit.Parameters().Get(17), 0x22); });   // "3,4" -> 0x22
}

TEST_F(GatewayUnitTest, ARefusedWriteIsNamedByItsField)
{
    WithUnit([&](GatewayDevice &unit) { unit.Parameters().Set(1, 5); });
    struct Case { int target; std::vector<CGatewayField::Id> refused; };
    const Case cases[] = {{2, {CGatewayField::kInterval}},
                          {12, {CGatewayField::kSubnetMask}},
                          {GatewayDevice::kRefuseName, {CGatewayField::kComment}},
                          {GatewayDevice::kRefuseTables, {CGatewayField::kInputModes}}};
    for (const auto &c : cases) {
        WithUnit([&](GatewayDevice &unit) { unit.RefuseWrite(c.target); });
        const auto report = CGatewayUnit(*m_commands).WriteAll(Changed(5), kSpeedCode, nullptr);
        EXPECT_EQ(report.outcome, CGatewayUnit::Outcome::kWritten);
        EXPECT_EQ(report.Refused(), c.refused) << c.target;
        WithUnit([&](GatewayDevice &unit) { unit.RefuseWrite(c.target, false); });
    }
}

TEST_F(GatewayUnitTest, AnOlderUnitGetsTheDeviceListAlone)
{
    WithUnit([&](GatewayDevice &unit) { unit.RefuseWrite(GatewayDevice::kRefuseTables); });
    const auto before = ReadBack();
    const auto report = CGatewayUnit(*m_commands).WriteAll(Changed(1), kSpeedCode, nullptr);
    const auto after = ReadBack();
    EXPECT_EQ(after.devices, Changed(1).devices);
    EXPECT_EQ(after.inputModes, before.inputModes);
    EXPECT_EQ(report.Refused(), std::vector<CGatewayField::Id>{CGatewayField::kInputModes});
}

TEST_F(GatewayUnitTest, AWriteRefusedWholeSendsNothing)
{
    CGatewayConfig badMask = Changed(5);
    badMask.subnetMask = {255, 255, 255, 255};
    CGatewayConfig over = Changed(2);
    over.devices.fill(1);
    over.inputModes.fill(2);   // 128 of 120 points
    CGatewayConfig full = Changed(1);
    full.ccLinkStations = 5;   // "4,1": 16 points
    full.devices = {1, 1};
    full.inputModes = {2, 2};
    struct Case { const char *what; CGatewayConfig config; CGatewayUnit::Outcome outcome; int saturation; };
    const Case cases[] = {{"mask all 255", badMask, CGatewayUnit::Outcome::kBadAddress, 14},
                          {"107 %", over, CGatewayUnit::Outcome::kOverCapacity, 107},
                          {"exactly 100 %", full, CGatewayUnit::Outcome::kWritten, 100}};
    for (const auto &c : cases) {
        m_runner->ClearCommandsReceived();
        const auto report = CGatewayUnit(*m_commands).WriteAll(c.config, kSpeedCode, nullptr);
        EXPECT_EQ(report.outcome, c.outcome) << c.what;
        EXPECT_EQ(report.saturation, c.saturation) << c.what;
        EXPECT_EQ(m_runner->CommandsReceived(CGatewayUnit::kAddress).empty(),
                  c.outcome != CGatewayUnit::Outcome::kWritten) << c.what;
    }
}

TEST_F(GatewayUnitTest, WriteFieldsSendsOnlyTheNamedSettings)
{
    using Id = CGatewayField::Id;
    WithUnit([&](GatewayDevice &unit) { unit.Parameters().Set(1, 5); });
    const CGatewayConfig before = ReadBack();
    const CGatewayConfig wanted = Changed(5);
    struct Case {
        const char *what;
        std::vector<Id> fields;
        std::vector<Id> sent;   // in the order of a whole write
        size_t requests;        // the stations go in one request
    };
    const Case cases[] = {
        {"nothing", {}, {}, 0},
        {"one unit parameter", {CGatewayField::kInterval}, {CGatewayField::kInterval}, 1},
        {"the stations", {CGatewayField::kDevices}, {CGatewayField::kDevices, CGatewayField::kInputModes}, 1},
        {"fieldbus and name, given out of order", {CGatewayField::kSubnetMask, CGatewayField::kComment},
         {CGatewayField::kComment, CGatewayField::kSubnetMask}, 2},
        {"a setting of another fieldbus", {CGatewayField::kCcLinkSpeed}, {}, 0},
    };
    for (const Case &c : cases) {
        m_runner->ClearCommandsReceived();
        const auto report = CGatewayUnit(*m_commands).WriteFields(wanted, c.fields, kSpeedCode, nullptr);
        EXPECT_EQ(report.outcome, CGatewayUnit::Outcome::kWritten) << c.what;
        std::vector<Id> sent;
        for (const auto &write : report.writes)
            sent.push_back(write.field);
        EXPECT_EQ(sent, c.sent) << c.what;
        EXPECT_EQ(m_runner->WritesReceived().size(), c.requests) << c.what;
    }
    // What was not named kept its value.
    const CGatewayConfig after = ReadBack();
    EXPECT_EQ(after.interval, wanted.interval);
    EXPECT_EQ(after.subnetMask, wanted.subnetMask);
    EXPECT_EQ(after.broadcastDelay, before.broadcastDelay);
    EXPECT_EQ(after.ipAddress, before.ipAddress);
    EXPECT_EQ(after.ethernetSpeed, before.ethernetSpeed);
}

TEST_F(GatewayUnitTest, FieldsOfAConfigFollowItsFieldbus)
{
    const std::vector<CGatewayField::Id> unit{
        CGatewayField::kDevices,        CGatewayField::kInputModes, CGatewayField::kComment,
        CGatewayField::kInterval,       CGatewayField::kBroadcastDelay, CGatewayField::kResetTimes,
        CGatewayField::kSpeedToDrivers, CGatewayField::kSpeedToPc, CGatewayField::kCommForbidding};
    struct Case {
        int fieldbus;
        std::vector<CGatewayField::Id> own;
    };
    const Case cases[] = {
        {1, {CGatewayField::kCcLinkSpeed, CGatewayField::kCcLinkStations, CGatewayField::kCcLinkVersion}},
        {2, {CGatewayField::kDeviceNetSpeed}},
        {4, {}},
        {5, {CGatewayField::kIpAddress, CGatewayField::kSubnetMask, CGatewayField::kDefaultGateway,
             CGatewayField::kDhcp, CGatewayField::kEthernetSpeed}},
    };
    for (const Case &c : cases) {
        std::vector<CGatewayField::Id> expected = unit;
        expected.insert(expected.end(), c.own.begin(), c.own.end());
        EXPECT_EQ(CGatewayUnit::FieldsOf(Changed(c.fieldbus)), expected) << c.fieldbus;
    }
}

TEST_F(GatewayUnitTest, ANewPcSpeedReopensThePortBeforeTheNextWrite)
{
    WithUnit([&](GatewayDevice &unit) { unit.Parameters().Set(1, 4); });
    CGatewayConfig slower = Changed(4);
    slower.speedToPc = 1;
    std::vector<int> speeds;
    auto follow = [&](int speed) {
        speeds.push_back(speed);
        m_commands->ClosePort();
        return m_commands->OpenPort(kSimPort, speed) == 1;
    };
    auto report = CGatewayUnit(*m_commands).WriteAll(slower, kSpeedCode, follow);
    EXPECT_TRUE(report.pcSpeedChanged);
    EXPECT_TRUE(report.portReopened);
    EXPECT_EQ(speeds, std::vector<int>{38400});
    EXPECT_TRUE(report.Refused().empty());   // parameter 19 went out at the new speed
    // The same code again does not touch the port.
    report = CGatewayUnit(*m_commands).WriteAll(slower, 1, follow);
    EXPECT_FALSE(report.pcSpeedChanged);
    EXPECT_EQ(speeds.size(), 1u);
    EXPECT_EQ(ReadBack(), slower);
}

} // namespace
} // namespace kvl
