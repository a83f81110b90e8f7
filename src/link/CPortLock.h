#pragma once
// The lock file that marks a serial device as taken ("LCK..ttyUSB0" in the first usable lock
// folder, the name and place the Qt serial port uses), and whether its owner is still there. A
// lock left by a program that was killed (its process gone, or killed before it wrote its pid)
// must not keep the port shut: RemoveIfStale() deletes such a file before the port is opened.
// Plain file-system calls; any thread.
#include <string>

namespace kvl {

class CPortLock {
public:
    enum class Owner {
        kNone,     // no lock file
        kAlive,    // a running process holds it
        kGone      // the file is there, its owner is not
    };

    // Folders searched in order: the first readable one that holds the file or can take it.
    static const char *const kLockFolders[];

    // The lock file path of `devicePath` ("/dev/ttyUSB0" -> "/var/lock/LCK..ttyUSB0"); empty
    // when no lock folder is usable.
    static std::string LockFilePath(const std::string &devicePath);
    // Who holds the lock file at `lockPath`.
    static Owner OwnerOf(const std::string &lockPath);
    // Deletes the lock file of `devicePath` when its owner is gone; true when it removed one.
    static bool RemoveIfStale(const std::string &devicePath);
    // True while a running process (this one included) holds the lock of `devicePath`.
    static bool Held(const std::string &devicePath);

private:
    // OwnerOf, and with `removeGone` the file deleted (under its lock) when the owner is gone.
    static Owner Inspect(const std::string &lockPath, bool removeGone);
};

} // namespace kvl
