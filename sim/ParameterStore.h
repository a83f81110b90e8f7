#pragma once
// The numbered 32-bit parameters of one simulated device, with the model's defaults and the set of
// numbers it has. Owned by its device; called from the bus thread.
#include <cstdint>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/ModelInfo.h"

namespace kvl::sim {

// Parameter numbers the simulated controllers act on.
namespace param {
constexpr int kSoftLimitPlus = 3;       // x 10,000
constexpr int kSoftLimitMinus = 4;      // x 10,000
constexpr int kJogSpeed = 16;           // mm/s (deg/s)
constexpr int kMaxSpeed = 29;
constexpr int kInchingDistance = 31;    // scaled by the model's inching factor
constexpr int kOperationType = 36;
constexpr int kGainPosition = 40;
constexpr int kGainSpeed = 41;
constexpr int kGainIntegral = 42;
constexpr int kEncoderPulses = 45;
constexpr int kFilterSpeed = 117;
constexpr int kFilterTorque = 118;
constexpr int kLoadInertiaRatio = 119;  // x 1000
constexpr int kPushLimit = 151;
constexpr int kTuningStroke = 171;
constexpr int kTuningAcceleration = 172;
constexpr int kTuningSettlingTime = 173;
constexpr int kTuningStiffness = 174;
} // namespace param

// Parameter numbers of the gateway unit.
namespace unitparam {
constexpr int kFieldbusType = 1;
constexpr int kInterruptInterval = 2;
constexpr int kSpeedToPc = 3;           // 1 = 38400, 2 = 57600, 3 = 115200
constexpr int kSpeedToDrivers = 4;
constexpr int kBroadcastDelay = 5;
constexpr int kResetTimes = 6;
constexpr int kCcLinkSpeed = 7;
constexpr int kIpAddress = 11;
constexpr int kSubnetMask = 12;
constexpr int kDefaultGateway = 13;
constexpr int kDhcp = 14;
constexpr int kEthernetSpeed = 15;
constexpr int kDeviceNetSpeed = 16;
constexpr int kCcLinkStations = 17;
constexpr int kCcLinkVersion = 18;
constexpr int kCommForbidding = 19;
} // namespace unitparam

class ParameterStore {
public:
    ParameterStore(const ModelInfo &model, const std::string &version);

    bool Has(int number) const;
    // The value of a parameter the model has; 0 for any other number.
    int32_t Get(int number) const;
    // Stores a value; false (and nothing stored) for a number the model lacks.
    bool Set(int number, int32_t value);

    nlohmann::json ToJson() const;
    void FromJson(const nlohmann::json &json);

private:
    void LoadDefaults();

    ModelInfo m_model;
    std::string m_version;
    std::map<int, int32_t> m_values;
};

} // namespace kvl::sim
