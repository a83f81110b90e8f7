#pragma once
// CBackupManifest: the table of contents of a bus backup folder. It names when and with which
// tool version the backup was taken, the bus speed, one line per device (address and model) and
// every file of the folder with its CRC-32, so that a changed or damaged file is found before a
// restore uses it. The manifest is a plain text file, one item per line:
//
//   KVL bus backup 1
//   date 2026-12-11T00:20:00Z
//   tool 1.0.0
//   speed 38400
//   device 0 MODEL-A
//   file axis00/params.prm 1a2b3c4d
//
// Owned by whoever backs up or restores; no Qt; one thread at a time.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvl {

class CBackupManifest {
public:
    struct Device {
        int address = 0;
        std::string model;
    };
    struct File {
        std::string name; // relative to the backup folder, '/' separated
        std::uint32_t crc = 0;
    };

    static constexpr const char *kFileName = "manifest.txt";

    std::string date;
    std::string toolVersion;
    int busSpeed = 0;
    std::vector<Device> devices;
    std::vector<File> files;

    // CRC-32 (the common reflected polynomial 0xEDB88320) of `bytes`.
    static std::uint32_t Crc32(std::string_view bytes);

    // Adds `name` with the checksum of `bytes`, replacing an earlier entry of the same name.
    void AddFile(const std::string &name, std::string_view bytes);
    const File *FindFile(std::string_view name) const;
    const Device *FindDevice(int address) const;

    std::string ToText() const;
    // False (and `error` says which line) when the first line is not the manifest's title, a
    // line cannot be read, a device or file is given twice, a file name leads out of the folder
    // or the speed line is missing; unknown keys are skipped so that later versions stay readable.
    bool FromText(std::string_view text, std::string &error);

    // Saves `folder`/manifest.txt safely; false when the file cannot be written.
    bool Save(const std::string &folder) const;
    bool Load(const std::string &folder, std::string &error);

    // Reads every listed file of `folder` again and returns the names whose content is missing
    // or no longer matches its checksum; empty when the folder is whole.
    std::vector<std::string> CheckFiles(const std::string &folder) const;
    // The files named whose path within `folder` passes a symbolic link (which may lead anywhere).
    std::vector<std::string> LinkedFiles(const std::string &folder) const;
    // Whether `name` stays inside the folder: relative, '/' separated, no "." or ".." part.
    static bool InsideFolder(const std::string &name);
};

} // namespace kvl
