#include "CliFixture.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/CCliArgs.h"
#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "sim/SimOptions.h"
#include "support/WaitUntil.h"

namespace kvl::cli {
namespace fs = std::filesystem;

namespace {

// Homing runs at 20 mm/s from wherever the axis stands: seconds at the most.
constexpr int kHomingLimitMs = 10000;
// Pause between two status runs while waiting.
constexpr int kStatusPollMs = 50;

} // namespace

void CliFixture::SetUp()
{
    m_scratch = std::make_unique<test::ScratchSystemFolder>();
    ASSERT_TRUE(m_scratch->Ok()) << "the build writes the system folder beside the tests";
    m_dir = m_scratch->Folder();
    m_system = m_scratch->System();
}

void CliFixture::TearDown()
{
    if (m_sim)
        m_sim->Stop();
    m_sim.reset();
    m_scratch.reset();
}

void CliFixture::StartSim(const std::vector<std::string> &options)
{
    sim::SimOptions parsed;
    std::string error;
    ASSERT_TRUE(parsed.Parse(options, &error)) << error;
    m_sim = std::make_unique<sim::BusRunner>(parsed.BuildBus(), parsed.runner);
    ASSERT_TRUE(m_sim->Open(&error)) << error;
    ASSERT_TRUE(m_sim->Start());
}

CliRun CliFixture::Run(const std::vector<std::string> &words, bool withPort)
{
    std::vector<std::string> line{"kvlctl", "--system", m_system.string()};
    if (withPort && m_sim) {
        line.push_back("--port");
        line.push_back(m_sim->SlavePath());
    }
    line.insert(line.end(), words.begin(), words.end());
    std::vector<char *> argv;
    for (auto &word : line)
        argv.push_back(word.data());
    CliRun run;
    CCliArgs args;
    std::string error;
    if (!args.Parse(static_cast<int>(argv.size()), argv.data(), error)) {
        run.exitCode = CCliSession::kExitUsage;
        run.err = error;
        return run;
    }
    const CliCommand *command = FindCommand(args.Word(0));
    if (!command) {
        run.exitCode = CCliSession::kExitUsage;
        return run;
    }
    std::ostringstream out, err;
    {
        std::istringstream typed(m_typed);
        CCliSession session(args, out, err, typed, m_terminal);
        session.SetErrIsTerminal(m_errIsTerminal);
        run.exitCode = session.LoadSettings() ? command->run(session, args) : CCliSession::kExitFailure;
    }
    run.out = out.str();
    run.err = err.str();
    return run;
}

bool CliFixture::WaitUntilHomed(const std::string &axis)
{
    return test::WaitUntil([&] {
        const CliRun run = Run({"--json", "status", axis});
        return run.exitCode == 0 && nlohmann::json::parse(run.out).at("home").get<bool>();
    }, kHomingLimitMs, kStatusPollMs);
}

std::string CliFixture::SettingsText() const
{
    std::ifstream in(m_system / "kvl_motor.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace kvl::cli
