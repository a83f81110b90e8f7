// kvlctl gw: the gateway unit's whole configuration shown, saved as a unit settings file, loaded
// from one and written to the unit, and its alarm history shown or cleared.
#include <filesystem>
#include <sstream>

#include "config/CAppSettings.h"
#include "config/CCodePage.h"
#include "config/CSaveFailure.h"
#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "config/CAppSettings.h"
#include "gateway/CGatewayRules.h"
#include "gateway/CGatewaySettingsFile.h"
#include "gateway/CGatewayUnit.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

constexpr uint8_t kUnit = CGatewayUnit::kAddress;
constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr uint8_t kStatusDone = 1;
constexpr const char *kAlarmSection = "IDD_KVL_GWX_ALARMLIST";
constexpr int kAlarmRestarted = 254;   // shown as E5
constexpr int kLastNumberedAlarm = 5;

CGatewaySettingsFile::TextLookup Texts(CCliSession &session)
{
    return [&session](const std::string &key, const std::string &section) { return session.Text(key, section); };
}

// The unit settings files are in the code page of the language the texts come from.
int FileCodePage(CCliSession &session)
{
    return session.SettingsLoaded() ? CCodePage::ForLanguage(session.Settings().Language()) : kCodePageWestern;
}

std::string FieldLabel(CCliSession &session, CGatewayField::Id field)
{
    return CGatewayField::Text(field, Texts(session));
}

// Reads the unit whole; false (with the failure said) when it does not answer, or when any
// setting could not be read: what is shown or saved is only ever what the unit holds.
bool ReadUnit(CCliSession &session, CGatewayConfig &config, std::string &version, int &exitCode)
{
    exitCode = CCliSession::kExitOk;
    if (!session.OpenBus()) {
        exitCode = CCliSession::kExitFailure;
        return false;
    }
    std::string name;
    const int result = session.Commands().ReadVersionAndName(version, name, kUnit, kTimeoutMs);
    if (result != kResultOk) {
        exitCode = session.Fail(kUnit, "read the gateway unit", result, kTimeoutMs);
        return false;
    }
    const std::vector<CGatewayField::Id> failed = CGatewayUnit(session.Commands()).Read(config);
    if (failed.empty())
        return true;
    for (const auto field : failed)
        session.Note(kUnit, "could not read " + FieldLabel(session, field));
    exitCode = session.FailAxis(kUnit, "the unit's settings were not all read: nothing shown or saved");
    return false;
}

// The body lines of the unit settings file, without the date and without CR.
std::string ShownLines(CCliSession &session, const CGatewayConfig &config, const std::string &version)
{
    std::istringstream in(CGatewaySettingsFile::Text(config, version, "", Texts(session)));
    std::string line;
    std::string shown;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (n > 1 && !line.empty())
            shown += line + '\n';
    }
    return shown;
}

nlohmann::json ConfigJson(const CGatewayConfig &c)
{
    return {{"comment", c.comment}, {"interval", c.interval}, {"broadcastDelay", c.broadcastDelay},
            {"resetTimes", c.resetTimes}, {"speedToPc", CGatewayUnit::PortSpeedOfCode(c.speedToPc)},
            {"speedToDrivers", CGatewayUnit::PortSpeedOfCode(c.speedToDrivers)},
            {"commForbidding", c.commForbidding != 0}, {"fieldbusType", c.fieldbusType},
            {"ccLinkSpeedCode", c.ccLinkSpeed},
            {"ccLinkStations", CGatewayRules::OccupationTable()[static_cast<size_t>(c.ccLinkStations)].stations},
            {"ccLinkMultiple", CGatewayRules::OccupationTable()[static_cast<size_t>(c.ccLinkStations)].multiple},
            {"ccLinkVersion", c.ccLinkVersion}, {"deviceNetSpeedCode", c.deviceNetSpeed},
            {"ipAddress", c.ipAddress}, {"subnetMask", c.subnetMask}, {"defaultGateway", c.defaultGateway},
            {"dhcp", c.dhcp != 0}, {"ethernetSpeedCode", c.ethernetSpeed}, {"devices", c.devices},
            {"inputModes", c.inputModes}, {"usedPoints", CGatewayRules::UsedPoints(c)},
            {"capacity", CGatewayRules::Capacity(c)}, {"saturation", CGatewayRules::Saturation(c)}};
}

