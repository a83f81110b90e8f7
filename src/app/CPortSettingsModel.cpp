#include "app/CPortSettingsModel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "base/TextNumber.h"
#include "config/CAppSettings.h"
#include "link/CPortOpenCheck.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"

namespace kvl {

namespace {

constexpr char kDevFolder[] = "/dev/";
constexpr char kPortPrefix[] = "COM";

std::string Trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The number of "COM12" or "12"; -1 when the text is something else.
int NumberOfText(const std::string &text)
{
    std::string digits = text;
    const std::string_view prefix = kPortPrefix;
    if (digits.size() > prefix.size() && StartsWithNoCase(digits, prefix))
        digits = digits.substr(prefix.size());
    if (digits.empty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return -1;
    return std::stoi(digits);
}

void ReplaceAll(std::string &text, const std::string &what, const std::string &with)
{
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

std::string TextOf(const CLanguageTexts &texts, const char *key, const char *builtIn)
{
    std::string text = texts.Text(key, CLanguageTexts::kCommonSection);
    return text.empty() ? builtIn : text;
}

} // namespace

CPortSettingsModel::CPortSettingsModel(CServoCommands &commands, CAppSettings &settings,
                                       CBusPortAccess port, AccessCheck check)
    : m_commands(commands), m_settings(settings), m_port(std::move(port)),
      m_check(check ? std::move(check) : AccessCheck(&CPortSettingsModel::CheckAccess))
{
}

std::string CPortSettingsModel::Label(const Device &device)
{
    std::string name = device.path;
    if (name.rfind(kDevFolder, 0) == 0 && name.find('/', sizeof kDevFolder - 1) == std::string::npos)
        name = name.substr(sizeof kDevFolder - 1);
    return device.description.empty() ? name : name + " - " + device.description;
}

void CPortSettingsModel::SetDevices(const std::vector<Device> &devices)
{
    m_devices = devices;
    RebuildEntries();
}

void CPortSettingsModel::RebuildEntries()
{
    m_entries.clear();
    for (const Device &device : m_devices)
        m_entries.push_back({device.path, Label(device)});
    // The stored port stays selectable even when its device is not plugged in now.
    const std::string stored = m_port.Ports().DevicePath(m_selectedPort);
    const bool listed = std::any_of(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &entry) { return entry.path == stored; });
    if (!stored.empty() && !listed)
        m_entries.push_back({stored, stored});
}

void CPortSettingsModel::RememberStoredValues()
{
    m_portAtOpening = m_port.Port();
    m_speedAtOpening = m_port.Speed();
    m_selectedPort = m_portAtOpening;
    RebuildEntries();
}

void CPortSettingsModel::Open()
{
    RememberStoredValues();
    if (m_commands.IsPortOpen() == 1)
        m_commands.ClosePort();
    if (!OpenAt(m_portAtOpening, m_speedAtOpening))
        Search(m_speedAtOpening);
}

void CPortSettingsModel::Reshow()
{
    RememberStoredValues();
    // Keep the reason of the last failure while the port is still closed.
    if (m_commands.IsPortOpen() == 1)
        m_state = PortState::kOpen;
    else if (m_portAtOpening <= 0 || m_port.Ports().DevicePath(m_portAtOpening).empty())
        m_state = PortState::kNoPort;
    else if (m_state != PortState::kNoPermission)
        m_state = PortState::kClosed;
}

std::string CPortSettingsModel::SelectedPortText() const
{
    const std::string path = m_port.Ports().DevicePath(m_selectedPort);
    for (const Entry &entry : m_entries) {
        if (entry.path == path)
            return entry.label;
    }
    return path;
}

int CPortSettingsModel::SelectedSpeed() const
{
    const int stored = m_port.Speed();
    return std::find(kSpeeds.begin(), kSpeeds.end(), stored) != kSpeeds.end() ? stored : CAppSettings::kDefaultSpeed;
}

int CPortSettingsModel::PortFromText(const std::string &rawText)
{
    const std::string text = Trimmed(rawText);
    if (text.empty())
        return 0;
    std::string path;
    for (const Entry &entry : m_entries) {
        if (entry.label == text)
            path = entry.path;
    }
    if (path.empty()) {
        if (const int number = NumberOfText(text); number >= 0)
            return number <= kHighestPortNumber ? number : 0;
        path = text.front() == '/' ? text : kDevFolder + text;
    }
    return NumberOfPath(path);
}

int CPortSettingsModel::NumberOfPath(const std::string &path)
{
    CPortResolver &resolver = m_port.Ports();
    for (const auto &[number, entryPath] : resolver.Entries()) {
        if (entryPath == path)
            return number;
    }
    for (int number = 1; number <= kHighestPortNumber; ++number) {
        if (resolver.GetPath(number).empty() && resolver.DevicePath(number) == path)
            return number;
    }
    // A new number would be the lowest one without an entry, which may be the number the stored
    // port uses for its built-in device: pin those first so Cancel still reaches that device.
    PinImplicitPath(m_portAtOpening);
    PinImplicitPath(m_port.Port());
    const int number = resolver.AssignNumber(path);
    if (number <= 0 || number > kHighestPortNumber || !m_port.StorePath(number, path)) {
        resolver.SetPath(number, std::string());
        return 0;
    }
    return number;
}

void CPortSettingsModel::PinImplicitPath(int port)
{
    CPortResolver &resolver = m_port.Ports();
    if (port <= 0 || port > kHighestPortNumber || !resolver.GetPath(port).empty())
        return;
    const std::string path = resolver.DevicePath(port);
    if (resolver.SetPath(port, path))
        m_port.StorePath(port, path);
}

bool CPortSettingsModel::Test(const std::string &portText, int speed)
{
    const int port = PortFromText(portText);
    if (port <= 0) {
        // Nothing is written for a text that names no port.
        m_state = PortState::kNoPort;
        m_failedPath.clear();
        return false;
    }
    if (port != m_port.Port() || speed != m_port.Speed())
        m_port.Store(port, speed);
    m_selectedPort = port;
    RebuildEntries();
    if (m_commands.IsPortOpen() == 1)
        m_commands.ClosePort();
    return OpenAt(port, speed);
}

bool CPortSettingsModel::Ok() const
{
    return m_port.Port() != m_portAtOpening || m_port.Speed() != m_speedAtOpening;
}

void CPortSettingsModel::Cancel()
{
    if (!Ok())
        return;
    if (m_commands.IsPortOpen() == 1)
        m_commands.ClosePort();
    OpenAt(m_portAtOpening, m_speedAtOpening);
    m_port.Store(m_portAtOpening, m_speedAtOpening);
    m_selectedPort = m_portAtOpening;
    RebuildEntries();
}

bool CPortSettingsModel::OpenAt(int port, int speed)
{
    if (m_commands.OpenPort(port, speed) == 1) {
        m_state = PortState::kOpen;
        return true;
    }
    m_commands.ClosePort();
    NoteFailure(port);
    return false;
}

void CPortSettingsModel::NoteFailure(int port)
{
    m_state = PortState::kClosed;
    m_failedPath = m_port.Ports().DevicePath(port);
    m_failedAccess = {};
    if (port <= 0 || m_failedPath.empty()) {
        m_state = PortState::kNoPort;
        return;
    }
    const AccessInfo info = m_check(m_failedPath);
    if (info.exists && !info.permitted) {
        m_state = PortState::kNoPermission;
        m_failedAccess = info;
        return;
    }
    switch (m_commands.PortOpenFailure()) {
    case PortOpenCause::kMissing:
        m_state = PortState::kMissing;
        break;
    case PortOpenCause::kBusy:
        m_state = PortState::kBusy;
        break;
    case PortOpenCause::kDenied:
        m_state = PortState::kNoPermission;
        m_failedAccess = info;
        break;
    case PortOpenCause::kNone:
    case PortOpenCause::kOther:
        break;
    }
}

void CPortSettingsModel::Search(int speed)
{
    // Remember why the stored port failed: the search's own failures say nothing useful.
    const PortState storedState = m_state;
    const std::string storedPath = m_failedPath;
    const AccessInfo storedAccess = m_failedAccess;
    m_commands.ClosePort();
    for (int port = 0; port < kSearchPortCount; ++port) {
        if (m_commands.OpenPort(port, speed) == 1) {
            m_state = PortState::kOpen;
            m_selectedPort = port;
            m_portAtOpening = port;
            m_port.Store(port, m_speedAtOpening);
            RebuildEntries();
            return;
        }
    }
    m_commands.ClosePort();
    m_state = storedState;
    m_failedPath = storedPath;
    m_failedAccess = storedAccess;
    m_selectedPort = m_portAtOpening;
}

std::string CPortSettingsModel::StatusText() const
{
    switch (m_state) {
    case PortState::kOpen:
        return Text("IDS_COMM_STATUS0", "The port is open.");
    case PortState::kClosed:
        return Text("IDS_COMM_STATUS5", "The port cannot be opened.");
    case PortState::kNoPort:
        return Text("IDS_COMM_STATUS_NO_PORT", "No serial port is set. Choose one in the list or type its "
                                               "path (/dev/ttyUSB0), then press Test.");
    case PortState::kMissing:
        return MissingText(m_settings.Texts(), m_failedPath);
    case PortState::kBusy:
        return WithPath(Text("IDS_COMM_STATUS_BUSY", "The port %1 is in use by another program. Close that "
                                                     "program, then press Test again."));
    case PortState::kNoPermission:
        return PermissionText(m_settings.Texts(), m_failedPath, m_failedAccess);
    case PortState::kUnknown:
        break;
    }
    return {};
}

std::string CPortSettingsModel::PermissionText(const CLanguageTexts &texts, const std::string &path,
                                               const AccessInfo &info)
{
    // Joining the owning group helps only when that group may read and write the device; a device
    // open to its owner alone (0600, as a missing or wrong udev rule leaves it) needs a rule.
    std::string text =
        info.groupMayOpen && !info.group.empty()
            ? TextOf(texts, "IDS_COMM_STATUS_PERMISSION",
                     "You may not open %1. Add your user to the group \"%2\" that owns it "
                     "(sudo usermod -aG %2 $USER), then log out and in again.")
            : TextOf(texts, "IDS_COMM_STATUS_NO_GROUP",
                     "You may not open %1: only its owner (%3) may, and no group. A udev rule usually made "
                     "it so. A serial adapter is normally open to the group \"dialout\" (see the README on "
                     "dialout): ask your administrator for a udev rule with GROUP=\"dialout\", "
                     "MODE=\"0660\", then join that group.");
    ReplaceAll(text, "%1", path);
    ReplaceAll(text, "%2", info.group);
    ReplaceAll(text, "%3", info.owner.empty() ? std::string("root") : info.owner);
    return text;
}

std::string CPortSettingsModel::MissingText(const CLanguageTexts &texts, const std::string &path)
{
    std::string text = TextOf(texts, "IDS_COMM_STATUS_MISSING",
                              "The port %1 does not exist. Check the cable and the adapter, or choose "
                              "another port.");
    ReplaceAll(text, "%1", path);
    return text;
}

CPortSettingsModel::AccessInfo CPortSettingsModel::CheckAccess(const std::string &path)
{
    AccessInfo info;
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return info;
    info.exists = true;
    info.permitted = ::access(path.c_str(), R_OK | W_OK) == 0;
    const CPortOpenCheck::Owners owners = CPortOpenCheck::OwnersOf(path);
    info.group = owners.group;
    info.owner = owners.user;
    info.groupMayOpen = owners.groupMayOpen;
    return info;
}

std::string CPortSettingsModel::WithPath(std::string text) const
{
    ReplaceAll(text, "%1", m_failedPath);
    return text;
}

std::string CPortSettingsModel::Text(const char *key, const char *builtIn) const
{
    return TextOf(m_settings.Texts(), key, builtIn);
}

} // namespace kvl
