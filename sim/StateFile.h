#pragma once
// Keeps the devices' parameters, point tables and names in a JSON file across simulator runs.
// Stateless helpers; call them with the bus lock held (BusRunner::WithBus) or before the runner starts.
#include <string>

#include "sim/SimBus.h"

namespace kvl::sim {

class StateFile {
public:
    // Loads `path` into the bus; a missing file is not an error (first run). False with a message
    // for a file that cannot be parsed.
    static bool Load(const std::string &path, SimBus &bus, std::string *error);
    // Writes the bus state to `path` (through a temporary file, so a crash keeps the old one).
    static bool Save(const std::string &path, const SimBus &bus, std::string *error);
};

} // namespace kvl::sim
