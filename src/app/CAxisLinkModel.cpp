#include "app/CAxisLinkModel.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/CPortSettingsModel.h"
#include "base/CEventLog.h"
#include "base/CModelTraits.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl {

namespace {

constexpr const char *kCommon = CLanguageTexts::kCommonSection;

bool ValidAddress(int address)
{
    return address >= 0 && address < CAxisLinkModel::kAxisCount;
}

void ReplaceAll(std::string &text, const std::string &what, const std::string &with)
{
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

CAxisLinkModel::CAxisLinkModel(CServoCommands &commands, const CLanguageTexts &texts, CAppValues &values,
                               CBusPortAccess port, Hooks hooks)
    : m_commands(commands), m_texts(texts), m_values(values), m_port(std::move(port)), m_hooks(std::move(hooks)),
      m_scanner(commands)
{
}

bool CAxisLinkModel::OpenPortAtStart()
{
    const int port = m_port.Port();
    if (port <= 0)
        return false;
    const int stored = m_port.Speed();
    return m_commands.OpenPort(port, CAppSettings::SpeedOrDefault(stored)) == 1;
}

bool CAxisLinkModel::Link()
{
    const Status before = m_status;
    SetStatus(Status::kLinking);
    if (m_hooks.beginBusy && !m_hooks.beginBusy()) {
        // A refused run changes nothing, the status included: "linking" must not stay up.
        SetStatus(before);
        return false;
    }

    const int port = m_port.Port();
    m_attempt = Attempt{port, {}, false, PortOpenCause::kNone};
    m_nothingFound = false;
    const LinkResult result = Search(port, m_port.Speed());
    m_nothingFound = !result.found;
    m_gatewayPresent = result.gatewayPresent;
    m_values.gatewayPresent = result.gatewayPresent;
    if (result.gatewayPresent)
        m_gateway = result.gateway;

    if (!result.found) {
        UnlinkAll();
        m_anyLinked = false;
        SetStatus(Status::kUnlinked);
        CEventLog::Write("link", SearchReport());
        if (m_hooks.endBusy)
            m_hooks.endBusy();
        return true;
    }

    m_foundSpeed = result.speed;
    CEventLog::Write("link", m_port.Ports().DevicePath(port) + " " + result.Summary());
    m_port.Store(port, result.speed);
    for (int a = 0; a < result.firstAddress; ++a)
        Unlink(a);
    for (int a = result.firstAddress; a < kAxisCount; ++a) {
        const DeviceIdentity &identity = result.axes[static_cast<size_t>(a)];
        Axis &axis = m_axes[static_cast<size_t>(a)];
        if (!identity.answered) {
            Unlink(a);
            continue;
        }
        axis.model = identity.model;
        axis.version = identity.version;
        axis.name = identity.name;
        if (!axis.linked) {
            axis.linked = true;
            m_anyLinked = true;
            ++m_linkedCount;
        }
    }
    if (m_hooks.endBusy)
        m_hooks.endBusy();

    // With the gateway present the bus counts as linked even without an axis.
    m_anyLinked = m_linkedCount > 0;
    SetStatus(m_gatewayPresent || m_anyLinked ? Status::kLinked : Status::kUnlinked);
    return true;
}

CAxisLinkModel::OpenResult CAxisLinkModel::OpenAxis(int address)
{
    if (!ValidAddress(address))
        return OpenResult::kFailed;
    const DeviceIdentity identity = m_scanner.Identify(address);
    Axis &axis = m_axes[static_cast<size_t>(address)];
    if (identity.answered) {
        axis.model = identity.model;
        axis.version = identity.version;
        axis.name = identity.name;
    }
    if (identity.answered && m_commands.IsPortOpen() == 1) {
        if (m_hooks.beginBusy && !m_hooks.beginBusy())
            return OpenResult::kRefused;
        UpdateModelMatch(address);
        if (m_hooks.openAxisWindows)
            m_hooks.openAxisWindows(address);
        if (m_hooks.endBusy)
            m_hooks.endBusy();
        Changed();
        return OpenResult::kOpened;
    }

    if (m_hooks.message) {
        m_hooks.message(Text("IDS_WARN_TITLE", kCommon, "Warn"),
                        Text("IDS_CONNECT_ERRER", kCommon, "Connect Errer.Please use offline edit!"));
    }
    if (axis.linked) {
        Unlink(address);
        if (m_linkedCount == 0) {
            m_anyLinked = false;
            SetStatus(Status::kUnlinked);
        }
    }
    Changed();
    return OpenResult::kFailed;
}

void CAxisLinkModel::ShowUnlinked()
{
    // The report was about the old port.
    m_nothingFound = false;
    SetStatus(Status::kUnlinked);
}

LinkResult CAxisLinkModel::CurrentLink() const
{
    LinkResult link;
    link.speed = m_foundSpeed;
    link.gatewayPresent = m_gatewayPresent;
    if (m_gatewayPresent)
        link.gateway = m_gateway;
    for (int a = 0; a < kAxisCount; ++a) {
        const Axis &axis = m_axes[static_cast<size_t>(a)];
        if (!axis.linked)
            continue;
        DeviceIdentity &identity = link.axes[static_cast<size_t>(a)];
        identity = {true, axis.model, axis.version, axis.name};
        if (link.firstAddress < 0)
            link.firstAddress = a;
    }
    link.found = m_status == Status::kLinked && (m_gatewayPresent || m_linkedCount > 0);
    return link;
}

const CAxisLinkModel::Axis &CAxisLinkModel::AxisAt(int address) const
{
    static const Axis kNone;
    return ValidAddress(address) ? m_axes[static_cast<size_t>(address)] : kNone;
}

std::string CAxisLinkModel::ButtonText(int address) const
{
    const Axis &axis = AxisAt(address);
    return axis.linked ? LiveText(address, axis.model, m_texts.DeviceText(axis.name).ToUtf8())
                       : UnlinkedText(address);
}

std::string CAxisLinkModel::IdentityText(int address) const
{
    const Axis &axis = AxisAt(address);
    if (!axis.linked)
        return {};
    return Text("IDS_AXIS_MODEL", kCommon, "Model") + ": " + axis.model + "\n" +
           Text("IDS_AXIS_VERSION", kCommon, "Version") + ": " + axis.version + "\n" +
           Text("IDS_AXIS_NAME", kCommon, "Name") + ": " + m_texts.DeviceText(axis.name).ToUtf8();
}

std::string CAxisLinkModel::LiveText(int address, const std::string &model, const std::string &name)
{
    return UnlinkedText(address) + " " + model + " " + name;
}

std::string CAxisLinkModel::UnlinkedText(int address)
{
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(address) & 0xFFu);
    return text;
}

std::string CAxisLinkModel::StatusText() const
{
    switch (m_status) {
    case Status::kLinking:
        return Text("IDS_LINKING", kCommon, "Linking...");
    case Status::kLinked:
        return Text("IDS_LINKED", kCommon, "Linked");
    case Status::kUnlinked:
        break;
    }
    return Text("IDS_UNLINK", kCommon, "Unlinked");
}

std::string CAxisLinkModel::SearchReport() const
{
    if (!m_nothingFound || m_status != Status::kUnlinked)
        return {};
    const std::string path = m_port.Ports().DevicePath(m_attempt.port);
    if (m_attempt.port <= 0 || path.empty())
        return Text("IDS_LINK_NO_PORT", kCommon, "No serial port is set. Choose one in Port Settings.");
    // A port that never opened: say why, as the port settings do (the speeds do not matter then).
    if (!m_attempt.opened) {
        switch (m_attempt.cause) {
        case PortOpenCause::kMissing:
            return CPortSettingsModel::MissingText(m_texts, path);
        case PortOpenCause::kDenied:
            return CPortSettingsModel::PermissionText(m_texts, path, CPortSettingsModel::CheckAccess(path));
        case PortOpenCause::kBusy: {
            std::string text = Text("IDS_LINK_PORT_BUSY", kCommon,
                                    "The port %1 is in use by another program. Close that program, then "
                                    "press Link Start again.");
            ReplaceAll(text, "%1", path);
            return text;
        }
        case PortOpenCause::kNone:
        case PortOpenCause::kOther:
            break;
        }
    }
    std::string speeds;
    for (int speed : m_attempt.speeds)
        speeds += (speeds.empty() ? "" : ", ") + std::to_string(speed);
    std::string text =
        m_attempt.opened
            ? Text("IDS_LINK_NOTHING_FOUND", kCommon,
                   "No device answered on %1 at %2 bit/s. Check the cable, that the controllers "
                   "are switched on, and the port and speed in Port Settings.")
            : Text("IDS_LINK_PORT_FAILED", kCommon,
                   "%1 could not be opened (tried at %2 bit/s). Check that the adapter is "
                   "plugged in and the port in Port Settings.");
    ReplaceAll(text, "%1", path);
    ReplaceAll(text, "%2", speeds);
    return text;
}

const char *CAxisLinkModel::StationKey(uint8_t code)
{
    return FindStationCode(code).key;
}

std::string CAxisLinkModel::StationText(const CLanguageTexts &texts, uint8_t code)
{
    const StationCode &station = FindStationCode(code);
    std::string text = texts.Text(station.key, kStationSection);
    return text.empty() ? station.builtIn : text;
}

LinkResult CAxisLinkModel::Search(int port, int storedSpeed)
{
    // CBusScanner::Link probe by probe, so the busy indicator can draw and say what is asked
    // between the exchanges of a search that may take seconds on a silent bus.
    LinkResult result;
    if (port <= 0)
        return result;
    for (int passSpeed : CBusScanner::SpeedPasses(storedSpeed, true)) {
        Tell(ProbeText(passSpeed, 0, 0));
        if (!OpenForProbe(port, passSpeed))
            continue;
        DeviceIdentity identity = m_scanner.Identify(frame::kGatewayAddress);
        Repaint();
        if (identity.answered) {
            result.gatewayPresent = true;
            result.gateway = identity;
            result.firstAddress = 0;
            result.speed = passSpeed;
            break;
        }
    }
    if (!result.gatewayPresent && !ScanFirstAxis(port, storedSpeed, result))
        return result;
    result.found = true;
    const int total = kAxisCount - result.firstAddress;
    for (int a = result.firstAddress; a < kAxisCount; ++a) {
        const int done = a - result.firstAddress + 1;
        Tell(ProbeText(result.speed, done, total));
        result.axes[static_cast<size_t>(a)] = m_scanner.Identify(a);
        if (m_hooks.progress)
            m_hooks.progress(done, total);
    }
    return result;
}

bool CAxisLinkModel::ScanFirstAxis(int port, int storedSpeed, LinkResult &result)
{
    for (int passSpeed : CBusScanner::SpeedPasses(storedSpeed, false)) {
        for (int a = 0; a < kAxisCount; ++a) {
            Tell(ProbeText(passSpeed, a + 1, kAxisCount));
            if (!OpenForProbe(port, passSpeed))
                continue;
            const bool answered = m_scanner.Identify(a).answered;
            Repaint();
            if (answered) {
                result.firstAddress = a;
                result.speed = passSpeed;
                return true;
            }
        }
    }
    return false;
}

bool CAxisLinkModel::OpenForProbe(int port, int speed)
{
    std::vector<int> &speeds = m_attempt.speeds;
    if (std::find(speeds.begin(), speeds.end(), speed) == speeds.end())
        speeds.push_back(speed);
    const bool opened = m_commands.OpenPort(port, speed) == 1;
    m_attempt.opened = m_attempt.opened || opened;
    if (!opened)
        m_attempt.cause = m_commands.PortOpenFailure();
    return opened;
}

void CAxisLinkModel::Tell(const std::string &text) const
{
    if (m_hooks.activity)
        m_hooks.activity(text);
}

std::string CAxisLinkModel::ProbeText(int speed, int done, int total) const
{
    // total 0: the network unit's address.
    std::string text = total == 0
                           ? Text("IDS_LINK_PROBE_GATEWAY", kCommon, "%1 bit/s: network unit")
                           : Text("IDS_LINK_PROBE_AXIS", kCommon, "%1 bit/s: address %2 of %3");
    ReplaceAll(text, "%1", std::to_string(speed));
    ReplaceAll(text, "%2", std::to_string(done));
    ReplaceAll(text, "%3", std::to_string(total));
    return text;
}

void CAxisLinkModel::Repaint() const
{
    if (m_hooks.repaint)
        m_hooks.repaint();
}

void CAxisLinkModel::Unlink(int address)
{
    Axis &axis = m_axes[static_cast<size_t>(address)];
    if (!axis.linked)
        return;
    axis.linked = false;
    --m_linkedCount;
}

void CAxisLinkModel::UnlinkAll()
{
    for (int a = 0; a < kAxisCount; ++a)
        Unlink(a);
    m_linkedCount = 0;
}

void CAxisLinkModel::SetStatus(Status status)
{
    m_status = status;
    Changed();
}

void CAxisLinkModel::Changed() const
{
    if (m_hooks.changed)
        m_hooks.changed();
}

void CAxisLinkModel::UpdateModelMatch(int address)
{
    bool match = false;
    if (m_values.gatewayPresent) {
        UnitDeviceList list{};
        if (m_commands.ReadUnitDeviceList(list, frame::kGatewayAddress, kUnitListTimeoutMs) == kResultOk)
            match = StationText(m_texts, list[static_cast<size_t>(address)]) ==
                    m_axes[static_cast<size_t>(address)].model;
    }
    m_values.modelMatch[static_cast<size_t>(address)] = match;
}

std::string CAxisLinkModel::Text(const char *key, const char *section, const char *builtIn) const
{
    std::string text = m_texts.Text(key, section);
    return text.empty() ? builtIn : text;
}

} // namespace kvl
