// A user's copy of the system folder: made from the shipped one, then brought up to a newer shipped
// one without losing what the user stored, and without re-encoding any file.
#include "config/CSystemFolderUpgrade.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "support/ScratchSystemFolder.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScratchSystemFolder;
using test::TempDir;
using test::WriteBytes;

// Removes the first line `line` (with its CR LF) from a file; false when it is not there.
bool RemoveLine(const fs::path &file, const std::string &line)
{
    std::string bytes = ReadBytes(file.string());
    const std::string whole = line + "\r\n";
    const std::size_t at = bytes.find(whole);
    if (at == std::string::npos || (at > 0 && bytes[at - 1] != '\n'))
        return false;
    bytes.erase(at, whole.size());
    WriteBytes(file.string(), bytes);
    return true;
}

// Replaces the first line `from` by `to`.
std::string ReplaceLine(std::string bytes, const std::string &from, const std::string &to)
{
    const std::size_t at = bytes.find("\n" + from + "\r\n");
    if (at != std::string::npos)
        bytes.replace(at + 1, from.size(), to);
    return bytes;
}

int CountFiles(const fs::path &folder)
{
    int count = 0;
    for (const auto &entry : fs::recursive_directory_iterator(folder))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

class SystemFolderUpgradeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::is_regular_file(ScratchSystemFolder::Shipped() / CAppSettings::kSettingsFile))
            << "the build writes the pristine system folder";
        fs::copy(ScratchSystemFolder::Shipped(), OldShipped(), fs::copy_options::recursive);
        fs::copy(ScratchSystemFolder::Shipped(), NewShipped(), fs::copy_options::recursive);
    }
    fs::path OldShipped() const { return m_dir.Path() / "old"; }
    fs::path NewShipped() const { return m_dir.Path() / "new"; }
    fs::path User() const { return m_dir.Path() / "home" / "kvl_motor" / "system"; }

    TempDir m_dir;
};

// The older release lacked a settings key, a parameter key in every language and a whole file;
// the user then stored a port, a speed and parameter values. The newer release brings the
// missing pieces; everything the user stored stays.
TEST_F(SystemFolderUpgradeTest, NewerShippedFolderAddsWhatTheCopyLacksAndKeepsTheUsersValues)
{
    const char *kParamFiles[] = {"ParamMDA_JP.ini", "ParamMDA_EN.ini", "ParamMDA_CN.ini"};
    ASSERT_TRUE(RemoveLine(OldShipped() / "kvl_motor.ini", "MaxList=6"));
    for (const char *name : kParamFiles)
        ASSERT_TRUE(RemoveLine(OldShipped() / name, "ServoW=0")) << name;
    fs::remove(OldShipped() / "ParamZMDA_CN.ini");

    CSystemFolderUpgrade::Report first;
    ASSERT_TRUE(CSystemFolderUpgrade::Run(OldShipped().string(), User().string(), first)) << first.error;
    EXPECT_EQ(first.filesCopied, CountFiles(OldShipped()));
    EXPECT_EQ(first.keysAdded, 0);
    EXPECT_EQ(ReadBytes((User() / "Lang_JP.ini").string()), ReadBytes((OldShipped() / "Lang_JP.ini").string()));

    {
        CIniEx settings;
        ASSERT_TRUE(settings.Open((User() / "kvl_motor.ini").string(), false, false, true));
        settings.SetString("RS485", "Port", "5");
        settings.SetString("RS485", "Speed", "38400");
        ASSERT_TRUE(settings.Save());
    }
    for (const char *name : kParamFiles) {
        const std::string path = (User() / name).string();
        WriteBytes(path, ReplaceLine(ReadBytes(path), "Value=50.0000", "Value=12.3400"));
    }
    const std::string langBefore = ReadBytes((User() / "Lang_JP.ini").string());

    CSystemFolderUpgrade::Report second;
    ASSERT_TRUE(CSystemFolderUpgrade::Run(NewShipped().string(), User().string(), second)) << second.error;
    EXPECT_EQ(second.filesCopied, 1);
    EXPECT_EQ(second.filesMerged, 4);
    EXPECT_EQ(second.keysAdded, 4);

    CIniEx settings;
    ASSERT_TRUE(settings.Open((User() / "kvl_motor.ini").string(), false, false, true));
    EXPECT_EQ(settings.GetString("RS485", "Port", ""), "5");
    EXPECT_EQ(settings.GetString("RS485", "Speed", ""), "38400");
    EXPECT_EQ(settings.GetString("Rogging", "MaxList", ""), "6");
    for (const char *name : kParamFiles) {
        SCOPED_TRACE(name);
        // Byte for byte the newer shipped file (in its own code page) with the user's value.
        const std::string expected =
            ReplaceLine(ReadBytes((NewShipped() / name).string()), "Value=50.0000", "Value=12.3400");
        ASSERT_NE(expected, ReadBytes((NewShipped() / name).string()));
        EXPECT_EQ(ReadBytes((User() / name).string()), expected);
    }
    EXPECT_EQ(ReadBytes((User() / "ParamZMDA_CN.ini").string()),
              ReadBytes((NewShipped() / "ParamZMDA_CN.ini").string()));
    EXPECT_EQ(ReadBytes((User() / "Lang_JP.ini").string()), langBefore) << "nothing missing: not rewritten";

    CSystemFolderUpgrade::Report again;
    ASSERT_TRUE(CSystemFolderUpgrade::Run(NewShipped().string(), User().string(), again)) << again.error;
    EXPECT_EQ(again.filesCopied + again.filesMerged + again.keysAdded, 0) << "a second run finds nothing to do";
}

