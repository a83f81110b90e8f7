#pragma once
// Collects one reply from an open serial port into a caller's buffer, under the bus rules: the
// block reader (expected length, noise scan, settle interval, padding end) for every command but
// the waveform-data read, and the byte reader with its inter-byte timeout for that one. Every wait
// is a wait on the port with the remaining time, so a complete reply is handed back at once.
// Whatever keeps arriving, every read ends by its deadline: the timeout plus the wire time of the
// reply at the line speed plus a small margin; the bulk point-table read has a longer one of its
// own (a full buffer's wire time plus its quiet allowance).
// Made by the serial transport for one exchange, on the thread that owns the port.
#include <QElapsedTimer>
#include <cstdint>

#include "link/LinkHooks.h"

class QSerialPort;

namespace kvl {

class CReplyReader {
public:
    static constexpr int kPollMs = 3;                // the first-byte and length waits last
                                                     // (timeout / kPollMs) x kPollMs in all
    static constexpr int kPaddingIdlePolls = 500;    // the padding end gives up after this many
    static constexpr int kPaddingPollMs = 10;        //   quiet waits of this length
    static constexpr int kPaddingRun = 40;           // 0xFF bytes that end a padded stream ...
    static constexpr int kPaddingTailMin = 4;        //   ... followed by 4 to 6 more bytes
    static constexpr int kPaddingTailMax = 6;
    static constexpr int kPumpSliceMs = 5;           // longest wait between two event pumps
    static constexpr int kWaveHeaderBytes = 5;       // start, axis, command, sample count (2)
    static constexpr int kWaveOffsetCount = 3;
    static constexpr uint16_t kWaveCountMask = 0x7FFF;
    static constexpr int kWaveFixedBytes = 21;       // reply bytes besides the 2-byte samples
    static constexpr int kLongestFrameBytes = 64;    // wire allowance of a reply of unknown length
    static constexpr int kDeadlineMarginMs = 30;     // scheduling slack on top of every deadline
    static constexpr int kBitsPerByte = 10;          // start bit, 8 data bits, stop bit
    static constexpr int kHeaderBytes = 3;           // start, address, command

    // `buffer` has room for `capacity` bytes; the reader never writes beyond it. `speed` (bit/s)
    // gives the wire time of a reply. `hooks` (the transport's) must outlive the reader.
    CReplyReader(QSerialPort &port, uint8_t *buffer, int capacity, int speed, const LinkHooks &hooks);

    // Milliseconds `bytes` take on a line of `speed` bit/s, rounded up.
    static int WireMs(int bytes, int speed);
    // Longest a block read may take: timeout + settle + wire time of the expected reply (or of
    // kLongestFrameBytes when unknown) + margin.
    static int ReplyDeadlineMs(int expected, int timeoutMs, int settleMs, int speed);
    // Longest the bulk point-table read may take: timeout + wire time of `capacity` bytes + the
    // padding end's quiet allowance + margin.
    static int BulkDeadlineMs(int timeoutMs, int capacity, int speed);
    // Longest the waveform-data read may take once `length` bytes are known to come: its
    // timeout restarts with every byte, so the gaps of a reply sent in bursts get one more timeout.
    static int WaveDeadlineMs(int length, int timeoutMs, int speed);

    // Block reader. `expected` > 0 ends the reply as soon as that many bytes (plus any noise
    // before the start byte) are in; otherwise the reply ends when no byte came for `settleMs`.
    // With `paddingMode` it then waits for the 0xFF run that ends a bulk point-table read, and
    // tells the bulk-read progress hook every count that comes in.
    // -200 with the bytes, -202 when nothing came within the timeout, the device was lost or the
    // bytes did not stop by the deadline.
    int ReadBlock(int expected, int timeoutMs, int settleMs, bool paddingMode);

    // The address and command byte the reply must carry (each -1: any). A frame that begins
    // with another (an answer to an earlier request that came late) is dropped with everything
    // before it, and the reader goes on waiting for its own reply.
    void Want(int address, int command)
    {
        m_wantAddress = address;
        m_wantCommand = command;
    }
    // Bytes dropped as another request's frame.
    int Dropped() const { return m_dropped; }

    // Byte reader for the waveform-data reply: drops bytes before the start byte, restarts the
    // timeout with every byte, and with `expected` = -1 takes the length from the sample count in
    // bytes 3-4 (bit 15 ignored) x 2 + 21. Calls the event-pump hook while it waits. -202 also
    // when the reply is not complete by WaveDeadlineMs of its length.
    int ReadWaveBytes(int expected, int timeoutMs);

    int Count() const { return m_count; }
    // True when the port reported that the device went away; the transport then closes it.
    bool DeviceLost() const { return m_lost; }

    // True when the 40 bytes that end 4, 5 or 6 bytes before the end of `data` are all 0xFF.
    static bool PaddingEndSeen(const uint8_t *data, int count);
    // Target length of a waveform-data reply whose first five bytes are in `header`.
    static int WaveReplyLength(const uint8_t *header);

private:
    void StartClock(int deadlineMs);
    int LeftMs() const;
    bool WaitForBytes(int ms);
    int ReadAvailable();
    void FindStart();
    // Takes the first `count` bytes out of the buffer.
    void Drop(int count);
    bool ReplyComplete(int expected);
    bool Settle(int settleMs);
    int WaitForPaddingEnd();

    QSerialPort &m_port;
    uint8_t *m_buffer;
    int m_capacity;
    int m_speed;
    const LinkHooks &m_hooks;
    bool m_paddingMode = false;
    QElapsedTimer m_clock;
    int m_deadlineMs = 0;
    int m_count = 0;
    int m_startIndex = -1;   // where the reply's start byte was seen, -1 while none came
    int m_scanFrom = 0;      // where the search for a start byte goes on
    int m_wantAddress = -1;
    int m_wantCommand = -1;
    int m_dropped = 0;
    bool m_inForeignFrame = false;   // the bytes coming belong to another request's frame
    bool m_lost = false;
};

} // namespace kvl
