#include "config/CIniEx.h"

#include "config/CFileReplace.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvl {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr char kSystemFolderName[] = "system";

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A line that names a key: not blank, not a comment.
bool IsKeyLine(std::string_view key)
{
    return !key.empty() && key.front() != ';' && key.front() != '#';
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

CIniEx::~CIniEx()
{
    if (m_saveOnClose)
        Save();
    Clear();
}

CIniEx::CIniEx(CIniEx &&other) noexcept
    : m_path(std::move(other.m_path)),
      m_saveOnClose(other.m_saveOnClose),
      m_ignoreCase(other.m_ignoreCase),
      m_changed(other.m_changed),
      m_codePage(other.m_codePage),
      m_sections(std::move(other.m_sections))
{
    other.Clear();
}

CIniEx &CIniEx::operator=(CIniEx &&other) noexcept
{
    if (this != &other) {
        if (m_saveOnClose)
            Save();
        m_path = std::move(other.m_path);
        m_saveOnClose = other.m_saveOnClose;
        m_ignoreCase = other.m_ignoreCase;
        m_changed = other.m_changed;
        m_codePage = other.m_codePage;
        m_sections = std::move(other.m_sections);
        other.Clear();
    }
    return *this;
}

bool CIniEx::Open(const std::string &path, bool saveOnClose, bool createIfMissing,
                  bool ignoreCase)
{
    if (IsOpen()) {
        Save();
        Clear();
    }
    if (path.empty())
        return false;

    // Read and write access both: a file the program may not write counts as missing.
    std::FILE *file = std::fopen(path.c_str(), "r+b");
    if (!file && createIfMissing && errno == ENOENT)
        file = std::fopen(path.c_str(), "w+b");
    if (!file)
        return false;

    std::string bytes;
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), file);
        bytes.append(chunk.data(), n);
        if (n < chunk.size())
            break; // end of file or a read error: what was read stays loaded
    }
    std::fclose(file);

    Parse(bytes);
    m_path = path;
    m_saveOnClose = saveOnClose;
    m_ignoreCase = ignoreCase;
    m_changed = false;
    return true;
}

bool CIniEx::OpenInSystemFolder(const std::string &systemFolder, const std::string &fileName,
                                const std::string &subFolder, bool saveOnClose, bool createIfMissing,
                                bool ignoreCase)
{
    if (fileName.empty()) {
        if (IsOpen()) {
            Save();
            Clear();
        }
        return false;
    }
    fs::path path = systemFolder;
    if (!subFolder.empty())
        path /= subFolder;
    path /= fileName;
    return Open(path.string(), saveOnClose, createIfMissing, ignoreCase);
}

void CIniEx::LoadText(std::string_view bytes, bool ignoreCase)
{
    Clear();
    Parse(bytes);
    m_ignoreCase = ignoreCase;
}

