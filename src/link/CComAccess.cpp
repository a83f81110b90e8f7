#include "link/CComAccess.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <algorithm>
#include <mutex>
#include <utility>

#ifndef _WIN32
#include <sys/ioctl.h>
#endif

#include "link/CPortLock.h"
#include "link/CPortOpenCheck.h"
#include "link/CReplyReader.h"
#include "link/ResultCode.h"

namespace kvl {
namespace {

// One lock for every exchange of the process, held across the whole exchange. It is re-entrant
// on one thread; the facade's busy flag is what refuses a nested exchange.
std::recursive_mutex &ExchangeLock()
{
    static std::recursive_mutex lock;
    return lock;
}

bool IsDeviceFault(QSerialPort::SerialPortError error)
{
    return error != QSerialPort::NoError && error != QSerialPort::TimeoutError;
}

} // namespace

CComAccess::CComAccess() = default;

CComAccess::~CComAccess()
{
    Close();
}

int CComAccess::IsOpen()
{
    return m_port && m_port->isOpen() ? 1 : 0;
}

int CComAccess::Open(int port, int speed)
{
    if (IsOpen())
        return 1;
    const std::string path = m_ports.DevicePath(port);
    if (path.empty()) {
        m_lastError = "no device for port " + std::to_string(port);
        m_openCause = PortOpenCause::kMissing;
        return 0;
    }
    if (!m_port)
        m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(QString::fromStdString(path));
    // A program killed while it held the port leaves its lock file behind; its owner is gone, so
    // it must not keep the port shut.
    CPortLock::RemoveIfStale(path);
    if (!m_port->open(QIODevice::ReadWrite)) {
        NoteError();
        m_openCause = CPortOpenCheck::Diagnose(path);
        return 0;
    }
    // Speed, 8 data bits, no parity, one stop bit; flow control stays as it was.
    if (!m_port->setBaudRate(speed) || !m_port->setDataBits(QSerialPort::Data8) ||
        !m_port->setParity(QSerialPort::NoParity) || !m_port->setStopBits(QSerialPort::OneStop)) {
        NoteError();
        m_port->close();
        m_openCause = PortOpenCause::kOther;
        return 0;
    }
    m_portNumber = port;
    m_speed = speed;
    m_lastError.clear();
    m_openCause = PortOpenCause::kNone;
    m_port->clear();
    return 1;
}

void CComAccess::Close()
{
    if (m_port && m_port->isOpen())
        m_port->close();
}

bool CComAccess::EnsureOpen()
{
    return IsOpen() || Open(m_portNumber, m_speed) == 1;
}

void CComAccess::NoteError()
{
    if (m_port)
        m_lastError = m_port->errorString().toStdString();
}

int CComAccess::BytesWaiting() const
{
    if (!m_port || !m_port->isOpen())
        return 0;
    int queued = 0;
#ifndef _WIN32
    // The driver's queue too: the port object takes bytes in only when it is asked to wait.
    if (::ioctl(static_cast<int>(m_port->handle()), FIONREAD, &queued) != 0)
        queued = 0;
#endif
    return static_cast<int>(m_port->bytesAvailable()) + queued;
}

int CComAccess::Purge(int *discarded)
{
    m_port->clearError();
    *discarded = BytesWaiting();
    if (!m_port->clear() && IsDeviceFault(m_port->error())) {
        DropPort();
        return kResultWriteFailed;
    }
    return kResultOk;
}

int CComAccess::LetLateReplyPass(uint8_t address)
{
    if (m_lateAddress != address)
        return 0;
    m_lateAddress = -1;
    int let = 0;
    m_port->clearError();
    // The wait ends with the window even when bytes keep coming (a device still streaming): the
    // new request then meets them as noise, as it would have without the wait.
    const qint64 windowMs = m_lateWindowMs;
    qint64 left = windowMs - m_sinceTimeout.elapsed();
    while (left > 0 && m_port->waitForReadyRead(static_cast<int>(left))) {
        let += static_cast<int>(m_port->readAll().size());
        // Once bytes come, quiet ends the late answer.
        left = std::min<qint64>(kLateQuietMs, windowMs + kLateQuietMs - m_sinceTimeout.elapsed());
    }
    if (IsDeviceFault(m_port->error()))
        DropPort();
    return let;
}

void CComAccess::DropPort()
{
    NoteError();
    m_port->close();
}

int CComAccess::WriteAll(const uint8_t *bytes, int count)
{
    if (!EnsureOpen())
        return kResultOpenFailed;
    m_port->clearError();
    if (m_port->write(reinterpret_cast<const char *>(bytes), count) != count) {
        DropPort();
        return kResultWriteFailed;
    }
    QElapsedTimer clock;
    clock.start();
    while (m_port->bytesToWrite() > 0) {
        const qint64 left = kWriteWaitMs - clock.elapsed();
        if (left <= 0)
            break;
        if (!m_port->waitForBytesWritten(static_cast<int>(left)) && IsDeviceFault(m_port->error())) {
            DropPort();
            return kResultWriteFailed;
        }
    }
    return m_port->bytesToWrite() == 0 ? kResultOk : kResultWriteFailed;
}

int CComAccess::Exchange(const uint8_t *request, int requestLength, uint8_t *reply, void * /*reserved*/,
                         int *received, int expected, int timeoutMs, int settleMs)
{
    if (received != nullptr)
        *received = 0;
    if (received == nullptr || request == nullptr || requestLength < 1 || reply == nullptr)
        return kResultBadReply;
    if (m_portNumber < 1)
        return kResultNoPort;
    std::lock_guard<std::recursive_mutex> hold(ExchangeLock());
    const uint8_t command = requestLength > link::kOffsetCommand ? request[link::kOffsetCommand] : 0;
    const bool trace = m_traceOn;
    // What waits now is the tail of an earlier answer or noise: dropped, so that the reply is
    // looked for only among the bytes that come after this request.
    const uint8_t address = requestLength > link::kOffsetAxis ? request[link::kOffsetAxis] : 0;
    int discarded = 0;
    int result = kResultOpenFailed;
    if (EnsureOpen()) {
        const int late = LetLateReplyPass(address);
        result = Purge(&discarded);
        discarded += late;
    }
    if (trace && discarded > 0)
        m_trace.LogDiscarded(m_traceFolder, command, discarded);
    if (trace)
        m_trace.LogRequest(m_traceFolder, command, request, requestLength);
    if (result == kResultOk)
        result = WriteAll(request, requestLength);
    if (result != kResultOk)
        return result;
    if (!EnsureOpen())
        return kResultOpenFailed;

    CReplyReader reader(*m_port, reply, link::kReceiveLimit, m_speed, m_hooks);
    if (command == kWaveDataCommand) {
        result = reader.ReadWaveBytes(expected, timeoutMs);
    } else {
        reader.Want(address, requestLength > link::kOffsetCommand ? command : -1);
        result = reader.ReadBlock(expected, timeoutMs, settleMs, m_paddingMode);
        if (trace && reader.Dropped() > 0)
            m_trace.LogDiscarded(m_traceFolder, command, reader.Dropped());
    }
    *received = reader.Count();
    // Only silence leaves an answer that may still come; a line that never went quiet has had it.
    m_lateAddress = result == kResultTimeout && *received == 0 ? address : -1;
    m_lateWindowMs = timeoutMs;
    m_sinceTimeout.start();
    if (reader.DeviceLost())
        DropPort();

    if (trace)
        m_trace.LogReply(reply, *received);
    m_warning.OnResult(result, timeoutMs);
    return result;
}

void CComAccess::SetTrace(bool on, const std::string &folder)
{
    m_traceOn = on;
    m_traceFolder = folder;
}

void CComAccess::SetHooks(LinkHooks hooks)
{
    m_hooks = std::move(hooks);
    m_warning.SetHook(m_hooks.commWarning);
}

void CComAccess::TraceRefused(const uint8_t *request, int requestLength, const std::string &reason)
{
    if (!m_traceOn)
        return;
    const int count = request != nullptr ? std::max(requestLength, 0) : 0;
    const uint8_t command = count > link::kOffsetCommand ? request[link::kOffsetCommand] : 0;
    m_trace.LogRefused(m_traceFolder, command, request, count, reason);
}

int CComAccess::TextCommand(const std::string &command, std::string *answer)
{
    if (m_portNumber < 1)
        return kResultNoPort;
    std::lock_guard<std::recursive_mutex> hold(ExchangeLock());
    const std::string line = command + "\r\n";
    int discarded = 0;
    if (!EnsureOpen())
        return kResultOpenFailed;
    if (Purge(&discarded) != kResultOk)
        return kResultWriteFailed;
    const int result = WriteAll(reinterpret_cast<const uint8_t *>(line.data()), static_cast<int>(line.size()));
    if (result != kResultOk || answer == nullptr)
        return result;
    answer->clear();
    int waitMs = kTextFirstBytePolls * kTextPollMs;
    for (;;) {
        if (m_port->bytesAvailable() == 0) {
            m_port->clearError();
            if (!m_port->waitForReadyRead(waitMs)) {
                if (IsDeviceFault(m_port->error()))
                    DropPort();
                return answer->empty() ? kResultTimeout : kResultOk;
            }
        }
        char c = 0;
        while (m_port->getChar(&c)) {
            if (c == '\n')
                return kResultOk;
            if (c != '\r')
                answer->push_back(c);
            if (static_cast<int>(answer->size()) >= link::kReceiveLimit)
                return kResultOk;
        }
        waitMs = kTextPollMs;
    }
}

} // namespace kvl
