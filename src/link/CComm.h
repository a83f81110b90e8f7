#pragma once
// Abstract interface of the communication facade: the one object through which the command
// layer reaches the bus. CCommImplement is the implementation; tests substitute fakes.
// Called from one thread only (the user-interface thread, or the CLI's main thread).
#include <cstdint>
#include <string>

#include "link/ResultCode.h"

namespace kvl {

class CComm {
public:
    virtual ~CComm() = default;

    // Connects the local TCP transport; 1 connected, 0 failed.
    virtual int ConnectTcp(const std::string &address, int port) = 0;
    // Closes the serial port if open, then opens port number `port` at `speed` bit/s; 1 open, 0 failed.
    virtual int OpenSerial(int port, int speed) = 0;
    // The open port's number, or -1.
    virtual int GetPort() = 0;
    virtual void SetMode(int mode) = 0;   // 0 serial, 1 local TCP
    virtual int GetMode() = 0;
    virtual int IsOpen() = 0;             // 1 or 0
    // Why the last serial open failed: missing, busy, not permitted (kNone after a good one).
    virtual PortOpenCause LastOpenCause() { return PortOpenCause::kNone; }
    virtual void Close() = 0;
    // One request/reply. `reply` holds at least frame::kReceiveLimit bytes; `received` gets the
    // count after cleaning. `expected` is the reply length in bytes, or -1 when the transport
    // decides it. Returns a result code (ResultCode.h).
    virtual int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                         int expected, int timeoutMs, int settleMs) = 0;
    // Sends a text command and collects its text answer (serial: one line; TCP: the command
    // followed by ";"). Result code; no window uses them.
    virtual int TextQuery(const std::string &command, std::string *answer) = 0;
    // Sends a text command without waiting for an answer. Result code.
    virtual int TextSend(const std::string &command) = 0;
    virtual std::string DeviceModelName() = 0;
    // The bulk point-table read ends its data with 0xFF padding: the command layer sets this for
    // that one exchange so that the transport waits for the padding's end.
    virtual void SetPaddingMode(bool on) = 0;
};

} // namespace kvl
