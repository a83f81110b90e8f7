#pragma once
// CBusBackup: the whole-bus backup. Finds the bus the way the scan does (CBusScanner::Link), then
// reads the gateway unit and every controller it found (identity, every parameter of the model,
// the point table, the unit's settings) into a bus image, and writes the image as a backup folder
// (CBackupFolder) with its manifest. Progress goes to a hook: device n of N, and within a device
// its parameters or steps. Borrows the command layer and the settings; the thread that makes the
// exchanges.
#include <functional>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"
#include "link/ResultCode.h"
#include "protocol/CBusScanner.h"

namespace kvl {
class CAppSettings;
class CServoCommands;
} // namespace kvl

namespace kvl::backup {

class CBusBackup {
public:
    struct Options {
        ProgressFn progress;
        // See CBusReader::Hooks::watchBulkRead.
        std::function<void(std::function<void(int received)> sink)> watchBulkRead;
        // Called once the scan has found the bus, before the first device is read.
        std::function<void(const LinkResult &link)> found;
        std::string toolVersion;
        std::string date;   // the manifest's date; empty: now, in UTC
    };
    // A device the bus should hold that could not be linked, and why it is looked for.
    struct Missing {
        int address = 0;
        std::string reason;        // "the unit's station list names it", ...
    };
    struct Report {
        bool found = false;        // anything answered the scan
        int speed = 0;
        int devices = 0;           // devices read whole
        int parameters = 0;        // parameter values read
        int steps = 0;             // defined steps read
        std::vector<std::string> files;   // written, relative to the folder
        int result = kResultOk;    // the first failing read's result code
        int failedAddress = -1;    // ... and the device it failed on
        std::string failure;       // what failed, for people; empty when every device found was read
        std::vector<Missing> missing;   // devices the bus should hold that did not answer

        bool Complete() const { return found && failure.empty() && missing.empty(); }
    };

    CBusBackup(CServoCommands &commands, const CAppSettings &settings);

    // Reads every device of `link` into `image`; stops at the first device that cannot be read.
    Report Read(const LinkResult &link, BusImage &image, const Options &options);
    // The bus as a compare with `backup` needs it: every device `link` found, read whole where
    // the backup holds a device of the same model at that address, by its identity otherwise.
    Report ReadForCompare(const LinkResult &link, const BusImage &backup, BusImage &bus, const Options &options);
    // Reads every device of `link` and saves the image into `folder`.
    Report Save(const LinkResult &link, const std::string &folder, const Options &options);
    // Scans the bus on `port` (the stored speed first), reads it and saves it into `folder`.
    Report Run(int port, int storedSpeed, const std::string &folder, const Options &options);

    // The devices the search may have missed: the unit (asked again when the search did not
    // find it, never reported missing), every station the unit's station list names and every
    // address that answered the search with a reply that could not be used. Each is asked once
    // more with an ordinary read's timeout; those that answer join `link`, the others come back.
    std::vector<Missing> FindMissing(LinkResult &link);

    // "2026-12-11T01:15:00Z" for now.
    static std::string NowUtc();

private:
    // Reads the devices of `link`; `whole(address, identity)` says which are read whole.
    Report ReadDevices(const LinkResult &link, BusImage &image, const Options &options,
                       const std::function<bool(int address, const DeviceIdentity &identity)> &whole);

    CServoCommands &m_commands;
    const CAppSettings &m_settings;
};

} // namespace kvl::backup
