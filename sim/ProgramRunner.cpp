#include "sim/ProgramRunner.h"

#include <algorithm>
#include <cmath>

namespace kvl::sim {
namespace {

constexpr double kCountsPerUnit = 10000.0;
constexpr double kWireHundredths = 100.0;
constexpr double kTicksPerMs = 10.0;
constexpr double kMinimumAccelerationG = 0.01;
constexpr uint8_t kModeAbs = 1;
constexpr double kMinimumInPositionRange = 0.0005;   // mm, for a step whose range is 0

} // namespace

double ProgramRunner::StepTarget(const StepRecord &record, double from)
{
    const double position = record.position / kCountsPerUnit;
    return record.mode == kModeAbs ? position : from + position;
}

MotionAxis::Profile ProgramRunner::StepProfile(const StepRecord &record, double maxSpeed)
{
    MotionAxis::Profile p;
    p.speed = std::clamp(record.speed / kWireHundredths, 0.01, maxSpeed);
    p.acc = std::max(record.acc / kWireHundredths, kMinimumAccelerationG) * MotionAxis::kStandardGravity;
    p.dec = std::max(record.dcc / kWireHundredths, kMinimumAccelerationG) * MotionAxis::kStandardGravity;
    return p;
}

double ProgramRunner::InPositionRange(const StepRecord &record)
{
    return record.positionRange > 0 ? record.positionRange / kCountsPerUnit : kMinimumInPositionRange;
}

bool ProgramRunner::Start(int step, const PointTable &table, int stepCount)
{
    if (step < 1 || step > stepCount || !table.Step(step).Defined())
        return false;
    m_step = step;
    m_repeatsLeft = std::max<int>(table.Step(step).repeat, 1);
    m_phase = Phase::Begin;
    m_paused = false;
    return true;
}

void ProgramRunner::Pause(MotionAxis &motion)
{
    if (!Active() || m_paused)
        return;
    m_paused = true;
    motion.Halt(m_profile.dec);
}

void ProgramRunner::Resume(MotionAxis &motion)
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_phase == Phase::Move)
        motion.MoveTo(m_target, m_profile);
}

void ProgramRunner::Abort()
{
    m_phase = Phase::Idle;
    m_paused = false;
}

uint8_t ProgramRunner::BeginStep(MotionAxis &motion, const PointTable &table, const AxisLimits &limits)
{
    const StepRecord &record = table.Step(m_step);
    if (!record.Defined())
        return alarm::kPointData;
    m_target = StepTarget(record, motion.CommandPosition());
    if (limits.enforce && m_target > limits.upper)
        return alarm::kSoftLimitPlus;
    if (limits.enforce && m_target < limits.lower)
        return alarm::kSoftLimitMinus;
    m_profile = StepProfile(record, limits.maxSpeed);
    motion.MoveTo(m_target, m_profile);
    m_phase = Phase::Move;
    return 0;
}

uint8_t ProgramRunner::FinishStep(const PointTable &table, int stepCount)
{
    if (--m_repeatsLeft > 0) {
        m_phase = Phase::Begin;
        return 0;
    }
    const int jump = table.Step(m_step).jump;
    if (jump == 0) {
        Abort();
        return 0;
    }
    if (jump < 1 || jump > stepCount || !table.Step(jump).Defined())
        return alarm::kPointData;
    m_step = jump;
    m_repeatsLeft = std::max<int>(table.Step(m_step).repeat, 1);
    m_phase = Phase::Begin;
    return 0;
}

uint8_t ProgramRunner::Tick(MotionAxis &motion, const PointTable &table, int stepCount, const AxisLimits &limits)
{
    if (m_paused)
        return 0;
    switch (m_phase) {
    case Phase::Idle:
        return 0;
    case Phase::Begin:
        return BeginStep(motion, table, limits);
    case Phase::Move:
        // The step is done when the axis is inside the step's position range, not when the
        // command arrives: the dwell starts from a settled position.
        if (!motion.Moving() && std::fabs(motion.ActualPosition() - m_target) <= InPositionRange(table.Step(m_step))) {
            m_dwellTicks = std::lround(std::max<int>(table.Step(m_step).standardTime, 0) * kTicksPerMs);
            m_phase = Phase::Dwell;
        }
        return 0;
    case Phase::Dwell:
        if (--m_dwellTicks > 0)
            return 0;
        return FinishStep(table, stepCount);
    }
    return 0;
}

} // namespace kvl::sim
