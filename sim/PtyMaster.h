#pragma once
// The master side of a pseudo-terminal in raw mode: the device end of a simulated bus. The tool
// opens the slave side (SlavePath()) as it would open a serial adapter. Owned by one thread.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvl::sim {

class PtyMaster {
public:
    static constexpr int kWriteStallMs = 100;

    PtyMaster() = default;
    ~PtyMaster();
    PtyMaster(const PtyMaster &) = delete;
    PtyMaster &operator=(const PtyMaster &) = delete;

    // Opens a new pseudo-terminal; false (with Error()) when the system refuses.
    bool Open();
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    const std::string &SlavePath() const { return m_slavePath; }
    const std::string &Error() const { return m_error; }

    // Waits up to timeoutMs for bytes and reads what is there (at most `capacity`).
    // Returns the count, 0 on timeout, -1 when the slave side is gone or on error.
    int Read(uint8_t *buffer, size_t capacity, int timeoutMs);
    // Writes every byte; false on error, or when the slave side takes nothing for kWriteStallMs.
    bool Write(const uint8_t *data, size_t length);

    // Line speed the slave side was last set to (the tool's port settings), in bit/s; 0 if unknown.
    int SlaveSpeed() const;

private:
    int m_fd = -1;
    int m_keepSlaveFd = -1;   // keeps the slave open so reads do not fail between the tool's opens
    std::string m_slavePath;
    std::string m_error;
};

} // namespace kvl::sim
