#include "link/CAppState.h"

namespace kvl {

CAppState &CAppState::Instance()
{
    static CAppState state;
    return state;
}

void CAppState::Reset()
{
    *this = CAppState();
}

} // namespace kvl
