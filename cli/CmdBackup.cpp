// kvlctl backup, diff, restore: the whole bus saved into a folder, compared with it, put back.
#include <memory>

#include "backup/CBackupFolder.h"
#include "backup/CBusBackup.h"
#include "backup/CBusDiff.h"
#include "backup/CBusRestore.h"
#include "cli/CCliSession.h"
#include "cli/CProgressLine.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "link/CCommImplement.h"
#include "link/ResultCode.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

#ifndef KVL_TOOL_VERSION
#define KVL_TOOL_VERSION "0"
#endif

namespace kvl::cli {
namespace {

using namespace kvl::backup;

constexpr int kExitDiffers = 3;
constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;

// One progress line per device and part ("device 2 of 7 (axis 1): parameters 35 of 110"),
// shown only on a terminal.
class BusProgress {
public:
    explicit BusProgress(CCliSession &session) : m_session(session) {}

    void Show(const Progress &p)
    {
        const std::string label = "device " + std::to_string(p.device) + " of " + std::to_string(p.devices) + " (" +
                                  DeviceLabel(p.address) + "): " + p.part;
        if (!m_line || label != m_label) {
            m_line.reset();
            m_line = std::make_unique<CProgressLine>(m_session.Err(), m_session.ErrIsTerminal(), label);
            m_label = label;
        }
        if (p.total > 0)
            m_line->Count(p.done, p.total);
        else
            m_line->Count(p.device, p.devices);
    }
    void Done() { m_line.reset(); }
    ProgressFn Hook()
    {
        return [this](const Progress &p) { Show(p); };
    }

private:
    CCliSession &m_session;
    std::unique_ptr<CProgressLine> m_line;
    std::string m_label;
};

// The transport tells the bytes of a bulk read to `sink` while it runs.
std::function<void(std::function<void(int)>)> WatchBulkRead(CCliSession &session)
{
    return [&session](std::function<void(int)> sink) {
        LinkHooks hooks = session.Facade().Hooks();
        hooks.bulkReadProgress = std::move(sink);
        session.Facade().SetHooks(std::move(hooks));
    };
}

CGatewayField::TextLookup Texts(CCliSession &session)
{
    return [&session](const std::string &key, const std::string &section) { return session.Text(key, section); };
}

int StoredSpeed(CCliSession &session)
{
    return session.Args().speed > 0 ? session.Args().speed : session.SettingsLoaded() ? session.Settings().Speed() : 0;
}

// After the scan: reads are asked again after silence, and the settings keep the speed found.
void AfterScan(CCliSession &session, const LinkResult &link)
{
    session.SetRetryOnSilence(true);
    if (session.SettingsLoaded())
        session.Settings().SetSpeed(link.speed);
}

// Finds the bus as scan does. False (with the failure said) when the port cannot be opened or
// nothing answers.
bool ScanBus(CCliSession &session, LinkResult &link)
{
    if (!session.OpenBus())
        return false;
    session.SetRetryOnSilence(false);
    link = CBusScanner(session.Commands()).Link(session.PortNumber(), StoredSpeed(session));
    if (!link.found) {
        session.FailText("no device answers on the bus (tried 115200, 57600 and 38400 bit/s)");
        return false;
    }
    AfterScan(session, link);
    // A device whose answers came late or spoiled during the search is asked once more.
    CBusBackup(session.Commands(), session.Settings()).FindMissing(link);
    return true;
}

bool NeedsSettings(CCliSession &session)
{
    if (session.SettingsLoaded())
        return true;
    session.FailText("the parameter files of the system folder are needed" +
                     (session.SettingsProblem().empty() ? std::string(" (is --system right?)")
                                                        : " (" + session.SettingsProblem() + ")"));
    return false;
}

bool LoadBackup(CCliSession &session, const std::string &folder, BusImage &backup)
{
    std::string error;
    if (CBackupFolder(session.Settings()).Load(folder, backup, error))
        return true;
    session.FailText("cannot read the backup: " + error);
    return false;
}

int RunBackup(CCliSession &session, const CCliArgs &args)
{
    const std::string &folder = args.Word(1);
    if (folder.empty())
        return session.Usage("backup DIR");
    if (!NeedsSettings(session) || !session.OpenBus())
        return CCliSession::kExitFailure;
    BusProgress progress(session);
    CBusBackup::Options options;
    options.progress = progress.Hook();
    options.watchBulkRead = WatchBulkRead(session);
    options.found = [&session](const LinkResult &link) { AfterScan(session, link); };
    options.toolVersion = KVL_TOOL_VERSION;
    session.SetRetryOnSilence(false);
    const CBusBackup::Report report = CBusBackup(session.Commands(), session.Settings())
                                          .Run(session.PortNumber(), StoredSpeed(session), folder, options);
    progress.Done();
    if (!report.found)
        return session.FailText("no device answers on the bus (tried 115200, 57600 and 38400 bit/s)");
    if (report.failedAddress >= 0)
        return session.Fail(static_cast<uint8_t>(report.failedAddress), report.failure, report.result, kTimeoutMs);
    if (!report.failure.empty())
        return session.FailText(report.failure);
    nlohmann::json missing = nlohmann::json::array();
    for (const CBusBackup::Missing &device : report.missing) {
        session.Err() << "kvlctl: " << DeviceLabel(device.address) << ": not in the backup: it does not answer, and "
                      << device.reason << '\n';
        missing.push_back({{"address", device.address}, {"device", DeviceLabel(device.address)},
                           {"reason", device.reason}});
    }
    if (session.Json()) {
        session.PrintJson({{"folder", folder}, {"speed", report.speed}, {"devices", report.devices},
                           {"parameters", report.parameters}, {"steps", report.steps}, {"files", report.files},
                           {"missing", missing}});
    } else {
        session.Result("backed up " + Count(report.devices, "device", "devices") + " at " +
                       std::to_string(report.speed) + " bit/s: " + Count(report.parameters, "parameter", "parameters") +
                       ", " + Count(report.steps, "step", "steps") + ", " +
                       Count(static_cast<long long>(report.files.size()), "file", "files") + " in " + folder);
    }
    if (report.missing.empty() || args.Flag("allow-missing"))
        return CCliSession::kExitOk;
    session.Err() << "kvlctl: the backup is incomplete: " << report.missing.size()
                  << (report.missing.size() == 1 ? " device" : " devices")
                  << " missing (--allow-missing accepts that)\n";
    return CCliSession::kExitIncomplete;
}

int RunDiff(CCliSession &session, const CCliArgs &args)
{
    const std::string &folder = args.Word(1);
    if (folder.empty())
        return session.Usage("diff DIR [--json]");
    BusImage backup, bus;
    LinkResult link;
    if (!NeedsSettings(session) || !LoadBackup(session, folder, backup) || !ScanBus(session, link))
        return CCliSession::kExitFailure;
    BusProgress progress(session);
    CBusBackup::Options options;
    options.progress = progress.Hook();
    options.watchBulkRead = WatchBulkRead(session);
    const CBusBackup::Report read =
        CBusBackup(session.Commands(), session.Settings()).ReadForCompare(link, backup, bus, options);
    progress.Done();
    if (read.failedAddress >= 0)
        return session.Fail(static_cast<uint8_t>(read.failedAddress), read.failure, read.result, kTimeoutMs);
    const std::vector<Difference> differences = CBusDiff::Compare(backup, bus, Texts(session));
    if (session.Json()) {
        nlohmann::json document = CBusDiff::ToJson(differences);
        document["folder"] = folder;
        session.PrintJson(document);
    } else if (differences.empty()) {
        session.Out() << "the bus holds what " << folder << " holds\n";
    } else {
        session.Out() << CBusDiff::ToText(differences) << differences.size()
                      << (differences.size() == 1 ? " difference\n" : " differences\n");
    }
    return differences.empty() ? CCliSession::kExitOk : kExitDiffers;
}

// The devices named by --axis (N, 0xN or gw; repeated or separated by commas); false on a bad one.
bool ChosenDevices(CCliSession &session, const CCliArgs &args, std::vector<int> &addresses)
{
    for (const std::string &given : args.Options("axis")) {
        size_t start = 0;
        while (start <= given.size()) {
            const size_t comma = given.find(',', start);
            const std::string word = given.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            uint8_t address = 0;
            if (!ParseAxis(word, address)) {
                session.Usage("--axis must be 0 to 15, 0x0 to 0xF, or gw (got '" + word + "')");
                return false;
            }
            addresses.push_back(address);
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    return true;
}

std::string WriteLine(const RestoreWrite &write, bool dryRun)
{
    const Difference &d = write.difference;
    std::string line = "  " + d.item + ": " + d.backupValue + " (bus " + d.busValue + ")";
    if (dryRun)
        return line;
    if (!write.written)
        return line + ": not written: " +
               (write.readBack.empty() ? std::string(ResultText(write.result)) + " (" + std::to_string(write.result) + ")"
                                       : write.readBack);
    if (!write.verified)
        return line + ": reads back " + write.readBack;
    return line;
}

// Whether the device was left as the backup has it (or would be, in a dry run).
bool DeviceDone(DeviceRestore::Status status)
{
    return status == DeviceRestore::Status::kUnchanged || status == DeviceRestore::Status::kRestored ||
           status == DeviceRestore::Status::kPlanned;
}

void PrintRestore(CCliSession &session, const RestoreReport &report, bool dryRun)
{
    int written = 0, failed = 0, devicesFailed = 0;
    for (const DeviceRestore &device : report.devices) {
        // A device not restored is a failure: said on standard error, like every failed write. One
        // restored in part keeps its heading above the values that were written.
        const bool done = DeviceDone(device.status);
        const bool inPart = device.status == DeviceRestore::Status::kIncomplete;
        devicesFailed += done ? 0 : 1;
        std::string line = DeviceLabel(device.address) + " (" + device.model + "): " +
                           CBusRestore::StatusText(device.status);
        if (!device.failure.empty())
            line += " (" + device.failure + ')';
        if (done || inPart)
            session.Out() << line << '\n';
        if (!done)
            session.Err() << "kvlctl: " << line << '\n';
        for (const RestoreWrite &write : device.writes) {
            if (dryRun) {
                session.Out() << WriteLine(write, true) << '\n';
                continue;
            }
            if (device.status != DeviceRestore::Status::kRestored && device.status != DeviceRestore::Status::kIncomplete)
                continue;
            const bool good = write.written && write.verified;
            written += good ? 1 : 0;
            failed += good ? 0 : 1;
            if (good)
                session.Out() << WriteLine(write, false) << '\n';
            else
                session.Err() << "kvlctl: " << DeviceLabel(device.address) << ": " << WriteLine(write, false).substr(2)
                              << '\n';
        }
    }
    if (dryRun) {
        size_t planned = 0;
        for (const DeviceRestore &device : report.devices)
            planned += device.status == DeviceRestore::Status::kPlanned ? device.writes.size() : 0;
        session.Result("dry run: " + Count(static_cast<long long>(planned), "value", "values") +
                       " would be written, nothing was written");
    } else {
        session.Result("restore: " + Count(written, "value", "values") + " written and read back" +
                       (failed ? ", " + std::to_string(failed) + " not restored" : std::string()) +
                       (devicesFailed ? ", " + Count(devicesFailed, "device", "devices") + " not restored"
                                      : std::string()));
    }
}

nlohmann::json RestoreJson(const RestoreReport &report, bool dryRun)
{
    nlohmann::json devices = nlohmann::json::array();
    for (const DeviceRestore &device : report.devices) {
        nlohmann::json writes = nlohmann::json::array();
        for (const RestoreWrite &w : device.writes)
            writes.push_back({{"kind", KindName(w.difference.kind)}, {"number", w.difference.number},
                              {"item", w.difference.item}, {"backup", w.difference.backupValue},
                              {"bus", w.difference.busValue}, {"result", w.result}, {"written", w.written},
                              {"verified", w.verified}, {"readBack", w.readBack}});
        devices.push_back({{"address", device.address}, {"device", DeviceLabel(device.address)},
                           {"model", device.model}, {"busModel", device.busModel},
                           {"status", CBusRestore::StatusText(device.status)}, {"failure", device.failure},
                           {"writes", writes}});
    }
    return {{"dryRun", dryRun}, {"complete", report.Complete()}, {"devices", devices}};
}

int RunRestore(CCliSession &session, const CCliArgs &args)
{
    const std::string &folder = args.Word(1);
    if (folder.empty())
        return session.Usage("restore DIR [--axis N ...] [--dry-run]");
    CBusRestore::Options options;
    if (!ChosenDevices(session, args, options.addresses))
        return CCliSession::kExitUsage;
    options.dryRun = args.Flag("dry-run");
    BusImage backup;
    LinkResult link;
    if (!NeedsSettings(session) || !LoadBackup(session, folder, backup))
        return CCliSession::kExitFailure;
    for (const int address : options.addresses) {
        const bool held = address == frame::kGatewayAddress ? backup.gateway.present : backup.Axis(address) != nullptr;
        if (!held)
            return session.FailText("the backup holds no " + DeviceLabel(address));
    }
    if (!ScanBus(session, link))
        return CCliSession::kExitFailure;
    BusProgress progress(session);
    options.progress = progress.Hook();
    options.watchBulkRead = WatchBulkRead(session);
    options.texts = Texts(session);
    options.confirmServoOff = [&session](int address) {
        return session.Prompt().Confirm(DeviceLabel(address), "the servo is on; switch it off to write?");
    };
    options.followPort = [&session](int speed) {
        session.Commands().ClosePort();
        const bool open = session.Commands().OpenPort(session.PortNumber(), speed) == 1;
        if (session.SettingsLoaded())
            session.Settings().SetSpeed(speed);
        return open;
    };
    const RestoreReport report = CBusRestore(session.Commands(), session.Settings()).Run(backup, link, options);
    progress.Done();
    if (session.Json())
        session.PrintJson(RestoreJson(report, options.dryRun));
    else
        PrintRestore(session, report, options.dryRun);
    return report.Complete() ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

} // namespace

std::vector<CliCommand> BackupCommands()
{
    return {
        {"backup", "backup DIR [--allow-missing]", "save the whole bus into a folder: every device's identity, parameters, point table",
         "Finds the bus as scan does, then reads the gateway unit and every controller: identity\n"
         "(address, model, version, name), every parameter of the model (raw values and the parameter\n"
         "list's file), the point table (point-table CSV) and the unit settings file, and writes them\n"
         "with a manifest (date, tool version, bus speed, devices, a checksum per file) into DIR.\n"
         "The README describes the folder.\n"
         "A station of the unit's station list (or an address that answered the search with a\n"
         "spoiled reply) is asked again; one that still does not answer is named, the folder keeps\n"
         "the others and the exit status is 3 (an incomplete backup), 0 with --allow-missing.\n"
         "Exit status 1 when nothing answers or a device found cannot be read whole (nothing is\n"
         "written then).\n\n"
         "example: kvlctl backup line4-2026-12-11",
         RunBackup},
        {"diff", "diff DIR [--json]", "compare the bus with a backup folder",
         "Reads the bus and lists per device what differs from the backup in DIR: a device missing,\n"
         "added or of another model, the name, each parameter (number, name, backup value, bus value),\n"
         "each step of the point table, each gateway setting.\n"
         "Exit status 0 when nothing differs, 3 when something does, 1 when the bus or the folder\n"
         "cannot be read.\n\n"
         "example: kvlctl --json diff line4-2026-12-11",
         RunDiff},
        {"restore", "restore DIR [--axis N ...] [--dry-run] [--yes]", "write a backup folder back to the bus",
         "Writes to each device only what differs from the backup in DIR: the name and the parameters\n"
         "first, then the steps of the point table; the gateway unit's differing settings. A\n"
         "controller running in automatic mode is refused; a servo that is on is switched off after a\n"
         "question (--yes answers it). A controller of another model than the backup's is refused.\n"
         "Every written value is read back; one that does not match is named. --axis restores only\n"
         "the named devices (N, 0xN or gw; repeat it). --dry-run lists what would be written and\n"
         "writes nothing. Exit status 1 when a device or a value was not restored.\n\n"
         "examples: kvlctl restore line4-2026-12-11 --dry-run\n"
         "          kvlctl restore line4-2026-12-11 --axis 2 --axis gw --yes",
         RunRestore},
    };
}

} // namespace kvl::cli
