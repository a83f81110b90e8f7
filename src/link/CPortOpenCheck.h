#pragma once
// Finds out why a serial device could not be opened, so that a message can name the cause: it
// does not exist, another program holds it, or this user may not open it. Looks at the path, the
// device's lock file (CPortLock) and the permissions, and as a last resort tries an open of its
// own for the system's error number. Called by the serial transport after a failed open; any thread.
#include <string>

#include "link/ResultCode.h"

namespace kvl {

class CPortOpenCheck {
public:
    // The cause for `path`, whose open just failed.
    static PortOpenCause Diagnose(const std::string &path);
    // Who may open a device besides root: the user and the group owning it, and whether that group
    // may read and write it (a serial adapter normally belongs to "dialout" with mode 0660).
    struct Owners {
        std::string user;            // empty when unknown
        std::string group;           // empty when unknown
        bool groupMayOpen = false;   // the owning group has read and write
    };
    static Owners OwnersOf(const std::string &path);
    // The name of the group that owns `path` (for the hint how to get access); empty when unknown.
    static std::string OwningGroup(const std::string &path);
    // What a user who may not open `path` can do about it, in English (kvlctl's words): join the
    // owning group when that group may read and write the device; otherwise the device is open to
    // no group, which a udev rule usually causes.
    static std::string PermissionAdvice(const std::string &path);
};

} // namespace kvl
