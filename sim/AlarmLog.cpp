#include "sim/AlarmLog.h"

#include <algorithm>

#include "sim/Reply.h"

namespace kvl::sim {

void AlarmLog::Raise(uint8_t code)
{
    // A repeat of the alarm already standing is one event, not a new history entry.
    if (m_current == code)
        return;
    m_current = code;
    Record(code);
}

void AlarmLog::Record(uint8_t code)
{
    std::copy_backward(m_history.begin(), m_history.end() - 1, m_history.end());
    m_history[0] = code;
}

std::vector<uint8_t> AlarmLog::Answer(uint8_t address, uint8_t command)
{
    constexpr uint8_t kDone = 1;
    switch (command) {
    case cmd::kCmdReadAlarmCode:
        return Reply::Frame(address, command, {m_current});
    case cmd::kCmdAlarmReset:
        Reset();
        return Reply::Status(address, command, kDone);
    case cmd::kCmdReadAlarmHistory:
        return Reply::Frame(address, command, std::vector<uint8_t>(m_history.begin(), m_history.end()));
    default:
        ClearHistory();
        return Reply::Status(address, command, kDone);
    }
}

} // namespace kvl::sim
