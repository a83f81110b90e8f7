// kvlctl servo, home, start, pause, reset, jog, inch: making the axis move.
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "link/ResultCode.h"
#include "monitor/CMonitorRules.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr int kJogKeepAliveMs = 30;      // JogStart is repeated this often while the jog lasts
constexpr int kDefaultJogMs = 1000;
constexpr uint8_t kHomeReturnMode = 1;
constexpr uint8_t kStatusDone = 1;
constexpr int kFollowPollMs = 50;        // how often a move is looked at until it ends
constexpr int kFollowLimitMs = 60000;    // a move still going after this is stopped
constexpr int kFlagMoving = 0;           // operation flags: the axis is moving
constexpr int kFlagOperating = OperationStatus::kFlagProgramRunning;   // set by any operation

volatile std::sig_atomic_t s_interrupted = 0;

void OnInterrupt(int)
{
    s_interrupted = 1;
}

// Prints the outcome of a command answered by a status byte; `accepted` decides success.
int Report(CCliSession &session, uint8_t axis, const std::string &what, int result, uint8_t status,
           bool accepted)
{
    if (result != kResultOk)
        return session.Fail(axis, what, result, kTimeoutMs);
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"command", what}, {"status", status}, {"accepted", accepted}});
    else
        session.Out() << what << ": " << (accepted ? "done" : "not accepted") << " (status " << int(status)
                      << ")\n";
    return accepted ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

// The alarm the axis stands with after `what`: a failure line with its code and text, or kExitOk.
int ReportAlarm(CCliSession &session, uint8_t axis, const std::string &what)
{
    uint8_t code = 0;
    const int result = session.Commands().ReadAlarmCode(code, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "read alarm code after " + what, result, kTimeoutMs);
    if (!CMonitorRules::IsAlarm(code))
        return CCliSession::kExitOk;
    std::string text;
    DeviceIdentity identity;
    if (session.Identify(axis, identity) == kResultOk)
        text = session.Text(CMonitorRules::AlarmKey(code), CMonitorRules::AlarmSection(identity.model));
    return session.FailAxis(axis, what + ": ended with alarm " + std::to_string(code) +
                                      (text.empty() ? std::string() : " " + text));
}

// Waits until the axis no longer moves or operates. Stops it on Ctrl-C, on a failed read and when
// the move outlasts kFollowLimitMs; kExitOk once it stands.
int FollowMove(CCliSession &session, uint8_t axis, const std::string &what)
{
    CServoCommands &commands = session.Commands();
    s_interrupted = 0;
    auto previousInt = std::signal(SIGINT, OnInterrupt);
    auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    OperationStatus operation;
    int result = kResultOk;
    bool ended = false;
    while (!s_interrupted && next - start < std::chrono::milliseconds(kFollowLimitMs)) {
        result = commands.ReadOperationStatus(operation, axis, kTimeoutMs);
        ended = result == kResultOk && !operation.flags[kFlagMoving] && !operation.flags[kFlagOperating];
        if (ended || result != kResultOk)
            break;
        next += std::chrono::milliseconds(kFollowPollMs);
        std::this_thread::sleep_until(next);
    }
    uint8_t stopStatus = 0;
    const int stopResult = ended ? kResultOk : commands.Stop(stopStatus, axis, kTimeoutMs);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    if (result != kResultOk)
        return session.Fail(axis, "read operation status during " + what, result, kTimeoutMs);
    if (stopResult != kResultOk)
        return session.Fail(axis, "stop after " + what, stopResult, kTimeoutMs);
    if (s_interrupted)
        return session.FailAxis(axis, what + " interrupted; the axis was stopped");
    if (!ended)
        return session.FailAxis(axis, what + " did not end within " + std::to_string(kFollowLimitMs / 1000) +
                                          " s; the axis was stopped");
    return CCliSession::kExitOk;
}

bool Direction(const std::string &word, int &sign)
{
    if (word == "+" || word == "plus") {
        sign = 1;
        return true;
    }
    if (word == "-" || word == "minus") {
        sign = -1;
        return true;
    }
    return false;
}

// Opens the axis, sends one command answered by a status byte and reports it.
int RunStatusCommand(CCliSession &session, size_t axisWord, const std::string &what,
                     const std::function<int(CServoCommands &, uint8_t &, uint8_t)> &send,
                     bool (*accepted)(uint8_t status))
{
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(axisWord, axis, exitCode))
        return exitCode;
    uint8_t status = 0;
    const int result = send(session.Commands(), status, axis);
    return Report(session, axis, what, result, status, accepted(status));
}

bool AnyStatus(uint8_t) { return true; }
bool NonZeroStatus(uint8_t status) { return status != 0; }
bool StatusDone(uint8_t status) { return status == kStatusDone; }

int RunHome(CCliSession &session, const CCliArgs &)
{
    // The controller's byte is not a verdict on homing; the exchange is.
    return RunStatusCommand(session, 1, "home return", [](CServoCommands &c, uint8_t &status, uint8_t axis) {
        return c.HomeReturn(kHomeReturnMode, status, axis, kTimeoutMs);
    }, AnyStatus);
}

int RunStart(CCliSession &session, const CCliArgs &args)
{
    int step = -1;
    if (!ParseInt(args.Word(2), step) || step < 0 || step > 0xFFFE)
        return session.Usage("start AXIS STEP (STEP counts from 0, as the point table numbers steps)");
    // The controller counts steps from 1.
    return RunStatusCommand(session, 1, "start program at step " + std::to_string(step),
                            [step](CServoCommands &c, uint8_t &status, uint8_t axis) {
                                return c.StartProgram(static_cast<uint16_t>(step + 1), status, axis, kTimeoutMs);
                            }, NonZeroStatus);
}

