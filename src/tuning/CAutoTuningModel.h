#pragma once
// CAutoTuningModel: the state and rules of the auto-tuning window of one axis, without a window.
// It starts, stops and watches the controller's two state machines (tuning and quality
// estimation, 1 idle, 2 running, 3 finished, 4 failed), shows the controller's alarm state,
// switches the servo, reads and writes the five tuning parameters (CTuningFields) and collects a
// result record (CTuningResults) each time a run finishes.
// Only the models MDB and MDC tune: for the others Stop, Reset, the poll and the parameter
// transfers do nothing. Offline nothing is sent.
// A run never outlives the window: StopRun() is called on every way out (quit, window destroyed)
// and the poll sends Stop itself when the controller stays silent for more than a second while a
// state is running, and says so.
// Owned by the tuning window; the thread that makes the exchanges (the user-interface thread).
#include <cstdint>
#include <functional>
#include <string>

#include "tuning/CTuningFields.h"
#include "tuning/CTuningResults.h"

namespace kvl {
class CServoCommands;
class CLanguageTexts;
} // namespace kvl

namespace kvl::tuning {

class CAutoTuningModel {
public:
    static constexpr int kTimeoutMs = 200;
    static constexpr int kPollPeriodMs = 500;
    static constexpr int kServoConfirmDelayMs = 200;
    // Polls in a row without a status reply after which a running state is stopped: with the
    // 500 ms period and the 200 ms timeout, more than a second of silence.
    static constexpr int kUnansweredPollsBeforeStop = 3;
    static constexpr int kStateUnknown = 255;
    static constexpr int kStateRunning = 2;
    static constexpr int kStateFinished = 3;
    static constexpr char kSection[] = "IDD_KVL_VER2_TUNING_DIALIG";
    // The controller's own words for its alarm state.
    static constexpr char kNormalText[] = "Normal";
    static constexpr char kPauseText[] = "Pause";
    static constexpr char kAbnormalText[] = "Unormal";

    enum class Colour { kWhite, kYellow, kGreen, kRed, kCyan };
    enum class Direction { kAntiMotor = 0, kMotor = 1 };

    // What the axis window lends: the program run flags and the shared servo state.
    struct AxisLink {
        std::function<bool()> programRunning;
        std::function<bool()> programPaused;
        std::function<void(bool servoOn)> servoRead;   // the axis' servo state was read
        std::function<bool()> servoOn;                 // the axis' servo state as last read
    };
    // What the window lends. Every hook may be empty.
    struct Hooks {
        std::function<void()> changed;
        // A message with an empty title.
        std::function<void(const std::string &text)> message;
        // An OK / Cancel question; true for OK. Empty: Cancel.
        std::function<bool(const std::string &text)> ask;
        // The 200 ms wait after a servo command; lets paint events through. Empty: sleep.
        std::function<void(int ms)> wait;
    };

    // What the window may press and shows.
    struct Controls {
        bool start = false, stop = false, read = false, write = false;
        bool stepField = false, settlingField = false;
        bool servoOn = false, servoOff = false;
        // Quality toggle off: stroke, acceleration, direction and the estimation frame are shown
        // (read-only fields); on: they are hidden and the load inertia ratio is editable.
        bool strokeGroupVisible = true;
        bool loadInertiaEditable = false;
        bool closeAllowed = true;
    };

    CAutoTuningModel(CServoCommands &commands, const CLanguageTexts &texts, int axis, std::string model,
                     int operationType, bool offline, AxisLink axisLink, Hooks hooks = {});

    // Opening: start values, Read, and one status read whose states become the previous ones
    // without being shown.
    void Open();
    // Whether the 500 ms poll runs at all (online, MDB or MDC).
    bool Polls() const;
    // One poll tick: both states, result collection, servo state, alarm state.
    void Poll();

    void Start();
    void Stop();
    void Reset();
    void ServoOn();
    void ServoOff();
    void Read();
    // False when nothing was written because the settling time or a changed load inertia ratio
    // is out of range, or the servo question was cancelled or the servo would not turn off.
    bool Write();
    // Collects the result of a finished run with the two status values.
    void CollectResult(int firstValue, int secondValue);
    void ClearResults();

    // Every way out of the window and of the program: Stop when a state is running. True when
    // Stop was sent.
    bool StopRun();
    // The window was shown: the parameters-written flag starts again.
    void Shown();
    // The window closes: whether parameters were written since it was shown (the parameter list
    // reads again); clears the flag.
    bool TakeParametersWritten();
    bool ParametersWritten() const { return m_written; }

    // --- settings of the next run
    int StepCount() const;
    const std::string &StepText() const { return m_stepText; }
    void SetStepText(const std::string &text);   // digits only, at most 3; limited on Start
    int StepNumber() const;                       // 0 .. StepCount() - 1
    bool QualityOn() const { return m_quality; }
    void SetQuality(bool on);
    Direction MoveDirection() const { return m_direction; }
    void SetMoveDirection(Direction direction);
    CTuningFields &Fields() { return m_fields; }
    const CTuningFields &Fields() const { return m_fields; }
    CTuningResults &Results() { return m_results; }
    const CTuningResults &Results() const { return m_results; }

    // --- what the window shows
    int Axis() const { return m_axis; }
    const std::string &Model() const { return m_model; }
    bool Offline() const { return m_offline; }
    bool Tunes() const;               // MDB or MDC
    bool Running() const;             // a state is 2
    int TuningState() const { return m_tuningShown; }     // 255 until shown
    int QualityState() const { return m_qualityShown; }
    std::string TuningStateText() const;
    std::string QualityStateText() const;
    static Colour StateColour(int state);
    const std::string &DriverStatusText() const { return m_driverText; }
    Colour DriverStatusColour() const { return m_driverColour; }
    Controls ControlStates() const;
    // Row headings of the result table, in row order (13).
    std::vector<std::string> RowHeadings() const;

private:
    bool Acts() const { return !m_offline && Tunes(); }
    void ShowDriverStatus();
    void SwitchServo(bool on);
    void ReadServoState();
    void Changed();
    void Message(const std::string &key, const std::string &section);
    int32_t ReadOrZero(uint16_t number);
    std::string StateText(const char *prefix, int state) const;

    CServoCommands &m_commands;
    const CLanguageTexts &m_texts;
    int m_axis;
    uint8_t m_address;
    std::string m_model;
    int m_operationType;
    bool m_offline;
    AxisLink m_axisLink;
    Hooks m_hooks;

    CTuningFields m_fields;
    CTuningResults m_results;
    std::string m_stepText = "0";
    bool m_quality = false;
    Direction m_direction = Direction::kAntiMotor;
    bool m_written = false;
    bool m_refreshTexts = true;
    int m_qualityPrevious = kStateUnknown;
    int m_tuningPrevious = kStateUnknown;
    int m_unansweredPolls = 0;
    int m_qualityShown = kStateUnknown;
    int m_tuningShown = kStateUnknown;
    std::string m_driverText = kNormalText;
    Colour m_driverColour = Colour::kGreen;
};

} // namespace kvl::tuning
