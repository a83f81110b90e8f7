#pragma once
// The serial transport: owns the port that leads to the RS-485 bus and the table of port numbers
// (CPortResolver) it opens it by, writes one request, collects its reply (CReplyReader), keeps
// the trace log and the timeout warning. A lock file whose owner is gone is removed before the open; a failed open
// keeps its cause (LastOpenCause). Waiting input is dropped when the port opens and before every
// request. A closed port is reopened by the next exchange with the stored number and
// speed; a device that goes away while open closes the port. The trace switch, the log folder,
// the padding mode and the face's hooks are set through the facade. Owned by the communication
// facade; called from the thread that makes the exchanges (a QCoreApplication must exist).
#include <QElapsedTimer>
#include <memory>
#include <string>

#include "link/CCommBase.h"
#include "link/CPortResolver.h"
#include "link/LinkHooks.h"
#include "link/ResultCode.h"
#include "link/CTimeoutWarning.h"
#include "link/CTraceLog.h"

class QSerialPort;

namespace kvl {

class CComAccess : public CCommBase {
public:
    static constexpr uint8_t kWaveDataCommand = 0x37;   // read by the byte reader
    static constexpr int kWriteWaitMs = 1000;           // longest wait for the request to go out
    static constexpr int kLateQuietMs = 20;             // quiet that ends a late answer let pass
    static constexpr int kTextFirstBytePolls = 10;      // a text answer may take 10 x 10 ms to
    static constexpr int kTextPollMs = 10;              //   start and ends after 10 ms of quiet

    CComAccess();
    ~CComAccess() override;
    CComAccess(const CComAccess &) = delete;
    CComAccess &operator=(const CComAccess &) = delete;

    int GetPort() override { return m_portNumber; }
    int GetSpeed() const { return m_speed; }
    int IsOpen() override;
    int Open(int port, int speed) override;
    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, void *reserved,
                 int *received, int expected, int timeoutMs, int settleMs) override;
    // Writes `command` followed by CR LF; with `answer`, collects the text up to its line feed.
    int TextCommand(const std::string &command, std::string *answer) override;
    void Close() override;

    // Bytes waiting in the input (the driver's queue and what the port object holds); 0 when closed.
    int BytesWaiting() const;

    // The system's text for the port's last failure (empty when none), for messages.
    std::string LastError() const { return m_lastError; }
    // Why the last open failed (kNone after a successful one).
    PortOpenCause LastOpenCause() const { return m_openCause; }
    // The port numbers' device paths this transport opens.
    CPortResolver &Ports() { return m_ports; }
    const CPortResolver &Ports() const { return m_ports; }
    CTraceLog &TraceLog() { return m_trace; }
    const CTimeoutWarning &TimeoutWarning() const { return m_warning; }

    // Tracing on or off; the log goes to <folder>/log (which is never created).
    void SetTrace(bool on, const std::string &folder);
    bool TraceOn() const { return m_traceOn; }
    // The bulk point-table read ends its data with 0xFF padding: set for that one exchange.
    void SetPaddingMode(bool on) { m_paddingMode = on; }
    bool PaddingMode() const { return m_paddingMode; }
    void SetHooks(LinkHooks hooks);
    const LinkHooks &Hooks() const { return m_hooks; }
    // Traces a request the facade refused, with why, when tracing is on.
    void TraceRefused(const uint8_t *request, int requestLength, const std::string &reason);

private:
    bool EnsureOpen();
    // Discards waiting input and unsent output; `discarded` gets the input bytes dropped.
    int Purge(int *discarded);
    // After a timeout, the next request to the same address waits first for the late answer to
    // the last one (up to that request's timeout since it failed, never longer) and lets it go,
    // so it cannot pass for the answer to the new one. Returns the bytes let go.
    int LetLateReplyPass(uint8_t address);
    int WriteAll(const uint8_t *bytes, int count);
    void DropPort();
    void NoteError();

    std::unique_ptr<QSerialPort> m_port;
    CPortResolver m_ports;
    int m_portNumber = 0;
    int m_speed = link::kDefaultSpeed;
    std::string m_lastError;
    PortOpenCause m_openCause = PortOpenCause::kNone;
    CTraceLog m_trace;
    CTimeoutWarning m_warning;
    bool m_traceOn = false;
    std::string m_traceFolder;
    bool m_paddingMode = false;
    LinkHooks m_hooks;
    int m_lateAddress = -1;          // the address whose last request timed out, -1: none
    int m_lateWindowMs = 0;          // ... its timeout
    QElapsedTimer m_sinceTimeout;    // ... and the time since it ended
};

} // namespace kvl
