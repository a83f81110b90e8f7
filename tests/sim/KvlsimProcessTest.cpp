// The kvlsim executable as a process: the readiness line, the --link symlink, answering through
// it, --state across runs, --help, and a clean end on SIGTERM. Processes are started and stopped
// by their pid, after the readiness line.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "protocol/CommandCodes.h"
#include "support/SimProcess.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::SerialClient;

// kvlsim of this build.
struct SimProcess : kvl::test::SimProcess {
    SimProcess() : kvl::test::SimProcess(KVLSIM_PATH) {}
};
using test::WellFormed;

std::filesystem::path TempPath(const std::string &stem)
{
    return std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(::getpid()));
}

TEST(KvlsimProcess, ReadinessLineLinkAnswersAndCleanExit)
{
    const auto link = TempPath("kvlsim-link");
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", link.string()}));
    EXPECT_EQ(sim.FirstLine().rfind("/dev/pts/", 0), 0u) << sim.FirstLine();
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.FirstLine());

    SerialClient client;
    ASSERT_TRUE(client.Open(link.string(), 115200));
    // The demo bus: six axes and the gateway.
    for (uint8_t address : {0, 1, 2, 3, 4, 5, 0xF1}) {
        const auto reply = client.Exchange(address, cmd::kCmdReadDeviceType, {}, 9);
        EXPECT_TRUE(WellFormed(reply, address, cmd::kCmdReadDeviceType, 9)) << int(address);
    }
    EXPECT_TRUE(client.Exchange(6, cmd::kCmdReadDeviceType, {}, 9, 100).empty());
    client.Close();

    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

    // Ctrl-C ends it the same way.
    SimProcess again;
    ASSERT_TRUE(again.Start({"--link", link.string(), "--axis", "2:MDB"}));
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(again.Stop(SIGINT), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(KvlsimProcess, AxesFromTheCommandLineAndStateKeptAcrossRuns)
{
    const auto state = TempPath("kvlsim-state") .string() + ".json";
    std::filesystem::remove(state);
    const std::vector<std::string> args = {"--axis", "7:MDC-X:2105:PRESS", "--state", state};
    {
        SimProcess sim;
        ASSERT_TRUE(sim.Start(args));
        SerialClient client;
        ASSERT_TRUE(client.Open(sim.FirstLine(), 115200));
        auto reply = client.Exchange(7, cmd::kCmdReadDeviceType, {}, 9);
        ASSERT_TRUE(WellFormed(reply, 7, cmd::kCmdReadDeviceType, 9));
        EXPECT_EQ(reply[4], cmd::kModelCodeMDCX);
        EXPECT_TRUE(client.Exchange(0xF1, cmd::kCmdReadDeviceType, {}, 9, 100).empty());   // no --gateway
        reply = client.Exchange(7, cmd::kCmdWriteParameter, test::ParamWrite(16, 123), 8);
        ASSERT_TRUE(WellFormed(reply, 7, cmd::kCmdWriteParameter, 8));
        client.Close();
        EXPECT_EQ(sim.Stop(), 0);
    }
    ASSERT_TRUE(std::filesystem::exists(state));
    SimProcess sim;
    ASSERT_TRUE(sim.Start(args));
    SerialClient client;
    ASSERT_TRUE(client.Open(sim.FirstLine(), 115200));
    const auto reply = client.Exchange(7, cmd::kCmdReadParameter, test::U16(16), 13);
    ASSERT_TRUE(WellFormed(reply, 7, cmd::kCmdReadParameter, 13));
    EXPECT_EQ(frame::GetI32(reply.data() + 5), 123);
    const auto name = client.Exchange(7, cmd::kCmdReadVersionAndName, {}, 27);
    EXPECT_EQ(std::string(name.begin() + 7, name.begin() + 12), "PRESS");
    client.Close();
    EXPECT_EQ(sim.Stop(), 0);
    std::filesystem::remove(state);
}

TEST(KvlsimProcess, LinkNeverReplacesAFile)
{
    const auto path = TempPath("kvlsim-file");
    {
        std::FILE *f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("keep me", f);
        std::fclose(f);
    }
    SimProcess sim;
    EXPECT_FALSE(sim.Start({"--link", path.string()}));
    EXPECT_EQ(sim.Wait(), 1);
    ASSERT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_EQ(std::filesystem::file_size(path), 7u);
    std::filesystem::remove(path);
}

TEST(KvlsimProcess, HelpAndBadOptions)
{
    {
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--help"}));
        EXPECT_EQ(sim.FirstLine().rfind("Usage: kvlsim", 0), 0u);
        const std::string rest = sim.RestOfOutput();
        EXPECT_NE(rest.find("--fault"), std::string::npos);
        EXPECT_NE(rest.find("Examples:"), std::string::npos);
        EXPECT_EQ(sim.Wait(), 0);
    }
    SimProcess bad;
    EXPECT_FALSE(bad.Start({"--axis", "99:MDA"}));   // no readiness line: it refuses and ends
    EXPECT_EQ(bad.Wait(), 2);
}

} // namespace
} // namespace kvl::sim
