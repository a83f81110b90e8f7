// Writing: changes, write-back byte for byte, the replace-by-rename save, files that cannot be
// opened or written, and the system folder path.
#include "config/CIniEx.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>

#include "TestFiles.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using namespace std::string_literals;

struct Change {
    std::string section;
    std::string key;
    std::string value;
};

struct WriteCase {
    const char *name;
    std::string before;
    std::vector<Change> changes;
    std::string after;
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const WriteCase &c, std::ostream *out)
{
    *out << c.name;
}

class WriteBackTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteBackTest, WritesTheExpectedBytes)
{
    const WriteCase &c = GetParam();
    TempDir dir;
    const std::string path = dir.File("file.ini");
    WriteBytes(path, c.before);
    CIniEx ini;
    ASSERT_TRUE(ini.Open(path, false, false, true));
    for (const Change &change : c.changes)
        ini.SetString(change.section, change.key, change.value);
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(path), c.after);
}

const WriteCase kWriteCases[] = {
    {"CommentGetsEquals", "; comment\n[S]\nk=1\n", {{"S", "k", "2"}},
     "; comment=\r\n[S]\r\nk=2\r\n"},
    {"BlankLinesStayBlank", "[S]\n\nk=1\n\n[T]\nx=1\n", {{"T", "x", "5"}},
     "[S]\r\n\r\nk=1\r\n\r\n[T]\r\nx=5\r\n"},
    {"NewKeyAtEndOfSection", "[S]\nk=1\n[T]\nx=1\n", {{"S", "new", "3"}},
     "[S]\r\nk=1\r\nnew=3\r\n[T]\r\nx=1\r\n"},
    {"NewSectionAtEnd", "[S]\nk=1", {{"U", "a", "b"}}, "[S]\r\nk=1\r\n[U]\r\na=b\r\n"},
    {"EmptyHeaderLineDropped", "[A]\n[B]\nk=1\n", {{"B", "k", "2"}}, "[B]\r\nk=2\r\n"},
    {"OnlyLastDuplicateChanged", "[S]\nk=1\nk=2\n[S]\nk=3\n", {{"S", "k", "9"}},
     "[S]\r\nk=1\r\nk=9\r\n[S]\r\nk=3\r\n"},
    {"InlineNoteKept", "[S]\nk=1 ;note\nj=0\n", {{"S", "j", "1"}},
     "[S]\r\nk=1 ;note\r\nj=1\r\n"},
    {"ReplacedValueLosesItsNote", "[S]\nk=1 ;note\n", {{"S", "k", "2"}}, "[S]\r\nk=2\r\n"},
    {"LineStartingWithEqualsKept", "=5\n[S]\nk=1\n", {{"S", "k", "2"}},
     "=5\r\n[S]\r\nk=2\r\n"},
    {"BlankBeforeEqualsIsAnotherKey", "[S]\nk = 1\n", {{"S", "k", "2"}},
     "[S]\r\nk = 1\r\nk=2\r\n"},
    {"KeySpellingKept", "[Common]\nKey=1\n", {{"COMMON", "key", "2"}}, "[Common]\r\nKey=2\r\n"},
    {"CaseOnlyChangeWritten", "[S]\nk=abc\n", {{"S", "k", "ABC"}}, "[S]\r\nk=ABC\r\n"},
    {"SectionZeroGetsNoHeader", "a=1\n[S]\nk=1\n", {{"", "a", "2"}}, "a=2\r\n[S]\r\nk=1\r\n"},
    {"TrailingEmptyHeaderDropped", "a=1\n[S]\n", {{"", "a", "2"}}, "a=2\r\n"},
    {"AppendToSectionZero", "[S]\nk=1\n", {{"", "top", "1"}}, "top=1\r\n[S]\r\nk=1\r\n"},
    {"CrOnlyFileBecomesOneLine", "[S]\rk=1\r", {{"S", "k", "1"}},
     "[S]\rk=1\r\n[S]\r\nk=1\r\n"},
    {"NulBytesKept", "[S]\nk=a\0b\n"s, {{"S", "j", "1"}}, "[S]\r\nk=a\0b\r\nj=1\r\n"s},
    {"DoubleByteTextKept", "[\x93\xfa]\n\x83\x61=\x82\xa0;x\n", {{"\x93\xfa", "n", "1"}},
     "[\x93\xfa]\r\n\x83\x61=\x82\xa0;x\r\nn=1\r\n"},
    {"SeveralChanges", "[S]\nk=1\n", {{"S", "k", "2"}, {"T", "a", "1"}, {"S", "j", "3"}},
     "[S]\r\nk=2\r\nj=3\r\n[T]\r\na=1\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, WriteBackTest, ::testing::ValuesIn(kWriteCases),
                         [](const auto &info) { return std::string(info.param.name); });

// AddMissing: what a newer file has and this one lacks is appended with the newer bytes; what this
// one has stays byte for byte (values, spelling, order, duplicates).
struct MergeCase {
    const char *name;
    std::string mine;
    std::string newer;
    int codePage;
    int added;
    std::string after;   // empty: the file is not rewritten
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const MergeCase &c, std::ostream *out)
{
    *out << c.name;
}

class AddMissingTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(AddMissingTest, AddsOnlyWhatIsMissing)
{
    const MergeCase &c = GetParam();
    TempDir dir;
    const std::string path = dir.File("file.ini");
    WriteBytes(path, c.mine);
    CIniEx newer;
    newer.SetCodePage(c.codePage);
    newer.LoadText(c.newer, true);
    CIniEx ini;
    ini.SetCodePage(c.codePage);
    ASSERT_TRUE(ini.Open(path, false, false, true));
    EXPECT_EQ(ini.AddMissing(newer), c.added);
    EXPECT_EQ(ini.IsChanged(), c.added > 0);
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(path), c.after.empty() ? c.mine : c.after);
}

