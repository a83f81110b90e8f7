// kvlsim: the device simulator behind a pseudo-terminal. Prints the device path as its first line,
// answers until SIGINT or SIGTERM, then saves --state and removes --link.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/Version.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"
#include "sim/StateFile.h"

namespace {

std::atomic<bool> s_stop{false};

void OnSignal(int)
{
    s_stop = true;
}

// Makes `link` point to `target`. An old symbolic link is replaced; anything else at that path
// (a file the user meant to keep) is refused.
bool MakeLink(const std::string &link, const std::string &target, std::string *error)
{
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            *error = link + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        *error = "cannot make the link " + link + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Removes `link` if it still points to `target` (another simulator may have taken it over).
void RemoveLink(const std::string &link, const std::string &target)
{
    char buffer[4096];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n > 0 && std::string(buffer, static_cast<size_t>(n)) == target)
        ::unlink(link.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    using namespace kvl::sim;
    SimOptions options;
    std::string error;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), &error)) {
        std::cerr << "kvlsim: " << error << '\n';
        return 2;
    }
    if (options.help) {
        std::cout << SimOptions::HelpText();
        return 0;
    }
    if (options.version) {
        std::cout << "kvlsim " << kvl::kVersion << '\n';
        return 0;
    }
    auto bus = options.BuildBus();
    if (!options.statePath.empty() && !StateFile::Load(options.statePath, *bus, &error)) {
        std::cerr << "kvlsim: " << error << '\n';
        return 1;
    }
    BusRunner runner(std::move(bus), options.runner);
    if (!runner.Open(&error)) {
        std::cerr << "kvlsim: " << error << '\n';
        return 1;
    }
    if (!options.linkPath.empty() && !MakeLink(options.linkPath, runner.SlavePath(), &error)) {
        std::cerr << "kvlsim: " << error << '\n';
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    // The readiness line: callers wait for it before they open the port.
    std::cout << runner.SlavePath() << std::endl;
    std::cerr << "kvlsim: " << (options.axes.empty() ? "demo bus" : "bus") << " with "
              << runner.WithBus([](SimBus &b) { return b.Addresses().size(); }) << " devices at "
              << runner.BusSpeed() << " bit/s" << (options.runner.pace ? ", paced" : "")
              << (options.runner.faults.Any() ? ", faults on" : "") << '\n';
    runner.Run(s_stop);

    int status = 0;
    if (!options.statePath.empty()) {
        const bool saved = runner.WithBus([&](SimBus &b) { return StateFile::Save(options.statePath, b, &error); });
        if (!saved) {
            std::cerr << "kvlsim: " << error << '\n';
            status = 1;
        }
    }
    if (!options.linkPath.empty())
        RemoveLink(options.linkPath, runner.SlavePath());
    return status;
}
