// The daily log: one line per event in <folder>/log/YYYYMMDD_events.log (the folder made when
// missing), the program and its process on each line, line breaks folded, nothing while closed,
// and files older than 30 days removed when a program opens the log.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/CEventLog.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CEventLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "eventlog.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override
    {
        CEventLog::Close();
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    static CEventLog::Clock At(int year, int month, int day)
    {
        return [=] { return CEventLog::LocalTime{year, month, day, 8, 43, 14}; };
    }

    fs::path m_folder;
};

TEST_F(CEventLogTest, LinesGoToTheDaysFileWithProgramAndProcess)
{
    CEventLog::Write("link", "before the log is open");
    ASSERT_TRUE(CEventLog::Open(m_folder.string(), "kvlctl", At(2026, 12, 11)));
    EXPECT_TRUE(fs::is_directory(m_folder / "log")) << "the log folder is made";
    const fs::path file = m_folder / "log/20261211_events.log";
    EXPECT_EQ(CEventLog::FilePath(), file.string());
    CEventLog::Write("link", "/dev/ttyUSB0 at 115200 bit/s: axes 0 MDA");
    CEventLog::Write("message", "Warn: first line\r\nsecond line");
    const std::string process = "kvlctl[" + std::to_string(::getpid()) + "] ";
    EXPECT_EQ(ReadAll(file), "2026-12-11 08:43:14 " + process + "link: /dev/ttyUSB0 at 115200 bit/s: axes 0 MDA\n" +
                                 "2026-12-11 08:43:14 " + process + "message: Warn: first line / second line\n");
    CEventLog::Close();
    CEventLog::Write("link", "after the log is closed");
    EXPECT_EQ(ReadAll(file).find("closed"), std::string::npos);
    EXPECT_TRUE(CEventLog::FilePath().empty());
}

TEST_F(CEventLogTest, FilesOlderThanThirtyDaysGoWhenTheLogOpens)
{
    fs::create_directories(m_folder / "log");
    for (const char *name : {"20261110_events.log", "20261111_events.log", "20261210_events.log", "20261101.log",
                             "notes.txt"})
        std::ofstream(m_folder / "log" / name) << "x";
    ASSERT_TRUE(CEventLog::Open(m_folder.string(), "kvl_motor", At(2026, 12, 11)));
    EXPECT_FALSE(fs::exists(m_folder / "log/20261110_events.log")) << "31 days old";
    EXPECT_TRUE(fs::exists(m_folder / "log/20261111_events.log")) << "30 days old";
    EXPECT_TRUE(fs::exists(m_folder / "log/20261210_events.log"));
    EXPECT_TRUE(fs::exists(m_folder / "log/20261101.log")) << "the trace logs are not the daily log's";
    EXPECT_TRUE(fs::exists(m_folder / "log/notes.txt"));
}

TEST_F(CEventLogTest, AFolderThatCannotBeMadeLeavesTheLogClosed)
{
    std::ofstream(m_folder / "file") << "x";
    EXPECT_FALSE(CEventLog::Open((m_folder / "file").string(), "kvlctl", At(2026, 12, 11)));
    EXPECT_FALSE(CEventLog::IsOpen());
}

} // namespace
} // namespace kvl
