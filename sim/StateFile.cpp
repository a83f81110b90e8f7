#include "sim/StateFile.h"

#include <cstdio>
#include <fstream>

namespace kvl::sim {

bool StateFile::Load(const std::string &path, SimBus &bus, std::string *error)
{
    std::ifstream in(path);
    if (!in)
        return true;
    const nlohmann::json state = nlohmann::json::parse(in, nullptr, false);
    if (state.is_discarded()) {
        if (error)
            *error = "state file " + path + " is not valid JSON";
        return false;
    }
    bus.LoadState(state);
    return true;
}

bool StateFile::Save(const std::string &path, const SimBus &bus, std::string *error)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << bus.SaveState().dump(1) << '\n';
        if (!out) {
            if (error)
                *error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error)
            *error = "cannot replace " + path;
        return false;
    }
    return true;
}

} // namespace kvl::sim
