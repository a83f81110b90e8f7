#pragma once
// CServoParamReader: the parameter list's reads at opening, taken from the command layer for one
// axis (ReadDeviceType with the short probe timeout, ReadParameter with the normal timeout).
// Header-only so that the parameter model does not depend on the command layer: a user of this
// adapter links the command layer itself. Borrowed by CParamList::Load for the call; the
// command layer must outlive it. Same thread as the command layer.
#include <cstdint>
#include <string>

#include "link/ResultCode.h"
#include "params/IParamReader.h"
#include "protocol/CServoCommands.h"

namespace kvl::params {

class CServoParamReader : public IParamReader {
public:
    static constexpr int kLargestParameterNumber = 0xFFFF; // sent as an unsigned 16-bit number

    CServoParamReader(CServoCommands &commands, std::uint8_t axis)
        : m_commands(commands), m_axis(axis)
    {
    }

    int ReadDeviceType(std::string &model, std::string &version, std::string &name) override
    {
        return m_commands.ReadDeviceType(model, version, name, m_axis,
                                         CServoCommands::kTimeoutShortMs);
    }

    int ReadParameter(std::int32_t &value, int number) override
    {
        if (number < 1 || number > kLargestParameterNumber)
            return kResultBadReply;
        return m_commands.ReadParameter(static_cast<std::uint16_t>(number), value, m_axis,
                                        CServoCommands::kTimeoutMs);
    }

private:
    CServoCommands &m_commands;
    std::uint8_t m_axis;
};

} // namespace kvl::params
