// The waveform CSV file: exact bytes of a save, saving through a temporary file, loading as extra
// series, and what malformed files give.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <cmath>
#include <iterator>
#include <random>

#include "base/TextNumber.h"
#include "waveform/CWaveColourRandom.h"
#include "waveform/CWaveCsv.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl::test {
namespace {
namespace fs = std::filesystem;

using LoadStatus = CWaveCsv::LoadStatus;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "wavecsv.XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    std::string File(const std::string &name) const { return (fs::path(m_path) / name).string(); }
    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A series whose points are given as shown, offsets included.
CWaveSeries MakeSeries(int mode, std::vector<WavePoint> points, double xOffset = 0.0, double yOffset = 0.0)
{
    CWaveSeries series("s", 0, mode);
    series.SetXOffset(xOffset);
    series.SetYOffset(yOffset);
    for (const WavePoint &point : points)
        series.Append(point.x, point.y);
    return series;
}

// ---- Save ---------------------------------------------------------------------------------------

TEST(WaveCsvTest, SavedLinesFollowTheFormat)
{
    struct Case {
        const char *name;
        CWaveSeries series0;
        CWaveSeries series1;
        const char *bytes;
    };
    const Case cases[] = {
        {"CH1 at mode 0 writes 0.00",
         MakeSeries(4, {{1, 1.5}, {2, 2.25}, {3, -0.125}}),
         MakeSeries(0, {}),
         "No,Time,CH0-4,CH1-0\r\n0,1.00,1.50,0.00\r\n1,2.00,2.25,0.00\r\n2,3.00,-0.12,0.00\r\n"},
        {"values lose their y offset, times keep the x offset",
         MakeSeries(7, {{6, 11}, {7, 12.5}}, 5.0, 10.0),
         MakeSeries(1, {{6, -2}, {7, -3}}, 5.0, -0.5),
         "No,Time,CH0-7,CH1-1\r\n0,6.00,1.00,-1.50\r\n1,7.00,2.50,-2.50\r\n"},
        {"CH0 at mode 0 takes times and row count from CH1",
         MakeSeries(0, {}),
         MakeSeries(2, {{1.005, 0.004}, {2, 99999.999}}),
         "No,Time,CH0-0,CH1-2\r\n0,1.00,0.00,0.00\r\n1,2.00,0.00,100000.00\r\n"},
        {"CH0 at mode 0 with points still writes zeros",
         MakeSeries(0, {{1, 5}}),
         MakeSeries(8, {{9, 3}}),
         "No,Time,CH0-0,CH1-8\r\n0,9.00,0.00,3.00\r\n"},
        {"rows follow CH0; CH1's missing points read 0 before the offset",
         MakeSeries(5, {{1, 1}, {2, 2}}),
         MakeSeries(6, {{1, 7}}, 0.0, 4.0),
         "No,Time,CH0-5,CH1-6\r\n0,1.00,1.00,3.00\r\n1,2.00,2.00,-4.00\r\n"},
        {"nothing captured: the header alone", MakeSeries(4, {}), MakeSeries(7, {}), "No,Time,CH0-4,CH1-7\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CWaveCsv::Serialise(c.series0, c.series1, CCodePageText("Time", kCodePageWestern)), c.bytes);
    }
}

TEST(WaveCsvTest, TheTimeCaptionKeepsItsCodePageBytes)
{
    // The Japanese caption as the language file holds it (CP932).
    const CCodePageText caption("\x8E\x9E\x8A\xD4(ms)", kCodePageShiftJis);
    const std::string bytes = CWaveCsv::Serialise(MakeSeries(4, {{1, 1}}), MakeSeries(0, {}), caption);
    EXPECT_EQ(bytes, "No,\x8E\x9E\x8A\xD4(ms),CH0-4,CH1-0\r\n0,1.00,1.00,0.00\r\n");
}

TEST(WaveCsvTest, SaveReplacesTheFileWholeAndKeepsItsPermissions)
{
    TempFolder folder;
    const std::string path = folder.File("run.csv");
    CWaveSeriesList list;
    list.Live(0).Append(1, 2);
    list.Live(1).Append(1, 3);

    const mode_t previous = ::umask(022);
    ASSERT_TRUE(CWaveCsv::Save(path, list, CCodePageText("Time", kCodePageWestern)));
    ::umask(previous);
    EXPECT_EQ(ReadBytes(path), CWaveCsv::Serialise(list.Live(0), list.Live(1), CCodePageText("Time", kCodePageWestern)));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    list.Live(0).Append(2, 4);
    list.Live(1).Append(2, 5);
    ASSERT_TRUE(CWaveCsv::Save(path, list, CCodePageText("Time", kCodePageWestern)));
    EXPECT_EQ(ReadBytes(path), "No,Time,CH0-4,CH1-7\r\n0,1.00,2.00,3.00\r\n1,2.00,4.00,5.00\r\n");
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1)
        << "no temporary file left behind";
}

TEST(WaveCsvTest, FailedSavesAreReportedAndLeaveNothingBehind)
{
    TempFolder folder;
    WriteBytes(folder.File("plain"), "x");
    fs::create_directory(folder.File("taken.csv"));
    CWaveSeriesList list;
    list.Live(0).Append(1, 2);
    const std::string cases[] = {
        "",
        folder.File("plain") + "/run.csv",         // the folder is a file
        folder.File("missing") + "/run.csv",       // no such folder
        folder.File("taken.csv"),                  // a folder is in the way
    };
    for (const std::string &path : cases) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(CWaveCsv::Save(path, list, CCodePageText("Time", kCodePageWestern)));
    }
    EXPECT_TRUE(fs::is_directory(folder.File("taken.csv")));
    EXPECT_EQ(ReadBytes(folder.File("plain")), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2);
}

