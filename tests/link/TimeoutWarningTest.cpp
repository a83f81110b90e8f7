#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/CTimeoutWarning.h"
#include "link/ResultCode.h"

namespace kvl {
namespace {

struct Step {
    int result;
    int timeoutMs;
};

std::vector<Step> Repeat(int result, int timeoutMs, int times)
{
    return std::vector<Step>(static_cast<size_t>(times), Step{result, timeoutMs});
}

std::vector<Step> Concat(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> out;
    for (const auto &part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

class TimeoutWarningTest : public ::testing::Test {
protected:
    int warnings = 0;
};

TEST_F(TimeoutWarningTest, WarnsAtTheTenthTimeoutInARowAtTwoHundredMsOncePerSilence)
{
    struct Case {
        std::string name;
        std::vector<Step> steps;
        int warnings;
        int countAfter;
    };
    const Case cases[] = {
        {"nine", Repeat(kResultTimeout, 200, 9), 0, 9},
        {"ten", Repeat(kResultTimeout, 200, 10), 1, 0},
        {"nine, success, nine",
         Concat({Repeat(kResultTimeout, 200, 9), Repeat(kResultOk, 200, 1), Repeat(kResultTimeout, 200, 9)}), 0, 9},
        {"twenty: one silence, one warning", Repeat(kResultTimeout, 200, 20), 1, 0},
        {"twenty-five", Repeat(kResultTimeout, 200, 25), 1, 5},
        {"ten, an answer, ten: two silences",
         Concat({Repeat(kResultTimeout, 200, 10), Repeat(kResultOk, 200, 1), Repeat(kResultTimeout, 200, 10)}), 2, 0},
        {"ten, a bad reply, ten: something came back",
         Concat({Repeat(kResultTimeout, 200, 10), Repeat(kResultBadReply, 200, 1), Repeat(kResultTimeout, 200, 10)}), 2, 0},
        {"a shorter timeout ends no silence",
         Concat({Repeat(kResultTimeout, 200, 10), Repeat(kResultTimeout, 30, 1), Repeat(kResultTimeout, 200, 10)}), 1, 0},
        {"other timeouts do not count", Repeat(kResultTimeout, 30, 12), 0, 0},
        {"other timeouts do not reset",
         Concat({Repeat(kResultTimeout, 200, 5), Repeat(kResultTimeout, 80, 3), Repeat(kResultTimeout, 200, 5)}), 1, 0},
        {"199 and 201 do not count", Concat({Repeat(kResultTimeout, 199, 6), Repeat(kResultTimeout, 201, 6)}), 0, 0},
        {"a bad reply resets",
         Concat({Repeat(kResultTimeout, 200, 9), Repeat(kResultBadReply, 200, 1), Repeat(kResultTimeout, 200, 9)}), 0, 9},
    };
    for (const Case &c : cases) {
        warnings = 0;
        CTimeoutWarning counter;
        counter.SetHook([this] { ++warnings; });
        int raised = 0;
        for (const Step &step : c.steps)
            raised += counter.OnResult(step.result, step.timeoutMs) ? 1 : 0;
        EXPECT_EQ(warnings, c.warnings) << c.name;
        EXPECT_EQ(raised, c.warnings) << c.name;
        EXPECT_EQ(counter.Count(), c.countAfter) << c.name;
    }
}

TEST_F(TimeoutWarningTest, WithoutAHookTheCountStillStartsAgain)
{
    CTimeoutWarning counter;
    for (int i = 0; i < 10; ++i)
        counter.OnResult(kResultTimeout, 200);
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_TRUE(counter.OnResult(kResultTimeout, 200) == false);
    EXPECT_EQ(counter.Count(), 1);
}

} // namespace
} // namespace kvl
