#include "link/CReplyReader.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <algorithm>

#include "link/CAppState.h"
#include "link/CCommBase.h"
#include "link/ResultCode.h"

namespace kvl {

CReplyReader::CReplyReader(QSerialPort &port, uint8_t *buffer, int capacity)
    : port_(port), buffer_(buffer), capacity_(capacity)
{
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
    if (CAppState::Instance().paddingMode && CAppState::Instance().bulkReadProgress)
        CAppState::Instance().bulkReadProgress(count_);
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
    QElapsedTimer clock;
    clock.start();
    const qint64 waitBudgetMs = static_cast<qint64>(timeoutMs / kPollMs) * kPollMs;
    if (waitBudgetMs <= 0 || !WaitForBytes(static_cast<int>(waitBudgetMs)))
        return kResultTimeout;

    if (expected > 0) {
        ReadAvailable();
        while (!lost_ && !ReplyComplete(expected) && count_ < capacity_) {
            const qint64 left = waitBudgetMs - clock.elapsed();
            if (left <= 0 || !WaitForBytes(static_cast<int>(left)))
                break;
            ReadAvailable();
        }
        if (ReplyComplete(expected))
            return kResultOk;
        // A short reply: take what is still coming, the command layer refuses the length.
    }
    Settle(settleMs);
    if (lost_)
        return kResultTimeout;
    if (!paddingMode)
        return kResultOk;
    return WaitForPaddingEnd();
}

void CReplyReader::Settle(int settleMs)
{
    ReadAvailable();
    while (count_ < capacity_ && WaitForBytes(settleMs))
        ReadAvailable();
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
        if (WaitForBytes(kPaddingPollMs))
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
    for (;;) {
        // A copy: the handlers it runs may replace the hook.
        const std::function<void()> pump = CAppState::Instance().pumpEvents;
        if (pump)
            pump();
        if (port_.bytesAvailable() == 0) {
            const qint64 quiet = sinceByte.elapsed();
            if (lost_ || quiet > timeoutMs)
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
        }
    }
}

} // namespace kvl