const MergeCase kMergeCases[] = {
    {"NothingMissing", "[RS485]\r\nPort=3\r\nSpeed=57600\r\n", "[RS485]\r\nPort=0\r\nSpeed=115200\r\n",
     CIniEx::kCodePageWestern, 0, ""},
    {"UserValuesStayNewKeyAppended", "[RS485]\r\nPort=3\r\n[Debug]\r\nLevel=10\r\n",
     "[RS485]\r\nPort=0\r\nSpeed=115200\r\n[Debug]\r\nLevel=0\r\n", CIniEx::kCodePageWestern, 1,
     "[RS485]\r\nPort=3\r\nSpeed=115200\r\n[Debug]\r\nLevel=10\r\n"},
    {"MissingSectionAppendedWhole", "[A]\r\nk=1\r\n", "[A]\r\nk=2\r\n[B]\r\nx=1\r\ny=;note\r\n",
     CIniEx::kCodePageWestern, 2, "[A]\r\nk=1\r\n[B]\r\nx=1\r\ny=;note\r\n"},
    {"KeyCaseIgnored", "[rs485]\r\nport=3\r\n", "[RS485]\r\nPort=0\r\n", CIniEx::kCodePageWestern, 0, ""},
    {"EmptyUserValueIsAValue", "[S]\r\nk=\r\n", "[S]\r\nk=5\r\n", CIniEx::kCodePageWestern, 0, ""},
    {"CommentsAndBlankLinesNotCopied", "[S]\r\nk=1\r\n", "; about S\r\n[S]\r\n\r\n# old\r\nk=2\r\nj=3\r\n",
     CIniEx::kCodePageWestern, 1, "[S]\r\nk=1\r\nj=3\r\n"},
    {"UnnamedPartGetsItsKeysFirst", "[S]\r\nk=1\r\n", "top=1\r\n[S]\r\nk=1\r\n", CIniEx::kCodePageWestern, 1,
     "top=1\r\n[S]\r\nk=1\r\n"},
    // Shift-JIS: a trail byte that looks like "a" (0x61) is not folded, so "\x83\x61" and "\x83\x41"
    // are two keys; the added bytes are the newer file's, unconverted.
    {"DoubleByteKeysComparedExactly", "[\x93\xfa]\r\n\x83\x61=\x82\xa0\r\n",
     "[\x93\xfa]\r\n\x83\x61=\x82\xa2\r\n\x83\x41=\x82\xa4\r\n", CIniEx::kCodePageShiftJis, 1,
     "[\x93\xfa]\r\n\x83\x61=\x82\xa0\r\n\x83\x41=\x82\xa4\r\n"},
    {"LfOnlyUserFileKeepsItsLinesWhenNothingIsAdded", "[S]\nk=1\n", "[S]\r\nk=2\r\n", CIniEx::kCodePageWestern,
     0, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, AddMissingTest, ::testing::ValuesIn(kMergeCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Changes that could not be read back as the same entry are refused and leave the file alone.
TEST(CIniExWrite, RefusesTextsThatWouldBreakTheFile)
{
    const std::vector<Change> refused = {
        {"S", "k", "a\nb"}, {"S", "k", "a\rb"}, {"S", "k\n", "1"},     {"S\r\n[T]", "k", "1"},
        {"S", "a=b", "1"},  {"S", "[x", "y]"},  {"New\nSection", "k", "1"},
    };
    for (const Change &change : refused) {
        TempDir dir;
        const std::string path = dir.File("f.ini");
        WriteBytes(path, "[S]\nk=1\n");
        CIniEx ini;
        ASSERT_TRUE(ini.Open(path, true, false, true));
        ini.SetString(change.section, change.key, change.value);
        EXPECT_FALSE(ini.IsChanged()) << change.key << "=" << change.value;
        EXPECT_EQ(ini.GetString("S", "k", ""), "1");
    }
}

TEST(CIniExWrite, UnchangedStoreWritesNothing)
{
    TempDir dir;
    const std::string path = dir.File("f.ini");
    WriteBytes(path, "[S]\nk=1\n");
    {
        CIniEx ini;
        ASSERT_TRUE(ini.Open(path, true, false, true));
        ini.SetString("S", "k", "1"); // same value: no change
        EXPECT_FALSE(ini.IsChanged());
        EXPECT_TRUE(ini.Save());
    }
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");
}

TEST(CIniExWrite, ClosedStoreIgnoresChanges)
{
    TempDir dir;
    CIniEx ini;
    EXPECT_FALSE(ini.Open(dir.File("missing.ini"), true, false, true));
    ini.SetString("S", "k", "1");
    EXPECT_FALSE(ini.IsChanged());
    EXPECT_EQ(ini.GetString("S", "k", "d"), "d");
    EXPECT_TRUE(ini.Save());
    EXPECT_FALSE(fs::exists(dir.File("missing.ini")));
}

TEST(CIniExWrite, SaveOnCloseDecidesWhatTheDestructorDoes)
{
    for (bool saveOnClose : {true, false}) {
        TempDir dir;
        const std::string path = dir.File("f.ini");
        WriteBytes(path, "[S]\nk=1\n");
        {
            CIniEx ini;
            ASSERT_TRUE(ini.Open(path, saveOnClose, false, true));
            ini.SetString("S", "k", "2");
        }
        EXPECT_EQ(ReadBytes(path), saveOnClose ? "[S]\r\nk=2\r\n" : "[S]\nk=1\n");
    }
}

TEST(CIniExWrite, ClearDropsChangesWithoutWriting)
{
    TempDir dir;
    const std::string path = dir.File("f.ini");
    WriteBytes(path, "[S]\nk=1\n");
    {
        CIniEx ini;
        ASSERT_TRUE(ini.Open(path, true, false, true));
        ini.SetString("S", "k", "2");
        ini.Clear();
        EXPECT_FALSE(ini.IsOpen());
        EXPECT_EQ(ini.GetString("S", "k", "d"), "d");
    }
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");
}

TEST(CIniExWrite, OpeningAnotherFileSavesTheFirst)
{
    TempDir dir;
    WriteBytes(dir.File("a.ini"), "[S]\nk=1\n");
    WriteBytes(dir.File("b.ini"), "[S]\nk=b\n");
    CIniEx ini;
    ASSERT_TRUE(ini.Open(dir.File("a.ini"), false, false, true));
    ini.SetString("S", "k", "2");
    ASSERT_TRUE(ini.Open(dir.File("b.ini"), false, false, true));
    EXPECT_EQ(ReadBytes(dir.File("a.ini")), "[S]\r\nk=2\r\n");
    EXPECT_EQ(ini.GetString("S", "k", ""), "b");
    EXPECT_FALSE(ini.IsChanged());
    EXPECT_EQ(ini.Path(), dir.File("b.ini"));
}

TEST(CIniExWrite, MovedStoreSavesOnce)
{
    TempDir dir;
    const std::string path = dir.File("f.ini");
    WriteBytes(path, "[S]\nk=1\n");
    {
        CIniEx first;
        ASSERT_TRUE(first.Open(path, true, false, true));
        first.SetString("S", "k", "2");
        CIniEx second(std::move(first));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_TRUE(second.IsChanged());
        first.SetString("S", "k", "3"); // closed now: ignored
    }
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
}

TEST(CIniExWrite, SaveReplacesTheFileInsteadOfTruncatingIt)
{
    TempDir dir;
    const std::string path = dir.File("f.ini");
    WriteBytes(path, "[S]\nk=1\n");
    ::chmod(path.c_str(), 0640);
    // A second name of the old file: it keeps the old content only if the new file was written
    // beside it and renamed over it.
    fs::create_hard_link(path, dir.File("old-copy.ini"));

    CIniEx ini;
    ASSERT_TRUE(ini.Open(path, false, false, true));
    ini.SetString("S", "k", "2");
    ASSERT_TRUE(ini.Save());
    EXPECT_FALSE(ini.IsChanged());

    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
    EXPECT_EQ(ReadBytes(dir.File("old-copy.ini")), "[S]\nk=1\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::vector<std::string> names;
    for (const auto &item : fs::directory_iterator(dir.Path()))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"f.ini", "old-copy.ini"}));
}

TEST(CIniExWrite, SaveThroughALinkKeepsTheLink)
{
    TempDir dir;
    fs::create_directory(dir.Path() / "real");
    const std::string target = (dir.Path() / "real" / "f.ini").string();
    WriteBytes(target, "[S]\nk=1\n");
    fs::create_symlink(target, dir.File("link.ini"));

    CIniEx ini;
    ASSERT_TRUE(ini.Open(dir.File("link.ini"), false, false, true));
    ini.SetString("S", "k", "2");
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(ReadBytes(target), "[S]\r\nk=2\r\n");
}

TEST(CIniExWrite, UnwritableFolderFailsQuietlyAndKeepsTheChange)
{
    TempDir dir;
    const std::string path = dir.File("f.ini");
    WriteBytes(path, "[S]\nk=1\n");
    CIniEx ini;
    ASSERT_TRUE(ini.Open(path, false, false, true));
    ini.SetString("S", "k", "2");
    if (!test::MakeUnwritable(dir.Path().string()))
        GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_FALSE(ini.Save());
    test::MakeWritable(dir.Path().string());
    EXPECT_TRUE(ini.IsChanged());
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
}

TEST(CIniExWrite, VanishedFolderFailsQuietly)
{
    TempDir dir;
    fs::create_directory(dir.Path() / "sub");
    const std::string path = (dir.Path() / "sub" / "f.ini").string();
    WriteBytes(path, "[S]\nk=1\n");
    CIniEx ini;
    ASSERT_TRUE(ini.Open(path, true, false, true));
    ini.SetString("S", "k", "2");
    fs::remove_all(dir.Path() / "sub");
    EXPECT_FALSE(ini.Save());
    EXPECT_FALSE(fs::exists(dir.Path() / "sub"));
}

TEST(CIniExOpen, UnwritableFileCountsAsMissing)
{
    TempDir dir;
    const std::string path = dir.File("f.ini");
    WriteBytes(path, "[S]\nk=1\n");
    if (!test::MakeUnwritable(path))
        GTEST_SKIP() << "cannot make a file unwritable here";
    CIniEx ini;
    const bool opened = ini.Open(path, true, false, true);
    test::MakeWritable(path);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_EQ(ini.GetString("S", "k", "d"), "d");
}

TEST(CIniExOpen, CreateIfMissing)
{
    TempDir dir;
    CIniEx ini;
    EXPECT_FALSE(ini.Open(dir.File("new.ini"), false, false, true));
    EXPECT_FALSE(fs::exists(dir.File("new.ini")));
    ASSERT_TRUE(ini.Open(dir.File("new.ini"), false, true, true));
    EXPECT_TRUE(fs::exists(dir.File("new.ini")));
    ini.SetString("S", "k", "1");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(dir.File("new.ini")), "[S]\r\nk=1\r\n");
}

