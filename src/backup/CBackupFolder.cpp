#include "backup/CBackupFolder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

#include "backup/CAxisParamTexts.h"
#include "backup/CBackupManifest.h"
#include "backup/CBackupTable.h"
#include "points/CPointCsv.h"
#include "base/TextNumber.h"
#include "config/CAppSettings.h"
#include "config/CFileReplace.h"
#include "config/CInputFile.h"
#include "config/CSaveFailure.h"
#include "config/TextLines.h"
#include "gateway/CGatewaySettingsFile.h"
#include "params/ParamNumbers.h"
#include "protocol/Frame.h"

namespace kvl::backup {

namespace fs = std::filesystem;

namespace {

bool ReadWhole(const fs::path &path, std::string &out)
{
    std::string problem;
    return CInputFile::Read(path.string(), out, problem) == CInputFile::Status::kRead;
}

bool ParseWholeInt(const std::string &text, long long low, long long high, long long &value)
{
    const std::optional<long long> number = StrictInteger(text, low, high);
    if (!number)
        return false;
    value = *number;
    return true;
}

// "key value" lines; the value is everything after the first blank.
std::map<std::string, std::string> KeyValues(const std::string &text)
{
    std::map<std::string, std::string> values;
    for (const std::string &line : SplitTextLines(text)) {
        const auto blank = line.find(' ');
        values[line.substr(0, blank)] = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    }
    return values;
}

CGatewaySettingsFile::TextLookup Texts(const CAppSettings &settings)
{
    return [&settings](const std::string &key, const std::string &section) {
        return settings.Texts().Text(key, section);
    };
}

std::string Padded(int number, int width)
{
    std::string text = std::to_string(number);
    return text.size() < static_cast<size_t>(width) ? std::string(static_cast<size_t>(width) - text.size(), '0') + text
                                                    : text;
}

} // namespace

std::string CBackupFolder::DeviceFolder(int address)
{
    return address == frame::kGatewayAddress ? std::string(kGatewayFolder) : "axis" + Padded(address, 2);
}

std::string CBackupFolder::IdentityText(int address, const std::string &model, const std::string &version,
                                        const std::string &name)
{
    return "address " + std::to_string(address) + "\nmodel " + model + "\nversion " + version + "\nname " + name +
           "\n";
}

std::string CBackupFolder::RawParametersText(const AxisImage &axis)
{
    std::string text = "# " + DeviceLabel(axis.address) + " (" + axis.model +
                       "): parameter number, raw value as the controller holds it, and the value as the "
                       "parameter list shows it\n";
    for (const auto &[number, value] : axis.parameters) {
        std::string line = Padded(number, 3) + ' ' + std::to_string(value.raw);
        if (!value.name.empty())
            line += (line.size() < 16 ? std::string(16 - line.size(), ' ') : std::string("  ")) + value.name + " = " +
                    value.text;
        text += line + '\n';
    }
    return text;
}

bool CBackupFolder::ParseRawParameters(const std::string &text, std::map<int, std::int32_t> &raw, int &badLine)
{
    raw.clear();
    const std::vector<std::string> lines = SplitTextLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string numberText, rawText;
        in >> numberText >> rawText;
        long long number = 0, value = 0;
        if (!ParseWholeInt(numberText, 1, 255, number) || !ParseWholeInt(rawText, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), value) ||
            raw.count(static_cast<int>(number))) {
            badLine = static_cast<int>(i + 1);
            return false;
        }
        raw[static_cast<int>(number)] = static_cast<std::int32_t>(value);
    }
    return true;
}

std::string CBackupFolder::GatewayText(const GatewayImage &gateway, const std::string &date) const
{
    return CGatewaySettingsFile::Text(gateway.config, gateway.version, date, Texts(m_settings));
}

