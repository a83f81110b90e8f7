// Every command with a reply of known length, run against the same set of damaged replies: each
// must be refused with the right code and must leave its outputs as they were.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl::test {
namespace {

constexpr uint8_t kAxis = 5;
constexpr int kTimeout = 123;

// Result of one call and whether any output changed from its preset value.
struct Outcome {
    int result = 0;
    bool touched = false;
};

struct FixedReplyCase {
    std::string name;
    uint8_t command;
    int replyLength;
    int expectedArg;        // what the command passes as the expected length
    bool refusalApplies;    // bad CRC with 0F 00 00 is the controller's refusal (0)
    bool hasOutputs;
    std::function<Outcome(CServoCommands &)> call;
};

// Test listings name a case by its command, not by its bytes.
void PrintTo(const FixedReplyCase &c, std::ostream *os)
{
    *os << c.name;
}

template <typename T>
Outcome Compare(int result, const T &value, const T &preset)
{
    return {result, !(value == preset)};
}

Outcome StatusOut(const std::function<int(uint8_t &)> &fn)
{
    uint8_t status = 0xAA;
    const int r = fn(status);
    return {r, status != 0xAA};
}

std::vector<FixedReplyCase> Cases()
{
    using S = CServoCommands;
    const int t = kTimeout;
    std::vector<FixedReplyCase> c;
    auto status = [&](const char *name, uint8_t command, int len, std::function<int(S &, uint8_t &)> fn) {
        c.push_back({name, command, len, len, false, true,
                     [fn](S &s) { return StatusOut([&](uint8_t &b) { return fn(s, b); }); }});
    };
    c.push_back({"ReadVersionAndName", cmd::kCmdReadVersionAndName, 27, 27, false, true, [t](S &s) {
                     std::string v = "keep", n = "keep";
                     const int r = s.ReadVersionAndName(v, n, kAxis, t);
                     // A CRC failure empties the name on purpose; that case has its own tests.
                     return Outcome{r, v != "keep" || (n != "keep" && !n.empty())};
                 }});
    status("WriteDeviceName", cmd::kCmdWriteDeviceName, 8,
           [t](S &s, uint8_t &b) { return s.WriteDeviceName("AXIS", b, kAxis, t); });
    status("ReadServoState", cmd::kCmdReadServoState, 8, [t](S &s, uint8_t &b) { return s.ReadServoState(b, kAxis, t); });
    status("ReadHomeDone", cmd::kCmdReadHomeDone, 8, [t](S &s, uint8_t &b) { return s.ReadHomeDone(b, kAxis, t); });
    status("ReadRunMode", cmd::kCmdReadRunMode, 8, [t](S &s, uint8_t &b) { return s.ReadRunMode(b, kAxis, t); });
    c.push_back({"ReadPositions", cmd::kCmdReadPositions, 15, 15, false, true, [t](S &s) {
                     Positions p{-7, -7};
                     const int r = s.ReadPositions(p, kAxis, t);
                     return Outcome{r, p.command != -7 || p.current != -7};
                 }});
    c.push_back({"ReadCurrentStep", cmd::kCmdReadCurrentStep, 9, 9, false, true, [t](S &s) {
                     int step = -999;
                     const int r = s.ReadCurrentStep(step, kAxis, t);
                     return Outcome{r, step != -999};
                 }});
    c.push_back({"ReadOperationStatus", cmd::kCmdReadOperationStatus, 11, 11, false, true, [t](S &s) {
                     OperationStatus st;
                     st.state = 77;
                     const int r = s.ReadOperationStatus(st, kAxis, t);
                     return Outcome{r, st.state != 77};
                 }});
    // Parameter 0x11: the pattern data echoes 0x11 as the number's low byte.
    c.push_back({"ReadParameter", cmd::kCmdReadParameter, 13, 13, true, true, [t](S &s) {
                     int32_t v = -99;
                     const int r = s.ReadParameter(0x11, v, kAxis, t);
                     return Outcome{r, v != -99};
                 }});
    c.push_back({"ReadParameterBytes", cmd::kCmdReadParameter, 13, 13, true, true, [t](S &s) {
                     std::array<uint8_t, 4> b{9, 9, 9, 9};
                     const int r = s.ReadParameterBytes(0x11, b, kAxis, t);
                     return Compare(r, b, std::array<uint8_t, 4>{9, 9, 9, 9});
                 }});
    c.push_back({"ReadParameterCodePair", cmd::kCmdReadParameter, 13, 13, true, true, [t](S &s) {
                     CodePair p{-1, -1};
                     const int r = s.ReadParameterCodePair(0x11, p, kAxis, t);
                     return Outcome{r, p.code != -1 || p.group != -1};
                 }});
    c.push_back({"WriteParameter", cmd::kCmdWriteParameter, 8, 8, true, false,
                 [t](S &s) { return Outcome{s.WriteParameter(3, 1, kAxis, t), false}; }});
    c.push_back({"WriteParameterBytes", cmd::kCmdWriteParameter, 8, 8, true, false,
                 [t](S &s) { return Outcome{s.WriteParameterBytes(3, {1, 2, 3, 4}, kAxis, t), false}; }});
    c.push_back({"WriteParameterCodePair", cmd::kCmdWriteParameter, 8, 8, true, false,
                 [t](S &s) { return Outcome{s.WriteParameterCodePair(3, {1, 2}, kAxis, t), false}; }});
    for (const char *model : {"MDA", "MDC"}) {
        const int len = std::string(model) == "MDC" ? 51 : 49;
        c.push_back({std::string("ReadStep_") + model, cmd::kCmdReadStep, len, -1, true, true, [t, model](S &s) {
                         StepRecord rec;
                         rec.step = -999;
                         const int r = s.ReadStep(2, model, rec, kAxis, t);
                         return Outcome{r, rec.step != -999};
                     }});
        c.push_back({std::string("WriteStep_") + model, cmd::kCmdWriteStep, 8, 8, false, false, [t, model](S &s) {
                         StepRecord rec;
                         rec.step = 1;
                         return Outcome{s.WriteStep(rec, model, kAxis, t), false};
                     }});
        c.push_back({std::string("ReadLoadFactor_") + model, cmd::kCmdReadLoadFactor, len == 51 ? 9 : 8,
                     len == 51 ? 9 : 8, false, true, [t, model](S &s) {
                         return StatusOut([&](uint8_t &b) { return s.ReadLoadFactor(model, b, kAxis, t); });
                     }});
    }
    c.push_back({"ClearPointTable", cmd::kCmdClearPointTable, 8, 8, false, false,
                 [t](S &s) { return Outcome{s.ClearPointTable(kAxis, t), false}; }});
    status("ServoOn", cmd::kCmdServoOn, 8, [t](S &s, uint8_t &b) { return s.ServoOn(b, kAxis, t); });
    status("ServoOff", cmd::kCmdServoOff, 8, [t](S &s, uint8_t &b) { return s.ServoOff(b, kAxis, t); });
    status("HomeReturn", cmd::kCmdHomeReturn, 8, [t](S &s, uint8_t &b) { return s.HomeReturn(1, b, kAxis, t); });
    status("StartProgram", cmd::kCmdStartProgram, 8, [t](S &s, uint8_t &b) { return s.StartProgram(3, b, kAxis, t); });
    status("Stop", cmd::kCmdStop, 8, [t](S &s, uint8_t &b) { return s.Stop(b, kAxis, t); });
    status("JogStart", cmd::kCmdJogStart, 8, [t](S &s, uint8_t &b) { return s.JogStart(250, b, kAxis, t); });
    status("InchingMove", cmd::kCmdInchingMove, 8, [t](S &s, uint8_t &b) { return s.InchingMove(-250, b, kAxis, t); });
    c.push_back({"ReadIOSignals", cmd::kCmdReadIOSignals, 11, 11, false, true, [t](S &s) {
                     uint32_t w = 0xDEADBEEF;
                     const int r = s.ReadIOSignals(w, kAxis, t);
                     return Outcome{r, w != 0xDEADBEEF};
                 }});
    status("SetInputSignal", cmd::kCmdSetInputSignal, 8,
           [t](S &s, uint8_t &b) { return s.SetInputSignal(5, true, b, kAxis, t); });
    status("ReadAlarmCode", cmd::kCmdReadAlarmCode, 8, [t](S &s, uint8_t &b) { return s.ReadAlarmCode(b, kAxis, t); });
    status("AlarmReset", cmd::kCmdAlarmReset, 8, [t](S &s, uint8_t &b) { return s.AlarmReset(b, kAxis, t); });
    c.push_back({"ReadAlarmHistory", cmd::kCmdReadAlarmHistory, 57, 57, false, true, [t](S &s) {
                     std::vector<uint8_t> h{1, 2, 3};
                     const int r = s.ReadAlarmHistory(h, kAxis, t);
                     return Compare(r, h, std::vector<uint8_t>{1, 2, 3});
                 }});
    status("ClearAlarmHistory", cmd::kCmdClearAlarmHistory, 8,
           [t](S &s, uint8_t &b) { return s.ClearAlarmHistory(b, kAxis, t); });
    c.push_back({"ReadWaveScales", cmd::kCmdReadWaveScales, 23, 23, false, true, [t](S &s) {
                     WaveScales w{-1, -1, -1, -1};
                     const int r = s.ReadWaveScales(w, kAxis, t);
                     return Outcome{r, w.timeStep != -1 || w.speedScale != -1};
                 }});
    status("StartWaveCapture", cmd::kCmdStartWaveCapture, 8,
           [t](S &s, uint8_t &b) { return s.StartWaveCapture(10, 0x19, b, kAxis, t); });
    status("StopWaveCapture", cmd::kCmdStopWaveCapture, 8, [t](S &s, uint8_t &b) { return s.StopWaveCapture(b, kAxis, t); });
    c.push_back({"StartAutoTuning", cmd::kCmdStartAutoTuning, 8, 8, true, false,
                 [t](S &s) { return Outcome{s.StartAutoTuning(1, 1, 1, kAxis, t), false}; }});
    c.push_back({"ReadAutoTuningStatus", cmd::kCmdReadAutoTuningStatus, 13, 13, true, true, [t](S &s) {
                     AutoTuningStatus st{-1, -1, -1, -1};
                     const int r = s.ReadAutoTuningStatus(st, kAxis, t);
                     return Outcome{r, st.qualityState != -1 || st.value2 != -1};
                 }});
    c.push_back({"ReadUnitDeviceList", cmd::kCmdReadUnitDeviceList, 23, 23, false, true, [t](S &s) {
                     UnitDeviceList l;
                     l.fill(0xAA);
                     UnitDeviceList preset = l;
                     const int r = s.ReadUnitDeviceList(l, kAxis, t);
                     return Compare(r, l, preset);
                 }});
    status("WriteUnitDeviceList", cmd::kCmdWriteUnitDeviceList, 8,
           [t](S &s, uint8_t &b) { return s.WriteUnitDeviceList(UnitDeviceList{}, b, kAxis, t); });
    c.push_back({"ReadUnitDeviceTables", cmd::kCmdReadUnitDeviceTables, 39, 39, false, true, [t](S &s) {
                     UnitDeviceTables tb;
                     tb.deviceList.fill(0xAA);
                     tb.inputModes.fill(0xAA);
                     const int r = s.ReadUnitDeviceTables(tb, kAxis, t);
                     return Outcome{r, tb.deviceList[0] != 0xAA || tb.inputModes[0] != 0xAA};
                 }});
    status("WriteUnitDeviceTables", cmd::kCmdWriteUnitDeviceTables, 8,
           [t](S &s, uint8_t &b) { return s.WriteUnitDeviceTables(UnitDeviceTables{}, b, kAxis, t); });
    status("ReadRemoteState", cmd::kCmdReadRemoteState, 8, [t](S &s, uint8_t &b) { return s.ReadRemoteState(b, kAxis, t); });
    return c;
}

class FixedReplyFaults : public ::testing::TestWithParam<FixedReplyCase> {
protected:

