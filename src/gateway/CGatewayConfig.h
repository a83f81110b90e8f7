#pragma once
// CGatewayConfig: everything the network gateway unit is set up with, as plain values in the
// codes the unit itself uses, plus the twelve list colours a unit settings file carries. The unit
// reads and writes it (CGatewayUnit), the unit settings file keeps it (CGatewaySettingsFile).
#include <array>
#include <cstdint>
#include <string>

#include "protocol/ServoTypes.h"

namespace kvl {

struct CGatewayConfig {
    static constexpr int kStations = 16;
    static constexpr int kColours = 12;
    static constexpr uint32_t kWhite = 16777215;
    using Octets = std::array<int, 4>;   // first octet first

    // Unit parameters.
    std::string comment;          // the unit's 16-character name
    int interval = 200;           // parameter 2, ms
    int broadcastDelay = 50;      // parameter 5, ms
    int resetTimes = 3;           // parameter 6
    int speedToPc = 3;            // parameter 3: 1 = 38400, 2 = 57600, 3 = 115200
    int speedToDrivers = 3;       // parameter 4, same codes
    int commForbidding = 0;       // parameter 19: 0 invalid, 1 valid
    // Fieldbus side.
    int fieldbusType = 1;         // parameter 1: 1 CC-Link, 2 DeviceNet, 4 EtherCAT, 5 EtherNet/IP
    int ccLinkSpeed = 1;          // parameter 7: 1 to 5
    int ccLinkStations = 0;       // parameter 17 as a position of CGatewayRules' occupation table
    int ccLinkVersion = 0;        // parameter 18: 0 V1.10, 1 V2.00
    int deviceNetSpeed = 3;       // parameter 16: 0 to 3
    Octets ipAddress{192, 168, 0, 1};      // parameter 11
    Octets subnetMask{255, 255, 255, 0};   // parameter 12
    Octets defaultGateway{0, 0, 0, 0};     // parameter 13
    int dhcp = 0;                 // parameter 14
    int ethernetSpeed = 1;        // parameter 15: 1 to 5
    // Stations: device codes (0, 1, 2, 3, 6, 7, 8, 255) and input modes (0 to 3).
    UnitDeviceList devices{};
    std::array<uint8_t, kStations> inputModes{};
    // List colours (24-bit, red in the low byte), in the order of the file's lines 101 to 112.
    std::array<uint32_t, kColours> colours = [] {
        std::array<uint32_t, kColours> white{};
        white.fill(kWhite);
        return white;
    }();

    bool operator==(const CGatewayConfig &) const = default;
};

} // namespace kvl
