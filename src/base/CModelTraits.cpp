#include "base/CModelTraits.h"

#include <array>

#include "base/TextNumber.h"

namespace kvl {

namespace {

using Model = CModelTraits::Model;

struct ModelRow {
    Model model;
    const char *text;
    const char *key;
    int code;
    const char *alarmSection;
    const char *monitorSuffix;
    int fixedPositionDecimals; // 0: the decimals setting decides
};

constexpr std::array<ModelRow, 6> kModelRows{{
    {Model::MDA, "MDA", "MDA", kModelCodeMDA, "AlarmMDA", "", 0},
    {Model::MDB, "MDB", "MDB", kModelCodeMDB, "AlarmMDB", "_MDB", 3},
    {Model::MDC, "MDC", "MDC", kModelCodeMDC, "AlarmMDC", "_MDC", 3},
    {Model::MDCX, "MDC-X", "XMDC", kModelCodeMDCX, "AlarmXMDC", "_MDC-X", 4},
    {Model::MDAY, "MDA-Y", "YMDA", kModelCodeMDAY, "AlarmMDA", "", 0},
    {Model::MDAZ, "MDA-Z", "ZMDA", kModelCodeMDAZ, "AlarmMDA", "", 0},
}};

constexpr char kGatewayText[] = "GWX";

// Codes of the gateway's station list; the first entry is "none".
constexpr std::array<StationCode, 8> kStationCodes{{
    {kDeviceListNone, "ID_COMBO_NULL", "None"},
    {kModelCodeMDA, "ID_COMBO_MDA", "MDA"},
    {kModelCodeMDB, "ID_COMBO_MDB", "MDB"},
    {kModelCodeMDC, "ID_COMBO_MDC", "MDC"},
    {kModelCodeMDCX, "ID_COMBO_XMDC", "MDC-X"},
    {kModelCodeMDAY, "ID_COMBO_YMDA", "MDA-Y"},
    {kModelCodeMDAZ, "ID_COMBO_ZMDA", "MDA-Z"},
    {kDeviceListAny, "ID_COMBO_ANY", "Any"},
}};

// The operation types MDA-Z offers, by the choice that stands for them in its parameter list.
constexpr std::array<int, 4> kRotaryOperationTypes{0, 2, 4, 5};

// Steps of the point table by operation type 0..5.
constexpr std::array<int, CModelTraits::kOperationTypeCount> kStepCounts{64, 64, 256, 512, 7, 3};

const ModelRow &RowOf(Model model)
{
    return kModelRows[static_cast<std::size_t>(model)];
}

bool InRange(int value, std::size_t count)
{
    return value >= 0 && static_cast<std::size_t>(value) < count;
}

} // namespace

const char *ModelTextFromCode(int code)
{
    if (code == kModelCodeGWX)
        return kGatewayText;
    for (const ModelRow &row : kModelRows)
        if (row.code == code)
            return row.text;
    return RowOf(Model::MDA).text;
}

int ModelCodeFromText(std::string_view model)
{
    if (model == kGatewayText)
        return kModelCodeGWX;
    for (const ModelRow &row : kModelRows)
        if (model == row.text)
            return row.code;
    return kModelCodeMDA;
}

int NormalizeDeviceListCode(int code)
{
    for (const StationCode &station : kStationCodes)
        if (station.code == code)
            return code;
    return kDeviceListNone;
}

const StationCode &FindStationCode(std::uint8_t code)
{
    for (const StationCode &station : kStationCodes)
        if (station.code == code)
            return station;
    return kStationCodes[0];
}

CModelTraits CModelTraits::Of(std::string_view text)
{
    for (const ModelRow &row : kModelRows)
        if (text == row.text || text == row.key)
            return CModelTraits(row.model);
    return CModelTraits(Model::MDA);
}

std::optional<CModelTraits> CModelTraits::FindByKey(std::string_view key)
{
    for (const ModelRow &row : kModelRows)
        if (EqualsNoCase(key, row.key))
            return CModelTraits(row.model);
    return std::nullopt;
}

const char *CModelTraits::Text() const { return RowOf(m_model).text; }

const char *CModelTraits::KeyForm() const { return RowOf(m_model).key; }

int CModelTraits::DeviceCode() const { return RowOf(m_model).code; }

bool CModelTraits::UsesLongRecord() const
{
    return m_model == Model::MDB || m_model == Model::MDC || m_model == Model::MDCX;
}

int CModelTraits::PositionDecimals(int settingDecimals) const
{
    const int fixed = RowOf(m_model).fixedPositionDecimals;
    return fixed != 0 ? fixed : settingDecimals;
}

int CModelTraits::MonitorPositionDecimals(int settingDecimals) const
{
    return IsMdbOrMdc() ? RowOf(m_model).fixedPositionDecimals : settingDecimals;
}

const char *CModelTraits::AlarmSection() const { return RowOf(m_model).alarmSection; }

const char *CModelTraits::MonitorSectionSuffix() const { return RowOf(m_model).monitorSuffix; }

int CModelTraits::OperationTypeOfChoice(int choice) const
{
    if (IsRotary())
        return InRange(choice, kRotaryOperationTypes.size()) ? kRotaryOperationTypes[static_cast<std::size_t>(choice)] : 0;
    return InRange(choice, kOperationTypeCount) ? choice : 0;
}

int CModelTraits::OperationTypeChoiceOfRaw(std::int32_t raw) const
{
    if (!IsRotary())
        return raw;
    // Choice 0 stands for type 0 and for every raw value the model does not know.
    for (std::size_t i = 1; i < kRotaryOperationTypes.size(); ++i)
        if (kRotaryOperationTypes[i] == raw)
            return static_cast<int>(i);
    return 0;
}

std::int32_t CModelTraits::OperationTypeRawOfChoice(int choice) const
{
    if (!IsRotary())
        return choice;
    return OperationTypeOfChoice(choice);
}

int CModelTraits::StepCount(int operationType)
{
    return InRange(operationType, kStepCounts.size()) ? kStepCounts[static_cast<std::size_t>(operationType)] : kStepCounts[0];
}

} // namespace kvl
