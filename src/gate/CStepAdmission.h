#pragma once
// CStepAdmission: whether a step record may be written to a controller, by the step rules of its
// axis (the limits of each column as the point editor applies them, with the controller's soft
// limits, maximum speed, push limit and operation type in the context). Stateless.
#include <optional>

#include "points/StepTypes.h"
#include "protocol/ServoTypes.h"
#include "protocol/WriteRefusal.h"

namespace kvl {

class CStepAdmission {
public:
    // `addressedStep` in wire numbering (from 1). A record of zeros (the clear form) always
    // passes once the step exists. The refusal names the axis from `axis` and the model from the
    // context.
    static std::optional<WriteRefusal> Check(std::uint8_t axis, const points::CStepContext &context,
                                             int addressedStep, const StepRecord &record);
};

} // namespace kvl
