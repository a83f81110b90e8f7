#include "cli/CliCommands.h"

#include <sstream>

namespace kvl::cli {

const std::vector<CliCommand> &AllCommands()
{
    static const std::vector<CliCommand> commands = [] {
        std::vector<CliCommand> all;
        for (auto family : {DeviceCommands, MotionCommands, MonitorCommands, PointCommands, ParamCommands,
                            WaveCommands, GatewayCommands, BackupCommands}) {
            auto part = family();
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }();
    return commands;
}

const CliCommand *FindCommand(const std::string &name)
{
    for (const auto &command : AllCommands()) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

std::string GeneralHelp(const std::string &systemFolder)
{
    std::ostringstream text;
    text << "kvlctl: every bus operation of the actuator controllers and the gateway unit.\n\n"
            "usage: kvlctl [--port DEVICE] [--speed BAUD] [--system DIR] [--lang 1|2|3] [--retries N]\n"
            "              [--trace] [--json] [--yes] COMMAND ...\n"
            "       kvlctl --version\n\n"
            "  --port DEVICE   serial device, e.g. /dev/ttyUSB0 (default: Port of the settings file)\n"
            "  --speed BAUD    bus speed in bit/s (default: Speed of the settings file, else 38400)\n"
            "  --system DIR    system folder with kvl_motor.ini; by default the user's own copy\n"
            "                  ~/.local/share/kvl_motor/system when installed, system/ beside the\n"
            "                  program in a build tree"
         << (systemFolder.empty() ? std::string() : "; here: " + systemFolder)
         << "\n"
            "  --lang N        texts in 1 Japanese, 2 English, 3 Chinese\n"
            "  --retries N     send a read up to N times when its reply is lost or spoiled (default 3;\n"
            "                  1: once); writes and motion commands are always sent once\n"
            "  --trace         print every request and reply in hex on stderr\n"
            "  --json          print the result as one JSON document\n"
            "  --yes           answer yes to every question (needed when stdin is not a terminal)\n"
            "  --version       print the version and exit\n\n"
            "AXIS is 0 to 15 (decimal or 0x0 to 0xF), or gw for the gateway unit (0xF1).\n\n"
            "commands:\n";
    for (const auto &command : AllCommands())
        text << "  " << command.usage << "\n      " << command.summary << '\n';
    text << "\nexit status: 0 success, 1 device or file failure or a question answered no, 2 usage error,\n"
            "3 a capture that lost samples (what arrived is saved), a diff that found differences, or\n"
            "an incomplete backup (a device missing; the folder holds the others).\n"
            "kvlctl COMMAND --help tells more about one command.\n";
    return text.str();
}

std::string CommandHelp(const CliCommand &command)
{
    return std::string("usage: kvlctl [global options] ") + command.usage + "\n\n" + command.summary +
           "\n\n" + command.help + "\n";
}

} // namespace kvl::cli
