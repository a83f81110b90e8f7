#include "backup/CBusBackup.h"

#include <ctime>

#include "backup/CBackupFolder.h"
#include "backup/CBusReader.h"
#include "base/CEventLog.h"
#include "gateway/CGatewayRules.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl::backup {

CBusBackup::CBusBackup(CServoCommands &commands, const CAppSettings &settings)
    : m_commands(commands), m_settings(settings)
{
}

std::string CBusBackup::NowUtc()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::vector<CBusBackup::Missing> CBusBackup::FindMissing(LinkResult &link)
{
    constexpr const char *kListed = "the unit's station list names it";
    constexpr const char *kSpoiled = "it answered the search with a reply that could not be used";
    std::vector<int> addresses;
    std::vector<const char *> reasons(CBusScanner::kAxisCount, nullptr);
    // A unit whose answer to the search came late is asked once more; a bus without one just
    // stays without.
    if (!link.gatewayPresent)
        CBusScanner(m_commands).AskAgain(link, {frame::kGatewayAddress});
    UnitDeviceList stations{};
    if (link.gatewayPresent &&
        m_commands.ReadUnitDeviceList(stations, frame::kGatewayAddress, CServoCommands::kTimeoutMs) == kResultOk) {
        for (int a = 0; a < CBusScanner::kAxisCount; ++a) {
            if (CGatewayRules::PositionOf(CGatewayRules::DeviceCodes(), stations[static_cast<size_t>(a)]) != 0)
                reasons[static_cast<size_t>(a)] = kListed;
        }
    }
    for (int a = 0; a < CBusScanner::kAxisCount; ++a) {
        const DeviceIdentity &axis = link.axes[static_cast<size_t>(a)];
        if (!reasons[static_cast<size_t>(a)] && axis.heard)
            reasons[static_cast<size_t>(a)] = kSpoiled;
        if (reasons[static_cast<size_t>(a)] && !axis.answered)
            addresses.push_back(a);
    }
    std::vector<Missing> missing;
    for (const int address : CBusScanner(m_commands).AskAgain(link, addresses))
        missing.push_back({address, reasons[static_cast<size_t>(address)]});
    return missing;
}

CBusBackup::Report CBusBackup::Read(const LinkResult &link, BusImage &image, const Options &options)
{
    return ReadDevices(link, image, options, [](int, const DeviceIdentity &) { return true; });
}

CBusBackup::Report CBusBackup::ReadForCompare(const LinkResult &link, const BusImage &backup, BusImage &bus,
                                              const Options &options)
{
    return ReadDevices(link, bus, options, [&backup](int address, const DeviceIdentity &identity) {
        if (address == frame::kGatewayAddress)
            return backup.gateway.present && backup.gateway.model == identity.model;
        const AxisImage *saved = backup.Axis(address);
        return saved && saved->model == identity.model;
    });
}

CBusBackup::Report CBusBackup::ReadDevices(const LinkResult &link, BusImage &image, const Options &options,
                                           const std::function<bool(int, const DeviceIdentity &)> &whole)
{
    Report report;
    report.found = link.found;
    report.speed = link.speed;
    image = BusImage();
    image.speed = link.speed;
    std::vector<int> addresses;
    if (link.gatewayPresent)
        addresses.push_back(frame::kGatewayAddress);
    for (int a = 0; a < CBusScanner::kAxisCount; ++a)
        if (link.axes[static_cast<size_t>(a)].answered)
            addresses.push_back(a);
    const int total = static_cast<int>(addresses.size());
    CBusReader reader(m_commands, m_settings);
    for (int n = 0; n < total; ++n) {
        const int address = addresses[static_cast<size_t>(n)];
        CBusReader::Hooks hooks;
        hooks.watchBulkRead = options.watchBulkRead;
        hooks.progress = [&](const std::string &part, int done, int count) {
            if (options.progress)
                options.progress({n + 1, total, address, part, done, count});
        };
        if (options.progress)
            options.progress({n + 1, total, address, "identity", 0, 0});
        std::string failure;
        int result = kResultOk;
        const DeviceIdentity &identity =
            address == frame::kGatewayAddress ? link.gateway : link.axes[static_cast<size_t>(address)];
        if (!whole(address, identity)) {
            if (address == frame::kGatewayAddress) {
                image.gateway = GatewayImage{true, identity.model, identity.version, identity.name, {}};
            } else {
                image.axes.push_back(AxisImage{address, identity.model, identity.version, identity.name, {}, {}, {}});
            }
        } else if (address == frame::kGatewayAddress) {
            result = reader.ReadGateway(link.gateway, image.gateway, failure);
        } else {
            AxisImage axis;
            result = reader.ReadAxis(address, link.axes[static_cast<size_t>(address)], axis, hooks, failure);
            if (result == kResultOk) {
                report.parameters += static_cast<int>(axis.parameters.size());
                for (const std::string &step : axis.steps)
                    report.steps += step.empty() ? 0 : 1;
                image.axes.push_back(std::move(axis));
            }
        }
        if (result != kResultOk) {
            report.result = result;
            report.failedAddress = address;
            report.failure = failure;
            return report;
        }
        ++report.devices;
    }
    if (report.devices == 0)
        report.failure = "no device could be read";
    return report;
}

CBusBackup::Report CBusBackup::Run(int port, int storedSpeed, const std::string &folder, const Options &options)
{
    CBusScanner scanner(m_commands);
    const LinkResult link = scanner.Link(port, storedSpeed);
    Report report;
    if (!link.found) {
        report.failure = "no device answers on the bus";
        return report;
    }
    if (options.found)
        options.found(link);
    LinkResult linked = link;
    const std::vector<Missing> missing = FindMissing(linked);
    report = Save(linked, folder, options);
    report.missing = missing;
    return report;
}

CBusBackup::Report CBusBackup::Save(const LinkResult &link, const std::string &folder, const Options &options)
{
    BusImage image;
    Report report = Read(link, image, options);
    if (!report.failure.empty())
        return report;
    std::string error;
    if (!CBackupFolder(m_settings).Save(folder, image, options.date.empty() ? NowUtc() : options.date,
                                        options.toolVersion, report.files, error))
        report.failure = error;
    CEventLog::Write("transfer", report.failure.empty()
                                     ? "backup of " + std::to_string(report.devices) + " devices into " + folder
                                     : "backup into " + folder + " not made: " + report.failure);
    return report;
}

} // namespace kvl::backup
