#pragma once
// The controller's automatic gain tuning: it moves the axis back and forth over the chosen step a
// few times, measures the moves and writes its gains (parameters 40, 41, 42, 117, 118, 119).
// Owned by one AxisDevice; bus thread only.
#include <cstdint>

#include "sim/MotionAxis.h"
#include "sim/ParameterStore.h"

namespace kvl::sim {

class AutoTuner {
public:
    // States the controller reports for tuning and for quality estimation.
    static constexpr uint8_t kIdle = 1;
    static constexpr uint8_t kRunning = 2;
    static constexpr uint8_t kDone = 3;
    static constexpr uint8_t kFailed = 4;
    static constexpr int kStrokes = 6;   // three round trips

    // Starts from the axis' present position toward `target`; `quality` asks for the estimation too.
    void Start(double origin, double target, const MotionAxis::Profile &profile, bool quality);
    // Ends a run early (Stop, servo off, alarm): both running states become failed.
    void Abort();
    // One simulation tick.
    void Tick(MotionAxis &motion, ParameterStore &params);

    bool Running() const { return m_tuning == kRunning; }
    uint8_t QualityState() const { return m_quality; }
    uint8_t TuningState() const { return m_tuning; }
    int16_t FirstValue() const { return m_firstValue; }    // settling time of the last stroke, ms
    int16_t SecondValue() const { return m_secondValue; }  // peak current, mA

private:
    void Finish(ParameterStore &params);

    uint8_t m_quality = kIdle;
    uint8_t m_tuning = kIdle;
    bool m_qualityRequested = false;
    double m_ends[2] = {0.0, 0.0};
    MotionAxis::Profile m_profile;
    int m_strokesDone = 0;
    long m_strokeTicks = 0;
    double m_peakCurrent = 0.0;
    int16_t m_firstValue = 0;
    int16_t m_secondValue = 0;
};

} // namespace kvl::sim
