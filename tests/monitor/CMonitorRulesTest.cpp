#include "monitor/CMonitorRules.h"

#include <gtest/gtest.h>

#include <set>

namespace kvl {
namespace {

TEST(CMonitorRules, ForbiddenInputsByMode)
{
    const std::vector<std::pair<int, std::set<int>>> forbidden{
        {0, {7, 8, 9}}, {1, {}}, {2, {9}}, {3, {}}, {4, {8, 9, 11}}, {5, {4, 5, 6, 7, 8, 9}},
        {9, {7, 8, 9}},   // unknown modes act as 0
    };
    for (const auto &[mode, refused] : forbidden) {
        for (int input = 1; input <= 16; ++input)
            EXPECT_EQ(CMonitorRules::InputSwitchAllowed(mode, input), refused.count(input) == 0)
                << "mode " << mode << " input " << input;
        EXPECT_FALSE(CMonitorRules::InputSwitchAllowed(mode, 0));
        EXPECT_FALSE(CMonitorRules::InputSwitchAllowed(mode, 17));
    }
}

TEST(CMonitorRules, SignalBitsAndKeys)
{
    const uint32_t word = (1u << 0) | (1u << 15) | (1u << 16) | (1u << 31);
    EXPECT_TRUE(CMonitorRules::SignalOn(word, true, 1));
    EXPECT_TRUE(CMonitorRules::SignalOn(word, true, 16));
    EXPECT_FALSE(CMonitorRules::SignalOn(word, true, 2));
    EXPECT_TRUE(CMonitorRules::SignalOn(word, false, 1));
    EXPECT_TRUE(CMonitorRules::SignalOn(word, false, 16));
    EXPECT_FALSE(CMonitorRules::SignalOn(word, false, 2));
    EXPECT_EQ(CMonitorRules::SignalKey(0, true, 1), "IDC_RADIO_M1_I_1");
    EXPECT_EQ(CMonitorRules::SignalKey(5, false, 16), "IDC_RADIO_M6_O_16");
}

TEST(CMonitorRules, SectionsByModel)
{
    EXPECT_EQ(CMonitorRules::WindowSection("MDC-X"), "IDD_KVL_VER2_MTRMONITOR_DIALOG_MDC-X");
    EXPECT_EQ(CMonitorRules::WindowSection("MDA"), "IDD_KVL_VER2_MTRMONITOR_DIALOG");
    EXPECT_EQ(CMonitorRules::AlarmSection("MDC-X"), "AlarmXMDC");
    EXPECT_EQ(CMonitorRules::AlarmSection("MDA-Z"), "AlarmMDA");
    EXPECT_EQ(CMonitorRules::AlarmKey(12), "ALARM12");
    EXPECT_FALSE(CMonitorRules::IsAlarm(254));
    EXPECT_FALSE(CMonitorRules::IsAlarm(255));
    EXPECT_TRUE(CMonitorRules::IsAlarm(0));
}

TEST(CMonitorRules, PositionsNeverShowNegativeZero)
{
    EXPECT_EQ(CMonitorRules::FormatPosition(-1, 3), "0.000");
    EXPECT_EQ(CMonitorRules::FormatPosition(-1, 4), "-0.0001");
    EXPECT_EQ(CMonitorRules::FormatPosition(10000, CMonitorRules::PositionDecimals("MDB", 2)), "1.000");
    EXPECT_EQ(CMonitorRules::FormatPosition(-123456, CMonitorRules::PositionDecimals("MDC-X", 2)),
              "-12.3456");
}

} // namespace
} // namespace kvl
