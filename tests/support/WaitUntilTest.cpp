// The wait the tests use instead of sleeping: it returns as soon as the condition holds, keeps
// asking while it does not, and gives up only once the limit has passed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/WaitUntil.h"

namespace kvl::test {
namespace {

constexpr int kGenerousLimitMs = 10000;
constexpr int kShortLimitMs = 20;

TEST(WaitUntilTest, ReturnsWhenTheConditionHoldsAndGivesUpOnlyAfterTheLimit)
{
    struct Case {
        const char *what;
        int holdsFromCall;   // 0: never
        int limitMs;
        bool expected;
    };
    const Case cases[] = {
        {"holds at once", 1, kGenerousLimitMs, true},
        {"holds on the third look", 3, kGenerousLimitMs, true},
        {"never holds", 0, kShortLimitMs, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        int calls = 0;
        const auto start = std::chrono::steady_clock::now();
        const bool held = WaitUntil([&] { return ++calls >= c.holdsFromCall && c.holdsFromCall > 0; }, c.limitMs);
        EXPECT_EQ(held, c.expected);
        if (c.expected) {
            EXPECT_EQ(calls, c.holdsFromCall) << "asked again after the condition held";
        } else {
            EXPECT_GE(calls, 2) << "gave up without asking again";
            EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(c.limitMs))
                << "gave up before the limit";
        }
    }
}

TEST(WaitUntilTest, SeesWhatAnotherThreadDoes)
{
    std::atomic<bool> done{false};
    std::atomic<int> looks{0};
    std::thread other([&] {
        // Acts only once the waiter is waiting, so the wait really spans the change.
        while (looks.load() < 2)
            std::this_thread::yield();
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] {
        ++looks;
        return done.load();
    }, kGenerousLimitMs));
    other.join();
}

} // namespace
} // namespace kvl::test