int RunShow(CCliSession &session)
{
    CGatewayConfig config;
    std::string version;
    int exitCode = 0;
    if (!ReadUnit(session, config, version, exitCode))
        return exitCode;
    if (session.Json()) {
        nlohmann::json document = ConfigJson(config);
        document["version"] = version;
        session.PrintJson(document);
        return CCliSession::kExitOk;
    }
    session.Out() << ShownLines(session, config, version) << "saturation " << CGatewayRules::Saturation(config)
                  << "% (" << CGatewayRules::UsedPoints(config) << " of " << CGatewayRules::Capacity(config)
                  << " points)\n";
    return CCliSession::kExitOk;
}

std::string WithDatExtension(const std::string &path)
{
    return std::filesystem::path(path).has_extension() ? path : path + ".dat";
}

int RunSave(CCliSession &session, const std::string &file)
{
    CGatewayConfig config;
    std::string version;
    int exitCode = 0;
    if (!ReadUnit(session, config, version, exitCode))
        return exitCode;
    const std::string path = WithDatExtension(file);
    if (!CGatewaySettingsFile::Save(path, config, version, CGatewaySettingsFile::Today(), Texts(session),
                                    FileCodePage(session)))
        return session.FailText(CSaveFailure::Last(path).CliText());
    if (session.Json())
        session.PrintJson({{"file", path}, {"version", version}});
    else
        session.Out() << "saved the unit settings to " << path << '\n';
    return CCliSession::kExitOk;
}

int LoadFailure(CCliSession &session, const std::string &path, CGatewaySettingsFile::LoadResult result)
{
    switch (result) {
    case CGatewaySettingsFile::LoadResult::kNotFound:
        return session.FailText("cannot load " + path + ": it does not exist");
    case CGatewaySettingsFile::LoadResult::kNotGateway:
        return session.FailText("cannot load " + path + ": not a unit settings file (its second line is not GWX)");
    default:
        return session.FailText("cannot load " + path + ": it cannot be read");
    }
}

// The unit answers at a new speed to the PC at once: the port follows, and the settings keep it.
CGatewayUnit::PortFollower PortFollower(CCliSession &session)
{
    return [&session](int speed) {
        session.Commands().ClosePort();
        const bool open = session.Commands().OpenPort(session.PortNumber(), speed) == 1;
        if (session.SettingsLoaded() && !session.Settings().SetSpeed(speed))
            session.Note(kUnit, "could not store the new speed in the settings file");
        if (!open)
            session.Note(kUnit, "Port speed changed fail! (" + std::to_string(speed) + " bit/s)");
        return open;
    };
}

