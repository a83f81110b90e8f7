// The command handlers of AxisDevice: one per command family, each checking the request payload
// and answering in the controller's reply format.
#include <algorithm>
#include <cmath>

#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "protocol/CommandCodes.h"
#include "sim/Reply.h"

namespace kvl::sim {
namespace {

constexpr double kJogAccelerationG = 0.3;
constexpr double kHomingSpeed = 20.0;
constexpr int64_t kTicksPerMs = 10;
constexpr int kInputCount = 16;
constexpr uint8_t kTuneTowardMotor = 1;

} // namespace

const std::map<uint8_t, AxisDevice::Handler> &AxisDevice::Handlers()
{
    static const std::map<uint8_t, Handler> table = {
        {cmd::kCmdReadDeviceType, &AxisDevice::OnReadDeviceType},
        {cmd::kCmdReadVersionAndName, &AxisDevice::OnReadVersionAndName},
        {cmd::kCmdWriteDeviceName, &AxisDevice::OnWriteDeviceName},
        {cmd::kCmdReadServoState, &AxisDevice::OnReadFlag},
        {cmd::kCmdReadHomeDone, &AxisDevice::OnReadFlag},
        {cmd::kCmdReadRunMode, &AxisDevice::OnReadFlag},
        {cmd::kCmdReadPositions, &AxisDevice::OnReadPositions},
        {cmd::kCmdReadCurrentStep, &AxisDevice::OnReadCurrentStep},
        {cmd::kCmdReadOperationStatus, &AxisDevice::OnReadOperationStatus},
        {cmd::kCmdReadParameter, &AxisDevice::OnReadParameter},
        {cmd::kCmdWriteParameter, &AxisDevice::OnWriteParameter},
        {cmd::kCmdReadAllSteps, &AxisDevice::OnReadSteps},
        {cmd::kCmdWriteStep, &AxisDevice::OnWriteStep},
        {cmd::kCmdClearPointTable, &AxisDevice::OnClearPointTable},
        {cmd::kCmdServoOn, &AxisDevice::OnServo},
        {cmd::kCmdServoOff, &AxisDevice::OnServo},
        {cmd::kCmdHomeReturn, &AxisDevice::OnHomeReturn},
        {cmd::kCmdStartProgram, &AxisDevice::OnStartProgram},
        {cmd::kCmdStop, &AxisDevice::OnStop},
        {cmd::kCmdJogStart, &AxisDevice::OnJogStart},
        {cmd::kCmdInchingMove, &AxisDevice::OnInchingMove},
        {cmd::kCmdReadIOSignals, &AxisDevice::OnReadIOSignals},
        {cmd::kCmdSetInputSignal, &AxisDevice::OnSetInputSignal},
        {cmd::kCmdReadLoadFactor, &AxisDevice::OnReadLoadFactor},
        {cmd::kCmdReadAlarmCode, &AxisDevice::OnAlarm},
        {cmd::kCmdAlarmReset, &AxisDevice::OnAlarm},
        {cmd::kCmdReadAlarmHistory, &AxisDevice::OnAlarm},
        {cmd::kCmdClearAlarmHistory, &AxisDevice::OnAlarm},
        {cmd::kCmdReadWaveScales, &AxisDevice::OnWave},
        {cmd::kCmdStartWaveCapture, &AxisDevice::OnWave},
        {cmd::kCmdReadWaveData, &AxisDevice::OnWave},
        {cmd::kCmdStopWaveCapture, &AxisDevice::OnWave},
        {cmd::kCmdStartAutoTuning, &AxisDevice::OnStartAutoTuning},
        {cmd::kCmdReadAutoTuningStatus, &AxisDevice::OnReadAutoTuningStatus},
        {cmd::kCmdReadRemoteState, &AxisDevice::OnReadRemoteState},
    };
    return table;
}

std::vector<uint8_t> AxisDevice::OnReadDeviceType(uint8_t c, const uint8_t *, size_t)
{
    return Reply::Frame(address_, c, {0x00, model_.typeCode});
}

std::vector<uint8_t> AxisDevice::OnReadVersionAndName(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data(cmd::kVersionTextLen + cmd::kNameTextLen, 0x00);
    std::copy_n(version_.begin(), std::min(version_.size(), cmd::kVersionTextLen), data.begin());
    std::copy_n(name_.begin(), std::min(name_.size(), cmd::kNameTextLen), data.begin() + cmd::kVersionTextLen);
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnWriteDeviceName(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != cmd::kNameTextLen)
        return Status(c, false);
    const auto end = std::find(p, p + n, 0x00);
    name_.assign(p, end);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadFlag(uint8_t c, const uint8_t *, size_t)
{
    bool value = false;
    if (c == cmd::kCmdReadServoState)
        value = motion_.ServoOn();
    else if (c == cmd::kCmdReadHomeDone)
        value = homeDone_;
    else
        value = !program_.Active();   // manual mode unless a program runs or is paused
    return Reply::Frame(address_, c, {static_cast<uint8_t>(value ? 1 : 0)});
}

std::vector<uint8_t> AxisDevice::OnReadPositions(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data;
    frame::PutI32(data, ActualCounts());
    frame::PutI32(data, CommandCounts());
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadCurrentStep(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data;
    frame::PutU16(data, static_cast<uint16_t>(program_.CurrentStep()));
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadOperationStatus(uint8_t c, const uint8_t *, size_t)
{
    uint8_t flags = 0;
    if (motion_.Moving())
        flags |= kFlagBusy;
    if (InPosition())
        flags |= kFlagInPosition;
    if (homeDone_)
        flags |= kFlagHomeDone;
    if (Operating())
        flags |= kFlagOperating;
    if (alarms_.Active())
        flags |= kFlagAlarm;
    if (program_.Paused())
        flags |= kFlagPaused;
    std::vector<uint8_t> data = {flags, StateByte()};
    frame::PutU16(data, static_cast<uint16_t>(program_.Active() ? program_.RepeatsLeft() : 0));
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadParameter(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 2)
        return Reply::Refusal(address_, c, cmd::kReplyLenReadParameter);
    const uint16_t number = frame::GetU16(p);
    if (!params_.Has(number))
        return Reply::Refusal(address_, c, cmd::kReplyLenReadParameter);
    std::vector<uint8_t> data;
    frame::PutU16(data, number);
    frame::PutI32(data, params_.Get(number));
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnWriteParameter(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 6)
        return Reply::Refusal(address_, c, cmd::kReplyLenStatus);
    const uint16_t number = frame::GetU16(p);
    if (!params_.Has(number))
        return Reply::Refusal(address_, c, cmd::kReplyLenStatus);
    // The operation type decides the table's size: it cannot change under a running program.
    if (number == param::kOperationType && program_.Active())
        return Status(c, false);
    return Status(c, params_.Set(number, frame::GetI32(p + 2)));
}

std::vector<uint8_t> AxisDevice::OnReadSteps(uint8_t c, const uint8_t *p, size_t n)
{
    const size_t replyLength = model_.longRecord ? cmd::kReplyLenStepFrameLong : cmd::kReplyLenStepFrameShort;
    if (n != 2)
        return Reply::Refusal(address_, c, replyLength);
    const uint16_t step = frame::GetU16(p);
    if (step == 0)
        return BulkRead();
    if (step > StepCount())
        return Reply::Refusal(address_, c, replyLength);
    return Reply::Frame(address_, c, PointTable::Encode(step, table_.Step(step), model_.longRecord));
}

std::vector<uint8_t> AxisDevice::OnWriteStep(uint8_t c, const uint8_t *p, size_t n)
{
    // The model's own form, or the short form the tool uses to clear a step on any model.
    const bool longForm = n == cmd::kStepRecordLenLong;
    if ((longForm && !model_.longRecord) || (!longForm && n != cmd::kStepRecordLenShort))
        return Status(c, false);
    uint16_t addressed = 0;
    StepRecord record = PointTable::Decode(p, longForm, &addressed);
    if (addressed < 1 || addressed > StepCount() || program_.Active())
        return Status(c, false);
    if (!longForm && model_.longRecord && record.Defined())
        return Status(c, false);
    if (record.Defined())
        table_.SetStep(addressed, record);
    else
        table_.ClearStep(addressed);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnClearPointTable(uint8_t c, const uint8_t *, size_t)
{
    if (program_.Active())
        return Status(c, false);
    table_.Clear();
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnServo(uint8_t c, const uint8_t *, size_t)
{
    if (c == cmd::kCmdServoOff) {
        StopEverything();
        motion_.SetServo(false);
        return Status(c, true);
    }
    if (alarms_.Active())
        return Status(c, false);
    motion_.SetServo(true);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnHomeReturn(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || !motion_.ServoOn() || alarms_.Active() || Operating())
        return Status(c, false);
    if (p[0] != cmd::kHomeModeReturn) {
        // The manual home: the present position becomes the origin.
        motion_.SetPosition(0.0);
        homeDone_ = true;
        return Status(c, true);
    }
    MotionAxis::Profile profile;
    profile.speed = kHomingSpeed;
    profile.acc = profile.dec = kJogAccelerationG * MotionAxis::kStandardGravity;
    homeDone_ = false;
    homing_ = true;
    motion_.MoveTo(0.0, profile);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnStartProgram(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 2 || !motion_.ServoOn() || !homeDone_ || alarms_.Active())
        return Status(c, false);
    const uint16_t step = frame::GetU16(p);
    if (program_.Paused() && step == program_.CurrentStep()) {
        program_.Resume(motion_);
        return Status(c, true);
    }
    if (Operating() && !program_.Paused())
        return Status(c, false);
    StopEverything();
    return Status(c, program_.Start(step, table_, StepCount()));
}

std::vector<uint8_t> AxisDevice::OnStop(uint8_t c, const uint8_t *, size_t)
{
    const double dec = kJogAccelerationG * MotionAxis::kStandardGravity;
    if (program_.Paused()) {
        // A second Stop ends the paused program.
        program_.Abort();
        return Status(c, true);
    }
    if (program_.Active()) {
        program_.Pause(motion_);
        return Status(c, true);
    }
    if (tuner_.Running())
        tuner_.Abort();
    homing_ = false;
    inching_ = false;
    motion_.Halt(dec);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnJogStart(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || !motion_.ServoOn() || alarms_.Active() || program_.Active() || homing_ || tuner_.Running())
        return Status(c, false);
    const int direction = p[0] == cmd::kDirectionPositive ? 1 : -1;
    inching_ = false;
    motion_.Jog(direction, JogSpeed(), kJogAccelerationG * MotionAxis::kStandardGravity);
    jogDeadline_ = ticks_ + kJogKeepAliveMs * kTicksPerMs;
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnInchingMove(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || !motion_.ServoOn() || alarms_.Active() || Operating())
        return Status(c, false);
    const double distance = static_cast<double>(params_.Get(param::kInchingDistance)) / model_.inchingFactor;
    const double target = motion_.CommandPosition() + (p[0] == cmd::kDirectionPositive ? distance : -distance);
    const AxisLimits limits = Limits();
    if (limits.enforce && (target > limits.upper || target < limits.lower)) {
        RaiseAlarm(target > limits.upper ? alarm::kSoftLimitPlus : alarm::kSoftLimitMinus);
        return Status(c, false);
    }
    MotionAxis::Profile profile;
    profile.speed = std::max(JogSpeed(), 0.01);
    profile.acc = profile.dec = kJogAccelerationG * MotionAxis::kStandardGravity;
    motion_.MoveTo(target, profile);
    inching_ = true;
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadIOSignals(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data;
    frame::PutI32(data, static_cast<int32_t>(IoWord()));
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnSetInputSignal(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || (p[0] & cmd::kInputNumberMask) >= kInputCount)
        return Status(c, false);
    const uint16_t bit = static_cast<uint16_t>(1u << (p[0] & cmd::kInputNumberMask));
    inputs_ = (p[0] & cmd::kInputSwitchOnBit) ? static_cast<uint16_t>(inputs_ | bit) : static_cast<uint16_t>(inputs_ & ~bit);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadLoadFactor(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data = {LoadFactor()};
    if (model_.longRecord)
        data.push_back(0x00);
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnAlarm(uint8_t c, const uint8_t *, size_t)
{
    return alarms_.Answer(address_, c);
}

std::vector<uint8_t> AxisDevice::OnWave(uint8_t c, const uint8_t *p, size_t n)
{
    switch (c) {
    case cmd::kCmdReadWaveScales:
        return Reply::Frame(address_, c, WaveRecorder::ScalesData());
    case cmd::kCmdStartWaveCapture:
        if (n != 3)
            return Status(c, false);
        return Status(c, wave_.Start(frame::GetU16(p), p[2], CurrentSignals()));
    case cmd::kCmdReadWaveData:
        return Reply::Frame(address_, c, wave_.TakeBatch());
    default:
        wave_.Stop();
        return Status(c, true);
    }
}

std::vector<uint8_t> AxisDevice::OnStartAutoTuning(uint8_t c, const uint8_t *p, size_t n)
{
    if (!model_.tunes || n != 4)
        return Reply::Refusal(address_, c, cmd::kReplyLenStatus);
    const uint16_t step = frame::GetU16(p);
    if (!motion_.ServoOn() || !homeDone_ || alarms_.Active() || Operating() || step < 1 ||
        step > StepCount() || !table_.Step(step).Defined())
        return Status(c, false);
    const StepRecord &record = table_.Step(step);
    const double origin = motion_.CommandPosition();
    double stroke = std::fabs(ProgramRunner::StepTarget(record, origin) - origin);
    if (stroke <= 0.0)
        stroke = std::max(1, params_.Get(param::kTuningStroke));
    const AxisLimits limits = Limits();
    const double target = std::clamp(origin + (p[2] == kTuneTowardMotor ? -stroke : stroke), limits.lower, limits.upper);
    tuner_.Start(origin, target, ProgramRunner::StepProfile(record, limits.maxSpeed), p[3] != 0);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadAutoTuningStatus(uint8_t c, const uint8_t *, size_t)
{
    if (!model_.tunes)
        return Reply::Refusal(address_, c, cmd::kReplyLenReadAutoTuningStatus);
    std::vector<uint8_t> data = {tuner_.QualityState(), tuner_.TuningState()};
    frame::PutU16(data, static_cast<uint16_t>(tuner_.FirstValue()));
    frame::PutU16(data, static_cast<uint16_t>(tuner_.SecondValue()));
    return Reply::Frame(address_, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadRemoteState(uint8_t c, const uint8_t *, size_t)
{
    return Reply::Frame(address_, c, {0x00});
}

} // namespace kvl::sim
