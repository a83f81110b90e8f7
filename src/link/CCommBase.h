#pragma once
// Abstract byte transport under the communication facade: opens a port, sends one request and
// collects its reply. CComAccess is the serial implementation. The facade owns its transport;
// called from the thread that makes the exchanges.
#include <array>
#include <cstdint>
#include <string>

namespace kvl {

namespace link {
constexpr int kReceiveLimit = 27136;     // largest reply collected, and the port's queue size
constexpr uint8_t kStartByte = 0xEF;     // every reply frame begins with it
constexpr uint8_t kCr = 0x0D;            // every frame ends with CR LF
constexpr uint8_t kLf = 0x0A;
constexpr int kOffsetAxis = 1;           // address byte of a request and its reply
constexpr int kOffsetCommand = 2;        // command byte of a request
constexpr int kDefaultSpeed = 115200;    // bit/s
// The speeds in bit/s the controllers run the bus at, slowest first.
constexpr std::array<int, 3> kBusSpeeds{38400, 57600, 115200};
} // namespace link

class CCommBase {
public:
    virtual ~CCommBase() = default;

    // The configured port number (0 until a port was opened).
    virtual int GetPort() = 0;
    // 1 when the port is open, else 0.
    virtual int IsOpen() = 0;
    // Opens port number `port` at `speed` bit/s, 8N1; 1 on success (or when already open), 0 on failure.
    virtual int Open(int port, int speed) = 0;
    // One request/reply. `reply` holds at least link::kReceiveLimit bytes; `received` gets the
    // raw count. `expected` is the reply length in bytes, or -1 when the transport decides it.
    // `timeoutMs` bounds the wait for the reply, `settleMs` is the quiet time that ends a reply
    // of unknown length. `reserved` is unused. Returns a result code (ResultCode.h).
    virtual int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, void *reserved,
                         int *received, int expected, int timeoutMs, int settleMs) = 0;
    // Sends a text line and, when `answer` is given, collects one text line back. Result code.
    virtual int TextCommand(const std::string &command, std::string *answer) = 0;
    // Closes the port; the port number and speed are kept for a later implicit reopen.
    virtual void Close() = 0;
};

} // namespace kvl
