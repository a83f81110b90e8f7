// Identification, status and parameter commands answered by the simulated controllers and the
// gateway, checked at the byte level.
#include <gtest/gtest.h>

#include "protocol/Crc16.h"
#include "sim/AxisDevice.h"
#include "protocol/CommandCodes.h"
#include "sim/Reply.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::Ask;
using test::Data;
using test::WellFormed;

TEST(SimIdentification, DemoBusAnswersEveryModelWithItsTypeCode)
{
    auto bus = SimBus::CreateDemo();
    struct Case { uint8_t address; uint8_t code; const char *model; };
    const Case cases[] = {{0, 1, "MDA"}, {1, 2, "MDB"}, {2, 3, "MDC"}, {3, 6, "MDC-X"},
                          {4, 7, "MDA-Y"}, {5, 8, "MDA-Z"}, {0xF1, 5, "GWX"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.model);
        const auto reply = Ask(*bus, c.address, cmd::kCmdReadDeviceType);
        ASSERT_TRUE(WellFormed(reply, c.address, cmd::kCmdReadDeviceType, 9));
        EXPECT_EQ(Data(reply)[1], c.code);
        EXPECT_EQ(bus->Device(c.address)->Model().text, c.model);
    }
    EXPECT_EQ(bus->Addresses().size(), 7u);
}

TEST(SimIdentification, GoldenDeviceTypeExchangeOnAxis3)
{
    auto bus = SimBus::CreateDemo();
    const std::vector<uint8_t> request = {0xEF, 0x03, 0x01, 0x10, 0x21, 0x0D, 0x0A};
    const auto reply = bus->Dispatch(request.data(), request.size());
    const uint8_t data[] = {0x01, 0x00, 0x06};
    const uint16_t crc = Crc16(data, sizeof data);
    const std::vector<uint8_t> expected = {0xEF, 0x03, 0x01, 0x00, 0x06, static_cast<uint8_t>(crc >> 8),
                                           static_cast<uint8_t>(crc & 0xFF), 0x0D, 0x0A};
    EXPECT_EQ(reply, expected);
}

TEST(SimIdentification, VersionAndNameAndRename)
{
    SimBus bus;
    bus.Add(std::make_unique<AxisDevice>(2, *FindModel("MDC"), "1305", "LIFT"));
    auto reply = Ask(bus, 2, cmd::kCmdReadVersionAndName);
    ASSERT_TRUE(WellFormed(reply, 2, cmd::kCmdReadVersionAndName, 27));
    auto data = Data(reply);
    EXPECT_EQ(std::string(data.begin(), data.begin() + 4), "1305");
    EXPECT_EQ(std::string(data.begin() + 4, data.begin() + 8), "LIFT");
    EXPECT_EQ(data[8], 0x00);

    // A 16-character name fills the field completely, without a terminating zero.
    const std::string full = "ABCDEFGHIJKLMNOP";
    reply = Ask(bus, 2, cmd::kCmdWriteDeviceName, std::vector<uint8_t>(full.begin(), full.end()));
    ASSERT_TRUE(WellFormed(reply, 2, cmd::kCmdWriteDeviceName, 8));
    EXPECT_EQ(Data(reply)[0], 1);
    data = Data(Ask(bus, 2, cmd::kCmdReadVersionAndName));
    EXPECT_EQ(std::string(data.begin() + 4, data.end()), full);

    // A name of the wrong field size is refused with status 0 and changes nothing.
    reply = Ask(bus, 2, cmd::kCmdWriteDeviceName, {'X', 0});
    EXPECT_EQ(Data(reply)[0], 0);
    EXPECT_EQ(bus.Axis(2)->Name(), full);
}

TEST(SimIdentification, NobodyAnswersAnEmptyAddressABadCrcOrAnUnknownCommand)
{
    auto bus = SimBus::CreateDemo();
    EXPECT_TRUE(Ask(*bus, 9, cmd::kCmdReadDeviceType).empty());
    auto request = frame::Build(0, cmd::kCmdReadDeviceType);
    request[3] ^= 0x01;
    EXPECT_TRUE(bus->Dispatch(request.data(), request.size()).empty());
    EXPECT_TRUE(Ask(*bus, 0, 0x77).empty());
}

TEST(SimStatus, FreshAxisReportsServoOffNoHomeManualModeAndPositions)
{
    auto bus = SimBus::CreateDemo();
    struct Case { uint8_t command; uint8_t value; };
    for (const Case c : {Case{cmd::kCmdReadServoState, 0}, Case{cmd::kCmdReadHomeDone, 0}, Case{cmd::kCmdReadRunMode, 1}}) {
        const auto reply = Ask(*bus, 1, c.command);
        ASSERT_TRUE(WellFormed(reply, 1, c.command, 8));
        EXPECT_EQ(Data(reply)[0], c.value) << int(c.command);
    }
    const auto positions = Ask(*bus, 1, cmd::kCmdReadPositions);
    ASSERT_TRUE(WellFormed(positions, 1, cmd::kCmdReadPositions, 15));
    const auto data = Data(positions);
    EXPECT_EQ(frame::GetI32(data.data()), bus->Axis(1)->ActualCounts());
    EXPECT_EQ(frame::GetI32(data.data() + 4), bus->Axis(1)->CommandCounts());
    EXPECT_NE(frame::GetI32(data.data()), 0);   // an unreferenced axis is somewhere, not at 0

    EXPECT_TRUE(WellFormed(Ask(*bus, 1, cmd::kCmdReadCurrentStep), 1, cmd::kCmdReadCurrentStep, 9));
    const auto status = Ask(*bus, 1, cmd::kCmdReadOperationStatus);
    ASSERT_TRUE(WellFormed(status, 1, cmd::kCmdReadOperationStatus, 11));
    EXPECT_EQ(Data(status)[0] & AxisDevice::kFlagOperating, 0);
}

