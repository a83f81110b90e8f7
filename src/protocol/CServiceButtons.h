#pragma once
// CServiceButtons: what the message dialog's two service buttons do on the dialog's axis, straight
// through the command layer: the manual home (HomeReturn with the manual mode, the present position
// becomes the origin) and the question whether the controller is in remote operation
// (ReadRemoteState). Each is one exchange with the short timeout of a status command; neither
// reports anything, and an axis that does not answer counts as local. Qt-free; the thread that
// makes the exchanges (the user-interface thread).
#include <cstdint>

namespace kvl {

class CServoCommands;

class CServiceButtons {
public:
    static constexpr int kTimeoutMs = 200;
    // ReadRemoteState's answer while the controller is in remote operation.
    static constexpr std::uint8_t kRemoteOn = 1;

    explicit CServiceButtons(CServoCommands &commands) : m_commands(commands) {}

    // The result code of the exchange.
    int ManualHome(std::uint8_t axis);
    // True only for a good exchange that answers remote operation.
    bool Remote(std::uint8_t axis);

private:
    CServoCommands &m_commands;
};

} // namespace kvl
