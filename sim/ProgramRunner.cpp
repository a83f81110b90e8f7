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
    step_ = step;
    repeatsLeft_ = std::max<int>(table.Step(step).repeat, 1);
    phase_ = Phase::Begin;
    paused_ = false;
    return true;
}

void ProgramRunner::Pause(MotionAxis &motion)
{
    if (!Active() || paused_)
        return;
    paused_ = true;
    motion.Halt(profile_.dec);
}

void ProgramRunner::Resume(MotionAxis &motion)
{
    if (!paused_)
        return;
    paused_ = false;
    if (phase_ == Phase::Move)
        motion.MoveTo(target_, profile_);
}

void ProgramRunner::Abort()
{
    phase_ = Phase::Idle;
    paused_ = false;
}

uint8_t ProgramRunner::BeginStep(MotionAxis &motion, const PointTable &table, const AxisLimits &limits)
{
    const StepRecord &record = table.Step(step_);
    if (!record.Defined())
        return alarm::kPointData;
    target_ = StepTarget(record, motion.CommandPosition());
    if (limits.enforce && target_ > limits.upper)
        return alarm::kSoftLimitPlus;
    if (limits.enforce && target_ < limits.lower)
        return alarm::kSoftLimitMinus;
    profile_ = StepProfile(record, limits.maxSpeed);
    motion.MoveTo(target_, profile_);
    phase_ = Phase::Move;
    return 0;
}

uint8_t ProgramRunner::FinishStep(const PointTable &table, int stepCount)
{
    if (--repeatsLeft_ > 0) {
        phase_ = Phase::Begin;
        return 0;
    }
    const int jump = table.Step(step_).jump;
    if (jump == 0) {
        Abort();
        return 0;
    }
    if (jump < 1 || jump > stepCount || !table.Step(jump).Defined())
        return alarm::kPointData;
    step_ = jump;
    repeatsLeft_ = std::max<int>(table.Step(step_).repeat, 1);
    phase_ = Phase::Begin;
    return 0;
}

uint8_t ProgramRunner::Tick(MotionAxis &motion, const PointTable &table, int stepCount, const AxisLimits &limits)
{
    if (paused_)
        return 0;
    switch (phase_) {
    case Phase::Idle:
        return 0;
    case Phase::Begin:
        return BeginStep(motion, table, limits);
    case Phase::Move:
        // The step is done when the axis is inside the step's position range, not when the
        // command arrives: the dwell starts from a settled position.
        if (!motion.Moving() && std::fabs(motion.ActualPosition() - target_) <= InPositionRange(table.Step(step_))) {
            dwellTicks_ = std::lround(std::max<int>(table.Step(step_).standardTime, 0) * kTicksPerMs);
            phase_ = Phase::Dwell;
        }
        return 0;
    case Phase::Dwell:
        if (--dwellTicks_ > 0)
            return 0;
        return FinishStep(table, stepCount);
    }
    return 0;
}

} // namespace kvl::sim
