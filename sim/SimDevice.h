#pragma once
// One device on the simulated bus: it answers the requests addressed to it and lives on the
// simulated clock. Owned by the SimBus; every call comes from the bus thread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/ModelInfo.h"

namespace kvl::sim {

class SimDevice {
public:
    virtual ~SimDevice() = default;

    virtual uint8_t Address() const = 0;
    virtual const ModelInfo &Model() const = 0;
    // Answers one request (command byte and payload). An empty result means the device stays silent.
    virtual std::vector<uint8_t> Handle(uint8_t command, const uint8_t *payload, size_t length) = 0;
    // Moves the device's own time on by `micros` microseconds of simulated time.
    virtual void Advance(int64_t micros) = 0;
    // Line speed the device has been told to use on the PC side, 0 when it has no say.
    virtual int RequestedBusSpeed() const { return 0; }

    // What --state keeps across runs (parameters, point table, name).
    virtual nlohmann::json SaveState() const = 0;
    virtual void LoadState(const nlohmann::json &state) = 0;
};

} // namespace kvl::sim
