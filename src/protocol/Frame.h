#pragma once
// Layout of a bus frame, request and reply alike:
//   0xEF, axis, command, payload..., CRC high, CRC low, 0x0D, 0x0A
// The CRC covers the command byte and the payload. Every offset of the frame lives here.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/CCommBase.h"

namespace kvl::frame {

// The bytes the transport finds a reply by are the link layer's.
constexpr uint8_t kStartByte = link::kStartByte;
constexpr uint8_t kCr = link::kCr;
constexpr uint8_t kLf = link::kLf;

constexpr size_t kOffsetStart = 0;
constexpr size_t kOffsetAxis = 1;
constexpr size_t kOffsetCommand = link::kOffsetCommand;
constexpr size_t kOffsetData = 3;       // first payload / reply-data byte
constexpr size_t kFrameOverhead = 7;    // start, axis, command, CRC x2, CR, LF

constexpr uint8_t kGatewayAddress = 0xF1;
constexpr int kReceiveLimit = link::kReceiveLimit;    // largest reply the transport collects

// Builds a request: start byte, axis, command, payload, CRC high/low, CR LF.
std::vector<uint8_t> Build(uint8_t axis, uint8_t command, const uint8_t *payload, size_t payloadLength);
std::vector<uint8_t> Build(uint8_t axis, uint8_t command, const std::vector<uint8_t> &payload = {});

// True when the CRC stored at the end of a frame of `length` bytes matches bytes 2 .. length-5.
bool CrcMatches(const uint8_t *frame, size_t length);

// True when the frame ends with CR LF at its last two positions.
bool EndsWithCrLf(const uint8_t *frame, size_t length);

// True when a reply of `length` bytes is a whole frame for `axis` and `command`: at least the
// frame overhead long, the start byte, the axis and the command echo in their places and CR LF at
// the end. The CRC is not looked at.
bool IsWholeReply(const uint8_t *frame, size_t length, uint8_t axis, uint8_t command);

// Little-endian field helpers for payload and reply data.
inline uint16_t GetU16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline int16_t GetI16(const uint8_t *p) { return static_cast<int16_t>(GetU16(p)); }
inline int32_t GetI32(const uint8_t *p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}
inline void PutU16(std::vector<uint8_t> &out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutI32(std::vector<uint8_t> &out, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>((u >> shift) & 0xFF));
}

} // namespace kvl::frame
