#pragma once
// Runs the point-table program of one axis: each step's move with its speed, ACC and DCC, the
// dwell of its standard time, its repeat count and its jump, with pause and resume. Owned by one
// AxisDevice; bus thread only.
#include <cstdint>

#include "sim/AlarmLog.h"
#include "sim/MotionAxis.h"
#include "sim/PointTable.h"

namespace kvl::sim {

// Where the axis may go and how fast, from the axis' parameters.
struct AxisLimits {
    double lower = -1e9;        // mm
    double upper = 1e9;         // mm
    double maxSpeed = 1000.0;   // mm/s
    bool enforce = false;       // soft limits apply only once home is established
};

class ProgramRunner {
public:
    // Starts at wire step `step`; false when that step holds no data or lies outside the table.
    bool Start(int step, const PointTable &table, int stepCount);
    void Pause(MotionAxis &motion);
    void Resume(MotionAxis &motion);
    void Abort();

    // One simulation tick; returns an alarm code, or 0.
    uint8_t Tick(MotionAxis &motion, const PointTable &table, int stepCount, const AxisLimits &limits);

    bool Active() const { return m_phase != Phase::Idle; }
    bool Paused() const { return m_paused; }
    bool Dwelling() const { return m_phase == Phase::Dwell; }
    int CurrentStep() const { return m_step; }
    int RepeatsLeft() const { return m_repeatsLeft; }

    // Target and profile of a step record started from `from` (mm).
    static double StepTarget(const StepRecord &record, double from);
    static MotionAxis::Profile StepProfile(const StepRecord &record, double maxSpeed);
    // In-position range of a step record, mm.
    static double InPositionRange(const StepRecord &record);

private:
    enum class Phase { Idle, Begin, Move, Dwell };

    uint8_t BeginStep(MotionAxis &motion, const PointTable &table, const AxisLimits &limits);
    uint8_t FinishStep(const PointTable &table, int stepCount);

    Phase m_phase = Phase::Idle;
    bool m_paused = false;
    int m_step = 1;
    int m_repeatsLeft = 0;
    long m_dwellTicks = 0;
    double m_target = 0.0;
    MotionAxis::Profile m_profile;
};

} // namespace kvl::sim
