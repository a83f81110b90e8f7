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
    : address_(address), model_(model), version_(version), name_(name), params_(model, version)
{
    if (name_.size() > cmd::kNameTextLen)
        name_.resize(cmd::kNameTextLen);
    motion_.SetPosition(kStartOffset + address);
    // Each axis carries a different load, which the auto-tuning finds.
    motion_.SetLoadInertia(kBaseLoadInertia + kLoadInertiaStep * (address % 4));
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
    return Reply::Status(address_, command, ok ? 1 : 0);
}

int AxisDevice::StepCount() const
{
    int type = params_.Get(param::kOperationType);
    // The rotary model codes its operation types 0, 2, 4, 5 and has no types 1 and 3.
    if (model_.rotary && type != 2 && type != 4 && type != 5)
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
    return static_cast<int32_t>(std::lround(motion_.ActualPosition() * kCountsPerUnit));
}

int32_t AxisDevice::CommandCounts() const
{
    return static_cast<int32_t>(std::lround(motion_.CommandPosition() * kCountsPerUnit));
}

AxisLimits AxisDevice::Limits() const
{
    AxisLimits limits;
    limits.upper = params_.Get(param::kSoftLimitPlus) / kCountsPerUnit;
    limits.lower = params_.Get(param::kSoftLimitMinus) / kCountsPerUnit;
    limits.maxSpeed = std::max(1, params_.Get(param::kMaxSpeed));
    limits.enforce = homeDone_;
    return limits;
}

double AxisDevice::JogSpeed() const
{
    return std::clamp<double>(params_.Get(param::kJogSpeed), 0.0, Limits().maxSpeed);
}

bool AxisDevice::Operating() const
{
    return program_.Active() || motion_.Moving() || homing_ || inching_ || tuner_.Running();
}

bool AxisDevice::InPosition() const
{
    if (motion_.Moving() || !motion_.ServoOn())
        return false;
    const double range = program_.Active() ? ProgramRunner::InPositionRange(table_.Step(program_.CurrentStep()))
                                           : kInPositionDefault;
    return std::fabs(motion_.ActualPosition() - motion_.Target()) <= range;
}

uint8_t AxisDevice::StateByte() const
{
    if (tuner_.Running())
        return kStateTuning;
    if (homing_)
        return kStateHoming;
    if (motion_.Jogging())
        return kStateJog;
    if (inching_)
        return kStateInching;
    if (program_.Active())
        return program_.Dwelling() ? kStateDwell : kStateMove;
    return kStateIdle;
}

uint8_t AxisDevice::LoadFactor() const
{
    const double percent = std::fabs(motion_.ActualCurrent()) * 100.0 / kRatedCurrent;
    return static_cast<uint8_t>(std::min(255L, std::lround(percent)));
}

uint32_t AxisDevice::IoWord() const
{
    uint32_t word = inputs_;
    if (motion_.ServoOn())
        word |= kOutServoOn;
    if (homeDone_)
        word |= kOutHomeDone;
    if (InPosition())
        word |= kOutInPosition;
    if (alarms_.Active())
        word |= kOutAlarm;
    if (motion_.Moving())
        word |= kOutBusy;
    if (program_.Active()) {
        const StepRecord &r = table_.Step(program_.CurrentStep());
        const double a = r.areaA / kCountsPerUnit;
        const double b = r.areaB / kCountsPerUnit;
        const double pos = motion_.ActualPosition();
        if (a != b && pos >= std::min(a, b) && pos <= std::max(a, b))
            word |= kOutZone;
        word |= program_.Paused() ? kOutPaused : kOutRunning;
    }
    return word;
}

void AxisDevice::RaiseAlarm(uint8_t code)
{
    alarms_.Raise(code);
    StopEverything();
    motion_.Freeze();
}

void AxisDevice::StopEverything()
{
    program_.Abort();
    tuner_.Abort();
    homing_ = false;
    inching_ = false;
}

WaveRecorder::Signals AxisDevice::CurrentSignals() const
{
    WaveRecorder::Signals s;
    s.actualPosition = std::llround(motion_.ActualPosition() * kCountsPerUnit);
    s.commandPosition = std::llround(motion_.CommandPosition() * kCountsPerUnit);
    s.actualSpeed = motion_.ActualSpeed();
    s.commandSpeed = motion_.CommandSpeed();
    s.actualCurrent = motion_.ActualCurrent();
    s.commandCurrent = motion_.CommandCurrent();
    return s;
}

bool AxisDevice::Quiescent() const
{
    return !motion_.Moving() && !Operating() && !wave_.Recording() &&
           std::fabs(motion_.ActualSpeed()) < 1e-9 &&
           std::fabs(motion_.ActualPosition() - motion_.CommandPosition()) < 1e-9 &&
           std::fabs(motion_.ActualCurrent() - motion_.CommandCurrent()) < 1e-6;
}

void AxisDevice::Advance(int64_t micros)
{
    pendingMicros_ += micros;
    while (pendingMicros_ >= kTickMicros) {
        pendingMicros_ -= kTickMicros;
        if (Quiescent()) {
            // Nothing changes while the axis rests: skip the remaining whole ticks at once.
            ticks_ += pendingMicros_ / kTickMicros + 1;
            pendingMicros_ %= kTickMicros;
            break;
        }
        Tick();
    }
}

void AxisDevice::Tick()
{
    ++ticks_;
    if (motion_.Jogging() && ticks_ > jogDeadline_)
        motion_.Halt(kJogAccelerationG * MotionAxis::kStandardGravity);

    const AxisLimits limits = Limits();
    if (const uint8_t alarm = program_.Tick(motion_, table_, StepCount(), limits))
        RaiseAlarm(alarm);
    tuner_.Tick(motion_, params_);
    motion_.Tick();

    if (homing_ && !motion_.Moving()) {
        homing_ = false;
        motion_.SetPosition(0.0);
        homeDone_ = true;
    }
    if (inching_ && !motion_.Moving())
        inching_ = false;
    if (limits.enforce && !program_.Active()) {
        const double pos = motion_.CommandPosition();
        if (pos > limits.upper && motion_.CommandSpeed() > 0)
            RaiseAlarm(alarm::kSoftLimitPlus);
        else if (pos < limits.lower && motion_.CommandSpeed() < 0)
            RaiseAlarm(alarm::kSoftLimitMinus);
    }
    wave_.Tick(CurrentSignals());
}

nlohmann::json AxisDevice::SaveState() const
{
    return {{"model", model_.text}, {"name", name_}, {"parameters", params_.ToJson()}, {"table", table_.ToJson()}};
}

void AxisDevice::LoadState(const nlohmann::json &state)
{
    if (!state.is_object() || state.value("model", std::string()) != model_.text)
        return;
    name_ = state.value("name", name_);
    if (state.contains("parameters"))
        params_.FromJson(state["parameters"]);
    if (state.contains("table"))
        table_.FromJson(state["table"]);
}

std::vector<uint8_t> AxisDevice::BulkRead() const
{
    std::vector<uint8_t> out;
    for (int step : table_.DefinedSteps(StepCount())) {
        const auto record = PointTable::Encode(static_cast<uint16_t>(step), table_.Step(step), model_.longRecord);
        const auto f = Reply::Frame(address_, cmd::kCmdReadAllSteps, record);
        out.insert(out.end(), f.begin(), f.end());
    }
    out.insert(out.end(), AxisDevice::kBulkReadPaddingLength, 0xFF);
    return out;
}

} // namespace kvl::sim
