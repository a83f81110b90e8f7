#include "link/CTimeoutWarning.h"

#include "link/ResultCode.h"

namespace kvl {

bool CTimeoutWarning::OnResult(int result, int timeoutMs)
{
    if (result != kResultTimeout) {
        count_ = 0;
        return false;
    }
    if (timeoutMs != kCountedTimeoutMs)
        return false;
    if (++count_ < kWarnAfter)
        return false;
    count_ = 0;
    // A copy: the handler it runs may replace the hook.
    const std::function<void()> warn = warn_;
    if (warn)
        warn();
    return true;
}

} // namespace kvl
