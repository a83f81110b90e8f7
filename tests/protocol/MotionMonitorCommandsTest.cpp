// Motion, monitor and alarm commands: golden requests and the values handed back.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl::test {
namespace {

class MotionMonitorCommands : public ::testing::Test {
protected:
    FakeComm comm;
    CServoCommands commands{&comm};
};

TEST_F(MotionMonitorCommands, MotionRequestsAreGolden)
{
    struct Case {
        const char *what;
        std::function<int(uint8_t &)> call;
        Bytes request;
    };
    const std::vector<Case> table{
        {"JogStart 250", [&](uint8_t &s) { return commands.JogStart(250, s, 1, 200); },
         {0xEF, 0x01, 0x10, 0x01, 0x13, 0x52, 0x0D, 0x0A}},
        {"JogStart 0", [&](uint8_t &s) { return commands.JogStart(0, s, 1, 200); },
         {0xEF, 0x01, 0x10, 0x02, 0x23, 0x31, 0x0D, 0x0A}},
        {"JogStart -250", [&](uint8_t &s) { return commands.JogStart(-250, s, 1, 200); },
         {0xEF, 0x01, 0x10, 0x02, 0x23, 0x31, 0x0D, 0x0A}},
        {"InchingMove 1", [&](uint8_t &s) { return commands.InchingMove(1, s, 1, 200); },
         {0xEF, 0x01, 0x11, 0x01, 0x20, 0x63, 0x0D, 0x0A}},
        {"InchingMove -1", [&](uint8_t &s) { return commands.InchingMove(-1, s, 1, 200); },
         {0xEF, 0x01, 0x11, 0x02, 0x10, 0x00, 0x0D, 0x0A}},
        {"StartProgram 3", [&](uint8_t &s) { return commands.StartProgram(3, s, 1, 200); },
         {0xEF, 0x01, 0x0E, 0x03, 0x00, 0x4E, 0x52, 0x0D, 0x0A}},
        {"HomeReturn 1", [&](uint8_t &s) { return commands.HomeReturn(1, s, 1, 200); },
         {0xEF, 0x01, 0x0D, 0x01, 0x66, 0x7D, 0x0D, 0x0A}},
        {"HomeReturn 0", [&](uint8_t &s) { return commands.HomeReturn(0, s, 1, 200); },
         {0xEF, 0x01, 0x0D, 0x00, 0x76, 0x5C, 0x0D, 0x0A}},
        {"ServoOn", [&](uint8_t &s) { return commands.ServoOn(s, 1, 200); }, {0xEF, 0x01, 0x0B, 0xB1, 0x6B, 0x0D, 0x0A}},
        {"ServoOff", [&](uint8_t &s) { return commands.ServoOff(s, 1, 200); }, {0xEF, 0x01, 0x0C, 0xC1, 0x8C, 0x0D, 0x0A}},
        {"Stop", [&](uint8_t &s) { return commands.Stop(s, 1, 200); }, {0xEF, 0x01, 0x0F, 0xF1, 0xEF, 0x0D, 0x0A}},
        {"SetInputSignal 5 on", [&](uint8_t &s) { return commands.SetInputSignal(5, true, s, 4, 200); },
         {0xEF, 0x04, 0x2A, 0x85, 0x28, 0x00, 0x0D, 0x0A}},
        {"SetInputSignal 5 off", [&](uint8_t &s) { return commands.SetInputSignal(5, false, s, 4, 200); },
         {0xEF, 0x04, 0x2A, 0x05, 0xB9, 0x88, 0x0D, 0x0A}},
    };
    for (const Case &c : table) {
        SCOPED_TRACE(c.what);
        const uint8_t axis = c.request[1];
        comm.Answer(ReplyFrame(axis, c.request[2], {0x01}));
        uint8_t status = 0;
        EXPECT_EQ(c.call(status), -200);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(comm.calls.back().request, c.request);
        EXPECT_EQ(comm.calls.back().expected, 8);
    }
}

TEST_F(MotionMonitorCommands, SetInputSignalRefusesNumbersOutsideTheInputs)
{
    for (int input : {-1, 16, 127, 128}) {
        uint8_t status = 0x33;
        EXPECT_EQ(commands.SetInputSignal(input, true, status, 1, 200), -205) << input;
        EXPECT_EQ(status, 0x33);
    }
    EXPECT_TRUE(comm.calls.empty());
    comm.Answer(ReplyFrame(1, 0x2A, {0x01}));
    uint8_t status = 0;
    EXPECT_EQ(commands.SetInputSignal(15, true, status, 1, 200), -200);
    EXPECT_EQ(comm.calls.back().request[3], 0x8F);
}

TEST_F(MotionMonitorCommands, IoSignalWordIsLittleEndian)
{
    comm.Answer(ReplyFrame(1, 0x19, {0x78, 0x56, 0x34, 0x12}));
    uint32_t word = 0;
    EXPECT_EQ(commands.ReadIOSignals(word, 1, 200), -200);
    EXPECT_EQ(word, 0x12345678u);
    comm.Answer(ReplyFrame(1, 0x19, {0x00, 0x00, 0x01, 0x80}));
    EXPECT_EQ(commands.ReadIOSignals(word, 1, 200), -200);
    EXPECT_EQ(word, 0x80010000u);
}

TEST_F(MotionMonitorCommands, LoadFactorReplyLengthFollowsTheModel)
{
    struct Case {
        const char *model;
        Bytes data;
        int expectedLength;
        int result;
    };
    const std::vector<Case> table{{"MDC", {57}, 9, -205},        {"MDC", {57, 0x99}, 9, -200},
                                  {"MDB", {57, 0x99}, 9, -200},  {"MDC-X", {57, 0x99}, 9, -200},
                                  {"MDA", {57, 0x99}, 8, -205},  {"MDA", {57}, 8, -200},
                                  {"MDA-Z", {57}, 8, -200},      {"MDA-Y", {57}, 8, -200}};
    for (const Case &c : table) {
        comm.Answer(ReplyFrame(1, 0x34, c.data));
        uint8_t load = 0;
        EXPECT_EQ(commands.ReadLoadFactor(c.model, load, 1, 200), c.result) << c.model;
        EXPECT_EQ(load, c.result == -200 ? 57 : 0) << c.model;
        EXPECT_EQ(comm.calls.back().expected, c.expectedLength) << c.model;
    }
}

TEST_F(MotionMonitorCommands, AlarmCodesAndHistory)
{
    comm.Answer(ReplyFrame(1, 0x5B, {0xFE}));
    uint8_t code = 0;
    EXPECT_EQ(commands.ReadAlarmCode(code, 1, 200), -200);
    EXPECT_EQ(code, 0xFE);

    Bytes history(50, 0xFF);
    history[0] = 12;
    history[49] = 3;
    comm.Answer(ReplyFrame(1, 0x5D, history));
    std::vector<uint8_t> read;
    EXPECT_EQ(commands.ReadAlarmHistory(read, 1, 200), -200);
    EXPECT_EQ(read, history);
    EXPECT_EQ(read.size(), 50u);

    comm.Answer(ReplyFrame(1, 0x5D, Bytes(50, 0xFF)));
    EXPECT_EQ(commands.ReadAlarmHistory(read, 1, 200), -200);
    EXPECT_TRUE(std::all_of(read.begin(), read.end(), [](uint8_t b) { return b == 0xFF; }));

    for (auto [command, fn] : std::vector<std::pair<uint8_t, std::function<int(uint8_t &)>>>{
             {0x5C, [&](uint8_t &s) { return commands.AlarmReset(s, 0xF1, 200); }},
             {0x5E, [&](uint8_t &s) { return commands.ClearAlarmHistory(s, 0xF1, 200); }}}) {
        comm.Answer(ReplyFrame(0xF1, command, {0x01}));
        uint8_t status = 0;
        EXPECT_EQ(fn(status), -200);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(comm.calls.back().request, frame::Build(0xF1, command));
    }
}

} // namespace
} // namespace kvl::test