TEST(CIniExOpen, RefusesWhatIsNotAFile)
{
    TempDir dir;
    CIniEx ini;
    EXPECT_FALSE(ini.Open(dir.Path().string(), false, true, true));
    EXPECT_FALSE(ini.Open("", false, true, true));
    EXPECT_FALSE(ini.Open(dir.File("no/such/folder.ini"), false, true, true));
    EXPECT_FALSE(ini.IsOpen());
}

TEST(CIniExOpen, FailedOpenClosesThePreviousFileAfterSaving)
{
    TempDir dir;
    WriteBytes(dir.File("a.ini"), "[S]\nk=1\n");
    CIniEx ini;
    ASSERT_TRUE(ini.Open(dir.File("a.ini"), false, false, true));
    ini.SetString("S", "k", "2");
    EXPECT_FALSE(ini.Open(dir.File("missing.ini"), false, false, true));
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_EQ(ini.GetString("S", "k", "d"), "d");
    EXPECT_EQ(ReadBytes(dir.File("a.ini")), "[S]\r\nk=2\r\n");
}

class SystemFolderTest : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(SystemFolderTest, DefaultProgramFolderIsTheExecutablesFolder)
{
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(CIniEx::ProgramFolder(), exe.parent_path().string());
    EXPECT_EQ(CIniEx::DefaultSystemFolder(), (exe.parent_path() / "system").string());
}