int ReportWrite(CCliSession &session, const std::string &path, const CGatewayUnit::WriteReport &report)
{
    static const char *const kAddressNames[] = {"IP address", "subnet mask", "default gateway"};
    if (report.outcome == CGatewayUnit::Outcome::kBadAddress)
        return session.FailAxis(kUnit, std::string("nothing written: the EtherNet/IP ") +
                                           kAddressNames[report.badAddress] + " is 255.255.255.255");
    if (report.outcome == CGatewayUnit::Outcome::kOverCapacity)
        return session.FailAxis(kUnit, "nothing written: the stations need " + std::to_string(report.saturation) +
                                           "% of the fieldbus capacity (at most 100%)");
    const auto refused = report.Refused();
    for (const auto field : refused)
        session.Note(kUnit, "the unit did not take " + FieldLabel(session, field));
    if (session.Json()) {
        nlohmann::json names = nlohmann::json::array();
        for (const auto field : refused)
            names.push_back(FieldLabel(session, field));
        session.PrintJson({{"file", path}, {"written", report.writes.size() - refused.size()},
                           {"refused", names}, {"pcSpeedChanged", report.pcSpeedChanged}});
    } else if (refused.empty()) {
        session.Result("wrote " + path + " to the unit");
    }
    return refused.empty() ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

// A file with a line that holds no value of its setting, or without some of its lines, would
// write a mix of the file and defaults: nothing is written, and every such line is named.
int RefuseIncomplete(CCliSession &session, const std::string &path, const CGatewaySettingsFile::Problems &problems)
{
    for (const std::string &line : problems.invalid)
        session.Err() << "kvlctl: " << path << ": no value its setting takes: " << line << '\n';
    if (!problems.missing.empty()) {
        session.Err() << "kvlctl: " << path << ": missing lines:";
        for (const int number : problems.missing)
            session.Err() << ' ' << std::string(number < 10 ? 2 : number < 100 ? 1 : 0, '0') << number;
        session.Err() << '\n';
    }
    return session.FailText("cannot load " + path + ": nothing was written to the unit");
}

int RunLoad(CCliSession &session, const std::string &path)
{
    if (!session.InputFileReadable(path))
        return CCliSession::kExitFailure;
    CGatewayConfig config;
    CGatewaySettingsFile::Problems problems;
    const auto loaded = CGatewaySettingsFile::Load(path, config, Texts(session), FileCodePage(session), &problems);
    if (loaded != CGatewaySettingsFile::LoadResult::kLoaded)
        return LoadFailure(session, path, loaded);
    if (!problems.Empty())
        return RefuseIncomplete(session, path, problems);
    if (!session.OpenBus())
        return CCliSession::kExitFailure;
    int32_t unitPcSpeed = 0;
    const int result = session.Commands().ReadParameter(3, unitPcSpeed, kUnit, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(kUnit, "read the speed to the PC", result, kTimeoutMs);
    const auto report = CGatewayUnit(session.Commands()).WriteAll(config, unitPcSpeed, PortFollower(session));
    return ReportWrite(session, path, report);
}

std::string AlarmText(CCliSession &session, int code)
{
    const int number = code == kAlarmRestarted ? kLastNumberedAlarm : code;
    return session.Text("ID_ALARM_E" + std::to_string(number), kAlarmSection);
}

int RunAlarms(CCliSession &session, bool clear)
{
    if (!session.OpenBus())
        return CCliSession::kExitFailure;
    if (clear) {
        uint8_t status = 0;
        const int result = session.Commands().ClearAlarmHistory(status, kUnit, kTimeoutMs);
        if (result != kResultOk)
            return session.Fail(kUnit, "clear the alarm history", result, kTimeoutMs);
        if (session.Json())
            session.PrintJson({{"cleared", status == kStatusDone}});
        else
            session.Out() << "alarm history " << (status == kStatusDone ? "cleared" : "not cleared") << '\n';
        return status == kStatusDone ? CCliSession::kExitOk : CCliSession::kExitFailure;
    }
    std::vector<uint8_t> history;
    const int result = session.Commands().ReadAlarmHistory(history, kUnit, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(kUnit, "read the alarm history", result, kTimeoutMs);
    nlohmann::json list = nlohmann::json::array();
    int shown = 0;
    for (const uint8_t code : history) {
        // The unit's alarms are codes 0 to 5 and 254; the other bytes are empty slots.
        if (code > kLastNumberedAlarm && code != kAlarmRestarted)
            continue;
        ++shown;
        if (session.Json())
            list.push_back({{"code", code}, {"text", AlarmText(session, code)}});
        else
            session.Out() << AlarmText(session, code) << '\n';
    }
    if (session.Json())
        session.PrintJson({{"history", list}});
    else if (shown == 0)
        session.Out() << "no alarms\n";
    return CCliSession::kExitOk;
}

int RunGateway(CCliSession &session, const CCliArgs &args)
{
    const std::string &action = args.Word(1);
    if (action == "show")
        return RunShow(session);
    if (action == "alarms")
        return RunAlarms(session, args.Flag("clear"));
    if ((action == "save" || action == "load") && !args.Word(2).empty())
        return action == "save" ? RunSave(session, args.Word(2)) : RunLoad(session, args.Word(2));
    return session.Usage("gw show | save FILE.dat | load FILE.dat | alarms [--clear]");
}

} // namespace

std::vector<CliCommand> GatewayCommands()
{
    return {
        {"gw", "gw show | save FILE.dat | load FILE.dat | alarms [--clear]",
         "the gateway unit's settings: show, save to a file, load from a file, its alarms",
         "show    reads every setting of the unit (stations, unit parameters, fieldbus) and prints\n"
         "        them with the saturation of the fieldbus capacity (--json: one document).\n"
         "save    reads the unit and saves a unit settings file (\".dat\" added when FILE has no\n"
         "        extension).\n"
         "        show and save exit 1 naming each setting that could not be read; save then\n"
         "        writes no file.\n"
         "load    writes a unit settings file to the unit. Nothing is written when a line of the\n"
         "        file holds no value its setting takes (each such line is named), when a line is\n"
         "        missing, when an EtherNet/IP address is 255.255.255.255 or when the stations need\n"
         "        more than 100% of the capacity.\n"
         "        When the speed to the PC changes, the port is reopened at the new speed and the\n"
         "        settings file keeps it. Exits 1 naming each setting the unit did not take.\n"
         "alarms  the unit's alarm history; --clear clears it.\n\n"
         "examples: kvlctl gw show\n"
         "          kvlctl gw save line4.dat\n"
         "          kvlctl gw load line4.dat\n"
         "          kvlctl gw alarms --clear",
         RunGateway},
    };
}

} // namespace kvl::cli
