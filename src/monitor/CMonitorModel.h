#pragma once
// CMonitorModel: the state and rules of the motor monitor of one axis, without a window. It keeps
// the 32 signal states, the load and position texts, the current alarm and the alarm history, and
// runs the monitor's exchanges: the refresh (on opening and on every poll tick, under the polling
// switch and the current-axis rule), input switching with the inputs each I/O mode forbids, alarm
// reset, and reading and clearing the alarm history.
// Each item of a refresh is read on its own: a read that fails (a spoiled or wrong-length reply, a
// refusal) keeps that item's last value and the others are still read. A controller that stops
// answering does not hold the window: an exchange without an answer ends the refresh, the model
// turns silent (the window says so) and asks once a second with the short identification read
// (ReadDeviceType, 30 ms) until the axis answers; the next refresh is a full one again.
// Owned by the monitor window; the thread that makes the exchanges (the user-interface thread).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvl {

class CLanguageTexts;
class CServoCommands;
struct CAppValues;

class CMonitorModel {
public:
    static constexpr int kTimeoutMs = 200;
    static constexpr int kPollTimerId = 90;
    static constexpr int kPollPeriodMs = 20;
    static constexpr int kSilentProbePeriodMs = 1000;
    static constexpr int kProbeTimeoutMs = 30;   // the identification read that probes a silent axis
    static constexpr int kHistoryLength = 50;
    static constexpr int kInputCount = 16;
    // The current alarm's two texts, as the controller's own tools show them.
    static constexpr char kNormalText[] = "Normal";
    static constexpr char kAbnormalText[] = "Unormal";
    // ("IDS_AXIS_NO_ANSWER", "Common"): the axis gave no answer.
    static constexpr char kNoAnswerKey[] = "IDS_AXIS_NO_ANSWER";
    static constexpr char kNoAnswerBuiltIn[] = "The axis does not answer";
    static constexpr char kClearQuestionKey[] = "IDS_WARNMSG_ALARMLISTRESET";

    // Colour of the current alarm text: none before the first good read, then green or red.
    enum class AlarmColour { kNone, kGreen, kRed };
    struct Rgb {
        uint8_t red, green, blue;
    };
    static constexpr Rgb kGreen{0, 255, 0};
    static constexpr Rgb kRed{255, 0, 0};
    // What a poll tick did: kIdle nothing (polling switch off; keep ticking), kStop this axis is
    // not the current axis (stop the timer), kRestart refreshed (start again with PollPeriodMs).
    enum class Tick { kIdle, kStop, kRestart };

    // What the window lends the model. Every hook may be empty.
    struct Hooks {
        // The OK / Cancel question before the history is cleared (title, text); true for OK.
        // Empty: the answer is Cancel.
        std::function<bool(const std::string &title, const std::string &text)> ask;
        std::function<void()> changed;   // something shown changed: refresh the view
    };

    // `ioMode` is the axis' operation type 0 to 5 (see SetIoMode).
    CMonitorModel(CServoCommands &commands, const CLanguageTexts &texts, CAppValues &values, int axis,
                  std::string model, int ioMode, Hooks hooks = {});

    // Opening: an empty history (50 zero bytes, no lines), then the refresh with the opening's
    // failure rules (load "0" and zero positions where an item could not be read), then the
    // history read. A refresh that reads a new alarm reads the history again.
    void Open();
    // One refresh with the poll tick's failure rules (a failed item keeps its text).
    void Refresh();
    // Timer 90: the polling switch, the current-axis rule, then a refresh.
    Tick OnTick();
    // 20 ms, or one probe a second while the axis does not answer.
    int PollPeriodMs() const;
    // Activation of the window: its axis becomes the application's current axis.
    void Activate();
    bool IsCurrentAxis() const;

    // The I/O mode (the operation type 0 to 5; any other value acts as 0): which inputs may be
    // switched and the signal names.
    void SetIoMode(int mode);
    // The I/O mode of parameter 36's chosen index in the axis' parameter list (MDA-Z lists its
    // types 0, 2, 4, 5 as the choices 0 to 3).
    static int IoModeOfChoice(const std::string &model, int choice);
    int IoMode() const { return m_ioMode; }
    bool InputSwitchAllowed(int input) const;   // input 0 to 15

    // Input lamp k (0 to 15) pressed: nothing when that input is forbidden in this mode, else
    // SetInputSignal with the opposite of the shown state; the lamp toggles on a good reply
    // whose status is not 0. True when the request was sent.
    bool SwitchInput(int input);
    void ResetAlarm();
    // Reads the history; the list is rebuilt only when the 50 bytes differ from the last ones.
    void RefreshHistory();
    // Asks first; on OK clears the controller's history and, when it says so, the list.
    void ClearHistory();
    // The list again from the stored bytes (texts of the current language).
    void RebuildHistoryList();

    // --- what the window shows
    int Axis() const { return m_axis; }
    const std::string &Model() const { return m_model; }
    std::string WindowSection() const;
    std::string AlarmSection() const;
    // Keys of the two position units: the MDA-Z axis shows degrees.
    const char *CommandUnitKey() const;
    const char *CurrentUnitKey() const;
    std::string SignalKey(bool input, int number) const;   // number 1 to 16
    bool SignalOn(bool input, int number) const;           // number 1 to 16
    uint32_t IoWord() const { return m_ioWord; }
    const std::string &LoadText() const { return m_loadText; }
    const std::string &CommandPositionText() const { return m_commandText; }
    const std::string &CurrentPositionText() const { return m_currentText; }
    int PositionDecimals() const;
    // The current alarm text (empty before the first read) and its colour.
    const std::string &AlarmText() const { return m_alarmText; }
    AlarmColour GetAlarmColour() const { return m_alarmColour; }
    // The axis gave no answer to the last exchange.
    bool Silent() const { return m_silent; }
    std::string NoAnswerText() const;
    const std::vector<std::string> &HistoryLines() const { return m_historyLines; }
    const std::vector<uint8_t> &HistoryBytes() const { return m_historyBytes; }
    // How often the list was built (tests: an unchanged history is not rebuilt).
    int HistoryRebuilds() const { return m_historyRebuilds; }

private:
    enum class Failure { kKeep, kZero };

    // Notes an exchange's result (silence on no answer, answering again on success); true on success.
    bool Note(int result);
    // The silent axis' probe: the identification read; true (and no longer silent) when it answered.
    bool Probe();
    bool ReadSignals();
    bool ReadLoad();
    bool ReadPositions();
    bool ReadAlarm();
    void RunRefresh(Failure failure);
    std::string AlarmLine(uint8_t code) const;
    void Changed() const;

    CServoCommands &m_commands;
    const CLanguageTexts &m_texts;
    CAppValues &m_values;
    int m_axis;
    std::string m_model;
    Hooks m_hooks;
    int m_ioMode = 0;
    uint32_t m_ioWord = 0;
    std::string m_loadText;
    std::string m_commandText;
    std::string m_currentText;
    std::string m_alarmText;
    AlarmColour m_alarmColour = AlarmColour::kNone;
    uint8_t m_alarmCode = 0;   // the code of the last alarm read
    bool m_silent = false;
    std::vector<uint8_t> m_historyBytes;
    std::vector<std::string> m_historyLines;
    int m_historyRebuilds = 0;
};

} // namespace kvl
