#pragma once
// CAxisWindowModel: the state and rules of one axis window without a window. It opens the axis
// (parameter store and values, the point table's context, one status pass), runs the three
// polling ticks (1 s status, 100 ms motion, 30 ms jog keep-alive) under the current-axis rule and
// the polling switch, works out the control states, and carries out the manual operations
// (servo, home, program, jog, feed, teach). The window owns the timers and asks the model what
// each tick did; every exchange goes through the one command layer with its own timeout.
// Every read of a tick stands alone: one that fails with a reply (spoiled, refused, of the wrong
// length) keeps its item and the others go on. A controller that stops answering does not hold
// the window: an exchange without an answer ends the tick, the model turns silent (the alarm box
// says so) and polling is reduced to one identification read (ReadDeviceType, 30 ms) a second
// until the axis answers again; its answer brings the full polling back.
// Opening reads every parameter once (the file's value stays where a read fails) whether or not
// the controller told its model first; the parameters not read are named (ParametersNotReadText).
// A jog never outlives its button: EndJog() sends Stop on every way out the window reports, and a
// keep-alive that fails ends the jog at once.
// Qt-free; the thread that makes the exchanges (the user-interface thread).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "params/CAxisParamSetup.h"
#include "points/CPointTable.h"
#include "points/StepTypes.h"

namespace kvl {
class CAppSettings;
class CServoCommands;
struct CAppValues;
} // namespace kvl

namespace kvl::points {

// What the axis link (or the offline choice) hands to a new axis window.
struct AxisIdentity {
    int axis = 0;            // 0..15; offline CAppValues::kOfflineSlot
    std::string model;       // "MDA", "MDB", "MDC", "MDC-X", "MDA-Y", "MDA-Z"
    std::string name;        // device name text
    std::string version;     // version text as read ("1234")
    bool offline = false;
    int offlineType = 0;     // operation type chosen for offline editing
};

class CAxisWindowModel {
public:
    static constexpr int kCommandTimeoutMs = 200;
    static constexpr int kIdentifyTimeoutMs = 30;
    static constexpr int kStatusPeriodMs = 1000;   // timer 30
    static constexpr int kMotionPeriodMs = 100;    // timer 40
    static constexpr int kJogPeriodMs = 30;        // timer 50
    // While a jog is held, a motion read fits between keep-alives when a keep-alive takes at most
    // this share of the jog period.
    static constexpr int kJogRoomShare = 3;
    static constexpr int kSilentProbePeriodMs = 1000;
    static constexpr int kServoConfirmDelayMs = 200;
    // Timed-out reads in a row that end the parameter read at opening: the axis went silent.
    static constexpr int kOpeningSilentTimeouts = 3;
    // Attempts per parameter at opening: one, without retries.
    static constexpr int kOpeningAttempts = 1;
    // Fallback ranges when the parameter list window gives none.
    static constexpr int kJogSpeedFallbackMax = 1000;
    static constexpr double kFeedClickFallbackMax = 200.0;
    static constexpr double kFeedBoxFallbackMax = 5000.0;

    enum class Timer { kStatus = 30, kMotion = 40, kJog = 50 };
    // What a tick did: kIdle nothing (polling switch off, offline; the timer keeps running),
    // kStopAll this axis is not the current axis (stop all three timers), kRestart the work is
    // done (start the tick's own timer again with TimerPeriodMs).
    enum class Tick { kIdle, kStopAll, kRestart };
    // The alarm box: "Normal" green, "Pause" yellow, "Unormal" red, and the axis not answering.
    enum class AlarmBox { kNormal, kPause, kAbnormal, kSilent };
    enum class JogDirection { kForward, kReverse };
    enum class TeachTarget { kPosition = kColPosition, kPAreaA = kColPAreaA, kPAreaB = kColPAreaB };
    enum class TeachMode { kAbs, kInc };

    // Which controls are enabled (the control-state table).
    struct Controls {
        bool servoOn = false, servoOff = false;
        bool jog = false, feed = false;
        bool home = false, start = false, pause = false, programReset = false;
        bool jogBox = false, feedBox = false, spins = false;
        bool teach = false;
        bool read = false, write = false, open = false, save = false, print = false;
        bool views = false, back = false, wave = false, param = false, monitor = false;
        bool coordinateReset = false;
    };

    // What the window lends the model. Every hook may be empty.
    struct Hooks {
        std::function<void(int done, int total)> progress;  // parameter read at opening: "n of N"
        std::function<void()> changed;                      // state changed: refresh the view
        // The 200 ms wait of the servo confirmation; lets paint events through. Empty: sleep.
        std::function<void(int ms)> wait;
        // The parameter list window's range of a parameter; empty or false: it has none (the
        // window does not exist), the fallback ranges apply.
        std::function<bool(int number, double &min, double &max)> paramRange;
        // The parameter list window's current value of a parameter; empty or false: no window,
        // nothing is written.
        std::function<bool(int number, double &value)> paramValue;
        // A parameter was written (ok) or failed to be written; the parameter list redraws.
        std::function<void(int number, bool ok, const std::string &text)> paramWritten;
    };

