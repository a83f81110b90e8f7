#pragma once
// CBusyGuard: the counting rules of the busy indicator, without any drawing. Begin/End nest; the
// first accepted Begin asks for the indicator to appear and the End that brings the count back
// to zero asks for it to go. A Begin with `suppress` set is refused within `windowMs` after the
// last End that asked to be remembered, so that a second click right after a long transfer does
// not start it again. The clock is injectable (milliseconds, any origin) for tests.
// Owned by CBusyIndicator; user-interface thread only.
#include <cstdint>
#include <functional>
#include <optional>

namespace kvl {

class CBusyGuard {
public:
    using Clock = std::function<int64_t()>;
    static constexpr int kDefaultWindowMs = 100;

    // Milliseconds of the process' steady clock: the clock used when none is given.
    static int64_t SteadyClockMs();

    // Without a clock the steady clock of the process is used.
    explicit CBusyGuard(Clock clock = {});

    enum class BeginResult { kRefused, kNested, kFirst };
    // kRefused: within the window after a remembered End (nothing changes); kFirst: the count
    // went from 0 to 1 (show the indicator); kNested: the count went up from 1 or more.
    BeginResult Begin(bool suppress = true, int windowMs = kDefaultWindowMs);
    // True when the count reached 0 (hide the indicator). An End without a matching Begin is
    // ignored and returns false: an unbalanced caller must not drive the count below zero.
    bool End(bool remember = true);

    int Nesting() const { return m_nesting; }
    bool Active() const { return m_nesting > 0; }

private:
    Clock m_clock;
    int m_nesting = 0;
    std::optional<int64_t> m_lastEndMs;
};

} // namespace kvl
