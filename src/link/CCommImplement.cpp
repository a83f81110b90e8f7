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
    explicit BusyGuard(bool &busy) : busy_(busy) { busy_ = true; }
    ~BusyGuard() { busy_ = false; }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    bool &busy_;
};

CCommImplement::CCommImplement()
    : serial_(std::make_unique<CComAccess>()), tcp_(std::make_unique<SocketBase>()), raw_(link::kReceiveLimit)
{
}

CCommImplement::~CCommImplement()
{
    serial_->Close();
    tcp_->CloseSocket();
}

int CCommImplement::ConnectTcp(const std::string &address, int port)
{
    if (!tcp_->SetServer(address, port))
        return 0;
    return tcp_->Connect();
}

int CCommImplement::OpenSerial(int port, int speed)
{
    // Always a fresh open, even for the same port and speed.
    serial_->Close();
    return serial_->Open(port, speed);
}

int CCommImplement::GetPort()
{
    if (mode_ == kModeSerial)
        return serial_->IsOpen() ? serial_->GetPort() : -1;
    if (mode_ == kModeTcp)
        return tcp_->IsConnected() ? tcp_->Port() : -1;
    return -1;
}

PortOpenCause CCommImplement::LastOpenCause()
{
    return serial_ ? serial_->LastOpenCause() : PortOpenCause::kNone;
}

int CCommImplement::IsOpen()
{
    if (mode_ == kModeSerial)
        return serial_->IsOpen();
    if (mode_ == kModeTcp)
        return tcp_->IsConnected() ? 1 : 0;
    return 0;
}

void CCommImplement::Close()
{
    if (mode_ == kModeSerial)
        serial_->Close();
    else if (mode_ == kModeTcp && tcp_->IsConnected())
        tcp_->CloseSocket();
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
    if (mode_ != kModeSerial)
        return kResultRefused;
    if (busy_)
        return RefuseBusy(request, requestLength);
    if (reply == nullptr || received == nullptr)
        return kResultBadReply;
    BusyGuard busy(busy_);
    int rawCount = 0;
    const int result = serial_->Exchange(request, requestLength, raw_.data(), nullptr, &rawCount, expected,
                                         timeoutMs, settleMs);
    // Cleaned whatever the result, so the caller never sees stale or noisy bytes.
    *received = CleanReply(raw_.data(), std::clamp(rawCount, 0, link::kReceiveLimit), reply);
    return result;
}

int CCommImplement::TextOverTcp(const std::string &command, std::string *answer)
{
    // The service reads a command up to ';' and its terminating zero byte.
    std::string line = command + kTcpCommandEnd;
    line.push_back('\0');
    if (tcp_->Send(line) != 1)
        return kResultWriteFailed;
    if (answer != nullptr && tcp_->Receive(answer) != 1)
        return kResultTimeout;
    return kResultOk;
}

int CCommImplement::TextQuery(const std::string &command, std::string *answer)
{
    if (mode_ == kModeTcp)
        return TextOverTcp(command, answer);
    if (mode_ != kModeSerial)
        return kResultRefused;
    if (busy_)
        return RefuseBusy(reinterpret_cast<const uint8_t *>(command.data()), static_cast<int>(command.size()));
    BusyGuard busy(busy_);
    return serial_->TextCommand(command, answer);
}

int CCommImplement::TextSend(const std::string &command)
{
    return TextQuery(command, nullptr);
}

int CCommImplement::RefuseBusy(const uint8_t *request, int requestLength)
{
    // The refusal keeps the malformed-reply code the command layer expects; the trace says why.
    serial_->TraceRefused(request, requestLength, kBusyReason);
    return kResultBadReply;
}

void CCommImplement::SetPaddingMode(bool on)
{
    serial_->SetPaddingMode(on);
}

bool CCommImplement::PaddingMode() const
{
    return serial_->PaddingMode();
}

void CCommImplement::SetHooks(LinkHooks hooks)
{
    serial_->SetHooks(std::move(hooks));
}

const LinkHooks &CCommImplement::Hooks() const
{
    return serial_->Hooks();
}

void CCommImplement::SetTrace(bool on, const std::string &folder)
{
    serial_->SetTrace(on, folder);
}

std::string CCommImplement::DeviceModelName()
{
    return serial_ ? kDeviceModelName : std::string();
}

} // namespace kvl
