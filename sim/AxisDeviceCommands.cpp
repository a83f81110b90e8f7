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
    return Reply::Frame(m_address, c, {0x00, m_model.typeCode});
}

std::vector<uint8_t> AxisDevice::OnReadVersionAndName(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data(cmd::kVersionTextLen + cmd::kNameTextLen, 0x00);
    std::copy_n(m_version.begin(), std::min(m_version.size(), cmd::kVersionTextLen), data.begin());
    std::copy_n(m_name.begin(), std::min(m_name.size(), cmd::kNameTextLen), data.begin() + cmd::kVersionTextLen);
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnWriteDeviceName(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != cmd::kNameTextLen)
        return Status(c, false);
    const auto end = std::find(p, p + n, 0x00);
    m_name.assign(p, end);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadFlag(uint8_t c, const uint8_t *, size_t)
{
    bool value = false;
    if (c == cmd::kCmdReadServoState)
        value = m_motion.ServoOn();
    else if (c == cmd::kCmdReadHomeDone)
        value = m_homeDone;
    else
        value = !m_program.Active() && !m_automatic;   // manual mode unless a program runs or is paused
    return Reply::Frame(m_address, c, {static_cast<uint8_t>(value ? 1 : 0)});
}

std::vector<uint8_t> AxisDevice::OnReadPositions(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data;
    frame::PutI32(data, ActualCounts());
    frame::PutI32(data, CommandCounts());
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadCurrentStep(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data;
    frame::PutU16(data, static_cast<uint16_t>(m_program.CurrentStep()));
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadOperationStatus(uint8_t c, const uint8_t *, size_t)
{
    uint8_t flags = 0;
    if (m_motion.Moving())
        flags |= kFlagBusy;
    if (InPosition())
        flags |= kFlagInPosition;
    if (m_homeDone)
        flags |= kFlagHomeDone;
    if (Operating())
        flags |= kFlagOperating;
    if (m_alarms.Active())
        flags |= kFlagAlarm;
    if (m_program.Paused())
        flags |= kFlagPaused;
    std::vector<uint8_t> data = {flags, StateByte()};
    frame::PutU16(data, static_cast<uint16_t>(m_program.Active() ? m_program.RepeatsLeft() : 0));
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadParameter(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 2)
        return Reply::Refusal(m_address, c, cmd::kReplyLenReadParameter);
    const uint16_t number = frame::GetU16(p);
    if (!m_params.Has(number) || m_refusedReads.count(number))
        return Reply::Refusal(m_address, c, cmd::kReplyLenReadParameter);
    std::vector<uint8_t> data;
    frame::PutU16(data, number);
    frame::PutI32(data, m_params.Get(number));
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnWriteParameter(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 6)
        return Reply::Refusal(m_address, c, cmd::kReplyLenStatus);
    const uint16_t number = frame::GetU16(p);
    if (!m_params.Has(number))
        return Reply::Refusal(m_address, c, cmd::kReplyLenStatus);
    // The operation type decides the table's size: it cannot change under a running program.
    if (number == param::kOperationType && m_program.Active())
        return Status(c, false);
    if (m_refusedWrites.count(number))
        return Status(c, false);
    const auto instead = m_storeInstead.find(number);
    return Status(c, m_params.Set(number, instead != m_storeInstead.end() ? instead->second : frame::GetI32(p + 2)));
}

std::vector<uint8_t> AxisDevice::OnReadSteps(uint8_t c, const uint8_t *p, size_t n)
{
    const size_t replyLength = m_model.longRecord ? cmd::kReplyLenStepFrameLong : cmd::kReplyLenStepFrameShort;
    if (n != 2)
        return Reply::Refusal(m_address, c, replyLength);
    const uint16_t step = frame::GetU16(p);
    if (step == 0)
        return BulkRead();
    if (step > StepCount())
        return Reply::Refusal(m_address, c, replyLength);
    return Reply::Frame(m_address, c, PointTable::Encode(step, m_table.Step(step), m_model.longRecord));
}

std::vector<uint8_t> AxisDevice::OnWriteStep(uint8_t c, const uint8_t *p, size_t n)
{
    // The model's own form, or the short form the tool uses to clear a step on any model.
    const bool longForm = n == cmd::kStepRecordLenLong;
    if ((longForm && !m_model.longRecord) || (!longForm && n != cmd::kStepRecordLenShort))
        return Status(c, false);
    uint16_t addressed = 0;
    StepRecord record = PointTable::Decode(p, longForm, &addressed);
    if (addressed < 1 || addressed > StepCount() || m_program.Active())
        return Status(c, false);
    if (!longForm && m_model.longRecord && record.Defined())
        return Status(c, false);
    if (record.Defined())
        m_table.SetStep(addressed, record);
    else
        m_table.ClearStep(addressed);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnClearPointTable(uint8_t c, const uint8_t *, size_t)
{
    if (m_program.Active())
        return Status(c, false);
    m_table.Clear();
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnServo(uint8_t c, const uint8_t *, size_t)
{
    if (c == cmd::kCmdServoOff) {
        StopEverything();
        m_motion.SetServo(false);
        return Status(c, true);
    }
    if (m_alarms.Active())
        return Status(c, false);
    m_motion.SetServo(true);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnHomeReturn(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || !m_motion.ServoOn() || m_alarms.Active() || Operating())
        return Status(c, false);
    if (p[0] != cmd::kHomeModeReturn) {
        // The manual home: the present position becomes the origin.
        m_motion.SetPosition(0.0);
        m_homeDone = true;
        return Status(c, true);
    }
    MotionAxis::Profile profile;
    profile.speed = kHomingSpeed;
    profile.acc = profile.dec = kJogAccelerationG * MotionAxis::kStandardGravity;
    m_homeDone = false;
    m_homing = true;
    m_motion.MoveTo(0.0, profile);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnStartProgram(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 2 || !m_motion.ServoOn() || !m_homeDone || m_alarms.Active())
        return Status(c, false);
    const uint16_t step = frame::GetU16(p);
    if (m_program.Paused() && step == m_program.CurrentStep()) {
        m_program.Resume(m_motion);
        return Status(c, true);
    }
    if (Operating() && !m_program.Paused())
        return Status(c, false);
    StopEverything();
    return Status(c, m_program.Start(step, m_table, StepCount()));
}

std::vector<uint8_t> AxisDevice::OnStop(uint8_t c, const uint8_t *, size_t)
{
    const double dec = kJogAccelerationG * MotionAxis::kStandardGravity;
    if (m_program.Paused()) {
        // A second Stop ends the paused program.
        m_program.Abort();
        return Status(c, true);
    }
    if (m_program.Active()) {
        m_program.Pause(m_motion);
        return Status(c, true);
    }
    if (m_tuner.Running())
        m_tuner.Abort();
    m_homing = false;
    m_inching = false;
    m_motion.Halt(dec);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnJogStart(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || !m_motion.ServoOn() || m_alarms.Active() || m_program.Active() || m_homing || m_tuner.Running())
        return Status(c, false);
    const int direction = p[0] == cmd::kDirectionPositive ? 1 : -1;
    m_inching = false;
    m_motion.Jog(direction, JogSpeed(), kJogAccelerationG * MotionAxis::kStandardGravity);
    m_jogDeadline = m_ticks + kJogKeepAliveMs * kTicksPerMs;
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnInchingMove(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || !m_motion.ServoOn() || m_alarms.Active() || Operating())
        return Status(c, false);
    const double distance = static_cast<double>(m_params.Get(param::kInchingDistance)) / m_model.inchingFactor;
    const double target = m_motion.CommandPosition() + (p[0] == cmd::kDirectionPositive ? distance : -distance);
    const AxisLimits limits = Limits();
    if (limits.enforce && (target > limits.upper || target < limits.lower)) {
        RaiseAlarm(target > limits.upper ? alarm::kSoftLimitPlus : alarm::kSoftLimitMinus);
        return Status(c, false);
    }
    MotionAxis::Profile profile;
    profile.speed = std::max(JogSpeed(), 0.01);
    profile.acc = profile.dec = kJogAccelerationG * MotionAxis::kStandardGravity;
    m_motion.MoveTo(target, profile);
    m_inching = true;
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadIOSignals(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data;
    frame::PutI32(data, static_cast<int32_t>(IoWord()));
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnSetInputSignal(uint8_t c, const uint8_t *p, size_t n)
{
    if (n != 1 || (p[0] & cmd::kInputNumberMask) >= kInputCount)
        return Status(c, false);
    const uint16_t bit = static_cast<uint16_t>(1u << (p[0] & cmd::kInputNumberMask));
    m_inputs = (p[0] & cmd::kInputSwitchOnBit) ? static_cast<uint16_t>(m_inputs | bit) : static_cast<uint16_t>(m_inputs & ~bit);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadLoadFactor(uint8_t c, const uint8_t *, size_t)
{
    std::vector<uint8_t> data = {LoadFactor()};
    if (m_model.longRecord)
        data.push_back(0x00);
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnAlarm(uint8_t c, const uint8_t *, size_t)
{
    return m_alarms.Answer(m_address, c);
}

std::vector<uint8_t> AxisDevice::OnWave(uint8_t c, const uint8_t *p, size_t n)
{
    switch (c) {
    case cmd::kCmdReadWaveScales:
        return Reply::Frame(m_address, c, WaveRecorder::ScalesData());
    case cmd::kCmdStartWaveCapture:
        if (n != 3)
            return Status(c, false);
        return Status(c, m_wave.Start(frame::GetU16(p), p[2], CurrentSignals()));
    case cmd::kCmdReadWaveData:
        return Reply::Frame(m_address, c, m_wave.TakeBatch());
    default:
        m_wave.Stop();
        return Status(c, true);
    }
}

std::vector<uint8_t> AxisDevice::OnStartAutoTuning(uint8_t c, const uint8_t *p, size_t n)
{
    if (!m_model.tunes || n != 4)
        return Reply::Refusal(m_address, c, cmd::kReplyLenStatus);
    const uint16_t step = frame::GetU16(p);
    if (!m_motion.ServoOn() || !m_homeDone || m_alarms.Active() || Operating() || step < 1 ||
        step > StepCount() || !m_table.Step(step).Defined())
        return Status(c, false);
    const StepRecord &record = m_table.Step(step);
    const double origin = m_motion.CommandPosition();
    double stroke = std::fabs(ProgramRunner::StepTarget(record, origin) - origin);
    if (stroke <= 0.0)
        stroke = std::max(1, m_params.Get(param::kTuningStroke));
    const AxisLimits limits = Limits();
    const double target = std::clamp(origin + (p[2] == kTuneTowardMotor ? -stroke : stroke), limits.lower, limits.upper);
    m_tuner.Start(origin, target, ProgramRunner::StepProfile(record, limits.maxSpeed), p[3] != 0);
    return Status(c, true);
}

std::vector<uint8_t> AxisDevice::OnReadAutoTuningStatus(uint8_t c, const uint8_t *, size_t)
{
    if (!m_model.tunes)
        return Reply::Refusal(m_address, c, cmd::kReplyLenReadAutoTuningStatus);
    std::vector<uint8_t> data = {m_tuner.QualityState(), m_tuner.TuningState()};
    frame::PutU16(data, static_cast<uint16_t>(m_tuner.FirstValue()));
    frame::PutU16(data, static_cast<uint16_t>(m_tuner.SecondValue()));
    return Reply::Frame(m_address, c, data);
}

std::vector<uint8_t> AxisDevice::OnReadRemoteState(uint8_t c, const uint8_t *, size_t)
{
    return Reply::Frame(m_address, c, {m_remoteState});
}

} // namespace kvl::sim
