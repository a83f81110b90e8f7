#include "protocol/CBusScanner.h"

#include "base/CEventLog.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl {

int LinkResult::LinkedCount() const
{
    int count = 0;
    for (const auto &axis : axes)
        count += axis.answered ? 1 : 0;
    return count;
}

std::string LinkResult::Summary() const
{
    if (!found)
        return "nothing answered";
    std::string text = "at " + std::to_string(speed) + " bit/s:";
    if (gatewayPresent)
        text += " network unit;";
    text += LinkedCount() == 1 ? " axis" : " axes";
    const char *separator = " ";
    for (size_t a = 0; a < axes.size(); ++a) {
        if (!axes[a].answered)
            continue;
        text += separator + std::to_string(a) + " " + axes[a].model;
        separator = ", ";
    }
    if (LinkedCount() == 0)
        text += " none";
    return text;
}

CBusScanner::CBusScanner(CServoCommands &commands) : m_commands(commands) {}

std::array<int, 3> CBusScanner::SpeedPasses(int storedSpeed, bool gatewayProbe)
{
    for (size_t i = 0; i < kSpeeds.size(); ++i) {
        if (kSpeeds[i] == storedSpeed)
            return {kSpeeds[i], kSpeeds[(i + 1) % kSpeeds.size()], kSpeeds[(i + 2) % kSpeeds.size()]};
    }
    return {gatewayProbe ? kSpeeds[0] : storedSpeed, kSpeeds[1], kSpeeds[2]};
}

DeviceIdentity CBusScanner::Identify(int address)
{
    return Identify(address, kProbeTimeoutMs);
}

DeviceIdentity CBusScanner::Identify(int address, int timeoutMs)
{
    DeviceIdentity identity;
    const int result = m_commands.ReadDeviceType(identity.model, identity.version, identity.name,
                                                 static_cast<uint8_t>(address), timeoutMs);
    identity.answered = (result == kResultOk);
    identity.heard = result != kResultTimeout;
    return identity;
}

std::vector<int> CBusScanner::AskAgain(LinkResult &link, const std::vector<int> &addresses)
{
    std::vector<int> silent;
    for (const int address : addresses) {
        DeviceIdentity &slot = address == frame::kGatewayAddress ? link.gateway : link.axes[static_cast<size_t>(address)];
        if (slot.answered)
            continue;
        const DeviceIdentity identity = Identify(address, CServoCommands::kTimeoutMs);
        if (!identity.answered) {
            silent.push_back(address);
            continue;
        }
        slot = identity;
        if (address == frame::kGatewayAddress)
            link.gatewayPresent = true;
    }
    return silent;
}

bool CBusScanner::ProbeGateway(int port, int storedSpeed, DeviceIdentity &gateway, int &speed)
{
    if (port <= 0)
        return false;
    for (int passSpeed : SpeedPasses(storedSpeed, true)) {
        if (m_commands.OpenPort(port, passSpeed) != 1)
            continue;
        DeviceIdentity identity = Identify(frame::kGatewayAddress);
        if (identity.answered) {
            gateway = identity;
            speed = passSpeed;
            return true;
        }
    }
    return false;
}

bool CBusScanner::ScanFirstAxis(int port, int storedSpeed, int &address, int &speed)
{
    DeviceIdentity identity;
    return ScanFirstAxis(port, storedSpeed, address, speed, identity);
}

bool CBusScanner::ScanFirstAxis(int port, int storedSpeed, int &address, int &speed, DeviceIdentity &identity)
{
    if (port <= 0)
        return false;
    for (int passSpeed : SpeedPasses(storedSpeed, false)) {
        for (int a = 0; a < kAxisCount; ++a) {
            if (m_commands.OpenPort(port, passSpeed) != 1)
                continue;
            identity = Identify(a);
            if (identity.answered) {
                address = a;
                speed = passSpeed;
                return true;
            }
        }
    }
    return false;
}

LinkResult CBusScanner::Link(int port, int storedSpeed,
                             const std::function<void(int, int)> &progress)
{
    const LinkResult result = Scan(port, storedSpeed, progress);
    CEventLog::Write("link", "port " + std::to_string(port) + ": " + result.Summary());
    return result;
}

LinkResult CBusScanner::Scan(int port, int storedSpeed, const std::function<void(int, int)> &progress)
{
    LinkResult result;
    int speed = 0;
    DeviceIdentity first;
    if (ProbeGateway(port, storedSpeed, result.gateway, speed)) {
        result.gatewayPresent = true;
        result.firstAddress = 0;
    } else {
        int address = -1;
        if (!ScanFirstAxis(port, storedSpeed, address, speed, first))
            return result;
        result.firstAddress = address;
    }
    result.found = true;
    result.speed = speed;
    const int total = kAxisCount - result.firstAddress;
    for (int a = result.firstAddress; a < kAxisCount; ++a) {
        DeviceIdentity identity = Identify(a);
        // The search has heard this one already: a second question lost on the way does not
        // make it absent.
        if (!identity.answered && first.answered && a == result.firstAddress)
            identity = first;
        result.axes[static_cast<size_t>(a)] = identity;
        if (progress)
            progress(a - result.firstAddress + 1, total);
    }
    return result;
}

} // namespace kvl
