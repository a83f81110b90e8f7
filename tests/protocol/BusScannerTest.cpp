// The bus scan over a scripted bus: which speeds it tries in which order, the gateway probe, the
// axis scan that stops at the first address that answers, the link run from that address on, and
// a bus where nothing answers.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "link/ResultCode.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "support/CommStub.h"

namespace kvl {
namespace {

// Devices that answer the identification at one line speed only; every other exchange, and any
// exchange at another speed, meets silence. Records the speed of every opening.
class ScannedBus : public test::CommStub {
public:
    int liveSpeed = 38400;
    std::map<uint8_t, int> devices;   // address -> device type code
    std::map<uint8_t, int> answers;   // address -> identifications it still answers (absent: all)
    std::set<uint8_t> spoiled;        // addresses whose every reply arrives spoiled
    std::vector<int> openedSpeeds;
    std::vector<int> typeTimeouts;    // the timeout of every identification
    std::vector<uint8_t> typeProbes;  // addresses asked for their device type

    int OpenSerial(int, int speed) override
    {
        openedSpeeds.push_back(speed);
        m_speed = speed;
        return 1;
    }

    int Exchange(const uint8_t *request, int, uint8_t *reply, int *received, int, int timeoutMs, int) override
    {
        const uint8_t address = request[frame::kOffsetAxis];
        const uint8_t command = request[frame::kOffsetCommand];
        if (command == cmd::kCmdReadDeviceType) {
            typeProbes.push_back(address);
            typeTimeouts.push_back(timeoutMs);
        }
        const auto device = devices.find(address);
        if (m_speed != liveSpeed || device == devices.end())
            return kResultTimeout;
        if (spoiled.count(address))
            return kResultBadReply;
        if (const auto left = answers.find(address); left != answers.end() && command == cmd::kCmdReadDeviceType) {
            if (left->second == 0)
                return kResultTimeout;
            --left->second;
        }
        std::vector<uint8_t> data;
        if (command == cmd::kCmdReadDeviceType) {
            data = {0, static_cast<uint8_t>(device->second)};
        } else if (command == cmd::kCmdReadVersionAndName) {
            data.assign(20, 0);
            std::memcpy(data.data(), "1305", 4);
            std::memcpy(data.data() + 4, "UNIT", 4);
        } else {
            return kResultTimeout;
        }
        const std::vector<uint8_t> bytes = frame::Build(address, command, data);
        std::memcpy(reply, bytes.data(), bytes.size());
        *received = static_cast<int>(bytes.size());
        return kResultOk;
    }

private:
    int m_speed = 0;
};

TEST(BusScanner, SpeedPassesStartAtTheStoredSpeed)
{
    struct Case {
        int stored;
        bool gatewayProbe;
        std::array<int, 3> passes;
    };
    const Case cases[] = {
        {115200, false, {115200, 57600, 38400}}, {57600, false, {57600, 38400, 115200}},
        {38400, true, {38400, 115200, 57600}},   {9600, false, {9600, 57600, 38400}},
        {9600, true, {115200, 57600, 38400}},    {0, false, {0, 57600, 38400}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CBusScanner::SpeedPasses(c.stored, c.gatewayProbe), c.passes) << c.stored << ' ' << c.gatewayProbe;
}

TEST(BusScanner, GatewayFoundLinksEveryAddressFromZero)
{
    ScannedBus bus;
    bus.liveSpeed = 57600;
    bus.devices = {{frame::kGatewayAddress, cmd::kModelCodeGWX}, {0, cmd::kModelCodeMDA}, {15, cmd::kModelCodeMDAZ}};
    CServoCommands commands(&bus);
    CBusScanner scanner(commands);
    std::vector<std::pair<int, int>> progress;
    const LinkResult result =
        scanner.Link(1, 115200, [&progress](int done, int total) { progress.emplace_back(done, total); });
    EXPECT_TRUE(result.found);
    EXPECT_TRUE(result.gatewayPresent);
    EXPECT_EQ(result.gateway.model, "GWX");
    EXPECT_EQ(result.speed, 57600);
    EXPECT_EQ(result.firstAddress, 0);
    EXPECT_EQ(result.LinkedCount(), 2);
    EXPECT_EQ(result.axes[0].model, "MDA");
    EXPECT_EQ(result.axes[0].version, "1305");
    EXPECT_EQ(result.axes[15].model, "MDA-Z");
    EXPECT_FALSE(result.axes[7].answered);
    // The stored speed first, then the one after it, where the gateway answers.
    EXPECT_EQ(bus.openedSpeeds, (std::vector<int>{115200, 57600}));
    ASSERT_EQ(progress.size(), 16u);
    EXPECT_EQ(progress.front(), std::make_pair(1, 16));
    EXPECT_EQ(progress.back(), std::make_pair(16, 16));
}

TEST(BusScanner, WithoutGatewayTheFirstAxisThatAnswersStartsTheLinkRun)
{
    ScannedBus bus;
    bus.liveSpeed = 38400;
    bus.devices = {{5, cmd::kModelCodeMDC}, {9, cmd::kModelCodeMDB}};
    CServoCommands commands(&bus);
    CBusScanner scanner(commands);
    int calls = 0;
    int lastTotal = 0;
    const LinkResult result = scanner.Link(1, 57600, [&](int, int total) {
        ++calls;
        lastTotal = total;
    });
    EXPECT_TRUE(result.found);
    EXPECT_FALSE(result.gatewayPresent);
    EXPECT_EQ(result.speed, 38400);
    EXPECT_EQ(result.firstAddress, 5);
    EXPECT_EQ(result.LinkedCount(), 2);
    EXPECT_EQ(result.axes[5].model, "MDC");
    EXPECT_EQ(result.axes[9].model, "MDB");
    EXPECT_EQ(calls, 11);
    EXPECT_EQ(lastTotal, 11);
    // The axis scan stopped at address 5; the link run then asked 5 to 15 once more.
    std::vector<uint8_t> lastRun(bus.typeProbes.end() - 11, bus.typeProbes.end());
    EXPECT_EQ(lastRun.front(), 5);
    EXPECT_EQ(lastRun.back(), 15);
    EXPECT_EQ(bus.typeProbes[bus.typeProbes.size() - 12], 5);
}

TEST(BusScanner, SilentBusFindsNothing)
{
    ScannedBus bus;
    bus.liveSpeed = 9600;
    bus.devices = {{0, cmd::kModelCodeMDA}};
    CServoCommands commands(&bus);
    CBusScanner scanner(commands);
    const LinkResult result = scanner.Link(1, 115200);
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.speed, 0);
    EXPECT_EQ(result.LinkedCount(), 0);
    // Three gateway passes, then three passes over the sixteen addresses.
    EXPECT_EQ(bus.openedSpeeds.size(), 3u + 3u * CBusScanner::kAxisCount);

    ScannedBus unused;
    CServoCommands none(&unused);
    CBusScanner noPort(none);
    DeviceIdentity gateway;
    int speed = 0;
    EXPECT_FALSE(noPort.ProbeGateway(0, 115200, gateway, speed));
    EXPECT_TRUE(unused.openedSpeeds.empty());
}

// The axis that answered the search keeps its identity when its second question is lost: the
// search heard it, so it is linked and read.
TEST(BusScanner, FirstAxisThatMissesItsSecondQuestionStaysLinked)
{
    ScannedBus bus;
    bus.liveSpeed = 115200;
    bus.devices = {{2, cmd::kModelCodeMDB}, {6, cmd::kModelCodeMDC}};
    bus.answers = {{2, 1}};
    CServoCommands commands(&bus);
    const LinkResult result = CBusScanner(commands).Link(1, 115200);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.firstAddress, 2);
    EXPECT_TRUE(result.axes[2].answered);
    EXPECT_EQ(result.axes[2].model, "MDB");
    EXPECT_EQ(result.LinkedCount(), 2);
}

// Asking again: with an ordinary read's timeout, only the addresses not linked; those that
// answer now are linked, silent ones come back, and a spoiled reply counts as heard.
TEST(BusScanner, AskAgainLinksLateDevicesAndReturnsTheSilentOnes)
{
    ScannedBus bus;
    bus.liveSpeed = 115200;
    bus.devices = {{0, cmd::kModelCodeMDA}, {3, cmd::kModelCodeMDC}, {7, cmd::kModelCodeMDB},
                   {frame::kGatewayAddress, cmd::kModelCodeGWX}};
    bus.answers = {{3, 0}};
    bus.spoiled = {7};
    CServoCommands commands(&bus);
    CBusScanner scanner(commands);
    LinkResult link = scanner.Link(1, 115200);
    ASSERT_TRUE(link.gatewayPresent);
    EXPECT_FALSE(link.axes[3].answered);
    EXPECT_FALSE(link.axes[3].heard);
    EXPECT_TRUE(link.axes[7].heard);
    EXPECT_FALSE(link.axes[7].answered);
    EXPECT_FALSE(link.axes[9].heard);

    bus.answers = {{3, 1}};
    bus.typeProbes.clear();
    bus.typeTimeouts.clear();
    const std::vector<int> silent = scanner.AskAgain(link, {0, 3, 7, 9});
    EXPECT_EQ(silent, (std::vector<int>{7, 9}));
    EXPECT_TRUE(link.axes[3].answered);
    EXPECT_EQ(link.axes[3].model, "MDC");
    EXPECT_EQ(bus.typeProbes, (std::vector<uint8_t>{3, 7, 9}));   // 0 was linked already
    for (const int timeout : bus.typeTimeouts)
        EXPECT_EQ(timeout, CServoCommands::kTimeoutMs);
}

// A unit whose probe answers came too late for the search is linked when asked again.
TEST(BusScanner, AskAgainLinksTheUnit)
{
    ScannedBus bus;
    bus.liveSpeed = 115200;
    bus.devices = {{0, cmd::kModelCodeMDA}, {frame::kGatewayAddress, cmd::kModelCodeGWX}};
    bus.answers = {{frame::kGatewayAddress, 0}};
    CServoCommands commands(&bus);
    CBusScanner scanner(commands);
    LinkResult link = scanner.Link(1, 115200);
    ASSERT_FALSE(link.gatewayPresent);
    bus.answers = {{frame::kGatewayAddress, 1}};
    EXPECT_TRUE(scanner.AskAgain(link, {frame::kGatewayAddress}).empty());
    EXPECT_TRUE(link.gatewayPresent);
    EXPECT_EQ(link.gateway.model, "GWX");
}

} // namespace
} // namespace kvl
