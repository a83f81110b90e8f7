#include "protocol/CServiceButtons.h"

#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl {

int CServiceButtons::ManualHome(std::uint8_t axis)
{
    std::uint8_t status = 0;
    return m_commands.HomeReturn(cmd::kHomeModeManual, status, axis, kTimeoutMs);
}

bool CServiceButtons::Remote(std::uint8_t axis)
{
    std::uint8_t state = 0;
    return m_commands.ReadRemoteState(state, axis, kTimeoutMs) == kResultOk && state == kRemoteOn;
}

} // namespace kvl
