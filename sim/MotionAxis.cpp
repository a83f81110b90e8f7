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
    m_servo = on;
    if (!on)
        Freeze();
}

void MotionAxis::MoveTo(double target, const Profile &profile)
{
    m_target = target;
    m_profile = profile;
    m_profile.acc = std::max(m_profile.acc, 1.0);
    m_profile.dec = std::max(m_profile.dec, 1.0);
    m_mode = Mode::Move;
}

void MotionAxis::Jog(int direction, double speed, double acc)
{
    m_jogDirection = direction >= 0 ? 1 : -1;
    m_profile.speed = speed;
    m_profile.acc = std::max(acc, 1.0);
    m_profile.dec = m_profile.acc;
    m_mode = Mode::Jog;
}

void MotionAxis::Halt(double dec)
{
    if (m_mode == Mode::Idle)
        return;
    m_profile.dec = std::max(dec, 1.0);
    m_mode = Mode::Halt;
}

void MotionAxis::Freeze()
{
    m_mode = Mode::Idle;
    m_cmdVel = 0.0;
    m_actVel = 0.0;
    m_cmdAcc = 0.0;
    m_actPos = m_cmdPos;
    UpdateCurrents();
}

void MotionAxis::SetPosition(double position)
{
    const double deviation = m_actPos - m_cmdPos;
    m_cmdPos = position;
    m_actPos = position + deviation;
    m_target = position;
}

// Speed along the direction of the target for the next tick: accelerate up to the profile speed,
// but never faster than the speed from which the deceleration still stops at the target.
double MotionAxis::NextMoveSpeed() const
{
    const double remaining = std::fabs(m_target - m_cmdPos);
    const double along = m_cmdVel * Sign(m_target - m_cmdPos);
    if (along < 0)
        return std::min(0.0, along + m_profile.dec * kTickSeconds);
    const double brakeLimit = std::sqrt(2.0 * m_profile.dec * remaining);
    return std::min({m_profile.speed, along + m_profile.acc * kTickSeconds, brakeLimit});
}

void MotionAxis::Tick()
{
    const double before = m_cmdVel;
    switch (m_mode) {
    case Mode::Idle:
        break;
    case Mode::Move: {
        const double direction = Sign(m_target - m_cmdPos);
        const double speed = NextMoveSpeed();
        const double stepLength = speed * kTickSeconds;
        if (direction == 0 || (speed > 0 && stepLength >= std::fabs(m_target - m_cmdPos) - kArrivalTolerance)) {
            m_cmdPos = m_target;
            m_cmdVel = 0.0;
            m_mode = Mode::Idle;
        } else {
            m_cmdVel = speed * direction;
            m_cmdPos += m_cmdVel * kTickSeconds;
        }
        break;
    }
    case Mode::Jog: {
        const double wanted = m_profile.speed * m_jogDirection;
        const double change = m_profile.acc * kTickSeconds;
        m_cmdVel = std::clamp(wanted, m_cmdVel - change, m_cmdVel + change);
        m_cmdPos += m_cmdVel * kTickSeconds;
        break;
    }
    case Mode::Halt: {
        const double change = m_profile.dec * kTickSeconds;
        m_cmdVel = std::fabs(m_cmdVel) <= change ? 0.0 : m_cmdVel - Sign(m_cmdVel) * change;
        m_cmdPos += m_cmdVel * kTickSeconds;
        if (m_cmdVel == 0.0) {
            m_target = m_cmdPos;
            m_mode = Mode::Idle;
        }
        break;
    }
    }
    m_cmdAcc = (m_cmdVel - before) / kTickSeconds;
    if (m_servo) {
        m_actVel += (m_cmdVel - m_actVel) * (kTickSeconds / kSpeedLagSeconds);
        m_actPos += m_actVel * kTickSeconds;
        // Without motion the servo pulls the small remaining deviation in.
        if (m_mode == Mode::Idle && std::fabs(m_actVel) < 1e-6)
            m_actPos += (m_cmdPos - m_actPos) * (kTickSeconds / kSpeedLagSeconds);
    }
    UpdateCurrents();
}

void MotionAxis::UpdateCurrents()
{
    if (!m_servo) {
        m_cmdCurrent = 0.0;
        m_actCurrent += (0.0 - m_actCurrent) * (kTickSeconds / kCurrentLagSeconds);
        return;
    }
    const double moving = std::fabs(m_cmdVel) > 1e-9 ? kFrictionMilliamps * Sign(m_cmdVel) : 0.0;
    m_cmdCurrent = kMilliampsPerG * m_loadInertia * m_cmdAcc / kStandardGravity + moving + kHoldingMilliamps;
    m_actCurrent += (m_cmdCurrent - m_actCurrent) * (kTickSeconds / kCurrentLagSeconds);
}

} // namespace kvl::sim
