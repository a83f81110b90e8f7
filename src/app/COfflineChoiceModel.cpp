#include "app/COfflineChoiceModel.h"

namespace kvl {

bool COfflineChoiceModel::ChooseModel(int position)
{
    if (position < 0 || position >= static_cast<int>(kModels.size()))
        return false;
    const std::string chosen = kModels[static_cast<size_t>(position)];
    if (chosen == m_model)
        return false;
    m_model = chosen;
    return true;
}

bool COfflineChoiceModel::ChooseType(int type)
{
    if (GatewayChosen() || type < 0 || type >= kOperationTypes)
        return false;
    m_type = type;
    return true;
}

int COfflineChoiceModel::ModelPosition() const
{
    for (size_t i = 0; i < kModels.size(); ++i) {
        if (m_model == kModels[i])
            return static_cast<int>(i);
    }
    return 0;
}

} // namespace kvl
