#pragma once
// CGatewayRules: the fixed tables of the gateway unit (devices, input modes and their points,
// the CC-Link occupation table, the fieldbus types and speeds) and the rules built on them: the
// points the stations use, the fieldbus capacity, the saturation and the EtherNet/IP address
// check, and the CC-Link version rule. Stateless.
#include <string>
#include <vector>

#include "gateway/CGatewayConfig.h"

namespace kvl {

class CGatewayRules {
public:
    static constexpr int kFullPercent = 100;
    static constexpr int kFieldbusPoints = 120;   // DeviceNet, EtherCAT and EtherNet/IP
    static constexpr int kCcLinkCode = 1;         // parameter 1 of a CC-Link unit
    static constexpr int kEtherNetIpCode = 5;     // parameter 1 of an EtherNet/IP unit
    static constexpr int kVersion110 = 0;         // CC-Link version position "V1.10"
    static constexpr int kFixedOccupation = 5;    // "4,1", the only occupation of CC-Link V1.10
    static constexpr char kVersionQuestionBuiltIn[] = "Occupation,Multiple\"4,1\"Will be fixed. All right?";

    struct Occupation {
        int stations;
        int multiple;
        int multipleCode;
    };
    // The occupied stations and multiple setting of CC-Link, by list position.
    static const std::vector<Occupation> &OccupationTable();
    // The position of (stations - 1, multiple code) as the unit packs them; 0 when not in the table.
    static int OccupationPosition(int stationsLess1, int multipleCode);
    // The position of `stations` and `multiple`; -1 when the pair is not in the table.
    static int OccupationOf(int stations, int multiple);

    // List positions and codes: devices and fieldbus types travel as codes, the lists show positions.
    static const std::vector<int> &DeviceCodes();      // 0, 1, 2, 3, 6, 7, 8, 255
    static const std::vector<int> &FieldbusCodes();    // 1, 2, 4, 5
    static int PositionOf(const std::vector<int> &codes, int code);   // 0 when absent
    static int InputModePoints(int mode);              // 1, 3, 8, 14

    static int UsedPoints(const CGatewayConfig &config);
    static int Capacity(const CGatewayConfig &config);
    // used / capacity in percent, rounded half up; 0 when the capacity is 0.
    static int Saturation(const CGatewayConfig &config);
    // EtherNet/IP only: the first of IP address, subnet mask and default gateway whose four octets
    // are all 255 (0, 1, 2); -1 when the addresses may be written.
    static int BadAddress(const CGatewayConfig &config);

    // Whether `config` needs the V1.10 question when it replaces `before` (a version chosen or
    // loaded): CC-Link at V1.10, coming from V2.00 or bringing another occupation than "4,1" (one
    // that `before` already had, as a unit may report it, is left as it is).
    static bool NeedsVersionQuestion(const CGatewayConfig &config, const CGatewayConfig &before);
    // The answer to that question: OK fixes "4,1"; Cancel goes back to the version of `before`
    // (and, when that was V1.10 too, to its occupation), so V1.10 never comes with another one.
    static void AnswerVersionQuestion(bool ok, CGatewayConfig &config, const CGatewayConfig &before);
};

} // namespace kvl