    CAxisWindowModel(CServoCommands &commands, CAppSettings &settings, CAppValues &values,
                     AxisIdentity identity, Hooks hooks = {});
    ~CAxisWindowModel();
    CAxisWindowModel(const CAxisWindowModel &) = delete;
    CAxisWindowModel &operator=(const CAxisWindowModel &) = delete;

    // Opening: parameter store and (online) the controller's model again and every parameter
    // value, with progress; the jog and feed boxes; online one status pass; the point table
    // reset keeping its driver copy, start-step row 1. The busy indicator is the caller's.
    // False when the system folder has no parameter file for the model (the window still
    // opens, with the built-in limits).
    bool Open();

    // The parameters the opening did not read from the controller (their values are the
    // parameter file's), in the usual order; empty offline and when every read answered.
    const std::vector<int> &ParametersNotRead() const;
    // The window's line that says so, in the language in use (empty when there is nothing to say):
    // the count and the numbers, or that no parameter was read at all.
    std::string ParametersNotReadText() const;
    // Every parameter not read, one a line: number and name (the line's tooltip).
    std::string ParametersNotReadList() const;

    // --- identity and boxes
    const AxisIdentity &Identity() const;
    bool Offline() const;
    int OperationType() const;
    std::string AxisText() const;          // "%X"
    std::string TypeText() const;          // "TYPE%d"
    std::string VersionText() const;       // "1234" -> "1.23"
    std::string DescriptionKey() const;    // "SCRIPT_0" .. "SCRIPT_6"
    int PositionDecimals() const;
    params::CAxisParamSetup &Params();
    CPointTable &Table();
    const CPointTable &Table() const;

    // --- status display
    bool ServoLamp() const;
    bool HomeLamp() const;
    bool AutoLamp() const;
    bool ManualLamp() const;
    AlarmBox Alarm() const;
    bool Running() const;
    bool Paused() const;
    bool Jogging() const;
    bool Silent() const;
    // The servo state another window of the axis read (the tuning window's poll and servo buttons).
    void SetServoState(bool on);
    std::string AbsText() const;
    std::string IncText() const;
    int StartRow() const;                  // grid row 1..N of the start-step highlight
    void SetStartRow(int row);
    Controls ControlStates() const;

    // --- polling
    // Activation of the window (or its monitor): this axis becomes the current axis.
    void Activate();
    bool IsCurrentAxis() const;
    Tick OnTick(Timer timer);
    // The period the window restarts `timer` with (silent: the status timer probes once a second
    // and the motion and jog ticks do nothing).
    int TimerPeriodMs(Timer timer) const;
    void ResetCoordinate();

    // --- operation type, parameter notifications
    void OperationTypeChanged(bool clearController);
    // Parameters of the axis were read, written or loaded (the parameter list): the step rules
    // take the bounds and defaults they hold now; the tables and their marks stay.
    void ParametersChanged();
    // The parameter list read these parameters from the controller: they are no longer named as
    // not read.
    void ParametersRead(const std::vector<int> &numbers);
    void Parameter5Changed();
    // 0: the first picture set of the jog and feed buttons, 1: the second (parameter 5).
    int DirectionPictureSet() const;
    void JogSpeedChanged();                // parameter 16 written by the parameter list
    void FeedAmountChanged();              // parameter 31 written by the parameter list
    void DeviceNameChanged(const std::string &name);
    // The parameter list window of the axis lends its ranges and values to the jog and feed and
    // hears what they wrote (the three hooks of the same names); empty functions take them back.
    void SetParameterListHooks(std::function<bool(int number, double &min, double &max)> paramRange,
                               std::function<bool(int number, double &value)> paramValue,
                               std::function<void(int number, bool ok, const std::string &text)> paramWritten);

    // --- manual operation
    void ServoOn();
    void ServoOff();
    void HomeStart();
    void ProgramStart();
    void ProgramPause();
    void ProgramReset();
    void JogPress(JogDirection direction);
    void JogRelease(JogDirection direction);
    // Every way out of a jog the window sees (grab or focus lost, window deactivated, hidden,
    // closed, the application quitting): Stop when a jog is active or a button is held.
    void EndJog();
    void Feed(JogDirection direction);
    const std::string &JogSpeedBox() const;
    void SetJogSpeedBox(const std::string &text);
    const std::string &FeedBox() const;
    void SetFeedBox(const std::string &text);
    void LeaveFeedBox();
    void SpinJogSpeed(int steps);          // +1 or -1
    void SpinFeed(int steps);
    TeachTarget Target() const;
    void SetTarget(TeachTarget target);
    TeachMode Mode() const;
    void SetMode(TeachMode mode);
    // GET with the grid's selection: acts only when it is exactly one whole row (grid row 1..N).
    // The row selected afterwards (the next row after teaching the position or P-area B).
    int Teach(int selectedRow, bool wholeRowSelected);

    // --- menu
    // Return in service mode: the message text; nothing otherwise (the window hides itself).
    std::optional<std::string> ServiceReturnMessage() const;

private:
    struct State;
    // The point table's rules from the identity, the stored limits and the parameter list, and
    // the table reset (keeping its driver copy or not); the start-step row returns to 1.
    void RebuildTable(bool keepDriver);

    std::unique_ptr<State> m_state;
};

} // namespace kvl::points
