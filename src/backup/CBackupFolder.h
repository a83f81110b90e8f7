#pragma once
// CBackupFolder: a bus image as a folder of files people can read, and back. The folder holds
// the manifest (manifest.txt), then per controller a folder "axisNN" with identity.txt (address,
// model, version, name), parameters.txt (every parameter's raw value, one "NNN RAW  name = value"
// line each), parameters.dat (the parameter list's file) and points.csv (the point-table CSV),
// and for the gateway unit a folder "gateway" with identity.txt and unit.dat (the unit settings
// file). Loading checks every file against the manifest's checksum first and refuses a folder
// with a changed or missing file. Stateless apart from the settings it borrows; one thread.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"

namespace kvl {
class CAppSettings;
}

namespace kvl::backup {

class CBackupFolder {
public:
    static constexpr const char *kIdentityFile = "identity.txt";
    static constexpr const char *kRawParametersFile = "parameters.txt";
    static constexpr const char *kParameterFile = "parameters.dat";
    static constexpr const char *kPointsFile = "points.csv";
    static constexpr const char *kUnitSettingsFile = "unit.dat";
    static constexpr const char *kGatewayFolder = "gateway";

    explicit CBackupFolder(const CAppSettings &settings) : m_settings(settings) {}

    // "axis03", or "gateway" for the unit's address.
    static std::string DeviceFolder(int address);
    // The files a device's backup is read from ("axis03/identity.txt", ...); each must have its
    // checksum in the manifest.
    static std::vector<std::string> FilesOf(int address);
    // Removes the temporary files that saves killed part-way left in `folder` and its device
    // folders.
    static void RemoveStrayTemporaries(const std::string &folder);

    // Writes every file of `image` and the manifest into `folder` (made when missing).
    // `date` is the manifest's ("2026-12-11T01:15:00Z"), `toolVersion` the program's. False with
    // `error` naming the file that could not be written.
    bool Save(const std::string &folder, const BusImage &image, const std::string &date,
              const std::string &toolVersion, std::vector<std::string> &written, std::string &error) const;
    // Reads the folder back into `image`. False with `error` saying what is wrong with it.
    bool Load(const std::string &folder, BusImage &image, std::string &error) const;

    // The text forms of the files, for the tests and the folder's readers.
    static std::string IdentityText(int address, const std::string &model, const std::string &version,
                                    const std::string &name);
    static std::string RawParametersText(const AxisImage &axis);
    // Parses parameters.txt into raw values by number; false with the bad line's number.
    static bool ParseRawParameters(const std::string &text, std::map<int, std::int32_t> &raw, int &badLine);

private:
    bool LoadAxis(const std::string &folder, int address, AxisImage &axis, std::string &error) const;
    bool LoadGateway(const std::string &folder, GatewayImage &gateway, std::string &error) const;
    std::string GatewayText(const GatewayImage &gateway, const std::string &date) const;

    const CAppSettings &m_settings;
};

} // namespace kvl::backup
