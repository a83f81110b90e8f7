#include "config/CFileReplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kvl {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kNewFileMode = 0666;

bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a write replaces: a link is followed so that the link itself stays in place.
bool ResolveTarget(const std::string &path, fs::path &target)
{
    std::error_code error;
    target = fs::path(path);
    if (fs::symlink_status(target, error).type() == fs::file_type::symlink) {
        target = fs::weakly_canonical(target, error);
        if (error)
            return false;
    }
    return !path.empty() && !fs::is_directory(target, error);
}

// An existing target must be writable, as it would be if the file were written in place.
bool TargetWritable(const fs::path &target)
{
    std::error_code error;
    if (!fs::exists(target, error))
        return !error;
    std::FILE *probe = std::fopen(target.c_str(), "ab");
    if (!probe)
        return false;
    std::fclose(probe);
    return true;
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void SyncFolder(const fs::path &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool CFileReplace::Write(const std::string &path, std::string_view bytes)
{
    fs::path target;
    if (!ResolveTarget(path, target) || !TargetWritable(target))
        return false;
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    struct stat old {};
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : (kNewFileMode & ~CurrentUmask()));
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace kvl
