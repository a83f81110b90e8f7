#pragma once
// Builds the reply frames a simulated device sends: a normal frame, a one-byte status reply and
// the controller's refusal pattern. Stateless; any thread.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvl::sim {

class Reply {
public:
    // EF, address, command, data, CRC high/low, CR LF.
    static std::vector<uint8_t> Frame(uint8_t address, uint8_t command, const std::vector<uint8_t> &data);
    // An 8-byte reply carrying one status byte.
    static std::vector<uint8_t> Status(uint8_t address, uint8_t command, uint8_t status);
    // The refusal: `length` bytes whose data starts 0x0F 0x00 0x00, zero-filled, with no valid CRC.
    static std::vector<uint8_t> Refusal(uint8_t address, uint8_t command, size_t length);
};

} // namespace kvl::sim
