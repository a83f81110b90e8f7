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
    m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) {
        m_error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    char name[128] = {};
    if (ptsname_r(m_fd, name, sizeof name) != 0) {
        m_error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    m_slavePath = name;
    // Raw mode on the slave so no byte is translated (0x0D, 0x0A, 0x11 ...).
    m_keepSlaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keepSlaveFd >= 0) {
        termios tio{};
        if (tcgetattr(m_keepSlaveFd, &tio) == 0) {
            cfmakeraw(&tio);
            cfsetspeed(&tio, B115200);
            tcsetattr(m_keepSlaveFd, TCSANOW, &tio);
        }
    }
    termios mtio{};
    if (tcgetattr(m_fd, &mtio) == 0) {
        cfmakeraw(&mtio);
        tcsetattr(m_fd, TCSANOW, &mtio);
    }
    // Writes must not block for ever when nobody drains the slave side (see Write).
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
    return true;
}

void PtyMaster::Close()
{
    if (m_keepSlaveFd >= 0)
        ::close(m_keepSlaveFd);
    if (m_fd >= 0)
        ::close(m_fd);
    m_keepSlaveFd = -1;
    m_fd = -1;
}

int PtyMaster::Read(uint8_t *buffer, size_t capacity, int timeoutMs)
{
    if (m_fd < 0)
        return -1;
    pollfd pfd{m_fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    if (!(pfd.revents & POLLIN))
        return (pfd.revents & (POLLHUP | POLLERR)) ? -1 : 0;
    const ssize_t n = ::read(m_fd, buffer, capacity);
    if (n < 0)
        return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
    return static_cast<int>(n);
}

bool PtyMaster::Write(const uint8_t *data, size_t length)
{
    if (m_fd < 0)
        return false;
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(m_fd, data + done, length - done);
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
        pollfd pfd{m_fd, POLLOUT, 0};
        if (::poll(&pfd, 1, kWriteStallMs) <= 0)
            return false;
    }
    return true;
}

int PtyMaster::SlaveSpeed() const
{
    if (m_fd < 0)
        return 0;
    termios tio{};
    // The line settings of a pseudo-terminal pair are shared; the master reads what the tool set.
    if (tcgetattr(m_fd, &tio) != 0)
        return 0;
    return SpeedToBaud(cfgetospeed(&tio));
}

} // namespace kvl::sim
