#pragma once
// The raw values the simulated controllers start with: the "Value" of each parameter in the
// shipped parameter files, converted for the wire. Generated (sim/make_param_defaults.py);
// read-only data, any thread.
#include <cstdint>
#include <string>
#include <vector>

namespace kvl::sim {

struct ParameterDefault {
    int number;
    int32_t raw;        // the value the controller starts with
    int32_t lowest;     // the range it accepts
    int32_t highest;
};

// Defaults and ranges of a model by its file key ("MDA", "MDB", "MDC", "XMDC", "YMDA", "ZMDA"),
// one entry per numeric parameter; the text parameter (the device name) is not listed. Empty for
// any other key.
const std::vector<ParameterDefault> &ParameterDefaults(const std::string &modelKey);

} // namespace kvl::sim
