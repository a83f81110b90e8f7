#include "points/CPointTableSetup.h"

#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "points/CStepRules.h"
#include "protocol/CServoCommands.h"

namespace kvl::points {
namespace {

constexpr uint16_t kParamOperationType = 36;

} // namespace

int CPointTableSetup::ReadOnlineContext(CServoCommands &commands, std::uint8_t axis, const std::string &model,
                                        int decimals, CStepContext &context)
{
    int32_t type = 0;
    const int result = commands.ReadParameter(kParamOperationType, type, axis, CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    context.model = model;
    context.online = true;
    context.decimals = decimals;
    context.operationType = CStepRules::OperationTypeFromParam36(model, type);
    return kResultOk;
}

void CPointTableSetup::ReadStoredLimits(const CAppSettings &settings, CStepContext &context)
{
    CIniEx store;
    if (!settings.OpenAxisParamStore(store, context.model))
        return;
    context.storedParam3 = store.GetDouble("3", "Value", context.storedParam3);
    context.storedParam4 = store.GetDouble("4", "Value", context.storedParam4);
    context.storedParam29 = store.GetDouble("29", "Value", context.storedParam29);
    context.storedParam151 = store.GetInt("151", "Value", context.storedParam151);
}

CStepTexts CPointTableSetup::Texts(const CAppSettings &settings, const std::string &model)
{
    CStepTexts texts;
    const CLanguageTexts &language = settings.Texts();
    texts.language = settings.Language();
    auto raw = [&](const std::string &key) { return language.RawText(key, kTextSection); };
    for (int i = 0; i < 2; ++i) {
        texts.modeTexts[i] = raw("ID_TYPE_MODE_" + std::to_string(i));
        texts.speedModeTexts[i] = raw("ID_SPEED_MODE_" + std::to_string(i));
    }
    for (int i = 0; i < kStopModeCount; ++i)
        texts.stopModeTexts[i] = raw("ID_STOP_MODE_" + std::to_string(i));
    texts.checkAbsText = raw("IDC_CHECK_ABS");
    const std::string prefix = model == "MDA-Z" ? "GRID_ZMDA_C" : "GRID_C";
    for (int k = 0; k < kStepColumnCount; ++k)
        texts.columnCaptions[k] = raw(prefix + std::to_string(k + 1));
    return texts;
}

} // namespace kvl::points
