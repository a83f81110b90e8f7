// Text helpers of the command line: the operation flags and the program state of `status`.
#include <gtest/gtest.h>

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

} // namespace
} // namespace kvl::cli
