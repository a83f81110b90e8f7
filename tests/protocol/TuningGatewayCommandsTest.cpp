// Auto-tuning and gateway unit commands: golden requests, decoding and the device-list codes.
#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl::test {
namespace {

class TuningGatewayCommands : public ::testing::Test {
protected:
    FakeComm comm;
    CServoCommands commands{&comm};
};

TEST_F(TuningGatewayCommands, StartAutoTuningIsGolden)
{
    comm.Answer(ReplyFrame(1, 0x50, {0x01}));
    EXPECT_EQ(commands.StartAutoTuning(1, 1, 1, 1, 200), -200);
    EXPECT_EQ(comm.calls.back().request,
              (Bytes{0xEF, 0x01, 0x50, 0x01, 0x00, 0x01, 0x01, 0x40, 0x96, 0x0D, 0x0A}));
    EXPECT_EQ(comm.calls.back().expected, 8);

    comm.Answer(ReplyFrame(1, 0x50, {0x01}));
    EXPECT_EQ(commands.StartAutoTuning(0x0203, 0, 0, 1, 200), -200);
    const Bytes &req = comm.calls.back().request;
    EXPECT_EQ(Bytes(req.begin() + 3, req.begin() + 7), (Bytes{0x03, 0x02, 0x00, 0x00}));
}

TEST_F(TuningGatewayCommands, AutoTuningStatusDecodes)
{
    comm.Answer(ReplyFrame(1, 0x51, {0x01, 0x00, 0xFF, 0xFF, 0x10, 0x00}));
    AutoTuningStatus st;
    EXPECT_EQ(commands.ReadAutoTuningStatus(st, 1, 200), -200);
    EXPECT_EQ(st.qualityState, 1);
    EXPECT_EQ(st.tuningState, 0);
    EXPECT_EQ(st.value1, -1);
    EXPECT_EQ(st.value2, 16);
    EXPECT_EQ(comm.calls.back().request, (Bytes{0xEF, 0x01, 0x51, 0x4A, 0xD4, 0x0D, 0x0A}));
}

TEST_F(TuningGatewayCommands, WriteUnitDeviceTablesAllRotaryModeThree)
{
    UnitDeviceTables tables;
    tables.deviceList.fill(8);
    tables.inputModes.fill(3);
    comm.Answer(ReplyFrame(0xF1, 0xD2, {0x01}));
    uint8_t status = 0;
    EXPECT_EQ(commands.WriteUnitDeviceTables(tables, status, 0xF1, 30), -200);
    EXPECT_EQ(status, 1);
    Bytes expected{0xEF, 0xF1, 0xD2};
    expected.insert(expected.end(), 16, 0x08);
    expected.insert(expected.end(), 16, 0x03);
    expected.insert(expected.end(), {0x72, 0xEB, 0x0D, 0x0A});
    EXPECT_EQ(comm.calls.back().request, expected);
    EXPECT_EQ(comm.calls.back().timeoutMs, 30);
}

TEST_F(TuningGatewayCommands, WriteUnitDeviceListIsGolden)
{
    UnitDeviceList list;
    list.fill(8);
    comm.Answer(ReplyFrame(0xF1, 0xC9, {0x00}));
    uint8_t status = 9;
    EXPECT_EQ(commands.WriteUnitDeviceList(list, status, 0xF1, 200), -200);
    EXPECT_EQ(status, 0);
    Bytes expected{0xEF, 0xF1, 0xC9};
    expected.insert(expected.end(), 16, 0x08);
    expected.insert(expected.end(), {0xB5, 0x46, 0x0D, 0x0A});
    EXPECT_EQ(comm.calls.back().request, expected);
}

TEST_F(TuningGatewayCommands, DeviceListCodesTheReaderDoesNotKnowReadAsNone)
{
    const Bytes wire{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 254, 255, 0x80, 1, 8, 255};
    const UnitDeviceList expected{0, 1, 2, 3, 0, 0, 6, 7, 8, 0, 0, 255, 0, 1, 8, 255};
    comm.Answer(ReplyFrame(0xF1, 0xCA, wire));
    UnitDeviceList list{};
    EXPECT_EQ(commands.ReadUnitDeviceList(list, 0xF1, 200), -200);
    EXPECT_EQ(list, expected);

    Bytes tablesData = wire;
    for (int i = 0; i < 16; ++i)
        tablesData.push_back(static_cast<uint8_t>(i % 4));
    comm.Answer(ReplyFrame(0xF1, 0xD3, tablesData));
    UnitDeviceTables tables;
    EXPECT_EQ(commands.ReadUnitDeviceTables(tables, 0xF1, 30), -200);
    EXPECT_EQ(tables.deviceList, expected);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(tables.inputModes[i], i % 4);
}

TEST_F(TuningGatewayCommands, RemoteStateIsHandedBack)
{
    for (uint8_t state : {0, 1, 2}) {
        comm.Answer(ReplyFrame(3, 0xCB, {state}));
        uint8_t read = 0xEE;
        EXPECT_EQ(commands.ReadRemoteState(read, 3, 200), -200);
        EXPECT_EQ(read, state);
        EXPECT_EQ(comm.calls.back().request, frame::Build(3, 0xCB));
    }
}

} // namespace
} // namespace kvl::test