int RunPause(CCliSession &session, const CCliArgs &)
{
    return RunStatusCommand(session, 1, "pause", [](CServoCommands &c, uint8_t &status, uint8_t axis) {
        return c.Stop(status, axis, kTimeoutMs);
    }, NonZeroStatus);
}

int RunReset(CCliSession &session, const CCliArgs &)
{
    return RunStatusCommand(session, 1, "alarm reset", [](CServoCommands &c, uint8_t &status, uint8_t axis) {
        return c.AlarmReset(status, axis, kTimeoutMs);
    }, StatusDone);
}

int RunServo(CCliSession &session, const CCliArgs &args)
{
    bool on = false;
    if (!ParseOnOff(args.Word(2), on))
        return session.Usage("servo AXIS on|off");
    return RunStatusCommand(session, 1, on ? "servo on" : "servo off",
                            [on](CServoCommands &c, uint8_t &status, uint8_t axis) {
                                return on ? c.ServoOn(status, axis, kTimeoutMs) : c.ServoOff(status, axis, kTimeoutMs);
                            }, StatusDone);
}

int RunJog(CCliSession &session, const CCliArgs &args)
{
    int sign = 0;
    if (!Direction(args.Word(2), sign))
        return session.Usage("jog AXIS +|- [--ms T]");
    int durationMs = kDefaultJogMs;
    if (auto text = args.Option("ms"); text && (!ParseInt(*text, durationMs) || durationMs < 0))
        return session.Usage("--ms needs the jog time in milliseconds");
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(1, axis, exitCode))
        return exitCode;
    CServoCommands &commands = session.Commands();
    s_interrupted = 0;
    auto previousInt = std::signal(SIGINT, OnInterrupt);
    auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    uint8_t status = 0;
    int result = kResultOk;
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    while (!s_interrupted) {
        result = commands.JogStart(sign, status, axis, kTimeoutMs);
        if (result != kResultOk)
            break;
        next += std::chrono::milliseconds(kJogKeepAliveMs);
        if (next - start >= std::chrono::milliseconds(durationMs))
            break;
        std::this_thread::sleep_until(next);
    }
    if (durationMs > 0 && result == kResultOk && !s_interrupted)
        std::this_thread::sleep_until(start + std::chrono::milliseconds(durationMs));
    // The axis must stop on every way out of the jog.
    uint8_t stopStatus = 0;
    const int stopResult = commands.Stop(stopStatus, axis, kTimeoutMs);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    if (result != kResultOk)
        return session.Fail(axis, "jog", result, kTimeoutMs);
    if (stopResult != kResultOk)
        return session.Fail(axis, "stop after jog", stopResult, kTimeoutMs);
    const std::string what = std::string("jog ") + (sign > 0 ? "+" : "-");
    if (s_interrupted)
        return session.FailAxis(axis, "jog interrupted; the axis was stopped");
    if (int code = ReportAlarm(session, axis, what))
        return code;
    return Report(session, axis, what, stopResult, stopStatus, true);
}

int RunInch(CCliSession &session, const CCliArgs &args)
{
    int sign = 0;
    if (!Direction(args.Word(2), sign))
        return session.Usage("inch AXIS +|-");
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(1, axis, exitCode))
        return exitCode;
    const std::string what = std::string("inch ") + (sign > 0 ? "+" : "-");
    uint8_t status = 0;
    const int result = session.Commands().InchingMove(sign, status, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, what, result, kTimeoutMs);
    // The move is followed to its end, so that an alarm it ran into is told.
    if (int code = FollowMove(session, axis, what))
        return code;
    if (int code = ReportAlarm(session, axis, what))
        return code;
    return Report(session, axis, what, result, status, true);
}

} // namespace

std::vector<CliCommand> MotionCommands()
{
    return {
        {"servo", "servo AXIS on|off", "switch the servo on or off", "example: kvlctl servo 0 on", RunServo},
        {"home", "home AXIS", "run the home return", "example: kvlctl home 0", RunHome},
        {"start", "start AXIS STEP", "run the point-table program from STEP (counted from 0)",
         "The controller receives STEP + 1, as it counts steps from 1.\n\nexample: kvlctl start 0 0", RunStart},
        {"pause", "pause AXIS", "pause the running program (sends Stop)", "example: kvlctl pause 0", RunPause},
        {"reset", "reset AXIS", "reset the current alarm", "example: kvlctl reset 0", RunReset},
        {"jog", "jog AXIS +|- [--ms T]", "jog for T ms (default 1000), then stop",
         "JogStart is repeated every 30 ms while the jog lasts, then Stop is sent. Stop is also sent\n"
         "when the jog fails or is interrupted with Ctrl-C. A jog that ends with an alarm prints its\n"
         "code and text and exits with 1.\n\nexample: kvlctl jog 0 + --ms 500",
         RunJog},
        {"inch", "inch AXIS +|-", "move by the inching distance (parameter 31) at the jog speed",
         "Waits until the move has ended (Ctrl-C stops the axis). A jog or inch that ends with an\n"
         "alarm prints its code and text and exits with 1.\n\nexample: kvlctl inch 0 -", RunInch},
    };
}

} // namespace kvl::cli
