// The opening's reads go through the command layer: a scripted facade answers the frames and
// records the timeouts, so the whole path from CParamList::Load to the bytes is checked.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "support/CommStub.h"
#include "config/CIniEx.h"
#include "params/CParamList.h"
#include "params/CServoParamReader.h"
#include "link/CComm.h"
#include "link/ResultCode.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl::params {
namespace {

class ScriptedBus : public test::CommStub {
public:
    std::map<uint16_t, int32_t> parameters;  // answered parameter numbers
    uint8_t typeCode = 2;                     // MDB
    std::string version = "1305";
    std::string name = "GRIPPER";
    std::vector<std::pair<uint8_t, int>> requests; // command byte, timeout

    int Exchange(const uint8_t *request, int, uint8_t *reply, int *received, int, int timeoutMs,
                 int) override
    {
        const uint8_t axis = request[frame::kOffsetAxis];
        const uint8_t command = request[frame::kOffsetCommand];
        requests.emplace_back(command, timeoutMs);
        std::vector<uint8_t> data;
        if (command == cmd::kCmdReadDeviceType) {
            data = {0, typeCode};
        } else if (command == cmd::kCmdReadVersionAndName) {
            data.assign(20, 0);
            std::memcpy(data.data(), version.data(), 4);
            std::memcpy(data.data() + 4, name.data(), name.size());
        } else if (command == cmd::kCmdReadParameter) {
            const uint16_t number = frame::GetU16(request + frame::kOffsetData);
            auto found = parameters.find(number);
            if (found == parameters.end())
                return kResultTimeout;
            frame::PutU16(data, number);
            frame::PutI32(data, found->second);
        } else {
            return kResultTimeout;
        }
        const std::vector<uint8_t> frameBytes = frame::Build(axis, command, data);
        std::memcpy(reply, frameBytes.data(), frameBytes.size());
        *received = static_cast<int>(frameBytes.size());
        return kResultOk;
    }

};

TEST(CServoParamReader, LoadReadsThroughTheCommandLayerWithTheRightTimeouts)
{
    ScriptedBus bus;
    bus.parameters = {{31, 1500}, {45, 4000000}};
    CServoCommands commands(&bus);
    CServoParamReader reader(commands, 3);

    CIniEx store;
    store.LoadText("[31]\nDisplayName=Inching distance\nType=2\nDisplayPrecision=3\nMin=0\n"
                   "Max=100\nValue=0.100\n"
                   "[45]\nDisplayName=Pulse output\nType=3\nSelItemCount=17\nSelItem1=2500\n"
                   "SelItem2=3125\nSelItem3=4000\nSelItem4=5000\nSelItem5=6250\nSelItem6=8000\n"
                   "SelItem7=10000\nSelItem8=20000\nSelItem9=30000\nSelItem10=40000\n"
                   "SelItem11=50000\nSelItem12=62500\nSelItem13=100000\nSelItem14=125000\n"
                   "SelItem15=200000\nSelItem16=1000000\nSelItem17=4000000\nValue=2500\n"
                   "[100]\nDisplayName=Axis name\nType=4\nValue=\n",
                   true);
    CParamList list;
    CParamList::Axis axis{"MDA", "", "", 0};
    EXPECT_EQ(list.Load(store, axis, &reader), 0);

    EXPECT_EQ(axis.model, "MDB");
    EXPECT_EQ(axis.version, "1305");
    EXPECT_EQ(axis.name, "GRIPPER");
    EXPECT_DOUBLE_EQ(list.At(31).RealValue(), 1.5);
    EXPECT_EQ(list.At(45).SelectedText().Bytes(), "4000000");
    EXPECT_EQ(list.At(100).TextValue().Bytes(), "GRIPPER");

    for (const auto &[command, timeout] : bus.requests) {
        if (command == cmd::kCmdReadDeviceType)
            EXPECT_EQ(timeout, 30);
        else
            EXPECT_EQ(timeout, 200) << int(command);
    }
    EXPECT_EQ(bus.requests.size(), 2u + 2u + 2u) << "type+version twice, two parameters";
}

TEST(CServoParamReader, RefusesNumbersThatDoNotFitSixteenBits)
{
    ScriptedBus bus;
    CServoCommands commands(&bus);
    CServoParamReader reader(commands, 0);
    int32_t value = 9;
    EXPECT_EQ(reader.ReadParameter(value, 0x10000), kResultBadReply);
    EXPECT_EQ(reader.ReadParameter(value, 0), kResultBadReply);
    EXPECT_EQ(value, 9);
    EXPECT_TRUE(bus.requests.empty());
}

} // namespace
} // namespace kvl::params