bool CBackupFolder::Save(const std::string &folder, const BusImage &image, const std::string &date,
                         const std::string &toolVersion, std::vector<std::string> &written, std::string &error) const
{
    CBackupManifest manifest;
    manifest.date = date;
    manifest.toolVersion = toolVersion;
    manifest.busSpeed = image.speed;
    std::error_code made;
    fs::create_directories(folder, made);
    RemoveStrayTemporaries(folder);
    const auto put = [&](const std::string &name, const std::string &bytes) {
        const fs::path path = fs::path(folder) / name;
        std::error_code ignored;
        fs::create_directories(path.parent_path(), ignored);
        if (!CFileReplace::Write(path.string(), bytes)) {
            error = CSaveFailure::Last(path.string()).CliText();
            return false;
        }
        manifest.AddFile(name, bytes);
        written.push_back(name);
        return true;
    };
    if (image.gateway.present) {
        const GatewayImage &gw = image.gateway;
        const std::string dir = DeviceFolder(frame::kGatewayAddress) + '/';
        manifest.devices.push_back({frame::kGatewayAddress, gw.model});
        if (!put(dir + kIdentityFile, IdentityText(frame::kGatewayAddress, gw.model, gw.version, gw.name)) ||
            !put(dir + kUnitSettingsFile, GatewayText(gw, CGatewaySettingsFile::Today())))
            return false;
    }
    for (const AxisImage &axis : image.axes) {
        const std::string dir = DeviceFolder(axis.address) + '/';
        manifest.devices.push_back({axis.address, axis.model});
        if (!put(dir + kIdentityFile, IdentityText(axis.address, axis.model, axis.version, axis.name)) ||
            !put(dir + kRawParametersFile, RawParametersText(axis)))
            return false;
        CAxisParamTexts texts;
        if (texts.Open(m_settings, axis.address, axis.model, axis.version) &&
            !put(dir + kParameterFile, texts.ParameterFile(axis.parameters, axis.name, params::ParamDate::Today()).Bytes()))
            return false;
        if (!put(dir + kPointsFile, axis.pointsCsv.Bytes()))
            return false;
    }
    if (!manifest.Save(folder)) {
        error = CSaveFailure::Last((fs::path(folder) / CBackupManifest::kFileName).string()).CliText();
        return false;
    }
    written.push_back(CBackupManifest::kFileName);
    return true;
}

bool CBackupFolder::LoadAxis(const std::string &folder, int address, AxisImage &axis, std::string &error) const
{
    const fs::path dir = fs::path(folder) / DeviceFolder(address);
    std::string identity, rawText, csv;
    if (!ReadWhole(dir / kIdentityFile, identity) || !ReadWhole(dir / kRawParametersFile, rawText) ||
        !ReadWhole(dir / kPointsFile, csv)) {
        error = "the backup of " + DeviceLabel(address) + " is incomplete (" + dir.string() + ")";
        return false;
    }
    const auto values = KeyValues(identity);
    axis.address = address;
    axis.model = values.count("model") ? values.at("model") : std::string();
    axis.version = values.count("version") ? values.at("version") : std::string();
    axis.name = values.count("name") ? values.at("name") : std::string();
    std::map<int, std::int32_t> raw;
    int badLine = 0;
    if (!ParseRawParameters(rawText, raw, badLine)) {
        error = (dir / kRawParametersFile).string() + " line " + std::to_string(badLine) + ": not \"NUMBER RAW\"";
        return false;
    }
    CAxisParamTexts texts;
    const bool described = texts.Open(m_settings, address, axis.model, axis.version);
    for (const auto &[number, value] : raw)
        axis.parameters[number] = described ? texts.Describe(number, value) : ParamValue{value, {}, std::to_string(value)};
    const auto type = raw.find(kParamOperationType);
    CBackupTable table(&m_settings, axis.model, type == raw.end() ? 0 : type->second);
    std::string problem;
    const CCodePageText file(csv, points::CPointCsv::CodePageOf(table.Table()));
    if (!table.FromCsv(file, problem)) {
        error = (dir / kPointsFile).string() + " " + problem;
        return false;
    }
    axis.steps = table.Steps();
    axis.pointsCsv = file;
    return true;
}

