#pragma once
// Helpers shared by the simulator tests: one request through a bus, reply field access, and a
// raw serial client for the pseudo-terminal.
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/Frame.h"
#include "sim/SimBus.h"

namespace kvl::sim::test {

// Sends one request frame to the bus and returns the raw reply bytes (empty for silence).
inline std::vector<uint8_t> Ask(SimBus &bus, uint8_t address, uint8_t command, const std::vector<uint8_t> &payload = {})
{
    const auto request = frame::Build(address, command, payload);
    return bus.Dispatch(request.data(), request.size());
}

// The reply data between the command byte and the CRC.
inline std::vector<uint8_t> Data(const std::vector<uint8_t> &reply)
{
    if (reply.size() < frame::kFrameOverhead)
        return {};
    return std::vector<uint8_t>(reply.begin() + frame::kOffsetData, reply.end() - 4);
}

inline std::vector<uint8_t> U16(uint16_t v)
{
    std::vector<uint8_t> out;
    frame::PutU16(out, v);
    return out;
}

inline std::vector<uint8_t> ParamWrite(uint16_t number, int32_t value)
{
    std::vector<uint8_t> out;
    frame::PutU16(out, number);
    frame::PutI32(out, value);
    return out;
}

// Checks that `reply` is a well-formed frame from `address` for `command` of `length` bytes.
inline bool WellFormed(const std::vector<uint8_t> &reply, uint8_t address, uint8_t command, size_t length)
{
    return reply.size() == length && reply[0] == frame::kStartByte && reply[1] == address && reply[2] == command &&
           frame::EndsWithCrLf(reply.data(), reply.size()) && frame::CrcMatches(reply.data(), reply.size());
}

// The serial side of the pseudo-terminal, opened in raw mode at a chosen speed.
class SerialClient {
public:
    ~SerialClient();
    bool Open(const std::string &path, int baud);
    void Close();
    bool SetSpeed(int baud);
    bool Write(const std::vector<uint8_t> &bytes);
    // Reads until `length` bytes are in or `timeoutMs` passes without a byte; returns what came.
    std::vector<uint8_t> Read(size_t length, int timeoutMs);
    // One request/reply.
    std::vector<uint8_t> Exchange(uint8_t address, uint8_t command, const std::vector<uint8_t> &payload,
                                  size_t length, int timeoutMs = 300);

private:
    int m_fd = -1;
};

} // namespace kvl::sim::test
