// Which system folder a face opens: the one beside the program in a writable build tree, the
// user's own copy when installed or not writable, a given one always; and the data home.
#include "config/CSystemFolderChoice.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <ostream>

#include "TestFiles.h"
#include "config/CIniEx.h"
#include "support/ScratchSystemFolder.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

enum class Layout { kBuildTree, kInstalled, kNoSystemFolder };

struct ChoiceCase {
    const char *name;
    Layout layout;
    bool writable;
    bool dataHome;
    const char *given;
    // Expected, relative to the scratch folder ("" for logFolder: none).
    const char *systemFolder;
    const char *logFolder;
    const char *shippedFolder;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const ChoiceCase &c, std::ostream *out)
{
    *out << c.name;
}

class SystemFolderChoiceTest : public ::testing::TestWithParam<ChoiceCase> {
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir.Path() / "build/bin/system");
        fs::create_directories(m_dir.Path() / "root/usr/bin");
        fs::create_directories(m_dir.Path() / "root/usr/share/kvl_motor/system");
        fs::create_directories(m_dir.Path() / "bare/bin");
    }
    std::string At(const char *relative) const
    {
        return *relative ? (m_dir.Path() / relative).string() : std::string();
    }

    TempDir m_dir;
};

TEST_P(SystemFolderChoiceTest, ChoosesTheFolders)
{
    const ChoiceCase &c = GetParam();
    CSystemFolderChoice::Inputs inputs;
    inputs.programFolder = At(c.layout == Layout::kBuildTree  ? "build/bin"
                              : c.layout == Layout::kInstalled ? "root/usr/bin"
                                                               : "bare/bin");
    inputs.dataHome = c.dataHome ? At("home/.local/share") : std::string();
    inputs.given = *c.given ? At(c.given) : std::string();
    std::string asked;
    inputs.writable = [&](const std::string &folder) {
        if (asked.empty())
            asked = folder;
        return c.writable;
    };
    const CSystemFolderChoice::Choice choice = CSystemFolderChoice::Choose(inputs);
    EXPECT_EQ(choice.systemFolder, At(c.systemFolder));
    EXPECT_EQ(choice.logFolder, At(c.logFolder));
    EXPECT_EQ(choice.perUser, *c.logFolder != '\0');
    EXPECT_EQ(fs::path(choice.shippedFolder).lexically_normal(), fs::path(At(c.shippedFolder)).lexically_normal());
    if (c.layout == Layout::kBuildTree && !*c.given) {
        EXPECT_EQ(asked, At("build/bin/system")) << "the shipped folder's own rights decide";
    }
}

