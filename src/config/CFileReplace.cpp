#include "config/CFileReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/CEventLog.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kNewFileMode = 0666;
// The temporary file is ".NAME." and the six characters mkstemp puts in place of these.
constexpr const char *kTemporarySuffix = "XXXXXX";
constexpr std::size_t kTemporarySuffixLength = 6;
// Tries at a temporary file that another save's clean-up may take away before it is locked.
constexpr int kCreateAttempts = 3;

thread_local CFileReplace::Failure t_lastFailure;

bool Fail(const std::string &path, int error, bool target)
{
    t_lastFailure = {error != 0 ? error : EIO, target};
    CEventLog::Write("save", "cannot save " + path + ": " + std::strerror(t_lastFailure.error));
    return false;
}

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

std::string TemporaryPrefix(const fs::path &target)
{
    return "." + target.filename().string() + ".";
}

bool IsTemporaryOf(const std::string &entry, const std::string &prefix)
{
    if (entry.size() != prefix.size() + kTemporarySuffixLength || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// Removes the temporary files an interrupted save of this target left behind (a killed process,
// a power cut). A save holds a lock on its temporary file until the rename, so a file that can be
// locked has no owner any more; one that cannot belongs to a save in progress and stays.
void RemoveLeftovers(const fs::path &folder, const fs::path &target)
{
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!IsTemporaryOf(it->path().filename().string(), prefix))
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// Whether the open file is still the one the path names (another save's clean-up may have
// removed it between its creation and its lock).
bool StillNamed(int fd, const std::string &path)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// A new temporary file beside the target, locked for as long as it is open; -1 on failure.
int CreateLockedTemporary(const fs::path &folder, const fs::path &target, std::string &temporary)
{
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temporary = (folder / (TemporaryPrefix(target) + kTemporarySuffix)).string();
        const int fd = ::mkstemp(temporary.data());
        if (fd < 0)
            return -1;
        // Held by another save's clean-up: that one removes the file. A file system without
        // locks still saves, only without this protection.
        const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!taken && StillNamed(fd, temporary))
            return fd;
        ::close(fd);
    }
    return -1;
}

} // namespace

bool CFileReplace::Write(const std::string &path, std::string_view bytes)
{
    fs::path target;
    if (!ResolveTarget(path, target)) {
        std::error_code error;
        return Fail(path, path.empty() ? ENOENT : fs::is_directory(target, error) ? EISDIR : errno, true);
    }
    if (!TargetWritable(target))
        return Fail(path, errno, true);
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    RemoveLeftovers(folder, target);
    std::string temporary;
    const int fd = CreateLockedTemporary(folder, target, temporary);
    if (fd < 0)
        return Fail(path, errno, false);
    struct stat old {};
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : (kNewFileMode & ~CurrentUmask()));
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = written ? 0 : errno;
    const bool closed = ::close(fd) == 0;
    if (written && !closed)
        error = errno;
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        if (error == 0)
            error = errno;
        ::unlink(temporary.c_str());
        return Fail(path, error, false);
    }
    SyncFolder(folder);
    CEventLog::Write("save", "saved " + path + " (" + std::to_string(bytes.size()) + " bytes)");
    return true;
}

CFileReplace::Failure CFileReplace::LastFailure()
{
    return t_lastFailure;
}

} // namespace kvl
