#include "backup/CBackupManifest.h"

#include "base/TextNumber.h"
#include "config/CFileReplace.h"
#include "config/CInputFile.h"
#include "config/TextLines.h"
#include "protocol/Frame.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kvl {

namespace {

constexpr std::string_view kTitle = "KVL bus backup 1";

std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1U) ? (0xEDB88320U ^ (c >> 1)) : (c >> 1);
        table[n] = c;
    }
    return table;
}

bool ReadWhole(const std::string &path, std::string &out)
{
    std::string problem;
    return CInputFile::Read(path, out, problem) == CInputFile::Status::kRead;
}

bool ParseInt(const std::string &text, int &value)
{
    // The words of a line: no blank belongs to the number.
    if (text.empty() || text.front() == ' ' || text.back() == ' ')
        return false;
    const std::optional<int> number = StrictInt(text);
    if (!number)
        return false;
    value = *number;
    return true;
}

// A controller's address on the bus, or the gateway unit's.
bool IsDeviceAddress(int address)
{
    constexpr int kLastAxis = 15;
    return (address >= 0 && address <= kLastAxis) || address == frame::kGatewayAddress;
}

bool ParseHex32(const std::string &text, std::uint32_t &value)
{
    if (text.size() != 8)
        return false;
    std::uint32_t v = 0;
    for (char ch : text) {
        int d = 0;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            d = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            d = ch - 'A' + 10;
        else
            return false;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    value = v;
    return true;
}

// Splits "key rest": the key is the first word, the rest the remainder after one space.
void SplitKey(const std::string &line, std::string &key, std::string &rest)
{
    const auto space = line.find(' ');
    key = line.substr(0, space);
    rest = space == std::string::npos ? std::string() : line.substr(space + 1);
}

} // namespace

std::uint32_t CBackupManifest::Crc32(std::string_view bytes)
{
    static const auto table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFU;
    for (unsigned char b : bytes)
        c = table[(c ^ b) & 0xFFU] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

void CBackupManifest::AddFile(const std::string &name, std::string_view bytes)
{
    const std::uint32_t crc = Crc32(bytes);
    for (File &f : files) {
        if (f.name == name) {
            f.crc = crc;
            return;
        }
    }
    files.push_back({name, crc});
}

const CBackupManifest::File *CBackupManifest::FindFile(std::string_view name) const
{
    for (const File &f : files)
        if (f.name == name)
            return &f;
    return nullptr;
}

const CBackupManifest::Device *CBackupManifest::FindDevice(int address) const
{
    for (const Device &d : devices)
        if (d.address == address)
            return &d;
    return nullptr;
}

std::string CBackupManifest::ToText() const
{
    std::string out(kTitle);
    out += '\n';
    out += "date " + date + '\n';
    out += "tool " + toolVersion + '\n';
    out += "speed " + std::to_string(busSpeed) + '\n';
    for (const Device &d : devices)
        out += "device " + std::to_string(d.address) + ' ' + d.model + '\n';
    for (const File &f : files) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", f.crc);
        out += "file " + f.name + ' ' + hex + '\n';
    }
    return out;
}

bool CBackupManifest::FromText(std::string_view text, std::string &error)
{
    *this = CBackupManifest();
    const std::vector<std::string> lines = SplitTextLines(text);
    if (lines.empty() || lines[0] != kTitle) {
        error = "line 1: not a bus backup manifest";
        return false;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        if (line.empty())
            continue;
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        std::string key, rest;
        SplitKey(line, key, rest);
        if (key == "date") {
            date = rest;
        } else if (key == "tool") {
            toolVersion = rest;
        } else if (key == "speed") {
            if (!ParseInt(rest, busSpeed) || busSpeed <= 0) {
                error = where + "bad bus speed";
                return false;
            }
        } else if (key == "device") {
            std::string addr, model;
            SplitKey(rest, addr, model);
            Device d;
            d.model = model;
            if (!ParseInt(addr, d.address) || !IsDeviceAddress(d.address) || model.empty()) {
                error = where + "bad device line";
                return false;
            }
            if (std::any_of(devices.begin(), devices.end(), [&d](const Device &o) { return o.address == d.address; })) {
                error = where + "device " + std::to_string(d.address) + " is given twice";
                return false;
            }
            devices.push_back(d);
        } else if (key == "file") {
            // The checksum is the last word, so a name may hold spaces.
            const auto space = rest.rfind(' ');
            File f;
            if (space == std::string::npos || space == 0
                || !ParseHex32(rest.substr(space + 1), f.crc)) {
                error = where + "bad file line";
                return false;
            }
            f.name = rest.substr(0, space);
            if (!InsideFolder(f.name)) {
                error = where + "the file name " + f.name + " leads out of the backup folder";
                return false;
            }
            if (FindFile(f.name)) {
                error = where + "the file " + f.name + " is given twice";
                return false;
            }
            files.push_back(f);
        }
    }
    // The writer always gives the speed: a manifest without one is not whole.
    if (busSpeed <= 0) {
        error = "no bus speed";
        return false;
    }
    return true;
}

bool CBackupManifest::InsideFolder(const std::string &name)
{
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos)
        return false;
    size_t start = 0;
    for (;;) {
        const size_t slash = name.find('/', start);
        const std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

std::vector<std::string> CBackupManifest::LinkedFiles(const std::string &folder) const
{
    std::vector<std::string> linked;
    for (const File &f : files) {
        std::string path = folder;
        size_t start = 0;
        for (;;) {
            const size_t slash = f.name.find('/', start);
            path += '/' + f.name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            std::error_code ignored;
            if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ignored))) {
                linked.push_back(f.name);
                break;
            }
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
    }
    return linked;
}

bool CBackupManifest::Save(const std::string &folder) const
{
    return CFileReplace::Write(folder + '/' + kFileName, ToText());
}

bool CBackupManifest::Load(const std::string &folder, std::string &error)
{
    std::string text;
    if (!ReadWhole(folder + '/' + kFileName, text)) {
        error = "cannot read " + folder + '/' + kFileName;
        return false;
    }
    return FromText(text, error);
}

std::vector<std::string> CBackupManifest::CheckFiles(const std::string &folder) const
{
    std::vector<std::string> bad;
    for (const File &f : files) {
        std::string bytes;
        if (!ReadWhole(folder + '/' + f.name, bytes) || Crc32(bytes) != f.crc)
            bad.push_back(f.name);
    }
    return bad;
}

} // namespace kvl
