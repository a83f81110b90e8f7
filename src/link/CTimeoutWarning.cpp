#include "link/CTimeoutWarning.h"

#include "link/ResultCode.h"

namespace kvl {

bool CTimeoutWarning::OnResult(int result, int timeoutMs)
{
    if (result != kResultTimeout) {
        m_count = 0;
        m_warned = false;
        return false;
    }
    if (timeoutMs != kCountedTimeoutMs)
        return false;
    if (++m_count < kWarnAfter)
        return false;
    m_count = 0;
    if (m_warned)
        return false;
    m_warned = true;
    // A copy: the handler it runs may replace the hook.
    const std::function<void()> warn = m_warn;
    if (warn)
        warn();
    return true;
}

} // namespace kvl
