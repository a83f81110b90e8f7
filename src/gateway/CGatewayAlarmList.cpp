#include "gateway/CGatewayAlarmList.h"

#include "gateway/CGatewayUnit.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl {

namespace {

constexpr int kTimeoutMs = 200;
constexpr uint8_t kLastNumbered = 5;
constexpr char kCommon[] = "COMMON";

} // namespace

CGatewayAlarmList::CGatewayAlarmList(CServoCommands &commands, bool offline, Hooks hooks)
    : m_commands(commands), m_offline(offline), m_hooks(std::move(hooks)), m_history(cmd::kAlarmHistoryLen, 0)
{
}

std::string CGatewayAlarmList::KeyOf(uint8_t code)
{
    if (code <= kLastNumbered)
        return "ID_ALARM_E" + std::to_string(code);
    if (code == kRestarted)
        return "ID_ALARM_E5";
    return {};
}

void CGatewayAlarmList::Get()
{
    if (m_offline)
        return;
    std::vector<uint8_t> history;
    if (m_commands.ReadAlarmHistory(history, CGatewayUnit::kAddress, kTimeoutMs) != kResultOk)
        return;
    if (history == m_history)
        return;
    m_history = history;
    m_shown = history;
    Rebuild();
}

void CGatewayAlarmList::Rebuild()
{
    m_entries.clear();
    for (uint8_t code : m_shown) {
        const std::string key = KeyOf(code);
        if (!key.empty())
            m_entries.push_back(Text(key, kSection, key.c_str()));
    }
}

void CGatewayAlarmList::Reset()
{
    if (m_offline)
        return;
    uint8_t status = 0;
    if (m_commands.AlarmReset(status, CGatewayUnit::kAddress, kTimeoutMs) != kResultOk || status != 1) {
        if (m_hooks.message)
            m_hooks.message(Text("DS_ALARMLST_RESET_FAILED", kCommon, "The alarm reset failed."));
    }
}

void CGatewayAlarmList::Clear()
{
    if (m_offline)
        return;
    const std::string question = Text("IDS_WARNMSG_ALARMLISTRESET", kCommon, "Clear the alarm history?");
    if (!m_hooks.ask || !m_hooks.ask(question))
        return;
    uint8_t status = 0;
    // The last history read stays: the same history read again changes nothing.
    if (m_commands.ClearAlarmHistory(status, CGatewayUnit::kAddress, kTimeoutMs) == kResultOk && status == 1) {
        m_shown.clear();
        m_entries.clear();
    }
}

std::string CGatewayAlarmList::Text(const std::string &key, const std::string &section, const char *builtIn) const
{
    const std::string text = m_hooks.text ? m_hooks.text(key, section) : std::string();
    return text.empty() ? builtIn : text;
}

} // namespace kvl
