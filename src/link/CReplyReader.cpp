#include "link/CReplyReader.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <algorithm>

#include "link/CCommBase.h"
#include "link/ResultCode.h"

namespace kvl {

CReplyReader::CReplyReader(QSerialPort &port, uint8_t *buffer, int capacity, int speed, const LinkHooks &hooks)
    : port_(port), buffer_(buffer), capacity_(capacity), speed_(speed > 0 ? speed : link::kDefaultSpeed), hooks_(hooks)
{
}

int CReplyReader::WireMs(int bytes, int speed)
{
    if (bytes <= 0 || speed <= 0)
        return 0;
    const long long bits = static_cast<long long>(bytes) * kBitsPerByte * 1000;
    return static_cast<int>((bits + speed - 1) / speed);
}

int CReplyReader::ReplyDeadlineMs(int expected, int timeoutMs, int settleMs, int speed)
{
    const int bytes = expected > 0 ? expected : kLongestFrameBytes;
    return std::max(timeoutMs, 0) + std::max(settleMs, 0) + WireMs(bytes, speed) + kDeadlineMarginMs;
}

int CReplyReader::BulkDeadlineMs(int timeoutMs, int capacity, int speed)
{
    return std::max(timeoutMs, 0) + WireMs(capacity, speed) + kPaddingIdlePolls * kPaddingPollMs +
           kDeadlineMarginMs;
}

int CReplyReader::WaveDeadlineMs(int length, int timeoutMs, int speed)
{
    // One timeout for the first byte and one more for the gaps of a reply sent in bursts.
    return 2 * std::max(timeoutMs, 0) + WireMs(length, speed) + kDeadlineMarginMs;
}

void CReplyReader::StartClock(int deadlineMs)
{
    deadlineMs_ = deadlineMs;
    clock_.start();
}

int CReplyReader::LeftMs() const
{
    return static_cast<int>(std::max<qint64>(deadlineMs_ - clock_.elapsed(), 0));
}

bool CReplyReader::WaitForBytes(int ms)
{
    if (lost_)
        return false;
    if (port_.bytesAvailable() > 0)
        return true;
    port_.clearError();
    // Also with 0 ms: that looks once at the driver for bytes not yet taken in.
    if (port_.waitForReadyRead(std::max(ms, 0)))
        return true;
    const QSerialPort::SerialPortError error = port_.error();
    if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
        lost_ = true;
    return !lost_ && port_.bytesAvailable() > 0;
}

int CReplyReader::ReadAvailable()
{
    const int room = capacity_ - count_;
    if (room <= 0)
        return 0;
    const qint64 n = port_.read(reinterpret_cast<char *>(buffer_ + count_), room);
    if (n <= 0)
        return 0;
    const int first = count_;
    count_ += static_cast<int>(n);
    // The bulk point-table read can take seconds; a face may show how much has come.
    if (paddingMode_ && hooks_.bulkReadProgress)
        hooks_.bulkReadProgress(count_);
    if (startIndex_ < 0) {
        const uint8_t *start = std::find(buffer_ + first, buffer_ + count_, link::kStartByte);
        if (start != buffer_ + count_)
            startIndex_ = static_cast<int>(start - buffer_);
    }
    return static_cast<int>(n);
}

bool CReplyReader::ReplyComplete(int expected)
{
    // Noise before the start byte lengthens the reply by its own size; until a start byte has
    // come, every byte so far is noise and the reply cannot be complete.
    return startIndex_ >= 0 && count_ >= expected + startIndex_;
}

int CReplyReader::ReadBlock(int expected, int timeoutMs, int settleMs, bool paddingMode)
{
    count_ = 0;
    startIndex_ = -1;
    lost_ = false;
    paddingMode_ = paddingMode;
    StartClock(paddingMode ? BulkDeadlineMs(timeoutMs, capacity_, speed_)
                           : ReplyDeadlineMs(expected, timeoutMs, settleMs, speed_));
    const qint64 waitBudgetMs = static_cast<qint64>(timeoutMs / kPollMs) * kPollMs;
    if (waitBudgetMs <= 0 || !WaitForBytes(static_cast<int>(waitBudgetMs)))
        return kResultTimeout;

    if (expected > 0) {
        ReadAvailable();
        while (!lost_ && !ReplyComplete(expected) && count_ < capacity_) {
            const qint64 left = waitBudgetMs - clock_.elapsed();
            if (left <= 0 || !WaitForBytes(static_cast<int>(left)))
                break;
            ReadAvailable();
        }
        if (ReplyComplete(expected))
            return kResultOk;
        // A short reply: take what is still coming, the command layer refuses the length.
    }
    // Bytes that never stop (a device still sending an earlier answer) fail the exchange.
    if (!Settle(settleMs) || lost_)
        return kResultTimeout;
    if (!paddingMode)
        return kResultOk;
    return WaitForPaddingEnd();
}

bool CReplyReader::Settle(int settleMs)
{
    ReadAvailable();
    QElapsedTimer sinceByte;
    sinceByte.start();
    while (count_ < capacity_) {
        const int left = LeftMs();
        if (left <= 0) {
            // At the deadline: a line quiet for the settle interval ended the reply in time (the
            // reader may only have been late to look); bytes still coming fail it.
            return !WaitForBytes(0) && sinceByte.elapsed() >= settleMs;
        }
        if (!WaitForBytes(std::min(settleMs, left))) {
            if (lost_ || sinceByte.elapsed() >= settleMs)
                return true;
            continue;
        }
        ReadAvailable();
        sinceByte.restart();
    }
    return true;
}

int CReplyReader::WaitForPaddingEnd()
{
    int idlePolls = 0;
    while (!PaddingEndSeen(buffer_, count_)) {
        // A full buffer ends the wait: nothing more can be taken in, so waiting cannot help.
        if (count_ >= capacity_)
            return kResultOk;
        if (idlePolls >= kPaddingIdlePolls)
            return count_ > 0 ? kResultOk : kResultTimeout;
        const int left = LeftMs();
        if (left <= 0)
            return kResultTimeout;
        if (WaitForBytes(std::min(kPaddingPollMs, left)))
            ReadAvailable();
        else if (lost_)
            return kResultTimeout;
        else
            ++idlePolls;
    }
    return kResultOk;
}

bool CReplyReader::PaddingEndSeen(const uint8_t *data, int count)
{
    for (int tail = kPaddingTailMin; tail <= kPaddingTailMax; ++tail) {
        const int end = count - tail;
        if (end < kPaddingRun)
            continue;
        if (std::all_of(data + end - kPaddingRun, data + end, [](uint8_t b) { return b == 0xFF; }))
            return true;
    }
    return false;
}

int CReplyReader::WaveReplyLength(const uint8_t *header)
{
    const int samples = (header[kWaveOffsetCount] | (header[kWaveOffsetCount + 1] << 8)) & kWaveCountMask;
    return samples * 2 + kWaveFixedBytes;
}

int CReplyReader::ReadWaveBytes(int expected, int timeoutMs)
{
    count_ = 0;
    lost_ = false;
    // The last byte of the buffer stays free: a reply that reaches it counts as a failed read.
    const int storeLimit = capacity_ - 1;
    QElapsedTimer sinceByte;
    sinceByte.start();
    // Until the header tells the length, only the header is allowed for.
    StartClock(WaveDeadlineMs(expected > 0 ? expected : kWaveHeaderBytes, timeoutMs, speed_));
    for (;;) {
        // A copy: the handlers it runs may replace the hook.
        const std::function<void()> pump = hooks_.pumpEvents;
        if (pump)
            pump();
        if (port_.bytesAvailable() == 0) {
            const qint64 quiet = sinceByte.elapsed();
            if (lost_ || quiet > timeoutMs || LeftMs() <= 0)
                return kResultTimeout;
            // Short waits, so that the window system is served while the device is quiet.
            WaitForBytes(static_cast<int>(std::min<qint64>(kPumpSliceMs, timeoutMs - quiet + 1)));
            continue;
        }
        while (port_.bytesAvailable() > 0) {
            sinceByte.restart();
            char c = 0;
            if (!port_.getChar(&c))
                return kResultTimeout;
            const auto byte = static_cast<uint8_t>(c);
            if (count_ == 0 && byte != link::kStartByte)
                continue;
            if (count_ >= storeLimit)
                return kResultTimeout;
            buffer_[count_++] = byte;
            const int target = expected > 0 ? expected
                               : count_ >= kWaveHeaderBytes ? WaveReplyLength(buffer_)
                                                             : 0;
            if (target > 0 && count_ >= target)
                return kResultOk;
            if (count_ == kWaveHeaderBytes && expected <= 0) {
                const int rest = WaveDeadlineMs(target - count_, timeoutMs, speed_);
                deadlineMs_ = static_cast<int>(clock_.elapsed()) + rest;
            }
        }
    }
}

} // namespace kvl
