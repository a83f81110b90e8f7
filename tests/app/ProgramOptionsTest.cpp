// The three programs as a user starts them: --version and --help, and where kvlctl keeps its
// settings when it runs from a build tree, from an installed layout (the user's own copy in the
// XDG data home) and with --system.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/SimProcess.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string output;   // stdout and stderr together
};

// Whether a program run gets the offscreen platform of Qt (as the tests of the windows do), or
// runs as over SSH: no display and no platform chosen.
enum class Screen { kOffscreen, kNone };

// Runs `program` with `args` and exactly the environment `env` (PATH added, and the offscreen
// platform unless `screen` says none), collecting its output until it ends.
Outcome RunProgram(const std::string &program, const std::vector<std::string> &args,
            const std::map<std::string, std::string> &env = {}, Screen screen = Screen::kOffscreen)
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
        std::vector<std::string> pairs{"PATH=/usr/bin:/bin"};
        if (screen == Screen::kOffscreen)
            pairs.emplace_back("QT_QPA_PLATFORM=offscreen");
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

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const OptionCase &c, std::ostream *out)
{
    *out << c.name;
}

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

// Over SSH, without a display and without a platform chosen: --version and --help print and end
// well, and a real start ends with one line that says what is missing (not Qt's abort).
class WithoutDisplayTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(WithoutDisplayTest, AnswersWithoutAScreen)
{
    const OptionCase &c = GetParam();
    const Outcome outcome = RunProgram(c.program, c.args, {}, Screen::kNone);
    EXPECT_EQ(outcome.status, c.status) << outcome.output;
    for (const std::string &text : c.said)
        EXPECT_NE(outcome.output.find(text), std::string::npos) << "no \"" << text << "\" in:\n" << outcome.output;
    EXPECT_EQ(outcome.output.find("Reinstalling"), std::string::npos) << outcome.output;
}

const OptionCase kWithoutDisplayCases[] = {
    {"GuiVersion", KVL_MOTOR_PATH, {"--version"}, 0, {"kvl_motor" + kVersionLine}},
    {"GuiShortVersion", KVL_MOTOR_PATH, {"-v"}, 0, {"kvl_motor" + kVersionLine}},
    {"GuiHelp", KVL_MOTOR_PATH, {"--help"}, 0, {"--demo", "--port <DEVICE>", "--system <DIR>", "--version"}},
    {"GuiHelpAfterAnOption", KVL_MOTOR_PATH, {"--demo", "--help"}, 0, {"--demo", "--port <DEVICE>"}},
    {"GuiStartSaysWhatIsMissing", KVL_MOTOR_PATH, {"--demo"}, 1, {"kvl_motor: no display", "xvfb-run"}},
    {"GuiBadOptionIsStillAUsageError", KVL_MOTOR_PATH, {"--demo", "--port", "/dev/ttyUSB0"}, 2,
     {"--demo and --port"}},
    {"KvlctlVersion", KVLCTL_PATH, {"--version"}, 0, {"kvlctl" + kVersionLine}},
    {"KvlsimVersion", KVLSIM_PATH, {"--version"}, 0, {"kvlsim" + kVersionLine}},
};

