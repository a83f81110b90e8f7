#pragma once
// What distinguishes one controller model from another on the bus: its type code, the step record
// form, the load-factor reply, the parameter numbers it has and the factor of its inching distance.
// Plain values; any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvl::sim {

struct ModelInfo {
    std::string text;           // "MDA", "MDC-X", ..., "GWX"
    uint8_t typeCode = 1;       // sent in ReadDeviceType
    bool longRecord = false;    // 44-byte step record and 2-byte load-factor reply
    bool rotary = false;        // degrees instead of millimetres
    bool tunes = false;         // runs the automatic gain tuning
    int inchingFactor = 10;     // raw parameter 31 per unit of length

    bool IsGateway() const { return text == "GWX"; }
    // The key of the model's parameter and language files: "MDA", "XMDC", "YMDA", "ZMDA" ...
    std::string FileKey() const;
    // Highest parameter number above 100 for this model and firmware version text ("2105").
    int LastParameter(const std::string &version) const;
    bool HasParameter(int number, const std::string &version) const;
};

// The model of a model text ("MDA-Z"), or nothing for an unknown text.
std::optional<ModelInfo> FindModel(const std::string &text);
// Every controller model in the order of the demo bus (MDA, MDB, MDC, MDC-X, MDA-Y, MDA-Z).
std::vector<ModelInfo> ControllerModels();
ModelInfo GatewayModel();

// True for a firmware version whose parameter list ends early (MDB and MDC before 1.08, or a
// version that begins with a letter A to G).
bool IsOldVersion(const std::string &version);

} // namespace kvl::sim
