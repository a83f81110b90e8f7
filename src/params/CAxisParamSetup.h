#pragma once
// CAxisParamSetup: one axis' parameters as the parameter list holds them, built from the settings
// of the system folder and the identity the controller reported: the parameter store (the
// parameter file of the axis' model in the current language, whose "Value" keys keep the values
// last read), the driver list loaded from it, the pair of driver and file lists the edits work on,
// and how many parameters the model has. The axis window, the parameter list window and the
// command line build an axis' parameters through it. Not copyable: the pair borrows the driver
// list. One thread.
#include <cstdint>
#include <memory>
#include <string>

#include "config/CIniEx.h"
#include "params/CParamList.h"
#include "params/CParamListPair.h"
#include "params/ParamTypes.h"

namespace kvl {
class CAppSettings;
struct DeviceIdentity;
} // namespace kvl

namespace kvl::params {

class CAxisParamSetup {
public:
    CAxisParamSetup() = default;
    CAxisParamSetup(const CAxisParamSetup &) = delete;
    CAxisParamSetup &operator=(const CAxisParamSetup &) = delete;

    // Opens the parameter store of the identified model in the settings' language, loads the
    // driver list from it (no controller reads) and starts the file list as its copy. False when
    // the system folder has no parameter file for the model; nothing is usable then.
    bool Open(const CAppSettings &settings, std::uint8_t address, const DeviceIdentity &identity,
              int accessLevel);

    const ParamTarget &Target() const { return m_target; }
    CIniEx &Store() { return m_store; }
    const CIniEx &Store() const { return m_store; }
    const CParamList &Driver() const { return m_driver; }
    CParamListPair &Lists() { return *m_lists; }
    const CParamListPair &Lists() const { return *m_lists; }
    // N of the model and version: the numbers 1..49 and 100..N exist.
    int Count() const { return m_count; }
    // The language of the store's texts (1 Japanese, 2 English, 3 Chinese).
    int Language() const { return m_language; }

    // Whether the axis has parameter `number`: in its numbering and defined in its file.
    bool HasParameter(int number) const;
    // The numbers the axis has ("1-49 and 100-182"), for a refused number.
    std::string NumberRangesText() const;

private:
    ParamTarget m_target;
    CIniEx m_store;
    CParamList m_driver;
    std::unique_ptr<CParamListPair> m_lists;
    int m_count = 0;
    int m_language = 2;
};

} // namespace kvl::params