    // Plays `reply` with `exchangeResult` and checks the result and that no output changed.
    void ExpectRefused(const Bytes &reply, int exchangeResult, int expectedResult, const char *what)
    {
        SCOPED_TRACE(what);
        FakeComm comm;
        CServoCommands commands(&comm);
        comm.Answer(reply, exchangeResult);
        const Outcome out = GetParam().call(commands);
        EXPECT_EQ(out.result, expectedResult);
        EXPECT_FALSE(out.touched);
        EXPECT_EQ(comm.calls.size(), 1u);
    }

    Bytes GoodData() const { return PatternData(GetParam().replyLength - 7); }
};

TEST_P(FixedReplyFaults, GoodReplyIsAcceptedAfterOneExchange)
{
    const FixedReplyCase &tc = GetParam();
    FakeComm comm;
    CServoCommands commands(&comm);
    comm.Answer(ReplyFrame(kAxis, tc.command, GoodData()));
    const Outcome out = tc.call(commands);
    EXPECT_EQ(out.result, -200);
    EXPECT_EQ(out.touched, tc.hasOutputs);
    ASSERT_EQ(comm.calls.size(), 1u);
    const FakeComm::Call &call = comm.calls[0];
    EXPECT_EQ(call.request[0], 0xEF);
    EXPECT_EQ(call.request[1], kAxis);
    EXPECT_EQ(call.request[2], tc.command);
    EXPECT_EQ(call.expected, tc.expectedArg);
    EXPECT_EQ(call.timeoutMs, kTimeout);
    EXPECT_EQ(call.settleMs, 20);
    EXPECT_FALSE(call.paddingMode);
}

TEST_P(FixedReplyFaults, MalformedRepliesGive205AndLeaveOutputs)
{
    const FixedReplyCase &tc = GetParam();
    const Bytes data = GoodData();
    const Bytes good = ReplyFrame(kAxis, tc.command, data);

    Bytes shorter(data.begin(), data.end() - 1);
    ExpectRefused(ReplyFrame(kAxis, tc.command, shorter), -200, -205, "one data byte short");
    Bytes longer = data;
    longer.push_back(0x00);
    ExpectRefused(ReplyFrame(kAxis, tc.command, longer), -200, -205, "one data byte long");
    ExpectRefused(ReplyFrame(kAxis + 1, tc.command, data), -200, -205, "another axis");
    ExpectRefused(ReplyFrame(kAxis, static_cast<uint8_t>(tc.command ^ 0x80), data), -200, -205, "wrong echo");
    Bytes badStart = good;
    badStart[0] = 0xEE;
    ExpectRefused(badStart, -200, -205, "no start byte");
    Bytes noLf = good;
    noLf.back() = 0x00;
    ExpectRefused(noLf, -200, -205, "no CR LF");
    ExpectRefused(WithBadCrc(good), -200, -205, "bad CRC");
    ExpectRefused({}, -200, -205, "nothing received");
}

TEST_P(FixedReplyFaults, RefusalPatternGivesZeroOnlyWhereItApplies)
{
    const FixedReplyCase &tc = GetParam();
    ExpectRefused(RefusalFrame(kAxis, tc.command, tc.replyLength), -200, tc.refusalApplies ? 0 : -205,
                  "refusal pattern");
}

TEST_P(FixedReplyFaults, TransportResultsPassThrough)
{
    const Bytes good = ReplyFrame(kAxis, GetParam().command, GoodData());
    for (int code : {-201, -202, -203, -204, -205, 0})
        ExpectRefused(good, code, code, "transport failure");
}

INSTANTIATE_TEST_SUITE_P(AllCommands, FixedReplyFaults, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FixedReplyCase> &info) { return info.param.name; });

