#pragma once
// CPointTableSetup: what an axis' point table is built on, gathered the same way for the axis
// window and the command line: the step context of an online axis (its model, the operation type
// from parameter 36, which fixes the step count, and the decimals the face shows), the bounds the
// axis' parameter store holds for the edits (parameters 3, 4, 29 and 151), and the language texts
// the step rules and the CSV header use. Stateless. Thread: the one that makes the exchanges.
#include <cstdint>
#include <string>

#include "points/StepTypes.h"

namespace kvl {
class CAppSettings;
class CIniEx;
class CServoCommands;
} // namespace kvl

namespace kvl::params {
class CParamList;
} // namespace kvl::params

namespace kvl::points {

class CPointTableSetup {
public:
    // The language section of the point table's texts.
    static constexpr char kTextSection[] = "IDD_KVL_VER2_PROGSTEP_DIALOG";

    // Reads the operation type of `axis` (a controller of `model`) and fills `context` for an
    // online axis shown with `decimals`. The read's result code; `context` is left alone unless
    // it is good.
    static int ReadOnlineContext(CServoCommands &commands, std::uint8_t axis, const std::string &model,
                                 int decimals, CStepContext &context);
    // The stored values of parameters 3, 4, 29 and 151 in the parameter store of the context's
    // model, which bound the edits of a step as they bound them in the axis window. The context's
    // own values stay where the store has none (or the system folder no file for the model).
    static void ReadStoredLimits(const CAppSettings &settings, CStepContext &context);
    // The same from an axis' open parameter store.
    static void ReadStoredLimits(const CIniEx &store, CStepContext &context);
    // The operation type (parameter 36) and the online column defaults (parameters 8, 9, 10, 25
    // and 29) from the current values of an axis' parameter list. Parameters the list does not
    // have leave their fields alone.
    static void ListValues(const params::CParamList &list, CStepContext &context);
    // The texts of the settings' language, as bytes of its code page.
    static CStepTexts Texts(const CAppSettings &settings, const std::string &model);
};

} // namespace kvl::points
