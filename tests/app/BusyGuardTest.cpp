// Counting rules of the busy indicator with a hand-driven clock.
#include <gtest/gtest.h>

#include "common/CBusyGuard.h"

namespace kvl {
namespace {

using Result = CBusyGuard::BeginResult;

class BusyGuardTest : public ::testing::Test {
protected:
    int64_t m_now = 10000;
    CBusyGuard m_guard{[this] { return m_now; }};
};

struct GuardWindowCase {
    const char *what;
    int msAfterEnd;
    bool suppress;
    bool rememberedEnd;
    Result expected;
};

TEST_F(BusyGuardTest, BeginAfterAnEndFollowsTheWindow)
{
    const GuardWindowCase cases[] = {
        {"50 ms after a remembered end", 50, true, true, Result::kRefused},
        {"99 ms after a remembered end", 99, true, true, Result::kRefused},
        {"at once after a remembered end", 0, true, true, Result::kRefused},
        {"100 ms after a remembered end", 100, true, true, Result::kFirst},
        {"150 ms after a remembered end", 150, true, true, Result::kFirst},
        {"50 ms after, without suppress", 50, false, true, Result::kFirst},
        {"50 ms after an end that was not remembered", 50, true, false, Result::kFirst},
    };
    for (const GuardWindowCase &c : cases) {
        SCOPED_TRACE(c.what);
        CBusyGuard guard([this] { return m_now; });
        ASSERT_EQ(guard.Begin(true, 100), Result::kFirst);
        ASSERT_TRUE(guard.End(c.rememberedEnd));
        m_now += c.msAfterEnd;
        EXPECT_EQ(guard.Begin(c.suppress, 100), c.expected);
        EXPECT_EQ(guard.Nesting(), c.expected == Result::kRefused ? 0 : 1);
    }
}

TEST_F(BusyGuardTest, TheVeryFirstBeginIsNeverRefused)
{
    CBusyGuard atZero([] { return int64_t{0}; });
    EXPECT_EQ(atZero.Begin(true, 100), Result::kFirst);
}

TEST_F(BusyGuardTest, NestedBeginsNeedAsManyEnds)
{
    EXPECT_EQ(m_guard.Begin(), Result::kFirst);
    EXPECT_EQ(m_guard.Begin(), Result::kNested);
    EXPECT_EQ(m_guard.Nesting(), 2);
    EXPECT_FALSE(m_guard.End()) << "one End of two keeps the indicator";
    EXPECT_TRUE(m_guard.Active());
    EXPECT_TRUE(m_guard.End()) << "the second End hides it";
    EXPECT_FALSE(m_guard.Active());
}

TEST_F(BusyGuardTest, OnlyTheOutermostEndIsRemembered)
{
    ASSERT_EQ(m_guard.Begin(), Result::kFirst);
    ASSERT_EQ(m_guard.Begin(false), Result::kNested);
    m_now += 10;
    EXPECT_FALSE(m_guard.End(true));
    m_now += 10;
    EXPECT_TRUE(m_guard.End(false));
    m_now += 10;
    EXPECT_EQ(m_guard.Begin(), Result::kFirst) << "the inner End must not start the window";
}

TEST_F(BusyGuardTest, AnEndWithoutBeginIsIgnored)
{
    EXPECT_FALSE(m_guard.End());
    EXPECT_EQ(m_guard.Nesting(), 0);
    EXPECT_EQ(m_guard.Begin(), Result::kFirst) << "an ignored End neither counts nor starts the window";
    EXPECT_TRUE(m_guard.End());
    EXPECT_FALSE(m_guard.End());
    EXPECT_EQ(m_guard.Nesting(), 0);
}

TEST_F(BusyGuardTest, RefusedBeginChangesNothing)
{
    ASSERT_EQ(m_guard.Begin(), Result::kFirst);
    ASSERT_TRUE(m_guard.End());
    m_now += 20;
    EXPECT_EQ(m_guard.Begin(), Result::kRefused);
    EXPECT_FALSE(m_guard.End()) << "a refused Begin left nothing to end";
    m_now += 90;
    EXPECT_EQ(m_guard.Begin(), Result::kFirst) << "the window counts from the real End, not the refusal";
}

} // namespace
} // namespace kvl
