#include "sim/FrameAssembler.h"

#include <algorithm>

#include "protocol/Frame.h"

namespace kvl::sim {

void FrameAssembler::Feed(const uint8_t *data, size_t length, int64_t nowMicros)
{
    if (length == 0)
        return;
    if (!buffer_.empty() && nowMicros - lastMicros_ > kStaleMicros)
        buffer_.clear();
    const bool wasEmpty = buffer_.empty();
    buffer_.insert(buffer_.end(), data, data + length);
    lastMicros_ = nowMicros;
    if (wasEmpty)
        startMicros_ = nowMicros;
    DropToStart();
}

void FrameAssembler::DropToStart()
{
    const auto start = std::find(buffer_.begin(), buffer_.end(), frame::kStartByte);
    buffer_.erase(buffer_.begin(), start);
}

std::optional<FrameAssembler::Request> FrameAssembler::Next()
{
    while (buffer_.size() >= frame::kFrameOverhead) {
        for (size_t end = frame::kFrameOverhead; end <= buffer_.size() && end <= kMaxRequestLength; ++end) {
            if (!frame::EndsWithCrLf(buffer_.data(), end) || !frame::CrcMatches(buffer_.data(), end))
                continue;
            Request request;
            request.bytes.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(end));
            request.firstByteMicros = startMicros_;
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(end));
            startMicros_ = lastMicros_;
            DropToStart();
            return request;
        }
        if (buffer_.size() < kMaxRequestLength)
            return std::nullopt;
        // No frame fits behind this start byte: it was noise.
        buffer_.erase(buffer_.begin());
        DropToStart();
    }
    return std::nullopt;
}

} // namespace kvl::sim
