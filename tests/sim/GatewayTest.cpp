// The simulated gateway unit at 0xF1: its tables, parameters, alarms and remote state.
#include <gtest/gtest.h>

#include "protocol/CommandCodes.h"
#include "sim/GatewayDevice.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::Ask;
using test::Data;
using test::WellFormed;

constexpr uint8_t kUnit = 0xF1;

TEST(SimGateway, DemoDeviceListNamesTheDemoAxes)
{
    auto bus = SimBus::CreateDemo();
    const auto reply = Ask(*bus, kUnit, cmd::kCmdReadUnitDeviceList);
    ASSERT_TRUE(WellFormed(reply, kUnit, cmd::kCmdReadUnitDeviceList, 23));
    const std::vector<uint8_t> expected = {1, 2, 3, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Data(reply), expected);
}

TEST(SimGateway, TablesRoundTripAndInvalidCodesAreRefused)
{
    auto bus = SimBus::CreateDemo();
    std::vector<uint8_t> tables(16, 0x08);
    tables.insert(tables.end(), 16, 0x03);
    auto reply = Ask(*bus, kUnit, cmd::kCmdWriteUnitDeviceTables, tables);
    ASSERT_TRUE(WellFormed(reply, kUnit, cmd::kCmdWriteUnitDeviceTables, 8));
    EXPECT_EQ(Data(reply)[0], 1);
    reply = Ask(*bus, kUnit, cmd::kCmdReadUnitDeviceTables);
    ASSERT_TRUE(WellFormed(reply, kUnit, cmd::kCmdReadUnitDeviceTables, 39));
    EXPECT_EQ(Data(reply), tables);

    const std::vector<uint8_t> list = {255, 1, 2, 3, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdWriteUnitDeviceList, list))[0], 1);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadUnitDeviceList)), list);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadUnitDeviceTables)).back(), 0x03);   // modes kept

    struct Case { const char *what; std::vector<uint8_t> payload; uint8_t command; };
    std::vector<uint8_t> badCode = list;
    badCode[3] = 4;
    std::vector<uint8_t> badMode(16, 1);
    badMode.insert(badMode.end(), 16, 4);
    const Case cases[] = {{"model code 4", badCode, cmd::kCmdWriteUnitDeviceList},
                          {"input mode 4", badMode, cmd::kCmdWriteUnitDeviceTables},
                          {"short list", {1, 2, 3}, cmd::kCmdWriteUnitDeviceList}};
    for (const auto &c : cases) {
        EXPECT_EQ(Data(Ask(*bus, kUnit, c.command, c.payload))[0], 0) << c.what;
        EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadUnitDeviceList)), list) << c.what;
    }
}

TEST(SimGateway, ParametersOneToNineteenWithDefaults)
{
    auto bus = SimBus::CreateDemo();
    struct Case { int number; int32_t value; };
    const Case cases[] = {{1, 1}, {2, 200}, {3, 3}, {4, 3}, {5, 50}, {6, 3}, {7, 1}, {14, 0}, {15, 1},
                          {16, 3}, {17, 0x30}, {18, 0}, {19, 0}};
    for (const auto &c : cases) {
        const auto reply = Ask(*bus, kUnit, cmd::kCmdReadParameter, test::U16(static_cast<uint16_t>(c.number)));
        ASSERT_TRUE(WellFormed(reply, kUnit, cmd::kCmdReadParameter, 13));
        EXPECT_EQ(frame::GetI32(Data(reply).data() + 2), c.value) << c.number;
    }
    // The IP address travels last octet first: 192.168.0.1.
    const auto ip = Data(Ask(*bus, kUnit, cmd::kCmdReadParameter, test::U16(11)));
    EXPECT_EQ(std::vector<uint8_t>(ip.begin() + 2, ip.end()), (std::vector<uint8_t>{1, 0, 168, 192}));
    const auto refused = Ask(*bus, kUnit, cmd::kCmdReadParameter, test::U16(20));
    EXPECT_EQ(refused[3], 0x0F);
    EXPECT_FALSE(frame::CrcMatches(refused.data(), refused.size()));
}

TEST(SimGateway, CodedSettingsTakeOnlyTheirCodes)
{
    auto bus = SimBus::CreateDemo();
    struct Case { int number; int32_t value; uint8_t status; };
    const Case cases[] = {{1, 4, 1}, {1, 3, 0}, {7, 5, 1}, {7, 6, 0}, {14, 1, 1}, {14, 2, 0}, {15, 0, 0},
                          {16, 3, 1}, {16, 4, 0}, {17, 0x21, 1}, {17, 0x03, 1}, {17, 0x44, 0}, {18, 1, 1},
                          {19, 2, 0}, {2, 500, 1}, {2, -1, 0}, {11, static_cast<int32_t>(0xC0A8010A), 1}};
    for (const auto &c : cases) {
        const int32_t before = bus->Gateway()->Parameters().Get(c.number);
        EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdWriteParameter, test::ParamWrite(static_cast<uint16_t>(c.number), c.value)))[0],
                  c.status) << c.number << "=" << c.value;
        EXPECT_EQ(bus->Gateway()->Parameters().Get(c.number), c.status ? c.value : before) << c.number;
    }
}

