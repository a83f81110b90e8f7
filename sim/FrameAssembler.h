#pragma once
// Cuts request frames out of the byte stream the simulator receives: a frame starts at 0xEF and
// ends at the first CR LF behind which the CRC matches. Bytes before a start byte, and a partial
// frame left alone for longer than the inter-frame gap, are dropped. Owned by the BusRunner (or a
// test); one thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kvl::sim {

class FrameAssembler {
public:
    static constexpr size_t kMaxRequestLength = 64;    // longest request is 51 bytes
    static constexpr int64_t kStaleMicros = 50000;     // a partial frame older than this is dropped

    struct Request {
        std::vector<uint8_t> bytes;
        int64_t firstByteMicros = 0;   // when its start byte arrived
    };

    // Adds bytes that arrived at `nowMicros` (any monotonic clock).
    void Feed(const uint8_t *data, size_t length, int64_t nowMicros);
    // The next complete request, if one is in.
    std::optional<Request> Next();
    size_t Pending() const { return m_buffer.size(); }

private:
    void DropToStart();

    std::vector<uint8_t> m_buffer;
    int64_t m_startMicros = 0;
    int64_t m_lastMicros = 0;
};

} // namespace kvl::sim
