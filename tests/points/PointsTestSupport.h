#pragma once
// Builders shared by the point-table tests.
#include <array>
#include <string>

#include "points/CKVL_VER2_ProgData.h"
#include "points/CStepRules.h"
#include "points/StepTypes.h"

namespace kvl::points::test {

inline CStepContext MakeContext(const std::string &model, bool online, int operationType = 0, int decimals = 0)
{
    CStepContext c;
    c.model = model;
    c.online = online;
    c.operationType = operationType;
    c.decimals = decimals;
    return c;
}

// Language texts that do not begin with their numbers, so a test sees whether the rules map them.
inline CStepTexts JapaneseLikeTexts()
{
    CStepTexts t;
    t.language = 1;
    t.modeTexts = {"Absolute", "Relative"};
    t.speedModeTexts = {"Trapezoid", "S-curve"};
    t.stopModeTexts = {"Stop-A", "Stop-B", "Stop-C", "Stop-D", "Push-stop"};
    return t;
}

inline std::array<std::string, kStepColumnCount> RowTexts(int step, const std::string &mode,
                                                          const std::string &position, const std::string &jump,
                                                          const std::string &comment = "")
{
    return {std::to_string(step), mode, position, "100", "0.3", "0.3", "0", "0", "0.1", "0", "0", "0", "0", "0", "1",
            jump, comment};
}

inline CKVL_VER2_ProgData MakeStep(int step, const std::string &mode = "ABS", const std::string &position = "12.5",
                                   const std::string &jump = "E", const std::string &comment = "")
{
    CKVL_VER2_ProgData record;
    record.SetRow(RowTexts(step, mode, position, jump, comment), CStepTexts());
    return record;
}

} // namespace kvl::points::test
