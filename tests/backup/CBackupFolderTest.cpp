// The text files of a backup folder that are the backup's own: identity.txt and parameters.txt,
// written and read back, and damaged ones refused.
#include "backup/CBackupFolder.h"

#include <gtest/gtest.h>

namespace kvl::backup {
namespace {

TEST(CBackupFolder, RawParametersReadBackAsWritten)
{
    AxisImage axis;
    axis.address = 3;
    axis.model = "MDC";
    axis.parameters = {{1, {500000, "Soft limit +", "50.0000 mm"}},
                       {36, {3, "Operation type", "512 steps"}},
                       {151, {-2147483647 - 1, "", "-2147483648"}}};
    const std::string text = CBackupFolder::RawParametersText(axis);
    EXPECT_EQ(text, "# axis 3 (MDC): parameter number, raw value as the controller holds it, and the value as "
                    "the parameter list shows it\n"
                    "001 500000      Soft limit + = 50.0000 mm\n"
                    "036 3           Operation type = 512 steps\n"
                    "151 -2147483648\n");
    std::map<int, std::int32_t> raw;
    int badLine = 0;
    ASSERT_TRUE(CBackupFolder::ParseRawParameters(text, raw, badLine));
    EXPECT_EQ(raw, (std::map<int, std::int32_t>{{1, 500000}, {36, 3}, {151, -2147483647 - 1}}));
}

TEST(CBackupFolder, RawParametersRefuseDamagedLines)
{
    struct Case {
        const char *text;
        int badLine;
    };
    const Case cases[] = {
        {"016\n", 1},                       // no value
        {"# note\n016 x\n", 2},             // not a number
        {"016 5\n016 6\n", 2},              // the same parameter twice
        {"000 5\n", 1},                     // no parameter 0
        {"256 5\n", 1},                     // beyond the numbers a controller has
        {"016 2147483648\n", 1},            // beyond the controller's 32 bits
        {"016 12abc\n", 1},
    };
    for (const Case &c : cases) {
        std::map<int, std::int32_t> raw;
        int badLine = 0;
        EXPECT_FALSE(CBackupFolder::ParseRawParameters(c.text, raw, badLine)) << c.text;
        EXPECT_EQ(badLine, c.badLine) << c.text;
    }
}

TEST(CBackupFolder, DeviceFoldersAndIdentity)
{
    EXPECT_EQ(CBackupFolder::DeviceFolder(0), "axis00");
    EXPECT_EQ(CBackupFolder::DeviceFolder(15), "axis15");
    EXPECT_EQ(CBackupFolder::DeviceFolder(0xF1), "gateway");
    EXPECT_EQ(CBackupFolder::IdentityText(4, "MDA-Y", "2105", "LIFT 2"),
              "address 4\nmodel MDA-Y\nversion 2105\nname LIFT 2\n");
}

} // namespace
} // namespace kvl::backup
