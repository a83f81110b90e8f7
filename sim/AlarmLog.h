#pragma once
// The current alarm of a device and its 50-slot history (newest first, 0xFF = empty slot).
// Owned by its device; bus thread only.
#include <array>
#include <cstdint>
#include <vector>

#include "protocol/CommandCodes.h"

namespace kvl::sim {

// Alarm codes the simulated controllers raise.
namespace alarm {
constexpr uint8_t kSoftLimitPlus = 12;
constexpr uint8_t kSoftLimitMinus = 13;
constexpr uint8_t kPointData = 16;      // a step without data, or a jump outside the table
} // namespace alarm

// Alarm codes of the gateway unit.
namespace unitalarm {
constexpr uint8_t kRestarted = 254;     // logged at power-on
} // namespace unitalarm

class AlarmLog {
public:
    static constexpr uint8_t kNoAlarm = 0xFF;
    static constexpr uint8_t kEmptySlot = 0xFF;

    AlarmLog() { m_history.fill(kEmptySlot); }

    // Raises an alarm: it becomes current and is entered at the head of the history.
    void Raise(uint8_t code);
    // Enters an event in the history without making it the current alarm.
    void Record(uint8_t code);
    // Clears the current alarm; the history keeps it.
    void Reset() { m_current = kNoAlarm; }
    void ClearHistory() { m_history.fill(kEmptySlot); }

    bool Active() const { return m_current != kNoAlarm; }
    uint8_t Current() const { return m_current; }
    const std::array<uint8_t, cmd::kAlarmHistoryLen> &History() const { return m_history; }

    // The reply of device `address` to one of the four alarm commands (read code, reset, read
    // history, clear history), carrying out what the command asks.
    std::vector<uint8_t> Answer(uint8_t address, uint8_t command);

private:
    uint8_t m_current = kNoAlarm;
    std::array<uint8_t, cmd::kAlarmHistoryLen> m_history{};
};

} // namespace kvl::sim
