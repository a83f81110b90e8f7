#include "cli/CCliSession.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "base/CEventLog.h"
#include "cli/CRetryingComm.h"
#include "cli/CTracingComm.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "config/CInputFile.h"
#include "gate/CWriteGate.h"
#include "link/CCommImplement.h"
#include "link/CPortOpenCheck.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {

namespace {

// The serial port takes a name without a leading '/' as one under /dev ("ttyUSB0"): a relative
// path that exists here ("bus", "links/port1") is made absolute so that it is the file opened.
std::string PortPath(const std::string &given)
{
    std::error_code error;
    if (given.empty() || given.front() == '/' || !std::filesystem::exists(given, error))
        return given;
    const std::filesystem::path absolute = std::filesystem::absolute(given, error);
    return error ? given : absolute.lexically_normal().string();
}

} // namespace
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
    : m_args(args), m_out(out), m_err(err), m_settings(std::make_unique<CAppSettings>(m_values, args.systemDir)),
      m_comm(std::make_unique<CCommImplement>()), m_prompt(in, inputIsTerminal, err, args.Flag("yes"))
{
    // Every try of a retried read passes the tracer, so a trace shows each one.
    CComm *comm = m_comm.get();
    if (m_args.trace) {
        m_tracing = std::make_unique<CTracingComm>(*m_comm, m_err);
        comm = m_tracing.get();
    }
    m_retrying = std::make_unique<CRetryingComm>(*comm, m_args.tries);
    m_commands = std::make_unique<CServoCommands>(m_retrying.get());
    m_gate = std::make_unique<CWriteGate>(*m_settings);
    m_commands->SetWriteGate(m_gate.get());
    m_commands->SetRefusalHook([this](const WriteRefusal &refusal) {
        ++m_refusals;
        m_err << "kvlctl: " << refusal.Describe() << '\n';
    });
}

CCliSession::~CCliSession()
{
    m_commands->ClosePort();
    if (m_settingsLoaded)
        m_settings->Close();
}

CComm &CCliSession::Comm()
{
    if (m_tracing)
        return *m_tracing;
    return *m_comm;
}

void CCliSession::SetRetryOnSilence(bool on)
{
    m_retrying->SetRetryOnSilence(on);
}

void CCliSession::SetLogFolder(const std::string &folder)
{
    m_logFolder = folder;
    m_values.startFolder = folder;
}

std::string CCliSession::LogFolder() const
{
    return m_logFolder.empty() ? CIniEx::ProgramFolder() : m_logFolder;
}

bool CCliSession::LoadSettings()
{
    if (!m_args.systemDir.empty()) {
        if (const std::string problem = FolderProblem(m_args.systemDir); !problem.empty()) {
            FailText(problem + " (check --system)");
            return false;
        }
    }
    m_settingsLoaded = m_settings->Start(CAppSettings::SystemLanguageId());
    m_comm->SetTrace(m_settings->TraceOn(), m_values.startFolder);
    if (m_settingsLoaded && m_args.language != 0)
        m_settings->SwitchLanguage(m_args.language);
    if (!m_settingsLoaded) {
        const std::string folder = m_settings->SystemFolder();
        m_settingsProblem = FolderProblem(folder);
        if (m_settingsProblem.empty())
            m_settingsProblem = "the settings in the system folder " + folder + " cannot be opened";
        return true;
    }
    for (int n = 1; n <= kHighestStoredPort; ++n) {
        const std::string path = m_settings->DevicePath(n);
        if (!path.empty())
            m_comm->Ports().SetPath(n, path);
    }
    return true;
}

int CCliSession::ChoosePort()
{
    if (!m_args.port.empty()) {
        m_port = m_comm->Ports().AssignNumber(PortPath(m_args.port));
    } else {
        m_port = m_settingsLoaded ? m_settings->Port() : 0;
    }
    if (m_port <= 0) {
        FailText("no serial port configured: give --port DEVICE (for example --port /dev/ttyUSB0) "
                 "or set Port in the settings file " + SettingsFilePath() +
                 (m_settingsProblem.empty() ? std::string() : " (" + m_settingsProblem + ")"));
        return 0;
    }
    m_speed = m_args.speed;
    if (m_speed <= 0)
        m_speed = CAppSettings::SpeedOrDefault(m_settingsLoaded ? m_settings->Speed() : 0);
    return m_port;
}

