#include "sim/MotionAxis.h"

#include <algorithm>
#include <cmath>

namespace kvl::sim {
namespace {

constexpr double kSpeedLagSeconds = 0.003;    // the actual speed follows the command with this lag
constexpr double kCurrentLagSeconds = 0.001;
constexpr double kArrivalTolerance = 1e-9;

double Sign(double v)
{
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}

} // namespace

void MotionAxis::SetServo(bool on)
{
    servo_ = on;
    if (!on)
        Freeze();
}

void MotionAxis::MoveTo(double target, const Profile &profile)
{
    target_ = target;
    profile_ = profile;
    profile_.acc = std::max(profile_.acc, 1.0);
    profile_.dec = std::max(profile_.dec, 1.0);
    mode_ = Mode::Move;
}

void MotionAxis::Jog(int direction, double speed, double acc)
{
    jogDirection_ = direction >= 0 ? 1 : -1;
    profile_.speed = speed;
    profile_.acc = std::max(acc, 1.0);
    profile_.dec = profile_.acc;
    mode_ = Mode::Jog;
}

void MotionAxis::Halt(double dec)
{
    if (mode_ == Mode::Idle)
        return;
    profile_.dec = std::max(dec, 1.0);
    mode_ = Mode::Halt;
}

void MotionAxis::Freeze()
{
    mode_ = Mode::Idle;
    cmdVel_ = 0.0;
    actVel_ = 0.0;
    cmdAcc_ = 0.0;
    actPos_ = cmdPos_;
    UpdateCurrents();
}

void MotionAxis::SetPosition(double position)
{
    const double deviation = actPos_ - cmdPos_;
    cmdPos_ = position;
    actPos_ = position + deviation;
    target_ = position;
}

// Speed along the direction of the target for the next tick: accelerate up to the profile speed,
// but never faster than the speed from which the deceleration still stops at the target.
double MotionAxis::NextMoveSpeed() const
{
    const double remaining = std::fabs(target_ - cmdPos_);
    const double along = cmdVel_ * Sign(target_ - cmdPos_);
    if (along < 0)
        return std::min(0.0, along + profile_.dec * kTickSeconds);
    const double brakeLimit = std::sqrt(2.0 * profile_.dec * remaining);
    return std::min({profile_.speed, along + profile_.acc * kTickSeconds, brakeLimit});
}

void MotionAxis::Tick()
{
    const double before = cmdVel_;
    switch (mode_) {
    case Mode::Idle:
        break;
    case Mode::Move: {
        const double direction = Sign(target_ - cmdPos_);
        const double speed = NextMoveSpeed();
        const double stepLength = speed * kTickSeconds;
        if (direction == 0 || (speed > 0 && stepLength >= std::fabs(target_ - cmdPos_) - kArrivalTolerance)) {
            cmdPos_ = target_;
            cmdVel_ = 0.0;
            mode_ = Mode::Idle;
        } else {
            cmdVel_ = speed * direction;
            cmdPos_ += cmdVel_ * kTickSeconds;
        }
        break;
    }
    case Mode::Jog: {
        const double wanted = profile_.speed * jogDirection_;
        const double change = profile_.acc * kTickSeconds;
        cmdVel_ = std::clamp(wanted, cmdVel_ - change, cmdVel_ + change);
        cmdPos_ += cmdVel_ * kTickSeconds;
        break;
    }
    case Mode::Halt: {
        const double change = profile_.dec * kTickSeconds;
        cmdVel_ = std::fabs(cmdVel_) <= change ? 0.0 : cmdVel_ - Sign(cmdVel_) * change;
        cmdPos_ += cmdVel_ * kTickSeconds;
        if (cmdVel_ == 0.0) {
            target_ = cmdPos_;
            mode_ = Mode::Idle;
        }
        break;
    }
    }
    cmdAcc_ = (cmdVel_ - before) / kTickSeconds;
    if (servo_) {
        actVel_ += (cmdVel_ - actVel_) * (kTickSeconds / kSpeedLagSeconds);
        actPos_ += actVel_ * kTickSeconds;
        // Without motion the servo pulls the small remaining deviation in.
        if (mode_ == Mode::Idle && std::fabs(actVel_) < 1e-6)
            actPos_ += (cmdPos_ - actPos_) * (kTickSeconds / kSpeedLagSeconds);
    }
    UpdateCurrents();
}

void MotionAxis::UpdateCurrents()
{
    if (!servo_) {
        cmdCurrent_ = 0.0;
        actCurrent_ += (0.0 - actCurrent_) * (kTickSeconds / kCurrentLagSeconds);
        return;
    }
    const double moving = std::fabs(cmdVel_) > 1e-9 ? kFrictionMilliamps * Sign(cmdVel_) : 0.0;
    cmdCurrent_ = kMilliampsPerG * loadInertia_ * cmdAcc_ / kStandardGravity + moving + kHoldingMilliamps;
    actCurrent_ += (cmdCurrent_ - actCurrent_) * (kTickSeconds / kCurrentLagSeconds);
}

} // namespace kvl::sim
