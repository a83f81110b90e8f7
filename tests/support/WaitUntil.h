#pragma once
// Waiting in tests for what another thread or process makes happen (a simulator's reply, a
// homed axis, bytes arriving on a pty): the test polls the condition itself, and the limit only
// bounds a failure, so a busy machine makes a test slower, never wrong.
#include <chrono>
#include <functional>
#include <thread>

namespace kvl::test {

// Pause between two looks at the condition.
constexpr int kWaitPollMs = 5;

// Polls `done` every `pollMs` until it holds (true) or `limitMs` of real time pass (false).
// `done` is always asked at least once, and once more after the limit has passed.
inline bool WaitUntil(const std::function<bool()> &done, int limitMs, int pollMs = kWaitPollMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
    return true;
}

} // namespace kvl::test
