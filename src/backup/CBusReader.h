#pragma once
// CBusReader: reads what one device holds into an image, for the backup, the compare and the
// restore's read-back: a controller's every parameter (one exchange each, asked again when the
// reply is lost or spoiled), its name and its point table (one bulk read, sized by the operation
// type just read); the gateway unit's whole configuration. The parameter names and value texts
// come from the system folder's parameter files. Borrows the command layer and the settings;
// the thread that makes the exchanges.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"

namespace kvl {
class CAppSettings;
class CServoCommands;
struct DeviceIdentity;
} // namespace kvl

namespace kvl::backup {

class CBusReader {
public:
    // Attempts of one read before it counts as failed.
    static constexpr int kAttempts = 3;

    struct Hooks {
        // `part` ("parameters", "steps"): `done` of `total`.
        std::function<void(const std::string &part, int done, int total)> progress;
        // Installs the sink the transport tells the bytes of a bulk read as they arrive; an
        // empty sink removes it again. Empty: steps are reported only when the read has ended.
        std::function<void(std::function<void(int received)> sink)> watchBulkRead;
    };

    CBusReader(CServoCommands &commands, const CAppSettings &settings);

    // Identity, every parameter and the point table of the controller at `address`, identified
    // as `identity`. kResultOk, or the failing result code with `failure` naming the read.
    int ReadAxis(int address, const DeviceIdentity &identity, AxisImage &image, const Hooks &hooks,
                 std::string &failure);
    // Only the parameters (image.model and image.version say which model's).
    int ReadParameters(AxisImage &image, const Hooks &hooks, std::string &failure);
    // Only the point table, sized by the image's parameter 36 (read now when the image lacks it).
    int ReadTable(AxisImage &image, const Hooks &hooks, std::string &failure);
    // The gateway unit's configuration; kResultOk, or the first failure with `failure` naming
    // the settings that could not be read.
    int ReadGateway(const DeviceIdentity &identity, GatewayImage &image, std::string &failure);

    // The name the controller at `address` answers with now.
    int ReadName(int address, std::string &name);

private:
    int ReadParameter(int address, int number, std::int32_t &raw);

    CServoCommands &m_commands;
    const CAppSettings &m_settings;
};

} // namespace kvl::backup
