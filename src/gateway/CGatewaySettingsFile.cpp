#include "config/CCodePageText.h"
#include "gateway/CGatewaySettingsFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "config/CFileReplace.h"
#include "config/CInputFile.h"
#include "gateway/CGatewayColourStore.h"
#include "gateway/CGatewayField.h"
#include "gateway/CGatewayFieldRange.h"
#include "gateway/CGatewayRules.h"
#include "base/TextNumber.h"

namespace kvl {
namespace {

using Id = CGatewayField::Id;
constexpr const char *kNetListSection = "IDD_KVL_GWX_NETSETLIST";
constexpr const char *kNetSection = "IDD_KVL_GWX_EXTERNAL_NETWORK_PARAM";
constexpr const char *kFileTag = "GWX";
constexpr int kCommentLine = 18;
constexpr int kFirstInputModeLine = 25;
constexpr int kFirstColourLine = 101;
constexpr int kStationsLine = 41;
constexpr int kMultipleLine = 42;
constexpr int kLastSettingLine = 50;
constexpr const char *kStationDigits = "0123456789ABCDEF";

struct Keyed {
    const char *key;
    const char *caption;
};
const Keyed kDevices[] = {{"ID_COMBO_NULL", "NULL"}, {"ID_COMBO_MDA", "MDA"},   {"ID_COMBO_MDB", "MDB"},
                          {"ID_COMBO_MDC", "MDC"},   {"ID_COMBO_XMDC", "MDC-X"}, {"ID_COMBO_YMDA", "MDA-Y"},
                          {"ID_COMBO_ZMDA", "MDA-Z"}, {"ID_COMBO_ANY", "ANY"}};
const Keyed kInputModes[] = {{"ID_COMBO_INPUTMODE_IO", "IO"}, {"ID_COMBO_INPUTMODE_SIMPLE", "SIMPLE"},
                             {"ID_COMBO_INPUTMODE_HALF", "HALF"}, {"ID_COMBO_INPUTMODE_FULL", "FULL"}};
const char *const kColourLines[] = {"Color Device NULL", "Color Device MDA", "Color Device MDB",
                                    "Color Device MDC", "Color Device Any", "Color InputMode IO",
                                    "Color InputMode Simple", "Color InputMode Half", "Color InputMode Full",
                                    "Color Device MDC-X", "Color Device MDA-Y", "Color Device MDA-Z"};
const std::vector<std::string> kFieldbusTypes = {"CC-Link", "DeviceNet", "EtherCAT", "EtherNet/IP"};
const std::vector<std::string> kPortSpeeds = {"38400", "57600", "115200"};
const std::vector<std::string> kCcLinkSpeeds = {"156k", "625k", "2.5M", "5M", "10M"};
const std::vector<std::string> kVersions = {"V1.10", "V2.00"};
const std::vector<std::string> kDeviceNetSpeeds = {"125k", "250k", "500k", "Autoband"};
const std::vector<std::string> kEthernetSpeeds = {"Auto", "10HDX", "10FDX", "100HDX", "100FDX"};

// The list texts a file holds, in the language of the lookup.
struct Lists {
    std::vector<std::string> devices;
    std::vector<std::string> inputModes;
    std::vector<std::string> validity;   // "Invalid", "Valid"

