#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <csignal>
#include <sys/resource.h>

#include "PointsTestSupport.h"
#include "config/CCodePage.h"
#include "points/CPointCsv.h"

namespace kvl::points {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::JapaneseLikeTexts;
using test::MakeContext;
using test::RowTexts;

const char *const kHeader = "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Pos Range,P area A,P area B,"
                            "ACC/DCC M,Stop M,Std T,Repeat,Jump,Comment";

CStepTexts EnglishTexts()
{
    CStepTexts t;
    t.columnCaptions = {"NO",       "ABS/INC",  "Position",  "Speed",  "ACC",   "DCC",    "Push", "Thr",  "Pos Range",
                        "P area A", "P area B", "ACC/DCC M", "Stop M", "Std T", "Repeat", "Jump", "Comment"};
    return t;
}

CPointTable Table(int type = 0, bool online = false, const CStepTexts &texts = EnglishTexts())
{
    return CPointTable(CStepRules(MakeContext("MDA", online, type, 2), texts));
}

void PutRow(CPointTable &table, const std::array<std::string, kStepColumnCount> &texts)
{
    const int step = std::stoi(texts[0]);
    table.Working(step).SetRow(texts, table.Rules().Texts());
    table.RefreshRow(step);
}

class PointCsvFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device random;
        m_dir = fs::temp_directory_path() / ("kvl_points_csv_" + std::to_string(random()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string &name) const { return (m_dir / name).string(); }
    static std::string ReadAll(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static void WriteFile(const std::string &path, const std::string &content)
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    size_t FileCount() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

TEST(PointCsv, HeaderLineWritesColumnOneByTheAbsCheckText)
{
    CStepTexts texts = EnglishTexts();
    EXPECT_EQ(CPointCsv::HeaderLine(texts), kHeader);
    texts.checkAbsText = "ABS/INC";
    EXPECT_EQ(CPointCsv::HeaderLine(texts).substr(0, 7), "NO,ABS,");
    texts.checkAbsText = "Absolute";
    EXPECT_EQ(CPointCsv::HeaderLine(texts).substr(0, 7), "NO,INC,");
}

// The table is UTF-8; its file is in the code page of its language, and reads back as it was.
TEST(PointCsv, TheFileIsInTheCodePageOfTheTablesLanguage)
{
    const struct {
        int language;
        int codePage;
        const char *caption;
        const char *comment;
    } cases[] = {{1, kCodePageShiftJis, "位置[mm]", "原点付近で停止"}, {3, kCodePageGbk, "位置[mm]", "在原点附近停止"},
                 {2, kCodePageWestern, "Position [mm]", "stop near home"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.language);
        CStepTexts texts = EnglishTexts();
        texts.language = c.language;
        texts.columnCaptions[kColPosition] = c.caption;
        CPointTable table = Table(0, false, texts);
        PutRow(table, RowTexts(0, "ABS", "12.5", "E", c.comment));
        EXPECT_EQ(CPointCsv::CodePageOf(table), c.codePage);
        const CCodePageText file = CPointCsv::Encode(table);
        EXPECT_EQ(file.CodePage(), c.codePage);
        std::string decoded;
        ASSERT_TRUE(CCodePage::ToUtf8(file.Bytes(), c.codePage, decoded));
        EXPECT_EQ(decoded, CPointCsv::Serialise(table));
        EXPECT_NE(decoded.find(std::string(",") + c.caption + ","), std::string::npos) << decoded;
        if (c.codePage != kCodePageWestern) {
            EXPECT_EQ(file.Bytes().find(c.comment), std::string::npos) << "the comment went out in UTF-8";
        }

        CPointTable loaded = Table(0, false, texts);
        ASSERT_EQ(CPointCsv::LoadText(loaded, file.ToUtf8()), 1);
        EXPECT_EQ(loaded.Working(0).Comment(), c.comment);
    }
}

TEST(PointCsv, DataLineOfAWholeRowSetStep)
{
    CPointTable table = Table();
    PutRow(table, RowTexts(0, "ABS", "12.5", "E"));
    EXPECT_EQ(CPointCsv::DataLine(table, 0), "0,ABS,12.500000,100,0.300000,0.300000,0,0,0.100000,0.000000,0.000000,0,0,0,1,E,");
}

TEST(PointCsv, SerialiseWritesStepsWithAModeCellAndTheRecordsComments)
{
    CPointTable table = Table();
    table.CreateRow(2);
    table.CommitCell(2, kColPosition, "12.5");
    table.CommitCell(2, kColComment, "two");
    PutRow(table, RowTexts(7, "INC", "-1", "3", "seven, with comma"));
    table.SetCell(9, kColComment, "shown but no step"); // a comment cell alone is not a step
    EXPECT_EQ(CPointCsv::Serialise(table),
              std::string(kHeader) + "\r\n" +
                  "2,ABS,12.5,0,0.000000,0.000000,0,0,0.000000,0.000000,0.000000,0,0,0,1,E,two\r\n"
                  "7,INC,-1.000000,100,0.300000,0.300000,0,0,0.100000,0.000000,0.000000,0,0,0,1,3,seven, with comma\r\n");
}

TEST(PointCsv, TokenizerSkipsEmptyTokens)
{
    const struct {
        const char *line;
        std::vector<std::string> tokens;
    } cases[] = {
        {"a,b,c", {"a", "b", "c"}}, {",a,,b,", {"a", "b"}}, {"", {}}, {",,,", {}}, {"a b, c", {"a b", " c"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CPointCsv::Tokenize(c.line), c.tokens) << c.line;
}

struct LoadCase {
    const char *label;
    int type;
    std::string line;
    int step;     // -1: nothing is taken
    std::vector<std::pair<int, std::string>> fields;
};

TEST(PointCsv, LoadTakesOrSkipsEachLineByTheRules)
{
    const std::string longText(500, '4');
    const LoadCase cases[] = {
        {"line without comment", 0, "3,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 3,
         {{kColPosition, "10.000000"}, {kColSpeed, "100"}, {kColJump, "E"}, {kColComment, ""}}},
        {"empty middle field without comment", 0, "3,ABS,,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"empty middle field with comment", 0, "3,ABS,,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,note", 3,
         {{kColPosition, "100.000000"}, {kColSpeed, "0"}, {kColStdTime, "1"}, {kColRepeat, "0"},
          {kColJump, "not"}, {kColComment, ""}}},
        {"step 70 under 64 steps", 0, "70,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"step 70 under 256 steps", 2, "70,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 70, {{kColStep, "70"}}},
        {"negative step", 0, "-1,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"huge step", 0, "99999999999,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"step that wraps to 0 in 32 bits", 0, "4294967296,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"step not a number is skipped", 0, "x,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"step with trailing letters is skipped", 0, "3x,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", -1, {}},
        {"lower-case letter i is not INC", 0, "1,i,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 1, {{kColMode, "ABS"}}},
        {"inc in any case", 0, "1,iNc,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 1, {{kColMode, "INC"}}},
        {"mode I", 0, "1,I,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 1, {{kColMode, "INC"}}},
        {"mode other", 0, "1,X,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 1, {{kColMode, "ABS"}}},
        {"mode language text", 0, "1,Relative,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E", 1, {{kColMode, "INC"}}},
        {"comment holding commas", 0, "5,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,one, two,three", 5,
         {{kColComment, "one, two,three"}, {kColJump, "E"}}},
        {"non-numeric numbers", 0, "6,ABS,ten,fast,S,T,p,t,r,a,b,m,s,st,rep,j,c", 6,
         {{kColPosition, "0.000000"}, {kColSpeed, "0"}, {kColAcc, "0.000000"}, {kColRepeat, "0"},
          {kColJump, "j"}, {kColComment, "c"}}},
        {"fields far longer than the storage", 0,
         "7,ABS," + longText + "," + longText + ",1," + longText + ",0,0,1,0,0,0,0,0,1," + longText + "," + longText, 7,
         {{kColSpeed, "2147483647"}, {kColDcc, "999999999999.000000"}, {kColPosition, "999999999999.000000"},
          {kColJump, "444"}, {kColComment, longText}}},
        {"jump 64 under type 0", 0, "8,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,64", 8, {{kColJump, "64"}}},
        {"integer fields saturate", 0, "9,ABS,10,100,0.3,0.3,0,0,0.1,0,300,-4,0,999,1,E", 9,
         {{kColAccDecMode, "0"}, {kColStopMode, "0"}, {kColStdTime, "999"}, {kColPAreaB, "300.000000"}}},
        {"too few fields", 0, "9,ABS,10,100", -1, {}},
        {"a NUL byte ends the line", 0, "2,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,\0E,c"s, -1, {}},
    };
    for (const LoadCase &c : cases) {
        CStepTexts texts = EnglishTexts();
        texts.modeTexts = {"Absolute", "Relative"};
        CPointTable table = Table(c.type, false, texts);
        EXPECT_EQ(CPointCsv::LoadText(table, std::string(kHeader) + "\r\n" + c.line + "\r\n"), c.step < 0 ? 0 : 1)
            << c.label;
        if (c.step < 0) {
            for (int s = 0; s < table.StepCount(); ++s)
                ASSERT_TRUE(table.Working(s).IsEmpty()) << c.label;
            continue;
        }
        const CKVL_VER2_ProgData &record = table.Working(c.step);
        EXPECT_FALSE(record.IsEmpty()) << c.label;
        for (const auto &[column, text] : c.fields)
            EXPECT_EQ(record.FieldText(column), text) << c.label << " column " << column;
        for (int k = kColMode; k < kStepColumnCount; ++k)
            EXPECT_LE(record.FieldText(k).size(), k == kColComment ? std::string::npos : size_t{19}) << c.label;
    }
}

TEST(PointCsv, LoadedRowsShowTheirTextFormAndMarks)
{
    CPointTable table = Table(0, false, JapaneseLikeTexts());
    table.CreateRow(20);
    ASSERT_EQ(CPointCsv::LoadText(table, "header\r\n"
                                         "3,INC,10,100,0.3,0.3,0,0,0.1,0,0,1,4,0,1,64,note\r\n"
                                         "3,ABS,11,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E\r\n"
                                         "4,ABS,12,100,0.3,0.3,0,0,0.1,0,0,1,4,0,1,64,note\r\n"),
              3);
    EXPECT_TRUE(table.Working(20).IsEmpty()) << "loading starts from an empty table";
    EXPECT_EQ(table.Cell(20, kColMode), "");
    EXPECT_EQ(table.Working(3).FieldText(kColPosition), "11.000000") << "a later line replaces an earlier one";
    EXPECT_EQ(table.Cell(4, kColMode), "Absolute");
    EXPECT_EQ(table.Cell(4, kColPosition), "12.0000");
    EXPECT_EQ(table.Cell(4, kColAccDecMode), "S-curve");
    EXPECT_EQ(table.Cell(4, kColStopMode), "Push-stop");
    EXPECT_EQ(table.Cell(4, kColJump), "64");
    EXPECT_EQ(table.Cell(4, kColComment), "note");
    EXPECT_TRUE(table.Marked(4, kColPosition));
    EXPECT_FALSE(table.Marked(4, kColComment));

    // Editing the jump read from the file limits it to the last step.
    EXPECT_EQ(table.CommitCell(4, kColJump, table.Cell(4, kColJump)).text, "63");
}

TEST(PointCsv, LoadKeepsTheDriverCopyAndMarksAgainstIt)
{
    CPointTable table = Table(0, true);
    table.ImportReadLines("1,A,10.0000,100.00,0.3,0.3,0,0,0.1000,0.0000,0.0000,0,0,0,1,0\n");
    ASSERT_EQ(CPointCsv::LoadText(table, "h\r\n"
                                         "0,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,same\r\n"
                                         "1,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,new\r\n"),
              2);
    EXPECT_FALSE(table.Driver(0).IsEmpty());
    EXPECT_EQ(table.Driver(0).Comment(), "");
    EXPECT_FALSE(table.Marked(0, kColPosition));
    EXPECT_FALSE(table.Marked(0, kColComment));
    EXPECT_TRUE(table.Marked(1, kColPosition));
    EXPECT_TRUE(table.Marked(1, kColComment)) << "step empty in the driver copy";
}

TEST(PointCsv, HeaderOnlyEmptyAndOddLineEnds)
{
    const struct {
        const char *label;
        std::string content;
        int taken;
    } cases[] = {
        {"header only", std::string(kHeader) + "\r\n", 0},
        {"header without line end", kHeader, 0},
        {"empty file", "", 0},
        {"CR-only line ends", "h\r1,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E\r2,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E\r", 2},
        {"LF-only line ends", "h\n1,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E\n2,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E", 2},
        {"blank lines", "h\r\n\r\n\n1,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E\r\n\r\n", 1},
        {"first line is always the header", "1,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E\r\n", 0},
        {"invalid bytes and NULs", std::string("h\r\n2,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E,\xff\xfe\x81\r\n") +
                                       "3,A\0BS,1,1,1,1,0,0,1,0,0,0,0,0,1,E\r\n"s,
         1},
    };
    for (const auto &c : cases) {
        CPointTable table = Table();
        table.CreateRow(0);
        EXPECT_EQ(CPointCsv::LoadText(table, c.content), c.taken) << c.label;
        EXPECT_EQ(table.StepCount(), 64) << c.label;
        if (c.taken == 0) {
            EXPECT_TRUE(table.Working(0).IsEmpty()) << c.label;
        }
    }
    CPointTable table = Table(0, false, JapaneseLikeTexts());
    ASSERT_EQ(CPointCsv::LoadText(table, "h\r\n3,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,\x82\x82\x82\x82,a,\x81\0x,y\r\n"
                                         "4,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E,\xff\xfe\x81\r\n"s),
              2);
    EXPECT_EQ(table.Working(3).Jump(), "\x82\x82") << "a Shift-JIS pair is not split";
    EXPECT_EQ(table.Working(3).Comment(), "a,\x81") << "the line ends at the NUL byte";
    EXPECT_EQ(table.Working(4).Comment(), "\xff\xfe\x81") << "bytes are kept as they are";
}

TEST_F(PointCsvFile, SaveWritesTheFileAndLeavesNoTemporaryFile)
{
    CPointTable table = Table();
    PutRow(table, RowTexts(0, "ABS", "12.5", "E"));
    const std::string path = PathOf("table.csv");
    WriteFile(path, "previous content that is longer than the new one ..........................................");
    ASSERT_TRUE(CPointCsv::Save(table, path));
    EXPECT_EQ(ReadAll(path), CPointCsv::Serialise(table));
    EXPECT_EQ(ReadAll(path), std::string(kHeader) +
                                 "\r\n0,ABS,12.500000,100,0.300000,0.300000,0,0,0.100000,0.000000,0.000000,0,0,0,1,E,\r\n");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(PointCsvFile, SaveFailureIsReportedAndKeepsThePreviousFile)
{
    CPointTable table = Table();
    PutRow(table, RowTexts(0, "ABS", "12.5", "E"));
    EXPECT_FALSE(CPointCsv::Save(table, PathOf("missing/table.csv")));
    EXPECT_FALSE(fs::exists(PathOf("missing")));

    fs::create_directories(PathOf("folder/inner"));
    EXPECT_FALSE(CPointCsv::Save(table, PathOf("folder")));
    EXPECT_TRUE(fs::is_directory(PathOf("folder/inner")));
    EXPECT_EQ(FileCount(), 1u) << "no temporary file is left behind";
}

TEST_F(PointCsvFile, WriteFailurePartWayKeepsThePreviousFile)
{
    CPointTable table = Table(3);
    for (int s = 0; s < 512; ++s)
        PutRow(table, RowTexts(s, "ABS", std::to_string(s), "E", "a comment long enough to need several kilobytes"));
    const std::string path = PathOf("table.csv");
    const std::string previous = "header\r\n0,ABS,1,1,1,1,0,0,1,0,0,0,0,0,1,E,previous\r\n";
    WriteFile(path, previous);

    // A file-size limit makes the write fail after the first kilobytes, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = CPointCsv::Save(table, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ReadAll(path), previous);
    EXPECT_EQ(FileCount(), 1u) << "the partial temporary file is removed";
    ASSERT_TRUE(CPointCsv::Save(table, path)) << "without the limit the same save succeeds";
    EXPECT_GT(ReadAll(path).size(), 4096u);
}

TEST_F(PointCsvFile, SaveThroughALinkReplacesTheLinkedFile)
{
    CPointTable table = Table();
    PutRow(table, RowTexts(1, "INC", "1", "E"));
    const std::string real = PathOf("real.csv");
    WriteFile(real, "old");
    fs::create_symlink(real, PathOf("link.csv"));
    ASSERT_TRUE(CPointCsv::Save(table, PathOf("link.csv")));
    EXPECT_TRUE(fs::is_symlink(PathOf("link.csv")));
    EXPECT_EQ(ReadAll(real), CPointCsv::Serialise(table));
}

TEST_F(PointCsvFile, LoadReportsOpenFailuresAndLeavesTheTableAlone)
{
    CPointTable table = Table();
    table.CreateRow(1);
    EXPECT_EQ(CPointCsv::Load(table, PathOf("absent.csv")), CsvLoadResult::NotFound);
    EXPECT_FALSE(table.Working(1).IsEmpty());
    fs::create_directories(PathOf("dir.csv"));
    EXPECT_EQ(CPointCsv::Load(table, PathOf("dir.csv")), CsvLoadResult::Failed);
    EXPECT_FALSE(table.Working(1).IsEmpty());
    EXPECT_EQ(CPointCsv::LoadFailureMessage(CsvLoadResult::NotFound),
              (StepMessage{"IDS_ERRMSG_FILENOTFOUND", "Common"}));
    EXPECT_EQ(CPointCsv::LoadFailureMessage(CsvLoadResult::InUse),
              (StepMessage{"IDS_ERRMSG_FILEHAVEOPENED", "Common"}));
    EXPECT_EQ(CPointCsv::LoadFailureMessage(CsvLoadResult::Failed),
              (StepMessage{"IDS_ERRMSG_FILEOPRATIONFAIL", "Common"}));
}

TEST_F(PointCsvFile, RoundTripOf512StepsWithEveryFieldType)
{
    const CStepTexts texts = EnglishTexts();
    CPointTable table = Table(3, false, texts);
    ASSERT_EQ(table.StepCount(), 512);
    for (int s = 0; s < 512; ++s) {
        const std::array<std::string, kStepColumnCount> row = {
            std::to_string(s),
            s % 3 == 0 ? "INC" : "ABS",
            std::to_string((s - 256) * 37.1234),
            std::to_string(1 + s % 9999),
            std::to_string(0.1 + (s % 99) * 0.1),
            std::to_string(9.9 - (s % 98) * 0.1),
            std::to_string(s % 301),
            std::to_string(s % 71),
            std::to_string(-999.9999 + s * 3.9),
            std::to_string(-9999.9999 + s * 39.0),
            std::to_string(9999.9999 - s * 39.0),
            std::to_string(s % 2),
            std::to_string(s % 5),
            std::to_string((s * 97) % 10001),
            std::to_string(1 + s % 99),
            s % 7 == 0 ? "E" : std::to_string((s * 13) % 512),
            s % 4 == 0 ? "" : "comment " + std::to_string(s) + (s % 5 == 0 ? ", with a comma" : ""),
        };
        PutRow(table, row);
    }
    const std::string path = PathOf("round.csv");
    ASSERT_TRUE(CPointCsv::Save(table, path));

    CPointTable loaded = Table(3, false, texts);
    ASSERT_EQ(CPointCsv::Load(loaded, path), CsvLoadResult::Loaded);
    for (int s = 0; s < 512; ++s) {
        ASSERT_TRUE(loaded.Working(s).Equals(table.Working(s))) << "step " << s << ": "
                                                                << CPointCsv::DataLine(loaded, s) << " vs "
                                                                << CPointCsv::DataLine(table, s);
        for (int k = 0; k < kStepColumnCount; ++k)
            ASSERT_EQ(loaded.Cell(s, k), table.Cell(s, k)) << "step " << s << " column " << k;
    }
}

TEST(PointCsv, LoadingUnderAnotherTypeDropsStepsBeyondItsCount)
{
    CPointTable big = Table(2);
    PutRow(big, RowTexts(2, "ABS", "1", "E"));
    PutRow(big, RowTexts(200, "ABS", "2", "150"));
    CPointTable small = Table(4);
    EXPECT_EQ(CPointCsv::LoadText(small, CPointCsv::Serialise(big)), 1);
    EXPECT_EQ(small.StepCount(), 7);
    EXPECT_FALSE(small.Working(2).IsEmpty());
}

TEST(PointCsv, DefaultExtension)
{
    EXPECT_EQ(CPointCsv::WithDefaultExtension("/tmp/table"), "/tmp/table.csv");
    EXPECT_EQ(CPointCsv::WithDefaultExtension("/tmp/table.txt"), "/tmp/table.txt");
    EXPECT_EQ(CPointCsv::WithDefaultExtension("/tmp/table.csv"), "/tmp/table.csv");
}

} // namespace
} // namespace kvl::points
