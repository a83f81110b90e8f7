#include "gate/CWriteGate.h"

#include <algorithm>
#include <cmath>

#include "base/CModelTraits.h"
#include "base/TextNumber.h"
#include "config/CAppSettings.h"
#include "gate/CStepAdmission.h"
#include "gate/CUnitAdmission.h"
#include "params/CAxisParamSetup.h"
#include "params/CParamData.h"
#include "params/CParamRules.h"
#include "params/ParamNumbers.h"
#include "protocol/CBusScanner.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

using params::CParamData;
using params::CParamRules;

constexpr std::uint8_t kUnitAddress = 0xF1;
constexpr int kNoAccessLevel = 0;   // ranges do not depend on what the user may see

WriteRefusal Refusal(std::uint8_t axis, const std::string &model, int number, WriteRefusal::Cause cause)
{
    WriteRefusal refusal;
    refusal.axis = axis;
    refusal.item = WriteRefusal::Item::kParameter;
    refusal.cause = cause;
    refusal.number = number;
    refusal.model = model;
    return refusal;
}

} // namespace

CWriteGate::CWriteGate(const CAppSettings &settings) : m_settings(settings) {}

CWriteGate::~CWriteGate() = default;

void CWriteGate::Forget() { m_devices.clear(); }

void CWriteGate::NoteDevice(std::uint8_t axis, const std::string &model, const std::string &version)
{
    Device &device = m_devices[axis];
    // Another model or firmware at this address is another device: what the old one held is gone.
    if (device.model != model || (!version.empty() && device.version != version))
        device.raw.clear();
    device.model = model;
    if (!version.empty())
        device.version = version;
}

void CWriteGate::NoteParameter(std::uint8_t axis, std::uint16_t number, const std::array<std::uint8_t, 4> &bytes)
{
    m_devices[axis].raw[number] = frame::GetI32(bytes.data());
}

const params::CAxisParamSetup *CWriteGate::Definitions(const Device &device)
{
    const std::string key = device.model + "/" + device.version;
    auto found = m_definitions.find(key);
    if (found == m_definitions.end()) {
        auto setup = std::make_unique<params::CAxisParamSetup>();
        const DeviceIdentity identity{true, device.model, device.version, {}};
        if (!setup->Open(m_settings, 0, identity, kNoAccessLevel))
            setup.reset();
        found = m_definitions.emplace(key, std::move(setup)).first;
    }
    return found->second.get();
}

std::optional<double> CWriteGate::Value(const Device &device, int number)
{
    const params::CAxisParamSetup *definitions = Definitions(device);
    if (definitions == nullptr || !definitions->HasParameter(number))
        return std::nullopt;
    const CParamData &record = definitions->Driver().At(number);
    const auto known = device.raw.find(number);
    if (known == device.raw.end()) {
        switch (record.GetType()) {
        case CParamData::kTypeInteger: return record.IntValue();
        case CParamData::kTypeReal: return record.RealValue();
        case CParamData::kTypeSelection: return record.SelectedIndex();
        default: return std::nullopt;
        }
    }
    switch (record.GetType()) {
    case CParamData::kTypeReal:
        return CParamRules::RawToValue(known->second, CParamRules::Factor(number, device.model, record.Precision()));
    case CParamData::kTypeSelection: return CParamRules::RawToIndex(number, device.model, known->second);
    default: return known->second;
    }
}

std::optional<double> CWriteGate::ParameterValue(std::uint8_t axis, int number)
{
    const auto found = m_devices.find(axis);
    if (found == m_devices.end() || found->second.model.empty())
        return std::nullopt;
    return Value(found->second, number);
}

std::optional<WriteRefusal> CWriteGate::AdmitParameter(std::uint8_t axis, std::uint16_t number,
                                                       const std::array<std::uint8_t, 4> &bytes)
{
    if (axis == kUnitAddress)
        return CUnitAdmission::CheckParameter(number, bytes);
    const auto found = m_devices.find(axis);
    if (found == m_devices.end() || found->second.model.empty())
        return Refusal(axis, {}, number, WriteRefusal::Cause::kUnknownDevice);
    return AdmitAxisParameter(axis, found->second, number, frame::GetI32(bytes.data()));
}

