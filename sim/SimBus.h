#pragma once
// The simulated RS-485 bus: the devices by address, the request routing and the shared simulated
// clock. Owns its devices. Not thread-safe: the BusRunner serialises access with its own lock,
// tests call it directly from one thread.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/SimDevice.h"

namespace kvl::sim {

class AxisDevice;
class GatewayDevice;

class SimBus {
public:
    // Adds a device; false when its address is taken.
    bool Add(std::unique_ptr<SimDevice> device);
    // Puts `device` at its address in place of the one there (a controller swapped for a fresh
    // one); false when the address held nothing.
    bool Replace(std::unique_ptr<SimDevice> device);
    // The demo bus: one axis of each model on 0 to 5 and the gateway at 0xF1 listing them.
    static std::unique_ptr<SimBus> CreateDemo();

    // Routes one complete, CRC-checked request frame; an empty result means nobody answers.
    std::vector<uint8_t> Dispatch(const uint8_t *frame, size_t length);
    // Moves the simulated clock on; every device runs its motion for that time.
    void Advance(int64_t micros);
    int64_t NowMicros() const { return m_nowMicros; }

    SimDevice *Device(uint8_t address) const;
    AxisDevice *Axis(uint8_t address) const;
    GatewayDevice *Gateway() const;
    std::vector<uint8_t> Addresses() const;

    // Line speed a device asked for (the gateway's speed to the PC), 0 when none did.
    int RequestedBusSpeed() const;

    nlohmann::json SaveState() const;
    void LoadState(const nlohmann::json &state);

private:
    std::map<uint8_t, std::unique_ptr<SimDevice>> m_devices;
    int64_t m_nowMicros = 0;
};

} // namespace kvl::sim