INSTANTIATE_TEST_SUITE_P(Cases, WithoutDisplayTest, ::testing::ValuesIn(kWithoutDisplayCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The start without a display says so in one line, and nothing else.
TEST(WithoutDisplay, AStartEndsWithOneLine)
{
    const Outcome outcome = RunProgram(KVL_MOTOR_PATH, {}, {}, Screen::kNone);
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    ASSERT_FALSE(outcome.output.empty());
    EXPECT_EQ(outcome.output.find('\n'), outcome.output.size() - 1) << outcome.output;
}

// The manual pages say what the programs' --help says: every option each program's --help lists
// (and, for kvlctl, each command's --help) is in its page, as is every command of kvlctl and every
// exit status --help names. A new option or command without its manual line fails here.
std::string ManualText(const std::string &page)
{
    // The page's source with the escapes of roff that sit inside words taken out: "\-" is "-",
    // font changes ("\fB", "\fR") vanish.
    std::string text = ReadAll(fs::path(KVL_MAN_DIR) / (page + ".1"));
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '-') {
            plain += '-';
            ++i;
        } else if (text[i] == '\\' && i + 2 < text.size() && text[i + 1] == 'f') {
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// Every "--option" (and "-x" short option) a help text names.
std::vector<std::string> OptionsIn(const std::string &help)
{
    std::vector<std::string> options;
    for (size_t at = 0; (at = help.find('-', at)) != std::string::npos;) {
        const bool wordStart = at == 0 || std::string(" \t\n[(|,").find(help[at - 1]) != std::string::npos;
        size_t end = at + 1;
        if (end < help.size() && help[end] == '-')
            ++end;
        const size_t nameStart = end;
        while (end < help.size() && (std::isalnum(static_cast<unsigned char>(help[end])) || help[end] == '-'))
            ++end;
        const std::string option = help.substr(at, end - at);
        const bool named = end > nameStart && std::isalpha(static_cast<unsigned char>(help[nameStart]));
        // "-x": a single letter after one dash; "--name": a word after two.
        const bool shortOption = nameStart == at + 1 && end == nameStart + 1;
        if (wordStart && named && (nameStart == at + 2 || shortOption) &&
            std::find(options.begin(), options.end(), option) == options.end())
            options.push_back(option);
        at = end;
    }
    return options;
}

struct ManualCase {
    const char *name;
    const char *program;
    const char *page;
};

void PrintTo(const ManualCase &c, std::ostream *out)
{
    *out << c.name;
}

class ManualPageTest : public ::testing::TestWithParam<ManualCase> {};

TEST_P(ManualPageTest, ListsEveryOptionOfTheHelp)
{
    const ManualCase &c = GetParam();
    const std::string manual = ManualText(c.page);
    ASSERT_FALSE(manual.empty()) << c.page;
    const Outcome help = RunProgram(c.program, {"--help"}, {}, Screen::kNone);
    ASSERT_EQ(help.status, 0) << help.output;
    const std::vector<std::string> options = OptionsIn(help.output);
    EXPECT_GE(options.size(), 3u) << help.output;
    for (const std::string &option : options)
        EXPECT_NE(manual.find(option), std::string::npos) << c.page << "(1) lacks " << option;
}

const ManualCase kManualCases[] = {
    {"Kvlctl", KVLCTL_PATH, "kvlctl"},
    {"Kvlsim", KVLSIM_PATH, "kvlsim"},
    {"KvlMotor", KVL_MOTOR_PATH, "kvl_motor"},
};

INSTANTIATE_TEST_SUITE_P(Pages, ManualPageTest, ::testing::ValuesIn(kManualCases),
                         [](const auto &info) { return std::string(info.param.name); });

// kvlctl's page has an entry for each command of --help, each option of each command's --help,
// and each exit status --help names.
TEST(KvlctlManualPage, ListsEveryCommandItsOptionsAndEveryExitStatus)
{
    const std::string manual = ManualText("kvlctl");
    const Outcome help = RunProgram(KVLCTL_PATH, {"--help"}, {}, Screen::kNone);
    ASSERT_EQ(help.status, 0) << help.output;
    const size_t listStart = help.output.find("\ncommands:\n");
    const size_t listEnd = help.output.find("\n\n", listStart + 1);
    ASSERT_NE(listStart, std::string::npos) << help.output;
    std::vector<std::string> commands;
    size_t lineStart = listStart + std::strlen("\ncommands:\n");
    while (lineStart < listEnd) {
        const size_t lineEnd = help.output.find('\n', lineStart);
        const std::string line = help.output.substr(lineStart, lineEnd - lineStart);
        // "  scan", "  info AXIS": a command's usage; its summary is indented further.
        if (line.rfind("  ", 0) == 0 && line.size() > 2 && line[2] != ' ')
            commands.push_back(line.substr(2, line.find(' ', 2) - 2));
        lineStart = lineEnd + 1;
    }
    EXPECT_GE(commands.size(), 20u) << help.output;
    for (const std::string &command : commands) {
        SCOPED_TRACE(command);
        // An entry of the COMMANDS section starts with the command's name in bold.
        const bool listed = manual.find("\n.B " + command + "\n") != std::string::npos ||
                            manual.find("\n.BI " + command + " ") != std::string::npos ||
                            manual.find("\n.BR " + command + " ") != std::string::npos;
        EXPECT_TRUE(listed) << "kvlctl(1) has no entry for " << command;
        const Outcome commandHelp = RunProgram(KVLCTL_PATH, {command, "--help"}, {}, Screen::kNone);
        EXPECT_EQ(commandHelp.status, 0) << commandHelp.output;
        for (const std::string &option : OptionsIn(commandHelp.output))
            EXPECT_NE(manual.find(option), std::string::npos) << "kvlctl(1) lacks " << option << " of " << command;
    }
    const size_t exitAt = help.output.find("exit status:");
    ASSERT_NE(exitAt, std::string::npos) << help.output;
    const size_t exitSection = manual.find(".SH EXIT STATUS");
    ASSERT_NE(exitSection, std::string::npos);
    const std::string manualExit = manual.substr(exitSection, manual.find(".SH", exitSection + 1) - exitSection);
    const std::string helpExit = help.output.substr(exitAt);
    for (const char *status : {"0", "1", "2", "3"}) {
        if (helpExit.find(std::string(" ") + status + " ") == std::string::npos &&
            helpExit.find(std::string("\n") + status + " ") == std::string::npos)
            continue;
        EXPECT_NE(manualExit.find(std::string(".B ") + status + "\n"), std::string::npos)
            << "kvlctl(1) does not explain exit status " << status;
    }
    EXPECT_NE(manualExit.find("diff"), std::string::npos) << "exit status 3 of diff";
}

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

// Installed, kvlctl's help names the folder it uses without --system (the user's own copy), and
// a run without a port names the settings file to set it in: the user's copy, not the shipped one.
TEST_F(InstalledLayoutTest, HelpAndMessagesNameTheUsersOwnFiles)
{
    const std::map<std::string, std::string> env{{"HOME", (m_root / "home").string()}};
    const std::string own = (m_root / "home/.local/share/kvl_motor/system").string();
    const Outcome help = RunProgram(Kvlctl(), {"--help"}, env);
    EXPECT_EQ(help.status, 0) << help.output;
    EXPECT_NE(help.output.find("here: " + own + "\n"), std::string::npos) << help.output;

    const Outcome noPort = RunProgram(Kvlctl(), {"status", "0"}, env);
    EXPECT_EQ(noPort.status, 1) << noPort.output;
    EXPECT_NE(noPort.output.find("set Port in the settings file " + own + "/kvl_motor.ini"), std::string::npos)
        << noPort.output;
}

// By default, without a service level, a run leaves its lines in the user's daily log: the command,
// the error it printed, its exit status.
TEST_F(InstalledLayoutTest, ARunIsKeptInTheDailyLog)
{
    const Outcome outcome = RunProgram(Kvlctl(), StatusWithoutDevice(), {{"HOME", (m_root / "home").string()}});
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    const fs::path logFolder = m_root / "home/.local/share/kvl_motor/log";
    std::string log;
    for (const auto &entry : fs::directory_iterator(logFolder)) {
        if (entry.path().filename().string().ends_with("_events.log"))
            log += ReadAll(entry.path());
    }
    const std::string device = (m_root / "no-such-device").string();
    EXPECT_NE(log.find("kvlctl[" ), std::string::npos) << log;
    EXPECT_NE(log.find("] start: kvlctl --port " + device + " status 0\n"), std::string::npos) << log;
    EXPECT_NE(log.find("] error: cannot open serial port " + device), std::string::npos) << log;
    EXPECT_NE(log.find("] end: exit status 1\n"), std::string::npos) << log;
}

TEST_F(InstalledLayoutTest, GivenSystemFolderMakesNoCopy)
{
    const fs::path mine = m_root / "mine";
    fs::copy(Shipped(), mine, fs::copy_options::recursive);
    const Outcome outcome =
        RunProgram(Kvlctl(), StatusWithoutDevice({"--system", mine.string()}), {{"HOME", (m_root / "home").string()}});
    EXPECT_NE(outcome.output.find("no-such-device"), std::string::npos) << outcome.output;
    EXPECT_FALSE(fs::exists(m_root / "home/.local/share/kvl_motor/system")) << outcome.output;
    // The daily log still goes to the user's log folder, never beside the installed program.
    EXPECT_TRUE(fs::is_directory(m_root / "home/.local/share/kvl_motor/log")) << outcome.output;
    EXPECT_FALSE(fs::exists(m_root / "usr/bin/log"));
}

// In the build tree the folder beside the program is used as it always was.
TEST_F(InstalledLayoutTest, BuildTreeKeepsItsOwnFolder)
{
    const Outcome outcome = RunProgram(KVLCTL_PATH, StatusWithoutDevice(), {{"HOME", (m_root / "home").string()}});
    EXPECT_NE(outcome.output.find("no-such-device"), std::string::npos) << outcome.output;
    EXPECT_FALSE(fs::exists(m_root / "home/.local")) << outcome.output;
}

// kvlctl against kvlsim, both as processes, where something is not right yet: the message names
// the real cause and what to do.
class MessagesTest : public InstalledLayoutTest {
protected:
    void SetUp() override
    {
        InstalledLayoutTest::SetUp();
        m_system = m_root / "system";
        fs::copy(KVL_PRISTINE_SYSTEM_DIR, m_system, fs::copy_options::recursive);
    }
    Outcome Kvlctl(const std::string &port, std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--system", m_system.string(), "--port", port});
        return RunProgram(KVLCTL_PATH, args, {{"HOME", (m_root / "home").string()}});
    }

    fs::path m_system;
};

// The bus runs at 57600 bit/s, the settings say 115200: status says that nothing answered at that
// speed, that the bus may run at another one and that scan finds it; after scan it answers.
TEST_F(MessagesTest, SilenceAtTheStoredSpeedPointsToScan)
{
    kvl::test::SimProcess sim(KVLSIM_PATH);
    ASSERT_TRUE(sim.Start({"--baud", "57600"}));
    const std::string port = sim.FirstLine();
    Outcome status = Kvlctl(port, {"status", "0"});
    EXPECT_EQ(status.status, 1) << status.output;
    EXPECT_NE(status.output.find("identify: no reply within 30 ms (-202); nothing answered at 115200 bit/s: the "
                                 "bus may run at another speed (kvlctl scan finds it and keeps it)"),
              std::string::npos)
        << status.output;
    const Outcome scan = Kvlctl(port, {"scan"});
    EXPECT_EQ(scan.status, 0) << scan.output;
    status = Kvlctl(port, {"status", "0"});
    EXPECT_EQ(status.status, 0) << status.output;
    EXPECT_EQ(sim.Stop(), 0);
}

// A save that fails names the file and the cause: a missing folder, a folder in the file's place.
TEST_F(MessagesTest, AFailedSaveNamesTheFileAndTheCause)
{
    kvl::test::SimProcess sim(KVLSIM_PATH);
    ASSERT_TRUE(sim.Start({}));
    const std::string port = sim.FirstLine();
    const std::string missing = (m_root / "no/such/table.csv").string();
    Outcome read = Kvlctl(port, {"points", "read", "0", missing});
    EXPECT_EQ(read.status, 1) << read.output;
    EXPECT_NE(read.output.find("kvlctl: cannot save " + missing + ": its folder does not exist\n"), std::string::npos)
        << read.output;
    fs::create_directories(m_root / "taken.dat");
    const std::string taken = (m_root / "taken.dat").string();
    read = Kvlctl(port, {"param", "save", "1", taken});
    EXPECT_EQ(read.status, 1) << read.output;
    EXPECT_NE(read.output.find("kvlctl: cannot save " + taken + ": a folder has that name\n"), std::string::npos)
        << read.output;
    EXPECT_EQ(sim.Stop(), 0);
}

} // namespace
