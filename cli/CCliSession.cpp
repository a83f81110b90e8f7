#include "cli/CCliSession.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "cli/CRetryingComm.h"
#include "cli/CTracingComm.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "link/CCommImplement.h"
#include "link/CPortOpenCheck.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

constexpr int kHighestStoredPort = 100;

// What is wrong with the system folder at `path`; empty when it is a folder that can be read.
std::string FolderProblem(const std::string &path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return "the system folder " + path + " does not exist";
    if (!fs::is_directory(status))
        return "the system folder " + path + " is not a folder";
    if (access(path.c_str(), R_OK | X_OK) != 0)
        return "the system folder " + path + " cannot be read (permission denied)";
    return {};
}

} // namespace

CCliSession::CCliSession(const CCliArgs &args, std::ostream &out, std::ostream &err, std::istream &in,
                         bool inputIsTerminal)
    : args_(args), out_(out), err_(err), settings_(std::make_unique<CAppSettings>(values_, args.systemDir)),
      comm_(std::make_unique<CCommImplement>()), prompt_(in, inputIsTerminal, err, args.Flag("yes"))
{
    // Every try of a retried read passes the tracer, so a trace shows each one.
    CComm *comm = comm_.get();
    if (args_.trace) {
        tracing_ = std::make_unique<CTracingComm>(*comm_, err_);
        comm = tracing_.get();
    }
    retrying_ = std::make_unique<CRetryingComm>(*comm, args_.tries);
    commands_ = std::make_unique<CServoCommands>(retrying_.get());
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

void CCliSession::SetRetryOnSilence(bool on)
{
    retrying_->SetRetryOnSilence(on);
}

bool CCliSession::LoadSettings()
{
    if (!args_.systemDir.empty()) {
        if (const std::string problem = FolderProblem(args_.systemDir); !problem.empty()) {
            FailText(problem + " (check --system)");
            return false;
        }
    }
    settingsLoaded_ = settings_->Start(CAppSettings::SystemLanguageId());
    comm_->SetTrace(settings_->TraceOn(), values_.startFolder);
    if (settingsLoaded_ && args_.language != 0)
        settings_->SwitchLanguage(args_.language);
    if (!settingsLoaded_) {
        const std::string folder = settings_->SystemFolder();
        settingsProblem_ = FolderProblem(folder);
        if (settingsProblem_.empty())
            settingsProblem_ = "the settings in the system folder " + folder + " cannot be opened";
        return true;
    }
    for (int n = 1; n <= kHighestStoredPort; ++n) {
        const std::string path = settings_->DevicePath(n);
        if (!path.empty())
            comm_->Ports().SetPath(n, path);
    }
    return true;
}

int CCliSession::ChoosePort()
{
    if (!args_.port.empty()) {
        port_ = comm_->Ports().AssignNumber(args_.port);
    } else {
        port_ = settingsLoaded_ ? settings_->Port() : 0;
    }
    if (port_ <= 0) {
        FailText("no serial port configured: give --port DEVICE (for example --port /dev/ttyUSB0) "
                 "or set Port in the settings file" +
                 (settingsProblem_.empty() ? std::string() : " (" + settingsProblem_ + ")"));
        return 0;
    }
    speed_ = args_.speed;
    if (speed_ <= 0)
        speed_ = CAppSettings::SpeedOrDefault(settingsLoaded_ ? settings_->Speed() : 0);
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
    const std::string path = comm_->Ports().DevicePath(port_);
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
    return FailAxis(axis, operation + ": " + DescribeResult(code, timeoutMs));
}

int CCliSession::FailAxis(uint8_t axis, const std::string &message)
{
    Note(axis, message);
    return kExitFailure;
}

void CCliSession::Note(uint8_t axis, const std::string &message)
{
    err_ << "kvlctl: " << AxisLabel(axis) << ": " << message << '\n';
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
