#include "sim/AutoTuner.h"

#include <algorithm>
#include <cmath>

namespace kvl::sim {
namespace {
constexpr double kTicksPerMs = 10.0;
} // namespace

void AutoTuner::Start(double origin, double target, const MotionAxis::Profile &profile, bool quality)
{
    m_ends[0] = origin;
    m_ends[1] = target;
    m_profile = profile;
    m_qualityRequested = quality;
    m_strokesDone = 0;
    m_strokeTicks = 0;
    m_peakCurrent = 0.0;
    m_tuning = kRunning;
    m_quality = quality ? kRunning : kIdle;
}

void AutoTuner::Abort()
{
    if (m_tuning == kRunning)
        m_tuning = kFailed;
    if (m_quality == kRunning)
        m_quality = kFailed;
}

void AutoTuner::Tick(MotionAxis &motion, ParameterStore &params)
{
    if (m_tuning != kRunning)
        return;
    m_peakCurrent = std::max(m_peakCurrent, std::fabs(motion.ActualCurrent()));
    if (motion.Moving()) {
        ++m_strokeTicks;
        return;
    }
    if (m_strokesDone > 0)
        m_firstValue = static_cast<int16_t>(std::lround(m_strokeTicks / kTicksPerMs));
    if (m_strokesDone >= kStrokes) {
        Finish(params);
        return;
    }
    // Odd strokes go out to the step's target, even ones come back.
    motion.MoveTo(m_ends[(m_strokesDone + 1) % 2], m_profile);
    ++m_strokesDone;
    m_strokeTicks = 0;
}

// Plausible results: the load inertia ratio from the peak current the moves needed beyond friction
// and holding, gains from the stiffness level the user chose.
void AutoTuner::Finish(ParameterStore &params)
{
    const double accelerationG = m_profile.acc / MotionAxis::kStandardGravity;
    const double bareMotor = MotionAxis::kMilliampsPerG * std::max(accelerationG, 0.01);
    const double forAcceleration = m_peakCurrent - MotionAxis::kFrictionMilliamps - MotionAxis::kHoldingMilliamps;
    const int32_t ratio = static_cast<int32_t>(std::lround(1000.0 * forAcceleration / bareMotor));
    const int32_t stiffness = std::clamp(params.Get(param::kTuningStiffness), 0, 5);
    params.Set(param::kLoadInertiaRatio, std::max(ratio, 100));
    params.Set(param::kGainPosition, 30 + 10 * stiffness);
    params.Set(param::kGainSpeed, 20 + 8 * stiffness);
    params.Set(param::kGainIntegral, 200 - 20 * stiffness);
    params.Set(param::kFilterSpeed, 10 + 5 * stiffness);
    params.Set(param::kFilterTorque, 5 + 3 * stiffness);
    m_secondValue = static_cast<int16_t>(std::lround(std::min(m_peakCurrent, 32767.0)));
    m_tuning = kDone;
    if (m_qualityRequested)
        m_quality = kDone;
}

} // namespace kvl::sim
