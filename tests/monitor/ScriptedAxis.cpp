#include "ScriptedAxis.h"

#include <algorithm>

#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "sim/Reply.h"

namespace kvl::test {

ScriptedAxis::ScriptedAxis(std::unique_ptr<sim::AxisDevice> inner) : m_inner(std::move(inner)) {}

std::vector<uint8_t> ScriptedAxis::Handle(uint8_t command, const uint8_t *payload, size_t length)
{
    m_requests.push_back({command, std::vector<uint8_t>(payload, payload + length)});
    if (m_silent || m_silenced.count(command))
        return {};
    if (const auto status = m_status.find(command); status != m_status.end())
        return sim::Reply::Status(Address(), command, status->second);
    if (command == cmd::kCmdReadPositions && m_positions) {
        std::vector<uint8_t> data;
        frame::PutI32(data, m_positions->current);
        frame::PutI32(data, m_positions->command);
        return sim::Reply::Frame(Address(), command, data);
    }
    if (command == cmd::kCmdReadAlarmHistory && m_history)
        return sim::Reply::Frame(Address(), command, *m_history);
    return m_inner->Handle(command, payload, length);
}

int ScriptedAxis::Count(uint8_t command) const
{
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(),
                                           [command](const Request &r) { return r.command == command; }));
}

} // namespace kvl::test
