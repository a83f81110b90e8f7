// The write gate on the command layer, through the real serial transport against the simulated
// demo bus (axis 0 MDA, 1 MDB, 2 MDC, 3 MDC-X, 4 MDA-Y, 5 MDA-Z, the unit on 0xF1): what it keeps
// from the wire and what it lets through, with the ranges following what the devices reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "gate/CRefusalText.h"
#include "gate/CWriteGate.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "params/ParamNumbers.h"
#include "points/StepTypes.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "sim/SimBus.h"
#include "support/ScratchSettingsTest.h"

namespace kvl::test {
namespace {

constexpr int kPort = 1;
constexpr int kTimeout = CServoCommands::kTimeoutMs;
constexpr uint8_t kMdb = 1;
constexpr uint8_t kMdc = 2;
constexpr uint8_t kUnit = 0xF1;

class WriteGate : public ScratchSettingsTest {
protected:
    void SetUp() override
    {
        ScratchSettingsTest::SetUp();
        sim::BusRunner::Settings busSettings;
        m_sim = std::make_unique<sim::BusRunner>(sim::SimBus::CreateDemo(), busSettings);
        std::string error;
        ASSERT_TRUE(m_sim->Open(&error)) << error;
        ASSERT_TRUE(m_sim->Start());
        m_comm.Ports().SetPath(kPort, m_sim->SlavePath());
        ASSERT_EQ(m_commands.OpenPort(kPort, busSettings.baud), 1);
        m_commands.SetWriteGate(&m_gate);
        m_commands.SetRefusalHook([this](const WriteRefusal &refusal) { m_refusals.push_back(refusal); });
    }

    void TearDown() override
    {
        m_commands.ClosePort();
        m_sim->Stop();
    }

    void Identify(uint8_t axis)
    {
        std::string model, version, name;
        ASSERT_EQ(m_commands.ReadDeviceType(model, version, name, axis, kTimeout), kResultOk);
    }

    // Parameter writes that reached the simulator for this address, as (number, value).
    std::vector<std::pair<int, int32_t>> ParameterWrites(uint8_t axis) const
    {
        std::vector<std::pair<int, int32_t>> writes;
        for (const auto &request : m_sim->WritesReceived())
            if (request.address == axis && request.command == cmd::kCmdWriteParameter && request.payload.size() >= 6)
                writes.emplace_back(frame::GetU16(request.payload.data()), frame::GetI32(request.payload.data() + 2));
        return writes;
    }

    // Changes a value in the simulated controller behind the tool's back.
    void SetOnController(uint8_t axis, int number, int32_t value)
    {
        m_sim->WithBus([&](sim::SimBus &bus) {
            static_cast<sim::AxisDevice *>(bus.Device(axis))->Parameters().Set(number, value);
        });
    }

    size_t StepWrites(uint8_t axis) const
    {
        size_t count = 0;
        for (const auto &request : m_sim->WritesReceived())
            count += request.address == axis && request.command == cmd::kCmdWriteStep;
        return count;
    }

