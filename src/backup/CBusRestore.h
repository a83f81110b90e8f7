#pragma once
// CBusRestore: puts a backup back on the bus, writing to each chosen device only what differs.
// A controller is written in a safe order: refused while it runs in automatic mode; a servo that
// is on is switched off first (after the caller's confirmation), as the parameter list does
// before writing; the name and the parameters (the operation type among them) before the point
// table, whose size the operation type fixes; then only the steps that differ. Every written
// value is read back, and a value that does not read back as written is reported. A controller
// of another model than the backup's is refused whole. The gateway unit gets only the settings
// that differ. A dry run reads and compares but writes nothing. A restore dialog lists the same
// records (CBusDiff) and hands the chosen devices to Run. Borrows the command layer and the
// settings; the thread that makes the exchanges.
#include <functional>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"
#include "gateway/CGatewayField.h"
#include "gateway/CGatewayUnit.h"
#include "link/ResultCode.h"
#include "protocol/CBusScanner.h"

namespace kvl {
class CAppSettings;
class CServoCommands;
} // namespace kvl

namespace kvl::backup {

class CBusReader;

// One value the restore wrote (or, in a dry run, would write).
struct RestoreWrite {
    Difference difference;          // the item, the backup value (written) and the bus value before
    int result = kResultOk;         // the write's result code; kResultOk in a dry run
    bool written = false;           // the request was sent and the device took it
    bool verified = false;          // read back as written
    std::string readBack;           // what the read-back gave when it did not match; why, when not written
};

struct DeviceRestore {
    enum class Status {
        kUnchanged,         // nothing differs
        kRestored,          // every difference written and read back as written
        kPlanned,           // dry run: `writes` lists what would be written
        kIncomplete,        // some write failed or did not read back
        kMissing,           // the device does not answer
        kOtherModel,        // another model at its address: refused, nothing written
        kRefusedAutomatic,  // the controller runs in automatic mode: nothing written
        kServoOnDeclined,   // the servo is on and switching it off was declined: nothing written
        kServoOffFailed,    // the servo did not switch off: nothing written
        kRefused,           // the gateway settings are not writable as they are: nothing written
        kReadFailed,        // the device could not be read: nothing written
    };
    int address = 0;
    std::string model;       // the backup's
    std::string busModel;    // what answers at the address
    Status status = Status::kUnchanged;
    std::vector<RestoreWrite> writes;
    std::string failure;     // why, for the statuses that refuse or fail; a dry run's note

    int Failed() const;      // writes that failed or did not read back
};

struct RestoreReport {
    std::vector<DeviceRestore> devices;   // gateway first, then the controllers by address
    bool Complete() const;                // every device unchanged, restored or planned
};

class CBusRestore {
public:
    struct Options {
        // The devices to restore (0..15, 0xF1 for the gateway unit); empty: every device of the backup.
        std::vector<int> addresses;
        bool dryRun = false;
        ProgressFn progress;
        std::function<void(std::function<void(int received)> sink)> watchBulkRead;
        // Asked when a controller's servo is on: may it be switched off? Empty: yes.
        std::function<bool(int address)> confirmServoOff;
        // Reopens the PC's port at a new speed the gateway unit takes (CGatewayUnit::WriteAll).
        CGatewayUnit::PortFollower followPort;
        CGatewayField::TextLookup texts;
    };

    CBusRestore(CServoCommands &commands, const CAppSettings &settings);

    // Restores the chosen devices of `backup`; `link` is the scan of the bus (who answers, with
    // which model).
    RestoreReport Run(const BusImage &backup, const LinkResult &link, const Options &options);

    static const char *StatusText(DeviceRestore::Status status);

private:
    struct Context;
    DeviceRestore RestoreAxis(const AxisImage &backup, const DeviceIdentity &identity, Context &context);
    DeviceRestore RestoreGateway(const GatewayImage &backup, const DeviceIdentity &identity, Context &context);
    // Refusals and the servo before any write; false (with the status set) when the axis is not written.
    bool PrepareAxis(DeviceRestore &device, Context &context);
    // What a dry run can tell of those checks without writing; empty when the axis would be written.
    std::string DryRunNote(int address);
    void WriteName(const AxisImage &backup, RestoreWrite &write, CBusReader &reader);
    void WriteParameters(const AxisImage &backup, std::vector<RestoreWrite *> &writes, Context &context);
    void WriteSteps(const AxisImage &backup, std::vector<RestoreWrite *> &writes, Context &context);

    CServoCommands &m_commands;
    const CAppSettings &m_settings;
};

} // namespace kvl::backup