    explicit Lists(const CGatewaySettingsFile::TextLookup &texts)
    {
        auto text = [&](const char *key, const char *section, const char *caption) {
            const std::string found = texts ? texts(key, section) : std::string();
            return found.empty() ? std::string(caption) : found;
        };
        for (const auto &d : kDevices)
            devices.push_back(text(d.key, kNetListSection, d.caption));
        for (const auto &m : kInputModes)
            inputModes.push_back(text(m.key, kNetListSection, m.caption));
        validity = {text("IDC_ST_UNIT_INVALID", kNetSection, "Invalid"), text("IDC_ST_UNIT_VALID", kNetSection, "Valid")};
    }
};

std::string Label(Id id, const CGatewaySettingsFile::TextLookup &texts)
{
    const auto &label = CGatewayField::LabelOf(id);
    const std::string found = texts && *label.key ? texts(label.key, label.section) : std::string();
    return found.empty() ? label.caption : found;
}

std::string LabelText(const char *key, const char *caption, const CGatewaySettingsFile::TextLookup &texts)
{
    const std::string found = texts ? texts(key, kNetSection) : std::string();
    return found.empty() ? caption : found;
}

const std::string &Entry(const std::vector<std::string> &entries, int position)
{
    return entries[position >= 0 && position < static_cast<int>(entries.size()) ? static_cast<size_t>(position) : 0];
}

std::string Number(int line)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.3d.  ", line);
    return text;
}

std::string OctetText(const CGatewayConfig::Octets &o)
{
    return std::to_string(o[0]) + "," + std::to_string(o[1]) + "," + std::to_string(o[2]) + "," + std::to_string(o[3]);
}

bool BeginsWithIgnoringCase(const std::string &entry, const std::string &value)
{
    return entry.size() >= value.size() &&
           std::equal(value.begin(), value.end(), entry.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// The entry that begins with `value`, searched from the second entry with the first tried last;
// false, with `position` left, when none does or the value is empty.
bool Select(const std::vector<std::string> &entries, const std::string &value, int &position)
{
    if (value.empty())
        return false;
    for (size_t n = 1; n <= entries.size(); ++n) {
        const size_t i = n % entries.size();
        if (BeginsWithIgnoringCase(entries[i], value)) {
            position = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

// Four whole numbers 0 to 255 separated by commas, and nothing else.
std::optional<CGatewayConfig::Octets> OctetsOf(const std::string &text)
{
    CGatewayConfig::Octets octets{};
    size_t at = 0;
    for (size_t i = 0; i < octets.size(); ++i) {
        const size_t comma = i + 1 < octets.size() ? text.find(',', at) : text.size();
        if (comma == std::string::npos)
            return std::nullopt;
        const auto octet = StrictInteger(std::string_view(text).substr(at, comma - at), 0, CGatewayFieldRange::kOctetMax);
        if (!octet)
            return std::nullopt;
        octets[i] = static_cast<int>(*octet);
        at = comma + 1;
    }
    return octets;
}

std::string Trimmed(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void Body(std::ostringstream &out, const CGatewayConfig &c, const CGatewaySettingsFile::TextLookup &texts)
{
    const Lists lists(texts);
    const auto &occupation = CGatewayRules::OccupationTable()[static_cast<size_t>(
        c.ccLinkStations >= 0 && c.ccLinkStations < 8 ? c.ccLinkStations : 0)];
    const int type = CGatewayRules::PositionOf(CGatewayRules::FieldbusCodes(), c.fieldbusType);
    for (int i = 0; i < CGatewayConfig::kStations; ++i)
        out << Number(i + 1) << "Device ID:" << kStationDigits[i] << " = "
            << Entry(lists.devices, CGatewayRules::PositionOf(CGatewayRules::DeviceCodes(), c.devices[i])) << "\r\n";
    out << "017.  " << Label(CGatewayField::kFieldbusType, texts) << " = " << kFieldbusTypes[type] << "\r\n";
    out << "018.  " << Label(CGatewayField::kComment, texts) << " = " << c.comment << "\r\n";
    out << "019.  " << Label(CGatewayField::kInterval, texts) << " = " << c.interval << " [ms]\r\n";
    out << "020.  " << Label(CGatewayField::kBroadcastDelay, texts) << " = " << c.broadcastDelay << " [ms]\r\n";
    out << "021.  " << Label(CGatewayField::kSpeedToPc, texts) << " = " << Entry(kPortSpeeds, c.speedToPc - 1) << " [bps]\r\n";
    out << "022.  " << Label(CGatewayField::kSpeedToDrivers, texts) << " = " << Entry(kPortSpeeds, c.speedToDrivers - 1)
        << " [bps]\r\n";
    out << "023.  " << Label(CGatewayField::kCcLinkSpeed, texts) << " = " << Entry(kCcLinkSpeeds, c.ccLinkSpeed - 1) << ' '
        << LabelText("IDC_ST_SPEED_CCLINK_UNIT", "bps", texts) << "\r\n";
    out << "024.  " << Label(CGatewayField::kResetTimes, texts) << " = " << c.resetTimes << "\r\n";
    for (int i = 0; i < CGatewayConfig::kStations; ++i)
        out << Number(i + kFirstInputModeLine) << "InputMode ID:" << kStationDigits[i] << " = "
            << Entry(lists.inputModes, c.inputModes[i]) << "\r\n";
    out << "041.  " << LabelText("IDC_ST_OCCUPATION_CCLINK", "Occupied stations", texts) << " = " << occupation.stations
        << ' ' << LabelText("IDC_OCCUPATION_CCLINK_UNIT", "stations", texts) << "\r\n";
    out << "042.  " << LabelText("IDC_ST_MULTIPLE_SETTING_CCLINK", "Multiple setting", texts) << " = "
        << occupation.multiple << ' ' << LabelText("IDC_ST_MULTIPLE_SETTING_CCLINK_UNIT", "times", texts) << "\r\n";
    out << "043.  " << Label(CGatewayField::kIpAddress, texts) << " = " << OctetText(c.ipAddress) << "\r\n";
    out << "044.  " << Label(CGatewayField::kSubnetMask, texts) << " = " << OctetText(c.subnetMask) << "\r\n";
    out << "045.  " << Label(CGatewayField::kDhcp, texts) << " = " << Entry(lists.validity, c.dhcp) << "\r\n";
    out << "046.  " << Label(CGatewayField::kEthernetSpeed, texts) << " = " << Entry(kEthernetSpeeds, c.ethernetSpeed - 1)
        << "\r\n";
    out << "047.  " << Label(CGatewayField::kDefaultGateway, texts) << " = " << OctetText(c.defaultGateway) << "\r\n";
    out << "048.  " << Label(CGatewayField::kDeviceNetSpeed, texts) << " = " << Entry(kDeviceNetSpeeds, c.deviceNetSpeed)
        << ' ' << LabelText("IDC_ST_SPEED_DEVICENET_UNIT", "bps", texts) << "\r\n";
    out << "049.  " << Label(CGatewayField::kCommForbidding, texts) << " = " << Entry(lists.validity, c.commForbidding)
        << "\r\n";
    out << "050.  " << Label(CGatewayField::kCcLinkVersion, texts) << " = " << Entry(kVersions, c.ccLinkVersion) << "\r\n";
    for (int i = 0; i < CGatewayConfig::kColours; ++i)
        out << Number(i + kFirstColourLine) << kColourLines[i] << " = " << CGatewayColourStore::ColourText(c.colours[i]) << "\r\n";
}

// A whole number the unit takes for `field`, and nothing else on the line before the unit label.
// Digits only, as the window takes them: a sign ("-0", "+5") is no value of these settings.
bool SetNumber(CGatewayField::Id field, const std::string &value, int &target)
{
    if (!value.empty() && (value.front() == '-' || value.front() == '+'))
        return false;
    const CGatewayFieldRange::Bounds bounds = CGatewayFieldRange::BoundsOf(field);
    const std::optional<long long> number = StrictInteger(value, bounds.min, bounds.max);
    if (!number || !CGatewayFieldRange::Admits(field, *number))
        return false;
    target = static_cast<int>(*number);
    return true;
}

bool SetOctets(const std::string &value, CGatewayConfig::Octets &target)
{
    const std::optional<CGatewayConfig::Octets> octets = OctetsOf(value);
    if (!octets)
        return false;
    target = *octets;
    return true;
}

// Applies one body line; false, with `c` unchanged, when the value is none its field takes. Lines
// 041 and 042 (stations and multiple) name one setting together: they are kept in `pair` and
// applied at the end.
bool Apply(int number, const std::string &value, CGatewayConfig &c, const Lists &lists,
           std::optional<std::string> (&pair)[2])
{
    int position = 0;
    if (number >= 1 && number <= CGatewayConfig::kStations) {
        position = CGatewayRules::PositionOf(CGatewayRules::DeviceCodes(), c.devices[number - 1]);
        if (!Select(lists.devices, value, position))
            return false;
        c.devices[number - 1] = static_cast<uint8_t>(CGatewayRules::DeviceCodes()[static_cast<size_t>(position)]);
        return true;
    }
    if (number >= kFirstInputModeLine && number < kFirstInputModeLine + CGatewayConfig::kStations) {
        position = c.inputModes[number - kFirstInputModeLine];
        if (!Select(lists.inputModes, value, position))
            return false;
        c.inputModes[number - kFirstInputModeLine] = static_cast<uint8_t>(position);
        return true;
    }
    if (number >= kFirstColourLine && number < kFirstColourLine + CGatewayConfig::kColours) {
        const std::optional<uint32_t> colour = CGatewayColourStore::StrictColourOfText(value);
        if (!colour)
            return false;
        c.colours[number - kFirstColourLine] = *colour;
        return true;
    }
    auto selectCode = [&](const std::vector<std::string> &entries, int &code, int offset) {
        position = code - offset;
        if (!Select(entries, value, position))
            return false;
        code = position + offset;
        return true;
    };
    switch (number) {
    case 17: {
        const auto found = std::find(kFieldbusTypes.begin(), kFieldbusTypes.end(), value);
        if (found == kFieldbusTypes.end())
            return false;
        c.fieldbusType = CGatewayRules::FieldbusCodes()[static_cast<size_t>(found - kFieldbusTypes.begin())];
        return true;
    }
    case kCommentLine:
        if (!CGatewayFieldRange::AdmitsComment(value))
            return false;
        c.comment = value;
        return true;
    case 19: return SetNumber(CGatewayField::kInterval, value, c.interval);
    case 20: return SetNumber(CGatewayField::kBroadcastDelay, value, c.broadcastDelay);
    case 24: return SetNumber(CGatewayField::kResetTimes, value, c.resetTimes);
    case 21: return selectCode(kPortSpeeds, c.speedToPc, 1);
    case 22: return selectCode(kPortSpeeds, c.speedToDrivers, 1);
    case 23: return selectCode(kCcLinkSpeeds, c.ccLinkSpeed, 1);
    case kStationsLine:
    case kMultipleLine: pair[number - kStationsLine] = value; return true;
    case 43: return SetOctets(value, c.ipAddress);
    case 44: return SetOctets(value, c.subnetMask);
    case 47: return SetOctets(value, c.defaultGateway);
    case 45: return selectCode(lists.validity, c.dhcp, 0);
    case 46: return selectCode(kEthernetSpeeds, c.ethernetSpeed, 1);
    case 48: return selectCode(kDeviceNetSpeeds, c.deviceNetSpeed, 0);
    case 49: return selectCode(lists.validity, c.commForbidding, 0);
    case 50: return selectCode(kVersions, c.ccLinkVersion, 0);
    default: return true;
    }
}

// The occupied stations and the multiple setting: a pair of the occupation table, or nothing.
bool ApplyOccupation(const std::string &stations, const std::string &multiple, CGatewayConfig &c)
{
    const std::optional<int> s = StrictInt(stations);
    const std::optional<int> m = StrictInt(multiple);
    const int position = s && m ? CGatewayRules::OccupationOf(*s, *m) : -1;
    if (position < 0)
        return false;
    c.ccLinkStations = position;
    return true;
}

// The line numbers every saved file holds.
bool IsBodyLine(int number)
{
    return (number >= 1 && number <= kLastSettingLine) ||
           (number >= kFirstColourLine && number < kFirstColourLine + CGatewayConfig::kColours);
}

} // namespace

std::string CGatewaySettingsFile::Text(const CGatewayConfig &config, const std::string &version,
                                       const std::string &date, const TextLookup &texts)
{
    std::ostringstream out;
    out << date << "\r\n" << kFileTag << "   " << version << "\r\n\r\n";
    Body(out, config, texts);
    return out.str();
}

bool CGatewaySettingsFile::Save(const std::string &path, const CGatewayConfig &config, const std::string &version,
                                const std::string &date, const TextLookup &texts, int codePage)
{
    return CFileReplace::Write(path, CCodePageText::FromUtf8(Text(config, version, date, texts), codePage).Bytes());
}

std::string CGatewaySettingsFile::WithExtension(const std::string &path)
{
    return std::filesystem::path(path).has_extension() ? path : path + kExtension;
}

std::string CGatewaySettingsFile::Today()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

bool CGatewaySettingsFile::Parse(const std::string &text, CGatewayConfig &config, const TextLookup &texts,
                                 Problems *problems)
{
    std::istringstream in(text);
    std::string line;
    CGatewayConfig loaded = config;
    const Lists lists(texts);
    Problems found;
    std::set<int> seen;
    std::optional<std::string> pair[2];
    std::string pairLines[2];
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (lineNumber == 2 && Trimmed(line).rfind(kFileTag, 0) != 0)
            return false;
        const size_t dot = line.find('.');
        if (lineNumber <= 3 || dot == std::string::npos)
            continue;
        const size_t equals = line.find('=');
        std::string value = Trimmed(equals == std::string::npos ? line : line.substr(equals + 1));
        const std::optional<int> number = StrictInt(line.substr(0, dot));
        if (!number)
            continue;
        // A value ends at its first blank, where the unit label follows; the comment is free text
        // and is taken whole, so that a saved name loads back as it was.
        if (*number != kCommentLine)
            value = value.substr(0, value.find_first_of(" \t"));
        // A line cut short before its "=" holds no value at all.
        const bool valid = equals != std::string::npos && Apply(*number, value, loaded, lists, pair);
        if (*number == kStationsLine || *number == kMultipleLine)
            pairLines[*number - kStationsLine] = Trimmed(line);
        if (IsBodyLine(*number))
            seen.insert(*number);
        if (!valid && IsBodyLine(*number))
            found.invalid.push_back(Trimmed(line));
    }
    if (text.empty() || std::count(text.begin(), text.end(), '\n') < 1)
        return false;   // no second line at all
    if (pair[0] && pair[1] && !ApplyOccupation(*pair[0], *pair[1], loaded))
        found.invalid.insert(found.invalid.end(), {pairLines[0], pairLines[1]});
    for (int number = 1; number < kFirstColourLine + CGatewayConfig::kColours; ++number) {
        if (IsBodyLine(number) && !seen.count(number))
            found.missing.push_back(number);
    }
    config = loaded;
    if (problems)
        *problems = std::move(found);
    return true;
}

CGatewaySettingsFile::LoadResult CGatewaySettingsFile::Load(const std::string &path, CGatewayConfig &config,
                                                            const TextLookup &texts, int codePage,
                                                            Problems *problems)
{
    std::string bytes;
    std::string problem;
    const CInputFile::Status read = CInputFile::Read(path, bytes, problem);
    if (read != CInputFile::Status::kRead)
        return read == CInputFile::Status::kNotFound ? LoadResult::kNotFound : LoadResult::kOpenFailed;
    const std::string text = CCodePageText(std::move(bytes), codePage).ToUtf8();
    return Parse(text, config, texts, problems) ? LoadResult::kLoaded : LoadResult::kNotGateway;
}

} // namespace kvl