bool CBackupFolder::LoadGateway(const std::string &folder, GatewayImage &gateway, std::string &error) const
{
    const fs::path dir = fs::path(folder) / kGatewayFolder;
    std::string identity, unit;
    if (!ReadWhole(dir / kIdentityFile, identity) || !ReadWhole(dir / kUnitSettingsFile, unit)) {
        error = "the backup of the gateway unit is incomplete (" + dir.string() + ")";
        return false;
    }
    const auto values = KeyValues(identity);
    gateway.present = true;
    gateway.model = values.count("model") ? values.at("model") : std::string();
    gateway.version = values.count("version") ? values.at("version") : std::string();
    gateway.name = values.count("name") ? values.at("name") : std::string();
    CGatewaySettingsFile::Problems problems;
    if (!CGatewaySettingsFile::Parse(unit, gateway.config, Texts(m_settings), &problems)) {
        error = (dir / kUnitSettingsFile).string() + ": not a unit settings file";
        return false;
    }
    if (!problems.invalid.empty()) {
        error = (dir / kUnitSettingsFile).string() + ": no value its setting takes: " + problems.invalid.front();
        return false;
    }
    if (!problems.missing.empty()) {
        error = (dir / kUnitSettingsFile).string() + ": line " + std::to_string(problems.missing.front()) +
                " is missing";
        return false;
    }
    return true;
}

std::vector<std::string> CBackupFolder::FilesOf(int address)
{
    const std::string dir = DeviceFolder(address) + '/';
    if (address == frame::kGatewayAddress)
        return {dir + kIdentityFile, dir + kUnitSettingsFile};
    return {dir + kIdentityFile, dir + kRawParametersFile, dir + kPointsFile};
}

void CBackupFolder::RemoveStrayTemporaries(const std::string &folder)
{
    // CFileReplace writes ".NAME." and six characters beside NAME; a save killed part-way
    // leaves one behind.
    constexpr size_t kTemporaryTail = 7;
    const std::vector<std::string> names{kIdentityFile, kRawParametersFile, kParameterFile, kPointsFile,
                                         kUnitSettingsFile, CBackupManifest::kFileName};
    std::vector<fs::path> dirs{folder};
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(folder, error))
        if (entry.is_directory(error) && !entry.is_symlink(error))
            dirs.push_back(entry.path());
    for (const fs::path &dir : dirs) {
        for (const auto &entry : fs::directory_iterator(dir, error)) {
            const std::string name = entry.path().filename().string();
            const bool stray = std::any_of(names.begin(), names.end(), [&name](const std::string &target) {
                return name.size() == 1 + target.size() + kTemporaryTail && name[0] == '.' &&
                       name.compare(1, target.size(), target) == 0 && name[1 + target.size()] == '.';
            });
            if (stray && entry.is_regular_file(error) && !entry.is_symlink(error))
                fs::remove(entry.path(), error);
        }
    }
}

bool CBackupFolder::Load(const std::string &folder, BusImage &image, std::string &error) const
{
    image = BusImage();
    CBackupManifest manifest;
    if (!manifest.Load(folder, error))
        return false;
    const std::vector<std::string> linked = manifest.LinkedFiles(folder);
    if (!linked.empty()) {
        error = "the backup in " + folder + " holds a symbolic link, not a file of its own: " + linked.front();
        return false;
    }
    for (const CBackupManifest::Device &device : manifest.devices) {
        for (const std::string &name : FilesOf(device.address)) {
            if (!manifest.FindFile(name)) {
                error = "the manifest of " + folder + " names no checksum for " + name;
                return false;
            }
        }
    }
    const std::vector<std::string> damaged = manifest.CheckFiles(folder);
    if (!damaged.empty()) {
        error = "the backup in " + folder + " was changed or is damaged:";
        for (const std::string &name : damaged)
            error += ' ' + name;
        return false;
    }
    image.speed = manifest.busSpeed;
    for (const CBackupManifest::Device &device : manifest.devices) {
        if (device.address == frame::kGatewayAddress) {
            if (!LoadGateway(folder, image.gateway, error))
                return false;
            continue;
        }
        AxisImage axis;
        if (!LoadAxis(folder, device.address, axis, error))
            return false;
        image.axes.push_back(std::move(axis));
    }
    return true;
}

} // namespace kvl::backup