void CIniEx::Parse(std::string_view bytes)
{
    m_sections.clear();
    m_sections.push_back(Section{});
    // A header's name is recorded only when its first line arrives, so a header followed
    // directly by another header leaves a nameless section.
    std::string_view pendingName;
    bool namePending = false;

    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t lf = bytes.find('\n', pos);
        const std::size_t end = (lf == std::string_view::npos) ? bytes.size() : lf;
        std::string_view line = bytes.substr(pos, end - pos);
        pos = (lf == std::string_view::npos) ? bytes.size() : lf + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            m_sections.push_back(Section{});
            pendingName = line.substr(1, line.size() - 2);
            namePending = true;
            continue;
        }
        Section &section = m_sections.back();
        if (namePending) {
            section.name = std::string(pendingName);
            namePending = false;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            section.entries.push_back(Entry{std::string(line), std::string()});
        else
            section.entries.push_back(
                Entry{std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
}

bool CIniEx::IsLeadByte(unsigned char c) const
{
    return kvl::IsLeadByte(c, m_codePage);
}

bool CIniEx::NamesEqual(std::string_view a, std::string_view b) const
{
    if (!m_ignoreCase)
        return a == b;
    if (a.size() != b.size())
        return false;
    std::size_t i = 0;
    while (i < a.size()) {
        // A lead byte and the byte after it form one character and are compared exactly, so a
        // trail byte that looks like an ASCII letter is never folded.
        if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
        ++i;
    }
    return true;
}

std::string_view CIniEx::CutAtLastSemicolon(std::string_view value) const
{
    std::size_t last = std::string_view::npos;
    std::size_t i = 0;
    while (i < value.size()) {
        // A lead byte takes the next byte with it whatever it is, as the platform's multibyte
        // string functions do; a lone lead byte at the end stands alone.
        if (IsLeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size()) {
            i += 2;
            continue;
        }
        if (value[i] == ';')
            last = i;
        ++i;
    }
    return last == std::string_view::npos ? value : value.substr(0, last);
}

const CIniEx::Section *CIniEx::FindSection(std::string_view name) const
{
    for (const Section &section : m_sections) {
        if (NamesEqual(section.name, name))
            return &section;
    }
    return nullptr;
}

CIniEx::Section *CIniEx::FindSection(std::string_view name)
{
    return const_cast<Section *>(static_cast<const CIniEx *>(this)->FindSection(name));
}

const CIniEx::Entry *CIniEx::FindEntry(const Section &section, std::string_view key) const
{
    for (auto it = section.entries.rbegin(); it != section.entries.rend(); ++it) {
        if (NamesEqual(it->key, key))
            return &*it;
    }
    return nullptr;
}

std::string CIniEx::GetString(std::string_view section, std::string_view key,
                              std::string_view def) const
{
    const Section *found = FindSection(section);
    if (!found)
        return std::string(def);
    const Entry *entry = FindEntry(*found, key);
    if (!entry)
        return std::string(def);
    return std::string(CutAtLastSemicolon(entry->value));
}

int CIniEx::GetInt(std::string_view section, std::string_view key, int def) const
{
    const std::string text = GetString(section, key, "");
    if (text.empty())
        return def;
    return LeadingInt(text);
}

double CIniEx::GetDouble(std::string_view section, std::string_view key, double def) const
{
    const std::string text = GetString(section, key, "");
    if (text.empty())
        return def;
    // A number too large for a double reads as 0, as no number does.
    return LeadingFiniteReal(text).value_or(0.0);
}

void CIniEx::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!IsOpen())
        return;
    // Texts that would be written as something else than this entry are refused: a line break
    // would split the line, "=" in the key would move the split, and "[" ... "]" would read back
    // as a section header.
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        key.find('=') != std::string_view::npos ||
        (!key.empty() && key.front() == '[' && !value.empty() && value.back() == ']'))
        return;

    Section *found = FindSection(section);
    if (!found) {
        m_sections.push_back(Section{std::string(section), {}});
        found = &m_sections.back();
        m_changed = true;
    }
    for (auto it = found->entries.rbegin(); it != found->entries.rend(); ++it) {
        if (NamesEqual(it->key, key)) {
            // Compared byte for byte: a change of case only is still a change worth writing.
            if (it->value != value) {
                it->value = std::string(value);
                m_changed = true;
            }
            return;
        }
    }
    found->entries.push_back(Entry{std::string(key), std::string(value)});
    m_changed = true;
}

int CIniEx::AddMissing(const CIniEx &newer)
{
    int added = 0;
    for (const Section &from : newer.m_sections) {
        Section *into = FindSection(from.name);
        for (const Entry &entry : from.entries) {
            if (!IsKeyLine(entry.key))
                continue;
            if (into && FindEntry(*into, entry.key))
                continue;
            if (!into) {
                m_sections.push_back(Section{from.name, {}});
                into = &m_sections.back();
            }
            into->entries.push_back(entry);
            ++added;
        }
    }
    if (added > 0)
        m_changed = true;
    return added;
}

std::string CIniEx::Serialize() const
{
    std::string out;
    for (const Section &section : m_sections) {
        if (!section.name.empty()) {
            out += '[';
            out += section.name;
            out += "]\r\n";
        }
        for (const Entry &entry : section.entries) {
            out += entry.key;
            // A line read without "=" gets one; a blank line stays blank; a line that began
            // with "=" keeps it so that it reads back the same.
            if (!entry.key.empty() || !entry.value.empty())
                out += '=';
            out += entry.value;
            out += "\r\n";
        }
    }
    return out;
}

bool CIniEx::Save()
{
    if (!m_changed || !IsOpen())
        return true;
    if (!CFileReplace::Write(m_path, Serialize()))
        return false;
    m_changed = false;
    return true;
}

void CIniEx::Clear()
{
    m_sections.clear();
    m_path.clear();
    m_changed = false;
}

std::vector<std::string> CIniEx::SectionNames() const
{
    std::vector<std::string> names;
    names.reserve(m_sections.size());
    for (const Section &section : m_sections)
        names.push_back(section.name);
    return names;
}

std::vector<std::string> CIniEx::KeyNames(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const Section *found = FindSection(section)) {
        keys.reserve(found->entries.size());
        for (const Entry &entry : found->entries)
            keys.push_back(entry.key);
    }
    return keys;
}

std::string CIniEx::ProgramFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path())
        return exe.parent_path().string();
    const fs::path cwd = fs::current_path(ec);
    return ec ? std::string(".") : cwd.string();
}

std::string CIniEx::DefaultSystemFolder()
{
    return (fs::path(ProgramFolder()) / kSystemFolderName).string();
}

} // namespace kvl
