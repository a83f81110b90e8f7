#include "sim/AlarmLog.h"

#include <algorithm>

namespace kvl::sim {

void AlarmLog::Raise(uint8_t code)
{
    // A repeat of the alarm already standing is one event, not a new history entry.
    if (current_ == code)
        return;
    current_ = code;
    Record(code);
}

void AlarmLog::Record(uint8_t code)
{
    std::copy_backward(history_.begin(), history_.end() - 1, history_.end());
    history_[0] = code;
}

} // namespace kvl::sim
