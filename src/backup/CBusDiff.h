#pragma once
// CBusDiff: what the bus holds otherwise than a backup, as a plain list of difference records
// (device, item, backup value, bus value) that the command line prints and a restore dialog can
// list: a device missing, added or of another model; the device name; each parameter whose raw
// value differs; each step of the point table that differs; each gateway setting that differs.
// Stateless; any thread.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "backup/BackupTypes.h"
#include "gateway/CGatewayField.h"

namespace kvl::backup {

class CBusDiff {
public:
    // Text of a step that holds nothing.
    static constexpr const char *kEmptyStep = "(empty)";
    // A parameter's item begins with this word and its number ("parameter 36 Operation type").
    static constexpr const char *kParameterWord = "parameter ";

    // Every difference: the gateway unit first, then the controllers by address. A device on
    // both sides with the same model is compared item by item; an axis image without parameters
    // on the bus side (only identified) is compared by its identity alone.
    static std::vector<Difference> Compare(const BusImage &backup, const BusImage &bus,
                                           const CGatewayField::TextLookup &texts = {});
    // One controller of the same model on both sides: name, parameters, steps.
    static std::vector<Difference> CompareAxis(const AxisImage &backup, const AxisImage &bus);
    // The gateway unit: the settings its fieldbus type uses.
    static std::vector<Difference> CompareGateway(const GatewayImage &backup, const GatewayImage &bus,
                                                  const CGatewayField::TextLookup &texts = {});
    // The gateway settings (of `backup`'s fieldbus type) whose values differ.
    static std::vector<CGatewayField::Id> GatewayFieldsThatDiffer(const CGatewayConfig &backup,
                                                                   const CGatewayConfig &bus);
    // A gateway setting's value as people read it ("192.168.0.1", "115200", "1 2 3 0 ...").
    static std::string GatewayValueText(CGatewayField::Id field, const CGatewayConfig &config);

    // One line per difference, grouped under a heading per device.
    static std::string ToText(const std::vector<Difference> &differences);
    // {"differences": [{"address", "device", "model", "kind", "number", "item", "backup", "bus"}...]}
    static nlohmann::json ToJson(const std::vector<Difference> &differences);
};

} // namespace kvl::backup
