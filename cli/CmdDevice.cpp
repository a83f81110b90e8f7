// kvlctl scan, info, status, raw: finding and identifying devices, their state, raw frames.
#include <iomanip>
#include <vector>

#include "base/CModelTraits.h"
#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "link/CComm.h"
#include "link/ResultCode.h"
#include "monitor/CMonitorRules.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl::cli {
namespace {

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr int kRawSettleMs = 20;

nlohmann::json IdentityJson(int address, const DeviceIdentity &identity)
{
    return {{"address", address}, {"model", identity.model}, {"version", identity.version},
            {"name", identity.name}};
}

int RunScan(CCliSession &session, const CCliArgs &)
{
    // A port that cannot be opened is said as such, not as a bus on which nobody answers.
    if (!session.OpenBus())
        return CCliSession::kExitFailure;
    const int port = session.PortNumber();
    const int storedSpeed = session.Args().speed > 0 ? session.Args().speed
                            : session.SettingsLoaded() ? session.Settings().Speed() : 0;
    // A silent address is simply absent: only spoiled replies are asked again while scanning.
    session.SetRetryOnSilence(false);
    CBusScanner scanner(session.Commands());
    const LinkResult result = scanner.Link(port, storedSpeed);
    if (!result.found)
        return session.FailText("no device answers on the bus (tried 115200, 57600 and 38400 bit/s)");
    if (session.SettingsLoaded()) {
        // The speed found is kept for the next run, as the axis link does.
        session.Settings().SetSpeed(result.speed);
    }
    if (session.Json()) {
        nlohmann::json devices = nlohmann::json::array();
        if (result.gatewayPresent)
            devices.push_back(IdentityJson(frame::kGatewayAddress, result.gateway));
        for (int a = 0; a < CBusScanner::kAxisCount; ++a) {
            if (result.axes[static_cast<size_t>(a)].answered)
                devices.push_back(IdentityJson(a, result.axes[static_cast<size_t>(a)]));
        }
        session.PrintJson({{"speed", result.speed}, {"devices", devices}});
        return CCliSession::kExitOk;
    }
    auto &out = session.Out();
    out << "speed " << result.speed << '\n';
    auto line = [&out](const std::string &address, const DeviceIdentity &identity) {
        out << std::left << std::setw(4) << address << std::setw(7) << identity.model << std::setw(6)
            << identity.version << identity.name << '\n';
    };
    if (result.gatewayPresent)
        line("gw", result.gateway);
    for (int a = 0; a < CBusScanner::kAxisCount; ++a) {
        if (result.axes[static_cast<size_t>(a)].answered)
            line(std::to_string(a), result.axes[static_cast<size_t>(a)]);
    }
    return CCliSession::kExitOk;
}

int RunInfo(CCliSession &session, const CCliArgs &)
{
    uint8_t axis = 0;
    int exitCode = 0;
    DeviceIdentity identity;
    if (!session.OpenAndIdentify(1, axis, identity, exitCode))
        return exitCode;
    if (session.Json())
        session.PrintJson(IdentityJson(axis, identity));
    else
        session.Out() << "model " << identity.model << "\nversion " << identity.version << "\nname "
                      << identity.name << '\n';
    return CCliSession::kExitOk;
}

int RunStatus(CCliSession &session, const CCliArgs &)
{
    uint8_t axis = 0;
    int exitCode = 0;
    DeviceIdentity identity;
    if (!session.OpenAndIdentify(1, axis, identity, exitCode))
        return exitCode;
    int result = kResultOk;
    CServoCommands &commands = session.Commands();
    uint8_t servo = 0, home = 0, manual = 0, alarm = 0;
    Positions positions;
    OperationStatus operation;
    int step = 0;
    struct Read {
        const char *what;
        std::function<int()> run;
    };
    const std::vector<Read> reads{
        {"read servo state", [&] { return commands.ReadServoState(servo, axis, kTimeoutMs); }},
        {"read home state", [&] { return commands.ReadHomeDone(home, axis, kTimeoutMs); }},
        {"read run mode", [&] { return commands.ReadRunMode(manual, axis, kTimeoutMs); }},
        {"read positions", [&] { return commands.ReadPositions(positions, axis, kTimeoutMs); }},
        {"read alarm code", [&] { return commands.ReadAlarmCode(alarm, axis, kTimeoutMs); }},
        {"read operation status", [&] { return commands.ReadOperationStatus(operation, axis, kTimeoutMs); }},
        {"read current step", [&] { return commands.ReadCurrentStep(step, axis, kTimeoutMs); }},
    };
    for (const auto &read : reads) {
        result = read.run();
        if (result != kResultOk)
            return session.Fail(axis, read.what, result, kTimeoutMs);
    }
    const int decimals = CMonitorRules::PositionDecimals(identity.model, 2);
    const std::string unit = CModelTraits::Of(identity.model).IsRotary() ? "deg" : "mm";
    const std::string alarmText =
        CMonitorRules::IsAlarm(alarm)
            ? session.Text(CMonitorRules::AlarmKey(alarm), CMonitorRules::AlarmSection(identity.model))
            : std::string();
    // The grid numbers steps from 0; the controller counts from 1.
    const int gridStep = step - 1;
    nlohmann::json flagStates;
    for (size_t bit = 0; bit < operation.flags.size(); ++bit)
        flagStates[OperationFlagName(bit, true)] = operation.flags[bit] != 0;
    if (session.Json()) {
        session.PrintJson({{"axis", axis}, {"model", identity.model}, {"servo", servo != 0},
                           {"home", home != 0}, {"mode", manual ? "manual" : "automatic"},
                           {"unit", unit}, {"currentPosition", positions.current / 10000.0},
                           {"commandPosition", positions.command / 10000.0},
                           {"alarm", CMonitorRules::IsAlarm(alarm) ? nlohmann::json(alarm) : nlohmann::json()},
                           {"alarmText", alarmText}, {"flags", operation.flags},
                           {"flagStates", flagStates}, {"running", ProgramRunning(operation, manual != 0)},
                           {"paused", operation.Paused()},
                           {"currentStep", gridStep}});
        return CCliSession::kExitOk;
    }
    auto &out = session.Out();
    out << "model    " << identity.model << '\n'
        << "servo    " << (servo ? "on" : "off") << '\n'
        << "home     " << (home ? "done" : "not done") << '\n'
        << "mode     " << (manual ? "manual" : "automatic") << '\n'
        << "position " << CMonitorRules::FormatPosition(positions.current, decimals) << ' ' << unit
        << " (command " << CMonitorRules::FormatPosition(positions.command, decimals) << ' ' << unit << ")\n"
        << "alarm    ";
    if (CMonitorRules::IsAlarm(alarm))
        out << static_cast<int>(alarm) << (alarmText.empty() ? "" : " " + alarmText) << '\n';
    else
        out << "none\n";
    out << "flags    " << OperationFlagsText(operation) << '\n'
        << "program  " << ProgramStateText(operation, manual != 0) << '\n'
        << "step     " << gridStep << '\n';
    return CCliSession::kExitOk;
}

int RunRaw(CCliSession &session, const CCliArgs &args)
{
    uint8_t axis = 0;
    int command = 0;
    if (!ParseAxis(args.Word(1), axis))
        return session.Usage("AXIS must be 0 to 15, 0x0 to 0xF, or gw");
    if (!ParseInt(args.Word(2), command) || command < 0 || command > 0xFF)
        return session.Usage("CMD must be a command byte, for example 0x01");
    std::vector<uint8_t> payload;
    if (!ParseHexBytes({args.words.begin() + std::min<size_t>(3, args.words.size()), args.words.end()}, payload))
        return session.Usage("payload bytes must be hexadecimal, for example 23 00");
    int expected = -1;
    if (auto text = args.Option("expect"); text && (!ParseInt(*text, expected) || expected <= 0))
        return session.Usage("--expect needs the reply length in bytes");
    int timeout = kTimeoutMs;
    if (auto text = args.Option("timeout"); text && (!ParseInt(*text, timeout) || timeout <= 0))
        return session.Usage("--timeout needs milliseconds");
    if (!session.OpenBus())
        return CCliSession::kExitFailure;
    const auto request = frame::Build(axis, static_cast<uint8_t>(command), payload);
    std::vector<uint8_t> reply(frame::kReceiveLimit);
    int received = 0;
    const int result = session.Comm().Exchange(request.data(), static_cast<int>(request.size()), reply.data(),
                                               &received, expected, timeout, kRawSettleMs);
    const std::string hex = HexBytes(reply.data(), static_cast<size_t>(std::max(received, 0)));
    if (session.Json())
        session.PrintJson({{"request", HexBytes(request.data(), request.size())}, {"reply", hex},
                           {"result", result}, {"meaning", ResultText(result)}});
    else
        session.Out() << "reply  " << hex << "\nresult " << DescribeResult(result, timeout) << '\n';
    return result == kResultOk ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

} // namespace

std::vector<CliCommand> DeviceCommands()
{
    return {
        {"scan", "scan", "find the bus speed, the gateway unit and every axis that answers",
         "Searches the bus at up to three speeds (the stored one first, then 115200, 57600, 38400),\n"
         "probes the gateway unit and the axis addresses 0 to 15, keeps the speed found in the\n"
         "settings file and prints one line per device: address, model, version, name.\n"
         "Exit status 1 when nothing answers.\n\n"
         "example: kvlctl --port /dev/ttyUSB0 scan",
         RunScan},
        {"info", "info AXIS", "model, version and name of one device",
         "example: kvlctl info 3", RunInfo},
        {"status", "status AXIS", "servo, home, run mode, positions, alarm, operation flags, current step",
         "Positions are in the axis' unit (mm, or deg on the rotary model); the step counts from 0\n"
         "as the point table numbers them.\n\n"
         "example: kvlctl --json status 0",
         RunStatus},
        {"raw", "raw AXIS CMD [HEX...] [--expect N] [--timeout MS]", "send one frame, print the reply bytes",
         "Builds the frame (start byte, axis, command, payload, CRC, CR LF), sends it and prints the\n"
         "reply bytes and the result code. Without --expect the reply ends when the line goes quiet.\n\n"
         "example: kvlctl raw 2 0x24 23 00 --expect 13     (read parameter 35 of axis 2)",
         RunRaw},
    };
}

} // namespace kvl::cli
