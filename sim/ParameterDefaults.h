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
    int32_t raw;
};

// Defaults of a model by its file key ("MDA", "MDB", "MDC", "XMDC", "YMDA", "ZMDA"); numbers not
// listed start at 0. Empty for any other key.
const std::vector<ParameterDefault> &ParameterDefaults(const std::string &modelKey);

} // namespace kvl::sim
