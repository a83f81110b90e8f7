#include "protocol/Frame.h"

#include "protocol/Crc16.h"

namespace kvl::frame {

std::vector<uint8_t> Build(uint8_t axis, uint8_t command, const uint8_t *payload, size_t payloadLength)
{
    std::vector<uint8_t> out;
    out.reserve(payloadLength + kFrameOverhead);
    out.push_back(kStartByte);
    out.push_back(axis);
    out.push_back(command);
    out.insert(out.end(), payload, payload + payloadLength);
    const uint16_t crc = Crc16(out.data() + kOffsetCommand, out.size() - kOffsetCommand);
    out.push_back(static_cast<uint8_t>(crc >> 8));
    out.push_back(static_cast<uint8_t>(crc & 0xFF));
    out.push_back(kCr);
    out.push_back(kLf);
    return out;
}

std::vector<uint8_t> Build(uint8_t axis, uint8_t command, const std::vector<uint8_t> &payload)
{
    return Build(axis, command, payload.data(), payload.size());
}

bool CrcMatches(const uint8_t *frame, size_t length)
{
    if (length < kFrameOverhead)
        return false;
    const uint16_t crc = Crc16(frame + kOffsetCommand, length - kOffsetCommand - 4);
    const uint16_t stored = static_cast<uint16_t>((frame[length - 4] << 8) | frame[length - 3]);
    return crc == stored;
}

bool EndsWithCrLf(const uint8_t *frame, size_t length)
{
    return length >= 2 && frame[length - 2] == kCr && frame[length - 1] == kLf;
}

bool IsWholeReply(const uint8_t *frame, size_t length, uint8_t axis, uint8_t command)
{
    return length >= kFrameOverhead && frame[kOffsetStart] == kStartByte && frame[kOffsetAxis] == axis &&
           frame[kOffsetCommand] == command && EndsWithCrLf(frame, length);
}

} // namespace kvl::frame
