#include "link/CReplyReader.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <algorithm>

#include "link/CCommBase.h"
#include "link/ResultCode.h"

namespace kvl {

CReplyReader::CReplyReader(QSerialPort &port, uint8_t *buffer, int capacity, int speed, const LinkHooks &hooks)
    : m_port(port), m_buffer(buffer), m_capacity(capacity), m_speed(speed > 0 ? speed : link::kDefaultSpeed), m_hooks(hooks)
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
    m_deadlineMs = deadlineMs;
    m_clock.start();
}

int CReplyReader::LeftMs() const
{
    return static_cast<int>(std::max<qint64>(m_deadlineMs - m_clock.elapsed(), 0));
}

bool CReplyReader::WaitForBytes(int ms)
{
    if (m_lost)
        return false;
    if (m_port.bytesAvailable() > 0)
        return true;
    m_port.clearError();
    // Also with 0 ms: that looks once at the driver for bytes not yet taken in.
    if (m_port.waitForReadyRead(std::max(ms, 0)))
        return true;
    const QSerialPort::SerialPortError error = m_port.error();
    if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
        m_lost = true;
    return !m_lost && m_port.bytesAvailable() > 0;
}

int CReplyReader::ReadAvailable()
{
    const int room = m_capacity - m_count;
    if (room <= 0)
        return 0;
    const qint64 n = m_port.read(reinterpret_cast<char *>(m_buffer + m_count), room);
    if (n <= 0)
        return 0;
    m_count += static_cast<int>(n);
    // The bulk point-table read can take seconds; a face may show how much has come.
    if (m_paddingMode && m_hooks.bulkReadProgress)
        m_hooks.bulkReadProgress(m_count);
    FindStart();
    return static_cast<int>(n);
}

void CReplyReader::FindStart()
{
    for (;;) {
        if (m_inForeignFrame) {
            // The rest of another request's frame goes up to the next start byte.
            const int next = static_cast<int>(std::find(m_buffer, m_buffer + m_count, link::kStartByte) - m_buffer);
            Drop(next);
            if (m_count == 0)
                return;
            m_inForeignFrame = false;
        }
        if (m_startIndex < 0) {
            const uint8_t *start = std::find(m_buffer + m_scanFrom, m_buffer + m_count, link::kStartByte);
            m_scanFrom = static_cast<int>(start - m_buffer);
            if (start == m_buffer + m_count)
                return;
            m_startIndex = m_scanFrom;
        }
        if (m_count < m_startIndex + kHeaderBytes)
            return;
        const uint8_t *header = m_buffer + m_startIndex;
        const bool ours = (m_wantAddress < 0 || header[link::kOffsetAxis] == m_wantAddress) &&
                          (m_wantCommand < 0 || header[link::kOffsetCommand] == m_wantCommand);
        if (ours)
            return;
        // Another request's frame: it and what came before it go, so neither the length rule
        // nor the caller ever sees it.
        Drop(m_startIndex + 1);
        m_inForeignFrame = true;
        m_startIndex = -1;
        m_scanFrom = 0;
    }
}

void CReplyReader::Drop(int count)
{
    std::copy(m_buffer + count, m_buffer + m_count, m_buffer);
    m_count -= count;
    m_dropped += count;
}

bool CReplyReader::ReplyComplete(int expected)
{
    // Noise before the start byte lengthens the reply by its own size; until a start byte has
    // come, every byte so far is noise and the reply cannot be complete.
    return m_startIndex >= 0 && m_count >= expected + m_startIndex;
}

