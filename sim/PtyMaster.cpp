#include "sim/PtyMaster.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kvl::sim {
namespace {

int SpeedToBaud(speed_t speed)
{
    switch (speed) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    case B460800: return 460800;
    case B921600: return 921600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    default: return 0;
    }
}

} // namespace

PtyMaster::~PtyMaster()
{
    Close();
}

bool PtyMaster::Open()
{
    Close();
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    char name[128] = {};
    if (ptsname_r(fd_, name, sizeof name) != 0) {
        error_ = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    slavePath_ = name;
    // Raw mode on the slave so no byte is translated (0x0D, 0x0A, 0x11 ...).
    keepSlaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (keepSlaveFd_ >= 0) {
        termios tio{};
        if (tcgetattr(keepSlaveFd_, &tio) == 0) {
            cfmakeraw(&tio);
            cfsetspeed(&tio, B115200);
            tcsetattr(keepSlaveFd_, TCSANOW, &tio);
        }
    }
    termios mtio{};
    if (tcgetattr(fd_, &mtio) == 0) {
        cfmakeraw(&mtio);
        tcsetattr(fd_, TCSANOW, &mtio);
    }
    // Writes must not block for ever when nobody drains the slave side (see Write).
    const int flags = fcntl(fd_, F_GETFL);
    if (flags >= 0)
        fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

void PtyMaster::Close()
{
    if (keepSlaveFd_ >= 0)
        ::close(keepSlaveFd_);
    if (fd_ >= 0)
        ::close(fd_);
    keepSlaveFd_ = -1;
    fd_ = -1;
}

int PtyMaster::Read(uint8_t *buffer, size_t capacity, int timeoutMs)
{
    if (fd_ < 0)
        return -1;
    pollfd pfd{fd_, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    if (!(pfd.revents & POLLIN))
        return (pfd.revents & (POLLHUP | POLLERR)) ? -1 : 0;
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n < 0)
        return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
    return static_cast<int>(n);
}

bool PtyMaster::Write(const uint8_t *data, size_t length)
{
    if (fd_ < 0)
        return false;
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd_, data + done, length - done);
        if (n >= 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return false;
        // The slave's queue is full: nobody reads the line. Like bytes sent to a disconnected
        // adapter, the rest is lost once the line stays blocked for kWriteStallMs.
        pollfd pfd{fd_, POLLOUT, 0};
        if (::poll(&pfd, 1, kWriteStallMs) <= 0)
            return false;
    }
    return true;
}

int PtyMaster::SlaveSpeed() const
{
    if (fd_ < 0)
        return 0;
    termios tio{};
    // The line settings of a pseudo-terminal pair are shared; the master reads what the tool set.
    if (tcgetattr(fd_, &tio) != 0)
        return 0;
    return SpeedToBaud(cfgetospeed(&tio));
}

} // namespace kvl::sim
