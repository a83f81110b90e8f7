#include "config/CInputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvl {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

const char *KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no regular file";
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

std::string TooLarge(std::uintmax_t maxBytes)
{
    return "it is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB, which no file of the tool is";
}

// Opens `path` without waiting (a FIFO without a writer would block an ordinary open) and
// checks it; the descriptor is in blocking mode again when kRead comes back.
CInputFile::Status Open(const std::string &path, int &fd, std::string &problem, std::uintmax_t maxBytes)
{
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int cause = errno;
        if (cause == ENOENT || cause == ENOTDIR) {
            problem = "it does not exist";
            return CInputFile::Status::kNotFound;
        }
        problem = std::string("it cannot be opened: ") + std::strerror(cause);
        return CInputFile::Status::kFailed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = std::string("it cannot be read: ") + std::strerror(errno);
        return CInputFile::Status::kFailed;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = std::string("it is ") + KindOf(info.st_mode) + ", not a regular file";
        return CInputFile::Status::kNotRegular;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        problem = TooLarge(maxBytes);
        return CInputFile::Status::kTooLarge;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        problem = std::string("it cannot be read: ") + std::strerror(errno);
        return CInputFile::Status::kFailed;
    }
    return CInputFile::Status::kRead;
}

} // namespace

CInputFile::Status CInputFile::Check(const std::string &path, std::string &problem, std::uintmax_t maxBytes)
{
    int fd = -1;
    const Status status = Open(path, fd, problem, maxBytes);
    const Descriptor closer(fd);
    return status;
}

CInputFile::Status CInputFile::Read(const std::string &path, std::string &bytes, std::string &problem,
                                    std::uintmax_t maxBytes)
{
    bytes.clear();
    int fd = -1;
    const Status status = Open(path, fd, problem, maxBytes);
    const Descriptor closer(fd);
    if (status != Status::kRead)
        return status;
    char chunk[kReadChunk];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            return Status::kRead;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            problem = std::string("it cannot be read: ") + std::strerror(errno);
            bytes.clear();
            return Status::kFailed;
        }
        // The file may grow while it is read: the bound holds all the same.
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
            problem = TooLarge(maxBytes);
            bytes.clear();
            return Status::kTooLarge;
        }
        bytes.append(chunk, static_cast<size_t>(got));
    }
}

} // namespace kvl