int CReplyReader::ReadBlock(int expected, int timeoutMs, int settleMs, bool paddingMode)
{
    m_count = 0;
    m_startIndex = -1;
    m_scanFrom = 0;
    m_dropped = 0;
    m_inForeignFrame = false;
    m_lost = false;
    m_paddingMode = paddingMode;
    StartClock(paddingMode ? BulkDeadlineMs(timeoutMs, m_capacity, m_speed)
                           : ReplyDeadlineMs(expected, timeoutMs, settleMs, m_speed));
    const qint64 waitBudgetMs = static_cast<qint64>(timeoutMs / kPollMs) * kPollMs;
    if (waitBudgetMs <= 0 || !WaitForBytes(static_cast<int>(waitBudgetMs)))
        return kResultTimeout;

    if (expected > 0) {
        ReadAvailable();
        while (!m_lost && !ReplyComplete(expected) && m_count < m_capacity) {
            const qint64 left = waitBudgetMs - m_clock.elapsed();
            if (left <= 0 || !WaitForBytes(static_cast<int>(left)))
                break;
            ReadAvailable();
        }
        if (ReplyComplete(expected))
            return kResultOk;
        // A short reply: take what is still coming, the command layer refuses the length.
    }
    // Bytes that never stop (a device still sending an earlier answer) fail the exchange.
    if (!Settle(settleMs) || m_lost)
        return kResultTimeout;
    // Only other requests' frames came: no reply of its own within the timeout.
    if (m_count == 0)
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
    while (m_count < m_capacity) {
        const int left = LeftMs();
        if (left <= 0) {
            // At the deadline: a line quiet for the settle interval ended the reply in time (the
            // reader may only have been late to look); bytes still coming fail it.
            return !WaitForBytes(0) && sinceByte.elapsed() >= settleMs;
        }
        if (!WaitForBytes(std::min(settleMs, left))) {
            if (m_lost || sinceByte.elapsed() >= settleMs)
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
    while (!PaddingEndSeen(m_buffer, m_count)) {
        // A full buffer ends the wait: nothing more can be taken in, so waiting cannot help.
        if (m_count >= m_capacity)
            return kResultOk;
        if (idlePolls >= kPaddingIdlePolls)
            return m_count > 0 ? kResultOk : kResultTimeout;
        const int left = LeftMs();
        if (left <= 0)
            return kResultTimeout;
        if (WaitForBytes(std::min(kPaddingPollMs, left)))
            ReadAvailable();
        else if (m_lost)
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
    m_count = 0;
    m_lost = false;
    // The last byte of the buffer stays free: a reply that reaches it counts as a failed read.
    const int storeLimit = m_capacity - 1;
    QElapsedTimer sinceByte;
    sinceByte.start();
    // Until the header tells the length, only the header is allowed for.
    StartClock(WaveDeadlineMs(expected > 0 ? expected : kWaveHeaderBytes, timeoutMs, m_speed));
    for (;;) {
        // A copy: the handlers it runs may replace the hook.
        const std::function<void()> pump = m_hooks.pumpEvents;
        if (pump)
            pump();
        if (m_port.bytesAvailable() == 0) {
            const qint64 quiet = sinceByte.elapsed();
            if (m_lost || quiet > timeoutMs || LeftMs() <= 0)
                return kResultTimeout;
            // Short waits, so that the window system is served while the device is quiet.
            WaitForBytes(static_cast<int>(std::min<qint64>(kPumpSliceMs, timeoutMs - quiet + 1)));
            continue;
        }
        while (m_port.bytesAvailable() > 0) {
            sinceByte.restart();
            char c = 0;
            if (!m_port.getChar(&c))
                return kResultTimeout;
            const auto byte = static_cast<uint8_t>(c);
            if (m_count == 0 && byte != link::kStartByte)
                continue;
            if (m_count >= storeLimit)
                return kResultTimeout;
            m_buffer[m_count++] = byte;
            const int target = expected > 0 ? expected
                               : m_count >= kWaveHeaderBytes ? WaveReplyLength(m_buffer)
                                                             : 0;
            if (target > 0 && m_count >= target)
                return kResultOk;
            if (m_count == kWaveHeaderBytes && expected <= 0) {
                const int rest = WaveDeadlineMs(target - m_count, timeoutMs, m_speed);
                m_deadlineMs = static_cast<int>(m_clock.elapsed()) + rest;
            }
        }
    }
}

} // namespace kvl
