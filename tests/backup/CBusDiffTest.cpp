// The compare of a backup with the bus, on images built by hand: which items it names, with
// which values, and which it must not name.
#include "backup/CBusDiff.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "gateway/CGatewayField.h"
#include "protocol/Frame.h"

namespace kvl::backup {
namespace {

using Kind = Difference::Kind;
using Item = std::tuple<int, Kind, int>;   // address, kind, number

AxisImage Axis(int address, const std::string &model)
{
    AxisImage axis;
    axis.address = address;
    axis.model = model;
    axis.version = "2105";
    axis.name = "AXIS " + std::to_string(address);
    axis.parameters = {{16, {100, "Jog speed", "10.0 mm/s"}}, {36, {2, "Operation type", "256 steps"}}};
    axis.steps = {"0,ABS,1.00", "1,ABS,2.00", "", ""};
    return axis;
}

BusImage Bus()
{
    BusImage bus;
    bus.speed = 115200;
    bus.gateway.present = true;
    bus.gateway.model = "GWX";
    bus.gateway.config.devices = {1, 2, 3};
    bus.axes = {Axis(0, "MDA"), Axis(2, "MDC")};
    return bus;
}

std::set<Item> Items(const std::vector<Difference> &differences)
{
    std::set<Item> items;
    for (const Difference &d : differences)
        items.insert({d.address, d.kind, d.number});
    return items;
}

TEST(CBusDiff, NamesEachChangedItemOnce)
{
    struct Case {
        const char *what;
        void (*change)(BusImage &bus);
        std::set<Item> expected;
    };
    const Case cases[] = {
        {"nothing", [](BusImage &) {}, {}},
        {"a parameter", [](BusImage &b) { b.axes[1].parameters[16].raw = 101; }, {{2, Kind::kParameter, 16}}},
        {"the name", [](BusImage &b) { b.axes[0].name = "OTHER"; }, {{0, Kind::kName, 0}}},
        {"a step changed", [](BusImage &b) { b.axes[0].steps[1] = "1,ABS,2.50"; }, {{0, Kind::kStep, 1}}},
        {"a step added", [](BusImage &b) { b.axes[0].steps[3] = "3,INC,1.00"; }, {{0, Kind::kStep, 3}}},
        {"a step cleared", [](BusImage &b) { b.axes[1].steps[0].clear(); }, {{2, Kind::kStep, 0}}},
        // A smaller table on the bus: only the steps the backup holds beyond it differ.
        {"a smaller table", [](BusImage &b) { b.axes[0].steps.resize(1); }, {{0, Kind::kStep, 1}}},
        {"a larger table with empty steps", [](BusImage &b) { b.axes[0].steps.resize(512); }, {}},
        {"a parameter the bus lacks", [](BusImage &b) { b.axes[0].parameters.erase(36); }, {{0, Kind::kParameter, 36}}},
        {"another model", [](BusImage &b) { b.axes[1] = Axis(2, "MDB"); }, {{2, Kind::kOtherModel, 0}}},
        {"a controller missing", [](BusImage &b) { b.axes.pop_back(); }, {{2, Kind::kDeviceMissing, 0}}},
        {"a controller added", [](BusImage &b) { b.axes.push_back(Axis(7, "MDA-Z")); }, {{7, Kind::kDeviceAdded, 0}}},
        {"the gateway missing", [](BusImage &b) { b.gateway.present = false; },
         {{frame::kGatewayAddress, Kind::kDeviceMissing, 0}}},
        {"a station", [](BusImage &b) { b.gateway.config.devices[5] = 6; },
         {{frame::kGatewayAddress, Kind::kGatewaySetting, CGatewayField::kDevices}}},
        {"the unit name and poll interval", [](BusImage &b) {
             b.gateway.config.comment = "LINE 5";
             b.gateway.config.interval = 150;
         },
         {{frame::kGatewayAddress, Kind::kGatewaySetting, CGatewayField::kComment},
          {frame::kGatewayAddress, Kind::kGatewaySetting, CGatewayField::kInterval}}},
        // The backup's unit runs CC-Link: the EtherNet/IP address is no setting of it.
        {"a setting of another fieldbus", [](BusImage &b) { b.gateway.config.ipAddress = {10, 0, 0, 9}; }, {}},
        {"the CC-Link stations", [](BusImage &b) { b.gateway.config.ccLinkStations = 3; },
         {{frame::kGatewayAddress, Kind::kGatewaySetting, CGatewayField::kCcLinkStations}}},
    };
    for (const Case &c : cases) {
        BusImage bus = Bus();
        c.change(bus);
        EXPECT_EQ(Items(CBusDiff::Compare(Bus(), bus)), c.expected) << c.what;
    }
}

TEST(CBusDiff, RecordsCarryTheBackupAndTheBusValueForPeople)
{
    BusImage bus = Bus();
    bus.axes[1].parameters[16] = {120, "Jog speed", "12.0 mm/s"};
    bus.axes[0].steps[1].clear();
    bus.gateway.config.devices[1] = 0;
    const auto differences = CBusDiff::Compare(Bus(), bus);
    ASSERT_EQ(differences.size(), 3U);
    // The gateway unit comes first, then the controllers by address.
    EXPECT_EQ(differences[0].address, frame::kGatewayAddress);
    EXPECT_EQ(differences[0].backupValue, "1 2 3 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(differences[0].busValue, "1 0 3 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(differences[1].item, "step 1");
    EXPECT_EQ(differences[1].backupValue, "1,ABS,2.00");
    EXPECT_EQ(differences[1].busValue, CBusDiff::kEmptyStep);
    EXPECT_EQ(differences[2].item, "parameter 16 Jog speed");
    EXPECT_EQ(differences[2].backupValue, "10.0 mm/s");
    EXPECT_EQ(differences[2].busValue, "12.0 mm/s");

    EXPECT_EQ(CBusDiff::ToText(differences), "gw (GWX)\n"
                                             "  Device list: backup 1 2 3 0 0 0 0 0 0 0 0 0 0 0 0 0, bus 1 0 3 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                                             "axis 0 (MDA)\n"
                                             "  step 1: backup 1,ABS,2.00, bus (empty)\n"
                                             "axis 2 (MDC)\n"
                                             "  parameter 16 Jog speed: backup 10.0 mm/s, bus 12.0 mm/s\n");
    const auto document = CBusDiff::ToJson(differences);
    ASSERT_EQ(document.at("differences").size(), 3U);
    EXPECT_EQ(document["differences"][2]["kind"], "parameter");
    EXPECT_EQ(document["differences"][2]["number"], 16);
    EXPECT_EQ(document["differences"][2]["device"], "axis 2");
    EXPECT_EQ(document["differences"][2]["backup"], "10.0 mm/s");
    EXPECT_EQ(document["differences"][0]["device"], "gw");
}

TEST(CBusDiff, GatewayValuesAreSaidAsTheUnitsSettings)
{
    CGatewayConfig config;
    config.speedToPc = 2;
    config.ipAddress = {192, 168, 1, 20};
    config.commForbidding = 1;
    struct Case {
        CGatewayField::Id field;
        const char *text;
    };
    const Case cases[] = {
        {CGatewayField::kSpeedToPc, "57600"},
        {CGatewayField::kIpAddress, "192.168.1.20"},
        {CGatewayField::kCommForbidding, "valid"},
        {CGatewayField::kInterval, "200"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CBusDiff::GatewayValueText(c.field, config), c.text) << c.field;
}

} // namespace
} // namespace kvl::backup
