#include "config/CSystemFolderChoice.h"

#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "config/CSystemFolderUpgrade.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace kvl {

namespace {

namespace fs = std::filesystem;

constexpr char kSystemFolderName[] = "system";
constexpr char kLogFolderName[] = "log";

bool ProcessMayWrite(const std::string &folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

std::string EnvironmentValue(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::string CSystemFolderChoice::ShippedDataFolder(const std::string &programFolder)
{
    const fs::path program(programFolder);
    std::error_code ec;
    if (fs::is_directory(program / kSystemFolderName, ec))
        return program.string();
    return (program.parent_path() / "share" / kDataFolderName).lexically_normal().string();
}

std::string CSystemFolderChoice::UserDataHome()
{
    const std::string xdg = EnvironmentValue("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return xdg;
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) {
        if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
            home = entry->pw_dir;
    }
    if (home.empty())
        return std::string();
    return (fs::path(home) / ".local" / "share").string();
}

CSystemFolderChoice::Inputs CSystemFolderChoice::ProcessInputs(const std::string &given)
{
    Inputs inputs;
    inputs.given = given;
    inputs.programFolder = CIniEx::ProgramFolder();
    inputs.dataHome = UserDataHome();
    return inputs;
}

CSystemFolderChoice::Choice CSystemFolderChoice::Choose(const Inputs &inputs)
{
    Choice choice = ChooseFolders(inputs);
    const auto &writable = inputs.writable ? inputs.writable : ProcessMayWrite;
    // An installed program folder (/usr/bin) is never written, whoever may.
    const bool installed = fs::path(ShippedDataFolder(inputs.programFolder)) != fs::path(inputs.programFolder);
    if (choice.perUser)
        choice.dailyLogFolder = choice.logFolder;
    else if (!installed && writable(inputs.programFolder))
        choice.dailyLogFolder = inputs.programFolder;
    else if (!inputs.dataHome.empty())
        choice.dailyLogFolder = (fs::path(inputs.dataHome) / kDataFolderName).string();
    return choice;
}

CSystemFolderChoice::Choice CSystemFolderChoice::ChooseFolders(const Inputs &inputs)
{
    Choice choice;
    const std::string dataFolder = ShippedDataFolder(inputs.programFolder);
    choice.shippedFolder = (fs::path(dataFolder) / kSystemFolderName).string();
    if (!inputs.given.empty()) {
        choice.systemFolder = inputs.given;
        return choice;
    }
    choice.systemFolder = choice.shippedFolder;
    // An installed folder is the package manager's, whoever may write it.
    const bool installed = fs::path(dataFolder) != fs::path(inputs.programFolder);
    const auto &writable = inputs.writable ? inputs.writable : ProcessMayWrite;
    if ((!installed && writable(choice.shippedFolder)) || inputs.dataHome.empty())
        return choice;
    const fs::path own = fs::path(inputs.dataHome) / kDataFolderName;
    choice.systemFolder = (own / kSystemFolderName).string();
    choice.logFolder = own.string();
    choice.perUser = true;
    return choice;
}

CSystemFolderChoice::Choice CSystemFolderChoice::Prepare(const Inputs &inputs, std::string &error)
{
    Choice choice = Choose(inputs);
    if (!choice.perUser)
        return choice;
    CSystemFolderUpgrade::Report report;
    if (!CSystemFolderUpgrade::Run(choice.shippedFolder, choice.systemFolder, report)) {
        error = report.error;
        std::error_code ec;
        // A copy that could not even be begun is no use; a partly upgraded one still is.
        if (!fs::is_regular_file(fs::path(choice.systemFolder) / CAppSettings::kSettingsFile, ec)) {
            choice.systemFolder = choice.shippedFolder;
            choice.logFolder.clear();
            choice.perUser = false;
            return choice;
        }
    }
    std::error_code ec;
    fs::create_directories(fs::path(choice.logFolder) / kLogFolderName, ec);
    return choice;
}

} // namespace kvl
