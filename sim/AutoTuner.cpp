#include "sim/AutoTuner.h"

#include <algorithm>
#include <cmath>

namespace kvl::sim {
namespace {
constexpr double kTicksPerMs = 10.0;
} // namespace

void AutoTuner::Start(double origin, double target, const MotionAxis::Profile &profile, bool quality)
{
    ends_[0] = origin;
    ends_[1] = target;
    profile_ = profile;
    qualityRequested_ = quality;
    strokesDone_ = 0;
    strokeTicks_ = 0;
    peakCurrent_ = 0.0;
    tuning_ = kRunning;
    quality_ = quality ? kRunning : kIdle;
}

void AutoTuner::Abort()
{
    if (tuning_ == kRunning)
        tuning_ = kFailed;
    if (quality_ == kRunning)
        quality_ = kFailed;
}

void AutoTuner::Tick(MotionAxis &motion, ParameterStore &params)
{
    if (tuning_ != kRunning)
        return;
    peakCurrent_ = std::max(peakCurrent_, std::fabs(motion.ActualCurrent()));
    if (motion.Moving()) {
        ++strokeTicks_;
        return;
    }
    if (strokesDone_ > 0)
        firstValue_ = static_cast<int16_t>(std::lround(strokeTicks_ / kTicksPerMs));
    if (strokesDone_ >= kStrokes) {
        Finish(params);
        return;
    }
    // Odd strokes go out to the step's target, even ones come back.
    motion.MoveTo(ends_[(strokesDone_ + 1) % 2], profile_);
    ++strokesDone_;
    strokeTicks_ = 0;
}

// Plausible results: the load inertia ratio from the peak current the moves needed beyond friction
// and holding, gains from the stiffness level the user chose.
void AutoTuner::Finish(ParameterStore &params)
{
    const double accelerationG = profile_.acc / MotionAxis::kStandardGravity;
    const double bareMotor = MotionAxis::kMilliampsPerG * std::max(accelerationG, 0.01);
    const double forAcceleration = peakCurrent_ - MotionAxis::kFrictionMilliamps - MotionAxis::kHoldingMilliamps;
    const int32_t ratio = static_cast<int32_t>(std::lround(1000.0 * forAcceleration / bareMotor));
    const int32_t stiffness = std::clamp(params.Get(param::kTuningStiffness), 0, 5);
    params.Set(param::kLoadInertiaRatio, std::max(ratio, 100));
    params.Set(param::kGainPosition, 30 + 10 * stiffness);
    params.Set(param::kGainSpeed, 20 + 8 * stiffness);
    params.Set(param::kGainIntegral, 200 - 20 * stiffness);
    params.Set(param::kFilterSpeed, 10 + 5 * stiffness);
    params.Set(param::kFilterTorque, 5 + 3 * stiffness);
    secondValue_ = static_cast<int16_t>(std::lround(std::min(peakCurrent_, 32767.0)));
    tuning_ = kDone;
    if (qualityRequested_)
        quality_ = kDone;
}

} // namespace kvl::sim