TEST_F(SystemFolderUpgradeTest, CopyOfAReadOnlyShippedFolderBelongsToTheUser)
{
    const fs::path file = OldShipped() / "RogSetting.ini";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    CSystemFolderUpgrade::Report report;
    ASSERT_TRUE(CSystemFolderUpgrade::Run(OldShipped().string(), User().string(), report)) << report.error;
    EXPECT_TRUE((fs::status(User() / "RogSetting.ini").permissions() & fs::perms::owner_write) != fs::perms::none);
    EXPECT_TRUE(fs::is_directory(User() / "JP")) << "subfolders are copied too";
}

TEST_F(SystemFolderUpgradeTest, ProblemsAreReported)
{
    CSystemFolderUpgrade::Report missing;
    EXPECT_FALSE(CSystemFolderUpgrade::Run((m_dir.Path() / "nothing").string(), User().string(), missing));
    EXPECT_NE(missing.error.find("nothing"), std::string::npos) << missing.error;
    EXPECT_FALSE(fs::exists(User())) << "no empty copy is made";

    CSystemFolderUpgrade::Report first;
    ASSERT_TRUE(CSystemFolderUpgrade::Run(OldShipped().string(), User().string(), first));
    ASSERT_TRUE(RemoveLine(User() / "kvl_motor.ini", "MaxList=6"));
    const std::string locked = (User() / "kvl_motor.ini").string();
    if (!test::MakeUnwritable(locked))
        GTEST_SKIP() << "a file cannot be made unwritable here";
    CSystemFolderUpgrade::Report blocked;
    EXPECT_FALSE(CSystemFolderUpgrade::Run(NewShipped().string(), User().string(), blocked));
    test::MakeWritable(locked);
    EXPECT_NE(blocked.error.find("kvl_motor.ini"), std::string::npos) << blocked.error;
}

TEST(SystemFolderUpgrade, CodePageFollowsTheLanguageOfTheName)
{
    const struct {
        const char *name;
        int codePage;
    } cases[] = {
        {"Lang_JP.ini", CIniEx::kCodePageShiftJis}, {"ParamMDA_jp.INI", CIniEx::kCodePageShiftJis},
        {"Lang_CN.ini", CIniEx::kCodePageGbk},      {"ParamXMDC_CN.ini", CIniEx::kCodePageGbk},
        {"Lang_EN.ini", CIniEx::kCodePageWestern},  {"kvl_motor.ini", CIniEx::kCodePageWestern},
        {"JP.ini", CIniEx::kCodePageWestern},       {"x_JP.html", CIniEx::kCodePageWestern},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CSystemFolderUpgrade::CodePageOfFile(c.name), c.codePage) << c.name;
}

} // namespace
} // namespace kvl