TEST(SimGateway, SpeedToThePcDecidesTheBusSpeed)
{
    auto bus = SimBus::CreateDemo();
    EXPECT_EQ(bus->RequestedBusSpeed(), 115200);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdWriteParameter, test::ParamWrite(3, 1)))[0], 1);
    EXPECT_EQ(bus->RequestedBusSpeed(), 38400);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdWriteParameter, test::ParamWrite(3, 9)))[0], 0);
    EXPECT_EQ(bus->RequestedBusSpeed(), 38400);
}

TEST(SimGateway, NameAlarmsAndRemoteState)
{
    auto bus = SimBus::CreateDemo();
    const std::string name = "LINE 4 GATEWAY";
    std::vector<uint8_t> field(16, 0);
    std::copy(name.begin(), name.end(), field.begin());
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdWriteDeviceName, field))[0], 1);
    const auto version = Data(Ask(*bus, kUnit, cmd::kCmdReadVersionAndName));
    EXPECT_EQ(std::string(version.begin() + 4, version.begin() + 4 + static_cast<long>(name.size())), name);

    bus->Gateway()->Alarms().Raise(2);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadAlarmCode))[0], 2);
    const auto history = Ask(*bus, kUnit, cmd::kCmdReadAlarmHistory);
    ASSERT_TRUE(WellFormed(history, kUnit, cmd::kCmdReadAlarmHistory, 57));
    EXPECT_EQ(Data(history)[0], 2);
    EXPECT_EQ(Data(history)[1], unitalarm::kRestarted);   // logged when the unit came up
    EXPECT_EQ(Data(history)[2], 0xFF);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdAlarmReset))[0], 1);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadAlarmCode))[0], 0xFF);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdClearAlarmHistory))[0], 1);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadAlarmHistory)), std::vector<uint8_t>(50, 0xFF));

    const auto remote = Ask(*bus, kUnit, cmd::kCmdReadRemoteState);
    ASSERT_TRUE(WellFormed(remote, kUnit, cmd::kCmdReadRemoteState, 8));
    EXPECT_EQ(Data(remote)[0], 0);
    // The unit has no point table or motion.
    EXPECT_TRUE(Ask(*bus, kUnit, cmd::kCmdServoOn).empty());
}

TEST(SimGateway, RefusedWritesAnswerZeroAndKeepTheOldValue)
{
    auto bus = SimBus::CreateDemo();
    GatewayDevice &unit = *bus->Gateway();
    std::vector<uint8_t> name(16, 0);
    name[0] = 'X';
    std::vector<uint8_t> tables(16, 1);
    tables.insert(tables.end(), 16, 2);
    struct Case { const char *what; int target; uint8_t command; std::vector<uint8_t> payload; };
    const Case cases[] = {
        {"interval", unitparam::kInterruptInterval, cmd::kCmdWriteParameter, test::ParamWrite(2, 400)},
        {"IP address", unitparam::kIpAddress, cmd::kCmdWriteParameter, test::ParamWrite(11, 0x0A000001)},
        {"CC-Link stations", unitparam::kCcLinkStations, cmd::kCmdWriteParameter, test::ParamWrite(17, 0x21)},
        {"name", GatewayDevice::kRefuseName, cmd::kCmdWriteDeviceName, name},
        {"tables", GatewayDevice::kRefuseTables, cmd::kCmdWriteUnitDeviceTables, tables},
    };
    for (const auto &c : cases) {
        const auto before = unit.SaveState();
        unit.RefuseWrite(c.target);
        EXPECT_EQ(Data(Ask(*bus, kUnit, c.command, c.payload))[0], 0) << c.what;
        EXPECT_EQ(unit.SaveState(), before) << c.what;
        unit.RefuseWrite(c.target, false);
        EXPECT_EQ(Data(Ask(*bus, kUnit, c.command, c.payload))[0], 1) << c.what;
        EXPECT_NE(unit.SaveState(), before) << c.what;
    }
    // A unit that refuses the table form still takes the device list alone.
    unit.RefuseWrite(GatewayDevice::kRefuseTables);
    const std::vector<uint8_t> list(16, 3);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdWriteUnitDeviceList, list))[0], 1);
    EXPECT_EQ(Data(Ask(*bus, kUnit, cmd::kCmdReadUnitDeviceList)), list);
}

} // namespace
} // namespace kvl::sim
