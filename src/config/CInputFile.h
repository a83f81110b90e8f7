#pragma once
// CInputFile: reads a file that someone named (a parameter file, a point-table CSV, a unit
// settings file, a backup's files) so that the name can neither hang the tool nor fill its
// memory: only a regular file is read (a symbolic link counts as what it leads to; a FIFO, a
// device, a socket or a folder is refused without waiting on it), and only up to kMaxBytes, a
// size no file of the tool comes near. Stateless; any thread.
#include <cstdint>
#include <string>

namespace kvl {

class CInputFile {
public:
    static constexpr std::uintmax_t kMaxBytes = 16u * 1024u * 1024u;

    enum class Status {
        kRead,
        kNotFound,     // no such file
        kNotRegular,   // a folder, FIFO, device or socket
        kTooLarge,     // more than the bound
        kFailed,       // the system refused to open or read it
    };

    // The whole file into `bytes` (left empty unless kRead). `problem` gets plain words for any
    // other status ("it is a FIFO, not a regular file").
    static Status Read(const std::string &path, std::string &bytes, std::string &problem,
                       std::uintmax_t maxBytes = kMaxBytes);
    // The same checks without reading: kRead when Read would read it.
    static Status Check(const std::string &path, std::string &problem, std::uintmax_t maxBytes = kMaxBytes);
};

} // namespace kvl
