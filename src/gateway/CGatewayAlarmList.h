#pragma once
// CGatewayAlarmList: the gateway unit's alarm history as the alarm page shows it. Get reads the
// unit's 50 history bytes and rebuilds the list only when they changed; each byte 0 to 5 is an
// alarm E0 to E5, 254 the unit's restart (also E5), any other byte no entry. Reset resets the unit's
// alarm; Clear asks first and then clears the unit's history. Offline nothing is sent.
// The last history read starts as 50 zero bytes, so a unit whose first history is all zeros shows
// no entries; a cleared list stays empty (also in another language) until a changed history is read.
// Owned by the page; the thread that makes the exchanges.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvl {

class CServoCommands;

class CGatewayAlarmList {
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_ALARMLIST";
    static constexpr uint8_t kRestarted = 254;

    struct Hooks {
        std::function<void(const std::string &text)> message;   // empty title, OK only
        std::function<bool(const std::string &text)> ask;       // OK / Cancel; empty: Cancel
        // (key, section) -> language text; empty when there is none.
        std::function<std::string(const std::string &key, const std::string &section)> text;
    };

    CGatewayAlarmList(CServoCommands &commands, bool offline, Hooks hooks);

    // The language key of a history byte ("ID_ALARM_E0" ... "ID_ALARM_E5"); empty: no entry.
    static std::string KeyOf(uint8_t code);

    void Get();
    void Reset();
    void Clear();
    // The entries again in the current language (from the last history read).
    void Rebuild();

    bool Offline() const { return m_offline; }
    const std::vector<std::string> &Entries() const { return m_entries; }

private:
    std::string Text(const std::string &key, const std::string &section, const char *builtIn) const;

    CServoCommands &m_commands;
    bool m_offline;
    Hooks m_hooks;
    // The last history read; compared with the next one.
    std::vector<uint8_t> m_history;
    // The history the entries show: the last one read, or none after Clear.
    std::vector<uint8_t> m_shown;
    std::vector<std::string> m_entries;
};

} // namespace kvl
