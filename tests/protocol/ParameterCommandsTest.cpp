// Parameter commands: the golden requests, the three shapes of value, the echo check, the
// refusal pattern and the status rule of the writes.
#include <climits>

#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"

namespace kvl::test {
namespace {

class ParameterCommands : public ::testing::Test {
protected:
    FakeComm comm;
    CServoCommands commands{&comm};

    // A read reply for `echo` carrying the four value bytes.
    void AnswerValue(uint8_t axis, uint8_t echo, const Bytes &value)
    {
        Bytes data;
        data.reserve(2 + value.size());
        data.push_back(echo);
        data.push_back(0x00);
        for (uint8_t b : value)
            data.push_back(b);
        comm.Answer(ReplyFrame(axis, 0x24, data));
    }
};

TEST_F(ParameterCommands, ReadParameter35OnAxis2IsGolden)
{
    AnswerValue(2, 0x23, {0x01, 0x00, 0x00, 0x00});
    int32_t value = 0;
    EXPECT_EQ(commands.ReadParameter(35, value, 2, 200), -200);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(comm.calls.size(), 1u);
    EXPECT_EQ(comm.calls[0].request, (Bytes{0xEF, 0x02, 0x24, 0x23, 0x00, 0x09, 0xB3, 0x0D, 0x0A}));
    EXPECT_EQ(comm.calls[0].expected, 13);
}

TEST_F(ParameterCommands, ValueBytesAreLittleEndianSigned)
{
    const std::vector<std::pair<Bytes, int32_t>> table{{{0xFE, 0xFF, 0xFF, 0xFF}, -2},
                                                       {{0x10, 0x27, 0x00, 0x00}, 10000},
                                                       {{0x00, 0x00, 0x00, 0x80}, INT32_MIN},
                                                       {{0xFF, 0xFF, 0xFF, 0x7F}, INT32_MAX}};
    for (const auto &[bytes, expected] : table) {
        AnswerValue(1, 0x10, bytes);
        int32_t value = 0;
        EXPECT_EQ(commands.ReadParameter(16, value, 1, 200), -200);
        EXPECT_EQ(value, expected);
    }
}

TEST_F(ParameterCommands, EchoComparesTheLowByteOnly)
{
    AnswerValue(1, 0x24, {0x05, 0, 0, 0});
    int32_t value = -1;
    EXPECT_EQ(commands.ReadParameter(0x0124, value, 1, 200), -200);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(comm.calls[0].request[3], 0x24);
    EXPECT_EQ(comm.calls[0].request[4], 0x01);

    AnswerValue(1, 0x23, {0x06, 0, 0, 0});
    EXPECT_EQ(commands.ReadParameter(0x0124, value, 1, 200), -206);
    EXPECT_EQ(value, 5);

    std::array<uint8_t, 4> bytes{7, 7, 7, 7};
    AnswerValue(1, 0x23, {0x06, 0, 0, 0});
    EXPECT_EQ(commands.ReadParameterBytes(0x0124, bytes, 1, 200), -206);
    EXPECT_EQ(bytes, (std::array<uint8_t, 4>{7, 7, 7, 7}));
    CodePair pair{9, 9};
    AnswerValue(1, 0x23, {0x06, 0, 0, 0});
    EXPECT_EQ(commands.ReadParameterCodePair(0x0124, pair, 1, 200), -206);
    EXPECT_EQ(pair.code, 9);
}

TEST_F(ParameterCommands, ReadBytesKeepsWireOrder)
{
    AnswerValue(1, 0x40, {0xA1, 0xB2, 0xC3, 0xD4});
    std::array<uint8_t, 4> bytes{};
    EXPECT_EQ(commands.ReadParameterBytes(0x40, bytes, 1, 200), -200);
    EXPECT_EQ(bytes, (std::array<uint8_t, 4>{0xA1, 0xB2, 0xC3, 0xD4}));
}

TEST_F(ParameterCommands, CodePairDecoding)
{
    struct Case {
        uint8_t byte;
        int group;
        int code;
    };
    const std::vector<Case> table{{0x2B, 2, 3}, {0x07, 0, 3}, {0x11, 1, 1}, {0x00, 0, 0}, {0x23, 2, 3},
                                  {0x30, 3, 0}, {0x32, 3, 2}, {0xFF, 3, 3}, {0x1F, 1, 3}};
    for (const Case &c : table) {
        const CodePair p = CServoCommands::DecodeCodePair(c.byte);
        EXPECT_EQ(p.group, c.group) << std::hex << int(c.byte);
        EXPECT_EQ(p.code, c.code) << std::hex << int(c.byte);

        AnswerValue(1, 0x08, {c.byte, 0x55, 0x66, 0x77});
        CodePair read{-1, -1};
        EXPECT_EQ(commands.ReadParameterCodePair(8, read, 1, 200), -200);
        EXPECT_EQ(read.group, c.group);
        EXPECT_EQ(read.code, c.code);
    }
}

TEST_F(ParameterCommands, WriteShapesAreGolden)
{
    comm.Answer(ReplyFrame(2, 0x25, {0x01}));
    EXPECT_EQ(commands.WriteParameter(35, -1, 2, 200), -200);
    EXPECT_EQ(comm.calls.back().request,
              (Bytes{0xEF, 0x02, 0x25, 0x23, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x76, 0x0D, 0x0A}));
    EXPECT_EQ(comm.calls.back().expected, 8);

    struct Case {
        std::function<int()> call;
        Bytes payload;
    };
    const std::vector<Case> table{
        {[&] { return commands.WriteParameter(0x0102, 0x12345678, 1, 200); }, {0x02, 0x01, 0x78, 0x56, 0x34, 0x12}},
        {[&] { return commands.WriteParameterBytes(7, {0xA1, 0xB2, 0xC3, 0xD4}, 1, 200); },
         {0x07, 0x00, 0xA1, 0xB2, 0xC3, 0xD4}},
        {[&] { return commands.WriteParameterCodePair(9, {3, 2}, 1, 200); }, {0x09, 0x00, 0x23, 0x00, 0x00, 0x00}},
        {[&] { return commands.WriteParameterCodePair(9, {1, 0}, 1, 200); }, {0x09, 0x00, 0x01, 0x00, 0x00, 0x00}}};
    for (const Case &c : table) {
        comm.Answer(ReplyFrame(1, 0x25, {0x01}));
        EXPECT_EQ(c.call(), -200);
        const Bytes &req = comm.calls.back().request;
        ASSERT_EQ(req.size(), 13u);
        EXPECT_EQ(Bytes(req.begin() + 3, req.begin() + 9), c.payload);
    }
}

TEST_F(ParameterCommands, WriteStatusAndRefusal)
{
    const std::vector<std::pair<Bytes, int>> table{
        {ReplyFrame(1, 0x25, {0x00}), -205},
        {ReplyFrame(1, 0x25, {0x02}), -200},
        {Bytes{0xEF, 0x01, 0x25, 0x0F, 0x00, 0x00, 0x0D, 0x0A}, 0},
        {Bytes{0xEF, 0x01, 0x25, 0x0E, 0x00, 0x00, 0x0D, 0x0A}, -205},
        {Bytes{0xEF, 0x01, 0x25, 0x0F, 0x01, 0x00, 0x0D, 0x0A}, -205},
        {Bytes{0xEF, 0x01, 0x25, 0x0F, 0x00, 0x01, 0x0D, 0x0A}, -205}};
    for (const auto &[reply, expected] : table) {
        comm.Answer(reply);
        EXPECT_EQ(commands.WriteParameter(1, 1, 1, 200), expected);
    }
}

TEST_F(ParameterCommands, ReadRefusalLeavesValue)
{
    comm.Answer(RefusalFrame(1, 0x24, 13));
    int32_t value = 42;
    EXPECT_EQ(commands.ReadParameter(0x11, value, 1, 200), 0);
    EXPECT_EQ(value, 42);
}

} // namespace
} // namespace kvl::test
