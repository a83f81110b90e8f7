#include "link/CPortOpenCheck.h"

#include <cerrno>

#include "link/CPortLock.h"

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kvl {

PortOpenCause CPortOpenCheck::Diagnose(const std::string &path)
{
    if (path.empty())
        return PortOpenCause::kMissing;
#ifdef _WIN32
    return PortOpenCause::kOther;
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return PortOpenCauseFromErrno(errno);
    if (CPortLock::Held(path))
        return PortOpenCause::kBusy;
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return PortOpenCauseFromErrno(errno);
    // The path is there and may be used: the device itself says why (busy, gone, refused).
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return PortOpenCauseFromErrno(errno);
    ::close(fd);
    return PortOpenCause::kOther;
#endif
}

std::string CPortOpenCheck::OwningGroup(const std::string &path)
{
#ifndef _WIN32
    struct stat status {};
    if (!path.empty() && ::stat(path.c_str(), &status) == 0) {
        if (const struct group *owner = ::getgrgid(status.st_gid))
            return owner->gr_name;
    }
#endif
    (void)path;
    return {};
}

} // namespace kvl
