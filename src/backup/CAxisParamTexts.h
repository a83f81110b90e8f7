#pragma once
// CAxisParamTexts: what the parameter list knows about one controller's parameters, for the
// whole-bus backup: which numbers the model has (every hide class; the device name, a text, is
// kept apart), each parameter's name and its value in the user's units for a raw value, and the
// parameter file the parameter list saves (at the "Custom SP" level, so every parameter the list
// can show goes in). Built from the system folder's parameter file of the model. Not copyable;
// one thread.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"
#include "params/CAxisParamSetup.h"
#include "params/ParamTypes.h"

namespace kvl {
class CAppSettings;
}

namespace kvl::backup {

class CAxisParamTexts {
public:
    // Opens the parameter file of `model` in the settings' language. False when the system
    // folder has none; nothing is usable then.
    bool Open(const CAppSettings &settings, int address, const std::string &model, const std::string &version);

    // The numbers whose raw values the controller holds, in order (the name excluded).
    std::vector<int> Numbers() const;
    // The name and the value text of `raw` for parameter `number`.
    ParamValue Describe(int number, std::int32_t raw) const;
    // The parameter file text of these values and the device name (the bytes the controller
    // keeps), dated `date`, in the language's code page.
    CCodePageText ParameterFile(const std::map<int, ParamValue> &values, const std::string &name,
                                const params::ParamDate &date);

private:
    params::CAxisParamSetup m_setup;
    std::string m_model;
};

} // namespace kvl::backup