TEST_F(SystemFolderTest, BuildsThePathWithAndWithoutSubfolder)
{
    const fs::path system = m_dir.Path() / "system";
    fs::create_directories(system / "jp");
    WriteBytes((system / "a.ini").string(), "[S]\nk=top\n");
    WriteBytes((system / "jp" / "a.ini").string(), "[S]\nk=sub\n");

    CIniEx ini;
    ASSERT_TRUE(ini.OpenInSystemFolder(system.string(), "a.ini", "", true, false, true));
    EXPECT_EQ(ini.GetString("S", "k", ""), "top");
    ASSERT_TRUE(ini.OpenInSystemFolder(system.string(), "a.ini", "jp", true, false, true));
    EXPECT_EQ(ini.GetString("S", "k", ""), "sub");
    EXPECT_EQ(ini.Path(), (system / "jp" / "a.ini").string());
    EXPECT_FALSE(ini.OpenInSystemFolder(system.string(), "", "", true, false, true));
    EXPECT_FALSE(ini.IsOpen());
}

TEST_F(SystemFolderTest, AnyGivenFolderServesAsTheSystemFolder)
{
    WriteBytes(m_dir.File("a.ini"), "[S]\nk=1\n");
    CIniEx ini;
    EXPECT_TRUE(ini.OpenInSystemFolder(m_dir.Path().string(), "a.ini", "", true, false, true));
    EXPECT_EQ(ini.Path(), (m_dir.Path() / "a.ini").string());
    EXPECT_NE(CIniEx::DefaultSystemFolder(), m_dir.Path().string()) << "opening elsewhere changes no default";
}

TEST_F(SystemFolderTest, MissingSystemFolderFailsQuietly)
{
    CIniEx ini;
    EXPECT_FALSE(ini.OpenInSystemFolder((m_dir.Path() / "system").string(), "kvl_motor.ini", "", true, false,
                                        true));
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_EQ(ini.GetInt("Debug", "Level", 5), 5);
}

} // namespace
} // namespace kvl