const ChoiceCase kChoiceCases[] = {
    {"BuildTreeWritableStaysAsItWas", Layout::kBuildTree, true, true, "", "build/bin/system", "", "build/bin/system"},
    {"BuildTreeReadOnlyGoesPerUser", Layout::kBuildTree, false, true, "", "home/.local/share/kvl_motor/system",
     "home/.local/share/kvl_motor", "build/bin/system"},
    {"ReadOnlyWithoutDataHomeUsesTheShippedFolder", Layout::kBuildTree, false, false, "", "build/bin/system", "",
     "build/bin/system"},
    {"InstalledGoesPerUser", Layout::kInstalled, false, true, "", "home/.local/share/kvl_motor/system",
     "home/.local/share/kvl_motor", "root/usr/share/kvl_motor/system"},
    {"InstalledGoesPerUserEvenWhenWritable", Layout::kInstalled, true, true, "", "home/.local/share/kvl_motor/system",
     "home/.local/share/kvl_motor", "root/usr/share/kvl_motor/system"},
    {"GivenFolderWinsWhenInstalled", Layout::kInstalled, false, true, "mine", "mine", "",
     "root/usr/share/kvl_motor/system"},
    {"GivenFolderWinsInABuildTree", Layout::kBuildTree, false, true, "mine", "mine", "", "build/bin/system"},
    {"NoSystemFolderAnywhereLooksInShare", Layout::kNoSystemFolder, true, true, "",
     "home/.local/share/kvl_motor/system", "home/.local/share/kvl_motor", "bare/share/kvl_motor/system"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SystemFolderChoiceTest, ::testing::ValuesIn(kChoiceCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The daily log goes to the user's own folder, or beside the program in a build tree the user may
// write; never into an installed program folder, whoever may write it.
TEST(SystemFolderChoice, TheDailyLogsFolder)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "build/bin/system");
    fs::create_directories(dir.Path() / "root/usr/bin");
    fs::create_directories(dir.Path() / "root/usr/share/kvl_motor/system");
    const struct {
        const char *name;
        const char *programFolder;
        bool writable;
        const char *given;
        const char *dailyLogFolder;
    } cases[] = {
        {"build tree", "build/bin", true, "", "build/bin"},
        {"build tree with a folder given", "build/bin", true, "mine", "build/bin"},
        {"read-only build tree", "build/bin", false, "", "home/.local/share/kvl_motor"},
        {"installed", "root/usr/bin", false, "", "home/.local/share/kvl_motor"},
        {"installed with a folder given", "root/usr/bin", false, "mine", "home/.local/share/kvl_motor"},
        {"installed, writable (root), a folder given", "root/usr/bin", true, "mine", "home/.local/share/kvl_motor"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CSystemFolderChoice::Inputs inputs;
        inputs.programFolder = (dir.Path() / c.programFolder).string();
        inputs.dataHome = (dir.Path() / "home/.local/share").string();
        inputs.given = *c.given ? (dir.Path() / c.given).string() : std::string();
        inputs.writable = [&c](const std::string &) { return c.writable; };
        EXPECT_EQ(CSystemFolderChoice::Choose(inputs).dailyLogFolder, (dir.Path() / c.dailyLogFolder).string());
    }
}

// Without a check of its own the choice asks the process' access rights; a folder made
// unwritable (also for root) sends the user to their own copy.
TEST(SystemFolderChoice, ProcessRightsDecideByDefault)
{
    TempDir dir;
    const fs::path system = dir.Path() / "bin/system";
    fs::create_directories(system);
    CSystemFolderChoice::Inputs inputs;
    inputs.programFolder = (dir.Path() / "bin").string();
    inputs.dataHome = (dir.Path() / "data").string();
    EXPECT_FALSE(CSystemFolderChoice::Choose(inputs).perUser);
    if (!test::MakeUnwritable(system.string()))
        GTEST_SKIP() << "a folder cannot be made unwritable here";
    const bool perUser = CSystemFolderChoice::Choose(inputs).perUser;
    test::MakeWritable(system.string());
    EXPECT_TRUE(perUser);
}

// Prepare makes the user's copy and log folder on the first start and keeps the user's settings
// on the next; a shipped folder that is missing leaves the program on it, with the reason.
TEST(SystemFolderChoice, PrepareMakesTheUsersCopyOnce)
{
    TempDir dir;
    const fs::path shipped = dir.Path() / "usr/share/kvl_motor/system";
    fs::create_directories(dir.Path() / "usr/bin");
    fs::create_directories(shipped.parent_path());
    fs::copy(test::ScratchSystemFolder::Shipped(), shipped, fs::copy_options::recursive);
    CSystemFolderChoice::Inputs inputs;
    inputs.programFolder = (dir.Path() / "usr/bin").string();
    inputs.dataHome = (dir.Path() / "home/.local/share").string();

    std::string error;
    const CSystemFolderChoice::Choice first = CSystemFolderChoice::Prepare(inputs, error);
    EXPECT_EQ(error, "");
    ASSERT_TRUE(first.perUser);
    const std::string settings = (fs::path(first.systemFolder) / "kvl_motor.ini").string();
    EXPECT_EQ(ReadBytes(settings), ReadBytes((shipped / "kvl_motor.ini").string()));
    EXPECT_TRUE(fs::is_directory(fs::path(first.logFolder) / "log"));
    {
        CIniEx ini;
        ASSERT_TRUE(ini.Open(settings, true, false, true));
        ini.SetString("RS485", "Port", "4");
    }
    const CSystemFolderChoice::Choice second = CSystemFolderChoice::Prepare(inputs, error);
    EXPECT_EQ(second.systemFolder, first.systemFolder);
    CIniEx ini;
    ASSERT_TRUE(ini.Open(settings, false, false, true));
    EXPECT_EQ(ini.GetString("RS485", "Port", ""), "4");

    fs::remove_all(shipped);
    fs::remove_all(first.systemFolder);
    const CSystemFolderChoice::Choice broken = CSystemFolderChoice::Prepare(inputs, error);
    EXPECT_FALSE(broken.perUser);
    EXPECT_EQ(broken.systemFolder, shipped.string());
    EXPECT_NE(error.find(shipped.string()), std::string::npos) << error;
}

// Sets or unsets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    std::optional<std::string> m_old;
};

TEST(SystemFolderChoice, DataHomeFollowsTheXdgRule)
{
    const struct {
        const char *xdg;
        const char *home;
        const char *expected;
    } cases[] = {
        {"/data/me", "/home/me", "/data/me"},
        {nullptr, "/home/me", "/home/me/.local/share"},
        {"", "/home/me", "/home/me/.local/share"},
        {"relative/path", "/home/me", "/home/me/.local/share"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.xdg ? c.xdg : "(unset)");
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(CSystemFolderChoice::UserDataHome(), c.expected);
    }
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    const std::string fromPasswd = CSystemFolderChoice::UserDataHome();
    EXPECT_TRUE(fromPasswd.empty() || fromPasswd.ends_with("/.local/share")) << fromPasswd;
}

} // namespace
} // namespace kvl
