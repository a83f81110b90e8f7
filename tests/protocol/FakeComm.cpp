#include "FakeComm.h"

#include <algorithm>

#include "protocol/Frame.h"

namespace kvl::test {

void FakeComm::Answer(const Bytes &bytes, int result) { script.emplace_back(bytes, result); }

int FakeComm::OpenSerial(int port, int speed)
{
    modesAtOpen.push_back(mode);
    openedPort = port;
    openedSpeed = speed;
    open = openResult;
    return openResult;
}

int FakeComm::Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received, int expected,
                       int timeoutMs, int settleMs)
{
    calls.push_back({Bytes(request, request + requestLength), expected, timeoutMs, settleMs,
                     paddingMode});
    *received = 0;
    if (script.empty())
        return -202;
    auto [bytes, result] = script.front();
    script.pop_front();
    const size_t n = std::min(bytes.size(), static_cast<size_t>(frame::kReceiveLimit));
    std::copy_n(bytes.begin(), n, reply);
    *received = static_cast<int>(n);
    return result;
}

Bytes ReplyFrame(uint8_t axis, uint8_t command, const Bytes &data) { return frame::Build(axis, command, data); }

Bytes WithBadCrc(Bytes frame)
{
    frame[frame.size() - 3] ^= 0x5A;
    return frame;
}

Bytes RefusalFrame(uint8_t axis, uint8_t command, int length)
{
    Bytes f(static_cast<size_t>(length), 0);
    f[0] = frame::kStartByte;
    f[1] = axis;
    f[2] = command;
    f[3] = 0x0F;
    f[f.size() - 2] = frame::kCr;
    f[f.size() - 1] = frame::kLf;
    // The CRC bytes stay 00 00 unless that happens to be the right CRC.
    if (frame::CrcMatches(f.data(), f.size()))
        f[f.size() - 3] = 0x01;
    return f;
}

Bytes PatternData(int count)
{
    Bytes data(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        data[static_cast<size_t>(i)] = static_cast<uint8_t>(0x11 + i);
    return data;
}

} // namespace kvl::test
