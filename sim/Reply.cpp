#include "sim/Reply.h"

#include "protocol/Frame.h"

namespace kvl::sim {
namespace {
constexpr uint8_t kRefusalMark = 0x0F;
constexpr size_t kStatusReplyLength = 8;
} // namespace

std::vector<uint8_t> Reply::Frame(uint8_t address, uint8_t command, const std::vector<uint8_t> &data)
{
    return frame::Build(address, command, data);
}

std::vector<uint8_t> Reply::Status(uint8_t address, uint8_t command, uint8_t status)
{
    return frame::Build(address, command, std::vector<uint8_t>{status});
}

std::vector<uint8_t> Reply::Refusal(uint8_t address, uint8_t command, size_t length)
{
    if (length < kStatusReplyLength)
        length = kStatusReplyLength;
    std::vector<uint8_t> out(length, 0x00);
    out[frame::kOffsetStart] = frame::kStartByte;
    out[frame::kOffsetAxis] = address;
    out[frame::kOffsetCommand] = command;
    out[frame::kOffsetData] = kRefusalMark;
    out[length - 2] = frame::kCr;
    out[length - 1] = frame::kLf;
    // The pattern must never pass as a good frame; a longer frame has room to spoil its CRC.
    if (frame::CrcMatches(out.data(), out.size()) && length > kStatusReplyLength)
        out[length - 3] ^= 0xFF;
    return out;
}

} // namespace kvl::sim