TEST(WaveCsvTest, NamesWithoutExtensionGetCsv)
{
    const std::pair<std::string, std::string> cases[] = {
        {"run", "run.csv"},           {"run.csv", "run.csv"},         {"run.txt", "run.txt"},
        {"a.b/run", "a.b/run.csv"},   {"/tmp/.hidden", "/tmp/.hidden.csv"}, {"", ""},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(CWaveCsv::WithDefaultExtension(name), expected) << name;
}

// ---- Load ---------------------------------------------------------------------------------------

TEST(WaveCsvTest, ASavedRunLoadsBackAsTwoSeries)
{
    TempFolder folder;
    const std::string path = folder.File("run.csv");
    CWaveSeriesList saved;
    saved.Live(0).SetMode(1);
    saved.Live(1).SetMode(5);
    saved.Live(0).SetYOffset(10.0);
    saved.Live(0).SetXOffset(2.0);
    saved.Live(0).Append(3.0, 11.234);
    saved.Live(0).Append(4.0, 9.0);
    saved.Live(1).Append(3.0, -1.0);
    saved.Live(1).Append(4.0, 0.5);
    ASSERT_TRUE(CWaveCsv::Save(path, saved, CCodePageText("Time", kCodePageWestern)));

    CWaveSeriesList list;
    CWaveColourRandom random;
    int added = 0;
    ASSERT_EQ(CWaveCsv::Load(path, list, random, &added), LoadStatus::kOk);
    EXPECT_EQ(added, 2);
    ASSERT_EQ(list.Count(), 4);
    const CWaveSeries &ch0 = list.At(2);
    const CWaveSeries &ch1 = list.At(3);
    EXPECT_EQ(ch0.Name(), "CH0-run.csv");
    EXPECT_EQ(ch1.Name(), "CH1-run.csv");
    EXPECT_EQ(ch0.Mode(), 1);
    EXPECT_EQ(ch1.Mode(), 5);
    EXPECT_EQ(ch0.Axis(), wave::ValueAxis::kPosition);
    EXPECT_EQ(ch1.Axis(), wave::ValueAxis::kSpeed);
    EXPECT_EQ(ch0.Width(), 1);
    EXPECT_TRUE(ch0.Visible());
    CWaveColourRandom expected;
    EXPECT_EQ(ch0.Colour(), expected.NextColour());
    EXPECT_EQ(ch1.Colour(), expected.NextColour());
    ASSERT_EQ(ch0.Count(), 2);
    ASSERT_EQ(ch1.Count(), 2);
    EXPECT_DOUBLE_EQ(ch0.Point(0).x, 3.0);
    EXPECT_DOUBLE_EQ(ch0.Point(0).y, 1.23);
    EXPECT_DOUBLE_EQ(ch0.Point(1).y, -1.0);
    EXPECT_DOUBLE_EQ(ch1.Point(1).x, 4.0);
    EXPECT_DOUBLE_EQ(ch1.Point(1).y, 0.5);
    EXPECT_TRUE(list.CanOpen()) << "6 - 4 = 2";
}

TEST(WaveCsvTest, LoadedFilesOfEveryModeGoToTheirAxis)
{
    TempFolder folder;
    struct Case {
        const char *header;
        int mode0;
        int mode1;
        wave::ValueAxis axis0;
        wave::ValueAxis axis1;
        int points0;
        int points1;
    };
    const Case cases[] = {
        {"No,Time,CH0-4,CH1-0", 4, 0, wave::ValueAxis::kSpeed, wave::ValueAxis::kPosition, 2, 0},
        {"No,Time,CH0-9,CH1-7", 9, 7, wave::ValueAxis::kCurrent, wave::ValueAxis::kCurrent, 2, 2},
        {"No,Time,CH0-0,CH1-3", 0, 3, wave::ValueAxis::kPosition, wave::ValueAxis::kPosition, 0, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.header);
        const std::string path = folder.File("modes.csv");
        WriteBytes(path, std::string(c.header) + "\r\n0,1.00,2.00,3.00\r\n1,2.00,4.00,5.00\r\n");
        CWaveSeriesList list;
        CWaveColourRandom random;
        ASSERT_EQ(CWaveCsv::Load(path, list, random), LoadStatus::kOk);
        ASSERT_EQ(list.Count(), 4);
        EXPECT_EQ(list.At(2).Mode(), c.mode0);
        EXPECT_EQ(list.At(3).Mode(), c.mode1);
        EXPECT_EQ(list.At(2).Axis(), c.axis0);
        EXPECT_EQ(list.At(3).Axis(), c.axis1);
        EXPECT_EQ(list.At(2).Count(), c.points0);
        EXPECT_EQ(list.At(3).Count(), c.points1);
    }
}

TEST(WaveCsvTest, MalformedContentIsReadByTheRules)
{
    static const char kBinaryLine[] = "No,Time,CH0-4,CH1-7\r\n\x00\xff\x01,\x80\r\n0,1,2,3\r\n";
    struct Case {
        const char *name;
        std::string content;
        int mode0;
        int mode1;
        int points;
        int skipped;
        double lastTime;
        double lastValue1;
    };
    const Case cases[] = {
        {"empty file", "", 0, 0, 0, 0, 0, 0},
        {"header only", "No,Time,CH0-4,CH1-7\r\n", 4, 7, 0, 0, 0, 0},
        {"plain LF and no final newline", "No,Time,CH0-4,CH1-7\n0,1,2,3\n1,2,3,4", 4, 7, 2, 0, 2, 4},
        {"spaces split the header too", "No Time CH0-2 CH1-8\r\n0,1,2,3\r\n", 2, 8, 1, 0, 1, 3},
        {"tag without a digit", "No,Time,CH0-,CH1-x\r\n0,1,2,3\r\n", 0, 0, 1, 0, 1, 3},
        {"tag with two digits takes the first", "No,Time,CH0-12,CH1-7\r\n", 1, 7, 0, 0, 0, 0},
        {"no tags", "garbage\r\n0,1,2,3\r\n", 0, 0, 1, 0, 1, 3},
        {"three fields", "No,Time,CH0-4,CH1-7\r\n0,1,2\r\n1,2,3,4\r\n", 4, 7, 1, 1, 2, 4},
        {"words", "No,Time,CH0-4,CH1-7\r\na,b,c,d\r\n0,1.5,2,3\r\n", 4, 7, 1, 1, 1.5, 3},
        {"not a number", "No,Time,CH0-4,CH1-7\r\n0,nan,2,3\r\n1,2,inf,3\r\n2,3,4,-inf\r\n", 4, 7, 0, 3, 0, 0},
        {"trailing junk in a field", "No,Time,CH0-4,CH1-7\r\n0,1.0x,2,3\r\n", 4, 7, 0, 1, 0, 0},
        {"index out of range", "No,Time,CH0-4,CH1-7\r\n99999999999,1,2,3\r\n", 4, 7, 0, 1, 0, 0},
        {"blank lines are ignored", "No,Time,CH0-4,CH1-7\r\n\r\n0,1,2,3\r\n\r\n", 4, 7, 1, 0, 1, 3},
        {"spaces and signs", "No,Time,CH0-4,CH1-7\r\n 0 , +1.5 , -2 ,3e1 \r\n", 4, 7, 1, 0, 1.5, 30},
        {"extra fields are ignored", "No,Time,CH0-4,CH1-7\r\n0,1,2,3,4,5\r\n", 4, 7, 1, 0, 1, 3},
        {"bytes that are not text", std::string(kBinaryLine, sizeof(kBinaryLine) - 1), 4, 7, 1, 1, 1, 3},
        {"a line of 10,240 characters", "h\n0,1,2," + std::string(10233, '0') + "7\n", 0, 0, 1, 0, 1, 7},
        {"a line of 10,241 characters", "h\n0,1,2," + std::string(10234, '0') + "7\n0,5,6,8\n", 0, 0, 1, 1, 5, 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CWaveCsv::Run run;
        CWaveCsv::Parse(c.content, run);
        EXPECT_EQ(run.mode0, c.mode0);
        EXPECT_EQ(run.mode1, c.mode1);
        ASSERT_EQ(static_cast<int>(run.channel0.size()), c.points);
        ASSERT_EQ(static_cast<int>(run.channel1.size()), c.points);
        EXPECT_EQ(run.skippedLines, c.skipped);
        if (c.points > 0) {
            EXPECT_DOUBLE_EQ(run.channel0.back().x, c.lastTime);
            EXPECT_DOUBLE_EQ(run.channel1.back().x, c.lastTime);
            EXPECT_DOUBLE_EQ(run.channel1.back().y, c.lastValue1);
        }
    }
}

TEST(WaveCsvTest, ArbitraryBytesGiveOnlyWholeFinitePoints)
{
    // Content assembled from pieces of real lines, separators and junk, many times over.
    const std::string pieces[] = {"No,Time,CH0-", "CH1-", "4", ",", " ", "\r", "\n", "\r\n", "1.5", "-2",
                                  "1e308", "1e999", "nan", "0x1p3", "+", "--1", "\xff", std::string(1, '\0'),
                                  std::string(12000, '7'), "CH0-9", "9,9,9,9"};
    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        const int count = length(random);
        for (int i = 0; i < count; ++i)
            content += pieces[pick(random)];
        CWaveCsv::Run run;
        CWaveCsv::Parse(content, run);
        ASSERT_EQ(run.channel0.size(), run.channel1.size()) << "round " << round;
        ASSERT_TRUE(run.mode0 >= 0 && run.mode0 <= 9 && run.mode1 >= 0 && run.mode1 <= 9) << "round " << round;
        for (std::size_t i = 0; i < run.channel0.size(); ++i) {
            ASSERT_TRUE(std::isfinite(run.channel0[i].x) && std::isfinite(run.channel0[i].y) &&
                        std::isfinite(run.channel1[i].y))
                << "round " << round;
            ASSERT_EQ(run.channel0[i].x, run.channel1[i].x);
        }
    }
}

TEST(WaveCsvTest, LargeFilesAreReadAcrossChunkBoundaries)
{
    TempFolder folder;
    const std::string path = folder.File("long.csv");
    std::string content = "No,Time,CH0-4,CH1-7\r\n";
    constexpr int kLines = 20000;   // well over one read chunk
    for (int i = 0; i < kLines; ++i)
        content += std::to_string(i) + "," + std::to_string(i + 1) + ".00,0.25," + std::to_string(-i) + ".00\r\n";
    content += "9," + std::string(30000, '1') + ",1,1\r\n";   // far too long, spans a chunk
    content += "20000,20001.00,0.50,-1.00";
    WriteBytes(path, content);
    CWaveCsv::Run run;
    ASSERT_EQ(CWaveCsv::Read(path, run), LoadStatus::kOk);
    ASSERT_EQ(static_cast<int>(run.channel0.size()), kLines + 1);
    EXPECT_EQ(run.skippedLines, 1);
    EXPECT_DOUBLE_EQ(run.channel0[12345].x, 12346.0);
    EXPECT_DOUBLE_EQ(run.channel1[12345].y, -12345.0);
    EXPECT_DOUBLE_EQ(run.channel0.back().y, 0.5);
    CWaveCsv::Run parsed;
    CWaveCsv::Parse(content, parsed);
    EXPECT_EQ(parsed.channel1.size(), run.channel1.size());
    EXPECT_EQ(parsed.skippedLines, run.skippedLines);
}

TEST(WaveCsvTest, FilesThatCannotBeReadGiveTheirMessage)
{
    TempFolder folder;
    fs::create_directory(folder.File("folder.csv"));
    WriteBytes(folder.File("plain"), "x");
    struct Case {
        std::string path;
        LoadStatus status;
        const char *key;
    };
    const Case cases[] = {
        {folder.File("missing.csv"), LoadStatus::kNotFound, "IDS_ERRMSG_FILENOTFOUND"},
        {folder.File("plain") + "/x.csv", LoadStatus::kNotFound, "IDS_ERRMSG_FILENOTFOUND"},
        {folder.File("folder.csv"), LoadStatus::kOpenFailed, "IDS_ERRMSG_FILEOPRATIONFAIL"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        CWaveSeriesList list;
        CWaveColourRandom random;
        int added = -1;
        EXPECT_EQ(CWaveCsv::Load(c.path, list, random, &added), c.status);
        EXPECT_STREQ(CWaveCsv::MessageKey(c.status), c.key);
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(added, 0);
    }
    EXPECT_STREQ(CWaveCsv::MessageKey(LoadStatus::kOk), "");
    EXPECT_STREQ(CWaveCsv::MessageKey(LoadStatus::kAccessDenied), "IDS_ERRMSG_FILEHAVEOPENED");
}

// Permissions do not bind root: when the tests run as root (as in CI), the read is made by a child
// process that has become the unprivileged user "nobody", so the check is never skipped.
TEST(WaveCsvTest, AFileWithoutReadPermissionIsAccessDenied)
{
    TempFolder folder;
    const std::string path = folder.File("locked.csv");
    WriteBytes(path, "No,Time,CH0-4,CH1-7\r\n0,1,2,3\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::geteuid() != 0) {
        CWaveCsv::Run run;
        EXPECT_EQ(CWaveCsv::Read(path, run), LoadStatus::kAccessDenied);
        return;
    }
    const struct passwd *nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr) << "no user nobody to read as";
    // nobody must reach the file: only the file itself is closed to it.
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
    enum ChildStatus { kDenied = 0, kNotDenied = 1, kStillRoot = 2 };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0 ||
            ::geteuid() == 0)
            ::_exit(kStillRoot);
        CWaveCsv::Run run;
        ::_exit(CWaveCsv::Read(path, run) == LoadStatus::kAccessDenied ? kDenied : kNotDenied);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), kStillRoot) << "could not become nobody";
    EXPECT_EQ(WEXITSTATUS(status), kDenied) << "nobody read a file closed to everyone";
}

TEST(WaveCsvTest, LoadAddsNothingWithoutRoomOrData)
{
    TempFolder folder;
    const std::string headerOnly = folder.File("empty.csv");
    WriteBytes(headerOnly, "No,Time,CH0-4,CH1-7\r\n");
    const std::string full = folder.File("full.csv");
    WriteBytes(full, "No,Time,CH0-4,CH1-7\r\n0,1,2,3\r\n");
    CWaveColourRandom random;

    CWaveSeriesList list;
    int added = -1;
    EXPECT_EQ(CWaveCsv::Load(headerOnly, list, random, &added), LoadStatus::kOk);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(list.Count(), 2);

    ASSERT_EQ(CWaveCsv::Load(full, list, random), LoadStatus::kOk);
    ASSERT_EQ(CWaveCsv::Load(full, list, random), LoadStatus::kOk);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(CWaveCsv::Load(full, list, random, &added), LoadStatus::kListFull);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(CWaveCsv::Load(folder.File("missing.csv"), list, random), LoadStatus::kListFull)
        << "a full list reads nothing";
}

} // namespace
} // namespace kvl::test