std::optional<WriteRefusal> CWriteGate::AdmitAxisParameter(std::uint8_t axis, Device &device, int number,
                                                           std::int32_t raw)
{
    const params::CAxisParamSetup *definitions = Definitions(device);
    if (definitions == nullptr || !definitions->HasParameter(number))
        return Refusal(axis, device.model, number, WriteRefusal::Cause::kNoSuchItem);
    const CParamData &record = definitions->Driver().At(number);
    WriteRefusal refusal = Refusal(axis, device.model, number, WriteRefusal::Cause::kOutOfRange);
    switch (record.GetType()) {
    case CParamData::kTypeInteger: {
        int max = record.IntMax();
        const auto limit = device.raw.find(kParamCurrentLimitMax);
        // The current limit never goes above the maximum the controller holds, nor its own minimum
        // down to it.
        if (number == kParamCurrentLimit && CParamRules::CurrentLimitFollowsMax(device.model) &&
            limit != device.raw.end())
            max = std::max(record.IntMin(), limit->second);
        if (raw >= record.IntMin() && raw <= max)
            return std::nullopt;
        refusal.value = FormatInt(raw);
        refusal.min = FormatInt(record.IntMin());
        refusal.max = FormatInt(max);
        return refusal;
    }
    case CParamData::kTypeReal: {
        const std::int64_t factor = CParamRules::Factor(number, device.model, record.Precision());
        // The raw values the editor sends for the two ends of the range.
        const std::int32_t low = CParamRules::ValueToRaw(record.RealMin(), factor);
        const std::int32_t high = CParamRules::ValueToRaw(record.RealMax(), factor);
        if (raw >= low && raw <= high)
            return std::nullopt;
        const int decimals = record.Precision();
        refusal.value = FormatFixed(CParamRules::RawToValue(raw, factor), decimals);
        refusal.min = FormatFixed(record.RealMin(), decimals);
        refusal.max = FormatFixed(record.RealMax(), decimals);
        return refusal;
    }
    case CParamData::kTypeSelection: {
        const int index = CParamRules::RawToIndex(number, device.model, raw);
        std::int32_t back = 0;
        if (index >= 0 && index < record.ChoiceCount() && CParamRules::IndexToRaw(number, device.model, index, back) &&
            back == raw)
            return std::nullopt;
        refusal.cause = WriteRefusal::Cause::kNotAChoice;
        refusal.value = FormatInt(raw);
        return refusal;
    }
    default:
        // A text parameter has no number form the controller could take.
        refusal.cause = WriteRefusal::Cause::kNoSuchItem;
        return refusal;
    }
}

std::optional<WriteRefusal> CWriteGate::AdmitStep(std::uint8_t axis, int addressedStep, const StepRecord &record)
{
    const auto found = m_devices.find(axis);
    if (found == m_devices.end() || found->second.model.empty()) {
        WriteRefusal refusal;
        refusal.axis = axis;
        refusal.item = WriteRefusal::Item::kStep;
        refusal.cause = WriteRefusal::Cause::kUnknownDevice;
        refusal.number = addressedStep - 1;
        return refusal;
    }
    const Device &device = found->second;
    points::CStepContext context;
    context.model = device.model;
    context.online = true;
    const auto set = [this, &device](int number, auto &field) {
        if (const std::optional<double> value = Value(device, number))
            field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
    };
    set(kParamSoftLimitUpper, context.storedSoftLimitUpper);
    set(kParamSoftLimitLower, context.storedSoftLimitLower);
    set(kParamMaxSpeed, context.storedMaxSpeed);
    set(kParamPushLimit, context.storedPushLimit);
    int typeChoice = 0;
    set(kParamOperationType, typeChoice);
    context.operationType = CModelTraits::Of(device.model).OperationTypeOfChoice(typeChoice);
    return CStepAdmission::Check(axis, context, addressedStep, record);
}

std::optional<WriteRefusal> CWriteGate::AdmitUnitStations(std::uint8_t axis, const UnitDeviceList &devices,
                                                          const std::array<std::uint8_t, 16> *inputModes)
{
    return CUnitAdmission::CheckStations(axis, devices, inputModes);
}

} // namespace kvl
