#pragma once
// CAxisManualOperation: the controls of an axis window that move the axis by hand and run its
// program: servo, home, program start, pause and reset, jog with its keep-alive, feed, and the
// jog-speed and feed boxes with their spin buttons and their two fallback ranges. Every command
// goes to the window's axis with 200 ms; offline nothing is sent. A jog ends with Stop on its
// release, on every way out the window reports and when a keep-alive fails. Part of
// CAxisWindowModel; the thread that makes the exchanges.
#include <string>

#include "points/CAxisWindowModel.h"

namespace kvl::points {

struct AxisWindowState;

class CAxisManualOperation {
public:
    using JogDirection = CAxisWindowModel::JogDirection;

    explicit CAxisManualOperation(AxisWindowState &state) : m_state(state) {}

    void ServoOn();
    void ServoOff();
    void HomeStart();
    void ProgramStart();
    void ProgramPause();
    void ProgramReset();
    void JogPress(JogDirection direction);
    void JogRelease(JogDirection direction);
    void EndJog();
    // Timer 50: JogStart again while the servo is on and a jog button is held.
    void KeepAlive();
    bool JogActive() const;
    // A jog button is held: its keep-alive comes before any polling.
    bool JogHeld() const;
    // How long the last keep-alive exchange took (0 before the first).
    int LastKeepAliveMs() const { return m_lastKeepAliveMs; }
    void Feed(JogDirection direction);
    void SpinJogSpeed(int steps);
    void SpinFeed(int steps);
    void LeaveFeedBox();
    // The boxes from the parameter store ("Value" of "16" and "31").
    void ShowStoredJogSpeed();
    void ShowStoredFeedAmount();

    // Decimals of the feed box: 3 on MDB and MDC, 4 on MDC-X, 1 on the other models.
    static int FeedDecimals(const std::string &model);

private:
    // The servo command, the confirmation wait and the servo state read back.
    void SwitchServo(bool on);
    // The jog-speed box limited to parameter 16's range and, when the parameter list has the
    // parameter, written to the controller when it differs. The limited value.
    int ApplyJogSpeedRule(bool rewriteBox);
    // The parameter list's range of `number`, or 0 .. fallbackMax.
    void Range(int number, double fallbackMax, double &min, double &max) const;
    // Sends parameter `number` as `raw` and keeps `text` as its stored value on success.
    void WriteParameter(int number, int raw, const std::string &text);
    int StoredJogSpeed() const;
    // The signed speed of a jog or feed: the command takes the direction from the sign alone.
    int SignedSpeed(JogDirection direction) const;
    void SendStop();
    std::string FeedText(double value) const;

    AxisWindowState &m_state;
    int m_lastKeepAliveMs = 0;
};

} // namespace kvl::points