    std::unique_ptr<sim::BusRunner> m_sim;
    CCommImplement m_comm;
    CServoCommands m_commands{&m_comm};
    CWriteGate m_gate{settings};
    std::vector<WriteRefusal> m_refusals;
};

TEST_F(WriteGate, ParameterValuesOutsideTheModelRangeNeverReachTheController)
{
    Identify(kMdc);
    struct Case {
        int number;
        int32_t raw;
        bool sent;
    } const cases[] = {
        {16, 50, true},             // jog speed 1 .. 500
        {16, 500, true},
        {16, 501, false},
        {16, 0, false},
        {16, -5, false},
        {16, std::numeric_limits<int32_t>::max(), false},
        {119, 1000, true},          // load inertia ratio 1.000 .. 100.000 (raw x 1000)
        {119, 999, false},
        {119, 1410064408, false},   // 9999999 typed into the tuning window
        {119, 0, false},
        {45, 10000, true},          // pulse resolution: one of its listed values
        {45, 10001, false},
        {60, 1, false},             // no such parameter on the model
    };
    for (const Case &c : cases) {
        m_refusals.clear();
        const int result = m_commands.WriteParameter(static_cast<uint16_t>(c.number), c.raw, kMdc, kTimeout);
        EXPECT_EQ(result == kResultOk, c.sent) << "parameter " << c.number << " = " << c.raw;
        EXPECT_EQ(m_refusals.size(), c.sent ? 0U : 1U) << "parameter " << c.number << " = " << c.raw;
        if (!c.sent) {
            EXPECT_EQ(result, kResultOutOfRange);
            EXPECT_EQ(m_commands.LastRefusal().number, c.number);
            EXPECT_EQ(m_commands.LastRefusal().axis, kMdc);
        }
    }
    for (const auto &[number, raw] : ParameterWrites(kMdc)) {
        const bool admitted = (number == 16 && raw >= 1 && raw <= 500) || (number == 119 && raw == 1000) ||
                              (number == 45 && raw == 10000);
        EXPECT_TRUE(admitted) << "sent parameter " << number << " = " << raw;
    }
    EXPECT_EQ(ParameterWrites(kMdc).size(), 4U);
}

TEST_F(WriteGate, AnAddressNeverIdentifiedGetsNothing)
{
    EXPECT_EQ(m_commands.WriteParameter(16, 50, kMdc, kTimeout), kResultOutOfRange);
    EXPECT_EQ(m_commands.LastRefusal().cause, WriteRefusal::Cause::kUnknownDevice);
    StepRecord record;
    record.step = 1;
    record.mode = 1;
    record.speed = 10;
    EXPECT_EQ(m_commands.WriteStep(record, "MDC", kMdc, kTimeout), kResultOutOfRange);
    EXPECT_TRUE(m_sim->WritesReceived().empty());
    Identify(kMdc);
    EXPECT_EQ(m_commands.WriteParameter(16, 50, kMdc, kTimeout), kResultOk);
}

// The current limit follows the maximum the controller holds, and never drops under its own
// minimum when that maximum is lower.
TEST_F(WriteGate, CurrentLimitFollowsTheMaximumTheControllerHolds)
{
    Identify(kMdc);
    ASSERT_EQ(m_commands.WriteParameter(kParamCurrentLimitMax, 150, kMdc, kTimeout), kResultOk);
    EXPECT_EQ(m_commands.WriteParameter(kParamCurrentLimit, 151, kMdc, kTimeout), kResultOutOfRange);
    EXPECT_EQ(m_commands.LastRefusal().max, "150");
    EXPECT_EQ(m_commands.WriteParameter(kParamCurrentLimit, 150, kMdc, kTimeout), kResultOk);
    EXPECT_EQ(m_commands.WriteParameter(kParamCurrentLimit, 5, kMdc, kTimeout), kResultOutOfRange);
    EXPECT_EQ(m_commands.LastRefusal().min, "10");

    // A controller that reports its maximum as 0: the minimum 10 still holds.
    SetOnController(kMdc, kParamCurrentLimitMax, 0);
    int32_t read = -1;
    ASSERT_EQ(m_commands.ReadParameter(kParamCurrentLimitMax, read, kMdc, kTimeout), kResultOk);
    ASSERT_EQ(read, 0);
    EXPECT_EQ(m_commands.WriteParameter(kParamCurrentLimit, 5, kMdc, kTimeout), kResultOutOfRange);
    EXPECT_EQ(m_commands.WriteParameter(kParamCurrentLimit, 10, kMdc, kTimeout), kResultOk);
}

// Step limits are those the controller holds now: a soft limit written or read moves them.
TEST_F(WriteGate, StepsAreCheckedAgainstTheLimitsTheControllerHolds)
{
    Identify(kMdc);
    ASSERT_EQ(m_commands.WriteParameter(kParamSoftLimitUpper, 1000000, kMdc, kTimeout), kResultOk);   // 100.0000
    ASSERT_EQ(m_commands.WriteParameter(kParamSoftLimitLower, -100000, kMdc, kTimeout), kResultOk);   // -10.0000
    ASSERT_EQ(m_commands.WriteParameter(kParamMaxSpeed, 800, kMdc, kTimeout), kResultOk);

    const auto step = [](int number, int mode, double position) {
        StepRecord r;
        r.step = number;
        r.mode = mode;
        r.position = position;
        r.speed = 100;
        r.acc = 0.3;
        r.dcc = 0.3;
        r.range = 0.1;
        r.repeat = 1;
        return r;
    };
    struct Case {
        const char *what;
        StepRecord record;
        int column;   // -1: sent
    };
    StepRecord fast = step(1, 1, 50.0);
    fast.speed = 801;
    StepRecord pushing = step(1, 1, 50.0);
    pushing.push = 301;
    StepRecord farJump = step(1, 1, 50.0);
    farJump.jump = 66;
    StepRecord badStop = step(1, 1, 50.0);
    badStop.stopMode = 5;
    StepRecord notANumber = step(1, 1, std::nan(""));
    StepRecord huge = step(1, 2, 1e308);
    const Case cases[] = {
        {"ABS inside", step(1, 1, 100.0), -1},
        {"ABS above the soft limit", step(1, 1, 9999.999), points::kColPosition},
        {"ABS below the soft limit", step(1, 1, -10.0001), points::kColPosition},
        {"INC far", step(2, 2, 9999.999), -1},
        {"INC beyond every bound", huge, points::kColPosition},
        {"not a number", notANumber, points::kColPosition},
        {"above the maximum speed", fast, points::kColSpeed},
        {"push above its limit", pushing, points::kColPush},
        {"jump past the table", farJump, points::kColJump},
        {"no such stop mode", badStop, points::kColStopMode},
        {"no such step", step(65, 1, 1.0), points::kColStep},
    };
    for (const Case &c : cases) {
        const size_t before = StepWrites(kMdc);
        const int result = m_commands.WriteStep(c.record, "MDC", kMdc, kTimeout);
        if (c.column < 0) {
            EXPECT_EQ(result, kResultOk) << c.what;
            EXPECT_EQ(StepWrites(kMdc), before + 1) << c.what;
        } else {
            EXPECT_EQ(result, kResultOutOfRange) << c.what;
            EXPECT_EQ(m_commands.LastRefusal().column, c.column) << c.what;
            EXPECT_EQ(StepWrites(kMdc), before) << c.what;
        }
    }
    // The short form that clears a step carries zeros and always passes.
    EXPECT_EQ(m_commands.WriteStepValues(3, StepRecord{}, kMdc, kTimeout), kResultOk);

    // The controller's own value counts as soon as it is read: lower the limit behind the gate's
    // back, read it, and the old bound no longer applies.
    SetOnController(kMdc, kParamSoftLimitUpper, 500000);
    int32_t read = 0;
    ASSERT_EQ(m_commands.ReadParameter(kParamSoftLimitUpper, read, kMdc, kTimeout), kResultOk);
    EXPECT_EQ(m_commands.WriteStep(step(1, 1, 60.0), "MDC", kMdc, kTimeout), kResultOutOfRange);
    EXPECT_EQ(m_commands.LastRefusal().max, "50.0000");
}

TEST_F(WriteGate, UnitSettingsOutsideWhatTheUnitTakesAreKept)
{
    struct Case {
        int number;
        int32_t raw;
        bool sent;
    } const cases[] = {
        {2, 200, true},         // interrupt interval
        {2, -5, false},
        {6, 3, true},           // reset times
        {6, 1215752191, false},
        {3, 3, true},           // speed to the PC: codes 1 to 3
        {3, 4, false},
        {1, 3, false},          // fieldbus type: no code 3
        {19, 2, false},         // communication forbidding 0 or 1
        {99, 0, false},         // no such unit parameter
    };
    for (const Case &c : cases) {
        const int result = m_commands.WriteParameter(static_cast<uint16_t>(c.number), c.raw, kUnit, kTimeout);
        EXPECT_EQ(result == kResultOk, c.sent) << "unit parameter " << c.number << " = " << c.raw;
    }
    for (const auto &[number, raw] : ParameterWrites(kUnit))
        EXPECT_TRUE((number == 2 && raw == 200) || (number == 6 && raw == 3) || (number == 3 && raw == 3))
            << "sent unit parameter " << number << " = " << raw;

    // The occupation pair must be one of the table's; the station tables known codes and modes.
    EXPECT_EQ(m_commands.WriteParameterCodePair(17, CodePair{0, 3}, kUnit, kTimeout), kResultOk);
    EXPECT_EQ(m_commands.WriteParameterCodePair(17, CodePair{3, 3}, kUnit, kTimeout), kResultOutOfRange);
    UnitDeviceTables tables;
    tables.deviceList[4] = 9;
    uint8_t status = 0;
    EXPECT_EQ(m_commands.WriteUnitDeviceTables(tables, status, kUnit, kTimeout), kResultOutOfRange);
    EXPECT_EQ(m_commands.LastRefusal().number, 4);
    tables.deviceList[4] = 2;
    tables.inputModes[7] = 4;
    EXPECT_EQ(m_commands.WriteUnitDeviceTables(tables, status, kUnit, kTimeout), kResultOutOfRange);
    tables.inputModes[7] = 3;
    EXPECT_EQ(m_commands.WriteUnitDeviceTables(tables, status, kUnit, kTimeout), kResultOk);
}

// Another model answering at an address is another controller: nothing the old one held counts.
TEST_F(WriteGate, AnotherDeviceAtTheAddressStartsAfresh)
{
    m_gate.NoteDevice(kMdb, "MDC", "1000");
    m_gate.NoteParameter(kMdb, kParamSoftLimitUpper, {0x40, 0x42, 0x0F, 0x00});   // 100.0000
    ASSERT_EQ(m_gate.ParameterValue(kMdb, kParamSoftLimitUpper).value_or(0), 100.0);
    Identify(kMdb);
    EXPECT_NE(m_gate.ParameterValue(kMdb, kParamSoftLimitUpper).value_or(0), 100.0);
}

TEST(RefusalText, NamesDeviceItemAndCauseInTheLanguageGiven)
{
    WriteRefusal step;
    step.axis = 3;
    step.item = WriteRefusal::Item::kStep;
    step.number = 12;
    step.column = points::kColPosition;
    step.model = "MDC";
    step.value = "9999.9990";
    step.min = "-10.0000";
    step.max = "100.0000";
    EXPECT_EQ(CRefusalText::Line(step, {}), "Axis 3, step 12, Position: 9999.9990 is outside -10.0000 to 100.0000");

    const CRefusalText::TextLookup japanese = [](const std::string &key, const std::string &section) -> std::string {
        if (key == "IDS_GATE_AXIS")
            return "軸 %1";
        if (key == "IDS_GATE_STEP")
            return "ステップ %1、%2";
        if (key == "GRID_C3" && section == "IDD_KVL_VER2_PROGSTEP_DIALOG")
            return "位置[mm]";
        if (key == "IDS_GATE_OUT_OF_RANGE")
            return "%1 は %2 ～ %3 の範囲外です";
        return {};
    };
    EXPECT_EQ(CRefusalText::Line(step, japanese), "軸 3, ステップ 12、位置[mm]: 9999.9990 は -10.0000 ～ 100.0000 の範囲外です");

    std::vector<WriteRefusal> many(CRefusalText::kMaxLines + 3, step);
    const std::string message = CRefusalText::Message(many, {});
    EXPECT_NE(message.find("... and 3 more"), std::string::npos);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), CRefusalText::kMaxLines + 1);
}

} // namespace
} // namespace kvl::test
