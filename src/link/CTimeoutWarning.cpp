#include "link/CTimeoutWarning.h"

#include "link/CAppState.h"
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
    const std::function<void()> warn = CAppState::Instance().commWarning;
    if (warn)
        warn();
    return true;
}

} // namespace kvl
