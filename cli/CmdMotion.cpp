// kvlctl servo, home, start, pause, reset, jog, inch: making the axis move.
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr int kJogKeepAliveMs = 30;      // JogStart is repeated this often while the jog lasts
constexpr int kDefaultJogMs = 1000;
constexpr uint8_t kHomeReturnMode = 1;
constexpr uint8_t kStatusDone = 1;

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int)
{
    g_interrupted = 1;
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
    g_interrupted = 0;
    auto previousInt = std::signal(SIGINT, OnInterrupt);
    auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    uint8_t status = 0;
    int result = kResultOk;
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    while (!g_interrupted) {
        result = commands.JogStart(sign, status, axis, kTimeoutMs);
        if (result != kResultOk)
            break;
        next += std::chrono::milliseconds(kJogKeepAliveMs);
        if (next - start >= std::chrono::milliseconds(durationMs))
            break;
        std::this_thread::sleep_until(next);
    }
    if (durationMs > 0 && result == kResultOk && !g_interrupted)
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
    if (g_interrupted)
        return session.FailText(AxisLabel(axis) + ": jog interrupted; the axis was stopped");
    return Report(session, axis, std::string("jog ") + (sign > 0 ? "+" : "-"), stopResult, stopStatus, true);
}

int RunInch(CCliSession &session, const CCliArgs &args)
{
    int sign = 0;
    if (!Direction(args.Word(2), sign))
        return session.Usage("inch AXIS +|-");
    return RunStatusCommand(session, 1, std::string("inch ") + (sign > 0 ? "+" : "-"),
                            [sign](CServoCommands &c, uint8_t &status, uint8_t axis) {
                                return c.InchingMove(sign, status, axis, kTimeoutMs);
                            }, AnyStatus);
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
         "when the jog fails or is interrupted with Ctrl-C.\n\nexample: kvlctl jog 0 + --ms 500",
         RunJog},
        {"inch", "inch AXIS +|-", "move by the inching distance (parameter 31) at the jog speed",
         "example: kvlctl inch 0 -", RunInch},
    };
}

} // namespace kvl::cli
