// kvlctl: the command line face of the tool.
#include <QCoreApplication>

#include <clocale>

#include <unistd.h>

#include <iostream>

#include "base/CEventLog.h"
#include "base/Version.h"
#include "cli/CCliArgs.h"
#include "cli/CCliSession.h"
#include "cli/CProgressLine.h"
#include "cli/CliCommands.h"
#include "config/CSystemFolderChoice.h"

int main(int argc, char **argv)
{
    using namespace kvl::cli;
    CCliArgs args;
    std::string error;
    if (!args.Parse(argc, argv, error)) {
        std::cerr << "kvlctl: " << error << "\n(see kvlctl --help)\n";
        return CCliSession::kExitUsage;
    }
    if (args.version) {
        std::cout << "kvlctl " << kvl::kVersion << '\n';
        return CCliSession::kExitOk;
    }
    if (args.words.empty()) {
        // The folder a run would open: the help names it as it is on this computer.
        const std::string folder =
            kvl::CSystemFolderChoice::Choose(kvl::CSystemFolderChoice::ProcessInputs(args.systemDir)).systemFolder;
        (args.help ? std::cout : std::cerr) << GeneralHelp(folder);
        return args.help ? CCliSession::kExitOk : CCliSession::kExitUsage;
    }
    const CliCommand *command = FindCommand(args.words[0]);
    if (!command) {
        std::cerr << "kvlctl: unknown command \"" << args.words[0] << "\"\n(see kvlctl --help)\n";
        return CCliSession::kExitUsage;
    }
    if (args.help) {
        std::cout << CommandHelp(*command);
        return CCliSession::kExitOk;
    }
    // The serial port object wants an application object in the process.
    QCoreApplication app(argc, argv);
    // Numbers in files and on the bus are written with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    // Without --system: the folder beside the program in a build tree, else the user's own copy.
    std::string folderProblem;
    const kvl::CSystemFolderChoice::Choice folders =
        kvl::CSystemFolderChoice::Prepare(kvl::CSystemFolderChoice::ProcessInputs(args.systemDir), folderProblem);
    if (!folderProblem.empty())
        std::cerr << "kvlctl: " << folderProblem << '\n';
    if (folders.perUser)
        args.systemDir = folders.systemFolder;
    // The daily log: the command, what went wrong (every error line), the result.
    kvl::CEventLog::Open(folders.dailyLogFolder, "kvlctl");
    std::string commandLine = "kvlctl";
    for (int i = 1; i < argc; ++i)
        commandLine += std::string(" ") + argv[i];
    kvl::CEventLog::Write("start", commandLine);
    CCliSession session(args, std::cout, std::cerr, std::cin, CCliPrompt::StandardInputIsTerminal());
    session.SetLogFolder(folders.logFolder);
    session.SetErrIsTerminal(CProgressLine::IsTerminal(STDERR_FILENO));
    if (!session.LoadSettings())
        return CCliSession::kExitFailure;
    const int exitCode = command->run(session, args);
    // A value the gate kept from the wire is a failure of the run, whatever the command made of it.
    const int status =
        exitCode == CCliSession::kExitOk && session.Refusals() > 0 ? CCliSession::kExitFailure : exitCode;
    kvl::CEventLog::Write("end", "exit status " + std::to_string(status));
    return status;
}
