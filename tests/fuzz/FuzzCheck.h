#pragma once
// Shared pieces of the libFuzzer targets: an abort on a broken property (libFuzzer reports it as
// a crash with the input), and a facade that answers every exchange with the fuzz bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/CComm.h"
#include "protocol/Crc16.h"
#include "protocol/Frame.h"

namespace kvl::fuzz {

inline void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Hands the same reply bytes to every exchange, cut to the transport's receive limit, with a
// successful transport result: whatever the bytes hold, only the command layer's checks stand
// between them and the caller's values.
class ReplyComm : public CComm {
public:
    explicit ReplyComm(std::vector<uint8_t> reply) : m_reply(std::move(reply)) {}

    bool paddingMode = false;
    int exchanges = 0;

    int ConnectTcp(const std::string &, int) override { return 0; }
    int OpenSerial(int, int) override { return 1; }
    int GetPort() override { return 0; }
    void SetMode(int) override {}
    int GetMode() override { return 0; }
    int IsOpen() override { return 1; }
    void Close() override {}
    int Exchange(const uint8_t *, int, uint8_t *reply, int *received, int, int, int) override
    {
        ++exchanges;
        const std::size_t n = std::min(m_reply.size(), static_cast<std::size_t>(frame::kReceiveLimit));
        std::copy_n(m_reply.begin(), n, reply);
        *received = static_cast<int>(n);
        return -200;
    }
    int TextQuery(const std::string &, std::string *) override { return 0; }
    int TextSend(const std::string &) override { return 0; }
    std::string DeviceModelName() override { return {}; }
    void SetPaddingMode(bool on) override { paddingMode = on; }

private:
    std::vector<uint8_t> m_reply;
};

// The reply with the CRC its frame calls for, so that the fuzzer reaches the checks behind the CRC
// check as well: random bytes almost never carry a matching one.
inline std::vector<uint8_t> WithMatchingCrc(std::vector<uint8_t> reply)
{
    if (reply.size() < frame::kFrameOverhead)
        return reply;
    const std::size_t crcAt = reply.size() - 4;
    const uint16_t crc = Crc16(reply.data() + frame::kOffsetCommand, crcAt - frame::kOffsetCommand);
    reply[crcAt] = static_cast<uint8_t>(crc >> 8);
    reply[crcAt + 1] = static_cast<uint8_t>(crc & 0xFF);
    return reply;
}

// The result codes a command may return when the transport succeeded.
inline bool IsCommandResult(int result)
{
    return result == -200 || result == -205 || result == -206 || result == 0;
}

} // namespace kvl::fuzz
