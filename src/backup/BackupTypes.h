#pragma once
// The plain data the whole-bus backup, compare and restore share: what one device holds (read
// from the bus or from a backup folder), one difference between a backup and the bus, and the
// progress a long run reports. Texts are UTF-8. Value types; any thread.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/CCodePageText.h"
#include "gateway/CGatewayConfig.h"

namespace kvl::backup {

// One parameter as the controller holds it, with the parameter list's name and value text.
struct ParamValue {
    std::int32_t raw = 0;
    std::string name;   // "Operation type"; empty when the parameter file has no name for it
    std::string text;   // the value in the user's units ("512 steps", "25.50 mm"); raw when unknown
};

// What one controller holds: identity, every parameter, the point table.
struct AxisImage {
    int address = 0;
    std::string model;
    std::string version;
    std::string name;
    std::map<int, ParamValue> parameters;   // by number; the name is not among them
    // The table's steps in the point-table CSV's data-line form, one per step of the table
    // (an empty text for an empty step); the table's size follows the operation type.
    std::vector<std::string> steps;
    CCodePageText pointsCsv;                 // the point-table CSV file as it is written
};

// What the gateway unit holds.
struct GatewayImage {
    bool present = false;
    std::string model;
    std::string version;
    std::string name;
    CGatewayConfig config;
};

// A whole bus: its speed, the gateway unit and the controllers by address.
struct BusImage {
    int speed = 0;
    GatewayImage gateway;
    std::vector<AxisImage> axes;   // in address order

    const AxisImage *Axis(int address) const
    {
        for (const AxisImage &axis : axes)
            if (axis.address == address)
                return &axis;
        return nullptr;
    }
};

// One thing the bus holds otherwise than the backup.
struct Difference {
    enum class Kind {
        kDeviceMissing,   // in the backup, not on the bus
        kDeviceAdded,     // on the bus, not in the backup
        kOtherModel,      // the address holds a controller of another model
        kName,            // the device name
        kParameter,       // a parameter value (number = parameter number)
        kStep,            // a step of the point table (number = step, counted from 0)
        kGatewaySetting,  // a setting of the gateway unit (number = its CGatewayField::Id)
    };
    int address = 0;        // 0..15, or 0xF1 for the gateway unit
    std::string model;      // the device's model (the backup's, else the bus')
    Kind kind = Kind::kParameter;
    int number = 0;
    std::string item;       // what differs, said for people ("parameter 36 Operation type", "step 3")
    std::string backupValue;
    std::string busValue;
};

// Where a long run stands: device n of N, and within it the part and its count.
struct Progress {
    int device = 0;          // 1-based
    int devices = 0;
    int address = 0;
    std::string part;        // "parameters", "steps", "gateway settings", "identity"
    int done = 0;
    int total = 0;
};
using ProgressFn = std::function<void(const Progress &progress)>;

// Texts shared by the backup files and the reports.
const char *KindName(Difference::Kind kind);
// "axis 3" or "gw".
std::string DeviceLabel(int address);

} // namespace kvl::backup
