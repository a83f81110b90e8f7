#include "tuning/CAutoTuningEntryFlow.h"

#include "tuning/CCKVL_VER2_AutoTuningSettingFlowDlg.h"
#include "tuning/CKVL_VER2_AutoTuningAlarmDlg.h"

namespace kvl::tuning {

bool CAutoTuningEntryFlow::Run(CWindowContext &context, QWidget *parent)
{
    {
        CKVL_VER2_AutoTuningAlarmDlg notice(context, parent);
        if (notice.exec() != QDialog::Accepted)
            return false;
    }
    CCKVL_VER2_AutoTuningSettingFlowDlg guide(context, parent);
    return guide.exec() == QDialog::Accepted;
}

} // namespace kvl::tuning
