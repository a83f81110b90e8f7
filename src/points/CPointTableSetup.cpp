#include "points/CPointTableSetup.h"

#include "base/CModelTraits.h"
#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "params/CParamList.h"
#include "params/ParamNumbers.h"
#include "points/CStepRules.h"
#include "protocol/CServoCommands.h"

namespace kvl::points {

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
    context.operationType = CModelTraits::Of(model).OperationTypeOfRaw(type);
    return kResultOk;
}

void CPointTableSetup::ReadStoredLimits(const CAppSettings &settings, CStepContext &context)
{
    CIniEx store;
    if (settings.OpenAxisParamStore(store, context.model))
        ReadStoredLimits(store, context);
}

void CPointTableSetup::ReadStoredLimits(const CIniEx &store, CStepContext &context)
{
    auto key = [](uint16_t number) { return std::to_string(number); };
    context.storedSoftLimitUpper = store.GetDouble(key(kParamSoftLimitUpper), "Value", context.storedSoftLimitUpper);
    context.storedSoftLimitLower = store.GetDouble(key(kParamSoftLimitLower), "Value", context.storedSoftLimitLower);
    context.storedMaxSpeed = store.GetDouble(key(kParamMaxSpeed), "Value", context.storedMaxSpeed);
    context.storedPushLimit = store.GetInt(key(kParamPushLimit), "Value", context.storedPushLimit);
}

void CPointTableSetup::ListValues(const params::CParamList &list, CStepContext &context)
{
    const auto real = [&list](int number, double &field) {
        const params::CParamData &record = list.At(number);
        if (record.GetType() == params::CParamData::kTypeReal)
            field = record.RealValue();
        else if (record.GetType() == params::CParamData::kTypeInteger)
            field = record.IntValue();
        else if (record.GetType() == params::CParamData::kTypeSelection)
            field = record.SelectedIndex();
    };
    const params::CParamData &type = list.At(kParamOperationType);
    if (type.GetType() == params::CParamData::kTypeSelection)
        context.operationType = CModelTraits::Of(context.model).OperationTypeOfChoice(type.SelectedIndex());
    real(kParamDefaultSpeed, context.defaultSpeed);
    real(kParamMaxSpeed, context.maxSpeed);
    real(kParamDefaultAcceleration, context.defaultAcceleration);
    context.defaultAccelerationInt = static_cast<int>(context.defaultAcceleration);
    real(kParamDefaultPositionRange, context.defaultPositionRange);
    double stopMode = context.defaultStopMode;
    real(kParamDefaultStopMode, stopMode);
    context.defaultStopMode = static_cast<int>(stopMode);
}

CStepTexts CPointTableSetup::Texts(const CAppSettings &settings, const std::string &model)
{
    CStepTexts texts;
    const CLanguageTexts &language = settings.Texts();
    texts.language = settings.Language();
    auto raw = [&](const std::string &key) { return language.Text(key, kTextSection); };
    for (int i = 0; i < 2; ++i) {
        texts.modeTexts[i] = raw("ID_TYPE_MODE_" + std::to_string(i));
        texts.speedModeTexts[i] = raw("ID_SPEED_MODE_" + std::to_string(i));
    }
    for (int i = 0; i < kStopModeCount; ++i)
        texts.stopModeTexts[i] = raw("ID_STOP_MODE_" + std::to_string(i));
    texts.checkAbsText = raw("IDC_CHECK_ABS");
    const std::string prefix = CModelTraits::Of(model).IsRotary() ? "GRID_ZMDA_C" : "GRID_C";
    for (int k = 0; k < kStepColumnCount; ++k)
        texts.columnCaptions[k] = raw(prefix + std::to_string(k + 1));
    return texts;
}

} // namespace kvl::points
