#pragma once
// IParamReader: the two controller reads the parameter list needs when an axis window opens
// (the device type with version and name, and one parameter's raw value). The axis window hands
// in an adapter over the command layer; tests hand in a fake. Called on the owner's thread.
#include <cstdint>
#include <string>

namespace kvl::params {

class IParamReader {
public:
    virtual ~IParamReader() = default;
    // Model text, 4-character version text and name text of the axis; a result code
    // (-200 on success). The outputs are only used after a good result.
    virtual int ReadDeviceType(std::string &model, std::string &version, std::string &name) = 0;
    // Raw value of parameter `number`; a result code (-200 on success).
    virtual int ReadParameter(std::int32_t &value, int number) = 0;
};

} // namespace kvl::params
