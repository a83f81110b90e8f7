// The three programs as a user starts them: --version and --help, and where kvlctl keeps its
// settings when it runs from a build tree, from an installed layout (the user's own copy in the
// XDG data home) and with --system.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string output;   // stdout and stderr together
};

// Runs `program` with `args` and exactly the environment `env` (PATH added), collecting its
// output until it ends.
Outcome RunProgram(const std::string &program, const std::vector<std::string> &args,
            const std::map<std::string, std::string> &env = {})
{
    Outcome outcome;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return outcome;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        std::vector<std::string> texts{program};
        texts.insert(texts.end(), args.begin(), args.end());
        std::vector<char *> argv;
        for (std::string &text : texts)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        std::vector<std::string> pairs{"PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen"};
        for (const auto &[name, value] : env)
            pairs.push_back(name + "=" + value);
        std::vector<char *> envp;
        for (std::string &pair : pairs)
            envp.push_back(pair.data());
        envp.push_back(nullptr);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        outcome.output.append(buffer, static_cast<size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct OptionCase {
    const char *name;
    const char *program;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> said;   // texts the output holds
};

class ProgramOptionsTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ProgramOptionsTest, AnswersTheOption)
{
    const OptionCase &c = GetParam();
    const Outcome outcome = RunProgram(c.program, c.args);
    EXPECT_EQ(outcome.status, c.status) << outcome.output;
    for (const std::string &text : c.said)
        EXPECT_NE(outcome.output.find(text), std::string::npos) << "no \"" << text << "\" in:\n" << outcome.output;
}

const std::string kVersionLine = std::string(" ") + KVL_PROJECT_VERSION + "\n";

const OptionCase kOptionCases[] = {
    {"KvlctlVersion", KVLCTL_PATH, {"--version"}, 0, {"kvlctl" + kVersionLine}},
    {"KvlctlVersionWinsOverACommand", KVLCTL_PATH, {"--version", "scan"}, 0, {"kvlctl" + kVersionLine}},
    {"KvlctlHelpNamesVersion", KVLCTL_PATH, {"--help"}, 0, {"--version", "--system DIR"}},
    {"KvlsimVersion", KVLSIM_PATH, {"--version"}, 0, {"kvlsim" + kVersionLine}},
    {"KvlsimHelpNamesVersion", KVLSIM_PATH, {"--help"}, 0, {"--version"}},
    {"GuiVersion", KVL_MOTOR_PATH, {"--version"}, 0, {"kvl_motor" + kVersionLine}},
    {"GuiHelpListsItsOptions", KVL_MOTOR_PATH, {"--help"}, 0,
     {"--demo", "--port <DEVICE>", "--system <DIR>", "--version", "--help"}},
    {"GuiDemoAndPortExcludeEachOther", KVL_MOTOR_PATH, {"--demo", "--port", "/dev/ttyUSB0"}, 2,
     {"--demo and --port"}},
    {"GuiPortWantsADevice", KVL_MOTOR_PATH, {"--port"}, 1, {"port"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProgramOptionsTest, ::testing::ValuesIn(kOptionCases),
                         [](const auto &info) { return std::string(info.param.name); });

// kvlctl copied into an installed layout (bin/ beside share/kvl_motor/system) under a scratch
// folder, with a scratch home.
class InstalledLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kvl_layout_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        fs::create_directories(m_root / "usr/bin");
        fs::create_directories(m_root / "usr/share/kvl_motor");
        fs::copy_file(KVLCTL_PATH, Kvlctl());
        fs::copy(KVL_PRISTINE_SYSTEM_DIR, Shipped(), fs::copy_options::recursive);
        fs::create_directories(m_root / "home");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    std::string Kvlctl() const { return (m_root / "usr/bin/kvlctl").string(); }
    fs::path Shipped() const { return m_root / "usr/share/kvl_motor/system"; }
    // A command that reads the settings and then fails on the missing port.
    std::vector<std::string> StatusWithoutDevice(std::vector<std::string> before = {}) const
    {
        before.insert(before.end(), {"--port", (m_root / "no-such-device").string(), "status", "0"});
        return before;
    }

    fs::path m_root;
};

TEST_F(InstalledLayoutTest, SettingsGoToTheUsersDataHome)
{
    const struct {
        const char *name;
        std::map<std::string, std::string> env;
        const char *dataHome;   // under the scratch folder
    } cases[] = {
        {"default", {{"HOME", (m_root / "home").string()}}, "home/.local/share"},
        {"XDG_DATA_HOME", {{"HOME", (m_root / "home").string()}, {"XDG_DATA_HOME", (m_root / "xdg").string()}},
         "xdg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunProgram(Kvlctl(), StatusWithoutDevice(), c.env);
        EXPECT_NE(outcome.output.find("no-such-device"), std::string::npos) << outcome.output;
        const fs::path own = m_root / c.dataHome / "kvl_motor";
        EXPECT_EQ(ReadAll(own / "system/kvl_motor.ini"), ReadAll(Shipped() / "kvl_motor.ini"));
        EXPECT_EQ(ReadAll(own / "system/Lang_JP.ini"), ReadAll(Shipped() / "Lang_JP.ini"));
        EXPECT_TRUE(fs::is_directory(own / "log"));
    }
}

TEST_F(InstalledLayoutTest, GivenSystemFolderMakesNoCopy)
{
    const fs::path mine = m_root / "mine";
    fs::copy(Shipped(), mine, fs::copy_options::recursive);
    const Outcome outcome =
        RunProgram(Kvlctl(), StatusWithoutDevice({"--system", mine.string()}), {{"HOME", (m_root / "home").string()}});
    EXPECT_NE(outcome.output.find("no-such-device"), std::string::npos) << outcome.output;
    EXPECT_FALSE(fs::exists(m_root / "home/.local")) << outcome.output;
}

// In the build tree the folder beside the program is used as it always was.
TEST_F(InstalledLayoutTest, BuildTreeKeepsItsOwnFolder)
{
    const Outcome outcome = RunProgram(KVLCTL_PATH, StatusWithoutDevice(), {{"HOME", (m_root / "home").string()}});
    EXPECT_NE(outcome.output.find("no-such-device"), std::string::npos) << outcome.output;
    EXPECT_FALSE(fs::exists(m_root / "home/.local")) << outcome.output;
}

} // namespace
