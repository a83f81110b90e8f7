#pragma once
// CRestoreChoice: what a restore dialog offers before anything is written. It holds the
// difference records of a compare (CBusDiff) in their order, groups them by device, and keeps
// one tick per device: every device that a restore can write starts ticked; a device that it
// would refuse (another model at the address, a device missing from the bus, one on the bus but
// not in the backup) is listed but cannot be ticked. The ticked devices are what CBusRestore
// gets as its addresses. Value type; any thread.
#include <string>
#include <vector>

#include "backup/BackupTypes.h"

namespace kvl::backup {

class CRestoreChoice {
public:
    struct Device {
        int address = 0;
        std::string model;
        bool writable = true;    // false: refused, never ticked
        bool ticked = true;
        Difference::Kind refusal = Difference::Kind::kParameter;   // why not writable
    };

    CRestoreChoice() = default;
    explicit CRestoreChoice(std::vector<Difference> differences);

    const std::vector<Difference> &Differences() const { return m_differences; }
    // The devices in the order of their first difference.
    const std::vector<Device> &Devices() const { return m_devices; }
    // The device of `address`; nullptr when no difference names it.
    const Device *FindDevice(int address) const;
    // Ticks or unticks a writable device; false (nothing changed) for a refused or unknown one.
    bool SetTicked(int address, bool ticked);
    bool Ticked(int address) const;
    // The ticked devices' addresses, in the order of the list.
    std::vector<int> TickedAddresses() const;
    // The devices that are writable but not ticked: left alone by the restore.
    std::vector<int> UntickedAddresses() const;
    bool Empty() const { return m_differences.empty(); }

    // Whether a difference of `kind` makes its device one a restore refuses.
    static bool Refuses(Difference::Kind kind);

private:
    Device *Find(int address);

    std::vector<Difference> m_differences;
    std::vector<Device> m_devices;
};

} // namespace kvl::backup
