#include "link/CPortLock.h"

#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kvl {
namespace {

constexpr const char *kDevFolder = "/dev/";
constexpr const char *kLockPrefix = "/LCK..";
constexpr char kZombieState = 'Z';

#ifndef _WIN32
// True while process `pid` runs: it exists and is not a zombie waiting to be reaped (a zombie
// has closed its files and holds nothing).
bool ProcessRuns(long pid)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return true;   // no /proc: trust kill()
    // "pid (name) S ...": the state follows the last closing parenthesis.
    const size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() || text[close + 2] != kZombieState;
}

// The pid written at the start of the lock file (Qt's "pid\nname\nhost" or the classic padded
// number); 0 when the file holds none, as when its writer was killed before writing it.
long PidIn(int fd)
{
    char text[64] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0)
        return 0;
    char *end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text ? pid : 0;
}
#endif

} // namespace

const char *const CPortLock::kLockFolders[] = {
    "/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp", "/var/tmp", "/var/lock/lockdev",
    "/run/lock", nullptr};

std::string CPortLock::LockFilePath(const std::string &devicePath)
{
#ifdef _WIN32
    (void)devicePath;
    return {};
#else
    std::string name = devicePath.rfind(kDevFolder, 0) == 0 ? devicePath.substr(std::char_traits<char>::length(kDevFolder))
                                                           : devicePath;
    for (char &c : name) {
        if (c == '/')
            c = '_';
    }
    name = kLockPrefix + name;
    std::vector<std::string> folders(std::begin(kLockFolders), std::end(kLockFolders) - 1);
    folders.push_back(QStandardPaths::writableLocation(QStandardPaths::TempLocation).toStdString());
    for (const std::string &folder : folders) {
        if (folder.empty() || ::access(folder.c_str(), R_OK) != 0)
            continue;
        const std::string path = folder + name;
        if (::access(path.c_str(), F_OK) == 0 || ::access(folder.c_str(), W_OK) == 0)
            return path;
    }
    return {};
#endif
}

CPortLock::Owner CPortLock::Inspect(const std::string &lockPath, bool removeGone)
{
#ifdef _WIN32
    (void)lockPath;
    (void)removeGone;
    return Owner::kNone;
#else
    if (lockPath.empty())
        return Owner::kNone;
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Owner::kNone : Owner::kAlive;
    Owner owner = Owner::kAlive;
    // A live holder keeps the file locked; a lock that can be taken has lost its holder, unless
    // the pid in it still runs (programs that write the pid without locking the file).
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (!ProcessRuns(PidIn(fd))) {
            owner = Owner::kGone;
            if (removeGone)
                ::unlink(lockPath.c_str());
        }
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return owner;
#endif
}

CPortLock::Owner CPortLock::OwnerOf(const std::string &lockPath)
{
    return Inspect(lockPath, false);
}

bool CPortLock::RemoveIfStale(const std::string &devicePath)
{
    return Inspect(LockFilePath(devicePath), true) == Owner::kGone;
}

bool CPortLock::Held(const std::string &devicePath)
{
    return OwnerOf(LockFilePath(devicePath)) == Owner::kAlive;
}

} // namespace kvl
