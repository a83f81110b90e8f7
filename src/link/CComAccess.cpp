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
#include "link/CPortResolver.h"
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
    return port_ && port_->isOpen() ? 1 : 0;
}

int CComAccess::Open(int port, int speed)
{
    if (IsOpen())
        return 1;
    const std::string path = CPortResolver::Instance().DevicePath(port);
    if (path.empty()) {
        lastError_ = "no device for port " + std::to_string(port);
        openCause_ = PortOpenCause::kMissing;
        return 0;
    }
    if (!port_)
        port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(path));
    // A program killed while it held the port leaves its lock file behind; its owner is gone, so
    // it must not keep the port shut.
    CPortLock::RemoveIfStale(path);
    if (!port_->open(QIODevice::ReadWrite)) {
        NoteError();
        openCause_ = CPortOpenCheck::Diagnose(path);
        return 0;
    }
    // Speed, 8 data bits, no parity, one stop bit; flow control stays as it was.
    if (!port_->setBaudRate(speed) || !port_->setDataBits(QSerialPort::Data8) ||
        !port_->setParity(QSerialPort::NoParity) || !port_->setStopBits(QSerialPort::OneStop)) {
        NoteError();
        port_->close();
        openCause_ = PortOpenCause::kOther;
        return 0;
    }
    portNumber_ = port;
    speed_ = speed;
    lastError_.clear();
    openCause_ = PortOpenCause::kNone;
    port_->clear();
    return 1;
}

void CComAccess::Close()
{
    if (port_ && port_->isOpen())
        port_->close();
}

bool CComAccess::EnsureOpen()
{
    return IsOpen() || Open(portNumber_, speed_) == 1;
}

void CComAccess::NoteError()
{
    if (port_)
        lastError_ = port_->errorString().toStdString();
}

int CComAccess::BytesWaiting() const
{
    if (!port_ || !port_->isOpen())
        return 0;
    int queued = 0;
#ifndef _WIN32
    // The driver's queue too: the port object takes bytes in only when it is asked to wait.
    if (::ioctl(static_cast<int>(port_->handle()), FIONREAD, &queued) != 0)
        queued = 0;
#endif
    return static_cast<int>(port_->bytesAvailable()) + queued;
}

int CComAccess::Purge(int *discarded)
{
    port_->clearError();
    *discarded = BytesWaiting();
    if (!port_->clear() && IsDeviceFault(port_->error())) {
        DropPort();
        return kResultWriteFailed;
    }
    return kResultOk;
}

void CComAccess::DropPort()
{
    NoteError();
    port_->close();
}

int CComAccess::WriteAll(const uint8_t *bytes, int count)
{
    if (!EnsureOpen())
        return kResultOpenFailed;
    port_->clearError();
    if (port_->write(reinterpret_cast<const char *>(bytes), count) != count) {
        DropPort();
        return kResultWriteFailed;
    }
    QElapsedTimer clock;
    clock.start();
    while (port_->bytesToWrite() > 0) {
        const qint64 left = kWriteWaitMs - clock.elapsed();
        if (left <= 0)
            break;
        if (!port_->waitForBytesWritten(static_cast<int>(left)) && IsDeviceFault(port_->error())) {
            DropPort();
            return kResultWriteFailed;
        }
    }
    return port_->bytesToWrite() == 0 ? kResultOk : kResultWriteFailed;
}

int CComAccess::Exchange(const uint8_t *request, int requestLength, uint8_t *reply, void * /*reserved*/,
                         int *received, int expected, int timeoutMs, int settleMs)
{
    if (received != nullptr)
        *received = 0;
    if (received == nullptr || request == nullptr || requestLength < 1 || reply == nullptr)
        return kResultBadReply;
    if (portNumber_ < 1)
        return kResultNoPort;
    std::lock_guard<std::recursive_mutex> hold(ExchangeLock());
    const uint8_t command = requestLength > link::kOffsetCommand ? request[link::kOffsetCommand] : 0;
    const bool trace = traceOn_;
    // What waits now is the tail of an earlier answer or noise: dropped, so that the reply is
    // looked for only among the bytes that come after this request.
    int discarded = 0;
    int result = EnsureOpen() ? Purge(&discarded) : kResultOpenFailed;
    if (trace && discarded > 0)
        trace_.LogDiscarded(traceFolder_, command, discarded);
    if (trace)
        trace_.LogRequest(traceFolder_, command, request, requestLength);
    if (result == kResultOk)
        result = WriteAll(request, requestLength);
    if (result != kResultOk)
        return result;
    if (!EnsureOpen())
        return kResultOpenFailed;

    CReplyReader reader(*port_, reply, link::kReceiveLimit, speed_, hooks_);
    if (command == kWaveDataCommand)
        result = reader.ReadWaveBytes(expected, timeoutMs);
    else
        result = reader.ReadBlock(expected, timeoutMs, settleMs, paddingMode_);
    *received = reader.Count();
    if (reader.DeviceLost())
        DropPort();

    if (trace)
        trace_.LogReply(reply, *received);
    warning_.OnResult(result, timeoutMs);
    return result;
}

void CComAccess::SetTrace(bool on, const std::string &folder)
{
    traceOn_ = on;
    traceFolder_ = folder;
}

void CComAccess::SetHooks(LinkHooks hooks)
{
    hooks_ = std::move(hooks);
    warning_.SetHook(hooks_.commWarning);
}

void CComAccess::TraceRefused(const uint8_t *request, int requestLength, const std::string &reason)
{
    if (!traceOn_)
        return;
    const int count = request != nullptr ? std::max(requestLength, 0) : 0;
    const uint8_t command = count > link::kOffsetCommand ? request[link::kOffsetCommand] : 0;
    trace_.LogRefused(traceFolder_, command, request, count, reason);
}

int CComAccess::TextCommand(const std::string &command, std::string *answer)
{
    if (portNumber_ < 1)
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
        if (port_->bytesAvailable() == 0) {
            port_->clearError();
            if (!port_->waitForReadyRead(waitMs)) {
                if (IsDeviceFault(port_->error()))
                    DropPort();
                return answer->empty() ? kResultTimeout : kResultOk;
            }
        }
        char c = 0;
        while (port_->getChar(&c)) {
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
