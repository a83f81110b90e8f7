#pragma once
// CBusScanner: finds the devices on the bus the way the axis link does. The speed search tries
// up to three speeds (the stored one first, then the ones after it in 115200, 57600, 38400);
// the gateway probe asks address 0xF1, the axis scan the addresses 0 to 15 in turn, and the
// link run then probes every address from the first one that answered. Qt-free: the axis link
// window and the command line share it. Thread: the one that makes the exchanges.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "link/CCommBase.h"

namespace kvl {

class CServoCommands;

// What ReadDeviceType told about one address.
struct DeviceIdentity {
    bool answered = false;
    std::string model;
    std::string version;
    std::string name;
    // Something came back, even a reply that could not be used (spoiled, cut short): unlike
    // silence, a device is there.
    bool heard = false;
};

struct LinkResult {
    bool found = false;              // a gateway or at least one axis answered
    int speed = 0;                   // the speed that answered; 0 when nothing did
    bool gatewayPresent = false;
    DeviceIdentity gateway;
    int firstAddress = -1;           // first axis address probed in the link run
    std::array<DeviceIdentity, 16> axes{};
    int LinkedCount() const;
    // "at 115200 bit/s: network unit; axes 0 MDA, 1 MDB" or "nothing answered", for the daily log.
    std::string Summary() const;
};

class CBusScanner {
public:
    static constexpr int kAxisCount = 16;
    static constexpr int kProbeTimeoutMs = 30;
    static constexpr int kSearchPasses = 3;
    // The bus speeds, fastest first.
    static constexpr std::array<int, 3> kSpeeds{link::kBusSpeeds[2], link::kBusSpeeds[1], link::kBusSpeeds[0]};

    explicit CBusScanner(CServoCommands &commands);

    // The speeds of the three passes. A stored speed of the list starts there and wraps; any
    // other stored speed is used as it is first (the gateway probe takes 115200 instead, since
    // an unknown speed cannot be opened usefully), then 57600 and 38400.
    static std::array<int, 3> SpeedPasses(int storedSpeed, bool gatewayProbe);

    // Up to three passes asking the gateway address. True with the unit's identity and speed.
    bool ProbeGateway(int port, int storedSpeed, DeviceIdentity &gateway, int &speed);
    // Up to three passes over the addresses 0 to 15, reopening the port for every address; the
    // first that answers ends the scan. True with that address and the speed.
    bool ScanFirstAxis(int port, int storedSpeed, int &address, int &speed);
    bool ScanFirstAxis(int port, int storedSpeed, int &address, int &speed, DeviceIdentity &identity);
    // Gateway probe, else axis scan, then ReadDeviceType on every address from the first one.
    // The address that answered the axis scan keeps the identity it gave there when it misses
    // its second question. `progress(done, total)` is called after each probe of the final run
    // (may be empty). The outcome goes into the daily log (CEventLog).
    LinkResult Link(int port, int storedSpeed,
                    const std::function<void(int done, int total)> &progress = {});
    // ReadDeviceType with the probe timeout on one address, or with `timeoutMs`.
    DeviceIdentity Identify(int address);
    DeviceIdentity Identify(int address, int timeoutMs);
    // Asks each of `addresses` that `link` has not linked once more, with the timeout of an
    // ordinary read (a device whose answers come late, or came spoiled); links those that
    // answer and returns the others.
    std::vector<int> AskAgain(LinkResult &link, const std::vector<int> &addresses);

private:
    LinkResult Scan(int port, int storedSpeed, const std::function<void(int done, int total)> &progress);
    CServoCommands &m_commands;
};

} // namespace kvl
