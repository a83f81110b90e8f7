#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "tests/sim/SimTestUtil.h"

namespace kvl::sim::test {
namespace {

speed_t ToSpeed(int baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 230400: return B230400;
    default: return B115200;
    }
}

} // namespace

SerialClient::~SerialClient()
{
    Close();
}

bool SerialClient::Open(const std::string &path, int baud)
{
    Close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    return m_fd >= 0 && SetSpeed(baud);
}

void SerialClient::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SerialClient::SetSpeed(int baud)
{
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetspeed(&tio, ToSpeed(baud));
    return tcsetattr(m_fd, TCSANOW, &tio) == 0;
}

bool SerialClient::Write(const std::vector<uint8_t> &bytes)
{
    return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::vector<uint8_t> SerialClient::Read(size_t length, int timeoutMs)
{
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    while (out.size() < length) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, timeoutMs) <= 0)
            break;
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

std::vector<uint8_t> SerialClient::Exchange(uint8_t address, uint8_t command, const std::vector<uint8_t> &payload,
                                            size_t length, int timeoutMs)
{
    tcflush(m_fd, TCIFLUSH);
    if (!Write(frame::Build(address, command, payload)))
        return {};
    return Read(length, timeoutMs);
}

} // namespace kvl::sim::test
