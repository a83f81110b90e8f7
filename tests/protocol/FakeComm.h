#pragma once
// A facade stand-in for the command tests: records every request with its expected length,
// timeout, settle interval and the padding-mode flag at the time of the exchange, and answers
// with scripted bytes and results. Without a script it answers -202, as a silent bus would.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/CComm.h"

namespace kvl::test {

using Bytes = std::vector<uint8_t>;

class FakeComm : public CComm {
public:
    struct Call {
        Bytes request;
        int expected = 0;
        int timeoutMs = 0;
        int settleMs = 0;
        bool paddingMode = false;
    };

    // Queues one answer: the bytes the facade hands back and the result it returns.
    void Answer(const Bytes &bytes, int result = -200);
    void AnswerResult(int result) { Answer({}, result); }

    std::vector<Call> calls;
    std::deque<std::pair<Bytes, int>> script;
    std::vector<int> modesAtOpen;   // the mode selected when OpenSerial was called
    int openResult = 1;
    int open = 0;
    int mode = -1;
    int openedPort = 0;
    int openedSpeed = 0;
    bool paddingMode = false;

    int ConnectTcp(const std::string &, int) override { return 0; }
    int OpenSerial(int port, int speed) override;
    int GetPort() override { return open ? openedPort : -1; }
    void SetMode(int m) override { mode = m; }
    int GetMode() override { return mode; }
    int IsOpen() override { return open; }
    void Close() override { open = 0; }
    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received, int expected,
                 int timeoutMs, int settleMs) override;
    int TextQuery(const std::string &, std::string *) override { return 0; }
    int TextSend(const std::string &) override { return 0; }
    std::string DeviceModelName() override { return {}; }
    void SetPaddingMode(bool on) override { paddingMode = on; }
};

// A well-formed reply frame: EF, axis, command, data, CRC high/low, CR LF.
Bytes ReplyFrame(uint8_t axis, uint8_t command, const Bytes &data);
// The frame with its CRC low byte changed, so that only the CRC check fails.
Bytes WithBadCrc(Bytes frame);
// A frame of `length` bytes that carries 0F 00 00 after the command byte, zeros after them, a CRC
// that does not match, and CR LF: the controller's refusal.
Bytes RefusalFrame(uint8_t axis, uint8_t command, int length);
// `count` data bytes 0x11, 0x12, ... (never the refusal pattern, never a zero status).
Bytes PatternData(int count);

} // namespace kvl::test
