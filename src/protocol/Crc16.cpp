#include "protocol/Crc16.h"

#include <array>

namespace kvl {
namespace {

constexpr uint16_t kCrcPolynomial = 0x1021;

// Entry i is the CRC register after shifting byte i through the polynomial.
constexpr std::array<uint16_t, 256> MakeCrcTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ kCrcPolynomial)
                                 : static_cast<uint16_t>(crc << 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

} // namespace

uint16_t Crc16(const uint8_t *data, size_t length)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>(kCrcTable[((crc >> 8) ^ data[i]) & 0xFF] ^ (crc << 8));
    return crc;
}

} // namespace kvl
