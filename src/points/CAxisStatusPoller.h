#pragma once
// CAxisStatusPoller: the status reads of one axis window. The opening pass and the 1 s tick read
// servo, home, run mode and alarm (the opening pass the positions too); the 100 ms tick reads the
// operation status, the positions and, while a program runs, the current step. Each read stands
// alone: one that fails with a reply (spoiled, refused, of the wrong length) keeps its item and the
// pass goes on. Only an exchange without an answer ends the pass and turns the axis silent; while
// silent the 1 s tick probes with the identification read (30 ms) instead, and its answer ends
// the silence and brings the status reads back in the same tick. It keeps the ABS and INC displays as whole 0.0001 units, so the INC display
// is exact. Part of CAxisWindowModel; the thread that makes the exchanges.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

namespace kvl::points {

struct AxisWindowState;

class CAxisStatusPoller {
public:
    explicit CAxisStatusPoller(AxisWindowState &state) : m_state(state) {}

    // The status pass of the opening: servo, home, run mode, positions, alarm.
    void OpeningPass();
    // Timer 30: servo, home, run mode, alarm. While silent the probe first, and the reads only when
    // it answered.
    void StatusTick();
    // Timer 40: operation status, positions, current step while running.
    void MotionTick();

    // Decimals of the position displays: 3 on MDB and MDC, 4 on MDC-X, setting + 2 otherwise.
    int PositionDecimals() const;
    std::string AbsText() const;
    std::string IncText() const;
    // The INC display starts from the position the ABS display shows.
    void ResetCoordinate();
    // A position in 0.0001 units with `decimals` decimals; a value that prints as zero is
    // written without a minus sign.
    static std::string PositionText(std::int64_t raw, int decimals);

private:
    // Runs the reads in order until one gets no answer (the axis turns silent; false); each applies
    // its own answer, and a read that fails with a reply keeps its item.
    bool Run(std::initializer_list<std::function<int()>> reads);
    // ReadDeviceType with 30 ms: true, and no longer silent, when the axis answered.
    bool Probe();
    int ReadServo();
    int ReadHome();
    int ReadRunMode();
    int ReadPositions();
    int ReadAlarm();
    int ReadOperation();
    int ReadStep();

    AxisWindowState &m_state;
};

} // namespace kvl::points
