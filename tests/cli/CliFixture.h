#pragma once
// Runs kvlctl commands in-process against the simulator on a pseudo-terminal, with a private
// copy of the shipped system folder so that nothing the commands store touches the build.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sim/BusRunner.h"
#include "support/ScratchSystemFolder.h"

namespace kvl::cli {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulator with kvlsim's options ("--axis", "2:MDB", "--baud", "57600" ...);
    // no options: the demo bus.
    void StartSim(const std::vector<std::string> &options = {});
    // kvlctl with --port on the simulator and --system on the private folder, then `words`.
    CliRun Run(const std::vector<std::string> &words, bool withPort = true);
    // What the next runs read as typed answers, and whether their input counts as a terminal
    // (by default: no terminal, nothing typed).
    void Answer(const std::string &typed, bool terminal)
    {
        m_typed = typed;
        m_terminal = terminal;
    }
    // Waits until `status AXIS` says the axis is homed; false when it is not within a generous limit.
    bool WaitUntilHomed(const std::string &axis);
    // Reads the private settings file.
    std::string SettingsText() const;
    std::filesystem::path TempFile(const std::string &name) const { return m_dir / name; }
    // A file of the private system folder the commands use.
    std::filesystem::path SystemFile(const std::string &name) const { return m_system / name; }

    std::unique_ptr<sim::BusRunner> m_sim;
    // What the runs take standard error for: a terminal shows progress lines.
    bool m_errIsTerminal = false;

private:
    std::unique_ptr<test::ScratchSystemFolder> m_scratch;
    std::filesystem::path m_dir;
    std::filesystem::path m_system;
    std::string m_typed;
    bool m_terminal = false;
};

} // namespace kvl::cli
