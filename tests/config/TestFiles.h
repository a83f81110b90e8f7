#pragma once
// Helpers for the config tests: a scratch folder removed at the end, whole-file reads and
// writes, and a way to make a file or folder unwritable that also holds for root (whose
// permission bits are ignored) by setting the immutable attribute.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/Immutable.h"

namespace kvl::test {

class TempDir {
public:
    TempDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kvl_config_XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &Path() const { return m_path; }
    std::string File(const std::string &name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes `path` unwritable for this process; false when that cannot be arranged here.
inline bool MakeUnwritable(const std::string &path)
{
    if (::geteuid() != 0) {
        std::error_code ec;
        std::filesystem::permissions(path,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove, ec);
        return !ec && ::access(path.c_str(), W_OK) != 0;
    }
    return SetImmutable(path, true);
}

inline void MakeWritable(const std::string &path)
{
    if (::geteuid() == 0) {
        SetImmutable(path, false);
        return;
    }
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
}

} // namespace kvl::test
