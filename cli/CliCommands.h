#pragma once
// The commands of kvlctl: name, usage line, help text with an example, and the function that
// runs it. Each family of commands lives in its own Cmd*.cpp and adds itself to the table.
#include <string>
#include <vector>

namespace kvl::cli {

class CCliArgs;
class CCliSession;

struct CliCommand {
    const char *name;
    const char *usage;     // "status AXIS"
    const char *summary;   // one line for the general help
    const char *help;      // details and an example, for "kvlctl COMMAND --help"
    int (*run)(CCliSession &session, const CCliArgs &args);
};

std::vector<CliCommand> DeviceCommands();    // scan, info, status, raw
std::vector<CliCommand> MotionCommands();    // servo, home, start, pause, reset, jog, inch
std::vector<CliCommand> MonitorCommands();   // io, alarms
std::vector<CliCommand> PointCommands();     // points
std::vector<CliCommand> ParamCommands();     // param
std::vector<CliCommand> WaveCommands();      // wave
std::vector<CliCommand> GatewayCommands();   // gw
std::vector<CliCommand> BackupCommands();    // backup, diff, restore

const std::vector<CliCommand> &AllCommands();
const CliCommand *FindCommand(const std::string &name);
// The usage of kvlctl. `systemFolder` is the folder this program opens without --system (the
// user's own copy when installed, system/ beside the program in a build tree); empty: not said.
std::string GeneralHelp(const std::string &systemFolder = std::string());
std::string CommandHelp(const CliCommand &command);

} // namespace kvl::cli
