#include "link/CPortOpenCheck.h"

#include <cerrno>

#include "link/CPortLock.h"

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
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

CPortOpenCheck::Owners CPortOpenCheck::OwnersOf(const std::string &path)
{
    Owners owners;
#ifndef _WIN32
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return owners;
    if (const struct group *group = ::getgrgid(status.st_gid))
        owners.group = group->gr_name;
    if (const struct passwd *user = ::getpwuid(status.st_uid))
        owners.user = user->pw_name;
    owners.groupMayOpen = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
#endif
    (void)path;
    return owners;
}

std::string CPortOpenCheck::OwningGroup(const std::string &path)
{
    return OwnersOf(path).group;
}

std::string CPortOpenCheck::PermissionAdvice(const std::string &path)
{
    const Owners owners = OwnersOf(path);
    if (owners.groupMayOpen && !owners.group.empty())
        return "join the group that owns it: sudo usermod -aG " + owners.group + " $USER, then log in again";
    const std::string user = owners.user.empty() ? std::string("its owner") : owners.user;
    return "it is open to no group, only to " + user +
           "; usually a udev rule made it so. A serial adapter is normally open to the group dialout "
           "(GROUP=\"dialout\", MODE=\"0660\" in a udev rule; see the README on dialout): ask for such a "
           "rule, then join that group";
}

} // namespace kvl
