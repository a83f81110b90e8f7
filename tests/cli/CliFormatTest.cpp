// Text helpers of the command line: the operation flags, the program state of `status`, and the
// numbers of the arguments, read whole or refused.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "cli/CCliArgs.h"
#include "cli/CliFormat.h"

namespace kvl::cli {
namespace {

OperationStatus Flags(std::array<int, 6> flags)
{
    OperationStatus status;
    status.flags = flags;
    return status;
}

TEST(CliFormatTest, EveryOperationFlagIsNamed)
{
    EXPECT_EQ(OperationFlagsText(Flags({0, 0, 0, 0, 0, 0})),
              "moving off, in position off, home done off, operating off, alarm off, paused off");
    EXPECT_EQ(OperationFlagsText(Flags({1, 0, 1, 1, 0, 0})),
              "moving on, in position off, home done on, operating on, alarm off, paused off");
    EXPECT_EQ(OperationFlagsText(Flags({0, 1, 0, 0, 1, 1})),
              "moving off, in position on, home done off, operating off, alarm on, paused on");
    EXPECT_EQ(OperationFlagName(1, true), "inPosition");
    EXPECT_EQ(OperationFlagName(6), "");
}

TEST(CliFormatTest, OnlyTheAutomaticModeRunsAProgram)
{
    struct Case {
        const char *name;
        std::array<int, 6> flags;
        bool manual;
        const char *state;
    };
    const Case cases[] = {
        {"homing: operating in the manual mode", {1, 0, 0, 1, 0, 0}, true, "not running"},
        {"jog", {1, 0, 1, 1, 0, 0}, true, "not running"},
        {"a program moving", {1, 0, 1, 1, 0, 0}, false, "running"},
        {"a program dwelling", {0, 1, 1, 1, 0, 0}, false, "running"},
        {"a paused program", {0, 1, 1, 1, 0, 1}, false, "paused"},
        {"idle", {0, 1, 1, 0, 0, 0}, true, "not running"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ProgramStateText(Flags(c.flags), c.manual), c.state);
        EXPECT_EQ(ProgramRunning(Flags(c.flags), c.manual), std::string(c.state) == "running");
    }
}

TEST(CliFormatTest, NumbersOfArgumentsAreReadWholeOrRefused)
{
    const struct {
        const char *text;
        bool ok;
        int value;
    } ints[] = {
        {"15", true, 15},          {"0x0F", true, 15},     {"0XfF", true, 255},     {"-3", true, -3},
        {"2147483647", true, INT_MAX}, {"0x7FFFFFFF", true, INT_MAX},
        {"99999999999", false, 0}, {"4294967311", false, 0}, {"0x100000000", false, 0}, {"0x", false, 0},
        {"0x-1", false, 0},        {"12abc", false, 0},     {"1.5", false, 0},      {"", false, 0},
        {"nan", false, 0},         {" ", false, 0},         {"1e3", false, 0},
    };
    for (const auto &c : ints) {
        int value = 0;
        EXPECT_EQ(ParseInt(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    const struct {
        const char *text;
        bool ok;
        double value;
    } reals[] = {
        {"2.5", true, 2.5}, {"10", true, 10.0}, {"nan", false, 0}, {"inf", false, 0}, {"1e308", false, 0},
        {"2.5s", false, 0}, {"", false, 0},
    };
    for (const auto &c : reals) {
        double value = 0;
        EXPECT_EQ(ParseDouble(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
    uint8_t axis = 0;
    EXPECT_FALSE(ParseAxis("4294967297", axis)) << "axis 1 in the low 32 bits";
}

// The global options are numbers of their own range: one that only wraps into it is refused.
TEST(CliFormatTest, GlobalNumericOptionsRefuseWrappedNumbers)
{
    const struct {
        std::vector<std::string> words;
        bool ok;
    } cases[] = {
        {{"kvlctl", "--speed", "115200", "scan"}, true},
        {{"kvlctl", "--speed", "4295082496", "scan"}, false},   // 115200 in the low 32 bits
        {{"kvlctl", "--lang", "4294967298"}, false},            // 2 in the low 32 bits
        {{"kvlctl", "--retries", "3x"}, false},
        {{"kvlctl", "--speed=1e5"}, false},
    };
    for (const auto &c : cases) {
        std::vector<char *> argv;
        std::vector<std::string> words = c.words;
        for (std::string &word : words)
            argv.push_back(word.data());
        CCliArgs args;
        std::string error;
        EXPECT_EQ(args.Parse(static_cast<int>(argv.size()), argv.data(), error), c.ok) << c.words[2];
        EXPECT_EQ(error.empty(), c.ok) << error;
    }
}

} // namespace
} // namespace kvl::cli
