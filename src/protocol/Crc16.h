#pragma once
// CRC-16/XMODEM of the bus frames: polynomial 0x1021, MSB first, initial 0, no reflection, no final
// XOR. Frames carry it over the command byte and the payload, high byte first.
#include <cstddef>
#include <cstdint>

namespace kvl {

uint16_t Crc16(const uint8_t *data, size_t length);

} // namespace kvl
