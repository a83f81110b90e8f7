// kvlsim: the device simulator behind a pseudo-terminal. Prints the device path as its first line,
// answers until SIGINT or SIGTERM, then saves --state and removes --link.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "sim/BusRunner.h"
#include "sim/SimOptions.h"
#include "sim/StateFile.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int)
{
    g_stop = true;
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
    if (!options.linkPath.empty()) {
        ::unlink(options.linkPath.c_str());
        if (::symlink(runner.SlavePath().c_str(), options.linkPath.c_str()) != 0) {
            std::cerr << "kvlsim: cannot make the link " << options.linkPath << '\n';
            return 1;
        }
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
    runner.Run(g_stop);

    int status = 0;
    if (!options.statePath.empty()) {
        const bool saved = runner.WithBus([&](SimBus &b) { return StateFile::Save(options.statePath, b, &error); });
        if (!saved) {
            std::cerr << "kvlsim: " << error << '\n';
            status = 1;
        }
    }
    if (!options.linkPath.empty())
        ::unlink(options.linkPath.c_str());
    return status;
}