TEST(SimParameters, EachModelHasItsNumbersAndRefusesTheOthers)
{
    struct Case { const char *model; const char *version; int last; };
    const Case cases[] = {{"MDA", "2105", 111}, {"MDB", "2105", 182}, {"MDB", "1050", 151},
                          {"MDC", "1070", 151}, {"MDC", "1080", 182}, {"MDC", "C100", 151},
                          {"MDC-X", "2105", 168}, {"MDA-Y", "2105", 113}, {"MDA-Z", "2105", 115}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.version);
        SimBus bus;
        bus.Add(std::make_unique<AxisDevice>(4, *FindModel(c.model), c.version, "P"));
        for (int number : {1, 49, 100, c.last}) {
            const auto reply = Ask(bus, 4, cmd::kCmdReadParameter, test::U16(static_cast<uint16_t>(number)));
            ASSERT_TRUE(WellFormed(reply, 4, cmd::kCmdReadParameter, 13)) << number;
            EXPECT_EQ(frame::GetU16(Data(reply).data()), number);
        }
        for (int number : {0, 50, 99, c.last + 1, 300}) {
            const auto reply = Ask(bus, 4, cmd::kCmdReadParameter, test::U16(static_cast<uint16_t>(number)));
            ASSERT_EQ(reply.size(), 13u) << number;
            EXPECT_EQ(reply[3], 0x0F);
            EXPECT_EQ(reply[4], 0x00);
            EXPECT_EQ(reply[5], 0x00);
            EXPECT_TRUE(frame::EndsWithCrLf(reply.data(), reply.size()));
            EXPECT_FALSE(frame::CrcMatches(reply.data(), reply.size())) << number;
            const auto write = Ask(bus, 4, cmd::kCmdWriteParameter, test::ParamWrite(static_cast<uint16_t>(number), 5));
            EXPECT_EQ(write, (std::vector<uint8_t>{0xEF, 4, 0x25, 0x0F, 0x00, 0x00, 0x0D, 0x0A})) << number;
        }
    }
}

TEST(SimParameters, WriteThenReadRoundTripsNegativeValuesLittleEndian)
{
    auto bus = SimBus::CreateDemo();
    auto reply = Ask(*bus, 2, cmd::kCmdWriteParameter, test::ParamWrite(35, -2));
    ASSERT_TRUE(WellFormed(reply, 2, cmd::kCmdWriteParameter, 8));
    EXPECT_EQ(Data(reply)[0], 1);
    reply = Ask(*bus, 2, cmd::kCmdReadParameter, {0x23, 0x00});
    ASSERT_TRUE(WellFormed(reply, 2, cmd::kCmdReadParameter, 13));
    EXPECT_EQ(Data(reply), (std::vector<uint8_t>{0x23, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(SimParameters, DefaultsAreTheParameterFilesValuesOnTheWire)
{
    auto bus = SimBus::CreateDemo();
    struct Case { uint8_t address; int number; int32_t value; };
    const Case cases[] = {
        {0, param::kInchingDistance, 10},      // MDA: 1.0 mm at factor 10
        {1, param::kInchingDistance, 100},     // MDB: 0.100 mm at factor 1000
        {3, param::kInchingDistance, 1000},    // MDC-X: 0.1000 mm at factor 10000
        {0, param::kSoftLimitPlus, 1000000},   // 100 mm
        {0, param::kSoftLimitMinus, -3000},    // -0.3 mm
        {5, param::kSoftLimitPlus, 3600000},   // 360 deg
        {0, param::kOperationType, 0},
        {1, param::kPushLimit, 100},
        {0, param::kJogSpeed, 50},
        {2, param::kMaxSpeed, 1500},
        {1, param::kLoadInertiaRatio, 1000},   // 1.000
    };
    for (const auto &c : cases) {
        const auto reply = Ask(*bus, c.address, cmd::kCmdReadParameter, test::U16(static_cast<uint16_t>(c.number)));
        ASSERT_TRUE(WellFormed(reply, c.address, cmd::kCmdReadParameter, 13));
        EXPECT_EQ(frame::GetI32(Data(reply).data() + 2), c.value) << int(c.address) << " #" << c.number;
    }
}

TEST(SimReply, RefusalPatternNeverCarriesAValidCrc)
{
    for (uint8_t command : {cmd::kCmdReadParameter, cmd::kCmdWriteParameter, cmd::kCmdReadAllSteps, cmd::kCmdStartAutoTuning,
                            cmd::kCmdReadAutoTuningStatus}) {
        for (size_t length : {8u, 13u, 49u, 51u}) {
            const auto r = Reply::Refusal(7, command, length);
            ASSERT_EQ(r.size(), length);
            EXPECT_EQ(r[3], 0x0F);
            EXPECT_EQ(r[4], 0x00);
            EXPECT_EQ(r[5], 0x00);
            EXPECT_FALSE(frame::CrcMatches(r.data(), r.size())) << int(command) << "/" << length;
        }
    }
}

TEST(SimModels, OldVersionRule)
{
    struct Case { const char *version; bool old; };
    const Case cases[] = {{"1070", true}, {"1080", false}, {"0990", true}, {"1305", false}, {"A123", true},
                          {"G000", true}, {"H000", false}, {"2105", false}, {"", false}};
    for (const auto &c : cases)
        EXPECT_EQ(IsOldVersion(c.version), c.old) << c.version;
}

} // namespace
} // namespace kvl::sim