// Commands that turn a zero status into a failure, and ones that hand the zero back.
struct ZeroStatusCase {
    std::string name;
    uint8_t command;
    int expected;
    std::function<int(CServoCommands &)> call;
};

void PrintTo(const ZeroStatusCase &c, std::ostream *os)
{
    *os << c.name;
}

class ZeroStatus : public ::testing::TestWithParam<ZeroStatusCase> {};

TEST_P(ZeroStatus, ZeroStatusByteDecidesAsTheCommandSays)
{
    FakeComm comm;
    CServoCommands commands(&comm);
    comm.Answer(ReplyFrame(kAxis, GetParam().command, {0x00}));
    EXPECT_EQ(GetParam().call(commands), GetParam().expected);
}

std::vector<ZeroStatusCase> ZeroCases()
{
    using S = CServoCommands;
    const int t = kTimeout;
    StepRecord rec;
    rec.step = 1;
    // -200 only when the call succeeded and handed the zero byte back.
    auto handedBack = [](const std::function<int(uint8_t &)> &fn) {
        uint8_t b = 9;
        const int r = fn(b);
        return r == -200 && b == 0 ? -200 : -1;
    };
    return {
        {"WriteParameter", cmd::kCmdWriteParameter, -205, [t](S &s) { return s.WriteParameter(1, 5, kAxis, t); }},
        {"WriteParameterBytes", cmd::kCmdWriteParameter, -205,
         [t](S &s) { return s.WriteParameterBytes(1, {1, 0, 0, 0}, kAxis, t); }},
        {"WriteParameterCodePair", cmd::kCmdWriteParameter, -205,
         [t](S &s) { return s.WriteParameterCodePair(1, {1, 1}, kAxis, t); }},
        {"WriteStep", cmd::kCmdWriteStep, -205, [t, rec](S &s) { return s.WriteStep(rec, "MDA", kAxis, t); }},
        {"StartAutoTuning", cmd::kCmdStartAutoTuning, -205, [t](S &s) { return s.StartAutoTuning(1, 1, 0, kAxis, t); }},
        {"WriteDeviceName", cmd::kCmdWriteDeviceName, -200, [t, handedBack](S &s) {
             return handedBack([&](uint8_t &b) { return s.WriteDeviceName("X", b, kAxis, t); });
         }},
        {"ServoOn", cmd::kCmdServoOn, -200, [t, handedBack](S &s) {
             return handedBack([&](uint8_t &b) { return s.ServoOn(b, kAxis, t); });
         }},
        {"AlarmReset", cmd::kCmdAlarmReset, -200, [t, handedBack](S &s) {
             return handedBack([&](uint8_t &b) { return s.AlarmReset(b, kAxis, t); });
         }},
        {"WriteUnitDeviceTables", cmd::kCmdWriteUnitDeviceTables, -200, [t, handedBack](S &s) {
             return handedBack([&](uint8_t &b) { return s.WriteUnitDeviceTables(UnitDeviceTables{}, b, kAxis, t); });
         }},
    };
}

INSTANTIATE_TEST_SUITE_P(StatusCommands, ZeroStatus, ::testing::ValuesIn(ZeroCases()),
                         [](const ::testing::TestParamInfo<ZeroStatusCase> &info) { return info.param.name; });

} // namespace
} // namespace kvl::test
