#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/CTraceLog.h"

namespace kvl {
namespace {

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path().toStdString();
        std::filesystem::create_directory(folder + "/log");
        log.SetClock([this] { return now; });
    }

    QTemporaryDir dir;
    std::string folder;
    CTraceLog::LocalTime now{2026, 3, 4, 9, 5, 7};
    CTraceLog log;
};

TEST_F(TraceLogTest, PolledStatusReadsGoToTheOnTimerFile)
{
    const CTraceLog::LocalTime day{2026, 3, 4, 0, 0, 0};
    const std::vector<uint8_t> polled = {0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x34, 0x5B};
    const std::vector<uint8_t> others = {0x00, 0x01, 0x03, 0x04, 0x14, 0x1C, 0x20, 0x33, 0x35, 0x37, 0x5A, 0x5C, 0xFF};
    for (uint8_t command : polled)
        EXPECT_EQ(CTraceLog::FileName("/f", day, command), "/f/log/20260304_OnTimer.log") << int(command);
    for (uint8_t command : others)
        EXPECT_EQ(CTraceLog::FileName("/f", day, command), "/f/log/20260304.log") << int(command);
    EXPECT_EQ(CTraceLog::FileName("/f", {2027, 12, 31, 23, 59, 59}, 0x01), "/f/log/20271231.log");
}

TEST_F(TraceLogTest, WritesRequestAndReplyLinesInTheirFormats)
{
    const uint8_t request[] = {0xEF, 0x00, 0x01, 0x10, 0x21, 0x0D, 0x0A};
    log.LogRequest(folder, 0x01, request, 7);
    EXPECT_EQ(ReadFile(folder + "/log/20260304.log"), "09:05:07 TX:EF 00 01 10 21 0D 0A \n");

    const uint8_t reply[] = {0xEF, 0x00, 0x01, 0x00, 0x05, 0xAB, 0xCD, 0x0D, 0x0A};
    now.second = 8;
    log.LogReply(reply, 9);
    EXPECT_EQ(ReadFile(folder + "/log/20260304.log"),
              "09:05:07 TX:EF 00 01 10 21 0D 0A \n"
              "09:05:08 RX:EF 00 01 00 05 AB CD 0D 0A \n\n");

    // A timed-out exchange: the reply line has no bytes.
    log.LogRequest(folder, 0x01, request, 7);
    log.LogReply(reply, 0);
    const std::string text = ReadFile(folder + "/log/20260304.log");
    EXPECT_EQ(text.substr(text.size() - 15), "\n09:05:08 RX:\n\n");
}

TEST_F(TraceLogTest, TheReplyGoesToTheFileOfItsRequest)
{
    const uint8_t request[] = {0xEF, 0x03, 0x17, 0x00, 0x00, 0x0D, 0x0A};
    now = {2026, 3, 4, 23, 59, 59};
    log.LogRequest(folder, 0x17, request, 7);
    now = {2026, 3, 5, 0, 0, 0};
    const uint8_t reply[] = {0xEF};
    log.LogReply(reply, 1);
    EXPECT_EQ(ReadFile(folder + "/log/20260304_OnTimer.log"),
              "23:59:59 TX:EF 03 17 00 00 0D 0A \n00:00:00 RX:EF \n\n");
    EXPECT_FALSE(std::filesystem::exists(folder + "/log/20260305_OnTimer.log"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/log/20260304.log"));
}

TEST_F(TraceLogTest, MissingLogFolderSkipsTheLinesAndCreatesNothing)
{
    const std::string elsewhere = folder + "/nolog";
    std::filesystem::create_directory(elsewhere);
    const uint8_t request[] = {0xEF, 0x00, 0x01, 0x10, 0x21, 0x0D, 0x0A};
    log.LogRequest(elsewhere, 0x01, request, 7);
    log.LogReply(request, 7);
    EXPECT_FALSE(std::filesystem::exists(elsewhere + "/log"));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
}

TEST_F(TraceLogTest, AppendsToWhatTheFileAlreadyHolds)
{
    {
        std::ofstream earlier(folder + "/log/20260304.log", std::ios::binary);
        earlier << "earlier\n";
    }
    const uint8_t request[] = {0xEF, 0x01, 0x04, 0x40, 0x84, 0x0D, 0x0A};
    log.LogRequest(folder, 0x04, request, 7);
    EXPECT_EQ(ReadFile(folder + "/log/20260304.log"), "earlier\n09:05:07 TX:EF 01 04 40 84 0D 0A \n");
}

} // namespace
} // namespace kvl
