#include "link/CCommImplement.h"

#include <algorithm>
#include <utility>

#include "link/CComAccess.h"
#include "link/ResultCode.h"
#include "link/SocketBase.h"

namespace kvl {
namespace {

constexpr char kTcpCommandEnd = ';';

} // namespace

// Sets the busy flag for one exchange and clears it on every way out.
class CCommImplement::BusyGuard {
public:
    explicit BusyGuard(bool &busy) : m_busy(busy) { m_busy = true; }
    ~BusyGuard() { m_busy = false; }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    bool &m_busy;
};

CCommImplement::CCommImplement()
    : m_serial(std::make_unique<CComAccess>()), m_tcp(std::make_unique<SocketBase>()), m_raw(link::kReceiveLimit)
{
}

CCommImplement::~CCommImplement()
{
    m_serial->Close();
    m_tcp->CloseSocket();
}

int CCommImplement::ConnectTcp(const std::string &address, int port)
{
    if (!m_tcp->SetServer(address, port))
        return 0;
    return m_tcp->Connect();
}

int CCommImplement::OpenSerial(int port, int speed)
{
    // Always a fresh open, even for the same port and speed.
    m_serial->Close();
    return m_serial->Open(port, speed);
}

int CCommImplement::GetPort()
{
    if (m_mode == kModeSerial)
        return m_serial->IsOpen() ? m_serial->GetPort() : -1;
    if (m_mode == kModeTcp)
        return m_tcp->IsConnected() ? m_tcp->Port() : -1;
    return -1;
}

PortOpenCause CCommImplement::LastOpenCause()
{
    return m_serial ? m_serial->LastOpenCause() : PortOpenCause::kNone;
}

int CCommImplement::IsOpen()
{
    if (m_mode == kModeSerial)
        return m_serial->IsOpen();
    if (m_mode == kModeTcp)
        return m_tcp->IsConnected() ? 1 : 0;
    return 0;
}

void CCommImplement::Close()
{
    if (m_mode == kModeSerial)
        m_serial->Close();
    else if (m_mode == kModeTcp && m_tcp->IsConnected())
        m_tcp->CloseSocket();
}

int CCommImplement::CleanReply(const uint8_t *raw, int count, uint8_t *out)
{
    const uint8_t *start = std::find(raw, raw + count, link::kStartByte);
    int kept = static_cast<int>(raw + count - start);
    std::copy(start, raw + count, out);
    while (kept >= 2 && !(out[kept - 2] == link::kCr && out[kept - 1] == link::kLf))
        --kept;
    return kept;
}

int CCommImplement::Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                             int expected, int timeoutMs, int settleMs)
{
    if (received != nullptr)
        *received = 0;
    if (m_mode != kModeSerial)
        return kResultRefused;
    if (m_busy)
        return RefuseBusy(request, requestLength);
    if (reply == nullptr || received == nullptr)
        return kResultBadReply;
    BusyGuard busy(m_busy);
    int rawCount = 0;
    const int result = m_serial->Exchange(request, requestLength, m_raw.data(), nullptr, &rawCount, expected,
                                         timeoutMs, settleMs);
    // Cleaned whatever the result, so the caller never sees stale or noisy bytes.
    *received = CleanReply(m_raw.data(), std::clamp(rawCount, 0, link::kReceiveLimit), reply);
    return result;
}

int CCommImplement::TextOverTcp(const std::string &command, std::string *answer)
{
    // The service reads a command up to ';' and its terminating zero byte.
    std::string line = command + kTcpCommandEnd;
    line.push_back('\0');
    if (m_tcp->Send(line) != 1)
        return kResultWriteFailed;
    if (answer != nullptr && m_tcp->Receive(answer) != 1)
        return kResultTimeout;
    return kResultOk;
}

int CCommImplement::TextQuery(const std::string &command, std::string *answer)
{
    if (m_mode == kModeTcp)
        return TextOverTcp(command, answer);
    if (m_mode != kModeSerial)
        return kResultRefused;
    if (m_busy)
        return RefuseBusy(reinterpret_cast<const uint8_t *>(command.data()), static_cast<int>(command.size()));
    BusyGuard busy(m_busy);
    return m_serial->TextCommand(command, answer);
}

int CCommImplement::TextSend(const std::string &command)
{
    return TextQuery(command, nullptr);
}

int CCommImplement::RefuseBusy(const uint8_t *request, int requestLength)
{
    // The refusal keeps the malformed-reply code the command layer expects; the trace says why.
    m_serial->TraceRefused(request, requestLength, kBusyReason);
    return kResultBadReply;
}

void CCommImplement::SetPaddingMode(bool on)
{
    m_serial->SetPaddingMode(on);
}

bool CCommImplement::PaddingMode() const
{
    return m_serial->PaddingMode();
}

void CCommImplement::SetHooks(LinkHooks hooks)
{
    m_serial->SetHooks(std::move(hooks));
}

const LinkHooks &CCommImplement::Hooks() const
{
    return m_serial->Hooks();
}

CPortResolver &CCommImplement::Ports()
{
    return m_serial->Ports();
}

void CCommImplement::SetTrace(bool on, const std::string &folder)
{
    m_serial->SetTrace(on, folder);
}

std::string CCommImplement::DeviceModelName()
{
    return m_serial ? kDeviceModelName : std::string();
}

} // namespace kvl
