#pragma once
// Maps the port numbers the settings and windows use to device paths. An explicit entry (set by
// a face from the settings file) wins; without one, number N is "\\.\COMN" on Windows and
// "/dev/ttyS<N-1>" elsewhere. Any device path works: /dev/ttyUSB0, /dev/ttyACM0, /dev/pts/5.
// Owned by the serial transport (CComAccess), reached through the facade (CCommImplement::Ports());
// a face fills it from its settings. Used from the thread that makes the exchanges.
#include <map>
#include <string>

namespace kvl {

class CPortResolver {
public:
    // Sets the device path of port number `number` (1 or more); an empty path removes the entry.
    // False for a number below 1.
    bool SetPath(int number, const std::string &path);
    // The explicit entry of `number`, or the empty text when there is none.
    std::string GetPath(int number) const;
    // The device path port number `number` opens; empty for a number below 1.
    std::string DevicePath(int number) const;
    // The number whose entry is `path`, or the lowest number without an entry, which then gets
    // `path`. 0 for an empty path.
    int AssignNumber(const std::string &path);
    // Every explicit entry, by number (for the settings file).
    const std::map<int, std::string> &Entries() const { return m_entries; }

private:
    std::map<int, std::string> m_entries;
};

} // namespace kvl
