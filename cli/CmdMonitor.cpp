// kvlctl io, alarms: the I/O signals and the alarm history of an axis.
#include <iomanip>

#include "base/CModelTraits.h"
#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "link/ResultCode.h"
#include "monitor/CMonitorRules.h"
#include "params/ParamNumbers.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr uint8_t kStatusDone = 1;

// The I/O mode of the axis from parameter 36; mode 0 when the controller does not tell.
int ReadIoMode(CCliSession &session, uint8_t axis, const std::string &model)
{
    int32_t raw = 0;
    if (session.Commands().ReadParameter(kParamOperationType, raw, axis, kTimeoutMs) != kResultOk)
        return 0;
    return CModelTraits::Of(model).OperationTypeOfRaw(raw);
}

int SetInput(CCliSession &session, const CCliArgs &args, uint8_t axis, int mode, const std::string &inputText)
{
    int input = 0;
    bool on = false;
    if (!ParseInt(inputText, input) || input < 1 || input > CMonitorRules::kSignalCount ||
        !ParseOnOff(args.Word(2), on))
        return session.Usage("io AXIS --set IN on|off (IN 1 to 16)");
    if (!CMonitorRules::InputSwitchAllowed(mode, input))
        return session.FailAxis(axis, "input " + std::to_string(input) +
                                " cannot be switched from the PC in I/O mode " + std::to_string(mode));
    uint8_t status = 0;
    const int result = session.Commands().SetInputSignal(input - 1, on, status, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "switch input " + std::to_string(input), result, kTimeoutMs);
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"input", input}, {"on", on}, {"applied", status != 0}});
    else
        session.Out() << "input " << input << ' ' << (on ? "on" : "off") << ": "
                      << (status ? "applied" : "not applied") << '\n';
    return status ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

int RunIo(CCliSession &session, const CCliArgs &args)
{
    uint8_t axis = 0;
    int exitCode = 0;
    DeviceIdentity identity;
    if (!session.OpenAndIdentify(1, axis, identity, exitCode))
        return exitCode;
    int result = kResultOk;
    const int mode = ReadIoMode(session, axis, identity.model);
    if (auto input = args.Option("set"))
        return SetInput(session, args, axis, mode, *input);
    uint32_t word = 0;
    result = session.Commands().ReadIOSignals(word, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "read I/O signals", result, kTimeoutMs);
    const std::string section = CMonitorRules::WindowSection(identity.model);
    nlohmann::json signals = nlohmann::json::array();
    for (bool input : {true, false}) {
        for (int n = 1; n <= CMonitorRules::kSignalCount; ++n) {
            const bool on = CMonitorRules::SignalOn(word, input, n);
            const std::string name = session.Text(CMonitorRules::SignalKey(mode, input, n), section);
            const std::string label = (input ? "IN" : "OUT") + std::to_string(n);
            if (session.Json()) {
                signals.push_back({{"signal", label}, {"on", on}, {"name", name}});
                continue;
            }
            session.Out() << std::left << std::setw(6) << label << std::setw(4) << (on ? "on" : "off") << name
                          << '\n';
        }
    }
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"mode", mode}, {"word", word}, {"signals", signals}});
    return CCliSession::kExitOk;
}

int RunAlarms(CCliSession &session, const CCliArgs &args)
{
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(1, axis, exitCode))
        return exitCode;
    CServoCommands &commands = session.Commands();
    if (args.Flag("clear")) {
        uint8_t status = 0;
        const int result = commands.ClearAlarmHistory(status, axis, kTimeoutMs);
        if (result != kResultOk)
            return session.Fail(axis, "clear alarm history", result, kTimeoutMs);
        if (session.Json())
            session.PrintJson({{"axis", axis}, {"cleared", status == kStatusDone}});
        else
            session.Out() << "alarm history " << (status == kStatusDone ? "cleared" : "not cleared") << '\n';
        return status == kStatusDone ? CCliSession::kExitOk : CCliSession::kExitFailure;
    }
    std::string model = "GWX";
    if (axis != 0xF1) {
        DeviceIdentity identity;
        const int result = session.Identify(axis, identity);
        if (result != kResultOk)
            return session.FailIdentify(axis, result);
        model = identity.model;
    }
    const std::string section = CMonitorRules::AlarmSection(model);
    uint8_t current = 0;
    int result = commands.ReadAlarmCode(current, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "read alarm code", result, kTimeoutMs);
    std::vector<uint8_t> history;
    result = commands.ReadAlarmHistory(history, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "read alarm history", result, kTimeoutMs);
    auto text = [&](int code) { return session.Text(CMonitorRules::AlarmKey(code), section); };
    if (session.Json()) {
        nlohmann::json list = nlohmann::json::array();
        for (uint8_t code : history) {
            if (code != CMonitorRules::kEmptyHistorySlot)
                list.push_back({{"code", code}, {"text", text(code)}});
        }
        session.PrintJson({{"axis", axis},
                           {"current", CMonitorRules::IsAlarm(current) ? nlohmann::json(current) : nlohmann::json()},
                           {"currentText", CMonitorRules::IsAlarm(current) ? text(current) : ""},
                           {"history", list}});
        return CCliSession::kExitOk;
    }
    auto &out = session.Out();
    out << "current  ";
    if (CMonitorRules::IsAlarm(current))
        out << int(current) << ' ' << text(current) << '\n';
    else
        out << "none\n";
    out << "history\n";
    for (uint8_t code : history) {
        if (code != CMonitorRules::kEmptyHistorySlot)
            out << "  " << std::left << std::setw(5) << int(code) << text(code) << '\n';
    }
    return CCliSession::kExitOk;
}

} // namespace

std::vector<CliCommand> MonitorCommands()
{
    return {
        {"io", "io AXIS [--set IN on|off]", "the 32 I/O signals, or switch input IN (1 to 16)",
         "Inputs are IN1 to IN16, outputs OUT1 to OUT16, named by the axis' I/O mode. Inputs that\n"
         "the I/O mode reserves cannot be switched from the PC.\n\n"
         "examples: kvlctl io 0\n          kvlctl io 0 --set 5 on",
         RunIo},
        {"alarms", "alarms AXIS [--clear]", "current alarm and alarm history, or clear the history",
         "example: kvlctl alarms 1\n         kvlctl alarms 1 --clear", RunAlarms},
    };
}

} // namespace kvl::cli
