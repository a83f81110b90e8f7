#include "common/CBusyGuard.h"

#include <chrono>
#include <utility>

namespace kvl {

int64_t CBusyGuard::SteadyClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CBusyGuard::CBusyGuard(Clock clock) : m_clock(clock ? std::move(clock) : Clock(SteadyClockMs)) {}

CBusyGuard::BeginResult CBusyGuard::Begin(bool suppress, int windowMs)
{
    if (suppress && m_lastEndMs && m_clock() - *m_lastEndMs < windowMs)
        return BeginResult::kRefused;
    ++m_nesting;
    return m_nesting == 1 ? BeginResult::kFirst : BeginResult::kNested;
}

bool CBusyGuard::End(bool remember)
{
    if (m_nesting <= 0)
        return false;
    --m_nesting;
    if (m_nesting > 0)
        return false;
    if (remember)
        m_lastEndMs = m_clock();
    return true;
}

} // namespace kvl
