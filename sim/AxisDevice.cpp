#include "sim/AxisDevice.h"

#include <algorithm>
#include <cmath>

#include "protocol/Frame.h"
#include "protocol/CommandCodes.h"
#include "sim/Reply.h"

namespace kvl::sim {
namespace {

constexpr double kCountsPerUnit = 10000.0;
constexpr int64_t kTickMicros = 100;
constexpr double kJogAccelerationG = 0.3;
constexpr double kInPositionDefault = 0.01;     // mm, outside a program
constexpr double kRatedCurrent = 800.0;         // mA at 100 % load
constexpr double kStartOffset = 12.3456;        // where an unreferenced axis believes it is
constexpr double kBaseLoadInertia = 1.4;
constexpr double kLoadInertiaStep = 0.25;

enum StateByteValue : uint8_t { kStateIdle, kStateMove, kStateDwell, kStateJog, kStateHoming, kStateTuning, kStateInching };

} // namespace

AxisDevice::AxisDevice(uint8_t address, const ModelInfo &model, const std::string &version, const std::string &name)
    : m_address(address), m_model(model), m_version(version), m_name(name), m_params(model, version)
{
    if (m_name.size() > cmd::kNameTextLen)
        m_name.resize(cmd::kNameTextLen);
    m_motion.SetPosition(kStartOffset + address);
    // Each axis carries a different load, which the auto-tuning finds.
    m_motion.SetLoadInertia(kBaseLoadInertia + kLoadInertiaStep * (address % 4));
}

std::vector<uint8_t> AxisDevice::Handle(uint8_t command, const uint8_t *payload, size_t length)
{
    const auto &handlers = Handlers();
    const auto it = handlers.find(command);
    if (it == handlers.end())
        return {};   // an unknown command gets no answer, as on the real bus
    return (this->*(it->second))(command, payload, length);
}

std::vector<uint8_t> AxisDevice::Status(uint8_t command, bool ok) const
{
    return Reply::Status(m_address, command, ok ? 1 : 0);
}

int AxisDevice::StepCount() const
{
    int type = m_params.Get(param::kOperationType);
    // The rotary model codes its operation types 0, 2, 4, 5 and has no types 1 and 3.
    if (m_model.rotary && type != 2 && type != 4 && type != 5)
        type = 0;
    switch (type) {
    case 2: return 256;
    case 3: return 512;
    case 4: return 7;
    case 5: return 3;
    default: return 64;
    }
}

int32_t AxisDevice::ActualCounts() const
{
    return static_cast<int32_t>(std::lround(m_motion.ActualPosition() * kCountsPerUnit));
}

int32_t AxisDevice::CommandCounts() const
{
    return static_cast<int32_t>(std::lround(m_motion.CommandPosition() * kCountsPerUnit));
}

AxisLimits AxisDevice::Limits() const
{
    AxisLimits limits;
    limits.upper = m_params.Get(param::kSoftLimitPlus) / kCountsPerUnit;
    limits.lower = m_params.Get(param::kSoftLimitMinus) / kCountsPerUnit;
    limits.maxSpeed = std::max(1, m_params.Get(param::kMaxSpeed));
    limits.enforce = m_homeDone;
    return limits;
}

double AxisDevice::JogSpeed() const
{
    return std::clamp<double>(m_params.Get(param::kJogSpeed), 0.0, Limits().maxSpeed);
}

bool AxisDevice::Operating() const
{
    return m_program.Active() || m_motion.Moving() || m_homing || m_inching || m_tuner.Running();
}

bool AxisDevice::InPosition() const
{
    if (m_motion.Moving() || !m_motion.ServoOn())
        return false;
    const double range = m_program.Active() ? ProgramRunner::InPositionRange(m_table.Step(m_program.CurrentStep()))
                                            : kInPositionDefault;
    return std::fabs(m_motion.ActualPosition() - m_motion.Target()) <= range;
}

uint8_t AxisDevice::StateByte() const
{
    if (m_tuner.Running())
        return kStateTuning;
    if (m_homing)
        return kStateHoming;
    if (m_motion.Jogging())
        return kStateJog;
    if (m_inching)
        return kStateInching;
    if (m_program.Active())
        return m_program.Dwelling() ? kStateDwell : kStateMove;
    return kStateIdle;
}

uint8_t AxisDevice::LoadFactor() const
{
    const double percent = std::fabs(m_motion.ActualCurrent()) * 100.0 / kRatedCurrent;
    return static_cast<uint8_t>(std::min(255L, std::lround(percent)));
}

uint32_t AxisDevice::IoWord() const
{
    uint32_t word = m_inputs;
    if (m_motion.ServoOn())
        word |= kOutServoOn;
    if (m_homeDone)
        word |= kOutHomeDone;
    if (InPosition())
        word |= kOutInPosition;
    if (m_alarms.Active())
        word |= kOutAlarm;
    if (m_motion.Moving())
        word |= kOutBusy;
    if (m_program.Active()) {
        const StepRecord &r = m_table.Step(m_program.CurrentStep());
        const double a = r.areaA / kCountsPerUnit;
        const double b = r.areaB / kCountsPerUnit;
        const double pos = m_motion.ActualPosition();
        if (a != b && pos >= std::min(a, b) && pos <= std::max(a, b))
            word |= kOutZone;
        word |= m_program.Paused() ? kOutPaused : kOutRunning;
    }
    return word;
}

void AxisDevice::RaiseAlarm(uint8_t code)
{
    m_alarms.Raise(code);
    StopEverything();
    m_motion.Freeze();
}

void AxisDevice::StopEverything()
{
    m_program.Abort();
    m_tuner.Abort();
    m_homing = false;
    m_inching = false;
}

WaveRecorder::Signals AxisDevice::CurrentSignals() const
{
    WaveRecorder::Signals s;
    s.actualPosition = std::llround(m_motion.ActualPosition() * kCountsPerUnit);
    s.commandPosition = std::llround(m_motion.CommandPosition() * kCountsPerUnit);
    s.actualSpeed = m_motion.ActualSpeed();
    s.commandSpeed = m_motion.CommandSpeed();
    s.actualCurrent = m_motion.ActualCurrent();
    s.commandCurrent = m_motion.CommandCurrent();
    return s;
}

bool AxisDevice::Quiescent() const
{
    return !m_motion.Moving() && !Operating() && !m_wave.Recording() &&
           std::fabs(m_motion.ActualSpeed()) < 1e-9 &&
           std::fabs(m_motion.ActualPosition() - m_motion.CommandPosition()) < 1e-9 &&
           std::fabs(m_motion.ActualCurrent() - m_motion.CommandCurrent()) < 1e-6;
}

void AxisDevice::Advance(int64_t micros)
{
    m_pendingMicros += micros;
    while (m_pendingMicros >= kTickMicros) {
        m_pendingMicros -= kTickMicros;
        if (Quiescent()) {
            // Nothing changes while the axis rests: skip the remaining whole ticks at once.
            m_ticks += m_pendingMicros / kTickMicros + 1;
            m_pendingMicros %= kTickMicros;
            break;
        }
        Tick();
    }
}

void AxisDevice::Tick()
{
    ++m_ticks;
    if (m_motion.Jogging() && m_ticks > m_jogDeadline)
        m_motion.Halt(kJogAccelerationG * MotionAxis::kStandardGravity);

    const AxisLimits limits = Limits();
    if (const uint8_t alarm = m_program.Tick(m_motion, m_table, StepCount(), limits))
        RaiseAlarm(alarm);
    m_tuner.Tick(m_motion, m_params);
    m_motion.Tick();

    if (m_homing && !m_motion.Moving()) {
        m_homing = false;
        m_motion.SetPosition(0.0);
        m_homeDone = true;
    }
    if (m_inching && !m_motion.Moving())
        m_inching = false;
    if (limits.enforce && !m_program.Active()) {
        const double pos = m_motion.CommandPosition();
        if (pos > limits.upper && m_motion.CommandSpeed() > 0)
            RaiseAlarm(alarm::kSoftLimitPlus);
        else if (pos < limits.lower && m_motion.CommandSpeed() < 0)
            RaiseAlarm(alarm::kSoftLimitMinus);
    }
    m_wave.Tick(CurrentSignals());
}

nlohmann::json AxisDevice::SaveState() const
{
    return {{"model", m_model.text}, {"name", m_name}, {"parameters", m_params.ToJson()}, {"table", m_table.ToJson()}};
}

void AxisDevice::LoadState(const nlohmann::json &state)
{
    if (!state.is_object() || state.value("model", std::string()) != m_model.text)
        return;
    m_name = state.value("name", m_name);
    if (state.contains("parameters"))
        m_params.FromJson(state["parameters"]);
    if (state.contains("table"))
        m_table.FromJson(state["table"]);
}

std::vector<uint8_t> AxisDevice::BulkRead() const
{
    std::vector<uint8_t> out;
    for (int step : m_table.DefinedSteps(StepCount())) {
        const auto record = PointTable::Encode(static_cast<uint16_t>(step), m_table.Step(step), m_model.longRecord);
        const auto f = Reply::Frame(m_address, cmd::kCmdReadAllSteps, record);
        out.insert(out.end(), f.begin(), f.end());
    }
    for (const auto &[addressed, record] : m_extraBulkFrames) {
        const auto f = Reply::Frame(m_address, cmd::kCmdReadAllSteps, PointTable::Encode(addressed, record, m_model.longRecord));
        out.insert(out.end(), f.begin(), f.end());
    }
    out.insert(out.end(), AxisDevice::kBulkReadPaddingLength, 0xFF);
    return out;
}

} // namespace kvl::sim
