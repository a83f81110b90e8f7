#include "points/CAxisStepRules.h"

#include "config/CAppValues.h"
#include "points/AxisWindowState.h"
#include "points/CPointTableSetup.h"

namespace kvl::points {

CStepContext CAxisStepRules::Context(const AxisWindowState &state)
{
    CStepContext context;
    context.model = state.identity.model;
    context.decimals = state.values.decimals.at(static_cast<std::size_t>(state.identity.axis));
    context.online = !state.identity.offline;
    context.operationType = state.identity.offlineType;
    // The store the parameter list and the manual operations write their values into, not the
    // file on disk, which they save only afterwards.
    if (state.paramsOpen)
        CPointTableSetup::ReadStoredLimits(state.params.Store(), context);
    if (!state.identity.offline)
        CPointTableSetup::ListValues(state.params.Driver(), context);
    return context;
}

CStepRules CAxisStepRules::Rules(const AxisWindowState &state, const CStepContext &context)
{
    return CStepRules(context, CPointTableSetup::Texts(state.settings, state.identity.model));
}

void CAxisStepRules::Refresh(AxisWindowState &state)
{
    CStepContext context = Context(state);
    context.operationType = state.table.Rules().Context().operationType;
    state.table.SetRules(Rules(state, context));
}

} // namespace kvl::points
