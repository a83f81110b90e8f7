#pragma once
// CAxisStepRules: the step rules of one axis window from what the window knows now: the axis'
// model and decimals setting, the bounds its parameter store holds ("Value" of parameters 3, 4,
// 29 and 151, as last read or written) and the defaults of its parameter list (8, 9, 10, 25 and
// 29). The rules are a snapshot: they are built again after every read, write or file load of
// the axis' parameters, so that an edit or a write is never checked against a bound the
// controller no longer has. Stateless; the thread that owns the axis window's state.
#include "points/CStepRules.h"

namespace kvl::points {

struct AxisWindowState;

class CAxisStepRules {
public:
    // The context as the table is built at opening and after a new operation type: the type is
    // the one parameter 36 of the list gives (online) or the one chosen offline.
    static CStepContext Context(const AxisWindowState &state);
    // The rules of that context in the settings' language.
    static CStepRules Rules(const AxisWindowState &state, const CStepContext &context);
    // New rules on the table as it stands: both tables, the cells and their marks stay, and so
    // does the operation type the table was built for (a new type resets the table itself).
    static void Refresh(AxisWindowState &state);
};

} // namespace kvl::points
