#include "CliFixture.h"

#include <fstream>
#include <sstream>

#include "cli/CCliArgs.h"
#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "sim/SimOptions.h"

namespace kvl::cli {
namespace fs = std::filesystem;

void CliFixture::SetUp()
{
    scratch_ = std::make_unique<test::ScratchSystemFolder>();
    ASSERT_TRUE(scratch_->Ok()) << "the build writes the system folder beside the tests";
    dir_ = scratch_->Folder();
    system_ = scratch_->System();
}

void CliFixture::TearDown()
{
    if (sim_)
        sim_->Stop();
    sim_.reset();
    scratch_.reset();
}

void CliFixture::StartSim(const std::vector<std::string> &options)
{
    sim::SimOptions parsed;
    std::string error;
    ASSERT_TRUE(parsed.Parse(options, &error)) << error;
    sim_ = std::make_unique<sim::BusRunner>(parsed.BuildBus(), parsed.runner);
    ASSERT_TRUE(sim_->Open(&error)) << error;
    ASSERT_TRUE(sim_->Start());
}

CliRun CliFixture::Run(const std::vector<std::string> &words, bool withPort)
{
    std::vector<std::string> line{"kvlctl", "--system", system_.string()};
    if (withPort && sim_) {
        line.push_back("--port");
        line.push_back(sim_->SlavePath());
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
        std::istringstream typed(typed_);
        CCliSession session(args, out, err, typed, terminal_);
        session.SetErrIsTerminal(errIsTerminal_);
        run.exitCode = session.LoadSettings() ? command->run(session, args) : CCliSession::kExitFailure;
    }
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::string CliFixture::SettingsText() const
{
    std::ifstream in(system_ / "kvl_motor.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace kvl::cli
