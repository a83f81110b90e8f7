#include "sim/FrameAssembler.h"

#include <algorithm>

#include "protocol/Frame.h"

namespace kvl::sim {

void FrameAssembler::Feed(const uint8_t *data, size_t length, int64_t nowMicros)
{
    if (length == 0)
        return;
    if (!m_buffer.empty() && nowMicros - m_lastMicros > kStaleMicros)
        m_buffer.clear();
    const bool wasEmpty = m_buffer.empty();
    m_buffer.insert(m_buffer.end(), data, data + length);
    m_lastMicros = nowMicros;
    if (wasEmpty)
        m_startMicros = nowMicros;
    DropToStart();
}

void FrameAssembler::DropToStart()
{
    const auto start = std::find(m_buffer.begin(), m_buffer.end(), frame::kStartByte);
    m_buffer.erase(m_buffer.begin(), start);
}

std::optional<FrameAssembler::Request> FrameAssembler::Next()
{
    while (m_buffer.size() >= frame::kFrameOverhead) {
        for (size_t end = frame::kFrameOverhead; end <= m_buffer.size() && end <= kMaxRequestLength; ++end) {
            if (!frame::EndsWithCrLf(m_buffer.data(), end) || !frame::CrcMatches(m_buffer.data(), end))
                continue;
            Request request;
            request.bytes.assign(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(end));
            request.firstByteMicros = m_startMicros;
            m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(end));
            m_startMicros = m_lastMicros;
            DropToStart();
            return request;
        }
        if (m_buffer.size() < kMaxRequestLength)
            return std::nullopt;
        // No frame fits behind this start byte: it was noise.
        m_buffer.erase(m_buffer.begin());
        DropToStart();
    }
    return std::nullopt;
}

} // namespace kvl::sim
