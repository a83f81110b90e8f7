#include "cli/CCliSession.h"

#include <iostream>

#include "cli/CTracingComm.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "link/CCommImplement.h"
#include "link/CPortOpenCheck.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

constexpr int kHighestStoredPort = 100;

} // namespace

CCliSession::CCliSession(const CCliArgs &args, std::ostream &out, std::ostream &err)
    : args_(args), out_(out), err_(err), settings_(std::make_unique<CAppSettings>()),
      comm_(std::make_unique<CCommImplement>())
{
    CComm *comm = comm_.get();
    if (args_.trace) {
        tracing_ = std::make_unique<CTracingComm>(*comm_, err_);
        comm = tracing_.get();
    }
    commands_ = std::make_unique<CServoCommands>(comm);
}

CCliSession::~CCliSession()
{
    commands_->ClosePort();
    if (settingsLoaded_)
        settings_->Close();
}

CComm &CCliSession::Comm()
{
    if (tracing_)
        return *tracing_;
    return *comm_;
}

void CCliSession::LoadSettings()
{
    if (!args_.systemDir.empty())
        CIniEx::SetSystemFolder(args_.systemDir);
    settingsLoaded_ = settings_->Start(CAppSettings::SystemLanguageId());
    if (settingsLoaded_ && args_.language != 0)
        settings_->SwitchLanguage(args_.language);
    if (!settingsLoaded_)
        return;
    for (int n = 1; n <= kHighestStoredPort; ++n) {
        const std::string path = settings_->DevicePath(n);
        if (!path.empty())
            CPortResolver::Instance().SetPath(n, path);
    }
}

int CCliSession::ChoosePort()
{
    if (!args_.port.empty()) {
        port_ = CPortResolver::Instance().AssignNumber(args_.port);
    } else {
        port_ = settingsLoaded_ ? settings_->Port() : 0;
    }
    if (port_ <= 0) {
        FailText("no serial port configured: give --port DEVICE (for example --port /dev/ttyUSB0) "
                 "or set Port in the settings file");
        return 0;
    }
    speed_ = args_.speed;
    if (speed_ <= 0)
        speed_ = settingsLoaded_ ? settings_->Speed() : 0;
    if (speed_ <= 0)
        speed_ = kDefaultSpeed;
    return port_;
}

bool CCliSession::OpenBus()
{
    if (ChoosePort() <= 0)
        return false;
    if (commands_->OpenPort(port_, speed_) != 1) {
        FailText(PortOpenFailureText());
        return false;
    }
    return true;
}

std::string CCliSession::PortOpenFailureText()
{
    const std::string path = CPortResolver::Instance().DevicePath(port_);
    const PortOpenCause cause = commands_->PortOpenFailure();
    std::string text = "cannot open serial port " + path + " at " + std::to_string(speed_) + " bit/s: " +
                       PortOpenCauseText(cause);
    switch (cause) {
    case PortOpenCause::kMissing:
        text += " (check the cable and the adapter, or choose the port with --port)";
        break;
    case PortOpenCause::kBusy:
        text += " (close the other program that uses it, then try again)";
        break;
    case PortOpenCause::kDenied: {
        std::string group = CPortOpenCheck::OwningGroup(path);
        if (group.empty())
            group = "dialout";
        text += " (join the group that owns it: sudo usermod -aG " + group + " $USER, then log in again)";
        break;
    }
    case PortOpenCause::kNone:
    case PortOpenCause::kOther:
        break;
    }
    return text;
}

bool CCliSession::OpenAxis(size_t index, uint8_t &axis, int &exitCode)
{
    if (!ParseAxis(args_.Word(index), axis)) {
        exitCode = Usage("AXIS must be 0 to 15, 0x0 to 0xF, or gw");
        return false;
    }
    if (!OpenBus()) {
        exitCode = kExitFailure;
        return false;
    }
    return true;
}

bool CCliSession::OpenAndIdentify(size_t index, uint8_t &axis, DeviceIdentity &identity, int &exitCode)
{
    if (!OpenAxis(index, axis, exitCode))
        return false;
    const int result = Identify(axis, identity);
    if (result != kResultOk) {
        exitCode = Fail(axis, "identify", result, CBusScanner::kProbeTimeoutMs);
        return false;
    }
    return true;
}

std::string CCliSession::Text(const std::string &key, const std::string &section) const
{
    if (!settingsLoaded_)
        return {};
    return settings_->Texts().Text(key, section);
}

int CCliSession::Identify(uint8_t axis, DeviceIdentity &identity)
{
    auto &cached = identities_[axis];
    if (cached) {
        identity = *cached;
        return kResultOk;
    }
    DeviceIdentity fresh;
    const int result = commands_->ReadDeviceType(fresh.model, fresh.version, fresh.name, axis,
                                                 CBusScanner::kProbeTimeoutMs);
    if (result != kResultOk)
        return result;
    fresh.answered = true;
    cached = std::make_unique<DeviceIdentity>(fresh);
    identity = fresh;
    return result;
}

void CCliSession::PrintJson(const nlohmann::json &document)
{
    out_ << document.dump(2) << '\n';
}

int CCliSession::Fail(uint8_t axis, const std::string &operation, int code, int timeoutMs)
{
    err_ << AxisLabel(axis) << ": " << operation << ": " << DescribeResult(code, timeoutMs) << '\n';
    return kExitFailure;
}

int CCliSession::FailText(const std::string &message)
{
    err_ << "kvlctl: " << message << '\n';
    return kExitFailure;
}

int CCliSession::Usage(const std::string &message)
{
    err_ << "kvlctl: " << message << "\n(see kvlctl --help)\n";
    return kExitUsage;
}

} // namespace kvl::cli