bool CCliSession::OpenBus()
{
    if (ChoosePort() <= 0)
        return false;
    if (m_commands->OpenPort(m_port, m_speed) != 1) {
        FailText(PortOpenFailureText());
        return false;
    }
    return true;
}

std::string CCliSession::PortOpenFailureText()
{
    const std::string path = m_comm->Ports().DevicePath(m_port);
    const PortOpenCause cause = m_commands->PortOpenFailure();
    std::string text = "cannot open serial port " + path + " at " + std::to_string(m_speed) + " bit/s: " +
                       PortOpenCauseText(cause);
    switch (cause) {
    case PortOpenCause::kMissing:
        text += " (check the cable and the adapter, or choose the port with --port)";
        break;
    case PortOpenCause::kBusy:
        text += " (close the other program that uses it, then try again)";
        break;
    case PortOpenCause::kDenied:
        text += " (" + CPortOpenCheck::PermissionAdvice(path) + ")";
        break;
    case PortOpenCause::kNone:
    case PortOpenCause::kOther:
        break;
    }
    return text;
}

bool CCliSession::OpenAxis(size_t index, uint8_t &axis, int &exitCode)
{
    if (!ParseAxis(m_args.Word(index), axis)) {
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
        exitCode = FailIdentify(axis, result);
        return false;
    }
    return true;
}

int CCliSession::FailIdentify(uint8_t axis, int result)
{
    std::string text = "identify: " + DescribeResult(result, CBusScanner::kProbeTimeoutMs);
    // Silence at the chosen speed is most often a bus that runs at another one.
    if (result == kResultTimeout)
        text += "; nothing answered at " + std::to_string(m_speed) +
                " bit/s: the bus may run at another speed (kvlctl scan finds it and keeps it), or the "
                "axis is switched off or at another address";
    return FailAxis(axis, text);
}

std::string CCliSession::SettingsFilePath() const
{
    return (std::filesystem::path(m_settings->SystemFolder()) / CAppSettings::kSettingsFile).string();
}

std::string CCliSession::Text(const std::string &key, const std::string &section) const
{
    if (!m_settingsLoaded)
        return {};
    return m_settings->Texts().Text(key, section);
}

int CCliSession::Identify(uint8_t axis, DeviceIdentity &identity)
{
    auto &cached = m_identities[axis];
    if (cached) {
        identity = *cached;
        return kResultOk;
    }
    DeviceIdentity fresh;
    const int result = m_commands->ReadDeviceType(fresh.model, fresh.version, fresh.name, axis,
                                                  CBusScanner::kProbeTimeoutMs);
    if (result != kResultOk)
        return result;
    fresh.answered = true;
    cached = std::make_unique<DeviceIdentity>(fresh);
    identity = fresh;
    return result;
}

void CCliSession::Result(const std::string &line)
{
    m_out << line << '\n';
    CEventLog::Write("result", line);
}

void CCliSession::PrintJson(const nlohmann::json &document)
{
    m_out << document.dump(2) << '\n';
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
    m_err << "kvlctl: " << AxisLabel(axis) << ": " << message << '\n';
    CEventLog::Write("error", AxisLabel(axis) + ": " + message);
}

int CCliSession::FailText(const std::string &message)
{
    m_err << "kvlctl: " << message << '\n';
    CEventLog::Write("error", message);
    return kExitFailure;
}

bool CCliSession::InputFileReadable(const std::string &path)
{
    std::string problem;
    if (CInputFile::Check(path, problem) == CInputFile::Status::kRead)
        return true;
    FailText("cannot load " + path + ": " + problem);
    return false;
}

int CCliSession::Usage(const std::string &message)
{
    m_err << "kvlctl: " << message << "\n(see kvlctl --help)\n";
    CEventLog::Write("error", message);
    return kExitUsage;
}

} // namespace kvl::cli
